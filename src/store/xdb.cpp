// The record-database library. A table is small: its open reads the whole file into memory,
// and every write builds the whole new file and replaces the old one atomically, so that a
// crash leaves either the old or the new table. The handle's view changes only once the
// new file is in place.

#include "store/xdb.h"

#include "common/files.h"
#include "common/text.h"
#include "store/crc32.h"
#include "store/dbf_file.h"
#include "store/folder_lock.h"
#include "store/name_index.h"
#include "store/schema.h"

#include <algorithm>
#include <fstream>
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

// What identifies one version of a file on disk; every write makes a new file.
struct FileStamp {
    std::uintmax_t size = 0;
    long long modified = 0;
    unsigned long long node = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const fs::path& path) {
    FileStamp stamp;
#ifdef _WIN32
    std::error_code error;
    stamp.size = fs::file_size(path, error);
    stamp.modified = fs::last_write_time(path, error).time_since_epoch().count();
    stamp.node = FileIdentity(path);
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        stamp.size = static_cast<std::uintmax_t>(info.st_size);
        stamp.modified =
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
        stamp.node = static_cast<unsigned long long>(info.st_ino) ^
                     (static_cast<unsigned long long>(info.st_dev) << 32);
    }
#endif
    return stamp;
}

struct Table {
    fs::path path;
    fs::path folder; // absolute; its lock is held while the table is open
    bool lockHeld = false;
    const TableDefinition* definition = nullptr;
    DbfTable data;
    std::uint32_t fileCrc = 0;
    FileStamp stamp;

    std::vector<std::string> buffer;
    int current = 0;     // record number, 0 when there is no current record
    std::size_t gap = 0; // without a current record: the index position a move starts from
    bool eof = false;
    bool bof = false;

    bool indexed = false;
    fs::path indexPath;
    std::size_t keyField = 0;
    NameIndex index;
    std::vector<std::size_t> positionOf; // record number -> position in index.entries
};

std::map<int, Table> tables;
std::map<int, int> indexHandles; // index handle -> its table handle
int nextHandle = 1;
int pendingError = XdbOk;

void Fail(XdbError error) {
    pendingError = error;
}

