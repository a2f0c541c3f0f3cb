#pragma once
// What the store's tests share: the application table opened as the program opens it, and what
// the store reads of it.

#include "common/files.h"
#include "store/schema.h"
#include "store/xdb.h"
#include "support/temp_folder.h"

#include <functional>

using Names = std::vector<std::string>;
using Rows = std::vector<Names>;

// Any key: the store takes the program's without using it.
inline constexpr const char* TableKey = "Hq4WnT7cKz2RbX9mLp5VdJ8sGf3YtE6aNw1ZkQ";

class StoreTest : public InTempFolder {
protected:
    void SetUp() override { XDBRESETERROR(); }
    void TearDown() override {
        XDBCLOSE(table); // when a test leaves it open
        SetWriteStepHookForTesting({});
    }
    void Open() {
        table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        index = XDBOPENINDEX(ApplicationIndexFile, table);
    }
    // Values by field number.
    void Add(const Names& row) {
        XDBCLEARBUFFER(table);
        for (std::size_t field = 0; field < row.size(); ++field)
            XDBASSIGNFIELD(table, "", static_cast<int>(field) + 1, row[field]);
        XDBADDRECORD(table);
    }
    void Put(int record) { XDBPUTRECORD(table, record); }
    std::string Name() { return XDBFIELDVALUE(table, "APPNAME", 0); }
    // The count, each record's values in record order, then each name in index order after a "/".
    std::string Seen() {
        std::string seen = std::to_string(XDBRECORDCOUNT(table));
        for (int record = 1; record <= XDBRECORDCOUNT(table); ++record) {
            XDBGETRECORD(table, record);
            seen += " ";
            for (const char* field : {"APPNAME", "REGCODE", "VEMAIL", "REQUEST"})
                seen += XDBFIELDVALUE(table, field, 0) + "|";
        }
        for (XDBMOVEFIRST(table, index); XDBEOF(table) == 0; XDBMOVENEXT(table, index))
            seen += " /" + Name();
        return seen;
    }

    int table = 0, index = 0;
};
