// Start-up, the two login dialogs, About, and what stops an operation that throws.

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "records/table_scope.h"
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

class Startup : public InTempFolder {
protected:
    void SetUp() override { loginFollows = 0; }

    // Scripts what the user does in the next dialog that runs: types into boxes, then clicks.
    void Then(std::vector<std::pair<int, std::string>> typed, int button) {
        ui.actions.push_back([=, this](WindowHandle d) { Fill(d, typed, button); });
    }
    void Fill(WindowHandle d, const std::vector<std::pair<int, std::string>>& typed, int button) {
        for (const auto& [box, text] : typed)
            ui.SetControlText(d, box, text);
        ui.Click(d, button);
    }
    void Create(const std::string& name, const std::string& password) {
        Then({{NewNameBox, name},
              {NewLoginPasswordBox, password},
              {RepeatLoginPasswordBox, password}},
             CreateLoginOkButton);
    }
    void Close() {
        ui.actions.push_back([this](WindowHandle dialog) { ui.ClickClose(dialog); });
    }
    Texts RunProgram() { // the titles of the dialogs that ran
        loginFollows = 0;
        ui.dialogsRun.clear();
        EXPECT_EQ(ProgramStart(), 0);
        EXPECT_FALSE(ui.ranOutOfActions);
        return std::exchange(ui.dialogsRun, {});
    }
    int UserCount() {
        int count = -1;
        StoredUser(&count);
        return count;
    }

    HeadlessPlatform ui;
};

TEST_F(Startup, FirstStartCreatesALoginAndTheExactLoginFollows) {
    Create("Ann", "Secret");
    ui.actions.push_back([this](WindowHandle dialog) {
        EXPECT_EQ(ui.Told(), (Texts{"READ THIS MESSAGE CAREFULLY|8256|"
                                    "If you don't want to login to Ombrelay for each use\r\n"
                                    "then enter \"no login'' for the name and for the\r\n"
                                    "password.  After your first login Ombrelay will open\r\n"
                                    "to the Main Display each time you use it",
                                    "iYour User Name and Password have been created and\r\n"
                                    "stored - please login and enter your User data"}));
        EXPECT_EQ(ui.ControlText(dialog, UserNameBox), "Ann");
        EXPECT_EQ(ui.FocusedControl(dialog), PasswordBox);
        // A failure empties both boxes for the next try.
        for (auto [name, password] :
             {std::pair{"ann", "Secret"}, {"Ann", "secret"}, {"Ann ", "Secret"}}) {
            Fill(dialog, {{UserNameBox, name}, {PasswordBox, password}}, LoginButton);
            EXPECT_EQ(ui.Told(), Texts{"!Invalid User Name or Password...try again!"});
            EXPECT_EQ(ui.ControlText(dialog, UserNameBox) + ui.ControlText(dialog, PasswordBox),
                      "");
            EXPECT_EQ(ui.FocusedControl(dialog), UserNameBox);
        }
        Fill(dialog, {{UserNameBox, "Ann"}, {PasswordBox, "Secret"}}, LoginButton);
    });
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(UserCount(), 1);
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Ombrelay Login"})); // the next start
}

TEST_F(Startup, TheWithoutLoginBoxFillsInTheWordsThatSwitchTheLoginOffInAnyCase) {
    ui.actions.push_back([this](WindowHandle dialog) {
        ui.Click(dialog, WithoutLoginBox);
        for (int box : {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox}) {
            EXPECT_EQ(ui.ControlText(dialog, box), "no login");
            EXPECT_FALSE(ui.ControlOf(dialog, box).enabled);
        }
        ui.Click(dialog, WithoutLoginBox); // changed my mind: the boxes come back
        EXPECT_EQ(ui.ControlText(dialog, RepeatLoginPasswordBox), "");
        EXPECT_TRUE(ui.ControlOf(dialog, RepeatLoginPasswordBox).enabled);
        ui.Click(dialog, WithoutLoginBox);
        ui.Click(dialog, CreateLoginOkButton);
    });
    Close(); // the Login dialog that follows once
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login"}));
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Ombrelay"}));
    const struct {
        const char *name, *password;
        int setting; // 12: no login
    } cases[] = {{"No Login", "NO login", 12},
                 {"no login", "secret", 2},
                 {" no login", "no login", 2},
                 {"no login ", "no login", 2}};
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
    Create("Cleo", "pw");
    Then({{PasswordBox, "pw"}}, LoginButton);
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(StoredUser().loginName, "Cleo");

    Close(); // the Create User Login dialog closed: the program ends, nothing stored
    std::filesystem::remove("User.dbf");
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login"}));
    EXPECT_EQ(UserCount(), 0);
}

