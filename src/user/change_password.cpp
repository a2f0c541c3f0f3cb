#include "user/change_password.h"

#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/login_rules.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

namespace {

void Refuse(ui::WindowHandle dialog, const LoginRefusal& refusal) {
    ui::Warn(refusal.text);
    auto& ui = ui::Ui();
    if (refusal.clear) {
        ui.SetControlText(dialog, NewPasswordBox, "");
        ui.SetControlText(dialog, RepeatPasswordBox, "");
    }
    ui.SetFocus(dialog, refusal.focus == 2 ? RepeatPasswordBox : NewPasswordBox);
}

constexpr int LoginPasswordField = 9;

} // namespace

ui::Dialog ChangePasswordLayout() {
    ui::Dialog dialog{
        .title = ui::ChangePasswordTitle, .x = 70, .y = 70, .width = 205, .height = 83};
    dialog.fonts = {{ui::SansSerif, 8, 700}};

    const unsigned box = ui::Password | ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    const auto blue = ui::LightBlue;
    using enum ui::ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(NewPasswordBox,        Edit,       "",                    28, 17, 150, 13, box, 0),
        ui::MakeControl(RepeatPasswordBox,     Edit,       "",                    28, 45, 150, 13, box, 0),
        ui::MakeControl(SaveNewPasswordButton, PushButton, "&Save New Password",  52, 64, 100, 15, ui::TabStop, 0),
        ui::MakeControl(1130,                  Label,      "Enter new Password",  28, 6,  100, 10, ui::NoStyle, 0, blue),
        ui::MakeControl(1131,                  Label,      "Repeat new Password", 28, 34, 100, 10, ui::NoStyle, 0, blue),
    };
    // clang-format on
    return dialog;
}

int ChangePasswordDialog(ui::WindowHandle) {
    const ui::WindowHandle userSetup = ui::Ui().FindWindowByTitle(ui::UserSetupTitle);
    if (userSetup == 0) {
        ui::Warn("wHandle Error 1005 in Change Password Dialog Function");
        return 0;
    }
    return ui::RunDialog(ChangePasswordLayout(), userSetup,
                         {.buttons = {{SaveNewPasswordButton,
                                       [](ui::WindowHandle) { CheckAndSaveNewPassword(); }}}});
}

void CheckAndSaveNewPassword() {
    auto& ui = ui::Ui();
    const ui::WindowHandle dialog = ui.FindWindowByTitle(ui::ChangePasswordTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 1005 in Check and Save New Password Function");
        return;
    }
    UserTableScope scope;
    const std::string password = ui.ControlText(dialog, NewPasswordBox);
    const std::string repeated = ui.ControlText(dialog, RepeatPasswordBox);
    if (const auto refusal = CheckNewPassword(password, repeated, ReadUserRecord().loginPassword))
        return Refuse(dialog, *refusal);
    // Refused by the store now, while the dialog is still there to correct it.
    if (const auto refusal = AssignField(userTable, LoginPasswordField, password)) {
        XDBRESETERROR();
        return Refuse(dialog, NewPasswordFieldRefusal(*refusal));
    }

    ui.EndDialog(dialog, 0);
    const ui::WindowHandle userSetup = ui.FindWindowByTitle(ui::UserSetupTitle);
    if (userSetup == 0) {
        ui::Warn("wHandle 1010 Error in Check and Save New Password Function");
        return;
    }
    if (!ui::AskYesNo(OverwritePasswordQuestion, ui::MbIconExclamation))
        return;

    // The record is read afresh so that only LOGINPSWD changes.
    XDBRESETERROR();
    UserRecord fresh = ReadUserRecord();
    if (XDBERROR() == XdbNoSuchRecord) {
        XDBRESETERROR();
        ui::Warn("Your new password was not saved. There is no user record yet: save the User "
                 "Information first.");
        return;
    }
    fresh.loginPassword = password;
    WriteUserRecord(fresh, 1);
    if (!StoreSucceeded(PasswordNotSavedText))
        return;
    scope.Close();
    ui::Warn(PasswordSavedText);
    DisplayUserInformation();
}
