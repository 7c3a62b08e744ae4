#include "diagram/file_output.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pictog {

namespace {

    std::atomic<unsigned> temporaryCounter { 0 };

    // A hidden name beside the target, so that a glob over the folder's pictures never picks
    // up a file being written.
    std::string temporaryName(const std::string& path)
    {
        const std::size_t slash = path.rfind('/');
        const std::size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
        std::string name = path.substr(0, baseStart);
        name += '.';
        name.append(path, baseStart, std::string::npos);
        name += '.';
        name += std::to_string(::getpid());
        name += '-';
        name += std::to_string(temporaryCounter.fetch_add(1));
        name += ".tmp";
        return name;
    }

    // The message of an errno value, safe to call from several threads (strerror is not).
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

    bool writeAll(int fd, const unsigned char* data, std::size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(fd, data, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

} // namespace

std::string writeFileReplacing(const std::string& path, const unsigned char* data, std::size_t size)
{
    std::string temporary;
    int fd = -1;
    // Another writer may hold a name of the same pattern; a few tries find a free one.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errorText(errno);
    }
    if (fd < 0)
        return errorText(EEXIST);

    bool ok = writeAll(fd, data, size);
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return errorText(error);
    }
    return {};
}

} // namespace pictog
