// The name index in memory, which follows every write, and in its file, which is derived data;
// and the seeks and moves in index order. Browsing is O(log n).

#include "common/files.h"
#include "store/xdb_internal.h"

#include <algorithm>

namespace xdb {

namespace {

constexpr std::uintmax_t MaxIndexFileSize = MaxTableFileSize;

IndexEntry EntryOf(const TableFile& file, std::uint32_t slot) {
    const auto& values = file.data.records[slot].values;
    return {IndexKey(file.keyField < values.size() ? values[file.keyField] : ""), slot + 1};
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::size_t PositionOf(TableFile& file, std::uint32_t slot) {
    MergeIndex(file);
    if (file.positionsStale) {
        file.positionOf.assign(file.data.records.size(), 0);
        for (std::size_t i = 0; i < file.index.entries.size(); ++i)
            file.positionOf[file.index.entries[i].record - 1] = static_cast<std::uint32_t>(i);
        file.positionsStale = false;
    }
    return file.positionOf[slot];
}

} // namespace

TableFingerprint FingerprintOf(const TableFile& file) {
    return {static_cast<std::uint32_t>(file.data.records.size()), file.data.writeCount};
}

void RebuildIndex(TableFile& file) {
    const std::string& fieldName = file.data.fields[file.keyField].name;
    file.index = BuildNameIndex(file.data, file.keyField, fieldName, FingerprintOf(file));
    file.added.clear();
    file.positionsStale = true;
    file.indexDirty = true;
}

// New entries wait beside the sorted ones, so that the many adds of a batch cost O(log n) each;
// seeks look at both, and anything that needs positions merges them first.
void InsertEntry(TableFile& file, std::uint32_t slot) {
    file.added.insert(EntryOf(file, slot));
    file.positionsStale = true;
    file.indexDirty = true;
}

void MergeIndex(TableFile& file) {
    if (file.added.empty())
        return;
    auto& entries = file.index.entries;
    const auto sorted = static_cast<std::ptrdiff_t>(entries.size());
    entries.reserve(entries.size() + file.added.size());
    while (!file.added.empty())
        entries.push_back(std::move(file.added.extract(file.added.begin()).value()));
    std::inplace_merge(entries.begin(), entries.begin() + sorted, entries.end(), EntryBefore);
    file.positionsStale = true;
}

void RemoveEntry(TableFile& file, std::uint32_t slot) {
    const IndexEntry entry = EntryOf(file, slot);
    file.positionsStale = true;
    file.indexDirty = true;
    if (const auto waiting = file.added.find(entry); waiting != file.added.end()) {
        file.added.erase(waiting);
        return;
    }
    auto& entries = file.index.entries;
    const auto at = std::lower_bound(entries.begin(), entries.end(), entry, EntryBefore);
    if (at != entries.end() && at->record == entry.record)
        entries.erase(at);
    file.positionsStale = true;
    file.indexDirty = true;
}

// The index file is derived data: written without syncs, and a failure leaves it merely
// stale, to be rebuilt by the next open. Something in its place that is not a file (a
// folder, a dangling link) is left alone.
bool WriteIndexFile(TableFile& file) {
    MergeIndex(file);
    file.index.fingerprint = FingerprintOf(file);
    if (file.indexUnreadable || PresenceOf(file.indexPath) == Presence::Unknown)
        return false;
    std::error_code error;
    if (!WriteFileAtomically(file.indexPath, SerializeNameIndex(file.index), error,
                             {.durable = false}))
        return false;
    file.indexDirty = !StateOf(file.indexPath, file.indexFile);
    return !file.indexDirty;
}

bool IndexFileCurrent(const TableFile& file) {
    FileState now;
    return StateOf(file.indexPath, now) && now == file.indexFile;
}

// The table of a move or seek with its index. A table whose index handle is not open stops
// any browse: no current record, both ends reached.
Table* IndexedTable(int tableHandle, int indexHandle) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr)
        return nullptr;
    auto it = indexHandles.find(indexHandle);
    if (it == indexHandles.end() || it->second != tableHandle || !table->file->indexed) {
        Fail(XdbBadHandle);
        ForgetPosition(*table, 0);
        table->eof = true;
        table->bof = true;
        return nullptr;
    }
    return table;
}

// Goes to a position in index order; past either end leaves no current record.
void MoveTo(Table& table, long long position) {
    MergeIndex(*table.file);
    const auto& entries = table.file->index.entries;
    const auto size = static_cast<long long>(entries.size());
    if (size == 0) {
        ForgetPosition(table, 0);
        table.eof = true;
        table.bof = true;
    } else if (position >= size) {
        ForgetPosition(table, static_cast<std::size_t>(size));
        table.eof = true;
        table.bof = false;
    } else if (position < 0) {
        ForgetPosition(table, 0);
        table.eof = false;
        table.bof = true;
    } else {
        LoadRecord(table, entries[static_cast<std::size_t>(position)].record - 1);
    }
}

