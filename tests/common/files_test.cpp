// The file helpers: whole-file replacement, and what is not a regular file. (Names in any letter
// case: the store's and the operations' tests, which find files so named.)

#include "common/files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#ifdef _WIN32
#include <thread>

#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

using Files = InTempFolder;

TEST_F(Files, AtomicWriteReplacesTheWholeFileOrReportsWhyNot) {
    std::error_code error;
    WriteFile("table.dbf", "old");
    // A file that takes the old one's place is another file; one written in place is not.
    const auto before = FileId("table.dbf");
    ASSERT_TRUE(WriteFileAtomically("table.dbf", "new", error)) << error.message();
    const auto replaced = FileId("table.dbf");
    std::ofstream("table.dbf", std::ios::binary | std::ios::in) << "n";
    EXPECT_TRUE(before != 0 && replaced != before && FileId("table.dbf") == replaced);
    for (auto failing :
         {WriteStep::TemporaryCreated, WriteStep::DataWritten, WriteStep::DataSynced}) {
        SetWriteStepHookForTesting([failing](WriteStep step) { return step != failing; });
        EXPECT_FALSE(WriteFileAtomically("table.dbf", "newer", error) || !error);
    }
    SetWriteStepHookForTesting({});
    EXPECT_FALSE(WriteFileAtomically("missing/table.dbf", "new", error) || !error); // no folder
    EXPECT_EQ(ReadFile("table.dbf"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 1) << "no temporary file is left";
#ifdef _WIN32
    // Another program holding the file open without letting others delete it blocks the
    // replacement: the write waits for it a little, then reports the refusal.
    const auto holdOpen = [] {
        return CreateFileW(L"table.dbf", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE other = holdOpen();
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    std::thread closer([other] {
        Sleep(300);
        CloseHandle(other);
    });
    EXPECT_TRUE(WriteFileAtomically("table.dbf", "after a wait", error)) << error.message();
    closer.join();
    other = holdOpen();
    EXPECT_FALSE(WriteFileAtomically("table.dbf", "never", error) || !error);
    CloseHandle(other);
    EXPECT_EQ(ReadFile("table.dbf"), "after a wait");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 1);
#endif
}

#ifndef _WIN32 // permission bits, links and FIFOs as POSIX has them
TEST_F(Files, AReplacedFileKeepsItsBitsAndALinkStaysALink) {
    std::error_code error;
    WriteFile("private", "old");
    fs::permissions("private", fs::perms(0600));
    fs::create_symlink("private", "link");
    ASSERT_TRUE(WriteFileAtomically("link", "new", error)) << error.message();
    EXPECT_TRUE(fs::is_symlink("link"));
    EXPECT_EQ(ReadFile("private"), "new");
    EXPECT_EQ(fs::status("private").permissions(), fs::perms(0600));
    // A copy takes the bits of what it copies, also over an older copy with other bits.
    WriteFile("copy", "older");
    ASSERT_TRUE(CopyFileAtomically("private", "copy", error));
    EXPECT_TRUE(fs::status("copy").permissions() == fs::perms(0600) && ReadFile("copy") == "new");
}

// In a child process, which a wait on the FIFO would leave ended by its alarm.
TEST_F(Files, AFifoOrADeviceIsNeverWaitedOn) {
    ASSERT_EQ(::mkfifo("Template.txt", 0644), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        std::string bytes;
        std::error_code error;
        ::_exit(ReadWholeFile("Template.txt", bytes, error) ||
                ReadFileStart("Template.txt", 1000, bytes, error) ||
                AppendToFile("Template.txt", "x", error) ||
                ReadWholeFile("/dev/zero", bytes, error) || AppendToFile("/dev/null", "x", error) ||
                !AppendToFile("Ombrelay.dat", "entry", error) ||
                !ReadFileStart("Ombrelay.dat", 3, bytes, error) || bytes != "ent");
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}
#endif
