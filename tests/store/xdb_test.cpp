#include "common/files.h"
#include "common/text.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "store_helpers.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Xdb : public InTempFolder {
protected:
    void SetUp() override { XDBRESETERROR(); }
};

} // namespace

// ---- Opening, creating, file names ----

TEST_F(Xdb, MissingKnownTablesAndIndexAreCreatedEmptyWithTheirFields) {
    int index = 0;
    const int table = OpenApps(index);
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_GT(table, 0);
    EXPECT_GT(index, 0);
    EXPECT_NE(table, index);
    EXPECT_EQ(XDBRECORDCOUNT(table), 0);
    EXPECT_TRUE(fs::exists("Application.dbf"));
    EXPECT_TRUE(fs::exists("Application.idx"));
    // The fields are there: they can be written and read by name and by number.
    XDBASSIGNFIELD(table, "vemail", 0, "a@b.c");
    XDBASSIGNFIELD(table, "", 4, "No");
    EXPECT_EQ(XDBFIELDVALUE(table, "VEMAIL", 0), "a@b.c");
    EXPECT_EQ(XDBFIELDVALUE(table, "Request", 0), "No");
    EXPECT_EQ(XDBERROR(), 0);
    XDBCLOSE(table);

    const int user = XDBOPENEX("User.dbf", 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), 0);
    for (const char* field : {"FNAME", "LNAME", "MYEMAIL", "PIN", "NEWPIN", "SERVER", "PASSWORD",
                              "LOGINNAME", "LOGINPSWD"})
        XDBASSIGNFIELD(user, field, 0, "x");
    EXPECT_EQ(XDBERROR(), 0);
    XDBCLOSE(user);
}

TEST_F(Xdb, AMissingUnknownTableIsAnErrorAndNotCreated) {
    const int table = XDBOPENEX("Other.dbf", 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), XdbCannotRead);
    EXPECT_GT(table, 0);
    EXPECT_FALSE(fs::exists("Other.dbf"));
    EXPECT_EQ(XDBRECORDCOUNT(table), 0);
}

TEST_F(Xdb, FileNamesAreMatchedWithoutRegardToCase) {
    int index = 0;
    int table = OpenApps(index);
    AddApp(table, {"Alpha"});
    XDBCLOSE(table);
    fs::rename("Application.dbf", "APPLICATION.DBF");

    table = XDBOPENEX("application.dbf", 2, 1, TableKey);
    index = XDBOPENINDEX("application.idx", table);
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_EQ(XDBRECORDCOUNT(table), 1);
    EXPECT_EQ(XDBSEEK(table, index, "ALPHA"), 1);
    XDBCLOSE(table);
    // No second file of another spelling was made.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"APPLICATION.DBF", "Application.idx", "xdb.lock"}));
}

TEST_F(Xdb, AMissingTableAskedForInOtherCaseGetsItsOwnName) {
    const int table = XDBOPENEX("user.DBF", 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), 0);
    XDBCLOSE(table);
    EXPECT_TRUE(FindFileIgnoringCase(".", "User.dbf").has_value());
    EXPECT_EQ(FindFileIgnoringCase(".", "User.dbf")->filename(), "User.dbf");
}

TEST_F(Xdb, AGarbageFileIsReportedAndNeverOverwritten) {
    const std::string garbage = "this is not a table at all, not even close to one........";
    WriteFile("User.dbf", garbage);
    const int table = XDBOPENEX("User.dbf", 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), XdbDamaged);
    XDBRESETERROR();
    // The handle is not open: a write through it is refused and the file stays.
    XDBASSIGNFIELD(table, "", 1, "x");
    XDBADDRECORD(table);
    EXPECT_EQ(XDBERROR(), XdbBadHandle);
    EXPECT_EQ(ReadFile("User.dbf"), garbage);
}

