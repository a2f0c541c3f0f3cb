// The record-database library.
//
// A table file is read whole once and then kept in memory for the rest of the process; each
// later open checks in constant time (the file's identity, length and times, and its header)
// that nobody has written it since, and reads it again when somebody has. Writes go in place,
// through the folder's journal (journal.h): an overwrite writes one record, an add one record
// and the end mark, a delete one record; each with the header, whose count of writes tells the
// other running copies that the file changed. The handle's view changes only once the write
// is on disk.
//
// A deleted record leaves the table at once: the count, the record numbers and the index skip
// it. Its mark reaches the file with the next write of the table, at the latest when the table
// is closed, so that a delete and the pack that follows it are one write. The pack makes the
// room of deleted records free when they are many (or the table small); until then they stay
// in the file, blanked and marked, as other dBASE programs expect deleted records.

#include "store/xdb.h"

#include "common/files.h"
#include "common/text.h"
#include "store/dbf_file.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/journal.h"
#include "store/name_index.h"
#include "store/schema.h"

#include <algorithm>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Tables this small are packed at every pack; bigger ones once an eighth of them is deleted.
constexpr std::uint64_t AlwaysPackedLength = 64 * 1024;
constexpr std::uintmax_t MaxIndexFileSize = MaxTableFileSize;

// One table file as this process last saw it, shared by every handle on it.
struct TableFile {
    fs::path path;
    FileState state;
    DbfTable data;                      // every record of the file, deleted ones too
    std::vector<std::uint32_t> live;    // slots (from 0) of the records not deleted, ascending
    std::vector<std::uint32_t> pending; // slots deleted here whose mark is not yet written
    std::uint64_t generation = 0;       // changes whenever records move or leave
    bool stale = false;                 // read again before any further use

    bool indexed = false;
    std::size_t keyField = 0;
    NameIndex index;                       // entries name slots + 1
    std::vector<std::uint32_t> positionOf; // slot -> position in index.entries
    bool positionsStale = true;
    fs::path indexPath;
    FileState indexFile;    // the index file as last written or found equal to `index`
    bool indexDirty = true; // `index` differs from what the file holds
};

struct Table {
    std::shared_ptr<TableFile> file;
    fs::path folder; // absolute; its lock is held while the table is open
    bool lockHeld = false;
    const TableDefinition* definition = nullptr;
    std::uint64_t generation = 0;

    std::vector<std::string> buffer;
    std::uint32_t current = 0; // slot + 1, 0 when there is no current record
    std::size_t gap = 0;       // without a current record: the index position a move starts from
    bool eof = false;
    bool bof = false;
};

std::map<std::string, std::shared_ptr<TableFile>> cache; // by absolute path
std::map<int, Table> tables;
std::map<int, int> indexHandles; // index handle -> its table handle
int nextHandle = 1;
int pendingError = XdbOk;

void Fail(XdbError error) {
    pendingError = error;
}

void ClearBuffer(Table& table) {
    table.buffer.assign(table.file ? table.file->data.fields.size() : 0, std::string());
}

void ForgetPosition(Table& table, std::size_t gap) {
    table.current = 0;
    table.gap = gap;
    ClearBuffer(table);
}

// A handle whose records moved under it (a pack, a delete, a new reading of the file) has
// lost its place.
Table* FindTable(int handle) {
    auto it = tables.find(handle);
    if (it == tables.end()) {
        Fail(XdbBadHandle);
        return nullptr;
    }
    Table& table = it->second;
    if (table.generation != table.file->generation) {
        table.generation = table.file->generation;
        ForgetPosition(table, 0);
        table.eof = table.bof = false;
    }
    return &table;
}

// Names compared without regard to letter case. Field names are ASCII and looked up on
// every field access, so they skip the full Unicode upper-casing.
bool SameName(std::string_view a, std::string_view b) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    const auto ascii = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
    };
    if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                           [&](char x, char y) { return upper(x) == upper(y); }))
        return true;
    if (ascii(a) && ascii(b))
        return false;
    return ToUpper(a) == ToUpper(b);
}

const TableDefinition* DefinitionOf(std::string_view tableFile) {
    for (const auto& definition : KnownTables()) {
        if (SameName(definition.tableFile, tableFile))
            return &definition;
    }
    return nullptr;
}

