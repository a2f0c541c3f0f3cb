#include "user/user_record.h"

#include "applications/activity_log.h"
#include "common/text.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_setup_dialog.h"

#include <string_view>

CurrentUserValues currentUser;

namespace {

// Display User Information fills no form while the request preparation has its dialog open.
constexpr const char* ComposeEmailTitle = "Ombrelay Email Application Vendors";

constexpr unsigned Warning = ui::MbIconExclamation;
constexpr unsigned Notice = ui::MbIconInformation;

std::string Joined(std::string_view first, std::string_view second) {
    return std::string(first) + std::string(CRLF) + std::string(second);
}

constexpr const char* FieldNames[] = {"FNAME",  "LNAME",    "MYEMAIL",   "PIN",      "NEWPIN",
                                      "SERVER", "PASSWORD", "LOGINNAME", "LOGINPSWD"};

// The form's nine values in field-number order, with where they are typed and how wide
// their field is.
struct UserField {
    int box;
    int width;
    const char* name; // as the user knows the box
};
constexpr UserField UserFields[] = {
    {FirstNameBox, UserNameWidth, "First Name"},
    {LastNameBox, UserNameWidth, "Last Name"},
    {UserEmailBox, UserEmailWidth, "Email Address"},
    {PinBox, PinWidth, "BB PIN"},
    {NewPinBox, PinWidth, "New PIN"},
    {ServerBox, ServerWidth, "Outgoing Mail Server"},
    {MailPasswordBox, PasswordWidth, "Mail Server Password"},
    {LoginNameBox, LoginNameWidth, "User Name"},
    {LoginPasswordBox, PasswordWidth, "Login Password"},
};

struct UserForm {
    std::string values[9];
};

std::string Text(ui::WindowHandle dialog, int control) {
    return ui::Ui().ControlText(dialog, control);
}

void Refuse(const std::string& text) {
    ui::Message(text, Warning);
}

void Refuse(ui::WindowHandle dialog, const std::string& text, int focus) {
    ui::Message(text, Warning);
    ui::Ui().SetFocus(dialog, focus);
}

ui::WindowHandle FindUserSetup() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(UserSetupTitle);
    if (dialog == 0)
        Refuse("Cannot find the User Setup Window");
    return dialog;
}

// Lengths count characters, blanks included; only length 0 is empty.
bool IsEightLong(const std::string& pin) {
    return CharacterCount(pin) == 8;
}

bool NewPinLengthWrong(const std::string& newPin) {
    return !newPin.empty() && !IsEightLong(newPin);
}

// Bytes of `pin` among "ABCDEF0123456789"; a lower-case letter does not count.
int PinCharacters(const std::string& pin) {
    constexpr std::string_view set = "ABCDEF0123456789";
    int count = 0;
    for (const char c : pin)
        count += set.find(c) != std::string_view::npos ? 1 : 0;
    return count;
}

bool RequiredMissing(const std::string& firstName, const std::string& lastName,
                     const std::string& email, const std::string& pin) {
    if (!firstName.empty() && !lastName.empty() && !email.empty() && !pin.empty())
        return false;
    Refuse(Joined("You must enter a First Name, Last Name, Email",
                  "Address, and PIN Number to save a User Record"));
    return true;
}

// The four values both courses require first: names, e-mail address and PIN.
bool ReadRequired(ui::WindowHandle dialog, UserForm& form) {
    auto& v = form.values;
    v[0] = Text(dialog, FirstNameBox);
    v[1] = Text(dialog, LastNameBox);
    v[2] = Text(dialog, UserEmailBox);
    v[3] = Text(dialog, PinBox);
    return !RequiredMissing(v[0], v[1], v[2], v[3]);
}

const std::string PinLengthText = Joined("BlackBerry PIN numbers must be eight digits,",
                                         "please check the PIN number you entered.");
const std::string NewPinLengthText = Joined("BlackBerry PIN numbers must be eight digits,",
                                            "please check the new PIN number again.");

// Nothing is cut: a value too long for its field is refused before anything is written.
bool AllFit(ui::WindowHandle dialog, const UserForm& form) {
    for (int i = 0; i < 9; ++i) {
        if (!FitsField(form.values[i], UserFields[i].width)) {
            Refuse(dialog, FieldTooLongText(UserFields[i].name, UserFields[i].width),
                   UserFields[i].box);
            return false;
        }
    }
    return true;
}

void AssignFields(const UserForm& form) {
    for (int field = 1; field <= 9; ++field)
        XDBASSIGNFIELD(userTable, "", field, form.values[field - 1]);
}

bool WriteFailed() {
    const int error = XDBERROR();
    if (error == 0)
        return false;
    Refuse("User Information was not saved. " + WriteFailureReason(error));
    XDBRESETERROR();
    return true;
}

std::string OrNotAvailable(const std::string& value) {
    return IsBlank(value) ? "N/A" : value;
}

void LogSave(const UserForm& form) {
    const auto& v = form.values;
    ActivityLogAppend("User Record Modified:  ",
                      "fname = " + v[0] + "   lname = " + v[1] + "   user email = " + v[2] +
                          std::string(CRLF) + "PIN = " + v[3] + "   new PIN = " +
                          OrNotAvailable(v[4]) + "   server name = " + OrNotAvailable(v[5]) +
                          std::string(CRLF) + "Login Name = " + v[7]);
}

