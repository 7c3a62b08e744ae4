#include "settings/file_writer.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictog {

namespace {

    // The temporary files open at this moment, for the interrupt handler. A slot is claimed
    // (1) while its name is copied in and ready (2) once the handler may remove it; the handler
    // only reads ready slots, through lock-free atomics, so it is async-signal-safe.
    struct TemporarySlot {
        std::atomic<int> state { 0 };
        char path[PATH_MAX] = {};
    };
    constexpr int TemporarySlots = 8;
    TemporarySlot temporarySlots[TemporarySlots];

    int recordTemporary(const std::string& path)
    {
        if (path.size() >= PATH_MAX)
            return -1;
        for (int i = 0; i < TemporarySlots; ++i) {
            int expected = 0;
            if (temporarySlots[i].state.compare_exchange_strong(expected, 1)) {
                std::memcpy(temporarySlots[i].path, path.c_str(), path.size() + 1);
                temporarySlots[i].state.store(2);
                return i;
            }
        }
        return -1;
    }

    void forgetTemporary(int slot)
    {
        if (slot >= 0)
            temporarySlots[slot].state.store(0);
    }

    extern "C" void removeTemporariesAndExit(int signalNumber)
    {
        for (TemporarySlot& slot : temporarySlots)
            if (slot.state.load() == 2)
                ::unlink(slot.path);
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
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

FileWriter::FileWriter(FileSystem& files)
    : m_files(files)
{
}

FileWriter::~FileWriter()
{
    abandon();
}

std::string FileWriter::open(const std::string& path)
{
    abandon();
    m_target = path;
    m_error = 0;
    struct stat info {
    };
    const bool exists = m_files.statPath(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        return systemErrorText(EISDIR);
    // /dev/stdout and its kin name a descriptor the program already has; whatever it leads to,
    // even a regular file the shell opened, it is written in place and never renamed over.
    const bool descriptorName = path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0;
    if (exists && (!S_ISREG(info.st_mode) || descriptorName)) {
        // A device or FIFO is written in place: as root, renaming over "/dev/null" would
        // replace the system's /dev/null with a regular file.
        m_fd = m_files.openFile(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
        return m_fd < 0 ? systemErrorText(errno) : std::string();
    }
    // Through a symbolic link the file it names is replaced, not the link.
    if (exists) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved))
            m_target = resolved;
    }
    // A name of our own beside the target: same folder, hence same file system, so the rename
    // is atomic. O_EXCL never reuses a stray file; a few attempts cover a leftover of a crash.
    const mode_t mode = exists ? info.st_mode & 07777 : 0666;
    int error = 0;
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temporary
            = m_target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        // Recorded before it exists, so that a signal right after the open still removes it.
        m_slot = recordTemporary(m_temporary);
        m_fd = m_files.openFile(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        error = errno;
        if (m_fd < 0) {
            forgetTemporary(m_slot);
            m_slot = -1;
        }
        if (m_fd < 0 && error != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temporary.clear();
        return systemErrorText(error);
    }
    // The umask narrowed the mode given to open; the replaced file's mode is kept exactly.
    if (exists)
        ::fchmod(m_fd, mode);
    return {};
}

bool FileWriter::write(std::string_view bytes)
{
    if (m_fd < 0 || m_error != 0)
        return false;
    if (!m_files.writeAll(m_fd, bytes)) {
        m_error = errno ? errno : EIO;
        return false;
    }
    return true;
}

std::string FileWriter::commit(FileSystem::Durability durability)
{
    if (m_fd < 0)
        return systemErrorText(EBADF);
    int error = m_error;
    const bool synced = durability == FileSystem::Durability::Synced;
    if (error == 0 && synced && !m_temporary.empty() && m_files.syncFile(m_fd) != 0)
        error = errno;
    const int fd = m_fd;
    m_fd = -1;
    if (m_files.closeFile(fd) != 0 && error == 0)
        error = errno;
    if (m_temporary.empty())
        return error == 0 ? std::string() : systemErrorText(error);
    if (error == 0 && m_files.renameFile(m_temporary.c_str(), m_target.c_str()) != 0)
        error = errno;
    if (error != 0)
        m_files.removeFile(m_temporary.c_str());
    forgetTemporary(m_slot);
    m_slot = -1;
    m_temporary.clear();
    if (error != 0)
        return systemErrorText(error);
    if (synced) {
        // Make the rename itself durable; the file is complete either way, so a folder that
        // cannot be synced is not an error.
        const int folder
            = m_files.openFile(folderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (folder >= 0) {
            m_files.syncFile(folder);
            m_files.closeFile(folder);
        }
    }
    return {};
}

void FileWriter::abandon()
{
    if (m_fd >= 0)
        m_files.closeFile(m_fd);
    m_fd = -1;
    if (!m_temporary.empty())
        m_files.removeFile(m_temporary.c_str());
    forgetTemporary(m_slot);
    m_slot = -1;
    m_temporary.clear();
}

void FileWriter::removeTemporariesOnInterrupt()
{
    struct sigaction action {
    };
    action.sa_handler = removeTemporariesAndExit;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : { SIGINT, SIGTERM })
        ::sigaction(signalNumber, &action, nullptr);
}

std::string writeWholeFile(FileSystem& files, const std::string& path, std::string_view bytes,
    FileSystem::Durability durability)
{
    FileWriter writer(files);
    std::string error = writer.open(path);
    if (!error.empty())
        return error;
    writer.write(bytes);
    return writer.commit(durability);
}

} // namespace pictog
