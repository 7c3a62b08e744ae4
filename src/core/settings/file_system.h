#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace pictog {

// What reading a whole text file found.
enum class FileReadStatus {
    Ok, // contents holds the whole file
    Missing, // no file at the path
    Unreadable, // something is there but it is no readable text file: a folder, a device, a file
                // without read permission, or one holding NUL bytes
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    std::string contents;
    std::string error; // the system's error text when status is Unreadable
};

// The system's text for an errno value (thread-safe).
std::string systemErrorText(int error);

// The file operations of the settings store and the preview page. The public operations are built
// on a handful of virtual POSIX primitives so that tests can make any single step fail; the
// class itself is the implementation the programs use.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Reads a whole regular text file. Never blocks on a pipe or device and stops early at the
    // first NUL byte, so a binary file or /dev/zero comes back Unreadable rather than eating
    // memory.
    FileReadResult readTextFile(const std::string& path);
    // Reads a whole regular file of any bytes, at most maxBytes of them (a larger one is
    // Unreadable); never blocks on a pipe or device.
    FileReadResult readBinaryFile(const std::string& path, std::size_t maxBytes);

    // True when path names something that exists and is not a folder. A name without a folder
    // part is looked for in the current folder only, as for any relative path.
    bool isExistingFile(const std::string& path);

    // True when anything at all is at path: a file, a folder, a device.
    bool exists(const std::string& path);

    // How far a replaced file is pushed to the disk before replaceFileAtomically returns.
    enum class Durability {
        Synced, // the new file and the folder entry are flushed: survives a power loss
        Unsynced, // left to the kernel: still never a partial file, but cheap enough for batches
    };

    // Replaces the file at path with contents as a FileWriter does (file_writer.h): a regular
    // file through a temporary file and a rename, so that a crash, a full disk or a write error
    // at any point leaves the old file as it was; a device or FIFO is written in place. Returns
    // the system's error text, empty on success.
    std::string replaceFileAtomically(const std::string& path, std::string_view contents,
        Durability durability = Durability::Synced);

    // Writes contents to path as replaceFileAtomically does, without pushing it to the disk (the
    // preview page). Returns the system's error text of the first step that failed, empty on
    // success.
    std::string writeFile(const std::string& path, std::string_view contents);

protected:
    friend class FileWriter;
    // The primitives: each behaves as its POSIX namesake and reports failures through errno.
    virtual int openFile(const char* path, int flags, mode_t mode);
    virtual ssize_t readSome(int fd, void* data, std::size_t size);
    virtual ssize_t writeSome(int fd, const void* data, std::size_t size);
    virtual int syncFile(int fd);
    virtual int closeFile(int fd);
    virtual int renameFile(const char* from, const char* to);
    virtual int removeFile(const char* path);
    virtual int statPath(const char* path, struct stat* info);

private:
    // Reads a whole regular file: text stops at the first NUL byte as Unreadable, and so does
    // anything past maxBytes.
    FileReadResult readWholeFile(const std::string& path, bool text, std::size_t maxBytes);
    // Writes all of contents to fd; false with errno set on failure.
    bool writeAll(int fd, std::string_view contents);
};

} // namespace pictog
