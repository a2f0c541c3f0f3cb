#include "applications/activity_log.h"
#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "store/tables.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned Warning = 0x2030;
constexpr unsigned Notice = 0x2040;
constexpr unsigned Question = 0x2134;
constexpr const char* Caption = "Ombrelay System Message";
constexpr const char* WriteFailure = "The table file could not be written (the folder may be "
                                     "read-only or the disk full).";

std::string Entry(const std::string& heading, const std::string& detail) {
    return "\"\r\n" + heading + "03-04-2026   05:06:07\r\n" + detail + "\"\r\n";
}

// The operations at work on an Application Information dialog and a stand-in main window,
// both opened without a modal loop.
class ApplicationRecords : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
        mainWindow = ui.OpenWindow(MainWindowStandIn());
        dialog = ui.OpenWindow(ApplicationInformationLayout());
    }
    void TearDown() override {
        SetClockForTesting({});
        SetWriteStepHookForTesting({});
    }

    std::string Text(int control) { return ui.ControlText(dialog, control); }
    bool Checked(int control) { return ui.IsChecked(dialog, control); }
    int Focus() { return ui.FocusedControl(dialog); }
    void Fill(const std::string& name, const std::string& code, const std::string& email) {
        ui.SetControlText(dialog, ApplicationNameBox, name);
        ui.SetControlText(dialog, RegistrationCodeBox, code);
        ui.SetControlText(dialog, VendorEmailBox, email);
    }
    void ExpectMessages(const std::vector<std::string>& texts) {
        std::string shown;
        for (const auto& message : ui.messages)
            shown += "[" + message.text + "] ";
        ASSERT_EQ(ui.messages.size(), texts.size()) << shown;
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(ui.messages[i].text, texts[i]) << "message " << i;
    }
    void ExpectFormHolds(const std::string& name, const std::string& code,
                         const std::string& email) {
        EXPECT_EQ(Text(ApplicationNameBox), name);
        EXPECT_EQ(Text(RegistrationCodeBox), code);
        EXPECT_EQ(Text(VendorEmailBox), email);
    }
    // Every write of a file fails from here on. The index is made first, as any earlier
    // run of the program would have made it.
    void FailTableWrites() {
        ShowApplicationList();
        ui.messages.clear();
        SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataWritten; });
    }

    HeadlessPlatform ui;
    ui::WindowHandle mainWindow = 0;
    ui::WindowHandle dialog = 0;
};

const std::string FirstQuestion =
    "It appears you are trying to save a record that is already\r\n"
    "in the Ombrelay Application Database.  Do you really want to \r\n"
    "overwrite the Application record?";
const std::string SecondQuestion = "If you continue, you will overwrite the application  \r\n"
                                   "record.  Do you want to overwrite the application?";
const std::string BackupWarning =
    "!!! BEFORE DELETING APPLICATION DATA YOU SHOULD PERFORM A BACKUP !!!\r\n\r\n"
    "            Choose NO to exit without deleting data, YES to proceed.";
const std::string FinalWarning = "WARNING! CAUTION! You are about to delete Application\r\n"
                                 "Registration data.  If you select YES, the data will\r\n"
                                 "permanently deleted!  Do you want to delete the data?";

// ---- Save ----

using SaveApplicationTest = ApplicationRecords;

