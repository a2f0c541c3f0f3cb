#pragma once
// Changing the login password from the User Setup dialog, without retyping the record.

#include "ui/dialog.h"
#include "ui/platform.h"

inline constexpr int NewPasswordBox = 1127;
inline constexpr int RepeatPasswordBox = 1128;
inline constexpr int SaveNewPasswordButton = 1129;

ui::Dialog ChangePasswordLayout();

// Runs the dialog modally over the User Setup dialog (found by its title; `owner` is what
// the caller has at hand and is not needed). Returns the end result, 0.
int ChangePasswordDialog(ui::WindowHandle owner);

// Behind "&Save New Password": checks the two typed passwords against each other and the
// stored one, closes the dialog, asks, and rewrites LOGINPSWD alone.
void CheckAndSaveNewPassword();
