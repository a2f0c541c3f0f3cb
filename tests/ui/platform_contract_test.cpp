// What every backend of ui::Platform does alike, run as the program runs its dialogs
// (ui::RunDialog): controls take typing and clicks as their styles say, Esc and Enter do
// nothing (Enter starts a new line in a multi-line box), in every multi-line box of every
// dialog of the program too, mnemonics press buttons, the close box ends a dialog with 0 where
// there is one; a nested dialog keeps its owner from input and is found by its exact title
// while it runs; message boxes look as their styles say and hold the dialog
// behind them, whose focus comes back after them. Every real dialog as its table says: tests/e2e.

#include "support/all_dialogs.h"
#include "support/golden.h"
#include "support/ui_driver.h"
#include "ui/dialog_support.h"
#include "ui/sample.h"

#include <gtest/gtest.h>

namespace {

using ui::WindowHandle;

class PlatformContract : public ::testing::Test {
protected:
    // Runs the dialog as the program does, recording the buttons pressed.
    int Run(const ui::Dialog& layout, WindowHandle owner = 0) {
        ui::DialogActions actions;
        for (int id : {Go, Next, Yes, No, Url, Plain})
            actions.buttons.emplace_back(id, [this, id](WindowHandle) { pressed.push_back(id); });
        return ui::RunDialog(layout, owner, std::move(actions));
    }
    std::unique_ptr<ui::Platform> platform = MakeBackend();
    std::unique_ptr<UiDriver> driver = MakeDriver();
    UiDriver& user = *driver;
    std::vector<int> pressed;
};

TEST_F(PlatformContract, ControlsKeysMnemonicsAndTheCloseBoxWorkAsTheirStylesSay) {
    user.When("Ombrelay Sample", [&](WindowHandle dialog) {
        user.Type(dialog, Second, "ab1c\u00e9"); // accented letters too
        EXPECT_EQ(ui::Ui().ControlText(dialog, Second), "AB1C\u00c9");
        user.Click(dialog, Off);
        EXPECT_NE(ui::Ui().FocusedControl(dialog), Off) << "disabled";
        // Clicks keep one option button checked per group, and check a check box; the program
        // may clear them all.
        for (int id : {Keep, Yes, No, No, Check})
            user.Click(dialog, id);
        EXPECT_TRUE(ui::Ui().IsChecked(dialog, Keep) && !ui::Ui().IsChecked(dialog, Yes) &&
                    ui::Ui().IsChecked(dialog, No) && ui::Ui().IsChecked(dialog, Check));
        ui::Ui().SetChecked(dialog, No, false);
        EXPECT_FALSE(ui::Ui().IsChecked(dialog, No));
        // Multi-line text speaks CR LF to the program, blank lines and no-break spaces kept.
        const std::string text = "Dear vendor,\r\n\r\nplease\xC2\xA0send a new code.\r\n";
        ui::Ui().SetControlText(dialog, Note, text);
        EXPECT_EQ(ui::Ui().ControlText(dialog, Note), text);
        for (int id : {Url, Plain}) // a link label reports its click as a press, a plain one not
            user.Click(dialog, id);
        ui::Ui().SetProgress(dialog, Bar, 2, 5);
        EXPECT_EQ(user.Progress(dialog, Bar), "2/5");

        // Esc and Enter on a button and in a box end nothing (in a multi-line box: the next
        // test).
        for (int id : {Go, First}) {
            ui::Ui().SetFocus(dialog, id);
            user.Press(dialog, UiDriver::Key::Escape);
            user.Press(dialog, UiDriver::Key::Enter);
        }
        user.Settle();
        EXPECT_TRUE(user.Visible(dialog)) << "Enter or Esc ended the dialog";
        for (char letter : {'g', 'x', 'y'})
            user.Mnemonic(dialog, letter);
        EXPECT_EQ(pressed, (std::vector<int>{Yes, No, No, Url, Go, Next, Yes}));
        user.CloseBox(dialog);
        ui::Ui().EndDialog(dialog, -1); // when the close box failed
    });
    EXPECT_EQ(Run(Sample("Ombrelay Sample")), 0);
    // Without a close box the request is ignored.
    user.When("Ombrelay Fixed", [&](WindowHandle dialog) {
        user.CloseBox(dialog);
        ui::Ui().EndDialog(dialog, 3);
    });
    EXPECT_EQ(Run(Sample("Ombrelay Fixed", false)), 3);
    // A dialog that closes on Esc does so from any box.
    user.When("Ombrelay Preview", [&](WindowHandle dialog) {
        ui::Ui().SetFocus(dialog, Note);
        user.Press(dialog, UiDriver::Key::Escape);
        user.Settle();
        ui::Ui().EndDialog(dialog, -1);
    });
    ui::Dialog preview = Sample("Ombrelay Preview");
    preview.escapeCloses = true;
    EXPECT_EQ(Run(preview), 0);
    // Ended in its Init, before it is shown.
    const auto init = [&](WindowHandle dialog, const ui::DialogEvent&) {
        ui::Ui().EndDialog(dialog, 5);
    };
    EXPECT_EQ(ui::Ui().RunDialog(Sample("Ombrelay Early"), 0, init), 5);
    EXPECT_EQ(user.unexpected, std::vector<std::string>{});
}

// Esc and Enter in every multi-line box of the dialogs that Esc does not close keep the dialog
// and what was typed; Enter starts a new line where the box takes text.
TEST_F(PlatformContract, EscAndEnterInEveryMultiLineBoxOfEveryDialogKeepItAndItsText) {
    for (const ui::Dialog& table : AllDialogs()) {
        for (const ui::Control& box : table.controls) {
            if (box.kind != ui::ControlKind::Edit || !(box.style & ui::Multiline) ||
                table.escapeCloses)
                continue;
            user.When(table.title, [&](WindowHandle dialog) {
                user.Settle();                            // shown and active, its first focus given
                user.Type(dialog, box.id, "Dear vendor"); // a read-only box keeps its text
                const std::string typed = ui::Ui().ControlText(dialog, box.id);
                user.Press(dialog, UiDriver::Key::Escape);
                user.Press(dialog, UiDriver::Key::Enter);
                user.Settle();
                EXPECT_TRUE(user.Visible(dialog)) << table.title << " " << box.id;
                EXPECT_EQ(ui::Ui().ControlText(dialog, box.id),
                          typed + (box.style & ui::ReadOnly ? "" : "\r\n"))
                    << table.title << " " << box.id;
                ui::Ui().EndDialog(dialog, 0);
            });
            ui::RunDialog(table, 0, {});
        }
    }
}

TEST_F(PlatformContract, NestedDialogsAndMessageBoxesHoldTheirOwnerAndTheFocusComesBack) {
    WindowHandle outer = 0;
    user.When("Ombrelay Sample", [&](WindowHandle dialog) {
        outer = dialog;
        user.Settle(); // shown and active: the focus given now is the dialog's own
        ui::Ui().SetFocus(dialog, Second);
        EXPECT_EQ(Run(Sample("Ombrelay Child"), dialog), 7);
        EXPECT_EQ(ui::Ui().FindWindowByTitle("Ombrelay Child"), 0);
        EXPECT_TRUE(user.Enabled(dialog));
        user.Settle();
        EXPECT_EQ(ui::Ui().FocusedControl(dialog), Second);

        // Each box as its style says (tests/golden/ui/message_boxes.txt), answered as asked or
        // by its default button; behind it the dialog takes no input and names the control it
        // will give the focus back to.
        user.whileBox = [&] {
            EXPECT_FALSE(user.Enabled(dialog));
            EXPECT_EQ(ui::Ui().FocusedControl(dialog), Second);
        };
        const std::tuple<unsigned, std::deque<bool>, int> boxes[] = {
            {0x2030, {}, ui::IdOk},      {0x2010, {}, ui::IdOk},     {0x2040, {}, ui::IdOk},
            {0x0, {}, ui::IdOk},         {0x2024, {}, ui::IdYes},    {0x2134, {}, ui::IdNo},
            {0x2024, {false}, ui::IdNo}, {0x2134, {true}, ui::IdYes}};
        for (const auto& [style, answers, expected] : boxes) {
            user.answers = answers;
            EXPECT_EQ(
                ui::Ui().ShowMessage("Line 1\r\nZo\u00eb", "Ombrelay Application Database", style),
                expected)
                << std::hex << style;
        }
        user.whileBox = {};
        user.Settle();
        EXPECT_TRUE(user.Enabled(dialog));
        EXPECT_EQ(ui::Ui().FocusedControl(dialog), Second);

        // After its message an operation sends the focus to the box to mend: it stays there.
        ui::Refuse(dialog, "Please fill in the code", First);
        user.Settle();
        EXPECT_EQ(ui::Ui().FocusedControl(dialog), First);

        // An ended dialog is not found, although its window may last until its loop returns.
        ui::Ui().EndDialog(dialog, 3);
        EXPECT_EQ(ui::Ui().FindWindowByTitle("Ombrelay Sample"), 0);
    });
    user.When("Ombrelay Child", [&](WindowHandle dialog) {
        EXPECT_FALSE(user.Enabled(outer));
        EXPECT_EQ(ui::Ui().FindWindowByTitle("Ombrelay Sample"), outer);
        EXPECT_EQ(ui::Ui().FindWindowByTitle("Ombrelay Child"), dialog);
        EXPECT_EQ(ui::Ui().FindWindowByTitle("Ombrelay child"), 0) << "exact title";
        ui::Ui().EndDialog(dialog, 7);
    });
    EXPECT_EQ(Run(Sample("Ombrelay Sample")), 3);
    std::string met;
    for (const std::string& box : user.boxes)
        met += box + "\n";
    ExpectGolden("ui/message_boxes.txt", met);
}

} // namespace
