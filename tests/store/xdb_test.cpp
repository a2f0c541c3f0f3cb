// The record-database library as the program uses it: opening, values, handles, records, and
// seeks and moves in index order.

#include "common/text.h"
#include "records/table_scope.h"
#include "store/dbf_file.h"
#include "store_test.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <thread>

namespace fs = std::filesystem;

using Xdb = StoreTest;

TEST_F(Xdb, MissingTablesAreCreatedWithTheirFieldsAndNamesMatchInAnyCase) {
    Open();
    EXPECT_TRUE(InIndexOrder().empty() && XDBBOF(table) == 1); // both ends at once
    XDBASSIGNFIELD(table, "vemail", 0, "a@b.c");               // by name in any case
    XDBASSIGNFIELD(table, "", 4, "No");                        // by number
    EXPECT_EQ(XDBFIELDVALUE(table, "VEMAIL", 0) + XDBFIELDVALUE(table, "Request", 0), "a@b.cNo");
    XDBCLOSE(table);
    fs::rename("Application.dbf", "APPLICATION.DBF");
    table = XDBOPENEX("application.dbf", 2, 1, TableKey);
    index = XDBOPENINDEX("application.IDX", table);
    XDBCLOSE(XDBOPENEX("user.DBF", 2, 1, TableKey)); // created under its own name
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_TRUE(fs::exists("User.dbf"));
    // With the index, the lock and the character set of each table ("UTF-8", for other readers).
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 6);
    EXPECT_EQ(ReadFile("User.cpg"), "UTF-8");
}

TEST_F(Xdb, OlderTablesAreReadInTheirCodePageAndWrittenBackInItByteForByte) {
    // A table's language driver, and how its code page stores the text.
    // Windows-1252 reads the byte it leaves undefined (0x81) as the control U+0081.
    const struct {
        char driver;
        unsigned codePage;
        std::string text, stored;
    } cases[] = {
        {0x03, 1252, "Café ½ Öl \xC2\x81", "Caf\xE9 \xBD \xD6l \x81"},
        {0x00, 1252, "Café ½ Öl \xC2\x81", "Caf\xE9 \xBD \xD6l \x81"}, // undeclared
        {0x02, 850, "Café ½ Öl ░", "Caf\x82 \xAB \x99l \xB0"},
        {0x01, 437, "Café ½ Öl ░", "Caf\x82 \xAB \x99l \xB0"},
    };
    const TableDefinition& definition = KnownTables().front();
    ASSERT_EQ(definition.tableFile, ApplicationTableFile);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " " + std::to_string(c.driver));
        DbfTable old = EmptyTable(definition);
        old.header = std::string(DbfHeaderSize, '\0');
        old.header[29] = c.driver;
        old.codePage = c.codePage;
        old.records = {{false, {"First", "ß-1", c.text, "Yes"}}, {false, {c.text, "2", "", "No"}}};
        const std::string bytes = SerializeDbf(old, {2004, 5, 6, 7, 8, 9});
        ASSERT_NE(bytes.find(c.stored), std::string::npos);
        WriteFile(ApplicationTableFile, bytes);
        EXPECT_EQ(StoredApplications(),
                  (Rows{{"First", "ß-1", c.text, "Yes"}, {c.text, "2", "", "No"}}));
        EXPECT_EQ(ReadFile("Application.cpg"), std::to_string(old.codePage));

        // An overwrite and an add: what the page cannot hold is refused, the rest written in it.
        Open();
        XDBGETRECORD(table, 1);
        XDBASSIGNFIELD(table, "REGCODE", 0, "日本");
        EXPECT_EQ(XDBERROR(), XdbNotInCodePage);
        XDBRESETERROR();
        XDBASSIGNFIELD(table, "REGCODE", 0, c.text);
        Put(1);
        XDBCLEARBUFFER(table);
        Add("Added " + c.text);
        XDBCLOSE(table);
        // Past the header's date, counts and count of writes: what the page makes of the records
        // (the one not written stays byte for byte), also once a pack moved them up.
        DbfTable expected = old;
        expected.records[0].values[1] = c.text;
        expected.records.push_back({false, {"Added " + c.text, "", "", ""}});
        EXPECT_EQ(ReadFile(ApplicationTableFile).substr(20), SerializeDbf(expected, {}).substr(20));
        EXPECT_EQ(ReadFile(ApplicationTableFile)[29], c.driver);
        Open();
        XDBDELETERECORD(table, 1);
        XDBPACK(table);
        XDBCLOSE(table);
        expected.records.erase(expected.records.begin());
        EXPECT_EQ(ReadFile(ApplicationTableFile).substr(20), SerializeDbf(expected, {}).substr(20));
        EXPECT_EQ(XDBERROR(), 0);
    }
}

