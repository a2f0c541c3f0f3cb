#pragma once
// The login gate and the login password, on plain values: when the gate is off, whether a
// login is accepted, and the checks of a new login and of a new password.

#include "records/tables.h"
#include "records/user_table.h"

#include <optional>
#include <string>

// The words that switch the login off when they are both the name and the password.
inline constexpr const char* NoLoginWords = "no login";

// Start-up compares in any letter case.
bool LoginSwitchedOff(const UserRecord& stored);
// The Login dialog compares exactly, byte for byte.
bool LoginAccepted(const std::string& name, const std::string& password, const UserRecord& stored);
inline constexpr const char* InvalidLoginText = "Invalid User Name or Password...try again!";

extern const std::string FirstRunText;
inline constexpr const char* FirstRunCaption = "READ THIS MESSAGE CAREFULLY";

// A new login or a new password that is refused: the text, the box to correct (1 the first,
// 2 the second, 3 the third box of the dialog), whether the boxes are emptied first, and
// whether it is a notice (information icon) rather than a warning.
struct LoginRefusal {
    std::string text;
    int focus = 1;
    bool clear = false;
    bool notice = false;
    friend bool operator==(const LoginRefusal&, const LoginRefusal&) = default;
};

// Create User Login: the name, then the two passwords.
std::optional<LoginRefusal> CheckNewLogin(const std::string& name, const std::string& password,
                                          const std::string& repeated);
// A name or password the store refused.
LoginRefusal NewLoginFieldRefusal(const FieldRefusal& refusal);
extern const std::string LoginCreatedText;
inline constexpr const char* LoginNotStoredText =
    "Your User Name and Password have not been stored.";

// Change Password: both boxes filled, equal, and not the stored password.
std::optional<LoginRefusal> CheckNewPassword(const std::string& password,
                                             const std::string& repeated,
                                             const std::string& storedPassword);
LoginRefusal NewPasswordFieldRefusal(const FieldRefusal& refusal);
extern const std::string OverwritePasswordQuestion;
inline constexpr const char* PasswordSavedText = "Your new password has been saved";
inline constexpr const char* PasswordNotSavedText = "Your new password was not saved.";