TEST_F(Xdb, AFileThatCannotBeReadIsReportedAndNeverOverwritten) {
    int index = 0;
    int table = OpenApps(index);
    AddApp(table, {"Alpha"});
    XDBCLOSE(table);
    const std::string tableBytes = ReadFile("Application.dbf");
    const std::string indexBytes = ReadFile("Application.idx");
    // Root reads anything: the opens are tried as an ordinary user who may write the folder
    // (and so could replace the files) but may not read them.
    ::chmod(".", 0777);
    ::chmod("Application.dbf", 0600);
    ::chmod("Application.idx", 0600);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(10);
        XDBRESETERROR();
        const int t = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        const int error = XDBERROR();
        ::_exit(error == XdbCannotRead && XDBRECORDCOUNT(t) == 0 ? 0 : 20 + error);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
    EXPECT_EQ(ReadFile("Application.dbf"), tableBytes);
    EXPECT_EQ(ReadFile("Application.idx"), indexBytes);

    // The same for an index that cannot be read while its table can.
    ::chmod("Application.dbf", 0644);
    const pid_t second = ::fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(10);
        XDBRESETERROR();
        const int t = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        if (XDBERROR() != 0 || XDBRECORDCOUNT(t) != 1)
            ::_exit(12);
        const int i = XDBOPENINDEX(ApplicationIndexFile, t);
        const bool indexRefused = XDBERROR() == XdbCannotRead;
        XDBRESETERROR();
        XDBMOVEFIRST(t, i); // the index handle is not open
        ::_exit(indexRefused && XDBERROR() == XdbBadHandle && XDBEOF(t) == 1 ? 0 : 13);
    }
    ::waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
    EXPECT_EQ(ReadFile("Application.idx"), indexBytes);
}

// ---- Records and the buffer ----

