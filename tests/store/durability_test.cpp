// Writes are all or nothing, whatever step fails or stops the process; a user's action costs
// at most two syncs; two processes that write the same table at once lose nothing; the folder
// lock keeps them apart.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "store/dbf_file.h"
#include "store/folder_lock.h"
#include "store/journal.h"
#include "store_test.h"
#include "support/headless_platform.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

bool Spent() {
    return ReadFile(LockFileName).find_first_not_of('\0') == std::string::npos;
}

int two = 2; // the put's record number, passed by reference
// Each write, as the program makes it: the delete's mark reaches the file with the pack, or
// at the close when nothing follows it.
using Write = std::pair<const char*, void (*)(int)>;
const Write Writes[] = {
    {"add", [](int t) { XDBADDRECORD(t); }},
    {"put", [](int t) { XDBPUTRECORD(t, two); }},
    {"delete and pack", [](int t) { XDBDELETERECORD(t, 3), XDBPACK(t); }},
    {"pack", [](int t) { XDBPACK(t); }}, // gives back the room of the record deleted before
    {"delete and close", [](int t) { XDBDELETERECORD(t, 1); }},
};

// Every step of a write in place, then those of the index file's replacement (not synced).
const WriteStep Steps[] = {WriteStep::JournalCleared, WriteStep::DataWritten,
                           WriteStep::DataSynced,     WriteStep::TableWritten,
                           WriteStep::TableSynced,    WriteStep::TemporaryCreated,
                           WriteStep::Renamed};

bool TableStep(WriteStep step) {
    return step != WriteStep::TemporaryCreated && step != WriteStep::Renamed;
}

} // namespace

class Durability : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        Open();
        for (const char* name : {"Charlie", "Alpha", "Bravo", "Echo"})
            Add(name);
        XDBDELETERECORD(table, 4); // something for the pack to remove
        XDBCLOSE(table);
        oldFiles = Files();
    }
    Names Files() { return {ReadFile(ApplicationTableFile), ReadFile(ApplicationIndexFile)}; }
    // The table file as a reader finds it, its date of last update aside.
    static std::string TableBytes() { return ReadFile(ApplicationTableFile).erase(1, 3); }
    void RestoreOldFiles() {
        WriteFile(ApplicationTableFile, oldFiles[0]);
        WriteFile(ApplicationIndexFile, oldFiles[1]);
    }
    // What the store reads: the count and the names in record order.
    std::string Seen() {
        Open();
        std::string seen = std::to_string(XDBRECORDCOUNT(table));
        for (int record = 1; record <= XDBRECORDCOUNT(table); ++record)
            XDBGETRECORD(table, record), seen += " " + Name();
        XDBCLOSE(table);
        return seen;
    }

    std::vector<std::pair<std::string, std::string>> NewTables();
    // Runs `check` for each write at each of its steps, from the old files every time, with
    // the write as a write nothing stops makes it: table bytes and what the store reads.
    void EachWriteAtEachStep(
        const std::function<void(const Write& write, WriteStep step,
                                 const std::pair<std::string, std::string>& made)>& check) {
        const auto made = NewTables();
        for (std::size_t i = 0; i < std::size(Writes); ++i) {
            for (const WriteStep step : Steps) {
                SCOPED_TRACE(std::string(Writes[i].first) + " at step " +
                             std::to_string(static_cast<int>(step)));
                RestoreOldFiles();
                check(Writes[i], step, made[i]);
            }
        }
    }

    Names oldFiles;
};

// Each write as a write that nothing stops makes it: the table bytes and what the store reads.
std::vector<std::pair<std::string, std::string>> Durability::NewTables() {
    std::vector<std::pair<std::string, std::string>> made;
    for (const auto& write : Writes) {
        RestoreOldFiles();
        Open(), write.second(table), XDBCLOSE(table);
        made.emplace_back(TableBytes(), Seen());
    }
    return made;
}

