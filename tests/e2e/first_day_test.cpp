// A new user's whole first day, through the program's real windows on the backend this test
// program is built for: the login, the user record and a password change, three
// applications and more imported from a spreadsheet's file, the three kinds of request with a
// preview and a run stopped half-way, backup, a deletion, restore, export and About; then a
// second start. The messages shown, the tables and the links are checked against what was
// typed.

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/startup.h"
#include "applications/application_records.h"
#include "common/clock.h"
#include "maintenance/database_dialog.h"
#include "maintenance/import.h"
#include "requests/compose_dialog.h"
#include "requests/message_preview.h"
#include "support/fixtures.h"
#include "support/golden.h"
#include "support/mailto.h"
#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "ui/windows.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Strings = std::vector<std::string>;
using Window = ui::WindowHandle;

std::string Text(Window window, int id) {
    return ui::Ui().ControlText(window, id);
}

class FirstDay : public ::testing::Test {
protected:
    void SetUp() override {
        loginFollows = 0;
        SetClockForTesting([] { return LocalDateTime{2026, 12, 6, 9, 30, 0}; });
        WriteFile("Template.txt", "Dear vendor of applicationname,\r\nplease send a new code "
                                  "for regcode. My old PIN was XXXXXXXX.\r\nfname lname, "
                                  "Sales & Support #1, 100% ?x=y");
        WriteFile("Email Test Template.txt", "Test from fname lname (emailaddress).");
    }
    void TearDown() override { SetClockForTesting({}); }

    void Fill(Window window, const std::vector<std::pair<int, const char*>>& boxes, int button) {
        for (const auto& [id, text] : boxes)
            user.Type(window, id, text);
        if (button != 0)
            user.Click(window, button);
    }

    TempFolder folder;
    std::unique_ptr<ui::Platform> platform = MakeBackend();
    std::unique_ptr<UiDriver> driver = MakeDriver();
    UiDriver& user = *driver;
};

