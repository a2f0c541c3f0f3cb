// The Compose Email dialog run through real widgets from the main window, with the links
// caught where the desktop would open them and read back apart from Qt.

#include "requests/compose_dialog.h"
#include "requests/mailto.h"
#include "support/fixtures.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "ui/windows.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ComposeEmailQt, SelectThenEmailAllThenSendThroughRealWidgets) {
    TempFolder folder;
    StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "2200EF01", "smtp", "", "ann", "pw"});
    AddApplications({{"Grüße & Co", "G#3", "x@grüße.example&bcc=z@y", "No"}});
    WriteFile("Template.txt", "To applicationname (regcode) from fname");
    ui::QtPlatform platform;
    QtDriver user;
    UrlCatcher mail("mailto");
    user.When("Ombrelay", [&](ui::WindowHandle main, ui::DialogWindow*) {
        EXPECT_EQ(ComposeEmailDialog(0), 0);
        platform.EndDialog(main, 0);
    });
    user.When(ui::ComposeEmailTitle, [](ui::WindowHandle, ui::DialogWindow* window) {
        EXPECT_EQ(window->Text(compose::Message).size(), 1097u); // the instructions, every blank
        for (int id : {compose::Send, compose::Select, compose::EmailAll})
            QtDriver::Click(QtDriver::Control(window, id));
        QWidget* message = QtDriver::Control(window, compose::Message);
        EXPECT_EQ(window->focusWidget(), message);
        QTest::keyClick(message, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(message, " & #1 ?x=y 100%");
        for (int id : {compose::Send, compose::Cancel})
            QtDriver::Click(QtDriver::Control(window, id));
    });
    platform.RunDialog(MainWindowStandIn(), 0, {});
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].text, "First select the type of mail message to send");

    ASSERT_EQ(mail.urls.size(), 1u);
    EXPECT_EQ(ParseMailto(mail.urls[0].toString(QUrl::FullyEncoded).toStdString()),
              RequestFields("x@grüße.example&bcc=z@y", "New PIN: 2200EF01",
                            "To Grüße & Co (G#3) from Ann & #1 ?x=y 100%"));
}

} // namespace
