// Every kind of write is all or nothing, whatever step fails or stops the process; once it has
// returned it survives a power cut; and it leaves a table that other dBASE readers read as the
// store does (what each shows is kept in tests/golden/store/other_readers.txt).

#include "common/text.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store_test.h"

#ifndef _WIN32
#include "support/dbf_reader.h"
#include "support/golden.h"
#endif

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

// Values at the edges of what a field holds, each to come back byte for byte: 254 bytes (of 127
// characters), blanks that lead, end or are all there is, one that ends in a blank with room for
// the NUL after it alone, controls, quotes and commas.
const Rows Edges = {
    {"Charlie", "ÄÖÜ-äöü-ß-1234", "vertrieb@übersetzer.de", "Yes"},
    {"Alpha 日本語", ReplaceAll(std::string(127, '~'), "~", "é"), std::string(254, 'L'), "No"},
    {"Bravo 😀", "  leading and trailing   ", " ", ""},
    {"Echo", "deleted, but still in the file", "x@example.com", "No"},
    {"   ", std::string(252, 'y') + " ", "tab\t\r\n quote \" and , comma", " "},
};

// Each write, as the program makes it: the delete's mark reaches the file with the pack, or at the
// close when nothing follows it; an import's adds and overwrites in one batch.
using Write = void (*)(int);
int two = 2; // the put's record number, passed by reference
const std::pair<const char*, Write> Writes[] = {
    {"add", [](int t) { XDBADDRECORD(t); }},
    {"put",
     [](int t) {
         XDBASSIGNFIELD(t, "", 2, "Ü overwritten ");
         XDBPUTRECORD(t, two);
     }},
    {"delete and pack",
     [](int t) {
         XDBDELETERECORD(t, 3);
         XDBPACK(t);
     }},
    {"pack", [](int t) { XDBPACK(t); }}, // gives back the room of the record deleted before
    {"delete and close", [](int t) { XDBDELETERECORD(t, 1); }},
    {"batch",
     [](int t) {
         XdbBeginBatch(t);
         XDBASSIGNFIELD(t, "", 1, "Delta");
         XDBADDRECORD(t);
         XDBASSIGNFIELD(t, "", 1, "Foxtrot");
         XDBADDRECORD(t);
         XDBASSIGNFIELD(t, "", 1, "ALPHA");
         XDBPUTRECORD(t, two);
         XdbCommitBatch(t);
     }},
};

using Files = std::map<fs::path, std::string>;

// Every file of the folder.
Files Snapshot() {
    Files files;
    for (const auto& entry : fs::directory_iterator("."))
        files[entry.path().filename()] = ReadFile(entry.path());
    return files;
}

// The folder as it was, a file made since gone.
void Restore(const Files& files) {
    for (const auto& entry : fs::directory_iterator("."))
        if (!files.contains(entry.path().filename()))
            fs::remove(entry.path());
    for (const auto& [file, bytes] : files)
        WriteFile(file, bytes);
}

bool JournalSpent() {
    return JournalLength(ReadFile(LockFileName).substr(0, JournalHeaderSize)) == 0;
}

} // namespace

class Durability : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        MakeOldFiles();
    }
    void MakeOldFiles() {
        Open();
        for (const Names& row : Edges)
            Add(row);
        // Something for the pack to remove, and the index file made; with the journal of these
        // writes, which every run plays back first.
        XDBDELETERECORD(table, 4);
        XDBCLOSE(table);
        fs::remove(ApplicationIndexFile);
        Open();
        XDBCLOSE(table);
        old = Snapshot();
        seen = Now();
    }
    // What the store reads, once an open has played back any journal, and the table file as a
    // reader finds it, its date of last update aside.
    Names Now() {
        Open();
        const std::string names = Seen();
        XDBCLOSE(table);
        return {names, ReadFile(ApplicationTableFile).erase(1, 3)};
    }
    // Leaves the folder as a process stopped at the first `step` of the write leaves it: the write
    // goes on, and its files are put back as they were then.
    void StopAt(WriteStep step, Write write) {
        Files stopped;
        SetWriteStepHookForTesting([&](WriteStep at) {
            if (at == step && stopped.empty())
                stopped = Snapshot();
            return true;
        });
        Make(write);
        SetWriteStepHookForTesting({});
        Restore(stopped);
    }
    // The write as the program makes it: the table opened, written and closed.
    void Make(Write write) {
        Open();
        write(table);
        XDBCLOSE(table);
    }

    Files old;
    Names seen;
};

