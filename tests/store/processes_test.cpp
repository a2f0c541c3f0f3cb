// Two running copies of the program: the other process is this test program started again
// with one of the disabled child tests below, in the same folder (Windows has no fork). Two
// processes adding at once lose nothing, and the folder lock (flock, or LockFileEx on Windows)
// keeps another process out until the table is closed.

#include "store/folder_lock.h"
#include "store_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr const char* ChildName = "OMBRELAY_CHILD_NAME";

// ---- What the children do; each ends its process with the store's error code. ----

TEST(DISABLED_Child, AddMany) {
    for (int i = 0; i < 25; ++i) {
        const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        XDBASSIGNFIELD(table, "APPNAME", 0, std::getenv(ChildName) + std::to_string(i));
        XDBADDRECORD(table);
        XDBCLOSE(table);
    }
    std::exit(XDBERROR());
}

TEST(DISABLED_Child, Open) {
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    const int error = XDBERROR(); // before the close, which a handle that did not open fails
    XDBCLOSE(table);
    std::exit(error);
}

// ---- The parent ----

// Starts the child test `test`, with `name` for it in the environment; ExitCode waits for it.
auto Start(const char* test, const char* name = "-") {
    const std::string filter = std::string("--gtest_filter=DISABLED_Child.") + test;
    const char* also = "--gtest_also_run_disabled_tests";
#ifdef _WIN32
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    SetEnvironmentVariableA(ChildName, name);
    const std::string quoted = std::string("\"") + program + "\"";
    return ::_spawnl(_P_NOWAIT, program, quoted.c_str(), also, filter.c_str(), nullptr);
#else
    ::setenv(ChildName, name, 1);
    return Spawn(
        [&] { return ::execl("/proc/self/exe", "store_tests", also, filter.c_str(), nullptr); });
#endif
}

using Processes = StoreTest;

TEST_F(Processes, TwoAddingAtOnceLoseNothingAndTheFolderLockKeepsOthersOut) {
    const auto first = Start("AddMany", "P"), second = Start("AddMany", "Q");
    EXPECT_EQ(ExitCode(first) + ExitCode(second), 0);
    // Each of the 50 names once.
    const Rows rows = StoredApplications();
    EXPECT_EQ(rows.size() + std::set<Names>(rows.begin(), rows.end()).size(), 100u);

    // Until the table is closed.
    Open();
    EXPECT_EQ(ExitCode(Start("Open")), XdbLocked);
    XDBCLOSE(table);
    EXPECT_EQ(ExitCode(Start("Open")), XdbOk);
}

} // namespace
