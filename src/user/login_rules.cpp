#include "user/login_rules.h"

#include "common/text.h"

bool LoginSwitchedOff(const UserRecord& stored) {
    const std::string words = ToUpper(NoLoginWords);
    return ToUpper(stored.loginName) == words && ToUpper(stored.loginPassword) == words;
}

bool LoginAccepted(const std::string& name, const std::string& password, const UserRecord& stored) {
    return name == stored.loginName && password == stored.loginPassword;
}

const std::string FirstRunText = "If you don't want to login to Ombrelay for each use\r\n"
                                 "then enter \"no login'' for the name and for the\r\n"
                                 "password.  After your first login Ombrelay will open\r\n"
                                 "to the Main Display each time you use it";

std::optional<LoginRefusal> CheckNewLogin(const std::string& name, const std::string& password,
                                          const std::string& repeated) {
    if (name.empty())
        return LoginRefusal{"You must enter a login name", 1};
    if (password != repeated)
        return LoginRefusal{"The passwords you entered do not match, try again", 1, true, true};
    return std::nullopt;
}

LoginRefusal NewLoginFieldRefusal(const FieldRefusal& refusal) {
    if (refusal.field == 8) // LOGINNAME
        return {FieldRefusalText(refusal, "Login Name", LoginNameWidth), 1};
    return {FieldRefusalText(refusal, "Login Password", PasswordWidth), 2};
}

const std::string LoginCreatedText = JoinLines({"Your User Name and Password have been created and",
                                                "stored - please login and enter your User data"});

std::optional<LoginRefusal> CheckNewPassword(const std::string& password,
                                             const std::string& repeated,
                                             const std::string& storedPassword) {
    if (password.empty())
        return LoginRefusal{"You must enter a new password in the first password field", 1};
    if (repeated.empty())
        return LoginRefusal{"You must enter a new password in the second password field", 2};
    if (password != repeated)
        return LoginRefusal{"Your new passwords do not match - please reenter", 1, true};
    if (password == storedPassword)
        return LoginRefusal{JoinLines({"You have entered the same password you are currently",
                                       "using - please enter a different password"}),
                            1, true};
    return std::nullopt;
}

LoginRefusal NewPasswordFieldRefusal(const FieldRefusal& refusal) {
    return {FieldRefusalText(refusal, "new password", PasswordWidth), 1};
}

const std::string OverwritePasswordQuestion =
    JoinLines({"If you continue, you will overwrite your current password - ",
               "do you want to overwrite your current password?"});
