#include "maintenance/database_dialog.h"

#include "maintenance/database.h"
#include "maintenance/export.h"
#include "ui/dialog_support.h"

int databaseDialogFocus = 0;

ui::Dialog DatabaseLayout() {
    ui::Dialog dialog{.title = DatabaseDialogTitle, .x = 70, .y = 70, .width = 201, .height = 145};
    dialog.fonts = {ui::Font{ui::SansSerif, 8, 700}};
    constexpr int bold = 0; // the five buttons; the group box keeps the dialog font
    const auto control = [](int id, ui::ControlKind kind, const char* caption, int x, int y,
                            int width, int height) {
        ui::Control made;
        made.id = id;
        made.kind = kind;
        made.caption = caption;
        made.x = x;
        made.y = y;
        made.width = width;
        made.height = height;
        return made;
    };
    const auto button = [&](int id, const char* caption, int x, int y, int width, int height) {
        ui::Control made = control(id, ui::ControlKind::PushButton, caption, x, y, width, height);
        made.style = ui::TabStop; // the keyboard moves between the buttons
        made.font = bold;
        return made;
    };
    ui::Control frame = control(DatabaseGroupBox, ui::ControlKind::GroupBox, "", 60, 0, 82, 116);
    frame.background = ui::White;
    dialog.controls = {
        button(BackupButton, "&Backup", 76, 10, 50, 14),
        button(RestoreButton, "&Restore", 76, 31, 50, 14),
        button(ReindexButton, "Re&index", 76, 52, 50, 15),
        button(DatabaseCancelButton, "&Cancel", 75, 126, 50, 15),
        frame,
        button(ExportButton, "E&xport", 76, 74, 50, 15),
    };
    return dialog;
}

namespace {

void DatabaseDialogProcedure(ui::WindowHandle dialog, const ui::DialogEvent& event) {
    if (ui::HandleStandardEvent(dialog, event, databaseDialogFocus))
        return;
    if (ui::IsButtonPress(event, BackupButton))
        Backup();
    else if (ui::IsButtonPress(event, RestoreButton))
        Restore();
    else if (ui::IsButtonPress(event, ReindexButton))
        Reindex();
    else if (ui::IsButtonPress(event, ExportButton))
        Export();
    else if (ui::IsButtonPress(event, DatabaseCancelButton))
        ui::Ui().EndDialog(dialog, 0);
}

} // namespace

int DatabaseDialog(ui::WindowHandle owner) {
    owner = ui::OwnerOrWarn("Ombrelay", "wHandle Error in Database Dialog Function", owner);
    return ui::Ui().RunDialog(DatabaseLayout(), owner, DatabaseDialogProcedure);
}
