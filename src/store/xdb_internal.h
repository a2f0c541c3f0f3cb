#pragma once
// What the parts of the record-database library share: the tables in memory and the handles
// on them. Only src/store includes this.
//
//   xdb.cpp          the XDB* calls: handles, buffers, fields, the pending error
//   table_cache.cpp  table files kept in memory, and whether a file changed since
//   table_writes.cpp adds, overwrites, deletes and packs, each one commit through the journal
//   browse.cpp       the name index in memory and in its file, seeks and moves

#include "store/dbf_file.h"
#include "store/file_io.h"
#include "store/name_index.h"
#include "store/schema.h"
#include "store/xdb.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace xdb {

namespace fs = std::filesystem;

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
    NameIndex index;                                                      // entries name slots + 1
    std::multiset<IndexEntry, decltype(&EntryBefore)> added{EntryBefore}; // not merged yet
    std::vector<std::uint32_t> positionOf; // slot -> position in index.entries
    bool positionsStale = true;
    fs::path indexPath;
    FileState indexFile;          // the index file as last written or found equal to `index`
    bool indexDirty = true;       // `index` differs from what the file holds
    bool indexUnreadable = false; // the file could not be read at the open: left alone

    // An open batch (XdbBeginBatch): its writes are in memory only until it is committed.
    int batchHandle = 0;
    std::size_t batchRecords = 0; // records in the file when it began
    std::map<std::uint32_t, std::vector<std::string>> batchBefore; // values it overwrote
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
    std::string gapKey;        // or the key a failed seek looked for, when `gapByKey`
    bool gapByKey = false;
    bool eof = false;
    bool bof = false;
};

extern std::map<int, Table> tables;
extern std::map<int, int> indexHandles; // index handle -> its table handle

// ---- xdb.cpp ----
void Fail(XdbError error);
// The open table of a handle (its position lost when its records moved), or nullptr with
// XdbBadHandle set.
Table* FindTable(int handle);
void ClearBuffer(Table& table);
void ForgetPosition(Table& table, std::size_t gap);
void LoadRecord(Table& table, std::uint32_t slot);
// Names compared without regard to letter case.
bool SameName(std::string_view a, std::string_view b);
int FieldIndex(const Table& table, std::string_view name);

// ---- table_cache.cpp ----
// Opens a table: takes the folder's lock, plays back or checkpoints its journal, and finds or
// makes the table file in memory.
XdbError OpenTable(const std::string& fileName, Table& table);
fs::path Absolute(const fs::path& path);
// Splits a file name as the program passes it into its folder and its name there.
void SplitName(const std::string& fileName, fs::path& folder, std::string& name);
enum class Presence { Present, Missing, Unknown };
Presence PresenceOf(const fs::path& path);
void RemoveLeftoverTemporaries(const fs::path& file);
XdbError ReadTableFile(TableFile& file);
bool Unchanged(const TableFile& file);
XdbError CatchUp(TableFile& file);
XdbError LoadOrCreate(Table& table, fs::path path);
// Writes the index files that this process's writes left behind its index in memory (of the
// tables in `folder`, or of every table), unless somebody else changed them since.
void WriteIndexesBehind(const fs::path* folder);
// After a failure inside a call (memory ran out): every table is read again before further use.
void MarkEveryTableStale();

// ---- table_writes.cpp ----
Table* WritableTable(int handle);
// The table of a write to an existing record, with the record's slot; nullptr (the error set)
// when the table cannot be written or has no such record.
Table* WritableRecord(int handle, int record, std::uint32_t& slot);
bool SlotOf(const TableFile& file, int record, std::uint32_t& slot);
void AddRecord(Table& table);
void PutRecord(Table& table, std::uint32_t slot);
void DeleteRecord(Table& table, int record, std::uint32_t slot);
bool Pack(Table& table);
// Deletes not yet written, at the close.
void WritePendingDeletes(Table& table);
void BeginBatch(Table& table, int handle);
void CommitBatch(Table& table, int handle);
// Drops the batch's writes from memory.
void AbandonBatch(TableFile& file);

// ---- browse.cpp ----
TableFingerprint FingerprintOf(const TableFile& file);
void RebuildIndex(TableFile& file);
void InsertEntry(TableFile& file, std::uint32_t slot);
void MergeIndex(TableFile& file);
void RemoveEntry(TableFile& file, std::uint32_t slot);
bool WriteIndexFile(TableFile& file);
bool IndexFileCurrent(const TableFile& file);
void OpenIndex(int tableHandle, int indexHandle, const std::string& indexFileName);
// The table of a move or seek with its index, or nullptr (the error set, the browse ended).
Table* IndexedTable(int tableHandle, int indexHandle);
void MoveTo(Table& table, long long position);
long long StartPosition(Table& table, int step);
long long LastPosition(Table& table);
// XDBSEEK (whole keys) and XDBSEEKPARTIAL.
int Seek(Table& table, std::string_view key, bool partial);
int RecordNumberOf(const Table& table);

} // namespace xdb
