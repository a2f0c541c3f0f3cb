#include "applications/activity_log.h"
#include "common/files.h"
#include "store/tables.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr unsigned Warning = 0x2030;
const std::string Question = "If you continue, you will overwrite your current password - \r\n"
                             "do you want to overwrite your current password?";

const UserRow Stored{"Ann",        "Smith",    "ann@x.org", "1234ABCD", "",
                     "smtp.x.org", "mailpass", "ann",       "Secret"};

// Check and Save New Password with both windows open, as the Change Password button leaves
// them.
class CheckAndSaveNewPasswordTest : public InTempFolder {
protected:
    void SetUp() override {
        userSetup = ui.OpenWindow(UserSetupLayout());
        dialog = ui.OpenWindow(ChangePasswordLayout());
    }
    void TearDown() override { SetWriteStepHookForTesting({}); }
    void Enter(const std::string& password, const std::string& repeated) {
        ui.SetControlText(dialog, NewPasswordBox, password);
        ui.SetControlText(dialog, RepeatPasswordBox, repeated);
        ui.SetFocus(dialog, SaveNewPasswordButton);
        ui.messages.clear();
        CheckAndSaveNewPassword();
    }
    void ExpectRefused(const std::string& text, int focus, bool emptied) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.LastMessage().text, text);
        EXPECT_EQ(ui.LastMessage().style, Warning);
        EXPECT_EQ(ui.LastMessage().caption, "Ombrelay System Message");
        EXPECT_EQ(ui.FocusedControl(dialog), focus);
        if (emptied) {
            EXPECT_EQ(ui.ControlText(dialog, NewPasswordBox), "");
            EXPECT_EQ(ui.ControlText(dialog, RepeatPasswordBox), "");
        }
        EXPECT_FALSE(ui.WindowOf(dialog).ended); // open for another try
        EXPECT_EQ(StoredUser().loginPassword, "Secret");
    }

    HeadlessPlatform ui;
    ui::WindowHandle userSetup = 0;
    ui::WindowHandle dialog = 0;
};

TEST_F(CheckAndSaveNewPasswordTest, RefusesEmptyDifferentAndCurrentPasswords) {
    StoreUser(Stored);
    Enter("", "x");
    ExpectRefused("You must enter a new password in the first password field", NewPasswordBox,
                  false);
    Enter("x", "");
    ExpectRefused("You must enter a new password in the second password field", RepeatPasswordBox,
                  false);
    Enter("Better", "better"); // letter case counts
    ExpectRefused("Your new passwords do not match - please reenter", NewPasswordBox, true);
    Enter("Secret", "Secret");
    ExpectRefused("You have entered the same password you are currently\r\n"
                  "using - please enter a different password",
                  NewPasswordBox, true);
    Enter("secret", "secret"); // differs from the current one only in case: a new password
    EXPECT_EQ(ui.messages.front().text, Question);
}

TEST_F(CheckAndSaveNewPasswordTest, RewritesOnlyTheLoginPasswordAndRefillsUserSetup) {
    StoreUser(Stored);
    ui.SetControlText(userSetup, FirstNameBox, "unsaved edit");
    ui.answers = {ui::IdYes};
    Enter(" ", " "); // one blank is a valid password
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, Question);
    EXPECT_EQ(ui.messages[0].style, 0x2134u);
    EXPECT_EQ(ui.messages[1].text, "Your new password has been saved");
    EXPECT_EQ(ui.messages[1].style, Warning);
    EXPECT_TRUE(ui.WindowOf(dialog).ended);

    UserRow expected = Stored;
    expected.loginPassword = " ";
    const UserRow row = StoredUser();
    EXPECT_EQ(row.firstName, expected.firstName);
    EXPECT_EQ(row.pin, expected.pin);
    EXPECT_EQ(row.server, expected.server);
    EXPECT_EQ(row.password, expected.password);
    EXPECT_EQ(row.loginName, expected.loginName);
    EXPECT_EQ(row.loginPassword, " ");

    EXPECT_EQ(ui.ControlText(userSetup, FirstNameBox), "Ann");
    EXPECT_EQ(ui.ControlText(userSetup, LoginPasswordBox), " ");
    EXPECT_EQ(ui.ControlText(userSetup, LoginPasswordConfirmBox), " ");
    EXPECT_EQ(ui.FocusedControl(userSetup), UserCancelButton);
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(CheckAndSaveNewPasswordTest, AnsweringNoKeepsThePasswordAndTheForm) {
    StoreUser(Stored);
    ui.SetControlText(userSetup, FirstNameBox, "unsaved edit");
    ui.answers = {ui::IdNo};
    Enter("Better", "Better");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.WindowOf(dialog).ended); // closed before the question
    EXPECT_EQ(StoredUser().loginPassword, "Secret");
    EXPECT_EQ(ui.ControlText(userSetup, FirstNameBox), "unsaved edit");
}

TEST_F(CheckAndSaveNewPasswordTest, AFailedWriteIsReportedInsteadOfSuccess) {
    StoreUser(Stored);
    SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataWritten; });
    ui.answers = {ui::IdYes};
    Enter("Better", "Better");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text,
              "Your new password was not saved. The table file could not be written (the folder "
              "may be read-only or the disk full).");
    EXPECT_EQ(ui.messages[1].style, Warning);
    SetWriteStepHookForTesting({});
    EXPECT_EQ(StoredUser().loginPassword, "Secret");
}

TEST_F(CheckAndSaveNewPasswordTest, WithNoUserRecordNothingIsSaved) {
    ui.answers = {ui::IdYes};
    Enter("Better", "Better");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Your new password was not saved. There is no user record "
                                   "yet: save the User Information first.");
    int count = -1;
    StoredUser(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(CheckAndSaveNewPasswordTest, ATooLongPasswordIsRefusedAndKept) {
    StoreUser(Stored);
    const std::string password(101, 'p');
    Enter(password, password);
    ExpectRefused(FieldTooLongText("new password", 100), NewPasswordBox, false);
    EXPECT_EQ(ui.ControlText(dialog, NewPasswordBox), password);
}

TEST_F(CheckAndSaveNewPasswordTest, MissingWindowsAreReported) {
    ui.CloseWindow(dialog);
    CheckAndSaveNewPassword();
    EXPECT_EQ(ui.LastMessage().text, "wHandle Error 1005 in Check and Save New Password Function");
    ui.CloseWindow(userSetup);
    ui.messages.clear();
    EXPECT_EQ(ChangePasswordDialog(0), 0);
    EXPECT_EQ(ui.LastMessage().text, "wHandle Error 1005 in Change Password Dialog Function");
    EXPECT_TRUE(ui.dialogsRun.empty());
}

TEST_F(CheckAndSaveNewPasswordTest, UserSetupGoneBeforeTheQuestionIsReported) {
    StoreUser(Stored);
    ui.CloseWindow(userSetup);
    Enter("Better", "Better");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text, "wHandle 1010 Error in Check and Save New Password Function");
    EXPECT_EQ(StoredUser().loginPassword, "Secret");
}

} // namespace
