// The writes. Each goes in place, through the folder's journal (journal.h): an overwrite
// writes one record, an add one record and the end mark, a delete one record; each with the
// header, whose count of writes tells the other running copies that the file changed. The
// handle's view changes only once the write is on disk.
//
// A deleted record leaves the table at once: the count, the record numbers and the index skip
// it. Its mark reaches the file with the next write of the table, at the latest when the table
// is closed, so that a delete and the pack that follows it are one write. The pack makes the
// room of deleted records free when they are many (or the table small); until then they stay
// in the file, blanked and marked, as other dBASE programs expect deleted records.

#include "common/clock.h"
#include "store/journal.h"
#include "store/xdb_internal.h"

#include <algorithm>

namespace xdb {

namespace {

// Tables this small are packed at every pack; bigger ones once an eighth of them is deleted.
constexpr std::uint64_t AlwaysPackedLength = 64 * 1024;

void PutBack(TableFile& file, std::uint32_t slot) {
    file.live.insert(std::lower_bound(file.live.begin(), file.live.end(), slot), slot);
    if (file.indexed)
        InsertEntry(file, slot);
}

// Deletes whose marks could not be written did not happen.
void RestorePending(TableFile& file) {
    for (const std::uint32_t slot : file.pending)
        PutBack(file, slot);
    file.pending.clear();
    ++file.generation;
}

// Writes `ranges` (the header comes first, made here) and the marks of pending deletes, through
// the journal. On success the file's state and count of writes are the new ones; on failure
// nothing in memory changed but the pending deletes, which are undone.
bool Commit(Table& table, std::vector<ByteRange> ranges, std::size_t recordCount,
            std::uint64_t newLength) {
    TableFile& file = *table.file;
    DbfRecord blank{true, {}};
    for (const std::uint32_t slot : file.pending) {
        if (slot < recordCount)
            ranges.push_back({DbfRecordOffset(file.data, slot), EncodeDbfRecord(file.data, blank)});
    }
    DbfTable& data = file.data;
    ++data.writeCount;
    const std::string header = DbfHeader(data, recordCount, CurrentLocalTime());
    ranges.insert(ranges.begin(), {0, header});
    if (const XdbError error = WriteInPlace(file.path, std::move(ranges), newLength);
        error != XdbOk) {
        --data.writeCount;
        RestorePending(file);
        // A failure between the journal and the table may leave the file changed for a
        // moment: read it again before anything else.
        file.stale = !Unchanged(file);
        Fail(error);
        return false;
    }
    data.header = header;
    for (const std::uint32_t slot : file.pending) {
        if (slot < data.records.size())
            data.records[slot] = blank;
    }
    file.pending.clear();
    if (!StateOf(file.path, file.state))
        file.stale = true;
    if (file.indexed)
        file.indexDirty = true; // its fingerprint
    return true;
}

} // namespace

// The table of a write: open, holding the lock, up to date with its file.
Table* WritableTable(int handle) {
    Table* table = FindTable(handle);
    if (table == nullptr)
        return nullptr;
    if (!table->lockHeld) {
        Fail(XdbNotLocked);
        return nullptr;
    }
    // A batch is made on the reading it began with; its commit checks that it still holds.
    if (table->file->batchHandle != 0)
        return table;
    if (const XdbError error = CatchUp(*table->file); error != XdbOk) {
        Fail(error);
        return nullptr;
    }
    FindTable(handle); // a new reading of the file loses the position
    return table;
}

// The slot of a record number (from 1), or nullopt.
bool SlotOf(const TableFile& file, int record, std::uint32_t& slot) {
    if (record < 1 || static_cast<std::size_t>(record) > file.live.size())
        return false;
    slot = file.live[static_cast<std::size_t>(record) - 1];
    return true;
}

// The table of a write to an existing record, with the record's slot; nullptr (the error set)
// when the table cannot be written or has no such record.
Table* WritableRecord(int handle, int record, std::uint32_t& slot) {
    Table* table = WritableTable(handle);
    if (table != nullptr && !SlotOf(*table->file, record, slot)) {
        Fail(XdbNoSuchRecord);
        return nullptr;
    }
    return table;
}

// Marks pending deletes, and frees the room of deleted records when they are many. One write.
bool Pack(Table& table) {
    TableFile& file = *table.file;
    if (file.batchHandle != 0) {
        Fail(XdbInBatch);
        return false;
    }
    DbfTable& data = file.data;
    const std::size_t deleted = data.records.size() - file.live.size();
    if (deleted == 0)
        return true;
    if (deleted * 8 < data.records.size() && DbfFileLength(data) > AlwaysPackedLength) {
        if (file.pending.empty())
            return true;
        return Commit(table, {}, data.records.size(), DbfFileLength(data));
    }
    // Everything from the first deleted record on moves up.
    std::vector<DbfRecord> kept;
    kept.reserve(file.live.size());
    std::vector<std::uint32_t> newSlot(data.records.size(), 0);
    for (const std::uint32_t slot : file.live) {
        newSlot[slot] = static_cast<std::uint32_t>(kept.size());
        kept.push_back(data.records[slot]);
    }
    std::size_t first = 0;
    while (first < file.live.size() && file.live[first] == first)
        ++first;
    std::string moved;
    moved.reserve((kept.size() - first) * DbfRecordLength(data) + 1);
    for (std::size_t i = first; i < kept.size(); ++i)
        moved += EncodeDbfRecord(data, kept[i]);
    moved.push_back(DbfFileEnd);
    const std::uint64_t newLength = DbfRecordOffset(data, kept.size()) + 1;
    const std::vector<std::uint32_t> pending = std::move(file.pending);
    file.pending.clear(); // the move itself drops them
    if (!Commit(table, {{DbfRecordOffset(data, first), std::move(moved)}}, kept.size(),
                newLength)) {
        file.pending = pending;
        RestorePending(file);
        return false;
    }
    data.records = std::move(kept);
    for (std::size_t i = 0; i < file.live.size(); ++i)
        file.live[i] = static_cast<std::uint32_t>(i);
    MergeIndex(file);
    for (auto& entry : file.index.entries)
        entry.record = newSlot[entry.record - 1] + 1;
    file.positionsStale = true;
    ++file.generation;
    return true;
}

void AddRecord(Table& table) {
    TableFile& file = *table.file;
    DbfTable& data = file.data;
    const auto slot = static_cast<std::uint32_t>(data.records.size());
    data.records.push_back({false, table.buffer});
    if (file.batchHandle == 0) {
        std::string bytes = EncodeDbfRecord(data, data.records.back());
        bytes.push_back(DbfFileEnd);
        if (!Commit(table, {{DbfRecordOffset(data, slot), std::move(bytes)}}, data.records.size(),
                    DbfFileLength(data))) {
            data.records.pop_back();
            return;
        }
    }
    file.live.push_back(slot);
    if (file.indexed)
        InsertEntry(file, slot);
    table.current = slot + 1; // the buffer holds its values already
    table.eof = table.bof = false;
}

void PutRecord(Table& table, std::uint32_t slot) {
    TableFile& file = *table.file;
    auto& values = file.data.records[slot].values;
    // The index changes only with the key: an import overwrites many records under their names.
    const auto key = [&](const std::vector<std::string>& of) {
        return file.keyField < of.size() ? IndexKey(of[file.keyField]) : IndexKey("");
    };
    const bool rekeyed = file.indexed && key(values) != key(table.buffer);
    if (rekeyed)
        RemoveEntry(file, slot);
    std::vector<std::string> previous = std::move(values);
    values = table.buffer;
    bool written = true;
    if (file.batchHandle != 0) {
        if (slot < file.batchRecords)
            file.batchBefore.try_emplace(slot, std::move(previous));
    } else {
        written = Commit(table,
                         {{DbfRecordOffset(file.data, slot),
                           EncodeDbfRecord(file.data, file.data.records[slot])}},
                         file.data.records.size(), DbfFileLength(file.data));
        if (!written)
            values = std::move(previous);
    }
    if (rekeyed)
        InsertEntry(file, slot);
    if (written)
        LoadRecord(table, slot);
}

void DeleteRecord(Table& table, int record, std::uint32_t slot) {
    TableFile& file = *table.file;
    if (file.batchHandle != 0) {
        Fail(XdbInBatch);
        return;
    }
    file.live.erase(file.live.begin() + record - 1);
    if (file.indexed)
        RemoveEntry(file, slot);
    file.pending.push_back(slot);
    ++file.generation;
}

void BeginBatch(Table& table, int handle) {
    TableFile& file = *table.file;
    if (file.batchHandle != 0) {
        Fail(XdbInBatch);
        return;
    }
    file.batchHandle = handle;
    file.batchRecords = file.data.records.size();
    file.batchBefore.clear();
}

void AbandonBatch(TableFile& file) {
    if (file.batchHandle == 0)
        return;
    for (auto& [slot, values] : file.batchBefore)
        file.data.records[slot].values = std::move(values);
    file.data.records.resize(file.batchRecords);
    while (!file.live.empty() && file.live.back() >= file.batchRecords)
        file.live.pop_back();
    file.batchHandle = 0;
    file.batchBefore.clear();
    if (file.indexed)
        RebuildIndex(file);
    ++file.generation;
}

// Everything the batch changed in one commit: the records it overwrote, then those it added,
// which lie side by side at the end of the file.
void CommitBatch(Table& table, int handle) {
    TableFile& file = *table.file;
    if (file.batchHandle != handle) {
        Fail(XdbWriteFailed); // the file was read again under it: the batch is lost
        return;
    }
    if (!Unchanged(file)) {
        AbandonBatch(file);
        file.stale = true;
        Fail(XdbWriteFailed);
        return;
    }
    DbfTable& data = file.data;
    std::vector<ByteRange> ranges;
    for (const auto& entry : file.batchBefore)
        ranges.push_back(
            {DbfRecordOffset(data, entry.first), EncodeDbfRecord(data, data.records[entry.first])});
    if (data.records.size() > file.batchRecords) {
        std::string added;
        added.reserve((data.records.size() - file.batchRecords) * DbfRecordLength(data) + 1);
        for (std::size_t slot = file.batchRecords; slot < data.records.size(); ++slot)
            AppendDbfRecord(data, data.records[slot], added);
        added.push_back(DbfFileEnd);
        ranges.push_back({DbfRecordOffset(data, file.batchRecords), std::move(added)});
    }
    if (ranges.empty() && file.pending.empty()) {
        file.batchHandle = 0;
        return;
    }
    if (!Commit(table, std::move(ranges), data.records.size(), DbfFileLength(data))) {
        AbandonBatch(file);
        return;
    }
    file.batchHandle = 0;
    file.batchBefore.clear();
}

void WritePendingDeletes(Table& table) {
    TableFile& file = *table.file;
    if (file.pending.empty())
        return;
    if (const XdbError error = CatchUp(file); error != XdbOk)
        Fail(error);
    else
        Commit(table, {}, file.data.records.size(), DbfFileLength(file.data));
}

} // namespace xdb
