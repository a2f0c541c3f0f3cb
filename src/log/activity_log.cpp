#include "log/activity_log.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"

void ActivityLogAppend(const std::string& heading, const std::string& detail) {
    const LocalDateTime now = CurrentLocalTime(); // the date is taken before the time
    std::string entry = "\"";
    entry += CRLF;
    entry += heading + FormatDate(now) + "   " + FormatTime(now);
    entry += CRLF;
    entry += detail + "\"";
    entry += CRLF;
    // One write of the whole entry, so an entry is never interleaved with another; a log
    // that is not a plain file (a FIFO, a device) is never waited on.
    std::error_code ignored;
    AppendToFile(ActivityLogFile, entry, ignored);
}

void ActivityLogAppend(const LogEntry& entry) {
    ActivityLogAppend(entry.heading, entry.detail);
}
