#pragma once
// The record-database library: dBASE III tables with a name index, reached through handles.
//
// Records are numbered from 1. Each table handle has a record buffer and a current record.
// Every call answers harmlessly for a handle that is not open (a count of 0, empty values,
// writes refused) and reports the problem through the pending error code, which stays set
// until XDBRESETERROR. Writes are all or nothing: a write that fails leaves the file, and the
// handle's view of it, as they were.
//
// A table handle holds an advisory lock on its folder from XDBOPENEX to XDBCLOSE, so that
// two running copies of the program cannot interleave their work; an open waits a few
// seconds for another copy to finish before it gives up with XdbError::Locked.

#include <string>

enum XdbError {
    XdbOk = 0,
    XdbCannotRead = 1,   // the file exists but cannot be opened or read
    XdbDamaged = 2,      // the file is not a table (or index) this library can read
    XdbBadHandle = 3,    // the handle is not an open table or index
    XdbNoSuchField = 4,  // no field of that name or number
    XdbValueTooLong = 5, // a value does not fit its field; nothing was written
    XdbNoSuchRecord = 6, // the record number is outside the table
    XdbWriteFailed = 7,  // the file could not be written; it holds its previous state
    XdbLocked = 8,       // another running copy holds the tables
    XdbCannotCreate = 9, // a missing file could not be created
    XdbBadValue = 10,    // a value holds a NUL byte or is not valid UTF-8
};

// Opens a table (creating it empty, with its fields, when the file is missing and the
// table is one the program defines). `mode`, `share` and `tableKey` are accepted as the
// program passes them (2, 1 and its table key). Returns a table handle, also on failure.
int XDBOPENEX(const std::string& fileName, int mode, int share, const std::string& tableKey);
// Opens (creating or rebuilding when missing, stale or damaged) the index of a table.
int XDBOPENINDEX(const std::string& indexFileName, int tableHandle);
void XDBREINDEX(int tableHandle, int indexHandle, int option);
void XDBCLOSE(int tableHandle); // also ends the table's index handles

int XDBRECORDCOUNT(int tableHandle); // deleted records count until XDBPACK
void XDBCLEARBUFFER(int tableHandle);
void XDBGETRECORD(int tableHandle, int recordNumber);
// The buffer's value exactly as stored, leading and trailing blanks included.
std::string XDBFIELDVALUE(int tableHandle, const std::string& fieldName, int option);
// By name with number 0, or by number (1-based) with an empty name.
void XDBASSIGNFIELD(int tableHandle, const std::string& fieldName, int fieldNumber,
                    const std::string& value);
void XDBADDRECORD(int tableHandle);                      // the new record becomes current
void XDBPUTRECORD(int tableHandle, int& recordNumber);   // overwrites with the buffer
void XDBDELETERECORD(int tableHandle, int recordNumber); // marks it; the number stays
void XDBPACK(int tableHandle);                           // removes marked records, renumbers

// 1 when a key equals `key`, trailing blanks aside; that record becomes current.
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

void XDBRESETERROR();
int XDBERROR();
