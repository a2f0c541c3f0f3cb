#include "user/change_password.h"

#include "common/text.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

namespace {

using ui::ControlKind;

constexpr unsigned Warning = ui::MbIconExclamation;

int rememberedFocus = 0;

std::string Joined(const std::string& first, const std::string& second) {
    return first + std::string(CRLF) + second;
}

// A refusal that lets the user try again: both boxes emptied, the first one focused.
void RefuseAndClear(ui::WindowHandle dialog, const std::string& text) {
    ui::Message(text, Warning);
    auto& ui = ui::Ui();
    ui.SetControlText(dialog, NewPasswordBox, "");
    ui.SetControlText(dialog, RepeatPasswordBox, "");
    ui.SetFocus(dialog, NewPasswordBox);
}

} // namespace

ui::Dialog ChangePasswordLayout() {
    ui::Dialog dialog{.title = ChangePasswordTitle, .x = 70, .y = 70, .width = 205, .height = 83};
    dialog.fonts = {{ui::SansSerif, 8, 700}};

    const unsigned box = ui::Password | ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    const auto blue = ui::LightBlue;
    using enum ControlKind;
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
    const ui::WindowHandle userSetup = ui::Ui().FindWindowByTitle(UserSetupTitle);
    if (userSetup == 0) {
        ui::Message("wHandle Error 1005 in Change Password Dialog Function", Warning);
        return 0;
    }
    rememberedFocus = 0;
    return ui::Ui().RunDialog(ChangePasswordLayout(), userSetup,
                              [](ui::WindowHandle dialog, const ui::DialogEvent& event) {
                                  if (ui::HandleStandardEvent(dialog, event, rememberedFocus))
                                      return;
                                  if (ui::IsButtonPress(event, SaveNewPasswordButton))
                                      CheckAndSaveNewPassword();
                              });
}

void CheckAndSaveNewPassword() {
    auto& ui = ui::Ui();
    const ui::WindowHandle dialog = ui.FindWindowByTitle(ChangePasswordTitle);
    if (dialog == 0) {
        ui::Message("wHandle Error 1005 in Check and Save New Password Function", Warning);
        return;
    }
    UserTableScope scope;
    const std::string password = ui.ControlText(dialog, NewPasswordBox);
    if (password.empty()) {
        ui::Message("You must enter a new password in the first password field", Warning);
        ui.SetFocus(dialog, NewPasswordBox);
        return;
    }
    const std::string repeated = ui.ControlText(dialog, RepeatPasswordBox);
    if (repeated.empty()) {
        ui::Message("You must enter a new password in the second password field", Warning);
        ui.SetFocus(dialog, RepeatPasswordBox);
        return;
    }
    if (password != repeated)
        return RefuseAndClear(dialog, "Your new passwords do not match - please reenter");
    XDBGETRECORD(userTable, 1);
    if (XDBFIELDVALUE(userTable, "LOGINPSWD", 0) == password)
        return RefuseAndClear(dialog, Joined("You have entered the same password you are currently",
                                             "using - please enter a different password"));
    if (!FitsField(password, PasswordWidth)) {
        ui::Message(FieldTooLongText("new password", PasswordWidth), Warning);
        ui.SetFocus(dialog, NewPasswordBox);
        return;
    }

    ui.EndDialog(dialog, 0);
    const ui::WindowHandle userSetup = ui.FindWindowByTitle(UserSetupTitle);
    if (userSetup == 0) {
        ui::Message("wHandle 1010 Error in Check and Save New Password Function", Warning);
        return;
    }
    const std::string question =
        Joined("If you continue, you will overwrite your current password - ",
               "do you want to overwrite your current password?");
    if (ui::Message(question, ui::MbYesNo | Warning | ui::MbDefaultButton2) != ui::IdYes)
        return;

    // The record is read afresh so that only LOGINPSWD changes; on an empty table the
    // store refuses the write, which is reported below.
    XDBRESETERROR();
    XDBGETRECORD(userTable, 1);
    XDBASSIGNFIELD(userTable, "", 9, password);
    int record = 1;
    if (XDBERROR() == 0)
        XDBPUTRECORD(userTable, record);
    if (const int error = XDBERROR(); error != 0) {
        const std::string reason = error == XdbNoSuchRecord
                                       ? "There is no user record yet: save the User "
                                         "Information first."
                                       : WriteFailureReason(error);
        ui::Message("Your new password was not saved. " + reason, Warning);
        XDBRESETERROR();
        return;
    }
    scope.Close();
    ui::Message("Your new password has been saved", Warning);
    DisplayUserInformation();
}
