#include "applications/application_records.h"

#include "common/text.h"
#include "log/activity_log.h"
#include "records/application_table.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

namespace {

constexpr const char* NoApplicationData = "No Application Data stored in Ombrelay";

ui::WindowHandle FindApplicationDialog() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ApplicationInformationTitle);
    if (dialog == 0)
        ui::Warn("Cannot find Ombrelay Application Information window");
    return dialog;
}

std::string Text(ui::WindowHandle dialog, int control) {
    return ui::Ui().ControlText(dialog, control);
}

// Reads the form as typed and checks it, one problem at a time: a blank box, then a value
// too long for its field (it would otherwise be cut).
bool ReadAndCheckForm(ui::WindowHandle dialog, ApplicationRecord& form) {
    form.name = Text(dialog, ApplicationNameBox);
    form.code = Text(dialog, RegistrationCodeBox);
    form.vendorEmail = Text(dialog, VendorEmailBox);
    const struct {
        const std::string& value;
        const char* blankText;
        int width;
        const char* field;
        int box;
    } boxes[] = {
        {form.name, "You must enter a name for the application", ApplicationNameWidth,
         "Application Name", ApplicationNameBox},
        {form.code, "You must enter a registration code for the application", RegistrationCodeWidth,
         "Code/Key", RegistrationCodeBox},
        {form.vendorEmail, "You must enter a valid email address for the vendor", VendorEmailWidth,
         "Vendor Email", VendorEmailBox},
    };
    for (const auto& box : boxes) {
        if (IsBlank(box.value)) {
            ui::Refuse(dialog, box.blankText, box.box);
            return false;
        }
    }
    for (const auto& box : boxes) {
        if (!FitsField(box.value, box.width)) {
            ui::Refuse(dialog, FieldTooLongText(box.field, box.width), box.box);
            return false;
        }
        if (!XdbCodePageHolds(applicationTable, box.value)) {
            ui::Refuse(dialog, NotInCodePageText(box.field), box.box);
            return false;
        }
    }
    form.request = ui::Ui().IsChecked(dialog, RequestYesButton) ? "Yes" : "No";
    return true;
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

std::string LogDetail(const ApplicationRecord& form) {
    return "App name = " + form.name + "   Code/Key = " + form.code +
           "   Vendor Email = " + form.vendorEmail + "   Rereg = " + form.request;
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
    const int table = applicationTable;
    const int index = applicationIndex;
    const ui::WindowHandle dialog =
        DialogOverRecords("There are no Application records to display");
    if (dialog == 0)
        return;

    const std::string name = ToUpper(Text(dialog, ApplicationNameBox));
    const std::string key = LeftJustify(name, ApplicationKeyWidth);
    const auto toEnd = [&] {
        if (forward)
            XDBMOVEFIRST(table, index);
        else
            XDBMOVELAST(table, index);
    };
    if (key == std::string(ApplicationKeyWidth, ' ')) {
        toEnd();
    } else {
        // The whole name first: names that share their first 25 characters would otherwise
        // all be found as the first of them, and browsing would stick there.
        if (XDBSEEK(table, index, name) != 1)
            XDBSEEKPARTIAL(table, index, key);
        if (forward)
            XDBMOVENEXT(table, index);
        else
            XDBMOVEPREV(table, index);
        if ((forward ? XDBEOF(table) : XDBBOF(table)) == 1)
            toEnd();
    }
    ShowRecord(dialog, ReadApplicationRecord());
}

} // namespace

