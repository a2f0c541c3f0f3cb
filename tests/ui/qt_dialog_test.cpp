// A dialog table turned into widgets: ids, pixels, faces, colours, tab order, stacking,
// captions that fit, and how the controls behave under the keyboard and the mouse.

#include "ui/qt/qt_dialog.h"

#include "sample_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using sample::Id;

namespace {

std::unique_ptr<ui::DialogWindow> Build(const ui::Dialog& table) {
    return std::unique_ptr<ui::DialogWindow>(ui::BuildDialogWidget(table));
}

// Shown and active, as the user meets it.
std::unique_ptr<ui::DialogWindow> Show(const ui::Dialog& table) {
    auto window = Build(table);
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return window;
}

template <class Widget = QWidget> Widget* Get(const ui::DialogWindow& window, int id) {
    auto* widget = window.findChild<Widget*>(QStringLiteral("c%1").arg(id));
    EXPECT_NE(widget, nullptr) << "no control " << id;
    return widget;
}

ui::Control& ControlOf(ui::Dialog& table, int id) {
    return *std::find_if(table.controls.begin(), table.controls.end(),
                         [id](const ui::Control& c) { return c.id == id; });
}

int FocusedId(const ui::DialogWindow& window) {
    return window.IdOf(QApplication::focusWidget());
}

double Dpi() {
    return QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}

} // namespace