TEST_F(Xdb, RecordsAreAddedReadOverwrittenDeletedAndPacked) {
    int index = 0;
    int table = OpenApps(index);
    AddApp(table, {"Alpha", "A1"});
    EXPECT_EQ(XDBRECORDNUMBER(table), 1); // the new record is current
    AddApp(table, {"Bravo", "B2"});
    AddApp(table, {"Charlie", "C3"});
    EXPECT_EQ(XDBRECORDNUMBER(table), 3);
    EXPECT_EQ(XDBRECORDCOUNT(table), 3);

    XDBGETRECORD(table, 2);
    EXPECT_EQ(XDBRECORDNUMBER(table), 2);
    EXPECT_EQ(BufferRow(table), (AppRow{"Bravo", "B2"}));

    // Overwrite record 2 with a changed buffer.
    XDBASSIGNFIELD(table, "REGCODE", 0, "B2-new");
    int two = 2;
    XDBPUTRECORD(table, two);
    EXPECT_EQ(two, 2);

    // A deleted record keeps its number, is counted and can still be read until the pack.
    XDBDELETERECORD(table, 1);
    EXPECT_EQ(XDBRECORDCOUNT(table), 3);
    XDBGETRECORD(table, 1);
    EXPECT_EQ(XDBFIELDVALUE(table, "APPNAME", 0), "Alpha");
    EXPECT_EQ(NamesInIndexOrder(table, index),
              (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    XDBCLOSE(table);
    EXPECT_EQ(ReadAllApps().size(), 3u);

    table = OpenApps(index);
    XDBPACK(table);
    EXPECT_EQ(XDBRECORDCOUNT(table), 2);
    XDBGETRECORD(table, 1); // renumbered
    EXPECT_EQ(BufferRow(table), (AppRow{"Bravo", "B2-new"}));
    EXPECT_EQ(XDBSEEK(table, index, "CHARLIE"), 1);
    EXPECT_EQ(XDBRECORDNUMBER(table), 2);
    EXPECT_EQ(XDBSEEK(table, index, "ALPHA"), 0);
    EXPECT_EQ(XDBERROR(), 0);
    XDBCLOSE(table);
    EXPECT_EQ(ReadAllApps(), (std::vector<AppRow>{{"Bravo", "B2-new"}, {"Charlie", "C3"}}));
}

TEST_F(Xdb, RecordNumbersOutsideTheTableAreRefused) {
    int index = 0;
    const int table = OpenApps(index);
    AddApp(table, {"Alpha"});
    const std::string before = ReadFile("Application.dbf");

    for (int bad : {0, 2, -1}) {
        XDBRESETERROR();
        FillBuffer(table, {"Other"});
        int number = bad;
        XDBPUTRECORD(table, number);
        EXPECT_EQ(XDBERROR(), XdbNoSuchRecord) << bad;
        XDBRESETERROR();
        XDBDELETERECORD(table, bad);
        EXPECT_EQ(XDBERROR(), XdbNoSuchRecord) << bad;
        XDBRESETERROR();
        XDBGETRECORD(table, bad);
        EXPECT_EQ(XDBERROR(), XdbNoSuchRecord) << bad;
        // No current record and an empty buffer.
        EXPECT_EQ(XDBRECORDNUMBER(table), 0);
        EXPECT_EQ(XDBFIELDVALUE(table, "APPNAME", 0), "");
    }
    EXPECT_EQ(ReadFile("Application.dbf"), before);
    XDBCLOSE(table);
}

TEST_F(Xdb, TheBufferIsClearedAndAddressedByNameOrNumber) {
    const int table = XDBOPENEX("User.dbf", 2, 1, TableKey);
    for (int field = 1; field <= 9; ++field)
        XDBASSIGNFIELD(table, "", field, "v" + std::to_string(field));
    EXPECT_EQ(XDBFIELDVALUE(table, "LOGINPSWD", 0), "v9");
    EXPECT_EQ(XDBFIELDVALUE(table, "fname", 0), "v1");
    EXPECT_EQ(XDBERROR(), 0);

    XDBASSIGNFIELD(table, "", 10, "x");
    EXPECT_EQ(XDBERROR(), XdbNoSuchField);
    XDBRESETERROR();
    XDBASSIGNFIELD(table, "NOFIELD", 0, "x");
    EXPECT_EQ(XDBERROR(), XdbNoSuchField);
    XDBRESETERROR();
    EXPECT_EQ(XDBFIELDVALUE(table, "NOFIELD", 0), "");
    EXPECT_EQ(XDBERROR(), XdbNoSuchField);

    XDBCLEARBUFFER(table);
    for (const char* field : {"FNAME", "PIN", "LOGINPSWD"})
        EXPECT_EQ(XDBFIELDVALUE(table, field, 0), "") << field;
    XDBCLOSE(table);
}

TEST_F(Xdb, ValuesComeBackExactlyAsStored) {
    const std::vector<AppRow> rows = {
        {"  leading blanks", "trailing blanks  ", " ", ""},
        {"Überweisung ÄÖÜ ß", "日本語のコード", "名前@example.jp", "Yes"},
        {std::string(254, 'x'), std::string(252, 'y') + " ", "tab\tand\r\nbreak", "No"},
        {"   ", "a", "\xF0\x9F\x98\x80", "No"},
    };
    int index = 0;
    int table = OpenApps(index);
    for (const auto& row : rows)
        AddApp(table, row);
    EXPECT_EQ(XDBERROR(), 0);
    // As the handle holds them, and as a new handle reads them from the file.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        XDBGETRECORD(table, static_cast<int>(r + 1));
        EXPECT_EQ(BufferRow(table), rows[r]);
    }
    XDBCLOSE(table);
    EXPECT_EQ(ReadAllApps(), rows);
}

TEST_F(Xdb, ValuesThatCannotBeStoredAreRefusedAndTheTableStaysAsItWas) {
    int index = 0;
    const int table = OpenApps(index);
    AddApp(table, {"Alpha", "old code"});
    const std::string before = ReadFile("Application.dbf");

    struct Case {
        std::string value;
        int error;
    };
    const std::vector<Case> cases = {
        {std::string(255, 'x'), XdbValueTooLong},
        {std::string(254, 'x') + " ", XdbValueTooLong},
        {std::string(253, 'x') + " ", XdbValueTooLong}, // no room for the blank's end mark
        {std::string(252, 'x') + " ", XdbOk},
        {std::string(254, 'x'), XdbOk},
        {std::string(253, 'x') + "é", XdbValueTooLong}, // 255 bytes, 254 characters
        {std::string("a\0b", 3), XdbBadValue},
        {"\xC3", XdbBadValue},
        {"\xFF\xFE", XdbBadValue},
    };
    for (const auto& [value, error] : cases) {
        XDBRESETERROR();
        XDBASSIGNFIELD(table, "", 2, "old code");
        XDBASSIGNFIELD(table, "", 2, value);
        EXPECT_EQ(XDBERROR(), error) << value.size();
        EXPECT_EQ(XDBFIELDVALUE(table, "REGCODE", 0), error == XdbOk ? value : "old code");
    }
    // The request field is three bytes wide.
    XDBRESETERROR();
    XDBASSIGNFIELD(table, "REQUEST", 0, "Yes!");
    EXPECT_EQ(XDBERROR(), XdbValueTooLong);
    XDBRESETERROR();
    XDBASSIGNFIELD(table, "REQUEST", 0, "No ");
    EXPECT_EQ(XDBERROR(), XdbValueTooLong);
    XDBRESETERROR();
    XDBASSIGNFIELD(table, "REQUEST", 0, "No");
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_EQ(ReadFile("Application.dbf"), before);
    XDBCLOSE(table);
}

// ---- Handles and the pending error ----

TEST_F(Xdb, AHandleThatIsNotOpenAnswersHarmlessly) {
    int index = 0;
    const int table = OpenApps(index);
    AddApp(table, {"Alpha"});
    XDBCLOSE(table);
    const std::string before = ReadFile("Application.dbf");
    const int failed = XDBOPENEX("Missing.dbf", 2, 1, TableKey);

    for (int handle : {table, failed, 0, -5, 987654}) {
        XDBRESETERROR();
        EXPECT_EQ(XDBRECORDCOUNT(handle), 0);
        XDBGETRECORD(handle, 1);
        EXPECT_EQ(XDBFIELDVALUE(handle, "APPNAME", 0), "");
        EXPECT_EQ(XDBRECORDNUMBER(handle), 0);
        EXPECT_EQ(XDBEOF(handle), 1);
        EXPECT_EQ(XDBBOF(handle), 1);
        EXPECT_EQ(XDBSEEK(handle, index, "ALPHA"), 0);
        EXPECT_EQ(XDBSEEKPARTIAL(handle, index, "A"), 0);
        XDBMOVEFIRST(handle, index);
        XDBMOVENEXT(handle, index);
        XDBASSIGNFIELD(handle, "", 1, "x");
        XDBADDRECORD(handle);
        int one = 1;
        XDBPUTRECORD(handle, one);
        XDBDELETERECORD(handle, 1);
        XDBPACK(handle);
        XDBREINDEX(handle, index, 0);
        XDBCLEARBUFFER(handle);
        XDBCLOSE(handle);
        EXPECT_EQ(XDBERROR(), XdbBadHandle) << handle;
    }
    EXPECT_EQ(ReadFile("Application.dbf"), before);
}

TEST_F(Xdb, AClosedIndexHandleStopsABrowseInsteadOfLooping) {
    int index = 0;
    int table = OpenApps(index);
    AddApp(table, {"Alpha"});
    XDBCLOSE(table);
    // The program keeps the old index handle when an index fails to open.
    table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    XDBMOVEFIRST(table, index);
    EXPECT_EQ(XDBERROR(), XdbBadHandle);
    EXPECT_EQ(XDBEOF(table), 1);
    EXPECT_EQ(XDBRECORDNUMBER(table), 0);
    EXPECT_EQ(XDBRECORDCOUNT(table), 1); // the table itself still answers
    XDBCLOSE(table);
}

TEST_F(Xdb, ThePendingErrorStaysUntilResetAndTheLatestFailureWins) {
    const int table = XDBOPENEX("User.dbf", 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), 0);
    XDBGETRECORD(table, 5);
    EXPECT_EQ(XDBERROR(), XdbNoSuchRecord);
    XDBASSIGNFIELD(table, "", 1, "fine");
    EXPECT_EQ(XDBERROR(), XdbNoSuchRecord); // a success does not clear it
    XDBASSIGNFIELD(table, "NOPE", 0, "x");
    EXPECT_EQ(XDBERROR(), XdbNoSuchField);
    XDBRESETERROR();
    EXPECT_EQ(XDBERROR(), 0);
    XDBCLOSE(table);
}

