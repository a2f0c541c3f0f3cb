// The program's actions over the store: what opening a table that cannot be read shows, and
// what each action that writes costs in syncs.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "common/files.h"
#include "records/table_scope.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/golden.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

class Actions : public InTempFolder {
protected:
    void SetUp() override { XDBRESETERROR(); }
    void TearDown() override { SetWriteStepHookForTesting({}); }

    HeadlessPlatform ui;
};

// The store's code, in the message each open shows (tests/golden/e2e/failed_opens.txt), and
// the file left as it was.
TEST_F(Actions, AnOpenThatFailsShowsTheStoresCode) {
    const std::pair<void (*)(), void (*)()> cases[] = {
        {[] { WriteFile(UserTableFile, "not a table"); }, OpenUserTable},
        {[] { WriteFile(ApplicationTableFile, "not a table either"); }, OpenApplicationTable},
        {[] {
             AddApplications({{"Alpha"}});
             std::filesystem::create_directory(ApplicationIndexFile);
         },
         OpenApplicationTable},
    };
    for (const auto& [make, open] : cases) {
        TempFolder folder;
        make();
        const std::string before = ReadFile(UserTableFile) + ReadFile(ApplicationTableFile);
        open();
        XDBCLOSE(applicationTable);
        XDBCLOSE(userTable);
        EXPECT_EQ(ReadFile(UserTableFile) + ReadFile(ApplicationTableFile), before);
        XDBRESETERROR();
    }
    ExpectGolden("e2e/failed_opens.txt", ui.transcript);
}

// The operations a user starts with one button, each one durable commit: the journal synced
// once, the table and the index never.
TEST_F(Actions, EveryActionThatWritesATableSyncsOnce) {
    ui.OpenWindow(MainWindowStandIn());
    const ui::WindowHandle apps = ui.OpenWindow(ApplicationInformationLayout());
    const ui::WindowHandle user = ui.OpenWindow(UserSetupLayout());
    const ui::WindowHandle change = ui.OpenWindow(ChangePasswordLayout());
    using Boxes = std::vector<std::pair<int, std::string>>;
    const auto application = [](const char* name, const char* code) {
        return Boxes{
            {ApplicationNameBox, name}, {RegistrationCodeBox, code}, {VendorEmailBox, "s@x"}};
    };
    // What the first save needs: names, e-mail address, PIN and a login.
    const Boxes userForm = {{FirstNameBox, "Ann"},          {LastNameBox, "Lee"},
                            {UserEmailBox, "a@x"},          {PinBox, "1234ABCD"},
                            {LoginNameBox, "ann"},          {LoginPasswordBox, "pw"},
                            {LoginPasswordConfirmBox, "pw"}};
    const std::tuple<const char*, ui::WindowHandle, Boxes, void (*)()> actions[] = {
        {"save (add)", apps, application("Delta", "D-1"), SaveApplication},
        {"save (overwrite)", apps, application("alpha", "A-2"), SaveApplication},
        {"delete", apps, application("Bravo", "other"), DeleteApplication},
        {"save user (add)", user, userForm, SaveUserInformation},
        {"save user (overwrite)", user, userForm, SaveUserInformation},
        {"change password",
         change,
         {{NewPasswordBox, "n"}, {RepeatPasswordBox, "n"}},
         CheckAndSaveNewPassword},
    };
    // The tables as the start of a session leaves them (it creates a missing one).
    AddApplications({{"Charlie"}, {"Alpha"}, {"Bravo"}});
    ShowApplicationList();
    XDBCLOSE(XDBOPENEX(UserTableFile, 2, 1, TableKey));
    int syncs = 0;
    SetWriteStepHookForTesting([&](WriteStep step) {
        syncs += step == WriteStep::DataSynced || step == WriteStep::TableSynced ||
                 step == WriteStep::FolderSynced;
        return true;
    });
    for (const auto& [name, window, boxes, action] : actions) {
        for (const auto& [box, text] : boxes)
            ui.SetControlText(window, box, text);
        ui.answers = {ui::IdYes, ui::IdYes, ui::IdYes};
        syncs = 0;
        action();
        EXPECT_EQ(syncs, 1) << name; // durably, once
    }
    EXPECT_EQ(StoredApplications().size(), 3u); // the overwrite added nothing
}