Table* FindTable(int handle) {
    auto it = tables.find(handle);
    if (it == tables.end()) {
        Fail(XdbBadHandle);
        return nullptr;
    }
    return &it->second;
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
    for (std::size_t i = 0; i < table.data.fields.size(); ++i) {
        if (SameName(table.data.fields[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

TableFingerprint FingerprintOf(const Table& table) {
    return {static_cast<std::uint32_t>(table.data.records.size()), table.fileCrc};
}

void ClearBuffer(Table& table) {
    table.buffer.assign(table.data.fields.size(), std::string());
}

void ForgetPosition(Table& table, std::size_t gap) {
    table.current = 0;
    table.gap = gap;
    ClearBuffer(table);
}

void LoadRecord(Table& table, int record) {
    table.current = record;
    table.buffer = table.data.records[static_cast<std::size_t>(record) - 1].values;
    table.buffer.resize(table.data.fields.size());
    table.eof = false;
    table.bof = false;
}

void RecomputePositions(Table& table) {
    table.positionOf.assign(table.data.records.size() + 1, 0);
    for (std::size_t i = 0; i < table.index.entries.size(); ++i)
        table.positionOf[table.index.entries[i].record] = i;
}

void RebuildIndex(Table& table) {
    const std::string& fieldName = table.data.fields[table.keyField].name;
    table.index = BuildNameIndex(table.data, table.keyField, fieldName, FingerprintOf(table));
    RecomputePositions(table);
}

bool WriteIndexFile(Table& table) {
    table.index.fingerprint = FingerprintOf(table);
    std::error_code error;
    return WriteFileAtomically(table.indexPath, SerializeNameIndex(table.index), error);
}

// Reads and parses a table file; the path must exist.
XdbError ReadTable(const fs::path& path, DbfTable& data, std::uint32_t& crc) {
    std::string bytes;
    std::error_code error;
    if (!ReadWholeFile(path, bytes, error))
        return XdbCannotRead;
    if (ParseDbf(bytes, data) != XdbOk)
        return XdbDamaged;
    crc = Crc32(bytes);
    return XdbOk;
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

// A process stopped in the middle of a write leaves its temporary file beside the table
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

// Splits a file name as the program passes it into its folder and its name there.
void SplitName(const std::string& fileName, fs::path& folder, std::string& name) {
    const fs::path given = PathFromUtf8(fileName);
    folder = given.parent_path();
    if (folder.empty())
        folder = ".";
    name = PathToUtf8(given.filename());
}

XdbError LoadOrCreate(Table& table) {
    switch (PresenceOf(table.path)) {
    case Presence::Unknown:
        return XdbCannotRead;
    case Presence::Present:
        return ReadTable(table.path, table.data, table.fileCrc);
    case Presence::Missing:
        break;
    }
    if (table.definition == nullptr)
        return XdbCannotRead;
    // A missing table the program defines starts empty, under its own spelling of the name.
    table.path = table.path.parent_path() / PathFromUtf8(table.definition->tableFile);
    table.data = EmptyTable(*table.definition);
    const std::string bytes = SerializeDbf(table.data, CurrentLocalTime());
    std::error_code error;
    if (!WriteFileAtomically(table.path, bytes, error))
        return XdbCannotCreate;
    table.fileCrc = Crc32(bytes);
    return XdbOk;
}

// Before a write: when the file is no longer the one this handle read (another handle of
// this process wrote it), the write applies to the file as it now is, never to a stale copy.
bool CatchUp(Table& table) {
    if (StampOf(table.path) == table.stamp)
        return true;
    DbfTable data;
    std::uint32_t crc = 0;
    if (const XdbError error = ReadTable(table.path, data, crc); error != XdbOk) {
        Fail(error);
        return false;
    }
    if (table.indexed && table.keyField >= data.fields.size()) {
        Fail(XdbDamaged);
        return false;
    }
    table.data = std::move(data);
    table.fileCrc = crc;
    table.stamp = StampOf(table.path);
    table.buffer.resize(table.data.fields.size());
    if (table.current > static_cast<int>(table.data.records.size()))
        ForgetPosition(table, 0);
    if (table.indexed)
        RebuildIndex(table);
    return true;
}

// Writes the table's current data as the new file. On failure the caller undoes its change.
bool CommitTable(Table& table) {
    const std::string bytes = SerializeDbf(table.data, CurrentLocalTime());
    std::error_code error;
    if (!WriteFileAtomically(table.path, bytes, error)) {
        Fail(XdbWriteFailed);
        return false;
    }
    table.fileCrc = Crc32(bytes);
    table.stamp = StampOf(table.path);
    return true;
}

// After a committed write. The index file is derived data: when it cannot be written it is
// merely stale, and the next open rebuilds it.
void IndexChanged(Table& table) {
    RecomputePositions(table);
    WriteIndexFile(table);
}

void PlaceEntry(Table& table, int record) {
    IndexEntry entry{
        IndexKey(table.data.records[static_cast<std::size_t>(record) - 1].values[table.keyField]),
        static_cast<std::uint32_t>(record)};
    auto& entries = table.index.entries;
    entries.insert(std::upper_bound(entries.begin(), entries.end(), entry, EntryBefore),
                   std::move(entry));
}

bool ValidRecord(const Table& table, int record) {
    return record >= 1 && static_cast<std::size_t>(record) <= table.data.records.size();
}

// The table of a move or seek with its index. A table whose index handle is not open stops
// any browse: no current record, both ends reached.
Table* IndexedTable(int tableHandle, int indexHandle) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr)
        return nullptr;
    auto it = indexHandles.find(indexHandle);
    if (it == indexHandles.end() || it->second != tableHandle || !table->indexed) {
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
    const auto size = static_cast<long long>(table.index.entries.size());
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
        LoadRecord(table, static_cast<int>(
                              table.index.entries[static_cast<std::size_t>(position)].record));
    }
}

// The index position a move starts from: the current record's, or the gap a failed seek
// or a pass over an end left.
long long NextPosition(const Table& table) {
    if (table.current != 0)
        return static_cast<long long>(table.positionOf[static_cast<std::size_t>(table.current)]) +
               1;
    return static_cast<long long>(table.gap);
}

long long PreviousPosition(const Table& table) {
    if (table.current != 0)
        return static_cast<long long>(table.positionOf[static_cast<std::size_t>(table.current)]) -
               1;
    return static_cast<long long>(table.gap) - 1;
}

int SeekResult(Table& table, std::size_t found, std::string_view key) {
    if (found == NoEntry) {
        ForgetPosition(table, KeyInsertionPoint(table.index.entries, key));
        table.eof = false;
        table.bof = false;
        return 0;
    }
    LoadRecord(table, static_cast<int>(table.index.entries[found].record));
    return 1;
}

} // namespace

// `mode`, `share` and `tableKey` are accepted as the program passes them and not otherwise
// used: the files are plain dBASE so that other programs can read them, and the folder lock
// does the sharing.
int XDBOPENEX(const std::string& fileName, int /*mode*/, int /*share*/,
              const std::string& /*tableKey*/) {
    const int handle = nextHandle++;
    std::string name;
    fs::path folder;
    SplitName(fileName, folder, name);

    Table table;
    std::error_code error;
    table.folder = fs::absolute(folder, error);
    if (error)
        table.folder = folder;
    const LockResult lock = TakeFolderLock(table.folder);
    if (lock == LockResult::Busy) {
        Fail(XdbLocked);
        return handle;
    }
    // Without a lock file (a read-only folder) the table can still be read; writes fail.
    table.lockHeld = lock == LockResult::Held;
    table.definition = DefinitionOf(name);
    table.path = ResolveFileName(name, folder);
    if (const XdbError result = LoadOrCreate(table); result != XdbOk) {
        if (table.lockHeld)
            ReleaseFolderLock(table.folder);
        Fail(result);
        return handle;
    }
    if (table.lockHeld)
        RemoveLeftoverTemporaries(table.path);
    table.stamp = StampOf(table.path);
    ClearBuffer(table);
    tables.emplace(handle, std::move(table));
    return handle;
}

int XDBOPENINDEX(const std::string& indexFileName, int tableHandle) {
    const int handle = nextHandle++;
    Table* table = FindTable(tableHandle);
    if (table == nullptr)
        return handle;

    std::string name;
    fs::path folder;
    SplitName(indexFileName, folder, name);
    int keyField = 0;
    if (table->definition != nullptr && !table->definition->indexField.empty())
        keyField = FieldIndex(*table, table->definition->indexField);
    if (keyField < 0) {
        Fail(XdbDamaged); // the table lacks the field its index is defined on
        return handle;
    }

    fs::path path = ResolveFileName(name, folder);
    const Presence presence = PresenceOf(path);
    NameIndex stored;
    bool matches = false;
    if (presence == Presence::Unknown) {
        Fail(XdbCannotRead);
        return handle;
    }
    if (presence == Presence::Present) {
        std::string bytes;
        std::error_code error;
        if (!ReadWholeFile(path, bytes, error)) {
            Fail(XdbCannotRead);
            return handle;
        }
        matches = ParseNameIndex(bytes, stored) == XdbOk;
    } else if (table->definition != nullptr && SameName(name, table->definition->indexFile)) {
        path = folder / PathFromUtf8(table->definition->indexFile);
    }

    if (table->lockHeld)
        RemoveLeftoverTemporaries(path);
    table->indexed = true;
    table->indexPath = path;
    table->keyField = static_cast<std::size_t>(keyField);
    RebuildIndex(*table);
    // The stored index is never trusted, only compared: when it differs in anything from
    // the one built from the table, it is replaced.
    matches = matches && stored.expression == table->index.expression &&
              stored.keyCharacters == table->index.keyCharacters &&
              stored.fingerprint == table->index.fingerprint &&
              stored.entries.size() == table->index.entries.size() &&
              std::equal(stored.entries.begin(), stored.entries.end(), table->index.entries.begin(),
                         [](const auto& a, const auto& b) {
                             return a.key == b.key && a.record == b.record;
                         });
    if (!matches && !WriteIndexFile(*table))
        Fail(presence == Presence::Missing ? XdbCannotCreate : XdbWriteFailed);
    indexHandles[handle] = tableHandle;
    return handle;
}

void XDBREINDEX(int tableHandle, int indexHandle, int /*option*/) {
    Table* table = IndexedTable(tableHandle, indexHandle);
    if (table == nullptr)
        return;
    RebuildIndex(*table);
    if (!WriteIndexFile(*table))
        Fail(XdbWriteFailed);
}

void XDBCLOSE(int tableHandle) {
    auto it = tables.find(tableHandle);
    if (it == tables.end()) {
        Fail(XdbBadHandle);
        return;
    }
    std::erase_if(indexHandles, [&](const auto& entry) { return entry.second == tableHandle; });
    if (it->second.lockHeld)
        ReleaseFolderLock(it->second.folder);
    tables.erase(it);
}

int XDBRECORDCOUNT(int tableHandle) {
    const Table* table = FindTable(tableHandle);
    return table == nullptr ? 0 : static_cast<int>(table->data.records.size());
}

void XDBCLEARBUFFER(int tableHandle) {
    if (Table* table = FindTable(tableHandle))
        ClearBuffer(*table);
}

void XDBGETRECORD(int tableHandle, int recordNumber) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr)
        return;
    if (!ValidRecord(*table, recordNumber)) {
        Fail(XdbNoSuchRecord);
        ForgetPosition(*table, 0);
        return;
    }
    LoadRecord(*table, recordNumber);
}

std::string XDBFIELDVALUE(int tableHandle, const std::string& fieldName, int /*option*/) {
    const Table* table = FindTable(tableHandle);
    if (table == nullptr)
        return {};
    const int field = FieldIndex(*table, fieldName);
    if (field < 0) {
        Fail(XdbNoSuchField);
        return {};
    }
    return table->buffer[static_cast<std::size_t>(field)];
}

void XDBASSIGNFIELD(int tableHandle, const std::string& fieldName, int fieldNumber,
                    const std::string& value) {
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
    if (!FitsField(value, table->data.fields[static_cast<std::size_t>(field)].width)) {
        Fail(XdbValueTooLong);
        return;
    }
    table->buffer[static_cast<std::size_t>(field)] = value;
}

void XDBADDRECORD(int tableHandle) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr || !CatchUp(*table))
        return;
    table->data.records.push_back({false, table->buffer});
    if (!CommitTable(*table)) {
        table->data.records.pop_back();
        return;
    }
    const int record = static_cast<int>(table->data.records.size());
    if (table->indexed) {
        PlaceEntry(*table, record);
        IndexChanged(*table);
    }
    LoadRecord(*table, record);
}

