// What every backend of ui::Platform does alike, run as the program runs its dialogs
// (ui::RunDialog): Esc and Enter do nothing, in the multi-line boxes of every dialog too,
// mnemonics press buttons, the close box ends a dialog with 0 where there is one; a nested
// dialog keeps its owner from input and is found by its exact title while it runs; the focus
// comes back after another window and stays where an operation put it after its message.

#include "support/all_dialogs.h"
#include "support/ui_driver.h"
#include "ui/dialog_support.h"

#include <gtest/gtest.h>

namespace {

using ui::ControlKind;
using ui::WindowHandle;

enum { First = 201, Second, Go, Next, Yes, No, Keep, Off, Note, Url };

ui::Dialog Sample(std::string title, bool closeBox = true) {
    using namespace ui;
    const unsigned box = TabStop | Border | AutoHScroll;
    Dialog d{.title = std::move(title), .width = 200, .height = 110, .closeBox = closeBox};
    // clang-format off
    d.controls = {
        MakeControl(First,  ControlKind::Edit,        "",            5,   5,  100, 12, box),
        MakeControl(Second, ControlKind::Edit,        "",            5,   22, 100, 12, box | Uppercase),
        MakeControl(Go,     ControlKind::PushButton,  "&Go",         5,   40, 50,  14, TabStop),
        MakeControl(Next,   ControlKind::PushButton,  "Ne&xt",       60,  40, 50,  14, TabStop),
        MakeControl(Yes,    ControlKind::RadioButton, "&Yes",        120, 5,  40,  10, GroupStart | TabStop),
        MakeControl(No,     ControlKind::RadioButton, "&No",         120, 17, 40,  10, TabStop),
        MakeControl(Keep,   ControlKind::RadioButton, "Keep",        120, 29, 40,  10, GroupStart | TabStop),
        MakeControl(Off,    ControlKind::Edit,        "",            5,   58, 100, 12, box | Disabled),
        MakeControl(Note,   ControlKind::Edit,        "",            5,   74, 150, 30, Multiline | VerticalScroll | TabStop),
        MakeControl(Url,    ControlKind::Label,       "example.org", 120, 58, 60,  10, Notify | Link),
    };
    // clang-format on
    return d;
}

class PlatformContract : public ::testing::Test {
protected:
    // Runs the dialog as the program does, recording the buttons pressed.
    int Run(const ui::Dialog& layout, WindowHandle owner = 0) {
        ui::DialogActions actions;
        for (int id : {Go, Next, Yes, No, Url})
            actions.buttons.emplace_back(id, [this, id](WindowHandle) { pressed.push_back(id); });
        return ui::RunDialog(layout, owner, std::move(actions));
    }
    std::unique_ptr<ui::Platform> platform = MakeBackend();
    std::unique_ptr<UiDriver> driver = MakeDriver();
    UiDriver& user = *driver;
    std::vector<int> pressed;
};

TEST_F(PlatformContract, ControlsTakeWhatTheUserDoesAsTheirStylesSay) {
    user.When("Ombrelay Sample", [&](WindowHandle dialog) {
        user.Type(dialog, Second, "ab1c\u00e9"); // accented letters too
        EXPECT_EQ(ui::Ui().ControlText(dialog, Second), "AB1C\u00c9");
        user.Click(dialog, Off);
        EXPECT_NE(ui::Ui().FocusedControl(dialog), Off) << "disabled";
        // Clicks keep one option button checked per group; the program may clear them all.
        for (int id : {Keep, Yes, No, No})
            user.Click(dialog, id);
        EXPECT_TRUE(ui::Ui().IsChecked(dialog, Keep) && !ui::Ui().IsChecked(dialog, Yes) &&
                    ui::Ui().IsChecked(dialog, No));
        ui::Ui().SetChecked(dialog, No, false);
        EXPECT_FALSE(ui::Ui().IsChecked(dialog, No));
        // Multi-line text speaks CR LF to the program, blank lines and no-break spaces kept.
        const std::string text = "Dear vendor,\r\n\r\nplease\xC2\xA0send a new code.\r\n";
        ui::Ui().SetControlText(dialog, Note, text);
        EXPECT_EQ(ui::Ui().ControlText(dialog, Note), text);
        user.Click(dialog, Url); // a link label reports its click as a press
        ui::Ui().EndDialog(dialog, 0);
    });
    Run(Sample("Ombrelay Sample"));
    EXPECT_EQ(pressed, (std::vector<int>{Yes, No, No, Url}));
}

TEST_F(PlatformContract, EscAndEnterDoNothingMnemonicsPressButtonsTheCloseBoxEndsWithZero) {
    // Esc and Enter in every multi-line box of the dialogs that Esc does not close keep the
    // dialog and what was typed; Enter starts a new line where the box takes text.
    for (const ui::Dialog& table : AllDialogs()) {
        for (const ui::Control& box : table.controls) {
            if (box.kind != ControlKind::Edit || !(box.style & ui::Multiline) || table.escapeCloses)
                continue;
            user.When(table.title, [&](WindowHandle dialog) {
                user.Settle(); // shown and active, its first focus given
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
    user.When("Ombrelay Sample", [&](WindowHandle dialog) {
        for (int id : {Go, First}) {
            ui::Ui().SetFocus(dialog, id);
            user.Press(dialog, UiDriver::Key::Escape);
            user.Press(dialog, UiDriver::Key::Enter);
        }
        user.Settle();
        EXPECT_TRUE(user.Visible(dialog)) << "Enter or Esc ended the dialog";
    for (char letter : {'g', 'x', 'y'})
            user.Mnemonic(dialog, letter);
        EXPECT_EQ(pressed, (std::vector<int>{Go, Next, Yes}));
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

TEST_F(PlatformContract, NestedDialogsHoldTheirOwnerAndTheFocusComesBack) {
    WindowHandle outer = 0;
    user.When("Ombrelay Sample", [&](WindowHandle dialog) {
        outer = dialog;
        ui::Ui().SetFocus(dialog, Second);
        EXPECT_EQ(Run(Sample("Ombrelay Child"), dialog), 7);
        EXPECT_EQ(ui::Ui().FindWindowByTitle("Ombrelay Child"), 0);
        EXPECT_TRUE(user.Enabled(dialog));
        user.Settle();
        EXPECT_EQ(ui::Ui().FocusedControl(dialog), Second);

        // After its message an operation sends the focus to the box to mend: it stays there.
        ui::Refuse(dialog, "Please fill in the code", First);
        user.Settle();
        EXPECT_EQ(ui::Ui().FocusedControl(dialog), First);
        EXPECT_EQ(user.boxes, std::vector<std::string>{"Please fill in the code"});

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
    EXPECT_EQ(user.shown, (std::vector<std::string>{"Ombrelay Sample", "Ombrelay Child"}));
}

} // namespace
