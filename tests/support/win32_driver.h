#pragma once
// Driving the Win32 backend's real windows from inside their modal loops: what runs once a
// dialog shows, what answers the next message box, and keys as the dialog manager gets them.
// The Win32 backend's driver (MakeDriver) is built on these.

#include "ui/win32/win32_platform.h"

#include <functional>
#include <string>

#include <windows.h>

// The title of a window.
std::string WindowTitle(HWND window);

// Runs `script` with each dialog once it is shown, inside its modal loop.
void OnEveryDialogShown(std::function<void(ui::WindowHandle dialog)> script);

// Runs `answer` with the next message box titled `caption`, inside the box's own loop. The
// answer must close the box (for instance with PressButton).
void OnNextMessageBox(const std::string& caption, std::function<void(HWND box)> answer);
// Presses a button of a dialog or message box as a click would.
void PressButton(HWND window, int button);

// Posts to the control that has the focus what the keyboard would: Alt+letter as a system
// character, a key going down (its character follows from TranslateMessage), a character.
void PostAltKey(HWND dialog, wchar_t letter);
void PostKey(HWND dialog, WPARAM virtualKey);
void PostCharacter(HWND dialog, wchar_t character);

// Handles the messages posted so far, as the dialog's modal loop would (keys go through the
// dialog manager first).
void HandlePendingMessages(HWND dialog);
