#pragma once
// What the User Setup dialog decides, on plain values: the checks of a first save and of an
// overwrite and their order, the question before an overwrite, and the log entry.

#include "log/activity_log.h"
#include "records/user_table.h"

#include <optional>
#include <string>

// The form's boxes, numbered as the table's fields, and the login password's confirmation.
enum class UserField {
    FirstName = 1,
    LastName,
    Email,
    Pin,
    NewPin,
    Server,
    MailPassword,
    LoginName,
    LoginPassword,
    LoginPasswordConfirmation,
};

struct UserForm {
    UserRecord record;
    std::string confirmation; // the login password typed again
};

// What the user is told of a form that cannot be saved, the box to correct (none for some
// checks), and whether both login-password boxes are emptied first.
struct UserRefusal {
    std::string text;
    std::optional<UserField> focus;
    bool clearLoginPasswords = false;
    friend bool operator==(const UserRefusal&, const UserRefusal&) = default;
};

// Both courses first require names, e-mail address and PIN (length 0 is empty; blanks count).
std::optional<UserRefusal> CheckRequiredUserValues(const UserRecord& record);
// A first save: the PIN lengths, then the login name and both login passwords.
std::optional<UserRefusal> CheckFirstSave(const UserForm& form);
// An overwrite, once the user has answered the question: the PIN lengths and characters.
std::optional<UserRefusal> CheckOverwrite(const UserRecord& record);
// The Yes/No question (no icon, No by default) before the user record is overwritten.
extern const std::string OverwriteUserQuestion;
// A value the store refused.
UserRefusal UserFieldRefusal(const FieldRefusal& refusal);

inline constexpr const char* UserSavedText = "User Information has been saved";
inline constexpr const char* UserNotSavedText = "User Information was not saved.";
extern const std::string NoUserInformationText;
LogEntry UserSavedLogEntry(const UserRecord& record);
