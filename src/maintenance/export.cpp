#include "maintenance/export.h"

#include "common/files.h"
#include "common/text.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

std::string ExportFileName(const LocalDateTime& day) {
    return FormatDate(day) + "application data.txt";
}

void Export() {
    OpenApplicationTable();
    const std::string fileName = ExportFileName(CurrentLocalTime());

    XDBRESETERROR();
    const int count = XDBRECORDCOUNT(applicationTable);
    if (count == 0 && XDBERROR() == 0) {
        ui::Message("There are no Application Records in Ombrelay", ui::MbIconInformation);
        XDBCLOSE(applicationTable);
        return;
    }
    std::string text;
    XDBMOVEFIRST(applicationTable, applicationIndex);
    for (int done = 0; done < count && XDBEOF(applicationTable) == 0; ++done) {
        text += XDBFIELDVALUE(applicationTable, "APPNAME", 0) + "," +
                XDBFIELDVALUE(applicationTable, "REGCODE", 0) + "," +
                XDBFIELDVALUE(applicationTable, "VEMAIL", 0);
        text += CRLF;
        text += CRLF;
        XDBMOVENEXT(applicationTable, applicationIndex);
    }
    // A table or index that could not be read must not give a file that looks complete.
    const int error = XDBERROR();
    XDBCLOSE(applicationTable);
    XDBRESETERROR(); // closing a table that failed to open complains too
    if (error != 0) {
        ui::Message("Application Data was not exported. " + WriteFailureReason(error),
                    ui::MbIconExclamation);
        return;
    }

    for (int i = 0; i < 3; ++i)
        text += CRLF;
    text += ExportWarningLine;
    text += CRLF; // ends the warning line, the last line of the file

    const fs::path path = ResolveFileName(fileName);
    std::error_code writeError;
    if (!WriteFileAtomically(path, text, writeError)) {
        ui::Message("Application Data was not exported: the file " + fileName +
                        " could not be written (" + writeError.message() + ").",
                    ui::MbIconExclamation);
        return;
    }
    ui::Message("Application Data has been exported to the file " + fileName,
                ui::MbIconInformation);

    std::error_code ignored;
    const fs::path full = fs::absolute(path, ignored);
    if (ui::Ui().ShellOpen(PathToUtf8(full.lexically_normal()), ui::ShowState::Normal) <= 32)
        ui::Ui().ShowMessage("Could not load target file.", "Error", ui::MbIconStop);
}
