// The Application Information, User Setup and Change Password dialogs on the Qt backend:
// built as tabled, the boxes that behave differently, and whole runs through real widgets.
// With OMBRELAY_SHOT_DIR set, each dialog is saved there as a picture, filled with data.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "support/fixtures.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"
#include "user/change_password.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class RecordDialogsQt : public InTempFolder {
protected:
    RecordDialogsQt() {
        // Message boxes are read and answered: OK boxes with OK, questions from `answers`.
        ui::QtPlatform::SetMessageBoxHook([this](QMessageBox* box) {
            boxes.push_back(box->text().toStdString());
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
                return;
            }
            QMessageBox::StandardButton answer = QMessageBox::No;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            box->button(answer)->click();
        });
    }
    ~RecordDialogsQt() override {
        ui::QtPlatform::SetDialogShownHook({});
        ui::QtPlatform::SetMessageBoxHook({});
    }

    QWidget* Widget(ui::WindowHandle dialog, int control) {
        QWidget* widget = platform.ControlWidget(dialog, control);
        EXPECT_NE(widget, nullptr) << control;
        return widget;
    }
    void Click(ui::WindowHandle dialog, int control) {
        static_cast<QAbstractButton*>(Widget(dialog, control))->click();
    }
    void Type(ui::WindowHandle dialog, int control, const QString& text) {
        auto* edit = static_cast<QLineEdit*>(Widget(dialog, control));
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Runs `open` from inside a stand-in main window, as its button would; `dialogShown` then
    // acts in each dialog that opens.
    void FromMainWindow(const std::function<void()>& open,
                        const ui::QtPlatform::DialogShownHook& dialogShown) {
        ui::QtPlatform::SetDialogShownHook([&](ui::WindowHandle d, QWidget* window) {
            if (window->windowTitle() != "Ombrelay")
                return dialogShown(d, window);
            open();
            platform.EndDialog(d, 0);
        });
        platform.RunDialog(MainWindowStandIn(), 0, {});
    }
    static void Shot(QWidget* window, const char* name) {
        if (const char* folder = std::getenv("OMBRELAY_SHOT_DIR"))
            window->grab().save(QString::fromUtf8(folder) + "/" + name);
    }
    // The controls Tab visits from the first one on, until it comes back.
    static std::vector<int> TabOrder(ui::DialogWindow& window) {
        window.show();
        QApplication::setActiveWindow(&window);
        window.FocusFirstControl();
        std::vector<int> order;
        for (int step = 0; step < 40; ++step) {
            const int id = window.IdOf(QApplication::focusWidget());
            if (!order.empty() && id == order.front())
                break;
            order.push_back(id);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return order;
    }

    ui::QtPlatform platform;
    std::vector<std::string> boxes;
    std::deque<QMessageBox::StandardButton> answers;
};

TEST_F(RecordDialogsQt, TheThreeDialogsAreBuiltAsTabled) {
    struct Expected {
        ui::Dialog table;
        std::vector<int> tabOrder;
    };
    const Expected dialogs[] = {
        {ApplicationInformationLayout(),
         {1033, 1034, 1035, 1058, 1059, 1040, 1041, 1042, 1043, 1044, 1045}},
        // The disabled server and mail-password boxes are passed over.
        {UserSetupLayout(), {1015, 1016, 1019, 1020, 1021, 1114, 1115, 1116, 1028, 1126, 1029}},
        {ChangePasswordLayout(), {1127, 1128, 1129}},
    };
    for (const auto& [table, tabOrder] : dialogs) {
        SCOPED_TRACE(table.title);
        // The check wants a group title's 8 px left inset on its right as well, which the
        // 88 units of "Request Reregistration?" miss by 4 px; that title is looked at below.
        std::vector<std::string> clipped = ui::ClippedCaptions(table);
        std::erase_if(clipped, [](const std::string& line) { return line.starts_with("1057 "); });
        EXPECT_EQ(clipped, std::vector<std::string>{});
        std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
        EXPECT_EQ(window->windowTitle().toStdString(), table.title);
        const QObjectList stacking = window->children(); // bottom first
        for (const ui::Control& control : table.controls) {
            SCOPED_TRACE(control.id);
            QWidget* widget = window->Control(control.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->geometry(),
                      ui::DialogUnitsToPixels(window->Units(), control.x, control.y, control.width,
                                              control.height));
            const QFont font =
                ui::QtFont(control.font < 0 ? table.font : table.fonts[control.font]);
            EXPECT_EQ(widget->font().family(), font.family());
            EXPECT_EQ(widget->font().pixelSize(), font.pixelSize());
            EXPECT_EQ(widget->font().bold(), font.bold());
        }
        // Frames stay behind what lies on them, so the controls show and take clicks.
        for (const ui::Control& frame : table.controls) {
            if (frame.kind != ui::ControlKind::GroupBox &&
                frame.kind != ui::ControlKind::EtchedFrame)
                continue;
            const QWidget* frameWidget = window->Control(frame.id);
            for (const ui::Control& control : table.controls) {
                const QWidget* widget = window->Control(control.id);
                if (control.kind == ui::ControlKind::GroupBox ||
                    control.kind == ui::ControlKind::EtchedFrame ||
                    !frameWidget->geometry().intersects(widget->geometry()))
                    continue;
                SCOPED_TRACE(control.id);
                EXPECT_LT(stacking.indexOf(frameWidget), stacking.indexOf(widget)) << frame.id;
                if (control.kind != ui::ControlKind::Label) {
                    EXPECT_EQ(window->IdOf(window->childAt(widget->geometry().center())),
                              control.id);
                }
            }
        }
        EXPECT_EQ(TabOrder(*window), tabOrder);
    }
}

TEST_F(RecordDialogsQt, TheReregistrationTitleIsDrawnWhole) {
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(ApplicationInformationLayout()));
    QWidget* group = window->Control(1057);
    const QImage image = group->grab().toImage();
    // The frame's top line shows before the title and again after it, short of the edge.
    const int line = QFontMetrics(group->font()).height() / 2;
    const QColor background = image.pixelColor(image.width() / 2, line + 4);
    EXPECT_NE(image.pixelColor(3, line), background);
    EXPECT_NE(image.pixelColor(image.width() - 4, line), background);
}

