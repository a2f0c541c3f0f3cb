#include "support/qt_driver.h"

#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

UrlCatcher::UrlCatcher(const QString& scheme) : scheme_(scheme) {
    QDesktopServices::setUrlHandler(scheme_, this, "Open");
}

UrlCatcher::~UrlCatcher() {
    QDesktopServices::unsetUrlHandler(scheme_);
}

QtDriver::QtDriver() {
    ui::QtPlatform::SetDialogShownHook([this](ui::WindowHandle dialog, QWidget* window) {
        const std::string title = window->windowTitle().toStdString();
        shown.push_back(title);
        auto& queue = steps_[title];
        if (queue.empty()) {
            unexpected.push_back(title);
            CloseBox(window);
            return;
        }
        Step step = std::move(queue.front());
        queue.pop_front();
        QApplication::setActiveWindow(window);
        step(dialog, static_cast<ui::DialogWindow*>(window));
    });
    ui::QtPlatform::SetMessageBoxHook([this](QMessageBox* box) {
        boxes.push_back(box->text().toStdString());
        QAbstractButton* answer = box->defaultButton();
        if (box->button(QMessageBox::Yes) != nullptr && !answers.empty()) {
            answer = box->button(answers.front());
            answers.pop_front();
        }
        if (answer == nullptr)
            answer = box->buttons().front();
        Click(answer);
    });
}

QtDriver::~QtDriver() {
    ui::QtPlatform::SetDialogShownHook({});
    ui::QtPlatform::SetMessageBoxHook({});
}

void QtDriver::When(const std::string& title, Step step) {
    steps_[title].push_back(std::move(step));
}

void QtDriver::Type(QWidget* box, const QString& text) {
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void QtDriver::Click(QWidget* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void QtDriver::Mnemonic(QWidget* window, char letter) {
    QApplication::setActiveWindow(window);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, static_cast<Qt::Key>(Qt::Key_A + (letter - 'a')), Qt::AltModifier);
    // A button reached by its mnemonic clicks itself with a short animation, a tenth of a
    // second later; whatever the click opens runs inside this wait.
    QTest::qWait(250);
}

void QtDriver::CloseBox(QWidget* window) {
    QCloseEvent close;
    QApplication::sendEvent(window, &close);
}

QWidget* QtDriver::Control(ui::DialogWindow* window, int id) {
    QWidget* control = window->Control(id);
    EXPECT_NE(control, nullptr) << "no control " << id;
    return control;
}
