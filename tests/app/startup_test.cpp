#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using ui::WindowHandle;

const char* const FirstRunText = "If you don't want to login to Ombrelay for each use\r\n"
                                 "then enter \"no login'' for the name and for the\r\n"
                                 "password.  After your first login Ombrelay will open\r\n"
                                 "to the Main Display each time you use it";
const unsigned Exclamation = 0x2030;
const unsigned Information = 0x2040;

class Startup : public InTempFolder {
protected:
    void SetUp() override { loginFollows = 0; }

    // Scripts the next dialog: `action` runs in it.
    void Then(std::function<void(WindowHandle)> action) { ui.actions.push_back(action); }
    void CreateLogin(const std::string& name, const std::string& password,
                     const std::string& repeated) {
        Then([=, this](WindowHandle dialog) {
            ui.Type(dialog, 1141, name);
            ui.Type(dialog, 1142, password);
            ui.Type(dialog, 1143, repeated);
            ui.Click(dialog, 1147);
        });
    }
    void LogIn(const std::string& name, const std::string& password) {
        Then([=, this](WindowHandle dialog) {
            ui.Type(dialog, 1121, name);
            ui.Type(dialog, 1122, password);
            ui.Click(dialog, 1123);
        });
    }
    void CloseTopWindow() {
        Then([this](WindowHandle dialog) { ui.ClickClose(dialog); });
    }
    // A second start of the program in the same folder.
    void Restart() {
        loginFollows = 0;
        ui.dialogsRun.clear();
        ui.messages.clear();
    }

    HeadlessPlatform ui;
};

using Titles = std::vector<std::string>;