TEST_F(SaveApplicationTest, AddsTheFormAsTypedThenEmptiesItAndLogs) {
    AddApplications({{"Zeta Notes", "Z-1", "z@zeta.org", "No"}});
    Fill(" Viewer ", "k-1", "sales@viewer.example");
    ui.Click(dialog, RequestYesButton);
    SaveApplication();

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{{"Zeta Notes", "Z-1", "z@zeta.org", "No"},
                                           {" Viewer ", "k-1", "sales@viewer.example", "Yes"}}));
    ExpectFormHolds("", "", "");
    EXPECT_TRUE(Checked(RequestNoButton));
    EXPECT_FALSE(Checked(RequestYesButton));
    EXPECT_EQ(Focus(), ApplicationNameBox);
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("Application Record Added ", "App name =  Viewer    Code/Key = k-1   "
                                                 "Vendor Email = sales@viewer.example   "
                                                 "Rereg = Yes"));
    // The list in name order, and the count in both places.
    EXPECT_EQ(Text(ApplicationListBox),
              ApplicationListRow(" Viewer ", "k-1", "Yes", "sales@viewer.example") +
                  ApplicationListRow("Zeta Notes", "Z-1", "No", "z@zeta.org"));
    EXPECT_EQ(Text(ApplicationCountLine), "  Data for  2  Applications stored in Ombrelay");
    EXPECT_EQ(ui.ControlText(mainWindow, 1001), "  Data for  2  Applications stored in Ombrelay");
}

TEST_F(SaveApplicationTest, RefusesBlankBoxesInOrderWithFocusOnTheBoxToCorrect) {
    struct Step {
        std::string name, code, email, message;
        int focus;
    };
    const Step steps[] = {
        {"", "k", "e", "You must enter a name for the application", ApplicationNameBox},
        {"   ", "", "", "You must enter a name for the application", ApplicationNameBox},
        {"\tTab", "  ", "", "You must enter a registration code for the application",
         RegistrationCodeBox},
        {"App", "k", " ", "You must enter a valid email address for the vendor", VendorEmailBox},
    };
    for (const auto& step : steps) {
        ui.messages.clear();
        Fill(step.name, step.code, step.email);
        ui.SetFocus(dialog, RequestYesButton);
        SaveApplication();
        ASSERT_EQ(ui.messages.size(), 1u) << step.message;
        EXPECT_EQ(ui.LastMessage().text, step.message);
        EXPECT_EQ(ui.LastMessage().caption, Caption);
        EXPECT_EQ(ui.LastMessage().style, Warning);
        EXPECT_EQ(Focus(), step.focus);
        ExpectFormHolds(step.name, step.code, step.email);
    }
    EXPECT_TRUE(StoredApplications().empty());
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(SaveApplicationTest, LowerCaseNameOverwritesAfterTwoQuestionsWhenTheCodeMatches) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}});
    Fill("abc", "key-1", "new@abc.org");
    ui.Click(dialog, RequestNoButton);
    ui.answers = {ui::IdYes, ui::IdYes};
    SaveApplication();

    ExpectMessages({FirstQuestion, SecondQuestion});
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.style, Question);
        EXPECT_EQ(message.caption, Caption);
    }
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{{"abc", "key-1", "new@abc.org", "No"}}));
    ExpectFormHolds("abc", "key-1", "new@abc.org");
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("Application Record Edited ", "App name = abc   Code/Key = key-1   "
                                                  "Vendor Email = new@abc.org   Rereg = No"));
    EXPECT_EQ(Text(ApplicationCountLine), "  Data for  1  Applications stored in Ombrelay");
}

TEST_F(SaveApplicationTest, DifferentCodeAsksOnlyTheSecondQuestion) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}});
    Fill("Abc", "KEY-2", "old@abc.org");
    ui.answers = {ui::IdYes};
    SaveApplication();
    ExpectMessages({SecondQuestion});
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{{"Abc", "KEY-2", "old@abc.org", "No"}}));
}

TEST_F(SaveApplicationTest, DecliningEitherQuestionChangesNothing) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}});
    const auto before = StoredApplications();
    for (int declined = 0; declined < 2; ++declined) {
        ui.messages.clear();
        ui.answers =
            declined == 0 ? std::deque<int>{ui::IdNo} : std::deque<int>{ui::IdYes, ui::IdNo};
        Fill("abc", "KEY-1", "changed@abc.org");
        SaveApplication();
        EXPECT_EQ(ui.messages.size(), static_cast<std::size_t>(declined + 1));
        EXPECT_EQ(StoredApplications(), before);
        ExpectFormHolds("abc", "KEY-1", "changed@abc.org");
    }
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(SaveApplicationTest, OverwriteChecksTheBoxesAfterTheQuestions) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}});
    Fill("abc", "KEY-9", "");
    ui.answers = {ui::IdYes};
    SaveApplication();
    ExpectMessages({SecondQuestion, "You must enter a valid email address for the vendor"});
    EXPECT_EQ(Focus(), VendorEmailBox);
    EXPECT_EQ(StoredApplications()[0].email, "old@abc.org");
}