TEST_F(Xdb, TwoOpensInARowDoNotBlockAndTheSecondSeesTheFirstsWrites) {
    int index = 0;
    const int first = OpenApps(index);
    AddApp(first, {"Alpha"});
    int secondIndex = 0;
    const int second = OpenApps(secondIndex); // the program replaces its handle unclosed
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(XDBRECORDCOUNT(second), 1);
    AddApp(second, {"Bravo"});
    // A write through the older handle applies to the file as it now is.
    AddApp(first, {"Charlie"});
    EXPECT_EQ(XDBRECORDCOUNT(first), 3);
    XDBCLOSE(second);
    XDBCLOSE(first);
    EXPECT_EQ(ReadAllApps().size(), 3u);
}

// ---- The index: seeks and moves ----

class XdbIndex : public Xdb {
protected:
    void SetUp() override {
        Xdb::SetUp();
        table = OpenApps(index);
        for (const char* name : {"delta", "Alpha", "charlie", "Bravo", "Echo"})
            AddApp(table, {name});
    }
    void TearDown() override { XDBCLOSE(table); }

    std::string Current() { return XDBFIELDVALUE(table, "APPNAME", 0); }

    int table = 0;
    int index = 0;
};

TEST_F(XdbIndex, SeekFindsTheUpperCaseNameWithTrailingBlanksAside) {
    EXPECT_EQ(XDBSEEK(table, index, "CHARLIE"), 1);
    EXPECT_EQ(XDBRECORDNUMBER(table), 3);
    EXPECT_EQ(Current(), "charlie");
    EXPECT_EQ(XDBSEEK(table, index, "DELTA" + std::string(20, ' ')), 1);
    EXPECT_EQ(Current(), "delta");
    EXPECT_EQ(XDBSEEK(table, index, "DELTA   " + std::string(40, ' ')), 1);
    // Exact: neither a prefix nor another case.
    EXPECT_EQ(XDBSEEK(table, index, "DELT"), 0);
    EXPECT_EQ(XDBSEEK(table, index, "delta"), 0);
    EXPECT_EQ(XDBSEEK(table, index, " DELTA"), 0);
    EXPECT_EQ(XDBERROR(), 0);
}

