// The user record and the password change, on headless User Setup and Change Password
// dialogs.

#include "applications/activity_log.h"
#include "common/clock.h"
#include "common/files.h"
#include "store/tables.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

const std::string Required = "You must enter a First Name, Last Name, Email\r\n"
                             "Address, and PIN Number to save a User Record";
const std::string PinLength = "BlackBerry PIN numbers must be eight digits,\r\n"
                              "please check the PIN number you entered.";
const std::string NewPinLength = "BlackBerry PIN numbers must be eight digits,\r\n"
                                 "please check the new PIN number again.";
const std::string Overwrite =
    "CAUTION: If you continue, you will overwrite the current User Information.\r\n"
    "Do you want to continue and overwrite the current user?";
const std::string NewPassword = "If you continue, you will overwrite your current password - \r\n"
                                "do you want to overwrite your current password?";
const std::string Saved = "User Information has been saved";
const std::string FirstEmpty = "The first \"Password\" field is empty!\r\nPlease enter a valid "
                               "password";
const std::string SecondEmpty = "The second \"Password\" field is empty!\r\nPlease enter a valid "
                                "password";
const std::string NotWritten = "not saved. The table file could not be written (the folder may be "
                               "read-only or the disk full).";

// The style of each kind of message: the two questions, the notices, the warnings.
unsigned StyleOf(const std::string& text) {
    if (text == Overwrite || text == NewPassword)
        return text == Overwrite ? 0x2104 : 0x2134;
    return text == Saved || text.starts_with("There is currently") ? 0x2040 : 0x2030;
}
const auto FailDataWrites = [](WriteStep step) { return step != WriteStep::DataWritten; };

const UserRow Ann{"Ann",        "Smith",    "ann@x.org", "1234ABCD", "",
                  "smtp.x.org", "mailpass", "ann",       "Secret"};
Texts Fields(const UserRow& u) {
    return {u.firstName, u.lastName, u.email,     u.pin,          u.newPin,
            u.server,    u.password, u.loginName, u.loginPassword};
}

// A box, what is typed into it before the next save, the messages that save shows, and the
// control with the caret afterwards.
using Step = std::tuple<int, std::string, Texts, int>;
constexpr int Kept = UserSaveButton; // the caret stays where it was

class UserRecord : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
    }
    void Set(int box, const std::string& text) { ui.SetControlText(d, box, text); }
    // The nine boxes of the record's fields and the password confirmation.
    Texts Form(ui::WindowHandle window) {
        Texts form;
        for (int box : {FirstNameBox, LastNameBox, UserEmailBox, PinBox, NewPinBox, ServerBox,
                        MailPasswordBox, LoginNameBox, LoginPasswordBox, LoginPasswordConfirmBox})
            form.push_back(ui.ControlText(window, box));
        return form;
    }
    // Runs the operation with these answers; returns the texts of the messages it showed.
    Texts Run(void (*operation)(), std::deque<int> answers = {}) {
        ui.messages.clear();
        ui.answers = std::move(answers);
        operation();
        Texts shown;
        for (const auto& m : ui.messages) {
            EXPECT_EQ(m.caption, "Ombrelay System Message");
            EXPECT_EQ(m.style, StyleOf(m.text)) << m.text;
            shown.push_back(m.text);
        }
        return shown;
    }
    // Each step's save stops short, the last one as every write fails: nothing stored or
    // logged.
    void ExpectSteps(const std::vector<Step>& steps) {
        const Texts before = Fields(StoredUser());
        SetWriteStepHookForTesting(FailDataWrites);
        for (const auto& [box, typed, shown, focus] : steps) {
            Set(box, typed);
            ui.SetFocus(d, Kept);
            EXPECT_EQ(Run(SaveUserInformation, {ui::IdYes}), shown) << typed;
            EXPECT_EQ(ui.FocusedControl(d), focus) << typed;
        }
        SetWriteStepHookForTesting({});
        EXPECT_EQ(Fields(StoredUser()), before);
        EXPECT_EQ(ReadFile(ActivityLogFile), "");
    }
    // Types into a new Change Password dialog and presses its Save button.
    Texts ChangePassword(const std::string& typed, const std::string& repeated) {
        cp = ui.OpenWindow(ChangePasswordLayout());
        ui.SetControlText(cp, NewPasswordBox, typed);
        ui.SetControlText(cp, RepeatPasswordBox, repeated);
        ui.SetFocus(cp, SaveNewPasswordButton);
        return Run(CheckAndSaveNewPassword, {ui::IdYes});
    }

    HeadlessPlatform ui;
    ui::WindowHandle d = ui.OpenWindow(UserSetupLayout()), cp = 0;
};