TEST_F(FirstDay, FromTheFirstStartToTheExport) {
    user.When(ui::CreateUserLoginTitle, [&](Window w) {
        Fill(w, {{NewNameBox, "Ann"}, {NewLoginPasswordBox, "pw"}, {RepeatLoginPasswordBox, "pw"}},
             CreateLoginOkButton);
    });
    user.When(ui::LoginTitle, [&](Window w) { Fill(w, {{PasswordBox, "pw"}}, LoginButton); });
    user.When(ui::MainWindowTitle, [&](Window w) {
        EXPECT_EQ(Text(w, ui::MainStatusBar), ""); // empty until an operation reports
        for (char mnemonic : {'u', 'a', 'd', 'e', 'a', 'd', 'b'})
            user.Mnemonic(w, mnemonic);
        EXPECT_EQ(Text(w, ui::MainStatusBar), "  Data for  4  Applications stored in Ombrelay");
        user.CloseBox(w);
    });
    // Overwriting the user record, changing the password, deleting twice over.
    user.answers = {true, true, true, true};
    user.When(ui::UserSetupTitle, [&](Window w) {
        Fill(w,
             {{FirstNameBox, "Ann"},
              {LastNameBox, "Lindqvist-Ölund"},
              {UserEmailBox, "ann@example.org"},
              {PinBox, "2a4f19c0"},
              {NewPinBox, "31bd07e5"}},
             UserSaveButton);
        user.Click(w, ChangePasswordButton);
        user.Click(w, UserCancelButton);
    });
    user.When(ui::ChangePasswordTitle, [&](Window w) {
        Fill(w, {{NewPasswordBox, "new pw"}, {RepeatPasswordBox, "new pw"}}, SaveNewPasswordButton);
    });
    user.When(ui::ApplicationInformationTitle, [&](Window w) {
        const char* const rows[][3] = {{"Zeta Notes", "ZN-1", "keys@zeta.example"},
                                       {"alpha maps", "AM-2", "codes@alpha.example"},
                                       {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example"}};
        for (const auto& row : rows) {
            user.Click(w, row[1] == std::string("AM-2") ? RequestYesButton : RequestNoButton);
            Fill(w,
                 {{ApplicationNameBox, row[0]},
                  {RegistrationCodeBox, row[1]},
                  {VendorEmailBox, row[2]}},
                 ApplicationSaveButton);
        }
        EXPECT_EQ(Text(w, ApplicationCountLine), "  Data for  3  Applications stored in Ombrelay");
        user.Click(w, ApplicationCancelButton);
    });
    // A spreadsheet's list, picked in the platform's own file chooser (which starts in the
    // data folder); the table is backed up with it.
    WriteFile("applications.csv", ReadFile(TestsFile("data/first-day/applications.csv")));
    user.files = {"applications.csv"};
    user.When(ui::DatabaseDialogTitle, [&](Window w) {
        user.Click(w, ImportButton);
        user.Click(w, BackupButton); // closes it
    });
    user.When(ui::ImportTitle, [&](Window w) {
        EXPECT_EQ(Text(w, importing::Lines),
                  "line 2: unchanged: Zeta Notes\r\nline 3: overwrites: alpha maps\r\n"
                  "line 4: added: Berry Weather\r\nline 5: refused: You must enter a "
                  "registration code for the application\r\nline 6: added: Trail Maps\r\n");
        user.Mnemonic(w, 'i');
    });
    std::string stopped; // the status line after the run of all was stopped
    user.When(ui::ComposeEmailTitle, [&](Window w) {
        user.Click(w, compose::Send); // no kind chosen yet
        for (int kind : {compose::EmailTest, compose::Select, compose::EmailAll}) {
            user.Click(w, kind);
            if (kind == compose::EmailAll) { // the message, to be edited, looked over first
                EXPECT_EQ(ui::Ui().FocusedControl(w), compose::Message);
                user.Mnemonic(w, 'v');
            }
            user.Click(w, compose::Send);
        }
        stopped = Text(w, compose::StatusLine);
        user.Click(w, compose::Cancel);
    });
    user.When(ui::PreviewTitle, [&](Window w) {
        user.Click(w, preview::Next);
        EXPECT_EQ(Text(w, preview::Counter) + " " + Text(w, preview::To),
                  "Message 2 of 5 codes@alpha.example");
        user.Click(w, preview::SendThis);
        user.Press(w, UiDriver::Key::Escape); // closes it
    });
    for (int run = 0; run < 2; ++run) // the test and the selected vendors: to the end
        user.When(ui::SendingRequestsTitle, [](Window) {});
    user.When(ui::SendingRequestsTitle, [&](Window w) { user.Mnemonic(w, 's'); }); // Stop
    user.When(ui::ApplicationInformationTitle, [&](Window w) {
        for (int i = 0; i < 5; ++i)
            user.Click(w, ApplicationNextButton); // to the last in name order
        EXPECT_EQ(Text(w, ApplicationNameBox) + "/" + Text(w, RegistrationCodeBox),
                  "Zeta Notes/ZN-1");
        user.Click(w, ApplicationDeleteButton);
        EXPECT_EQ(Text(w, ApplicationCountLine), "  Data for  4  Applications stored in Ombrelay");
        user.Click(w, ApplicationCancelButton);
    });
    user.When(ui::DatabaseDialogTitle, [&](Window w) {
        for (int button : {RestoreButton, ExportButton, DatabaseCancelButton}) // Restore and
            user.Click(w, button); // Export keep it open
    });
    user.When(ui::AboutTitle, [&](Window w) {
        user.Click(w, LinkLabel); // the home page; the dialog stays
        EXPECT_TRUE(user.Visible(w));
        EXPECT_EQ(user.opened.back(), "https://ombrelay.org");
        user.Click(w, AboutOkButton);
    });

    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_FALSE(user.AnyWindowVisible());
    EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    EXPECT_TRUE(user.answers.empty());
    Strings told;
    for (const auto& box : user.boxes)
        told.push_back(box.substr(0, 16));
    EXPECT_EQ(told, (Strings{"If you don't wan", "Your User Name a", "CAUTION: If you ",
                             "User Information", "If you continue,", "Your new passwor",
                             "Import complete:", "Backup of databa", "First select the",
                             "!!! BEFORE DELET", "WARNING! CAUTION", "Databases and in",
                             "Application Data"}));

    // The tables hold what was typed and imported, as the backup held it.
    EXPECT_EQ(StoredUser(), (UserRecord{"Ann", "Lindqvist-Ölund", "ann@example.org", "2A4F19C0",
                                        "31BD07E5", "", "", "Ann", "new pw"}));
    const std::vector<ApplicationRecord> applications = StoredApplications();
    EXPECT_EQ(applications, (std::vector<ApplicationRecord>{
                                {"Zeta Notes", "ZN-1", "keys@zeta.example", "No"},
                                {"alpha maps", "AM-3", "codes@alpha.example", "Yes"},
                                {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example", "No"},
                                {"Berry Weather", "WX-2291", "keys@berry.example", "No"},
                                {"Trail Maps", "TM-55", "register@trail.example", "Yes"}}));

    // Links, each to one vendor only: five tests, two selected, the preview's second message,
    // then the run to all up to its stop, which came while it was under way. The log holds
    // those handed over, no more.
    const auto request = [&](const ApplicationRecord& row) {
        return RequestFields(
            row.vendorEmail, "New PIN: 31BD07E5",
            "Dear vendor of " + row.name + ",\r\nplease send a new code for " + row.code +
                ". My old PIN was 2A4F19C0.\r\nAnn Lindqvist-Ölund, Sales & Support #1, 100% ?x=y",
            "ann@example.org");
    };
    std::vector<MailtoFields> expected, sent;
    for (const auto& row : applications)
        expected.push_back(RequestFields(row.vendorEmail, "PIN Number 2A4F19C0",
                                         "Test from Ann Lindqvist-Ölund (ann@example.org).",
                                         "ann@example.org"));
    for (int selected : {1, 4, 1})
        expected.push_back(request(applications[selected]));
    for (const auto& row : applications)
        expected.push_back(request(row));
    Strings files;
    for (const std::string& target : user.opened) {
        if (target.rfind("mailto:", 0) == 0)
            sent.push_back(ParseMailto(target));
        else if (target.rfind("https:", 0) != 0)
            files.push_back(target);
    }
    ASSERT_TRUE(sent.size() > 8 && sent.size() < 13) << sent.size();
    expected.resize(sent.size());
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(stopped, "Requests stopped after " + std::to_string(sent.size() - 8) +
                           " of 5 application vendors");
    const std::string log = ReadFile("Ombrelay.dat");
    const std::regex entry("Email to ");
    EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), entry), {}),
              std::ssize(sent));

    // The export is handed to the shell by its full path. What the log and the export hold,
    // each operation's own tests check.
    const std::string exported = "12-06-2026application data.txt";
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("/" + exported) || files[0].ends_with("\\" + exported))
        << files[0];

    // The next start asks for the login at once.
    loginFollows = 0;
    user.shown.clear();
    user.When(ui::LoginTitle, [&](Window w) {
        EXPECT_EQ(Text(w, UserNameBox), "Ann");
        Fill(w, {{PasswordBox, "new pw"}}, 0);
        user.Mnemonic(w, 'l');
    });
    user.When(ui::MainWindowTitle, [&](Window w) { user.CloseBox(w); });
    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.shown, (Strings{ui::LoginTitle, ui::MainWindowTitle}));
}

} // namespace