TEST_F(Startup, ALoginThatCannotBeStoredIsSaidSoAndNoLoginDialogFollows) {
    // The store's own message and its refusal to overwrite are tested with the store.
    WriteFile("User.dbf", "this is not a table");
    Create("Ann", "pw");
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login"}));
    EXPECT_TRUE(ui.Told().back().starts_with("!Your User Name and Password have not been stored."));
    EXPECT_EQ(ReadFile("User.dbf"), "this is not a table");
}

TEST_F(Startup, CreatingRefusesAnEmptyNameDifferentPasswordsAndValuesThatDoNotFit) {
    const struct {
        std::string name, password, repeated;
        std::string told;
        std::string kept; // the password box afterwards
    } refusals[] = {
        {"", "pw", "pw", "!You must enter a login name", "pw"},
        {"Ann", "Secret", "secret", "iThe passwords you entered do not match, try again", ""},
        {std::string(LoginNameWidth + 1, 'n'), "pw", "pw",
         "!" + FieldTooLongText("Login Name", LoginNameWidth), "pw"},
    };
    ui.actions.push_back([&, this](WindowHandle dialog) {
        for (const auto& r : refusals) {
            Fill(dialog,
                 {{NewNameBox, r.name},
                  {NewLoginPasswordBox, r.password},
                  {RepeatLoginPasswordBox, r.repeated}},
                 CreateLoginOkButton);
            EXPECT_EQ(ui.Told(), Texts{r.told});
            EXPECT_EQ(ui.ControlText(dialog, NewLoginPasswordBox), r.kept);
            EXPECT_EQ(ui.FocusedControl(dialog), NewNameBox);
        }
        EXPECT_EQ(UserCount(), 0);
        // A name of blanks is a name, and empty passwords are a password.
        Fill(dialog, {{NewNameBox, " "}, {NewLoginPasswordBox, ""}, {RepeatLoginPasswordBox, ""}},
             CreateLoginOkButton);
    });
    CreateUserLoginDialog(0);
    EXPECT_EQ(loginFollows, 1);
    EXPECT_EQ(StoredUser().loginName, " ");
}

// The real windows' About (no close box, the link opens the home page) is driven end to end;
// here: the hand cursor, and the maximised window.
TEST_F(Startup, AboutOpensTheHomePageMaximisedFromTheLinkAlone) {
    ui.OpenWindow(MainDisplayLayout());
    ui.actions.push_back([this](WindowHandle dialog) {
        ui.Click(dialog, VisitLabel); // the first half of the sentence
        ui.Click(dialog, LinkLabel);
        ui.Click(dialog, AboutOkButton);
    });
    EXPECT_EQ(AboutDialog(0), 0);
    ASSERT_EQ(ui.shellOpens.size(), 1u);
    EXPECT_EQ(ui.shellOpens[0].target, HomePage);
    EXPECT_EQ(ui.shellOpens[0].show, ui::ShowState::Maximized);
    EXPECT_EQ(ui.handCursorRequests, 1);
}

TEST_F(Startup, AnOperationThatThrowsIsStoppedWithItsTableClosedAndTheDialogGoesOn) {
    int table = 0;
    ui.actions.push_back([this](WindowHandle dialog) {
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
    EXPECT_EQ(ui.Told(), (Texts{"!The operation was stopped by an unexpected error "
                                "(std::bad_alloc); nothing more of it was done.",
                                "istill here"}));
}

} // namespace
