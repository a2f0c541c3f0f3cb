#include "app/login_dialogs.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <string>

namespace {

enum LoginControl {
    UserNameBox = 1121,
    PasswordBox = 1122,
    LoginButton = 1123,
    UserNameLabel = 1124,
    PasswordLabel = 1125,
};

enum CreateLoginControl {
    NewNameBox = 1141,
    NewPasswordBox = 1142,
    RepeatPasswordBox = 1143,
    NewNameLabel = 1144,
    NewPasswordLabel = 1145,
    RepeatPasswordLabel = 1146,
    OkButton = 1147,
    WithoutLoginBox = 1171,
};

// The words that switch the login off; start-up compares them in any letter case.
const std::string NoLogin = "no login";

const ui::Font BoldFont{ui::SansSerif, 8, 700};

int loginFocus = 0;
int createLoginFocus = 0;

ui::Control Edit(int id, int x, int y, unsigned style) {
    return {.id = id,
            .kind = ui::ControlKind::Edit,
            .x = x,
            .y = y,
            .width = 150,
            .height = 13,
            .style = style | ui::TabStop | ui::AutoHScroll,
            .font = 0};
}

ui::Control Label(int id, const char* caption, int x, int y, int width,
                  ui::Rgb background = ui::LightBlue) {
    return {.id = id,
            .kind = ui::ControlKind::Label,
            .caption = caption,
            .x = x,
            .y = y,
            .width = width,
            .height = 10,
            .background = background,
            .font = 0};
}

ui::Control Button(int id, const char* caption, int x, int y) {
    return {.id = id,
            .kind = ui::ControlKind::PushButton,
            .caption = caption,
            .x = x,
            .y = y,
            .width = 50,
            .height = 15,
            .style = ui::TabStop,
            .font = 0};
}

void ShowExclamation(const std::string& text) {
    ui::Message(text, ui::MbIconExclamation);
}

void ShowInformation(const std::string& text) {
    ui::Message(text, ui::MbIconInformation);
}

} // namespace

ui::Dialog LoginLayout() {
    ui::Dialog dialog{.title = LoginTitle, .x = 70, .y = 70, .width = 205, .height = 83};
    dialog.fonts = {BoldFont};
    dialog.controls = {
        Edit(UserNameBox, 28, 17, ui::Border),
        Edit(PasswordBox, 28, 45, ui::Password | ui::ClientEdge),
        Button(LoginButton, "&Login", 77, 63),
        Label(UserNameLabel, "User Name", 28, 6, 100),
        Label(PasswordLabel, "Password", 28, 33, 100),
    };
    return dialog;
}

ui::Dialog CreateUserLoginLayout() {
    ui::Dialog dialog{.title = CreateUserLoginTitle, .x = 70, .y = 70, .width = 205, .height = 136};
    dialog.fonts = {BoldFont};
    auto withoutLogin = Label(WithoutLoginBox, "Use Ombrelay Without Logging In", 28, 90, 160,
                              ui::Rgb{135, 185, 240});
    withoutLogin.kind = ui::ControlKind::CheckBox;
    withoutLogin.style = ui::TabStop;
    auto name = Edit(NewNameBox, 28, 14, ui::Border);
    name.style &= ~ui::AutoHScroll;
    auto password = Edit(NewPasswordBox, 28, 41, ui::Password | ui::ClientEdge);
    auto repeat = Edit(RepeatPasswordBox, 28, 68, ui::Password | ui::ClientEdge);
    password.style &= ~ui::AutoHScroll;
    repeat.style &= ~ui::AutoHScroll;
    dialog.controls = {
        name,
        password,
        repeat,
        Label(NewNameLabel, "Enter a Login Name", 29, 2, 100),
        Label(NewPasswordLabel, "Enter a Login Password", 30, 30, 100),
        Label(RepeatPasswordLabel, "Enter Login Password Again", 30, 56, 125),
        Button(OkButton, "&OK", 77, 116),
        withoutLogin,
    };
    return dialog;
}

void DisplayUserLoginName() {
    OpenUserTable();
    XDBGETRECORD(userTable, 1);
    const std::string name = XDBFIELDVALUE(userTable, "LOGINNAME", 0);
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(LoginTitle);
    if (dialog == 0) {
        ShowExclamation("wHandle Error 1005 in Display User Login Name Function");
        XDBCLOSE(userTable);
        return;
    }
    ui::Ui().SetControlText(dialog, UserNameBox, name);
    ui::Ui().SetFocus(dialog, PasswordBox);
    XDBCLOSE(userTable);
}

