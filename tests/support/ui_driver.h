#pragma once
// A user at the program's real windows, whichever backend builds them: each dialog scripted by
// its title, every message box recorded as it looks and answered, every shell open caught.
// Texts, check marks and the focus are read through ui::Ui(), as the program reads them.

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
    // Lets the window system deliver what is still on its way (activations, focus changes).
    virtual void Settle() = 0;
    // What a progress bar shows: "position/end".
    virtual std::string Progress(ui::WindowHandle dialog, int control) = 0;

    // The message boxes shown, in order, as the user sees them: the icon, the buttons with
    // the default one starred, and the text ("warning OK*: ...", "question Yes No*: ...").
    std::vector<std::string> boxes;
    // Answers for Yes/No boxes, in order (true: Yes); when none is left, the default button.
    std::deque<bool> answers;
    // Run while each message box is shown, before it is answered.
    std::function<void()> whileBox;
    // Paths to pick, in order, in the platform's own file chooser; with none left, Esc.
    std::deque<std::string> files;
    std::vector<std::string> unexpected; // dialogs shown without a step
    // What the shell was asked to open: links as given, files as local paths.
    std::vector<std::string> opened;
    // Tables by title: each dialog is measured against its table at its first showing (and
    // the table taken out), each difference noted with the dialog's title.
    std::map<std::string, ui::Dialog> tables;
    std::vector<std::string> differences;

protected:
    // For the backend's hooks: a dialog titled `title` is shown, and its step runs; a message
    // box is shown, and the answer to give it comes back; the shell is asked to open a
    // target. (The file chooser takes the next of `files`, TakeFirst(files), "" to cancel.)
    void Shown(const std::string& title, ui::WindowHandle dialog);
    enum class Answer { Default, Yes, No };
    Answer Met(const std::string& icon, bool yesNo, bool noByDefault, const std::string& text);
    void Opened(const std::string& target);
    // Measures the dialog as shown against its table the backend's own way, each control
    // found by its id (`missing` when it is not), and says with Expect how it differs, in
    // words: its size, close box, a control's place, font, colours, tab stop, name or a
    // caption cut.
    virtual void Measure(const ui::Dialog& table, ui::WindowHandle dialog) = 0;
    void Expect(bool ok, const std::string& difference);

private:
    std::map<std::string, std::deque<Step>> steps_;
    std::string measured_; // the title of the dialog being measured
};

// The backend this test program is built for, installed as ui::Ui() while it lives, and a
// driver of its windows.
std::unique_ptr<ui::Platform> MakeBackend();
std::unique_ptr<UiDriver> MakeDriver();
