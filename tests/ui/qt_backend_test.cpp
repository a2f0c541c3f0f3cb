// The Qt backend of the dialog layer: a table turned into widgets, the controls under keyboard
// and mouse, and dialogs run with their keys, close box, message boxes, focus, nesting, shell.
// Every real dialog's geometry, fonts and tab chain against its table: tests/e2e; what every
// backend does alike: platform_contract_test.cpp.

#include "support/clipped_captions.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/dialog_support.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

using ui::DialogEvent;
using ui::WindowHandle;
using Commands = std::vector<std::pair<int, int>>; // control, notification

namespace {

// In table order, so that controls[id - Name] is the control.
enum { Name = 101, Code, Yes, No, Keep, Check, Save, Next, Group, Label, List, Url, Off, Note };

// Every kind of control, several fonts and colours.
ui::Dialog Form(std::string title = "Ombrelay Sample", bool closeBox = true) {
    using namespace ui;
    using K = ControlKind;
    const unsigned box = TabStop | AutoHScroll | Border;
    Dialog d{.title = title, .width = 300, .height = 220, .closeBox = closeBox};
    d.fonts = {{SansSerif, 8, 700}, {FixedPitch, 5, 400}, {SansSerif, 10, 700, true}};
    // clang-format off
    d.controls = {
        MakeControl(Name,  K::Edit,        "",                20,  20,  120, 13, box, 0),
        MakeControl(Code,  K::Edit,        "",                160, 20,  60,  13, box | Uppercase),
        MakeControl(Yes,   K::RadioButton, "&Yes",            28,  50,  44,  10, GroupStart | TabStop, 0, LightBlue),
        MakeControl(No,    K::RadioButton, "&No",             28,  62,  44,  10, TabStop),
        MakeControl(Keep,  K::RadioButton, "Keep",            100, 62,  44,  10, GroupStart | TabStop),
        MakeControl(Check, K::CheckBox,    "&Remember",       100, 44,  80,  10, TabStop),
        MakeControl(Save,  K::PushButton,  "&Save",           20,  200, 50,  15, TabStop, 0),
        MakeControl(Next,  K::PushButton,  "Ne&xt",           80,  200, 50,  15, TabStop),
        MakeControl(Group, K::GroupBox,    "Reply?",          20,  38,  70,  38, NoStyle, 0, LightBlue),
        MakeControl(Label, K::Label,       "Name",            21,  10,  60,  8,  NoStyle, DialogFont, LightBlue),
        MakeControl(List,  K::Edit,        "",                20,  98,  260, 40, Multiline | ReadOnly | VerticalScroll, 1, White),
        MakeControl(Url,   K::Label,       "www.example.org", 150, 180, 110, 12, Notify | Link, 2, LightBlue, Blue),
        MakeControl(Off,   K::Edit,        "",                190, 42,  100, 13, box | Disabled),
        MakeControl(Note,  K::Edit,        "",                20,  150, 260, 24, Multiline | VerticalScroll | TabStop),
    };
    // clang-format on
    return d;
}

// As the window system delivers it, so that a window blocked by a modal one does not take it.
void Click(QWidget* control) {
    QTest::mouseClick(control->window()->windowHandle(), Qt::LeftButton, {},
                      control->pos() + QPoint(4, 4));
}

} // namespace