TEST_F(XdbIndex, SeekHandlesNamesLongerThanTheKeyWidth) {
    const std::string longName = "An application name longer than 25";
    const std::string longer = longName + " and then some";
    AddApp(table, {longer});
    AddApp(table, {longName});
    EXPECT_EQ(XDBSEEK(table, index, ToUpper(longName)), 1);
    EXPECT_EQ(Current(), longName);
    EXPECT_EQ(XDBSEEK(table, index, ToUpper(longer)), 1);
    EXPECT_EQ(Current(), longer);
    // The program browses by the first 25 characters of a name.
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, ToUpper(longName.substr(0, 25))), 1);
    EXPECT_EQ(Current(), longName); // the shorter key comes first
    EXPECT_EQ(XDBSEEK(table, index, ToUpper(longName.substr(0, 25))), 0);
}

TEST_F(XdbIndex, KeysCountCharactersNotBytes) {
    // 24 two-byte letters: padded with one blank, so a 25-character browse key finds it.
    const std::string name = "éééééééééééééééééééééééé";
    AddApp(table, {name});
    const std::string upper = "ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ";
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, upper + " "), 1);
    EXPECT_EQ(Current(), name);
    EXPECT_EQ(XDBSEEK(table, index, upper), 1);
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, upper + "  "), 0);
}

