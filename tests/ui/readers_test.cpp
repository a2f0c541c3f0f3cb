// What users and screen readers get from the real dialogs: the application list's headings
// over their columns, and every control told apart by role and name.

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "applications/application_rules.h"
#include "maintenance/database_dialog.h"
#include "requests/compose_dialog.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <QAccessible>
#include <QLabel>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

QAccessibleInterface* Reader(const ui::DialogWindow& window, int id) {
    return QAccessible::queryAccessibleInterface(window.Control(id));
}

std::string Name(const ui::DialogWindow& window, int id) {
    return Reader(window, id)->text(QAccessible::Name).toStdString();
}

} // namespace

TEST(Readers, ApplicationListHeadingsStandOverTheirColumns) {
    ui::QtPlatform platform; // the bundled faces
    ui::DialogWindow window(ApplicationInformationLayout());
    window.show();
    const auto* header = static_cast<QLabel*>(window.Control(ApplicationListHeader));
    auto* list = static_cast<QPlainTextEdit*>(window.Control(ApplicationListBox));
    const std::string row =
        ApplicationListRow({std::string(25, 'N'), std::string(20, 'C'), std::string(25, 'E'), "Yes"});
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

TEST(Readers, EveryControlIsToldApartByRoleAndName) {
    ui::QtPlatform platform;
    using K = ui::ControlKind;
    // Option buttons are option buttons, not check boxes; pictures are graphics.
    const std::map<K, QAccessible::Role> roles = {{K::RadioButton, QAccessible::RadioButton},
                                                  {K::Picture, QAccessible::Graphic}};
    for (const ui::Dialog& table :
         {LoginLayout(), CreateUserLoginLayout(), MainDisplayLayout(), AboutLayout(),
          ApplicationInformationLayout(), UserSetupLayout(), ChangePasswordLayout(),
          ComposeEmailLayout(), DatabaseLayout()}) {
        SCOPED_TRACE(table.title);
        ui::DialogWindow window(table);
        window.show();
        // What a reader presents as a control of its own has a name, none the same as
        // another's of the same role (the two password boxes of User Setup, say).
        std::set<std::pair<int, QString>> named;
        for (const ui::Control& control : table.controls) {
            QAccessibleInterface* reader = Reader(window, control.id);
            const QAccessible::Role role = reader->role();
            if (roles.contains(control.kind)) {
                EXPECT_EQ(role, roles.at(control.kind)) << control.id;
            }
            if (reader->state().invisible || role == QAccessible::StaticText ||
                role == QAccessible::Grouping || role == QAccessible::Border ||
                role == QAccessible::StatusBar) // its text is a static text
                continue;
            const QString name = reader->text(QAccessible::Name);
            EXPECT_FALSE(name.trimmed().isEmpty()) << control.id;
            EXPECT_TRUE(named.emplace(role, name).second)
                << control.id << " " << name.toStdString();
        }
    }
    // Named by the table rather than by the heading or the label above: the list, and the
    // two boxes whose labels both say "Password".
    EXPECT_EQ(Name(ui::DialogWindow(ApplicationInformationLayout()), ApplicationListBox),
              "Application List");
    const ui::DialogWindow setup(UserSetupLayout());
    EXPECT_EQ(Name(setup, MailPasswordBox) + "/" + Name(setup, LoginPasswordBox),
              "Mail Server Password/Login Password");

    // The mail-type flag keeps its text for the send, hidden from readers.
    ui::DialogWindow compose(ComposeEmailLayout());
    compose.show();
    compose.SetText(compose::MailTypeFlag, "3");
    EXPECT_TRUE(Reader(compose, compose::MailTypeFlag)->state().invisible);
    EXPECT_EQ(compose.Text(compose::MailTypeFlag), "3");
}
