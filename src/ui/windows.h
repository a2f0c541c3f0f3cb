#pragma once
// The program's windows as operations know them: operations find a dialog by its exact
// title, so the titles are shared by every layer, as is the main window's status bar, where
// operations of several dialogs report.

namespace ui {

inline constexpr const char* MainWindowTitle = "Ombrelay";
inline constexpr const char* LoginTitle = "Ombrelay Login";
inline constexpr const char* CreateUserLoginTitle = "Create User Login";
inline constexpr const char* AboutTitle = "Ombrelay About";
inline constexpr const char* UserSetupTitle = "Ombrelay User Setup";
inline constexpr const char* ChangePasswordTitle = "Change Ombrelay Password";
inline constexpr const char* ApplicationInformationTitle = "Ombrelay Application Information";
inline constexpr const char* ComposeEmailTitle = "Ombrelay Email Application Vendors";
inline constexpr const char* DatabaseDialogTitle = "Ombrelay Databases";
inline constexpr const char* ImportTitle = "Ombrelay Import Applications";
inline constexpr const char* PreviewTitle = "Ombrelay Message Preview";
inline constexpr const char* SendingRequestsTitle = "Ombrelay Sending Requests";

// The main window's status bar.
inline constexpr int MainStatusBar = 1001;

} // namespace ui
