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

#include <string>
#include <vector>

namespace {

const std::string NoMessageText =
    "There is no vendor message to send -\r\nplease type a message before sending";

// The two checks that warn and go on.
void WarnOnEmptyBoxes(ui::WindowHandle dialog) {
    if (ui::Ui().ControlText(dialog, compose::Subject).empty())
        ui::Warn("There is no information in the \"Subject\" box");
    if (ui::Ui().ControlText(dialog, compose::YourEmail).empty())
        ui::Warn("There is no address in the \"Your Address\" box");
}

std::string ReplaceRecordPlaceholders(const std::string& text, const std::string& name,
                                      const std::string& code) {
    return ReplaceAll(ReplaceAll(text, ApplicationNamePlaceholder, name),
                      RegistrationCodePlaceholder, code);
}

// Opens the link; a vendor whose message the desktop could not hand to a mail program is
// added to `notReached`.
bool OpenLink(const std::string& link, const std::string& vendor,
              std::vector<std::string>& notReached) {
    if (ui::Ui().ShellOpen(link, ui::ShowState::Normal) > 32)
        return true;
    notReached.push_back(vendor);
    return false;
}

// A run whose links did not all reach the mail program says so after its summary, rather
// than leaving the user to believe every request was made.
void ReportNotReached(const std::vector<std::string>& notReached) {
    if (notReached.empty())
        return;
    std::string text = "Your mail program could not be opened for these vendors, so their "
                       "requests were not made:";
    for (const auto& vendor : notReached)
        text += std::string(CRLF) + vendor;
    ui::Warn(text);
}

std::string RequestDetail(const ApplicationRecord& record) {
    return "Email to " + record.vendorEmail + "   " + "Application Name = " + record.name;
}

// The summary goes to the main window's status bar, then to the dialog's status line.
// `operation` names the run in the messages of a missing window.
void ShowSummary(const std::string& summary, const std::string& operation,
                 bool plainBoxFirst = false) {
    const ui::WindowHandle main = ui::Ui().FindWindowByTitle(ui::MainWindowTitle);
    if (main == 0) {
        if (plainBoxFirst) // the select run first names the handle it got, in a plain box
            ui::Ui().ShowMessage("wHandle esvt error 1005 is " + SignedNumber(main), "", ui::MbOk);
        ui::Warn("wHandle Error 1005 in " + operation + " Function");
        return;
    }
    ui::Ui().SetControlText(main, ui::MainStatusBar, summary);
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 1010 in " + operation + " Function");
        return;
    }
    ui::Ui().SetControlText(dialog, compose::StatusLine, summary);
}

} // namespace

void EmailAllVendorsSend() {
    ApplicationTableScope table;
    const int count = XDBRECORDCOUNT(applicationTable);
    if (count == 0) {
        ui::Warn("Record Number  = \"0\" Error in EmailAllVendorsSend Function");
        return;
    }
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 101 in EmailSelectAllSend Function");
        return;
    }
    WarnOnEmptyBoxes(dialog);
    const std::string subject = ui::Ui().ControlText(dialog, compose::Subject);
    std::vector<std::string> notReached;
    for (int number = 1; number <= count; ++number) {
        XDBGETRECORD(applicationTable, number);
        const ApplicationRecord record = ReadApplicationRecord();
        const std::string message = ui::Ui().ControlText(dialog, compose::Message);
        if (message.empty()) {
            ui::Warn(NoMessageText);
            return;
        }
        if (OpenLink(RequestLink(record.vendorEmail, currentUser.email, subject,
                                 ReplaceRecordPlaceholders(message, record.name, record.code)),
                     record.vendorEmail, notReached))
            ActivityLogAppend("Email All Reregistration request generated ", RequestDetail(record));
    }
    table.Close();
    ShowSummary("Reregistration Request messages generated for all " + SignedNumber(count) +
                    " application vendors",
                "EmailAllVendorsSend");
    ReportNotReached(notReached);
}

void EmailSelectVendorsSend() {
    ApplicationTableScope table;
    const int count = XDBRECORDCOUNT(applicationTable);
    if (count == 0) {
        ui::Warn("Record Number = \"0\" Error in EmailSelectVendorsSend Function");
        return;
    }
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 201 in EmailSelectVendorsSend Function");
        return;
    }
    WarnOnEmptyBoxes(dialog);
    const std::string subject = ui::Ui().ControlText(dialog, compose::Subject);
    int visited = 0;
    std::vector<std::string> notReached;
    for (int number = 1; number <= count; ++number) {
        XDBGETRECORD(applicationTable, number);
        const ApplicationRecord record = ReadApplicationRecord();
        if (record.request != "Yes")
            continue;
        ++visited;
        const std::string message = ui::Ui().ControlText(dialog, compose::Message);
        if (message.empty()) {
            ui::Warn(NoMessageText);
            return;
        }
        ActivityLogAppend("Select Reregistration request generated ", RequestDetail(record));
        OpenLink(RequestLink(record.vendorEmail, currentUser.email, subject,
                             ReplaceRecordPlaceholders(message, record.name, record.code)),
                 record.vendorEmail, notReached);
    }
    table.Close();
    ShowSummary("Reregistration Request messages generated for " + SignedNumber(visited) +
                    " Select application vendors",
                "EmailSelectVendorsSend", true);
    ReportNotReached(notReached);
}

void EmailVendorsTestSend() {
    ApplicationTableScope table;
    const int count = XDBRECORDCOUNT(applicationTable);
    if (count == 0) {
        ui::Warn("Record Number = \"0\" Error in EmailVendorsTestSend Function");
        return;
    }
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 301 in EmailVendorsTestSend Function");
        return;
    }
    WarnOnEmptyBoxes(dialog);
    const std::string message = ui::Ui().ControlText(dialog, compose::Message);
    if (message.empty()) {
        ui::Warn(NoMessageText);
        return;
    }
    // The test goes out under the current PIN, whatever the Subject box holds.
    const std::string subject = "PIN Number " + currentUser.pin;
    std::vector<std::string> notReached;
    for (int number = 1; number <= count; ++number) {
        XDBGETRECORD(applicationTable, number);
        const std::string vendor = ReadApplicationRecord().vendorEmail;
        ActivityLogAppend("Test Email generated ", "Test Email to " + vendor);
        OpenLink(RequestLink(vendor, currentUser.email, subject, message), vendor, notReached);
    }
    table.Close();
    ShowSummary("Email Test messages generated for all " + SignedNumber(count) +
                    " application vendors",
                "EmailVendorsTestSend");
    ReportNotReached(notReached);
}
