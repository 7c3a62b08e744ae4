#include "single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pictog::gui {

namespace {

    bool isFolder(const char* path)
    {
        struct stat info {
        };
        return path && *path && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
    }

} // namespace

std::string SingleInstanceGuard::lockFilePath(const std::string& name)
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); isFolder(runtime))
        return std::string(runtime) + "/" + name;
    const char* temp = std::getenv("TMPDIR");
    const std::string folder = isFolder(temp) ? temp : "/tmp";
    // The shared temporary folder is seen by every user: the user id keeps their guards apart.
    return folder + "/" + name + "-" + std::to_string(::getuid());
}

SingleInstanceGuard::SingleInstanceGuard(std::string name)
    : m_name(std::move(name))
{
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    release();
}

bool SingleInstanceGuard::acquire()
{
    if (m_fd >= 0)
        return true;
    const std::string path = lockFilePath(m_name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true; // no place for a lock file: better one copy too many than none at all
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool otherCopy = errno == EWOULDBLOCK;
        ::close(fd);
        return !otherCopy;
    }
    m_fd = fd;
    return true;
}

void SingleInstanceGuard::release()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace pictog::gui
