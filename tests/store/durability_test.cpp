// Writes are all or nothing, whatever step fails or stops the process; two processes that
// write the same table at once lose nothing; the folder lock keeps them apart.

#include "common/files.h"
#include "common/text.h"
#include "store/dbf_file.h"
#include "store/folder_lock.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "store_helpers.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// What a reader finds in the table file: every record with its deletion mark.
using Content = std::vector<std::pair<bool, std::vector<std::string>>>;

Content TableContent() {
    DbfTable table;
    EXPECT_EQ(ParseDbf(ReadFile(ApplicationTableFile), table), XdbOk);
    Content content;
    for (const auto& record : table.records)
        content.emplace_back(record.deleted, record.values);
    return content;
}

// The index as a fresh open finds it: it opens without error and agrees with the table.
void ExpectIndexAgreesWithTable() {
    int index = 0;
    const int table = OpenApps(index);
    EXPECT_EQ(XDBERROR(), 0);
    std::multiset<std::string> fromTable;
    for (int r = 1; r <= XDBRECORDCOUNT(table); ++r) {
        XDBGETRECORD(table, r);
        fromTable.insert(XDBFIELDVALUE(table, "APPNAME", 0));
    }
    const auto names = NamesInIndexOrder(table, index);
    EXPECT_EQ(std::multiset<std::string>(names.begin(), names.end()), fromTable);
    for (const auto& name : fromTable)
        EXPECT_EQ(XDBSEEK(table, index, ToUpper(name)), 1) << name;
    XDBCLOSE(table);
    XDBRESETERROR();
}

struct Operation {
    const char* name;
    std::function<void(int table, int index)> run;
};

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"add",
         [](int table, int) {
             AddApp(table, {"Delta", "D4"});
         }},
        {"put",
         [](int table, int) {
             XDBGETRECORD(table, 2);
             XDBASSIGNFIELD(table, "", 1, "Bravo renamed");
             int two = 2;
             XDBPUTRECORD(table, two);
         }},
        {"delete", [](int table, int) { XDBDELETERECORD(table, 3); }},
        {"pack", [](int table, int) { XDBPACK(table); }},
        {"reindex", [](int table, int index) { XDBREINDEX(table, index, 0); }},
    };
    return operations;
}

class Durability : public InTempFolder {
protected:
    void SetUp() override {
        XDBRESETERROR();
        int index = 0;
        const int table = OpenApps(index);
        AddApp(table, {"Charlie", "C3"});
        AddApp(table, {"Alpha", "A1"});
        AddApp(table, {"Bravo", "B2"});
        AddApp(table, {"Echo", "E5"});
        XDBDELETERECORD(table, 4); // something for the pack to remove
        XDBCLOSE(table);
        ASSERT_EQ(XDBERROR(), 0);
        oldTable = ReadFile(ApplicationTableFile);
        oldIndex = ReadFile(ApplicationIndexFile);
    }
    void TearDown() override { SetWriteStepHookForTesting({}); }

    void RestoreOldState() {
        WriteFile(ApplicationTableFile, oldTable);
        WriteFile(ApplicationIndexFile, oldIndex);
    }

    // The table's content before and after `operation`, which is run once to learn it.
    std::pair<Content, Content> OldAndNew(const Operation& operation) {
        RestoreOldState();
        const Content before = TableContent();
        int index = 0;
        const int table = OpenApps(index);
        operation.run(table, index);
        EXPECT_EQ(XDBERROR(), 0) << operation.name;
        XDBCLOSE(table);
        const Content after = TableContent();
        RestoreOldState();
        return {before, after};
    }

    std::string oldTable;
    std::string oldIndex;
};

const std::vector<std::pair<WriteStep, const char*>> Steps = {
    {WriteStep::TemporaryCreated, "temporary created"},
    {WriteStep::DataWritten, "data written"},
    {WriteStep::DataSynced, "data synced"},
    {WriteStep::Renamed, "renamed"},
};

} // namespace

TEST_F(Durability, AWriteThatFailsAtAnyStepLeavesTheOldTableAndAWorkingHandle) {
    for (const auto& operation : Operations()) {
        const auto [before, after] = OldAndNew(operation);
        for (const auto& [failing, stepName] : Steps) {
            if (failing == WriteStep::Renamed)
                continue; // by then the new file is in place: nothing can fail any more
            SCOPED_TRACE(std::string(operation.name) + " failing at " + stepName);
            RestoreOldState();
            int index = 0;
            const int table = OpenApps(index);
            const int count = XDBRECORDCOUNT(table);
            SetWriteStepHookForTesting([&](WriteStep step) { return step != failing; });
            operation.run(table, index);
            SetWriteStepHookForTesting({});
            EXPECT_EQ(XDBERROR(), XdbWriteFailed);
            XDBRESETERROR();
            if (operation.name != std::string("reindex"))
                EXPECT_EQ(ReadFile(ApplicationTableFile), oldTable);
            EXPECT_EQ(TableContent(), before);
            // The handle still shows the old state and takes the write once it can be made.
            EXPECT_EQ(XDBRECORDCOUNT(table), count);
            XDBGETRECORD(table, 2);
            EXPECT_EQ(XDBFIELDVALUE(table, "APPNAME", 0), "Alpha");
            operation.run(table, index);
            EXPECT_EQ(XDBERROR(), 0);
            XDBCLOSE(table);
            EXPECT_EQ(TableContent(), after);
            ExpectIndexAgreesWithTable();
        }
    }
}

