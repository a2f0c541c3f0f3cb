// What only real widgets show of the User Setup and Application Information dialogs: the
// boxes that take no focus, the read-only list, and a browse, overwrite and delete.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "support/fixtures.h"
#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "ui/windows.h"
#include "user/user_setup_dialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <memory>

namespace {

class RecordDialogsQt : public InTempFolder {
protected:
    ui::QtPlatform platform;
    QtDriver user;
};

TEST_F(RecordDialogsQt, WhatOnlyRealWidgetsShowAndABrowseOverwriteAndDelete) {
    const std::unique_ptr<ui::DialogWindow> setup(ui::BuildDialogWidget(UserSetupLayout()));
    setup->show();
    QApplication::setActiveWindow(setup.get());
    for (int disabled : {ServerBox, MailPasswordBox}) {
        setup->Control(disabled)->setFocus();
        EXPECT_FALSE(setup->Control(disabled)->hasFocus());
    }

    AddApplications({{"Berry Notes", "BN-1", "keys@berry.example", "Yes"},
                     {"Mail Plus", "MP-1", "sales@mailplus.example", "Yes"}});
    user.When("Ombrelay", [this](ui::WindowHandle main, ui::DialogWindow* window) {
        EXPECT_EQ(ApplicationInformationDialog(0), 0);
        EXPECT_EQ(window->Text(1001), "  Data for  1  Applications stored in Ombrelay");
        platform.EndDialog(main, 0);
    });
    user.When(ui::ApplicationInformationTitle, [](ui::WindowHandle, ui::DialogWindow* window) {
        const auto click = [&](int id) {
            QtDriver::Click(QtDriver::Control(window, id));
            return window->Text(ApplicationNameBox);
        };
        // Previous from a blank name goes to the last, Next round to the first.
        EXPECT_EQ((std::vector{click(1043), click(1042)}),
                  (std::vector<std::string>{"Mail Plus", "Berry Notes"}));
        QtDriver::Type(window->Control(VendorEmailBox), "new@berry.example");
        click(1041); // Save: an overwrite with the same code, two questions
        EXPECT_EQ(click(1042), "Mail Plus");
        click(1044); // Delete: two warnings

        // The list can be selected and scrolled, not typed into or reached with Tab, and a
        // row of the longest values fits its width.
        auto* list = static_cast<QPlainTextEdit*>(window->Control(ApplicationListBox));
        EXPECT_FALSE(list->focusPolicy() & Qt::TabFocus);
        EXPECT_TRUE(list->textInteractionFlags() & Qt::TextSelectableByMouse);
        std::string rows, w(30, 'W');
        for (int i = 0; i < 12; ++i)
            rows += ApplicationListRow(w, w, "Yes", w);
        window->SetText(ApplicationListBox, rows);
        QtDriver::Type(list, "typed");
        QApplication::processEvents();
        EXPECT_EQ(window->Text(ApplicationListBox), rows);
        EXPECT_TRUE(list->verticalScrollBar()->isVisible());
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "a row does not fit";
        click(1045);
    });
    user.answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes};
    platform.RunDialog(MainWindowStandIn(), 0, {});
    EXPECT_EQ(user.boxes.size(), 4u); // the questions, and no warning
    EXPECT_EQ(StoredApplications(), (std::vector<ApplicationRecord>{
                                        {"Berry Notes", "BN-1", "new@berry.example", "Yes"}}));
}

} // namespace
