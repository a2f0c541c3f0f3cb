#include "common/clock.h"
#include "log/activity_log.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using ActivityLog = InTempFolder;

TEST_F(ActivityLog, EntriesAreAppendedByteForByteAndAnUnwritableLogStopsNobody) {
    SetClockForTesting([] { return LocalDateTime{2026, 1, 2, 3, 4, 5}; });
    ActivityLogAppend("Test Email generated ", "Test Email to \"quoted\"@x.org");
    ActivityLogAppend("Heading ", "");
    SetClockForTesting({});
    EXPECT_EQ(ReadFile(ActivityLogFile),
              "\"\r\nTest Email generated 01-02-2026   03:04:05\r\nTest Email to "
              "\"quoted\"@x.org\"\r\n\"\r\nHeading 01-02-2026   03:04:05\r\n\"\r\n");

    std::filesystem::remove(ActivityLogFile);
    std::filesystem::create_directory(ActivityLogFile); // where the file should be
    ActivityLogAppend("Heading ", "lost");
    EXPECT_TRUE(std::filesystem::is_directory(ActivityLogFile));
}
