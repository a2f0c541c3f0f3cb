#include "applications/activity_log.h"
#include "common/clock.h"
#include "common/files.h"
#include "store/tables.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

constexpr unsigned Warning = 0x2030;
constexpr unsigned Notice = 0x2040;
constexpr const char* Caption = "Ombrelay System Message";

const std::string Required = "You must enter a First Name, Last Name, Email\r\n"
                             "Address, and PIN Number to save a User Record";
const std::string PinLength = "BlackBerry PIN numbers must be eight digits,\r\n"
                              "please check the PIN number you entered.";
const std::string NewPinLength = "BlackBerry PIN numbers must be eight digits,\r\n"
                                 "please check the new PIN number again.";
const std::string OverwriteQuestion =
    "CAUTION: If you continue, you will overwrite the current User Information.\r\n"
    "Do you want to continue and overwrite the current user?";
const std::string Saved = "User Information has been saved";

const UserRow Stored{"Ann",        "Smith",    "ann@x.org", "1234ABCD", "",
                     "smtp.x.org", "mailpass", "ann",       "Secret"};

class UserRecord : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
        currentUser = {};
    }
    void TearDown() override {
        SetClockForTesting({});
        SetWriteStepHookForTesting({});
    }
    ui::WindowHandle OpenUserSetup() { return dialog = ui.OpenWindow(UserSetupLayout()); }
    std::string Text(int control) { return ui.ControlText(dialog, control); }
    void Set(int control, const std::string& text) { ui.SetControlText(dialog, control, text); }
    // A form that passes every check of a first save.
    void FillValidForm() {
        Set(FirstNameBox, "Ann");
        Set(LastNameBox, "Smith");
        Set(UserEmailBox, "ann@x.org");
        Set(PinBox, "1234ABCD");
        Set(NewPinBox, "");
        Set(LoginNameBox, "ann");
        Set(LoginPasswordBox, "Secret");
        Set(LoginPasswordConfirmBox, "Secret");
    }
    // Saves and expects exactly `texts` as the messages shown.
    void SaveExpecting(const std::vector<std::string>& texts) {
        ui.messages.clear();
        SaveUserInformation();
        ASSERT_EQ(ui.messages.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(ui.messages[i].text, texts[i]) << "message " << i;
            EXPECT_EQ(ui.messages[i].caption, Caption);
        }
    }
    static std::string Entry(const std::string& detail) {
        return "\"\r\nUser Record Modified:  03-04-2026   05:06:07\r\n" + detail + "\"\r\n";
    }
    static void ExpectStored(const UserRow& expected) {
        int count = 0;
        const UserRow row = StoredUser(&count);
        EXPECT_EQ(count, 1);
        const std::string got[] = {row.firstName, row.lastName,  row.email,
                                   row.pin,       row.newPin,    row.server,
                                   row.password,  row.loginName, row.loginPassword};
        const std::string want[] = {expected.firstName, expected.lastName,  expected.email,
                                    expected.pin,       expected.newPin,    expected.server,
                                    expected.password,  expected.loginName, expected.loginPassword};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(got[i], want[i]) << "field " << i + 1;
    }

    HeadlessPlatform ui;
    ui::WindowHandle dialog = 0;
};

// ---- Display ----

using DisplayUserInformationTest = UserRecord;

TEST_F(DisplayUserInformationTest, FillsEveryBoxAndTheCurrentUserValues) {
    StoreUser(Stored);
    OpenUserSetup();
    DisplayUserInformation();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Text(FirstNameBox), "Ann");
    EXPECT_EQ(Text(LastNameBox), "Smith");
    EXPECT_EQ(Text(UserEmailBox), "ann@x.org");
    EXPECT_EQ(Text(PinBox), "1234ABCD");
    EXPECT_EQ(Text(NewPinBox), "");
    EXPECT_EQ(Text(ServerBox), "smtp.x.org");
    EXPECT_EQ(Text(MailPasswordBox), "mailpass");
    EXPECT_EQ(Text(LoginNameBox), "ann");
    EXPECT_EQ(Text(LoginPasswordBox), "Secret");
    EXPECT_EQ(Text(LoginPasswordConfirmBox), "Secret");
    EXPECT_EQ(ui.FocusedControl(dialog), UserCancelButton);
    EXPECT_EQ(currentUser.firstName, "Ann");
    EXPECT_EQ(currentUser.email, "ann@x.org");
    EXPECT_EQ(currentUser.pin, "1234ABCD");
    EXPECT_EQ(currentUser.server, "smtp.x.org");
    EXPECT_EQ(currentUser.password, "mailpass");
}

TEST_F(DisplayUserInformationTest, AnEmptyTableAsksForInformationAndKeepsTheCurrentValues) {
    currentUser.firstName = "kept";
    OpenUserSetup();
    DisplayUserInformation();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text,
              "There is currently no User Information. \r\nPlease enter User Information Now");
    EXPECT_EQ(ui.LastMessage().style, Notice);
    EXPECT_EQ(ui.FocusedControl(dialog), FirstNameBox);
    EXPECT_EQ(currentUser.firstName, "kept");
}

