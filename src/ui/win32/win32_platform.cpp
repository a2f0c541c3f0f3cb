#include "ui/win32/win32_platform.h"

#include "common/wide_text.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/picture.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

namespace ui {

namespace {

constexpr UINT ShownMessage = WM_APP + 1;
constexpr UINT RelaidMessage = WM_APP + 2;   // the dialog manager has laid out a new resolution
constexpr UINT AnsweredMessage = WM_APP + 3; // a hand-over made on another thread is done

// What a hand-over made on another thread brings back to the program's thread.
struct Answer {
    std::function<void(int)> done;
    int result = 0;
};

LRESULT CALLBACK AnswerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != AnsweredMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    const std::unique_ptr<Answer> answer(reinterpret_cast<Answer*>(lParam));
    answer->done(answer->result);
    return 0;
}

// A message-only window of the program's thread: whichever dialog's loop is running
// dispatches the answers posted to it.
HWND AnswerWindow() {
    static const HWND window = [] {
        WNDCLASSW type{};
        type.lpfnWndProc = &AnswerProcedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"OmbrelayAnswers";
        RegisterClassW(&type);
        return CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               type.hInstance, nullptr);
    }();
    return window;
}

void PostAnswer(std::function<void(int)> done, int result) {
    PostMessageW(AnswerWindow(), AnsweredMessage, 0,
                 reinterpret_cast<LPARAM>(new Answer{std::move(done), result}));
}

int ShowCommand(ShowState show) {
    return show == ShowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
}

Win32Platform::DialogShownHook& DialogShown() {
    static Win32Platform::DialogShownHook hook;
    return hook;
}

Win32Platform::ShellOpenHook& ShellOpened() {
    static Win32Platform::ShellOpenHook hook;
    return hook;
}

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

WindowHandle Handle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

COLORREF ColorOf(const Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// The common controls, prepared as the program always did it: COMCTL32 loaded by name and
// InitCommonControlsEx with the Windows 95, date and internet classes, or the older call.
// The status bar class lives there. The library stays loaded through the program's own
// import of it, so the release here only drops the extra reference.
void PrepareCommonControls() {
    const HMODULE library = LoadLibraryW(L"COMCTL32.DLL");
    if (library == nullptr)
        return;
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initEx = reinterpret_cast<InitEx>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initEx != nullptr) {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = 8;
        init.dwICC = 0x9FF;
        initEx(&init);
    } else {
        InitCommonControls();
    }
    FreeLibrary(library);
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

// The window a message box belongs to: the active one or, while another program has the
// keyboard, this program's window that takes input (its innermost dialog; the dialogs under
// it are disabled), so that the box still holds the dialog it speaks for.
HWND MessageOwner() {
    HWND owner = GetActiveWindow();
    if (owner == nullptr)
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                if (!IsWindowVisible(window) || !IsWindowEnabled(window))
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&owner));
    return owner;
}

} // namespace

struct Win32Platform::Running {
    Win32Platform* platform = nullptr;
    const Dialog* table = nullptr;
    DialogCallback callback;
    HWND window = nullptr;
    bool ended = false;
    int lastFocus = 0; // the focused control when the dialog was last deactivated
    std::vector<HFONT> fonts;
    std::vector<HBITMAP> pictures; // each picture at its control's size
    std::vector<std::pair<COLORREF, HBRUSH>> brushes;

