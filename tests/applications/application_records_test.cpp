// The application operations on a headless Application Information dialog and a stand-in
// main window, opened without a modal loop.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "applications/application_rules.h"
#include "applications/headless_operations.h"
#include "log/activity_log.h"
#include "records/tables.h"
#include "support/fixtures.h"
#include "ui/windows.h"

#include <array>

namespace {

constexpr int Name = ApplicationNameBox, Code = RegistrationCodeBox, Email = VendorEmailBox;

const std::string Q1 = "?!It appears you are trying to save a record that is already\r\n"
                       "in the Ombrelay Application Database.  Do you really want to \r\n"
                       "overwrite the Application record?";
const std::string Q2 = "?!If you continue, you will overwrite the application  \r\n"
                       "record.  Do you want to overwrite the application?";
const std::string Backup = "?!!!! BEFORE DELETING APPLICATION DATA YOU SHOULD PERFORM A BACKUP !!!"
                           "\r\n\r\n            Choose NO to exit without deleting data, YES to "
                           "proceed.";
const std::string Final = "?!WARNING! CAUTION! You are about to delete Application\r\n"
                          "Registration data.  If you select YES, the data will\r\n"
                          "permanently deleted!  Do you want to delete the data?";
const std::string NeedEmail = "!You must enter a valid email address for the vendor",
                  NeedCode = "!You must enter a registration code for the application";

std::string Entry(const std::string& heading, const std::string& detail) {
    return "\"\r\n" + heading + "03-04-2026   05:06:07\r\n" + detail + "\"\r\n";
}
std::string NotDone(const std::string& name, const std::string& what) {
    return "!The application \"" + name + "\" was not " + what + "." + WriteFailedText;
}

// A form as typed (name, code, e-mail, "Y" and/or "N" for the checked request buttons), the
// answers to the questions, the messages shown, and the control with the caret afterwards.
struct Case {
    Texts form;
    std::deque<int> answers;
    Texts shown;
    int focus;
};
constexpr int Kept = RequestYesButton; // the caret stays where it was

class ApplicationRecords : public HeadlessOperations {
protected:
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
    // Each case stops short of writing, or tries and fails as every table write fails here:
    // table, log and form stay as they were.
    void ExpectNothingDone(void (*operation)(), const std::vector<Case>& cases) {
        const auto before = StoredApplications();
        const std::string log = ReadFile(ActivityLogFile);
        ShowApplicationList(); // builds the index while writes still succeed
        FailWrites();
        for (const auto& c : cases) {
            Fill(c.form);
            ui.SetFocus(d, Kept);
            EXPECT_EQ(Run(operation, c.answers), c.shown);
            EXPECT_EQ(Form(), c.form);
            EXPECT_EQ(ui.FocusedControl(d), c.focus) << c.shown.back();
        }
        SetWriteStepHookForTesting({});
        EXPECT_EQ(StoredApplications(), before);
        EXPECT_EQ(ReadFile(ActivityLogFile), log);
    }

    ui::WindowHandle mainWindow = ui.OpenWindow(MainWindowStandIn());
    ui::WindowHandle d = ui.OpenWindow(ApplicationInformationLayout());
};

TEST_F(ApplicationRecords, SaveAddsOrOverwritesAfterItsQuestionsAndRefusesBadBoxes) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}, {"Zed", "Z", "z@x.org", "yes"}});
    std::string dos = ReadFile(ApplicationTableFile); // a table of the DOS code page 850,
    dos[29] = 0x02;                                   // which has no €
    WriteFile(ApplicationTableFile, dos);
    // Another code asks only the second question; the boxes are checked after it. A blank box
    // or a value its field cannot hold is refused, with the caret on it (every box goes
    // through the same checks: one of each is enough).
    const std::string tooLong(255, 'x');
    ExpectNothingDone(
        SaveApplication,
        {{{"abc", "key-1", "n@x.org", ""}, {ui::IdNo}, {Q1}, Kept},
         {{"abc", "key-1", "n@x.org", ""}, {ui::IdYes, ui::IdNo}, {Q1, Q2}, Kept},
         {{"abc", "KEY-9", " ", ""}, {ui::IdYes}, {Q2, NeedEmail}, Email},
         {{"ABC", "K", "e", ""}, {ui::IdYes}, {Q2, NotDone("ABC", "saved")}, Kept},
         {{"New", "K", "e", ""}, {}, {NotDone("New", "saved")}, Kept},
         {{"   ", "", "", ""}, {}, {"!You must enter a name for the application"}, Name},
         {{"\tT", " ", "", ""}, {}, {NeedCode}, Code},
         {{tooLong, "k", "e", ""}, {}, {"!" + FieldTooLongText("Application Name", 254)}, Name},
         {{"A", "k", "€@x.example", ""}, {}, {"!" + NotInCodePageText("Vendor Email")}, Email}});

    Fill({" Viewer ", "k-1", "s@v.example", "Y"});
    EXPECT_EQ(Run(SaveApplication), Texts{});
    EXPECT_EQ(Form(), (Texts{"", "", "", "N"}));
    EXPECT_EQ(ui.FocusedControl(d), Name);
    Fill({"abc", "key-1", "n@x.org", "N"});
    EXPECT_EQ(Run(SaveApplication, {ui::IdYes, ui::IdYes}), (Texts{Q1, Q2}));
    // The name is stored as typed, a request of "yes" listed as stored.
    EXPECT_EQ(Text(ApplicationListBox),
              ApplicationListRow({" Viewer ", "k-1", "s@v.example", "Yes"}) +
                  ApplicationListRow({"abc", "key-1", "n@x.org", "No"}) +
                  ApplicationListRow({"Zed", "Z", "z@x.org", "yes"}));
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("Application Record Added ", "App name =  Viewer    Code/Key = k-1   "
                                                 "Vendor Email = s@v.example   Rereg = Yes") +
                  Entry("Application Record Edited ", "App name = abc   Code/Key = key-1   "
                                                      "Vendor Email = n@x.org   Rereg = No"));
    // List rows are cut to their columns.
    const std::string n(26, 'n'), c(21, 'c'), e(26, 'e');
    EXPECT_EQ(ApplicationListRow({n, c, e, "Yes!"}),
              n.substr(1) + "  " + c.substr(1) + "  Yes  " + e.substr(1) + "\r\n");
}

