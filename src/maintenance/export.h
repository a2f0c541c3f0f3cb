#pragma once
// The export of the application data to a dated text file in the current folder.

#include "common/clock.h"

#include <string>

// "MM-DD-YYYY" followed directly by "application data.txt".
std::string ExportFileName(const LocalDateTime& day);

// The warning line that ends the export file.
inline constexpr const char* ExportWarningLine =
    "***** To keep your information secure, delete this file when you finish using it! *****";

// Writes name, code and vendor e-mail of every application, in index order, to the export
// file (replacing one of the same name), tells the user its name and opens it with the shell.
void Export();
