// The application operations on a headless Application Information dialog and a stand-in
// main window, opened without a modal loop.

#include "applications/activity_log.h"
#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "common/clock.h"
#include "common/files.h"
#include "store/tables.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Texts = std::vector<std::string>;
using Rows = std::vector<ApplicationRow>;
constexpr int Name = ApplicationNameBox, Code = RegistrationCodeBox, Email = VendorEmailBox;

const std::string Q1 = "It appears you are trying to save a record that is already\r\n"
                       "in the Ombrelay Application Database.  Do you really want to \r\n"
                       "overwrite the Application record?";
const std::string Q2 = "If you continue, you will overwrite the application  \r\n"
                       "record.  Do you want to overwrite the application?";
const std::string Backup = "!!! BEFORE DELETING APPLICATION DATA YOU SHOULD PERFORM A BACKUP !!!"
                           "\r\n\r\n            Choose NO to exit without deleting data, YES to "
                           "proceed.";
const std::string Final = "WARNING! CAUTION! You are about to delete Application\r\n"
                          "Registration data.  If you select YES, the data will\r\n"
                          "permanently deleted!  Do you want to delete the data?";
const std::string NeedEmail = "You must enter a valid email address for the vendor";

// The style of each kind of message: questions, notices of an empty table, warnings.
unsigned StyleOf(const std::string& text) {
    const bool question = text == Q1 || text == Q2 || text == Backup || text == Final;
    return question ? 0x2134 : text.starts_with("There are no Application") ? 0x2040 : 0x2030;
}
std::string Entry(const std::string& heading, const std::string& detail) {
    return "\"\r\n" + heading + "03-04-2026   05:06:07\r\n" + detail + "\"\r\n";
}
std::string NotDone(const std::string& name, const std::string& what) {
    return "The application \"" + name + "\" was not " + what +
           ". The table file could not be written (the folder may be read-only or the disk full).";
}

// A form as typed (name, code, e-mail, "Y" and/or "N" for the checked request buttons), the
// answers to the questions, the messages shown, and the control with the caret afterwards.
using Case = std::tuple<Texts, std::deque<int>, Texts, int>;
constexpr int Kept = RequestYesButton; // the caret stays where it was

constexpr LocalDateTime Now{2026, 3, 4, 5, 6, 7};

class ApplicationRecords : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return Now; });
    }
    std::string Text(int id) { return ui.ControlText(d, id); }
    Texts Form() {
        return {Text(Name), Text(Code), Text(Email),
                std::string(ui.IsChecked(d, RequestYesButton) ? "Y" : "") +
                    (ui.IsChecked(d, RequestNoButton) ? "N" : "")};
    }
    void Fill(const Texts& form) {
        for (int i = 0; i < 3; ++i)
            ui.SetControlText(d, std::array{Name, Code, Email}[i], form[i]);
        ui.SetChecked(d, RequestYesButton, form[3].find('Y') != std::string::npos);
        ui.SetChecked(d, RequestNoButton, form[3].find('N') != std::string::npos);
    }
    // Runs the operation with these answers; returns the texts of the messages it showed.
    Texts Run(void (*operation)(), std::deque<int> answers = {}) {
        ui.messages.clear();
        ui.answers = std::move(answers);
        operation();
        Texts shown;
        for (const auto& m : ui.messages) {
            EXPECT_EQ(m.caption, "Ombrelay System Message");
            EXPECT_EQ(m.style, StyleOf(m.text)) << m.text;
            shown.push_back(m.text);
        }
        return shown;
    }
    // Each case stops short, leaving table, log and form as they were.
    void ExpectNothingDone(void (*operation)(), const std::vector<Case>& cases,
                           bool failWrites = false) {
        const Rows before = StoredApplications();
        const std::string log = ReadFile(ActivityLogFile);
        if (failWrites)
            SetWriteStepHookForTesting(
                [](WriteStep step) { return step != WriteStep::DataWritten; });
        for (const auto& [form, answers, shown, focus] : cases) {
            Fill(form);
            ui.SetFocus(d, Kept);
            EXPECT_EQ(Run(operation, answers), shown);
            EXPECT_EQ(Form(), form);
            EXPECT_EQ(ui.FocusedControl(d), focus) << shown.back();
        }
        SetWriteStepHookForTesting({});
        EXPECT_EQ(StoredApplications(), before);
        EXPECT_EQ(ReadFile(ActivityLogFile), log);
    }

    HeadlessPlatform ui;
    ui::WindowHandle mainWindow = ui.OpenWindow(MainWindowStandIn());
    ui::WindowHandle d = ui.OpenWindow(ApplicationInformationLayout());
};

