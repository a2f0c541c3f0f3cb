#pragma once
// dBASE III table files: parsing from bytes and building the bytes of a whole file.
//
// Layout written: a 32-byte header (version 0x03, last update as years since 1900, month,
// day, uint32 record count, uint16 header length, uint16 record length, language driver 0),
// one 32-byte descriptor per field (name NUL-padded to 11 bytes, type 'C', width), 0x0D,
// then the records (a deletion flag ' ' or '*' and the fields side by side), then 0x1A.
// All numbers are little-endian.
//
// Values are UTF-8 text padded with blanks. A value that itself ends in a blank is followed
// by one NUL byte before the padding, so that its blanks survive; a reader takes a field up
// to its first NUL when it has one, else without its trailing blanks. Ordinary values stay
// plain dBASE for every other reader.

#include "common/clock.h"
#include "store/schema.h"
#include "store/xdb.h"

#include <string>
#include <string_view>
#include <vector>

struct DbfField {
    std::string name; // as stored, without its NUL padding
    char type = 'C';  // any type is read as text; it is written back as it was
    int width = 0;    // bytes
    int decimals = 0;
};

struct DbfRecord {
    bool deleted = false;
    std::vector<std::string> values; // one per field, decoded
};

struct DbfTable {
    std::vector<DbfField> fields;
    std::vector<DbfRecord> records;
};

// Parses a whole file. Any type of field is read as text. Returns XdbOk, or XdbDamaged for
// bytes that are not a table this reader understands (the table is then left empty).
XdbError ParseDbf(std::string_view bytes, DbfTable& table);

// The whole file for `table`, dated `lastUpdate`.
std::string SerializeDbf(const DbfTable& table, const LocalDateTime& lastUpdate);

// An empty table with the fields of `definition` ('C' fields).
DbfTable EmptyTable(const TableDefinition& definition);

// One field's bytes for `value` (which must fit: see FitsField), and back.
std::string EncodeFieldValue(std::string_view value, int width);
std::string DecodeFieldValue(std::string_view bytes);

// Whether `value` may be stored at all: no NUL byte, valid UTF-8.
bool IsStorableValue(std::string_view value);
