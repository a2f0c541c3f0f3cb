#pragma once
// The login gate: the Login dialog and the Create User Login dialog.

#include "ui/platform.h"

inline constexpr const char* LoginTitle = "Ombrelay Login";
inline constexpr const char* CreateUserLoginTitle = "Create User Login";

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
