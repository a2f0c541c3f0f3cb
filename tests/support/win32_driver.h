#pragma once
// Driving the Win32 backend's real windows from inside their modal loops: what runs once a
// dialog shows, what answers the next message box, and keys as the dialog manager gets them.

#include "ui/win32/win32_platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

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

// Drives the program through its real Win32 windows as a user would, each dialog scripted by
// its title; every message box is recorded and answered, every shell open caught.
class Win32Driver {
public:
    // What the user does in one showing of a dialog, inside its modal loop; clicking a
    // button that opens another dialog returns once that one has closed.
    using Step = std::function<void(HWND dialog)>;

    Win32Driver();  // installs the backend's hooks and the message box watcher
    ~Win32Driver(); // and removes them

    // Queues the step for the next showing of the dialog titled `title`. A dialog shown
    // without a step is recorded in `unexpected` and closed with its close box.
    void When(const std::string& title, Step step);

    struct Box {
        std::string title, text;
        bool yesNo = false;
        int defaultButton = 0; // IDOK, IDYES or IDNO
    };
    std::vector<Box> boxes;
    // Answers for Yes/No boxes, in order (true: Yes); when none is left, the default button.
    std::deque<bool> answers;
    std::vector<std::string> shown;      // titles of the dialogs shown, in order
    std::vector<std::string> unexpected; // dialogs shown without a step
    struct Opened {
        std::string target;
        ui::ShowState show = ui::ShowState::Normal;
    };
    std::vector<Opened> opened; // what the shell was asked to open

    // As a user: focus the box, select what it holds, and type (capitals as the box makes
    // them); click; Alt+letter, returning once the button it reaches has done its work.
    static void Type(HWND dialog, int id, const std::string& text);
    static void Click(HWND dialog, int id);
    static void Mnemonic(HWND dialog, char letter);
    static void CloseBox(HWND dialog);
    static std::string Text(HWND dialog, int id);
    static bool Checked(HWND dialog, int id);
    // Whether any window of this thread is still visible.
    static bool AnyWindowVisible();

private:
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND box);

    std::map<std::string, std::deque<Step>> steps_;
    UINT_PTR timer_ = 0;
};
