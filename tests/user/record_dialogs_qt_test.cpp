// The application and user dialogs on real widgets: the boxes that behave differently, and
// one whole run of the Application Information dialog.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "support/fixtures.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "user/user_setup_dialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordDialogsQt : public InTempFolder {
protected:
    std::unique_ptr<ui::DialogWindow> Shown(const ui::Dialog& table) {
        std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
        window->show();
        QApplication::setActiveWindow(window.get());
        return window;
    }
    ui::QtPlatform platform;
    QtDriver user;
};

TEST_F(RecordDialogsQt, PinBoxesShowCapitalsAndTheServerBoxesTakeNothing) {
    const auto window = Shown(UserSetupLayout());
    for (int pin : {PinBox, NewPinBox}) {
        QtDriver::Type(window->Control(pin), "12ab cdef");
        EXPECT_EQ(window->Text(pin), "12AB CDEF");
    }
    for (int disabled : {ServerBox, MailPasswordBox}) {
        window->Control(disabled)->setFocus();
        EXPECT_FALSE(window->Control(disabled)->hasFocus());
    }
}

TEST_F(RecordDialogsQt, TheApplicationListIsReadOnlyOutOfTheTabOrderAndARowFits) {
    const auto window = Shown(ApplicationInformationLayout());
    auto* list = static_cast<QPlainTextEdit*>(window->Control(ApplicationListBox));
    EXPECT_FALSE(list->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(list->textInteractionFlags() & Qt::TextSelectableByMouse);
    std::string rows; // enough to scroll, each as wide as a row can be
    for (int i = 0; i < 12; ++i)
        rows += ApplicationListRow(std::string(30, 'W'), std::string(30, 'W'), "Yes",
                                   std::string(30, 'W'));
    window->SetText(ApplicationListBox, rows);
    QTest::keyClicks(list, "typed");
    QApplication::processEvents();
    EXPECT_EQ(window->Text(ApplicationListBox), rows);
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "a row does not fit";
}

TEST_F(RecordDialogsQt, AddBrowseOverwriteAndDeleteThroughRealWidgets) {
    AddApplications({{"Mail Plus", "MP-1", "sales@mailplus.example", "Yes"}});
    user.When("Ombrelay", [this](ui::WindowHandle main, ui::DialogWindow* window) {
        EXPECT_EQ(ApplicationInformationDialog(0), 0);
        EXPECT_EQ(window->Text(1001), "  Data for  1  Applications stored in Ombrelay");
        platform.EndDialog(main, 0);
    });
    user.When(ApplicationInformationTitle, [](ui::WindowHandle, ui::DialogWindow* window) {
        const auto click = [&](int id) { QtDriver::Click(QtDriver::Control(window, id)); };
        QtDriver::Type(window->Control(ApplicationNameBox), "Berry Notes");
        QtDriver::Type(window->Control(RegistrationCodeBox), "BN-2291-X");
        QtDriver::Type(window->Control(VendorEmailBox), "keys@berrynotes.example");
        click(RequestYesButton);
        click(1041); // Save: an add, which empties the form
        EXPECT_EQ(window->Text(ApplicationNameBox), "");
        click(1043); // Previous from a blank name: the last
        EXPECT_EQ(window->Text(ApplicationNameBox), "Mail Plus");
        click(1042); // Next, round to the first
        EXPECT_EQ(window->Text(ApplicationNameBox), "Berry Notes");
        QtDriver::Type(window->Control(VendorEmailBox), "licences@berrynotes.example");
        click(1041); // Save: an overwrite with the same code, two questions
        click(1042);
        click(1044); // Delete "Mail Plus": two warnings
        click(1045);
    });
    user.answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes};
    platform.RunDialog(MainWindowStandIn(), 0, {});
    EXPECT_EQ(user.boxes.size(), 4u); // the questions, and no warning
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{
                  {"Berry Notes", "BN-2291-X", "licences@berrynotes.example", "Yes"}}));
}

} // namespace
