#include "user/user_record.h"

#include "common/text.h"
#include "log/activity_log.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_setup_dialog.h"

#include <string_view>

UserRecord currentUser;

namespace {

// The form's boxes in field-number order, with how wide their field is and how the user
// knows the box.
struct UserField {
    int box;
    std::string UserRecord::*value;
    int width;
    const char* name;
};
constexpr UserField UserFields[] = {
    {FirstNameBox, &UserRecord::firstName, UserNameWidth, "First Name"},
    {LastNameBox, &UserRecord::lastName, UserNameWidth, "Last Name"},
    {UserEmailBox, &UserRecord::email, UserEmailWidth, "Email Address"},
    {PinBox, &UserRecord::pin, PinWidth, "BB PIN"},
    {NewPinBox, &UserRecord::newPin, PinWidth, "New PIN"},
    {ServerBox, &UserRecord::server, ServerWidth, "Outgoing Mail Server"},
    {MailPasswordBox, &UserRecord::password, PasswordWidth, "Mail Server Password"},
    {LoginNameBox, &UserRecord::loginName, LoginNameWidth, "User Name"},
    {LoginPasswordBox, &UserRecord::loginPassword, PasswordWidth, "Login Password"},
};

std::string Text(ui::WindowHandle dialog, int control) {
    return ui::Ui().ControlText(dialog, control);
}

ui::WindowHandle FindUserSetup() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::UserSetupTitle);
    if (dialog == 0)
        ui::Warn("Cannot find the User Setup Window");
    return dialog;
}

// Lengths count characters, blanks included; only length 0 is empty.
bool IsEightLong(const std::string& pin) {
    return CharacterCount(pin) == 8;
}

bool NewPinLengthWrong(const std::string& newPin) {
    return !newPin.empty() && !IsEightLong(newPin);
}

// Bytes of `pin` among "ABCDEF0123456789"; a lower-case letter does not count.
int PinCharacters(const std::string& pin) {
    constexpr std::string_view set = "ABCDEF0123456789";
    int count = 0;
    for (const char c : pin)
        count += set.find(c) != std::string_view::npos ? 1 : 0;
    return count;
}

// The four values both courses require first: names, e-mail address and PIN.
bool ReadRequired(ui::WindowHandle dialog, UserRecord& form) {
    form.firstName = Text(dialog, FirstNameBox);
    form.lastName = Text(dialog, LastNameBox);
    form.email = Text(dialog, UserEmailBox);
    form.pin = Text(dialog, PinBox);
    if (!form.firstName.empty() && !form.lastName.empty() && !form.email.empty() &&
        !form.pin.empty())
        return true;
    ui::Warn(JoinLines({"You must enter a First Name, Last Name, Email",
                        "Address, and PIN Number to save a User Record"}));
    return false;
}

const std::string PinLengthText = JoinLines(
    {"BlackBerry PIN numbers must be eight digits,", "please check the PIN number you entered."});
const std::string NewPinLengthText = JoinLines(
    {"BlackBerry PIN numbers must be eight digits,", "please check the new PIN number again."});

// Nothing is cut: a value too long for its field is refused before anything is written.
bool AllFit(ui::WindowHandle dialog, const UserRecord& form) {
    for (const auto& field : UserFields) {
        if (!FitsField(form.*field.value, field.width)) {
            ui::Refuse(dialog, FieldTooLongText(field.name, field.width), field.box);
            return false;
        }
        if (!XdbCodePageHolds(userTable, form.*field.value)) {
            ui::Refuse(dialog, NotInCodePageText(field.name), field.box);
            return false;
        }
    }
    return true;
}

// Writes the record (appended when `number` is 0); false after telling the user it failed.
bool Store(const UserRecord& form, int number) {
    WriteUserRecord(form, number);
    return StoreSucceeded("User Information was not saved.");
}

std::string OrNotAvailable(const std::string& value) {
    return IsBlank(value) ? "N/A" : value;
}

void LogSave(const UserRecord& form) {
    ActivityLogAppend("User Record Modified:  ",
                      "fname = " + form.firstName + "   lname = " + form.lastName +
                          "   user email = " + form.email + std::string(CRLF) +
                          "PIN = " + form.pin + "   new PIN = " + OrNotAvailable(form.newPin) +
                          "   server name = " + OrNotAvailable(form.server) + std::string(CRLF) +
                          "Login Name = " + form.loginName);
}

