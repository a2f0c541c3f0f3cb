#include "user/user_rules.h"

#include "common/text.h"

#include <string_view>

namespace {

struct Field {
    UserField field;
    const char* label; // as the form names the box
    int width;
};
constexpr Field Fields[] = {
    {UserField::FirstName, "First Name", UserNameWidth},
    {UserField::LastName, "Last Name", UserNameWidth},
    {UserField::Email, "Email Address", UserEmailWidth},
    {UserField::Pin, "BB PIN", PinWidth},
    {UserField::NewPin, "New PIN", PinWidth},
    {UserField::Server, "Outgoing Mail Server", ServerWidth},
    {UserField::MailPassword, "Mail Server Password", PasswordWidth},
    {UserField::LoginName, "User Name", LoginNameWidth},
    {UserField::LoginPassword, "Login Password", PasswordWidth},
};

UserRefusal Warning(std::string text, std::optional<UserField> focus = {}) {
    return {std::move(text), focus};
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

const std::string PinLengthText = JoinLines(
    {"BlackBerry PIN numbers must be eight digits,", "please check the PIN number you entered."});
const std::string NewPinLengthText = JoinLines(
    {"BlackBerry PIN numbers must be eight digits,", "please check the new PIN number again."});

std::string OrNotAvailable(const std::string& value) {
    return IsBlank(value) ? "N/A" : value;
}

} // namespace

std::optional<UserRefusal> CheckRequiredUserValues(const UserRecord& record) {
    if (!record.firstName.empty() && !record.lastName.empty() && !record.email.empty() &&
        !record.pin.empty())
        return std::nullopt;
    return Warning(JoinLines({"You must enter a First Name, Last Name, Email",
                              "Address, and PIN Number to save a User Record"}));
}

std::optional<UserRefusal> CheckFirstSave(const UserForm& form) {
    const UserRecord& record = form.record;
    if (!IsEightLong(record.pin))
        return Warning(PinLengthText);
    if (NewPinLengthWrong(record.newPin))
        return Warning(NewPinLengthText);
    if (record.loginName.empty())
        return Warning("You must have a valid username for logging in!", UserField::LoginName);
    if (record.loginPassword.empty())
        return Warning(
            JoinLines({"The first \"Password\" field is empty!", "Please enter a valid password"}),
            UserField::LoginPassword);
    if (form.confirmation.empty())
        return Warning(
            JoinLines({"The second \"Password\" field is empty!", "Please enter a valid password"}),
            UserField::LoginPasswordConfirmation);
    if (form.confirmation != record.loginPassword)
        return UserRefusal{"The passwords you have entered do not match - please reenter them",
                           UserField::LoginPassword, true};
    return std::nullopt;
}

std::optional<UserRefusal> CheckOverwrite(const UserRecord& record) {
    if (!IsEightLong(record.pin))
        return Warning(PinLengthText);
    if (PinCharacters(record.pin) < 8)
        return Warning("PIN Number contains invalid characters - please check");
    if (NewPinLengthWrong(record.newPin))
        return Warning(NewPinLengthText);
    if (!record.newPin.empty() && PinCharacters(record.newPin) < 8)
        return Warning("New PIN Number contains invalid characters - please check");
    return std::nullopt;
}

const std::string OverwriteUserQuestion =
    JoinLines({"CAUTION: If you continue, you will overwrite the current User Information.",
               "Do you want to continue and overwrite the current user?"});

UserRefusal UserFieldRefusal(const FieldRefusal& refusal) {
    const Field& field = Fields[refusal.field >= 1 && refusal.field <= 9 ? refusal.field - 1 : 0];
    return Warning(FieldRefusalText(refusal, field.label, field.width), field.field);
}

const std::string NoUserInformationText =
    JoinLines({"There is currently no User Information. ", "Please enter User Information Now"});

LogEntry UserSavedLogEntry(const UserRecord& record) {
    return {"User Record Modified:  ",
            "fname = " + record.firstName + "   lname = " + record.lastName +
                "   user email = " + record.email + std::string(CRLF) + "PIN = " + record.pin +
                "   new PIN = " + OrNotAvailable(record.newPin) +
                "   server name = " + OrNotAvailable(record.server) + std::string(CRLF) +
                "Login Name = " + record.loginName};
}
