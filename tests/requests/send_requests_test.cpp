#include "requests/mailto.h"
#include "requests/request_fixture.h"
#include "requests/send_requests.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

const std::vector<ApplicationRow> ThreeApplications = {
    {"Viewer", "V-111", "sales@viewer.example", "No"},
    {"Maps & More", "M 2#", "x@y.com&bcc=someone@else", "No"},
    {"Grüße regcode", "G/3", "vendor@grüße.example", "No"},
};

const std::string Placeholders =
    "Hello applicationname, code regcode.\r\nApplicationname Regcode REGCODE";

std::string AllEntry(const ApplicationRow& row) {
    return LogEntry("Email All Reregistration request generated ",
                    "Email to " + row.email + "   Application Name = " + row.name);
}

// Each link names one vendor and nothing but the copy, the subject and the body.
void ExpectLink(const std::string& link, const std::string& vendor, const std::string& subject,
                const std::string& message) {
    const Mailto parsed = ParseMailto(link);
    EXPECT_TRUE(parsed.wellFormed) << link;
    EXPECT_EQ(parsed.to, vendor);
    EXPECT_EQ(parsed.fields, (Fields{{"cc", TestUser.email},
                                     {"subject", subject},
                                     {"body", message + DecodedRequestFooter}}));
}

// ---- All vendors ----

using AllVendorsSend = RequestTest;

TEST_F(AllVendorsSend, WritesToEveryVendorInRecordOrderAndLogsAfterEachLink) {
    AddApplications(ThreeApplications);
    LoadUser();
    Compose("New PIN: 2200EF01", TestUser.email, Placeholders);
    EmailAllVendorsSend();

    const auto links = Links();
    ASSERT_EQ(links.size(), 3u);
    const std::string capitals = ".\r\nApplicationname Regcode REGCODE";
    ExpectLink(links[0], "sales@viewer.example", "New PIN: 2200EF01",
               "Hello Viewer, code V-111" + capitals);
    ExpectLink(links[1], "x@y.com&bcc=someone@else", "New PIN: 2200EF01",
               "Hello Maps & More, code M 2#" + capitals);
    // "regcode" is replaced after "applicationname", so it reaches into the name.
    ExpectLink(links[2], "vendor@grüße.example", "New PIN: 2200EF01",
               "Hello Grüße G/3, code G/3" + capitals);

    const std::string e0 = AllEntry(ThreeApplications[0]), e1 = AllEntry(ThreeApplications[1]),
                      e2 = AllEntry(ThreeApplications[2]);
    EXPECT_EQ(ui.logAtOpen, (std::vector<std::string>{"", e0, e0 + e1}));
    EXPECT_EQ(Log(), e0 + e1 + e2);
    const std::string summary =
        "Reregistration Request messages generated for all  3 application vendors";
    EXPECT_EQ(MainStatus(), summary);
    EXPECT_EQ(DialogStatus(), summary);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(TableClosed());
}

// ---- Selected vendors ----

using SelectVendorsSend = RequestTest;

TEST_F(SelectVendorsSend, NothingFlaggedSendsNothingAndReportsZero) {
    AddApplications(ThreeApplications);
    LoadUser();
    Compose("s", "a", ""); // never read: no record is visited
    EmailSelectVendorsSend();
    EXPECT_TRUE(Links().empty());
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(MainStatus(),
              "Reregistration Request messages generated for  0 Select application vendors");
    EXPECT_EQ(DialogStatus(), MainStatus());
}

TEST_F(SelectVendorsSend, VisitsOnlyExactYesAndLogsBeforeEachLink) {
    AddApplications({{"One", "1", "one@v.example", "Yes"},
                     {"Two", "2", "two@v.example", "yes"},
                     {"Three", "3", "three@v.example", "YES"},
                     {"Four", "4", "four@v.example", "Yes"}});
    LoadUser();
    Compose("Subject", TestUser.email, "applicationname: regcode");
    EmailSelectVendorsSend();

    const auto links = Links();
    ASSERT_EQ(links.size(), 2u);
    ExpectLink(links[0], "one@v.example", "Subject", "One: 1");
    ExpectLink(links[1], "four@v.example", "Subject", "Four: 4");
    const auto entry = [](const std::string& vendor, const std::string& name) {
        return LogEntry("Select Reregistration request generated ",
                        "Email to " + vendor + "   Application Name = " + name);
    };
    const std::string e0 = entry("one@v.example", "One"), e1 = entry("four@v.example", "Four");
    EXPECT_EQ(ui.logAtOpen, (std::vector<std::string>{e0, e0 + e1}));
    EXPECT_EQ(Log(), e0 + e1);
    EXPECT_EQ(MainStatus(),
              "Reregistration Request messages generated for  2 Select application vendors");
}

// ---- Test messages ----

using VendorsTestSend = RequestTest;

TEST_F(VendorsTestSend, SendsTheMessageUnchangedUnderTheCurrentPin) {
    AddApplications(ThreeApplications);
    LoadUser();
    Compose("whatever the box holds", TestUser.email, Placeholders);
    EmailVendorsTestSend();

    const auto links = Links();
    ASSERT_EQ(links.size(), 3u);
    std::string log;
    for (std::size_t i = 0; i < 3; ++i) {
        ExpectLink(links[i], ThreeApplications[i].email, "PIN Number 2100ABCD", Placeholders);
        log += LogEntry("Test Email generated ", "Test Email to " + ThreeApplications[i].email);
        EXPECT_EQ(ui.logAtOpen[i], log); // logged before the link
    }
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(MainStatus(), "Email Test messages generated for all  3 application vendors");
    EXPECT_EQ(DialogStatus(), MainStatus());
}