void FirstSave(UserTableScope& scope) {
    const ui::WindowHandle dialog = FindUserSetup();
    UserRecord form;
    if (dialog == 0 || !ReadRequired(dialog, form))
        return;
    if (!IsEightLong(form.pin))
        return ui::Warn(PinLengthText);
    form.newPin = Text(dialog, NewPinBox);
    if (NewPinLengthWrong(form.newPin))
        return ui::Warn(NewPinLengthText);
    form.server = Text(dialog, ServerBox);
    form.password = Text(dialog, MailPasswordBox);
    form.loginName = Text(dialog, LoginNameBox);
    if (form.loginName.empty())
        return ui::Refuse(dialog, "You must have a valid username for logging in!", LoginNameBox);
    form.loginPassword = Text(dialog, LoginPasswordBox);
    if (form.loginPassword.empty())
        return ui::Refuse(
            dialog,
            JoinLines({"The first \"Password\" field is empty!", "Please enter a valid password"}),
            LoginPasswordBox);
    const std::string confirmation = Text(dialog, LoginPasswordConfirmBox);
    if (confirmation.empty())
        return ui::Refuse(
            dialog,
            JoinLines({"The second \"Password\" field is empty!", "Please enter a valid password"}),
            LoginPasswordConfirmBox);
    if (confirmation != form.loginPassword) {
        ui::Warn("The passwords you have entered do not match - please reenter them");
        ui::Ui().SetControlText(dialog, LoginPasswordBox, "");
        ui::Ui().SetControlText(dialog, LoginPasswordConfirmBox, "");
        ui::Ui().SetFocus(dialog, LoginPasswordBox);
        return;
    }
    if (!AllFit(dialog, form))
        return;

    if (!Store(form, 0))
        return;
    scope.Close();
    ui::Inform("User Information has been saved");
    LogSave(form);
}

void Overwrite(UserTableScope& scope) {
    const ui::WindowHandle dialog = FindUserSetup();
    UserRecord form;
    if (dialog == 0 || !ReadRequired(dialog, form))
        return;
    const std::string question =
        JoinLines({"CAUTION: If you continue, you will overwrite the current User Information.",
                   "Do you want to continue and overwrite the current user?"});
    if (!ui::AskYesNo(question, 0))
        return;
    if (!IsEightLong(form.pin))
        return ui::Warn(PinLengthText);
    if (PinCharacters(form.pin) < 8)
        return ui::Warn("PIN Number contains invalid characters - please check");
    form.newPin = Text(dialog, NewPinBox);
    if (NewPinLengthWrong(form.newPin))
        return ui::Warn(NewPinLengthText);
    if (!form.newPin.empty() && PinCharacters(form.newPin) < 8)
        return ui::Warn("New PIN Number contains invalid characters - please check");
    // The rest is stored as it stands, an empty login name or password included.
    form.server = Text(dialog, ServerBox);
    form.password = Text(dialog, MailPasswordBox);
    form.loginName = Text(dialog, LoginNameBox);
    form.loginPassword = Text(dialog, LoginPasswordBox);
    if (!AllFit(dialog, form) || !Store(form, 1))
        return;
    ui::Inform("User Information has been saved");
    LogSave(form);
    ui::Ui().SetFocus(dialog, UserCancelButton);
    scope.Close();
    DisplayUserInformation();
}

} // namespace

void DisplayUserInformation() {
    UserTableScope scope;
    auto& ui = ui::Ui();
    if (XDBRECORDCOUNT(userTable) <= 0) {
        ui::Inform(JoinLines(
            {"There is currently no User Information. ", "Please enter User Information Now"}));
        if (const ui::WindowHandle dialog = ui.FindWindowByTitle(ui::UserSetupTitle))
            ui.SetFocus(dialog, FirstNameBox);
        return;
    }
    const UserRecord record = ReadUserRecord();
    currentUser = record;
    currentUser.loginName.clear();
    currentUser.loginPassword.clear();

    const ui::WindowHandle dialog = ui.FindWindowByTitle(ui::UserSetupTitle);
    if (dialog == 0) {
        // Display User Information fills no form while the request preparation has its
        // dialog open.
        if (ui.FindWindowByTitle(ui::ComposeEmailTitle) == 0)
            ui::Warn("Cannot find the User Setup Window");
        return;
    }
    for (const auto& field : UserFields)
        ui.SetControlText(dialog, field.box, record.*field.value);
    ui.SetControlText(dialog, LoginPasswordConfirmBox, record.loginPassword);
    ui.SetFocus(dialog, UserCancelButton);
}

void SaveUserInformation() {
    UserTableScope scope;
    const int count = XDBRECORDCOUNT(userTable);
    if (count < 0)
        return;
    if (count == 0)
        FirstSave(scope);
    else
        Overwrite(scope);
}
