// Writes are all or nothing, whatever step fails or stops the process; two processes that
// write the same table at once lose nothing; the folder lock keeps them apart.

#include "store/folder_lock.h"
#include "store_test.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

static int two = 2; // the put's record number, passed by reference
const std::pair<const char*, void (*)(int, int)> Operations[] = {
    {"add", [](int t, int) { XDBADDRECORD(t); }},
    {"put", [](int t, int) { XDBPUTRECORD(t, two); }},
    {"delete", [](int t, int) { XDBDELETERECORD(t, 3); }},
    {"pack", [](int t, int) { XDBPACK(t); }},
    {"reindex", [](int t, int i) { XDBREINDEX(t, i, 0); }},
};

class Durability : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        Open();
        for (const char* name : {"Charlie", "Alpha", "Bravo", "Echo"})
            Add(name);
        XDBDELETERECORD(table, 4); // something for the pack to remove
        XDBCLOSE(table);
        oldFiles = Files();
    }
    Names Files() { return {ReadFile(ApplicationTableFile), ReadFile(ApplicationIndexFile)}; }
    // The table file as a reader finds it, its date of last update aside.
    static std::string TableBytes() { return ReadFile(ApplicationTableFile).erase(1, 3); }
    void RestoreOldFiles() {
        WriteFile(ApplicationTableFile, oldFiles[0]);
        WriteFile(ApplicationIndexFile, oldFiles[1]);
    }

    Names oldFiles;
};

TEST_F(Durability, AWriteThatFailsOrStopsAtAnyStepLeavesTheOldOrTheNewTable) {
    SKIP_WITHOUT_FORK();
    const std::string oldTable = TableBytes();
    for (const auto& [name, run] : Operations) {
        std::string newTable; // as a write that nothing stops makes it
        // At the rename first: a failure there is ignored, the new content being in place.
        for (const WriteStep step : {WriteStep::Renamed, WriteStep::TemporaryCreated,
                                     WriteStep::DataWritten, WriteStep::DataSynced}) {
            SCOPED_TRACE(name + (" at step " + std::to_string(static_cast<int>(step))));
            // A failed write leaves both files and the handle as they were; the handle takes
            // the write once it can be made.
            RestoreOldFiles();
            Open();
            SetWriteStepHookForTesting([&](WriteStep at) { return at != step; });
            run(table, index);
            SetWriteStepHookForTesting({});
            if (step != WriteStep::Renamed) {
                EXPECT_EQ(XDBERROR(), XdbWriteFailed);
                EXPECT_EQ(Files(), oldFiles);
                XDBGETRECORD(table, 2);
                EXPECT_EQ(std::to_string(XDBRECORDCOUNT(table)) + Name(), "4Alpha");
                XDBCLEARBUFFER(table);
                XDBRESETERROR();
                run(table, index);
            }
            XDBCLOSE(table);
            EXPECT_EQ(XDBERROR(), 0);
            newTable = step == WriteStep::Renamed ? TableBytes() : newTable;
            EXPECT_EQ(TableBytes(), newTable);

            // A process stopped there: the table's file is written first, the index's second.
            for (int write = 1; write <= 2; ++write) {
                RestoreOldFiles();
                ExitCode(Spawn([&, run = run] {
                    SetWriteStepHookForTesting([&, seen = 0](WriteStep at) mutable {
                        if (at == step && ++seen == write)
                            ::_exit(0);
                        return true;
                    });
                    Open();
                    return run(table, index), 0; // a reindex writes only once, and ends
                }));
                // The new table shows once its file is renamed into place.
                const bool renamed = write == 2 || step == WriteStep::Renamed;
                EXPECT_EQ(TableBytes(), renamed ? newTable : oldTable) << "write " << write;
                // A fresh open leaves the index a rebuild makes, and clears what the stopped
                // write left behind.
                Open();
                const std::string found = ReadFile(ApplicationIndexFile);
                XDBREINDEX(table, index, 0);
                XDBCLOSE(table);
                EXPECT_EQ(XDBERROR(), 0);
                EXPECT_EQ(ReadFile(ApplicationIndexFile), found);
                EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 3); // with the lock
            }
        }
    }
}

TEST_F(Durability, TwoProcessesAddingAtOnceLoseNothingAndTheFolderLockKeepsOthersOut) {
    SKIP_WITHOUT_FORK();
    const auto addMany = [this](const std::string& process) {
        for (int i = 0; i < 25; ++i)
            Open(), Add(process + std::to_string(i)), XDBCLOSE(table);
        return XDBERROR();
    };
    const pid_t first = Spawn([&] { return addMany("P"); });
    const pid_t second = Spawn([&] { return addMany("Q"); });
    EXPECT_EQ(ExitCode(first) + ExitCode(second), 0);
    EXPECT_EQ(StoredApplications().size(), 4u + 2 * 25);

    // Until the table is closed.
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    const auto open = [] { return XDBOPENEX(ApplicationTableFile, 2, 1, TableKey), XDBERROR(); };
    Open();
    for (const int expected : {XdbLocked, XdbOk}) { // in another process
        EXPECT_EQ(ExitCode(Spawn(open)), expected);
        XDBCLOSE(table);
    }
    SetLockWaitForTesting(std::chrono::milliseconds(0));
}
