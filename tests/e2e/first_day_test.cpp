// A new user's whole first day, through the program's real windows: the login, the user
// record, three applications, the three kinds of request, backup, a deletion, restore,
// export and About; then a second start. The files and the links are checked against what
// was typed.

#include "app/startup.h"
#include "common/clock.h"
#include "common/text.h"
#include "support/fixtures.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Mail {
    std::string to, cc, subject, body;
    std::vector<std::string> fieldNames;
};

// The link as a mail program reads it, decoded by Qt rather than by our encoder.
Mail Decode(const QUrl& url) {
    Mail mail;
    mail.to = url.path(QUrl::FullyDecoded).toStdString();
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        mail.fieldNames.push_back(name.toStdString());
        if (name == "cc")
            mail.cc = value.toStdString();
        else if (name == "subject")
            mail.subject = value.toStdString();
        else if (name == "body")
            mail.body = value.toStdString();
    }
    return mail;
}

const std::string Footer =
    "\n\r\n\rThis Reregistration related request was sent by Ombrelay - the original Mobile "
    "Device Application Reregistration Request Tool\r\n\n\rCopyright (c) 2026 The Ombrelay "
    "developers";

std::vector<std::string> LogHeadings(const std::string& log) {
    std::vector<std::string> headings;
    std::istringstream lines(log);
    std::string line, previous;
    while (std::getline(lines, line)) {
        if (previous == "\"\r")
            headings.push_back(line.substr(0, line.find("12-06-2026")));
        previous = line;
    }
    return headings;
}

class FirstDay : public ::testing::Test {
protected:
    void SetUp() override {
        loginFollows = 0;
        SetClockForTesting([] { return LocalDateTime{2026, 12, 6, 9, 30, 0}; });
        WriteFile("Template.txt", "Dear vendor of applicationname,\r\n"
                                  "please send a new code for regcode. My old PIN was "
                                  "XXXXXXXX.\r\nfname lname, Sales & Support #1");
        WriteFile("Email Test Template.txt", "Test from fname lname (emailaddress).");
    }
    void TearDown() override { SetClockForTesting({}); }

    static QWidget* At(ui::DialogWindow* window, int id) { return QtDriver::Control(window, id); }
    static void Type(ui::DialogWindow* window, int id, const char* text) {
        QtDriver::Type(At(window, id), QString::fromUtf8(text));
    }
    static void Click(ui::DialogWindow* window, int id) { QtDriver::Click(At(window, id)); }
    static std::string Text(ui::DialogWindow* window, int id) { return window->Text(id); }

    void AddApplication(ui::DialogWindow* window, const char* name, const char* code,
                        const char* email, bool request) {
        Type(window, 1033, name);
        Type(window, 1034, code);
        Type(window, 1035, email);
        Click(window, request ? 1058 : 1059);
        Click(window, 1041);
        EXPECT_EQ(Text(window, 1033), "") << name;
        EXPECT_TRUE(window->Checked(1059));
    }

    TempFolder folder;
    ui::QtPlatform platform;
    QtDriver user;
    UrlCatcher mail{"mailto"};
    UrlCatcher files{"file"};
    UrlCatcher web{"https"};
};

