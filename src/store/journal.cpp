#include "store/journal.h"

#include "common/files.h"
#include "store/dbf_file.h"
#include "store/file_io.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <random>

namespace fs = std::filesystem;

namespace {

// The journal file grows by this much at a time.
constexpr std::uint64_t JournalChunk = 256 * 1024;
// Past this many bytes of records the journal is checkpointed before the next commit.
constexpr std::uint64_t CheckpointBytes = std::uint64_t{4} << 20;
// A table changed later than this after the last commit to it was written by someone else
// (one commit's table writes take far less).
constexpr std::int64_t ChangeMargin = std::int64_t{10} * 1000 * 1000 * 1000;
// A record holds at most the bytes of one table and its own few.
constexpr std::uint64_t MaxRecord = MaxTableFileSize + 4096;

// A file as this process left it: its state and its first bytes (a table's header, with its
// count of writes; the journal's first record, with its epoch). Times alone can miss a file
// written again, to the same length, within one tick of the file system's clock.
struct Mark {
    FileState state;
    std::string head;
    bool operator==(const Mark&) const = default;
};
constexpr std::size_t MarkedBytes = 32;

bool MarkOf(const fs::path& path, Mark& mark) {
    FileHandle file;
    return file.Open(path, false) && file.State(mark.state) &&
           file.ReadAt(0, MarkedBytes, mark.head);
}

bool LeftAsMarked(const fs::path& path, const Mark& mark) {
    Mark now;
    return MarkOf(path, now) && now == mark;
}

// The journal of a folder as this process last wrote it.
struct FolderJournal {
    std::uint64_t epoch = 0;            // 0: not this process's
    std::uint32_t next = 0;             // sequence number of the next record
    std::uint64_t end = 0;              // bytes of records
    Mark file;                          // the journal file as this process last left it
    std::map<std::string, Mark> tables; // tables with records, as this process left them
};

std::map<std::string, FolderJournal> journals; // by absolute folder

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

std::string KeyOf(const fs::path& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    return PathToUtf8((error ? folder : absolute).lexically_normal());
}

// Another epoch for every journal begun, in this process or a forked one.
std::uint64_t NewEpoch() {
    static std::mt19937_64 random(std::random_device{}());
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return (random() ^ static_cast<std::uint64_t>(now) * 0x9E3779B97F4A7C15ull) | 1;
}

// Zeros over the records, so that no value written is left in the lock file; a big journal
// (an import's) gives its room back instead.
bool Spend(FileHandle& file, std::uint64_t length) {
    if (length > (1u << 20))
        return file.Resize(0);
    return file.WriteAt(0, std::string(static_cast<std::size_t>(length), '\0'));
}

void StartEpoch(const fs::path& folder, FolderJournal& journal) {
    journal.epoch = NewEpoch();
    journal.next = 0;
    journal.end = 0;
    journal.tables.clear();
    if (!MarkOf(folder / JournalFileName, journal.file))
        journal.epoch = 0;
}

// The version 1 journal's old bytes back, the table synced.
bool PlayBackOld(const fs::path& folder, const OldJournal& old) {
    FileHandle table;
    FileState state;
    const fs::path path = folder / PathFromUtf8(old.tableName);
    if (!table.Open(path, true) || !table.State(state))
        return !StateOf(path, state); // gone: nothing to put back
    // Another file in its place (a restored copy) is not the one the journal was for.
    if (!(state.identity == old.table))
        return true;
    for (const auto& range : old.ranges) {
        if (!table.WriteAt(range.offset, range.bytes))
            return false;
    }
    return table.Resize(old.oldLength) && table.Sync();
}

// Plays the records of one table again, unless it is not the file they were made for as they
// left it; only what differs is written. Then syncs it.
bool Replay(const fs::path& folder, const std::vector<const JournalRecord*>& records) {
    const JournalRecord& first = *records.front();
    FileHandle table;
    FileState state;
    const fs::path path = folder / PathFromUtf8(first.tableName);
    if (!table.Open(path, false) || !table.State(state))
        return !StateOf(path, state); // gone: nothing to play over
    std::string now;
    if (!(state.identity == first.table) || state.modified > records.back()->time + ChangeMargin)
        return true;
    if (state.length > MaxTableFileSize ||
        !table.ReadAt(0, static_cast<std::size_t>(state.length), now))
        return false;
    const std::string header = now.substr(0, DbfHeaderSize);
    bool ours = header == first.oldHeader;
    std::string made = now;
    for (const JournalRecord* record : records) {
        made.resize(static_cast<std::size_t>(record->newLength));
        for (const auto& range : record->ranges) {
            made.replace(static_cast<std::size_t>(range.offset), range.bytes.size(), range.bytes);
            ours = ours || (range.offset == 0 && range.bytes.starts_with(header));
        }
    }
    if (!ours)
        return true; // another program's header: its write wins
    std::size_t from = 0;
    while (from < made.size() && from < now.size() && made[from] == now[from])
        ++from;
    FileHandle writable;
    if (!writable.Open(path, true))
        return made == now; // nothing to write, but nothing can be synced either
    if (made != now && (!writable.WriteAt(from, std::string_view(made).substr(from)) ||
                        !writable.Resize(made.size())))
        return false;
    return writable.Sync() && WriteStepAllowed(WriteStep::TableSynced);
}

// Reads the record at `offset`, or answers false.
bool RecordAt(FileHandle& file, std::uint64_t offset, std::uint64_t fileLength,
              JournalRecord& record, std::size_t& length) {
    std::string head, bytes;
    if (offset + JournalHeaderSize > fileLength || !file.ReadAt(offset, JournalHeaderSize, head))
        return false;
    const std::uint64_t size = JournalLength(head);
    return size != 0 && size <= MaxRecord && offset + size <= fileLength &&
           file.ReadAt(offset, static_cast<std::size_t>(size), bytes) &&
           ParseJournalRecord(bytes, record, length) == XdbOk;
}

// Plays back whatever a stopped process or a power cut left in the journal, then empties it.
XdbError Recover(const fs::path& folder, FileHandle& file, FolderJournal& journal) {
    FileState state;
    std::string head;
    if (!file.State(state) || !file.ReadAt(0, JournalHeaderSize, head))
        return XdbWriteFailed;
    std::uint64_t end = 0;
    if (const std::size_t oldLength = OldJournalLength(head); oldLength != 0) {
        std::string bytes;
        OldJournal old;
        if (oldLength > MaxRecord || oldLength > state.length || !file.ReadAt(0, oldLength, bytes))
            return XdbWriteFailed;
        // A torn one was never synced whole, so its table was not touched.
        if (ParseOldJournal(bytes, old) == XdbOk && !PlayBackOld(folder, old))
            return XdbWriteFailed;
        end = oldLength;
    } else {
        // The chain of records of one epoch, from the start.
        std::vector<JournalRecord> records;
        JournalRecord record;
        std::size_t length = 0;
        while (RecordAt(file, end, state.length, record, length) &&
               (records.empty() || (record.epoch == records.front().epoch &&
                                    record.sequence == records.back().sequence + 1))) {
            records.push_back(std::move(record));
            end += length;
        }
        std::map<std::string, std::vector<const JournalRecord*>> byTable;
        for (const auto& each : records)
            byTable[each.tableName].push_back(&each);
        for (const auto& [name, ofTable] : byTable) {
            if (!Replay(folder, ofTable))
                return XdbWriteFailed;
        }
    }
    if (end != 0 && (!Spend(file, end) || !WriteStepAllowed(WriteStep::JournalCleared)))
        return XdbWriteFailed;
    StartEpoch(folder, journal);
    return XdbOk;
}

// Syncs the tables with records and empties the journal.
XdbError Checkpoint(const fs::path& folder, FileHandle& file, FolderJournal& journal) {
    for (const auto& entry : journal.tables) {
        FileHandle table;
        if (table.Open(folder / PathFromUtf8(entry.first), true) &&
            (!table.Sync() || !WriteStepAllowed(WriteStep::TableSynced)))
            return XdbWriteFailed;
    }
    if (!Spend(file, journal.end) || !WriteStepAllowed(WriteStep::JournalCleared))
        return XdbWriteFailed;
    StartEpoch(folder, journal);
    return XdbOk;
}

// When the process ends, its journals are checkpointed: the tables synced, the journals
// emptied, so that nothing is left to play back. Another copy that holds a folder's lock now
// has found the journal there not its own and played it back already: not waited for.
void CheckpointAtExit() {
    for (const auto& [key, journal] : journals) {
        const fs::path folder = PathFromUtf8(key);
        if (journal.epoch != 0 && !journal.tables.empty() &&
            TakeFolderLock(folder, false) == LockResult::Held) {
            FinishJournal(folder, true);
            ReleaseFolderLock(folder);
        }
    }
}

} // namespace

