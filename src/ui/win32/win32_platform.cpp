// The platform interface on Win32: dialogs run from their templates, message boxes, the
// shell and the file chooser. A dialog while it runs: win32_dialog.cpp.

#include "ui/win32/win32_platform.h"

#include "common/wide_text.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/win32_dialog.h"

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

using win32::DialogShown;
using win32::Handle;
using win32::Hwnd;

namespace {

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

Win32Platform::ShellOpenHook& ShellOpened() {
    static Win32Platform::ShellOpenHook hook;
    return hook;
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
    Running* opener = RunningOf(owner);
    if (opener != nullptr)
        opener->KeepFocus();
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
        Hwnd(owner), &DialogProcedure::Run, reinterpret_cast<LPARAM>(&running));
    if (opener != nullptr && opener == RunningOf(owner) && !opener->ended)
        opener->GiveFocusBack();
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
    Running* running = RunningOf(dialog);
    if (running == nullptr || running->ended)
        return;
    // Nothing reaches the callback any more; Windows hides the window at once, even when its
    // loop only returns after a dialog opened from the callback.
    running->ended = true;
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
        const Running* running = RunningOf(Handle(window));
        if (process == GetCurrentProcessId() && actual == wide &&
            (running == nullptr || !running->ended))
            return Handle(window);
    }
    return 0;
}

Win32Platform::Running* Win32Platform::RunningOf(WindowHandle window) const {
    const auto found = running_.find(window);
    return found != running_.end() ? found->second : nullptr;
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
    const Running* running = RunningOf(dialog);
    if (running == nullptr)
        return 0;
    const int focused = running->FocusedChild();
    // While another window is active, the control the dialog will give the focus back to.
    return focused != 0 ? focused : running->lastFocus;
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
    if (Running* behind = RunningOf(Handle(active)))
        behind->KeepFocus();
    const int answer =
        MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), static_cast<UINT>(style));
    // The box goes while the program's windows are still disabled, so Windows may find none
    // to activate: the dialog that was active gets the keyboard back, and its focus.
    if (active != nullptr && IsWindow(active) && GetActiveWindow() != active)
        SetActiveWindow(active);
    if (Running* behind = RunningOf(Handle(active)); behind != nullptr && !behind->ended)
        behind->GiveFocusBack();
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
