#include "app/login_dialogs.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/login_rules.h"

#include <string>

namespace {

constexpr int Bold = 0; // the one font of the controls

// Ticking "Use Ombrelay Without Logging In" fills in the words that switch the login off,
// so the user need not type them three times; unticking gives the boxes back.
void WithoutLoginToggled(ui::WindowHandle dialog) {
    const bool without = ui::Ui().IsChecked(dialog, WithoutLoginBox);
    for (int box : {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox}) {
        ui::Ui().SetControlText(dialog, box, without ? NoLoginWords : "");
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

    if (LoginAccepted(name, password, stored)) {
        ui::Ui().EndDialog(dialog, 0);
        MainDisplayDialog(0);
        return;
    }
    ui::Warn(InvalidLoginText);
    ui::Ui().SetControlText(dialog, UserNameBox, "");
    ui::Ui().SetControlText(dialog, PasswordBox, "");
    ui::Ui().SetFocus(dialog, UserNameBox);
}

void CreateUserLogin() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::CreateUserLoginTitle);
    if (dialog == 0)
        return ui::Inform("wHandle Error 1005 in Create User Login Function");
    constexpr int boxes[] = {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox};
    const auto refuse = [&](const LoginRefusal& refusal) {
        if (refusal.notice)
            ui::Inform(refusal.text);
        else
            ui::Warn(refusal.text);
        for (const int box : boxes) {
            if (refusal.clear)
                ui::Ui().SetControlText(dialog, box, "");
        }
        ui::Ui().SetFocus(dialog, boxes[refusal.focus - 1]);
    };
    const std::string name = ui::Ui().ControlText(dialog, NewNameBox);
    const std::string password = ui::Ui().ControlText(dialog, NewLoginPasswordBox);
    const std::string repeated = ui::Ui().ControlText(dialog, RepeatLoginPasswordBox);
    if (const auto refusal = CheckNewLogin(name, password, repeated))
        return refuse(*refusal);

    UserTableScope scope;
    // A table that holds stray records besides the user record (start-up then treats it as
    // empty) gets the login in record 1, which the Login dialog reads; appending it would
    // leave a login nobody can use.
    const bool strayRecords = XDBRECORDCOUNT(userTable) > 1;
    UserRecord record = strayRecords ? ReadUserRecord() : UserRecord{};
    record.loginName = name;
    record.loginPassword = password;
    // Nothing is cut: a name or password that the table cannot hold is refused.
    if (const auto refusal = AssignUserRecord(record)) {
        XDBRESETERROR();
        return refuse(NewLoginFieldRefusal(*refusal));
    }
    StoreBuffer(userTable, strayRecords ? 1 : 0);
    scope.Close();
    if (!StoreSucceeded(LoginNotStoredText))
        return;

    ui::Inform(LoginCreatedText);
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
