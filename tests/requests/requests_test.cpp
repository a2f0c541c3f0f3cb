// The requests on the headless backend: the link, the preparations and the three sends.

#include "common/clock.h"
#include "log/activity_log.h"
#include "requests/compose_dialog.h"
#include "requests/request_link.h"
#include "requests/request_preparation.h"
#include "requests/request_template.h"
#include "requests/send_requests.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/mailto.h"
#include "support/temp_folder.h"
#include "ui/windows.h"
#include "user/user_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

namespace {

using Texts = std::vector<std::string>;
using Mails = std::vector<MailtoFields>;

const std::vector<ApplicationRecord> Three = {
    {"Viewer", "V-111", "sales@viewer.example", "No"},
    {"Maps & More", "M 2#", "x@y.com&bcc=some@else", "No"},
    {"Grüße regcode", "G/3", "vendor@grüße.example", "No"}};
const std::string Words = "Hi applicationname, regcode.\r\nApplicationname Regcode REGCODE";

// One activity log entry, written at the tests' fixed time.
std::string Entry(const std::string& heading, const std::string& detail) {
    return "\"\r\n" + heading + " 01-02-2026   03:04:05\r\n" + detail + "\"\r\n";
}

// A mail program that takes every request but those to `refusedVendor`.
struct LinkPlatform : HeadlessPlatform {
    std::string refusedVendor = "-";
    int ShellOpen(const std::string& target, ui::ShowState show) override {
        const int result = HeadlessPlatform::ShellOpen(target, show);
        return ParseMailto(target).at(0).second == refusedVendor ? 2 : result;
    }
};

class Requests : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 1, 2, 3, 4, 5}; });
        StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "2200EF01", "smtp", "", "a", "p"});
        AddApplications(Three); // none flagged
        main = ui.OpenWindow(MainWindowStandIn());
        compose = ui.OpenWindow(ComposeEmailLayout());
        DisplayUserInformation(); // as a preparation leaves the user values for the send
    }

    void Compose(const std::string& subject, const std::string& address, const std::string& text) {
        ui.SetControlText(compose, compose::Subject, subject);
        ui.SetControlText(compose, compose::YourEmail, address);
        ui.SetControlText(compose, compose::Message, text);
    }
    std::string Box(int id) { return ui.ControlText(compose, id); }
    std::string Statuses() {
        return ui.ControlText(main, ui::MainStatusBar) + "|" + Box(compose::StatusLine);
    }
    Mails Opened() { // the links opened since the last call, read back
        Mails mails;
        for (const auto& open : std::exchange(ui.shellOpens, {}))
            mails.push_back(ParseMailto(open.target));
        return mails;
    }

    LinkPlatform ui;
    ui::WindowHandle main = 0, compose = 0;
};

TEST(RequestLink, CarriesExactlyWhatTheDialogHeld) {
    // Each field holds what would end it or start another; a mail program shows line breaks
    // as CR LF, whichever were typed.
    const std::string vendor = "x@y.com&bcc=some@else a#b", copy = "me@h.org?to=boss@w&cc=x",
                      subject = "Sales & Support ?#%&=",
                      message = "A & B,\r\n#2 ?%=+\t%0A%25 %\n\r";
    EXPECT_EQ(ParseMailto(RequestLink(vendor, copy, subject, message)),
              RequestFields(vendor, subject, "A & B,\r\n#2 ?%=+\t%0A%25 %\r\n\r\n", copy));
}

// The selection, the order, the placeholders, the log's bytes and each run's summary; the
// links of every kind of run through the real windows are checked end to end.
TEST_F(Requests, SelectWritesToExactYesVendorsInRecordOrderAndTheTestSendsTheWordsAsTheyStand) {
    Compose("New PIN: 2200EF01", "me", Words);
    EmailSelectVendorsSend(); // none flagged: no link, no log
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
    const std::string none = "Reregistration Request messages generated for  0 Select "
                             "application vendors";
    EXPECT_EQ(Statuses(), none + "|" + none);
    EmailVendorsTestSend();
    AddApplications({{"Four regcode", "4", "4@v", "Yes"},
                     {"Five", "5", "5@v", "yes"},
                     {"Six", "6", "6@v", "Yes"}});
    EmailSelectVendorsSend();

    Mails mails;
    std::string log;
    for (const auto& row : Three) {
        mails.push_back(RequestFields(row.vendorEmail, "PIN Number 2100ABCD", Words));
        log += Entry("Test Email generated", "Test Email to " + row.vendorEmail);
    }
    const std::string rest = ".\r\nApplicationname Regcode REGCODE";
    // "regcode" is replaced after "applicationname", so in it too.
    mails.push_back(RequestFields("4@v", "New PIN: 2200EF01", "Hi Four 4, 4" + rest));
    mails.push_back(RequestFields("6@v", "New PIN: 2200EF01", "Hi Six, 6" + rest));
    for (const auto& [vendor, name] : {std::pair{"4@v", "Four regcode"}, {"6@v", "Six"}})
        log += Entry("Select Reregistration request generated",
                     std::string("Email to ") + vendor + "   Application Name = " + name);
    EXPECT_EQ(Opened(), mails);
    EXPECT_EQ(ReadFile(ActivityLogFile), log);
    EXPECT_EQ(ui.Told(), Texts{});

    // Email All: every vendor, under a heading and a summary of its own.
    EmailAllVendorsSend();
    EXPECT_EQ(Opened().size(), 6u);
    const std::string all = "Reregistration Request messages generated for all  6 application "
                            "vendors";
    EXPECT_EQ(Statuses(), all + "|" + all);
    EXPECT_TRUE(ReadFile(ActivityLogFile)
                    .ends_with(Entry("Email All Reregistration request generated",
                                     "Email to 6@v   Application Name = Six")));
}

