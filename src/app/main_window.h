#pragma once
// The main window: the picture, the tagline, the five command buttons and the status bar
// in which operations report.

#include "ui/platform.h"
#include "ui/windows.h"

// Controls of the main window.
enum MainControl {
    MainPicture = 1003,
    MainTaglineLabel = 1004,
    UserInfoButton = 1005,
    ApplicationsButton = 1006,
    EmailButton = 1007,
    DatabasesButton = 1002,
    AboutButton = 1008,
    MainPictureBand = 1112,
    MainDevicesLabel = 1167,
};

// The tagline under the picture, also shown by the About dialog.
inline constexpr const char* Tagline =
    "The original Mobile Device Application Reregistration Request Tool";

ui::Dialog MainDisplayLayout();
// Runs the main window modally; the program ends when it returns.
int MainDisplayDialog(ui::WindowHandle owner);
