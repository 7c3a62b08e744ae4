#include "program_locations.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef PICTOG_RELATIVE_DATA_DIR
#define PICTOG_RELATIVE_DATA_DIR "../share/pictog"
#endif

namespace pictog {

namespace {

    bool isAbsolute(const std::string& path)
    {
        return !path.empty() && path.front() == '/';
    }

    std::string withoutTrailingSlashes(std::string path)
    {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    }

    // Joins base and a relative path, resolving "." and ".." segments by text only (an installed
    // program's folder is a real path already).
    std::string joinPath(const std::string& base, const std::string& relative)
    {
        std::vector<std::string> parts;
        const std::string whole = base + "/" + relative;
        std::size_t start = 0;
        while (start <= whole.size()) {
            std::size_t end = whole.find('/', start);
            if (end == std::string::npos)
                end = whole.size();
            const std::string part = whole.substr(start, end - start);
            if (part == "..") {
                if (!parts.empty() && parts.back() != "..")
                    parts.pop_back();
                else if (!isAbsolute(whole))
                    parts.push_back(part);
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = end + 1;
        }
        std::string joined = isAbsolute(whole) ? "" : ".";
        for (const std::string& part : parts)
            joined += "/" + part;
        return joined.empty() ? "/" : joined;
    }

    std::string environment(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

    bool isFolder(const std::string& path)
    {
        struct stat info {
        };
        return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

} // namespace

ProgramLocations chooseProgramLocations(const LocationFacts& facts)
{
    const std::string programDir = withoutTrailingSlashes(facts.programDir);
    ProgramLocations locations;
    locations.dataDir = facts.companionsBesideProgram || facts.installedDataDir.empty()
        ? programDir
        : withoutTrailingSlashes(facts.installedDataDir);
    locations.iniFile = programDir + "/Pictog.ini";
    locations.previewFile = programDir + "/Pictog.html";

    const std::string home = isAbsolute(facts.home) ? withoutTrailingSlashes(facts.home) : "";
    const std::string configHome = isAbsolute(facts.xdgConfigHome)
        ? withoutTrailingSlashes(facts.xdgConfigHome)
        : home.empty() ? ""
                       : home + "/.config";
    const bool installed = !facts.companionsBesideProgram && facts.installedDataPresent;
    if ((facts.programDirWritable && !installed) || configHome.empty())
        return locations;

    std::string pageFolder;
    if (isAbsolute(facts.xdgRuntimeDir))
        pageFolder = withoutTrailingSlashes(facts.xdgRuntimeDir);
    else if (isAbsolute(facts.xdgCacheHome))
        pageFolder = withoutTrailingSlashes(facts.xdgCacheHome);
    else if (!home.empty())
        pageFolder = home + "/.cache";
    else
        pageFolder = configHome;
    locations.portable = false;
    locations.iniFile = configHome + "/pictog/Pictog.ini";
    locations.previewFile = pageFolder + "/pictog/Pictog.html";
    return locations;
}

LocationFacts gatherLocationFacts(const std::string& programDir, const std::string& relativeDataDir)
{
    LocationFacts facts;
    facts.programDir = withoutTrailingSlashes(programDir);
    facts.programDirWritable = ::access(facts.programDir.c_str(), W_OK) == 0;
    facts.companionsBesideProgram = isFolder(facts.programDir + "/chesspieces");
    facts.installedDataDir = joinPath(facts.programDir, relativeDataDir);
    facts.installedDataPresent = isFolder(facts.installedDataDir + "/chesspieces");
    facts.xdgConfigHome = environment("XDG_CONFIG_HOME");
    facts.xdgCacheHome = environment("XDG_CACHE_HOME");
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (isFolder(runtime))
        facts.xdgRuntimeDir = runtime;
    facts.home = environment("HOME");
    if (facts.home.empty()) {
        if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
            facts.home = account->pw_dir;
    }
    return facts;
}

ProgramLocations locateProgramFiles(const std::string& programDir)
{
    return chooseProgramLocations(gatherLocationFacts(programDir, PICTOG_RELATIVE_DATA_DIR));
}

std::string makePrivateFolders(const std::string& path)
{
    if (path.empty() || isFolder(path))
        return {};
    const std::string parent = folderOfPath(withoutTrailingSlashes(path));
    if (parent != path && parent != "." && parent != "/") {
        if (std::string error = makePrivateFolders(parent); !error.empty())
            return error;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return std::strerror(errno);
    return isFolder(path) ? "" : std::strerror(ENOTDIR);
}

std::string folderOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace pictog
