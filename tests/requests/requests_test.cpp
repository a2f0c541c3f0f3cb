// The requests: the runs and templates on values, each held in tests/golden/requests/, every
// link read back by a reader of its own; then the preparations and sends on the headless
// backend.

#include "log/activity_log.h"
#include "requests/compose_dialog.h"
#include "requests/message_preview.h"
#include "requests/request_preparation.h"
#include "requests/request_rules.h"
#include "requests/request_template.h"
#include "requests/send_requests.h"
#include "support/fixtures.h"
#include "support/mailto.h"
#include "support/operations.h"
#include "ui/windows.h"
#include "user/user_record.h"

#include <filesystem>

namespace {

const UserRecord Ann{"Ann", "Lee", "ann@home.example", "2100ABCD", "2200EF01", "smtp", "",
                     "a",   "p"};
// Every field holds what would end it or start another field of a link.
const std::vector<ApplicationRecord> Records = {
    {"Viewer", "V-111", "sales@viewer.example", "No"},
    {"Maps & More", "M 2#?%=+", "x@y.com&bcc=some@else a#b", "Yes"},
    {"Grüße regcode", "G/3", "vendor@grüße.example", "yes"},
    {"Six", "6", "6@v", "Yes"}};
const std::string Words = "Hi applicationname, regcode.\r\nApplicationname Regcode REGCODE\n\r%0A";

std::string Runs(const std::vector<ApplicationRecord>& records, const ComposeValues& boxes) {
    std::string out;
    for (const RequestKind kind : {RequestKind::Test, RequestKind::Select, RequestKind::All}) {
        const RequestRun run = PlanRequests(kind, records, boxes, Ann);
        out += "== run " + FlagOf(kind) + ": " + RunSummary(kind, int(run.requests.size())) + "\n";
        for (const auto& warning : run.warnings)
            out += "warning: " + warning + "\n";
        out += "stop: " + run.stop.value_or("-") + "\n";
        for (const auto& request : run.requests) {
            out += "to " + request.to + " | cc " + request.cc + " | subject " + request.subject +
                   "\nbody " + request.body + "\nlink " + request.link + "\nlog " +
                   request.log.heading + "|" + request.log.detail + "\n";
            EXPECT_EQ(ParseMailto(request.link), (MailtoFields{{"to", request.to},
                                                               {"cc", request.cc},
                                                               {"subject", request.subject},
                                                               {"body", request.body}}));
        }
    }
    return out;
}

TEST(RequestRules, EachKindOfRunWritesToItsVendorsInRecordOrder) {
    ExpectGolden("requests/runs.txt",
                 Runs(Records, {"New PIN: 2200EF01", "me", Words}) + Runs(Records, {"", "", ""}) +
                     Runs({Records[0]}, {"s", "me", ""}) + Runs({}, {"s", "me", "m"}));
}

TEST(RequestRules, TemplatesAreReadCutAndFilled) {
    TempFolder folder;
    std::string out;
    // Only the first 1000 bytes are read; a character cut there goes whole. A template that is
    // not UTF-8 is Windows-1252, one byte a character, undefined bytes kept as C1 controls.
    const std::string a(996, 'a');
    for (const std::string& bytes :
         std::vector<std::string>{a + "aaaab", a + "aa\xE2\x9C\x93", a + "a\xE2\x9C\x93",
                                  "Caf\xE9 \x80 \x81" + a, a + "\xE9\xE8\xE7\xE6\xE5"}) {
        WriteFile("template.txt", bytes); // one file whatever the letter case
        const std::string text = ReadTemplate(RequestTemplateFile);
        out += std::to_string(text.size()) + " bytes: " + text.substr(0, 12) + "..." +
               text.substr(text.size() - 8) + "\n";
    }
    std::filesystem::remove("template.txt");
    out += "missing: [" + ReadTemplate(RequestTemplateFile) + "]";
    out += " created " + std::to_string(std::filesystem::exists(RequestTemplateFile)) + "\n";
    // Placeholders are exact words, replaced in order; "XXXXXXXXX" keeps an X.
    for (const RequestKind kind : {RequestKind::Test, RequestKind::All}) {
        const ComposeBoxes boxes = PreparedBoxes(
            kind, Ann, "fname lname (emailaddress) XXXXXXXXX. FNAME Lname applicationname regcode");
        out += boxes.email + "|" + boxes.server + "|" + boxes.subject + "|" + boxes.sendTo + "|" +
               boxes.cc + "|" + boxes.message + "|" + TemplateFileOf(kind) + "|server focus " +
               std::to_string(boxes.focusOnServer) + "\n";
    }
    for (const char* newPin : {"", "   ", " 1"})
        out += std::string("new PIN [") + newPin + "] missing " +
               std::to_string(NewPinMissing({.newPin = newPin})) + "\n";
    ExpectGolden("requests/templates.txt", out);
}

class Compose : public Operations {
protected:
    void SetUp() override {
        StoreUser(Ann);
        AddApplications(Records);
        DisplayUserInformation(); // as a preparation leaves the user values for the send
    }
    void Type(const std::string& subject, const std::string& address, const std::string& text) {
        ui.SetControlText(compose, compose::Subject, subject);
        ui.SetControlText(compose, compose::YourEmail, address);
        ui.SetControlText(compose, compose::Message, text);
    }
    void Send(void (*send)()) {
        send();
        ui.Note("status", ui.ControlText(main, ui::MainStatusBar) + " | " +
                              ui.ControlText(compose, compose::StatusLine));
    }

