// Writes are all or nothing, whatever step fails or stops the process.

#include "store/folder_lock.h"
#include "store_test.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

bool JournalSpent() {
    return ReadFile(LockFileName).find_first_not_of('\0') == std::string::npos;
}

// Each write, as the program makes it: the delete's mark reaches the file with the pack, or
// at the close when nothing follows it.
using Write = void (*)(int);
int two = 2; // the put's record number, passed by reference
const std::pair<const char*, Write> Writes[] = {
    {"add", [](int t) { XDBADDRECORD(t); }},
    {"put", [](int t) { XDBPUTRECORD(t, two); }},
    {"delete and pack", [](int t) { XDBDELETERECORD(t, 3), XDBPACK(t); }},
    {"pack", [](int t) { XDBPACK(t); }}, // gives back the room of the record deleted before
    {"delete and close", [](int t) { XDBDELETERECORD(t, 1); }},
};

// Every step of a write in place, then those of the index file's replacement (not synced).
const WriteStep Steps[] = {WriteStep::JournalCleared, WriteStep::DataWritten,
                           WriteStep::DataSynced,     WriteStep::TableWritten,
                           WriteStep::TableSynced,    WriteStep::TemporaryCreated,
                           WriteStep::Renamed};

// Whether the table holds the write once this step is reached.
bool Committed(WriteStep step) {
    return step == WriteStep::JournalCleared || step == WriteStep::TemporaryCreated ||
           step == WriteStep::Renamed;
}

} // namespace

class Durability : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        Open();
        for (const char* name : {"Charlie", "Alpha", "Bravo", "Echo"})
            Add(name);
        XDBDELETERECORD(table, 4); // something for the pack to remove
        XDBCLOSE(table);
        oldFiles = {ReadFile(ApplicationTableFile), ReadFile(ApplicationIndexFile)};
        old = Now();
    }
    // The table file as a reader finds it, its date of last update aside.
    static std::string TableBytes() { return ReadFile(ApplicationTableFile).erase(1, 3); }
    void RestoreOldFiles() {
        WriteFile(ApplicationTableFile, oldFiles[0]);
        WriteFile(ApplicationIndexFile, oldFiles[1]);
    }
    // What the store reads: the count, the names in record order and in index order.
    std::string Seen() {
        Open();
        std::string seen = std::to_string(XDBRECORDCOUNT(table));
        for (int record = 1; record <= XDBRECORDCOUNT(table); ++record)
            XDBGETRECORD(table, record), seen += " " + Name();
        for (const std::string& name : InIndexOrder())
            seen += " /" + name;
        XDBCLOSE(table);
        return seen;
    }
    // The table's bytes and what the store reads, once an open has played back any journal.
    Names Now() {
        const std::string seen = Seen();
        return {TableBytes(), seen};
    }
    // Runs the write in a process that ends the moment it reaches `step`.
    void StopAt(WriteStep step, Write write) {
        ExitCode(Spawn([&] {
            SetWriteStepHookForTesting([&](WriteStep at) {
                if (at == step)
                    ::_exit(0);
                return true;
            });
            Open(), write(table), XDBCLOSE(table);
            return 1;
        }));
    }
    // Runs `check` for each write at each step, from the old files every time, with the table
    // bytes and what the store reads after the write when nothing stops it.
    template <typename Check> void EachWriteAtEachStep(const Check& check) {
        for (const auto& [what, write] : Writes) {
            RestoreOldFiles();
            Open(), write(table), XDBCLOSE(table);
            const Names made = Now();
            EXPECT_NE(made[0], old[0]) << what;
            for (const WriteStep step : Steps) {
                SCOPED_TRACE(std::string(what) + " at step " +
                             std::to_string(static_cast<int>(step)));
                RestoreOldFiles();
                check(write, step, made);
            }
        }
    }

    Names oldFiles, old;
};

TEST_F(Durability, AWriteThatFailsAtAnyStepLeavesTheOldTableAndCanBeMadeAgain) {
    EachWriteAtEachStep([&](Write write, WriteStep step, const Names& made) {
        Open();
        SetWriteStepHookForTesting([&](WriteStep at) { return at != step; });
        write(table);
        XDBCLOSE(table);
        SetWriteStepHookForTesting({});
        EXPECT_EQ(XDBERROR(), Committed(step) ? XdbOk : XdbWriteFailed);
        if (!Committed(step)) {
            EXPECT_EQ(Now(), old);
            EXPECT_TRUE(JournalSpent());
            XDBRESETERROR();
            Open(), write(table), XDBCLOSE(table);
        }
        EXPECT_EQ(XDBERROR(), 0);
        EXPECT_EQ(Now(), made);
    });
}

TEST_F(Durability, AProcessStoppedAtAnyStepOfAWriteLeavesTheOldOrTheNewTable) {
    SKIP_WITHOUT_FORK();
    // Once the table is touched, a stop leaves any mix of old and new bytes in the ranges the
    // journal holds, the header among them.
    EachWriteAtEachStep([&](Write write, WriteStep step, const Names& made) {
        StopAt(step, write);
        if (step == WriteStep::TableWritten)
            WriteFile(ApplicationTableFile, ReadFile(ApplicationTableFile).replace(4, 4, "XXXX"));
        EXPECT_EQ(Now(), Committed(step) ? made : old);
        // The next open left the index a rebuild makes, and nothing else behind.
        const std::string found = ReadFile(ApplicationIndexFile);
        fs::remove(ApplicationIndexFile);
        Open(), XDBCLOSE(table);
        EXPECT_EQ(ReadFile(ApplicationIndexFile), found);
        EXPECT_TRUE(JournalSpent());
        // The table, its index, the lock and the table's .cpg.
        EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 4);
        EXPECT_EQ(XDBERROR(), 0);
    });
}

TEST_F(Durability, AJournalIsPlayedBackOnlyOverTheFileItWasMadeFor) {
    SKIP_WITHOUT_FORK();
    // A write stopped once the table was touched, then the table replaced whole by a copy of
    // itself as a restore does it: the journal no longer belongs to it.
    const Write add = Writes[0].second;
    StopAt(WriteStep::TableSynced, add);
    const std::string half = ReadFile(ApplicationTableFile);
    EXPECT_NE(half, oldFiles[0]);
    std::error_code error;
    ASSERT_TRUE(WriteFileAtomically(ApplicationTableFile, half, error));
    Open(), XDBCLOSE(table);
    EXPECT_EQ(ReadFile(ApplicationTableFile), half);
    // A backup or restore plays back any journal before it copies.
    RestoreOldFiles();
    StopAt(WriteStep::TableSynced, add);
    {
        FolderLock lock(".");
        ASSERT_TRUE(XdbFinishInterruptedWrite("."));
    }
    EXPECT_EQ(ReadFile(ApplicationTableFile), oldFiles[0]);
    EXPECT_TRUE(JournalSpent());
}
