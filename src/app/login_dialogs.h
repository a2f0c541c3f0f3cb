#pragma once
// The login gate: the Login dialog and the Create User Login dialog.

#include "ui/platform.h"

// Controls of the Login dialog.
enum LoginControl {
    UserNameBox = 1121,
    PasswordBox = 1122,
    LoginButton = 1123,
    UserNameLabel = 1124,
    PasswordLabel = 1125,
};

// Controls of the Create User Login dialog.
enum CreateLoginControl {
    NewNameBox = 1141,
    NewLoginPasswordBox = 1142,
    RepeatLoginPasswordBox = 1143,
    NewNameLabel = 1144,
    NewPasswordLabel = 1145,
    RepeatPasswordLabel = 1146,
    CreateLoginOkButton = 1147,
    WithoutLoginBox = 1171,
};

ui::Dialog LoginLayout();
ui::Dialog CreateUserLoginLayout();

// Run the dialogs modally; they return when closed.
int LoginDialog(ui::WindowHandle owner);
int CreateUserLoginDialog(ui::WindowHandle owner);

// The Login dialog's operations: the stored name shown on opening, and the check of what
// was typed, which opens the main window on success.
void DisplayUserLoginName();
void VerifyLogon();
// Stores a new login from the Create User Login dialog and sets the login-follows flag.
void CreateUserLogin();
