#include "applications/application_records.h"

#include "applications/application_rules.h"
#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

namespace {

ui::WindowHandle FindApplicationDialog() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ApplicationInformationTitle);
    if (dialog == 0)
        ui::Warn("Cannot find Ombrelay Application Information window");
    return dialog;
}

std::string Text(ui::WindowHandle dialog, int control) {
    return ui::Ui().ControlText(dialog, control);
}

// The form as typed; the flag is "Yes" when the Yes button is checked, else "No".
ApplicationRecord ReadForm(ui::WindowHandle dialog) {
    return {Text(dialog, ApplicationNameBox), Text(dialog, RegistrationCodeBox),
            Text(dialog, VendorEmailBox),
            ui::Ui().IsChecked(dialog, RequestYesButton) ? "Yes" : "No"};
}

int BoxOf(ApplicationField field) {
    switch (field) {
    case ApplicationField::Code:
        return RegistrationCodeBox;
    case ApplicationField::VendorEmail:
        return VendorEmailBox;
    case ApplicationField::Request:
        return RequestYesButton;
    case ApplicationField::Name:
        break;
    }
    return ApplicationNameBox;
}

void Refuse(ui::WindowHandle dialog, const ApplicationRefusal& refusal) {
    ui::Refuse(dialog, refusal.text, BoxOf(refusal.field));
}

void ShowRecord(ui::WindowHandle dialog, const ApplicationRecord& record) {
    auto& ui = ui::Ui();
    ui.SetControlText(dialog, ApplicationNameBox, record.name);
    ui.SetControlText(dialog, RegistrationCodeBox, record.code);
    ui.SetControlText(dialog, VendorEmailBox, record.vendorEmail);
    const bool yes = record.request == "Yes";
    ui.SetChecked(dialog, RequestYesButton, yes);
    ui.SetChecked(dialog, RequestNoButton, !yes);
}

void ClearBoxes(ui::WindowHandle dialog) {
    for (const int box : {ApplicationNameBox, RegistrationCodeBox, VendorEmailBox})
        ui::Ui().SetControlText(dialog, box, "");
}

// The dialog, once the table is known to hold records; else `emptyText` is shown (or the
// dialog is missing) and the result is 0.
ui::WindowHandle DialogOverRecords(const char* emptyText) {
    if (XDBRECORDCOUNT(applicationTable) == 0) {
        ui::Inform(emptyText);
        return 0;
    }
    return FindApplicationDialog();
}

void Browse(bool forward) {
    ApplicationTableScope scope;
    const ui::WindowHandle dialog = DialogOverRecords(NothingToBrowseText);
    if (dialog == 0)
        return;
    ShowRecord(dialog, BrowseApplications(Text(dialog, ApplicationNameBox), forward));
}

// Writes the checked form over record `number` (0: as a new record); false once the user has
// been told why it was not saved.
bool Write(ui::WindowHandle dialog, const ApplicationRecord& form, int number) {
    if (const auto refusal = CheckApplicationForm(form)) {
        Refuse(dialog, *refusal);
        return false;
    }
    if (const auto refusal = AssignApplicationRecord(form)) {
        XDBRESETERROR();
        Refuse(dialog, ApplicationFieldRefusal(*refusal));
        return false;
    }
    StoreBuffer(applicationTable, number);
    return StoreSucceeded(NotSavedText(form));
}

} // namespace

void NewApplication() {
    const ui::WindowHandle dialog = FindApplicationDialog();
    if (dialog == 0)
        return;
    ClearBoxes(dialog);
    ui::Ui().SetChecked(dialog, RequestYesButton, false);
    ui::Ui().SetChecked(dialog, RequestNoButton, false);
    ui::Ui().SetFocus(dialog, ApplicationNameBox);
}

