// Every kind of write is all or nothing, whatever step fails or stops the process; once it has
// returned it survives a power cut; and it leaves a table that other dBASE readers read as the
// store does.

#include "common/text.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store_test.h"

#ifndef _WIN32
#include "support/dbf_reader.h"
#endif

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

// Values at the edges of what a field holds, each to come back byte for byte: 254 bytes (of
// 127 characters), blanks that lead, end or are all there is, one that ends in a blank with
// room for the NUL after it alone, controls, quotes and commas.
const Rows Edges = {
    {"Charlie", "ÄÖÜ-äöü-ß-1234", "vertrieb@übersetzer.de", "Yes"},
    {"Alpha 日本語", ReplaceAll(std::string(127, '~'), "~", "é"), std::string(254, 'L'), "No"},
    {"Bravo 😀", "  leading and trailing   ", " ", ""},
    {"Echo", "deleted, but still in the file", "x@example.com", "No"},
    {"   ", std::string(252, 'y') + " ", "tab\t\r\n quote \" and , comma", " "},
};

// Each write, as the program makes it: the delete's mark reaches the file with the pack, or
// at the close when nothing follows it; an import's adds and overwrites in one batch.
using Write = void (*)(int);
int two = 2; // the put's record number, passed by reference
const std::pair<const char*, Write> Writes[] = {
    {"add", [](int t) { XDBADDRECORD(t); }},
    {"put", [](int t) { XDBASSIGNFIELD(t, "", 2, "Ü overwritten "), XDBPUTRECORD(t, two); }},
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

bool JournalSpent() {
    return JournalLength(ReadFile(LockFileName).substr(0, JournalHeaderSize)) == 0;
}

} // namespace

class Durability : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        Open();
        for (const Names& row : Edges)
            Add(row);
        XDBCLOSE(table);
        EXPECT_EQ(Stored(), Edges);
        Open(), XDBDELETERECORD(table, 4), XDBCLOSE(table); // something for the pack to remove
        fs::remove(ApplicationIndexFile), Open(), XDBCLOSE(table); // the index file made
        // With the journal of these writes, which every run plays back first.
        for (const char* file : {ApplicationTableFile, ApplicationIndexFile, LockFileName})
            oldFiles[file] = ReadFile(file);
        old = Now();
    }
    void RestoreOldFiles() {
        for (const auto& [file, bytes] : oldFiles)
            WriteFile(file, bytes);
    }
    // What the store reads, once an open has played back any journal, and the table file as a
    // reader finds it, its date of last update aside.
    Names Now() {
        Open();
        const std::string seen = Seen();
        XDBCLOSE(table);
        return {seen, ReadFile(ApplicationTableFile).erase(1, 3)};
    }

    std::map<fs::path, std::string> oldFiles;
    Names old;
};

