// Backup, restore, reindex and export: their outcomes as the files show them, and what the
// user is told, held in tests/golden/maintenance/ (the reasons the system gives for a file
// that cannot be copied differ between Linux and Windows, and so do their transcripts).

#include "maintenance/database.h"
#include "maintenance/database_dialog.h"
#include "maintenance/export.h"
#include "maintenance/export_rules.h"
#include "maintenance/import.h"
#include "maintenance/import_rules.h"
#include "store/folder_lock.h"
#include "support/fixtures.h"
#include "support/lock_holder.h"
#include "support/operations.h"
#include "ui/windows.h"

#ifdef _WIN32
#include <windows.h>
constexpr const char* System = "windows";
#else
constexpr const char* System = "linux";
#endif

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;

const std::vector<ApplicationRecord> First = {{"Zeta Mail", "Z-100", "sales@zeta.example", "Yes"},
                                              {"alpha notes", "A-200", "", "No"}};
const UserRecord Bob = {"Bob", "Ray", "b@h", "", "", "", "", "bob", "pw"};

// The regular files of a folder with their bytes; the lock and the ".cpg" files that the
// store writes at each reading are not copied.
Files Contents(const fs::path& folder) {
    Files files;
    for (const auto& entry : fs::directory_iterator(folder))
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

class Maintenance : public Operations {
protected:
    void SetUp() override {
        AddApplications(First);
        StoreUser({"Ann", "Lee", "a@h", "", "", "", "", "ann", "pw"});
        Reindex(); // makes the index
        ui.transcript.clear();
    }
    std::string Golden(const char* name) {
        return std::string("maintenance/") + name + "." + System + ".txt";
    }
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
#else
    fs::remove("Application.dbf");
    fs::create_symlink("nowhere", "Application.dbf"); // listed, but it cannot be read
#endif
    Backup();
#ifdef _WIN32
    CloseHandle(other);
#endif
    ExpectGolden(Golden("backup"), ui.transcript);
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
    ExpectGolden(Golden("restore"), ui.transcript);
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
    EXPECT_EQ(ReadFile(ApplicationIndexFile), index);
    ExpectGolden(Golden("dialog"), ui.transcript);
}

// Each export's bytes follow it in the transcript; the file stays when the shell fails.
TEST_F(Maintenance, ExportWritesTheRecordsInIndexOrderAndReplacesTheDaysFile) {
    const std::string file = ExportFileName(CurrentLocalTime());
    fs::remove("Application.dbf");
    const auto exportAndNote = [&] {
        Export();
        ui.transcript += "---- " + file + "\n" + ReadFile(file) + "----\n";
    };
    exportAndNote();
    AddApplications({First[0]});
    exportAndNote();
    AddApplications({First[1], {"Beta, Inc", "  B-2  ", "b@beta.example", "No"}}); // unquoted
    exportAndNote();
    ui.shellResult = 2;
    exportAndNote();
    ExpectGolden(Golden("export"), ui.transcript);
}

} // namespace

namespace {

// A file of every kind of row, judged against a table of the DOS code page 850 (which has no
// euro sign): its verdicts, then what Import shows and writes, all in one transcript.
class Importing : public Maintenance {
protected:
    void SetUp() override {
        Maintenance::SetUp();
        AddApplications({{"Berry Weather", "WX-2291", "keys@berry.example", "Yes"},
                         {"Pocket Ledger", "PL7-0042", "support@ledger.example", "No"},
                         {"Chess Companion", "CC-9001", "codes@chess.example", "No"}});
        std::string dos = ReadFile("Application.dbf");
        dos[29] = 0x02;
        WriteFile("Application.dbf", dos);
        fs::copy_file(TestsFile("data/import-scenario/applications.csv"), "applications.csv");
        main = ui.OpenWindow(MainWindowStandIn());
        ui.OpenWindow(DatabaseLayout());
    }
    void NoteTable() {
        for (const auto& record : StoredApplications())
            ui.Note("stored", record.name + "|" + record.code + "|" + record.vendorEmail + "|" +
                                  record.request);
        ui.Note("status", ui.ControlText(main, ui::MainStatusBar));
    }
    // Import, with the verdicts shown and then Import (or Cancel) pressed.
    void ImportFile(const std::string& name, int button) {
        ui.chosenFiles.push_back(name);
        ui.actions.push_back([this, button](ui::WindowHandle dialog) {
            ui.Note("description", ui.ControlText(dialog, importing::Description));
            ui.Note("rows", "\n" + ui.ControlText(dialog, importing::Lines));
            ui.Click(dialog, button);
        });
        Import();
    }

    ui::WindowHandle main = 0;
};

TEST_F(Importing, EveryRowIsJudgedAsSaveJudgesItAndTheAcceptedOnesAreWrittenAtOnce) {
    Import(); // the chooser cancelled
    WriteFile("big.csv", std::string(ImportFileLimit + 1, 'x'));
    WriteFile("binary.csv", std::string("a,b,c\0", 6));
    WriteFile("refused.csv", "Name,Code,Email\r\nA, ,a@x\r\n");
    for (const char* file : {"big.csv", "binary.csv", "refused.csv"}) {
        ui.chosenFiles.push_back(file);
        Import();
    }
    SetLockWaitForTesting(std::chrono::milliseconds(100));
    {
        const LockHolder other(LockFileName); // another running copy: nothing is judged
        ui.chosenFiles.push_back("applications.csv");
        Import();
    }
    ImportFile("applications.csv", importing::CancelButton);
    NoteTable();
    FailWrites();
    ImportFile("applications.csv", importing::ImportButton);
    FailWrites(false);
    NoteTable();
    ImportFile("applications.csv", importing::ImportButton);
    NoteTable();
    ImportFile("applications.csv", importing::ImportButton); // now it changes nothing
    ExpectTranscript("maintenance/import.txt");
}

} // namespace
