#pragma once
// The Compose Email dialog: the user chooses a kind of request, edits the message and sends.
// The preparations and the send operations find it by its title and reach its controls by
// these numbers.

#include "ui/dialog.h"
#include "ui/platform.h"

#include <string>

namespace compose {
inline constexpr int SendTo = 1079;
inline constexpr int CcTo = 1089;
inline constexpr int Subject = 1077;
inline constexpr int YourEmail = 1078;
inline constexpr int MailServer = 1080;
inline constexpr int Send = 1087;
inline constexpr int EmailTest = 1097;
inline constexpr int Select = 1096;
inline constexpr int EmailAll = 1095;
inline constexpr int Cancel = 1088;
inline constexpr int Preview = 1151;
inline constexpr int Message = 1081;
inline constexpr int StatusLine = 1099;
// A label one dialog unit wide: the kind of request chosen, "1" test, "2" select, "3" all.
inline constexpr int MailTypeFlag = 1104;
} // namespace compose

ui::Dialog ComposeEmailLayout();
// Runs the dialog modally, owned by the main window (or `owner` when it is missing).
// Returns 0 when it closes.
int ComposeEmailDialog(ui::WindowHandle owner);

// The instructions shown in the message box when the dialog opens.
std::string InstructionText();
void EmailMessage();

// Record the kind of request in the dialog and run its preparation.
void SetFlagEmailTest();
void SetFlagEmailSelectVendors();
void SetFlagEmailAllVendors();
// Runs the send operation of the kind recorded in the dialog.
void EmailVendorsSend();
