#include "support/lock_holder.h"

#include "store/folder_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#ifdef _WIN32
LockHolder::LockHolder(const std::filesystem::path& lockFile) {
    const HANDLE file = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    handle_ = reinterpret_cast<long long>(file);
    OVERLAPPED at{}; // the byte the store locks
    at.Offset = static_cast<DWORD>(WindowsLockOffset);
    at.OffsetHigh = static_cast<DWORD>(WindowsLockOffset >> 32);
    held_ = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

LockHolder::~LockHolder() {
    if (handle_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle_)); // which also unlocks
}
#else
LockHolder::LockHolder(const std::filesystem::path& lockFile) {
    handle_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    held_ = handle_ >= 0 && ::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0;
}

LockHolder::~LockHolder() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}
#endif