void XDBPUTRECORD(int tableHandle, int& recordNumber) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr || !CatchUp(*table))
        return;
    if (!ValidRecord(*table, recordNumber)) {
        Fail(XdbNoSuchRecord);
        return;
    }
    auto& values = table->data.records[static_cast<std::size_t>(recordNumber) - 1].values;
    std::vector<std::string> previous = std::move(values);
    values = table->buffer;
    if (!CommitTable(*table)) {
        values = std::move(previous);
        return;
    }
    if (table->indexed) {
        auto& entries = table->index.entries;
        entries.erase(
            entries.begin() +
            static_cast<std::ptrdiff_t>(table->positionOf[static_cast<std::size_t>(recordNumber)]));
        PlaceEntry(*table, recordNumber);
        IndexChanged(*table);
    }
    LoadRecord(*table, recordNumber);
}

void XDBDELETERECORD(int tableHandle, int recordNumber) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr || !CatchUp(*table))
        return;
    if (!ValidRecord(*table, recordNumber)) {
        Fail(XdbNoSuchRecord);
        return;
    }
    auto& record = table->data.records[static_cast<std::size_t>(recordNumber) - 1];
    const bool was = record.deleted;
    record.deleted = true;
    if (!CommitTable(*table)) {
        record.deleted = was;
        return;
    }
    if (table->indexed)
        WriteIndexFile(*table); // same keys, new fingerprint
}

