#include "applications/application_records.h"

#include "applications/activity_log.h"
#include "common/text.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <initializer_list>
#include <string_view>

namespace {

constexpr const char* OwnerWindowTitle = "Ombrelay";
constexpr int OwnerStatusBar = 1001;

constexpr unsigned Warning = ui::MbIconExclamation;
constexpr unsigned Notice = ui::MbIconInformation;
constexpr unsigned Question = ui::MbYesNo | ui::MbIconExclamation | ui::MbDefaultButton2;

constexpr const char* NoApplicationData = "No Application Data stored in Ombrelay";

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const auto line : lines) {
        if (!text.empty())
            text += CRLF;
        text += line;
    }
    return text;
}

ui::WindowHandle FindApplicationDialog() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ApplicationInformationTitle);
    if (dialog == 0)
        ui::Message("Cannot find Ombrelay Application Information window", Warning);
    return dialog;
}

std::string Text(ui::WindowHandle dialog, int control) {
    return ui::Ui().ControlText(dialog, control);
}

bool Refuse(ui::WindowHandle dialog, const std::string& text, int focus) {
    ui::Message(text, Warning);
    ui::Ui().SetFocus(dialog, focus);
    return false;
}

struct ApplicationForm {
    std::string name, code, email, request;
};

// Reads the form as typed and checks it, one problem at a time: a blank box, then a value
// too long for its field (it would otherwise be cut).
bool ReadAndCheckForm(ui::WindowHandle dialog, ApplicationForm& form) {
    form.name = Text(dialog, ApplicationNameBox);
    form.code = Text(dialog, RegistrationCodeBox);
    form.email = Text(dialog, VendorEmailBox);
    if (IsBlank(form.name))
        return Refuse(dialog, "You must enter a name for the application", ApplicationNameBox);
    if (IsBlank(form.code))
        return Refuse(dialog, "You must enter a registration code for the application",
                      RegistrationCodeBox);
    if (IsBlank(form.email))
        return Refuse(dialog, "You must enter a valid email address for the vendor",
                      VendorEmailBox);
    const struct {
        const std::string& value;
        int width;
        const char* field;
        int box;
    } widths[] = {{form.name, ApplicationNameWidth, "Application Name", ApplicationNameBox},
                  {form.code, RegistrationCodeWidth, "Code/Key", RegistrationCodeBox},
                  {form.email, VendorEmailWidth, "Vendor Email", VendorEmailBox}};
    for (const auto& field : widths) {
        if (!FitsField(field.value, field.width))
            return Refuse(dialog, FieldTooLongText(field.field, field.width), field.box);
    }
    form.request = ui::Ui().IsChecked(dialog, RequestYesButton) ? "Yes" : "No";
    return true;
}

void AssignFields(const ApplicationForm& form) {
    XDBASSIGNFIELD(applicationTable, "", 1, form.name);
    XDBASSIGNFIELD(applicationTable, "", 2, form.code);
    XDBASSIGNFIELD(applicationTable, "", 3, form.email);
    XDBASSIGNFIELD(applicationTable, "", 4, form.request);
}

// After a write: when the store refused it, tells the user what was not done and why.
bool WriteFailed(const std::string& whatWasNotDone) {
    const int error = XDBERROR();
    if (error == 0)
        return false;
    ui::Message(whatWasNotDone + " " + WriteFailureReason(error), Warning);
    XDBRESETERROR();
    return true;
}

std::string LogDetail(const ApplicationForm& form) {
    return "App name = " + form.name + "   Code/Key = " + form.code +
           "   Vendor Email = " + form.email + "   Rereg = " + form.request;
}

