// The record-database library as the program uses it: opening, values, code pages, what cannot be
// read or written, handles, the folder lock, records, batches, and seeks and moves in index order.

#include "common/text.h"
#include "store/folder_lock.h"
#include "store_test.h"
#include "support/golden.h"
#include "support/lock_holder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

using Xdb = StoreTest;

TEST_F(Xdb, MissingTablesAreCreatedNamesMatchInAnyCaseAndWhatAFieldCannotHoldIsRefused) {
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
    // With the index, the lock and the character set of each table ("UTF-8", for other readers).
    EXPECT_TRUE(XDBERROR() == 0 && std::distance(fs::directory_iterator("."), {}) == 6 &&
                ReadFile("User.cpg") == "UTF-8");
#ifndef _WIN32
    EXPECT_EQ(fs::status(UserTableFile).permissions(), fs::perms(0600)); // it holds passwords
#endif
    // What a field cannot hold is refused; the buffer keeps its old value.
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
    EXPECT_TRUE(XDBERROR() == XdbNoSuchField && XDBFIELDVALUE(table, "REGCODE", 0).empty());
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
    for (const auto& [driver, codePage, text, stored] : cases) {
        SCOPED_TRACE(codePage);
        TempFolder folder;
        // Another program's table: the text in its page where the store held eleven marks.
        Open();
        Add({"First", "x-1", std::string(11, '#'), "Yes"});
        Add({std::string(11, '#')});
        XDBCLOSE(table);
        std::string bytes =
            ReplaceAll(ReadFile(ApplicationTableFile), std::string(11, '#'), stored);
        bytes[29] = driver;
        WriteFile(ApplicationTableFile, bytes);
        Open();
        EXPECT_EQ(Seen(), "2 First|x-1|" + text + "|Yes| " + text + "|||| /" + text + " /First");
        EXPECT_EQ(ReadFile("Application.cpg"), std::to_string(codePage));
        // An overwrite and an add: what the page cannot hold is refused, the rest written in it.
        XDBGETRECORD(table, 1);
        XDBASSIGNFIELD(table, "REGCODE", 0, "日本");
        EXPECT_EQ(XDBERROR(), XdbNotInCodePage);
        XDBRESETERROR();
        XDBASSIGNFIELD(table, "REGCODE", 0, text);
        Put(1);
        Add({"Added " + text});
        XDBCLOSE(table);
        // Past the header's date, counts and count of writes, only what was written changed: the
        // first record's code (past the 161 bytes of the header, its flag and its name) and a
        // record of 766 bytes before the end mark, each in the table's page.
        bytes.replace(161 + 255, 254, stored + std::string(254 - 11, ' '));
        bytes.insert(bytes.size() - 1, " Added " + stored + std::string(765 - 17, ' '));
        EXPECT_EQ(ReadFile(ApplicationTableFile).substr(20), bytes.substr(20));
    }
}

#ifndef _WIN32
void Huge(const char* name) { // 40 GiB, sparse
    WriteFile(name, "");
    fs::resize_file(name, std::uintmax_t{40} << 30);
}

// Runs `body` in a forked child as an ordinary user (root reads anything), and waits for it.
void AsOrdinaryUser(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setuid(65534) == 0 ? (body(), 0) : 99);
    ::waitpid(child, nullptr, 0);
}
#endif

