#pragma once
// The local clock, which tests can fix.

#include <functional>
#include <string>

struct LocalDateTime {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
};

LocalDateTime CurrentLocalTime();
void SetClockForTesting(std::function<LocalDateTime()> clock); // an empty function restores it

std::string FormatDate(const LocalDateTime& when); // "MM-DD-YYYY"
std::string FormatTime(const LocalDateTime& when); // "HH:MM:SS", 24-hour clock
