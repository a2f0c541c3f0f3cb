#include "support/qt_driver.h"
#include "support/ui_driver.h"

#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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

namespace {

// The user of tests/support/ui_driver.h at the Qt backend's real widgets.
class QtDriver : public UiDriver {
public:
    QtDriver() {
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
                opened.push_back(url.isLocalFile()
                                     ? url.toLocalFile().toStdString()
                                     : url.toString(QUrl::FullyEncoded).toStdString());
                // A mail program takes a while to start: longer than a mnemonic's click.
                if (url.scheme() == QLatin1String("mailto"))
                    QTest::qSleep(200);
            }));
        }
        // The file chooser: the next path typed where it puts the focus, its name box, and
        // Enter pressed; with none left, Esc.
        chooser_.callOnTimeout([this] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (chooser == nullptr || !chooser->isVisible())
                return;
            const QString path = files.empty() ? "" : QString::fromStdString(files.front());
            if (!files.empty())
                files.pop_front();
            QTest::keyClicks(chooser->focusWidget(), path);
            QTest::keyClick(chooser->focusWidget(),
                            path.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        });
        chooser_.start(20);
    }
    ~QtDriver() override {
        ui::QtPlatform::SetDialogShownHook({});
        ui::QtPlatform::SetMessageBoxHook({});
    }

    void Type(ui::WindowHandle dialog, int control, const std::string& text) override {
        QWidget* box = Control(dialog, control);
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        // Each character with its own key (a letter's is its capital), as a keyboard sends it.
        for (QChar c : QString::fromStdString(text))
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c), {});
    }
    void Click(ui::WindowHandle dialog, int control) override {
        QWidget* button = Control(dialog, control);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void Press(ui::WindowHandle dialog, Key key) override {
        QTest::keyClick(Focused(dialog), key == Key::Enter ? Qt::Key_Return : Qt::Key_Escape);
    }
    void Mnemonic(ui::WindowHandle dialog, char letter) override {
        QApplication::setActiveWindow(Backend().Window(dialog));
        QTest::keyClick(Focused(dialog), static_cast<Qt::Key>(Qt::Key_A + (letter - 'a')),
                        Qt::AltModifier);
        // A button reached by its mnemonic clicks itself with a short animation, a tenth of a
        // second later; whatever the click opens runs inside this wait.
        QTest::qWait(250);
    }
    void CloseBox(ui::WindowHandle dialog) override {
        QCloseEvent close;
        if (QWidget* window = Backend().Window(dialog))
            QApplication::sendEvent(window, &close);
    }
    bool Visible(ui::WindowHandle window) override {
        return Backend().Window(window) != nullptr && Backend().Window(window)->isVisible();
    }
    bool Enabled(ui::WindowHandle window) override {
        // A window under a modal one takes no input although Qt keeps it enabled.
        QWidget* widget = Backend().Window(window);
        QWidget* modal = QApplication::activeModalWidget();
        return widget != nullptr && widget->isEnabled() && (modal == nullptr || modal == widget);
    }
    bool AnyWindowVisible() override {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible())
                return true;
        }
        return false;
    }
    void Settle() override { QTest::qWait(100); }

private:
    static ui::QtPlatform& Backend() { return static_cast<ui::QtPlatform&>(ui::Ui()); }
    static QWidget* Control(ui::WindowHandle dialog, int control) {
        QWidget* widget = Backend().ControlWidget(dialog, control);
        EXPECT_NE(widget, nullptr) << "no control " << control;
        return widget;
    }
    static QWidget* Focused(ui::WindowHandle dialog) {
        return QApplication::focusWidget() ? QApplication::focusWidget() : Backend().Window(dialog);
    }

    std::vector<std::unique_ptr<UrlCatcher>> catchers_;
    QTimer chooser_;
};

} // namespace

std::unique_ptr<ui::Platform> MakeBackend() {
    return std::make_unique<ui::QtPlatform>();
}

std::unique_ptr<UiDriver> MakeDriver() {
    return std::make_unique<QtDriver>();
}