TEST_F(Durability, AWriteThatFailsAtAnyStepLeavesTheOldTableAndCanBeMadeAgain) {
    const std::string oldTable = TableBytes();
    const std::string oldSeen = Seen();
    EachWriteAtEachStep([&](const Write& write, WriteStep step, const auto& made) {
        const auto run = write.second;
        Open();
        SetWriteStepHookForTesting([&](WriteStep at) { return at != step; });
        run(table);
        XDBCLOSE(table);
        SetWriteStepHookForTesting({});
        const bool fails = TableStep(step) && step != WriteStep::JournalCleared;
        EXPECT_EQ(XDBERROR(), fails ? XdbWriteFailed : XdbOk);
        if (fails) {
            EXPECT_EQ(TableBytes(), oldTable);
            EXPECT_EQ(Seen(), oldSeen);
            EXPECT_TRUE(Spent()); // the journal
            XDBRESETERROR();
            Open(), run(table), XDBCLOSE(table);
        }
        EXPECT_EQ(XDBERROR(), 0);
        EXPECT_EQ(TableBytes(), made.first);
        EXPECT_EQ(Seen(), made.second);
        EXPECT_NE(made.first, oldTable);
    });
}

TEST_F(Durability, AProcessStoppedAtAnyStepOfAWriteLeavesTheOldOrTheNewTable) {
    SKIP_WITHOUT_FORK();
    const std::string oldTable = TableBytes();
    const std::string oldSeen = Seen();
    // Once the table is touched, a stop leaves any mix of old and new bytes in the ranges the
    // journal holds, the header among them.
    EachWriteAtEachStep([&](const Write& write, WriteStep step, const auto& made) {
        const auto run = write.second;
        ExitCode(Spawn([&] {
            SetWriteStepHookForTesting([&](WriteStep at) {
                if (at == step)
                    ::_exit(0);
                return true;
            });
            Open(), run(table), XDBCLOSE(table);
            return 1;
        }));
        if (step == WriteStep::TableWritten)
            WriteFile(ApplicationTableFile, ReadFile(ApplicationTableFile).replace(4, 4, "XXXX"));
        const bool committed = !TableStep(step) || step == WriteStep::JournalCleared;
        EXPECT_EQ(Seen(), committed ? made.second : oldSeen);
        EXPECT_EQ(TableBytes(), committed ? made.first : oldTable);
        // Between commits the files are plain dBASE; the next open left the index a rebuild
        // makes, and nothing else behind.
        DbfTable parsed;
        EXPECT_EQ(ParseDbf(ReadFile(ApplicationTableFile), parsed), XdbOk);
        Open();
        const std::string found = ReadFile(ApplicationIndexFile);
        XDBCLOSE(table);
        fs::remove(ApplicationIndexFile);
        Open(), XDBCLOSE(table);
        EXPECT_EQ(ReadFile(ApplicationIndexFile), found);
        EXPECT_TRUE(Spent()); // the journal
        // The table, its index, the lock and the table's .cpg.
        EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 4);
        EXPECT_EQ(XDBERROR(), 0);
    });
}

TEST_F(Durability, AJournalIsPlayedBackOnlyOverTheFileItWasMadeFor) {
    SKIP_WITHOUT_FORK();
    // A write stopped once the table was touched, then the table replaced whole by a copy of
    // itself as a restore does it: the journal no longer belongs to it. A backup or restore
    // plays back any journal before it copies.
    const auto stopped = [&] {
        RestoreOldFiles();
        ExitCode(Spawn([&] {
            SetWriteStepHookForTesting([](WriteStep at) {
                if (at == WriteStep::TableSynced)
                    ::_exit(0);
                return true;
            });
            Open(), XDBADDRECORD(table), XDBCLOSE(table);
            return 1;
        }));
        return ReadFile(ApplicationTableFile);
    };
    const std::string half = stopped();
    EXPECT_NE(half, oldFiles[0]);
    std::error_code error;
    ASSERT_TRUE(WriteFileAtomically(ApplicationTableFile, half, error));
    Open(), XDBCLOSE(table);
    EXPECT_EQ(ReadFile(ApplicationTableFile), half);

    stopped();
    {
        FolderLock lock(".");
        ASSERT_TRUE(XdbFinishInterruptedWrite("."));
    }
    EXPECT_EQ(ReadFile(ApplicationTableFile), oldFiles[0]);
    EXPECT_TRUE(Spent());
}

