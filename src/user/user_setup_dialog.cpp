#include "user/user_setup_dialog.h"

#include "ui/dialog_support.h"
#include "user/change_password.h"
#include "user/user_record.h"

namespace {

using ui::ControlKind;

constexpr int DialogFont = -1;
constexpr int Bold = 0; // the one font of the dialog's controls

int rememberedFocus = 0;

ui::Control Make(int id, ui::ControlKind kind, const std::string& caption, int x, int y, int width,
                 int height, unsigned style, int font, std::optional<ui::Rgb> background = {}) {
    ui::Control control;
    control.id = id;
    control.kind = kind;
    control.caption = caption;
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.style = style;
    control.background = background;
    control.font = font;
    return control;
}

} // namespace

ui::Dialog UserSetupLayout() {
    ui::Dialog dialog;
    dialog.title = UserSetupTitle;
    dialog.x = 69;
    dialog.y = 60;
    dialog.width = 402;
    dialog.height = 201;
    dialog.font = {ui::SansSerif, 8, 400};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    dialog.background = ui::LightBlue;

    const unsigned edit = ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    const unsigned pin = edit | ui::Uppercase;
    const unsigned none = ui::NoStyle;
    const auto blue = ui::LightBlue;
    using enum ControlKind;
    // clang-format off
    dialog.controls = {
        Make(FirstNameBox,            Edit,       "",                  24,  36,  100, 13, edit, Bold),
        Make(LastNameBox,             Edit,       "",                  150, 36,  100, 13, edit, Bold),
        Make(UserEmailBox,            Edit,       "",                  276, 36,  100, 13, edit, Bold, ui::White),
        Make(PinBox,                  Edit,       "",                  24,  93,  50,  13, pin, Bold),
        Make(NewPinBox,               Edit,       "",                  82,  93,  50,  13, pin, Bold),
        Make(ServerBox,               Edit,       "",                  152, 93,  100, 13, edit | ui::Disabled, Bold),
        Make(MailPasswordBox,         Edit,       "",                  276, 92,  100, 13, edit | ui::Disabled | ui::Password, Bold),
        Make(LoginNameBox,            Edit,       "",                  24,  146, 100, 13, edit, Bold),
        Make(LoginPasswordBox,        Edit,       "",                  150, 146, 100, 13, edit | ui::Password, Bold),
        // The confirmation sits beside the login password, inside "Login Information".
        Make(LoginPasswordConfirmBox, Edit,       "",                  276, 146, 100, 13, edit | ui::Password, Bold),
        Make(UserSaveButton,          PushButton, "&Save",             76,  182, 75,  15, ui::TabStop, Bold),
        Make(ChangePasswordButton,    PushButton, "Change &Password",  163, 182, 75,  15, ui::TabStop, Bold),
        Make(UserCancelButton,        PushButton, "&Cancel",           250, 182, 75,  15, ui::TabStop, Bold),
        Make(1120,                    GroupBox,   "Login Information", 10,  118, 380, 52, none, Bold, blue),
        Make(1022,                    Label,      "Your Email",        276, 24,  52,  10, none, Bold, blue),
        Make(1023,                    Label,      "BB PIN",            23,  83,  33,  10, none, Bold, blue),
        Make(1024,                    Label,      "New PIN",           82,  82,  50,  10, none, Bold, blue),
        Make(1025,                    Label,      "First Name",        24,  24,  56,  10, none, Bold, blue),
        Make(1026,                    Label,      "Last Name",         151, 24,  52,  10, none, Bold, blue),
        Make(1027,                    Label,      "Outgoing Mail Server", 152, 82, 104, 10, none, Bold, blue),
        Make(1030,                    GroupBox,   "User Information",  10,  8,   380, 52, none, Bold, blue),
        Make(1031,                    GroupBox,   "PIN && Email Server Information", 10, 64, 380, 52, none, Bold, blue),
        Make(1063,                    Label,      "Password",          276, 82,  48,  10, none, Bold, blue),
        Make(1064,                    GroupBox,   "Optional",          144, 71,  240, 39, none, Bold, blue),
        Make(1076,                    GroupBox,   "",                  16,  71,  124, 39, none, DialogFont),
        Make(1118,                    Label,      "User Name",         24,  134, 56,  10, none, Bold, blue),
        Make(1119,                    Label,      "Password",          151, 134, 52,  10, none, Bold, blue),
        Make(LoginPasswordConfirmLabel, Label,    "Confirm Password",  276, 134, 100, 10, none, Bold, blue),
    };
    // clang-format on
    return dialog;
}

int UserSetupDialog(ui::WindowHandle owner) {
    const ui::WindowHandle mainWindow =
        ui::OwnerOrWarn("Ombrelay", "wHandle Error in User Setup Dialog Function", owner);
    rememberedFocus = 0;
    return ui::Ui().RunDialog(UserSetupLayout(), mainWindow,
                              [](ui::WindowHandle dialog, const ui::DialogEvent& event) {
                                  if (ui::HandleStandardEvent(dialog, event, rememberedFocus))
                                      return;
                                  if (event.kind == ui::DialogEventKind::Init)
                                      DisplayUserInformation();
                                  else if (ui::IsButtonPress(event, UserSaveButton))
                                      SaveUserInformation();
                                  else if (ui::IsButtonPress(event, ChangePasswordButton))
                                      ChangePasswordDialog(dialog);
                                  else if (ui::IsButtonPress(event, UserCancelButton))
                                      ui::Ui().EndDialog(dialog, 0);
                              });
}
