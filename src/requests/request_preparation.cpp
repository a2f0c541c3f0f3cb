#include "requests/request_preparation.h"

#include "records/table_scope.h"
#include "requests/compose_dialog.h"
#include "requests/request_rules.h"
#include "requests/request_template.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"

namespace {

void Fill(ui::WindowHandle dialog, const ComposeBoxes& boxes) {
    auto& ui = ui::Ui();
    ui.SetControlText(dialog, compose::YourEmail, boxes.email);
    ui.SetControlText(dialog, compose::MailServer, boxes.server);
    ui.SetControlText(dialog, compose::Subject, boxes.subject);
    ui.SetControlText(dialog, compose::SendTo, boxes.sendTo);
    ui.SetControlText(dialog, compose::CcTo, boxes.cc);
    ui.SetFocus(dialog, boxes.focusOnServer ? compose::MailServer : compose::Message);
    ui.SetControlText(dialog, compose::Message, boxes.message);
}

// The all-vendors and select preparations differ only in their message for a missing dialog.
void PrepareReregistration(RequestKind kind, const char* missingDialogText) {
    DisplayUserInformation();
    ApplicationTableScope table;
    if (XDBRECORDCOUNT(applicationTable) == 0)
        return ui::Inform(NoApplicationRecordsText);
    if (NewPinMissing(currentUser)) {
        ui::Warn(NoNewPinText);
        if (const auto dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle))
            ui::Ui().EndDialog(dialog, 0);
        return;
    }
    table.Close();
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0)
        return ui::Warn(missingDialogText);
    Fill(dialog, PreparedBoxes(kind, currentUser, ReadTemplate(TemplateFileOf(kind))));
}

} // namespace

void EmailAllVendors() {
    PrepareReregistration(RequestKind::All, "wHandle Error 100 in EmailAllVendors Function");
}

void EmailSelectVendors() {
    PrepareReregistration(RequestKind::Select, "wHandle Error 200 in EmailSelectVendors Function");
}

void EmailVendorsTest() {
    DisplayUserInformation();
    ApplicationTableScope table; // stays open until the message box is set
    if (XDBRECORDCOUNT(applicationTable) == 0)
        return ui::Inform(NoApplicationRecordsText);
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0)
        return ui::Warn("wHandle Error 300 in EmailVendorsTest Function");
    Fill(dialog, PreparedBoxes(RequestKind::Test, currentUser,
                               ReadTemplate(TemplateFileOf(RequestKind::Test))));
}