// What the program cannot read or write: on Windows a file that another program holds open without
// sharing it; elsewhere what an ordinary user (root reads anything), who may replace files in the
// folder, may not read or write, a dangling link, a file far too large. Each is reported with its
// code: the table's open's, then the index's; whether a seek found the record all the same, and the
// name it loaded; an add's code (refused without the lock, whose file belongs to another account),
// and the count after it. A table that did not open answers harmlessly. Nothing is overwritten.
TEST_F(Xdb, WhatCannotBeReadOrWrittenIsReportedWithItsCodeAndNeverOverwritten) {
    const struct {
        const char* file;
        void (*make)();
        const char* codes;
    } cases[] = {
        {UserTableFile, [] { WriteFile(UserTableFile, "not a table"); }, "2 3 0 3 0"},
#ifdef _WIN32
        {ApplicationTableFile, [] {}, "1 3 0 3 0"},
#else
        {UserTableFile, [] { fs::create_symlink("elsewhere", UserTableFile); }, "1 3 0 3 0"},
        {ApplicationTableFile, [] { ::chmod(ApplicationTableFile, 0600); }, "1 3 0 3 0"},
        {ApplicationTableFile, [] { Huge(ApplicationTableFile); }, "12 3 0 3 0"},
        {ApplicationIndexFile, [] { fs::create_symlink("elsewhere", ApplicationIndexFile); },
         "0 1 1Alpha 11 1"},
        {ApplicationIndexFile,
         [] {
             WriteFile(ApplicationIndexFile, "x");
             ::chmod(ApplicationIndexFile, 0);
         },
         "0 1 1Alpha 11 1"},
        {ApplicationIndexFile, [] { Huge(ApplicationIndexFile); }, "0 12 1Alpha 11 1"},
        {ApplicationTableFile,
         [] {
             ::chmod(LockFileName, 0666);
             ::chmod(ApplicationTableFile, 0444);
         },
         "0 0 1Alpha 7 1"},
#endif
    };
    for (const auto& c : cases) {
        TempFolder folder;
        table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
        Add({"Alpha"});
        XDBCLOSE(table);
#ifndef _WIN32
        ::chmod(".", 0777);
        ::chmod(ApplicationTableFile, 0644);
#endif
        c.make();
        std::error_code error; // a rewrite changes the length of each
        const auto size = fs::file_size(c.file, error);
        const auto open = [&] {
            const auto pending = [] {
                const int error = XDBERROR();
                XDBRESETERROR();
                return std::to_string(error) + " ";
            };
            const int opened = XDBOPENEX(
                c.file == UserTableFile ? UserTableFile : ApplicationTableFile, 2, 1, TableKey);
            std::string codes = pending();
            const int found = XDBSEEK(opened, XDBOPENINDEX(ApplicationIndexFile, opened), "ALPHA");
            codes += pending() + std::to_string(found) + XDBFIELDVALUE(opened, "APPNAME", 0) + " ";
            XDBADDRECORD(opened);
            codes += pending() + std::to_string(XDBRECORDCOUNT(opened));
            XDBCLOSE(opened);
            XDBRESETERROR();
            WriteFile("codes", codes);
        };
#ifdef _WIN32
        const HANDLE other = c.file == ApplicationTableFile
                                 ? CreateFileW(fs::path(c.file).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                 : INVALID_HANDLE_VALUE;
        open();
        CloseHandle(other);
#else
        AsOrdinaryUser(open);
#endif
        EXPECT_EQ(ReadFile("codes"), c.codes) << c.file;
        EXPECT_TRUE(fs::file_size(c.file, error) == size && !fs::exists("elsewhere"));
    }
}

TEST_F(Xdb, OlderHandlesNeitherLoseWritesNorLoop) {
    Open();
    const int older = table, olderIndex = index;
    Open(); // the program replaces its handles without closing the old ones
    Add({"Alpha"});
    // A write through the older handle applies to the file as it now is.
    XDBASSIGNFIELD(older, "", 1, "Bravo");
    XDBADDRECORD(older);
    XDBCLOSE(older);
    XDBCLOSE(table);
    // An index handle closed with its table (the program keeps it when a new index fails to open)
    // ends a browse at once.
    table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    XDBMOVEFIRST(table, olderIndex);
    EXPECT_TRUE(XDBERROR() == XdbBadHandle && XDBEOF(table) == 1 && XDBRECORDNUMBER(table) == 0 &&
                XDBRECORDCOUNT(table) == 2);
    // Every other call on the closed handle is refused, answering harmlessly.
    XDBRESETERROR();
    XDBMOVELAST(older, olderIndex);
    XDBMOVEPREV(older, olderIndex);
    XDBMOVENEXT(older, olderIndex);
    XDBGETRECORD(older, 1);
    XDBREINDEX(older, olderIndex, 0);
    XDBCLEARBUFFER(older);
    XdbAbandonBatch(older);
    EXPECT_TRUE(XDBERROR() == XdbBadHandle && XDBEOF(older) + XDBBOF(older) == 2 &&
                XDBRECORDNUMBER(older) + XDBSEEKPARTIAL(older, olderIndex, "A") == 0);
}

// Another running copy of the program, as the folder lock sees one: a second handle on the lock
// file. The lock keeps it out from the open to the close.
TEST_F(Xdb, TheFolderLockKeepsAnotherCopyOutUntilTheTableIsClosed) {
    Open();
    EXPECT_FALSE(LockHolder(LockFileName).held());
    XDBCLOSE(table);
    const LockHolder other(LockFileName);
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    SetLockWaitForTesting({});
    EXPECT_EQ(XDBERROR(), XdbLocked);
}

// Scripts of calls on the application table, kept under tests/golden/store/ with what each call
// left: a call's name, then a quoted text or a record number; after " → ", its answer, or the
// current record's name and number and the ends passed; and the error it set. Seeks and moves go
// in index order (exact seeks upper case and trailing blanks aside, partial ones blanks included,
// a failed seek leaving the position where the key would stand); an added record becomes current;
// an overwrite, a delete and a pack show at once, in the index too; record numbers outside the
// table are refused; a missing or damaged index file is made again; a table another program
// changed is read again; a batch is seen at once but reaches the file only with its commit, and an
// abandon or a close without one leaves nothing.
TEST_F(Xdb, ScriptsOfSeeksMovesRecordsAndBatchesLeaveWhatTheirTranscriptsHold) {
    const fs::path dbf = ApplicationTableFile, idx = ApplicationIndexFile;
    std::string text, answer, began;
    int number = 0, found = 1;
    const std::map<std::string, std::function<void()>> calls = {
        {"current", [] {}},
        {"add", [&] { Add({text}); }},
        {"put",
         [&] {
             XDBASSIGNFIELD(table, "", 1, text);
             Put(number);
         }},
        {"get", [&] { XDBGETRECORD(table, number); }},
        {"delete", [&] { XDBDELETERECORD(table, number); }},
        {"pack", [&] { XDBPACK(table); }},
        {"seek", [&] { found = XDBSEEK(table, index, text); }},
        {"partial", [&] { found = XDBSEEKPARTIAL(table, index, text); }},
        {"first", [&] { XDBMOVEFIRST(table, index); }},
        {"next", [&] { XDBMOVENEXT(table, index); }},
        {"previous", [&] { XDBMOVEPREV(table, index); }},
        {"last", [&] { XDBMOVELAST(table, index); }},
        {"batch",
         [&] {
             began = ReadFile(dbf);
             XdbBeginBatch(table);
         }},
        {"commit", [&] { XdbCommitBatch(table); }},
        {"abandon", [&] { XdbAbandonBatch(table); }},
        {"reopen",
         [&] {
             XDBCLOSE(table);
             Open();
         }},
        {"seen", [&] { answer = Seen(); }},
        {"size", [&] { answer = std::to_string(fs::file_size(dbf)); }},
        {"index size", [&] { answer = std::to_string(fs::file_size(idx)); }},
        {"damage index", [&] { fs::resize_file(idx, 60); }},
        {"remove index", [&] { fs::remove(idx); }},
        {"file", [&] { answer = ReadFile(dbf) == began ? "as the batch began" : "written"; }},
        // Another program writes a name in capitals in place, later than a tick of the clock.
        {"wait", [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }},
        {"outside", [&] { WriteFile(dbf, ReplaceAll(ReadFile(dbf), text, ToUpper(text))); }},
    };
    for (const char* name : {"store/seeks_and_moves.txt", "store/records.txt", "store/batch.txt"}) {
        TempFolder folder;
        Open();
        std::istringstream script(ReadFile(TestsFile("golden/") / name));
        std::string transcript;
        for (std::string line; std::getline(script, line);) {
            line = line.substr(0, line.find(" → "));
            const auto quote = line.find('\''), end = line.find_first_of("'0123456789");
            text = quote == std::string::npos
                       ? ""
                       : line.substr(quote + 1, line.rfind('\'') - quote - 1);
            number = end == std::string::npos ? 0 : std::atoi(line.c_str() + end);
            found = 1;
            answer.clear();
            calls.at(line.substr(0, end == std::string::npos ? end : end - 1))();
            if (answer.empty())
                answer = (found ? "" : "not found, ") + Name() + " #" +
                         std::to_string(XDBRECORDNUMBER(table)) + (XDBEOF(table) ? " eof" : "") +
                         (XDBBOF(table) ? " bof" : "");
            transcript += line + " → " + answer +
                          (XDBERROR() ? ", error " + std::to_string(XDBERROR()) : "") + "\n";
            XDBRESETERROR();
        }
        ExpectGolden(name, transcript);
        XDBCLOSE(table);
    }
}
