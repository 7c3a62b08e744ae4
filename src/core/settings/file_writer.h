#pragma once

#include "settings/file_system.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pictog {

// Writes one file the way every output of the programs is written. A regular file, or a new one,
// is written under a temporary name in the same folder and renamed over the name once complete,
// keeping the old file's permissions; through a symbolic link the file it names is replaced and
// the link stays. Anything else under the name (a device, a FIFO) and any name under /dev/ or
// /proc/ (/dev/stdout, even when it leads to a regular file) is written in place as a stream and
// never replaced. A write that fails or is abandoned leaves the old file as it
// was and nothing under the temporary name.
class FileWriter
{
public:
    // files performs every step; it must outlive the writer.
    explicit FileWriter(FileSystem& files);
    // Abandons a file not committed.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Opens path for writing: empty, or the system's error text ("Is a directory" for a folder).
    std::string open(const std::string& path);
    // The descriptor to write to (for a buffered writer of one's own); -1 while none is open.
    int descriptor() const { return m_fd; }
    // Appends bytes; false (and the file spoilt for commit) when the write failed.
    bool write(std::string_view bytes);
    // Closes the file and, for a regular file, puts it in its place. Empty, or the error text of
    // the first step that failed (a failed write included), after which the old file is as it was.
    std::string commit(FileSystem::Durability durability = FileSystem::Durability::Unsynced);
    // Closes the file and removes the temporary file, keeping the old one.
    void abandon();

    // Installs handlers for SIGINT and SIGTERM that remove the temporary files of every writer
    // still open and then end the program as the signal would.
    static void removeTemporariesOnInterrupt();

private:
    FileSystem& m_files;
    std::string m_target;
    std::string m_temporary; // empty for a stream
    int m_fd = -1;
    int m_error = 0; // errno of the first failed write
    int m_slot = -1; // the interrupt cleanup's record of m_temporary
};

// The bytes written to path by a FileWriter: empty, or the system's error text.
std::string writeWholeFile(FileSystem& files, const std::string& path, std::string_view bytes,
    FileSystem::Durability durability = FileSystem::Durability::Unsynced);

} // namespace pictog