void FirstSave(UserTableScope& scope) {
    const ui::WindowHandle dialog = FindUserSetup();
    UserForm form;
    auto& v = form.values;
    if (dialog == 0 || !ReadRequired(dialog, form))
        return;
    if (!IsEightLong(v[3]))
        return Refuse(PinLengthText);
    v[4] = Text(dialog, NewPinBox);
    if (NewPinLengthWrong(v[4]))
        return Refuse(NewPinLengthText);
    v[5] = Text(dialog, ServerBox);
    v[6] = Text(dialog, MailPasswordBox);
    v[7] = Text(dialog, LoginNameBox);
    if (v[7].empty())
        return Refuse(dialog, "You must have a valid username for logging in!", LoginNameBox);
    v[8] = Text(dialog, LoginPasswordBox);
    if (v[8].empty())
        return Refuse(
            dialog,
            Joined("The first \"Password\" field is empty!", "Please enter a valid password"),
            LoginPasswordBox);
    const std::string confirmation = Text(dialog, LoginPasswordConfirmBox);
    if (confirmation.empty())
        return Refuse(
            dialog,
            Joined("The second \"Password\" field is empty!", "Please enter a valid password"),
            LoginPasswordConfirmBox);
    if (confirmation != v[8]) {
        ui::Message("The passwords you have entered do not match - please reenter them", Warning);
        ui::Ui().SetControlText(dialog, LoginPasswordBox, "");
        ui::Ui().SetControlText(dialog, LoginPasswordConfirmBox, "");
        ui::Ui().SetFocus(dialog, LoginPasswordBox);
        return;
    }
    if (!AllFit(dialog, form))
        return;

    XDBRESETERROR();
    XDBCLEARBUFFER(userTable);
    AssignFields(form);
    if (XDBERROR() == 0)
        XDBADDRECORD(userTable);
    if (WriteFailed())
        return;
    scope.Close();
    ui::Message("User Information has been saved", Notice);
    LogSave(form);
}

void Overwrite(UserTableScope& scope) {
    const ui::WindowHandle dialog = FindUserSetup();
    UserForm form;
    auto& v = form.values;
    if (dialog == 0 || !ReadRequired(dialog, form))
        return;
    const std::string question =
        Joined("CAUTION: If you continue, you will overwrite the current User Information.",
               "Do you want to continue and overwrite the current user?");
    if (ui::Message(question, ui::MbYesNo | ui::MbDefaultButton2) != ui::IdYes)
        return;
    if (!IsEightLong(v[3]))
        return Refuse(PinLengthText);
    if (PinCharacters(v[3]) < 8)
        return Refuse("PIN Number contains invalid characters - please check");
    v[4] = Text(dialog, NewPinBox);
    if (NewPinLengthWrong(v[4]))
        return Refuse(NewPinLengthText);
    if (!v[4].empty() && PinCharacters(v[4]) < 8)
        return Refuse("New PIN Number contains invalid characters - please check");
    // The rest is stored as it stands, an empty login name or password included.
    v[5] = Text(dialog, ServerBox);
    v[6] = Text(dialog, MailPasswordBox);
    v[7] = Text(dialog, LoginNameBox);
    v[8] = Text(dialog, LoginPasswordBox);
    if (!AllFit(dialog, form))
        return;

    XDBRESETERROR();
    AssignFields(form);
    int record = 1;
    if (XDBERROR() == 0)
        XDBPUTRECORD(userTable, record);
    if (WriteFailed())
        return;
    ui::Message("User Information has been saved", Notice);
    LogSave(form);
    ui::Ui().SetFocus(dialog, UserCancelButton);
    scope.Close();
    DisplayUserInformation();
}

} // namespace

void DisplayUserInformation() {
    UserTableScope scope;
    auto& ui = ui::Ui();
    if (XDBRECORDCOUNT(userTable) <= 0) {
        ui::Message(
            Joined("There is currently no User Information. ", "Please enter User Information Now"),
            Notice);
        if (const ui::WindowHandle dialog = ui.FindWindowByTitle(UserSetupTitle))
            ui.SetFocus(dialog, FirstNameBox);
        return;
    }
    XDBGETRECORD(userTable, 1);
    std::string values[9];
    for (int i = 0; i < 9; ++i)
        values[i] = XDBFIELDVALUE(userTable, FieldNames[i], 0);
    currentUser = {values[0], values[1], values[2], values[3], values[4], values[5], values[6]};

    const ui::WindowHandle dialog = ui.FindWindowByTitle(UserSetupTitle);
    if (dialog == 0) {
        if (ui.FindWindowByTitle(ComposeEmailTitle) == 0)
            Refuse("Cannot find the User Setup Window");
        return;
    }
    for (int i = 0; i < 9; ++i)
        ui.SetControlText(dialog, UserFields[i].box, values[i]);
    ui.SetControlText(dialog, LoginPasswordConfirmBox, values[8]);
    ui.SetFocus(dialog, UserCancelButton);
}

void SaveUserInformation() {
    UserTableScope scope;
    const int count = XDBRECORDCOUNT(userTable);
    if (count < 0)
        return;
    if (count == 0)
        FirstSave(scope);
    else
        Overwrite(scope);
}
