#pragma once
// The About dialog: picture, tagline, copyright, support contact and the home-page link.

#include "ui/platform.h"

inline constexpr const char* HomePage = "https://ombrelay.org";
inline constexpr const char* SupportAddress = "support@ombrelay.org";
inline constexpr const char* Copyright = "Copyright (c) 2026 The Ombrelay developers";

// Controls of the About dialog.
enum AboutControl {
    AboutPicture = 1009,
    CopyrightLabel = 1010,
    ContactLabel = 1012,
    AboutPictureBand = 1113,
    AboutOkButton = 1013,
    AboutTaglineLabel = 1011,
    VisitLabel = 1164,
    LinkLabel = 1165,
    AboutDevicesLabel = 1166,
};

ui::Dialog AboutLayout();
// Runs the About dialog modally; OK is its only way out.
int AboutDialog(ui::WindowHandle owner);
