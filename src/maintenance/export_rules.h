#pragma once
// The export of the application data: its file name and its bytes.

#include "common/clock.h"
#include "records/application_table.h"

#include <string>
#include <vector>

// "MM-DD-YYYY" followed directly by "application data.txt".
std::string ExportFileName(const LocalDateTime& day);

// The warning line that ends the export file.
inline constexpr const char* ExportWarningLine =
    "***** To keep your information secure, delete this file when you finish using it! *****";

// Name, code and vendor e-mail of each record, joined by commas and followed by an empty
// line, then four more empty lines and the warning line; lines end in CR LF.
std::string ExportText(const std::vector<ApplicationRecord>& recordsInNameOrder);

inline constexpr const char* NothingToExportText = "There are no Application Records in Ombrelay";
