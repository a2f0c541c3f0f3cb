#include "common/files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

using Files = InTempFolder;

TEST_F(Files, NamesMatchWithoutRegardToCaseAndAnExactMatchWins) {
    WriteFile("Template.txt", "x");
    WriteFile("user.idx", "a");
    WriteFile("USER.IDX", "b");
    // A file that is still to be made keeps the name asked for.
    const struct {
        const char *asked, *found;
    } cases[] = {{"template.txt", "Template.txt"},
                 {"TEMPLATE.TXT", "Template.txt"},
                 {"USER.IDX", "USER.IDX"},
                 {"user.idx", "user.idx"},
                 {"New Template.txt", "New Template.txt"}};
    for (const auto& c : cases)
        EXPECT_EQ(ResolveFileName(c.asked).filename(), c.found) << c.asked;
    EXPECT_FALSE(FindFileIgnoringCase(".", "Other.txt").has_value());
}

TEST_F(Files, AtomicWriteReplacesTheWholeFileOrReportsWhyNot) {
    std::error_code error;
    WriteFile("table.dbf", "old");
    ASSERT_TRUE(WriteFileAtomically("table.dbf", "new", error)) << error.message();
    for (auto failing :
         {WriteStep::TemporaryCreated, WriteStep::DataWritten, WriteStep::DataSynced}) {
        SetWriteStepHookForTesting([&](WriteStep step) { return step != failing; });
        EXPECT_FALSE(WriteFileAtomically("table.dbf", "newer", error) || !error);
        SetWriteStepHookForTesting({});
    }
    EXPECT_EQ(ReadFile("table.dbf"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1)
        << "a failed write leaves no temporary file";

    // Root writes anywhere: an ordinary user tries it in a child process.
    fs::create_directory("locked");
    WriteFile("locked/file", "old");
    fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool user = ::geteuid() != 0 || ::setuid(65534) == 0;
        ::_exit(user && !WriteFileAtomically("locked/file", "new", error) && error ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile("locked/file"), "old");
}
