#include "file_system.h"

#include "settings/file_writer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictog {

namespace {

    // The message of an errno value; strerror_r because pictures may be written from worker
    // threads. Which strerror_r the C library offers decides which overload is used.
    [[maybe_unused]] std::string describe(int status, const char* buffer)
    {
        return status == 0 ? buffer : "Unknown error";
    }
    [[maybe_unused]] std::string describe(const char* text, const char*)
    {
        return text;
    }

} // namespace

std::string systemErrorText(int error)
{
    char buffer[256] = "";
    return describe(::strerror_r(error, buffer, sizeof buffer), buffer);
}

int FileSystem::openFile(const char* path, int flags, mode_t mode)
{
    int fd;
    do
        fd = ::open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

ssize_t FileSystem::readSome(int fd, void* data, std::size_t size)
{
    return ::read(fd, data, size);
}

ssize_t FileSystem::writeSome(int fd, const void* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int FileSystem::syncFile(int fd)
{
    return ::fsync(fd);
}

int FileSystem::closeFile(int fd)
{
    return ::close(fd);
}

int FileSystem::renameFile(const char* from, const char* to)
{
    return ::rename(from, to);
}

int FileSystem::removeFile(const char* path)
{
    return ::unlink(path);
}

int FileSystem::statPath(const char* path, struct stat* info)
{
    return ::stat(path, info);
}

FileReadResult FileSystem::readTextFile(const std::string& path)
{
    return readWholeFile(path, true, std::string::npos);
}

FileReadResult FileSystem::readBinaryFile(const std::string& path, std::size_t maxBytes)
{
    return readWholeFile(path, false, maxBytes);
}

FileReadResult FileSystem::readWholeFile(const std::string& path, bool text, std::size_t maxBytes)
{
    FileReadResult result;
    // O_NONBLOCK keeps a FIFO from blocking the open; it has no effect on a regular file.
    const int fd = openFile(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            result.status = FileReadStatus::Missing;
            return result;
        }
        result.status = FileReadStatus::Unreadable;
        result.error = systemErrorText(error);
        return result;
    }
    auto unreadable = [&](std::string error) {
        closeFile(fd);
        result.status = FileReadStatus::Unreadable;
        result.contents.clear();
        result.error = std::move(error);
        return result;
    };
    struct stat info {
    };
    if (::fstat(fd, &info) != 0)
        return unreadable(systemErrorText(errno));
    if (!S_ISREG(info.st_mode))
        return unreadable(systemErrorText(S_ISDIR(info.st_mode) ? EISDIR : EINVAL));
    char buffer[1 << 14];
    for (;;) {
        const ssize_t got = readSome(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return unreadable(systemErrorText(errno));
        }
        if (got == 0)
            break;
        const std::string_view chunk(buffer, static_cast<std::size_t>(got));
        if (text && chunk.find('\0') != std::string_view::npos)
            return unreadable("not a text file");
        if (chunk.size() > maxBytes - result.contents.size())
            return unreadable("file too large");
        result.contents.append(chunk);
    }
    closeFile(fd);
    result.status = FileReadStatus::Ok;
    return result;
}

bool FileSystem::isExistingFile(const std::string& path)
{
    struct stat info {
    };
    return !path.empty() && statPath(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FileSystem::exists(const std::string& path)
{
    struct stat info {
    };
    return !path.empty() && statPath(path.c_str(), &info) == 0;
}

bool FileSystem::writeAll(int fd, std::string_view contents)
{
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = writeSome(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string FileSystem::replaceFileAtomically(
    const std::string& path, std::string_view contents, Durability durability)
{
    return writeWholeFile(*this, path, contents, durability);
}

std::string FileSystem::writeFile(const std::string& path, std::string_view contents)
{
    return writeWholeFile(*this, path, contents, Durability::Unsynced);
}

} // namespace pictog
