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

const std::string Eight = "!BlackBerry PIN numbers must be eight digits,\r\nplease check the ",
                  Overwrite = "?CAUTION: If you continue, you will overwrite the current User "
                              "Information.\r\nDo you want to continue and overwrite the current "
                              "user?",
                  NotSaved = "!User Information was not saved." + WriteFailedText,
                  Saved = "iUser Information has been saved";
const std::string BadPin = "PIN Number contains invalid characters - please check",
                  Required = "!You must enter a First Name, Last Name, Email\r\nAddress, and "
                             "PIN Number to save a User Record";
const int Boxes[] = {
    FirstNameBox,           LastNameBox,  UserEmailBox,     PinBox, NewPinBox, ServerBox,
    MailPasswordBox,        LoginNameBox, LoginPasswordBox, // the record
    LoginPasswordConfirmBox};

Texts Fields(const ::UserRecord& u) {
    return {u.firstName, u.lastName, u.email,     u.pin,          u.newPin,
            u.server,    u.password, u.loginName, u.loginPassword};
}

// One box typed over a whole form, what a save then tells, and the box with the caret after.
struct Refusal {
    int box;
    std::string typed;
    Texts told;
    int focus = UserSaveButton; // where it was
};

class UserRecord : public HeadlessOperations {
protected:
    Texts Form() {
        Texts form;
        for (int box : Boxes)
            form.push_back(ui.ControlText(d, box));
        return form;
    }
    // Each save stops short, or fails to write as every write fails: nothing is stored or
    // logged.
    void ExpectRefused(const Texts& form, const std::vector<Refusal>& refusals, int answer) {
        const Texts before = Fields(StoredUser());
        const std::string log = ReadFile(ActivityLogFile);
        FailWrites();
        for (const auto& r : refusals) {
            for (std::size_t i = 0; i < form.size(); ++i)
                ui.SetControlText(d, Boxes[i], form[i]);
            ui.SetControlText(d, r.box, r.typed);
            ui.SetFocus(d, UserSaveButton);
            EXPECT_EQ(Run(SaveUserInformation, {answer}), r.told) << r.typed;
            EXPECT_EQ(ui.FocusedControl(d), r.focus) << r.typed;
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

TEST_F(UserRecord, AFirstSaveAndAnOverwriteEachRefuseWhatTheyCheckThenSaveAndLog) {
    EXPECT_EQ(Run(DisplayUserInformation), Texts{"iThere is currently no User Information. \r\n"
                                                 "Please enter User Information Now"});
    EXPECT_EQ(ui.FocusedControl(d), FirstNameBox);
    // A blank first name is a name, and the first save does not check the PIN's characters.
    Texts form = {" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret", "Secret"};
    const std::string pinLength = Eight + "PIN number you entered.",
                      newPinLength = Eight + "new PIN number again.",
                      noName = "!You must have a valid username for logging in!",
                      noMatch =
                          "!The passwords you have entered do not match - please reenter them",
                      longName = "!" + FieldTooLongText("Last Name", 100), x101(101, 'x');
    const auto empty = [](const std::string& which) {
        return "!The " + which + " \"Password\" field is empty!\r\nPlease enter a valid password";
    };
    ExpectRefused(form,
                  {{UserEmailBox, "", {Required}},
                   {PinBox, "1234ABC", {pinLength}},
                   {NewPinBox, "123456789", {newPinLength}},
                   {LoginNameBox, "", {noName}, LoginNameBox},
                   {LoginPasswordBox, "", {empty("first")}, LoginPasswordBox},
                   {LoginPasswordConfirmBox, "", {empty("second")}, LoginPasswordConfirmBox},
                   {LastNameBox, x101, {longName}, LastNameBox},
                   {LoginPasswordConfirmBox, "secret", {noMatch}, LoginPasswordBox}},
                  ui::IdYes);
    EXPECT_EQ(Form()[8] + Form()[9], ""); // both emptied for another try
    ExpectRefused(form, {{LastNameBox, "Smith", {NotSaved}}}, ui::IdYes);
    EXPECT_EQ(Run(SaveUserInformation), Texts{Saved});
    EXPECT_EQ(ReadFile(ActivityLogFile),
              "\"\r\nUser Record Modified:  03-04-2026   05:06:07\r\nfname =     lname = Smith   "
              "user email = ann@x.org\r\nPIN = 1234ABCG   new PIN = N/A   server name = N/A\r\n"
              "Login Name = ann\"\r\n");

    // Opened again, the dialog shows the record as stored, the confirmation too.
    d = ui.OpenWindow(UserSetupLayout());
    EXPECT_EQ(Run(DisplayUserInformation), Texts{});
    EXPECT_EQ(Form(), form);
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    // The question comes after the required values, before every other check.
    const std::string e255(255, 'e'), longEmail = "!" + FieldTooLongText("Email Address", 254);
    ExpectRefused(form, {{UserEmailBox, e255, {Overwrite}}}, ui::IdNo);
    form[3] = "0000FFFF";
    ExpectRefused(form,
                  {{PinBox, "", {Required}},
                   {PinBox, "123456789", {Overwrite, pinLength}},
                   {PinBox, "1234abcd", {Overwrite, "!" + BadPin}},
                   {NewPinBox, "1234567", {Overwrite, newPinLength}},
                   {NewPinBox, "9999999Z", {Overwrite, "!New " + BadPin}},
                   {UserEmailBox, e255, {Overwrite, longEmail}, UserEmailBox},
                   {UserEmailBox, "ann@new.org", {Overwrite, NotSaved}}},
                  ui::IdYes);
    // Nothing else is checked: an empty login name and a differing confirmation are saved.
    form = {" ", "Smith", "ann@new.org", "0000FFFF", "ABCDEF01", "   ", "", "", "Secret", "x"};
    for (std::size_t i = 0; i < form.size(); ++i)
        ui.SetControlText(d, Boxes[i], form[i]);
    EXPECT_EQ(Run(SaveUserInformation, {ui::IdYes}), (Texts{Overwrite, Saved}));
    form.back() = "Secret"; // refilled from the record
    EXPECT_EQ(Form(), form);
    EXPECT_EQ(Fields(StoredUser()), Texts(form.begin(), form.end() - 1));
    EXPECT_TRUE(ReadFile(ActivityLogFile)
                    .ends_with("new PIN = ABCDEF01   server name = N/A\r\nLogin Name = \"\r\n"));
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
}

TEST_F(UserRecord, APasswordChangeChecksThePasswordsThenRewritesTheLoginPasswordAlone) {
    const std::string question = "?!If you continue, you will overwrite your current password - "
                                 "\r\ndo you want to overwrite your current password?";
    EXPECT_EQ(ChangePassword("Better", "Better"),
              (Texts{question, "!Your new password was not saved. There is no user record yet: "
                               "save the User Information first."}));
    const ::UserRecord ann{"Ann", "Smith", "a@x", "1234ABCD", "", "smtp", "mail", "ann", "Secret"};
    StoreUser(ann);
    const std::string must = "!You must enter a new password in the ", tooLong(101, 'p');
    const struct {
        std::string typed, repeated, refusal;
        int focus;
        bool emptied; // both boxes
    } cases[] = {
        {"", "x", must + "first password field", NewPasswordBox, false},
        {"x", "", must + "second password field", RepeatPasswordBox, false},
        {"B", "b", "!Your new passwords do not match - please reenter", NewPasswordBox, true},
        {"Secret", "Secret",
         "!You have entered the same password you are currently\r\nusing - please enter a "
         "different password",
         NewPasswordBox, true},
        {tooLong, tooLong, "!" + FieldTooLongText("new password", 100), NewPasswordBox, false},
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
    FailWrites();
    EXPECT_EQ(ChangePassword("Better", "Better"),
              (Texts{question, "!Your new password was not saved." + WriteFailedText}));
    SetWriteStepHookForTesting({});
    ui.SetControlText(d, FirstNameBox, "unsaved");
    EXPECT_EQ(ChangePassword("secret", "secret"),
              (Texts{question, "!Your new password has been saved"}));
    // Refilled from the record: the login password alone changed.
    Texts changed = Fields(ann);
    changed[8] = "secret";
    EXPECT_EQ(Form(), (changed.push_back("secret"), changed));
    EXPECT_EQ(ui.FocusedControl(d), UserCancelButton);
    EXPECT_EQ(ReadFile(ActivityLogFile), "");
}

} // namespace