    ui::WindowHandle main = ui.OpenWindow(MainWindowStandIn());
    ui::WindowHandle compose = ui.OpenWindow(ComposeEmailLayout());
};

// A request is logged only once a mail program took it, so the log never claims one that was
// not made; and a log that cannot be written stops no request.
TEST_F(Compose, SendsWarnOfEmptyBoxesStopForAnEmptyMessageAndLogWhatWasTaken) {
    for (const auto send : {EmailAllVendorsSend, EmailVendorsTestSend, EmailSelectVendorsSend}) {
        Type("", "", "");
        Send(send);
    }
    Type("s", "me", "Hi applicationname");
    ui.shellResult = 2;
    Send(EmailSelectVendorsSend);
    ui.shellResult = 42;
    for (const auto send : {EmailVendorsTestSend, EmailSelectVendorsSend, EmailAllVendorsSend})
        Send(send);
    ui.transcript += "---- activity log\n" + ReadFile(ActivityLogFile) + "----\n";
    std::filesystem::remove(ActivityLogFile);
    std::filesystem::create_directory(ActivityLogFile); // where the log should be
    Send(EmailVendorsTestSend);
    ExpectGolden("requests/sends.txt", ui.transcript);
}

TEST_F(Compose, PreparationsFillTheBoxesOrCloseTheDialogWithoutANewPin) {
    WriteFile("Template.txt", "fname: applicationname");
    WriteFile("email test template.txt", "Test from fname");
    for (const auto prepare : {EmailAllVendors, EmailVendorsTest}) {
        prepare();
        NoteBoxes(compose, {compose::YourEmail, compose::MailServer, compose::Subject,
                            compose::SendTo, compose::CcTo, compose::Message});
    }
    StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "   ", "", "", "a", "p"});
    EmailSelectVendors();
    ui.Note("compose ended", std::to_string(ui.WindowOf(compose).ended));
    ExpectTranscript("requests/preparations.txt");
}

} // namespace

namespace {

// The preview shows the run's own requests, made from the boxes as they stand; Send This hands
// one over as the run would. A run can be stopped while a hand-over is on its way: it ends
// after that one, and the log holds exactly the requests handed over.
TEST_F(Compose, ThePreviewShowsTheRunAndARunStopsAfterTheHandOverUnderWay) {
    PreviewMessages(); // no kind chosen yet
    ui.SetControlText(compose, compose::MailTypeFlag, FlagOf(RequestKind::All));
    Type("New PIN", "me", "Dear applicationname, " + std::string(700, '&'));
    const auto notePreview = [this](ui::WindowHandle dialog) {
        NoteBoxes(dialog, {preview::Counter, preview::HandedOver, preview::To, preview::Subject,
                           preview::Body, preview::LongLinks});
    };
    ui.actions.push_back([&, this](ui::WindowHandle dialog) {
        notePreview(dialog);
        for (int button : {preview::Previous, preview::Next, preview::SendThis}) {
            ui.Click(dialog, button);
            notePreview(dialog);
        }
        ui.shellResult = 2;
        ui.Click(dialog, preview::SendThis);
        notePreview(dialog);
        ui.shellResult = 42;
        ui.Click(dialog, preview::Previous); // the one handed over
        notePreview(dialog);
        ui.ClickClose(dialog);
    });
    PreviewMessages();
    ui.actions.push_back([this](ui::WindowHandle dialog) {
        ui.DeliverHandOvers(1); // the first handed over, the second under way
        NoteBoxes(dialog, {sending::Counter, sending::Vendor, sending::Progress});
        ui.Click(dialog, sending::Stop);
    });
    Send(EmailAllVendorsSend);
    ui.actions.push_back([this](ui::WindowHandle dialog) { ui.ClickClose(dialog); });
    Send(EmailVendorsTestSend);
    ExpectTranscript("requests/preview_and_stop.txt");
}

} // namespace
