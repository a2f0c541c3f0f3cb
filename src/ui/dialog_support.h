#pragma once
// What every dialog's callback does alike.

#include "ui/platform.h"

#include <string>

namespace ui {

// The caption of the program's message boxes.
inline constexpr const char* SystemMessageCaption = "Ombrelay System Message";

// Shows a task-modal message box with the program's caption; returns the answer.
int Message(const std::string& text, unsigned style);

// The remembered focus of a dialog: saved when the dialog is deactivated, given back (and
// forgotten) when it is activated again. The close box ends the dialog with 0 when
// `closeBoxEnds`. Returns true when the event was one of these.
bool HandleStandardEvent(WindowHandle dialog, const DialogEvent& event, int& rememberedFocus,
                         bool closeBoxEnds = true);

// Whether a command event is a button press: notification 0 (clicked) or 1 (accelerator).
bool IsButtonPress(const DialogEvent& event, int control);

// Owner of a dialog opened from the main window: the window titled "Ombrelay". When it is
// missing, `errorText` is shown (exclamation) and `fallback` is used.
WindowHandle OwnerOrWarn(const std::string& ownerTitle, const std::string& errorText,
                         WindowHandle fallback);

} // namespace ui