std::string ApplicationListRow(const std::string& name, const std::string& code,
                               const std::string& request, const std::string& email) {
    return LeftJustify(name, 25) + "  " + LeftJustify(code, 20) + "  " + LeftJustify(request, 3) +
           "  " + LeftJustify(email, 25) + std::string(CRLF);
}

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
    const int table = applicationTable;
    const int index = applicationIndex;
    XDBCLEARBUFFER(table);
    const ui::WindowHandle dialog = FindApplicationDialog();
    if (dialog == 0)
        return;
    auto& ui = ui::Ui();

    const std::string name = Text(dialog, ApplicationNameBox);
    if (IsBlank(name)) {
        ui::Refuse(dialog, "You must enter a name for the application", ApplicationNameBox);
        return;
    }
    ApplicationRecord form;
    if (XDBSEEK(table, index, ToUpper(name)) == 1) {
        const int record = XDBRECORDNUMBER(table);
        const std::string storedCode = ReadApplicationRecord().code;
        if (ToUpper(Text(dialog, RegistrationCodeBox)) == ToUpper(storedCode) &&
            !ui::AskYesNo(JoinLines({"It appears you are trying to save a record that is already",
                                     "in the Ombrelay Application Database.  Do you really want "
                                     "to ",
                                     "overwrite the Application record?"}),
                          ui::MbIconExclamation))
            return;
        if (!ui::AskYesNo(JoinLines({"If you continue, you will overwrite the application  ",
                                     "record.  Do you want to overwrite the application?"}),
                          ui::MbIconExclamation))
            return;
        if (!ReadAndCheckForm(dialog, form))
            return;
        WriteApplicationRecord(form, record);
        if (!StoreSucceeded("The application \"" + form.name + "\" was not saved."))
            return;
        // Logged once the record is written: a write that failed must leave no trace.
        ActivityLogAppend("Application Record Edited ", LogDetail(form));
        scope.Close();
        ShowApplicationList();
        return;
    }

    if (!ReadAndCheckForm(dialog, form))
        return;
    WriteApplicationRecord(form, 0);
    if (!StoreSucceeded("The application \"" + form.name + "\" was not saved."))
        return;
    XDBREINDEX(table, index, 0);
    ActivityLogAppend("Application Record Added ", LogDetail(form));
    ClearBoxes(dialog);
    ui.SetChecked(dialog, RequestNoButton, true);
    ui.SetChecked(dialog, RequestYesButton, false);
    ui.SetFocus(dialog, ApplicationNameBox);
    // A second rebuild after the form is cleared: the program has always done it here, and
    // it costs nothing when the index is current.
    XDBREINDEX(table, index, 0);
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
    const int table = applicationTable;
    const int index = applicationIndex;
    const ui::WindowHandle dialog =
        DialogOverRecords("There are no Applications in the database to delete");
    if (dialog == 0)
        return;
    auto& ui = ui::Ui();

    const std::string name = Text(dialog, ApplicationNameBox);
    if (name.empty()) {
        ui::Warn(JoinLines({"No application record data has been selected for deletion.",
                            "Use the NEXT or PREVIOUS buttons to select an application"}));
        return;
    }
    if (!ui::AskYesNo(
            JoinLines({"!!! BEFORE DELETING APPLICATION DATA YOU SHOULD PERFORM A BACKUP !!!", "",
                       "            Choose NO to exit without deleting data, YES to proceed."}),
            ui::MbIconExclamation))
        return;

    // Exactly the application named: a prefix look-up would delete a neighbour.
    const std::string upperName = ToUpper(name);
    if (XDBSEEK(table, index, upperName) != 1) {
        ui::Warn("There is no application named \"" + name +
                 "\" in Ombrelay - nothing was deleted");
        return;
    }
    const int record = XDBRECORDNUMBER(table);
    const std::string upperCode = ToUpper(Text(dialog, RegistrationCodeBox));
    if (upperCode == ToUpper(ReadApplicationRecord().code) &&
        !ui::AskYesNo(JoinLines({"WARNING! CAUTION! You are about to delete Application",
                                 "Registration data.  If you select YES, the data will",
                                 "permanently deleted!  Do you want to delete the data?"}),
                      ui::MbIconExclamation))
        return;

    DeleteApplicationRecord(record);
    if (!StoreSucceeded("The application \"" + name + "\" was not deleted."))
        return;
    ActivityLogAppend("Application Deleted by User ",
                      "Application Deleted was " + upperName + "   Code/Key was " + upperCode);
    ClearBoxes(dialog);
    ui.SetChecked(dialog, RequestNoButton, false);
    XDBREINDEX(table, index, 0);
    scope.Close();
    ShowApplicationList();
    ApplicationCount();
}

void ShowApplicationList() {
    ApplicationCount();
    ApplicationTableScope scope;
    const int table = applicationTable;
    const int index = applicationIndex;
    const int count = XDBRECORDCOUNT(table);
    std::string rows;
    XDBMOVEFIRST(table, index);
    for (int row = 0; row < count; ++row) {
        const ApplicationRecord record = ReadApplicationRecord();
        rows += ApplicationListRow(record.name, record.code, record.request, record.vendorEmail);
        XDBMOVENEXT(table, index);
    }
    const ui::WindowHandle dialog = FindApplicationDialog();
    if (dialog == 0)
        return;
    ui::Ui().SetControlText(dialog, ApplicationListBox, rows);
}

void ApplicationCount() {
    ApplicationTableScope scope;
    const int count = XDBRECORDCOUNT(applicationTable);
    // An empty table shows the same text in the status bar as in the count line, so that
    // the status bar never keeps the count from before the last delete.
    const std::string text =
        count == 0 ? std::string(NoApplicationData)
                   : "  Data for " + SignedNumber(count) + "  Applications stored in Ombrelay";
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
