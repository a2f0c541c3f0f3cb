#include "maintenance/database.h"

#include "maintenance/backup_rules.h"
#include "records/table_scope.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

namespace {

void Tell(const MaintenanceOutcome& outcome) {
    if (outcome.complete)
        ui::Inform(outcome.text);
    else
        ui::Warn(outcome.text);
}

} // namespace

void Backup() {
    const MaintenanceOutcome outcome = BackUpTables();
    Tell(outcome);
    if (!outcome.complete)
        return;
    if (const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::DatabaseDialogTitle))
        ui::Ui().EndDialog(dialog, 0);
}

void Restore() {
    Tell(RestoreTables());
}

void Reindex() {
    ApplicationTableScope scope; // rebuilds the index once already
    XDBRESETERROR();
    XDBREINDEX(applicationTable, applicationIndex, 0);
    if (StoreSucceeded("The index was not rebuilt."))
        ui::Inform("Databases have been reindexed");
    scope.Close();
    XDBRESETERROR(); // closing a table that failed to open complains too
}
