#include "user/user_setup_dialog.h"

#include "ui/dialog_support.h"
#include "user/change_password.h"
#include "user/user_record.h"

namespace {

using ui::ControlKind;

constexpr int Bold = 0; // the one font of the dialog's controls

} // namespace

ui::Dialog UserSetupLayout() {
    ui::Dialog dialog{.title = ui::UserSetupTitle, .x = 69, .y = 60, .width = 402, .height = 201};
    dialog.fonts = {{ui::SansSerif, 8, 700}};

    const unsigned edit = ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    const unsigned pin = edit | ui::Uppercase;
    const unsigned none = ui::NoStyle;
    const auto blue = ui::LightBlue;
    using enum ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(FirstNameBox,              Edit,       "",                                24,  36,  100, 13, edit, Bold),
        ui::MakeControl(LastNameBox,               Edit,       "",                                150, 36,  100, 13, edit, Bold),
        ui::MakeControl(UserEmailBox,              Edit,       "",                                276, 36,  100, 13, edit, Bold, ui::White),
        ui::MakeControl(PinBox,                    Edit,       "",                                24,  93,  50,  13, pin, Bold),
        ui::MakeControl(NewPinBox,                 Edit,       "",                                82,  93,  50,  13, pin, Bold),
        ui::MakeControl(ServerBox,                 Edit,       "",                                152, 93,  100, 13, edit | ui::Disabled, Bold),
        ui::MakeControl(MailPasswordBox,           Edit,       "",                                276, 92,  100, 13, edit | ui::Disabled | ui::Password, Bold).Named("Mail Server Password"),
        ui::MakeControl(LoginNameBox,              Edit,       "",                                24,  146, 100, 13, edit, Bold),
        ui::MakeControl(LoginPasswordBox,          Edit,       "",                                150, 146, 100, 13, edit | ui::Password, Bold).Named("Login Password"),
        // The confirmation sits beside the login password, inside "Login Information".
        ui::MakeControl(LoginPasswordConfirmBox,   Edit,       "",                                276, 146, 100, 13, edit | ui::Password, Bold),
        ui::MakeControl(UserSaveButton,            PushButton, "&Save",                           76,  182, 75,  15, ui::TabStop, Bold),
        ui::MakeControl(ChangePasswordButton,      PushButton, "Change &Password",                163, 182, 75,  15, ui::TabStop, Bold),
        ui::MakeControl(UserCancelButton,          PushButton, "&Cancel",                         250, 182, 75,  15, ui::TabStop, Bold),
        ui::MakeControl(1120,                      GroupBox,   "Login Information",               10,  118, 380, 52, none, Bold, blue),
        ui::MakeControl(1022,                      Label,      "Your Email",                      276, 24,  52,  10, none, Bold, blue),
        ui::MakeControl(1023,                      Label,      "BB PIN",                          23,  83,  33,  10, none, Bold, blue),
        ui::MakeControl(1024,                      Label,      "New PIN",                         82,  82,  50,  10, none, Bold, blue),
        ui::MakeControl(1025,                      Label,      "First Name",                      24,  24,  56,  10, none, Bold, blue),
        ui::MakeControl(1026,                      Label,      "Last Name",                       151, 24,  52,  10, none, Bold, blue),
        ui::MakeControl(1027,                      Label,      "Outgoing Mail Server",            152, 82,  104, 10, none, Bold, blue),
        ui::MakeControl(1030,                      GroupBox,   "User Information",                10,  8,   380, 52, none, Bold, blue),
        ui::MakeControl(1031,                      GroupBox,   "PIN && Email Server Information", 10,  64,  380, 52, none, Bold, blue),
        ui::MakeControl(MailPasswordLabel,         Label,      "Password",                        276, 82,  48,  10, none, Bold, blue),
        ui::MakeControl(1064,                      GroupBox,   "Optional",                        144, 71,  240, 39, none, Bold, blue),
        ui::MakeControl(1076,                      GroupBox,   "",                                16,  71,  124, 39, none, ui::DialogFont),
        ui::MakeControl(1118,                      Label,      "User Name",                       24,  134, 56,  10, none, Bold, blue),
        ui::MakeControl(LoginPasswordLabel,        Label,      "Password",                        151, 134, 52,  10, none, Bold, blue),
        ui::MakeControl(LoginPasswordConfirmLabel, Label,      "Confirm Password",                276, 134, 100, 10, none, Bold, blue),
    };
    // clang-format on
    return dialog;
}

int UserSetupDialog(ui::WindowHandle owner) {
    const ui::WindowHandle mainWindow =
        ui::MainWindowOrWarn("wHandle Error in User Setup Dialog Function", owner);
    return ui::RunDialog(
        UserSetupLayout(), mainWindow,
        {.init = [](ui::WindowHandle) { DisplayUserInformation(); },
         .buttons = {{UserSaveButton, [](ui::WindowHandle) { SaveUserInformation(); }},
                     {ChangePasswordButton, ChangePasswordDialog},
                     {UserCancelButton, ui::EndDialogWithZero}}});
}
