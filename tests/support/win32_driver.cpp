#include "support/win32_driver.h"

#include "common/wide_text.h"

namespace {

std::function<void(HWND)> pendingAnswer;
std::wstring pendingCaption;

void CALLBACK LookForMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowW(L"#32770", pendingCaption.c_str());
    if (box == nullptr || !IsWindowVisible(box))
        return;
    KillTimer(nullptr, timer);
    auto answer = std::move(pendingAnswer);
    answer(box);
}

HWND FocusOf(HWND dialog) {
    const HWND focus = GetFocus();
    return focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
}

} // namespace

std::string WindowTitle(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return Narrow(title);
}

void OnEveryDialogShown(std::function<void(ui::WindowHandle dialog)> script) {
    ui::Win32Platform::SetDialogShownHook(std::move(script));
}

void OnNextMessageBox(const std::string& caption, std::function<void(HWND box)> answer) {
    pendingCaption = Widen(caption);
    pendingAnswer = std::move(answer);
    SetTimer(nullptr, 0, 20, &LookForMessageBox);
}

void PressButton(HWND window, int button) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
}

void PostAltKey(HWND dialog, wchar_t letter) {
    PostMessageW(FocusOf(dialog), WM_SYSCHAR, letter, 1 << 29); // bit 29: Alt is down
}

void PostKey(HWND dialog, WPARAM virtualKey) {
    PostMessageW(FocusOf(dialog), WM_KEYDOWN, virtualKey, 1);
}

void PostCharacter(HWND dialog, wchar_t character) {
    PostMessageW(FocusOf(dialog), WM_CHAR, character, 1);
}

void HandlePendingMessages(HWND dialog) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageW(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
