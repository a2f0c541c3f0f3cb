#pragma once
// The Application Information dialog: where applications are entered, browsed, overwritten,
// deleted and listed. Its buttons run the operations of application_records.h.

#include "ui/dialog.h"
#include "ui/platform.h"

// The application list's fixed-pitch font. Its characters are set as far apart as the list
// header's words fall in the proportional dialog font, so that each heading stands over its
// column and a whole 79-character row fits the list's width; the points give the letters'
// height.
inline constexpr int ApplicationListPoints = 10;
inline constexpr double ApplicationListPitch = 0.735; // ems of the dialog font

ui::Dialog ApplicationInformationLayout();

// Runs the dialog modally, owned by the main window (found by its title); returns 0.
int ApplicationInformationDialog(ui::WindowHandle owner);