void SaveApplication() {
    ApplicationTableScope scope;
    XDBCLEARBUFFER(applicationTable);
    const ui::WindowHandle dialog = FindApplicationDialog();
    if (dialog == 0)
        return;
    const ApplicationRecord form = ReadForm(dialog);
    if (const auto refusal = CheckApplicationName(form))
        return Refuse(dialog, *refusal);

    if (const auto stored = FindApplication(form.name)) {
        for (const auto& question : OverwriteQuestions(form, stored->record)) {
            if (!ui::AskYesNo(question, ui::MbIconExclamation))
                return;
        }
        if (!Write(dialog, form, stored->number))
            return;
        // Logged once the record is written: a write that failed must leave no trace.
        ActivityLogAppend(SavedLogEntry(form, true));
        scope.Close();
        ShowApplicationList();
        return;
    }

    if (!Write(dialog, form, 0))
        return;
    XDBREINDEX(applicationTable, applicationIndex, 0);
    ActivityLogAppend(SavedLogEntry(form, false));
    ClearBoxes(dialog);
    ui::Ui().SetChecked(dialog, RequestNoButton, true);
    ui::Ui().SetChecked(dialog, RequestYesButton, false);
    ui::Ui().SetFocus(dialog, ApplicationNameBox);
    // A second rebuild after the form is cleared: the program has always done it here, and
    // it costs nothing when the index is current.
    XDBREINDEX(applicationTable, applicationIndex, 0);
    scope.Close();
    ShowApplicationList();
}

void NextApplication() {
    Browse(true);
}

void PreviousApplication() {
    Browse(false);
}

void DeleteApplication() {
    ApplicationTableScope scope;
    const ui::WindowHandle dialog = DialogOverRecords(NothingToDeleteText);
    if (dialog == 0)
        return;
    const std::string name = Text(dialog, ApplicationNameBox);
    if (const auto refusal = CheckDeleteName(name))
        return ui::Warn(*refusal);
    if (!ui::AskYesNo(DeleteBackupQuestion, ui::MbIconExclamation))
        return;
    // Exactly the application named: a prefix look-up would delete a neighbour.
    const auto stored = FindApplication(name);
    if (!stored)
        return ui::Warn(NoSuchApplicationText(name));
    const std::string typedCode = Text(dialog, RegistrationCodeBox);
    if (const auto question = DeleteCodeQuestion(typedCode, stored->record.code);
        question && !ui::AskYesNo(*question, ui::MbIconExclamation))
        return;

    DeleteApplicationRecord(stored->number);
    if (!StoreSucceeded(NotDeletedText(name)))
        return;
    ActivityLogAppend(DeletedLogEntry(name, typedCode));
    ClearBoxes(dialog);
    ui::Ui().SetChecked(dialog, RequestNoButton, false);
    XDBREINDEX(applicationTable, applicationIndex, 0);
    scope.Close();
    ShowApplicationList();
    ApplicationCount();
}

void ShowApplicationList() {
    ApplicationCount();
    ApplicationTableScope scope;
    const std::string rows = ApplicationList(ApplicationsInNameOrder());
    const ui::WindowHandle dialog = FindApplicationDialog();
    if (dialog == 0)
        return;
    ui::Ui().SetControlText(dialog, ApplicationListBox, rows);
}

void ApplicationCount() {
    ApplicationTableScope scope;
    // An empty table shows the same text in the status bar as in the count line, so that
    // the status bar never keeps the count from before the last delete.
    const std::string text = ApplicationCountText(XDBRECORDCOUNT(applicationTable));
    auto& ui = ui::Ui();
    const ui::WindowHandle dialog = ui.FindWindowByTitle(ui::ApplicationInformationTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 1005 in ApplicationCount Function");
        return;
    }
    ui.SetControlText(dialog, ApplicationCountLine, text);
    const ui::WindowHandle mainWindow = ui.FindWindowByTitle(ui::MainWindowTitle);
    if (mainWindow == 0) {
        ui::Warn("wHandle Error 1010 in ApplicationCount Function");
        return;
    }
    ui.SetControlText(mainWindow, ui::MainStatusBar, text);
}
