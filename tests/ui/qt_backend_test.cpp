// The Qt backend of the dialog layer where it must do more than every backend does alike
// (platform_contract_test.cpp): widgets under keyboard and mouse, a question closed, the
// application list's headings over their columns, and the caption check of tests/e2e kept
// honest. Every real dialog's geometry, fonts, colours, tab chain and names: tests/e2e.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "applications/application_rules.h"
#include "support/ui_driver.h"
#include "ui/dialog_support.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "ui/sample.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using ui::DialogEvent;
using Commands = std::vector<std::pair<int, int>>; // control, notification

TEST(QtDialog, WidgetsTakeKeysAndClicksAsTheProgramExpects) {
    ui::DialogWindow window(Sample("Ombrelay Sample"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // Typing is upper-cased, and the caret stays after what was typed, "ß" being "SS".
    auto* code = static_cast<QLineEdit*>(window.Control(Second));
    QTest::keyClicks(code, "ab1c");
    code->setCursorPosition(2);
    QTest::sendKeyEvent(QTest::Click, code, Qt::Key_ssharp, QStringLiteral("\u00DF"), {});
    EXPECT_EQ(window.Text(Second), "ABSS1C");
    EXPECT_EQ(code->cursorPosition(), 4);

    // The read-only list: out of the tab order, yet the mouse reaches it and selects in it;
    // CR LF is one line break on the screen.
    auto* list = static_cast<QPlainTextEdit*>(window.Control(List));
    window.SetText(List, "Row 1\r\n\r\nRow 3\r\n");
    EXPECT_EQ(list->blockCount(), 4);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.IdOf(QApplication::focusWidget()), List);
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(list->textCursor().hasSelection());

    // Double-clicked where it lies, a notifying label reports its first click as 0 and the
    // double click as 1 (the About link opens on either).
    Commands commands;
    window.onEvent = [&](const DialogEvent& e) {
        if (e.kind == ui::DialogEventKind::Command)
            commands.emplace_back(e.control, e.code);
    };
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       window.Control(Url)->pos() + QPoint(3, 3));
    EXPECT_EQ(commands, (Commands{{Url, 0}, {Url, 1}}));
}

// Esc or the close box answers a question No, whichever button is the default.
TEST(QtDialog, AQuestionClosedIsAnsweredNo) {
    ui::QtPlatform platform;
    ui::QtPlatform::SetMessageBoxHook([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(platform.ShowMessage("Delete it?", "Ombrelay", 0x2024), ui::IdNo);
    ui::QtPlatform::SetMessageBoxHook({});
}

// A file that is not there is refused before anything of the desktop is asked.
TEST(QtPlatform, AMissingFileIsNotHandedOver) {
    const auto backend = MakeBackend();
    const auto user = MakeDriver();
    EXPECT_EQ(ui::Ui().ShellOpen("no such file.txt", ui::ShowState::Normal), 2);
    EXPECT_EQ(user->opened, std::vector<std::string>{});
}

// Keeps the caption check of the driver's measure honest: each control a few pixels short of
// what its caption needs is flagged, and nothing else.
TEST(QtDialog, EachControlTooSmallForItsCaptionIsFlagged) {
    const auto backend = MakeBackend();
    const auto user = MakeDriver();
    const std::tuple<int, int, int> narrow[] = {{Yes, 27, 0},   {Check, 50, 0}, {Go, 13, 0},
                                                {Group, 29, 0}, {Plain, 14, 0}, {Url, 60, 4}};
    for (const auto& [id, width, lower] : narrow) {
        ui::Dialog table = Sample("Ombrelay Sample");
        table.controls[id - First].width = width;
        table.controls[id - First].height -= lower;
        user->tables = {{table.title, table}};
        user->When(table.title, [](ui::WindowHandle dialog) { ui::Ui().EndDialog(dialog, 0); });
        ui::RunDialog(table, 0, {});
    }
    std::string flagged;
    for (const std::string& difference : user->differences)
        flagged += difference.substr(17) + ",";
    EXPECT_EQ(flagged, "205 caption cut,214 caption cut,203 caption cut,215 caption cut,"
                       "211 caption cut,210 caption cut,");
}

TEST(QtDialog, ApplicationListHeadingsStandOverTheirColumns) {
    ui::QtPlatform platform; // the bundled faces
    ui::DialogWindow window(ApplicationInformationLayout());
    window.show();
    const auto* header = static_cast<QLabel*>(window.Control(ApplicationListHeader));
    auto* list = static_cast<QPlainTextEdit*>(window.Control(ApplicationListBox));
    const std::string row = ApplicationListRow(
        {std::string(25, 'N'), std::string(20, 'C'), std::string(25, 'E'), "Yes"});
    window.SetText(ApplicationListBox, row);
    const QString headings = header->text();
    const QFontMetricsF metrics(header->font());
    auto columnAt = [&](int position) {
        QTextCursor cursor(list->document());
        cursor.setPosition(position);
        return list->viewport()->mapTo(&window, list->cursorRect(cursor).topLeft()).x();
    };
    const std::pair<const char*, int> columns[] = {
        {"Application Name", 0}, {"Code/Key", 27}, {"RR?", 49}, {"Vendor Email", 54}};
    for (const auto& [heading, column] : columns) {
        const double x = header->x() + header->contentsRect().left() +
                         metrics.horizontalAdvance(headings.left(headings.indexOf(heading)));
        EXPECT_NEAR(x, columnAt(column), 3) << heading;
    }
    // The whole row, its 79 characters, in sight without scrolling.
    EXPECT_EQ(row.size(), 81u);
    EXPECT_LE(columnAt(79) - list->viewport()->x(), list->viewport()->width());
}
