#pragma once

#include <chrono>
#include <filesystem>
#include <string>

// The lock that keeps installer runs one at a time, held while the object lives. The lock
// file is root's with mode 0600 in a folder of mode 0700, so only root can open it: another
// user cannot hold it and keep every installation waiting.
class InstallerLock {
public:
    // Takes the lock on `file`, making it and its folder as above; waits at most `patience`
    // for a run that holds it. Says why it could not in failure().
    InstallerLock(const std::filesystem::path& file, std::chrono::milliseconds patience);
    ~InstallerLock();
    InstallerLock(const InstallerLock&) = delete;
    InstallerLock& operator=(const InstallerLock&) = delete;

    bool held() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }

private:
    int fd_ = -1;
    std::string failure_;
};
