// A new user's whole first day, through the program's real windows: the login, the user
// record and a password change, three applications, the three kinds of request, backup, a
// deletion, restore, export and About; then a second start. The files and the links are
// checked against what was typed, the tables through an independent dBASE reader; on the way,
// what only real widgets show: boxes that take no focus, the read-only list, the focus a
// preparation leaves.

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/startup.h"
#include "applications/application_records.h"
#include "common/clock.h"
#include "maintenance/database_dialog.h"
#include "requests/compose_dialog.h"
#include "support/dbf_reader.h"
#include "support/mailto.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "ui/windows.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Strings = std::vector<std::string>;
using Window = ui::DialogWindow*;

Strings LogHeadings(const std::string& log) {
    Strings headings;
    std::istringstream lines(log);
    for (std::string line, previous; std::getline(lines, line); previous = line) {
        if (previous == "\"\r")
            headings.push_back(line.substr(0, line.find("12-06-2026")));
    }
    return headings;
}

void Fill(Window window, const std::vector<std::pair<int, const char*>>& boxes, int button) {
    for (const auto& [id, text] : boxes)
        QtDriver::Type(QtDriver::Control(window, id), QString::fromUtf8(text));
    if (button != 0)
        QtDriver::Click(QtDriver::Control(window, button));
}
void Click(Window window, int id) {
    QtDriver::Click(QtDriver::Control(window, id));
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
    void When(const char* title, std::function<void(Window)> step) {
        user.When(title, [step](ui::WindowHandle, Window window) { step(window); });
    }

    TempFolder folder;
    ui::QtPlatform platform;
    QtDriver user;
    UrlCatcher mail{"mailto"}, files{"file"}, web{"https"};
};

