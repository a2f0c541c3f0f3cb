#include "requests/send_requests.h"

#include "common/text.h"
#include "log/activity_log.h"
#include "records/application_table.h"
#include "records/tables.h"
#include "requests/compose_dialog.h"
#include "requests/request_link.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"

#include <optional>
#include <string>
#include <vector>

namespace {

// What sets the three kinds of run apart.
struct RunKind {
    const char* function;       // names the run in the messages of a missing window
    const char* emptyTableText; // when there is no application record
    const char* missingDialogText;
    bool selectedOnly; // only the vendors whose request flag is "Yes"
    bool test;         // the message as typed, under the current PIN, checked once
    const char* logHeading;
};

const std::string NoMessageText =
    "There is no vendor message to send -\r\nplease type a message before sending";

// The two checks that warn and go on.
void WarnOnEmptyBoxes(ui::WindowHandle dialog) {
    if (ui::Ui().ControlText(dialog, compose::Subject).empty())
        ui::Warn("There is no information in the \"Subject\" box");
    if (ui::Ui().ControlText(dialog, compose::YourEmail).empty())
        ui::Warn("There is no address in the \"Your Address\" box");
}

std::string ReplaceRecordPlaceholders(const std::string& text, const ApplicationRecord& record) {
    return ReplaceAll(ReplaceAll(text, ApplicationNamePlaceholder, record.name),
                      RegistrationCodePlaceholder, record.code);
}

std::string LogDetail(const RunKind& kind, const ApplicationRecord& record) {
    if (kind.test)
        return "Test Email to " + record.vendorEmail;
    return "Email to " + record.vendorEmail + "   " + "Application Name = " + record.name;
}

struct RunResult {
    int vendors = 0;                     // the vendors the run went through
    std::vector<std::string> notReached; // those whose request the desktop did not take
};

// One request per vendor, in record-number order. A request is logged once the desktop has
// handed it to the mail program, so that the log never claims one that was not made.
// Returns nothing when the run stopped before its end.
std::optional<RunResult> SendRequests(const RunKind& kind) {
    ApplicationTableScope table;
    const int count = XDBRECORDCOUNT(applicationTable);
    if (count == 0) {
        ui::Warn(kind.emptyTableText);
        return std::nullopt;
    }
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn(kind.missingDialogText);
        return std::nullopt;
    }
    WarnOnEmptyBoxes(dialog);
    const auto message = [&] { return ui::Ui().ControlText(dialog, compose::Message); };
    const std::string testMessage = kind.test ? message() : std::string();
    if (kind.test && testMessage.empty()) {
        ui::Warn(NoMessageText);
        return std::nullopt;
    }
    // The test goes out under the current PIN, whatever the Subject box holds.
    const std::string subject = kind.test ? "PIN Number " + currentUser.pin
                                          : ui::Ui().ControlText(dialog, compose::Subject);
    RunResult result;
    for (int number = 1; number <= count; ++number) {
        XDBGETRECORD(applicationTable, number);
        const ApplicationRecord record = ReadApplicationRecord();
        if (kind.selectedOnly && record.request != "Yes")
            continue;
        ++result.vendors;
        std::string body = kind.test ? testMessage : message();
        if (!kind.test) {
            // Each request takes the message as the box holds it at that moment.
            if (body.empty()) {
                ui::Warn(NoMessageText);
                return std::nullopt;
            }
            body = ReplaceRecordPlaceholders(body, record);
        }
        const std::string link = RequestLink(record.vendorEmail, currentUser.email, subject, body);
        if (ui::Ui().ShellOpen(link, ui::ShowState::Normal) > 32)
            ActivityLogAppend(kind.logHeading, LogDetail(kind, record));
        else
            result.notReached.push_back(record.vendorEmail);
    }
    return result;
}

// The summary goes to the main window's status bar, then to the dialog's status line.
void ShowSummary(const std::string& summary, const RunKind& kind) {
    const ui::WindowHandle main = ui::Ui().FindWindowByTitle(ui::MainWindowTitle);
    if (main == 0) {
        if (kind.selectedOnly) // the select run first names the handle it got, in a plain box
            ui::Ui().ShowMessage("wHandle esvt error 1005 is " + SignedNumber(main), "", ui::MbOk);
        ui::Warn("wHandle Error 1005 in " + std::string(kind.function) + " Function");
        return;
    }
    ui::Ui().SetControlText(main, ui::MainStatusBar, summary);
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 1010 in " + std::string(kind.function) + " Function");
        return;
    }
    ui::Ui().SetControlText(dialog, compose::StatusLine, summary);
}

// A run whose links did not all reach a mail program says so after its summary, rather than
// leaving the user to believe every request was made.
void ReportNotReached(const std::vector<std::string>& notReached) {
    if (notReached.empty())
        return;
    std::string text = "No default mail program took the requests to these vendors, so they "
                       "were not made (set one up and send them again):";
    for (const auto& vendor : notReached)
        text += std::string(CRLF) + vendor;
    ui::Warn(text);
}

void Run(const RunKind& kind, const std::string& summaryBefore, const std::string& summaryAfter) {
    const auto result = SendRequests(kind);
    if (!result)
        return;
    ShowSummary(summaryBefore + SignedNumber(result->vendors) + summaryAfter, kind);
    ReportNotReached(result->notReached);
}

} // namespace

void EmailAllVendorsSend() {
    Run({.function = "EmailAllVendorsSend",
         .emptyTableText = "Record Number  = \"0\" Error in EmailAllVendorsSend Function",
         .missingDialogText = "wHandle Error 101 in EmailSelectAllSend Function",
         .selectedOnly = false,
         .test = false,
         .logHeading = "Email All Reregistration request generated "},
        "Reregistration Request messages generated for all ", " application vendors");
}

void EmailSelectVendorsSend() {
    Run({.function = "EmailSelectVendorsSend",
         .emptyTableText = "Record Number = \"0\" Error in EmailSelectVendorsSend Function",
         .missingDialogText = "wHandle Error 201 in EmailSelectVendorsSend Function",
         .selectedOnly = true,
         .test = false,
         .logHeading = "Select Reregistration request generated "},
        "Reregistration Request messages generated for ", " Select application vendors");
}

void EmailVendorsTestSend() {
    Run({.function = "EmailVendorsTestSend",
         .emptyTableText = "Record Number = \"0\" Error in EmailVendorsTestSend Function",
         .missingDialogText = "wHandle Error 301 in EmailVendorsTestSend Function",
         .selectedOnly = false,
         .test = true,
         .logHeading = "Test Email generated "},
        "Email Test messages generated for all ", " application vendors");
}
