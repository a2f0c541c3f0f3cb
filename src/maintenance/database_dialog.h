#pragma once
// The Database dialog: Backup, Restore, Reindex and Export of the table files.

#include "ui/dialog.h"
#include "ui/platform.h"

enum DatabaseControl {
    BackupButton = 1105,
    RestoreButton = 1106,
    ReindexButton = 1107,
    DatabaseCancelButton = 1108,
    DatabaseGroupBox = 1111,
    ExportButton = 1140,
    ImportButton = 1150,
};

ui::Dialog DatabaseLayout();

// Runs the dialog modally, owned by the main window when it is open (else by `owner`, after a
// message). Returns the result it was ended with.
int DatabaseDialog(ui::WindowHandle owner);
