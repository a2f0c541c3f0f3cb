#include "app/startup.h"

#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "common/text.h"
#include "records/tables.h"
#include "records/user_table.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

int loginFollows = 0;

namespace {

const std::string FirstRunMessage = "If you don't want to login to Ombrelay for each use\r\n"
                                    "then enter \"no login'' for the name and for the\r\n"
                                    "password.  After your first login Ombrelay will open\r\n"
                                    "to the Main Display each time you use it";

} // namespace

int CheckUserRecord() {
    UserTableScope scope;
    const int count = XDBRECORDCOUNT(userTable);
    scope.Close();
    if (count == 1)
        return 1;
    ui::Ui().ShowMessage(FirstRunMessage, "READ THIS MESSAGE CAREFULLY",
                         ui::MbTaskModal | ui::MbIconInformation | ui::MbOk);
    return 0;
}

int CheckLoginSetting() {
    UserTableScope scope;
    const UserRecord record = ReadUserRecord();
    return ToUpper(record.loginName) == "NO LOGIN" && ToUpper(record.loginPassword) == "NO LOGIN"
               ? 12
               : 2;
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
