#include "platform/FileLock.h"

#include <windows.h>

namespace platform {

FileLock::FileLock(const std::string& path) {
    if (path.empty()) return;
    HANDLE file = CreateFileA((path + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    handle_ = file;
    if (GetFileType(file) != FILE_TYPE_DISK) return;
    for (int waited = 0; waited <= kFileLockPatienceMs; waited += 2) {
        OVERLAPPED at{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            acquired_ = true;
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) return;
        Sleep(2);
    }
}

FileLock::~FileLock() {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));  // releases the lock
}

}  // namespace platform
