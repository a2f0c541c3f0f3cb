#pragma once
// The operations behind the buttons of the Application Information dialog. Each finds the
// dialog by its title, reads its controls, asks the rules (application_rules.h), shows what
// they return, and opens and closes the application table itself; nothing is remembered from
// one operation to the next.

// Controls of the Application Information dialog.
inline constexpr int ApplicationNameBox = 1033;
inline constexpr int RegistrationCodeBox = 1034;
inline constexpr int VendorEmailBox = 1035;
inline constexpr int RequestYesButton = 1058;
inline constexpr int RequestNoButton = 1059;
inline constexpr int ApplicationListBox = 1039;
inline constexpr int ApplicationCountLine = 1061;
inline constexpr int ApplicationListHeader = 1132;
inline constexpr int ApplicationNewButton = 1040;
inline constexpr int ApplicationSaveButton = 1041;
inline constexpr int ApplicationNextButton = 1042;
inline constexpr int ApplicationPreviousButton = 1043;
inline constexpr int ApplicationDeleteButton = 1044;
inline constexpr int ApplicationCancelButton = 1045;

void NewApplication();
void SaveApplication();
void NextApplication();
void PreviousApplication();
void DeleteApplication();
void ShowApplicationList();
void ApplicationCount();
