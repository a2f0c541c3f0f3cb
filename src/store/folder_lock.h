#pragma once
// One advisory lock per folder, so that two running copies of the program cannot interleave
// their work on the tables there. The lock sits on the file "xdb.lock" in that folder, which
// is never replaced (a lock on a table file itself would be lost when a write replaces it).
// The same file holds the journal of a write in progress (journal.h).
//
// Within one process the lock is counted: nested and repeated takers never wait for each
// other, and the lock goes when the last of them lets go. Another process waits up to
// about ten seconds before it gives up.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

inline constexpr const char* LockFileName = "xdb.lock";
// On Windows the lock is a LockFileEx lock of the one byte at this offset of the lock file,
// far beyond any journal: such locks are mandatory, and the journal is written in this file
// through another handle.
inline constexpr std::uint64_t WindowsLockOffset = std::uint64_t{1} << 62;

enum class LockResult {
    Held,        // this process now holds the lock (one more share of it)
    Busy,        // another process kept it for the whole wait
    Unavailable, // no lock file can be had here (a read-only folder, another account's file):
                 // nothing can be written
};

// One share of the lock of `folder`; each successful take needs one release. Without `wait`,
// Busy at once when another process holds it.
LockResult TakeFolderLock(const std::filesystem::path& folder, bool wait = true);
void ReleaseFolderLock(const std::filesystem::path& folder);

// For Backup and Restore, which must not run while a table is being worked on elsewhere.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return result_ == LockResult::Held; }
    LockResult result() const { return result_; }

private:
    std::filesystem::path folder_;
    LockResult result_;
};

// How long a taker waits for another process; tests shorten it. Zero restores the default.
void SetLockWaitForTesting(std::chrono::milliseconds wait);
