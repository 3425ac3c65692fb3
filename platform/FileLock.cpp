#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace platform {

FileLock::FileLock(const std::string& path) {
    if (path.empty()) return;
    // Never waits on a FIFO and never follows a link planted at the name.
    descriptor_ = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
                       0666);
    struct stat status;
    if (descriptor_ < 0 || fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) return;
    const timespec pause{0, 2000000};  // 2 ms
    for (int waited = 0; waited <= kFileLockPatienceMs; waited += 2) {
        if (flock(descriptor_, LOCK_EX | LOCK_NB) == 0) {
            acquired_ = true;
            return;
        }
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) {
            acquired_ = true;  // no locks on this file system
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return;
        nanosleep(&pause, nullptr);
    }
}

FileLock::~FileLock() {
    if (descriptor_ >= 0) close(descriptor_);  // releases the lock
}

}  // namespace platform