TEST_F(RecordDialogsQt, TheApplicationListIsReadOnlyAndARowFitsItsWidth) {
    const ui::Dialog table = ApplicationInformationLayout();
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
    auto* list = qobject_cast<QPlainTextEdit*>(window->Control(ApplicationListBox));
    ASSERT_NE(list, nullptr);
    window->show();
    EXPECT_TRUE(list->isReadOnly());
    EXPECT_TRUE(list->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_FALSE(list->focusPolicy() & Qt::TabFocus);

    // Enough rows to need the vertical scroll bar, each as wide as a row can be.
    std::string rows;
    for (int i = 0; i < 12; ++i)
        rows += ApplicationListRow(std::string(30, 'W'), std::string(30, 'W'), "Yes",
                                   std::string(30, 'W'));
    window->SetText(ApplicationListBox, rows);
    QApplication::processEvents();
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "a row does not fit";
    // ...and one point more would not fit.
    const QFont larger = ui::QtFont({ui::FixedPitch, ApplicationListPoints + 1, 400});
    const int margins = 2 * static_cast<int>(list->document()->documentMargin());
    EXPECT_GT(QFontMetrics(larger).horizontalAdvance(QString(79, 'W')) + margins,
              list->viewport()->width());

    QTest::keyClicks(list, "typed");
    EXPECT_EQ(window->Text(ApplicationListBox), rows);
}

TEST_F(RecordDialogsQt, PinBoxesShowCapitalsAndTheServerBoxesTakeNoFocus) {
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(UserSetupLayout()));
    window->show();
    QApplication::setActiveWindow(window.get());
    for (int pin : {PinBox, NewPinBox}) {
        QTest::keyClicks(window->Control(pin), "12ab cdef");
        EXPECT_EQ(window->Text(pin), "12AB CDEF");
    }
    for (int disabled : {ServerBox, MailPasswordBox}) {
        QWidget* box = window->Control(disabled);
        QTest::mouseClick(box, Qt::LeftButton);
        box->setFocus();
        EXPECT_FALSE(box->hasFocus());
        QTest::keyClicks(box, "x");
        EXPECT_EQ(window->Text(disabled), "");
    }
    EXPECT_EQ(static_cast<QLineEdit*>(window->Control(MailPasswordBox))->echoMode(),
              QLineEdit::Password);
}