TEST_F(SaveApplicationTest, ValuesTooLongForTheirFieldAreRefusedNotCut) {
    const std::string longName(255, 'n');
    Fill(longName, "k", "e@x.org");
    SaveApplication();
    ExpectMessages({FieldTooLongText("Application Name", 254)});
    EXPECT_EQ(ui.LastMessage().style, Warning);
    EXPECT_EQ(Focus(), ApplicationNameBox);
    ExpectFormHolds(longName, "k", "e@x.org");

    // A value ending in a blank needs one byte more to keep its blank.
    ui.messages.clear();
    const std::string code = std::string(253, 'c') + " ";
    Fill("App", code, "e@x.org");
    SaveApplication();
    ExpectMessages({FieldTooLongText("Code/Key", 254)});
    EXPECT_EQ(Focus(), RegistrationCodeBox);

    ui.messages.clear();
    // The limit is in bytes: 192 letters, 64 of them two bytes long, make 256 bytes.
    std::string email(128, 'e');
    for (int i = 0; i < 64; ++i)
        email += "\xC3\xA9";
    Fill("App", "k", email);
    SaveApplication();
    ExpectMessages({FieldTooLongText("Vendor Email", 254)});
    EXPECT_EQ(Focus(), VendorEmailBox);

    EXPECT_TRUE(StoredApplications().empty());
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));

    // The widest value that fits is stored whole.
    ui.messages.clear();
    Fill(std::string(254, 'n'), "k", "e@x.org");
    SaveApplication();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(StoredApplications().at(0).name, std::string(254, 'n'));
}

TEST_F(SaveApplicationTest, AFailedWriteIsReportedAndLeavesFormLogAndTableAsTheyWere) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}});
    const auto before = StoredApplications();
    FailTableWrites();

    Fill("Viewer", "k-1", "v@x.org"); // an add
    SaveApplication();
    ExpectMessages({"The application \"Viewer\" was not saved. " + std::string(WriteFailure)});
    EXPECT_EQ(ui.LastMessage().style, Warning);
    ExpectFormHolds("Viewer", "k-1", "v@x.org");

    ui.messages.clear();
    Fill("abc", "KEY-2", "new@abc.org"); // an overwrite
    ui.answers = {ui::IdYes};
    SaveApplication();
    ExpectMessages(
        {SecondQuestion, "The application \"abc\" was not saved. " + std::string(WriteFailure)});
    ExpectFormHolds("abc", "KEY-2", "new@abc.org");

    SetWriteStepHookForTesting({});
    EXPECT_EQ(StoredApplications(), before);
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(SaveApplicationTest, WithoutTheDialogSaysSo) {
    ui.CloseWindow(dialog);
    SaveApplication();
    ExpectMessages({"Cannot find Ombrelay Application Information window"});
    EXPECT_EQ(ui.LastMessage().style, Warning);
}

// ---- Next and Previous ----

class Browsing : public ApplicationRecords {
protected:
    std::string Next() {
        NextApplication();
        return Text(ApplicationNameBox);
    }
    std::string Previous() {
        PreviousApplication();
        return Text(ApplicationNameBox);
    }
};

