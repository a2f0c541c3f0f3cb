#pragma once
// Driving the Win32 backend's real windows from inside their modal loops: what runs once a
// dialog shows, what answers the next message box, and keys as the dialog manager gets them.

#include "support/ui_driver.h"
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

// The user of tests/support/ui_driver.h at the Win32 backend's real windows; the shell
// opens are caught and answered as successes.
class Win32Driver : public UiDriver {
public:
    Win32Driver();           // installs the backend's hooks and the message box watcher
    ~Win32Driver() override; // and removes them

    void Type(ui::WindowHandle dialog, int control, const std::string& text) override;
    void Click(ui::WindowHandle dialog, int control) override;
    void Press(ui::WindowHandle dialog, Key key) override;
    void Mnemonic(ui::WindowHandle dialog, char letter) override;
    void CloseBox(ui::WindowHandle dialog) override;
    bool Visible(ui::WindowHandle window) override;
    bool Enabled(ui::WindowHandle window) override;
    bool AnyWindowVisible() override;
    void Settle() override;

private:
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND box);

    UINT_PTR timer_ = 0;
};
