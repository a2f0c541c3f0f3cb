// The user record and the password change: the rules on values, and the User Setup and
// Change Password dialogs on the headless backend, each transcript in tests/golden/user/.
// (The login's rules: through the login dialogs, tests/app/startup_test.cpp.)

#include "support/fixtures.h"
#include "support/operations.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_rules.h"
#include "user/user_setup_dialog.h"

namespace {

std::string Said(const std::optional<UserRefusal>& refusal) {
    if (!refusal)
        return "-";
    return refusal->text +
           (refusal->focus ? " (box " + std::to_string(int(*refusal->focus)) + ")" : "") +
           (refusal->clearLoginPasswords ? " (emptied)" : "");
}

// Each row changes one value of an otherwise valid record; both courses judge it.
TEST(UserRules, EachCourseRefusesWhatItChecksInItsOrder) {
    const UserRecord valid{" ", "Smith", "a@x", "0000FFFF", "", "   ", "", "ann", "Secret"};
    const struct {
        std::string UserRecord::*field;
        std::string value;
    } rows[] = {{&UserRecord::email, ""},           {&UserRecord::pin, "1234ABC"},
                {&UserRecord::pin, "1234abcd"},     {&UserRecord::pin, "1234 BCD"},
                {&UserRecord::newPin, "123456789"}, {&UserRecord::newPin, "9999999Z"},
                {&UserRecord::loginName, ""},       {&UserRecord::loginPassword, ""},
                {&UserRecord::firstName, ""}};
    std::string out;
    for (const auto& row : rows) {
        UserRecord record = valid;
        record.*row.field = row.value;
        out += "[" + row.value + "] required: " + Said(CheckRequiredUserValues(record)) +
               "; first: " + Said(CheckFirstSave({record, record.loginPassword})) +
               "; overwrite: " + Said(CheckOverwrite(record)) + "\n";
    }
    for (const char* confirmation : {"", "secret"})
        out += std::string("confirmation [") + confirmation +
               "]: " + Said(CheckFirstSave({valid, confirmation})) + "\n";
    for (const char* server : {"   ", "smtp"}) {
        UserRecord record = valid;
        record.server = server;
        record.newPin = server;
        const LogEntry entry = UserSavedLogEntry(record);
        out += entry.heading + "|" + entry.detail + "\n";
    }
    ExpectGolden("user/rules.txt", out);
}

constexpr int Boxes[] = {
    FirstNameBox, LastNameBox,     UserEmailBox, PinBox,           NewPinBox,
    ServerBox,    MailPasswordBox, LoginNameBox, LoginPasswordBox, LoginPasswordConfirmBox};

class UserSetup : public Operations {
protected:
    void Save(std::vector<std::string> form, std::deque<int> answers = {}) {
        for (std::size_t i = 0; i < form.size(); ++i)
            ui.SetControlText(d, Boxes[i], form[i]);
        ui.SetFocus(d, UserSaveButton);
        Run(SaveUserInformation, std::move(answers));
        NoteForm();
    }
    void NoteForm() {
        NoteBoxes(d, {FirstNameBox, LastNameBox, UserEmailBox, PinBox, NewPinBox, ServerBox,
                      MailPasswordBox, LoginNameBox, LoginPasswordBox, LoginPasswordConfirmBox});
    }
    void ChangePassword(const std::string& typed, const std::string& repeated) {
        cp = ui.OpenWindow(ChangePasswordLayout());
        ui.SetControlText(cp, NewPasswordBox, typed);
        ui.SetControlText(cp, RepeatPasswordBox, repeated);
        ui.SetFocus(cp, SaveNewPasswordButton);
        ui.onMessage = [this](unsigned style) {
            if ((style & ui::MbYesNo) != 0)
                ui.Note("asked once the dialog had ended", std::to_string(ui.WindowOf(cp).ended));
        };
        Run(CheckAndSaveNewPassword, {ui::IdYes});
        NoteBoxes(cp, {NewPasswordBox, RepeatPasswordBox});
        ui.Note("change password dialog ended", std::to_string(ui.WindowOf(cp).ended));
    }
    void NoteStored() {
        const UserRecord stored = StoredUser();
        ui.Note("stored", stored.firstName + "|" + stored.lastName + "|" + stored.email + "|" +
                              stored.pin + "|" + stored.newPin + "|" + stored.server + "|" +
                              stored.password + "|" + stored.loginName + "|" +
                              stored.loginPassword);
    }

    ui::WindowHandle d = ui.OpenWindow(UserSetupLayout()), cp = 0;
};

// The first save, then an overwrite; refusals, a value the store cannot hold and failed writes
// store and log nothing.
TEST_F(UserSetup, AFirstSaveAndAnOverwriteRefuseWhatTheyCheckThenSaveAndLog) {
    Run(DisplayUserInformation);
    NoteForm();
    const std::string x101(101, 'x');
    Save({" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret", "secret"});
    Save({" ", x101, "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret", "Secret"});
    FailWrites();
    Save({" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret", "Secret"});
    FailWrites(false);
    Save({" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret", "Secret"});
    NoteStored();

    d = ui.OpenWindow(UserSetupLayout()); // shows the record as stored
    Run(DisplayUserInformation);
    NoteForm();
    const std::vector<std::string> form = {
        " ", "Smith", "ann@new.org", "0000FFFF", "ABCDEF01", "   ", "", "", "Secret", "x"};
    Save({" ", "Smith", "ann@x.org", ""}, {ui::IdYes}); // no question without the PIN
    Save({" ", "Smith", std::string(255, 'e'), "0000FFFF"}, {ui::IdNo});
    Save({" ", "Smith", std::string(255, 'e'), "0000FFFF"}, {ui::IdYes});
    FailWrites();
    Save(form, {ui::IdYes});
    FailWrites(false);
    Save(form, {ui::IdYes}); // an empty login name and a differing confirmation are saved
    NoteStored();
    ExpectTranscript("user/setup.txt");
}

TEST_F(UserSetup, APasswordChangeChecksThePasswordsThenRewritesTheLoginPasswordAlone) {
    ChangePassword("Better", "Better"); // no user record yet
    StoreUser({"Ann", "Smith", "a@x", "1234ABCD", "", "smtp", "mail", "ann", "Secret"});
    for (const auto& [typed, repeated] : std::vector<std::pair<std::string, std::string>>{
             {"", "x"},
             {"B", "b"},
             {"Secret", "Secret"},
             {std::string(101, 'p'), std::string(101, 'p')}})
        ChangePassword(typed, repeated);
    FailWrites();
    ChangePassword("Better", "Better");
    FailWrites(false);
    ui.SetControlText(d, FirstNameBox, "unsaved");
    ChangePassword("secret", "secret");
    NoteForm();
    NoteStored();
    ExpectTranscript("user/password.txt");
}

} // namespace
