#include "requests/mailto.h"
#include "requests/request_fixture.h"

#include <algorithm>
#include <tuple>

namespace {

using ui::WindowHandle;

// The dialog run as the user runs it, from the main window.
class ComposeDialog : public RequestTest {
protected:
    void SetUp() override {
        RequestTest::SetUp();
        ui.CloseWindow(compose); // the dialog under test opens its own
        compose = 0;
        AddApplications({{"One", "1", "one@v.example", "No"},
                         {"Two", "2", "two@v.example", "Yes"},
                         {"Three", "3", "three@v.example", "No"}});
        WriteFile("Template.txt", "Dear applicationname vendor,\r\nfname lname");
    }

    // Runs the dialog with the given user actions; the last one sees it still open and
    // records what the boxes held.
    int Run(std::vector<HeadlessPlatform::Action> steps) {
        for (auto& step : steps)
            ui.actions.push_back(std::move(step));
        ui.actions.push_back([this](WindowHandle dialog) {
            compose = dialog;
            flagAtEnd = ui.ControlText(dialog, compose::MailTypeFlag);
            messageAtEnd = ui.ControlText(dialog, compose::Message);
            statusAtEnd = ui.ControlText(dialog, compose::StatusLine);
            ui.Click(dialog, compose::Cancel);
        });
        return ComposeEmailDialog(0);
    }
    HeadlessPlatform::Action Click(int control) {
        return [this, control](WindowHandle dialog) { ui.Click(dialog, control); };
    }

    std::string flagAtEnd, messageAtEnd, statusAtEnd;
};

TEST_F(ComposeDialog, OpensWithTheInstructionsAndNoKindChosen) {
    std::string shown;
    EXPECT_EQ(Run({[&](WindowHandle dialog) { shown = ui.ControlText(dialog, compose::Message); },
                   Click(compose::Send)}),
              0);
    const std::string text =
        "\r\n                     ***************************************  READ THIS FIRST!  "
        "***************************************\r\n"
        "\r\n"
        "                   Clicking the \"Email Test\" button will send a test email to every "
        "vendor to verify you can\r\n"
        "                   reach them via email (this email won't contain actual "
        "Reregistration Request information,\r\n"
        "                   and you should use this infrequently).  Your email address will be "
        "automatically copied on\r\n"
        "                   each message.\r\n"
        "\r\n"
        "                   Clicking the \"Select\" button sends an email only to those vendors "
        "where you selected the\r\n"
        "                   YES option in the Request Reregistration section of the "
        "Application Information window.\r\n"
        "                   Your email address will be automatically copied on each message.\r\n"
        "\r\n"
        "                   Clicking the \"Email All\" button sends an email to every "
        "application vendor requesting\r\n"
        "                   a new registration code/key, even if you selected NO for the "
        "Request Reregistration option.\r\n"
        "                   Your email address will be automatically copied on each message.";
    EXPECT_EQ(shown, text);
    // Send before a kind is chosen.
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0], "First select the type of mail message to send");
    EXPECT_TRUE(Links().empty());
    EXPECT_EQ(flagAtEnd, "");
    EXPECT_FALSE(ui.ranOutOfActions);
}

TEST_F(ComposeDialog, TheLastKindChosenIsTheOneSent) {
    Run({Click(compose::Select), Click(compose::EmailAll), Click(compose::Send)});
    EXPECT_EQ(flagAtEnd, "3");
    ASSERT_EQ(Links().size(), 3u); // every vendor, flagged or not
    EXPECT_EQ(ParseMailto(Links()[0]).fields.back().second,
              "Dear One vendor,\r\nAnn Lee" + DecodedRequestFooter);
    EXPECT_EQ(MainStatus(),
              "Reregistration Request messages generated for all  3 application vendors");
    EXPECT_EQ(statusAtEnd, MainStatus());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ComposeDialog, AnEditedTestMessageIsSentAgainOnEverySend) {
    WriteFile("Email Test Template.txt", "Testing fname");
    Run({[this](WindowHandle dialog) { ui.PressMnemonic(dialog, compose::EmailTest); },
         [this](WindowHandle dialog) {
             EXPECT_EQ(ui.ControlText(dialog, compose::Message), "Testing Ann");
             ui.Type(dialog, compose::Message, "Can you read me?\r\nAnn");
         },
         Click(compose::Send), Click(compose::Send)});
    EXPECT_EQ(flagAtEnd, "1");
    ASSERT_EQ(Links().size(), 6u);
    EXPECT_EQ(Links()[5], Links()[2]);
    const Mailto last = ParseMailto(Links()[5]);
    EXPECT_EQ(last.to, "three@v.example");
    EXPECT_EQ(last.fields[1].second, "PIN Number 2100ABCD");
    EXPECT_EQ(last.fields[2].second, "Can you read me?\r\nAnn" + DecodedRequestFooter);
    const std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '"'), 12); // six entries
}

TEST_F(ComposeDialog, AMissingNewPinEndsTheDialog) {
    StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", " ", "", "", "ann", "pw"});
    bool reached = false;
    ui.actions = {Click(compose::EmailAll), [&](WindowHandle) { reached = true; }};
    EXPECT_EQ(ComposeEmailDialog(0), 0);
    EXPECT_FALSE(reached);
    EXPECT_FALSE(ui.ranOutOfActions);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ComposeDialog, AnEmptyTableKeepsTheInstructionsAndTheFlag) {
    std::filesystem::remove("Application.dbf");
    Run({Click(compose::EmailAll), Click(compose::Send)});
    EXPECT_EQ(flagAtEnd, "3");
    EXPECT_EQ(messageAtEnd, InstructionText());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "There are no application records in the database");
    ExpectWarning(ui.messages[1], "Record Number  = \"0\" Error in EmailAllVendorsSend Function");
}

TEST_F(ComposeDialog, FocusComesBackAfterSwitchingWindows) {
    int focus = 0;
    Run({Click(compose::Select),
         [this](WindowHandle dialog) {
             ui.SetFocus(dialog, compose::Subject);
             ui.Deactivate(dialog);
             ui.Activate(dialog);
         },
         [&](WindowHandle dialog) { focus = ui.FocusedControl(dialog); }});
    EXPECT_EQ(focus, compose::Subject);
}

TEST_F(ComposeDialog, WithoutTheMainWindowItWarnsAndStillOpens) {
    ui.CloseWindow(main);
    Run({});
    ASSERT_GE(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0], "wHandle Error in Compose Email Dialog Function");
    EXPECT_EQ(ui.dialogsRun, std::vector<std::string>{"Ombrelay Email Application Vendors"});
}

TEST_F(ComposeDialog, OperationsWithoutTheDialogSayWhatFailed) {
    const unsigned warning = ui::MbTaskModal | ui::MbIconExclamation;
    const std::tuple<void (*)(), std::string, unsigned> cases[] = {
        {EmailMessage,
         "Error in the EmailMessage Function\r\nThis will not affect Ombrelay performance",
         ui::MbTaskModal | ui::MbIconInformation},
        {SetFlagEmailTest, "Unable to set flag for \"Email Test\"", warning},
        {SetFlagEmailSelectVendors, "Unable to set flag for \"Email Select Vendors\"", warning},
        {SetFlagEmailAllVendors, "Unable to set flag for \"Email All Vendors\"", warning},
        {EmailVendorsSend, "Cannot locate the Email Vendors Dialog!", warning},
    };
    for (const auto& [operation, text, style] : cases) {
        ui.messages.clear();
        operation();
        ASSERT_EQ(ui.messages.size(), 1u) << text;
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].style, style);
    }
    EXPECT_TRUE(Links().empty());
}

} // namespace