TEST_F(Browsing, FollowsNameOrderAndWrapsAround) {
    AddApplications({{"charlie", "C", "c@x.org", "Yes"},
                     {"Alpha", "A", "a@x.org", "No"},
                     {"BRAVO", "B", "b@x.org", "yes"}});
    EXPECT_EQ(Next(), "Alpha"); // a blank name box starts at the first
    EXPECT_EQ(Next(), "BRAVO");
    EXPECT_EQ(Next(), "charlie");
    EXPECT_EQ(Next(), "Alpha");
    EXPECT_EQ(Previous(), "charlie");
    EXPECT_EQ(Previous(), "BRAVO");
    ui.SetControlText(dialog, ApplicationNameBox, "");
    EXPECT_EQ(Previous(), "charlie"); // and at the last going back

    // A name that is not stored browses from where it would stand.
    ui.SetControlText(dialog, ApplicationNameBox, "b");
    EXPECT_EQ(Next(), "BRAVO");
    ui.SetControlText(dialog, ApplicationNameBox, "b");
    EXPECT_EQ(Previous(), "Alpha");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Browsing, ShowsTheWholeRecordAndOnlyAnExactYesAsYes) {
    AddApplications({{"Alpha", "A-1", "a@x.org", "Yes"}, {"Bravo", "B-1", "b@x.org", "yes"}});
    ui.Click(dialog, RequestNoButton);
    Next();
    ExpectFormHolds("Alpha", "A-1", "a@x.org");
    EXPECT_TRUE(Checked(RequestYesButton));
    EXPECT_FALSE(Checked(RequestNoButton));
    Next();
    ExpectFormHolds("Bravo", "B-1", "b@x.org");
    EXPECT_FALSE(Checked(RequestYesButton));
    EXPECT_TRUE(Checked(RequestNoButton));
    // Browsing leaves the list alone; the list shows the flag as stored.
    EXPECT_EQ(Text(ApplicationListBox), "");
    ShowApplicationList();
    EXPECT_NE(Text(ApplicationListBox).find("B-1                   yes  "), std::string::npos);
}

TEST_F(Browsing, OneRecordIsBothNextAndPrevious) {
    AddApplications({{"Solo", "S", "s@x.org", "No"}});
    EXPECT_EQ(Next(), "Solo");
    EXPECT_EQ(Next(), "Solo");
    EXPECT_EQ(Previous(), "Solo");
}

TEST_F(Browsing, NamesSharingTheirFirst25CharactersAreEachVisited) {
    AddApplications({{"Zeta", "Z", "z@x.org", "No"},
                     {"Application number one is longer still", "2", "2@x.org", "No"},
                     {"Application number one is long", "1", "1@x.org", "No"}});
    EXPECT_EQ(Next(), "Application number one is long");
    EXPECT_EQ(Next(), "Application number one is longer still");
    EXPECT_EQ(Next(), "Zeta");
    EXPECT_EQ(Previous(), "Application number one is longer still");
    EXPECT_EQ(Previous(), "Application number one is long");
    // A long name typed by its first 25 characters is found by them.
    ui.SetControlText(dialog, ApplicationNameBox, "application number one is");
    EXPECT_EQ(Next(), "Application number one is longer still");
}

TEST_F(Browsing, AnEmptyTableHasNothingToShow) {
    NextApplication();
    PreviousApplication();
    ExpectMessages({"There are no Application records to display",
                    "There are no Application records to display"});
    EXPECT_EQ(ui.LastMessage().style, Notice);
    EXPECT_EQ(ui.LastMessage().caption, Caption);
}

// ---- Delete ----

class DeleteApplicationTest : public ApplicationRecords {
protected:
    void SetUp() override {
        ApplicationRecords::SetUp();
        AddApplications(
            {{"ABC Reader", "R-1", "r@x.org", "Yes"}, {"Viewer", "v-1", "v@x.org", "No"}});
    }
};

