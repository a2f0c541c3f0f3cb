// The program from its first start to its end, through its real windows.

#include "app/startup.h"
#include "support/fixtures.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using Titles = std::vector<std::string>;

bool AnyWindowVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            return true;
    }
    return false;
}

QString Text(ui::DialogWindow* window, int id) {
    return QString::fromStdString(window->Text(id));
}

TEST(FirstStart, CreatesALoginLogsInShowsAboutAndEnds) {
    TempFolder folder;
    ui::QtPlatform platform;
    QtDriver user;
    UrlCatcher web("https");
    loginFollows = 0;

    user.When("Create User Login", [](ui::WindowHandle, ui::DialogWindow* window) {
        QtDriver::Type(QtDriver::Control(window, 1141), "Ann");
        QtDriver::Type(QtDriver::Control(window, 1142), "pass word");
        QtDriver::Type(QtDriver::Control(window, 1143), "pass word");
        QtDriver::Mnemonic(window, 'o');
    });
    user.When("Ombrelay Login", [](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_EQ(Text(window, 1121), "Ann");
        EXPECT_EQ(QApplication::focusWidget(), window->Control(1122));
        QtDriver::Type(window->Control(1122), "pass word");
        QtDriver::Mnemonic(window, 'l');
    });
    user.When("Ombrelay", [](ui::WindowHandle, ui::DialogWindow* window) {
        QtDriver::Mnemonic(window, 'b'); // About, which runs until its OK
        QtDriver::CloseBox(window);
    });
    user.When("Ombrelay About", [](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
        QtDriver::CloseBox(window); // not a way out
        EXPECT_TRUE(window->isVisible());
        QtDriver::Click(QtDriver::Control(window, 1165)); // the home page link
        EXPECT_TRUE(window->isVisible());
        QtDriver::Click(QtDriver::Control(window, 1013));
    });

    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.shown,
              (Titles{"Create User Login", "Ombrelay Login", "Ombrelay", "Ombrelay About"}));
    EXPECT_TRUE(user.unexpected.empty());
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_EQ(user.boxes[0].title, "READ THIS MESSAGE CAREFULLY");
    EXPECT_EQ(user.boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(user.boxes[0].text, "If you don't want to login to Ombrelay for each use\n"
                                  "then enter \"no login'' for the name and for the\n"
                                  "password.  After your first login Ombrelay will open\n"
                                  "to the Main Display each time you use it");
    EXPECT_EQ(user.boxes[1].title, "Ombrelay System Message");
    ASSERT_EQ(web.urls.size(), 1u);
    EXPECT_EQ(web.urls[0], QUrl("https://ombrelay.org"));
    EXPECT_FALSE(AnyWindowVisible());

    const UserRow stored = StoredUser();
    EXPECT_EQ(stored.loginName, "Ann");
    EXPECT_EQ(stored.loginPassword, "pass word");

    // The second start goes through the Login dialog.
    loginFollows = 0;
    user.shown.clear();
    user.boxes.clear();
    user.When("Ombrelay Login", [](ui::WindowHandle, ui::DialogWindow* window) {
        QtDriver::Type(window->Control(1122), "wrong");
        QtDriver::Click(window->Control(1123));
        EXPECT_EQ(Text(window, 1121), "");
        QtDriver::Type(window->Control(1121), "Ann");
        QtDriver::Type(window->Control(1122), "pass word");
        QtDriver::Click(window->Control(1123));
    });
    user.When("Ombrelay",
              [](ui::WindowHandle, ui::DialogWindow* window) { QtDriver::CloseBox(window); });
    EXPECT_EQ(ProgramStart(), 0);
    EXPECT_EQ(user.shown, (Titles{"Ombrelay Login", "Ombrelay"}));
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].text, "Invalid User Name or Password...try again!");
    EXPECT_EQ(user.boxes[0].icon, QMessageBox::Warning);
    EXPECT_FALSE(AnyWindowVisible());
}

} // namespace
