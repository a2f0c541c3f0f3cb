#pragma once
// What the store's tests share: the application table opened as the program opens it, and
// work done in a child process.

#include "common/files.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/temp_folder.h"

#include <functional>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

using Names = std::vector<std::string>;

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