TEST_F(Durability, AProcessStoppedAtAnyStepLeavesTheOldOrTheNewTable) {
    for (const auto& operation : Operations()) {
        const auto [before, after] = OldAndNew(operation);
        for (const auto& [stopping, stepName] : Steps) {
            // The table's write comes first, the index file's second.
            for (int occurrence = 1; occurrence <= 2; ++occurrence) {
                SCOPED_TRACE(std::string(operation.name) + " stopped at " + stepName +
                             " of write " + std::to_string(occurrence));
                RestoreOldState();
                const pid_t child = ::fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    int seen = 0;
                    SetWriteStepHookForTesting([&](WriteStep step) {
                        if (step == stopping && ++seen == occurrence)
                            ::_exit(0);
                        return true;
                    });
                    int index = 0;
                    const int table = OpenApps(index);
                    operation.run(table, index);
                    XDBCLOSE(table);
                    ::_exit(3); // fewer writes than that
                }
                int status = 0;
                ::waitpid(child, &status, 0);
                ASSERT_TRUE(WIFEXITED(status));
                if (WEXITSTATUS(status) == 3)
                    continue;
                const Content found = TableContent();
                EXPECT_TRUE(found == before || found == after);
                // Only once the rename of the table's file is done does the new state show.
                const bool tableReplaced = occurrence == 2 || stopping == WriteStep::Renamed;
                if (operation.name != std::string("reindex"))
                    EXPECT_EQ(found, tableReplaced ? after : before);
                ExpectIndexAgreesWithTable();
                // The next open clears what the stopped write left behind.
                for (const auto& entry : std::filesystem::directory_iterator("."))
                    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
                        << entry.path();
            }
        }
    }
}

TEST_F(Durability, TwoProcessesAddingAtOnceLoseNothing) {
    constexpr int PerProcess = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < PerProcess; ++i) {
                XDBRESETERROR();
                int index = 0;
                const int table = OpenApps(index);
                AddApp(table, {"P" + std::to_string(p) + "-" + std::to_string(i)});
                XDBCLOSE(table);
                if (XDBERROR() != 0)
                    ::_exit(10 + XDBERROR());
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
    }
    const auto rows = ReadAllApps();
    std::set<std::string> names;
    for (const auto& row : rows)
        names.insert(row.name);
    EXPECT_EQ(rows.size(), 4u + 2 * PerProcess);
    for (int p = 0; p < 2; ++p) {
        for (int i = 0; i < PerProcess; ++i)
            EXPECT_TRUE(names.count("P" + std::to_string(p) + "-" + std::to_string(i)));
    }
    ExpectIndexAgreesWithTable();
}

namespace {

// A child process that holds the folder lock until told to let go.
class LockHolder {
public:
    explicit LockHolder(std::function<void()> take) {
        int up[2];
        int down[2];
        EXPECT_EQ(::pipe(up), 0);
        EXPECT_EQ(::pipe(down), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(up[0]);
            ::close(down[1]);
            take();
            char c = 'x';
            (void)!::write(up[1], &c, 1);
            (void)!::read(down[0], &c, 1);
            ::_exit(0);
        }
        ::close(up[1]);
        ::close(down[0]);
        char c = 0;
        EXPECT_EQ(::read(up[0], &c, 1), 1);
        ::close(up[0]);
        release_ = down[1];
    }
    ~LockHolder() {
        ::close(release_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }

private:
    pid_t pid_ = 0;
    int release_ = -1;
};

} // namespace

TEST_F(Durability, AnotherProcessWaitsForTheLockAndThenGivesUp) {
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    {
        LockHolder holder([] { static FolderLock lock("."); });
        const std::string before = ReadFile(ApplicationTableFile);
        const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        EXPECT_EQ(XDBERROR(), XdbLocked);
        EXPECT_EQ(XDBRECORDCOUNT(table), 0);
        FolderLock mine(".");
        EXPECT_FALSE(mine.held());
        EXPECT_EQ(mine.result(), LockResult::Busy);
    }
    XDBRESETERROR();
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), 0);
    // Within the process the lock is shared: a backup may take it while a table is open.
    {
        FolderLock backup(".");
        EXPECT_TRUE(backup.held());
    }
    XDBCLOSE(table);
    SetLockWaitForTesting(std::chrono::milliseconds(0));
}

TEST_F(Durability, AForkedChildDoesNotInheritItsParentsLock) {
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        XDBRESETERROR();
        XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        ::_exit(XDBERROR() == XdbLocked ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // And the child's going did not take the parent's lock away.
    {
        LockHolder holder([] {
            XDBRESETERROR();
            XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
            if (XDBERROR() != XdbLocked)
                ::_exit(1);
        });
    }
    XDBCLOSE(table);
    SetLockWaitForTesting(std::chrono::milliseconds(0));
}