void VerifyLogon() {
    OpenUserTable();
    XDBGETRECORD(userTable, 1);
    const std::string storedName = XDBFIELDVALUE(userTable, "LOGINNAME", 0);
    const std::string storedPassword = XDBFIELDVALUE(userTable, "LOGINPSWD", 0);
    XDBCLOSE(userTable);

    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(LoginTitle);
    if (dialog == 0)
        ShowExclamation("wHandle Error 1005 in Verify Logon Function");
    const std::string name = ui::Ui().ControlText(dialog, UserNameBox);
    const std::string password = ui::Ui().ControlText(dialog, PasswordBox);

    if (name == storedName && password == storedPassword) {
        ui::Ui().EndDialog(dialog, 0);
        MainDisplayDialog(0);
        return;
    }
    ShowExclamation("Invalid User Name or Password...try again!");
    ui::Ui().SetControlText(dialog, UserNameBox, "");
    ui::Ui().SetControlText(dialog, PasswordBox, "");
    ui::Ui().SetFocus(dialog, UserNameBox);
}

void CreateUserLogin() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(CreateUserLoginTitle);
    if (dialog == 0) {
        ShowInformation("wHandle Error 1005 in Create User Login Function");
        return;
    }
    const std::string name = ui::Ui().ControlText(dialog, NewNameBox);
    if (name.empty()) {
        ShowExclamation("You must enter a login name");
        ui::Ui().SetFocus(dialog, NewNameBox);
        return;
    }
    const std::string password = ui::Ui().ControlText(dialog, NewPasswordBox);
    const std::string repeated = ui::Ui().ControlText(dialog, RepeatPasswordBox);
    if (password != repeated) {
        ShowInformation("The passwords you entered do not match, try again");
        for (int box : {NewNameBox, NewPasswordBox, RepeatPasswordBox})
            ui::Ui().SetControlText(dialog, box, "");
        ui::Ui().SetFocus(dialog, NewNameBox);
        return;
    }
    // Nothing is cut: a name or password that does not fit its field is refused.
    if (!FitsField(name, LoginNameWidth)) {
        ShowExclamation(FieldTooLongText("Login Name", LoginNameWidth));
        ui::Ui().SetFocus(dialog, NewNameBox);
        return;
    }
    if (!FitsField(password, PasswordWidth)) {
        ShowExclamation(FieldTooLongText("Login Password", PasswordWidth));
        ui::Ui().SetFocus(dialog, NewPasswordBox);
        return;
    }

    OpenUserTable();
    XDBRESETERROR();
    // A table that holds stray records besides the user record (start-up then treats it as
    // empty) gets the login in record 1, which the Login dialog reads; appending it would
    // leave a login nobody can use.
    const bool strayRecords = XDBRECORDCOUNT(userTable) > 1;
    if (strayRecords)
        XDBGETRECORD(userTable, 1);
    XDBASSIGNFIELD(userTable, "LOGINNAME", 0, name);
    XDBASSIGNFIELD(userTable, "LOGINPSWD", 0, password);
    if (strayRecords) {
        int record = 1;
        XDBPUTRECORD(userTable, record);
    } else {
        XDBADDRECORD(userTable);
    }
    const int error = XDBERROR();
    XDBCLOSE(userTable);
    if (error != 0) {
        ShowExclamation("Your User Name and Password have not been stored. " +
                        WriteFailureReason(error));
        return;
    }

    ShowInformation("Your User Name and Password have been created and\r\n"
                    "stored - please login and enter your User data");
    loginFollows = 1;
    ui::Ui().EndDialog(dialog, 0);
}

int LoginDialog(ui::WindowHandle owner) {
    loginFocus = 0;
    return ui::Ui().RunDialog(LoginLayout(), owner,
                              [](ui::WindowHandle dialog, const ui::DialogEvent& event) {
                                  if (ui::HandleStandardEvent(dialog, event, loginFocus))
                                      return;
                                  if (event.kind == ui::DialogEventKind::Init)
                                      DisplayUserLoginName();
                                  else if (ui::IsButtonPress(event, LoginButton))
                                      VerifyLogon();
                              });
}

namespace {

// Ticking "Use Ombrelay Without Logging In" fills in the words that switch the login off,
// so the user need not type them three times; unticking gives the boxes back.
void WithoutLoginToggled(ui::WindowHandle dialog) {
    const bool without = ui::Ui().IsChecked(dialog, WithoutLoginBox);
    for (int box : {NewNameBox, NewPasswordBox, RepeatPasswordBox}) {
        ui::Ui().SetControlText(dialog, box, without ? NoLogin : "");
        ui::Ui().EnableControl(dialog, box, !without);
    }
    ui::Ui().SetFocus(dialog, without ? static_cast<int>(OkButton) : NewNameBox);
}

} // namespace

int CreateUserLoginDialog(ui::WindowHandle owner) {
    createLoginFocus = 0;
    return ui::Ui().RunDialog(CreateUserLoginLayout(), owner,
                              [](ui::WindowHandle dialog, const ui::DialogEvent& event) {
                                  if (ui::HandleStandardEvent(dialog, event, createLoginFocus))
                                      return;
                                  if (ui::IsButtonPress(event, OkButton))
                                      CreateUserLogin();
                                  else if (ui::IsButtonPress(event, WithoutLoginBox))
                                      WithoutLoginToggled(dialog);
                              });
}
