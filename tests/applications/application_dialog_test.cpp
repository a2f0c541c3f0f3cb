#include "applications/activity_log.h"
#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "common/clock.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr int SaveButton = 1041;
constexpr int NextButton = 1042;
constexpr int PreviousButton = 1043;
constexpr int DeleteButton = 1044;
constexpr int CancelButton = 1045;
constexpr int NewButton = 1040;

class ApplicationInformationDialogTest : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
    }
    void TearDown() override { SetClockForTesting({}); }
    HeadlessPlatform ui;
};

TEST_F(ApplicationInformationDialogTest, AddBrowseOverwriteAndDeleteThroughTheButtons) {
    const ui::WindowHandle mainWindow = ui.OpenWindow(MainWindowStandIn());
    const auto type = [this](ui::WindowHandle d, const char* name, const char* code,
                             const char* email) {
        ui.Type(d, ApplicationNameBox, name);
        ui.Type(d, RegistrationCodeBox, code);
        ui.Type(d, VendorEmailBox, email);
    };
    ui.actions = {
        [&](ui::WindowHandle d) {
            // Opened over a disabled main window, with an empty form and list.
            EXPECT_FALSE(ui.WindowOf(mainWindow).enabled);
            EXPECT_EQ(ui.ControlText(d, ApplicationCountLine),
                      "No Application Data stored in Ombrelay");
            EXPECT_EQ(ui.ControlText(mainWindow, 1001), "No Application Data stored in Ombrelay");
            EXPECT_FALSE(ui.IsChecked(d, RequestYesButton));
            EXPECT_FALSE(ui.IsChecked(d, RequestNoButton));
            type(d, "Viewer", "k-1", "v@x.org");
            ui.Click(d, RequestYesButton);
            ui.Click(d, SaveButton);
        },
        [&](ui::WindowHandle d) {
            type(d, "alpha", "a-1", "a@x.org");
            ui.PressMnemonic(d, SaveButton);
        },
        [&](ui::WindowHandle d) {
            EXPECT_EQ(ui.ControlText(d, ApplicationListBox),
                      ApplicationListRow("alpha", "a-1", "No", "a@x.org") +
                          ApplicationListRow("Viewer", "k-1", "Yes", "v@x.org"));
            EXPECT_EQ(ui.ControlText(mainWindow, 1001),
                      "  Data for  2  Applications stored in Ombrelay");
            ui.Click(d, NextButton);
            EXPECT_EQ(ui.ControlText(d, ApplicationNameBox), "alpha");
            ui.Click(d, PreviousButton);
            EXPECT_EQ(ui.ControlText(d, ApplicationNameBox), "Viewer");
            EXPECT_TRUE(ui.IsChecked(d, RequestYesButton));
        },
        [&](ui::WindowHandle d) {
            // Overwrite with a new code: one question.
            ui.answers = {ui::IdYes};
            ui.Type(d, RegistrationCodeBox, "K-2");
            ui.Click(d, RequestNoButton);
            ui.Click(d, SaveButton);
            EXPECT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.ControlText(d, ApplicationNameBox), "Viewer");
        },
        [&](ui::WindowHandle d) {
            // Coming back to the dialog returns the caret to where it was.
            ui.SetFocus(d, VendorEmailBox);
            ui.Deactivate(d);
            ui.Activate(d);
            EXPECT_EQ(ui.FocusedControl(d), VendorEmailBox);
        },
        [&](ui::WindowHandle d) {
            ui.answers = {ui::IdYes, ui::IdYes};
            ui.Click(d, DeleteButton);
            EXPECT_EQ(ui.messages.size(), 3u);
            EXPECT_EQ(ui.ControlText(d, ApplicationNameBox), "");
            EXPECT_EQ(ui.ControlText(d, ApplicationListBox),
                      ApplicationListRow("alpha", "a-1", "No", "a@x.org"));
            ui.Click(d, NewButton);
            EXPECT_EQ(ui.FocusedControl(d), ApplicationNameBox);
        },
        [&](ui::WindowHandle d) { ui.Click(d, CancelButton); },
    };
    EXPECT_EQ(ApplicationInformationDialog(0), 0);
    EXPECT_FALSE(ui.ranOutOfActions);
    EXPECT_TRUE(ui.WindowOf(mainWindow).enabled);
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{{"alpha", "a-1", "a@x.org", "No"}}));
    const std::string log = ReadFile(ActivityLogFile);
    for (const char* heading : {"Application Record Added 03", "Application Record Edited 03",
                                "Application Deleted by User 03"}) {
        EXPECT_NE(log.find(heading), std::string::npos) << heading;
    }
    EXPECT_NE(log.find("App name = Viewer   Code/Key = K-2   Vendor Email = v@x.org   "
                       "Rereg = No\"\r\n"),
              std::string::npos);
}

TEST_F(ApplicationInformationDialogTest, WithoutTheMainWindowWarnsAndStillOpens) {
    ui.actions = {[&](ui::WindowHandle d) { ui.ClickClose(d); }};
    EXPECT_EQ(ApplicationInformationDialog(0), 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages[0].text, "wHandle Error in Application Information Dialog Function");
    EXPECT_EQ(ui.messages[0].style, 0x2030u);
    EXPECT_EQ(ui.dialogsRun, std::vector<std::string>{"Ombrelay Application Information"});
    EXPECT_FALSE(ui.ranOutOfActions);
}

TEST_F(ApplicationInformationDialogTest, TheListIsOutOfTheTabOrderAndReadOnly) {
    const ui::Dialog dialog = ApplicationInformationLayout();
    std::vector<int> tabOrder;
    for (const auto& control : dialog.controls) {
        if (control.style & ui::TabStop)
            tabOrder.push_back(control.id);
        if (control.id == ApplicationListBox) {
            EXPECT_EQ(control.style & (ui::ReadOnly | ui::TabStop | ui::Border), ui::ReadOnly);
        }
    }
    EXPECT_EQ(tabOrder,
              (std::vector<int>{1033, 1034, 1035, 1058, 1059, 1040, 1041, 1042, 1043, 1044, 1045}));
    // Typing into it changes nothing.
    const ui::WindowHandle d = ui.OpenWindow(dialog);
    ui.Type(d, ApplicationListBox, "typed");
    EXPECT_EQ(ui.ControlText(d, ApplicationListBox), "");
}

} // namespace
