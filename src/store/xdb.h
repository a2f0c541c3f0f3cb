#pragma once
// The record-database library: dBASE III tables with a name index, reached through handles.
//
// Records are numbered from 1. Each table handle has a record buffer and a current record.
// Every call answers harmlessly for a handle that is not open (a count of 0, empty values,
// writes refused) and reports the problem through the pending error code, which stays set
// until XDBRESETERROR; a call that succeeds leaves it as it was. No call throws. Writes are
// all or nothing: a write that fails leaves the file, and the handle's view of it, as they
// were; a write that returned survives a power cut at any later moment, and a process stopped in
// the middle of one leaves a journal that the next open plays back (journal.h).
//
// A table handle holds an advisory lock on its folder from XDBOPENEX to XDBCLOSE, so that
// two running copies of the program cannot interleave their work; an open waits a few
// seconds for another copy to finish before it gives up with XdbLocked. Without the lock
// (its file cannot be opened, as when another account owns it) tables can be read but every
// write is refused with XdbNotLocked.
//
// Besides the codes below, every call may set XdbFailed (it could not be carried out at all,
// say for want of memory) and XdbBadHandle (the table handle is not open).

#include <filesystem>
#include <string>

enum XdbError {
    XdbOk = 0,
    XdbCannotRead = 1,     // the file exists but cannot be opened or read
    XdbDamaged = 2,        // the file is not a table (or index) this library can read
    XdbBadHandle = 3,      // the handle is not an open table or index
    XdbNoSuchField = 4,    // no field of that name or number
    XdbValueTooLong = 5,   // a value does not fit its field; nothing was written
    XdbNoSuchRecord = 6,   // the record number is outside the table
    XdbWriteFailed = 7,    // the file could not be written; it holds its previous state
    XdbLocked = 8,         // another running copy holds the tables
    XdbCannotCreate = 9,   // a missing file could not be created
    XdbBadValue = 10,      // a value holds a NUL byte or is not valid UTF-8
    XdbNotLocked = 11,     // the folder's lock file ("xdb.lock") cannot be opened or locked,
                           // so nothing may be written there
    XdbTooLarge = 12,      // the file is far larger than any table or index
    XdbFailed = 13,        // the call could not be carried out (no memory); the tables are
                           // read again from their files before further use
    XdbNotInCodePage = 14, // a value holds a character that the table's code page (an older
                           // table's Windows or DOS one) has no place for; nothing was written
    XdbInBatch = 15,       // a delete, a pack or a second batch while a batch is open; refused
};

// Opens a table (creating it empty, with its fields and for its owner alone, when the file is
// missing and the table is one the program defines). `mode`, `share` and `tableKey` are
// accepted as the program passes them (2, 1 and its table key). Returns a table handle, also
// on failure. A table this process read before and nobody has written since is not read again.
// Errors: XdbLocked, XdbCannotRead, XdbDamaged, XdbTooLarge, XdbCannotCreate, XdbNotLocked (a
// missing table cannot be created without the lock), XdbWriteFailed (a stopped write left a
// journal that cannot be played back).
int XDBOPENEX(const std::string& fileName, int mode, int share, const std::string& tableKey);
// Opens (creating or rewriting when missing, stale or damaged) the index of a table. The
// index handle works from memory even when the file fails: seeks and moves find every record.
// Errors: XdbCannotRead (the file, or what stands in its place, cannot be read), XdbTooLarge,
// XdbCannotCreate, XdbWriteFailed, XdbNotLocked (it needed rewriting), XdbDamaged (the table
// lacks the key field).
int XDBOPENINDEX(const std::string& indexFileName, int tableHandle);
// Rewrites the index file when it is not as this process left it (missing, damaged, replaced).
// The index in memory follows every write at once; the file, derived data that every open
// checks, follows this process's own writes when the process ends and before a backup
// (XdbFinishInterruptedWrite). Errors: XdbBadHandle (also for an index handle that is not this
// table's), XdbWriteFailed, XdbNotLocked.
void XDBREINDEX(int tableHandle, int indexHandle, int option);
// Also ends the table's index handles; writes deletes not yet written (XdbWriteFailed: they
// did not happen).
void XDBCLOSE(int tableHandle);

