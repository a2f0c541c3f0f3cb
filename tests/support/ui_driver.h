#pragma once
// A user at the program's real windows, whichever backend builds them: each dialog scripted by
// its title, every message box recorded and answered, every shell open caught. Texts, check
// marks and the focus are read through ui::Ui(), as the program reads them.

#include "ui/platform.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class UiDriver {
public:
    // What the user does in one showing of a dialog, inside its modal loop; clicking a button
    // that opens another dialog returns once that one has closed.
    using Step = std::function<void(ui::WindowHandle dialog)>;
    enum class Key { Enter, Escape };

    virtual ~UiDriver() = default;

    // Queues the step for the next showing of the dialog titled `title`. A dialog shown
    // without a step is recorded in `unexpected` and closed with its close box.
    void When(const std::string& title, Step step);

    // As a user: click into the box, select what it holds, and type; click; a key to the
    // focused control; Alt+letter, returning once the button it reaches has done its work;
    // the title-bar close box.
    virtual void Type(ui::WindowHandle dialog, int control, const std::string& text) = 0;
    virtual void Click(ui::WindowHandle dialog, int control) = 0;
    virtual void Press(ui::WindowHandle dialog, Key key) = 0;
    virtual void Mnemonic(ui::WindowHandle dialog, char letter) = 0;
    virtual void CloseBox(ui::WindowHandle dialog) = 0;
    // Whether the window is shown; whether it takes input.
    virtual bool Visible(ui::WindowHandle window) = 0;
    virtual bool Enabled(ui::WindowHandle window) = 0;
    // Whether any window of the program is still shown.
    virtual bool AnyWindowVisible() = 0;
    // Lets the window system deliver what is still on its way (activations, focus changes).
    virtual void Settle() = 0;

    std::vector<std::string> boxes; // the texts of the message boxes shown, in order
    // Answers for Yes/No boxes, in order (true: Yes); when none is left, the default button.
    std::deque<bool> answers;
    // Paths to pick, in order, in the platform's own file chooser; with none left, Esc.
    std::deque<std::string> files;
    std::vector<std::string> shown;      // titles of the dialogs shown, in order
    std::vector<std::string> unexpected; // dialogs shown without a step
    // What the shell was asked to open: links as given, files as local paths.
    std::vector<std::string> opened;

protected:
    // For the backend's hook: a dialog titled `title` is shown; runs its step.
    void Shown(const std::string& title, ui::WindowHandle dialog);

private:
    std::map<std::string, std::deque<Step>> steps_;
};

// The backend this test program is built for, installed as ui::Ui() while it lives, and a
// driver of its windows.
std::unique_ptr<ui::Platform> MakeBackend();
std::unique_ptr<UiDriver> MakeDriver();