TEST_F(ApplicationRecords, BrowsingFollowsNameOrderWrapsAroundAndKeysOn25Characters) {
    const std::string one = "Application number one is long", two = one + "er still";
    AddApplications({{"charlie", "C", "c@x.org", "Yes"}, {"BRAVO", "B", "b@x.org", "yes"}});
    AddApplications({{two, "2", "2@x.org", "No"}, {one, "1", "1@x.org", "No"}});
    // Each browse, after typing a name when one is given, and the name it shows: from a blank
    // name box to the first or the last; names alike in their first 25 characters each in
    // turn; an unknown name from where it would stand.
    const auto N = NextApplication, P = PreviousApplication;
    struct Step {
        void (*browse)();
        std::string typed, shown;
    };
    // clang-format off
    const Step steps[] = {
        {N, "", one}, {N, "", two}, {N, "", "BRAVO"}, {N, "", "charlie"}, {N, "", one},
        {P, "", "charlie"}, {P, "", "BRAVO"}, {P, "", two}, {P, " ", "charlie"}, {P, "b", two},
        {N, "application number one is", two}, {N, "", "BRAVO"}};
    // clang-format on
    for (const auto& step : steps) {
        if (!step.typed.empty())
            ui.SetControlText(d, Name, step.typed);
        step.browse();
        EXPECT_EQ(Text(Name), step.shown) << step.typed;
    }
    // The whole record is shown, and only an exact "Yes" as Yes.
    EXPECT_EQ(Form(), (Texts{"BRAVO", "B", "b@x.org", "N"}));
    NextApplication();
    EXPECT_EQ(Form(), (Texts{"charlie", "C", "c@x.org", "Y"}));
    NewApplication();
    EXPECT_EQ(Form(), (Texts{"", "", "", ""}));
    EXPECT_EQ(ui.FocusedControl(d), Name);
}

TEST_F(ApplicationRecords, DeleteRemovesExactlyTheNamedApplicationAfterItsWarnings) {
    AddApplications({{"ABC Reader", "R-1", "r@x.org", "Yes"}, {"Vue", "v-1", "v@x.org", "No"}});
    const auto notFound = [](const std::string& name) {
        return "!There is no application named \"" + name + "\" in Ombrelay - nothing was deleted";
    };
    const std::string none = "!No application record data has been selected for deletion.\r\n"
                             "Use the NEXT or PREVIOUS buttons to select an application";
    ExpectNothingDone(
        DeleteApplication,
        {{{"", "v-1", "e", ""}, {}, {none}, Kept},
         {{"   ", "v-1", "e", ""}, {ui::IdYes}, {Backup, notFound("   ")}, Kept},
         {{"ABC", "R-1", "e", ""}, {ui::IdYes}, {Backup, notFound("ABC")}, Kept},
         {{"Vue", "v-1", "e", ""}, {ui::IdNo}, {Backup}, Kept},
         {{"Vue", "v-1", "e", ""}, {ui::IdYes, ui::IdNo}, {Backup, Final}, Kept},
         {{"Vue", "x", "e", ""}, {ui::IdYes}, {Backup, NotDone("Vue", "deleted")}, Kept}});

    Fill({"vue", "V-1", "e", "YN"});
    EXPECT_EQ(Run(DeleteApplication, {ui::IdYes, ui::IdYes}), (Texts{Backup, Final}));
    EXPECT_EQ(Form(), (Texts{"", "", "", "Y"})); // only No is cleared
    EXPECT_EQ(Text(ApplicationListBox), ApplicationListRow({"ABC Reader", "R-1", "r@x.org", "Yes"}));
    // Another code skips the final warning. The last delete leaves no stale count.
    Fill({"abc reader", "x", "", ""});
    EXPECT_EQ(Run(DeleteApplication, {ui::IdYes}), Texts{Backup});
    const std::string heading = "Application Deleted by User ";
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry(heading, "Application Deleted was VUE   Code/Key was V-1") +
                  Entry(heading, "Application Deleted was ABC READER   Code/Key was X"));
    EXPECT_EQ(Text(ApplicationCountLine), "No Application Data stored in Ombrelay");
    EXPECT_EQ(ui.ControlText(mainWindow, ui::MainStatusBar),
              "No Application Data stored in Ombrelay");
    EXPECT_EQ(Run(DeleteApplication),
              Texts{"iThere are no Applications in the database to delete"});
    EXPECT_EQ(Run(NextApplication), Texts{"iThere are no Application records to display"});
}

} // namespace