TEST_F(XdbIndex, PartialSeekMatchesAPrefixBlanksIncluded) {
    AddApp(table, {"Alphabet"});
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, "AL"), 1);
    EXPECT_EQ(Current(), "Alpha"); // the first in index order
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, "ALPHAB"), 1);
    EXPECT_EQ(Current(), "Alphabet");
    // Padded to 25 as the program pads: only "Alpha" itself matches.
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, "ALPHA" + std::string(20, ' ')), 1);
    EXPECT_EQ(Current(), "Alpha");
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, "ALPH "), 0);
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, "alpha"), 0);
}

TEST_F(XdbIndex, AFailedSeekLeavesThePositionWhereTheKeyWouldStand) {
    const auto failedThenMove = [&](bool partial, const std::string& key, bool forward) {
        const int found = partial ? XDBSEEKPARTIAL(table, index, key) : XDBSEEK(table, index, key);
        EXPECT_EQ(found, 0) << key;
        EXPECT_EQ(XDBRECORDNUMBER(table), 0);
        EXPECT_EQ(Current(), "");
        if (forward)
            XDBMOVENEXT(table, index);
        else
            XDBMOVEPREV(table, index);
        return XDBRECORDNUMBER(table) == 0 ? std::string("<none>") : Current();
    };
    for (bool partial : {false, true}) {
        EXPECT_EQ(failedThenMove(partial, "BZ", true), "charlie");
        EXPECT_EQ(failedThenMove(partial, "BZ", false), "Bravo");
        EXPECT_EQ(failedThenMove(partial, "AB", false), "<none>");
        EXPECT_EQ(XDBBOF(table), 1);
        EXPECT_EQ(failedThenMove(partial, "0", true), "Alpha");
        EXPECT_EQ(failedThenMove(partial, "ZULU", true), "<none>");
        EXPECT_EQ(XDBEOF(table), 1);
        EXPECT_EQ(failedThenMove(partial, "ZULU", false), "Echo");
    }
    // The program's browse: a 25-character key of the current name, then one step.
    XDBSEEKPARTIAL(table, index, "CHARLIE" + std::string(18, ' '));
    XDBMOVENEXT(table, index);
    EXPECT_EQ(Current(), "delta");
    XDBSEEKPARTIAL(table, index, "CHARLIE" + std::string(18, ' '));
    XDBMOVEPREV(table, index);
    EXPECT_EQ(Current(), "Bravo");
}