TEST_F(DeleteApplicationTest, DeletesTheNamedApplicationAfterBothWarnings) {
    Fill("viewer", "V-1", "v@x.org");
    ui.Click(dialog, RequestNoButton);
    ui.SetChecked(dialog, RequestYesButton, true);
    ui.answers = {ui::IdYes, ui::IdYes};
    DeleteApplication();

    ExpectMessages({BackupWarning, FinalWarning});
    for (const auto& message : ui.messages)
        EXPECT_EQ(message.style, Question);
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{{"ABC Reader", "R-1", "r@x.org", "Yes"}}));
    ExpectFormHolds("", "", "");
    EXPECT_FALSE(Checked(RequestNoButton));
    EXPECT_TRUE(Checked(RequestYesButton)); // left as it was
    EXPECT_EQ(
        ReadFile(ActivityLogFile),
        Entry("Application Deleted by User ", "Application Deleted was VIEWER   Code/Key was V-1"));
    EXPECT_EQ(Text(ApplicationListBox), ApplicationListRow("ABC Reader", "R-1", "Yes", "r@x.org"));
    EXPECT_EQ(ui.ControlText(mainWindow, 1001), "  Data for  1  Applications stored in Ombrelay");
}

TEST_F(DeleteApplicationTest, ADifferentCodeSkipsTheFinalWarning) {
    Fill("Viewer", "other", "");
    ui.answers = {ui::IdYes};
    DeleteApplication();
    ExpectMessages({BackupWarning});
    EXPECT_EQ(StoredApplications().size(), 1u);
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("Application Deleted by User ",
                    "Application Deleted was VIEWER   Code/Key was OTHER"));
}

