#include "applications/activity_log.h"
#include "common/clock.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class UserSetupDialogTest : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
    }
    void TearDown() override { SetClockForTesting({}); }
    HeadlessPlatform ui;
};

TEST_F(UserSetupDialogTest, FirstSaveThenPasswordChangeThroughTheButtons) {
    const ui::WindowHandle mainWindow = ui.OpenWindow(MainWindowStandIn());
    ui.actions = {
        [&](ui::WindowHandle d) {
            EXPECT_FALSE(ui.WindowOf(mainWindow).enabled);
            ASSERT_EQ(ui.messages.size(), 1u); // no user information yet
            EXPECT_EQ(ui.FocusedControl(d), FirstNameBox);
            ui.Type(d, FirstNameBox, "Ann");
            ui.Type(d, LastNameBox, "Smith");
            ui.Type(d, UserEmailBox, "ann@x.org");
            ui.Type(d, PinBox, "1234abcd");
            ui.Type(d, NewPinBox, "beef0001");
            ui.Type(d, ServerBox, "not typed"); // disabled
            ui.Type(d, LoginNameBox, "ann");
            ui.Type(d, LoginPasswordBox, "Secret");
            ui.Type(d, LoginPasswordConfirmBox, "Secret");
            ui.Click(d, UserSaveButton);
            EXPECT_EQ(ui.LastMessage().text, "User Information has been saved");
        },
        [&](ui::WindowHandle d) {
            ui.answers = {ui::IdYes};
            ui.PressMnemonic(d, ChangePasswordButton);
        },
        // Inside the Change Password dialog.
        [&](ui::WindowHandle d) {
            EXPECT_FALSE(ui.WindowOf(ui.FindWindowByTitle(UserSetupTitle)).enabled);
            ui.Type(d, NewPasswordBox, "Better");
            ui.Type(d, RepeatPasswordBox, "Better");
            ui.Click(d, SaveNewPasswordButton);
        },
        // Back in User Setup, refilled from the record.
        [&](ui::WindowHandle d) {
            EXPECT_EQ(ui.LastMessage().text, "Your new password has been saved");
            EXPECT_EQ(ui.ControlText(d, LoginPasswordConfirmBox), "Better");
            EXPECT_EQ(ui.ControlText(d, PinBox), "1234ABCD");
            EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
            ui.Click(d, UserCancelButton);
        },
    };
    EXPECT_EQ(UserSetupDialog(0), 0);
    EXPECT_FALSE(ui.ranOutOfActions);
    EXPECT_TRUE(ui.WindowOf(mainWindow).enabled);
    EXPECT_EQ(ui.dialogsRun,
              (std::vector<std::string>{"Ombrelay User Setup", "Change Ombrelay Password"}));
    const UserRow row = StoredUser();
    EXPECT_EQ(row.pin, "1234ABCD");
    EXPECT_EQ(row.newPin, "BEEF0001");
    EXPECT_EQ(row.server, "");
    EXPECT_EQ(row.loginPassword, "Better");
    EXPECT_EQ(ReadFile(ActivityLogFile),
              "\"\r\nUser Record Modified:  03-04-2026   05:06:07\r\n"
              "fname = Ann   lname = Smith   user email = ann@x.org\r\n"
              "PIN = 1234ABCD   new PIN = BEEF0001   server name = N/A\r\n"
              "Login Name = ann\"\r\n");
    EXPECT_EQ(currentUser.newPin, "BEEF0001");
}

TEST_F(UserSetupDialogTest, OpensFilledWithFocusOnCancelAndTheCloseBoxEndsIt) {
    StoreUser({"Ann", "Smith", "ann@x.org", "1234ABCD", "", "", "", "ann", "pw"});
    ui.actions = {[&](ui::WindowHandle d) {
        EXPECT_EQ(ui.ControlText(d, LoginPasswordBox), "pw");
        EXPECT_EQ(ui.ControlText(d, LoginPasswordConfirmBox), "pw");
        EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
        ui.ClickClose(d);
    }};
    EXPECT_EQ(UserSetupDialog(0), 0);
    ASSERT_EQ(ui.messages.size(), 1u); // the main window is missing
    EXPECT_EQ(ui.messages[0].text, "wHandle Error in User Setup Dialog Function");
    EXPECT_EQ(ui.messages[0].style, 0x2030u);
    EXPECT_FALSE(ui.ranOutOfActions);
}

TEST_F(UserSetupDialogTest, ConfirmationBoxHasItsOwnLabelInTheLoginGroup) {
    const ui::Dialog dialog = UserSetupLayout();
    const auto find = [&](int id) {
        for (const auto& c : dialog.controls)
            if (c.id == id)
                return c;
        ADD_FAILURE() << "no control " << id;
        return ui::Control{};
    };
    const ui::Control group = find(1120);
    for (int id : {LoginPasswordConfirmBox, LoginPasswordConfirmLabel}) {
        const ui::Control c = find(id);
        EXPECT_GE(c.x, group.x);
        EXPECT_GE(c.y, group.y + 8); // below the group's caption
        EXPECT_LE(c.x + c.width, group.x + group.width);
        EXPECT_LE(c.y + c.height, group.y + group.height);
    }
    EXPECT_EQ(find(LoginPasswordConfirmBox).style, find(LoginPasswordBox).style);
    std::set<int> ids;
    for (const auto& c : dialog.controls)
        EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
}

} // namespace