// The index position a move starts from: the current record's, or the gap a failed seek
// or a pass over an end left.
long long StartPosition(Table& table, int step) {
    if (table.current != 0)
        return static_cast<long long>(PositionOf(*table.file, table.current - 1)) + step;
    if (table.gapByKey) {
        MergeIndex(*table.file);
        table.gap = KeyInsertionPoint(table.file->index.entries, table.gapKey);
        table.gapByKey = false;
    }
    return static_cast<long long>(table.gap) + (step < 0 ? step : 0);
}

long long LastPosition(Table& table) {
    MergeIndex(*table.file);
    return static_cast<long long>(table.file->index.entries.size()) - 1;
}

int Seek(Table& table, std::string_view key, bool partial) {
    TableFile& file = *table.file;
    const auto& entries = file.index.entries;
    const std::size_t at = partial ? FindKeyPrefix(entries, key) : FindExactKey(entries, key);
    const IndexEntry* found = at == NoEntry ? nullptr : &entries[at];
    // The same search among the entries not merged yet.
    const std::string_view wanted = partial ? key : WithoutTrailingBlanks(key);
    for (auto it = file.added.lower_bound(IndexEntry{std::string(wanted), 0});
         it != file.added.end(); ++it) {
        const std::string_view candidate = it->key;
        if (candidate.substr(0, wanted.size()) != wanted)
            break;
        const std::string_view rest = candidate.substr(wanted.size());
        const auto nonBlank = partial ? std::string_view::npos : rest.find_first_not_of(' ');
        if (nonBlank != std::string_view::npos && static_cast<unsigned char>(rest[nonBlank]) > ' ')
            break;
        if (nonBlank == std::string_view::npos) {
            if (found == nullptr || EntryBefore(*it, *found))
                found = &*it;
            break;
        }
    }
    if (found == nullptr) {
        // The position lies where the key would stand, found once a move needs it.
        ForgetPosition(table, 0);
        table.gapKey = std::string(key);
        table.gapByKey = true;
        table.eof = false;
        table.bof = false;
        return 0;
    }
    LoadRecord(table, found->record - 1);
    return 1;
}

int RecordNumberOf(const Table& table) {
    if (table.current == 0)
        return 0;
    const auto& live = table.file->live;
    const auto at = std::lower_bound(live.begin(), live.end(), table.current - 1);
    return at != live.end() && *at == table.current - 1 ? static_cast<int>(at - live.begin()) + 1
                                                        : 0;
}

void OpenIndex(int tableHandle, int handle, const std::string& indexFileName) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr)
        return;
    TableFile& file = *table->file;

    std::string name;
    fs::path folder;
    SplitName(indexFileName, folder, name);
    int keyField = 0;
    if (table->definition != nullptr && !table->definition->indexField.empty())
        keyField = FieldIndex(*table, table->definition->indexField);
    if (keyField < 0) {
        Fail(XdbDamaged); // the table lacks the field its index is defined on
        return;
    }
    fs::path path = ResolveFileName(name, folder);
    const Presence presence = PresenceOf(path);
    if (presence == Presence::Missing && table->definition != nullptr &&
        SameName(name, table->definition->indexFile))
        path = folder / PathFromUtf8(table->definition->indexFile);

    // The index in memory follows every write; only a new one is built.
    const bool same = file.indexed && file.keyField == static_cast<std::size_t>(keyField) &&
                      Absolute(file.indexPath) == Absolute(path);
    if (!same) {
        file.indexed = true;
        file.keyField = static_cast<std::size_t>(keyField);
        file.indexPath = path;
        RebuildIndex(file);
    }
    file.indexUnreadable = false;
    // Seeks and moves work from memory even when the file cannot be read or written.
    indexHandles[handle] = tableHandle;
    if (IndexFileCurrent(file))
        return;
    if (presence == Presence::Unknown) {
        Fail(XdbCannotRead);
        return;
    }
    // The stored index is never trusted, only compared: when it differs in anything from
    // the one in memory, it is replaced.
    file.index.fingerprint = FingerprintOf(file);
    std::string bytes;
    std::error_code error;
    NameIndex stored;
    if (presence == Presence::Present) {
        FileState before;
        StateOf(path, before);
        if (!ReadWholeFile(path, bytes, error, MaxIndexFileSize)) {
            file.indexUnreadable = true; // what cannot be read is not replaced either
            Fail(error == std::errc::file_too_large ? XdbTooLarge : XdbCannotRead);
            return;
        }
        MergeIndex(file);
        const auto& built = file.index;
        if (ParseNameIndex(bytes, stored) == XdbOk && stored.expression == built.expression &&
            stored.keyCharacters == built.keyCharacters &&
            stored.fingerprint == built.fingerprint &&
            stored.entries.size() == built.entries.size() &&
            std::equal(stored.entries.begin(), stored.entries.end(), built.entries.begin(),
                       [](const auto& a, const auto& b) {
                           return a.key == b.key && a.record == b.record;
                       })) {
            file.indexFile = before;
            file.indexDirty = false;
            return;
        }
    }
    if (!table->lockHeld) {
        Fail(XdbNotLocked);
        return;
    }
    RemoveLeftoverTemporaries(path);
    if (!WriteIndexFile(file))
        Fail(presence == Presence::Missing ? XdbCannotCreate : XdbWriteFailed);
}

} // namespace xdb
