// The record-database library as the program uses it: opening, values, handles, code pages,
// what cannot be read or written, records, batches, and seeks and moves in index order.

#include "common/text.h"
#include "store/folder_lock.h"
#include "store_test.h"
#include "support/lock_holder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <set>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

using Xdb = StoreTest;

TEST_F(Xdb, MissingTablesAreCreatedAndFieldsAndFilesAreFoundInAnyCase) {
    Open();
    EXPECT_TRUE(Seen() == "0" && XDBBOF(table) == 1); // both ends at once
    XDBASSIGNFIELD(table, "vemail", 0, "a@b.c");      // by name in any case
    XDBASSIGNFIELD(table, "", 4, "No");               // by number
    EXPECT_EQ(XDBFIELDVALUE(table, "VEMAIL", 0) + XDBFIELDVALUE(table, "Request", 0), "a@b.cNo");
    XDBCLOSE(table);
    fs::rename("Application.dbf", "APPLICATION.DBF");
    table = XDBOPENEX("application.dbf", 2, 1, TableKey);
    index = XDBOPENINDEX("application.IDX", table);
    XDBCLOSE(XDBOPENEX("user.DBF", 2, 1, TableKey)); // created under its own name
    EXPECT_EQ(XDBERROR(), 0);
    // With the index, the lock and the character set of each table ("UTF-8", for other readers).
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 6);
    EXPECT_EQ(ReadFile("User.cpg"), "UTF-8");
#ifndef _WIN32
    EXPECT_EQ(fs::status(UserTableFile).permissions(), fs::perms(0600)); // it holds passwords
#endif
}

TEST_F(Xdb, ValuesThatCannotBeStoredAreRefused) {
    Open();
    const std::tuple<const char*, std::string, int> cases[] = {
        {"REGCODE", std::string(253, 'x') + " ", XdbValueTooLong}, // no room for the end mark
        {"REGCODE", std::string(253, 'x') + "é", XdbValueTooLong}, // 255 bytes, 254 characters
        {"REGCODE", std::string("a\0b", 3), XdbBadValue},
        {"REGCODE", "\xC3", XdbBadValue},
        {"NOFIELD", "x", XdbNoSuchField},
    };
    XDBASSIGNFIELD(table, "", 2, "old");
    for (const auto& [field, value, error] : cases) {
        XDBRESETERROR();
        XDBASSIGNFIELD(table, field, 0, value);
        EXPECT_EQ(XDBERROR(), error) << field << " " << value.size();
        EXPECT_EQ(XDBFIELDVALUE(table, "REGCODE", 0), "old");
    }
    XDBCLEARBUFFER(table); // a success leaves the pending error
    EXPECT_EQ(XDBERROR(), XdbNoSuchField);
    EXPECT_EQ(XDBFIELDVALUE(table, "REGCODE", 0), "");
}