TEST(QtDialog, ControlsTakePixelsColoursAndTabStopsFromTheTableAndWorkUnderKeyboardAndMouse) {
    const ui::Dialog table = Form();
    ui::DialogWindow window(table);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // Text at the truncated pixel size; base units as Windows takes them, from the dialog font
    // at its rounded pixel size.
    const double dpi = window.logicalDpiY();
    EXPECT_EQ(window.fontInfo().family(), "Liberation Sans");
    EXPECT_EQ(window.font().pixelSize(), int(8 * dpi / 72));
    QFont measured = window.font();
    measured.setPixelSize(std::lround(8 * dpi / 72));
    const QFontMetrics metrics(measured);
    const double baseX = std::lround(
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0);
    auto x = [&](int units) { return int(std::lround(units * baseX / 4)); };
    auto y = [&](int units) { return int(std::lround(units * metrics.height() / 8.)); };
    EXPECT_EQ(window.size(), QSize(x(table.width), y(table.height)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    for (const ui::Control& c : table.controls)
        EXPECT_EQ(window.Control(c.id)->geometry(), QRect(x(c.x), y(c.y), x(c.width), y(c.height)));

    auto at = [&](int id) { return window.Control(id); };
    for (int id : {Label, Yes, No}) // No has no colour of its own: transparent
        EXPECT_EQ(at(id)->autoFillBackground(), id != No) << id;
    EXPECT_EQ(at(Yes)->palette().color(at(Yes)->backgroundRole()), QColor(134, 185, 240));
    EXPECT_EQ(at(List)->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(at(Url)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(at(Url)->cursor().shape(), Qt::PointingHandCursor);
    // The group box stays behind what it frames.
    EXPECT_LT(window.children().indexOf(at(Group)), window.children().indexOf(at(Yes)));

    // Tab skips the labels, the group box, the disabled box and the list without a tab stop.
    window.FocusFirstControl();
    std::vector<int> visited;
    for (int i = 0; i < 10; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
        visited.push_back(window.IdOf(QApplication::focusWidget()));
    EXPECT_EQ(visited,
              (std::vector<int>{Name, Code, Yes, No, Keep, Check, Save, Next, Note, Name}));

    // Typing is upper-cased, and the caret stays after what was typed, "ß" being "SS".
    auto* code = static_cast<QLineEdit*>(window.Control(Code));
    QTest::keyClicks(code, "ab1c");
    code->setCursorPosition(2);
    QTest::sendKeyEvent(QTest::Click, code, Qt::Key_ssharp, QStringLiteral("\u00DF"), {});
    EXPECT_EQ(window.Text(Code), "ABSS1C");
    EXPECT_EQ(code->cursorPosition(), 4);

    // The read-only list: out of the tab order, yet the mouse reaches it and selects in it.
    auto* list = static_cast<QPlainTextEdit*>(window.Control(List));
    window.SetText(List, "Row 1\r\nRow 2\r\n");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.IdOf(QApplication::focusWidget()), List);
    QTest::keyClicks(list, "typed");
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(list->textCursor().hasSelection());
    EXPECT_EQ(window.Text(List), "Row 1\r\nRow 2\r\n");

    // CR LF is one line break on the screen.
    window.SetText(Note, "Dear vendor,\r\n\r\nplease\r\n");
    EXPECT_EQ(static_cast<QPlainTextEdit*>(window.Control(Note))->blockCount(), 4);

    // Clicks through the window system keep one option button checked per group.
    for (int id : {Keep, Yes, No})
        Click(window.Control(id));
    EXPECT_TRUE(window.Checked(Keep) && !window.Checked(Yes) && window.Checked(No));

    // A notifying label reports a click as 0, a double click (through the window system) as 1.
    Commands commands;
    window.onEvent = [&](const DialogEvent& e) {
        if (e.kind == ui::DialogEventKind::Command)
            commands.emplace_back(e.control, e.code);
    };
    for (int id : {Label, Url})
        Click(window.Control(id));
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       window.Control(Url)->geometry().topLeft() + QPoint(3, 3));
    EXPECT_EQ(commands, (Commands{{Url, 0}, {Url, 0}, {Url, 1}}));
}

TEST(QtDialog, ClippedCaptionsFlagsEachControlTooSmallForItsCaption) {
    // A few pixels short of what each caption needs.
    const std::tuple<int, int, int> narrow[] = {{Yes, 26, 0},   {Check, 48, 0}, {Save, 18, 0},
                                                {Group, 28, 0}, {Label, 15, 0}, {Url, 110, 4}};
    for (const auto& [id, width, lower] : narrow) {
        ui::Dialog table = Form();
        table.controls[id - Name].width = width;
        table.controls[id - Name].height -= lower;
        const auto clipped = ClippedCaptions(table);
        EXPECT_EQ(clipped.size() == 1 ? clipped[0].substr(0, 5) : "", std::to_string(id) + " \"");
    }
}

class QtRun : public InTempFolder {
protected:
    ui::QtPlatform platform;
};

TEST_F(QtRun, MessageBoxesFollowTheirStyleFlags) {
    using B = QMessageBox;
    const std::tuple<unsigned, B::Icon, B::StandardButton, Qt::Key, int> cases[] = {
        {0x2030, B::Warning, B::Ok, Qt::Key_Return, ui::IdOk},
        {0x2010, B::Critical, B::Ok, Qt::Key_Escape, ui::IdOk},
        {0x2040, B::Information, B::Ok, Qt::Key_Return, ui::IdOk},
        {0x0, B::NoIcon, B::Ok, Qt::Key_unknown, ui::IdOk}, // none: the close box
        {0x2024, B::Question, B::Yes, Qt::Key_Return, ui::IdYes},
        {0x2134, B::Warning, B::No, Qt::Key_Return, ui::IdNo},
        {0x2024, B::Question, B::Yes, Qt::Key_unknown, ui::IdNo},
    };
    const QString caption = "Ombrelay Application Database";
    for (const auto& [style, icon, defaultButton, key, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "style " << std::hex << style);
        ui::QtPlatform::SetMessageBoxHook([&, icon = icon, defaultButton = defaultButton,
                                           key = key](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle() + "/" + box->text(), caption + "/Line 1\n<b>2</b>");
            // Named for screen readers, and wide enough for its caption in the title bar's
            // bold face beside a title-bar button on either side.
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(box);
            EXPECT_EQ(reader->text(QAccessible::Name) + "/" +
                          reader->text(QAccessible::Description),
                      box->windowTitle() + "/" + box->text());
            QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
            title.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(title).horizontalAdvance(caption) +
                                        2 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight));
            EXPECT_TRUE(box->windowModality() == Qt::ApplicationModal &&
                        box->textFormat() == Qt::PlainText);
            EXPECT_EQ(box->icon(), icon);
            EXPECT_EQ(box->standardButtons(), defaultButton == B::Ok ? B::Ok : B::Yes | B::No);
            EXPECT_EQ(box->defaultButton(), box->button(defaultButton));
            key == Qt::Key_unknown ? (void)box->close() : QTest::keyClick(box, key);
        });
        EXPECT_EQ(platform.ShowMessage("Line 1\r\n<b>2</b>", caption.toStdString(), style),
                  expected);
    }
}

// The link label's click through to the desktop: the About dialog in tests/e2e.
TEST_F(QtRun, ShellOpensLinksAndFilesThroughTheDesktop) {
    UrlCatcher https("https"), mailto("mailto"), file("file");
    const char* link = "mailto:v@x.org?cc=me@x.org&subject=PIN%3A%202A3B&body=Hi%2C%0D%0Athere";
    const char* data = "12-06-2024 data.txt";
    WriteFile(data, "a\r\n");
    std::vector<int> results;
    for (const char* target : {"https://www.example.org", link, data, "missing.txt", ""})
        results.push_back(platform.ShellOpen(target, ui::ShowState::Maximized));
    EXPECT_EQ(results, (std::vector<int>{42, 42, 42, 2, 2}));
    EXPECT_EQ(https.urls, std::vector<QUrl>{QUrl("https://www.example.org")});
    EXPECT_EQ(mailto.urls.at(0).toEncoded().toStdString(), std::string(link)) << "unchanged";
    EXPECT_EQ(file.urls, std::vector{QUrl::fromLocalFile(QDir::current().absoluteFilePath(data))});
}
