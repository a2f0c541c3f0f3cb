#include "common/clock.h"
#include "common/files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

using Files = InTempFolder;

TEST_F(Files, NamesAreMatchedWithoutRegardToCase) {
    WriteFile("Template.txt", "x");
    EXPECT_EQ(ResolveFileName("template.txt").filename(), "Template.txt");
    EXPECT_EQ(ResolveFileName("TEMPLATE.TXT").filename(), "Template.txt");
    // A file that does not exist yet keeps the name it was asked for.
    EXPECT_EQ(ResolveFileName("Email Test Template.txt").filename(), "Email Test Template.txt");
    EXPECT_FALSE(FindFileIgnoringCase(".", "Other.txt").has_value());
}

TEST_F(Files, AnExactMatchWinsOverOtherCases) {
    WriteFile("user.idx", "a");
    WriteFile("USER.IDX", "b");
    EXPECT_EQ(ResolveFileName("USER.IDX").filename(), "USER.IDX");
    EXPECT_EQ(ResolveFileName("user.idx").filename(), "user.idx");
}

TEST_F(Files, AtomicWriteReplacesWholeOrNotAtAll) {
    std::error_code error;
    WriteFile("table.dbf", "old content");
    ASSERT_TRUE(WriteFileAtomically("table.dbf", "new", error)) << error.message();
    EXPECT_EQ(ReadFile("table.dbf"), "new");

    for (auto failing : {WriteStep::TemporaryCreated, WriteStep::DataWritten,
                         WriteStep::DataSynced}) {
        SetWriteStepHookForTesting([&](WriteStep step) { return step != failing; });
        EXPECT_FALSE(WriteFileAtomically("table.dbf", "newer", error));
        SetWriteStepHookForTesting({});
        EXPECT_EQ(ReadFile("table.dbf"), "new");
    }
    // Nothing is left behind by the failed attempts.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("."))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(Files, AtomicWriteReportsAFolderItCannotWrite) {
    fs::create_directory("locked");
    WriteFile("locked/file", "old");
    fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    // Root writes anywhere; the write is tried as an ordinary user in a child process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(2);
        std::error_code error;
        const bool written = WriteFileAtomically("locked/file", "new", error);
        ::_exit(!written && error ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile("locked/file"), "old");
}

TEST(Clock, DatesAndTimesAreZeroPadded) {
    const LocalDateTime when{2026, 3, 7, 9, 5, 2};
    EXPECT_EQ(FormatDate(when), "03-07-2026");
    EXPECT_EQ(FormatTime(when), "09:05:02");
    SetClockForTesting([&] { return when; });
    EXPECT_EQ(FormatDate(CurrentLocalTime()), "03-07-2026");
    SetClockForTesting({});
    EXPECT_GE(CurrentLocalTime().year, 2024);
}
