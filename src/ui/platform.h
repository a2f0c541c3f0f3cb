#pragma once
// The platform interface: all that operations need of windows, message boxes and the shell.
// Operations reach it through ui::Ui(); the program installs the Qt backend, tests a
// headless one.

#include "ui/dialog.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ui {

// A window, as the platform names it; 0 is no window.
using WindowHandle = std::intptr_t;

// Message box styles, as Windows' MessageBox flags.
enum MessageStyle : unsigned {
    MbOk = 0x0,
    MbYesNo = 0x4,
    MbIconStop = 0x10,
    MbIconQuestion = 0x20,
    MbIconExclamation = 0x30,
    MbIconInformation = 0x40,
    MbIconMask = 0xF0,
    MbDefaultButton2 = 0x100,
    MbTaskModal = 0x2000,
};

// Message box answers, as Windows numbers them.
enum MessageAnswer { IdOk = 1, IdYes = 6, IdNo = 7 };

enum class ShowState { Normal, Maximized };

enum class DialogEventKind {
    Init,       // the dialog and its controls exist; nothing is shown yet
    Activate,   // the dialog became the active window again
    Deactivate, // another window became active
    Command,    // a control reported: `control` and notification `code`
    Close,      // the title-bar close box or Close on the system menu
};

// Notification codes of a command.
inline constexpr int Clicked = 0;     // a button clicked, a link label clicked
inline constexpr int Accelerator = 1; // a button reached by its mnemonic; a double click

struct DialogEvent {
    DialogEventKind kind = DialogEventKind::Init;
    int control = 0;
    int code = 0;
};

using DialogCallback = std::function<void(WindowHandle dialog, const DialogEvent& event)>;

class Platform {
public:
    virtual ~Platform() = default;

    // Builds the dialog, disables `owner` (when not 0) and runs a nested modal loop until
    // EndDialog; returns the result given there.
    virtual int RunDialog(const Dialog& dialog, WindowHandle owner, DialogCallback callback) = 0;
    virtual void EndDialog(WindowHandle dialog, int result) = 0;

    // The open top-level window whose title is exactly `title`, or 0.
    virtual WindowHandle FindWindowByTitle(const std::string& title) = 0;

    virtual std::string ControlText(WindowHandle dialog, int control) = 0;
    virtual void SetControlText(WindowHandle dialog, int control, const std::string& text) = 0;
    virtual bool IsChecked(WindowHandle dialog, int control) = 0;
    virtual void SetChecked(WindowHandle dialog, int control, bool checked) = 0;
    virtual int FocusedControl(WindowHandle dialog) = 0; // 0 when none has the focus
    virtual void SetFocus(WindowHandle dialog, int control) = 0;
    virtual void EnableControl(WindowHandle dialog, int control, bool enabled) = 0;

    // Returns IdOk, IdYes or IdNo.
    virtual int ShowMessage(const std::string& text, const std::string& caption,
                            unsigned style) = 0;
    virtual void SetHandCursor() = 0;
    // Opens a mailto:, http(s): link or a file with the desktop's default handler.
    // Like the Windows shell, a result above 32 means success.
    virtual int ShellOpen(const std::string& target, ShowState show) = 0;
    // The same without holding the windows: they go on painting and taking input while the
    // desktop starts the handler, and `done` is then called with ShellOpen's result, on the
    // program's thread, inside the modal loop of the dialog that is running.
    virtual void ShellOpenThen(const std::string& target, ShowState show,
                               std::function<void(int result)> done) = 0;

    // The platform's own file chooser, for a file to open, starting in the current folder:
    // files matching `patterns` ("*.csv *.txt", named `filterName`) or all files. The chosen
    // file's path, or "" when the user cancelled.
    virtual std::string ChooseFileToOpen(WindowHandle owner, const std::string& title,
                                         const std::string& filterName,
                                         const std::string& patterns) = 0;
    // A progress bar shows that `done` of `total` steps are done.
    virtual void SetProgress(WindowHandle dialog, int control, int done, int total) = 0;
};

Platform& Ui();
void SetUi(Platform* platform);

} // namespace ui
