#pragma once
// The native Windows backend of the platform interface: each dialog table becomes an
// in-memory dialog template run by DialogBoxIndirectParamW, nested in its opener's loop;
// message boxes are MessageBoxW with the program's own style flags, and the shell is
// ShellExecuteW. Text is UTF-8 in the program and UTF-16 at every Windows call.

#include "ui/platform.h"

#include <functional>
#include <map>
#include <string>

namespace ui {

class Win32Platform : public Platform {
public:
    // Prepares the common controls and installs itself as ui::Ui() (uninstalled when
    // destroyed). The icon and the picture are resources of the running program.
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // ---- Hooks (for screenshots and tests) ----
    // Called once each dialog is shown, from inside its modal loop.
    using DialogShownHook = std::function<void(WindowHandle dialog)>;
    static void SetDialogShownHook(DialogShownHook hook);
    // Takes the place of ShellExecuteW while set.
    using ShellOpenHook = std::function<int(const std::string& target, ShowState show)>;
    static void SetShellOpenHook(ShellOpenHook hook);

    // The window of a control (an HWND), or 0.
    WindowHandle ControlWindow(WindowHandle dialog, int control) const;

    // ---- ui::Platform ----
    int RunDialog(const Dialog& dialog, WindowHandle owner, DialogCallback callback) override;
    void EndDialog(WindowHandle dialog, int result) override;
    WindowHandle FindWindowByTitle(const std::string& title) override;
    std::string ControlText(WindowHandle dialog, int control) override;
    void SetControlText(WindowHandle dialog, int control, const std::string& text) override;
    bool IsChecked(WindowHandle dialog, int control) override;
    void SetChecked(WindowHandle dialog, int control, bool checked) override;
    int FocusedControl(WindowHandle dialog) override;
    void SetFocus(WindowHandle dialog, int control) override;
    void EnableControl(WindowHandle dialog, int control, bool enabled) override;
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void SetHandCursor() override;
    int ShellOpen(const std::string& target, ShowState show) override;
    void ShellOpenThen(const std::string& target, ShowState show,
                       std::function<void(int)> done) override;
    std::string ChooseFileToOpen(WindowHandle owner, const std::string& title,
                                 const std::string& filterName,
                                 const std::string& patterns) override;
    void SetProgress(WindowHandle dialog, int control, int done, int total) override;

    struct Running; // one dialog from its creation to its end

private:
    Running* RunningOf(WindowHandle window) const; // null for a window that is no dialog

    std::map<WindowHandle, Running*> running_;
    friend struct DialogProcedure;
};

} // namespace ui
