#pragma once
// The Qt Widgets backend of the platform interface: each dialog table becomes a QDialog with
// standard widgets, run in a nested event loop of its own; message boxes are QMessageBoxes
// and the shell is the desktop's default handler.

#include "ui/platform.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;

namespace ui {

class DialogWindow;

// Whether a window system can be reached. Call it before making the QApplication, so that a
// machine without a display gets a one-line message instead of a failure inside Qt.
// On Linux and other X11/Wayland systems: QT_QPA_PLATFORM, WAYLAND_DISPLAY or DISPLAY set.
bool DisplayAvailable();

class QtPlatform : public Platform {
public:
    // Needs a QApplication. Loads the bundled faces, keeps the application from quitting
    // when a dialog hides, and installs itself as ui::Ui() (uninstalled when destroyed).
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // ---- Hooks (for screenshots and tests) ----
    // Called once each dialog is shown, from inside its modal loop, with its window.
    using DialogShownHook = std::function<void(WindowHandle dialog, QWidget* window)>;
    static void SetDialogShownHook(DialogShownHook hook);
    // Called with each message box once it is shown, from inside its modal loop; the hook
    // may read it and click one of its buttons.
    using MessageBoxHook = std::function<void(QMessageBox* box)>;
    static void SetMessageBoxHook(MessageBoxHook hook);

    // ---- Reaching the widgets ----
    // The window of a running dialog that has not been ended, or null.
    DialogWindow* Window(WindowHandle dialog) const;
    QWidget* ControlWidget(WindowHandle dialog, int control) const;

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

private:
    struct Running;
    Running* Find(WindowHandle dialog) const;
    // The innermost running dialog that has not been ended, or 0.
    WindowHandle TopDialog() const;
    void DeactivateBeforeModal(WindowHandle below);
    void ReactivateAfterModal(WindowHandle below);

    std::map<WindowHandle, Running*> running_;
    std::vector<WindowHandle> stack_; // running dialogs, outermost first
    WindowHandle next_ = 0x100;
};

} // namespace ui