    const Control* Find(int id) const {
        for (const Control& control : table->controls) {
            if (control.id == id)
                return &control;
        }
        return nullptr;
    }
    HBRUSH Brush(COLORREF color) {
        for (const auto& [made, brush] : brushes) {
            if (made == color)
                return brush;
        }
        brushes.emplace_back(color, CreateSolidBrush(color));
        return brushes.back().second;
    }
    void Report(DialogEventKind kind, int control = 0, int code = 0) {
        if (!ended && callback)
            callback(Handle(window), DialogEvent{kind, control, code});
    }
    // The close box: the callback decides; a dialog run without one ends with 0.
    void Close() {
        if (callback)
            Report(DialogEventKind::Close);
        else if (table->closeBox)
            ::EndDialog(window, 0);
    }
    // The table's fonts made for `dpi` and given to their controls; those they replace go.
    void MakeFonts(int dpi) {
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
    // Each picture drawn to fill its control as it now is.
    void DrawPictures() {
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
    // The focused control of this dialog, or 0.
    int FocusedChild() const {
        HWND focus = GetFocus();
        while (focus != nullptr && GetParent(focus) != window)
            focus = GetParent(focus);
        return focus != nullptr ? GetDlgCtrlID(focus) : 0;
    }
};

// Window procedure of every dialog.
struct DialogProcedure {
    static INT_PTR CALLBACK Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* running =
            reinterpret_cast<Win32Platform::Running*>(GetWindowLongPtrW(window, DWLP_USER));
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
                running->lastFocus = running->FocusedChild();
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

    static INT_PTR Initialise(HWND window, Win32Platform::Running& running) {
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

    static INT_PTR Colours(Win32Platform::Running& running, HDC dc, HWND child) {
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
};

Win32Platform::Win32Platform() {
    PrepareCommonControls();
    SetUi(this);
}

Win32Platform::~Win32Platform() {
    SetUi(nullptr);
}

void Win32Platform::SetDialogShownHook(DialogShownHook hook) {
    DialogShown() = std::move(hook);
}

void Win32Platform::SetShellOpenHook(ShellOpenHook hook) {
    ShellOpened() = std::move(hook);
}

int Win32Platform::RunDialog(const Dialog& dialog, WindowHandle owner, DialogCallback callback) {
    Running running;
    running.platform = this;
    running.table = &dialog;
    running.callback = std::move(callback);
    const std::vector<std::uint32_t> dialogTemplate = win32::BuildTemplate(dialog);
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
        Hwnd(owner), &DialogProcedure::Run, reinterpret_cast<LPARAM>(&running));
    running_.erase(Handle(running.window));
    for (HFONT font : running.fonts) // made with the window, deleted once it has closed
        DeleteObject(font);
    for (HBITMAP picture : running.pictures)
        DeleteObject(picture);
    for (const auto& [color, brush] : running.brushes)
        DeleteObject(brush);
    return result == -1 ? 0 : static_cast<int>(result);
}

void Win32Platform::EndDialog(WindowHandle dialog, int result) {
    auto found = running_.find(dialog);
    if (found == running_.end() || found->second->ended)
        return;
    // Nothing reaches the callback any more; Windows hides the window at once, even when its
    // loop only returns after a dialog opened from the callback.
    found->second->ended = true;
    ::EndDialog(Hwnd(dialog), result);
}

WindowHandle Win32Platform::FindWindowByTitle(const std::string& title) {
    const std::wstring wide = Widen(title);
    // Only this program's own windows: a second running copy has windows of the same titles,
    // and its status bar is not ours to write. An ended dialog keeps its hidden window until
    // its loop returns; it is not found either. FindWindowW ignores letter case; the title
    // must match exactly.
    for (HWND window = FindWindowW(nullptr, wide.c_str()); window != nullptr;
         window = FindWindowExW(nullptr, window, nullptr, wide.c_str())) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        std::wstring actual(wide.size() + 2, L'\0');
        actual.resize(static_cast<std::size_t>(
            GetWindowTextW(window, actual.data(), static_cast<int>(actual.size()))));
        auto found = running_.find(Handle(window));
        if (process == GetCurrentProcessId() && actual == wide &&
            (found == running_.end() || !found->second->ended))
            return Handle(window);
    }
    return 0;
}

WindowHandle Win32Platform::ControlWindow(WindowHandle dialog, int control) const {
    return Handle(GetDlgItem(Hwnd(dialog), control));
}

std::string Win32Platform::ControlText(WindowHandle dialog, int control) {
    const HWND window = GetDlgItem(Hwnd(dialog), control);
    if (window == nullptr)
        return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void Win32Platform::SetControlText(WindowHandle dialog, int control, const std::string& text) {
    SetDlgItemTextW(Hwnd(dialog), control, Widen(text).c_str());
}

bool Win32Platform::IsChecked(WindowHandle dialog, int control) {
    return IsDlgButtonChecked(Hwnd(dialog), control) == BST_CHECKED;
}

void Win32Platform::SetChecked(WindowHandle dialog, int control, bool checked) {
    CheckDlgButton(Hwnd(dialog), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

int Win32Platform::FocusedControl(WindowHandle dialog) {
    auto found = running_.find(dialog);
    if (found == running_.end())
        return 0;
    const int focused = found->second->FocusedChild();
    // While another window is active, the control the dialog will give the focus back to.
    return focused != 0 ? focused : found->second->lastFocus;
}

void Win32Platform::SetFocus(WindowHandle dialog, int control) {
    const HWND window = GetDlgItem(Hwnd(dialog), control);
    if (window == nullptr || !IsWindowEnabled(window))
        return;
    // The dialog manager's way: it also moves the default-button look and selects an edit's
    // text, as tabbing there does.
    SendMessageW(Hwnd(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
}

void Win32Platform::EnableControl(WindowHandle dialog, int control, bool enabled) {
    if (const HWND window = GetDlgItem(Hwnd(dialog), control))
        EnableWindow(window, enabled ? TRUE : FALSE);
}

int Win32Platform::ShowMessage(const std::string& text, const std::string& caption,
                               unsigned style) {
    // Task-modal boxes have no owner: Windows disables every window of the program instead.
    const HWND active = MessageOwner();
    const HWND owner = (style & MbTaskModal) ? nullptr : active;
    const int answer =
        MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), static_cast<UINT>(style));
    // The box goes while the program's windows are still disabled, so Windows may find none
    // to activate: the dialog that was active gets the keyboard back (and with it its focus).
    if (active != nullptr && IsWindow(active) && GetActiveWindow() != active)
        SetActiveWindow(active);
    if ((style & 0xF) == MbYesNo)
        return answer == IDYES ? IdYes : IdNo;
    return IdOk;
}

void Win32Platform::SetHandCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
}

int Win32Platform::ShellOpen(const std::string& target, ShowState show) {
    if (ShellOpened())
        return ShellOpened()(target, show);
    const HINSTANCE result = ShellExecuteW(GetActiveWindow(), L"open", Widen(target).c_str(),
                                           nullptr, nullptr, ShowCommand(show));
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

void Win32Platform::ShellOpenThen(const std::string& target, ShowState show,
                                  std::function<void(int)> done) {
    AnswerWindow(); // made on the program's thread
    // ShellExecute may wait for the mail program to start; the windows go on meanwhile. A
    // hook stands in for it there too, so that a slow one holds no window either.
    std::thread([target, hook = ShellOpened(), show, done = std::move(done)]() mutable {
        if (hook)
            return PostAnswer(std::move(done), hook(target, show));
        const HRESULT com =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        const HINSTANCE result = ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr,
                                               nullptr, ShowCommand(show));
        if (SUCCEEDED(com))
            CoUninitialize();
        PostAnswer(std::move(done), static_cast<int>(reinterpret_cast<INT_PTR>(result)));
    }).detach();
}

std::string Win32Platform::ChooseFileToOpen(WindowHandle owner, const std::string& title,
                                            const std::string& filterName,
                                            const std::string& patterns) {
    std::string types = patterns;
    std::replace(types.begin(), types.end(), ' ', ';');
    const std::wstring filter = Widen(filterName + " (" + patterns + ")") + L'\0' + Widen(types) +
                                L'\0' + L"All files (*.*)" + L'\0' + L"*.*" + L'\0';
    const std::wstring caption = Widen(title);
    std::error_code ignored;
    const std::wstring folder = std::filesystem::current_path(ignored).wstring();
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = Hwnd(owner);
    chooser.lpstrFilter = filter.c_str();
    chooser.lpstrFile = file.data();
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.lpstrInitialDir = folder.c_str();
    chooser.lpstrTitle = caption.c_str();
    chooser.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&chooser))
        return "";
    return Narrow(file.data());
}

void Win32Platform::SetProgress(WindowHandle dialog, int control, int done, int total) {
    const int range = std::max(total, 1);
    SendDlgItemMessageW(Hwnd(dialog), control, PBM_SETRANGE32, 0, range);
    SendDlgItemMessageW(Hwnd(dialog), control, PBM_SETPOS, std::clamp(done, 0, range), 0);
}

} // namespace ui
