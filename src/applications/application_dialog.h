#pragma once
// The Application Information dialog: where applications are entered, browsed, overwritten,
// deleted and listed. Its buttons run the operations of application_records.h.

#include "ui/dialog.h"
#include "ui/platform.h"

// The points of the application list's fixed-pitch font: the largest at which a whole
// 79-character row fits the list's width.
inline constexpr int ApplicationListPoints = 10;

ui::Dialog ApplicationInformationLayout();

// Runs the dialog modally, owned by the main window (found by its title); returns 0.
int ApplicationInformationDialog(ui::WindowHandle owner);
