// Backup, restore, reindex and export on the headless backend, and a run of the Database dialog.

#include "common/clock.h"
#include "common/files.h"
#include "maintenance/database.h"
#include "maintenance/database_dialog.h"
#include "maintenance/export.h"
#include "records/tables.h"
#include "store/folder_lock.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/lock_holder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

const std::string Done = "iBackup of databases and indexes is complete",
                  NoBackup = "!There is no backup to restore: the folder BNG holds no copies of "
                             "the databases and indexes. Nothing was changed.",
                  ExportFile = "12-05-2026application data.txt",
                  Exported = "iApplication Data has been exported to the file " + ExportFile;
const std::vector<ApplicationRecord> First = {{"Zeta Mail", "Z-100", "sales@zeta.example", "Yes"},
                                              {"alpha notes", "A-200", "", "No"}};
const UserRecord Bob = {"Bob", "Ray", "b@h", "", "", "", "", "bob", "pw"};

// The regular files of a folder with their bytes (temporary files would show too).
Files Contents(const fs::path& folder) {
    Files files;
    for (const auto& entry : fs::directory_iterator(folder))
        // The lock and the ".cpg" files that the store writes at each reading are not copied.
        if (entry.is_regular_file() && entry.path().filename() != LockFileName &&
            entry.path().extension() != ".cpg")
            files[entry.path().filename().string()] = ReadFile(entry.path());
    return files;
}

// Fails the nth whole-file write at `step`.
void FailWrite(int nth, WriteStep at) {
    SetWriteStepHookForTesting([nth, at, writes = 0](WriteStep step) mutable {
        writes += step == WriteStep::TemporaryCreated;
        return writes != nth || step != at;
    });
}

class Maintenance : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 12, 5, 23, 59, 58}; });
        AddApplications(First);
        StoreUser({"Ann", "Lee", "a@h", "", "", "", "", "ann", "pw"});
        Reindex(); // makes the index
        ui.Told();
    }
    void TearDown() override { SetWriteStepHookForTesting({}); }

    HeadlessPlatform ui;
};

