// The Qt backend of the dialog layer where it must do more than every backend does alike
// (platform_contract_test.cpp): widgets under keyboard and mouse, and message boxes. Every real
// dialog's geometry, fonts, colours and tab chain against its table: tests/e2e.

#include "support/clipped_captions.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

using ui::DialogEvent;
using ui::WindowHandle;
using Commands = std::vector<std::pair<int, int>>; // control, notification

namespace {

// In table order, so that controls[id - Code] is the control.
enum { Code = 101, Yes, Check, Save, Group, Label, List, Url };

ui::Dialog Form() {
    using namespace ui;
    using K = ControlKind;
    Dialog d{.title = "Ombrelay Sample", .width = 300, .height = 220};
    d.fonts = {{SansSerif, 8, 700}, {SansSerif, 10, 700, true}};
    // clang-format off
    d.controls = {
        MakeControl(Code,  K::Edit,        "",                160, 20,  60,  13, TabStop | Border | Uppercase),
        MakeControl(Yes,   K::RadioButton, "&Yes",            28,  50,  44,  10, GroupStart | TabStop, 0),
        MakeControl(Check, K::CheckBox,    "&Remember",       100, 44,  80,  10, TabStop),
        MakeControl(Save,  K::PushButton,  "&Save",           20,  200, 50,  15, TabStop, 0),
        MakeControl(Group, K::GroupBox,    "Reply?",          20,  38,  70,  38, NoStyle, 0),
        MakeControl(Label, K::Label,       "Name",            21,  10,  60,  8),
        MakeControl(List,  K::Edit,        "",                20,  98,  260, 40, Multiline | ReadOnly | VerticalScroll),
        MakeControl(Url,   K::Label,       "www.example.org", 150, 180, 110, 12, Notify | Link, 1),
    };
    // clang-format on
    return d;
}

} // namespace

// Geometry, fonts, colours and the tab chain of every real dialog: tests/e2e.
TEST(QtDialog, WidgetsTakeKeysAndClicksAsTheProgramExpects) {
    ui::DialogWindow window(Form());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // Typing is upper-cased, and the caret stays after what was typed, "ß" being "SS".
    auto* code = static_cast<QLineEdit*>(window.Control(Code));
    QTest::keyClicks(code, "ab1c");
    code->setCursorPosition(2);
    QTest::sendKeyEvent(QTest::Click, code, Qt::Key_ssharp, QStringLiteral("\u00DF"), {});
    EXPECT_EQ(window.Text(Code), "ABSS1C");
    EXPECT_EQ(code->cursorPosition(), 4);

    // The read-only list: out of the tab order, yet the mouse reaches it and selects in it;
    // CR LF is one line break on the screen.
    auto* list = static_cast<QPlainTextEdit*>(window.Control(List));
    window.SetText(List, "Row 1\r\n\r\nRow 3\r\n");
    EXPECT_EQ(list->blockCount(), 4);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.IdOf(QApplication::focusWidget()), List);
    QTest::keyClicks(list, "typed");
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(list->textCursor().hasSelection());
    EXPECT_EQ(window.Text(List), "Row 1\r\n\r\nRow 3\r\n");

    // A notifying label reports a click as 0 and a double click as 1 (the About link opens
    // on either); a plain label reports nothing.
    Commands commands;
    window.onEvent = [&](const DialogEvent& e) {
        if (e.kind == ui::DialogEventKind::Command)
            commands.emplace_back(e.control, e.code);
    };
    for (int id : {Label, Url})
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          window.Control(id)->pos() + QPoint(4, 4));
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       window.Control(Url)->pos() + QPoint(3, 3));
    EXPECT_EQ(commands, (Commands{{Url, 0}, {Url, 0}, {Url, 1}}));
}

// Keeps the caption check of tests/e2e honest: each control a few pixels short of what its
// caption needs is flagged.
TEST(QtDialog, ClippedCaptionsFlagsEachControlTooSmallForItsCaption) {
    const std::tuple<int, int, int> narrow[] = {{Yes, 26, 0},   {Check, 48, 0}, {Save, 18, 0},
                                                {Group, 28, 0}, {Label, 15, 0}, {Url, 110, 4}};
    for (const auto& [id, width, lower] : narrow) {
        ui::Dialog table = Form();
        table.controls[id - Code].width = width;
        table.controls[id - Code].height -= lower;
        const auto clipped = ClippedCaptions(table);
        EXPECT_EQ(clipped.size() == 1 ? clipped[0].substr(0, 5) : "", std::to_string(id) + " \"");
    }
}

TEST(QtMessageBox, FollowsItsStyleFlags) {
    ui::QtPlatform platform;
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
