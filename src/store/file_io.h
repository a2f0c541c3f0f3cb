#pragma once
// Plain file access for the store: positioned reads and writes, syncs, and what tells one
// version of a file from another.

#include "store/journal.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// What a file looks like from outside: which file it is, its length and its times. Any write
// changes the times or the length (the store's own writes also change the header's count).
struct FileState {
    FileIdentity identity;
    std::uint64_t length = 0;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;
    bool operator==(const FileState&) const = default;
};

// Of the file a path leads to, links followed. False when there is none or it is not a
// regular file.
bool StateOf(const std::filesystem::path& path, FileState& state);

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing regular file (never waiting on a FIFO or a device), or with `create`
    // makes it when missing. False (errno telling why) when it cannot be had so.
    bool Open(const std::filesystem::path& path, bool writable, bool create = false);
    bool IsOpen() const { return fd_ >= 0; }
    bool ReadAt(std::uint64_t offset, std::size_t count, std::string& bytes);
    bool WriteAt(std::uint64_t offset, std::string_view bytes);
    bool Resize(std::uint64_t length);
    bool Sync();
    bool State(FileState& state);
    void Close();

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

// Now, on the clock of the files' times (FileState::modified).
std::int64_t FileClockNow();

// Tests learn of every sync of a file through FileHandle, after it succeeded, so that they can
// tell what a power cut would leave of the file: its content as of its last sync.
void SetSyncHookForTesting(std::function<void(const std::filesystem::path&)> hook);