XdbError FinishJournal(const fs::path& folder, bool durably) {
    FolderJournal& journal = journals[KeyOf(folder)];
    FileState state;
    if (!StateOf(folder / JournalFileName, state))
        return XdbOk; // no lock file, so nothing was written here
    const bool ours = journal.epoch != 0 && LeftAsMarked(folder / JournalFileName, journal.file);
    bool due = !ours || durably;
    for (const auto& [name, mark] : journal.tables)
        due = due || !LeftAsMarked(folder / PathFromUtf8(name), mark);
    if (!due)
        return XdbOk;
    FileHandle file;
    if (!file.Open(folder / JournalFileName, true))
        return XdbWriteFailed;
    const XdbError error =
        ours ? Checkpoint(folder, file, journal) : Recover(folder, file, journal);
    if (error == XdbOk && durably && !file.Sync())
        return XdbWriteFailed;
    return error;
}

XdbError WriteInPlace(const fs::path& tablePath, std::vector<ByteRange> ranges,
                      std::uint64_t newLength) {
    const fs::path folder = FolderOf(tablePath);
    FileHandle table;
    FileState before, now;
    if (!table.Open(tablePath, true) || !table.State(before))
        return XdbWriteFailed;
    // Whatever is left to play back or checkpoint first; should that change the table, the
    // caller's view of it is out of date.
    if (FinishJournal(folder) != XdbOk || !table.State(now) || !(now == before))
        return XdbWriteFailed;
    FolderJournal& journal = journals[KeyOf(folder)];
    FileHandle file;
    if (!file.Open(folder / JournalFileName, true))
        return XdbNotLocked;
    if (journal.end > CheckpointBytes && Checkpoint(folder, file, journal) != XdbOk)
        return XdbWriteFailed;

    // The old bytes, to put back should the table refuse the new ones.
    std::vector<ByteRange> old;
    const auto keep = [&](std::uint64_t from, std::uint64_t to) {
        to = std::min(to, before.length);
        if (from >= to)
            return true;
        old.push_back({from, {}});
        return table.ReadAt(from, static_cast<std::size_t>(to - from), old.back().bytes);
    };
    for (const auto& range : ranges) {
        if (!keep(range.offset, range.offset + range.bytes.size()))
            return XdbWriteFailed;
    }
    if (newLength < before.length && !keep(newLength, before.length))
        return XdbWriteFailed;
    JournalRecord record{.epoch = journal.epoch,
                         .sequence = journal.next,
                         .time = FileClockNow(),
                         .tableName = PathToUtf8(tablePath.filename()),
                         .table = before.identity,
                         .oldLength = before.length,
                         .newLength = newLength};
    record.oldHeader =
        old.empty() || old.front().offset != 0 ? std::string() : old.front().bytes.substr(0, 32);
    record.ranges = std::move(ranges);
    const std::string bytes = SerializeJournalRecord(record);
    // A record written but not committed is zeroed again, so that it cannot be played.
    const auto undo = [&] {
        file.WriteAt(journal.end, std::string(bytes.size(), '\0'));
        file.Sync();
        MarkOf(folder / JournalFileName, journal.file);
        return XdbWriteFailed;
    };
    // The journal grows by whole chunks of zeros, written out: a record written within the
    // file's length leaves its length and blocks as they were, so that its sync flushes the
    // record alone (a sync that must also record a new length or new blocks costs several times
    // as much).
    FileState journalState;
    if (!file.State(journalState))
        return XdbWriteFailed;
    const std::uint64_t end = journal.end + bytes.size();
    const std::uint64_t grown = (end + JournalChunk - 1) / JournalChunk * JournalChunk;
    if (!file.WriteAt(journal.end, bytes) ||
        (end > journalState.length &&
         !file.WriteAt(end, std::string(static_cast<std::size_t>(grown - end), '\0'))) ||
        !WriteStepAllowed(WriteStep::DataWritten))
        return undo();
    if (!file.Sync() || !WriteStepAllowed(WriteStep::DataSynced))
        return undo();

    bool written = true;
    for (const auto& range : record.ranges)
        written = written && table.WriteAt(range.offset, range.bytes);
    written = written && (newLength == before.length || table.Resize(newLength)) &&
              WriteStepAllowed(WriteStep::TableWritten);
    if (!written) {
        bool back = true;
        for (const auto& range : old)
            back = back && table.WriteAt(range.offset, range.bytes);
        // Left when the old bytes cannot be put back: the next open plays the write again.
        if (back && table.Resize(before.length))
            return undo();
        return XdbWriteFailed;
    }
    static const bool registered = (std::atexit(CheckpointAtExit), true);
    (void)registered;
    journal.end += bytes.size();
    ++journal.next;
    if (!MarkOf(tablePath, journal.tables[record.tableName]) ||
        !MarkOf(folder / JournalFileName, journal.file))
        journal.epoch = 0; // looked at afresh by the next write
    return XdbOk;
}