TEST_F(Startup, FirstStartCreatesALoginAndTheLoginDialogFollows) {
    CreateLogin("Ann", "secret", "secret");
    Then([this](WindowHandle dialog) {
        // The stored name is shown and the password box has the focus.
        EXPECT_EQ(ui.ControlText(dialog, 1121), "Ann");
        EXPECT_EQ(ui.FocusedControl(dialog), 1122);
        ui.Type(dialog, 1122, "secret");
        ui.Click(dialog, 1123);
    });
    CloseTopWindow(); // the main window

    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(ui.dialogsRun, (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, FirstRunText);
    EXPECT_EQ(ui.messages[0].caption, "READ THIS MESSAGE CAREFULLY");
    EXPECT_EQ(ui.messages[0].style, Information);
    EXPECT_EQ(ui.messages[1].text, "Your User Name and Password have been created and\r\n"
                                   "stored - please login and enter your User data");
    EXPECT_EQ(ui.messages[1].caption, "Ombrelay System Message");
    EXPECT_EQ(ui.messages[1].style, Information);
    int count = 0;
    const UserRow user = StoredUser(&count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(user.loginName, "Ann");
    EXPECT_EQ(user.loginPassword, "secret");
    EXPECT_FALSE(ui.ranOutOfActions);

    // The second start asks for the login at once.
    Restart();
    LogIn("Ann", "secret");
    CloseTopWindow();
    ProgramStart();
    EXPECT_EQ(ui.dialogsRun, (Titles{"Ombrelay Login", "Ombrelay"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Startup, TwoEmptyPasswordsMakeALoginWithAnEmptyPassword) {
    CreateLogin("Ann", "", "");
    LogIn("Ann", "");
    CloseTopWindow();
    ProgramStart();
    EXPECT_EQ(ui.dialogsRun, (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(StoredUser().loginPassword, "");
}

TEST_F(Startup, NoLoginInSmallLettersNeedsTheSameLettersOnceThenSwitchesTheLoginOff) {
    CreateLogin("no login", "no login", "no login");
    LogIn("NO LOGIN", "NO LOGIN"); // compared exactly: refused
    LogIn("no login", "no login");
    CloseTopWindow();
    ProgramStart();
    EXPECT_EQ(ui.dialogsRun, (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(ui.messages.back().text, "Invalid User Name or Password...try again!");

    Restart();
    CloseTopWindow();
    ProgramStart();
    EXPECT_EQ(ui.dialogsRun, (Titles{"Ombrelay"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Startup, TheLoginIsOffOnlyForNoLoginInBothFieldsWithoutExtraBlanks) {
    struct Case {
        std::string name, password;
        int expected;
    };
    const Case cases[] = {
        {"No Login", "NO login", 12}, {"no login", "secret", 2}, {" no login", "no login", 2},
        {"no login ", "no login", 2}, {"nologin", "nologin", 2},
    };
    for (const auto& c : cases) {
        StoreUser({.loginName = c.name, .loginPassword = c.password});
        EXPECT_EQ(CheckLoginSetting(), c.expected) << '"' << c.name << "\" / " << c.password;
    }
    // Anything else keeps the Login dialog.
    CloseTopWindow();
    ProgramStart();
    EXPECT_EQ(ui.dialogsRun, (Titles{"Ombrelay Login"}));
}

TEST_F(Startup, TwoUserRecordsCountAsNone) {
    StoreUser({.loginName = "Ann", .loginPassword = "x"});
    {
        // A stray second record, as another program might leave it.
        const int table = XDBOPENEX("User.dbf", 2, 1, "");
        XDBCLEARBUFFER(table);
        XDBASSIGNFIELD(table, "LOGINNAME", 0, "Bob");
        XDBADDRECORD(table);
        XDBCLOSE(table);
    }
    EXPECT_EQ(CheckUserRecord(), 0);
    EXPECT_EQ(ui.LastMessage().caption, "READ THIS MESSAGE CAREFULLY");

    // The login created then goes where the Login dialog looks for it, so it can be used.
    ui.messages.clear();
    CreateLogin("Cleo", "pw", "pw");
    LogIn("Cleo", "pw");
    CloseTopWindow();
    ProgramStart();
    EXPECT_EQ(ui.dialogsRun, (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(StoredUser().loginName, "Cleo");
}

TEST_F(Startup, ClosingTheCreateDialogEndsTheProgramWithoutALogin) {
    CloseTopWindow();
    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(ui.dialogsRun, (Titles{"Create User Login"}));
    int count = -1;
    StoredUser(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(Startup, AnUnreadableUserTableIsReportedAndNeverOverwritten) {
    const std::string garbage = "this is not a table";
    WriteFile("User.dbf", garbage);
    CreateLogin("Ann", "pw", "pw");
    CloseTopWindow();
    ProgramStart();

    ASSERT_GE(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].caption, "Ombrelay User Database");
    EXPECT_EQ(ui.messages[0].style, Exclamation);
    EXPECT_EQ(ui.messages[0].text.rfind("Error: ", 0), 0u);
    EXPECT_NE(ui.messages[0].text.find(" opening database."), std::string::npos);
    EXPECT_EQ(ui.messages[1].caption, "READ THIS MESSAGE CAREFULLY");
    // The login could not be stored: no success text, and no Login dialog follows.
    EXPECT_EQ(ui.messages.back().style, Exclamation);
    EXPECT_EQ(ui.messages.back().text.rfind("Your User Name and Password have not been stored.", 0),
              0u);
    EXPECT_EQ(loginFollows, 0);
    EXPECT_EQ(ReadFile("User.dbf"), garbage);
}

class Login : public Startup {};

TEST_F(Login, AWrongLetterCaseIsRefusedAndBothBoxesEmptied) {
    StoreUser({.loginName = "Ann", .loginPassword = "Secret"});
    for (auto [name, password] :
         {std::pair{"ann", "Secret"}, std::pair{"Ann", "secret"}, std::pair{"Ann ", "Secret"}}) {
        Then([&, name, password](WindowHandle dialog) {
            ui.Type(dialog, 1121, name);
            ui.Type(dialog, 1122, password);
            ui.Click(dialog, 1123);
            EXPECT_EQ(ui.LastMessage().text, "Invalid User Name or Password...try again!");
            EXPECT_EQ(ui.LastMessage().caption, "Ombrelay System Message");
            EXPECT_EQ(ui.LastMessage().style, Exclamation);
            EXPECT_EQ(ui.ControlText(dialog, 1121), "");
            EXPECT_EQ(ui.ControlText(dialog, 1122), "");
            EXPECT_EQ(ui.FocusedControl(dialog), 1121);
        });
    }
    CloseTopWindow();
    LoginDialog(0);
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.dialogsRun, (Titles{"Ombrelay Login"}));
}

TEST_F(Login, CreatingRefusesAnEmptyNameAndDifferentPasswords) {
    Then([this](WindowHandle dialog) {
        ui.Type(dialog, 1142, "pw");
        ui.Type(dialog, 1143, "pw");
        ui.Click(dialog, 1147);
        EXPECT_EQ(ui.LastMessage().text, "You must enter a login name");
        EXPECT_EQ(ui.LastMessage().style, Exclamation);
        EXPECT_EQ(ui.FocusedControl(dialog), 1141);
        EXPECT_EQ(ui.ControlText(dialog, 1142), "pw"); // kept

        ui.Type(dialog, 1141, "Ann");
        ui.Type(dialog, 1142, "Secret");
        ui.Type(dialog, 1143, "secret");
        ui.Click(dialog, 1147);
        EXPECT_EQ(ui.LastMessage().text, "The passwords you entered do not match, try again");
        EXPECT_EQ(ui.LastMessage().style, Information);
        for (int box : {1141, 1142, 1143})
            EXPECT_EQ(ui.ControlText(dialog, box), "");
        EXPECT_EQ(ui.FocusedControl(dialog), 1141);

        // A name of blanks is a name.
        ui.Type(dialog, 1141, " ");
        ui.Click(dialog, 1147);
    });
    CreateUserLoginDialog(0);
    EXPECT_EQ(loginFollows, 1);
    EXPECT_EQ(StoredUser().loginName, " ");
    EXPECT_FALSE(ui.ranOutOfActions);
}

TEST_F(Login, ALoginThatDoesNotFitItsFieldIsRefusedUncut) {
    const std::string longName(LoginNameWidth + 1, 'n');
    CreateLogin(longName, "pw", "pw");
    CloseTopWindow();
    CreateUserLoginDialog(0);
    EXPECT_EQ(ui.LastMessage().text, FieldTooLongText("Login Name", LoginNameWidth));
    EXPECT_EQ(loginFollows, 0);
    int count = -1;
    StoredUser(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(Login, TheWithoutLoginBoxFillsInTheWordsThatSwitchTheLoginOff) {
    Then([this](WindowHandle dialog) {
        ui.Type(dialog, 1141, "Ann");
        ui.Click(dialog, 1171);
        for (int box : {1141, 1142, 1143}) {
            EXPECT_EQ(ui.ControlText(dialog, box), "no login");
            EXPECT_FALSE(ui.ControlOf(dialog, box).enabled);
        }
        ui.Click(dialog, 1171); // changed my mind
        for (int box : {1141, 1142, 1143}) {
            EXPECT_EQ(ui.ControlText(dialog, box), "");
            EXPECT_TRUE(ui.ControlOf(dialog, box).enabled);
        }
        EXPECT_EQ(ui.FocusedControl(dialog), 1141);
        ui.Click(dialog, 1171);
        ui.Click(dialog, 1147);
    });
    LogIn("no login", "no login");
    CloseTopWindow();
    CreateUserLoginDialog(0);
    ASSERT_EQ(loginFollows, 1);
    EXPECT_EQ(CheckLoginSetting(), 12);
}

TEST_F(Login, FocusComesBackAfterAnotherWindowWasInFront) {
    StoreUser({.loginName = "Ann", .loginPassword = "pw"});
    Then([this](WindowHandle dialog) {
        ui.SetFocus(dialog, 1121);
        ui.Deactivate(dialog);
        EXPECT_EQ(ui.FocusedControl(dialog), 0);
        ui.Activate(dialog);
        EXPECT_EQ(ui.FocusedControl(dialog), 1121);
    });
    CloseTopWindow();
    LoginDialog(0);
}

class About : public Startup {};

TEST_F(About, TheLinkOpensTheHomePageAndOnlyOkCloses) {
    ui.OpenWindow(MainDisplayLayout());
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, 1164); // the first half of the sentence
        ui.Click(dialog, 1012); // the contact line
        EXPECT_TRUE(ui.shellOpens.empty());
        ui.Click(dialog, 1165);
        ASSERT_EQ(ui.shellOpens.size(), 1u);
        EXPECT_EQ(ui.shellOpens[0].target, "https://ombrelay.org");
        EXPECT_EQ(ui.shellOpens[0].show, ui::ShowState::Maximized);
        EXPECT_GE(ui.handCursorRequests, 1);
        ui.ClickClose(dialog); // there is no close box
        ui.Click(dialog, 1013);
    });
    EXPECT_EQ(AboutDialog(0), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.ranOutOfActions);
    EXPECT_EQ(ui.ControlText(ui.FindWindowByTitle("Ombrelay"), 1001), "");
}

TEST_F(About, AMissingMainWindowIsReportedAndTheDialogStillOpens) {
    Then([this](WindowHandle dialog) { ui.Click(dialog, 1013); });
    AboutDialog(0);
    EXPECT_EQ(ui.dialogsRun, (Titles{"Ombrelay About"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "wHandle Error in About Dialog Function");
    EXPECT_EQ(ui.messages[0].style, Exclamation);
}

} // namespace
