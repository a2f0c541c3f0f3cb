#include "user/user_record.h"

#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_rules.h"
#include "user/user_setup_dialog.h"

#include <array>

UserRecord currentUser;

namespace {

// The form's boxes in field-number order.
constexpr int Boxes[] = {
    FirstNameBox, LastNameBox,     UserEmailBox, PinBox,           NewPinBox,
    ServerBox,    MailPasswordBox, LoginNameBox, LoginPasswordBox, LoginPasswordConfirmBox};

std::string Text(ui::WindowHandle dialog, int control) {
    return ui::Ui().ControlText(dialog, control);
}

ui::WindowHandle FindUserSetup() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::UserSetupTitle);
    if (dialog == 0)
        ui::Warn("Cannot find the User Setup Window");
    return dialog;
}

// The form's values in the order of Boxes.
auto Values(auto& form) {
    auto& record = form.record;
    return std::array{&record.firstName,     &record.lastName,  &record.email,    &record.pin,
                      &record.newPin,        &record.server,    &record.password, &record.loginName,
                      &record.loginPassword, &form.confirmation};
}

UserForm ReadForm(ui::WindowHandle dialog) {
    UserForm form;
    const auto values = Values(form);
    for (std::size_t i = 0; i < values.size(); ++i)
        *values[i] = Text(dialog, Boxes[i]);
    return form;
}

void Refuse(ui::WindowHandle dialog, const UserRefusal& refusal) {
    ui::Warn(refusal.text);
    auto& ui = ui::Ui();
    if (refusal.clearLoginPasswords) {
        ui.SetControlText(dialog, LoginPasswordBox, "");
        ui.SetControlText(dialog, LoginPasswordConfirmBox, "");
    }
    if (refusal.focus)
        ui.SetFocus(dialog, Boxes[int(*refusal.focus) - 1]);
}

// Writes the record (appended when `number` is 0); false once the user has been told why not.
bool Store(ui::WindowHandle dialog, const UserRecord& record, int number) {
    if (const auto refusal = AssignUserRecord(record)) {
        XDBRESETERROR();
        Refuse(dialog, UserFieldRefusal(*refusal));
        return false;
    }
    StoreBuffer(userTable, number);
    return StoreSucceeded(UserNotSavedText);
}

void FirstSave(UserTableScope& scope, ui::WindowHandle dialog, const UserForm& form) {
    if (const auto refusal = CheckFirstSave(form))
        return Refuse(dialog, *refusal);
    if (!Store(dialog, form.record, 0))
        return;
    scope.Close();
    ui::Inform(UserSavedText);
    ActivityLogAppend(UserSavedLogEntry(form.record));
}

void Overwrite(UserTableScope& scope, ui::WindowHandle dialog, const UserForm& form) {
    if (!ui::AskYesNo(OverwriteUserQuestion, 0))
        return;
    // The rest is stored as it stands, an empty login name or password included.
    if (const auto refusal = CheckOverwrite(form.record))
        return Refuse(dialog, *refusal);
    if (!Store(dialog, form.record, 1))
        return;
    ui::Inform(UserSavedText);
    ActivityLogAppend(UserSavedLogEntry(form.record));
    ui::Ui().SetFocus(dialog, UserCancelButton);
    scope.Close();
    DisplayUserInformation();
}

} // namespace

void DisplayUserInformation() {
    UserTableScope scope;
    auto& ui = ui::Ui();
    if (XDBRECORDCOUNT(userTable) <= 0) {
        ui::Inform(NoUserInformationText);
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
    // The login password goes into both of its boxes.
    const UserForm shown{record, record.loginPassword};
    const auto values = Values(shown);
    for (std::size_t i = 0; i < values.size(); ++i)
        ui.SetControlText(dialog, Boxes[i], *values[i]);
    ui.SetFocus(dialog, UserCancelButton);
}

void SaveUserInformation() {
    UserTableScope scope;
    const int count = XDBRECORDCOUNT(userTable);
    if (count < 0)
        return;
    const ui::WindowHandle dialog = FindUserSetup();
    if (dialog == 0)
        return;
    const UserForm form = ReadForm(dialog);
    if (const auto refusal = CheckRequiredUserValues(form.record))
        return Refuse(dialog, *refusal);
    if (count == 0)
        FirstSave(scope, dialog, form);
    else
        Overwrite(scope, dialog, form);
}
