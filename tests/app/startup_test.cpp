#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "ui/dialog_support.h"

#include <gtest/gtest.h>

namespace {

using ui::WindowHandle;
using Texts = std::vector<std::string>;

const unsigned Exclamation = 0x2030, Information = 0x2040;

class Startup : public InTempFolder {
protected:
    void SetUp() override { loginFollows = 0; }

    // Scripts what the user does in the next dialog that runs.
    void Then(std::function<void(WindowHandle)> action) { ui.actions.push_back(action); }
    // Types into the Create User Login or the Login dialog and presses OK.
    void Create(WindowHandle d, const std::string& name, const std::string& password,
                const std::string& repeated) {
        ui.Type(d, NewNameBox, name);
        ui.Type(d, NewLoginPasswordBox, password);
        ui.Type(d, RepeatLoginPasswordBox, repeated);
        ui.Click(d, CreateLoginOkButton);
    }
    void Enter(WindowHandle d, const std::string& name, const std::string& password) {
        ui.Type(d, UserNameBox, name);
        ui.Type(d, PasswordBox, password);
        ui.Click(d, LoginButton);
    }
    void CreateLogin(const std::string& name, const std::string& password) {
        Then([=, this](WindowHandle d) { Create(d, name, password, password); });
    }
    void LogIn(const std::string& name, const std::string& password) {
        Then([=, this](WindowHandle d) { Enter(d, name, password); });
    }
    void Close() {
        Then([this](WindowHandle dialog) { ui.ClickClose(dialog); });
    }
    Texts RunProgram() {
        loginFollows = 0;
        ui.dialogsRun.clear();
        ui.messages.clear();
        EXPECT_EQ(ProgramStart(), 0);
        EXPECT_FALSE(ui.ranOutOfActions);
        return ui.dialogsRun;
    }
    // A message box as "caption|style|text"; the last one by default.
    std::string Shown(int index = -1) {
        if (ui.messages.empty())
            return "no message";
        const auto& m = ui.messages.at(index < 0 ? ui.messages.size() - 1 : index);
        return m.caption + "|" + std::to_string(m.style) + "|" + m.text;
    }
    std::string System(unsigned style, const std::string& text) {
        return "Ombrelay System Message|" + std::to_string(style) + "|" + text;
    }
    int UserCount() {
        int count = -1;
        StoredUser(&count);
        return count;
    }

