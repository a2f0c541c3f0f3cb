#include "requests/send_requests.h"

#include "common/text.h"
#include "records/table_scope.h"
#include "requests/compose_dialog.h"
#include "requests/request_rules.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"

#include <string>
#include <vector>

namespace {

// The summary goes to the main window's status bar, then to the dialog's status line.
void ShowSummary(RequestKind kind, const std::string& summary) {
    const std::string function = TextsOf(kind).function;
    const ui::WindowHandle main = ui::Ui().FindWindowByTitle(ui::MainWindowTitle);
    if (main == 0) {
        if (kind == RequestKind::Select) // first names the handle it got, in a plain box
            ui::Ui().ShowMessage("wHandle esvt error 1005 is " + SignedNumber(main), "", ui::MbOk);
        ui::Warn("wHandle Error 1005 in " + function + " Function");
        return;
    }
    ui::Ui().SetControlText(main, ui::MainStatusBar, summary);
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn("wHandle Error 1010 in " + function + " Function");
        return;
    }
    ui::Ui().SetControlText(dialog, compose::StatusLine, summary);
}

// One request per vendor, in record-number order. A request is logged once the desktop has
// handed it to the mail program, so that the log never claims one that was not made; a run
// whose links did not all reach a mail program says so after its summary.
void Run(RequestKind kind) {
    ApplicationTableScope table;
    const auto records = ApplicationsInRecordOrder();
    if (records.empty())
        return ui::Warn(TextsOf(kind).emptyTable);
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0)
        return ui::Warn(TextsOf(kind).missingDialog);
    const auto text = [&](int box) { return ui::Ui().ControlText(dialog, box); };
    const RequestRun run = PlanRequests(
        kind, records,
        {text(compose::Subject), text(compose::YourEmail), text(compose::Message)}, currentUser);
    for (const auto& warning : run.warnings)
        ui::Warn(warning);
    if (run.stop)
        return ui::Warn(*run.stop);
    std::vector<std::string> notReached;
    for (const auto& request : run.requests) {
        if (ui::Ui().ShellOpen(request.link, ui::ShowState::Normal) > 32)
            ActivityLogAppend(request.log);
        else
            notReached.push_back(request.to);
    }
    table.Close();
    ShowSummary(kind, RunSummary(kind, static_cast<int>(run.requests.size())));
    if (!notReached.empty())
        ui::Warn(NotReachedText(notReached));
}

} // namespace

void EmailAllVendorsSend() {
    Run(RequestKind::All);
}

void EmailSelectVendorsSend() {
    Run(RequestKind::Select);
}

void EmailVendorsTestSend() {
    Run(RequestKind::Test);
}
