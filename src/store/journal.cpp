#include "store/journal.h"

#include "common/files.h"
#include "store/dbf_file.h"
#include "store/file_io.h"

#include <algorithm>
#include <cerrno>

namespace fs = std::filesystem;

namespace {

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Puts the old bytes back and syncs the table.
bool PlayBack(FileHandle& table, const Journal& journal) {
    for (const auto& range : journal.ranges) {
        if (!table.WriteAt(range.offset, range.bytes))
            return false;
    }
    return table.Resize(journal.oldLength) && table.Sync();
}

// Zeros over a journal of `length` bytes; a big one (a pack's) gives its room back.
bool Spend(FileHandle& file, std::uint64_t length) {
    if (length > (1u << 20))
        return file.Resize(0);
    return file.WriteAt(0, std::string(static_cast<std::size_t>(length), '\0'));
}

} // namespace

XdbError WriteInPlace(const fs::path& tablePath, const std::vector<ByteRange>& ranges,
                      std::uint64_t newLength) {
    FileHandle table;
    FileState state;
    if (!table.Open(tablePath, true) || !table.State(state))
        return XdbWriteFailed;

    Journal journal;
    journal.tableName = PathToUtf8(tablePath.filename());
    journal.table = state.identity;
    journal.oldLength = state.length;
    const auto keep = [&](std::uint64_t from, std::uint64_t to) {
        to = std::min(to, state.length);
        if (from >= to)
            return true;
        ByteRange old{from, {}};
        return table.ReadAt(from, static_cast<std::size_t>(to - from), old.bytes) &&
               old.bytes.size() == to - from && (journal.ranges.push_back(std::move(old)), true);
    };
    for (const auto& range : ranges) {
        if (!keep(range.offset, range.offset + range.bytes.size()))
            return XdbWriteFailed;
    }
    if (newLength < state.length && !keep(newLength, state.length))
        return XdbWriteFailed;

    const fs::path folder = FolderOf(tablePath);
    const fs::path journalPath = folder / JournalFileName;
    FileHandle file;
    if (!file.Open(journalPath, true))
        return XdbNotLocked;
    const std::string bytes = SerializeJournal(journal);
    const auto spend = [&] { Spend(file, bytes.size()); };
    if (!file.WriteAt(0, bytes) || !WriteStepAllowed(WriteStep::DataWritten))
        return spend(), XdbWriteFailed;
    if (!file.Sync() || !WriteStepAllowed(WriteStep::DataSynced))
        return spend(), XdbWriteFailed;

    bool written = true;
    for (const auto& range : ranges)
        written = written && table.WriteAt(range.offset, range.bytes);
    written = written && (newLength >= state.length || table.Resize(newLength)) &&
              WriteStepAllowed(WriteStep::TableWritten);
    written = written && table.Sync() && WriteStepAllowed(WriteStep::TableSynced);
    if (!written) {
        // Left whole when the old bytes cannot be put back: the next open plays it back.
        if (PlayBack(table, journal))
            spend();
        return XdbWriteFailed;
    }
    // Not synced: a crash that brings the journal back only undoes this write.
    spend();
    WriteStepAllowed(WriteStep::JournalCleared);
    return XdbOk;
}

XdbError RollBackJournal(const fs::path& folder) {
    const fs::path journalPath = folder / JournalFileName;
    FileState state;
    if (!StateOf(journalPath, state) || state.length < JournalHeaderSize)
        return XdbOk;
    FileHandle file;
    std::string header;
    if (!file.Open(journalPath, true) || !file.ReadAt(0, JournalHeaderSize, header))
        return XdbWriteFailed;
    const std::size_t length = JournalLength(header);
    if (length == 0)
        return XdbOk; // spent
    std::string bytes;
    // A journal holds at most the bytes of one table and its own few.
    if (length > state.length || length > MaxTableFileSize + 4096 || !file.ReadAt(0, length, bytes))
        return XdbWriteFailed;
    Journal journal;
    if (ParseJournal(bytes, journal) == XdbOk) {
        FileHandle table;
        FileState tableState;
        const fs::path tablePath = folder / PathFromUtf8(journal.tableName);
        if (table.Open(tablePath, true) && table.State(tableState)) {
            // Another file in its place (a restored copy) is not the one the journal was for.
            if (tableState.identity == journal.table && !PlayBack(table, journal))
                return XdbWriteFailed;
        } else if (StateOf(tablePath, tableState)) {
            return XdbWriteFailed; // there, but it cannot be written back
        }
    }
    // A torn journal was never synced whole, so its table was not touched.
    return Spend(file, length) ? XdbOk : XdbWriteFailed;
}
