#pragma once

// Where the desktop program keeps its files. A copy in a folder it can write (the build folder, a
// portable copy) keeps Pictog.ini and the preview page beside the program file. An installed copy
// keeps Pictog.ini in the user's configuration folder and the preview page in a private runtime or
// cache folder: one in a folder the user cannot write (/usr/bin), and also one in the installed
// layout (share/pictog beside bin/, no companion files beside the program) even where the folder
// is writable, as for root or an install into ~/.local. The help file, the manual and
// chesspieces/ are read from beside the program when they are there, otherwise from the installed
// data folder.

#include <string>

namespace pictog {

// The paths the program works with. Every folder is given without a trailing "/".
struct ProgramLocations {
    std::string dataDir; // holds Pictog.hlp, Pictog.txt and chesspieces/
    std::string iniFile; // Pictog.ini
    std::string previewFile; // the HTML preview page, Pictog.html
    bool portable = true; // true when Pictog.ini and the preview page are beside the program
};

// What the choice depends on: the program's folder and what the system says about it and the
// user's environment. Environment values are empty when unset.
struct LocationFacts {
    std::string programDir; // the folder of the program file
    bool programDirWritable = true;
    bool companionsBesideProgram = true; // chesspieces/ is in programDir
    std::string installedDataDir; // share/pictog of an installed copy
    bool installedDataPresent = false; // chesspieces/ is in installedDataDir
    std::string xdgConfigHome;
    std::string xdgRuntimeDir; // only when it names an existing folder
    std::string xdgCacheHome;
    std::string home; // HOME, or the home folder of the user's account when HOME is unset
};

// Chooses the paths from the facts alone (no system call). XDG_* values that are not absolute
// paths are ignored, as the XDG base directory rules say. Without any usable home folder an
// unwritable program folder still gets the portable layout, whose failures the settings store
// reports.
ProgramLocations chooseProgramLocations(const LocationFacts& facts);

// Gathers the facts for programDir from the running system: access(W_OK) on the folder, the
// chesspieces/ folder beside it and in the installed data folder (every build and install has it,
// with or without the desktop program), the environment and the account's home folder.
// installedDataDir is programDir followed by relativeDataDir (such as "../share/pictog"), with the
// ".." resolved textually.
LocationFacts gatherLocationFacts(
    const std::string& programDir, const std::string& relativeDataDir);

// The locations of the program in programDir on this system, with the installed data folder at
// the place the build was configured for.
ProgramLocations locateProgramFiles(const std::string& programDir);

// Creates path and any missing parent folders; folders made here get mode 0700 (the user's own
// settings and pages). Returns the system's error text, empty on success or when it exists.
std::string makePrivateFolders(const std::string& path);

// The folder part of a file path ("." for a bare name).
std::string folderOfPath(const std::string& path);

} // namespace pictog
