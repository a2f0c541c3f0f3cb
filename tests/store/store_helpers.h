#pragma once
// What the store's tests share: filling and reading the application table.

#include "store/tables.h"
#include "store/xdb.h"

#include <ostream>
#include <string>
#include <vector>

struct AppRow {
    std::string name;
    std::string code = "CODE";
    std::string email = "vendor@example.com";
    std::string request = "Yes";
};

// Opens the application table and its index as the program does; returns the table handle.
inline int OpenApps(int& index) {
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    index = XDBOPENINDEX(ApplicationIndexFile, table);
    return table;
}

inline void FillBuffer(int table, const AppRow& row) {
    XDBASSIGNFIELD(table, "", 1, row.name);
    XDBASSIGNFIELD(table, "", 2, row.code);
    XDBASSIGNFIELD(table, "", 3, row.email);
    XDBASSIGNFIELD(table, "", 4, row.request);
}

inline void AddApp(int table, const AppRow& row) {
    FillBuffer(table, row);
    XDBADDRECORD(table);
}

inline AppRow BufferRow(int table) {
    return {XDBFIELDVALUE(table, "APPNAME", 0), XDBFIELDVALUE(table, "REGCODE", 0),
            XDBFIELDVALUE(table, "VEMAIL", 0), XDBFIELDVALUE(table, "REQUEST", 0)};
}

// Every record in record-number order, read through a fresh handle.
inline std::vector<AppRow> ReadAllApps() {
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    std::vector<AppRow> rows;
    for (int r = 1; r <= XDBRECORDCOUNT(table); ++r) {
        XDBGETRECORD(table, r);
        rows.push_back(BufferRow(table));
    }
    XDBCLOSE(table);
    return rows;
}

// The names in index order, by moving forward from the first.
inline std::vector<std::string> NamesInIndexOrder(int table, int index) {
    std::vector<std::string> names;
    for (XDBMOVEFIRST(table, index); XDBEOF(table) == 0; XDBMOVENEXT(table, index))
        names.push_back(XDBFIELDVALUE(table, "APPNAME", 0));
    return names;
}

inline bool operator==(const AppRow& a, const AppRow& b) {
    return a.name == b.name && a.code == b.code && a.email == b.email && a.request == b.request;
}

inline void PrintTo(const AppRow& row, std::ostream* out) {
    *out << "{\"" << row.name << "\", \"" << row.code << "\", \"" << row.email << "\", \""
         << row.request << "\"}";
}
