// The tables the store writes, read back by the store and by independent dBASE readers.

#include "common/text.h"
#include "store/dbf_file.h"
#include "store/store_test.h"
#include "support/dbf_reader.h"

#include <gtest/gtest.h>

using Interop = StoreTest;

TEST_F(Interop, TheStoreAndAnotherDbaseReaderReadEveryValueAsWritten) {
    const std::vector<ApplicationRecord> rows = {
        {"Übersetzer Pro", "ÄÖÜ-äöü-ß-1234", "vertrieb@übersetzer.de", "Yes"},
        {"日本語アプリ", "コード 番号", "販売@example.jp", "No"},
        {"  leading blanks", "trailing blanks   ", " ", ""},
        {"Deleted but present", "X", "x@example.com", "No"},
        // The code: 254 bytes, 127 characters.
        {std::string(254, 'L'), ReplaceAll(std::string(127, '~'), "~", "é"), "tab\t\r\n", "No"},
        {"Emoji 😀 name", std::string(252, 'y') + " ", "quote \" and , comma", ""},
        {"   ", "", "", "Yes"},
    };
    // Another reader shows a value that ends in blanks with the NUL that marks its end, or
    // without the blanks; anything else must come back byte for byte.
    const auto same = [](std::string read, const std::string& written) {
        if (read.ends_with(std::string(" \0", 2)))
            read.pop_back();
        return read == written || (written.ends_with(' ') &&
                                   read == written.substr(0, written.find_last_not_of(' ') + 1));
    };
    // After each kind of write: the records the other readers find not deleted are the store's
    // in the same order, and a deleted one holds nothing any more. Neither reader learns
    // from the table that it is UTF-8 (see measure_readers.py): both are told.
    const auto check = [&](const char* after, std::size_t deleted) {
        SCOPED_TRACE(after);
        const std::vector<ApplicationRecord> stored = StoredApplications();
        const DbfContents dbfread = ReadWithDbfread(ApplicationTableFile, "utf-8");
        ASSERT_EQ(dbfread.records.size(), stored.size());
        for (std::size_t r = 0; r < stored.size(); ++r) {
            const ApplicationRecord& row = stored[r];
            const Names written = {row.name, row.code, row.vendorEmail, row.request};
            for (std::size_t f = 0; f < written.size(); ++f)
                EXPECT_TRUE(same(dbfread.records[r].at(f), written[f])) << "dbfread " << r;
        }
        const DbfContents read = ReadWithDbffile(ApplicationTableFile);
        EXPECT_EQ(read.fieldNames, (Names{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
        ASSERT_EQ(read.records.size(), stored.size() + deleted);
        std::size_t next = 0;
        for (std::size_t r = 0; r < read.records.size(); ++r) {
            if (read.deleted[r]) {
                EXPECT_EQ(read.records[r], Names(4, "")) << r;
                continue;
            }
            const ApplicationRecord& row = stored.at(next++);
            const Names written = {row.name, row.code, row.vendorEmail, row.request};
            for (std::size_t f = 0; f < written.size(); ++f)
                EXPECT_TRUE(same(read.records[r].at(f), written[f])) << r << "/" << f;
        }
    };
    AddApplications(rows);
    EXPECT_EQ(StoredApplications(), rows);
    check("adds", 0);
    Open();
    XDBDELETERECORD(table, 4); // marked and blanked when the table is closed
    XDBCLOSE(table);
    std::vector<ApplicationRecord> kept = rows;
    kept.erase(kept.begin() + 3);
    EXPECT_EQ(StoredApplications(), kept);
    check("a delete", 1);
    Open();
    XDBGETRECORD(table, 1);
    XDBASSIGNFIELD(table, "", 2, "ÄÖÜ overwritten ");
    int first = 1;
    XDBPUTRECORD(table, first);
    XDBCLOSE(table);
    check("an overwrite", 1);
    Open();
    XDBPACK(table); // a small table gives the room back
    XDBCLOSE(table);
    check("a pack", 0);
    EXPECT_EQ(StoredApplications().at(0).code, "ÄÖÜ overwritten ");
}

TEST_F(Interop, OlderTablesWrittenByTheStoreStayInTheirCodePageForOtherReaders) {
    // The table's language driver, and the page dbffile (which reads no declaration) is told.
    const std::pair<char, const char*> pages[] = {{0x03, "win1252"}, {0x02, "cp850"}};
    for (const auto& [driver, encoding] : pages) {
        SCOPED_TRACE(encoding);
        DbfTable old = EmptyTable(KnownTables().front());
        old.header = std::string(DbfHeaderSize, '\0');
        old.header[29] = driver;
        old.codePage = CodePageOfLanguageDriver(driver);
        old.records = {{false, {"Übel", "ß", "a@x", "Yes"}}, {false, {"Zwei", "½", "b@x", "No"}}};
        WriteFile(ApplicationTableFile, SerializeDbf(old, {2004, 5, 6, 7, 8, 9}));
        Open();
        XDBGETRECORD(table, 1);
        XDBASSIGNFIELD(table, "REGCODE", 0, "Çà ñ");
        int first = 1;
        XDBPUTRECORD(table, first);
        XDBCLOSE(table);
        const std::vector<Names> expected = {{"Übel", "Çà ñ", "a@x", "Yes"},
                                             {"Zwei", "½", "b@x", "No"}};
        EXPECT_EQ(ReadWithDbffile(ApplicationTableFile, encoding).records, expected);
        EXPECT_EQ(ReadWithDbfread(ApplicationTableFile).records, expected); // by the driver byte
    }
}
