// Windows has no fork: the work of another process is this test program started again with
// one of the disabled child tests below, in the same folder. Two processes adding at once
// lose nothing, and the folder lock (LockFileEx) keeps another process out until the table
// is closed.

#include "store/folder_lock.h"
#include "store_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include <windows.h>

namespace {

constexpr const char* ChildName = "OMBRELAY_CHILD_NAME";

int OpenTable() {
    return XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
}

// ---- What the children do; each ends its process with the store's error code. ----

TEST(DISABLED_Child, AddMany) {
    const char* name = std::getenv(ChildName);
    for (int i = 0; i < 25; ++i) {
        const int table = OpenTable();
        XDBASSIGNFIELD(table, "APPNAME", 0, name + std::to_string(i));
        XDBADDRECORD(table);
        XDBCLOSE(table);
    }
    std::exit(XDBERROR());
}

TEST(DISABLED_Child, Open) {
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    const int table = OpenTable();
    const int error = XDBERROR(); // before the close, which a handle that did not open fails
    XDBCLOSE(table);
    std::exit(error);
}

// ---- The parent ----

struct Child {
    PROCESS_INFORMATION process{};
    int ExitCode() {
        WaitForSingleObject(process.hProcess, 60000);
        DWORD code = 1000;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return static_cast<int>(code);
    }
};

Child Start(const char* test, const char* name = "") {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(program) +
                           L"\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_Child." +
                           std::wstring(test, test + std::strlen(test));
    SetEnvironmentVariableA(ChildName, name); // inherited by the child
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Child child;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &child.process))
        ADD_FAILURE() << "cannot start " << test;
    return child;
}

using ProcessesOnWindows = StoreTest;

TEST_F(ProcessesOnWindows, TwoAddingAtOnceLoseNothingAndTheFolderLockKeepsOthersOut) {
    Child first = Start("AddMany", "P"), second = Start("AddMany", "Q");
    EXPECT_EQ(first.ExitCode() + second.ExitCode(), 0);
    std::set<std::string> names;
    for (const auto& row : StoredApplications())
        names.insert(row.name);
    EXPECT_EQ(names.size(), 50u);
    EXPECT_TRUE(names.count("P24") + names.count("Q24") == 2);

    // Until the table is closed.
    Open();
    EXPECT_EQ(Start("Open").ExitCode(), XdbLocked);
    XDBCLOSE(table);
    EXPECT_EQ(Start("Open").ExitCode(), XdbOk);
}

} // namespace
