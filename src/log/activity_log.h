#pragma once
// The activity log "Ombrelay.dat": a human-readable trail of every change and request.

#include <string>

inline constexpr const char* ActivityLogFile = "Ombrelay.dat";

// One entry before it is dated: its heading (which ends in the blanks that part it from the
// date) and its detail text.
struct LogEntry {
    std::string heading;
    std::string detail;
    friend bool operator==(const LogEntry&, const LogEntry&) = default;
};

// Appends one dated entry: '"' CR LF heading MM-DD-YYYY "   " HH:MM:SS CR LF detail '"' CR LF.
// The file is opened, appended to and closed for each entry. An entry that cannot be
// written is lost without stopping the caller.
void ActivityLogAppend(const std::string& heading, const std::string& detail);
void ActivityLogAppend(const LogEntry& entry);
