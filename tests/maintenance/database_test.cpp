#include "common/files.h"
#include "maintenance/database.h"
#include "maintenance/database_dialog.h"
#include "store/folder_lock.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr unsigned Notice = ui::MbTaskModal | ui::MbIconInformation;
constexpr unsigned Warning = ui::MbTaskModal | ui::MbIconExclamation;
constexpr const char* BackupDone = "Backup of databases and indexes is complete";
constexpr const char* RestoreDone =
    "Databases and indexes have now been\r\nrestored - close and restart Ombrelay";

const std::vector<ApplicationRow> FirstApplications = {
    {"Zeta Mail", "Z-100", "sales@zeta.example", "Yes"},
    {"alpha notes", "A-200", "", "No"},
};
const UserRow FirstUser = {"Ann",      "Lee",      "ann@home.example",
                           "1A2B3C4D", "5E6F7A8B", "smtp.home.example",
                           "secret",   "ann",      "pw"};

void ExpectSameUser(const UserRow& actual, const UserRow& expected) {
    EXPECT_EQ(actual.firstName, expected.firstName);
    EXPECT_EQ(actual.lastName, expected.lastName);
    EXPECT_EQ(actual.email, expected.email);
    EXPECT_EQ(actual.newPin, expected.newPin);
    EXPECT_EQ(actual.loginName, expected.loginName);
    EXPECT_EQ(actual.loginPassword, expected.loginPassword);
}

// The files of a folder with their bytes, temporary files included.
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = ReadFile(entry.path());
    }
    return files;
}

class Maintenance : public InTempFolder {
protected:
    void SetUp() override {
        AddApplications(FirstApplications);
        StoreUser(FirstUser);
        OpenApplicationTable(); // makes the index file
        XDBCLOSE(applicationTable);
        ASSERT_TRUE(fs::exists(ApplicationIndexFile));
    }
    void TearDown() override { SetWriteStepHookForTesting({}); }

    // The Database dialog, open as the operations find it.
    ui::WindowHandle OpenDatabaseDialog() { return ui.OpenWindow(DatabaseLayout()); }
    bool StillOpen(ui::WindowHandle dialog) { return !ui.WindowOf(dialog).ended; }

    // The live table and index files with their bytes.
    std::map<std::string, std::string> LiveFiles() {
        auto files = Contents(".");
        std::erase_if(files, [](const auto& file) {
            return file.first != "Application.dbf" && file.first != "User.dbf" &&
                   file.first != "Application.idx" && file.first != "application.idx" &&
                   file.first != "user.idx";
        });
        return files;
    }

    HeadlessPlatform ui;
};

// Another running copy of the program, holding the tables' lock until it is destroyed.
class OtherCopyHoldingTheLock {
public:
    OtherCopyHoldingTheLock() {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            throw std::runtime_error("pipe");
        child_ = ::fork();
        if (child_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            FolderLock lock(".");
            const char held = lock.held() ? 'y' : 'n';
            char ignored;
            if (::write(ready[1], &held, 1) == 1)
                (void)!::read(release[0], &ignored, 1); // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char answer = 'n';
        held = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~OtherCopyHoldingTheLock() {
        ::close(release_);
        int status = 0;
        ::waitpid(child_, &status, 0);
    }
    bool held = false;

private:
    pid_t child_ = -1;
    int release_ = -1;
};

using Backups = Maintenance;

TEST_F(Backups, CreatesTheMissingFolderCopiesWhatExistsAndEndsTheDialog) {
    ASSERT_FALSE(fs::exists("BNG"));
    const auto dialog = OpenDatabaseDialog();
    Backup();

    // No "user.idx" is no failure; every other file is copied under its own name.
    EXPECT_EQ(Contents("BNG"), LiveFiles());
    EXPECT_EQ(Contents("BNG").size(), 3u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text, BackupDone);
    EXPECT_EQ(ui.LastMessage().caption, "Ombrelay System Message");
    EXPECT_EQ(ui.LastMessage().style, Notice);
    EXPECT_FALSE(StillOpen(dialog));
}

TEST_F(Backups, ASecondRunReplacesTheFirstAndCopiesUserIdxWhenPresent) {
    fs::create_directory("BNG");
    WriteFile("BNG/User.dbf", "a copy from long ago");
    Backup();
    EXPECT_EQ(Contents("BNG"), LiveFiles());

    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});
    WriteFile("user.idx", "an index of another program");
    Backup();
    EXPECT_EQ(Contents("BNG"), LiveFiles()); // no temporary file left either
    EXPECT_EQ(Contents("BNG").size(), 4u);
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.LastMessage().text, BackupDone);
}

