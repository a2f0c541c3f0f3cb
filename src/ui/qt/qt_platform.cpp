#include "ui/qt/qt_platform.h"

#include "ui/qt/qt_dialog.h"
#if defined(__unix__) && !defined(__APPLE__)
#include "ui/qt/desktop_open.h"
#endif

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace ui {

namespace {

QtPlatform::DialogShownHook& DialogShown() {
    static QtPlatform::DialogShownHook hook;
    return hook;
}

QtPlatform::MessageBoxHook& MessageBoxShown() {
    static QtPlatform::MessageBoxHook hook;
    return hook;
}

// Windows' ShellExecute results: above 32 is success; 2 is "file not found" and 31 "no
// application is associated".
constexpr int ShellOpened = 42;
constexpr int ShellFileNotFound = 2;
[[maybe_unused]] constexpr int ShellNoAssociation = 31; // where Qt opens links itself

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame(QPoint(), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

// The window frame shows the caption whole: the box is at least as wide as the caption in the
// title bar's bold face, with room for two of the frame's buttons on either side of it, as
// frames that centre their titles need.
void FitCaption(QMessageBox& box) {
    QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    title.setBold(true);
    const int button = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int needed = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + 4 * button;
    // The button row spans the whole box, so its least width is the box's.
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (buttons == nullptr || box.layout() == nullptr)
        return;
    const QMargins margins = box.layout()->contentsMargins();
    buttons->setMinimumWidth(std::max(0, needed - margins.left() - margins.right()));
}

} // namespace

bool DisplayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    return Set("QT_QPA_PLATFORM") || Set("WAYLAND_DISPLAY") || Set("DISPLAY");
#endif
}

struct QtPlatform::Running {
    QPointer<DialogWindow> window;
    QEventLoop* loop = nullptr;
    bool ended = false;
    int result = 0;
};

QtPlatform::QtPlatform() {
    LoadBundledFonts();
    // The program runs its dialogs in nested loops of its own; a hidden last window must not
    // end them all.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    SetUi(this);
}

QtPlatform::~QtPlatform() {
    SetUi(nullptr);
}

void QtPlatform::SetDialogShownHook(DialogShownHook hook) {
    DialogShown() = std::move(hook);
}

void QtPlatform::SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxShown() = std::move(hook);
}

QtPlatform::Running* QtPlatform::Find(WindowHandle dialog) const {
    auto found = running_.find(dialog);
    if (found == running_.end() || found->second->ended || found->second->window.isNull())
        return nullptr;
    return found->second;
}

DialogWindow* QtPlatform::Window(WindowHandle dialog) const {
    Running* running = Find(dialog);
    return running != nullptr ? running->window.data() : nullptr;
}

QWidget* QtPlatform::ControlWidget(WindowHandle dialog, int control) const {
    DialogWindow* window = Window(dialog);
    return window != nullptr ? window->Control(control) : nullptr;
}

WindowHandle QtPlatform::TopDialog() const {
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
        if (Find(*it) != nullptr)
            return *it;
    }
    return 0;
}

// A modal window is about to cover `below`: its listener hears of the deactivation now, while
// its focus is still where the user left it, whenever the window system gets round to it.
void QtPlatform::DeactivateBeforeModal(WindowHandle below) {
    if (DialogWindow* window = Window(below))
        window->SetActive(false);
}

// The modal window has gone: `below` is active again before the code that opened the modal
// window goes on, so a focus that code sets is not undone by a late activation.
void QtPlatform::ReactivateAfterModal(WindowHandle below) {
    DialogWindow* window = Window(below);
    if (window == nullptr || !window->isVisible())
        return;
    window->activateWindow();
    window->SetActive(true);
}

int QtPlatform::RunDialog(const Dialog& dialog, WindowHandle owner, DialogCallback callback) {
    const WindowHandle below = TopDialog();
    // The owner is the parent window; window modality keeps it from input meanwhile.
    QPointer<DialogWindow> window = BuildDialogWidget(dialog, Window(owner));
    window->setWindowModality(Qt::ApplicationModal);

    const WindowHandle handle = next_++;
    Running running;
    running.window = window;
    running_[handle] = &running;
    stack_.push_back(handle);
    if (callback) {
        window->onEvent = [handle, callback](const DialogEvent& event) { callback(handle, event); };
    }

    window->Report({DialogEventKind::Init, 0, 0});
    if (!running.ended && window) {
        window->FocusFirstControl();
        DeactivateBeforeModal(below);
        CentreOnScreen(window);
        window->show();
        if (DialogShown()) {
            QTimer::singleShot(0, window, [handle, shown = window] {
                if (auto hook = DialogShown(); hook && shown)
                    hook(handle, shown);
            });
        }
        QEventLoop loop;
        running.loop = &loop;
        if (!running.ended)
            loop.exec(QEventLoop::DialogExec);
        running.loop = nullptr;
        // A loop left without EndDialog means the application is quitting.
        running.ended = true;
    }

    running_.erase(handle);
    stack_.erase(std::remove(stack_.begin(), stack_.end(), handle), stack_.end());
    delete window.data();
    ReactivateAfterModal(below);
    return running.result;
}