TEST_F(Xdb, OlderTablesAreReadInTheirCodePageAndWrittenBackInIt) {
    // A table's language driver, and how its code page stores the text (11 bytes). Windows-1252
    // reads the byte it leaves undefined (0x81) as the control U+0081.
    const std::tuple<char, unsigned, std::string, std::string> cases[] = {
        {0x03, 1252, "Café ½ Öl \xC2\x81", "Caf\xE9 \xBD \xD6l \x81"},
        {0x00, 1252, "Café ½ Öl \xC2\x81", "Caf\xE9 \xBD \xD6l \x81"}, // undeclared
        {0x02, 850, "Café ½ Öl ░", "Caf\x82 \xAB \x99l \xB0"},
        {0x01, 437, "Café ½ Öl ░", "Caf\x82 \xAB \x99l \xB0"},
    };
    const auto padded = [](std::string text, std::size_t width) {
        return text.append(width - text.size(), ' ');
    };
    for (const auto& [driver, codePage, text, stored] : cases) {
        SCOPED_TRACE(codePage);
        TempFolder folder;
        // Another program's table: the text in its page where the store held eleven marks.
        Open(), Add({"First", "x-1", std::string(11, '#'), "Yes"}), Add({std::string(11, '#')});
        XDBCLOSE(table);
        std::string bytes =
            ReplaceAll(ReadFile(ApplicationTableFile), std::string(11, '#'), stored);
        bytes[29] = driver;
        WriteFile(ApplicationTableFile, bytes);
        EXPECT_EQ(Stored(), (Rows{{"First", "x-1", text, "Yes"}, {text, "", "", ""}}));
        EXPECT_EQ(ReadFile("Application.cpg"), std::to_string(codePage));
        // An overwrite and an add: what the page cannot hold is refused, the rest written in it.
        Open();
        XDBGETRECORD(table, 1);
        XDBASSIGNFIELD(table, "REGCODE", 0, "日本");
        EXPECT_TRUE(XDBERROR() == XdbNotInCodePage && !XdbCodePageHolds(table, "€ 日本"));
        XDBRESETERROR();
        XDBASSIGNFIELD(table, "REGCODE", 0, text);
        Put(1), Add({"Added " + text}), XDBCLOSE(table);
        // Past the header's date, counts and count of writes, only what was written changed:
        // the first record's code (past the 161 bytes of the header, its flag and its name) and
        // a record of 766 bytes before the end mark, each in the table's page.
        bytes.replace(161 + 255, 254, padded(stored, 254));
        bytes.insert(bytes.size() - 1, " " + padded("Added " + stored, 765));
        EXPECT_EQ(ReadFile(ApplicationTableFile).substr(20), bytes.substr(20));
        EXPECT_EQ(XDBERROR(), 0);
    }
}

#ifndef _WIN32
void Huge(const char* name) { // 40 GiB, sparse
    WriteFile(name, ""), fs::resize_file(name, std::uintmax_t{40} << 30);
}
#endif

// What the program cannot read or write: on Windows a file that another program holds open
// without sharing it; elsewhere what an ordinary user (root reads anything), who may replace
// files in the folder, may not read or write, a dangling link, a file far too large. Each is
// reported with its code: the table's open's, then the index's, an add's (refused without the
// lock, whose file belongs to another account), and whether a seek finds the record all the
// same. Nothing is overwritten.
TEST_F(Xdb, WhatCannotBeReadOrWrittenIsReportedWithItsCodeAndNeverOverwritten) {
    const struct {
        const char* file;
        void (*make)();
        const char* codes;
        bool held = true; // on Windows
    } cases[] = {
        {UserTableFile, [] { WriteFile(UserTableFile, "not a table"); }, "2", false},
#ifdef _WIN32
        {ApplicationTableFile, [] {}, "1"},
        {ApplicationIndexFile,
         [] {
             XDBOPENINDEX(ApplicationIndexFile, XDBOPENEX(ApplicationTableFile, 2, 1, TableKey));
         },
         "0 1 0 1"},
#else
        {UserTableFile, [] { fs::create_symlink("elsewhere", UserTableFile); }, "1"},
        {ApplicationTableFile, [] { ::chmod(ApplicationTableFile, 0600); }, "1"},
        {ApplicationTableFile, [] { Huge(ApplicationTableFile); }, "12"},
        {ApplicationIndexFile, [] { fs::create_symlink("elsewhere", ApplicationIndexFile); },
         "0 1 11 1"},
        {ApplicationIndexFile,
         [] { WriteFile(ApplicationIndexFile, "x"), ::chmod(ApplicationIndexFile, 0); },
         "0 1 11 1"},
        {ApplicationIndexFile, [] { Huge(ApplicationIndexFile); }, "0 12 11 1"},
        {ApplicationTableFile,
         [] { ::chmod(LockFileName, 0666), ::chmod(ApplicationTableFile, 0444); }, "0 0 7 1"},
#endif
    };
    for (const auto& c : cases) {
        TempFolder folder;
        table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey), Add({"Alpha"}), XDBCLOSE(table);
#ifndef _WIN32
        ::chmod(".", 0777), ::chmod(ApplicationTableFile, 0644);
#endif
        c.make();
        XDBRESETERROR();
        std::error_code error; // a rewrite changes the length of each
        const auto size = fs::file_size(c.file, error);
        const char* tableFile = c.file == UserTableFile ? UserTableFile : ApplicationTableFile;
        const auto open = [&] {
            const int opened = XDBOPENEX(tableFile, 2, 1, TableKey);
            std::string codes = std::to_string(XDBERROR());
            if (XDBERROR() == 0 && tableFile == ApplicationTableFile) {
                const int found =
                    XDBSEEK(opened, XDBOPENINDEX(ApplicationIndexFile, opened), "ALPHA");
                codes += " " + std::to_string(XDBERROR());
                XDBRESETERROR();
                XDBADDRECORD(opened);
                codes += " " + std::to_string(XDBERROR()) + " " + std::to_string(found);
            }
            XDBCLOSE(opened);
            XDBRESETERROR();
            WriteFile("codes", codes);
            return 0;
        };
#ifdef _WIN32
        const HANDLE other = c.held
                                 ? CreateFileW(fs::path(c.file).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                 : INVALID_HANDLE_VALUE;
        open();
        CloseHandle(other);
#else
        ExitCode(Spawn(open, true));
#endif
        EXPECT_EQ(ReadFile("codes"), c.codes) << c.file;
        EXPECT_TRUE(fs::file_size(c.file, error) == size && !fs::exists("elsewhere"));
    }
}

