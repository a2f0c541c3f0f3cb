#pragma once
// A platform without a display: windows and controls live in memory, message boxes are
// answered from a script, and a modal dialog is driven by a scripted list of user actions;
// what the user met is written down in a transcript.

#include "ui/platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class HeadlessPlatform : public ui::Platform {
public:
    struct ControlState {
        ui::ControlKind kind = ui::ControlKind::Label;
        std::string text;
        bool checked = false;
        bool enabled = true;
    };
    struct Window {
        std::string title;
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
    // Run with its style when a message box is shown, before it is answered (rarely needed).
    std::function<void(unsigned style)> onMessage;
    // What the next shell opens return (above 32 is success).
    int shellResult = 42;
    // Hand-overs that do not hold the windows wait here until the modal loop has no user
    // action left, or until the test delivers them.
    std::deque<std::function<void()>> pendingHandOvers;
    void DeliverHandOvers(std::size_t count);
    // The files the user picks in the file chooser, in order; "" cancels, as does none left.
    std::deque<std::string> chosenFiles;
    // User actions for RunDialog; each modal loop takes them from the front while it is
    // open. A loop that runs out of actions ends its dialog with 0 and sets ranOutOfActions.
    std::deque<Action> actions;
    bool ranOutOfActions = false;

    // ---- What the test inspects ----
    int handCursorRequests = 0;
    // What the user met, one event a line, for a golden file: each message box, its text
    // after a mark that says what kind of system message box it came in ("!" a warning, "i" a
    // notice, "?" a question, "?!" a warning question; any other box its caption and style,
    // "Error|16|"), a question followed by the answer; each shell open, each dialog run, and
    // the test's own notes.
    std::string transcript;
    void Note(const std::string& label, const std::string& value);

    // ---- Test helpers ----
    // Opens a window from its table without a modal loop (and without its callback's Init),
    // so that an operation can be called directly with the window in place.
    ui::WindowHandle OpenWindow(const ui::Dialog& dialog, ui::DialogCallback callback = {});
    Window& WindowOf(ui::WindowHandle window) { return windows_.at(window); }
    // A control of an open window; a blank stand-in (text "", unchecked) for any other.
    ControlState& ControlOf(ui::WindowHandle window, int control);
    // As a user: clicking a control that is enabled (a check box toggles) and the close box.
    void Click(ui::WindowHandle window, int control);
    void ClickClose(ui::WindowHandle window) { Send(window, {ui::DialogEventKind::Close}); }

    // ---- ui::Platform ----
    int RunDialog(const ui::Dialog& dialog, ui::WindowHandle owner,
                  ui::DialogCallback callback) override;
    void EndDialog(ui::WindowHandle dialog, int result) override;
    ui::WindowHandle FindWindowByTitle(const std::string& title) override;
    std::string ControlText(ui::WindowHandle d, int c) override { return ControlOf(d, c).text; }
    void SetControlText(ui::WindowHandle d, int c, const std::string& text) override {
        ControlOf(d, c).text = text;
    }
    bool IsChecked(ui::WindowHandle d, int c) override { return ControlOf(d, c).checked; }
    void SetChecked(ui::WindowHandle d, int c, bool on) override { ControlOf(d, c).checked = on; }
    int FocusedControl(ui::WindowHandle dialog) override;
    void SetFocus(ui::WindowHandle dialog, int control) override;
    void EnableControl(ui::WindowHandle d, int c, bool on) override {
        ControlOf(d, c).enabled = on;
    }
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void SetHandCursor() override { ++handCursorRequests; }
    int ShellOpen(const std::string& target, ui::ShowState show) override;
    void ShellOpenThen(const std::string& target, ui::ShowState show,
                       std::function<void(int)> done) override;
    std::string ChooseFileToOpen(ui::WindowHandle owner, const std::string& title,
                                 const std::string& filterName,
                                 const std::string& patterns) override;
    void SetProgress(ui::WindowHandle dialog, int control, int done, int total) override;

private:
    void Send(ui::WindowHandle window, const ui::DialogEvent& event);
    Window* Open(ui::WindowHandle window); // null unless open

    std::map<ui::WindowHandle, Window> windows_;
    std::vector<ui::WindowHandle> stack_; // open windows, oldest first
    ui::WindowHandle next_ = 0x100;
    ControlState blank_;
};
