// Damaged files, odd folders and refused writes: each is reported, and no record is lost,
// doubled or swallowed.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "store/folder_lock.h"
#include "store_test.h"
#include "support/headless_platform.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The Application Information dialog and the main window, for running the operations.
struct Dialogs {
    HeadlessPlatform ui;
    ui::WindowHandle main = ui.OpenWindow(MainWindowStandIn());
    ui::WindowHandle apps = ui.OpenWindow(ApplicationInformationLayout());

    void Save(const std::string& name, const std::string& code) {
        ui.SetControlText(apps, ApplicationNameBox, name);
        ui.SetControlText(apps, RegistrationCodeBox, code);
        ui.SetControlText(apps, VendorEmailBox, "sales@example.com");
        ui.answers = {ui::IdYes, ui::IdYes};
        SaveApplication();
    }
    void Delete(const std::string& name) {
        ui.SetControlText(apps, ApplicationNameBox, name);
        ui.SetControlText(apps, RegistrationCodeBox, "");
        ui.answers = {ui::IdYes, ui::IdYes};
        DeleteApplication();
    }
};

Names NamesOf(const std::vector<ApplicationRecord>& rows) {
    Names names;
    for (const auto& row : rows)
        names.push_back(row.name + "/" + row.code);
    return names;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

using Faults = StoreTest;

TEST_F(Faults, AnIndexThatCannotBeReadOrWrittenStillFindsEveryRecord) {
    const std::pair<const char*, void (*)()> cases[] = {
        {"a folder", [] { fs::create_directory(ApplicationIndexFile); }},
        {"an unreadable file",
         [] { WriteFile(ApplicationIndexFile, "x"), ::chmod(ApplicationIndexFile, 0); }},
        {"a dangling link", [] { fs::create_symlink("elsewhere", ApplicationIndexFile); }},
    };
    for (const auto& [what, make] : cases) {
        TempFolder folder;
        ::chmod(".", 0777); // an ordinary user, whom the file's bits stop
        make();
        // Three saves of one name: the first adds, the others overwrite after their questions.
        const int records = ExitCode(Spawn(
            [] {
                Dialogs dialogs;
                for (const char* code : {"A-1", "A-2", "A-3"})
                    dialogs.Save("Alpha", code);
                const bool reported =
                    dialogs.ui.messages.front().text == "Error:  1 opening index.";
                return reported ? static_cast<int>(StoredApplications().size()) : 99;
            },
            true));
        EXPECT_EQ(records, 1) << what;
        EXPECT_FALSE(fs::exists("elsewhere"));
    }
}

TEST_F(Faults, RecordsMarkedDeletedAreGoneAndNeverSwallowAnEdit) {
    AddApplications({{"Alpha", "A"}, {"Bravo", "B"}, {"Charlie", "C"}});
    // Another dBASE program deletes Bravo without packing.
    std::string bytes = ReadFile(ApplicationTableFile);
    bytes[161 + 766] = '*';
    WriteFile(ApplicationTableFile, bytes);
    EXPECT_EQ(NamesOf(StoredApplications()), (Names{"Alpha/A", "Charlie/C"}));

    Dialogs dialogs;
    ShowApplicationList();
    EXPECT_EQ(dialogs.ui.ControlText(dialogs.apps, ApplicationListBox).find("Bravo"),
              std::string::npos);
    dialogs.Save("Bravo", "B-2"); // added again, without a question about the deleted one
    EXPECT_TRUE(dialogs.ui.answers.size() == 2);
    dialogs.Delete("Alpha");
    EXPECT_EQ(NamesOf(StoredApplications()), (Names{"Charlie/C", "Bravo/B-2"}));
}

TEST_F(Faults, ADeleteWhoseWritesFailDeletesNothing) {
    // The nth file written in the delete fails: it is either done whole or reported and not
    // done at all, and then a later delete takes its own record only.
    for (int failing = 1; failing <= 6; ++failing) {
        TempFolder folder;
        AddApplications({{"Alpha", "A"}, {"Bravo", "B"}, {"Charlie", "C"}});
        Dialogs dialogs;
        ShowApplicationList();
        SetWriteStepHookForTesting([failing, n = 0](WriteStep step) mutable {
            return step != WriteStep::DataWritten || ++n != failing;
        });
        dialogs.Delete("Bravo");
        SetWriteStepHookForTesting({});
        const bool refused =
            !dialogs.ui.messages.empty() && dialogs.ui.messages.back().text.starts_with(
                                                "The application \"Bravo\" was not deleted.");
        EXPECT_EQ(StoredApplications().size(), refused ? 3u : 2u) << failing;
        dialogs.Delete("Alpha");
        EXPECT_EQ(NamesOf(StoredApplications()),
                  refused ? (Names{"Bravo/B", "Charlie/C"}) : (Names{"Charlie/C"}))
            << failing;
    }
}

TEST_F(Faults, WithoutTheLockFileOrOnAReadOnlyTableNothingIsWritten) {
    AddApplications({{"Alpha", "A"}});
    ::chmod(".", 0777);
    ::chmod(ApplicationTableFile, 0666);
    const std::string before = ReadFile(ApplicationTableFile);
    // Another account's lock file, which an ordinary user can neither open nor lock; then a
    // table marked read-only.
    const std::pair<std::function<void()>, int> cases[] = {
        {[] { ::chmod(LockFileName, 0600); }, XdbNotLocked},
        {[] { ::chmod(LockFileName, 0666), ::chmod(ApplicationTableFile, 0444); }, XdbWriteFailed},
    };
    for (const auto& [make, error] : cases) {
        make();
        const int reported = ExitCode(Spawn(
            [this] {
                table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
                const bool read = XDBRECORDCOUNT(table) == 1 && XDBERROR() == 0;
                Add("Bravo");
                return read ? XDBERROR() : 99;
            },
            true));
        EXPECT_EQ(reported, error);
        EXPECT_EQ(ReadFile(ApplicationTableFile), before);
    }
    EXPECT_EQ(ModeOf(ApplicationTableFile), 0444u); // refused, not replaced
}

TEST_F(Faults, FilesFarTooLargeAreRefusedWithACode) {
    const auto huge = [](const char* name) {
        const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_EQ(::ftruncate(fd, off_t{40} << 30), 0); // 40 GiB, sparse
        ::close(fd);
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
    EXPECT_EQ(ModeOf(UserTableFile), 0600u); // it holds passwords
    fs::create_directory("data");
    fs::rename(ApplicationTableFile, "data/apps.dbf");
    fs::create_symlink("data/apps.dbf", ApplicationTableFile);
    Open(), Add("Alpha"), XDBCLOSE(table);
    EXPECT_TRUE(fs::is_symlink(ApplicationTableFile));
    EXPECT_EQ(NamesOf(StoredApplications()), Names{"Alpha/"});
    EXPECT_EQ(XDBERROR(), 0);
}