TEST_F(UserRecord, AFirstSaveChecksEachStepInOrderThenSavesAndLogs) {
    const std::string noMatch = "The passwords you have entered do not match - please reenter them";
    EXPECT_EQ(Run(DisplayUserInformation), Texts{"There is currently no User Information. \r\n"
                                                 "Please enter User Information Now"});
    EXPECT_EQ(ui.FocusedControl(d), FirstNameBox);
    ExpectSteps({
        {LastNameBox, "Smith", {Required}, Kept},
        {UserEmailBox, "ann@x.org", {Required}, Kept},
        {PinBox, "1234ABC", {Required}, Kept},
        {FirstNameBox, " ", {PinLength}, Kept}, // one blank is a first name
        {NewPinBox, "1234567", {PinLength}, Kept},
        {PinBox, "1234ABCG", {NewPinLength}, Kept}, // its characters are not checked
        {NewPinBox, "123456789", {NewPinLength}, Kept},
        {NewPinBox, "", {"You must have a valid username for logging in!"}, LoginNameBox},
        {LoginNameBox, "ann", {FirstEmpty}, LoginPasswordBox},
        {LoginPasswordBox, "Secret", {SecondEmpty}, LoginPasswordConfirmBox},
        {LoginPasswordConfirmBox, "secret", {noMatch}, LoginPasswordBox},
        {LastNameBox, std::string(101, 'x'), {FirstEmpty}, LoginPasswordBox}, // both emptied
        {LoginPasswordBox, "Secret", {SecondEmpty}, LoginPasswordConfirmBox},
        {LoginPasswordConfirmBox, "Secret", {FieldTooLongText("Last Name", 100)}, LastNameBox},
        {LastNameBox, "Smith", {"User Information was " + NotWritten}, Kept},
    });
    Set(ServerBox, "   ");
    EXPECT_EQ(Run(SaveUserInformation), Texts{Saved});
    EXPECT_EQ(Fields(StoredUser()),
              (Texts{" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret"}));
    EXPECT_EQ(ReadFile(ActivityLogFile),
              "\"\r\nUser Record Modified:  03-04-2026   05:06:07\r\nfname =     lname = Smith   "
              "user email = ann@x.org\r\nPIN = 1234ABCG   new PIN = N/A   server name = N/A\r\n"
              "Login Name = ann\"\r\n");
}

