// Writes are all or nothing, whatever step fails or stops the process.

#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store_test.h"

#include <map>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

bool JournalSpent() {
    return JournalLength(ReadFile(LockFileName).substr(0, JournalHeaderSize)) == 0;
}

// Each write, as the program makes it: the delete's mark reaches the file with the pack, or
// at the close when nothing follows it; an import's adds and overwrites in one batch.
using Write = void (*)(int);
int two = 2; // the put's record number, passed by reference
const std::pair<const char*, Write> Writes[] = {
    {"add", [](int t) { XDBADDRECORD(t); }},
    {"put", [](int t) { XDBPUTRECORD(t, two); }},
    {"delete and pack", [](int t) { XDBDELETERECORD(t, 3), XDBPACK(t); }},
    {"pack", [](int t) { XDBPACK(t); }}, // gives back the room of the record deleted before
    {"delete and close", [](int t) { XDBDELETERECORD(t, 1); }},
    {"batch",
     [](int t) {
         XdbBeginBatch(t);
         XDBASSIGNFIELD(t, "", 1, "Delta"), XDBADDRECORD(t);
         XDBASSIGNFIELD(t, "", 1, "Foxtrot"), XDBADDRECORD(t);
         XDBASSIGNFIELD(t, "", 1, "ALPHA"), XDBPUTRECORD(t, two);
         XdbCommitBatch(t);
     }},
};

// Every step of a write: the journal's, the table's, and those of the checkpoint that plays
// back the journal left before. A write that fails at any of them did not happen.
const WriteStep Steps[] = {WriteStep::DataWritten, WriteStep::DataSynced, WriteStep::TableWritten,
                           WriteStep::TableSynced, WriteStep::JournalCleared};

// Whether the table holds the write when the process stops at this step: a record written whole
// is played.
bool KeptWhenStopped(WriteStep at) {
    return at != WriteStep::TableSynced && at != WriteStep::JournalCleared;
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
        fs::remove(ApplicationIndexFile), Open(), XDBCLOSE(table); // the index file made
        // With the journal of these writes, which every run plays back first.
        oldFiles = {ReadFile(ApplicationTableFile), ReadFile(ApplicationIndexFile),
                    ReadFile(LockFileName)};
        old = Now();
    }
    // The table file as a reader finds it, its date of last update aside.
    static std::string TableBytes() { return ReadFile(ApplicationTableFile).erase(1, 3); }
    void RestoreOldFiles() {
        WriteFile(ApplicationTableFile, oldFiles[0]);
        WriteFile(ApplicationIndexFile, oldFiles[1]);
        WriteFile(LockFileName, oldFiles[2]);
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
    // What the store reads, once an open has played back any journal, and the table's bytes.
    Names Now() { return {Seen(), TableBytes()}; }
    // Runs the write in a process that ends the moment it reaches `step`.
    void StopAt(WriteStep step, Write write) {
        ExitCode(Spawn([&] {
            SetWriteStepHookForTesting([&](WriteStep at) { return at != step || (::_exit(0), 0); });
            return Open(), write(table), XDBCLOSE(table), 1;
        }));
    }
    // Runs `check` for each write at each step, from the old files every time, with the table
    // bytes and what the store reads after the write when nothing stops it.
    template <typename Check> void EachWriteAtEachStep(const Check& check) {
        for (const auto& [what, write] : Writes) {
            RestoreOldFiles();
            Open(), write(table), XDBCLOSE(table);
            const Names made = Now();
            EXPECT_NE(made[1], old[1]) << what;
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
        SetWriteStepHookForTesting([&](WriteStep at) { return at != step; });
        Open(), write(table), XDBCLOSE(table);
        SetWriteStepHookForTesting({});
        EXPECT_NE(XDBERROR(), 0);
        EXPECT_EQ(Now(), old);
        XDBRESETERROR();
        Open(), write(table), XDBCLOSE(table);
        EXPECT_EQ(XDBERROR(), 0);
        EXPECT_EQ(Now(), made);
    });
}

TEST_F(Durability, AProcessStoppedAtAnyStepOfAWriteLeavesTheOldOrTheNewTable) {
    SKIP_WITHOUT_FORK();
    EachWriteAtEachStep([&](Write write, WriteStep step, const Names& made) {
        StopAt(step, write);
        // Its header page lost, the table's other pages written: played back all the same.
        if (step == WriteStep::TableWritten)
            WriteFile(ApplicationTableFile,
                      ReadFile(ApplicationTableFile).replace(0, 32, oldFiles[0].substr(0, 32)));
        EXPECT_EQ(Now(), KeptWhenStopped(step) ? made : old);
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

TEST_F(Durability, AJournalIsNeverPlayedOverATableAnotherProgramChanged) {
    SKIP_WITHOUT_FORK();
    // An add stopped once its record was synced, before its table was written; then another
    // program writes the table.
    const Write add = Writes[0].second;
    const struct {
        const char* what;
        void (*change)(std::string& bytes);
    } changes[] = {
        {"replaced by a copy of itself", [](std::string&) {}},
        {"its header's date changed in place", [](std::string& bytes) { bytes[3] ^= 1; }},
        {"a record changed in place later",
         [](std::string& bytes) { bytes.replace(bytes.find("Alpha"), 5, "Aleph"); }},
    };
    for (const auto& c : changes) {
        RestoreOldFiles();
        StopAt(WriteStep::DataSynced, add);
        std::string bytes = ReadFile(ApplicationTableFile);
        c.change(bytes);
        std::error_code error;
        if (c.change == changes[0].change)
            ASSERT_TRUE(WriteFileAtomically(ApplicationTableFile, bytes, error));
        else
            WriteFile(ApplicationTableFile, bytes);
        fs::last_write_time(ApplicationTableFile,
                            fs::file_time_type::clock::now() + std::chrono::minutes(1));
        Open(), XDBCLOSE(table);
        EXPECT_EQ(ReadFile(ApplicationTableFile), bytes) << c.what;
        EXPECT_TRUE(JournalSpent());
    }
    // Backup and Restore have a journal played back and emptied before they copy.
    RestoreOldFiles();
    StopAt(WriteStep::DataSynced, add);
    EXPECT_TRUE(FolderLock(".").held() && XdbFinishInterruptedWrite(".") && JournalSpent());
    EXPECT_EQ(Seen().substr(0, 1), "4");
}

// What a power cut leaves at best: each file as of its last sync; a file never synced since the
// last checkpoint as it was then, or gone when it was made since.
TEST_F(Durability, AWriteThatReturnedSurvivesAPowerCutAtAnyLaterMoment) {
    for (const auto& [what, write] : Writes) {
        SCOPED_TRACE(what);
        RestoreOldFiles();
        Open(), XDBCLOSE(table); // any journal played back, the index current
        std::map<fs::path, std::string> disk;
        for (const auto& entry : fs::directory_iterator("."))
            disk[entry.path().filename()] = ReadFile(entry.path());
        SetSyncHookForTesting(
            [&](const fs::path& file) { disk[file.filename()] = ReadFile(file); });
        Open(), write(table), XDBCLOSE(table);
        SetSyncHookForTesting({});
        const Names made = Now();
        for (const auto& entry : fs::directory_iterator("."))
            if (!disk.contains(entry.path().filename()))
                fs::remove(entry.path());
        for (const auto& [file, bytes] : disk)
            WriteFile(file, bytes);
        EXPECT_EQ(Now(), made);
    }
}