TEST_F(DeleteApplicationTest, ANameThatIsOnlyTheBeginningOfAStoredOneDeletesNothing) {
    const auto before = StoredApplications();
    Fill("ABC", "R-1", "r@x.org");
    ui.answers = {ui::IdYes};
    DeleteApplication();
    ExpectMessages(
        {BackupWarning, "There is no application named \"ABC\" in Ombrelay - nothing was deleted"});
    EXPECT_EQ(ui.LastMessage().style, Warning);
    EXPECT_EQ(ui.LastMessage().caption, Caption);
    EXPECT_EQ(StoredApplications(), before);
    ExpectFormHolds("ABC", "R-1", "r@x.org");
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(DeleteApplicationTest, OnlyAnEmptyNameBoxIsNothingSelected) {
    Fill("", "R-1", "");
    DeleteApplication();
    ExpectMessages({"No application record data has been selected for deletion.\r\n"
                    "Use the NEXT or PREVIOUS buttons to select an application"});
    EXPECT_EQ(ui.LastMessage().style, Warning);

    // Blanks pass that test and go on to the look-up, which finds nothing.
    ui.messages.clear();
    Fill("   ", "R-1", "");
    ui.answers = {ui::IdYes};
    DeleteApplication();
    ExpectMessages(
        {BackupWarning, "There is no application named \"   \" in Ombrelay - nothing was deleted"});
    EXPECT_EQ(StoredApplications().size(), 2u);
}

TEST_F(DeleteApplicationTest, DecliningEitherWarningDeletesNothing) {
    Fill("Viewer", "v-1", "v@x.org");
    ui.answers = {ui::IdNo};
    DeleteApplication();
    ui.answers = {ui::IdYes, ui::IdNo};
    DeleteApplication();
    ExpectMessages({BackupWarning, BackupWarning, FinalWarning});
    EXPECT_EQ(StoredApplications().size(), 2u);
    ExpectFormHolds("Viewer", "v-1", "v@x.org");
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(DeleteApplicationTest, DeletingTheLastApplicationClearsTheCountEverywhere) {
    for (const char* name : {"Viewer", "ABC Reader"}) {
        Fill(name, "", "");
        ui.answers = {ui::IdYes};
        DeleteApplication();
    }
    EXPECT_TRUE(StoredApplications().empty());
    EXPECT_EQ(Text(ApplicationListBox), "");
    EXPECT_EQ(Text(ApplicationCountLine), "No Application Data stored in Ombrelay");
    EXPECT_EQ(ui.ControlText(mainWindow, 1001), "No Application Data stored in Ombrelay");

    ui.messages.clear();
    Fill("Viewer", "", "");
    DeleteApplication();
    ExpectMessages({"There are no Applications in the database to delete"});
    EXPECT_EQ(ui.LastMessage().style, Notice);
}

TEST_F(DeleteApplicationTest, AFailedWriteIsReportedAndDeletesNothing) {
    const auto before = StoredApplications();
    FailTableWrites();
    Fill("Viewer", "x", "v@x.org");
    ui.answers = {ui::IdYes};
    DeleteApplication();
    ExpectMessages({BackupWarning,
                    "The application \"Viewer\" was not deleted. " + std::string(WriteFailure)});
    EXPECT_EQ(ui.LastMessage().style, Warning);
    ExpectFormHolds("Viewer", "x", "v@x.org");
    SetWriteStepHookForTesting({});
    EXPECT_EQ(StoredApplications(), before);
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

// ---- The list and the count ----

using ApplicationListAndCount = ApplicationRecords;

TEST_F(ApplicationListAndCount, RowsAre79CharactersInColumnsNameCodeFlagEmail) {
    const std::string row = ApplicationListRow("Name", "Code", "No", "mail@x.org");
    EXPECT_EQ(row, "Name                       Code                  No   mail@x.org               "
                   "\r\n");
    // Longer values are cut in the list, counted in characters.
    const std::string cut =
        ApplicationListRow("An application name that is long", "A registration code too long",
                           "Yes", "someone.with.a.long@address.example");
    EXPECT_EQ(
        cut, "An application name that   A registration code   Yes  someone.with.a.long@addre\r\n");
    const std::string accented = ApplicationListRow("Caf\xC3\xA9 \xC3\xA9\xC3\xA9", "", "", "");
    EXPECT_EQ(CharacterCount(accented), 81u);
    EXPECT_EQ(accented.substr(0, 10), "Caf\xC3\xA9 \xC3\xA9\xC3\xA9");
}

TEST_F(ApplicationListAndCount, ListsEveryRecordInNameOrderButStoresWholeValues) {
    const std::string longCode = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    AddApplications({{"beta", longCode, "b@x.org", "No"}, {"Alpha", "a", "a@x.org", "Yes"}});
    ShowApplicationList();
    EXPECT_EQ(Text(ApplicationListBox), ApplicationListRow("Alpha", "a", "Yes", "a@x.org") +
                                            ApplicationListRow("beta", longCode, "No", "b@x.org"));
    EXPECT_EQ(StoredApplications()[0].code, longCode);
}

TEST_F(ApplicationListAndCount, CountHasTwoBlanksOnEachSideOfTheNumber) {
    AddApplications({{"a", "1", "e", "No"},
                     {"b", "1", "e", "No"},
                     {"c", "1", "e", "No"},
                     {"d", "1", "e", "No"},
                     {"e", "1", "e", "No"}});
    ApplicationCount();
    EXPECT_EQ(Text(ApplicationCountLine), "  Data for  5  Applications stored in Ombrelay");
    EXPECT_EQ(ui.ControlText(mainWindow, 1001), "  Data for  5  Applications stored in Ombrelay");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ApplicationListAndCount, MissingWindowsAreReported) {
    AddApplications({{"a", "1", "e", "No"}});
    ui.CloseWindow(mainWindow);
    ApplicationCount();
    ExpectMessages({"wHandle Error 1010 in ApplicationCount Function"});
    EXPECT_EQ(Text(ApplicationCountLine), "  Data for  1  Applications stored in Ombrelay");

    ui.messages.clear();
    ui.CloseWindow(dialog);
    ApplicationCount();
    ExpectMessages({"wHandle Error 1005 in ApplicationCount Function"});
    EXPECT_EQ(ui.LastMessage().style, Warning);
}

TEST_F(ApplicationListAndCount, NewEmptiesTheFormAndClearsBothButtons) {
    Fill("a", "b", "c");
    ui.SetChecked(dialog, RequestYesButton, true);
    ui.SetFocus(dialog, VendorEmailBox);
    NewApplication();
    ExpectFormHolds("", "", "");
    EXPECT_FALSE(Checked(RequestYesButton));
    EXPECT_FALSE(Checked(RequestNoButton));
    EXPECT_EQ(Focus(), ApplicationNameBox);
    EXPECT_FALSE(std::filesystem::exists(ApplicationTableFile));
}

} // namespace
