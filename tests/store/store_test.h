#pragma once
// What the store's tests share: the application table opened as the program opens it, rows
// written and read back through the store alone, and work done in a child process.

#include "common/files.h"
#include "store/schema.h"
#include "store/xdb.h"
#include "support/temp_folder.h"

#include <functional>

#ifdef _WIN32
#include <process.h>

inline int ExitCode(intptr_t child) {
    int code = -1;
    ::_cwait(&code, child, _WAIT_CHILD);
    return code;
}
#else
#include <sys/wait.h>
#include <unistd.h>

// Runs `body` in a forked child, optionally as an ordinary user (root reads anything). Windows
// has no fork: the tests that need one are left out there.
inline pid_t Spawn(const std::function<int()>& body, bool asOrdinaryUser = false) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(asOrdinaryUser && ::setuid(65534) != 0 ? 99 : body());
    return child;
}
inline int ExitCode(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

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
    // Every row in record order, through a handle of its own.
    static Rows Stored() {
        const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        Rows rows(static_cast<std::size_t>(XDBRECORDCOUNT(table)));
        for (std::size_t record = 0; record < rows.size(); ++record) {
            XDBGETRECORD(table, static_cast<int>(record) + 1);
            for (const char* field : {"APPNAME", "REGCODE", "VEMAIL", "REQUEST"})
                rows[record].push_back(XDBFIELDVALUE(table, field, 0));
        }
        XDBCLOSE(table);
        return rows;
    }
    // The count, the names in record order, then each name in index order after a "/".
    std::string Seen() {
        std::string seen = std::to_string(XDBRECORDCOUNT(table));
        for (int record = 1; record <= XDBRECORDCOUNT(table); ++record)
            XDBGETRECORD(table, record), seen += " " + Name();
        for (XDBMOVEFIRST(table, index); XDBEOF(table) == 0; XDBMOVENEXT(table, index))
            seen += " /" + Name();
        return seen;
    }

    int table = 0, index = 0;
};