#ifndef _WIN32 // the readers run on Node.js and Python
// What each reader shows, every value in brackets: a record deleted, which only dbffile shows,
// holds nothing any more; a value that ends in blanks dbffile shows with the NUL that marks its
// end, dbfread without the blanks; every other comes back byte for byte. Neither learns from the
// table that it is UTF-8 (tests/interop/measure_readers.py): both are told.
std::string OtherReadersShow() {
    std::string shown;
    for (const DbfContents& read :
         {ReadWithDbffile(ApplicationTableFile), ReadWithDbfread(ApplicationTableFile, "utf-8")}) {
        EXPECT_EQ(read.fieldNames, (Names{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
        for (std::size_t r = 0; r < read.records.size(); ++r) {
            shown += read.deleted[r] ? "deleted" : "";
            for (const std::string& value : read.records[r])
                shown += "[" + value + "]";
            shown += "\n";
        }
    }
    return shown;
}
#endif

// One walk over every kind of write. The steps: the journal's, the table's, and those of the
// checkpoint that plays back the journal left before. A power cut leaves at best each file as of
// its last sync; a file never synced since the last checkpoint as it was then, or gone when it was
// made since.
TEST_F(Durability, EveryWriteIsAllOrNothingAndOnceReturnedSurvivesAPowerCut) {
    std::string readers; // the store's view and the other readers', after each write
    for (const auto& [what, write] : Writes) {
        SCOPED_TRACE(what);
        // From files made moments ago: a journal is played only over a table changed a few seconds
        // after its last record at most.
        TempFolder folder;
        MakeOldFiles();
        Restore(old);
        Open();
        XDBCLOSE(table); // any journal played back, the index current
        Files disk = Snapshot();
        SetSyncHookForTesting(
            [&](const fs::path& file) { disk[file.filename()] = ReadFile(file); });
        Make(write);
        SetSyncHookForTesting({});
        const Names made = Now();
        EXPECT_NE(made[1], seen[1]);
#ifndef _WIN32
        readers += std::string(what) + ": " + made[0] + "\n" + OtherReadersShow();
#endif
        Restore(disk);
        EXPECT_EQ(Now(), made);

        for (const WriteStep step :
             {WriteStep::DataWritten, WriteStep::DataSynced, WriteStep::TableWritten,
              WriteStep::TableSynced, WriteStep::JournalCleared}) {
            SCOPED_TRACE(static_cast<int>(step));
            // Failed there, it did not happen, not even for a process that finds the journal; it
            // can be made again.
            Restore(old);
            SetWriteStepHookForTesting([&](WriteStep at) { return at != step; });
            Make(write);
            SetWriteStepHookForTesting({});
            EXPECT_NE(XDBERROR(), 0);
            WriteFile(LockFileName, ReadFile(LockFileName));
            EXPECT_EQ(Now(), seen);
            XDBRESETERROR();
            Make(write);
            EXPECT_EQ(Now(), made);
            // Stopped there, it is kept once the journal's record was written whole.
            Restore(old);
            StopAt(step, write);
            // Its header page lost, the table's other pages written: played back all the same.
            if (step == WriteStep::TableWritten)
                WriteFile(ApplicationTableFile,
                          ReadFile(ApplicationTableFile)
                              .replace(0, 32, old[ApplicationTableFile].substr(0, 32)));
            const bool kept = step != WriteStep::TableSynced && step != WriteStep::JournalCleared;
            EXPECT_EQ(Now(), kept ? made : seen);
            // The next open left the index a rebuild makes, and nothing else behind: the table, its
            // index, the lock and the table's .cpg.
            const std::string found = ReadFile(ApplicationIndexFile);
            fs::remove(ApplicationIndexFile);
            Open();
            XDBCLOSE(table);
            EXPECT_EQ(ReadFile(ApplicationIndexFile), found);
            EXPECT_TRUE(JournalSpent() && std::distance(fs::directory_iterator("."), {}) == 4);
            EXPECT_EQ(XDBERROR(), 0);
        }
    }
#ifndef _WIN32
    ExpectGolden("store/other_readers.txt", readers);
#endif
}

// An add stopped once its record was synced, before its table was written; then another program
// writes the table: a copy of it put in its place, its header's date changed in place at once, a
// record changed in place a minute later. The journal is never played over it.
TEST_F(Durability, AJournalIsNeverPlayedOverATableAnotherProgramChanged) {
    const struct {
        bool copy;
        void (*change)(std::string& bytes);
        int minutes;
    } changes[] = {
        {true, [](std::string&) {}, 0},
        {false, [](std::string& bytes) { bytes[3] ^= 1; }, 0},
        {false, [](std::string& bytes) { bytes.replace(bytes.find("Charlie"), 7, "Charles"); }, 1},
    };
    for (const auto& c : changes) {
        Restore(old);
        StopAt(WriteStep::DataSynced, Writes[0].second);
        std::string bytes = ReadFile(ApplicationTableFile);
        c.change(bytes);
        WriteFile(c.copy ? "copy" : ApplicationTableFile, bytes);
        if (c.copy)
            fs::rename("copy", ApplicationTableFile);
        fs::last_write_time(ApplicationTableFile,
                            fs::file_time_type::clock::now() + std::chrono::minutes(c.minutes));
        Open();
        XDBCLOSE(table);
        EXPECT_EQ(ReadFile(ApplicationTableFile), bytes) << c.copy << c.minutes;
    }
    // Backup and Restore have a journal played back and emptied before they copy.
    Restore(old);
    StopAt(WriteStep::DataSynced, Writes[0].second);
    EXPECT_TRUE(FolderLock(".").held() && XdbFinishInterruptedWrite(".") && JournalSpent());
    EXPECT_EQ(Now()[0].substr(0, 1), "5");
}
