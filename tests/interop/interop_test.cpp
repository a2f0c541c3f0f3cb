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
    XDBDELETERECORD(table, 4);
    XDBCLOSE(table);
    EXPECT_EQ(StoredApplications(), rows);

    DbfContents read = ReadWithDbffile(ApplicationTableFile);
    EXPECT_EQ(read.fieldNames, (Names{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
    EXPECT_EQ(read.deleted, (std::vector<bool>{false, false, false, true, false, false, false}));
    std::vector<ApplicationRow> seen; // a value ending in blanks shows the NUL that marks its end
    for (Names& record : read.records) {
        for (std::string& value : record)
            if (value.ends_with(std::string(" \0", 2)))
                value.pop_back();
        seen.push_back({record.at(0), record.at(1), record.at(2), record.at(3)});
    }
    EXPECT_EQ(seen, rows);
}
