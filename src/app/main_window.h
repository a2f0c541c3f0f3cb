#pragma once
// The main window: the picture, the tagline, the five command buttons and the status bar
// in which operations report.

#include "ui/platform.h"

inline constexpr const char* MainWindowTitle = "Ombrelay";
inline constexpr int MainStatusBar = 1001;

// The tagline under the picture, also shown by the About dialog.
inline constexpr const char* Tagline =
    "The original Mobile Device Application Reregistration Request Tool";

ui::Dialog MainDisplayLayout();
// Runs the main window modally; the program ends when it returns.
int MainDisplayDialog(ui::WindowHandle owner);