TEST_F(DisplayUserInformationTest, WithoutTheFormOnlyTheComposeDialogSilencesTheWarning) {
    StoreUser(Stored);
    DisplayUserInformation();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text, "Cannot find the User Setup Window");
    EXPECT_EQ(ui.LastMessage().style, Warning);
    EXPECT_EQ(currentUser.lastName, "Smith");

    ui.messages.clear();
    ui::Dialog compose;
    compose.title = "Ombrelay Email Application Vendors";
    ui.OpenWindow(compose);
    currentUser = {};
    DisplayUserInformation();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(currentUser.newPin, "");
    EXPECT_EQ(currentUser.lastName, "Smith");
}

// ---- Save: the first save ----

using FirstUserSave = UserRecord;

TEST_F(FirstUserSave, ChecksEachStepInOrderThenSavesAndLogs) {
    OpenUserSetup();
    struct Step {
        std::function<void()> change; // makes the form pass the previous step
        std::string message;
        int focus; // 0: where it was
    };
    const Step steps[] = {
        {[] {}, Required, 0},
        {[&] {
             Set(FirstNameBox, " "); // one blank is a first name
             Set(LastNameBox, "Smith");
             Set(UserEmailBox, "ann@x.org");
             Set(PinBox, "1234ABC");
         },
         PinLength, 0},
        // The characters of the PIN are not checked on a first save.
        {[&] {
             Set(PinBox, "1234ABCG");
             Set(NewPinBox, "1234567");
         },
         NewPinLength, 0},
        {[&] { Set(NewPinBox, "123456789"); }, NewPinLength, 0},
        {[&] { Set(NewPinBox, ""); }, "You must have a valid username for logging in!",
         LoginNameBox},
        {[&] { Set(LoginNameBox, "ann"); },
         "The first \"Password\" field is empty!\r\nPlease enter a valid password",
         LoginPasswordBox},
        {[&] { Set(LoginPasswordBox, "Secret"); },
         "The second \"Password\" field is empty!\r\nPlease enter a valid password",
         LoginPasswordConfirmBox},
        {[&] { Set(LoginPasswordConfirmBox, "secret"); },
         "The passwords you have entered do not match - please reenter them", LoginPasswordBox},
    };
    for (const auto& step : steps) {
        step.change();
        ui.SetFocus(dialog, UserSaveButton);
        SaveExpecting({step.message});
        EXPECT_EQ(ui.LastMessage().style, Warning) << step.message;
        EXPECT_EQ(ui.FocusedControl(dialog), step.focus == 0 ? UserSaveButton : step.focus)
            << step.message;
        int count = -1;
        StoredUser(&count);
        EXPECT_EQ(count, 0);
    }
    // The mismatch emptied both password boxes; the rest of the form stays as typed.
    EXPECT_EQ(Text(LoginPasswordBox), "");
    EXPECT_EQ(Text(LoginPasswordConfirmBox), "");
    EXPECT_EQ(Text(PinBox), "1234ABCG");
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));

    Set(LoginPasswordBox, "Secret");
    Set(LoginPasswordConfirmBox, "Secret");
    Set(ServerBox, "   ");
    SaveExpecting({Saved});
    EXPECT_EQ(ui.LastMessage().style, Notice);
    ExpectStored({" ", "Smith", "ann@x.org", "1234ABCG", "", "   ", "", "ann", "Secret"});
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("fname =     lname = Smith   user email = ann@x.org\r\n"
                    "PIN = 1234ABCG   new PIN = N/A   server name = N/A\r\n"
                    "Login Name = ann"));
    EXPECT_EQ(Text(FirstNameBox), " "); // the form is not read back
}

