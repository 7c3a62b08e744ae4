#pragma once

// Helpers for the robustness tests: a scratch folder, whole-file reads and writes, and a way to
// make permission bits count while the tests run as root.

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <linux/capability.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace pictog::robustness {

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeAll(const std::string& path, std::string_view text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline bool exists(const std::string& path)
{
    struct stat info {
    };
    return ::lstat(path.c_str(), &info) == 0;
}

inline bool isFolder(const std::string& path)
{
    struct stat info {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

inline std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

// A fresh folder under /tmp, removed with everything in it when the object goes.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/pictog-robustness-XXXXXX";
        if (::mkdtemp(pattern))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        if (m_path.empty())
            return;
        ::chmod(m_path.c_str(), 0700);
        ::nftw(
            m_path.c_str(),
            [](const char* name, const struct stat*, int, FTW*) { return ::remove(name); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(std::string_view name) const { return m_path + "/" + std::string(name); }

private:
    std::string m_path;
};

// Root passes every permission check through its capabilities. While an object of this class
// lives, the calling thread works without CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH and CAP_FOWNER,
// so that a folder without write permission or a file without read permission stops it as it
// stops an ordinary user. For an ordinary user it does nothing.
class PermissionBitsApply
{
public:
    PermissionBitsApply()
    {
        if (::geteuid() != 0) {
            m_active = true;
            return;
        }
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
        reduced[0].effective
            &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_active = ::syscall(SYS_capset, &m_header, reduced) == 0;
        m_restore = m_active;
    }
    ~PermissionBitsApply()
    {
        if (m_restore)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionBitsApply(const PermissionBitsApply&) = delete;
    PermissionBitsApply& operator=(const PermissionBitsApply&) = delete;

    // True when permission bits now stop this thread.
    bool active() const { return m_active; }

private:
    __user_cap_header_struct m_header {};
    __user_cap_data_struct m_saved[2] {};
    bool m_active = false;
    bool m_restore = false;
};

} // namespace pictog::robustness
