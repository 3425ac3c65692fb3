// An advisory lock that processes sharing a file take around a
// read-modify-write of it. The lock is held on a file beside it (path +
// ".lock"), never on the file itself: a file replaced by renaming a new one
// over it would take a lock on the old one with it. The lock file stays.
#pragma once

#include <string>

namespace platform {

class FileLock {
public:
    // Waits a few seconds at most for another holder to finish.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the lock file cannot be opened (a folder or a FIFO in its
    // place, no permission) or another holder kept it past the wait: the
    // caller then writes nothing. A file system that keeps no locks counts
    // as acquired, since every write still replaces the file whole.
    bool acquired() const { return acquired_; }

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int descriptor_ = -1;
#endif
    bool acquired_ = false;
};

// How long a lock waits for another holder, in milliseconds.
constexpr int kFileLockPatienceMs = 5000;

}  // namespace platform
