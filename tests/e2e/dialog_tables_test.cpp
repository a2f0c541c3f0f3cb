// Every dialog of the program, built on real widgets, is the dialog its table describes:
// geometry, fonts, tab order, no caption cut off.

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "applications/application_dialog.h"
#include "maintenance/database_dialog.h"
#include "requests/compose_dialog.h"
#include "support/clipped_captions.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_metrics.h"
#include "ui/qt/qt_platform.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

std::vector<ui::Dialog> AllDialogs() {
    return {LoginLayout(),          CreateUserLoginLayout(),        MainDisplayLayout(),
            AboutLayout(),          ApplicationInformationLayout(), UserSetupLayout(),
            ChangePasswordLayout(), ComposeEmailLayout(),           DatabaseLayout()};
}

TEST(DialogTables, EveryDialogIsBuiltAsItsTableSays) {
    ui::QtPlatform platform; // the bundled faces
    for (const ui::Dialog& table : AllDialogs()) {
        SCOPED_TRACE(table.title);
        std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
        EXPECT_EQ(window->windowTitle().toStdString(), table.title);
        EXPECT_EQ(window->size(),
                  ui::DialogUnitsToPixels(window->Units(), 0, 0, table.width, table.height).size());
        EXPECT_EQ(window->palette().color(QPalette::Window),
                  QColor(table.background.red, table.background.green, table.background.blue));
        EXPECT_EQ(bool(window->windowFlags() & Qt::WindowCloseButtonHint), table.closeBox);

        std::vector<int> focusable; // in table order
        for (const ui::Control& control : table.controls) {
            SCOPED_TRACE(control.id);
            QWidget* widget = window->Control(control.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName().toStdString(), "c" + std::to_string(control.id));
            if (control.kind != ui::ControlKind::StatusBar) {
                EXPECT_EQ(widget->geometry(),
                          ui::DialogUnitsToPixels(window->Units(), control.x, control.y,
                                                  control.width, control.height));
            }
            const ui::Font& font = control.font < 0 ? table.font : table.fonts[control.font];
            EXPECT_EQ(widget->font().pixelSize(), ui::FontPixelSize(font.points));
            EXPECT_EQ(widget->font().bold(), font.weight >= 700);
            EXPECT_EQ(widget->font().underline(), font.underline);
            EXPECT_EQ(QFontInfo(widget->font()).fixedPitch(), font.face == ui::FixedPitch);
            if (widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus))
                focusable.push_back(control.id);
        }
        // Tab goes through the controls in the order they were created.
        if (focusable.size() > 1) {
            QWidget* first = window->Control(focusable.front());
            std::vector<int> chain{focusable.front()};
            for (QWidget* next = first->nextInFocusChain(); next != first;
                 next = next->nextInFocusChain()) {
                const int id = window->IdOf(next);
                if (id != 0 && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
                    id != chain.back())
                    chain.push_back(id);
            }
            EXPECT_EQ(chain, focusable);
        }
        const auto clipped = ClippedCaptions(table);
        EXPECT_TRUE(clipped.empty()) << clipped.front();
    }
}

TEST(DialogTables, WindowTitlesAreUniqueBecauseOperationsFindDialogsByThem) {
    std::set<std::string> titles;
    for (const ui::Dialog& table : AllDialogs())
        EXPECT_TRUE(titles.insert(table.title).second) << table.title;
}

} // namespace
