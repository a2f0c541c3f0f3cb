#include "maintenance/backup_rules.h"

#include "common/files.h"
#include "common/text.h"
#include "store/folder_lock.h"
#include "store/xdb.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string BackupFolderName() {
    return std::string(BackupFolder);
}

// "User.dbf (Permission denied)", one per line.
std::string FileList(const std::vector<std::string>& files) {
    std::string text;
    for (const auto& file : files) {
        text += CRLF;
        text += file;
    }
    return text;
}

std::string WithReason(const std::string& file, const std::error_code& error) {
    return error ? file + " (" + error.message() + ")" : file;
}

// Other files in `folder` whose names differ from `kept`'s only in letter case: an earlier
// copy taken from a live file of another spelling. Removing them leaves one copy per file.
bool RemoveOtherSpellings(const fs::path& folder, const fs::path& kept, std::error_code& error) {
    const std::string wanted = ToUpper(PathToUtf8(kept.filename()));
    std::vector<fs::path> others;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path name = it->path().filename();
        if (name != kept.filename() && ToUpper(PathToUtf8(name)) == wanted)
            others.push_back(it->path());
    }
    if (error)
        return false;
    for (const auto& other : others) {
        // On a file system that ignores case the other spelling is the copy just written.
        std::error_code ignored;
        if (fs::equivalent(other, kept, ignored))
            continue;
        if (!fs::remove(other, error))
            return false;
    }
    return true;
}

// Replaces `target` with the bytes and permission bits of `source`, all or nothing.
bool CopyWhole(const fs::path& source, const fs::path& target, std::error_code& error) {
    return CopyFileAtomically(source, target, error);
}

MaintenanceOutcome Refused(std::string text) {
    return {false, std::move(text)};
}

// A write that a stopped process left half done is finished (or undone) before any file is
// copied; when it cannot be, why nothing was done.
std::optional<MaintenanceOutcome> InterruptedWriteLeft(const std::string& done) {
    if (XdbFinishInterruptedWrite("."))
        return std::nullopt;
    XDBRESETERROR();
    return Refused("A change to the databases that was stopped half-way could not be "
                   "completed; nothing was " +
                   done + ".");
}

// Why the tables' lock could not be had; `done` is what did not happen ("backed up").
std::string LockRefusal(const FolderLock& lock, const std::string& done) {
    if (lock.result() == LockResult::Busy)
        return "The databases are in use by another running copy of Ombrelay. Close it and "
               "try again; nothing was " +
               done + ".";
    return "The databases could not be locked in this folder (it may be read-only); nothing "
           "was " +
           done + ".";
}

} // namespace

MaintenanceOutcome BackUpTables() {
    std::vector<std::string> failed;
    bool copiedAny = false;
    {
        FolderLock lock(".");
        if (!lock.held())
            return Refused(LockRefusal(lock, "backed up"));
        if (auto refused = InterruptedWriteLeft("backed up"))
            return *refused;
        const fs::path folder = ResolveFileName(BackupFolder);
        std::error_code error;
        if (!fs::is_directory(folder, error) && !fs::create_directory(folder, error))
            return Refused(
                WithReason("The backup folder " + BackupFolderName() + " could not be created",
                           error) +
                ". Nothing was backed up.");
        for (const auto& file : MaintainedFiles) {
            const auto live = FindFileIgnoringCase(".", file.name);
            if (!live)
                continue; // nothing to keep: the store creates a missing table empty
            const fs::path copy = folder / live->filename();
            if (!CopyWhole(*live, copy, error) || !RemoveOtherSpellings(folder, copy, error)) {
                failed.push_back(WithReason(PathToUtf8(live->filename()), error));
                continue;
            }
            copiedAny = true;
        }
    }
    if (!failed.empty())
        return Refused("Backup is not complete. These files could not be copied to the folder " +
                       BackupFolderName() +
                       "; their earlier backup copies were kept:" + FileList(failed));
    if (!copiedAny)
        return Refused("There are no databases or indexes in this folder to back up. Nothing "
                       "was copied.");
    return {true, "Backup of databases and indexes is complete"};
}

MaintenanceOutcome RestoreTables() {
    std::vector<std::string> missing;
    std::vector<std::string> failed;
    int present = 0;
    int restored = 0;
    {
        FolderLock lock(".");
        if (!lock.held())
            return Refused(LockRefusal(lock, "restored"));
        if (auto refused = InterruptedWriteLeft("restored"))
            return *refused;
        const auto folder = FindFileIgnoringCase(".", BackupFolder);
        for (const auto& file : MaintainedFiles) {
            const auto copy = folder ? FindFileIgnoringCase(*folder, file.name) : std::nullopt;
            if (!copy) {
                if (!file.optional)
                    missing.emplace_back(file.name);
                continue;
            }
            ++present;
            const fs::path live = ResolveFileName(file.name);
            std::error_code error;
            if (!CopyWhole(*copy, live, error)) {
                failed.push_back(WithReason(PathToUtf8(live.filename()), error));
                continue;
            }
            ++restored;
        }
    }
    if (present == 0)
        return Refused("There is no backup to restore: the folder " + BackupFolderName() +
                       " holds no copies of the databases and indexes. Nothing was changed.");
    if (missing.empty() && failed.empty())
        return {true, "Databases and indexes have now been" + std::string(CRLF) +
                          "restored - close and restart Ombrelay"};
    std::string text = restored > 0 ? "Databases and indexes have been restored only in part "
                                      "- close and restart Ombrelay."
                                    : "Nothing was restored.";
    const std::string gap = std::string(CRLF) + std::string(CRLF);
    if (!missing.empty())
        text += gap + "These files have no backup copy in the folder " + BackupFolderName() +
                " and were left as they were:" + FileList(missing);
    if (!failed.empty())
        text += gap +
                "These files could not be restored and were left as they were:" + FileList(failed);
    return Refused(text);
}
