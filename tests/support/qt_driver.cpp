#include "support/qt_driver.h"

#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

ui::QtPlatform& Backend() {
    return static_cast<ui::QtPlatform&>(ui::Ui());
}

} // namespace

std::unique_ptr<ui::Platform> MakeBackend() {
    return std::make_unique<ui::QtPlatform>();
}

std::unique_ptr<UiDriver> MakeDriver() {
    return std::make_unique<QtDriver>();
}

UrlCatcher::UrlCatcher(const QString& scheme, std::function<void(const QUrl&)> also)
    : scheme_(scheme), also_(std::move(also)) {
    QDesktopServices::setUrlHandler(scheme_, this, "Open");
}

UrlCatcher::~UrlCatcher() {
    QDesktopServices::unsetUrlHandler(scheme_);
}

void UrlCatcher::Open(const QUrl& url) {
    urls.push_back(url);
    if (also_)
        also_(url);
}

QtDriver::QtDriver() {
    ui::QtPlatform::SetDialogShownHook([this](ui::WindowHandle dialog, QWidget* window) {
        QApplication::setActiveWindow(window);
        Shown(window->windowTitle().toStdString(), dialog);
    });
    ui::QtPlatform::SetMessageBoxHook([this](QMessageBox* box) {
        boxes.push_back(box->text().toStdString());
        QAbstractButton* answer = box->defaultButton();
        if (box->button(QMessageBox::Yes) != nullptr && !answers.empty()) {
            answer = box->button(answers.front() ? QMessageBox::Yes : QMessageBox::No);
            answers.pop_front();
        }
        if (answer == nullptr)
            answer = box->buttons().front();
        QTest::mouseClick(answer, Qt::LeftButton);
    });
    for (const char* scheme : {"mailto", "https", "file"}) {
        catchers_.push_back(std::make_unique<UrlCatcher>(scheme, [this](const QUrl& url) {
            opened.push_back(url.isLocalFile() ? url.toLocalFile().toStdString()
                                               : url.toString(QUrl::FullyEncoded).toStdString());
        }));
    }
}

QtDriver::~QtDriver() {
    ui::QtPlatform::SetDialogShownHook({});
    ui::QtPlatform::SetMessageBoxHook({});
}

QWidget* QtDriver::Control(ui::WindowHandle dialog, int control) {
    QWidget* widget = Backend().ControlWidget(dialog, control);
    EXPECT_NE(widget, nullptr) << "no control " << control;
    return widget;
}

void QtDriver::Type(ui::WindowHandle dialog, int control, const std::string& text) {
    QWidget* box = Control(dialog, control);
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, QString::fromStdString(text));
}

void QtDriver::Click(ui::WindowHandle dialog, int control) {
    QWidget* button = Control(dialog, control);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void QtDriver::Press(ui::WindowHandle dialog, Key key) {
    QWidget* window = Backend().Window(dialog);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, key == Key::Enter ? Qt::Key_Return : Qt::Key_Escape);
}

void QtDriver::Mnemonic(ui::WindowHandle dialog, char letter) {
    QWidget* window = Backend().Window(dialog);
    QApplication::setActiveWindow(window);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, static_cast<Qt::Key>(Qt::Key_A + (letter - 'a')), Qt::AltModifier);
    // A button reached by its mnemonic clicks itself with a short animation, a tenth of a
    // second later; whatever the click opens runs inside this wait.
    QTest::qWait(250);
}

void QtDriver::CloseBox(ui::WindowHandle dialog) {
    QCloseEvent close;
    if (QWidget* window = Backend().Window(dialog))
        QApplication::sendEvent(window, &close);
}

bool QtDriver::Visible(ui::WindowHandle window) {
    return Backend().Window(window) != nullptr && Backend().Window(window)->isVisible();
}

bool QtDriver::Enabled(ui::WindowHandle window) {
    // A window under a modal one takes no input although Qt keeps it enabled.
    QWidget* widget = Backend().Window(window);
    return widget != nullptr && widget->isEnabled() &&
           (QApplication::activeModalWidget() == nullptr ||
            QApplication::activeModalWidget() == widget);
}

bool QtDriver::AnyWindowVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            return true;
    }
    return false;
}

void QtDriver::Settle() {
    QTest::qWait(100);
}
