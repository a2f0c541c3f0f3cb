#pragma once
// dBASE III table files: parsing from bytes and building the bytes of a whole file.
//
// Layout written: a 32-byte header (version 0x03, last update as years since 1900, month,
// day, uint32 record count, uint16 header length, uint16 record length, at byte 16 (reserved
// for multi-user dBASE) a uint32 count of the writes this library made, at byte 29 the
// language driver: 0 for a new table),
// one 32-byte descriptor per field (name NUL-padded to 11 bytes, type 'C', width), 0x0D,
// then the records (a deletion flag ' ' or '*' and the fields side by side), then 0x1A.
// All numbers are little-endian.
//
// Values are text padded with blanks: UTF-8 in the tables this library makes (no language
// driver names it; a ".cpg" file beside the table does, see xdb.cpp), and in older tables the
// code page their language driver names, or Windows-1252 when none is named and the bytes are
// not UTF-8. A table keeps its code page: values are converted on reading and back on writing,
// so a record not written stays byte for byte as it was. A value that itself ends in a blank is
// followed by one NUL byte before the padding, so that its blanks survive; a reader takes a field
// up to its first NUL when it has one, else without its trailing blanks. Ordinary values stay plain
// dBASE for every other reader.

#include "common/clock.h"
#include "common/codepage.h"
#include "store/schema.h"
#include "store/xdb.h"

#include <cstdint>
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
    std::uint32_t writeCount = 0;     // changes with every write, so that a reader sees it
    std::size_t headerLength = 0;     // as read; 0 for a table not yet written
    std::string header;               // its first 32 bytes as read
    unsigned codePage = Utf8CodePage; // of the values in the file; in memory they are UTF-8
};

inline constexpr std::size_t DbfHeaderSize = 32;
// No real table comes near this; a bigger file is refused before it is read.
inline constexpr std::uintmax_t MaxTableFileSize = std::uintmax_t{1} << 30;

// Parses a whole file. Any type of field is read as text. Returns XdbOk, or XdbDamaged for
// bytes that are not a table this reader understands (the table is then left empty): a header
// that counts more records than the file holds, or fewer (whole records after the last one
// counted would be lost by the next write).
XdbError ParseDbf(std::string_view bytes, DbfTable& table);

// The whole file for `table`, dated `lastUpdate`.
std::string SerializeDbf(const DbfTable& table, const LocalDateTime& lastUpdate);

// The pieces a write in place changes. Lengths of the header and of one record, where a
// record starts in the file, its bytes, the 32-byte header for the table's present record
// count and write count, and the file's length with its end mark.
std::size_t DbfHeaderLength(const DbfTable& table);
std::size_t DbfRecordLength(const DbfTable& table);
std::uint64_t DbfRecordOffset(const DbfTable& table, std::size_t slot); // slot from 0
std::string EncodeDbfRecord(const DbfTable& table, const DbfRecord& record);
void AppendDbfRecord(const DbfTable& table, const DbfRecord& record, std::string& out);
std::string DbfHeader(const DbfTable& table, std::size_t recordCount,
                      const LocalDateTime& lastUpdate);
std::uint64_t DbfFileLength(const DbfTable& table);
inline constexpr char DbfFileEnd = 0x1A;

// An empty table with the fields of `definition` ('C' fields).
DbfTable EmptyTable(const TableDefinition& definition);

// One field's bytes back to its value, still in the table's code page.
std::string DecodeFieldValue(std::string_view bytes);

// Whether `value` may be stored at all: no NUL byte, valid UTF-8.
bool IsStorableValue(std::string_view value);

// The code page a language driver byte names, or 0 for none this library knows.
unsigned CodePageOfLanguageDriver(unsigned char driver);

// `value` as the bytes the table stores; false when its code page cannot hold it.
bool ToTableBytes(const DbfTable& table, std::string_view value, std::string& bytes);
