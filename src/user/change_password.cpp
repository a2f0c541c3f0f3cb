#include "user/change_password.h"

#include "common/text.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

namespace {

// A refusal that lets the user try again: both boxes emptied, the first one focused.
void RefuseAndClear(ui::WindowHandle dialog, const std::string& text) {
    ui::Warn(text);
    auto& ui = ui::Ui();
    ui.SetControlText(dialog, NewPasswordBox, "");
    ui.SetControlText(dialog, RepeatPasswordBox, "");
    ui.SetFocus(dialog, NewPasswordBox);
}

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
    if (password.empty())
        return ui::Refuse(dialog, "You must enter a new password in the first password field",
                          NewPasswordBox);
    const std::string repeated = ui.ControlText(dialog, RepeatPasswordBox);
    if (repeated.empty())
        return ui::Refuse(dialog, "You must enter a new password in the second password field",
                          RepeatPasswordBox);
    if (password != repeated)
        return RefuseAndClear(dialog, "Your new passwords do not match - please reenter");
    if (ReadUserRecord().loginPassword == password)
        return RefuseAndClear(dialog,
                              JoinLines({"You have entered the same password you are currently",
                                         "using - please enter a different password"}));
    if (!FitsField(password, PasswordWidth))
        return ui::Refuse(dialog, FieldTooLongText("new password", PasswordWidth), NewPasswordBox);
    if (!XdbCodePageHolds(userTable, password))
        return ui::Refuse(dialog, NotInCodePageText("new password"), NewPasswordBox);

    ui.EndDialog(dialog, 0);
    const ui::WindowHandle userSetup = ui.FindWindowByTitle(ui::UserSetupTitle);
    if (userSetup == 0) {
        ui::Warn("wHandle 1010 Error in Check and Save New Password Function");
        return;
    }
    if (!ui::AskYesNo(JoinLines({"If you continue, you will overwrite your current password - ",
                                 "do you want to overwrite your current password?"}),
                      ui::MbIconExclamation))
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
    if (!StoreSucceeded("Your new password was not saved."))
        return;
    scope.Close();
    ui::Warn("Your new password has been saved");
    DisplayUserInformation();
}