TEST_F(UserRecord, DisplayFillsTheFormThenAnOverwriteAsksAndChecksEachStepInOrder) {
    StoreUser(Ann);
    EXPECT_EQ(Run(DisplayUserInformation), Texts{});
    Texts form = Fields(Ann);
    EXPECT_EQ(Form(d), (form.push_back("Secret"), form)); // the confirmation too
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    const CurrentUserValues& c = currentUser;
    EXPECT_EQ((Texts{c.firstName, c.lastName, c.email, c.pin, c.newPin, c.server, c.password}),
              Texts(form.begin(), form.begin() + 7));

    Set(FirstNameBox, "Changed");
    ui.SetFocus(d, LastNameBox);
    EXPECT_EQ(Run(SaveUserInformation, {ui::IdNo}), Texts{Overwrite}); // declined
    EXPECT_EQ(Form(d)[0], "Changed");
    EXPECT_EQ(ui.FocusedControl(d), LastNameBox);
    const std::string badPin = "PIN Number contains invalid characters - please check",
                      tooLong = FieldTooLongText("Email Address", 254);
    ExpectSteps({
        {UserEmailBox, std::string(255, 'e'), {Overwrite, tooLong}, UserEmailBox},
        {PinBox, "", {Required}, Kept}, // before the question
        {PinBox, "123456789", {Overwrite, PinLength}, Kept},
        {PinBox, "1234ABCG", {Overwrite, badPin}, Kept},
        {PinBox, "1234abcd", {Overwrite, badPin}, Kept},
        {NewPinBox, "1234567", {Overwrite, badPin}, Kept},
        {PinBox, "0000FFFF", {Overwrite, NewPinLength}, Kept},
        {NewPinBox, "9999999Z", {Overwrite, "New " + badPin}, Kept},
        {NewPinBox, "ABCDEF01", {Overwrite, tooLong}, UserEmailBox},
        {UserEmailBox, "ann@new.org", {Overwrite, "User Information was " + NotWritten}, Kept},
    });
    // Nothing else is checked: an empty login name and a differing confirmation are saved.
    Set(LoginNameBox, "");
    Set(LoginPasswordConfirmBox, "ignored");
    EXPECT_EQ(Run(SaveUserInformation, {ui::IdYes}), (Texts{Overwrite, Saved}));
    EXPECT_EQ(Fields(StoredUser()), (Texts{"Changed", "Smith", "ann@new.org", "0000FFFF",
                                           "ABCDEF01", "smtp.x.org", "mailpass", "", "Secret"}));
    EXPECT_TRUE(
        ReadFile(ActivityLogFile)
            .ends_with("new PIN = ABCDEF01   server name = smtp.x.org\r\nLogin Name = \"\r\n"));
    EXPECT_EQ(Form(d).back(), "Secret"); // refilled from the record
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    EXPECT_EQ(currentUser.newPin, "ABCDEF01");
}

TEST_F(UserRecord, APasswordChangeChecksThePasswordsThenRewritesTheLoginPasswordAlone) {
    EXPECT_EQ(ChangePassword("Better", "Better"),
              (Texts{NewPassword, "Your new password was not saved. There is no user record yet: "
                                  "save the User Information first."}));
    StoreUser(Ann);
    const std::string must = "You must enter a new password in the ", tooLong(101, 'p'),
                      same = "You have entered the same password you are currently\r\nusing - "
                             "please enter a different password";
    const std::tuple<std::string, std::string, std::string, int, bool> cases[] = {
        {"", "x", must + "first password field", NewPasswordBox, false},
        {"x", "", must + "second password field", RepeatPasswordBox, false},
        {"Better", "better", "Your new passwords do not match - please reenter", NewPasswordBox,
         true},
        {"Secret", "Secret", same, NewPasswordBox, true},
        {tooLong, tooLong, FieldTooLongText("new password", 100), NewPasswordBox, false},
    };
    for (const auto& [typed, repeated, message, focus, emptied] : cases) {
        EXPECT_EQ(ChangePassword(typed, repeated), Texts{message});
        EXPECT_EQ(ui.FocusedControl(cp), focus);
        EXPECT_EQ(ui.ControlText(cp, NewPasswordBox), emptied ? "" : typed);
        EXPECT_EQ(ui.ControlText(cp, RepeatPasswordBox), emptied ? "" : repeated);
        EXPECT_FALSE(ui.WindowOf(cp).ended);
    }
    SetWriteStepHookForTesting(FailDataWrites);
    EXPECT_EQ(ChangePassword("Better", "Better"),
              (Texts{NewPassword, "Your new password was " + NotWritten}));
    SetWriteStepHookForTesting({});
    EXPECT_EQ(Fields(StoredUser()), Fields(Ann));

    // Another case is another password. The dialog closes before the question.
    Set(FirstNameBox, "unsaved");
    ui.onMessage = [this](const auto&) { EXPECT_TRUE(ui.WindowOf(cp).ended); };
    EXPECT_EQ(ChangePassword("secret", "secret"),
              (Texts{NewPassword, "Your new password has been saved"}));
    UserRow changed = Ann;
    changed.loginPassword = "secret";
    EXPECT_EQ(Fields(StoredUser()), Fields(changed));
    EXPECT_EQ(Form(d), (Texts{"Ann", "Smith", "ann@x.org", "1234ABCD", "", "smtp.x.org", "mailpass",
                              "ann", "secret", "secret"})); // refilled
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    EXPECT_EQ(ReadFile(ActivityLogFile), "");
}

} // namespace
