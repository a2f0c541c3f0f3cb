// The record-database library's calls: handles, record buffers, fields and the pending error.
// The tables behind the handles are kept in memory (table_cache.cpp); writes go through the
// journal (table_writes.cpp); seeks and moves follow the name index (browse.cpp).

#include "store/xdb.h"

#include "common/files.h"
#include "common/text.h"
#include "store/folder_lock.h"
#include "store/journal.h"
#include "store/xdb_internal.h"

#include <algorithm>

namespace xdb {

std::map<int, Table> tables;
std::map<int, int> indexHandles;

namespace {
int nextHandle = 1;
int pendingError = XdbOk;
} // namespace

void Fail(XdbError error) {
    pendingError = error;
}

void ClearBuffer(Table& table) {
    table.buffer.assign(table.file ? table.file->data.fields.size() : 0, std::string());
}

void ForgetPosition(Table& table, std::size_t gap) {
    table.current = 0;
    table.gap = gap;
    table.gapByKey = false;
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

int FieldIndex(const Table& table, std::string_view name) {
    const auto& fields = table.file->data.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (SameName(fields[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

void LoadRecord(Table& table, std::uint32_t slot) {
    table.current = slot + 1;
    table.buffer = table.file->data.records[slot].values;
    table.buffer.resize(table.file->data.fields.size());
    table.eof = false;
    table.bof = false;
}

namespace {

// Every call keeps its failures to itself: whatever goes wrong inside (memory running out)
// is an error code, never an exception for the caller. The tables in memory are then read
// again before further use.
template <typename Result, typename Body> Result Guarded(Result fallback, Body body) {
    try {
        return body();
    } catch (...) {
        MarkEveryTableStale();
        Fail(XdbFailed);
        return fallback;
    }
}

template <typename Body> void Guarded(Body body) {
    Guarded(0, [&] { return body(), 0; });
}

} // namespace

} // namespace xdb

using namespace xdb;

// `mode`, `share` and `tableKey` are accepted as the program passes them and not otherwise
// used: the files are plain dBASE so that other programs can read them, and the folder lock
// does the sharing.
int XDBOPENEX(const std::string& fileName, int /*mode*/, int /*share*/,
              const std::string& /*tableKey*/) {
    const int handle = nextHandle++;
    Guarded([&] {
        Table table;
        if (const XdbError error = OpenTable(fileName, table); error != XdbOk)
            Fail(error);
        else
            tables.emplace(handle, std::move(table));
    });
    return handle;
}

int XDBOPENINDEX(const std::string& indexFileName, int tableHandle) {
    const int handle = nextHandle++;
    Guarded([&] { OpenIndex(tableHandle, handle, indexFileName); });
    return handle;
}

void XDBREINDEX(int tableHandle, int indexHandle, int /*option*/) {
    Guarded([&] {
        Table* table = IndexedTable(tableHandle, indexHandle);
        if (table == nullptr)
            return;
        // The index in memory follows every write; the file is written when it is not as
        // this process left it (somebody damaged, removed or replaced it). This process's own
        // writes reach it when the process ends or a backup is made (WriteIndexesBehind).
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
        if (file.batchHandle == tableHandle)
            AbandonBatch(file);
        if (table.lockHeld) {
            // Deletes not yet written are written now.
            WritePendingDeletes(table);
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

void XDBADDRECORD(int tableHandle) {
    Guarded([&] {
        if (Table* table = WritableTable(tableHandle))
            AddRecord(*table);
    });
}

void XDBPUTRECORD(int tableHandle, int& recordNumber) {
    Guarded([&] {
        std::uint32_t slot = 0;
        if (Table* table = WritableRecord(tableHandle, recordNumber, slot))
            PutRecord(*table, slot);
    });
}

void XDBDELETERECORD(int tableHandle, int recordNumber) {
    Guarded([&] {
        std::uint32_t slot = 0;
        if (Table* table = WritableRecord(tableHandle, recordNumber, slot))
            DeleteRecord(*table, recordNumber, slot);
    });
}

void XdbBeginBatch(int tableHandle) {
    Guarded([&] {
        if (Table* table = WritableTable(tableHandle))
            BeginBatch(*table, tableHandle);
    });
}

void XdbCommitBatch(int tableHandle) {
    Guarded([&] {
        if (Table* table = WritableTable(tableHandle))
            CommitBatch(*table, tableHandle);
    });
}

void XdbAbandonBatch(int tableHandle) {
    Guarded([&] {
        if (Table* table = FindTable(tableHandle);
            table != nullptr && table->file->batchHandle == tableHandle)
            AbandonBatch(*table->file);
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
        return Seek(*table, key, false);
    });
}

int XDBSEEKPARTIAL(int tableHandle, int indexHandle, const std::string& key) {
    return Guarded(0, [&] {
        Table* table = IndexedTable(tableHandle, indexHandle);
        if (table == nullptr)
            return 0;
        return Seek(*table, key, true);
    });
}

int XDBRECORDNUMBER(int tableHandle) {
    return Guarded(0, [&] {
        const Table* table = FindTable(tableHandle);
        return table == nullptr ? 0 : RecordNumberOf(*table);
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
            MoveTo(*table, LastPosition(*table));
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
        const fs::path where = folder.empty() ? fs::path(".") : folder;
        WriteIndexesBehind(&where);
        const XdbError error = FinishJournal(where);
        if (error != XdbOk)
            Fail(error);
        return error == XdbOk;
    });
}
