// The user of tests/support/ui_driver.h at the Qt backend's real widgets, who also measures
// them against their tables.

#include "support/take_first.h"
#include "support/ui_driver.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

const char* const Schemes[] = {"mailto", "https", "file"};

// Catches what QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::function<void(const QUrl&)> open;
public slots:
    void Open(const QUrl& url) { open(url); }
};

class QtDriver : public UiDriver {
public:
    QtDriver() {
        ui::QtPlatform::SetDialogShownHook([this](ui::WindowHandle dialog, QWidget* window) {
            QApplication::setActiveWindow(window);
            Shown(window->windowTitle().toStdString(), dialog);
        });
        ui::QtPlatform::SetMessageBoxHook([this](QMessageBox* box) {
            // Every box is named for screen readers, shows its text as it is, and is wide
            // enough for its caption in the title bar's bold face beside a title-bar button
            // on either side.
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(box);
            EXPECT_EQ(reader->text(QAccessible::Name) + "/" +
                          reader->text(QAccessible::Description),
                      box->windowTitle() + "/" + box->text());
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
            title.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(title).horizontalAdvance(box->windowTitle()) +
                                        2 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight));
            static const char* const icons[] = {"none", "information", "warning", "stop",
                                                "question"};
            const bool yesNo = box->button(QMessageBox::Yes) != nullptr;
            const Answer answer =
                Met(icons[box->icon()], yesNo, box->defaultButton() == box->button(QMessageBox::No),
                    ui::ProgramText(box->text()));
            QAbstractButton* press = answer == Answer::Default ? box->defaultButton()
                                     : answer == Answer::Yes   ? box->button(QMessageBox::Yes)
                                                               : box->button(QMessageBox::No);
            QTest::mouseClick(press != nullptr ? press : box->buttons().front(), Qt::LeftButton);
        });
        catcher_.open = [this](const QUrl& url) {
            Opened(url.isLocalFile() ? url.toLocalFile().toStdString()
                                     : url.toString(QUrl::FullyEncoded).toStdString());
        };
        for (const char* scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, &catcher_, "Open");
        // The file chooser: the next path typed where it puts the focus, its name box, and
        // Enter pressed; with none left, Esc.
        chooser_.callOnTimeout([this] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (chooser == nullptr || !chooser->isVisible())
                return;
            const QString path = QString::fromStdString(TakeFirst(files));
            QTest::keyClicks(chooser->focusWidget(), path);
            QTest::keyClick(chooser->focusWidget(),
                            path.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        });
        chooser_.start(20);
    }
    ~QtDriver() override {
        ui::QtPlatform::SetDialogShownHook({});
        ui::QtPlatform::SetMessageBoxHook({});
        for (const char* scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
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
        KeyToFocus(dialog, key == Key::Enter ? Qt::Key_Return : Qt::Key_Escape);
    }
    void Mnemonic(ui::WindowHandle dialog, char letter) override {
        QApplication::setActiveWindow(Backend().Window(dialog));
        KeyToFocus(dialog, static_cast<Qt::Key>(Qt::Key_A + (letter - 'a')), Qt::AltModifier);
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
    void Settle() override { QTest::qWait(100); }
    std::string Progress(ui::WindowHandle dialog, int control) override {
        auto* bar = qobject_cast<QProgressBar*>(Control(dialog, control));
        return bar ? std::to_string(bar->value()) + "/" + std::to_string(bar->maximum()) : "";
    }

    // Geometry in the bundled face's dialog units, measured here as Windows measures them,
    // pixel sizes, faces and weights, colours, the hand over links, frames behind what they
    // frame, the picture fitted to its place, the tab chain in table order over the tab
    // stops, and what screen readers are told of each control.
    void Measure(const ui::Dialog& table, ui::WindowHandle dialog) override {
        using K = ui::ControlKind;
        const ui::DialogWindow* window = Backend().Window(dialog);
        // Base units from the dialog font at its rounded pixel size: the average advance of the
        // 52 letters, rounded, and the height; text itself is drawn at the truncated size.
        const double dpi = window->logicalDpiY();
        QFont measured = window->font();
        measured.setPixelSize(std::lround(table.font.points * dpi / 72));
        const QFontMetrics metrics(measured);
        const double baseX = std::lround(
            metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") /
            52.0);
        const auto x = [&](int units) { return int(std::lround(units * baseX / 4)); };
        const auto y = [&](int units) { return int(std::lround(units * metrics.height() / 8.)); };
        const auto color = [](const ui::Rgb& c) { return QColor(c.red, c.green, c.blue); };

        Expect(window->size() == QSize(x(table.width), y(table.height)) &&
                   window->minimumSize() == window->maximumSize(),
               "size");
        Expect(window->palette().color(QPalette::Window) == color(table.background), "background");
        Expect(bool(window->windowFlags() & Qt::WindowCloseButtonHint) == table.closeBox,
               "close box");

        std::vector<int> tabStops, chain; // in table order
        std::set<std::pair<int, QString>> named;
        int lastBehind = -1, firstInFront = int(window->children().size());
        for (const ui::Control& control : table.controls) {
            const std::string id = std::to_string(control.id);
            QWidget* widget = window->Control(control.id);
            if (widget == nullptr) {
                Expect(false, id + " missing");
                continue;
            }
            Expect(control.kind == K::StatusBar ||
                       widget->geometry() ==
                           QRect(x(control.x), y(control.y), x(control.width), y(control.height)),
                   id + " geometry");
            const ui::Font& font = control.font < 0 ? table.font : table.fonts[control.font];
            Expect(widget->font().pixelSize() == int(font.points * dpi / 72) &&
                       widget->font().bold() == (font.weight >= 700) &&
                       widget->font().underline() == font.underline &&
                       QFontInfo(widget->font()).family() ==
                           (font.face == ui::FixedPitch ? "Liberation Mono" : "Liberation Sans"),
                   id + " font");
            // The table's colours; a control without a background shows the dialog through it,
            // while edits, buttons, pictures and the status bar stay opaque.
            const QPalette& palette = widget->palette();
            const auto has = [&](QPalette::ColorRole role, const std::optional<ui::Rgb>& wanted) {
                return !wanted || palette.color(role) == color(*wanted);
            };
            const bool opaque = control.kind == K::Edit || control.kind == K::PushButton ||
                                control.kind == K::StatusBar || control.kind == K::Picture;
            Expect(has(control.kind == K::Edit ? QPalette::Base : QPalette::Window,
                       control.background) &&
                       (opaque || widget->autoFillBackground() == bool(control.background)) &&
                       has(QPalette::WindowText, control.textColor) &&
                       has(QPalette::Text, control.textColor),
                   id + " colours");
            Expect((widget->cursor().shape() == Qt::PointingHandCursor) ==
                       bool(control.style & ui::Link),
                   id + " cursor");
            // Frames, group boxes and pictures lie behind every other control; the picture fills
            // its place, its proportions kept.
            const int stacked = int(window->children().indexOf(widget));
            if (control.kind == K::GroupBox || control.kind == K::EtchedFrame ||
                control.kind == K::Picture)
                lastBehind = std::max(lastBehind, stacked);
            else
                firstInFront = std::min(firstInFront, stacked);
            if (control.kind == K::Picture) {
                const QSize shown = static_cast<QLabel*>(widget)->pixmap().size();
                const QSize room = static_cast<QLabel*>(widget)->contentsRect().size();
                Expect(shown.boundedTo(room) == shown &&
                           (shown.width() == room.width() || shown.height() == room.height()),
                       id + " picture");
            }
            // A read-only box takes no typing, not even through an input method.
            Expect(control.kind != K::Edit || widget->testAttribute(Qt::WA_InputMethodEnabled) ==
                                                  !(control.style & ui::ReadOnly),
                   id + " read-only");
            if ((control.style & ui::TabStop) && !(control.style & (ui::Disabled | ui::Hidden)))
                tabStops.push_back(control.id);
            // The caption as the table gives it (one set at run time is not known here) fits
            // its control in the face it is drawn in.
            if (!control.caption.empty() && !(control.style & ui::Hidden)) {
                const QFontMetrics metrics(widget->font());
                const QString caption = ui::WidgetText(control.caption);
                const QString shown = ui::WithoutMnemonics(caption);
                const QStyle* style = widget->style();
                QSize needed, room = widget->size();
                if (control.kind == K::Label) {
                    // A label shows its marks unless it has a buddy to pass its mnemonic to.
                    auto* label = static_cast<QLabel*>(widget);
                    const QStringList lines = (label->buddy() ? shown : caption).split(u'\n');
                    int widest = 0;
                    for (const QString& line : lines)
                        widest = std::max(widest, metrics.horizontalAdvance(line));
                    needed = QSize(widest, int(lines.size()) * metrics.height());
                    room = label->contentsRect().size();
                } else if (control.kind == K::PushButton) {
                    // As the common style sizes a button round its text.
                    const int frame =
                        style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
                    needed = QSize(metrics.horizontalAdvance(shown) + 2 * frame +
                                       style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget),
                                   metrics.height() + 2 * frame);
                } else if (control.kind == K::RadioButton || control.kind == K::CheckBox) {
                    needed = QSize(widget->sizeHint().width(), metrics.height());
                } else if (control.kind == K::GroupBox) { // ending before the frame's right edge
                    needed = QSize(ui::GroupBoxTitleInset + 2 * ui::GroupBoxTitlePadding +
                                       metrics.horizontalAdvance(shown) + 2,
                                   metrics.height());
                }
                Expect(needed.width() <= room.width() && needed.height() <= room.height(),
                       id + " caption cut");
            }
            // Screen readers: option buttons are option buttons, pictures graphics; a hidden
            // control is hidden from them; what they present as a control of its own has a name,
            // the table's where it gives one, none the same as another's of the same role (the
            // two password boxes of User Setup, say).
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(widget);
            const QAccessible::Role role = reader->role();
            const QString name = reader->text(QAccessible::Name);
            Expect((control.kind != K::RadioButton || role == QAccessible::RadioButton) &&
                       (control.kind != K::Picture || role == QAccessible::Graphic) &&
                       reader->state().invisible == bool(control.style & ui::Hidden),
                   id + " role");
            if (reader->state().invisible || role == QAccessible::StaticText ||
                role == QAccessible::Grouping || role == QAccessible::Border ||
                role == QAccessible::StatusBar) // its text is a static text
                continue;
            Expect(!name.trimmed().isEmpty() && named.emplace(role, name).second &&
                       (control.accessibleName.empty() ||
                        name.toStdString() == control.accessibleName),
                   id + " name");
        }
        Expect(lastBehind < firstInFront, "frames in front");
        // Tab goes through the tab stops, and nothing else, in table order.
        if (!tabStops.empty()) {
            QWidget* first = window->Control(tabStops.front());
            chain.push_back(tabStops.front());
            for (QWidget* next = first->nextInFocusChain(); next != first;
                 next = next->nextInFocusChain()) {
                const int id = window->IdOf(next);
                if (id != 0 && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
                    id != chain.back())
                    chain.push_back(id);
            }
        }
        Expect(chain == tabStops, "tab order");
    }

private:
    static ui::QtPlatform& Backend() { return static_cast<ui::QtPlatform&>(ui::Ui()); }
    static QWidget* Control(ui::WindowHandle dialog, int control) {
        QWidget* widget = Backend().ControlWidget(dialog, control);
        EXPECT_NE(widget, nullptr) << "no control " << control;
        return widget;
    }
    // A key to the control with the focus, or else to the dialog, which must still be there.
    static void KeyToFocus(ui::WindowHandle dialog, Qt::Key key, Qt::KeyboardModifiers with = {}) {
        QWidget* focused = QApplication::focusWidget();
        focused = focused != nullptr ? focused : Backend().Window(dialog);
        ASSERT_NE(focused, nullptr) << "the dialog has ended";
        QTest::keyClick(focused, key, with);
    }

    UrlCatcher catcher_;
    QTimer chooser_;
};

} // namespace

std::unique_ptr<ui::Platform> MakeBackend() {
    return std::make_unique<ui::QtPlatform>();
}

std::unique_ptr<UiDriver> MakeDriver() {
    return std::make_unique<QtDriver>();
}

#include "qt_driver.moc"
