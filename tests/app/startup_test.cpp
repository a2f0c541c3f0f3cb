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
using Texts = std::vector<std::string>;

const unsigned Exclamation = 0x2030, Information = 0x2040;

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
    void CreateLogin(const std::string& name, const std::string& password) {
        Fill({{1141, name}, {1142, password}, {1143, password}}, 1147);
    }
    void LogIn(const std::string& name, const std::string& password) {
        Fill({{1121, name}, {1122, password}}, 1123);
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
    // The last message box as "caption|style|text".
    std::string Last() {
        const auto& m = ui.LastMessage();
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
    ui.onMessage = [this](const HeadlessPlatform::MessageRecord&) {
        if (ui.messages.size() == 1) {
            EXPECT_EQ(Last(), "READ THIS MESSAGE CAREFULLY|" + std::to_string(Information) +
                                  "|If you don't want to login to Ombrelay for each use\r\n"
                                  "then enter \"no login'' for the name and for the\r\n"
                                  "password.  After your first login Ombrelay will open\r\n"
                                  "to the Main Display each time you use it");
        }
    };
    CreateLogin("Ann", ""); // two empty passwords make an empty one
    Then([this](WindowHandle dialog) {
        EXPECT_EQ(ui.ControlText(dialog, 1121), "Ann");
        EXPECT_EQ(ui.FocusedControl(dialog), 1122);
        ui.Click(dialog, 1123);
    });
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Create User Login", "Ombrelay Login", "Ombrelay"}));
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(Last(), System(Information, "Your User Name and Password have been created and\r\n"
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

    const std::tuple<std::string, std::string, int> cases[] = {{"No Login", "NO login", 12},
                                                               {"no login", "secret", 2},
                                                               {" no login", "no login", 2},
                                                               {"no login ", "no login", 2},
                                                               {"nologin", "nologin", 2}};
    for (const auto& [name, password, expected] : cases) {
        StoreUser({.loginName = name, .loginPassword = password});
        EXPECT_EQ(CheckLoginSetting(), expected) << '"' << name << "\" / " << password;
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
    EXPECT_EQ(ui.messages[0].caption + ui.messages[0].text,
              "Ombrelay User Database" + OpenErrorText(XdbDamaged, "database"));
    EXPECT_EQ(ui.messages[0].style, Exclamation);
    // The login could not be stored: no success text, and no Login dialog follows.
    EXPECT_EQ(Last().rfind(System(Exclamation, "Your User Name and Password have not been "
                                               "stored.")),
              0u);
    EXPECT_EQ(ReadFile("User.dbf"), "this is not a table");
}

TEST_F(Startup, LoginIsExactAndEmptiesBothBoxesAfterAFailure) {
    StoreUser({.loginName = "Ann", .loginPassword = "Secret"});
    for (auto [name, password] :
         {std::pair{"ann", "Secret"}, {"Ann", "secret"}, {"Ann ", "Secret"}}) {
        Then([this, name = name, password = password](WindowHandle dialog) {
            ui.Type(dialog, 1121, name);
            ui.Type(dialog, 1122, password);
            ui.Click(dialog, 1123);
            EXPECT_EQ(Last(), System(Exclamation, "Invalid User Name or Password...try again!"));
            EXPECT_EQ(ui.ControlText(dialog, 1121) + ui.ControlText(dialog, 1122), "");
            EXPECT_EQ(ui.FocusedControl(dialog), 1121);
        });
    }
    Close();
    EXPECT_EQ(RunProgram(), (Texts{"Ombrelay Login"}));
}

TEST_F(Startup, CreatingRefusesAnEmptyNameDifferentPasswordsAndValuesThatDoNotFit) {
    const std::string tooLong(LoginNameWidth + 1, 'n');
    const struct {
        const char *name, *password, *repeated;
        unsigned style;
        std::string text;
        const char* kept; // the password box afterwards
    } refusals[] = {
        {"", "pw", "pw", Exclamation, "You must enter a login name", "pw"},
        {"Ann", "Secret", "secret", Information,
         "The passwords you entered do not match, try again", ""},
        {tooLong.c_str(), "pw", "pw", Exclamation, FieldTooLongText("Login Name", LoginNameWidth),
         "pw"},
    };
    Then([&, this](WindowHandle dialog) {
        for (const auto& r : refusals) {
            ui.Type(dialog, 1141, r.name);
            ui.Type(dialog, 1142, r.password);
            ui.Type(dialog, 1143, r.repeated);
            ui.Click(dialog, 1147);
            EXPECT_EQ(Last(), System(r.style, r.text));
            EXPECT_EQ(ui.ControlText(dialog, 1142), r.kept);
            EXPECT_EQ(ui.FocusedControl(dialog), 1141);
        }
        EXPECT_EQ(UserCount(), 0);
        ui.Type(dialog, 1141, " "); // a name of blanks is a name
        ui.Click(dialog, 1147);
    });
    CreateUserLoginDialog(0);
    EXPECT_EQ(loginFollows, 1);
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
        ui.Click(dialog, 1171);
        ui.Click(dialog, 1147);
    });
    Close(); // the Login dialog that follows
    CreateUserLoginDialog(0);
    EXPECT_EQ(CheckLoginSetting(), 12);
}

TEST_F(Startup, AboutOpensTheHomePageMaximisedAndOnlyOkCloses) {
    Then([this](WindowHandle dialog) { ui.Click(dialog, 1013); });
    AboutDialog(0); // without a main window to own it
    EXPECT_EQ(Last(), System(Exclamation, "wHandle Error in About Dialog Function"));

    ui.OpenWindow(MainDisplayLayout());
    Then([this](WindowHandle dialog) {
        ui.Click(dialog, 1164); // the first half of the sentence
        ui.Click(dialog, 1012); // the contact line
        ui.ClickClose(dialog);  // there is no close box
        ui.Click(dialog, 1165);
        ui.Click(dialog, 1013);
    });
    EXPECT_EQ(AboutDialog(0), 0);
    ASSERT_EQ(ui.shellOpens.size(), 1u);
    EXPECT_EQ(ui.shellOpens[0].target, HomePage);
    EXPECT_EQ(ui.shellOpens[0].show, ui::ShowState::Maximized);
    EXPECT_EQ(ui.handCursorRequests, 1);
    EXPECT_FALSE(ui.ranOutOfActions);
}

} // namespace
