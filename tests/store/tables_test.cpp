#include "store/tables.h"
#include "store/xdb.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class OpenTables : public InTempFolder {
protected:
    void SetUp() override { XDBRESETERROR(); }
    HeadlessPlatform platform;
};

} // namespace

TEST(OpenErrorText, WritesTheCodeWithItsSignPosition) {
    EXPECT_EQ(OpenErrorText(3, "database"), "Error:  3 opening database.");
    EXPECT_EQ(OpenErrorText(-1, "index"), "Error: -1 opening index.");
    EXPECT_EQ(OpenErrorText(12, "index"), "Error:  12 opening index.");
}

TEST_F(OpenTables, AFirstStartInAnEmptyFolderOpensQuietly) {
    OpenUserTable();
    OpenApplicationTable();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(XDBERROR(), 0);
    EXPECT_EQ(XDBRECORDCOUNT(userTable), 0);
    XDBMOVEFIRST(applicationTable, applicationIndex);
    EXPECT_EQ(XDBERROR(), 0); // the index handle is open
    XDBCLOSE(applicationTable);
    XDBCLOSE(userTable);
}

TEST_F(OpenTables, AnUnreadableUserTableIsReportedAndTheHandleAnswersHarmlessly) {
    WriteFile("User.dbf", "not a table");
    OpenUserTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Error:  2 opening database.");
    EXPECT_EQ(platform.messages[0].caption, "Ombrelay User Database");
    EXPECT_EQ(platform.messages[0].style, 0x2030u);
    EXPECT_EQ(XDBERROR(), 0); // reset after the message
    EXPECT_EQ(XDBRECORDCOUNT(userTable), 0);
    EXPECT_EQ(XDBFIELDVALUE(userTable, "LOGINNAME", 0), "");
    EXPECT_EQ(ReadFile("User.dbf"), "not a table");
}

TEST_F(OpenTables, AnApplicationTableThatFailsLeavesTheIndexAlone) {
    OpenApplicationTable();
    XDBCLOSE(applicationTable);
    const int previousIndex = applicationIndex;
    const std::string indexBytes = ReadFile("Application.idx");
    WriteFile("Application.dbf", std::string(100, '\x03'));

    OpenApplicationTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Error:  2 opening database.");
    EXPECT_EQ(platform.messages[0].caption, "Ombrelay Application Database");
    EXPECT_EQ(platform.messages[0].style, 0x2030u);
    EXPECT_EQ(applicationIndex, previousIndex);
    EXPECT_EQ(ReadFile("Application.idx"), indexBytes);
}

TEST_F(OpenTables, AnIndexThatCannotBeReadIsReportedAlone) {
    fs::create_directory("Application.idx"); // something in its place that is not a file
    OpenApplicationTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Error:  1 opening index.");
    EXPECT_EQ(platform.messages[0].caption, "Application Name Index");
    EXPECT_EQ(platform.messages[0].style, 0x2030u);
    EXPECT_TRUE(fs::is_directory("Application.idx"));
    // The table itself is open; a browse through the index that failed ends at once.
    EXPECT_EQ(XDBRECORDCOUNT(applicationTable), 0);
    XDBMOVEFIRST(applicationTable, applicationIndex);
    EXPECT_EQ(XDBEOF(applicationTable), 1);
    XDBCLOSE(applicationTable);
}
