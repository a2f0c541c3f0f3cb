// The Database dialog on the Qt backend: built as tabled, captions that fit, the frame behind
// the buttons, and a run with real message boxes.

#include "maintenance/database_dialog.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class DatabaseDialogQt : public InTempFolder {
protected:
    ~DatabaseDialogQt() override {
        ui::QtPlatform::SetDialogShownHook({});
        ui::QtPlatform::SetMessageBoxHook({});
    }
    ui::QtPlatform platform;
};

TEST_F(DatabaseDialogQt, BuildsAsTabledWithEveryCaptionInItsButtonAndTheFrameBehind) {
    const ui::Dialog table = DatabaseLayout();
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
    EXPECT_EQ(window->windowTitle().toStdString(), "Ombrelay Databases");
    EXPECT_EQ(ui::ClippedCaptions(table), std::vector<std::string>{});

    const QWidget* frame = window->Control(DatabaseGroupBox);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->font().bold()) << "the frame keeps the dialog font";
    const QObjectList stacking = window->children(); // bottom first
    for (const ui::Control& control : table.controls) {
        SCOPED_TRACE(control.id);
        QWidget* widget = window->Control(control.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), ui::DialogUnitsToPixels(window->Units(), control.x, control.y,
                                                              control.width, control.height));
        if (control.kind != ui::ControlKind::PushButton)
            continue;
        EXPECT_TRUE(widget->font().bold());
        // A click in the middle of a button reaches the button, not the frame around it.
        if (frame->geometry().contains(widget->geometry())) {
            EXPECT_LT(stacking.indexOf(frame), stacking.indexOf(widget));
            EXPECT_EQ(window->IdOf(window->childAt(widget->geometry().center())), control.id);
        }
    }
}

TEST_F(DatabaseDialogQt, RunsWithRealMessageBoxesAndEndsAfterABackup) {
    std::vector<std::string> boxes;
    ui::QtPlatform::SetMessageBoxHook([&](QMessageBox* box) {
        boxes.push_back(box->text().toStdString());
        box->button(QMessageBox::Ok)->click();
    });
    // With OMBRELAY_SHOT_DIR set, the dialog is saved there as a picture for the eye.
    const char* shots = std::getenv("OMBRELAY_SHOT_DIR");
    ui::QtPlatform::SetDialogShownHook([&](ui::WindowHandle dialog, QWidget* window) {
        if (shots != nullptr)
            window->grab().save(QString::fromUtf8(shots) + "/database-dialog.png");
        QTimer::singleShot(0, [&, dialog] {
            static_cast<QAbstractButton*>(platform.ControlWidget(dialog, ReindexButton))->click();
            EXPECT_NE(platform.FindWindowByTitle("Ombrelay Databases"), 0);
            static_cast<QAbstractButton*>(platform.ControlWidget(dialog, BackupButton))->click();
        });
    });
    EXPECT_EQ(DatabaseDialog(0), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"wHandle Error in Database Dialog Function",
                                               "Databases have been reindexed",
                                               "Backup of databases and indexes is complete"}));
    EXPECT_TRUE(fs::exists("BNG/Application.dbf"));
    EXPECT_EQ(platform.FindWindowByTitle("Ombrelay Databases"), 0);
}

} // namespace