// The operations a user starts with one button, each one durable commit: a journal and the
// table synced, the index never.
TEST_F(Durability, EveryActionThatWritesATableSyncsTwiceAtMost) {
    HeadlessPlatform ui;
    ui.OpenWindow(MainWindowStandIn());
    const ui::WindowHandle apps = ui.OpenWindow(ApplicationInformationLayout());
    const ui::WindowHandle user = ui.OpenWindow(UserSetupLayout());
    const auto fill = [&](ui::WindowHandle window,
                          const std::vector<std::pair<int, std::string>>& boxes) {
        for (const auto& [box, text] : boxes)
            ui.SetControlText(window, box, text);
    };
    const auto application = [&](const std::string& name, const std::string& code) {
        fill(apps, {{ApplicationNameBox, name},
                    {RegistrationCodeBox, code},
                    {VendorEmailBox, "sales@example.com"}});
    };
    const std::vector<std::pair<int, std::string>> userForm = {
        {FirstNameBox, "Ann"},          {LastNameBox, "Lee"},    {UserEmailBox, "ann@x.org"},
        {PinBox, "1234ABCD"},           {NewPinBox, "5678ABCD"}, {ServerBox, "smtp.x.org"},
        {MailPasswordBox, "mail"},      {LoginNameBox, "ann"},   {LoginPasswordBox, "pw"},
        {LoginPasswordConfirmBox, "pw"}};
    const std::vector<std::tuple<const char*, std::function<void()>, void (*)()>> actions = {
        {"save (add)", [&] { application("Delta", "D-1"); }, SaveApplication},
        {"save (overwrite)", [&] { application("alpha", "A-2"); }, SaveApplication},
        {"delete", [&] { application("Bravo", "other"); }, DeleteApplication},
        {"save user (add)", [&] { fill(user, userForm); }, SaveUserInformation},
        {"save user (overwrite)", [&] { fill(user, userForm); }, SaveUserInformation},
        {"change password",
         [&] {
             const ui::WindowHandle change = ui.OpenWindow(ChangePasswordLayout());
             fill(change, {{NewPasswordBox, "new"}, {RepeatPasswordBox, "new"}});
         },
         CheckAndSaveNewPassword},
    };
    // The tables as the start of a session leaves them (it creates a missing one).
    ShowApplicationList();
    XDBCLOSE(XDBOPENEX(UserTableFile, 2, 1, TableKey));
    for (const auto& [name, prepare, action] : actions) {
        const std::string before = ReadFile(ApplicationTableFile) + ReadFile(UserTableFile);
        prepare();
        int syncs = 0;
        SetWriteStepHookForTesting([&](WriteStep step) {
            syncs += step == WriteStep::DataSynced || step == WriteStep::TableSynced ||
                     step == WriteStep::FolderSynced;
            return true;
        });
        ui.answers = {ui::IdYes, ui::IdYes, ui::IdYes};
        ui.messages.clear();
        action();
        SetWriteStepHookForTesting({});
        EXPECT_NE(ReadFile(ApplicationTableFile) + ReadFile(UserTableFile), before) << name;
        EXPECT_LE(syncs, 2) << name;
        EXPECT_GE(syncs, 1) << name; // it was written durably
    }
    EXPECT_EQ(StoredApplications().size(), 3u);
    EXPECT_EQ(StoredUser().loginPassword, "new");
}

TEST_F(Durability, TwoProcessesAddingAtOnceLoseNothingAndTheFolderLockKeepsOthersOut) {
    SKIP_WITHOUT_FORK();
    const auto addMany = [this](const std::string& process) {
        for (int i = 0; i < 25; ++i)
            Open(), Add(process + std::to_string(i)), XDBCLOSE(table);
        return XDBERROR();
    };
    const pid_t first = Spawn([&] { return addMany("P"); });
    const pid_t second = Spawn([&] { return addMany("Q"); });
    EXPECT_EQ(ExitCode(first) + ExitCode(second), 0);
    EXPECT_EQ(StoredApplications().size(), 3u + 2 * 25);

    // Until the table is closed.
    SetLockWaitForTesting(std::chrono::milliseconds(200));
    const auto open = [] { return XDBOPENEX(ApplicationTableFile, 2, 1, TableKey), XDBERROR(); };
    Open();
    for (const int expected : {XdbLocked, XdbOk}) { // in another process
        EXPECT_EQ(ExitCode(Spawn(open)), expected);
        XDBCLOSE(table);
    }
    SetLockWaitForTesting(std::chrono::milliseconds(0));
}
