#pragma once
// The About dialog: picture, tagline, copyright, support contact and the home-page link.

#include "ui/platform.h"

inline constexpr const char* AboutTitle = "Ombrelay About";
inline constexpr const char* HomePage = "https://ombrelay.org";
inline constexpr const char* SupportAddress = "support@ombrelay.org";
inline constexpr const char* Copyright = "Copyright (c) 2026 The Ombrelay developers";

ui::Dialog AboutLayout();
// Runs the About dialog modally; OK is its only way out.
int AboutDialog(ui::WindowHandle owner);
