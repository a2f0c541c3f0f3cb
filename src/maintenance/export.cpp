#include "maintenance/export.h"

#include "common/files.h"
#include "common/text.h"
#include "records/application_table.h"
#include "records/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

std::string ExportFileName(const LocalDateTime& day) {
    return FormatDate(day) + "application data.txt";
}

void Export() {
    ApplicationTableScope scope;
    const std::string fileName = ExportFileName(CurrentLocalTime());

    XDBRESETERROR();
    const int count = XDBRECORDCOUNT(applicationTable);
    if (count == 0 && XDBERROR() == 0)
        return ui::Inform("There are no Application Records in Ombrelay");
    std::string text;
    XDBMOVEFIRST(applicationTable, applicationIndex);
    for (int done = 0; done < count && XDBEOF(applicationTable) == 0; ++done) {
        const ApplicationRecord record = ReadApplicationRecord();
        text += record.name + "," + record.code + "," + record.vendorEmail;
        text += CRLF;
        text += CRLF;
        XDBMOVENEXT(applicationTable, applicationIndex);
    }
    scope.Close();
    // A table or index that could not be read must not give a file that looks complete.
    if (!StoreSucceeded("Application Data was not exported."))
        return;

    for (int i = 0; i < 3; ++i)
        text += CRLF;
    text += ExportWarningLine;
    text += CRLF; // ends the warning line, the last line of the file

    const fs::path path = ResolveFileName(fileName);
    std::error_code writeError;
    if (!WriteFileAtomically(path, text, writeError)) {
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