void Browse(bool forward) {
    ApplicationTableScope scope;
    const int table = applicationTable;
    const int index = applicationIndex;
    if (XDBRECORDCOUNT(table) == 0) {
        ui::Message("There are no Application records to display", Notice);
        return;
    }
    const ui::WindowHandle dialog = FindApplicationDialog();
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

    auto& ui = ui::Ui();
    ui.SetControlText(dialog, ApplicationNameBox, XDBFIELDVALUE(table, "APPNAME", 0));
    ui.SetControlText(dialog, RegistrationCodeBox, XDBFIELDVALUE(table, "REGCODE", 0));
    ui.SetControlText(dialog, VendorEmailBox, XDBFIELDVALUE(table, "VEMAIL", 0));
    const bool yes = XDBFIELDVALUE(table, "REQUEST", 0) == "Yes";
    ui.SetChecked(dialog, RequestYesButton, yes);
    ui.SetChecked(dialog, RequestNoButton, !yes);
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
    auto& ui = ui::Ui();
    ui.SetControlText(dialog, ApplicationNameBox, "");
    ui.SetControlText(dialog, RegistrationCodeBox, "");
    ui.SetControlText(dialog, VendorEmailBox, "");
    ui.SetChecked(dialog, RequestYesButton, false);
    ui.SetChecked(dialog, RequestNoButton, false);
    ui.SetFocus(dialog, ApplicationNameBox);
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
        Refuse(dialog, "You must enter a name for the application", ApplicationNameBox);
        return;
    }
    ApplicationForm form;
    if (XDBSEEK(table, index, ToUpper(name)) == 1) {
        int record = XDBRECORDNUMBER(table);
        const std::string storedCode = XDBFIELDVALUE(table, "REGCODE", 0);
        if (ToUpper(Text(dialog, RegistrationCodeBox)) == ToUpper(storedCode)) {
            const std::string first =
                Lines({"It appears you are trying to save a record that is already",
                       "in the Ombrelay Application Database.  Do you really want to ",
                       "overwrite the Application record?"});
            if (ui::Message(first, Question) != ui::IdYes)
                return;
        }
        const std::string second = Lines({"If you continue, you will overwrite the application  ",
                                          "record.  Do you want to overwrite the application?"});
        if (ui::Message(second, Question) != ui::IdYes)
            return;
        if (!ReadAndCheckForm(dialog, form))
            return;

        XDBRESETERROR();
        AssignFields(form);
        if (XDBERROR() == 0)
            XDBPUTRECORD(table, record);
        if (WriteFailed("The application \"" + form.name + "\" was not saved."))
            return;
        // Logged once the record is written: a write that failed must leave no trace.
        ActivityLogAppend("Application Record Edited ", LogDetail(form));
        scope.Close();
        ShowApplicationList();
        return;
    }

    if (!ReadAndCheckForm(dialog, form))
        return;
    XDBRESETERROR();
    AssignFields(form);
    if (XDBERROR() == 0)
        XDBADDRECORD(table);
    if (WriteFailed("The application \"" + form.name + "\" was not saved."))
        return;
    XDBREINDEX(table, index, 0);
    ActivityLogAppend("Application Record Added ", LogDetail(form));
    ui.SetControlText(dialog, ApplicationNameBox, "");
    ui.SetControlText(dialog, RegistrationCodeBox, "");
    ui.SetControlText(dialog, VendorEmailBox, "");
    ui.SetChecked(dialog, RequestNoButton, true);
    ui.SetChecked(dialog, RequestYesButton, false);
    ui.SetFocus(dialog, ApplicationNameBox);
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
    if (XDBRECORDCOUNT(table) == 0) {
        ui::Message("There are no Applications in the database to delete", Notice);
        return;
    }
    const ui::WindowHandle dialog = FindApplicationDialog();
    if (dialog == 0)
        return;
    auto& ui = ui::Ui();

    const std::string name = Text(dialog, ApplicationNameBox);
    if (name.empty()) {
        ui::Message(Lines({"No application record data has been selected for deletion.",
                           "Use the NEXT or PREVIOUS buttons to select an application"}),
                    Warning);
        return;
    }
    const std::string backup =
        "!!! BEFORE DELETING APPLICATION DATA YOU SHOULD PERFORM A BACKUP !!!" + std::string(CRLF) +
        std::string(CRLF) + "            Choose NO to exit without deleting data, YES to proceed.";
    if (ui::Message(backup, Question) != ui::IdYes)
        return;

    // Exactly the application named: a prefix look-up would delete a neighbour.
    const std::string upperName = ToUpper(name);
    if (XDBSEEK(table, index, upperName) != 1) {
        ui::Message("There is no application named \"" + name +
                        "\" in Ombrelay - nothing was deleted",
                    Warning);
        return;
    }
    const int record = XDBRECORDNUMBER(table);
    const std::string upperCode = ToUpper(Text(dialog, RegistrationCodeBox));
    if (upperCode == ToUpper(XDBFIELDVALUE(table, "REGCODE", 0))) {
        const std::string final = Lines({"WARNING! CAUTION! You are about to delete Application",
                                         "Registration data.  If you select YES, the data will",
                                         "permanently deleted!  Do you want to delete the data?"});
        if (ui::Message(final, Question) != ui::IdYes)
            return;
    }

    XDBRESETERROR();
    XDBDELETERECORD(table, record);
    if (XDBERROR() == 0)
        XDBPACK(table);
    if (WriteFailed("The application \"" + name + "\" was not deleted."))
        return;
    ActivityLogAppend("Application Deleted by User ",
                      "Application Deleted was " + upperName + "   Code/Key was " + upperCode);
    ui.SetControlText(dialog, ApplicationNameBox, "");
    ui.SetControlText(dialog, RegistrationCodeBox, "");
    ui.SetControlText(dialog, VendorEmailBox, "");
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
        rows += ApplicationListRow(
            XDBFIELDVALUE(table, "APPNAME", 0), XDBFIELDVALUE(table, "REGCODE", 0),
            XDBFIELDVALUE(table, "REQUEST", 0), XDBFIELDVALUE(table, "VEMAIL", 0));
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
    const ui::WindowHandle dialog = ui.FindWindowByTitle(ApplicationInformationTitle);
    if (dialog == 0) {
        ui::Message("wHandle Error 1005 in ApplicationCount Function", Warning);
        return;
    }
    ui.SetControlText(dialog, ApplicationCountLine, text);
    const ui::WindowHandle mainWindow = ui.FindWindowByTitle(OwnerWindowTitle);
    if (mainWindow == 0) {
        ui::Message("wHandle Error 1010 in ApplicationCount Function", Warning);
        return;
    }
    ui.SetControlText(mainWindow, OwnerStatusBar, text);
}