TEST_F(Xdb, HandlesThatAreNotOpenAnswerHarmlesslyAndOlderOnesLoseNothing) {
    Open(), Add({"Alpha"}), XDBCLOSE(table);
    const std::string before = ReadFile(ApplicationTableFile);
    for (int handle : {table, XDBOPENEX("Missing.dbf", 2, 1, TableKey), 0, -5}) {
        XDBRESETERROR();
        XDBGETRECORD(handle, 1);
        EXPECT_EQ(XDBRECORDCOUNT(handle) + XDBRECORDNUMBER(handle) +
                      XDBSEEK(handle, index, "ALPHA") + XDBSEEKPARTIAL(handle, index, "A") +
                      XDBEOF(handle) + XDBBOF(handle),
                  2);
        EXPECT_EQ(XDBFIELDVALUE(handle, "APPNAME", 0), "");
        // Every other call, each refused; the put with any record number.
        XDBMOVEFIRST(handle, index), XDBMOVENEXT(handle, index), XDBASSIGNFIELD(handle, "", 1, "x");
        XDBADDRECORD(handle), XDBPUTRECORD(handle, handle), XDBDELETERECORD(handle, 1);
        XDBPACK(handle), XDBREINDEX(handle, index, 0), XDBCLEARBUFFER(handle), XDBCLOSE(handle);
        EXPECT_EQ(XDBERROR(), XdbBadHandle) << handle;
    }
    EXPECT_EQ(ReadFile(ApplicationTableFile), before);
    XDBRESETERROR();
    Open();
    const int older = table, olderIndex = index;
    Open(); // the program replaces its handles without closing the old ones
    Add({"Bravo"});
    // A write through the older handle applies to the file as it now is.
    XDBASSIGNFIELD(older, "", 1, "Charlie");
    XDBADDRECORD(older);
    XDBCLOSE(older), XDBCLOSE(table);
    // An index handle closed with its table (the program keeps it when a new index fails to
    // open) ends a browse at once.
    table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    XDBMOVEFIRST(table, olderIndex);
    EXPECT_EQ(XDBERROR(), XdbBadHandle);
    EXPECT_TRUE(XDBEOF(table) == 1 && XDBRECORDNUMBER(table) == 0 && XDBRECORDCOUNT(table) == 3);
}

