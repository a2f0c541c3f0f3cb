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
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

using Names = std::vector<std::string>;
using Rows = std::vector<Names>;

// Any key: the store takes the program's without using it.
inline constexpr const char* TableKey = "Hq4WnT7cKz2RbX9mLp5VdJ8sGf3YtE6aNw1ZkQ";

// Appends rows (values by field number) to "Application.dbf", and reads every row back in
// record order; each through a handle of its own, leaving no error pending.
inline void AddApplications(const Rows& rows) {
    XDBRESETERROR();
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    for (const Names& row : rows) {
        XDBCLEARBUFFER(table);
        for (std::size_t field = 0; field < row.size(); ++field)
            XDBASSIGNFIELD(table, "", static_cast<int>(field) + 1, row[field]);
        XDBADDRECORD(table);
    }
    XDBCLOSE(table);
    EXPECT_EQ(XDBERROR(), 0) << "while setting up";
    XDBRESETERROR();
}
inline Rows StoredApplications() {
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    Rows rows;
    for (int record = 1; record <= XDBRECORDCOUNT(table); ++record) {
        XDBGETRECORD(table, record);
        rows.emplace_back();
        for (const char* field : {"APPNAME", "REGCODE", "VEMAIL", "REQUEST"})
            rows.back().push_back(XDBFIELDVALUE(table, field, 0));
    }
    XDBCLOSE(table);
    return rows;
}

#ifdef _WIN32
// Windows has no fork: the tests that need a child process with the test's own state skip
// there. Two writing processes and the folder lock start the test program again instead
// (processes_test.cpp).
#define SKIP_WITHOUT_FORK() GTEST_SKIP() << "needs fork(), which Windows does not have"
inline intptr_t Spawn(const std::function<int()>&, bool = false) {
    ADD_FAILURE() << "no fork() here";
    return -1;
}
inline int ExitCode(intptr_t child) {
    int code = -1;
    ::_cwait(&code, child, _WAIT_CHILD);
    return code;
}
#else
#define SKIP_WITHOUT_FORK() (void)0
// Runs `body` in a forked child, optionally as an ordinary user (root reads anything).
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
    void Add(const std::string& name) {
        XDBASSIGNFIELD(table, "APPNAME", 0, name);
        XDBADDRECORD(table);
    }
    void Put(int record) { XDBPUTRECORD(table, record); }
    std::string Name() { return XDBFIELDVALUE(table, "APPNAME", 0); }
    // The names in index order, moving forward from the first.
    Names InIndexOrder() {
        Names names;
        for (XDBMOVEFIRST(table, index); XDBEOF(table) == 0; XDBMOVENEXT(table, index))
            names.push_back(Name());
        return names;
    }

    int table = 0, index = 0;
};
