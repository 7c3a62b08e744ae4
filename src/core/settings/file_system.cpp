#include "file_system.h"

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

    std::string errorText(int error)
    {
        char buffer[256] = "";
        return describe(::strerror_r(error, buffer, sizeof buffer), buffer);
    }

    // The folder part of a path, for syncing the folder after a rename; "." for a bare name.
    std::string folderOf(const std::string& path)
    {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos)
            return ".";
        return slash == 0 ? "/" : path.substr(0, slash);
    }

} // namespace

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
        result.error = errorText(error);
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
        return unreadable(errorText(errno));
    if (!S_ISREG(info.st_mode))
        return unreadable(errorText(S_ISDIR(info.st_mode) ? EISDIR : EINVAL));
    char buffer[1 << 14];
    for (;;) {
        const ssize_t got = readSome(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return unreadable(errorText(errno));
        }
        if (got == 0)
            break;
        const std::string_view chunk(buffer, static_cast<std::size_t>(got));
        if (chunk.find('\0') != std::string_view::npos)
            return unreadable("not a text file");
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
    // The new file keeps the permissions of the one it replaces.
    mode_t mode = 0666;
    struct stat old {
    };
    if (statPath(path.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return errorText(EISDIR);
        // A device or FIFO is never renamed over: as root, "-o /dev/null" would replace the
        // system's /dev/null with a regular file.
        if (!S_ISREG(old.st_mode))
            return "Not a regular file";
        mode = old.st_mode & 07777;
    }

    // A name of our own beside the target: same folder, hence same file system, so the rename is
    // atomic. O_EXCL never reuses a stray file; a few attempts cover a leftover of a crashed run.
    std::string temporary;
    int fd = -1;
    int error = 0;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = openFile(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        error = errno;
        if (fd < 0 && error != EEXIST)
            break;
    }
    if (fd < 0)
        return errorText(error);

    auto fail = [&](int failure, bool closeFirst) {
        if (closeFirst)
            closeFile(fd);
        removeFile(temporary.c_str());
        return errorText(failure);
    };
    if (!writeAll(fd, contents))
        return fail(errno, true);
    if (durability == Durability::Synced && syncFile(fd) != 0)
        return fail(errno, true);
    if (closeFile(fd) != 0)
        return fail(errno, false);
    if (renameFile(temporary.c_str(), path.c_str()) != 0)
        return fail(errno, false);

    if (durability == Durability::Unsynced)
        return {};
    // Make the rename itself durable; the file is already complete either way, so a folder that
    // cannot be synced is not an error.
    const int folder = openFile(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (folder >= 0) {
        syncFile(folder);
        closeFile(folder);
    }
    return {};
}

std::string FileSystem::writeFile(const std::string& path, std::string_view contents)
{
    const int fd = openFile(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errorText(errno);
    if (!writeAll(fd, contents)) {
        const int error = errno;
        closeFile(fd);
        return errorText(error);
    }
    if (closeFile(fd) != 0)
        return errorText(errno);
    return {};
}

} // namespace pictog