// The folder lock keeps another running copy of the program out from the open to the close,
// and two copies adding at once lose nothing.
TEST_F(Xdb, TheFolderLockKeepsAnotherCopyOutUntilTheTableIsClosed) {
    Open();
    EXPECT_FALSE(LockHolder(LockFileName).held());
    XDBCLOSE(table);
    {
        const LockHolder other(LockFileName);
        EXPECT_TRUE(other.held());
        SetLockWaitForTesting(std::chrono::milliseconds(200));
        table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        SetLockWaitForTesting({});
        EXPECT_EQ(XDBERROR(), XdbLocked);
        XDBRESETERROR();
    }
#ifndef _WIN32 // Windows has no fork
    const auto adds = [](std::string name) {
        return [name] {
            for (int i = 0; i < 25; ++i) {
                const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
                XDBASSIGNFIELD(table, "", 1, name + std::to_string(i));
                XDBADDRECORD(table);
                XDBCLOSE(table);
            }
            return XDBERROR();
        };
    };
    const pid_t first = Spawn(adds("P")), second = Spawn(adds("Q"));
    EXPECT_EQ(ExitCode(first) + ExitCode(second), 0);
    const Rows rows = Stored(); // each of the 50 names once
    EXPECT_EQ(rows.size() + std::set<Names>(rows.begin(), rows.end()).size(), 100u);
#endif
}

class XdbIndex : public Xdb {
protected:
    void SetUp() override {
        Xdb::SetUp();
        Open();
        for (const char* name : {"delta", "Alpha", "charlie", "Bravo", "Echo"})
            Add({name});
    }
    // What a seek or move leaves: the current name, the end passed, or "" for nothing.
    std::string State(int found = 1) {
        if (XDBRECORDNUMBER(table) != 0)
            return found == 1 ? Name() : "not found but on " + Name();
        return XDBEOF(table) ? "eof" : XDBBOF(table) ? "bof" : "";
    }
    std::string Seek(const std::string& key) { return State(XDBSEEK(table, index, key)); }
    std::string Partial(const std::string& key) { return State(XDBSEEKPARTIAL(table, index, key)); }
    std::string Move(void (*move)(int, int)) { return move(table, index), State(); }
};

TEST_F(XdbIndex, SeeksAndMovesGoInIndexOrder) {
    const std::string longName = "An application name longer than 25",
                      key25 = "AN APPLICATION NAME LONGE";
    const std::string wide = "éééééééééééééééééééééééé",
                      WIDE = "ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ"; // 24 characters, 48 bytes
    for (const std::string& name : {longName + " too", longName, wide, std::string("Alphabet")})
        Add({name});
    const std::string pad(20, ' ');
    // Exact: upper case, trailing blanks aside, names longer than the key, characters.
    EXPECT_EQ((Names{Seek("CHARLIE"), Seek("DELTA" + pad + pad), Seek("DELT"),
                     Seek("AN APPLICATION NAME LONGER THAN 25"), Seek(key25), Seek(WIDE)}),
              (Names{"charlie", "delta", "", longName, "", wide}));
    // Partial: the first key in index order that begins with the text, blanks included.
    EXPECT_EQ((Names{Partial("AL"), Partial("ALPHA" + pad), Partial("ALPH "), Partial(key25),
                     Partial(WIDE + " "), Partial(WIDE + "  ")}),
              (Names{"Alpha", "Alpha", "", longName, wide, ""}));
    // A failed seek leaves the position where the key would stand.
    EXPECT_EQ((Names{Seek("BZ"), Move(XDBMOVENEXT), Partial("BZ"), Move(XDBMOVEPREV), Partial("AB"),
                     Move(XDBMOVEPREV)}),
              (Names{"", "charlie", "", "Bravo", "", "bof"}));
    // The ends are set once passed, and stay until a move back.
    EXPECT_EQ((Names{Move(XDBMOVEFIRST), Move(XDBMOVEPREV), Move(XDBMOVENEXT), Move(XDBMOVELAST),
                     Move(XDBMOVENEXT), Move(XDBMOVENEXT), Move(XDBMOVEPREV)}),
              (Names{"Alpha", "bof", "Alpha", wide, "eof", "eof", wide}));
    XDBGETRECORD(table, 1); // from a record loaded by number the moves go on in index order
    EXPECT_EQ(Move(XDBMOVENEXT), "Echo");
    EXPECT_EQ(XDBERROR(), 0);
}