// ---- What all three kinds share ----

struct Kind {
    const char* name;
    void (*send)();
    const char* noRecords;
    const char* noDialog;
    const char* operation;
    const char* subjectUsed; // empty: the Subject box
};

class EverySend : public RequestTest, public ::testing::WithParamInterface<Kind> {
protected:
    void Flagged() {
        AddApplications(
            {{"One", "1", "one@v.example", "Yes"}, {"Two", "2", "two@v.example", "Yes"}});
        LoadUser();
    }
    std::string Summary() const {
        const std::string kind = GetParam().name;
        if (kind == "All")
            return "Reregistration Request messages generated for all  2 application vendors";
        if (kind == "Select")
            return "Reregistration Request messages generated for  2 Select application vendors";
        return "Email Test messages generated for all  2 application vendors";
    }
};

TEST_P(EverySend, AnEmptyTableIsReportedAndClosed) {
    GetParam().send();
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0], GetParam().noRecords);
    EXPECT_TRUE(Links().empty());
    EXPECT_TRUE(TableClosed());
}

TEST_P(EverySend, AMissingDialogStopsBeforeAnything) {
    Flagged();
    ui.CloseWindow(compose);
    GetParam().send();
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0], GetParam().noDialog);
    EXPECT_TRUE(Links().empty());
    EXPECT_TRUE(TableClosed());
}

TEST_P(EverySend, EmptySubjectAndAddressAreWarnedAboutAndTheRunGoesOn) {
    Flagged();
    Compose("", "", "Hi");
    GetParam().send();
    ASSERT_EQ(ui.messages.size(), 2u);
    ExpectWarning(ui.messages[0], "There is no information in the \"Subject\" box");
    ExpectWarning(ui.messages[1], "There is no address in the \"Your Address\" box");
    const auto links = Links();
    ASSERT_EQ(links.size(), 2u);
    // The copy still goes to the user's stored address.
    ExpectLink(links[1], "two@v.example", GetParam().subjectUsed, "Hi");
    EXPECT_EQ(MainStatus(), Summary());
}

TEST_P(EverySend, AnEmptyMessageStopsBeforeAnyLinkOrLogEntry) {
    Flagged();
    Compose("s", "a", "");
    GetParam().send();
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0],
                  "There is no vendor message to send -\r\nplease type a message before sending");
    EXPECT_TRUE(Links().empty());
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
    EXPECT_EQ(MainStatus(), "");
    EXPECT_EQ(DialogStatus(), "");
    EXPECT_TRUE(TableClosed());
}

TEST_P(EverySend, AMissingMainWindowAtTheEndLeavesBothStatusTextsAlone) {
    Flagged();
    Compose("s", "a", "m");
    ui.CloseWindow(main);
    GetParam().send();
    EXPECT_EQ(Links().size(), 2u);
    ExpectWarning(ui.LastMessage(),
                  std::string("wHandle Error 1005 in ") + GetParam().operation + " Function");
    if (std::string(GetParam().name) == "Select") {
        // A plain box first, with no icon and no caption of its own.
        ASSERT_EQ(ui.messages.size(), 2u);
        EXPECT_EQ(ui.messages[0].text, "wHandle esvt error 1005 is  0");
        EXPECT_EQ(ui.messages[0].caption, "");
        EXPECT_EQ(ui.messages[0].style, ui::MbOk);
    } else {
        EXPECT_EQ(ui.messages.size(), 1u);
    }
    EXPECT_EQ(DialogStatus(), "");
}

TEST_P(EverySend, ADialogGoneAtTheEndLeavesTheMainStatusSet) {
    Flagged();
    Compose("s", "a", "m");
    ui.onShellOpen = [this] { // after the last link, so that every message was read
        if (ui.logAtOpen.size() == 2)
            ui.CloseWindow(compose);
    };
    GetParam().send();
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectWarning(ui.messages[0],
                  std::string("wHandle Error 1010 in ") + GetParam().operation + " Function");
    EXPECT_EQ(MainStatus(), Summary());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, EverySend,
    ::testing::Values(Kind{"All", EmailAllVendorsSend,
                           "Record Number  = \"0\" Error in EmailAllVendorsSend Function",
                           "wHandle Error 101 in EmailSelectAllSend Function",
                           "EmailAllVendorsSend", ""},
                      Kind{"Select", EmailSelectVendorsSend,
                           "Record Number = \"0\" Error in EmailSelectVendorsSend Function",
                           "wHandle Error 201 in EmailSelectVendorsSend Function",
                           "EmailSelectVendorsSend", ""},
                      Kind{"Test", EmailVendorsTestSend,
                           "Record Number = \"0\" Error in EmailVendorsTestSend Function",
                           "wHandle Error 301 in EmailVendorsTestSend Function",
                           "EmailVendorsTestSend", "PIN Number 2100ABCD"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
