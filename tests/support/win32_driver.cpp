#include "support/win32_driver.h"
#include "support/ui_driver.h"

#include "common/wide_text.h"

namespace {

std::function<void(HWND)> pendingAnswer;
std::wstring pendingCaption;

void CALLBACK LookForMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    static int waited = 0;
    const HWND box = FindWindowW(L"#32770", pendingCaption.c_str());
    if (box == nullptr || !IsWindowVisible(box))
        return;
    // Shown, and given its focus: a busy machine may run this in between. Without a window
    // manager an X focus change can go astray; after half a second the box is activated as a
    // window manager would, and after a second it is answered as it stands.
    const HWND focus = GetFocus();
    if (focus == nullptr || GetParent(focus) != box) {
        if (++waited == 25)
            SetActiveWindow(box);
        if (waited < 50)
            return;
    }
    waited = 0;
    KillTimer(nullptr, timer);
    auto answer = std::move(pendingAnswer);
    answer(box);
}

HWND Hwnd(ui::WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

// Handles the messages posted so far, as the dialog's modal loop would (keys go through the
// dialog manager first).
void HandlePendingMessages(HWND dialog) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageW(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Posts what the keyboard would to the control that has the focus, and lets the dialog
// handle it.
void Keystroke(HWND dialog, UINT message, WPARAM key, LPARAM flags) {
    // Without a window manager the activation of a new dialog may still be on its way; the
    // keyboard goes to the active window, so it is activated first, as a click would.
    if (GetActiveWindow() != dialog)
        SetActiveWindow(dialog);
    const HWND focus = GetFocus();
    PostMessageW(focus != nullptr && IsChild(dialog, focus) ? focus : dialog, message, key, flags);
    HandlePendingMessages(dialog);
}

} // namespace

std::string WindowTitle(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
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

namespace {

// The user of tests/support/ui_driver.h at the Win32 backend's real windows; the shell opens
// are caught and answered as successes.
class Win32Driver : public UiDriver {
public:
    Win32Driver() {
        current = this;
        ui::Win32Platform::SetDialogShownHook(
            [this](ui::WindowHandle dialog) { Shown(WindowTitle(Hwnd(dialog)), dialog); });
        // Called where ShellExecuteW would be: a run's on a thread of its own, one at a time.
        ui::Win32Platform::SetShellOpenHook([this](const std::string& target, ui::ShowState) {
            opened.push_back(target);
            if (target.starts_with("mailto:"))
                Sleep(200); // a mail program takes a while to start
            return 42;
        });
        timer_ = SetTimer(nullptr, 0, 20, &Win32Driver::Watch);
    }
    ~Win32Driver() override {
        KillTimer(nullptr, timer_);
        ui::Win32Platform::SetDialogShownHook({});
        ui::Win32Platform::SetShellOpenHook({});
        current = nullptr;
    }

    void Type(ui::WindowHandle dialog, int control, const std::string& text) override {
        const HWND box = GetDlgItem(Hwnd(dialog), control);
        SendMessageW(Hwnd(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
        SendMessageW(box, EM_SETSEL, 0, -1);
        for (wchar_t c : Widen(text))
            SendMessageW(box, WM_CHAR, c, 1);
    }
    void Click(ui::WindowHandle dialog, int control) override {
        const HWND window = GetDlgItem(Hwnd(dialog), control);
        wchar_t kind[16] = {};
        GetClassNameW(window, kind, 16);
        if (lstrcmpiW(kind, L"Static") != 0) {
            SendMessageW(window, BM_CLICK, 0, 0);
            return;
        }
        // A label that reports clicks does so when the mouse button comes up over it.
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    }
    // A key going down (its character follows from TranslateMessage); Alt+letter as a system
    // character, bit 29 saying Alt is down.
    void Press(ui::WindowHandle dialog, Key key) override {
        Keystroke(Hwnd(dialog), WM_KEYDOWN, key == Key::Enter ? VK_RETURN : VK_ESCAPE, 1);
    }
    void Mnemonic(ui::WindowHandle dialog, char letter) override {
        Keystroke(Hwnd(dialog), WM_SYSCHAR, static_cast<wchar_t>(letter), 1 << 29);
    }
    void CloseBox(ui::WindowHandle dialog) override {
        SendMessageW(Hwnd(dialog), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    bool Visible(ui::WindowHandle window) override { return IsWindowVisible(Hwnd(window)); }
    bool Enabled(ui::WindowHandle window) override { return IsWindowEnabled(Hwnd(window)); }
    bool AnyWindowVisible() override {
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
    void Settle() override {
        for (int i = 0; i < 5; ++i, Sleep(20))
            HandlePendingMessages(GetActiveWindow());
    }

private:
    // Answers every message box and file chooser of this thread once it shows.
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                // A message box has the text control 0xFFFF, the Open dialog its name box cmb13.
                if (current == nullptr || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
                    GetPropW(window, L"answered") != nullptr)
                    return TRUE;
                if (GetDlgItem(window, 0xFFFF) != nullptr)
                    current->Answer(window);
                else if (GetDlgItem(window, 0x47C) != nullptr)
                    current->Choose(window);
                return TRUE;
            },
            0);
    }
    // Types the next path where the Open dialog puts the focus, its name box, and presses
    // Enter, as a keyboard user does; with none left, Esc.
    void Choose(HWND chooser) {
        SetPropW(chooser, L"answered", reinterpret_cast<HANDLE>(1));
        const std::wstring path = files.empty() ? L"" : Widen(files.front());
        if (!files.empty())
            files.pop_front();
        for (wchar_t c : path)
            Keystroke(chooser, WM_CHAR, c, 1);
        Keystroke(chooser, WM_KEYDOWN, path.empty() ? VK_ESCAPE : VK_RETURN, 1);
    }
    void Answer(HWND box) {
        SetPropW(box, L"answered", reinterpret_cast<HANDLE>(1));
        boxes.push_back(WindowTitle(GetDlgItem(box, 0xFFFF)));
        const HWND focus = GetFocus();
        int press = focus != nullptr && GetParent(focus) == box ? GetDlgCtrlID(focus) : IDOK;
        if (GetDlgItem(box, IDYES) != nullptr && !answers.empty()) {
            press = answers.front() ? IDYES : IDNO;
            answers.pop_front();
        }
        PressButton(box, press);
    }

    static inline Win32Driver* current = nullptr;
    UINT_PTR timer_ = 0;
};

} // namespace

std::unique_ptr<ui::Platform> MakeBackend() {
    return std::make_unique<ui::Win32Platform>();
}

std::unique_ptr<UiDriver> MakeDriver() {
    return std::make_unique<Win32Driver>();
}
