#pragma once
// Behind the Databases dialog's "I&mport": a file of applications chosen, read and judged,
// every verdict shown in the Import Applications dialog, and what the user accepts written in
// one commit.

#include "ui/dialog.h"

namespace importing {
inline constexpr int Description = 1152; // how the file was read
inline constexpr int Lines = 1153;       // one verdict a row
inline constexpr int ImportButton = 1154;
inline constexpr int CancelButton = 1155;
} // namespace importing

ui::Dialog ImportApplicationsLayout();

void Import();
