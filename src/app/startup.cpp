#include "app/startup.h"

#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/login_rules.h"

int loginFollows = 0;

int CheckUserRecord() {
    UserTableScope scope;
    const int count = XDBRECORDCOUNT(userTable);
    scope.Close();
    if (count == 1)
        return 1;
    ui::Ui().ShowMessage(FirstRunText, FirstRunCaption,
                         ui::MbTaskModal | ui::MbIconInformation | ui::MbOk);
    return 0;
}

int CheckLoginSetting() {
    UserTableScope scope;
    return LoginSwitchedOff(ReadUserRecord()) ? 12 : 2;
}

int ProgramStart() {
    ui::RunGuarded([] {
        if (CheckUserRecord() == 1) {
            if (CheckLoginSetting() == 12)
                MainDisplayDialog(0);
            else
                LoginDialog(0);
        } else {
            CreateUserLoginDialog(0);
        }
        if (loginFollows != 0)
            LoginDialog(0);
    });
    return 0;
}
