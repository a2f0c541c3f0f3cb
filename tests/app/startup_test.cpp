// Start-up, the two login dialogs, About, what a table that cannot be opened shows, and what
// stops an operation that throws, on the headless backend; the transcripts in tests/golden/app/.

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "records/table_scope.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/operations.h"
#include "ui/dialog_support.h"

namespace {

using ui::WindowHandle;

class Startup : public Operations {
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
        NoteBoxes(d, {typed[0].first, typed.back().first});
    }
    void Create(const std::string& name, const std::string& password, std::string repeated = "-") {
        Then({{NewNameBox, name},
              {NewLoginPasswordBox, password},
              {RepeatLoginPasswordBox, repeated == "-" ? password : repeated}},
             CreateLoginOkButton);
    }
    void Close() {
        ui.actions.push_back([this](WindowHandle dialog) { ui.ClickClose(dialog); });
    }
    void RunProgram(bool noteStoredLogin = true) {
        loginFollows = 0;
        ui.Note("---- start", "");
        EXPECT_EQ(ProgramStart(), 0);
        EXPECT_FALSE(ui.ranOutOfActions);
        if (noteStoredLogin)
            ui.Note("stored login", StoredUser().loginName + "/" + StoredUser().loginPassword);
    }
};

// Refusals keep the dialog open; the exact login follows; then every later start asks for it
// (in any other letter case, or with a blank more, it is refused).
TEST_F(Startup, FirstStartCreatesALoginAndTheExactLoginFollows) {
    Create("", "pw");
    Create("Ann", "Secret", "secret");
    Create(std::string(LoginNameWidth + 1, 'n'), "pw");
    Create("Ann", "Secret");
    ui.actions.push_back([this](WindowHandle d) { NoteBoxes(d, {UserNameBox, PasswordBox}); });
    for (const auto& [name, password] : std::vector<std::pair<std::string, std::string>>{
             {"ann", "Secret"}, {"Ann", "secret"}, {"Ann ", "Secret"}, {"Ann", "Secret"}})
        Then({{UserNameBox, name}, {PasswordBox, password}}, LoginButton);
    Close();
    RunProgram();
    Close();
    RunProgram(); // the next start
    ExpectTranscript("app/first_start.txt");
}

// Ticked, the words are filled in and the boxes locked; unticked, they come back. One login
// with the words follows; from then on the main window opens at once, also for the words in
// other letter cases, but not for the name alone. Empty passwords and a name of blanks are a
// login too.
TEST_F(Startup, TheWithoutLoginBoxFillsInTheWordsThatSwitchTheLoginOff) {
    ui.actions.push_back([this](WindowHandle dialog) {
        for (int click = 0; click < 3; ++click) {
            ui.Click(dialog, WithoutLoginBox);
            NoteBoxes(dialog, {NewNameBox, NewLoginPasswordBox, RepeatLoginPasswordBox});
            ui.Note("enabled", std::to_string(ui.ControlOf(dialog, NewNameBox).enabled));
        }
        ui.Click(dialog, CreateLoginOkButton);
    });
    Close();
    RunProgram();
    Close();
    RunProgram();
    StoreUser({.loginName = "No Login", .loginPassword = "NO login"});
    Close();
    RunProgram();
    StoreUser({.loginName = "no login", .loginPassword = "secret"});
    Then({{UserNameBox, "no login"}, {PasswordBox, "secret"}}, LoginButton);
    Close();
    RunProgram();
    std::filesystem::remove("User.dbf");
    Create(" ", "");
    Then({{PasswordBox, ""}}, LoginButton);
    Close();
    RunProgram();
    ExpectTranscript("app/without_login.txt");
}

// Stray records count as none, and the new login goes into record 1, where it is read; a
// user table that cannot be read is said so, kept, and no Login dialog follows.
TEST_F(Startup, StrayRecordsAndAnUnreadableTableLeaveNoLoginNobodyCanUse) {
    StoreUser({.loginName = "Ann", .loginPassword = "x"});
    const int table = XDBOPENEX("User.dbf", 2, 1, "");
    XDBADDRECORD(table);
    XDBCLOSE(table);
    Create("Cleo", "pw");
    Then({{PasswordBox, "pw"}}, LoginButton);
    Close();
    RunProgram();
    WriteFile("User.dbf", "this is not a table");
    Create("Ann", "pw");
    Close();
    RunProgram(false);
    EXPECT_EQ(ReadFile("User.dbf"), "this is not a table");
    ExpectTranscript("app/stray_records.txt");
}

// The link alone opens the home page, maximised, and turns the cursor into a hand.
TEST_F(Startup, AboutOpensTheHomePageMaximisedFromTheLinkAlone) {
    ui.OpenWindow(MainDisplayLayout());
    ui.actions.push_back([this](WindowHandle dialog) {
        ui.Click(dialog, VisitLabel); // the first half of the sentence
        ui.Click(dialog, LinkLabel);
        ui.Click(dialog, AboutOkButton);
    });
    EXPECT_EQ(AboutDialog(0), 0);
    ui.Note("hand cursor requests", std::to_string(ui.handCursorRequests));
    ExpectTranscript("app/about.txt");
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
    ExpectTranscript("app/thrown.txt");
}

// The store's code, in the message each open shows (tests/golden/app/failed_opens.txt), and
// the file left as it was. (The user table's: at the start, above.)
TEST_F(Startup, AnOpenThatFailsShowsTheStoresCodeAndLeavesTheFile) {
    const std::pair<void (*)(), void (*)()> cases[] = {
        {[] { WriteFile(ApplicationTableFile, "not a table either"); }, OpenApplicationTable},
        {[] {
             AddApplications({{"Alpha"}});
             std::filesystem::create_directory(ApplicationIndexFile);
         },
         OpenApplicationTable},
    };
    for (const auto& [make, open] : cases) {
        TempFolder folder;
        make();
        const std::string before = ReadFile(UserTableFile) + ReadFile(ApplicationTableFile);
        open();
        XDBCLOSE(applicationTable);
        XDBCLOSE(userTable);
        EXPECT_EQ(ReadFile(UserTableFile) + ReadFile(ApplicationTableFile), before);
        XDBRESETERROR();
    }
    ExpectGolden("app/failed_opens.txt", ui.transcript);
}

} // namespace