TEST_F(ApplicationRecords, SaveAddsOrOverwritesAfterItsQuestionsAndRefusesBadBoxes) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}});
    Fill({" Viewer ", "k-1", "s@v.example", "Y"});
    EXPECT_EQ(Run(SaveApplication), Texts{});
    EXPECT_EQ(Form(), (Texts{"", "", "", "N"}));
    EXPECT_EQ(ui.FocusedControl(d), Name);
    EXPECT_EQ(Text(ApplicationListBox),
              ApplicationListRow(" Viewer ", "k-1", "Yes", "s@v.example") +
                  ApplicationListRow("ABC", "KEY-1", "Yes", "old@abc.org"));
    // Another code asks only the second question; the boxes are checked after it.
    ExpectNothingDone(SaveApplication,
                      {{{"abc", "key-1", "n@x.org", ""}, {ui::IdNo}, {Q1}, Kept},
                       {{"abc", "key-1", "n@x.org", ""}, {ui::IdYes, ui::IdNo}, {Q1, Q2}, Kept},
                       {{"abc", "KEY-9", "", ""}, {ui::IdYes}, {Q2, NeedEmail}, Email}});
    Fill({"abc", "key-1", "n@x.org", "N"});
    EXPECT_EQ(Run(SaveApplication, {ui::IdYes, ui::IdYes}), (Texts{Q1, Q2}));
    EXPECT_EQ(Form(), (Texts{"abc", "key-1", "n@x.org", "N"}));
    EXPECT_EQ(Text(ApplicationListBox), // the name stored as typed
              ApplicationListRow(" Viewer ", "k-1", "Yes", "s@v.example") +
                  ApplicationListRow("abc", "key-1", "No", "n@x.org"));
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("Application Record Added ", "App name =  Viewer    Code/Key = k-1   "
                                                 "Vendor Email = s@v.example   Rereg = Yes") +
                  Entry("Application Record Edited ", "App name = abc   Code/Key = key-1   "
                                                      "Vendor Email = n@x.org   Rereg = No"));
    // A write that fails is reported instead.
    ExpectNothingDone(SaveApplication,
                      {{{"New", "K", "e", ""}, {}, {NotDone("New", "saved")}, Kept},
                       {{"ABC", "K", "e", ""}, {ui::IdYes}, {Q2, NotDone("ABC", "saved")}, Kept}},
                      true);
    // A blank box or a value too long for its field is refused, with the caret on it.
    const std::string needName = "You must enter a name for the application",
                      needCode = "You must enter a registration code for the application",
                      tooLong(255, 'x');
    ExpectNothingDone(
        SaveApplication,
        {{{"", "k", "e", ""}, {}, {needName}, Name},
         {{"   ", "", "", ""}, {}, {needName}, Name},
         {{"\tT", " ", "", ""}, {}, {needCode}, Code},
         {{"A", "k", " ", ""}, {}, {NeedEmail}, Email},
         {{tooLong, "k", "e", ""}, {}, {FieldTooLongText("Application Name", 254)}, Name},
         {{"A", tooLong, "e", ""}, {}, {FieldTooLongText("Code/Key", 254)}, Code},
         {{"A", "k", tooLong, ""}, {}, {FieldTooLongText("Vendor Email", 254)}, Email}});
    // List rows are cut to their columns.
    const std::string n(26, 'n'), c(21, 'c'), e(26, 'e');
    EXPECT_EQ(ApplicationListRow(n, c, "Yes!", e),
              n.substr(1) + "  " + c.substr(1) + "  Yes  " + e.substr(1) + "\r\n");
}

