// The user record and the password change, on headless User Setup and Change Password
// dialogs.

#include "applications/headless_operations.h"
#include "log/activity_log.h"
#include "records/tables.h"
#include "support/fixtures.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

namespace {

const std::string Required = "You must enter a First Name, Last Name, Email\r\n"
                             "Address, and PIN Number to save a User Record";
const std::string Eight = "BlackBerry PIN numbers must be eight digits,\r\nplease check the ";
const std::string PinLength = Eight + "PIN number you entered.",
                  NewPinLength = Eight + "new PIN number again.";
const std::string Overwrite =
    "CAUTION: If you continue, you will overwrite the current User Information.\r\n"
    "Do you want to continue and overwrite the current user?";
const std::string NewPassword = "If you continue, you will overwrite your current password - \r\n"
                                "do you want to overwrite your current password?";
const std::string Saved = "User Information has been saved";
const std::string NotSaved = "User Information was not saved." + WriteFailedText;
std::string Empty(const std::string& which) {
    return "The " + which + " \"Password\" field is empty!\r\nPlease enter a valid password";
}

// The style of each kind of message: the two questions, the notices, the warnings.
unsigned StyleOf(const std::string& text) {
    const bool notice = text == Saved || text.starts_with("There is currently");
    return text == Overwrite ? 0x2104 : text == NewPassword ? 0x2134 : notice ? 0x2040 : 0x2030;
}

const UserRecord Ann{"Ann",        "Smith",    "ann@x.org", "1234ABCD", "",
                     "smtp.x.org", "mailpass", "ann",       "Secret"};
Texts Fields(const UserRecord& u) {
    return {u.firstName, u.lastName, u.email,     u.pin,          u.newPin,
            u.server,    u.password, u.loginName, u.loginPassword};
}

// A box, what is typed into it before the next save, the messages that save shows, and the
// control with the caret afterwards.
struct Step {
    int box;
    std::string typed;
    Texts shown;
    int focus;
};
constexpr int Kept = UserSaveButton; // the caret stays where it was

class UserRecord : public HeadlessOperations<StyleOf> {
protected:
    // The boxes of the record's nine fields, then the password confirmation.
    Texts Form() {
        Texts form;
        for (int box : {FirstNameBox, LastNameBox, UserEmailBox, PinBox, NewPinBox, ServerBox,
                        MailPasswordBox, LoginNameBox, LoginPasswordBox, LoginPasswordConfirmBox})
            form.push_back(ui.ControlText(d, box));
        return form;
    }
    // Each step's save stops short, or fails to write as every write fails: nothing is stored
    // or logged.
    void ExpectSteps(const std::vector<Step>& steps, int answer = ui::IdYes) {
        const Texts before = Fields(StoredUser());
        const std::string log = ReadFile(ActivityLogFile);
        SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataWritten; });
        for (const auto& step : steps) {
            ui.SetControlText(d, step.box, step.typed);
            ui.SetFocus(d, Kept);
            EXPECT_EQ(Run(SaveUserInformation, {answer}), step.shown) << step.typed;
            EXPECT_EQ(ui.FocusedControl(d), step.focus) << step.typed;
        }
        SetWriteStepHookForTesting({});
        EXPECT_EQ(Fields(StoredUser()), before);
        EXPECT_EQ(ReadFile(ActivityLogFile), log);
    }
    // Types into a new Change Password dialog and presses its Save button.
    Texts ChangePassword(const std::string& typed, const std::string& repeated) {
        cp = ui.OpenWindow(ChangePasswordLayout());
        ui.SetControlText(cp, NewPasswordBox, typed);
        ui.SetControlText(cp, RepeatPasswordBox, repeated);
        ui.SetFocus(cp, SaveNewPasswordButton);
        return Run(CheckAndSaveNewPassword, {ui::IdYes});
    }

    ui::WindowHandle d = ui.OpenWindow(UserSetupLayout()), cp = 0;
};