TEST_F(Backups, NothingSavedIsNeverCalledComplete) {
    const auto dialog = OpenDatabaseDialog();
    WriteFile("BNG", "a file where the folder should be");
    Backup();
    EXPECT_NE(ui.LastMessage().text.find("could not be created"), std::string::npos);
    EXPECT_EQ(ReadFile("BNG"), "a file where the folder should be");

    fs::remove("BNG");
    for (const auto& file : MaintainedFiles)
        fs::remove(file.name);
    Backup();
    EXPECT_NE(ui.LastMessage().text.find("no databases or indexes"), std::string::npos);
    for (const auto& message : ui.messages)
        EXPECT_EQ(message.style, Warning);
    EXPECT_TRUE(StillOpen(dialog));
}

TEST_F(Backups, AFileThatCannotBeCopiedKeepsItsEarlierCopyAndTheDialogOpen) {
    Backup();
    const auto earlier = Contents("BNG");
    StoreUser({"Bob", "Ray", "bob@example.org", "", "", "", "", "bob", "pw2"});
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});

    // The copy of the second file, "User.dbf", fails half-way.
    int writes = 0;
    SetWriteStepHookForTesting([&](WriteStep step) {
        if (step == WriteStep::TemporaryCreated)
            ++writes;
        return !(writes == 2 && step == WriteStep::DataWritten);
    });
    const auto dialog = OpenDatabaseDialog();
    Backup();
    SetWriteStepHookForTesting({});

    const auto now = Contents("BNG");
    EXPECT_EQ(now.at("User.dbf"), earlier.at("User.dbf"));
    EXPECT_EQ(now.at("Application.dbf"), ReadFile("Application.dbf"));
    EXPECT_EQ(now.size(), 3u);
    EXPECT_EQ(ui.LastMessage().style, Warning);
    EXPECT_NE(ui.LastMessage().text.find("User.dbf"), std::string::npos);
    EXPECT_EQ(ui.LastMessage().text.find("Application.dbf"), std::string::npos);
    EXPECT_NE(ui.LastMessage().text, BackupDone);
    EXPECT_TRUE(StillOpen(dialog));
}

TEST_F(Backups, AFileThatCannotBeReadIsNamedAndItsEarlierCopyKept) {
    Backup();
    const auto earlier = Contents("BNG");
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});
    StoreUser({"Bob", "Ray", "bob@example.org", "", "", "", "", "bob", "pw2"});
    // Another user runs the backup: it may write the copies but not read "User.dbf".
    fs::permissions("BNG", fs::perms::all);
    fs::permissions("User.dbf", fs::perms::none);
    const auto dialog = OpenDatabaseDialog();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(2);
        Backup();
        const bool named = ui.messages.size() == 2 && ui.messages[1].style == Warning &&
                           ui.messages[1].text.find("User.dbf") != std::string::npos &&
                           ui.messages[1].text.find("Application") == std::string::npos;
        ::_exit(named && StillOpen(dialog) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the failure was not reported as it should be, or the dialog closed";
    fs::permissions("User.dbf", fs::perms::owner_read | fs::perms::owner_write);
    const auto now = Contents("BNG");
    EXPECT_EQ(now.at("User.dbf"), earlier.at("User.dbf"));
    EXPECT_EQ(now.at("Application.dbf"), ReadFile("Application.dbf"));
    EXPECT_EQ(now.size(), 3u);
}

TEST_F(Backups, NamesThatDifferInLetterCaseReachTheOneFile) {
    // An earlier backup under the canonical name, then the live index spelled in lower case.
    Backup();
    fs::rename("Application.idx", "application.idx");
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});
    OpenApplicationTable(); // the store finds the lower-case index and brings it up to date
    XDBCLOSE(applicationTable);
    ASSERT_FALSE(fs::exists("Application.idx"));

    Backup();
    const auto copies = Contents("BNG");
    EXPECT_EQ(copies.count("Application.idx"), 0u) << "the copy of the old spelling is replaced";
    EXPECT_EQ(copies.at("application.idx"), ReadFile("application.idx"));
    EXPECT_EQ(ui.LastMessage().text, BackupDone);

    // Restore writes over the live file of whatever spelling rather than adding a second one.
    WriteFile("application.idx", "damaged");
    Restore();
    EXPECT_EQ(ReadFile("application.idx"), copies.at("application.idx"));
    EXPECT_FALSE(fs::exists("Application.idx"));
}

