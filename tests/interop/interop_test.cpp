// The tables the store writes, read back by the store and by independent dBASE readers.

#include "common/text.h"
#include "store/store_test.h"
#include "support/dbf_reader.h"

#include <gtest/gtest.h>

using Interop = StoreTest;

TEST_F(Interop, TheStoreAndOtherDbaseReadersReadEveryValueAsWritten) {
    const Rows rows = {
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
    // After each kind of write, both readers find the store's records, in its order, among
    // those not deleted; a deleted record, which only dbffile shows, holds nothing any more.
    // Neither reader learns from the table that it is UTF-8 (see measure_readers.py): both are
    // told.
    const auto check = [&](const char* after) {
        SCOPED_TRACE(after);
        const Rows stored = StoredApplications();
        for (const DbfContents& read : {ReadWithDbffile(ApplicationTableFile),
                                        ReadWithDbfread(ApplicationTableFile, "utf-8")}) {
            EXPECT_EQ(read.fieldNames, (Names{"APPNAME", "REGCODE", "VEMAIL", "REQUEST"}));
            std::size_t next = 0;
            for (std::size_t r = 0; r < read.records.size(); ++r) {
                if (read.deleted[r]) {
                    EXPECT_EQ(read.records[r], Names(4, "")) << r;
                    continue;
                }
                ASSERT_LT(next, stored.size());
                for (std::size_t f = 0; f < 4; ++f)
                    EXPECT_TRUE(same(read.records[r].at(f), stored[next][f])) << r << "/" << f;
                ++next;
            }
            EXPECT_EQ(next, stored.size());
        }
    };
    AddApplications(rows);
    EXPECT_EQ(StoredApplications(), rows);
    check("adds");
    Open();
    XDBDELETERECORD(table, 4); // marked and blanked when the table is closed
    XDBCLOSE(table);
    check("a delete");
    Open();
    XDBGETRECORD(table, 1);
    XDBASSIGNFIELD(table, "", 2, "ÄÖÜ overwritten ");
    Put(1);
    XDBCLOSE(table);
    check("an overwrite");
    Open();
    XDBPACK(table); // a small table gives the room back
    XDBCLOSE(table);
    check("a pack");
    Rows kept = rows;
    kept.erase(kept.begin() + 3);
    kept[0][1] = "ÄÖÜ overwritten ";
    EXPECT_EQ(StoredApplications(), kept);
}
