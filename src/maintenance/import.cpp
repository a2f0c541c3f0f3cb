#include "maintenance/import.h"

#include "applications/application_rules.h"
#include "common/files.h"
#include "common/text.h"
#include "maintenance/import_rules.h"
#include "records/table_scope.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

#include <filesystem>

namespace {

// The file's rows, or nothing once the user has been told why the file cannot be imported.
std::optional<ImportFile> ReadImport(const std::filesystem::path& path) {
    const std::string name = PathToUtf8(path.filename());
    std::string bytes;
    std::error_code error;
    if (!ReadWholeFile(path, bytes, error, ImportFileLimit)) {
        ui::Warn(ImportRefusedText(name, error == std::errc::file_too_large
                                             ? "It is larger than 10 MB, which no list of "
                                               "applications is."
                                             : "It cannot be read (" + error.message() + ")."));
        return std::nullopt;
    }
    ImportFile file = ReadImportFile(bytes);
    if (!file.error.empty()) {
        ui::Warn(ImportRefusedText(name, file.error));
        return std::nullopt;
    }
    return file;
}

// The rows' verdicts, one a line.
std::string VerdictLines(const ImportPlan& plan) {
    std::string text;
    for (const auto& line : plan.lines)
        text += ImportLineText(line) + std::string(CRLF);
    return text;
}

// Shows the verdicts; true when the user chose to import.
bool Confirmed(const ImportPlan& plan) {
    const ui::WindowHandle owner = ui::Ui().FindWindowByTitle(ui::DatabaseDialogTitle);
    bool confirmed = false;
    ui::RunDialog(ImportApplicationsLayout(), owner,
                  {.init =
                       [&](ui::WindowHandle dialog) {
                           ui::Ui().SetControlText(dialog, importing::Description,
                                                   plan.description);
                           ui::Ui().SetControlText(dialog, importing::Lines, VerdictLines(plan));
                       },
                   .buttons = {{importing::ImportButton,
                                [&](ui::WindowHandle dialog) {
                                    confirmed = true;
                                    ui::EndDialogWithZero(dialog);
                                }},
                               {importing::CancelButton, ui::EndDialogWithZero}}});
    return confirmed;
}

} // namespace

ui::Dialog ImportApplicationsLayout() {
    ui::Dialog dialog{.title = ui::ImportTitle, .x = 70, .y = 70, .width = 340, .height = 212};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    constexpr int bold = 0;
    const unsigned list = ui::ReadOnly | ui::TabStop | ui::Multiline | ui::VerticalScroll |
                          ui::AutoHScroll | ui::ClientEdge;
    using enum ui::ControlKind;
    using namespace importing;
    // The description has three lines: it quotes the header's words, which may be long.
    // clang-format off
    dialog.controls = {
        ui::MakeControl(Description,  Label,      "",        10,  6,   320, 26,  ui::NoStyle, ui::DialogFont),
        ui::MakeControl(Lines,        Edit,       "",        10,  34,  320, 148, list, ui::DialogFont, ui::White).Named("Rows of the file"),
        ui::MakeControl(ImportButton, PushButton, "&Import", 110, 190, 50,  15,  ui::TabStop, bold),
        ui::MakeControl(CancelButton, PushButton, "&Cancel", 180, 190, 50,  15,  ui::TabStop, bold),
    };
    // clang-format on
    return dialog;
}

void Import() {
    const ui::WindowHandle databases = ui::Ui().FindWindowByTitle(ui::DatabaseDialogTitle);
    const std::string chosen = ui::Ui().ChooseFileToOpen(databases, ui::ImportTitle,
                                                         ImportFilterName, ImportFilterPatterns);
    if (chosen.empty())
        return;
    const std::filesystem::path path = PathFromUtf8(chosen);
    const auto file = ReadImport(path);
    if (!file)
        return;
    // The table stays open, and locked, from the verdicts to the write: what is written is
    // what the user was shown. A table that did not open (another copy holds it) is said so.
    ApplicationTableScope scope;
    XDBRESETERROR();
    XDBRECORDCOUNT(applicationTable);
    if (!StoreSucceeded(ImportRefusedText(PathToUtf8(path.filename()), "")))
        return;
    const ImportPlan plan = JudgeImport(*file);
    if (plan.Count(ImportVerdict::Refused) == static_cast<int>(plan.lines.size()))
        return ui::Warn(ImportRefusedText(PathToUtf8(path.filename()),
                                          std::string(NothingToImportText) + std::string(CRLF) +
                                              VerdictLines(plan)));
    if (!Confirmed(plan))
        return;
    if (!WriteImport(plan)) {
        StoreSucceeded("The applications were not imported; the table is as it was.");
        return;
    }
    for (const auto& line : plan.lines) {
        if (line.verdict == ImportVerdict::Added || line.verdict == ImportVerdict::Overwrites)
            ActivityLogAppend(ImportLogEntry(line));
    }
    const int count = XDBRECORDCOUNT(applicationTable);
    scope.Close();
    if (const ui::WindowHandle main = ui::Ui().FindWindowByTitle(ui::MainWindowTitle))
        ui::Ui().SetControlText(main, ui::MainStatusBar, ApplicationCountText(count));
    ui::Inform(ImportedText(plan));
}
