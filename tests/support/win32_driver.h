#pragma once
// Driving the Win32 backend's real windows from inside their modal loops (dialogs are reached
// through ui::Win32Platform::SetDialogShownHook): what answers the next message box. The
// Win32 backend's driver (MakeDriver) is built on these.

#include "ui/win32/win32_platform.h"

#include <functional>
#include <string>

#include <windows.h>

// The text of a window: its title, or what a control shows.
std::string WindowTitle(HWND window);

// Runs `answer` with the next message box titled `caption`, inside the box's own loop. The
// answer must close the box (for instance with PressButton).
void OnNextMessageBox(const std::string& caption, std::function<void(HWND box)> answer);
// Presses a button of a dialog or message box as a click would.
void PressButton(HWND window, int button);