#ifndef _WIN32 // the readers run on Node.js and Python
// Both find the store's records, in its order, among those not deleted; a deleted record,
// which only dbffile shows, holds nothing any more. A value that ends in blanks dbffile shows
// with the NUL that marks its end, dbfread without the blanks; every other comes back byte for
// byte. Neither learns from the table that it is UTF-8 (tests/interop/measure_readers.py): both
// are told.
void ExpectOtherReadersToAgree(Rows withNul) {
    Rows withoutBlanks = withNul;
    for (std::size_t r = 0; r < withNul.size(); ++r)
        for (std::size_t f = 0; f < 4; ++f) {
            withNul[r][f] += withNul[r][f].ends_with(' ') ? std::string(1, '\0') : "";
            withoutBlanks[r][f].erase(withoutBlanks[r][f].find_last_not_of(' ') + 1);
        }
    const auto shown = [](const DbfContents& read) {
        EXPECT_EQ(read.fieldNames, (Names{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
        Rows rows;
        for (std::size_t r = 0; r < read.records.size(); ++r)
            if (read.deleted[r])
                EXPECT_EQ(read.records[r], Names(4, ""));
            else
                rows.push_back(read.records[r]);
        return rows;
    };
    EXPECT_EQ(shown(ReadWithDbffile(ApplicationTableFile)), withNul);
    EXPECT_EQ(shown(ReadWithDbfread(ApplicationTableFile, "utf-8")), withoutBlanks);
}
#endif

// One walk over every kind of write. The steps: the journal's, the table's, and those of the
// checkpoint that plays back the journal left before; a process stopped at one of them leaves
// the new table when the journal's record was written whole, else the old one. A power cut
// leaves at best each file as of its last sync; a file never synced since the last checkpoint
// as it was then, or gone when it was made since.
TEST_F(Durability, EveryWriteIsAllOrNothingAndOnceReturnedSurvivesAPowerCut) {
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
        EXPECT_NE(made[1], old[1]);
#ifndef _WIN32
        ExpectOtherReadersToAgree(Stored());
#endif
        for (const auto& entry : fs::directory_iterator("."))
            if (!disk.contains(entry.path().filename()))
                fs::remove(entry.path());
        for (const auto& [file, bytes] : disk)
            WriteFile(file, bytes);
        EXPECT_EQ(Now(), made);

        for (const WriteStep step :
             {WriteStep::DataWritten, WriteStep::DataSynced, WriteStep::TableWritten,
              WriteStep::TableSynced, WriteStep::JournalCleared}) {
            SCOPED_TRACE(static_cast<int>(step));
            // Failed there, it did not happen, not even for a process that finds the journal;
            // it can be made again.
            RestoreOldFiles();
            SetWriteStepHookForTesting([&](WriteStep at) { return at != step; });
            Open(), write(table), XDBCLOSE(table);
            SetWriteStepHookForTesting({});
            EXPECT_NE(XDBERROR(), 0);
            WriteFile(LockFileName, ReadFile(LockFileName));
            EXPECT_EQ(Now(), old);
            XDBRESETERROR();
            Open(), write(table), XDBCLOSE(table);
            EXPECT_EQ(Now(), made);
#ifndef _WIN32 // stopped there, in a child process (Windows has no fork)
            RestoreOldFiles();
            ExitCode(Spawn([&] {
                SetWriteStepHookForTesting(
                    [&](WriteStep at) { return at != step || (::_exit(0), 0); });
                return Open(), write(table), XDBCLOSE(table), 1;
            }));
            // Its header page lost, the table's other pages written: played back all the same.
            if (step == WriteStep::TableWritten)
                WriteFile(ApplicationTableFile,
                          ReadFile(ApplicationTableFile)
                              .replace(0, 32, oldFiles[ApplicationTableFile].substr(0, 32)));
            const bool kept = step != WriteStep::TableSynced && step != WriteStep::JournalCleared;
            EXPECT_EQ(Now(), kept ? made : old);
            // The next open left the index a rebuild makes, and nothing else behind: the table,
            // its index, the lock and the table's .cpg.
            const std::string found = ReadFile(ApplicationIndexFile);
            fs::remove(ApplicationIndexFile);
            Open(), XDBCLOSE(table);
            EXPECT_EQ(ReadFile(ApplicationIndexFile), found);
            EXPECT_TRUE(JournalSpent() && std::distance(fs::directory_iterator("."), {}) == 4);
#endif
            EXPECT_EQ(XDBERROR(), 0);
        }
    }
}

#ifndef _WIN32
// An add stopped once its record was synced, before its table was written; then another
// program writes the table: a copy of it put in its place, its header's date changed in place
// at once, a record changed in place a minute later. The journal is never played over it.
TEST_F(Durability, AJournalIsNeverPlayedOverATableAnotherProgramChanged) {
    const auto stopped = [&] {
        RestoreOldFiles();
        ExitCode(Spawn([&] {
            SetWriteStepHookForTesting(
                [](WriteStep at) { return at != WriteStep::DataSynced || (::_exit(0), 0); });
            return Open(), XDBADDRECORD(table), 1;
        }));
    };
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
        stopped();
        std::string bytes = ReadFile(ApplicationTableFile);
        c.change(bytes);
        std::error_code error;
        if (c.copy)
            ASSERT_TRUE(WriteFileAtomically(ApplicationTableFile, bytes, error));
        else
            WriteFile(ApplicationTableFile, bytes);
        fs::last_write_time(ApplicationTableFile,
                            fs::file_time_type::clock::now() + std::chrono::minutes(c.minutes));
        Open(), XDBCLOSE(table);
        EXPECT_EQ(ReadFile(ApplicationTableFile), bytes) << c.copy << c.minutes;
        EXPECT_TRUE(JournalSpent());
    }
    // Backup and Restore have a journal played back and emptied before they copy.
    stopped();
    EXPECT_TRUE(FolderLock(".").held() && XdbFinishInterruptedWrite(".") && JournalSpent());
    EXPECT_EQ(Now()[0].substr(0, 1), "5");
}
#endif
