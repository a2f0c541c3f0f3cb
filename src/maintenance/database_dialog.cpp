#include "maintenance/database_dialog.h"

#include "maintenance/database.h"
#include "maintenance/export.h"
#include "maintenance/import.h"
#include "ui/dialog_support.h"

ui::Dialog DatabaseLayout() {
    ui::Dialog dialog{
        .title = ui::DatabaseDialogTitle, .x = 70, .y = 70, .width = 201, .height = 145};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    constexpr int bold = 0; // the five buttons; the group box keeps the dialog font
    using enum ui::ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(BackupButton,         PushButton, "&Backup",  76, 10,  50, 14,  ui::TabStop, bold),
        ui::MakeControl(RestoreButton,        PushButton, "&Restore", 76, 31,  50, 14,  ui::TabStop, bold),
        ui::MakeControl(ReindexButton,        PushButton, "Re&index", 76, 52,  50, 15,  ui::TabStop, bold),
        ui::MakeControl(DatabaseCancelButton, PushButton, "&Cancel",  75, 126, 50, 15,  ui::TabStop, bold),
        ui::MakeControl(DatabaseGroupBox,     GroupBox,   "",         60, 0,   82, 116, ui::NoStyle, ui::DialogFont, ui::White),
        ui::MakeControl(ExportButton,         PushButton, "E&xport",  76, 74,  50, 15,  ui::TabStop, bold),
        ui::MakeControl(ImportButton,         PushButton, "I&mport",  76, 95,  50, 15,  ui::TabStop, bold),
    };
    // clang-format on
    return dialog;
}

int DatabaseDialog(ui::WindowHandle owner) {
    owner = ui::MainWindowOrWarn("wHandle Error in Database Dialog Function", owner);
    return ui::RunDialog(DatabaseLayout(), owner,
                         {.buttons = {{BackupButton, [](ui::WindowHandle) { Backup(); }},
                                      {RestoreButton, [](ui::WindowHandle) { Restore(); }},
                                      {ReindexButton, [](ui::WindowHandle) { Reindex(); }},
                                      {ExportButton, [](ui::WindowHandle) { Export(); }},
                                      {ImportButton, [](ui::WindowHandle) { Import(); }},
                                      {DatabaseCancelButton, ui::EndDialogWithZero}}});
}
