// What users and screen readers get from the real dialogs: the application list's headings
// over their columns.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

TEST(Readers, ApplicationListHeadingsStandOverTheirColumns) {
    ui::QtPlatform platform; // the bundled faces
    ui::DialogWindow window(ApplicationInformationLayout());
    window.show();
    const auto* header = static_cast<QLabel*>(window.Control(1132));
    auto* list = static_cast<QPlainTextEdit*>(window.Control(ApplicationListBox));
    const std::string row =
        ApplicationListRow(std::string(25, 'N'), std::string(20, 'C'), "Yes", std::string(25, 'E'));
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