TEST_F(ApplicationRecords, BrowsingFollowsNameOrderWrapsAroundAndKeysOn25Characters) {
    const std::string one = "Application number one is long", two = one + "er still";
    AddApplications({{"charlie", "C", "c@x.org", "Yes"}, {"BRAVO", "B", "b@x.org", "yes"}});
    AddApplications({{two, "2", "2@x.org", "No"}, {one, "1", "1@x.org", "No"}});
    const auto browse = [&](void (*operation)()) {
        return [&, operation](const char* typed = nullptr) {
            if (typed != nullptr)
                ui.SetControlText(d, Name, typed);
            operation();
            return Text(Name);
        };
    };
    const auto next = browse(NextApplication), previous = browse(PreviousApplication);
    // From a blank name box to the first or the last; names alike in their first 25
    // characters each in turn; an unknown name from where it would stand.
    EXPECT_EQ((Texts{next(""), next(), next(), next(), next()}),
              (Texts{one, two, "BRAVO", "charlie", one}));
    EXPECT_EQ((Texts{previous(), previous(), previous(), previous(" ")}),
              (Texts{"charlie", "BRAVO", two, "charlie"}));
    EXPECT_EQ((Texts{previous("b"), next("application number one is")}), (Texts{two, two}));
    // The whole record is shown, and only an exact "Yes" as Yes; the list shows it as stored.
    next();
    EXPECT_EQ(Form(), (Texts{"BRAVO", "B", "b@x.org", "N"}));
    next();
    EXPECT_EQ(Form(), (Texts{"charlie", "C", "c@x.org", "Y"}));
    ShowApplicationList();
    EXPECT_NE(Text(ApplicationListBox).find(ApplicationListRow("BRAVO", "B", "yes", "b@x.org")),
              std::string::npos);
    NewApplication();
    EXPECT_EQ(Form(), (Texts{"", "", "", ""}));
    EXPECT_EQ(ui.FocusedControl(d), Name);
}

TEST_F(ApplicationRecords, DeleteRemovesExactlyTheNamedApplicationAfterItsWarnings) {
    AddApplications({{"ABC Reader", "R-1", "r@x.org", "Yes"}, {"Vue", "v-1", "v@x.org", "No"}});
    const auto notFound = [](const std::string& name) {
        return "There is no application named \"" + name + "\" in Ombrelay - nothing was deleted";
    };
    const std::string noneSelected = "No application record data has been selected for "
                                     "deletion.\r\nUse the NEXT or PREVIOUS buttons to select an "
                                     "application";
    ExpectNothingDone(DeleteApplication,
                      {{{"", "v-1", "e", ""}, {}, {noneSelected}, Kept},
                       {{"   ", "v-1", "e", ""}, {ui::IdYes}, {Backup, notFound("   ")}, Kept},
                       {{"ABC", "R-1", "e", ""}, {ui::IdYes}, {Backup, notFound("ABC")}, Kept},
                       {{"Vue", "v-1", "e", ""}, {ui::IdNo}, {Backup}, Kept},
                       {{"Vue", "v-1", "e", ""}, {ui::IdYes, ui::IdNo}, {Backup, Final}, Kept}});
    ExpectNothingDone(
        DeleteApplication,
        {{{"Vue", "x", "e", ""}, {ui::IdYes}, {Backup, NotDone("Vue", "deleted")}, Kept}}, true);

    Fill({"vue", "V-1", "e", "YN"});
    EXPECT_EQ(Run(DeleteApplication, {ui::IdYes, ui::IdYes}), (Texts{Backup, Final}));
    EXPECT_EQ(Form(), (Texts{"", "", "", "Y"})); // only No is cleared
    EXPECT_EQ(Text(ApplicationListBox), ApplicationListRow("ABC Reader", "R-1", "Yes", "r@x.org"));
    EXPECT_EQ(ui.ControlText(mainWindow, 1001), "  Data for  1  Applications stored in Ombrelay");
    // Another code skips the final warning. The last delete leaves no stale count.
    Fill({"abc reader", "x", "", ""});
    EXPECT_EQ(Run(DeleteApplication, {ui::IdYes}), Texts{Backup});
    const std::string heading = "Application Deleted by User ";
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry(heading, "Application Deleted was VUE   Code/Key was V-1") +
                  Entry(heading, "Application Deleted was ABC READER   Code/Key was X"));
    EXPECT_EQ(Text(ApplicationCountLine), "No Application Data stored in Ombrelay");
    EXPECT_EQ(ui.ControlText(mainWindow, 1001), "No Application Data stored in Ombrelay");
    EXPECT_EQ(Run(DeleteApplication), Texts{"There are no Applications in the database to delete"});
    for (auto* browse : {NextApplication, PreviousApplication})
        EXPECT_EQ(Run(browse), Texts{"There are no Application records to display"});
}

} // namespace