TEST_F(Maintenance, BackupCopiesEveryFileWholeOrKeepsItsEarlierCopyAndSaysWhich) {
    Backup(); // creates the folder; no "user.idx" is no failure
    const Files earlier = Contents("BNG");
    AddApplications({First[0]});
    WriteFile("user.idx", "kept by another program");
    fs::rename("Application.idx", "application.idx"); // the copy follows the live spelling
    Backup();
    EXPECT_EQ(Contents("BNG"), Contents("."));
#ifndef _WIN32 // the copy of the user table, with its passwords, is private as the table is
    EXPECT_EQ(fs::status("BNG/User.dbf").permissions(), fs::status("User.dbf").permissions());
#endif

    StoreUser(Bob);
    FailWrite(2, WriteStep::DataWritten); // "User.dbf", half-way
    Backup();
    SetWriteStepHookForTesting({});
    EXPECT_EQ(Contents("BNG").at("User.dbf"), earlier.at("User.dbf"));
#ifdef _WIN32 // listed, but another program holds it without sharing it
    const HANDLE other = CreateFileW(L"Application.dbf", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string why = "Permission denied";
#else
    fs::remove("Application.dbf");
    fs::create_symlink("nowhere", "Application.dbf"); // listed, but it cannot be read
    const std::string why = "No such file or directory";
#endif
    Backup();
#ifdef _WIN32
    CloseHandle(other);
#endif
    const std::string kept = "!Backup is not complete. These files could not be copied to the "
                             "folder BNG; their earlier backup copies were kept:\r\n";
    EXPECT_EQ(ui.Told(), (Texts{Done, Done, kept + "User.dbf (Input/output error)",
                                kept + "Application.dbf (" + why + ")"}));
}

TEST_F(Maintenance, RestoreBringsBackWhatTheBackupHoldsEachFileWholeOrNotAtAll) {
    Restore(); // there is no backup
    Backup();
    const Files backup = Contents("BNG");
    AddApplications({First[0]});
    StoreUser(Bob);
    SetLockWaitForTesting(std::chrono::milliseconds(100));
    {
        const LockHolder other(LockFileName); // another running copy
        ASSERT_TRUE(other.held());
        Backup(); // neither copies anything
        Restore();
    }
    EXPECT_EQ(Contents("BNG"), backup);
    fs::remove("BNG/User.dbf"); // a partial backup: the user table stays as it is
    Restore();
    EXPECT_EQ(StoredApplications(), First);
    EXPECT_EQ(StoredUser().firstName, "Bob");
    WriteFile("BNG/User.dbf", backup.at("User.dbf"));
    Restore();
    EXPECT_EQ(Contents("."), backup);
    AddApplications({First[0]});
    const std::string live = ReadFile("Application.dbf");
    FailWrite(1, WriteStep::DataSynced);
    Restore();
    EXPECT_EQ(ReadFile("Application.dbf"), live);
    const std::string part = "!Databases and indexes have been restored only in part - close "
                             "and restart Ombrelay.\r\n\r\nThese files ",
                      busy = "!The databases are in use by another running copy of Ombrelay. "
                             "Close it and try again; nothing was ";
    EXPECT_EQ(
        ui.Told(),
        (Texts{NoBackup, Done, busy + "backed up.", busy + "restored.",
               part + "have no backup copy in the folder BNG and were left as they "
                      "were:\r\nUser.dbf",
               "iDatabases and indexes have now been\r\nrestored - close and restart Ombrelay",
               part + "could not be restored and were left as they were:\r\n"
                      "Application.dbf (Input/output error)"}));
}

TEST_F(Maintenance, TheDialogRunsUntilABackupSucceedsAndReindexRebuildsTheIndex) {
    const std::string index = ReadFile(ApplicationIndexFile);
    WriteFile(ApplicationIndexFile, "not an index");
    WriteFile("BNG", "a file where the backup folder should be");
    for (int button : {RestoreButton, ReindexButton, ExportButton, BackupButton})
        ui.actions.push_back([this, button](ui::WindowHandle d) { ui.Click(d, button); });
    ui.actions.push_back([this](ui::WindowHandle d) {
        fs::remove("BNG");
        ui.Click(d, BackupButton);
    });
    EXPECT_EQ(DatabaseDialog(0), 0);  // without the main window, but it runs
    EXPECT_FALSE(ui.ranOutOfActions); // open until a backup succeeded
    EXPECT_EQ(ui.Told(),
              (Texts{"!wHandle Error in Database Dialog Function", NoBackup,
                     "iDatabases have been reindexed", Exported,
                     "!The backup folder BNG could not be created (File exists). Nothing "
                     "was backed up.",
                     Done}));
    EXPECT_EQ(ReadFile(ApplicationIndexFile), index);
}

TEST_F(Maintenance, ExportWritesTheRecordsInIndexOrderAndReplacesTheDaysFile) {
    const std::string end = "\r\n\r\n\r\n***** To keep your information secure, delete this "
                            "file when you finish using it! *****\r\n",
                      zeta = "Zeta Mail,Z-100,sales@zeta.example\r\n\r\n";
    fs::remove("Application.dbf");
    Export();
    AddApplications({First[0]});
    Export();
    EXPECT_EQ(ReadFile(ExportFile), zeta + end);
    AddApplications({First[1], {"Beta, Inc", "  B-2  ", "b@beta.example", "No"}}); // unquoted
    Export();
    const std::string all = "alpha notes,A-200,\r\n\r\nBeta, Inc,  B-2  ,b@beta.example\r\n\r\n";
    EXPECT_EQ(ReadFile(ExportFile), all + zeta + end);
    ui.shellResult = 2;
    Export();
    EXPECT_EQ(ReadFile(ExportFile), all + zeta + end); // it stays when the shell fails
    EXPECT_EQ(ui.Told(), (Texts{"iThere are no Application Records in Ombrelay", Exported, Exported,
                                Exported, "Error|16|Could not load target file."}));
    EXPECT_EQ(ui.shellOpens.back().target, PathToUtf8(fs::current_path() / ExportFile));
}

} // namespace
