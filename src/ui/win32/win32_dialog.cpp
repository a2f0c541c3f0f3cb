// A dialog while it runs: the fonts, pictures and colours of its controls, made for the
// resolution of its monitor, and Windows' messages turned into its events.

#include "ui/win32/win32_dialog.h"

#include "common/wide_text.h"
#include "ui/win32/picture.h"

#include <commctrl.h>

namespace ui {

using win32::DialogShown;
using win32::Handle;

namespace {

constexpr UINT ShownMessage = WM_APP + 1;
constexpr UINT RelaidMessage = WM_APP + 2; // the dialog manager has laid out a new resolution

COLORREF ColorOf(const Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// A function of user32 that older Windows versions lack, or null.
template <typename Function> Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The pixels per inch of the monitor the window is on (Windows 10 1607 on, per-monitor
// aware), else the system's.
int DpiOf(HWND window) {
    static const auto getDpiForWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A font as the layouts give it at `dpi`: height -(points * dpi / 72), truncated. A pitch
// sets every character's width in ems of the dialog font `dialogFont`.
HFONT MakeFont(const Font& font, const Font& dialogFont, int dpi) {
    const int width = static_cast<int>(font.pitch * dialogFont.points * dpi / 72 + 0.5);
    return CreateFontW(-(font.points * dpi / 72), width, 0, 0, font.weight, FALSE,
                       font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       Widen(font.face).c_str());
}

// A push button that never becomes the dialog's default one, so that Enter does not press
// it even when it has the focus (the dialog manager presses a focused default button).
LRESULT CALLBACK NeverDefault(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    if (message == WM_GETDLGCODE)
        return DLGC_BUTTON;
    return DefSubclassProc(button, message, wParam, lParam);
}

// A read-only multi-line box is not selected whole when the focus arrives, first or by Tab:
// nothing is to be typed over, and its text would all show as marked.
LRESULT CALLBACK NotSelectedOnFocus(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
    const LRESULT code = DefSubclassProc(box, message, wParam, lParam);
    return message == WM_GETDLGCODE ? code & ~DLGC_HASSETSEL : code;
}

} // namespace

Win32Platform::DialogShownHook& win32::DialogShown() {
    static Win32Platform::DialogShownHook hook;
    return hook;
}

const Control* Win32Platform::Running::Find(int id) const {
    for (const Control& control : table->controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

HBRUSH Win32Platform::Running::Brush(COLORREF color) {
    for (const auto& [made, brush] : brushes) {
        if (made == color)
            return brush;
    }
    brushes.emplace_back(color, CreateSolidBrush(color));
    return brushes.back().second;
}

void Win32Platform::Running::Report(DialogEventKind kind, int control, int code) {
    if (!ended && callback)
        callback(Handle(window), DialogEvent{kind, control, code});
}

void Win32Platform::Running::Close() {
    if (callback)
        Report(DialogEventKind::Close);
    else if (table->closeBox)
        ::EndDialog(window, 0);
}

void Win32Platform::Running::MakeFonts(int dpi) {
    std::vector<HFONT> made;
    for (const Font& font : table->fonts)
        made.push_back(MakeFont(font, table->font, dpi));
    for (const Control& control : table->controls) {
        if (control.font >= 0 && control.font < static_cast<int>(made.size()))
            SendDlgItemMessageW(window, control.id, WM_SETFONT,
                                reinterpret_cast<WPARAM>(made[control.font]), TRUE);
    }
    for (HFONT font : fonts)
        DeleteObject(font);
    fonts = std::move(made);
}

void Win32Platform::Running::DrawPictures() {
    std::vector<HBITMAP> drawn;
    for (const Control& control : table->controls) {
        if (control.kind != ControlKind::Picture)
            continue;
        const HWND picture = GetDlgItem(window, control.id);
        RECT client{};
        GetClientRect(picture, &client);
        const HBITMAP bitmap = win32::ScaledPicture(GetModuleHandleW(nullptr), control.resource,
                                                    client.right, client.bottom);
        if (bitmap == nullptr)
            continue;
        drawn.push_back(bitmap);
        // The one the control loaded itself is ours to delete once replaced, as is ours.
        if (const auto replaced = reinterpret_cast<HBITMAP>(SendMessageW(
                picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))))
            DeleteObject(replaced);
    }
    pictures = std::move(drawn);
}

void Win32Platform::Running::KeepFocus() {
    if (const int focused = FocusedChild())
        lastFocus = focused;
}

void Win32Platform::Running::GiveFocusBack() {
    const HWND control = GetDlgItem(window, lastFocus);
    if (control != nullptr && FocusedChild() != lastFocus && IsWindowVisible(control) &&
        IsWindowEnabled(control))
        ::SetFocus(control);
}

int Win32Platform::Running::FocusedChild() const {
    HWND focus = GetFocus();
    while (focus != nullptr && GetParent(focus) != window)
        focus = GetParent(focus);
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

INT_PTR CALLBACK DialogProcedure::Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* running = reinterpret_cast<Win32Platform::Running*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        running = reinterpret_cast<Win32Platform::Running*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return Initialise(window, *running);
    }
    if (running == nullptr)
        return FALSE;
    switch (message) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(running->Brush(ColorOf(running->table->background)));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return Colours(*running, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SIZE: // the status bar lays itself out along the bottom edge
        for (const Control& control : running->table->controls) {
            if (control.kind == ControlKind::StatusBar)
                SendDlgItemMessageW(window, control.id, WM_SIZE, 0, 0);
        }
        return FALSE;
    case WM_NCACTIVATE:
        if (wParam == FALSE) {
            running->KeepFocus();
            running->Report(DialogEventKind::Deactivate);
        } else {
            running->Report(DialogEventKind::Activate);
        }
        return FALSE; // the frame is drawn as usual
    case WM_COMMAND: {
        // Enter and Esc arrive as IDOK and IDCANCEL, which no table holds: nothing happens.
        const int id = LOWORD(wParam);
        if (id == IDCANCEL && lParam == 0 && running->table->escapeCloses)
            running->Close();
        if (running->Find(id) != nullptr)
            running->Report(DialogEventKind::Command, id, HIWORD(wParam));
        return TRUE;
    }
    case DM_GETDEFID: // no default button: Enter arrives as IDOK, ignored above
        SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_SETFOCUS: {
        // The dialog window itself took the focus, as Wine gives it when X tells it late of an
        // activation: the control that had it keeps it, or the kept one gets it back (the
        // dialog manager would move it to the first tab stop).
        const auto lost = reinterpret_cast<HWND>(wParam);
        if (lost != nullptr && IsChild(window, lost) && IsWindowVisible(lost) &&
            IsWindowEnabled(lost)) {
            ::SetFocus(lost);
            return TRUE;
        }
        running->GiveFocusBack();
        return running->FocusedChild() != 0 ? TRUE : FALSE;
    }
    case WM_SYSCOMMAND: // the close box, Close on the system menu, Alt+F4
        if ((wParam & 0xFFF0) != SC_CLOSE)
            return FALSE;
        running->Close();
        return TRUE;
    case WM_CLOSE:
        // A multi-line box posts this on Esc, which must not end the dialog or lose
        // what was typed; the close box comes as SC_CLOSE above.
        if (running->table->escapeCloses)
            running->Close();
        return TRUE;
    case WM_SETCURSOR: {
        const Control* control = running->Find(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
        if (control == nullptr || !(control->style & Link))
            return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_DPICHANGED:
        // Moved to a monitor of another resolution: the table's fonts are made again here;
        // the dialog manager then lays out the dialog in its own font (Windows 10 1703 on),
        // after which the pictures are drawn again at their new sizes.
        running->MakeFonts(HIWORD(wParam));
        PostMessageW(window, RelaidMessage, 0, 0);
        return FALSE;
    case RelaidMessage:
        running->DrawPictures();
        return TRUE;
    case ShownMessage:
        if (!running->ended && DialogShown()) {
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            DialogShown()(Handle(window));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR DialogProcedure::Initialise(HWND window, Win32Platform::Running& running) {
    running.window = window;
    running.platform->running_[Handle(window)] = &running;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(running.table->icon))) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    // The dialog manager gives its own font to every control when the resolution changes;
    // those with a font of the table keep theirs, made again for the new resolution.
    static const auto keepFont =
        User32<BOOL(WINAPI*)(HWND, DWORD, DWORD)>("SetDialogControlDpiChangeBehavior");
    for (const Control& control : running.table->controls) {
        const HWND child = GetDlgItem(window, control.id);
        if (control.font >= 0 && keepFont != nullptr)
            keepFont(child, 1, 1); // DCDC_DISABLE_FONTUPDATE
        if (control.kind == ControlKind::PushButton)
            SetWindowSubclass(child, &NeverDefault, 0, 0);
        else if (control.kind == ControlKind::Edit && (control.style & ReadOnly) &&
                 (control.style & Multiline))
            SetWindowSubclass(child, &NotSelectedOnFocus, 0, 0);
    }
    running.MakeFonts(DpiOf(window));
    running.DrawPictures();
    running.Report(DialogEventKind::Init);
    PostMessageW(window, ShownMessage, 0, 0);
    // TRUE lets Windows focus the first tab stop, unless the callback chose a control.
    return running.FocusedChild() == 0 ? TRUE : FALSE;
}

INT_PTR DialogProcedure::Colours(Win32Platform::Running& running, HDC dc, HWND child) {
    const Control* control = running.Find(GetDlgCtrlID(child));
    if (control == nullptr)
        return FALSE;
    if (control->textColor)
        SetTextColor(dc, ColorOf(*control->textColor));
    if (control->background) {
        SetBkColor(dc, ColorOf(*control->background));
        return reinterpret_cast<INT_PTR>(running.Brush(ColorOf(*control->background)));
    }
    if (control->kind == ControlKind::Edit) {
        if (!control->textColor)
            return FALSE; // the system's colours
        const bool grey = (control->style & ReadOnly) != 0;
        SetBkColor(dc, GetSysColor(grey ? COLOR_3DFACE : COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(grey ? COLOR_3DFACE : COLOR_WINDOW));
    }
    if (control->kind == ControlKind::PushButton)
        return FALSE;
    // Everything else sits on the dialog's own colour.
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, ColorOf(running.table->background));
    return reinterpret_cast<INT_PTR>(running.Brush(ColorOf(running.table->background)));
}

} // namespace ui
