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
using Titles = std::vector<std::string>;

const unsigned Exclamation = 0x2030;
const unsigned Information = 0x2040;

class Startup : public InTempFolder {
protected:
    void SetUp() override { loginFollows = 0; }

    // Scripts what the user does in the next dialog that runs.
    void Then(std::function<void(WindowHandle)> action) { ui.actions.push_back(action); }
    void Fill(std::vector<std::pair<int, std::string>> boxes, int button) {
        Then([=, this](WindowHandle dialog) {
            for (const auto& [box, text] : boxes)
                ui.Type(dialog, box, text);
            ui.Click(dialog, button);
        });
    }
    void CreateLogin(const std::string& name, const std::string& password,
                     const std::string& repeated) {
        Fill({{1141, name}, {1142, password}, {1143, repeated}}, 1147);
    }
    void LogIn(const std::string& name, const std::string& password) {
        Fill({{1121, name}, {1122, password}}, 1123);
    }
    void CloseTopWindow() {
        Then([this](WindowHandle dialog) { ui.ClickClose(dialog); });
    }
    Titles RunProgram() {
        loginFollows = 0;
        ui.dialogsRun.clear();
        ui.messages.clear();
        EXPECT_EQ(ProgramStart(), 0);
        EXPECT_FALSE(ui.ranOutOfActions);
        return ui.dialogsRun;
    }
    int StoredUserCount() {
        int count = -1;
        StoredUser(&count);
        return count;
    }

    HeadlessPlatform ui;
};

TEST_F(Startup, FirstStartCreatesALoginAndTheLoginDialogFollows) {
    CreateLogin("Ann", "", "");
    Then([this](WindowHandle dialog) {
        EXPECT_EQ(ui.ControlText(dialog, 1121), "Ann");
        EXPECT_EQ(ui.FocusedControl(dialog), 1122);
        ui.Click(dialog, 1123); // two empty passwords made an empty one
    });
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "If you don't want to login to Ombrelay for each use\r\n"
                                   "then enter \"no login'' for the name and for the\r\n"
                                   "password.  After your first login Ombrelay will open\r\n"
                                   "to the Main Display each time you use it");
    EXPECT_EQ(ui.messages[0].caption, "READ THIS MESSAGE CAREFULLY");
    EXPECT_EQ(ui.messages[0].style, Information);
    EXPECT_EQ(ui.messages[1].text, "Your User Name and Password have been created and\r\n"
                                   "stored - please login and enter your User data");
    EXPECT_EQ(ui.messages[1].caption, "Ombrelay System Message");
    EXPECT_EQ(ui.messages[1].style, Information);
    EXPECT_EQ(StoredUserCount(), 1);
    EXPECT_EQ(StoredUser().loginName, "Ann");
}

TEST_F(Startup, NoLoginInSmallLettersNeedsTheSameLettersOnceThenSwitchesTheLoginOff) {
    CreateLogin("no login", "no login", "no login");
    LogIn("NO LOGIN", "NO LOGIN"); // compared exactly: refused
    LogIn("no login", "no login");
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(ui.messages.back().text, "Invalid User Name or Password...try again!");

    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Ombrelay"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Startup, TheLoginIsOffOnlyForNoLoginInBothFieldsWithoutExtraBlanks) {
    const std::tuple<std::string, std::string, int> cases[] = {
        {"No Login", "NO login", 12}, {"no login", "secret", 2}, {" no login", "no login", 2},
        {"no login ", "no login", 2}, {"nologin", "nologin", 2},
    };
    for (const auto& [name, password, expected] : cases) {
        StoreUser({.loginName = name, .loginPassword = password});
        EXPECT_EQ(CheckLoginSetting(), expected) << '"' << name << "\" / " << password;
    }
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Ombrelay Login"}));
}

TEST_F(Startup, StrayUserRecordsCountAsNoneAndTheNewLoginGoesWhereItIsRead) {
    StoreUser({.loginName = "Ann", .loginPassword = "x"});
    const int table = XDBOPENEX("User.dbf", 2, 1, "");
    XDBASSIGNFIELD(table, "LOGINNAME", 0, "Bob");
    XDBADDRECORD(table);
    XDBCLOSE(table);

    CreateLogin("Cleo", "pw", "pw");
    LogIn("Cleo", "pw");
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(ui.messages[0].caption, "READ THIS MESSAGE CAREFULLY");
    EXPECT_EQ(StoredUser().loginName, "Cleo");
}

TEST_F(Startup, ClosingTheCreateDialogEndsTheProgramWithoutALogin) {
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Create User Login"}));
    EXPECT_EQ(StoredUserCount(), 0);
}

TEST_F(Startup, AnUnreadableUserTableIsReportedAndNeverOverwritten) {
    WriteFile("User.dbf", "this is not a table");
    CreateLogin("Ann", "pw", "pw");
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Create User Login"}));
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].caption, "Ombrelay User Database");
    EXPECT_EQ(ui.messages[0].style, Exclamation);
    EXPECT_EQ(ui.messages[0].text, OpenErrorText(XdbDamaged, "database"));
    EXPECT_EQ(ui.messages[1].caption, "READ THIS MESSAGE CAREFULLY");
    // The login could not be stored: no success text, and no Login dialog follows.
    EXPECT_EQ(ui.messages[3].style, Exclamation);
    EXPECT_EQ(ui.messages[3].text.rfind("Your User Name and Password have not been stored.", 0),
              0u);
    EXPECT_EQ(ReadFile("User.dbf"), "this is not a table");
}

