#include "log/activity_log.h"

#include "common/clock.h"
#include "common/text.h"

#include <fstream>

void ActivityLogAppend(const std::string& heading, const std::string& detail) {
    const LocalDateTime now = CurrentLocalTime(); // the date is taken before the time
    std::string entry = "\"";
    entry += CRLF;
    entry += heading + FormatDate(now) + "   " + FormatTime(now);
    entry += CRLF;
    entry += detail + "\"";
    entry += CRLF;
    // One write of the whole entry, so an entry is never interleaved with another.
    std::ofstream log(ActivityLogFile, std::ios::binary | std::ios::app);
    log.write(entry.data(), static_cast<std::streamsize>(entry.size()));
}
