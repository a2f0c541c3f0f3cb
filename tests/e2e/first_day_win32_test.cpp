// The first-day run of the Qt build's end-to-end test, through the native Win32 windows (under
// Wine here): the same clicks, mnemonics and answers, the same messages, links and files.
// The tables are read back through the store; another dBASE reader reads them on Linux.

#include "app/startup.h"
#include "common/clock.h"
#include "support/fixtures.h"
#include "support/mailto.h"
#include "support/temp_folder.h"
#include "support/win32_driver.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Strings = std::vector<std::string>;
using Window = HWND;

Strings LogHeadings(const std::string& log) {
    Strings headings;
    std::istringstream lines(log);
    for (std::string line, previous; std::getline(lines, line); previous = line) {
        if (previous == "\"\r")
            headings.push_back(line.substr(0, line.find("12-06-2026")));
    }
    return headings;
}

std::string Text(Window window, int id) {
    return Win32Driver::Text(window, id);
}
void Fill(Window window, const std::vector<std::pair<int, const char*>>& boxes, int button) {
    for (const auto& [id, text] : boxes)
        Win32Driver::Type(window, id, text);
    if (button != 0)
        Win32Driver::Click(window, button);
}
void Click(Window window, int id) {
    Win32Driver::Click(window, id);
}

class FirstDay : public ::testing::Test {
protected:
    void SetUp() override {
        loginFollows = 0;
        SetClockForTesting([] { return LocalDateTime{2026, 12, 6, 9, 30, 0}; });
        WriteFile("Template.txt", "Dear vendor of applicationname,\r\nplease send a new code "
                                  "for regcode. My old PIN was XXXXXXXX.\r\nfname lname, "
                                  "Sales & Support #1");
        WriteFile("Email Test Template.txt", "Test from fname lname (emailaddress).");
    }
    void TearDown() override { SetClockForTesting({}); }

    TempFolder folder;
    ui::Win32Platform platform;
    Win32Driver user;
};