TEST_F(FirstDay, FromTheFirstStartToTheExport) {
    user.When("Create User Login", [](ui::WindowHandle, ui::DialogWindow* window) {
        Type(window, 1141, "Ann");
        Type(window, 1142, "pw");
        Type(window, 1143, "pw");
        Click(window, 1147);
    });
    user.When("Ombrelay Login", [](ui::WindowHandle, ui::DialogWindow* window) {
        Type(window, 1122, "pw");
        Click(window, 1123);
    });
    user.When("Ombrelay", [](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_EQ(Text(window, 1001), ""); // empty until an operation reports
        for (char mnemonic : {'u', 'a', 'e', 'd', 'a', 'd', 'b'})
            QtDriver::Mnemonic(window, mnemonic);
        EXPECT_EQ(Text(window, 1001), "  Data for  2  Applications stored in Ombrelay");
        QtDriver::CloseBox(window);
    });

    user.answers = {QMessageBox::Yes};
    user.When("Ombrelay User Setup", [](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_EQ(Text(window, 1114), "Ann");
        EXPECT_EQ(Text(window, 1116), "pw");
        Type(window, 1015, "Ann");
        Type(window, 1016, "Lindqvist-Ölund");
        Type(window, 1019, "ann@example.org");
        Type(window, 1020, "2a4f19c0");
        EXPECT_EQ(Text(window, 1020), "2A4F19C0"); // upper-cased as typed
        Type(window, 1021, "31bd07e5");
        Click(window, 1028);
        Click(window, 1029);
    });

    user.When("Ombrelay Application Information", [this](ui::WindowHandle,
                                                         ui::DialogWindow* window) {
        AddApplication(window, "Zeta Notes", "ZN-1", "keys@zeta.example", false);
        AddApplication(window, "alpha maps", "AM-2", "codes@alpha.example", true);
        AddApplication(window, "Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example", false);
        EXPECT_EQ(Text(window, 1061), "  Data for  3  Applications stored in Ombrelay");
        const std::string list = Text(window, 1039);
        EXPECT_LT(list.find("alpha maps"), list.find("Chess & Go"));
        EXPECT_LT(list.find("Chess & Go"), list.find("Zeta Notes"));
        Click(window, 1045);
    });

    user.When("Ombrelay Email Application Vendors", [](ui::WindowHandle, ui::DialogWindow* window) {
        Click(window, 1097); // Email Test
        EXPECT_EQ(Text(window, 1081), "Test from Ann Lindqvist-Ölund (ann@example.org).");
        Click(window, 1087);
        Click(window, 1096); // Select
        EXPECT_EQ(Text(window, 1077), "New PIN: 31BD07E5");
        Click(window, 1087);
        EXPECT_EQ(Text(window, 1099),
                  "Reregistration Request messages generated for  1 Select application vendors");
        Click(window, 1095); // Email All
        Click(window, 1087);
        EXPECT_EQ(Text(window, 1099),
                  "Reregistration Request messages generated for all  3 application vendors");
        Click(window, 1088);
    });

    user.When("Ombrelay Databases", [](ui::WindowHandle, ui::DialogWindow* window) {
        Click(window, 1105); // Backup, which closes the dialog
    });

    user.answers.insert(user.answers.end(), {QMessageBox::Yes, QMessageBox::Yes});
    user.When("Ombrelay Application Information", [](ui::WindowHandle, ui::DialogWindow* window) {
        for (int i = 0; i < 3; ++i)
            Click(window, 1042); // Next, to the last in name order
        EXPECT_EQ(Text(window, 1033), "Zeta Notes");
        EXPECT_EQ(Text(window, 1034), "ZN-1");
        Click(window, 1044);
        EXPECT_EQ(Text(window, 1061), "  Data for  2  Applications stored in Ombrelay");
        Click(window, 1045);
    });

    user.When("Ombrelay Databases", [](ui::WindowHandle, ui::DialogWindow* window) {
        Click(window, 1106); // Restore: the dialog stays
        Click(window, 1140); // Export
        Click(window, 1108);
    });

    user.When("Ombrelay About", [this](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
        QtDriver::CloseBox(window);        // not a way out
        QtDriver::Click(At(window, 1165)); // the home page; the dialog stays
        EXPECT_TRUE(window->isVisible());
        ASSERT_EQ(web.urls.size(), 1u);
        EXPECT_EQ(web.urls[0], QUrl("https://ombrelay.org"));
        Click(window, 1013);
    });

    EXPECT_EQ(ProgramStart(), 0);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(widget->isVisible()) << widget->windowTitle().toStdString();
    EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    EXPECT_TRUE(user.answers.empty());

    // What the user was told, in order.
    std::vector<std::string> told;
    for (const auto& box : user.boxes)
        told.push_back(box.text.substr(0, 40));
    EXPECT_EQ(told, (std::vector<std::string>{
                        "If you don't want to login to Ombrelay f",
                        "Your User Name and Password have been cr",
                        "CAUTION: If you continue, you will overw",
                        "User Information has been saved",
                        "Backup of databases and indexes is compl",
                        "!!! BEFORE DELETING APPLICATION DATA YOU",
                        "WARNING! CAUTION! You are about to delet",
                        "Databases and indexes have now been\nrest",
                        "Application Data has been exported to th",
                    }));

    // The tables hold what was typed, as the backup held them.
    const UserRow stored = StoredUser();
    EXPECT_EQ(stored.lastName, "Lindqvist-Ölund");
    EXPECT_EQ(stored.pin, "2A4F19C0");
    EXPECT_EQ(stored.newPin, "31BD07E5");
    EXPECT_EQ(stored.loginPassword, "pw");
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{
                  {"Zeta Notes", "ZN-1", "keys@zeta.example", "No"},
                  {"alpha maps", "AM-2", "codes@alpha.example", "Yes"},
                  {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example", "No"}}));

    // Seven links: three tests, one selected, three to all, each to one vendor only.
    ASSERT_EQ(mail.urls.size(), 7u);
    const char* const vendors[] = {"keys@zeta.example", "codes@alpha.example",
                                   "x@y.example&bcc=evil@else.example"};
    const char* const names[] = {"Zeta Notes", "alpha maps", "Chess & Go"};
    const char* const codes[] = {"ZN-1", "AM-2", "C#3?"};
    const auto request = [&](int record) {
        return std::string("Dear vendor of ") + names[record] + ",\r\nplease send a new code for " +
               codes[record] +
               ". My old PIN was 2A4F19C0.\r\nAnn Lindqvist-Ölund, Sales & Support #1" + Footer;
    };
    std::vector<Mail> sent;
    for (const QUrl& url : mail.urls)
        sent.push_back(Decode(url));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent[i].to, vendors[i]);
        EXPECT_EQ(sent[i].subject, "PIN Number 2A4F19C0");
        EXPECT_EQ(sent[i].body, "Test from Ann Lindqvist-Ölund (ann@example.org)." + Footer);
        EXPECT_EQ(sent[4 + i].to, vendors[i]);
        EXPECT_EQ(sent[4 + i].subject, "New PIN: 31BD07E5");
        EXPECT_EQ(sent[4 + i].body, request(i));
    }
    EXPECT_EQ(sent[3].to, vendors[1]);
    EXPECT_EQ(sent[3].body, request(1));
    for (const Mail& one : sent) {
        EXPECT_EQ(one.cc, "ann@example.org");
        EXPECT_EQ(one.fieldNames, (std::vector<std::string>{"cc", "subject", "body"}));
    }

    // The log holds every change and request, in order.
    const std::vector<std::string> expectedLog = {
        "User Record Modified:  ",
        "Application Record Added ",
        "Application Record Added ",
        "Application Record Added ",
        "Test Email generated ",
        "Test Email generated ",
        "Test Email generated ",
        "Select Reregistration request generated ",
        "Email All Reregistration request generated ",
        "Email All Reregistration request generated ",
        "Email All Reregistration request generated ",
        "Application Deleted by User ",
    };
    EXPECT_EQ(LogHeadings(ReadFile("Ombrelay.dat")), expectedLog);

    // The export lists the restored applications in name order and was handed to the
    // desktop to open.
    const std::string exported = "12-06-2026application data.txt";
    EXPECT_EQ(ReadFile(exported),
              "alpha maps,AM-2,codes@alpha.example\r\n\r\n"
              "Chess & Go,C#3?,x@y.example&bcc=evil@else.example\r\n\r\n"
              "Zeta Notes,ZN-1,keys@zeta.example\r\n\r\n"
              "\r\n\r\n\r\n"
              "***** To keep your information secure, delete this file when you finish using "
              "it! *****\r\n");
    ASSERT_EQ(files.urls.size(), 1u);
    EXPECT_EQ(fs::path(files.urls[0].toLocalFile().toStdString()).filename(), exported);
    EXPECT_TRUE(fs::exists(fs::path("BNG") / "Application.dbf"));

    // The next start asks for the login at once.
    loginFollows = 0;
    user.shown.clear();
    user.When("Ombrelay Login", [](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_EQ(Text(window, 1121), "Ann");
        Type(window, 1122, "pw");
        QtDriver::Mnemonic(window, 'l');
    });
    user.When("Ombrelay",
              [](ui::WindowHandle, ui::DialogWindow* window) { QtDriver::CloseBox(window); });
    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.shown, (std::vector<std::string>{"Ombrelay Login", "Ombrelay"}));
}

} // namespace
