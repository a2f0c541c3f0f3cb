#include "applications/activity_log.h"
#include "common/clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ActivityLog : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 1, 2, 3, 4, 5}; });
    }
    void TearDown() override { SetClockForTesting({}); }
};

TEST_F(ActivityLog, EntriesAreWrittenByteForByteAndAppended) {
    ActivityLogAppend("Application Record Added ",
                      "App name = Viewer   Code/Key =    Vendor Email = a@b.c   Rereg = No");
    const std::string first = "\"\r\nApplication Record Added 01-02-2026   03:04:05\r\n"
                              "App name = Viewer   Code/Key =    Vendor Email = a@b.c   "
                              "Rereg = No\"\r\n";
    EXPECT_EQ(ReadFile(ActivityLogFile), first);

    SetClockForTesting([] { return LocalDateTime{2026, 12, 31, 23, 59, 58}; });
    ActivityLogAppend("Test Email generated ", "Test Email to \"quoted\"@x.org\r\nsecond");
    EXPECT_EQ(ReadFile(ActivityLogFile),
              first + "\"\r\nTest Email generated 12-31-2026   23:59:58\r\n"
                      "Test Email to \"quoted\"@x.org\r\nsecond\"\r\n");
}

TEST_F(ActivityLog, AnUnwritableLogDoesNotStopTheCaller) {
    std::filesystem::create_directory(ActivityLogFile); // a folder where the file should be
    ActivityLogAppend("Heading ", "detail");
    EXPECT_TRUE(std::filesystem::is_directory(ActivityLogFile));
}

} // namespace
