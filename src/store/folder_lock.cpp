#include "store/folder_lock.h"

#include "common/files.h"

#include <map>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds DefaultWait{10000};
constexpr std::chrono::milliseconds PollInterval{50};

#ifdef _WIN32
using LockHandle = HANDLE;
const LockHandle NoLock = INVALID_HANDLE_VALUE;

LockHandle OpenLockFile(const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
OVERLAPPED LockedByte() {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(WindowsLockOffset);
    at.OffsetHigh = static_cast<DWORD>(WindowsLockOffset >> 32);
    return at;
}
bool TryLock(LockHandle handle) {
    OVERLAPPED at = LockedByte();
    return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) !=
           0;
}
void Unlock(LockHandle handle) {
    OVERLAPPED at = LockedByte();
    UnlockFileEx(handle, 0, 1, 0, &at);
    CloseHandle(handle);
}
int CurrentProcess() {
    return static_cast<int>(GetCurrentProcessId());
}
#else
using LockHandle = int;
constexpr LockHandle NoLock = -1;

// Writable, since it also holds the journal. A new lock file's entry in the folder is synced
// once, so that a journal in it outlasts a power failure.
LockHandle OpenLockFile(const fs::path& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        // For this account alone: a journal in it holds old values of the tables.
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0600);
        if (fd >= 0)
            SyncFolder(path.parent_path());
        else if (errno == EEXIST)
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    }
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}
bool TryLock(LockHandle fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}
void Unlock(LockHandle fd) {
    ::flock(fd, LOCK_UN);
    ::close(fd);
}
int CurrentProcess() {
    return static_cast<int>(::getpid());
}
#endif

struct Share {
    LockHandle handle = NoLock;
    int count = 0;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, Share> shares;
    int owner = 0; // the process the shares belong to
    std::chrono::milliseconds wait = DefaultWait;
};

Registry& Locks() {
    static Registry registry;
    return registry;
}

// A child made by fork inherits the parent's shares, but it must take the lock for itself:
// it forgets them (its copies of the lock files are closed without unlocking, which would
// release the parent's lock).
void ForgetInheritedShares(Registry& registry) {
    if (registry.owner == CurrentProcess())
        return;
#ifndef _WIN32
    for (auto& [key, share] : registry.shares)
        ::close(share.handle);
#endif
    registry.shares.clear();
    registry.owner = CurrentProcess();
}

std::string KeyOf(const fs::path& folder) {
    std::error_code error;
    fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, error);
    fs::path canonical = fs::weakly_canonical(absolute, error);
    return PathToUtf8(error ? absolute.lexically_normal() : canonical);
}

} // namespace

LockResult TakeFolderLock(const fs::path& folder, bool wait) {
    Registry& registry = Locks();
    const std::string key = KeyOf(folder);
    std::unique_lock guard(registry.mutex);
    ForgetInheritedShares(registry);
    if (auto it = registry.shares.find(key); it != registry.shares.end()) {
        ++it->second.count;
        return LockResult::Held;
    }
    const LockHandle handle = OpenLockFile(PathFromUtf8(key) / LockFileName);
    if (handle == NoLock)
        return LockResult::Unavailable;
    const auto deadline =
        std::chrono::steady_clock::now() + (wait ? registry.wait : std::chrono::milliseconds(0));
    while (!TryLock(handle)) {
        if (std::chrono::steady_clock::now() >= deadline) {
#ifdef _WIN32
            CloseHandle(handle);
#else
            ::close(handle);
#endif
            return LockResult::Busy;
        }
        std::this_thread::sleep_for(PollInterval);
    }
    registry.shares[key] = Share{handle, 1};
    return LockResult::Held;
}

void ReleaseFolderLock(const fs::path& folder) {
    Registry& registry = Locks();
    const std::string key = KeyOf(folder);
    std::lock_guard guard(registry.mutex);
    ForgetInheritedShares(registry);
    auto it = registry.shares.find(key);
    if (it == registry.shares.end())
        return;
    if (--it->second.count == 0) {
        Unlock(it->second.handle);
        registry.shares.erase(it);
    }
}

namespace {

fs::path Absolute(const fs::path& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, error);
    return error ? folder : absolute;
}

} // namespace

// Kept absolute, so that the release finds the share even after the current folder changed.
FolderLock::FolderLock(const fs::path& folder)
    : folder_(Absolute(folder)), result_(TakeFolderLock(folder_)) {}

FolderLock::~FolderLock() {
    if (result_ == LockResult::Held)
        ReleaseFolderLock(folder_);
}

void SetLockWaitForTesting(std::chrono::milliseconds wait) {
    std::lock_guard guard(Locks().mutex);
    Locks().wait = wait.count() > 0 ? wait : DefaultWait;
}