TEST_F(FirstUserSave, AValueTooLongIsRefusedNamingTheField) {
    OpenUserSetup();
    FillValidForm();
    Set(LastNameBox, std::string(101, 'x'));
    SaveExpecting({FieldTooLongText("Last Name", 100)});
    EXPECT_EQ(ui.LastMessage().style, Warning);
    EXPECT_EQ(ui.FocusedControl(dialog), LastNameBox);
    EXPECT_EQ(Text(LastNameBox), std::string(101, 'x'));

    Set(LastNameBox, "Smith");
    Set(LoginPasswordBox, std::string(99, 'p') + " "); // its blank costs one byte more
    Set(LoginPasswordConfirmBox, std::string(99, 'p') + " ");
    SaveExpecting({FieldTooLongText("Login Password", 100)});
    EXPECT_EQ(ui.FocusedControl(dialog), LoginPasswordBox);
    int count = -1;
    StoredUser(&count);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

// ---- Save: overwriting the stored record ----

class UserOverwrite : public UserRecord {
protected:
    void SetUp() override {
        UserRecord::SetUp();
        StoreUser(Stored);
        OpenUserSetup();
        FillValidForm();
        Set(ServerBox, "smtp.x.org");
        Set(MailPasswordBox, "mailpass");
    }
};

TEST_F(UserOverwrite, ChecksEachStepInOrderThenSavesAndRefills) {
    struct Step {
        std::function<void()> change;
        std::vector<std::string> messages;
    };
    const std::string BadPin = "PIN Number contains invalid characters - please check";
    const std::string BadNewPin = "New PIN Number contains invalid characters - please check";
    const Step steps[] = {
        // The required boxes come before the question.
        {[&] { Set(UserEmailBox, ""); }, {Required}},
        {[&] {
             Set(UserEmailBox, "ann@new.org");
             Set(PinBox, "123456789");
         },
         {OverwriteQuestion, PinLength}},
        {[&] { Set(PinBox, "1234ABCG"); }, {OverwriteQuestion, BadPin}},
        {[&] { Set(PinBox, "1234 BCD"); }, {OverwriteQuestion, BadPin}},
        {[&] { Set(PinBox, "1234abcd"); }, {OverwriteQuestion, BadPin}},
        {[&] {
             Set(PinBox, "0000FFFF");
             Set(NewPinBox, "1234567");
         },
         {OverwriteQuestion, NewPinLength}},
        {[&] { Set(NewPinBox, "9999999Z"); }, {OverwriteQuestion, BadNewPin}},
    };
    for (const auto& step : steps) {
        step.change();
        ui.answers = {ui::IdYes};
        SaveExpecting(step.messages);
        EXPECT_EQ(ui.LastMessage().style, Warning);
        ExpectStored(Stored);
    }
    EXPECT_EQ(ui.messages.front().style, 0x2104u); // Yes/No, no icon, No the default
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));

    // Nothing else is checked: an empty login name and a differing confirmation are saved.
    Set(NewPinBox, "ABCDEF01");
    Set(LoginNameBox, "");
    Set(LoginPasswordConfirmBox, "ignored");
    ui.SetFocus(dialog, FirstNameBox);
    ui.answers = {ui::IdYes};
    SaveExpecting({OverwriteQuestion, Saved});
    EXPECT_EQ(ui.LastMessage().style, Notice);
    ExpectStored({"Ann", "Smith", "ann@new.org", "0000FFFF", "ABCDEF01", "smtp.x.org", "mailpass",
                  "", "Secret"});
    EXPECT_EQ(ReadFile(ActivityLogFile),
              Entry("fname = Ann   lname = Smith   user email = ann@new.org\r\n"
                    "PIN = 0000FFFF   new PIN = ABCDEF01   server name = smtp.x.org\r\n"
                    "Login Name = "));
    // Refilled from the record: the confirmation box shows the stored password again.
    EXPECT_EQ(Text(LoginPasswordConfirmBox), "Secret");
    EXPECT_EQ(ui.FocusedControl(dialog), UserCancelButton);
    EXPECT_EQ(currentUser.email, "ann@new.org");
    EXPECT_EQ(currentUser.newPin, "ABCDEF01");
}

TEST_F(UserOverwrite, DecliningLeavesRecordLogAndFormUnchanged) {
    Set(FirstNameBox, "Changed");
    ui.SetFocus(dialog, LastNameBox);
    ui.answers = {ui::IdNo};
    SaveExpecting({OverwriteQuestion});
    ExpectStored(Stored);
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
    EXPECT_EQ(Text(FirstNameBox), "Changed");
    EXPECT_EQ(ui.FocusedControl(dialog), LastNameBox);
}

TEST_F(UserOverwrite, AValueTooLongIsRefusedAfterTheQuestion) {
    Set(UserEmailBox, std::string(255, 'e'));
    ui.answers = {ui::IdYes};
    SaveExpecting({OverwriteQuestion, FieldTooLongText("Email Address", 254)});
    EXPECT_EQ(ui.FocusedControl(dialog), UserEmailBox);
    ExpectStored(Stored);
}

TEST_F(UserOverwrite, AFailedWriteIsReportedInsteadOfSuccess) {
    Set(FirstNameBox, "Changed");
    SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataSynced; });
    ui.answers = {ui::IdYes};
    SaveExpecting({OverwriteQuestion,
                   "User Information was not saved. The table file could not be written (the "
                   "folder may be read-only or the disk full)."});
    EXPECT_EQ(ui.LastMessage().style, Warning);
    SetWriteStepHookForTesting({});
    ExpectStored(Stored);
    EXPECT_EQ(Text(FirstNameBox), "Changed");
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(FirstUserSave, AFailedWriteIsReportedInsteadOfSuccess) {
    StoredUser(); // the empty table exists; only the record's write is to fail
    OpenUserSetup();
    FillValidForm();
    SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataWritten; });
    SaveExpecting({"User Information was not saved. The table file could not be written (the "
                   "folder may be read-only or the disk full)."});
    SetWriteStepHookForTesting({});
    int count = -1;
    StoredUser(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Text(LoginPasswordConfirmBox), "Secret");
    EXPECT_FALSE(std::filesystem::exists(ActivityLogFile));
}

TEST_F(FirstUserSave, WithoutTheFormSaysSo) {
    SaveExpecting({"Cannot find the User Setup Window"});
    EXPECT_EQ(ui.LastMessage().style, Warning);
}

} // namespace