void QtPlatform::EndDialog(WindowHandle dialog, int result) {
    Running* running = Find(dialog);
    if (running == nullptr)
        return;
    running->ended = true;
    running->result = result;
    // Nothing reaches the callback any more; the window goes at once, even when its loop
    // only returns after a dialog opened from the callback (the Login dialog opens the main
    // window that way).
    running->window->onEvent = nullptr;
    running->window->hide();
    if (running->loop != nullptr)
        running->loop->exit(0);
}

WindowHandle QtPlatform::FindWindowByTitle(const std::string& title) {
    // Like FindWindow, a dialog counts from its creation (its Init already finds it) until
    // it is ended.
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
        DialogWindow* window = Window(*it);
        if (window != nullptr && window->Table().title == title)
            return *it;
    }
    return 0;
}

std::string QtPlatform::ControlText(WindowHandle dialog, int control) {
    DialogWindow* window = Window(dialog);
    return window != nullptr ? window->Text(control) : std::string();
}

void QtPlatform::SetControlText(WindowHandle dialog, int control, const std::string& text) {
    if (DialogWindow* window = Window(dialog))
        window->SetText(control, text);
}

bool QtPlatform::IsChecked(WindowHandle dialog, int control) {
    DialogWindow* window = Window(dialog);
    return window != nullptr && window->Checked(control);
}

void QtPlatform::SetChecked(WindowHandle dialog, int control, bool checked) {
    if (DialogWindow* window = Window(dialog))
        window->SetChecked(control, checked);
}

int QtPlatform::FocusedControl(WindowHandle dialog) {
    // The window's own focus child: it stays while another window is active, which is what
    // a dialog remembers when it is deactivated.
    DialogWindow* window = Window(dialog);
    return window != nullptr ? window->IdOf(window->focusWidget()) : 0;
}

void QtPlatform::SetFocus(WindowHandle dialog, int control) {
    QWidget* widget = ControlWidget(dialog, control);
    if (widget != nullptr && widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus)
        widget->setFocus(Qt::OtherFocusReason);
}

void QtPlatform::EnableControl(WindowHandle dialog, int control, bool enabled) {
    if (QWidget* widget = ControlWidget(dialog, control))
        widget->setEnabled(enabled);
}