TEST_F(UserRecord, AFirstSaveAndThenAnOverwriteCheckTheirStepsInOrderThenSaveAndLog) {
    EXPECT_EQ(Run(DisplayUserInformation), Texts{"There is currently no User Information. \r\n"
                                                 "Please enter User Information Now"});
    EXPECT_EQ(ui.FocusedControl(d), FirstNameBox);
    const std::string noMatch = "The passwords you have entered do not match - please reenter them";
    ExpectSteps({
        {FirstNameBox, " ", {Required}, Kept},
        {LastNameBox, "Smith", {Required}, Kept},
        {PinBox, "1234ABC", {Required}, Kept},
        {UserEmailBox, "ann@x.org", {PinLength}, Kept}, // " " passes as a first name
        {NewPinBox, "1234567", {PinLength}, Kept},
        {PinBox, "1234ABCG", {NewPinLength}, Kept}, // its characters are not checked
        {NewPinBox, "123456789", {NewPinLength}, Kept},
        {NewPinBox, "", {"You must have a valid username for logging in!"}, LoginNameBox},
        {LoginNameBox, "ann", {Empty("first")}, LoginPasswordBox},
        {LoginPasswordBox, "Secret", {Empty("second")}, LoginPasswordConfirmBox},
        {LoginPasswordConfirmBox, "secret", {noMatch}, LoginPasswordBox},
        {LastNameBox, std::string(101, 'x'), {Empty("first")}, LoginPasswordBox}, // both emptied
        {LoginPasswordBox, "Secret", {Empty("second")}, LoginPasswordConfirmBox},
        {LoginPasswordConfirmBox, "Secret", {FieldTooLongText("Last Name", 100)}, LastNameBox},
        {LastNameBox, "Smith", {NotSaved}, Kept},
    });
    ui.SetControlText(d, ServerBox, "   ");
    EXPECT_EQ(Run(SaveUserInformation), Texts{Saved});
    EXPECT_EQ(ReadFile(ActivityLogFile),
              "\"\r\nUser Record Modified:  03-04-2026   05:06:07\r\nfname =     lname = Smith   "
              "user email = ann@x.org\r\nPIN = 1234ABCG   new PIN = N/A   server name = N/A\r\n"
              "Login Name = ann\"\r\n");

    // Opened again, the dialog shows the record as stored, the confirmation too.
    d = ui.OpenWindow(UserSetupLayout());
    EXPECT_EQ(Run(DisplayUserInformation), Texts{});
    EXPECT_EQ(Form(), (Texts{" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret",
                             "Secret"}));
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    // Declined, the question comes before the other checks.
    ExpectSteps({{UserEmailBox, std::string(255, 'e'), {Overwrite}, Kept}}, ui::IdNo);
    const std::string badPin = "PIN Number contains invalid characters - please check";
    ExpectSteps({
        {PinBox, "", {Required}, Kept}, // before the question
        {PinBox, "123456789", {Overwrite, PinLength}, Kept},
        {PinBox, "1234abcd", {Overwrite, badPin}, Kept},
        {PinBox, "1234ABCG", {Overwrite, badPin}, Kept}, // as the first save stored it
        {NewPinBox, "1234567", {Overwrite, badPin}, Kept},
        {PinBox, "0000FFFF", {Overwrite, NewPinLength}, Kept},
        {NewPinBox, "9999999Z", {Overwrite, "New " + badPin}, Kept},
        {NewPinBox, "ABCDEF01", {Overwrite, FieldTooLongText("Email Address", 254)}, UserEmailBox},
        {UserEmailBox, "ann@new.org", {Overwrite, NotSaved}, Kept},
    });
    // Nothing else is checked: an empty login name and a differing confirmation are saved.
    ui.SetControlText(d, LoginNameBox, "");
    ui.SetControlText(d, LoginPasswordConfirmBox, "ignored");
    EXPECT_EQ(Run(SaveUserInformation, {ui::IdYes}), (Texts{Overwrite, Saved}));
    EXPECT_EQ(Fields(StoredUser()), (Texts{" ", "Smith", "ann@new.org", "0000FFFF", "ABCDEF01",
                                           "   ", "", "", "Secret"}));
    EXPECT_TRUE(ReadFile(ActivityLogFile)
                    .ends_with("new PIN = ABCDEF01   server name = N/A\r\nLogin Name = \"\r\n"));
    EXPECT_EQ(Form().back(), "Secret"); // refilled from the record
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
}

TEST_F(UserRecord, APasswordChangeChecksThePasswordsThenRewritesTheLoginPasswordAlone) {
    EXPECT_EQ(ChangePassword("Better", "Better"),
              (Texts{NewPassword, "Your new password was not saved. There is no user record yet: "
                                  "save the User Information first."}));
    StoreUser(Ann);
    const std::string must = "You must enter a new password in the ", tooLong(101, 'p'),
                      same = "You have entered the same password you are currently\r\nusing - "
                             "please enter a different password";
    const struct {
        std::string typed, repeated, refusal;
        int focus;
        bool emptied; // both boxes
    } cases[] = {
        {"", "x", must + "first password field", NewPasswordBox, false},
        {"x", "", must + "second password field", RepeatPasswordBox, false},
        {"B", "b", "Your new passwords do not match - please reenter", NewPasswordBox, true},
        {"Secret", "Secret", same, NewPasswordBox, true},
        {tooLong, tooLong, FieldTooLongText("new password", 100), NewPasswordBox, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChangePassword(c.typed, c.repeated), Texts{c.refusal});
        EXPECT_EQ(ui.FocusedControl(cp), c.focus);
        EXPECT_EQ(ui.ControlText(cp, NewPasswordBox) + ui.ControlText(cp, RepeatPasswordBox),
                  c.emptied ? "" : c.typed + c.repeated);
        EXPECT_FALSE(ui.WindowOf(cp).ended);
    }
    // The dialog closes before the question. Another case is another password.
    ui.onMessage = [this](const auto&) { EXPECT_TRUE(ui.WindowOf(cp).ended); };
    SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataWritten; });
    EXPECT_EQ(ChangePassword("Better", "Better"),
              (Texts{NewPassword, "Your new password was not saved." + WriteFailedText}));
    SetWriteStepHookForTesting({});
    ui.SetControlText(d, FirstNameBox, "unsaved");
    EXPECT_EQ(ChangePassword("secret", "secret"),
              (Texts{NewPassword, "Your new password has been saved"}));
    // Refilled from the record: the login password alone changed.
    Texts changed = Fields(Ann);
    changed[8] = "secret";
    EXPECT_EQ(Form(), (changed.push_back("secret"), changed));
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    EXPECT_EQ(ReadFile(ActivityLogFile), "");
}

} // namespace