void XDBPACK(int tableHandle) {
    Table* table = FindTable(tableHandle);
    if (table == nullptr || !CatchUp(*table))
        return;
    auto& records = table->data.records;
    if (std::none_of(records.begin(), records.end(), [](const auto& r) { return r.deleted; }))
        return;
    std::vector<DbfRecord> kept;
    kept.reserve(records.size());
    for (const auto& record : records) {
        if (!record.deleted)
            kept.push_back(record);
    }
    std::swap(records, kept);
    if (!CommitTable(*table)) {
        std::swap(records, kept);
        return;
    }
    // Record numbers have changed under every position.
    ForgetPosition(*table, 0);
    table->eof = false;
    table->bof = false;
    if (table->indexed) {
        RebuildIndex(*table);
        WriteIndexFile(*table);
    }
}

int XDBSEEK(int tableHandle, int indexHandle, const std::string& key) {
    Table* table = IndexedTable(tableHandle, indexHandle);
    if (table == nullptr)
        return 0;
    return SeekResult(*table, FindExactKey(table->index.entries, key), key);
}

int XDBSEEKPARTIAL(int tableHandle, int indexHandle, const std::string& key) {
    Table* table = IndexedTable(tableHandle, indexHandle);
    if (table == nullptr)
        return 0;
    return SeekResult(*table, FindKeyPrefix(table->index.entries, key), key);
}

int XDBRECORDNUMBER(int tableHandle) {
    const Table* table = FindTable(tableHandle);
    return table == nullptr ? 0 : table->current;
}

void XDBMOVEFIRST(int tableHandle, int indexHandle) {
    if (Table* table = IndexedTable(tableHandle, indexHandle))
        MoveTo(*table, 0);
}

void XDBMOVENEXT(int tableHandle, int indexHandle) {
    if (Table* table = IndexedTable(tableHandle, indexHandle))
        MoveTo(*table, NextPosition(*table));
}

void XDBMOVEPREV(int tableHandle, int indexHandle) {
    if (Table* table = IndexedTable(tableHandle, indexHandle))
        MoveTo(*table, PreviousPosition(*table));
}

void XDBMOVELAST(int tableHandle, int indexHandle) {
    if (Table* table = IndexedTable(tableHandle, indexHandle))
        MoveTo(*table, static_cast<long long>(table->index.entries.size()) - 1);
}

int XDBEOF(int tableHandle) {
    const Table* table = FindTable(tableHandle);
    return table == nullptr || table->eof ? 1 : 0;
}

int XDBBOF(int tableHandle) {
    const Table* table = FindTable(tableHandle);
    return table == nullptr || table->bof ? 1 : 0;
}

void XDBRESETERROR() {
    pendingError = XdbOk;
}

int XDBERROR() {
    return pendingError;
}