using Restores = Maintenance;

TEST_F(Restores, AFullBackupBringsTheTablesBackAndTheDialogStaysOpen) {
    WriteFile("user.idx", "kept by another program");
    Backup();
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});
    StoreUser({"Bob", "Ray", "bob@example.org", "", "", "", "", "bob", "pw2"});
    WriteFile("user.idx", "changed");

    const auto dialog = OpenDatabaseDialog();
    Restore();
    EXPECT_EQ(StoredApplications(), FirstApplications);
    ExpectSameUser(StoredUser(), FirstUser);
    EXPECT_EQ(ReadFile("user.idx"), "kept by another program");
    EXPECT_EQ(ui.LastMessage().text, RestoreDone);
    EXPECT_EQ(ui.LastMessage().style, Notice);
    EXPECT_TRUE(StillOpen(dialog));
}

TEST_F(Restores, APartialBackupRestoresWhatItHoldsAndNamesTheRest) {
    Backup(); // without "user.idx", which is never asked for
    fs::remove("BNG/User.dbf");
    const UserRow later = {"Bob", "Ray", "bob@example.org", "", "", "", "", "bob", "pw2"};
    StoreUser(later);
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});

    Restore();
    EXPECT_EQ(StoredApplications(), FirstApplications);
    ExpectSameUser(StoredUser(), later); // no copy, so left as it was
    EXPECT_EQ(ui.LastMessage().style, Warning);
    const std::string& text = ui.LastMessage().text;
    EXPECT_NE(text.find("User.dbf"), std::string::npos);
    EXPECT_EQ(text.find("user.idx"), std::string::npos);
    EXPECT_EQ(text.find("Application.dbf"), std::string::npos);
}

TEST_F(Restores, AFileThatCannotBeWrittenIsLeftWholeAndNamed) {
    Backup();
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});
    const std::string live = ReadFile("Application.dbf");
    int writes = 0;
    SetWriteStepHookForTesting([&](WriteStep step) {
        if (step == WriteStep::TemporaryCreated)
            ++writes;
        return !(writes == 1 && step == WriteStep::DataSynced);
    });
    Restore();
    SetWriteStepHookForTesting({});
    EXPECT_EQ(ReadFile("Application.dbf"), live);
    EXPECT_EQ(ui.LastMessage().style, Warning);
    EXPECT_NE(ui.LastMessage().text.find("Application.dbf"), std::string::npos);
    EXPECT_NE(ui.LastMessage().text, RestoreDone);
}

TEST_F(Restores, WithoutAnyBackupNothingChanges) {
    const auto before = LiveFiles();
    Restore(); // no folder
    fs::create_directory("BNG");
    Restore(); // an empty folder
    EXPECT_EQ(LiveFiles(), before);
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.style, Warning);
        EXPECT_NE(message.text.find("no backup"), std::string::npos) << message.text;
    }
}

TEST_F(Maintenance, NothingIsCopiedWhileAnotherCopyHoldsTheTables) {
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    Backup();
    const auto backup = Contents("BNG");
    AddApplications({{"Gamma", "G-1", "g@example.org", "No"}});
    const auto live = LiveFiles();
    {
        OtherCopyHoldingTheLock other;
        ASSERT_TRUE(other.held);
        const auto dialog = OpenDatabaseDialog();
        Backup();
        EXPECT_NE(ui.LastMessage().text.find("in use by another running copy"), std::string::npos);
        EXPECT_EQ(ui.LastMessage().style, Warning);
        Restore();
        EXPECT_NE(ui.LastMessage().text.find("nothing was restored"), std::string::npos);
        EXPECT_TRUE(StillOpen(dialog));
        // Reindex cannot open the table; it must not claim success either.
        const std::size_t shown = ui.messages.size();
        Reindex();
        ASSERT_GT(ui.messages.size(), shown);
        for (std::size_t i = shown; i < ui.messages.size(); ++i)
            EXPECT_NE(ui.messages[i].text, "Databases have been reindexed");
    }
    SetLockWaitForTesting(std::chrono::milliseconds(0));
    EXPECT_EQ(Contents("BNG"), backup);
    EXPECT_EQ(LiveFiles(), live);
}

