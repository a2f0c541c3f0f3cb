// The user of tests/support/ui_driver.h at the Win32 backend's real windows, from inside their
// modal loops, who also measures them against their tables; the shell opens are caught and
// answered as successes.

#include "support/win32_driver.h"
#include "support/take_first.h"
#include "support/ui_driver.h"

#include "common/wide_text.h"
#include "ui/win32/win32_platform.h"

#include <commctrl.h>

namespace {

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

std::string IconOf(HWND box) {
    const LRESULT shown = SendDlgItemMessageW(box, 0x0440, STM_GETICON, 0, 0);
    const std::pair<LPCWSTR, const char*> icons[] = {{IDI_INFORMATION, "information"},
                                                     {IDI_WARNING, "warning"},
                                                     {IDI_ERROR, "stop"},
                                                     {IDI_QUESTION, "question"}};
    for (const auto& [icon, name] : icons) {
        if (shown == reinterpret_cast<LRESULT>(LoadIconW(nullptr, icon)))
            return name;
    }
    return "none";
}

class Win32Driver : public UiDriver {
public:
    Win32Driver() {
        current = this;
        ui::Win32Platform::SetDialogShownHook(
            [this](ui::WindowHandle dialog) { Shown(WindowTitle(Hwnd(dialog)), dialog); });
        // Called where ShellExecuteW would be: a run's on a thread of its own, one at a time.
        ui::Win32Platform::SetShellOpenHook([this](const std::string& target, ui::ShowState) {
            Opened(target);
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
    // A tenth of a second, and up to a second more while none of the program's windows is
    // active: without a window manager, X tells Wine of an activation late.
    void Settle() override {
        for (int i = 0; i < 55 && (i < 5 || GetActiveWindow() == nullptr); ++i, Sleep(20))
            HandlePendingMessages(GetActiveWindow());
    }
    std::string Progress(ui::WindowHandle dialog, int control) override {
        return std::to_string(SendDlgItemMessageW(Hwnd(dialog), control, PBM_GETPOS, 0, 0)) + "/" +
               std::to_string(SendDlgItemMessageW(Hwnd(dialog), control, PBM_GETRANGE, FALSE, 0));
    }

    // Each control where Windows' own dialog units put it, in its face, weight and size, with
    // its tab stop, the colours the dialog gives Windows to draw it in, the icon, the picture
    // filling its place, the status bar and the hand over links. Windows draws the captions
    // in its own face, into the room the description's layouts give them.
    void Measure(const ui::Dialog& table, ui::WindowHandle handle) override {
        const HWND dialog = Hwnd(handle);
        // The brush and text colour the dialog gives Windows for the dialog or a control.
        const auto colours = [&](UINT message, HWND control) {
            const HDC dc = CreateCompatibleDC(nullptr);
            LOGBRUSH brush{};
            GetObjectW(
                reinterpret_cast<HBRUSH>(SendMessageW(dialog, message, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(control))),
                sizeof brush, &brush);
            const COLORREF text = GetTextColor(dc);
            DeleteDC(dc);
            return std::pair{brush.lbColor, text};
        };
        const auto rgb = [](const ui::Rgb& c) { return RGB(c.red, c.green, c.blue); };
        Expect(((GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0) == table.closeBox,
               "close box");
        Expect(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) != 0, "icon");
        Expect(colours(WM_CTLCOLORDLG, dialog).first == rgb(table.background), "background");
        // Windows' own dialog units, from Wine's raster "MS Sans Serif" 8 at 96 dots per inch:
        // 6 x 13 pixels. The program is told the real resolution, and runs at any.
        const HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        RECT units{0, 0, 4, 8};
        MapDialogRect(dialog, &units);
        Expect(dpi != 96 || (units.right == 6 && units.bottom == 13), "dialog units");
        RECT client{};
        GetClientRect(dialog, &client);
        for (const ui::Control& row : table.controls) {
            const std::string id = std::to_string(row.id);
            const HWND control = GetDlgItem(dialog, row.id);
            if (control == nullptr) {
                Expect(false, id + " missing");
                continue;
            }
            const LONG style = GetWindowLongW(control, GWL_STYLE);
            Expect(bool(style & WS_TABSTOP) == bool(row.style & ui::TabStop) &&
                       bool(style & WS_DISABLED) == bool(row.style & ui::Disabled),
                   id + " tab stop");
            const auto [background, text] = colours(WM_CTLCOLORSTATIC, control);
            Expect((!row.background || background == rgb(*row.background)) &&
                       (!row.textColor || text == rgb(*row.textColor)),
                   id + " colours");
            Expect(((style & WS_VISIBLE) != 0) == !(row.style & ui::Hidden), id + " visibility");
            // The hand over a link, and only there.
            SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            Expect((GetCursor() == LoadCursorW(nullptr, IDC_HAND)) == bool(row.style & ui::Link),
                   id + " cursor");
            RECT at{};
            GetWindowRect(control, &at);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
            Expect(at.left >= 0 && at.top >= 0 && at.right <= client.right &&
                       at.bottom <= client.bottom,
                   id + " inside the dialog");
            // The status bar lays itself out along the bottom edge. Frames and pictures show no
            // text and keep no font.
            if (row.kind == ui::ControlKind::StatusBar) {
                Expect(at.left == 0 && at.right == client.right && at.bottom == client.bottom,
                       id + " geometry");
                continue;
            }
            if (row.kind == ui::ControlKind::EtchedFrame)
                continue;
            // Windows converts the place and the size each on its own.
            RECT wanted{row.x, row.y, row.width, row.height};
            MapDialogRect(dialog, &wanted);
            Expect(at.left == wanted.left && at.top == wanted.top &&
                       at.right == wanted.left + wanted.right &&
                       at.bottom == wanted.top + wanted.bottom,
                   id + " geometry");
            if (row.kind == ui::ControlKind::Picture) { // bitmap 127 drawn to fill it
                BITMAP bitmap{};
                GetObjectW(
                    reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                    sizeof bitmap, &bitmap);
                RECT inside{};
                GetClientRect(control, &inside);
                Expect(bitmap.bmWidth == inside.right && bitmap.bmHeight == inside.bottom,
                       id + " bitmap");
                continue;
            }
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            const ui::Font& asked = row.font < 0 ? table.font : table.fonts[row.font];
            // A font of the table's own is made at -(points * dpi / 72), truncated; the
            // dialog font is Windows' own.
            Expect(Narrow(font.lfFaceName) == asked.face &&
                       (font.lfWeight >= 700) == (asked.weight >= 700) &&
                       (row.font < 0 || font.lfHeight == -(asked.points * dpi / 72)),
                   id + " font");
        }
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
                    current->Reply(window);
                else if (GetDlgItem(window, 0x47C) != nullptr)
                    current->Choose(window);
                return TRUE;
            },
            0);
    }
    // Whether the window has the keyboard focus inside it, as it has once shown and active; a
    // busy machine may run this in between. Without a window manager an X focus change can go
    // astray: after half a second the window is activated as a window manager would, and after
    // a second it is taken as it stands. A window taken is marked, and met once.
    bool Settled(HWND window) {
        const HWND focus = GetFocus();
        if (focus == nullptr || !IsChild(window, focus)) {
            if (++waited_ == 25)
                SetActiveWindow(window);
            if (waited_ < 50)
                return false;
        }
        waited_ = 0;
        SetPropW(window, L"answered", reinterpret_cast<HANDLE>(1));
        return true;
    }
    // Puts the next path into the Open dialog's name box whole, as a paste does, and presses
    // Enter; with none left, Esc. (Typed a key at a time, what is typed before a late
    // activation is selected by it, and the next key replaces it.)
    void Choose(HWND chooser) {
        if (!Settled(chooser))
            return;
        const std::wstring path = Widen(TakeFirst(files));
        SetDlgItemTextW(chooser, 0x47C, path.c_str());
        Keystroke(chooser, WM_KEYDOWN, path.empty() ? VK_ESCAPE : VK_RETURN, 1);
    }
    // A box is answered once it has its focus on its default button.
    void Reply(HWND box) {
        if (!Settled(box))
            return;
        const HWND focus = GetFocus();
        const int byDefault =
            focus != nullptr && GetParent(focus) == box ? GetDlgCtrlID(focus) : IDOK;
        const Answer answer = Met(IconOf(box), GetDlgItem(box, IDYES) != nullptr, byDefault == IDNO,
                                  WindowTitle(GetDlgItem(box, 0xFFFF)));
        // The button pressed as a click would.
        const int button = answer == Answer::Default ? byDefault
                           : answer == Answer::Yes   ? IDYES
                                                     : IDNO;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }

    static inline Win32Driver* current = nullptr;
    UINT_PTR timer_ = 0;
    int waited_ = 0;
};

} // namespace

std::string WindowTitle(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

std::unique_ptr<ui::Platform> MakeBackend() {
    return std::make_unique<ui::Win32Platform>();
}

std::unique_ptr<UiDriver> MakeDriver() {
    return std::make_unique<Win32Driver>();
}