int XDBRECORDCOUNT(int tableHandle); // deleted records no longer count
void XDBCLEARBUFFER(int tableHandle);
void XDBGETRECORD(int tableHandle, int recordNumber); // XdbNoSuchRecord
// The buffer's value exactly as stored, leading and trailing blanks included. XdbNoSuchField.
std::string XDBFIELDVALUE(int tableHandle, const std::string& fieldName, int option);
// By name with number 0, or by number (1-based) with an empty name. XdbNoSuchField,
// XdbBadValue, XdbNotInCodePage, XdbValueTooLong; the buffer keeps its old value then.
void XDBASSIGNFIELD(int tableHandle, const std::string& fieldName, int fieldNumber,
                    const std::string& value);
// The writes. Errors: XdbWriteFailed, XdbNotLocked, and those of reading the file again when
// somebody else changed it since (XdbCannotRead, XdbDamaged, XdbTooLarge).
void XDBADDRECORD(int tableHandle);                    // the new record becomes current
void XDBPUTRECORD(int tableHandle, int& recordNumber); // overwrites with the buffer;
                                                       // XdbNoSuchRecord
// The record leaves the table at once (the numbers after it move down by one); its deletion
// reaches the file with the next write of the table, or at XDBCLOSE. XdbNoSuchRecord.
void XDBDELETERECORD(int tableHandle, int recordNumber);
// Writes the deletions; the room of deleted records is freed when they are many. When it
// fails the deleted records are back, as they were.
void XDBPACK(int tableHandle);

// 1 when a key equals `key`, trailing blanks aside; that record becomes current.
// A browse or seek with an index handle that is not this table's sets XdbBadHandle.
int XDBSEEK(int tableHandle, int indexHandle, const std::string& key);
// 1 when a key begins with `key`, blanks included; the first such record in index order
// becomes current. When nothing matches, the position lies where `key` would stand, so a
// following move goes to the neighbouring key in that direction.
int XDBSEEKPARTIAL(int tableHandle, int indexHandle, const std::string& key);
int XDBRECORDNUMBER(int tableHandle); // 0 when there is no current record

// Moves in index order, loading the record into the buffer.
void XDBMOVEFIRST(int tableHandle, int indexHandle);
void XDBMOVENEXT(int tableHandle, int indexHandle);
void XDBMOVEPREV(int tableHandle, int indexHandle);
void XDBMOVELAST(int tableHandle, int indexHandle);
int XDBEOF(int tableHandle); // 1 once a move has passed the last record
int XDBBOF(int tableHandle); // 1 once a move has passed the first record

// Gathers the writes of one table handle into one commit. After XdbBeginBatch, XDBADDRECORD and
// XDBPUTRECORD change the handle's view (count, values, index, current record) at once but
// nothing reaches the file until XdbCommitBatch, which writes all of them as one all-or-nothing
// durable commit; when it fails (error set) none of them happened, in memory or on disk.
// XdbAbandonBatch, and XDBCLOSE without a commit, drop them. The view is the table's in this
// process, so other handles on the same table see the batch's writes too. While a batch is open,
// XDBDELETERECORD, XDBPACK and another XdbBeginBatch are refused with XdbInBatch. A commit also
// fails (XdbWriteFailed, nothing written) when another program changed the file since the batch
// began: the batch was made on what the file held then.
void XdbBeginBatch(int tableHandle);  // XdbBadHandle, XdbNotLocked, XdbInBatch, and the errors
                                      // of reading the file again when somebody changed it
void XdbCommitBatch(int tableHandle); // the errors of a write; nothing to commit is no error
void XdbAbandonBatch(int tableHandle);

void XDBRESETERROR();
int XDBERROR();

// For Backup and Restore, which copy table files whole, while they hold the folder's lock
// (FolderLock): plays back what a stopped process or a power cut left in the journal of
// `folder`, so that a backup copies no half-written table and no old journal is left to be
// played back over a restored one. (This process's own records stay: the tables already hold
// them, and a restored copy is another file, which they are never played over.) False
// (XdbWriteFailed set) when such a journal is left and cannot be played back: then nothing
// must be copied.
bool XdbFinishInterruptedWrite(const std::filesystem::path& folder);
