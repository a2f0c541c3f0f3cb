#pragma once
// The name index: the upper-cased key field of every record, in key order, kept in memory
// and written to its own small file (format described in name_index.cpp).

#include "store/dbf_file.h"
#include "store/xdb.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t IndexKeyCharacters = 25;

struct IndexEntry {
    std::string key; // the upper-cased value, blank-padded to at least 25 characters
    std::uint32_t record = 0;
};

// Which state of the table an index was built from.
struct TableFingerprint {
    std::uint32_t recordCount = 0; // records in the file, deleted ones included
    std::uint32_t writeCount = 0;  // the table header's count of writes

    bool operator==(const TableFingerprint&) const = default;
};

struct NameIndex {
    std::string expression; // e.g. "UPPER(APPNAME)"
    std::uint32_t keyCharacters = IndexKeyCharacters;
    TableFingerprint fingerprint;
    std::vector<IndexEntry> entries; // ordered by key bytes, then record number
};

std::string IndexKey(std::string_view value);
std::string IndexExpression(std::string_view fieldName);

// The index of `field` (0-based) over the records of `table` that are not deleted.
NameIndex BuildNameIndex(const DbfTable& table, std::size_t field, std::string_view fieldName,
                         const TableFingerprint& fingerprint);

// Order of entries: key bytes, then record number.
bool EntryBefore(const IndexEntry& a, const IndexEntry& b);

// Parses an index file. XdbOk, or XdbDamaged for anything that is not a whole, consistent
// index (bad magic, version, checksum, sizes, order or record numbers).
XdbError ParseNameIndex(std::string_view bytes, NameIndex& index);
std::string SerializeNameIndex(const NameIndex& index);

// Positions in `entries` for the seeks. A missing match gives npos.
inline constexpr std::size_t NoEntry = static_cast<std::size_t>(-1);
// The first entry whose key equals `key` when trailing blanks of both are set aside.
std::size_t FindExactKey(const std::vector<IndexEntry>& entries, std::string_view key);
// The first entry whose key begins with `key`.
std::size_t FindKeyPrefix(const std::vector<IndexEntry>& entries, std::string_view key);
// Where `key` would stand: the first entry whose key is not less than it.
std::size_t KeyInsertionPoint(const std::vector<IndexEntry>& entries, std::string_view key);