TEST_F(FirstDay, FromTheFirstStartToTheExport) {
    When(ui::CreateUserLoginTitle, [](Window w) {
        Fill(w, {{NewNameBox, "Ann"}, {NewLoginPasswordBox, "pw"}, {RepeatLoginPasswordBox, "pw"}},
             CreateLoginOkButton);
    });
    When(ui::LoginTitle, [](Window w) { Fill(w, {{PasswordBox, "pw"}}, LoginButton); });
    When(ui::MainWindowTitle, [](Window w) {
        EXPECT_EQ(w->Text(ui::MainStatusBar), ""); // empty until an operation reports
        for (char mnemonic : {'u', 'a', 'e', 'd', 'a', 'd', 'b'})
            QtDriver::Mnemonic(w, mnemonic);
        EXPECT_EQ(w->Text(ui::MainStatusBar), "  Data for  2  Applications stored in Ombrelay");
        QtDriver::CloseBox(w);
    });
    // Overwriting the user record, changing the password, deleting twice over.
    user.answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes};
    When(ui::UserSetupTitle, [](Window w) {
        for (int disabled : {ServerBox, MailPasswordBox}) {
            w->Control(disabled)->setFocus();
            EXPECT_FALSE(w->Control(disabled)->hasFocus());
        }
        EXPECT_EQ(w->Text(LoginNameBox) + "/" + w->Text(LoginPasswordConfirmBox), "Ann/pw");
        Fill(w,
             {{FirstNameBox, "Ann"},
              {LastNameBox, "Lindqvist-Ölund"},
              {UserEmailBox, "ann@example.org"},
              {PinBox, "2a4f19c0"},
              {NewPinBox, "31bd07e5"}},
             UserSaveButton);
        EXPECT_EQ(w->Text(PinBox), "2A4F19C0"); // upper-cased as typed
        Click(w, ChangePasswordButton);
        EXPECT_EQ(w->Text(LoginPasswordBox) + "/" + w->Text(LoginPasswordConfirmBox),
                  "new pw/new pw"); // refilled
        Click(w, UserCancelButton);
    });
    When(ui::ChangePasswordTitle, [](Window w) {
        Fill(w, {{NewPasswordBox, "new pw"}, {RepeatPasswordBox, "new pw"}}, SaveNewPasswordButton);
    });
    When(ui::ApplicationInformationTitle, [](Window w) {
        const char* const rows[][3] = {{"Zeta Notes", "ZN-1", "keys@zeta.example"},
                                       {"alpha maps", "AM-2", "codes@alpha.example"},
                                       {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example"}};
        for (const auto& row : rows) {
            Click(w, row[1] == std::string("AM-2") ? RequestYesButton : RequestNoButton);
            Fill(w,
                 {{ApplicationNameBox, row[0]},
                  {RegistrationCodeBox, row[1]},
                  {VendorEmailBox, row[2]}},
                 ApplicationSaveButton);
            EXPECT_EQ(w->Text(ApplicationNameBox), "");
            EXPECT_TRUE(w->Checked(RequestNoButton));
        }
        EXPECT_EQ(w->Text(ApplicationCountLine), "  Data for  3  Applications stored in Ombrelay");
        Click(w, ApplicationCancelButton);
    });
    When(ui::ComposeEmailTitle, [](Window w) {
        EXPECT_EQ(w->Text(compose::Message).size(), 1097u); // the instructions, every blank
        Click(w, compose::Send);                            // no kind chosen yet
        Click(w, compose::EmailTest);
        EXPECT_EQ(w->Text(compose::Message), "Test from Ann Lindqvist-Ölund (ann@example.org).");
        for (int kind : {compose::EmailTest, compose::Select, compose::EmailAll}) {
            Click(w, kind);
            if (kind == compose::EmailAll) {
                EXPECT_EQ(w->focusWidget(), w->Control(compose::Message));
            }
            Click(w, compose::Send);
        }
        EXPECT_EQ(w->Text(compose::Subject), "New PIN: 31BD07E5");
        EXPECT_EQ(w->Text(compose::StatusLine),
                  "Reregistration Request messages generated for all  3 application vendors");
        Click(w, compose::Cancel);
    });
    When(ui::DatabaseDialogTitle, [](Window w) { Click(w, BackupButton); }); // Backup closes it
    When(ui::ApplicationInformationTitle, [](Window w) {
        for (int i = 0; i < 3; ++i)
            Click(w, ApplicationNextButton); // to the last in name order
        EXPECT_EQ(w->Text(ApplicationNameBox) + "/" + w->Text(RegistrationCodeBox),
                  "Zeta Notes/ZN-1");
        Click(w, ApplicationDeleteButton);
        EXPECT_EQ(w->Text(ApplicationCountLine), "  Data for  2  Applications stored in Ombrelay");

        // The list can be selected and scrolled, not typed into or reached with Tab, and a row
        // of the longest values fits its width.
        auto* list = static_cast<QPlainTextEdit*>(w->Control(ApplicationListBox));
        EXPECT_FALSE(list->focusPolicy() & Qt::TabFocus);
        EXPECT_TRUE(list->textInteractionFlags() & Qt::TextSelectableByMouse);
        std::string rows, wide(30, 'W');
        for (int i = 0; i < 12; ++i)
            rows += ApplicationListRow(wide, wide, "Yes", wide);
        w->SetText(ApplicationListBox, rows);
        QtDriver::Type(list, "typed");
        QApplication::processEvents();
        EXPECT_EQ(w->Text(ApplicationListBox), rows);
        EXPECT_TRUE(list->verticalScrollBar()->isVisible());
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "a row does not fit";
        Click(w, ApplicationCancelButton);
    });
    When(ui::DatabaseDialogTitle, [](Window w) {
        for (int button : {RestoreButton, ExportButton, DatabaseCancelButton}) // Restore and
            Click(w, button); // Export keep it open
    });
    When(ui::AboutTitle, [this](Window w) {
        QtDriver::CloseBox(w); // not a way out
        Click(w, LinkLabel);   // the home page; the dialog stays
        EXPECT_TRUE(w->isVisible());
        ASSERT_EQ(web.urls.size(), 1u);
        EXPECT_EQ(web.urls[0], QUrl("https://ombrelay.org"));
        Click(w, AboutOkButton);
    });

    EXPECT_EQ(ProgramStart(), 0);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(widget->isVisible()) << widget->windowTitle().toStdString();
    EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    EXPECT_TRUE(user.answers.empty());
    Strings told;
    for (const auto& box : user.boxes)
        told.push_back(box.substr(0, 16));
    EXPECT_EQ(told, (Strings{"If you don't wan", "Your User Name a", "CAUTION: If you ",
                             "User Information", "If you continue,", "Your new passwor",
                             "First select the", "Backup of databa", "!!! BEFORE DELET",
                             "WARNING! CAUTION", "Databases and in", "Application Data"}));

    // The tables, read by another dBASE reader, hold what was typed, as the backup held it.
    const DbfContents users = ReadWithDbffile("User.dbf");
    ASSERT_EQ(users.records.size(), 1u);
    EXPECT_EQ(users.records[0], (Strings{"Ann", "Lindqvist-Ölund", "ann@example.org", "2A4F19C0",
                                         "31BD07E5", "", "", "Ann", "new pw"}));
    const DbfContents applications = ReadWithDbffile("Application.dbf");
    EXPECT_EQ(
        applications.records,
        (std::vector<Strings>{{"Zeta Notes", "ZN-1", "keys@zeta.example", "No"},
                              {"alpha maps", "AM-2", "codes@alpha.example", "Yes"},
                              {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example", "No"}}));

    // Seven links, each to one vendor only: three tests, one selected, three to all.
    const Strings vendors = {"keys@zeta.example", "codes@alpha.example",
                             "x@y.example&bcc=evil@else.example"};
    const auto request = [&](int vendor) {
        const auto& row = applications.records[vendor];
        return RequestFields(
            vendors[vendor], "New PIN: 31BD07E5",
            "Dear vendor of " + row[0] + ",\r\nplease send a new code for " + row[1] +
                ". My old PIN was 2A4F19C0.\r\nAnn Lindqvist-Ölund, Sales & Support #1, 100% ?x=y",
            "ann@example.org");
    };
    std::vector<MailtoFields> expected, sent;
    for (const auto& vendor : vendors)
        expected.push_back(RequestFields(vendor, "PIN Number 2A4F19C0",
                                         "Test from Ann Lindqvist-Ölund (ann@example.org).",
                                         "ann@example.org"));
    expected.push_back(request(1));
    for (int vendor = 0; vendor < 3; ++vendor)
        expected.push_back(request(vendor));
    for (const QUrl& url : mail.urls)
        sent.push_back(ParseMailto(url.toString(QUrl::FullyEncoded).toStdString()));
    EXPECT_EQ(sent, expected);

    const std::string added = "Application Record Added ", all = "Email All Reregistration "
                                                                 "request generated ";
    EXPECT_EQ(LogHeadings(ReadFile("Ombrelay.dat")),
              (Strings{"User Record Modified:  ", added, added, added, "Test Email generated ",
                       "Test Email generated ", "Test Email generated ",
                       "Select Reregistration request generated ", all, all, all,
                       "Application Deleted by User "}));

    // The export lists the restored applications in name order and is handed to the desktop.
    const std::string exported = "12-06-2026application data.txt";
    EXPECT_EQ(ReadFile(exported), "alpha maps,AM-2,codes@alpha.example\r\n\r\n"
                                  "Chess & Go,C#3?,x@y.example&bcc=evil@else.example\r\n\r\n"
                                  "Zeta Notes,ZN-1,keys@zeta.example\r\n\r\n\r\n\r\n\r\n"
                                  "***** To keep your information secure, delete this file "
                                  "when you finish using it! *****\r\n");
    ASSERT_EQ(files.urls.size(), 1u);
    EXPECT_TRUE(files.urls[0].toLocalFile().endsWith(QString::fromStdString("/" + exported)));

    // The next start asks for the login at once.
    loginFollows = 0;
    user.shown.clear();
    When(ui::LoginTitle, [](Window w) {
        EXPECT_EQ(w->Text(UserNameBox), "Ann");
        Fill(w, {{PasswordBox, "new pw"}}, 0);
        QtDriver::Mnemonic(w, 'l');
    });
    When(ui::MainWindowTitle, [](Window w) { QtDriver::CloseBox(w); });
    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.shown, (Strings{"Ombrelay Login", "Ombrelay"}));
}

} // namespace
