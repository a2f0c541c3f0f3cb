#include "maintenance/export.h"

#include "common/files.h"
#include "maintenance/export_rules.h"
#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

void Export() {
    ApplicationTableScope scope;
    const std::string fileName = ExportFileName(CurrentLocalTime());

    XDBRESETERROR();
    if (XDBRECORDCOUNT(applicationTable) == 0 && XDBERROR() == 0)
        return ui::Inform(NothingToExportText);
    const auto records = ApplicationsInNameOrder();
    scope.Close();
    // A table or index that could not be read must not give a file that looks complete.
    if (!StoreSucceeded("Application Data was not exported."))
        return;

    const fs::path path = ResolveFileName(fileName);
    std::error_code writeError;
    if (!WriteFileAtomically(path, ExportText(records), writeError)) {
        ui::Warn("Application Data was not exported: the file " + fileName +
                 " could not be written (" + writeError.message() + ").");
        return;
    }
    ui::Inform("Application Data has been exported to the file " + fileName);

    std::error_code ignored;
    const fs::path full = fs::absolute(path, ignored);
    if (ui::Ui().ShellOpen(PathToUtf8(full.lexically_normal()), ui::ShowState::Normal) <= 32)
        ui::Ui().ShowMessage("Could not load target file.", "Error", ui::MbIconStop);
}
