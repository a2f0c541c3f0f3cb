// A new user's whole first day, through the program's real windows on the backend this test
// program is built for: the login, the user record and a password change, an application
// and more imported from a spreadsheet's file, the three kinds of request with a
// preview and a run stopped half-way, backup, a deletion, restore, export and About. Every
// dialog of the program is shown, and measured against its table at its first showing, the
// one pass over every dialog on this backend. What the user met (the message boxes as they
// looked, the texts the dialogs showed), the tables and the links handed over are compared
// with tests/golden/e2e/first_day.txt, the same on every backend.

#include "app/startup.h"
#include "applications/application_records.h"
#include "common/clock.h"
#include "support/all_dialogs.h"
#include "support/fixtures.h"
#include "support/golden.h"
#include "support/mailto.h"
#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "ui/windows.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Window = ui::WindowHandle;

std::string Text(Window window, int id) {
    return ui::Ui().ControlText(window, id);
}

class FirstDay : public ::testing::Test {
protected:
    void SetUp() override {
        loginFollows = 0;
        SetClockForTesting([] { return LocalDateTime{2026, 12, 6, 9, 30, 0}; });
        // The templates, and a spreadsheet's list to import.
        for (const char* file : {"Template.txt", "Email Test Template.txt", "applications.csv"})
            WriteFile(file, ReadFile(TestsFile(std::string("data/first-day/") + file)));
    }
    void TearDown() override { SetClockForTesting({}); }

    void Note(const std::string& label, const std::string& text) {
        met += label + ": " + text + "\n";
    }
    void Fill(Window window, const std::vector<std::pair<int, const char*>>& boxes, int button) {
        for (const auto& [id, text] : boxes)
            user.Type(window, id, text);
        user.Click(window, button);
    }

    TempFolder folder;
    std::unique_ptr<ui::Platform> platform = MakeBackend();
    std::unique_ptr<UiDriver> driver = MakeDriver();
    UiDriver& user = *driver;
    std::string met;
};

TEST_F(FirstDay, FromTheFirstStartToTheExport) {
    for (const ui::Dialog& table : AllDialogs())
        user.tables[table.title] = table;
    user.When(ui::CreateUserLoginTitle, [&](Window w) {
        Fill(w, {{NewNameBox, "Ann"}, {NewLoginPasswordBox, "pw"}, {RepeatLoginPasswordBox, "pw"}},
             CreateLoginOkButton);
    });
    user.When(ui::LoginTitle, [&](Window w) { Fill(w, {{PasswordBox, "pw"}}, LoginButton); });
    user.When(ui::MainWindowTitle, [&](Window w) {
        Note("status", Text(w, ui::MainStatusBar)); // empty until an operation reports
        for (char mnemonic : {'u', 'a', 'd', 'e', 'a', 'd', 'b'})
            user.Mnemonic(w, mnemonic);
        Note("status", Text(w, ui::MainStatusBar));
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
        user.Click(w, RequestYesButton);
        Fill(w,
             {{ApplicationNameBox, "alpha maps"},
              {RegistrationCodeBox, "AM-2"},
              {VendorEmailBox, "codes@alpha.example"}},
             ApplicationSaveButton);
        Note("count", Text(w, ApplicationCountLine));
        user.Click(w, ApplicationCancelButton);
    });
    // A spreadsheet's list, picked in the platform's own file chooser (which starts in the
    // data folder); the table is backed up with it.
    user.files = {"applications.csv"};
    user.When(ui::DatabaseDialogTitle, [&](Window w) {
        user.Click(w, ImportButton);
        user.Click(w, BackupButton); // closes it
    });
    user.When(ui::ImportTitle, [&](Window w) {
        Note("import", Text(w, importing::Lines));
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
        Note("preview", Text(w, preview::Counter) + " " + Text(w, preview::To));
        user.Click(w, preview::SendThis);
        user.Press(w, UiDriver::Key::Escape); // closes it
    });
    for (int run = 0; run < 2; ++run) // the test and the selected vendors: to the end
        user.When(ui::SendingRequestsTitle, [](Window) {});
    user.When(ui::SendingRequestsTitle, [&](Window w) { user.Mnemonic(w, 's'); }); // Stop
    user.When(ui::ApplicationInformationTitle, [&](Window w) {
        for (int i = 0; i < 5; ++i)
            user.Click(w, ApplicationNextButton); // to the last in name order
        Note("last", Text(w, ApplicationNameBox) + "/" + Text(w, RegistrationCodeBox));
        user.Click(w, ApplicationDeleteButton);
        Note("count", Text(w, ApplicationCountLine));
        user.Click(w, ApplicationCancelButton);
    });
    user.When(ui::DatabaseDialogTitle, [&](Window w) {
        for (int button : {RestoreButton, ExportButton, DatabaseCancelButton}) // Restore and
            user.Click(w, button); // Export keep it open
    });
    user.When(ui::AboutTitle, [&](Window w) {
        user.Click(w, LinkLabel); // the home page; the dialog stays
        EXPECT_TRUE(user.Visible(w));
        user.Click(w, AboutOkButton);
    });

    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.differences, std::vector<std::string>{});
    EXPECT_TRUE(user.tables.empty()) << user.tables.begin()->first << " not shown";
    EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    for (const std::string& box : user.boxes)
        Note("box", box);
    // The tables hold what was typed and imported, as the backup held it.
    const auto& [first, last, email, pin, newPin, server, password, login, loginPassword] =
        StoredUser();
    Note("user", first + "|" + last + "|" + email + "|" + pin + "|" + newPin + "|" + server + "|" +
                     password + "|" + login + "|" + loginPassword);
    const std::vector<ApplicationRecord> applications = StoredApplications();
    for (const auto& [name, code, vendorEmail, request] : applications)
        Note("application", name + "|" + code + "|" + vendorEmail + "|" + request);

    // What was handed over: links, each to one vendor only (five tests, two selected, the
    // preview's second message, then the run to all up to its stop, which came while it was
    // under way), the export by its name and the home page. The log holds the requests handed
    // over, no more.
    std::size_t sent = 0;
    for (const std::string& target : user.opened) {
        if (!target.starts_with("mailto:"))
            Note("open", target.starts_with("https:")
                             ? target
                             : target.substr(target.find_last_of("/\\") + 1));
        else if (++sent <= 9)
            Note("link", target);
        else
            EXPECT_EQ(ParseMailto(target).at(0).second, applications.at(sent - 9).vendorEmail);
    }
    ExpectGolden("e2e/first_day.txt", met);
    ASSERT_TRUE(sent > 8 && sent < 13) << sent;
    EXPECT_EQ(stopped,
              "Requests stopped after " + std::to_string(sent - 8) + " of 5 application vendors");
    const std::string log = ReadFile("Ombrelay.dat");
    const std::regex entry("Email to ");
    EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), entry), {}),
              static_cast<std::ptrdiff_t>(sent));
}

} // namespace