TEST_F(FirstDay, FromTheFirstStartToTheExport) {
    user.When("Create User Login", [](Window w) {
        Fill(w, {{1141, "Ann"}, {1142, "pw"}, {1143, "pw"}}, 1147);
    });
    user.When("Ombrelay Login", [](Window w) { Fill(w, {{1122, "pw"}}, 1123); });
    user.When("Ombrelay", [](Window w) {
        EXPECT_EQ(Text(w, 1001), ""); // empty until an operation reports
        for (char mnemonic : {'u', 'a', 'e', 'd', 'a', 'd', 'b'})
            Win32Driver::Mnemonic(w, mnemonic);
        EXPECT_EQ(Text(w, 1001), "  Data for  2  Applications stored in Ombrelay");
        Win32Driver::CloseBox(w);
    });
    // Overwriting the user record, changing the password, deleting twice over.
    user.answers = {true, true, true, true};
    user.When("Ombrelay User Setup", [](Window w) {
        EXPECT_EQ(Text(w, 1114) + "/" + Text(w, 1116), "Ann/pw");
        Fill(w,
             {{1015, "Ann"},
              {1016, "Lindqvist-Ölund"},
              {1019, "ann@example.org"},
              {1020, "2a4f19c0"},
              {1021, "31bd07e5"}},
             1028);
        EXPECT_EQ(Text(w, 1020), "2A4F19C0"); // upper-cased as typed
        Click(w, 1126);
        EXPECT_EQ(Text(w, 1115) + "/" + Text(w, 1116), "new pw/new pw"); // refilled
        Click(w, 1029);
    });
    user.When("Change Ombrelay Password", [](Window w) {
        Fill(w, {{1127, "new pw"}, {1128, "new pw"}}, 1129);
    });
    user.When("Ombrelay Application Information", [](Window w) {
        const char* const rows[][3] = {{"Zeta Notes", "ZN-1", "keys@zeta.example"},
                                       {"alpha maps", "AM-2", "codes@alpha.example"},
                                       {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example"}};
        for (const auto& row : rows) {
            Click(w, row[1] == std::string("AM-2") ? 1058 : 1059);
            Fill(w, {{1033, row[0]}, {1034, row[1]}, {1035, row[2]}}, 1041);
            EXPECT_EQ(Text(w, 1033), "");
            EXPECT_TRUE(Win32Driver::Checked(w, 1059));
        }
        EXPECT_EQ(Text(w, 1061), "  Data for  3  Applications stored in Ombrelay");
        const std::string list = Text(w, 1039);
        EXPECT_LT(list.find("alpha maps"), list.find("Chess & Go"));
        EXPECT_LT(list.find("Chess & Go"), list.find("Zeta Notes"));
        Click(w, 1045);
    });
    user.When("Ombrelay Email Application Vendors", [](Window w) {
        Click(w, 1097); // Email Test
        EXPECT_EQ(Text(w, 1081), "Test from Ann Lindqvist-Ölund (ann@example.org).");
        for (int kind : {1097, 1096, 1095}) { // test, select, all
            Click(w, kind);
            Click(w, 1087);
        }
        EXPECT_EQ(Text(w, 1077), "New PIN: 31BD07E5");
        EXPECT_EQ(Text(w, 1099),
                  "Reregistration Request messages generated for all  3 application vendors");
        Click(w, 1088);
    });
    user.When("Ombrelay Databases", [](Window w) { Click(w, 1105); }); // Backup closes it
    user.When("Ombrelay Application Information", [](Window w) {
        for (int i = 0; i < 3; ++i)
            Click(w, 1042); // Next, to the last in name order
        EXPECT_EQ(Text(w, 1033) + "/" + Text(w, 1034), "Zeta Notes/ZN-1");
        Click(w, 1044);
        EXPECT_EQ(Text(w, 1061), "  Data for  2  Applications stored in Ombrelay");
        Click(w, 1045);
    });
    user.When("Ombrelay Databases", [](Window w) {
        for (int button : {1106, 1140, 1108}) // Restore and Export keep it open; Cancel
            Click(w, button);
    });
    user.When("Ombrelay About", [this](Window w) {
        Win32Driver::CloseBox(w); // not a way out
        Click(w, 1165);           // the home page; the dialog stays
        EXPECT_TRUE(IsWindowVisible(w));
        ASSERT_FALSE(user.opened.empty());
        EXPECT_EQ(user.opened.back().target, "https://ombrelay.org");
        EXPECT_EQ(user.opened.back().show, ui::ShowState::Maximized);
        Click(w, 1013);
    });

    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_FALSE(Win32Driver::AnyWindowVisible());
    EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    EXPECT_TRUE(user.answers.empty());
    Strings told;
    for (const auto& box : user.boxes)
        told.push_back(box.text.substr(0, 16));
    EXPECT_EQ(told, (Strings{"If you don't wan", "Your User Name a", "CAUTION: If you ",
                             "User Information", "If you continue,", "Your new passwor",
                             "Backup of databa", "!!! BEFORE DELET", "WARNING! CAUTION",
                             "Databases and in", "Application Data"}));

    // The tables hold what was typed, as the backup held it.
    const UserRecord stored = StoredUser();
    EXPECT_EQ((Strings{stored.firstName, stored.lastName, stored.email, stored.pin, stored.newPin,
                       stored.server, stored.password, stored.loginName, stored.loginPassword}),
              (Strings{"Ann", "Lindqvist-Ölund", "ann@example.org", "2A4F19C0", "31BD07E5", "", "",
                       "Ann", "new pw"}));
    const std::vector<ApplicationRecord> applications = StoredApplications();
    EXPECT_EQ(applications,
              (std::vector<ApplicationRecord>{
                  {"Zeta Notes", "ZN-1", "keys@zeta.example", "No"},
                  {"alpha maps", "AM-2", "codes@alpha.example", "Yes"},
                  {"Chess & Go", "C#3?", "x@y.example&bcc=evil@else.example", "No"}}));

    // Seven links, each to one vendor only: three tests, one selected, three to all.
    const auto link = [&](int vendor, const std::string& subject, const std::string& body) {
        return MailtoFields{{"to", applications[vendor].vendorEmail},
                            {"cc", "ann@example.org"},
                            {"subject", subject},
                            {"body", body + DecodedRequestFooter}};
    };
    const auto request = [&](int vendor) {
        const auto& row = applications[vendor];
        return link(vendor, "New PIN: 31BD07E5",
                    "Dear vendor of " + row.name + ",\r\nplease send a new code for " + row.code +
                        ". My old PIN was 2A4F19C0.\r\nAnn Lindqvist-Ölund, Sales & Support #1");
    };
    std::vector<MailtoFields> expected;
    for (int vendor = 0; vendor < 3; ++vendor)
        expected.push_back(link(vendor, "PIN Number 2A4F19C0",
                                "Test from Ann Lindqvist-Ölund (ann@example.org)."));
    expected.push_back(request(1));
    for (int vendor = 0; vendor < 3; ++vendor)
        expected.push_back(request(vendor));
    std::vector<MailtoFields> sent;
    std::vector<std::string> files;
    for (const auto& open : user.opened) {
        if (open.target.rfind("mailto:", 0) == 0)
            sent.push_back(ParseMailto(open.target));
        else if (open.target.rfind("https:", 0) != 0)
            files.push_back(open.target);
    }
    EXPECT_EQ(sent, expected);

    const std::string added = "Application Record Added ", all = "Email All Reregistration "
                                                                 "request generated ";
    EXPECT_EQ(LogHeadings(ReadFile("Ombrelay.dat")),
              (Strings{"User Record Modified:  ", added, added, added, "Test Email generated ",
                       "Test Email generated ", "Test Email generated ",
                       "Select Reregistration request generated ", all, all, all,
                       "Application Deleted by User "}));

    // The export lists the restored applications in name order and is handed to the shell.
    const std::string exported = "12-06-2026application data.txt";
    EXPECT_EQ(ReadFile(exported), "alpha maps,AM-2,codes@alpha.example\r\n\r\n"
                                  "Chess & Go,C#3?,x@y.example&bcc=evil@else.example\r\n\r\n"
                                  "Zeta Notes,ZN-1,keys@zeta.example\r\n\r\n\r\n\r\n\r\n"
                                  "***** To keep your information secure, delete this file "
                                  "when you finish using it! *****\r\n");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - exported.size() - 1), "\\" + exported);

    // The next start asks for the login at once.
    loginFollows = 0;
    user.shown.clear();
    user.When("Ombrelay Login", [](Window w) {
        EXPECT_EQ(Text(w, 1121), "Ann");
        Fill(w, {{1122, "new pw"}}, 0);
        Win32Driver::Mnemonic(w, 'l');
    });
    user.When("Ombrelay", [](Window w) { Win32Driver::CloseBox(w); });
    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.shown, (Strings{"Ombrelay Login", "Ombrelay"}));
}

} // namespace
