#pragma once
// The User Setup dialog: the form of the user record. Save runs SaveUserInformation, Change
// Password opens the Change Password dialog, Cancel closes the form.

#include "ui/dialog.h"
#include "ui/platform.h"

// Controls of the User Setup dialog.
inline constexpr int FirstNameBox = 1015;
inline constexpr int LastNameBox = 1016;
inline constexpr int UserEmailBox = 1019;
inline constexpr int PinBox = 1020;
inline constexpr int NewPinBox = 1021;
inline constexpr int ServerBox = 1018;
inline constexpr int MailPasswordBox = 1062;
inline constexpr int LoginNameBox = 1114;
inline constexpr int LoginPasswordBox = 1115;
inline constexpr int LoginPasswordConfirmBox = 1116;
inline constexpr int LoginPasswordConfirmLabel = 1117;
inline constexpr int MailPasswordLabel = 1063;
inline constexpr int LoginPasswordLabel = 1119;
inline constexpr int UserSaveButton = 1028;
inline constexpr int ChangePasswordButton = 1126;
inline constexpr int UserCancelButton = 1029;

ui::Dialog UserSetupLayout();

// Runs the dialog modally, owned by the main window (found by its title); returns the end
// result, 0.
int UserSetupDialog(ui::WindowHandle owner);