TEST_F(RecordDialogsQt, AddBrowseOverwriteAndDeleteThroughRealWidgets) {
    AddApplications({{"Mail Plus", "MP-1", "sales@mailplus.example", "Yes"}});
    const auto open = [] { EXPECT_EQ(ApplicationInformationDialog(0), 0); };
    FromMainWindow(open, [&](ui::WindowHandle d, QWidget* window) {
        Type(d, ApplicationNameBox, "Berry Notes");
        Type(d, RegistrationCodeBox, "BN-2291-X");
        Type(d, VendorEmailBox, "keys@berrynotes.example");
        Click(d, RequestYesButton);
        Click(d, 1041); // Save: an add
        EXPECT_EQ(platform.ControlText(d, ApplicationNameBox), "");
        EXPECT_TRUE(platform.IsChecked(d, RequestNoButton));

        Click(d, 1042); // Next from a blank name: the first
        EXPECT_EQ(platform.ControlText(d, ApplicationNameBox), "Berry Notes");
        EXPECT_TRUE(platform.IsChecked(d, RequestYesButton));
        Click(d, 1042);
        EXPECT_EQ(platform.ControlText(d, ApplicationNameBox), "Mail Plus");
        Click(d, 1043); // Previous
        EXPECT_EQ(platform.ControlText(d, ApplicationNameBox), "Berry Notes");

        Type(d, VendorEmailBox, "licences@berrynotes.example");
        answers = {QMessageBox::Yes, QMessageBox::Yes};
        Click(d, 1041); // Save: an overwrite with the same code asks twice
        Shot(window, "application-information.png");

        Click(d, 1042);
        answers = {QMessageBox::Yes, QMessageBox::Yes};
        Click(d, 1044); // Delete "Mail Plus"
        EXPECT_EQ(platform.ControlText(d, ApplicationCountLine),
                  "  Data for  1  Applications stored in Ombrelay");
        Click(d, 1045);
    });
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[2].substr(0, 20), "!!! BEFORE DELETING ");
    EXPECT_EQ(StoredApplications(),
              (std::vector<ApplicationRow>{
                  {"Berry Notes", "BN-2291-X", "licences@berrynotes.example", "Yes"}}));
}

TEST_F(RecordDialogsQt, FirstSaveAndPasswordChangeThroughRealWidgets) {
    const auto open = [] { EXPECT_EQ(UserSetupDialog(0), 0); };
    FromMainWindow(open, [&](ui::WindowHandle d, QWidget* window) {
        if (window->windowTitle() == ChangePasswordTitle) {
            Shot(window, "change-password.png");
            Type(d, NewPasswordBox, "n3w-Secret");
            Type(d, RepeatPasswordBox, "n3w-Secret");
            answers = {QMessageBox::Yes};
            Click(d, SaveNewPasswordButton);
            return;
        }
        EXPECT_EQ(platform.FocusedControl(d), FirstNameBox);
        Type(d, FirstNameBox, "Ann");
        Type(d, LastNameBox, "Smith");
        Type(d, UserEmailBox, "ann.smith@example.org");
        Type(d, PinBox, "2a4b6c8d");
        Type(d, NewPinBox, "31f0e7aa");
        Type(d, LoginNameBox, "ann");
        Type(d, LoginPasswordBox, "Secret");
        Type(d, LoginPasswordConfirmBox, "Secret");
        Click(d, UserSaveButton);
        Shot(window, "user-setup.png");
        Click(d, ChangePasswordButton);
        EXPECT_EQ(platform.ControlText(d, LoginPasswordConfirmBox), "n3w-Secret");
        EXPECT_EQ(platform.FocusedControl(d), UserCancelButton);
        Click(d, UserCancelButton);
    });
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "There is currently no User Information. \nPlease enter User "
                         "Information Now",
                         "User Information has been saved",
                         "If you continue, you will overwrite your current password - \ndo "
                         "you want to overwrite your current password?",
                         "Your new password has been saved"}));
    const UserRow row = StoredUser();
    EXPECT_EQ(row.pin, "2A4B6C8D");
    EXPECT_EQ(row.newPin, "31F0E7AA");
    EXPECT_EQ(row.loginPassword, "n3w-Secret");
}

} // namespace