int FieldIndex(const Table& table, std::string_view name) {
    const auto& fields = table.file->data.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (SameName(fields[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

TableFingerprint FingerprintOf(const TableFile& file) {
    return {static_cast<std::uint32_t>(file.data.records.size()), file.data.writeCount};
}

void LoadRecord(Table& table, std::uint32_t slot) {
    table.current = slot + 1;
    table.buffer = table.file->data.records[slot].values;
    table.buffer.resize(table.file->data.fields.size());
    table.eof = false;
    table.bof = false;
}

// ---- The index in memory ----

IndexEntry EntryOf(const TableFile& file, std::uint32_t slot) {
    const auto& values = file.data.records[slot].values;
    return {IndexKey(file.keyField < values.size() ? values[file.keyField] : ""), slot + 1};
}

void RebuildIndex(TableFile& file) {
    const std::string& fieldName = file.data.fields[file.keyField].name;
    file.index = BuildNameIndex(file.data, file.keyField, fieldName, FingerprintOf(file));
    file.positionsStale = true;
    file.indexDirty = true;
}

void InsertEntry(TableFile& file, std::uint32_t slot) {
    IndexEntry entry = EntryOf(file, slot);
    auto& entries = file.index.entries;
    entries.insert(std::upper_bound(entries.begin(), entries.end(), entry, EntryBefore),
                   std::move(entry));
    file.positionsStale = true;
    file.indexDirty = true;
}

void RemoveEntry(TableFile& file, std::uint32_t slot) {
    const IndexEntry entry = EntryOf(file, slot);
    auto& entries = file.index.entries;
    const auto at = std::lower_bound(entries.begin(), entries.end(), entry, EntryBefore);
    if (at != entries.end() && at->record == entry.record)
        entries.erase(at);
    file.positionsStale = true;
    file.indexDirty = true;
}

std::size_t PositionOf(TableFile& file, std::uint32_t slot) {
    if (file.positionsStale) {
        file.positionOf.assign(file.data.records.size(), 0);
        for (std::size_t i = 0; i < file.index.entries.size(); ++i)
            file.positionOf[file.index.entries[i].record - 1] = static_cast<std::uint32_t>(i);
        file.positionsStale = false;
    }
    return file.positionOf[slot];
}

enum class Presence { Present, Missing, Unknown };

// Whether a file is there. Anything in its place that is not a file we can look at (a
// folder, a dangling link, a path whose state cannot be learnt) is never created over.
Presence PresenceOf(const fs::path& path) {
    std::error_code error;
    const auto link = fs::symlink_status(path, error);
    if (link.type() == fs::file_type::not_found)
        return Presence::Missing;
    if (error)
        return Presence::Unknown;
    const auto target = fs::status(path, error);
    return !error && target.type() == fs::file_type::regular ? Presence::Present
                                                             : Presence::Unknown;
}

// The index file is derived data: written without syncs, and a failure leaves it merely
// stale, to be rebuilt by the next open. Something in its place that is not a file (a
// folder, a dangling link) is left alone.
bool WriteIndexFile(TableFile& file) {
    file.index.fingerprint = FingerprintOf(file);
    if (PresenceOf(file.indexPath) == Presence::Unknown)
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
    return !file.indexDirty && StateOf(file.indexPath, now) && now == file.indexFile;
}

// ---- Reading the table file ----

// A process stopped in the middle of replacing a file leaves its temporary file beside it
// (see WriteFileAtomically). Whoever holds the folder's lock may clear such leftovers: no
// other writer can be at work there.
void RemoveLeftoverTemporaries(const fs::path& file) {
    const std::string prefix = "." + PathToUtf8(file.filename()) + ".tmp-";
    std::error_code error;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (PathToUtf8(it->path().filename()).starts_with(prefix)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

XdbError ReadTableFile(TableFile& file) {
    FileHandle handle;
    FileState state;
    if (!handle.Open(file.path, false) || !handle.State(state))
        return XdbCannotRead;
    if (state.length > MaxTableFileSize)
        return XdbTooLarge;
    std::string bytes;
    if (!handle.ReadAt(0, static_cast<std::size_t>(state.length), bytes))
        return XdbCannotRead;
    DbfTable data;
    if (ParseDbf(bytes, data) != XdbOk)
        return XdbDamaged;
    file.data = std::move(data);
    file.state = state;
    file.live.clear();
    for (std::size_t slot = 0; slot < file.data.records.size(); ++slot) {
        if (!file.data.records[slot].deleted)
            file.live.push_back(static_cast<std::uint32_t>(slot));
    }
    file.pending.clear();
    ++file.generation;
    file.stale = false;
    if (file.indexed) {
        if (file.keyField >= file.data.fields.size())
            return XdbDamaged;
        RebuildIndex(file);
    }
    return XdbOk;
}

// Whether the file is still the one in memory: same file, length, times and header.
bool Unchanged(const TableFile& file) {
    FileState now;
    if (file.stale || !StateOf(file.path, now) || !(now == file.state))
        return false;
    FileHandle handle;
    std::string header;
    return handle.Open(file.path, false) && handle.ReadAt(0, DbfHeaderSize, header) &&
           header == file.data.header;
}

// Before a write: when somebody else wrote the file, it is read again. Deletes not yet written
// were made on the old reading and are not carried over: they fail.
XdbError CatchUp(TableFile& file) {
    if (Unchanged(file))
        return XdbOk;
    const bool deletesLost = !file.pending.empty();
    const XdbError error = ReadTableFile(file);
    if (error != XdbOk)
        file.stale = true;
    return error != XdbOk ? error : deletesLost ? XdbWriteFailed : XdbOk;
}

// ---- Writing ----

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
    if (const XdbError error = WriteInPlace(file.path, ranges, newLength); error != XdbOk) {
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

// The table of a write: open, holding the lock, up to date with its file.
Table* WritableTable(int handle) {
    Table* table = FindTable(handle);
    if (table == nullptr)
        return nullptr;
    if (!table->lockHeld) {
        Fail(XdbNotLocked);
        return nullptr;
    }
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
    for (auto& entry : file.index.entries)
        entry.record = newSlot[entry.record - 1] + 1;
    file.positionsStale = true;
    ++file.generation;
    return true;
}

// ---- Browsing ----

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
    return static_cast<long long>(table.gap) + (step < 0 ? step : 0);
}

int SeekResult(Table& table, std::size_t found, std::string_view key) {
    const auto& entries = table.file->index.entries;
    if (found == NoEntry) {
        ForgetPosition(table, KeyInsertionPoint(entries, key));
        table.eof = false;
        table.bof = false;
        return 0;
    }
    LoadRecord(table, entries[found].record - 1);
    return 1;
}

// Splits a file name as the program passes it into its folder and its name there.
void SplitName(const std::string& fileName, fs::path& folder, std::string& name) {
    const fs::path given = PathFromUtf8(fileName);
    folder = given.parent_path();
    if (folder.empty())
        folder = ".";
    name = PathToUtf8(given.filename());
}

fs::path Absolute(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

// GIS programs, and other readers that look for it, learn a table's character set from a
// ".cpg" file beside it ("UTF-8", or a code page's number): no language driver names UTF-8.
// It is made to say the table's code page whenever the table is read. A file that cannot be
// written there leaves the table as readable to this library as before.
void DeclareCodePage(const fs::path& tablePath, unsigned codePage) {
    const std::string declaration = codePage == Utf8CodePage ? "UTF-8" : std::to_string(codePage);
    const fs::path folder = tablePath.has_parent_path() ? tablePath.parent_path() : fs::path(".");
    const fs::path path = ResolveFileName(PathToUtf8(tablePath.stem()) + ".cpg", folder);
    std::string present;
    std::error_code ignored;
    if (ReadWholeFile(path, present, ignored, 64) && present == declaration)
        return;
    WriteFileAtomically(path, declaration, ignored);
}

// Finds or makes the table file in memory: kept from an earlier open when the file has not
// changed since, else read (or created, when missing and the program defines it).
XdbError LoadOrCreate(Table& table, fs::path path) {
    switch (PresenceOf(path)) {
    case Presence::Unknown:
        return XdbCannotRead;
    case Presence::Present:
        break;
    case Presence::Missing: {
        if (table.definition == nullptr)
            return XdbCannotRead;
        if (!table.lockHeld)
            return XdbNotLocked;
        // A missing table the program defines starts empty, under its own spelling of the
        // name, readable by its owner alone (the user table holds passwords).
        path = path.parent_path() / PathFromUtf8(table.definition->tableFile);
        const std::string bytes = SerializeDbf(EmptyTable(*table.definition), CurrentLocalTime());
        std::error_code error;
        if (!WriteFileAtomically(path, bytes, error,
                                 {.newFileMode = fs::perms::owner_read | fs::perms::owner_write}))
            return XdbCannotCreate;
        break;
    }
    }
    const std::string key = PathToUtf8(Absolute(path));
    auto& file = cache[key];
    if (file && Unchanged(*file)) {
        table.file = file;
        return XdbOk;
    }
    if (!file) {
        file = std::make_shared<TableFile>();
        file->path = path;
    }
    if (table.lockHeld)
        RemoveLeftoverTemporaries(path);
    const XdbError error = ReadTableFile(*file);
    if (error != XdbOk) {
        cache.erase(key);
        return error;
    }
    if (table.lockHeld)
        DeclareCodePage(path, file->data.codePage);
    table.file = file;
    return XdbOk;
}

// Every call keeps its failures to itself: whatever goes wrong inside (memory running out)
// is an error code, never an exception for the caller. The tables in memory are then read
// again before further use.
template <typename Result, typename Body> Result Guarded(Result fallback, Body body) {
    try {
        return body();
    } catch (...) {
        for (auto& entry : cache)
            entry.second->stale = true;
        Fail(XdbFailed);
        return fallback;
    }
}

template <typename Body> void Guarded(Body body) {
    Guarded(0, [&] { return body(), 0; });
}

} // namespace

// `mode`, `share` and `tableKey` are accepted as the program passes them and not otherwise
// used: the files are plain dBASE so that other programs can read them, and the folder lock
// does the sharing.
int XDBOPENEX(const std::string& fileName, int /*mode*/, int /*share*/,
              const std::string& /*tableKey*/) {
    const int handle = nextHandle++;
    Guarded([&] {
        std::string name;
        fs::path folder;
        SplitName(fileName, folder, name);

        Table table;
        table.folder = Absolute(folder);
        const LockResult lock = TakeFolderLock(table.folder);
        if (lock == LockResult::Busy) {
            Fail(XdbLocked);
            return;
        }
        // Without the lock (no lock file can be had here) the table can still be read;
        // writes are refused.
        table.lockHeld = lock == LockResult::Held;
        XdbError result = table.lockHeld ? RollBackJournal(table.folder) : XdbOk;
        table.definition = DefinitionOf(name);
        if (result == XdbOk)
            result = LoadOrCreate(table, ResolveFileName(name, folder));
        if (result != XdbOk) {
            if (table.lockHeld)
                ReleaseFolderLock(table.folder);
            Fail(result);
            return;
        }
        table.generation = table.file->generation;
        ClearBuffer(table);
        tables.emplace(handle, std::move(table));
    });
    return handle;
}

int XDBOPENINDEX(const std::string& indexFileName, int tableHandle) {
    const int handle = nextHandle++;
    Guarded([&] {
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
                Fail(error == std::errc::file_too_large ? XdbTooLarge : XdbCannotRead);
                return;
            }
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
        if (table->lockHeld)
            RemoveLeftoverTemporaries(path);
        if (!WriteIndexFile(file))
            Fail(presence == Presence::Missing ? XdbCannotCreate : XdbWriteFailed);
    });
    return handle;
}

void XDBREINDEX(int tableHandle, int indexHandle, int /*option*/) {
    Guarded([&] {
        Table* table = IndexedTable(tableHandle, indexHandle);
        if (table == nullptr)
            return;
        // The index in memory follows every write; the file is written when it is not what
        // the index holds (a write since, or somebody damaged or removed it).
        if (IndexFileCurrent(*table->file))
            return;
        if (!table->lockHeld)
            Fail(XdbNotLocked);
        else if (!WriteIndexFile(*table->file))
            Fail(XdbWriteFailed);
    });
}

void XDBCLOSE(int tableHandle) {
    Guarded([&] {
        auto it = tables.find(tableHandle);
        if (it == tables.end()) {
            Fail(XdbBadHandle);
            return;
        }
        Table& table = it->second;
        TableFile& file = *table.file;
        if (table.lockHeld) {
            // Deletes not yet written are written now, and the index once per operation.
            if (!file.pending.empty()) {
                if (const XdbError error = CatchUp(file); error != XdbOk)
                    Fail(error);
                else
                    Commit(table, {}, file.data.records.size(), DbfFileLength(file.data));
            }
            if (file.indexed && file.indexDirty && !file.stale)
                WriteIndexFile(file);
        }
        std::erase_if(indexHandles, [&](const auto& entry) { return entry.second == tableHandle; });
        if (table.lockHeld)
            ReleaseFolderLock(table.folder);
        tables.erase(it);
    });
}

int XDBRECORDCOUNT(int tableHandle) {
    return Guarded(0, [&] {
        const Table* table = FindTable(tableHandle);
        return table == nullptr ? 0 : static_cast<int>(table->file->live.size());
    });
}

void XDBCLEARBUFFER(int tableHandle) {
    Guarded([&] {
        if (Table* table = FindTable(tableHandle))
            ClearBuffer(*table);
    });
}

void XDBGETRECORD(int tableHandle, int recordNumber) {
    Guarded([&] {
        Table* table = FindTable(tableHandle);
        if (table == nullptr)
            return;
        std::uint32_t slot = 0;
        if (!SlotOf(*table->file, recordNumber, slot)) {
            Fail(XdbNoSuchRecord);
            ForgetPosition(*table, 0);
            return;
        }
        LoadRecord(*table, slot);
    });
}

std::string XDBFIELDVALUE(int tableHandle, const std::string& fieldName, int /*option*/) {
    return Guarded(std::string(), [&] {
        const Table* table = FindTable(tableHandle);
        if (table == nullptr)
            return std::string();
        const int field = FieldIndex(*table, fieldName);
        if (field < 0) {
            Fail(XdbNoSuchField);
            return std::string();
        }
        return table->buffer[static_cast<std::size_t>(field)];
    });
}

void XDBASSIGNFIELD(int tableHandle, const std::string& fieldName, int fieldNumber,
                    const std::string& value) {
    Guarded([&] {
        Table* table = FindTable(tableHandle);
        if (table == nullptr)
            return;
        int field = -1;
        if (!fieldName.empty())
            field = FieldIndex(*table, fieldName);
        else if (fieldNumber >= 1 && static_cast<std::size_t>(fieldNumber) <= table->buffer.size())
            field = fieldNumber - 1;
        if (field < 0) {
            Fail(XdbNoSuchField);
            return;
        }
        if (!IsStorableValue(value)) {
            Fail(XdbBadValue);
            return;
        }
        std::string bytes;
        if (!ToTableBytes(table->file->data, value, bytes)) {
            Fail(XdbNotInCodePage);
            return;
        }
        if (!FitsField(bytes, table->file->data.fields[static_cast<std::size_t>(field)].width)) {
            Fail(XdbValueTooLong);
            return;
        }
        table->buffer[static_cast<std::size_t>(field)] = value;
    });
}

bool XdbCodePageHolds(int tableHandle, const std::string& value) {
    return Guarded(true, [&] {
        const auto it = tables.find(tableHandle);
        std::string bytes;
        return it == tables.end() || !it->second.file ||
               ToTableBytes(it->second.file->data, value, bytes);
    });
}

void XDBADDRECORD(int tableHandle) {
    Guarded([&] {
        Table* table = WritableTable(tableHandle);
        if (table == nullptr)
            return;
        TableFile& file = *table->file;
        DbfTable& data = file.data;
        const auto slot = static_cast<std::uint32_t>(data.records.size());
        data.records.push_back({false, table->buffer});
        std::string bytes = EncodeDbfRecord(data, data.records.back());
        bytes.push_back(DbfFileEnd);
        if (!Commit(*table, {{DbfRecordOffset(data, slot), std::move(bytes)}}, data.records.size(),
                    DbfFileLength(data))) {
            data.records.pop_back();
            return;
        }
        file.live.push_back(slot);
        if (file.indexed)
            InsertEntry(file, slot);
        LoadRecord(*table, slot);
    });
}

void XDBPUTRECORD(int tableHandle, int& recordNumber) {
    Guarded([&] {
        std::uint32_t slot = 0;
        Table* table = WritableRecord(tableHandle, recordNumber, slot);
        if (table == nullptr)
            return;
        TableFile& file = *table->file;
        auto& values = file.data.records[slot].values;
        if (file.indexed)
            RemoveEntry(file, slot);
        std::vector<std::string> previous = std::move(values);
        values = table->buffer;
        const bool written = Commit(*table,
                                    {{DbfRecordOffset(file.data, slot),
                                      EncodeDbfRecord(file.data, file.data.records[slot])}},
                                    file.data.records.size(), DbfFileLength(file.data));
        if (!written)
            values = std::move(previous);
        if (file.indexed)
            InsertEntry(file, slot);
        if (written)
            LoadRecord(*table, slot);
    });
}

void XDBDELETERECORD(int tableHandle, int recordNumber) {
    Guarded([&] {
        std::uint32_t slot = 0;
        Table* table = WritableRecord(tableHandle, recordNumber, slot);
        if (table == nullptr)
            return;
        TableFile& file = *table->file;
        file.live.erase(file.live.begin() + recordNumber - 1);
        if (file.indexed)
            RemoveEntry(file, slot);
        file.pending.push_back(slot);
        ++file.generation;
    });
}

void XDBPACK(int tableHandle) {
    Guarded([&] {
        if (Table* table = WritableTable(tableHandle))
            Pack(*table);
    });
}

int XDBSEEK(int tableHandle, int indexHandle, const std::string& key) {
    return Guarded(0, [&] {
        Table* table = IndexedTable(tableHandle, indexHandle);
        if (table == nullptr)
            return 0;
        return SeekResult(*table, FindExactKey(table->file->index.entries, key), key);
    });
}

int XDBSEEKPARTIAL(int tableHandle, int indexHandle, const std::string& key) {
    return Guarded(0, [&] {
        Table* table = IndexedTable(tableHandle, indexHandle);
        if (table == nullptr)
            return 0;
        return SeekResult(*table, FindKeyPrefix(table->file->index.entries, key), key);
    });
}

int XDBRECORDNUMBER(int tableHandle) {
    return Guarded(0, [&] {
        const Table* table = FindTable(tableHandle);
        if (table == nullptr || table->current == 0)
            return 0;
        const auto& live = table->file->live;
        const auto at = std::lower_bound(live.begin(), live.end(), table->current - 1);
        return at != live.end() && *at == table->current - 1
                   ? static_cast<int>(at - live.begin()) + 1
                   : 0;
    });
}

void XDBMOVEFIRST(int tableHandle, int indexHandle) {
    Guarded([&] {
        if (Table* table = IndexedTable(tableHandle, indexHandle))
            MoveTo(*table, 0);
    });
}

void XDBMOVENEXT(int tableHandle, int indexHandle) {
    Guarded([&] {
        if (Table* table = IndexedTable(tableHandle, indexHandle))
            MoveTo(*table, StartPosition(*table, 1));
    });
}

void XDBMOVEPREV(int tableHandle, int indexHandle) {
    Guarded([&] {
        if (Table* table = IndexedTable(tableHandle, indexHandle))
            MoveTo(*table, StartPosition(*table, -1));
    });
}

void XDBMOVELAST(int tableHandle, int indexHandle) {
    Guarded([&] {
        if (Table* table = IndexedTable(tableHandle, indexHandle))
            MoveTo(*table, static_cast<long long>(table->file->index.entries.size()) - 1);
    });
}

int XDBEOF(int tableHandle) {
    return Guarded(1, [&] {
        const Table* table = FindTable(tableHandle);
        return table == nullptr || table->eof ? 1 : 0;
    });
}

int XDBBOF(int tableHandle) {
    return Guarded(1, [&] {
        const Table* table = FindTable(tableHandle);
        return table == nullptr || table->bof ? 1 : 0;
    });
}

void XDBRESETERROR() {
    pendingError = XdbOk;
}

int XDBERROR() {
    return pendingError;
}

bool XdbFinishInterruptedWrite(const fs::path& folder) {
    return Guarded(false, [&] {
        const XdbError error = RollBackJournal(folder.empty() ? fs::path(".") : folder);
        if (error != XdbOk)
            Fail(error);
        return error == XdbOk;
    });
}
