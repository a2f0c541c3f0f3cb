#include "common/clock.h"

#include <cstdio>
#include <ctime>

namespace {

std::function<LocalDateTime()>& TestClock() {
    static std::function<LocalDateTime()> clock;
    return clock;
}

} // namespace

LocalDateTime CurrentLocalTime() {
    if (TestClock())
        return TestClock()();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void SetClockForTesting(std::function<LocalDateTime()> clock) {
    TestClock() = std::move(clock);
}

std::string FormatDate(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", when.month, when.day, when.year);
    return text;
}

std::string FormatTime(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", when.hour, when.minute, when.second);
    return text;
}