    HeadlessPlatform ui;
};

TEST_F(Startup, FirstStartCreatesALoginAndTheLoginDialogFollows) {
    CreateLogin("Ann", ""); // two empty passwords make an empty one
    Then([this](WindowHandle dialog) {
        EXPECT_EQ(ui.ControlText(dialog, UserNameBox), "Ann");
        EXPECT_EQ(ui.FocusedControl(dialog), PasswordBox);
        ui.Click(dialog, LoginButton);
    });
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(Shown(0), "READ THIS MESSAGE CAREFULLY|" + std::to_string(Information) +
                            "|If you don't want to login to Ombrelay for each use\r\n"
                            "then enter \"no login'' for the name and for the\r\n"
                            "password.  After your first login Ombrelay will open\r\n"
                            "to the Main Display each time you use it");
    EXPECT_EQ(Shown(), System(Information, "Your User Name and Password have been created and\r\n"
                                           "stored - please login and enter your User data"));
    EXPECT_EQ(UserCount(), 1);
    EXPECT_EQ(StoredUser().loginName, "Ann");
}

TEST_F(Startup, NoLoginInSmallLettersNeedsTheSameLettersOnceThenSwitchesTheLoginOff) {
    CreateLogin("no login", "no login");
    LogIn("NO LOGIN", "NO LOGIN"); // compared exactly: refused
    LogIn("no login", "no login");
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Ombrelay"}));
    EXPECT_TRUE(ui.messages.empty());

    const struct {
        const char *name, *password;
        int setting;
    } cases[] = {{"No Login", "NO login", 12},
                 {"no login", "secret", 2},
                 {" no login", "no login", 2},
                 {"no login ", "no login", 2},
                 {"nologin", "nologin", 2}};
    for (const auto& c : cases) {
        StoreUser({.loginName = c.name, .loginPassword = c.password});
        EXPECT_EQ(CheckLoginSetting(), c.setting) << '"' << c.name << "\" / " << c.password;
    }
}

TEST_F(Startup, StrayUserRecordsCountAsNoneAndTheNewLoginGoesWhereItIsRead) {
    StoreUser({.loginName = "Ann", .loginPassword = "x"});
    const int table = XDBOPENEX("User.dbf", 2, 1, "");
    XDBADDRECORD(table);
    XDBCLOSE(table);
    CreateLogin("Cleo", "pw");
    LogIn("Cleo", "pw");
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(StoredUser().loginName, "Cleo");

    Close(); // the Create User Login dialog closed: the program ends, nothing stored
    std::filesystem::remove("User.dbf");
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login"}));
    EXPECT_EQ(UserCount(), 0);
}

TEST_F(Startup, AnUnreadableUserTableIsReportedAndNeverOverwritten) {
    WriteFile("User.dbf", "this is not a table");
    CreateLogin("Ann", "pw");
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login"}));
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(Shown(0), "Ombrelay User Database|" + std::to_string(Exclamation) + "|" +
                            OpenErrorText(XdbDamaged, "database"));
    // The login could not be stored: no success text, and no Login dialog follows.
    EXPECT_TRUE(Shown().starts_with(
        System(Exclamation, "Your User Name and Password have not been stored.")));
    EXPECT_EQ(ReadFile("User.dbf"), "this is not a table");
}

TEST_F(Startup, LoginIsExactAndEmptiesBothBoxesAfterAFailure) {
    StoreUser({.loginName = "Ann", .loginPassword = "Secret"});
    for (auto [name, password] :
         {std::pair{"ann", "Secret"}, {"Ann", "secret"}, {"Ann ", "Secret"}}) {
        Then([this, name = name, password = password](WindowHandle dialog) {
            Enter(dialog, name, password);
            EXPECT_EQ(Shown(), System(Exclamation, "Invalid User Name or Password...try again!"));
            EXPECT_EQ(ui.ControlText(dialog, UserNameBox) + ui.ControlText(dialog, PasswordBox),
                      "");
            EXPECT_EQ(ui.FocusedControl(dialog), UserNameBox);
        });
    }
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Ombrelay Login"}));
}

TEST_F(Startup, CreatingRefusesAnEmptyNameDifferentPasswordsAndValuesThatDoNotFit) {
    const std::string tooLong(LoginNameWidth + 1, 'n');
    const struct {
        std::string name, password, repeated;
        unsigned style;
        std::string text;
        std::string kept; // the password box afterwards
    } refusals[] = {
        {"", "pw", "pw", Exclamation, "You must enter a login name", "pw"},
        {"Ann", "Secret", "secret", Information,
         "The passwords you entered do not match, try again", ""},
        {tooLong, "pw", "pw", Exclamation, FieldTooLongText("Login Name", LoginNameWidth), "pw"},
    };
    Then([&, this](WindowHandle dialog) {
        for (const auto& r : refusals) {
            Create(dialog, r.name, r.password, r.repeated);
            EXPECT_EQ(Shown(), System(r.style, r.text));
            EXPECT_EQ(ui.ControlText(dialog, NewLoginPasswordBox), r.kept);
            EXPECT_EQ(ui.FocusedControl(dialog), NewNameBox);
        }
        EXPECT_EQ(UserCount(), 0);
        Create(dialog, " ", "", ""); // a name of blanks is a name
    });
    CreateUserLoginDialog(0);
    EXPECT_EQ(loginFollows, 1);
    EXPECT_EQ(StoredUser().loginName, " ");
}

TEST_F(Startup, TheWithoutLoginBoxFillsInTheWordsThatSwitchTheLoginOff) {
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, WithoutLoginBox);
        for (int box : {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox}) {
            EXPECT_EQ(ui.ControlText(dialog, box), "no login");
            EXPECT_FALSE(ui.ControlOf(dialog, box).enabled);
        }
        ui.Click(dialog, WithoutLoginBox); // changed my mind
        EXPECT_EQ(ui.ControlText(dialog, RepeatLoginPasswordBox), "");
        EXPECT_TRUE(ui.ControlOf(dialog, RepeatLoginPasswordBox).enabled);
        ui.Click(dialog, WithoutLoginBox);
        ui.Click(dialog, CreateLoginOkButton);
    });
    Close(); // the Login dialog that follows
    CreateUserLoginDialog(0);
    EXPECT_EQ(CheckLoginSetting(), 12);
}

TEST_F(Startup, AboutOpensTheHomePageMaximisedAndOnlyOkCloses) {
    Then([this](WindowHandle dialog) { ui.Click(dialog, AboutOkButton); });
    AboutDialog(0); // without a main window to own it
    EXPECT_EQ(Shown(), System(Exclamation, "wHandle Error in About Dialog Function"));

    ui.OpenWindow(MainDisplayLayout());
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, VisitLabel);   // the first half of the sentence
        ui.Click(dialog, ContactLabel); // the contact line
        ui.ClickClose(dialog);          // there is no close box
        ui.Click(dialog, LinkLabel);
        ui.Click(dialog, AboutOkButton);
    });
    EXPECT_EQ(AboutDialog(0), 0);
    ASSERT_EQ(ui.shellOpens.size(), 1u);
    EXPECT_EQ(ui.shellOpens[0].target, HomePage);
    EXPECT_EQ(ui.shellOpens[0].show, ui::ShowState::Maximized);
    EXPECT_EQ(ui.handCursorRequests, 1);
    EXPECT_FALSE(ui.ranOutOfActions);
}

TEST_F(Startup, AnOperationThatThrowsIsStoppedWithItsTableClosedAndTheDialogGoesOn) {
    int table = 0;
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, AboutButton);    // throws
        ui.Click(dialog, UserInfoButton); // still answered
        ui.ClickClose(dialog);
    });
    ui::RunDialog(
        MainDisplayLayout(), 0,
        {.buttons = {{AboutButton,
                      [&](WindowHandle) {
                          UserTableScope scope;
                          table = userTable;
                          throw std::bad_alloc();
                      }}},
         .otherCommand = [](WindowHandle, const ui::DialogEvent&) { ui::Inform("still here"); }});
    XDBRESETERROR();
    XDBRECORDCOUNT(table);
    EXPECT_EQ(XDBERROR(), XdbBadHandle); // closed on the way out
    XDBRESETERROR();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(Shown(0), System(Exclamation, "The operation was stopped by an unexpected error "
                                            "(std::bad_alloc); nothing more of it was done."));
    EXPECT_EQ(Shown(1), System(Information, "still here"));
}

} // namespace
