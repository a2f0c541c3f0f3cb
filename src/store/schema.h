#pragma once
// The tables the program defines. The library creates a missing table or index from its
// definition, so that a first start in an empty folder works.

#include <string>
#include <vector>

struct FieldDefinition {
    std::string name; // at most 10 characters, upper case
    int width = 0;    // bytes, at most 254
};

struct TableDefinition {
    std::string tableFile;
    std::vector<FieldDefinition> fields;
    std::string indexFile;  // empty: the table has no index
    std::string indexField; // the index key is this field upper-cased, padded to 25
};

// Looked up by file name without regard to letter case.
const std::vector<TableDefinition>& KnownTables();
