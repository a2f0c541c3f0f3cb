// The tables the store writes, read back by the store and by an independent dBASE reader.

#include "common/text.h"
#include "store/store_test.h"
#include "support/dbf_reader.h"

#include <gtest/gtest.h>

using Interop = StoreTest;

TEST_F(Interop, TheStoreAndAnotherDbaseReaderReadEveryValueAsWritten) {
    const std::vector<ApplicationRow> rows = {
        {"Übersetzer Pro", "ÄÖÜ-äöü-ß-1234", "vertrieb@übersetzer.de", "Yes"},
        {"日本語アプリ", "コード 番号", "販売@example.jp", "No"},
        {"  leading blanks", "trailing blanks   ", " ", ""},
        {"Deleted but present", "X", "x@example.com", "No"},
        // The code: 254 bytes, 127 characters.
        {std::string(254, 'L'), ReplaceAll(std::string(127, '~'), "~", "é"), "tab\t\r\n", "No"},
        {"Emoji 😀 name", std::string(252, 'y') + " ", "quote \" and , comma", ""},
        {"   ", "", "", "Yes"},
    };
    AddApplications(rows);
    Open();
    XDBDELETERECORD(table, 4); // marked and blanked when the table is closed
    XDBCLOSE(table);
    std::vector<ApplicationRow> kept = rows;
    kept.erase(kept.begin() + 3);
    EXPECT_EQ(StoredApplications(), kept);

    DbfContents read = ReadWithDbffile(ApplicationTableFile);
    EXPECT_EQ(read.fieldNames, (Names{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
    EXPECT_EQ(read.deleted, (std::vector<bool>{false, false, false, true, false, false, false}));
    // Another reader shows a value that ends in blanks with the NUL that marks its end, or
    // without the blanks; anything else must come back byte for byte.
    const auto same = [](std::string read, const std::string& written) {
        if (read.ends_with(std::string(" \0", 2)))
            read.pop_back();
        return read == written || (written.ends_with(' ') &&
                                   read == written.substr(0, written.find_last_not_of(' ') + 1));
    };
    ASSERT_EQ(read.records.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Names written =
            r == 3 ? Names(4, "")
                   : Names{rows[r].name, rows[r].code, rows[r].email, rows[r].request};
        for (std::size_t f = 0; f < written.size(); ++f)
            EXPECT_TRUE(same(read.records[r].at(f), written[f])) << r << "/" << f;
    }
}
