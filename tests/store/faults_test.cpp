// Odd files, folders and refused writes: each is reported, and no record is lost or doubled.

#include "store/folder_lock.h"
#include "store_test.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

using Faults = StoreTest;

TEST_F(Faults, AnIndexThatCannotBeReadOrWrittenStillFindsEveryRecord) {
    const struct {
        const char* what;
        void (*make)();
    } cases[] = {
        {"a folder", [] { fs::create_directory(ApplicationIndexFile); }},
        {"an unreadable file",
         [] { WriteFile(ApplicationIndexFile, "x"), ::chmod(ApplicationIndexFile, 0); }},
        {"a dangling link", [] { fs::create_symlink("elsewhere", ApplicationIndexFile); }},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        ::chmod(".", 0777); // an ordinary user, whom the file's bits stop
        c.make();
        // The record added is found all the same, from the index in memory.
        const int reported = ExitCode(Spawn(
            [this] {
                Open(), Add("Alpha");
                return XDBSEEK(table, index, "ALPHA") == 1 ? XDBERROR() : 99;
            },
            true));
        EXPECT_EQ(reported, XdbCannotRead) << c.what;
        EXPECT_FALSE(fs::exists("elsewhere"));
    }
}

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

TEST_F(Faults, TablesArePrivateAndLinksAreWrittenThrough) {
    Open(), XDBCLOSE(table);
    XDBCLOSE(XDBOPENEX(UserTableFile, 2, 1, TableKey));
    EXPECT_EQ(fs::status(UserTableFile).permissions(), fs::perms(0600)); // it holds passwords
    fs::create_directory("data");
    fs::rename(ApplicationTableFile, "data/apps.dbf");
    fs::create_symlink("data/apps.dbf", ApplicationTableFile);
    Open(), Add("Alpha"), XDBCLOSE(table);
    EXPECT_TRUE(fs::is_symlink(ApplicationTableFile));
    EXPECT_EQ(StoredApplications().at(0).at(0), "Alpha");
    EXPECT_EQ(XDBERROR(), 0);
}
