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

namespace {
Win32Driver* driver = nullptr;
} // namespace

Win32Driver::Win32Driver() {
    driver = this;
    OnEveryDialogShown([this](ui::WindowHandle handle) {
        const auto dialog = reinterpret_cast<HWND>(handle);
        const std::string title = WindowTitle(dialog);
        shown.push_back(title);
        auto found = steps_.find(title);
        if (found == steps_.end() || found->second.empty()) {
            unexpected.push_back(title);
            CloseBox(dialog);
            return;
        }
        Step step = std::move(found->second.front());
        found->second.pop_front();
        step(dialog);
    });
    ui::Win32Platform::SetShellOpenHook([this](const std::string& target, ui::ShowState show) {
        opened.push_back({target, show});
        return 42;
    });
    timer_ = SetTimer(nullptr, 0, 20, &Win32Driver::Watch);
}

Win32Driver::~Win32Driver() {
    KillTimer(nullptr, timer_);
    OnEveryDialogShown({});
    ui::Win32Platform::SetShellOpenHook({});
    driver = nullptr;
}

void Win32Driver::When(const std::string& title, Step step) {
    steps_[title].push_back(std::move(step));
}

void CALLBACK Win32Driver::Watch(HWND, UINT, UINT_PTR, DWORD) {
    if (driver == nullptr)
        return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            // A message box: a dialog with the text control 0xFFFF, not yet answered.
            if (IsWindowVisible(window) && IsWindowEnabled(window) &&
                GetDlgItem(window, 0xFFFF) != nullptr && GetPropW(window, L"answered") == nullptr)
                driver->Answer(window);
            return TRUE;
        },
        0);
}

void Win32Driver::Answer(HWND box) {
    SetPropW(box, L"answered", reinterpret_cast<HANDLE>(1));
    Box seen{WindowTitle(box), Text(box, 0xFFFF), GetDlgItem(box, IDYES) != nullptr, IDOK};
    const HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) == box)
        seen.defaultButton = GetDlgCtrlID(focus);
    int press = seen.defaultButton;
    if (seen.yesNo && !answers.empty()) {
        press = answers.front() ? IDYES : IDNO;
        answers.pop_front();
    }
    boxes.push_back(seen);
    PressButton(box, press);
}

void Win32Driver::Type(HWND dialog, int id, const std::string& text) {
    const HWND box = GetDlgItem(dialog, id);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    SendMessageW(box, EM_SETSEL, 0, -1);
    for (wchar_t c : Widen(text))
        SendMessageW(box, WM_CHAR, c, 1);
}

void Win32Driver::Click(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    wchar_t kind[16] = {};
    GetClassNameW(control, kind, 16);
    if (lstrcmpiW(kind, L"Static") != 0) {
        SendMessageW(control, BM_CLICK, 0, 0);
        return;
    }
    // A label that reports clicks does so when the mouse button comes up over it.
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
}

void Win32Driver::Mnemonic(HWND dialog, char letter) {
    PostAltKey(dialog, static_cast<wchar_t>(letter));
    HandlePendingMessages(dialog);
}

void Win32Driver::CloseBox(HWND dialog) {
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string Win32Driver::Text(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

bool Win32Driver::Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool Win32Driver::AnyWindowVisible() {
    bool visible = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (IsWindowVisible(window))
                *reinterpret_cast<bool*>(found) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visible));
    return visible;
}