TEST(QtDialogBuild, ControlsTakeTheirIdsAndPixelsFromTheDialogFont) {
    const ui::Dialog table = sample::Form();
    auto window = Build(table);

    // Base units measured here from the dialog font as Windows makes a dialog's font (points
    // to pixels rounded), the Windows way.
    QFont dialogFont = window->font();
    dialogFont.setPixelSize(static_cast<int>(std::lround(8 * Dpi() / 72)));
    const QFontMetrics metrics(dialogFont);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const double baseX = std::lround(letters / 52.0);
    const double baseY = metrics.height();
    auto px = [](int units, double base, int per) {
        return static_cast<int>(std::lround(units * base / per));
    };
    EXPECT_EQ(window->size(), QSize(px(table.width, baseX, 4), px(table.height, baseY, 8)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "a dialog has a fixed size";

    for (const ui::Control& control : table.controls) {
        SCOPED_TRACE(control.id);
        QWidget* widget = Get(*window, control.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(window->IdOf(widget), control.id);
        QRect expected(px(control.x, baseX, 4), px(control.y, baseY, 8),
                       px(control.width, baseX, 4), px(control.height, baseY, 8));
        if (control.kind == ui::ControlKind::StatusBar) // along the bottom, full width
            expected =
                QRect(0, window->height() - expected.height(), window->width(), expected.height());
        EXPECT_EQ(widget->geometry(), expected);
    }
    // The layouts were checked by eye at these units.
    if (Dpi() == 96) {
        EXPECT_EQ(QSize(window->Units().width, window->Units().height), QSize(6, 12));
    }
}

TEST(QtDialogBuild, FacesStandInAtTheLayoutsPointsAndWeights) {
    auto window = Build(sample::Form());
    const int eight = static_cast<int>(8 * Dpi() / 72);

    const QFont dialogFont = window->font();
    EXPECT_EQ(QFontInfo(dialogFont).family(), "Liberation Sans") << "the bundled face";
    EXPECT_EQ(dialogFont.pixelSize(), eight);
    EXPECT_FALSE(dialogFont.bold());
    if (Dpi() == 96) {
        EXPECT_EQ(eight, 10);
    }

    const QFont bold = Get(*window, Id::NameBox)->font();
    EXPECT_TRUE(bold.bold());
    EXPECT_EQ(bold.pixelSize(), eight);

    const QFont list = Get(*window, Id::ListBox)->font();
    EXPECT_EQ(QFontInfo(list).family(), "Liberation Mono");
    EXPECT_TRUE(QFontInfo(list).fixedPitch());
    EXPECT_EQ(list.pixelSize(), static_cast<int>(5 * Dpi() / 72));

    const QFont count = Get(*window, Id::CountLine)->font();
    EXPECT_EQ(count.pixelSize(), static_cast<int>(12 * Dpi() / 72));
    EXPECT_TRUE(count.bold());

    const QFont link = Get(*window, Id::LinkLabel)->font();
    EXPECT_TRUE(link.underline());
    EXPECT_TRUE(link.bold());
    EXPECT_FALSE(Get(*window, Id::PlainLabel)->font().bold()) << "no font: the dialog's";
}

TEST(QtDialogBuild, WindowAndControlsTakeTheirColoursTitleAndIcon) {
    auto window = Build(sample::Form());
    EXPECT_EQ(window->windowTitle(), "Ombrelay Sample");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->autoFillBackground());
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(134, 185, 240));

    QWidget* label = Get(*window, Id::NameLabel);
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(label->backgroundRole()), QColor(134, 185, 240));
    QWidget* option = Get(*window, Id::YesButton);
    EXPECT_TRUE(option->autoFillBackground());
    EXPECT_EQ(option->palette().color(option->backgroundRole()), QColor(134, 185, 240));
    EXPECT_EQ(Get(*window, Id::CountLine)->palette().color(QPalette::WindowText),
              QColor(0, 0, 255));
    EXPECT_EQ(Get(*window, Id::ListBox)->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_FALSE(Get(*window, Id::NameBox)->autoFillBackground()) << "no colour: transparent";

    // The link shows the hand; a plain label lets the mouse through.
    EXPECT_EQ(Get(*window, Id::LinkLabel)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(Get(*window, Id::PlainLabel)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(QtDialogBuild, FramesGroupBoxesAndPicturesStayBehindWhatLiesOnThem) {
    auto form = Build(sample::Form());
    const QObjectList stacking = form->children(); // bottom first
    auto level = [&](int id) { return stacking.indexOf(Get(*form, id)); };
    EXPECT_LT(level(Id::ReplyGroup), level(Id::YesButton)) << "the group box comes later";
    EXPECT_LT(level(Id::ReplyGroup), level(Id::NoButton));
    EXPECT_LT(level(Id::ListFrame), level(Id::ListBox));
    EXPECT_LT(level(Id::ListFrame), level(Id::PlainLabel));

    // The white band on the picture is seen, not covered.
    auto pictured = Show(sample::PictureAndGroups());
    const QImage image = pictured->grab().toImage();
    QWidget* band = Get(*pictured, Id::CountLine);
    const QPoint inBand = band->geometry().topLeft() + QPoint(1, 1);
    EXPECT_EQ(image.pixelColor(inBand), QColor(255, 255, 255));
    EXPECT_TRUE(pictured->children().indexOf(Get(*pictured, Id::Picture)) <
                pictured->children().indexOf(band));
}

TEST(QtDialogBuild, TabVisitsTheFocusableControlsInTableOrder) {
    auto window = Show(sample::Form());
    window->FocusFirstControl();
    ASSERT_EQ(FocusedId(*window), Id::NameBox);

    // Skipped: labels, frames, the disabled box and the list without a tab stop.
    std::vector<int> visited;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(FocusedId(*window));
    }
    const std::vector<int> expected = {Id::CodeBox,    Id::SecretBox,   Id::YesButton,
                                       Id::NoButton,   Id::RememberBox, Id::SaveButton,
                                       Id::NextButton, Id::MessageBox,  Id::NameBox};
    EXPECT_EQ(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(FocusedId(*window), Id::MessageBox);
}

TEST(QtDialogBuild, NoCaptionIsWiderOrTallerThanItsControl) {
    EXPECT_EQ(ui::ClippedCaptions(sample::Form()), std::vector<std::string>{});
    EXPECT_EQ(ui::ClippedCaptions(sample::PictureAndGroups()), std::vector<std::string>{});

    // Each kind of caption is measured against its own control.
    ui::Dialog narrow = sample::Form();
    ControlOf(narrow, Id::SaveButton).width = 14;
    ControlOf(narrow, Id::ReplyGroup).width = 20;
    ControlOf(narrow, Id::NameLabel).width = 10;
    ControlOf(narrow, Id::YesButton).width = 16;
    ControlOf(narrow, Id::RememberBox).width = 30;
    ControlOf(narrow, Id::CountLine).caption = "12 points";
    ControlOf(narrow, Id::CountLine).height = 8; // too low for its 12-point face
    const std::vector<std::string> clipped = ui::ClippedCaptions(narrow);
    ASSERT_EQ(clipped.size(), 6u);
    for (int id : {Id::YesButton, Id::RememberBox, Id::SaveButton, Id::ReplyGroup, Id::NameLabel,
                   Id::CountLine}) {
        EXPECT_TRUE(std::any_of(clipped.begin(), clipped.end(), [id](const std::string& line) {
            return line.rfind(std::to_string(id) + " ", 0) == 0;
        })) << id;
    }
    EXPECT_EQ(clipped.front().rfind("104 \"&Yes\": needs ", 0), 0u) << clipped.front();

    // "&&" shows one ampersand, so a caption that fits only that way fits.
    ui::Dialog tight = sample::Form();
    ControlOf(tight, Id::CodeLabel).font = 0;
    auto built = Build(tight);
    const QFontMetrics bold(built->Control(Id::CodeLabel)->font());
    const int shown = bold.horizontalAdvance("Code & key");
    ASSERT_LT(shown + built->Units().width, bold.horizontalAdvance("Code && key"));
    const int units = (shown * 4 + built->Units().width - 1) / built->Units().width;
    ControlOf(tight, Id::CodeLabel).width = units;
    EXPECT_EQ(ui::ClippedCaptions(tight), std::vector<std::string>{});
    ControlOf(tight, Id::CodeLabel).width = units - 2;
    EXPECT_EQ(ui::ClippedCaptions(tight).size(), 1u);
}

TEST(QtDialogControls, UpperCasingBoxCapitalisesTypingButNotTheProgramsText) {
    auto window = Show(sample::Form());
    auto* code = Get<QLineEdit>(*window, Id::CodeBox);
    code->setFocus();
    QTest::keyClicks(code, "ab1c");
    EXPECT_EQ(window->Text(Id::CodeBox), "AB1C");
    code->setCursorPosition(2);
    QTest::sendKeyEvent(QTest::Click, code, Qt::Key_Eacute, QStringLiteral("\u00E9"), {});
    EXPECT_EQ(window->Text(Id::CodeBox), "AB\xC3\x89"
                                         "1C");
    EXPECT_EQ(code->cursorPosition(), 3) << "the caret stays after what was typed";

    window->SetText(Id::CodeBox, "abc");
    EXPECT_EQ(window->Text(Id::CodeBox), "abc");
    QTest::keyClicks(code, "d");
    EXPECT_EQ(window->Text(Id::CodeBox), "ABCD") << "typing upper-cases the whole box";

    EXPECT_EQ(Get<QLineEdit>(*window, Id::SecretBox)->echoMode(), QLineEdit::Password);
    auto* server = Get<QLineEdit>(*window, Id::ServerBox);
    EXPECT_FALSE(server->isEnabled());
    QTest::keyClicks(server, "x");
    EXPECT_EQ(window->Text(Id::ServerBox), "");
}

TEST(QtDialogControls, ReadOnlyListIsSelectableAndScrollableButNotEditable) {
    auto window = Show(sample::Form());
    auto* list = Get<QPlainTextEdit>(*window, Id::ListBox);
    std::string rows;
    for (int i = 0; i < 30; ++i)
        rows += "Row " + std::to_string(i) + std::string(150, '.') + "\r\n";
    window->SetText(Id::ListBox, rows);

    EXPECT_EQ(list->focusPolicy(), Qt::ClickFocus) << "not reachable with Tab";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(FocusedId(*window), Id::ListBox) << "but reachable with the mouse";

    QTest::keyClicks(list, "typed");
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(window->Text(Id::ListBox), rows);

    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(list->textCursor().hasSelection());
    EXPECT_GT(list->verticalScrollBar()->value(), 0) << "the caret scrolled the list";
    EXPECT_GT(list->horizontalScrollBar()->maximum(), 0) << "long rows are not wrapped";
}

TEST(QtDialogControls, MultiLineBoxesSpeakCrLfToTheProgram) {
    auto window = Show(sample::Form());
    auto* message = Get<QPlainTextEdit>(*window, Id::MessageBox);

    const std::string text = "Dear vendor,\r\n\r\nplease\xC2\xA0send a new code.\r\n";
    window->SetText(Id::MessageBox, text);
    EXPECT_EQ(message->toPlainText().count(u'\r'), 0) << "the widget holds plain lines";
    EXPECT_EQ(window->Text(Id::MessageBox), text) << "no-break space and blank lines kept";

    window->SetText(Id::MessageBox, "");
    message->setFocus();
    QTest::keyClicks(message, "one");
    QTest::keyClick(message, Qt::Key_Return);
    QTest::keyClicks(message, "two");
    EXPECT_EQ(window->Text(Id::MessageBox), "one\r\ntwo");

    window->SetText(Id::CountLine, "first\r\nsecond");
    EXPECT_EQ(Get<QLabel>(*window, Id::CountLine)->text(), "first\nsecond");
    EXPECT_EQ(window->Text(Id::CountLine), "first\r\nsecond");
}

TEST(QtDialogControls, OptionButtonsCanAllBeClearedAndClicksKeepOnePerGroup) {
    auto window = Show(sample::PictureAndGroups());
    std::vector<ui::DialogEvent> events;
    window->onEvent = [&](const ui::DialogEvent& event) { events.push_back(event); };
    auto click = [&](int id) {
        QTest::mouseClick(Get(*window, id), Qt::LeftButton, {}, QPoint(6, 6));
    };

    window->SetChecked(Id::YesButton, true);
    window->SetChecked(Id::NoButton, true); // the program sets each button on its own
    EXPECT_TRUE(window->Checked(Id::YesButton));
    window->SetChecked(Id::YesButton, false);
    window->SetChecked(Id::NoButton, false);
    EXPECT_FALSE(window->Checked(Id::YesButton));
    EXPECT_FALSE(window->Checked(Id::NoButton));

    click(Id::OtherYes);
    click(Id::YesButton);
    click(Id::YesButton); // a second click keeps it checked
    EXPECT_TRUE(window->Checked(Id::YesButton));
    click(Id::NoButton);
    EXPECT_FALSE(window->Checked(Id::YesButton));
    EXPECT_TRUE(window->Checked(Id::NoButton));
    EXPECT_TRUE(window->Checked(Id::OtherYes)) << "the other group is left alone";

    std::vector<int> clicked;
    for (const auto& event : events) {
        if (event.kind == ui::DialogEventKind::Command && event.code == ui::Clicked)
            clicked.push_back(event.control);
    }
    EXPECT_EQ(clicked,
              (std::vector<int>{Id::OtherYes, Id::YesButton, Id::YesButton, Id::NoButton}));
}

TEST(QtDialogControls, NotifyLabelsReportClicksAndDoubleClicksPlainLabelsNothing) {
    auto window = Show(sample::Form());
    std::vector<ui::DialogEvent> events;
    window->onEvent = [&](const ui::DialogEvent& event) {
        if (event.kind == ui::DialogEventKind::Command)
            events.push_back(event);
    };
    QTest::mouseClick(Get(*window, Id::PlainLabel), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(Get(*window, Id::CountLine), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(events.empty());

    QTest::mouseClick(Get(*window, Id::LinkLabel), Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].control, Id::LinkLabel);
    EXPECT_EQ(events[0].code, ui::Clicked);

    // Through the window system, as a real double click comes.
    events.clear();
    QWidget* link = Get(*window, Id::LinkLabel);
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {},
                       link->mapTo(window.get(), QPoint(3, 3)));
    // The first press is a click, the second a double click, as Windows reports them.
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, ui::Clicked);
    EXPECT_EQ(events[1].control, Id::LinkLabel);
    EXPECT_EQ(events[1].code, 1) << "a double click is notification 1";
}

TEST(QtDialogResources, PictureAndIconAreCompiledIn) {
    const QPixmap picture = ui::ResourceBitmap(ui::ProgramPicture);
    EXPECT_EQ(picture.size(), QSize(370, 128));
    const QImage image = picture.toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 255, 255)) << "white ground";
    EXPECT_EQ(image.pixelColor(2, 125), QColor(255, 255, 255)) << "the lower part stays white";
    EXPECT_FALSE(ui::ResourceIcon(ui::ProgramIcon).isNull());
    const QImage icon = ui::ResourceIcon(ui::ProgramIcon).pixmap(32, 32).toImage();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixelColor(0, 0), QColor(0, 0, 255)) << "a blue square";
    EXPECT_TRUE(ui::ResourceIcon(999).isNull());
}