TEST_F(Startup, LoginIsExactAndEmptiesBothBoxesAfterAFailure) {
    StoreUser({.loginName = "Ann", .loginPassword = "Secret"});
    for (auto [name, password] : {std::pair{"ann", "Secret"}, std::pair{"Ann", "secret"},
                                  std::pair{"Ann ", "Secret"}}) {
        Then([this, name, password](WindowHandle dialog) {
            ui.Type(dialog, 1121, name);
            ui.Type(dialog, 1122, password);
            ui.Click(dialog, 1123);
            EXPECT_EQ(ui.LastMessage().text, "Invalid User Name or Password...try again!");
            EXPECT_EQ(ui.LastMessage().style, Exclamation);
            EXPECT_EQ(ui.ControlText(dialog, 1121) + ui.ControlText(dialog, 1122), "");
            EXPECT_EQ(ui.FocusedControl(dialog), 1121);
        });
    }
    CloseTopWindow();
    EXPECT_EQ(RunProgram(), (Titles{"Ombrelay Login"}));
    EXPECT_EQ(ui.messages.size(), 3u);
}

TEST_F(Startup, CreatingRefusesAnEmptyNameDifferentPasswordsAndValuesThatDoNotFit) {
    Then([this](WindowHandle dialog) {
        const auto expect = [&](const std::string& text, unsigned style, int focus) {
            EXPECT_EQ(ui.LastMessage().text, text);
            EXPECT_EQ(ui.LastMessage().style, style);
            EXPECT_EQ(ui.FocusedControl(dialog), focus);
        };
        ui.Type(dialog, 1142, "pw");
        ui.Type(dialog, 1143, "pw");
        ui.Click(dialog, 1147);
        expect("You must enter a login name", Exclamation, 1141);
        EXPECT_EQ(ui.ControlText(dialog, 1142), "pw"); // kept

        ui.Type(dialog, 1141, "Ann");
        ui.Type(dialog, 1142, "Secret");
        ui.Type(dialog, 1143, "secret");
        ui.Click(dialog, 1147);
        expect("The passwords you entered do not match, try again", Information, 1141);
        for (int box : {1141, 1142, 1143})
            EXPECT_EQ(ui.ControlText(dialog, box), "");

        ui.Type(dialog, 1141, std::string(LoginNameWidth + 1, 'n'));
        ui.Click(dialog, 1147);
        expect(FieldTooLongText("Login Name", LoginNameWidth), Exclamation, 1141);

        ui.Type(dialog, 1141, " "); // a name of blanks is a name
        ui.Click(dialog, 1147);
    });
    CreateUserLoginDialog(0);
    EXPECT_EQ(loginFollows, 1);
    EXPECT_EQ(StoredUserCount(), 1);
    EXPECT_EQ(StoredUser().loginName, " ");
}

TEST_F(Startup, TheWithoutLoginBoxFillsInTheWordsThatSwitchTheLoginOff) {
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, 1171);
        for (int box : {1141, 1142, 1143}) {
            EXPECT_EQ(ui.ControlText(dialog, box), "no login");
            EXPECT_FALSE(ui.ControlOf(dialog, box).enabled);
        }
        ui.Click(dialog, 1171); // changed my mind
        EXPECT_EQ(ui.ControlText(dialog, 1143), "");
        EXPECT_TRUE(ui.ControlOf(dialog, 1143).enabled);
        EXPECT_EQ(ui.FocusedControl(dialog), 1141);
        ui.Click(dialog, 1171);
        ui.Click(dialog, 1147);
    });
    CloseTopWindow(); // the Login dialog that follows
    CreateUserLoginDialog(0);
    ASSERT_EQ(loginFollows, 1);
    EXPECT_EQ(CheckLoginSetting(), 12);
}

TEST_F(Startup, AboutOpensTheHomePageMaximisedAndOnlyOkCloses) {
    Then([this](WindowHandle dialog) {
        EXPECT_EQ(ui.LastMessage().text, "wHandle Error in About Dialog Function");
        ui.Click(dialog, 1013);
    });
    AboutDialog(0); // without a main window to own it

    ui.OpenWindow(MainDisplayLayout());
    ui.messages.clear();
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, 1164); // the first half of the sentence
        ui.Click(dialog, 1012); // the contact line
        EXPECT_TRUE(ui.shellOpens.empty());
        ui.Click(dialog, 1165);
        ASSERT_EQ(ui.shellOpens.size(), 1u);
        EXPECT_EQ(ui.shellOpens[0].target, HomePage);
        EXPECT_EQ(ui.shellOpens[0].show, ui::ShowState::Maximized);
        EXPECT_EQ(ui.handCursorRequests, 1);
        ui.ClickClose(dialog); // there is no close box
        ui.Click(dialog, 1013);
    });
    EXPECT_EQ(AboutDialog(0), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.ranOutOfActions);
}

} // namespace
