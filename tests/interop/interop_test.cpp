// The tables the store writes, read back by the store and by an independent dBASE reader.

#include "store/tables.h"
#include "store/xdb.h"
#include "support/dbf_reader.h"
#include "support/fixtures.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

TEST(Interop, TheStoreAndAnotherDbaseReaderReadEveryValueAsWritten) {
    TempFolder folder;
    std::string longCode;
    for (int i = 0; i < 127; ++i)
        longCode += "é"; // 254 bytes, 127 characters
    const std::vector<ApplicationRow> rows = {
        {"Übersetzer Pro", "ÄÖÜ-äöü-ß-1234", "vertrieb@übersetzer.de", "Yes"},
        {"日本語アプリ", "コード 番号", "販売@example.jp", "No"},
        {"  leading blanks", "trailing blanks   ", " ", ""},
        {"Deleted but present", "X", "x@example.com", "No"},
        {std::string(254, 'L'), longCode, "tab\tand\r\nbreak", "No"},
        {"Emoji 😀 name", std::string(252, 'y') + " ", "quote \" and , comma", ""},
        {"   ", "", "", "Yes"},
    };
    AddApplications(rows);
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    XDBDELETERECORD(table, 4);
    XDBCLOSE(table);
    EXPECT_EQ(StoredApplications(), rows);

    const DbfContents read = ReadWithDbffile(ApplicationTableFile);
    EXPECT_EQ(read.fieldNames,
              (std::vector<std::string>{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
    EXPECT_EQ(read.deleted, (std::vector<bool>{false, false, false, true, false, false, false}));
    ASSERT_EQ(read.records.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& [name, code, email, request] = rows[r];
        const std::vector<std::string> written = {name, code, email, request};
        for (std::size_t f = 0; f < written.size(); ++f) {
            // Another reader shows a value that ends in blanks without them, or followed by
            // the NUL that marks its end; anything else comes back byte for byte.
            const std::string& value = written[f];
            const std::string& got = read.records[r].at(f);
            const auto last = value.find_last_not_of(' ');
            const bool endsInBlank = !value.empty() && last != value.size() - 1;
            EXPECT_TRUE(got == value ||
                        (endsInBlank && (got == value.substr(0, last + 1) || got == value + '\0')))
                << "record " << r + 1 << ": wrote \"" << value << "\", read \"" << got << "\"";
        }
    }
}
