#pragma once
// The activity log "Ombrelay.dat": a human-readable trail of every change and request.

#include <string>

inline constexpr const char* ActivityLogFile = "Ombrelay.dat";

// Appends one dated entry: '"' CR LF heading MM-DD-YYYY "   " HH:MM:SS CR LF detail '"' CR LF.
// The file is opened, appended to and closed for each entry. An entry that cannot be
// written is lost without stopping the caller.
void ActivityLogAppend(const std::string& heading, const std::string& detail);
