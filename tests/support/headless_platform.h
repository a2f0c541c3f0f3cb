#pragma once
// A platform without a display: windows and controls live in memory, message boxes are
// recorded and answered from a script, shell opens are recorded, and a modal dialog is
// driven by a scripted list of user actions.

#include "ui/platform.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class HeadlessPlatform : public ui::Platform {
public:
    struct MessageRecord {
        std::string text;
        std::string caption;
        unsigned style = 0;
    };
    struct ShellRecord {
        std::string target;
        ui::ShowState show = ui::ShowState::Normal;
    };
    struct ControlState {
        ui::Control row; // its row of the dialog table
        std::string text;
        bool checked = false;
        bool enabled = true;
    };
    struct Window {
        ui::Dialog dialog;
        ui::DialogCallback callback;
        std::map<int, ControlState> controls;
        int focus = 0;
        bool open = true;
        bool ended = false;
        int result = 0;
    };

    // A user action, run inside the innermost open modal dialog, which it receives.
    using Action = std::function<void(ui::WindowHandle dialog)>;

    HeadlessPlatform() { ui::SetUi(this); } // installs itself as ui::Ui()
    ~HeadlessPlatform() override { ui::SetUi(nullptr); }

    // ---- What the test scripts ----
    // Answers for Yes/No boxes, in order. When none is left, a Yes/No box gets its default
    // button (No when 0x100 is set, else Yes). OK boxes are always answered OK.
    std::deque<int> answers;
    // Run when a message box is shown, before it is answered (rarely needed).
    std::function<void(const MessageRecord&)> onMessage;
    // What the next shell opens return (above 32 is success).
    int shellResult = 42;
    // User actions for RunDialog; each modal loop takes them from the front while it is
    // open. A loop that runs out of actions closes its dialog with the close box and marks
    // the test as having run out (see ranOutOfActions).
    std::deque<Action> actions;
    bool ranOutOfActions = false;

    // ---- What the test inspects ----
    std::vector<MessageRecord> messages;
    std::vector<ShellRecord> shellOpens;
    std::vector<std::string> dialogsRun; // titles of dialogs in the order they were run

    // ---- Test helpers ----
    // Opens a window from its table without a modal loop (and without its callback's Init),
    // so that an operation can be called directly with the window in place.
    ui::WindowHandle OpenWindow(const ui::Dialog& dialog, ui::DialogCallback callback = {});
    Window& WindowOf(ui::WindowHandle window);
    ControlState& ControlOf(ui::WindowHandle window, int control);
    // As a user: clicking a button (notification 0), typing into a box (letters become
    // capitals in an upper-casing box; a read-only or disabled box takes nothing), clicking
    // an option button (which clears the others of its group) or a check box, and the
    // close box.
    void Click(ui::WindowHandle window, int control);
    void Type(ui::WindowHandle window, int control, const std::string& text);
    void ClickClose(ui::WindowHandle window);

    // ---- ui::Platform ----
    int RunDialog(const ui::Dialog& dialog, ui::WindowHandle owner,
                  ui::DialogCallback callback) override;
    void EndDialog(ui::WindowHandle dialog, int result) override;
    ui::WindowHandle FindWindowByTitle(const std::string& title) override;
    std::string ControlText(ui::WindowHandle dialog, int control) override;
    void SetControlText(ui::WindowHandle dialog, int control, const std::string& text) override;
    bool IsChecked(ui::WindowHandle dialog, int control) override;
    void SetChecked(ui::WindowHandle dialog, int control, bool checked) override;
    int FocusedControl(ui::WindowHandle dialog) override;
    void SetFocus(ui::WindowHandle dialog, int control) override;
    void EnableControl(ui::WindowHandle dialog, int control, bool enabled) override;
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void SetHandCursor() override { ++handCursorRequests; }
    int ShellOpen(const std::string& target, ui::ShowState show) override;

    int handCursorRequests = 0;

private:
    void Send(ui::WindowHandle window, const ui::DialogEvent& event);
    Window* Open(ui::WindowHandle window); // null unless open
    ControlState* Find(ui::WindowHandle window, int control);

    std::map<ui::WindowHandle, std::unique_ptr<Window>> windows_;
    std::vector<ui::WindowHandle> stack_; // open windows, oldest first
    ui::WindowHandle next_ = 0x100;
};
