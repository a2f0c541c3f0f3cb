#pragma once
// File helpers shared by the store, the templates, backup and export.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// File names are UTF-8 text in the program; these convert at the file-system boundary.
std::filesystem::path PathFromUtf8(std::string_view name);
std::string PathToUtf8(const std::filesystem::path& path);

// The file named `name` in `folder`, its name compared without regard to letter case, so
// "template.txt" finds "Template.txt". An exact match wins over the others.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& folder,
                                                          std::string_view name);

// The path to use for `name` in `folder`: the existing file of that name in any letter case,
// or, when there is none, `name` as given (a file that must be created gets that name).
std::filesystem::path ResolveFileName(std::string_view name,
                                      const std::filesystem::path& folder = ".");

// Reads a whole file. Fails (and leaves `bytes` empty) when it cannot be opened or read,
// when it is not a regular file (a FIFO or a device is never waited on), or when it is larger
// than `limit` bytes (std::errc::file_too_large).
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::error_code& error,
                   std::uintmax_t limit = static_cast<std::uintmax_t>(-1));

// Reads at most `count` bytes from the start of a file, under the same rules.
bool ReadFileStart(const std::filesystem::path& path, std::size_t count, std::string& bytes,
                   std::error_code& error);

// Appends to a file, creating it when missing. Anything in its place that is not a regular file
// (a FIFO, a device, a folder) is refused without waiting.
bool AppendToFile(const std::filesystem::path& path, std::string_view bytes,
                  std::error_code& error);

struct ReplaceOptions {
    // Flushed to disk before and after the rename. Derived files (an index) skip it: a crash
    // may leave them stale or torn, and their reader rebuilds them.
    bool durable = true;
    // Permission bits of a file that is created (less the umask); a replaced file keeps its
    // own, unless `exactMode` gives the file exactly these.
    std::filesystem::perms newFileMode =
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
        std::filesystem::perms::group_read | std::filesystem::perms::group_write |
        std::filesystem::perms::others_read | std::filesystem::perms::others_write;
    bool exactMode = false;
};

// Replaces the file's content all or nothing: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old one. Whatever moment the process
// stops at, the file holds either its old content or `bytes`. A symbolic link is written
// through: its target is replaced. The replaced file keeps its permission bits.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::error_code& error, const ReplaceOptions& options = {});

// Replaces `target` with the bytes of `source`, all or nothing (as above), and gives it the
// permission bits of `source`: a copy of a private file is private too.
bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target,
                        std::error_code& error);

// Puts the file `from` in the place of `to` in one step. On Windows another program holding
// `to` open (a virus scanner, a backup tool, a viewer) can refuse that for a moment, so it is
// tried again for up to about two seconds before the error is given.
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to,
                   std::error_code& error);

// What tells one file from another on its volume (inode or file index): a file that another
// takes the place of gets a new identity, one written in place keeps it. 0 when unknown.
unsigned long long FileId(const std::filesystem::path& path);

// Tests make a write fail at a given step by answering false, or stop the process there.
// A whole-file replacement goes TemporaryCreated, DataWritten, DataSynced, Renamed,
// FolderSynced; the answers after the rename are ignored: by then the new content is in place.
// A write in place (the store's tables) goes DataWritten and DataSynced for its journal, then
// TableWritten, TableSynced, JournalCleared; the last is ignored. Every sync of a file or a
// folder is followed by its step (DataSynced, TableSynced, FolderSynced), so that tests can
// count them.
enum class WriteStep {
    TemporaryCreated,
    DataWritten,
    DataSynced,
    Renamed,
    FolderSynced,
    TableWritten,
    TableSynced,
    JournalCleared,
};
void SetWriteStepHookForTesting(std::function<bool(WriteStep)> hook);
// Asks the hook, when there is one; true without one.
bool WriteStepAllowed(WriteStep step);
// Flushes a folder's entries (a rename or a new file in it) to disk.
void SyncFolder(const std::filesystem::path& folder);