TEST_F(Requests, EverySendWarnsOfEmptyBoxesAndGoesOnButStopsForAnEmptyMessage) {
    const Texts warned = {
        "!There is no information in the \"Subject\" box",
        "!There is no address in the \"Your Address\" box",
        "!There is no vendor message to send -\r\nplease type a message before sending"};
    AddApplications({{"Four", "4", "4@v", "Yes"}});
    for (const auto send : {EmailAllVendorsSend, EmailVendorsTestSend, EmailSelectVendorsSend}) {
        const std::string log = ReadFile(ActivityLogFile), statuses = Statuses();
        Compose("", "", "");
        send();
        EXPECT_EQ(ui.Told(), warned);
        EXPECT_EQ(Opened(), Mails{});
        EXPECT_EQ(ReadFile(ActivityLogFile) + Statuses(), log + statuses);
        Compose("", "", "Hi");
        send();
        EXPECT_EQ(ui.Told(), Texts(warned.begin(), warned.end() - 1));
        EXPECT_EQ(Opened().size(), send == EmailSelectVendorsSend ? 1u : 4u);
    }
}

// A request is logged only once a mail program took it, so the log never claims one that was
// not made; and a log that cannot be written stops no request.
TEST_F(Requests, VendorsWhoseRequestNoMailProgramTookAreNamedAndNotLoggedAsSent) {
    Compose("s", "me", "Hi");
    AddApplications({{"Four", "4", "4@v", "Yes"}});
    const std::string notReached = "!No default mail program took the requests to these "
                                   "vendors, so they were not made (set one up and send them "
                                   "again):";
    ui.shellResult = 2;
    EmailAllVendorsSend();
    EXPECT_EQ(ui.Told(), Texts{notReached + "\r\nsales@viewer.example\r\nx@y.com&bcc=some@else"
                                            "\r\nvendor@grüße.example\r\n4@v"});
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
    // One vendor of several: the others are made and logged, in every kind of run.
    ui.shellResult = 42;
    ui.refusedVendor = "4@v";
    EmailSelectVendorsSend();
    EmailVendorsTestSend();
    EXPECT_EQ(ui.Told(), (Texts{notReached + "\r\n4@v", notReached + "\r\n4@v"}));
    std::string log;
    for (const auto& row : Three)
        log += Entry("Test Email generated", "Test Email to " + row.vendorEmail);
    EXPECT_EQ(ReadFile(ActivityLogFile), log);
    EXPECT_EQ(Statuses(), "Email Test messages generated for all  4 application vendors|"
                          "Email Test messages generated for all  4 application vendors");

    std::filesystem::remove(ActivityLogFile);
    std::filesystem::create_directory(ActivityLogFile); // where the log should be
    Opened();
    EmailAllVendorsSend();
    EXPECT_EQ(Opened().size(), 4u);
    EXPECT_TRUE(std::filesystem::is_directory(ActivityLogFile));
}

TEST_F(Requests, PreparationsFillTheBoxesFromTheUserAndTheTemplate) {
    // One file whatever the letter case; placeholders are exact words, "XXXXXXXXX" keeps an X.
    WriteFile("template.txt", "fname lname (emailaddress) XXXXXXXXX.\r\nFNAME Lname " + Words);
    EmailAllVendors();
    EXPECT_EQ((Texts{Box(compose::YourEmail), Box(compose::MailServer), Box(compose::Subject),
                     Box(compose::SendTo), Box(compose::CcTo), Box(compose::Message)}),
              (Texts{"ann@home.example", "smtp", "New PIN: 2200EF01",
                     "Vendors will be emailed separately", "ann@home.example",
                     "Ann Lee (ann@home.example) 2100ABCDX.\r\nFNAME Lname " + Words}));
    EXPECT_EQ(ui.FocusedControl(compose), compose::Message);

    // The test needs no new PIN; the others close the dialog without one.
    StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "   ", "", "", "a", "p"});
    WriteFile("email test template.txt", "Test from fname for XXXXXXXX");
    EmailVendorsTest();
    EXPECT_EQ(Box(compose::Subject) + "|" + Box(compose::Message),
              "My PIN: 2100ABCD|Test from Ann for 2100ABCD");
    EXPECT_EQ(ui.FocusedControl(compose), compose::MailServer);
    EmailSelectVendors();
    EXPECT_EQ(ui.Told(), Texts{"!You haven't entered your new PIN number in the User\r\nSetup - "
                               "go to the User Setup and enter your new PIN\r\nPIN number now!"});
    EXPECT_TRUE(ui.WindowOf(compose).ended);

    // Only the first 1000 bytes are read; a character cut there goes whole. A template that is
    // not UTF-8 is Windows-1252, one byte a character, undefined bytes kept as C1 controls.
    const std::string a(997, 'a'), check = "\xE2\x9C\x93";
    for (const auto& [bytes, read] :
         {std::pair{a + "aaab", a + "aaa"},
          {a + "a" + check, a + "a"},
          {a + check, a + check},
          {"Caf\xE9 \x80 \x81" + a, "Café € \xC2\x81" + a.substr(0, 992)},
          {a + "\xE9\xE8\xE7", a + "éèç"}}) {
        WriteFile("template.txt", bytes);
        EXPECT_EQ(ReadTemplate("Template.txt"), read);
    }
}

} // namespace
