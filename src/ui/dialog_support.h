#pragma once
// What every dialog and every operation does alike: the program's message boxes, and a
// dialog run with its remembered focus, its close box and its buttons.

#include "ui/platform.h"
#include "ui/windows.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// The caption of the program's message boxes.
inline constexpr const char* SystemMessageCaption = "Ombrelay System Message";

// Shows a task-modal message box with the program's caption; returns the answer.
int Message(const std::string& text, unsigned style);
// The two kinds the operations show most: a refusal or error (exclamation) and a notice
// (information), each with OK alone.
void Warn(const std::string& text);
void Inform(const std::string& text);
// A refusal of what was typed: the warning, then the focus to the box to correct.
void Refuse(WindowHandle dialog, const std::string& text, int focus);

// The question before overwriting or deleting stored data: Yes/No, No by default, with the
// icon `icon`. True when the answer is Yes.
bool AskYesNo(const std::string& text, unsigned icon);

// Runs `operation`; an exception it lets out (no memory, say) stops it there, with its tables
// closed on the way out, and the user is told instead of the program ending.
void RunGuarded(const std::function<void()>& operation);

// What a dialog does besides the common behaviour: at its start, for each button pressed
// (clicked or reached by its mnemonic), for any other command, and, when it is given, for
// the close box (instead of ending the dialog with 0).
struct DialogActions {
    std::function<void(WindowHandle)> init;
    std::vector<std::pair<int, std::function<void(WindowHandle)>>> buttons;
    std::function<void(WindowHandle, const DialogEvent&)> otherCommand;
    std::function<void(WindowHandle)> close;
};

// Runs `layout` modally over `owner`. Common to every dialog: the focus it had when it was
// deactivated comes back when it is activated again, its close box, when it has one, ends it
// with 0, and each action runs guarded. Returns the result the dialog was ended with.
int RunDialog(const Dialog& layout, WindowHandle owner, DialogActions actions);

// Ends `dialog` with 0, as Cancel and OK buttons do.
void EndDialogWithZero(WindowHandle dialog);

// Whether a command event is a button press: notification 0 (clicked) or 1 (accelerator).
bool IsButtonPress(const DialogEvent& event, int control);

// Owner of a dialog opened from the main window: the window titled "Ombrelay". When it is
// missing, `errorText` is shown (exclamation) and `fallback` is used.
WindowHandle MainWindowOrWarn(const std::string& errorText, WindowHandle fallback);

} // namespace ui