int QtPlatform::ShowMessage(const std::string& text, const std::string& caption, unsigned style) {
    const WindowHandle below = TopDialog();
    // Over the dialog that is showing, if any (one still in its Init is not yet shown).
    DialogWindow* over = Window(below);
    QMessageBox box(over != nullptr && over->isVisible() ? over : nullptr);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setTextFormat(Qt::PlainText); // the program's texts are never markup
    box.setText(WidgetText(text));
    // Screen readers announce the box by its caption and read its text as the description.
    box.setAccessibleName(box.windowTitle());
    box.setAccessibleDescription(box.text());
    box.setWindowIcon(ResourceIcon(ProgramIcon));
    switch (style & MbIconMask) {
    case MbIconStop:
        box.setIcon(QMessageBox::Critical);
        break;
    case MbIconQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case MbIconExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MbIconInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
    }
    // Task-modal and application-modal are one here: the program has one task.
    box.setWindowModality(Qt::ApplicationModal);

    const bool yesNo = (style & 0xF) == MbYesNo;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    if (yesNo) {
        yes = box.addButton(QMessageBox::Yes);
        no = box.addButton(QMessageBox::No);
        box.setDefaultButton((style & MbDefaultButton2) ? no : yes);
        box.setEscapeButton(no); // Esc or the close box answers No
    } else {
        ok = box.addButton(QMessageBox::Ok);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    FitCaption(box);

    if (MessageBoxShown()) {
        QTimer::singleShot(0, &box, [shown = &box] {
            if (auto hook = MessageBoxShown())
                hook(shown);
        });
    }
    DeactivateBeforeModal(below);
    box.exec();
    ReactivateAfterModal(below);

    if (!yesNo)
        return IdOk;
    return box.clickedButton() == yes ? IdYes : IdNo;
}

void QtPlatform::SetHandCursor() {
    // Windows keeps a cursor set this way until the mouse moves on; a short override is
    // the nearest Qt has.
    QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
    QTimer::singleShot(500, qApp, [] { QGuiApplication::restoreOverrideCursor(); });
}

namespace {

// Where the shell sends a target: a link as it is, a file as a file: URI; empty when a file is
// not there or the text is no link.
struct Target {
    QUrl url;
    bool isUrl = false;
};

std::optional<Target> TargetOf(const std::string& target) {
    const QString text = QString::fromStdString(target);
    Target result;
    result.isUrl = text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) ||
                   text.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
                   text.startsWith(QLatin1String("https:"), Qt::CaseInsensitive) ||
                   text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
    if (result.isUrl) {
        result.url = QUrl(text, QUrl::TolerantMode);
    } else {
        const QFileInfo file(text);
        if (text.isEmpty() || !file.exists())
            return std::nullopt;
        result.url = QUrl::fromLocalFile(file.absoluteFilePath());
    }
    if (!result.url.isValid())
        return std::nullopt;
    return result;
}

// Whether the desktop's own opener is asked, through GIO (it may take a while), rather than a
// handler registered in Qt: only the offscreen platform lets tests register those, having no
// opener of its own.
bool OpensThroughDesktop() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return QGuiApplication::platformName() != QLatin1String("offscreen");
#else
    return false;
#endif
}

} // namespace

int QtPlatform::ShellOpen(const std::string& target, ShowState /*show*/) {
    // The desktop's opener leaves the window state to the handler: a maximised window cannot
    // be asked for.
    const auto resolved = TargetOf(target);
    if (!resolved)
        return ShellFileNotFound;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Elsewhere QDesktopServices runs xdg-open, which waits on the mail program on some
    // desktops and says nothing of failures; GIO does not.
    if (!OpensThroughDesktop() && QDesktopServices::openUrl(resolved->url))
        return ShellOpened;
    // Links go as they are: they are already encoded.
    return OpenWithDesktop(
        resolved->isUrl ? target : resolved->url.toString(QUrl::FullyEncoded).toStdString());
#else
    return QDesktopServices::openUrl(resolved->url) ? ShellOpened : ShellNoAssociation;
#endif
}

void QtPlatform::ShellOpenThen(const std::string& target, ShowState show,
                               std::function<void(int)> done) {
    // The answer comes back through the event loop, as it would from another thread.
    const auto deliver = [done = std::move(done)](int result) {
        QMetaObject::invokeMethod(
            qApp, [done, result] { done(result); }, Qt::QueuedConnection);
    };
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto resolved = TargetOf(target);
    if (resolved && OpensThroughDesktop()) {
        // Starting the handler may take a while; the windows go on meanwhile.
        const std::string uri =
            resolved->isUrl ? target : resolved->url.toString(QUrl::FullyEncoded).toStdString();
        QThreadPool::globalInstance()->start([uri, deliver] { deliver(OpenWithDesktop(uri)); });
        return;
    }
#endif
    deliver(ShellOpen(target, show));
}

std::string QtPlatform::ChooseFileToOpen(WindowHandle owner, const std::string& title,
                                         const std::string& filterName,
                                         const std::string& patterns) {
    const QString filters = QString::fromStdString(filterName + " (" + patterns + ")") +
                            QStringLiteral(";;All files (*)");
    const WindowHandle below = TopDialog();
    DeactivateBeforeModal(below);
    const QString chosen = QFileDialog::getOpenFileName(
        Window(owner) != nullptr ? static_cast<QWidget*>(Window(owner)) : nullptr,
        QString::fromStdString(title), QDir::currentPath(), filters);
    ReactivateAfterModal(below);
    return chosen.toStdString();
}

void QtPlatform::SetProgress(WindowHandle dialog, int control, int done, int total) {
    if (auto* bar = qobject_cast<QProgressBar*>(ControlWidget(dialog, control))) {
        bar->setRange(0, std::max(total, 1));
        bar->setValue(std::clamp(done, 0, std::max(total, 1)));
    }
}

} // namespace ui
