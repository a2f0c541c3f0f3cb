#include "requests/request_fixture.h"
#include "requests/request_preparation.h"

namespace {

class Preparation : public RequestTest {
protected:
    void SetUp() override {
        RequestTest::SetUp();
        AddApplications({{"Viewer", "V-1", "sales@viewer.example", "No"}});
        ui.SetControlText(compose, compose::Message, "the instructions");
    }
    std::string Box(int control) { return ui.ControlText(compose, control); }
};

TEST_F(Preparation, AllVendorsFillsTheBoxesAndTheTemplate) {
    // One file whatever the letter case; placeholders are exact words, "XXXXXXXXX" keeps an X.
    WriteFile("template.txt", "Dear vendor,\r\nfname lname (emailaddress) moved from "
                              "XXXXXXXXX.\r\nFNAME Lname applicationname regcode");
    EmailAllVendors();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Box(compose::YourEmail), "ann@home.example");
    EXPECT_EQ(Box(compose::MailServer), "smtp.home");
    EXPECT_EQ(Box(compose::Subject), "New PIN: 2200EF01");
    EXPECT_EQ(Box(compose::SendTo), "Vendors will be emailed separately");
    EXPECT_EQ(Box(compose::CcTo), "ann@home.example");
    EXPECT_EQ(ui.FocusedControl(compose), compose::Message);
    EXPECT_EQ(Box(compose::Message), "Dear vendor,\r\nAnn Lee (ann@home.example) moved from "
                                     "2100ABCDX.\r\nFNAME Lname applicationname regcode");
    EXPECT_EQ(currentUser.pin, "2100ABCD"); // left loaded for the send
    EXPECT_TRUE(TableClosed());
}

TEST_F(Preparation, AMissingTemplateIsCreatedEmptyAndEmptiesTheMessage) {
    EmailSelectVendors();
    EXPECT_EQ(Box(compose::Message), "");
    EXPECT_TRUE(std::filesystem::exists("Template.txt"));
    EXPECT_EQ(ReadFile("Template.txt"), "");

    EmailVendorsTest();
    EXPECT_EQ(ReadFile("Email Test Template.txt"), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Preparation, OnlyTheFirstThousandBytesAreRead) {
    WriteFile("Template.txt", std::string(1000, 'a') + "beyond");
    EXPECT_EQ(ReadTemplate("template.txt"), std::string(1000, 'a'));
    // A character cut by the limit is dropped whole.
    WriteFile("Template.txt", std::string(998, 'a') + "\xE2\x9C\x93 and more");
    EXPECT_EQ(ReadTemplate("Template.txt"), std::string(998, 'a'));
    WriteFile("Template.txt", std::string(997, 'a') + "\xE2\x9C\x93 and more");
    EXPECT_EQ(ReadTemplate("Template.txt"), std::string(997, 'a') + "\xE2\x9C\x93");
    // The placeholders are replaced after the cut.
    WriteFile("Template.txt", std::string(990, '.') + "XXXXXXXX.......");
    EmailAllVendors();
    EXPECT_EQ(Box(compose::Message), std::string(990, '.') + "2100ABCD..");
}

TEST_F(Preparation, ANewPinOfBlanksClosesTheDialog) {
    StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "   ", "", "", "ann", "pw"});
    EmailAllVendors();
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0], "You haven't entered your new PIN number in the User\r\n"
                                  "Setup - go to the User Setup and enter your new PIN\r\n"
                                  "PIN number now!");
    EXPECT_TRUE(ui.WindowOf(compose).ended);
    EXPECT_EQ(ui.WindowOf(compose).result, 0);
    EXPECT_EQ(Box(compose::Message), "the instructions");
    EXPECT_TRUE(TableClosed());
}

TEST_F(Preparation, TheTestNeedsNoNewPin) {
    StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "", "smtp", "", "ann", "pw"});
    WriteFile("email test template.txt", "Test from fname for XXXXXXXX");
    WriteFile("Template.txt", "not this one");
    EmailVendorsTest();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.WindowOf(compose).ended);
    EXPECT_EQ(Box(compose::Subject), "My PIN: 2100ABCD");
    EXPECT_EQ(Box(compose::CcTo), "ann@home.example");
    EXPECT_EQ(ui.FocusedControl(compose), compose::MailServer);
    EXPECT_EQ(Box(compose::Message), "Test from Ann for 2100ABCD");
    EXPECT_TRUE(TableClosed());
}

TEST_F(Preparation, AnEmptyTableFillsNothing) {
    std::filesystem::remove("Application.dbf");
    std::filesystem::remove("Application.idx");
    for (void (*prepare)() : {EmailAllVendors, EmailSelectVendors, EmailVendorsTest}) {
        ui.messages.clear();
        prepare();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "There are no application records in the database");
        EXPECT_EQ(ui.messages[0].style, ui::MbTaskModal | ui::MbIconInformation);
        EXPECT_EQ(Box(compose::Message), "the instructions");
        EXPECT_EQ(Box(compose::Subject), "");
        EXPECT_FALSE(ui.WindowOf(compose).ended);
        EXPECT_TRUE(TableClosed());
    }
}

TEST_F(Preparation, WithoutTheDialogNothingIsFilled) {
    ui.CloseWindow(compose);
    const std::pair<void (*)(), std::string> cases[] = {
        {EmailAllVendors, "wHandle Error 100 in EmailAllVendors Function"},
        {EmailSelectVendors, "wHandle Error 200 in EmailSelectVendors Function"},
        {EmailVendorsTest, "wHandle Error 300 in EmailVendorsTest Function"},
    };
    for (const auto& [prepare, text] : cases) {
        prepare();
        ExpectWarning(ui.LastMessage(), text);
        EXPECT_TRUE(TableClosed());
    }
}

} // namespace