// The names in the order a browse through the index gives them.
std::vector<std::string> NamesInIndexOrder() {
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    const int index = XDBOPENINDEX(ApplicationIndexFile, table);
    std::vector<std::string> names;
    XDBMOVEFIRST(table, index);
    while (XDBEOF(table) == 0 && names.size() < 10) {
        names.push_back(XDBFIELDVALUE(table, "APPNAME", 0));
        XDBMOVENEXT(table, index);
    }
    XDBCLOSE(table);
    return names;
}

TEST_F(Maintenance, ReindexRebuildsADamagedOrMissingIndex) {
    AddApplications({{"Mid", "M-1", "m@example.org", "No"}});
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "damaged");
        if (deleted)
            fs::remove(ApplicationIndexFile);
        else
            WriteFile(ApplicationIndexFile, "not an index at all");
        ui.messages.clear();
        const auto dialog = OpenDatabaseDialog();
        Reindex();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.LastMessage().text, "Databases have been reindexed");
        EXPECT_EQ(ui.LastMessage().style, Notice);
        EXPECT_TRUE(StillOpen(dialog));
        ui.CloseWindow(dialog);
        ASSERT_TRUE(fs::exists(ApplicationIndexFile));
        EXPECT_NE(ReadFile(ApplicationIndexFile), "not an index at all");
        EXPECT_EQ(NamesInIndexOrder(),
                  (std::vector<std::string>{"alpha notes", "Mid", "Zeta Mail"}));
    }
    // The table was closed again: another copy can take the lock.
    OtherCopyHoldingTheLock other;
    EXPECT_TRUE(other.held);
}

using DatabaseDialogs = Maintenance;

TEST_F(DatabaseDialogs, BackupEndsTheDialogRestoreAndReindexDoNot) {
    const auto main = ui.OpenWindow(MainWindowStandIn());
    std::vector<std::string> openAfter;
    const auto note = [&](ui::WindowHandle dialog) {
        openAfter.push_back(ui.FindWindowByTitle("Ombrelay Databases") == dialog ? "open" : "gone");
    };
    ui.actions = {
        [&](ui::WindowHandle d) { ui.Click(d, RestoreButton); },
        note,
        [&](ui::WindowHandle d) { ui.PressMnemonic(d, ReindexButton); },
        note,
        [&](ui::WindowHandle d) { ui.PressMnemonic(d, ExportButton); },
        note,
        [&](ui::WindowHandle d) {
            EXPECT_FALSE(ui.WindowOf(main).enabled) << "owned by the main window";
            ui.Click(d, BackupButton);
        },
    };
    EXPECT_EQ(DatabaseDialog(0), 0);
    EXPECT_FALSE(ui.ranOutOfActions);
    EXPECT_EQ(openAfter, (std::vector<std::string>{"open", "open", "open"}));
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_NE(ui.messages[0].text.find("no backup"), std::string::npos);
    EXPECT_EQ(ui.messages[1].text, "Databases have been reindexed");
    EXPECT_EQ(ui.messages[2].text.rfind("Application Data has been exported", 0), 0u);
    EXPECT_EQ(ui.shellOpens.size(), 1u);
    EXPECT_EQ(ui.messages[3].text, BackupDone);
    EXPECT_TRUE(ui.WindowOf(main).enabled);
}

TEST_F(DatabaseDialogs, CancelAndTheCloseBoxEndItAndAMissingMainWindowIsReported) {
    ui.actions = {[&](ui::WindowHandle d) { ui.Click(d, DatabaseCancelButton); }};
    EXPECT_EQ(DatabaseDialog(0), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text, "wHandle Error in Database Dialog Function");
    EXPECT_EQ(ui.LastMessage().style, Warning);

    ui.OpenWindow(MainWindowStandIn());
    ui.actions = {[&](ui::WindowHandle d) { ui.ClickClose(d); }};
    EXPECT_EQ(DatabaseDialog(0), 0);
    EXPECT_FALSE(ui.ranOutOfActions);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(fs::exists("BNG"));
}

} // namespace