// A file the program cannot read: on Windows one that another program holds open without
// sharing it; elsewhere one that an ordinary user (root reads anything), who may replace files
// in the folder, may not read, or a dangling link. Each open reports its code and overwrites
// nothing.
TEST_F(Xdb, WhatCannotBeReadIsReportedWithItsCodeAndNeverOverwritten) {
    const struct {
        const char* file;
        void (*make)();
        int tableError, indexError;
        bool held = true; // on Windows
    } cases[] = {
        {UserTableFile, [] { WriteFile(UserTableFile, "not a table"); }, XdbDamaged, 0, false},
#ifdef _WIN32
        {ApplicationTableFile, [] { AddApplications({{"Alpha"}}); }, XdbCannotRead, 0},
        {ApplicationIndexFile,
         [] {
             AddApplications({{"Alpha"}}),
                 XDBCLOSE(XDBOPENINDEX(ApplicationIndexFile,
                                       XDBOPENEX(ApplicationTableFile, 2, 1, TableKey)));
         },
         0, XdbCannotRead},
#else
        {UserTableFile, [] { fs::create_symlink("elsewhere", UserTableFile); }, XdbCannotRead, 0},
        {ApplicationTableFile,
         [] { AddApplications({{"Alpha"}}), ::chmod(ApplicationTableFile, 0600); }, XdbCannotRead,
         0},
        {ApplicationIndexFile, [] { fs::create_symlink("elsewhere", ApplicationIndexFile); }, 0,
         XdbCannotRead},
        {ApplicationIndexFile,
         [] { WriteFile(ApplicationIndexFile, "x"), ::chmod(ApplicationIndexFile, 0); }, 0,
         XdbCannotRead},
#endif
    };
    for (const auto& c : cases) {
        TempFolder folder;
        c.make();
        XDBRESETERROR();
        const std::string before = ReadFile(c.file);
        const char* tableFile = c.file == UserTableFile ? UserTableFile : ApplicationTableFile;
        // Both codes in one number.
        const auto open = [&] {
            const int opened = XDBOPENEX(tableFile, 2, 1, TableKey);
            const int tableError = XDBERROR();
            XDBRESETERROR();
            if (tableFile == ApplicationTableFile && tableError == 0)
                XDBOPENINDEX(ApplicationIndexFile, opened);
            const int indexError = XDBERROR();
            XDBCLOSE(opened);
            XDBRESETERROR();
            return tableError * 16 + indexError;
        };
#ifdef _WIN32
        const HANDLE other = c.held
                                 ? CreateFileW(fs::path(c.file).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                 : INVALID_HANDLE_VALUE;
        const int reported = open();
        CloseHandle(other);
#else
        ::chmod(".", 0777);
        const int reported = ExitCode(Spawn(open, true));
#endif
        EXPECT_EQ(reported, c.tableError * 16 + c.indexError) << c.file;
        EXPECT_EQ(ReadFile(c.file), before);
        EXPECT_FALSE(fs::exists("elsewhere"));
    }
}

TEST_F(Xdb, ValuesThatCannotBeStoredAreRefused) {
    Open();
    const struct {
        const char* field;
        std::string value;
        int error;
    } cases[] = {
        {"REGCODE", std::string(253, 'x') + " ", XdbValueTooLong}, // no room for the end mark
        {"REGCODE", std::string(253, 'x') + "é", XdbValueTooLong}, // 255 bytes, 254 characters
        {"REGCODE", std::string("a\0b", 3), XdbBadValue},
        {"REGCODE", "\xC3", XdbBadValue},
        {"REQUEST", "No ", XdbValueTooLong},
        {"NOFIELD", "x", XdbNoSuchField},
    };
    XDBASSIGNFIELD(table, "", 2, "old");
    for (const auto& c : cases) {
        XDBRESETERROR();
        XDBASSIGNFIELD(table, c.field, 0, c.value);
        EXPECT_EQ(XDBERROR(), c.error) << c.field << " " << c.value.size();
        EXPECT_EQ(XDBFIELDVALUE(table, "REGCODE", 0), "old");
    }
    XDBCLEARBUFFER(table); // a success leaves the pending error
    EXPECT_EQ(XDBERROR(), XdbNoSuchField);
    EXPECT_EQ(XDBFIELDVALUE(table, "REGCODE", 0), "");
}

TEST_F(Xdb, AHandleThatIsNotOpenAnswersHarmlessly) {
    Open(), Add("Alpha"), XDBCLOSE(table);
    const std::string before = ReadFile(ApplicationTableFile);
    for (int handle : {table, XDBOPENEX("Missing.dbf", 2, 1, TableKey), 0, -5}) {
        XDBRESETERROR();
        XDBGETRECORD(handle, 1);
        EXPECT_EQ(XDBRECORDCOUNT(handle) + XDBRECORDNUMBER(handle), 0);
        EXPECT_EQ(XDBFIELDVALUE(handle, "APPNAME", 0), "");
        EXPECT_EQ(XDBEOF(handle) + XDBBOF(handle), 2);
        EXPECT_EQ(XDBSEEK(handle, index, "ALPHA") + XDBSEEKPARTIAL(handle, index, "A"), 0);
        // Every other call, each refused; the put with any record number.
        XDBMOVEFIRST(handle, index), XDBMOVENEXT(handle, index), XDBASSIGNFIELD(handle, "", 1, "x");
        XDBADDRECORD(handle), XDBPUTRECORD(handle, handle), XDBDELETERECORD(handle, 1);
        XDBPACK(handle), XDBREINDEX(handle, index, 0), XDBCLEARBUFFER(handle), XDBCLOSE(handle);
        EXPECT_EQ(XDBERROR(), XdbBadHandle) << handle;
    }
    EXPECT_EQ(ReadFile(ApplicationTableFile), before);
}

TEST_F(Xdb, OlderHandlesNeitherLoseWritesNorLoop) {
    Open();
    const int older = table, olderIndex = index;
    Open(); // the program replaces its handles without closing the old ones
    Add("Alpha");
    // A write through the older handle applies to the file as it now is.
    XDBASSIGNFIELD(older, "", 1, "Bravo");
    XDBADDRECORD(older);
    XDBCLOSE(older);
    XDBCLOSE(table);
    // An index handle closed with its table (the program keeps it when a new index fails to
    // open) ends a browse at once.
    table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    XDBMOVEFIRST(table, olderIndex);
    EXPECT_EQ(XDBERROR(), XdbBadHandle);
    EXPECT_TRUE(XDBEOF(table) == 1 && XDBRECORDNUMBER(table) == 0 && XDBRECORDCOUNT(table) == 2);
}

class XdbIndex : public Xdb {
protected:
    void SetUp() override {
        Xdb::SetUp();
        Open();
        for (const char* name : {"delta", "Alpha", "charlie", "Bravo", "Echo"})
            Add(name);
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
    const std::string longName = "An application name longer than 25";
    const std::string key25 = ToUpper(longName.substr(0, 25));
    const std::string wide = "éééééééééééééééééééééééé"; // 24 characters, 48 bytes
    for (const std::string& name : {longName + " too", longName, wide, std::string("Alphabet")})
        Add(name);
    const std::string pad(20, ' ');
    // Exact: upper case, trailing blanks aside, names longer than the key, characters.
    EXPECT_EQ((Names{Seek("CHARLIE"), Seek("DELTA" + pad + pad), Seek("DELT"),
                     Seek(ToUpper(longName)), Seek(key25), Seek(ToUpper(wide))}),
              (Names{"charlie", "delta", "", longName, "", wide}));
    // Partial: the first key in index order that begins with the text, blanks included.
    EXPECT_EQ((Names{Partial("AL"), Partial("ALPHA" + pad), Partial("ALPH "), Partial(key25),
                     Partial(ToUpper(wide) + " "), Partial(ToUpper(wide) + "  ")}),
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
    Put(2); // Alpha
    EXPECT_EQ((Names{Move(XDBMOVELAST), Seek("ALPHA")}), (Names{"Zulu", ""}));
    // A deleted record leaves at once: the numbers after it move down, the index skips it.
    XDBDELETERECORD(table, 4);
    XDBGETRECORD(table, 4);
    EXPECT_EQ(Name(), "Echo");
    EXPECT_EQ(XDBRECORDNUMBER(table), 4); // its number, not its place in the file
    EXPECT_EQ(InIndexOrder(), (Names{"charlie", "delta", "Echo", "Zulu"}));
    EXPECT_EQ(XDBERROR(), 0);
    for (int bad : {0, 5}) { // refused, leaving no current record
        XDBPUTRECORD(table, bad), XDBDELETERECORD(table, bad), XDBGETRECORD(table, bad);
        EXPECT_EQ(XDBERROR(), XdbNoSuchRecord);
        EXPECT_EQ(XDBRECORDNUMBER(table) + Name().size(), 0u);
    }
    XDBRESETERROR();
    XDBCLOSE(table); // writes the mark; the record's room stays until a pack
    const auto size = fs::file_size(ApplicationTableFile);
    Open();
    EXPECT_EQ(XDBRECORDCOUNT(table), 4);
    XDBPACK(table); // a small table gives the room back at once
    EXPECT_EQ(InIndexOrder(), (Names{"charlie", "delta", "Echo", "Zulu"}));
    EXPECT_EQ(Seek("ECHO"), "Echo");
    EXPECT_EQ(XDBRECORDNUMBER(table), 4);
    XDBCLOSE(table);
    EXPECT_EQ(fs::file_size(ApplicationTableFile), size - 766);
    fs::remove(ApplicationIndexFile); // a missing index is made, a damaged one rebuilt
    Open();
    const std::string good = ReadFile(ApplicationIndexFile);
    WriteFile(ApplicationIndexFile, good.substr(0, 60));
    Open();
    EXPECT_EQ(ReadFile(ApplicationIndexFile), good);
    EXPECT_EQ(XDBERROR(), 0);
}

TEST_F(Xdb, AChangeByAnotherProgramIsSeen) {
    AddApplications({{"Alpha", "A"}, {"Bravo", "B"}});
    Open(), XDBCLOSE(table); // now kept in memory
    // Another program changes a record in place, later than a tick of the file clock.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::string bytes = ReadFile(ApplicationTableFile);
    bytes.replace(bytes.find("Alpha"), 5, "Aleph");
    WriteFile(ApplicationTableFile, bytes);
    Open();
    EXPECT_EQ(XDBSEEK(table, index, "ALEPH"), 1);
    EXPECT_EQ(XDBSEEK(table, index, "ALPHA"), 0);
}

TEST_F(XdbIndex, ABatchIsSeenAtOnceAndWrittenAllOrNothing) {
    const std::string before = ReadFile(ApplicationTableFile);
    // An add and an overwrite under the same name in other letters; ended by a commit that
    // fails, an abandon, a close: none leaves anything. Then one commit.
    const std::function<void()> endings[] = {
        [&] {
            SetWriteStepHookForTesting(
                [](WriteStep step) { return step != WriteStep::DataWritten; });
            XdbCommitBatch(table);
            EXPECT_EQ(XDBERROR(), XdbWriteFailed);
        },
        [&] { XdbAbandonBatch(table); },
        [&] { XDBCLOSE(table), Open(); },
        [&] { XdbCommitBatch(table), XDBCLOSE(table); },
    };
    for (const auto& end : endings) {
        XdbBeginBatch(table);
        Add("Foxtrot");
        XDBASSIGNFIELD(table, "", 1, "ALPHA");
        Put(2);
        EXPECT_EQ((Names{Seek("FOXTROT"), Seek("ALPHA")}), (Names{"Foxtrot", "ALPHA"}));
        EXPECT_EQ(ReadFile(ApplicationTableFile), before);
        XDBDELETERECORD(table, 1), XDBPACK(table);
        EXPECT_EQ(XDBERROR(), XdbInBatch);
        XDBRESETERROR();
        end();
        SetWriteStepHookForTesting({});
        XDBRESETERROR();
    }
    Open();
    EXPECT_EQ(InIndexOrder(), (Names{"ALPHA", "Bravo", "charlie", "delta", "Echo", "Foxtrot"}));
    XDBGETRECORD(table, 2); // overwritten in its place
    EXPECT_EQ(Name(), "ALPHA");
    EXPECT_EQ(XDBERROR(), 0);
}
