#include "app/login_dialogs.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "common/text.h"
#include "records/tables.h"
#include "records/user_table.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <string>

namespace {

// The words that switch the login off; start-up compares them in any letter case.
const std::string NoLogin = "no login";

constexpr int Bold = 0; // the one font of the controls

// Ticking "Use Ombrelay Without Logging In" fills in the words that switch the login off,
// so the user need not type them three times; unticking gives the boxes back.
void WithoutLoginToggled(ui::WindowHandle dialog) {
    const bool without = ui::Ui().IsChecked(dialog, WithoutLoginBox);
    for (int box : {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox}) {
        ui::Ui().SetControlText(dialog, box, without ? NoLogin : "");
        ui::Ui().EnableControl(dialog, box, !without);
    }
    ui::Ui().SetFocus(dialog, without ? static_cast<int>(CreateLoginOkButton) : NewNameBox);
}

} // namespace

ui::Dialog LoginLayout() {
    ui::Dialog dialog{.title = ui::LoginTitle, .x = 70, .y = 70, .width = 205, .height = 83};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    const unsigned edit = ui::TabStop | ui::AutoHScroll;
    const auto blue = ui::LightBlue;
    using enum ui::ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(UserNameBox,   Edit,       "",          28, 17, 150, 13, edit | ui::Border, Bold),
        ui::MakeControl(PasswordBox,   Edit,       "",          28, 45, 150, 13, edit | ui::Password | ui::ClientEdge, Bold),
        ui::MakeControl(LoginButton,   PushButton, "&Login",    77, 63, 50,  15, ui::TabStop, Bold),
        ui::MakeControl(UserNameLabel, Label,      "User Name", 28, 6,  100, 10, ui::NoStyle, Bold, blue),
        ui::MakeControl(PasswordLabel, Label,      "Password",  28, 33, 100, 10, ui::NoStyle, Bold, blue),
    };
    // clang-format on
    return dialog;
}

ui::Dialog CreateUserLoginLayout() {
    ui::Dialog dialog{
        .title = ui::CreateUserLoginTitle, .x = 70, .y = 70, .width = 205, .height = 136};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    const unsigned password = ui::TabStop | ui::Password | ui::ClientEdge;
    const auto blue = ui::LightBlue;
    using enum ui::ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(NewNameBox,             Edit,       "",                                28, 14,  150, 13, ui::TabStop | ui::Border, Bold),
        ui::MakeControl(NewLoginPasswordBox,    Edit,       "",                                28, 41,  150, 13, password, Bold),
        ui::MakeControl(RepeatLoginPasswordBox, Edit,       "",                                28, 68,  150, 13, password, Bold),
        ui::MakeControl(NewNameLabel,           Label,      "Enter a Login Name",              29, 2,   100, 10, ui::NoStyle, Bold, blue),
        ui::MakeControl(NewPasswordLabel,       Label,      "Enter a Login Password",          30, 30,  100, 10, ui::NoStyle, Bold, blue),
        ui::MakeControl(RepeatPasswordLabel,    Label,      "Enter Login Password Again",      30, 56,  125, 10, ui::NoStyle, Bold, blue),
        ui::MakeControl(CreateLoginOkButton,    PushButton, "&OK",                             77, 116, 50,  15, ui::TabStop, Bold),
        ui::MakeControl(WithoutLoginBox,        CheckBox,   "Use Ombrelay Without Logging In", 28, 90,  160, 10, ui::TabStop, Bold, ui::Rgb{135, 185, 240}),
    };
    // clang-format on
    return dialog;
}

void DisplayUserLoginName() {
    UserTableScope scope;
    const std::string name = ReadUserRecord().loginName;
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::LoginTitle);
    if (dialog == 0)
        return ui::Warn("wHandle Error 1005 in Display User Login Name Function");
    ui::Ui().SetControlText(dialog, UserNameBox, name);
    ui::Ui().SetFocus(dialog, PasswordBox);
}

void VerifyLogon() {
    UserTableScope scope;
    const UserRecord stored = ReadUserRecord();
    scope.Close();

    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::LoginTitle);
    if (dialog == 0)
        ui::Warn("wHandle Error 1005 in Verify Logon Function");
    const std::string name = ui::Ui().ControlText(dialog, UserNameBox);
    const std::string password = ui::Ui().ControlText(dialog, PasswordBox);

    if (name == stored.loginName && password == stored.loginPassword) {
        ui::Ui().EndDialog(dialog, 0);
        MainDisplayDialog(0);
        return;
    }
    ui::Warn("Invalid User Name or Password...try again!");
    ui::Ui().SetControlText(dialog, UserNameBox, "");
    ui::Ui().SetControlText(dialog, PasswordBox, "");
    ui::Ui().SetFocus(dialog, UserNameBox);
}

void CreateUserLogin() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::CreateUserLoginTitle);
    if (dialog == 0)
        return ui::Inform("wHandle Error 1005 in Create User Login Function");
    const std::string name = ui::Ui().ControlText(dialog, NewNameBox);
    if (name.empty())
        return ui::Refuse(dialog, "You must enter a login name", NewNameBox);
    const std::string password = ui::Ui().ControlText(dialog, NewLoginPasswordBox);
    const std::string repeated = ui::Ui().ControlText(dialog, RepeatLoginPasswordBox);
    if (password != repeated) {
        ui::Inform("The passwords you entered do not match, try again");
        for (int box : {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox})
            ui::Ui().SetControlText(dialog, box, "");
        ui::Ui().SetFocus(dialog, NewNameBox);
        return;
    }
    // Nothing is cut: a name or password that does not fit its field is refused.
    if (!FitsField(name, LoginNameWidth))
        return ui::Refuse(dialog, FieldTooLongText("Login Name", LoginNameWidth), NewNameBox);
    if (!FitsField(password, PasswordWidth))
        return ui::Refuse(dialog, FieldTooLongText("Login Password", PasswordWidth),
                          NewLoginPasswordBox);

    UserTableScope scope;
    if (!XdbCodePageHolds(userTable, name))
        return ui::Refuse(dialog, NotInCodePageText("Login Name"), NewNameBox);
    if (!XdbCodePageHolds(userTable, password))
        return ui::Refuse(dialog, NotInCodePageText("Login Password"), NewLoginPasswordBox);
    // A table that holds stray records besides the user record (start-up then treats it as
    // empty) gets the login in record 1, which the Login dialog reads; appending it would
    // leave a login nobody can use.
    const bool strayRecords = XDBRECORDCOUNT(userTable) > 1;
    UserRecord record = strayRecords ? ReadUserRecord() : UserRecord{};
    record.loginName = name;
    record.loginPassword = password;
    WriteUserRecord(record, strayRecords ? 1 : 0);
    scope.Close();
    if (!StoreSucceeded("Your User Name and Password have not been stored."))
        return;

    ui::Inform(JoinLines({"Your User Name and Password have been created and",
                          "stored - please login and enter your User data"}));
    loginFollows = 1;
    ui::Ui().EndDialog(dialog, 0);
}

int LoginDialog(ui::WindowHandle owner) {
    return ui::RunDialog(LoginLayout(), owner,
                         {.init = [](ui::WindowHandle) { DisplayUserLoginName(); },
                          .buttons = {{LoginButton, [](ui::WindowHandle) { VerifyLogon(); }}}});
}

int CreateUserLoginDialog(ui::WindowHandle owner) {
    return ui::RunDialog(
        CreateUserLoginLayout(), owner,
        {.buttons = {{CreateLoginOkButton, [](ui::WindowHandle) { CreateUserLogin(); }},
                     {WithoutLoginBox, WithoutLoginToggled}}});
}
