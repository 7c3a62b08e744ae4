#pragma once

#include <string>

namespace pictog::gui {

// The program's single-instance guard: an exclusive flock on a lock file named after the guard.
// The kernel releases the lock when the holding process ends in any way, so a crashed copy never
// keeps the next one from starting. Uses no Qt, so it can run before the application object.
class SingleInstanceGuard
{
public:
    // The lock file for a guard name: "$XDG_RUNTIME_DIR/<name>" when that variable names a
    // folder, else "<temp folder>/<name>-<user id>" (TMPDIR, else /tmp).
    static std::string lockFilePath(const std::string& name);

    explicit SingleInstanceGuard(std::string name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // Takes the lock without waiting. False when another process holds it; a lock file that
    // cannot be opened at all does not keep the program from running (true).
    bool acquire();
    // Releases the lock if this object holds it.
    void release();
    bool held() const { return m_fd >= 0; }

private:
    std::string m_name;
    int m_fd = -1;
};

} // namespace pictog::gui
