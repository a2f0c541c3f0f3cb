#include "requests/request_preparation.h"

#include "common/codepage.h"
#include "common/files.h"
#include "common/text.h"
#include "records/tables.h"
#include "requests/compose_dialog.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"

#include <filesystem>
#include <string>

std::string ReadTemplate(std::string_view name) {
    const std::filesystem::path path = ResolveFileName(name);
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) {
        // A missing template is created empty so that the user finds where to write one.
        AppendToFile(path, "", error);
    }
    // A template that is not a plain file (a FIFO, a device) reads as empty, never waited on.
    std::string bytes;
    if (!ReadFileStart(path, TemplateLimit, bytes, error))
        bytes.clear();
    // The box holds text: a character cut in two at the limit is dropped whole. A template
    // that is not UTF-8 was written for the older Windows program, in Windows-1252.
    const std::string_view utf8 = WithoutPartialCharacterAtEnd(bytes);
    std::string text;
    if (IsUtf8(utf8) || !CodePageToUtf8(Windows1252, bytes, text))
        return std::string(utf8);
    return text;
}

std::string FillTemplate(std::string_view text) {
    std::string filled = ReplaceAll(text, "fname", currentUser.firstName);
    filled = ReplaceAll(filled, "lname", currentUser.lastName);
    filled = ReplaceAll(filled, "XXXXXXXX", currentUser.pin);
    return ReplaceAll(filled, "emailaddress", currentUser.email);
}

namespace {

constexpr const char* NoRecordsText = "There are no application records in the database";
constexpr const char* NoNewPinText = "You haven't entered your new PIN number in the User\r\n"
                                     "Setup - go to the User Setup and enter your new PIN\r\n"
                                     "PIN number now!";

void FillBoxes(ui::WindowHandle dialog, const std::string& subject) {
    auto& ui = ui::Ui();
    ui.SetControlText(dialog, compose::YourEmail, currentUser.email);
    ui.SetControlText(dialog, compose::MailServer, currentUser.server);
    ui.SetControlText(dialog, compose::Subject, subject);
    ui.SetControlText(dialog, compose::SendTo, "Vendors will be emailed separately");
    ui.SetControlText(dialog, compose::CcTo, currentUser.email);
}

// The all-vendors and select preparations differ only in their message for a missing dialog.
void PrepareReregistration(const std::string& missingDialogText) {
    DisplayUserInformation();
    ApplicationTableScope table;
    if (XDBRECORDCOUNT(applicationTable) == 0) {
        ui::Inform(NoRecordsText);
        return;
    }
    if (TrimBlanks(currentUser.newPin).empty()) {
        ui::Warn(NoNewPinText);
        if (const auto dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle))
            ui::Ui().EndDialog(dialog, 0);
        return;
    }
    table.Close();
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn(missingDialogText);
        return;
    }
    FillBoxes(dialog, "New PIN: " + currentUser.newPin);
    ui::Ui().SetFocus(dialog, compose::Message);
    // Both kinds read the one file "Template.txt" (also when spelt "template.txt").
    ui::Ui().SetControlText(dialog, compose::Message,
                            FillTemplate(ReadTemplate(RequestTemplateFile)));
}

} // namespace

void EmailAllVendors() {
    PrepareReregistration("wHandle Error 100 in EmailAllVendors Function");
}

void EmailSelectVendors() {
    PrepareReregistration("wHandle Error 200 in EmailSelectVendors Function");
}

void EmailVendorsTest() {
    DisplayUserInformation();
    ApplicationTableScope table; // stays open until the message box is set
    if (XDBRECORDCOUNT(applicationTable) == 0) {
        ui::Inform(NoRecordsText);
        return;
    }
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 300 in EmailVendorsTest Function");
        return;
    }
    FillBoxes(dialog, "My PIN: " + currentUser.pin);
    ui::Ui().SetFocus(dialog, compose::MailServer);
    ui::Ui().SetControlText(dialog, compose::Message, FillTemplate(ReadTemplate(TestTemplateFile)));
}