TEST_F(XdbIndex, RecordsAreOverwrittenDeletedAndPackedAndTheIndexFollows) {
    EXPECT_EQ(XDBRECORDNUMBER(table), 5); // an added record becomes current
    XDBASSIGNFIELD(table, "", 1, "Zulu");
    Put(2);                    // Alpha
    XDBDELETERECORD(table, 4); // Bravo leaves at once: the numbers after it move down
    const std::string seen = "4 delta Zulu charlie Echo /charlie /delta /Echo /Zulu";
    EXPECT_EQ(Seen(), seen);
    XDBGETRECORD(table, 4);
    EXPECT_EQ(XDBRECORDNUMBER(table), 4); // its number, not its place in the file
    for (int bad : {0, 5}) {              // refused, leaving no current record
        XDBPUTRECORD(table, bad), XDBDELETERECORD(table, bad), XDBGETRECORD(table, bad);
        EXPECT_EQ(XDBERROR(), XdbNoSuchRecord);
        EXPECT_EQ(XDBRECORDNUMBER(table) + Name().size(), 0u);
    }
    XDBRESETERROR();
    XDBCLOSE(table); // writes the mark; the record's room stays until a pack
    const auto size = fs::file_size(ApplicationTableFile);
    Open();
    EXPECT_EQ(Seen(), seen);
    XDBPACK(table); // a small table gives the room back at once
    EXPECT_EQ(Seen(), seen);
    EXPECT_TRUE(Seek("ECHO") == "Echo" && XDBRECORDNUMBER(table) == 4);
    XDBCLOSE(table);
    EXPECT_EQ(fs::file_size(ApplicationTableFile), size - 766);
    fs::remove(ApplicationIndexFile); // a missing index is made, a damaged one rebuilt
    Open();
    const std::string good = ReadFile(ApplicationIndexFile);
    WriteFile(ApplicationIndexFile, good.substr(0, 60));
    Open();
    EXPECT_EQ(ReadFile(ApplicationIndexFile), good);
    EXPECT_EQ(XDBERROR(), 0);
    // Another program changes a record in place, later than a tick of the file clock.
    XDBCLOSE(table);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::string bytes = ReadFile(ApplicationTableFile);
    WriteFile(ApplicationTableFile, bytes.replace(bytes.find("Zulu"), 4, "Yuma"));
    Open();
    EXPECT_EQ(Seek("YUMA") + Seek("ZULU"), "Yuma");
}

TEST_F(XdbIndex, ABatchIsSeenAtOnceAndWrittenAllOrNothing) {
    const std::string before = ReadFile(ApplicationTableFile);
    // An add and an overwrite under the same name in other letters; ended by a commit that
    // fails, an abandon, a close: none leaves anything. Then one commit.
    const std::function<void()> endings[] = {
        [&] {
            SetWriteStepHookForTesting([](WriteStep at) { return at != WriteStep::DataWritten; });
            XdbCommitBatch(table);
            EXPECT_EQ(XDBERROR(), XdbWriteFailed);
        },
        [&] { XdbAbandonBatch(table); },
        [&] { XDBCLOSE(table), Open(); },
        [&] { XdbCommitBatch(table), XDBCLOSE(table), Open(); },
    };
    for (const auto& end : endings) {
        XdbBeginBatch(table);
        Add({"Foxtrot"});
        XDBASSIGNFIELD(table, "", 1, "ALPHA");
        Put(2);
        EXPECT_EQ(Seek("FOXTROT") + Seek("ALPHA"), "FoxtrotALPHA");
        EXPECT_EQ(ReadFile(ApplicationTableFile), before);
        XDBDELETERECORD(table, 1), XDBPACK(table);
        EXPECT_EQ(XDBERROR(), XdbInBatch);
        XDBRESETERROR();
        end();
        SetWriteStepHookForTesting({});
        XDBRESETERROR();
    }
    // The overwrite in its place.
    EXPECT_EQ(Seen(), "6 delta ALPHA charlie Bravo Echo Foxtrot /ALPHA /Bravo /charlie /delta "
                      "/Echo /Foxtrot");
    EXPECT_EQ(XDBERROR(), 0);
}