TEST_F(XdbIndex, MovesGoInIndexOrderAndSetTheEndsOncePassed) {
    EXPECT_EQ(NamesInIndexOrder(table, index),
              (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta", "Echo"}));
    XDBMOVELAST(table, index);
    EXPECT_EQ(Current(), "Echo");
    EXPECT_EQ(XDBEOF(table), 0);
    XDBMOVENEXT(table, index);
    EXPECT_EQ(XDBEOF(table), 1);
    EXPECT_EQ(XDBBOF(table), 0);
    EXPECT_EQ(XDBRECORDNUMBER(table), 0);
    XDBMOVENEXT(table, index); // stays past the end
    EXPECT_EQ(XDBEOF(table), 1);
    XDBMOVEPREV(table, index); // back from the end: the last record
    EXPECT_EQ(Current(), "Echo");
    EXPECT_EQ(XDBEOF(table), 0);

    XDBMOVEFIRST(table, index);
    EXPECT_EQ(Current(), "Alpha");
    XDBMOVEPREV(table, index);
    EXPECT_EQ(XDBBOF(table), 1);
    EXPECT_EQ(XDBEOF(table), 0);
    EXPECT_EQ(XDBRECORDNUMBER(table), 0);
    XDBMOVENEXT(table, index);
    EXPECT_EQ(Current(), "Alpha");
    EXPECT_EQ(XDBBOF(table), 0);

    // From a record loaded by number the moves go on in index order.
    XDBGETRECORD(table, 1); // delta
    XDBMOVENEXT(table, index);
    EXPECT_EQ(Current(), "Echo");
}

TEST_F(Xdb, AnEmptyTableSetsBothEnds) {
    int index = 0;
    const int table = OpenApps(index);
    for (auto move : {XDBMOVEFIRST, XDBMOVELAST, XDBMOVENEXT, XDBMOVEPREV}) {
        move(table, index);
        EXPECT_EQ(XDBEOF(table), 1);
        EXPECT_EQ(XDBBOF(table), 1);
        EXPECT_EQ(XDBRECORDNUMBER(table), 0);
    }
    EXPECT_EQ(XDBSEEK(table, index, "A"), 0);
    EXPECT_EQ(XDBSEEKPARTIAL(table, index, ""), 0);
    EXPECT_EQ(XDBERROR(), 0);
    XDBCLOSE(table);
}

TEST_F(XdbIndex, TheIndexFollowsEveryWrite) {
    // An overwrite that renames moves the record in index order.
    ASSERT_EQ(XDBSEEK(table, index, "ALPHA"), 1);
    int number = XDBRECORDNUMBER(table);
    XDBASSIGNFIELD(table, "", 1, "Zulu");
    XDBPUTRECORD(table, number);
    XDBMOVELAST(table, index);
    EXPECT_EQ(Current(), "Zulu");
    EXPECT_EQ(XDBSEEK(table, index, "ALPHA"), 0);
    // A deleted record keeps its place until the pack; then the numbers are new.
    ASSERT_EQ(XDBSEEK(table, index, "BRAVO"), 1);
    XDBDELETERECORD(table, XDBRECORDNUMBER(table));
    EXPECT_EQ(NamesInIndexOrder(table, index).size(), 5u);
    XDBPACK(table);
    EXPECT_EQ(NamesInIndexOrder(table, index),
              (std::vector<std::string>{"charlie", "delta", "Echo", "Zulu"}));
    ASSERT_EQ(XDBSEEK(table, index, "ZULU"), 1);
    EXPECT_EQ(XDBRECORDNUMBER(table), 2);
    EXPECT_EQ(XDBERROR(), 0);

    // The file on disk is the one a rebuild makes.
    const std::string written = ReadFile("Application.idx");
    XDBREINDEX(table, index, 0);
    EXPECT_EQ(ReadFile("Application.idx"), written);
}

TEST_F(Xdb, AStaleOrDamagedIndexIsRebuilt) {
    int index = 0;
    int table = OpenApps(index);
    AddApp(table, {"Alpha"});
    AddApp(table, {"Bravo"});
    XDBCLOSE(table);
    const std::string good = ReadFile("Application.idx");

    // Built from another state of the table: the table gained a record behind its back.
    fs::copy_file("Application.idx", "old.idx");
    table = OpenApps(index);
    AddApp(table, {"Charlie"});
    XDBCLOSE(table);
    const std::string current = ReadFile("Application.idx");
    fs::copy_file("old.idx", "Application.idx", fs::copy_options::overwrite_existing);
    table = OpenApps(index);
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_EQ(XDBSEEK(table, index, "CHARLIE"), 1);
    XDBCLOSE(table);
    EXPECT_EQ(ReadFile("Application.idx"), current);

    for (const std::string& damage :
         {std::string(), std::string("garbage"), current.substr(0, current.size() / 2)}) {
        WriteFile("Application.idx", damage);
        table = OpenApps(index);
        EXPECT_EQ(XDBERROR(), 0);
        EXPECT_EQ(NamesInIndexOrder(table, index),
                  (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
        XDBCLOSE(table);
        EXPECT_EQ(ReadFile("Application.idx"), current);
    }
}
