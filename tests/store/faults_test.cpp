// Odd files, folders and refused writes: each is reported, and no record is lost or doubled.

#include "store/folder_lock.h"
#include "store_test.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

using Faults = StoreTest;

TEST_F(Faults, WithoutTheLockFileOrOnAReadOnlyTableNothingIsWritten) {
    AddApplications({{"Alpha", "A"}});
    ::chmod(".", 0777);
    ::chmod(ApplicationTableFile, 0666);
    const std::string before = ReadFile(ApplicationTableFile);
    // Another account's lock file, which an ordinary user can neither open nor lock; then a
    // table marked read-only.
    const struct {
        void (*make)();
        int error;
    } cases[] = {
        {[] { ::chmod(LockFileName, 0600); }, XdbNotLocked},
        {[] { ::chmod(LockFileName, 0666), ::chmod(ApplicationTableFile, 0444); }, XdbWriteFailed},
    };
    for (const auto& c : cases) {
        c.make();
        const int reported = ExitCode(Spawn(
            [this] {
                table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
                const bool read = XDBRECORDCOUNT(table) == 1 && XDBERROR() == 0;
                Add("Bravo");
                return read ? XDBERROR() : 99;
            },
            true));
        EXPECT_EQ(reported, c.error);
        EXPECT_EQ(ReadFile(ApplicationTableFile), before);
    }
    EXPECT_EQ(fs::status(ApplicationTableFile).permissions(), fs::perms(0444)); // not replaced
}

TEST_F(Faults, FilesFarTooLargeAreRefusedWithACode) {
    const auto huge = [](const char* name) { // 40 GiB, sparse
        WriteFile(name, ""), fs::resize_file(name, std::uintmax_t{40} << 30);
    };
    huge(ApplicationTableFile);
    table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    EXPECT_EQ(XDBERROR(), XdbTooLarge);
    fs::remove(ApplicationTableFile);
    AddApplications({{"Alpha", "A"}});
    huge(ApplicationIndexFile);
    XDBRESETERROR();
    Open();
    EXPECT_EQ(XDBERROR(), XdbTooLarge);
    EXPECT_EQ(XDBSEEK(table, index, "ALPHA"), 1); // found all the same
}

TEST_F(Faults, TheUserTableIsCreatedPrivate) {
    XDBCLOSE(XDBOPENEX(UserTableFile, 2, 1, TableKey));
    EXPECT_EQ(fs::status(UserTableFile).permissions(), fs::perms(0600)); // it holds passwords
}
