#include "requests/send_requests.h"

#include "common/text.h"
#include "records/table_scope.h"
#include "requests/compose_dialog.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"
#include "user/user_record.h"

#include <memory>
#include <optional>
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

// A run under way: the next request to hand over, and whether the user asked to stop.
struct HandOvers {
    std::vector<Request> requests;
    std::size_t next = 0;
    bool stopAsked = false;
    std::vector<std::string> notReached;
};

// Shows the next request and hands it over; once the desktop has answered, the next one
// follows, unless the user asked to stop or none is left.
void HandOverNext(const std::shared_ptr<HandOvers>& run, ui::WindowHandle window) {
    auto& ui = ui::Ui();
    const int total = static_cast<int>(run->requests.size());
    if (run->stopAsked || run->next == run->requests.size())
        return ui.EndDialog(window, 0);
    const Request& request = run->requests[run->next];
    ui.SetControlText(window, sending::Counter,
                      RequestCounter(static_cast<int>(run->next) + 1, total));
    ui.SetControlText(window, sending::Vendor, request.to);
    ui.ShellOpenThen(request.link, ui::ShowState::Normal, [run, window](int result) {
        if (!LogIfTaken(run->requests[run->next], result))
            run->notReached.push_back(run->requests[run->next].to);
        ++run->next;
        ui::Ui().SetProgress(window, sending::Progress, static_cast<int>(run->next),
                             static_cast<int>(run->requests.size()));
        HandOverNext(run, window);
    });
}

// One request per vendor, in record-number order. A request is logged once the desktop has
// handed it to the mail program, so that the log never claims one that was not made; a run
// whose links did not all reach a mail program says so after its summary.
void Run(RequestKind kind) {
    auto requests = RequestsOfRun(kind);
    if (!requests)
        return;
    const auto run = std::make_shared<HandOvers>();
    run->requests = std::move(*requests);
    const int total = static_cast<int>(run->requests.size());
    if (total > 0) {
        const auto stop = [run](ui::WindowHandle) { run->stopAsked = true; };
        ui::RunDialog(SendingRequestsLayout(), ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle),
                      {.init = [run](ui::WindowHandle window) { HandOverNext(run, window); },
                       .buttons = {{sending::Stop, stop}},
                       .close = stop});
    }
    const int done = static_cast<int>(run->next);
    ShowSummary(kind, done < total ? StoppedSummary(done, total) : RunSummary(kind, total));
    if (!run->notReached.empty())
        ui::Warn(NotReachedText(run->notReached));
}

} // namespace

ui::Dialog SendingRequestsLayout() {
    ui::Dialog dialog{
        .title = ui::SendingRequestsTitle, .x = 70, .y = 70, .width = 220, .height = 80};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    using enum ui::ControlKind;
    using namespace sending;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(Counter,  Label,       "", 10, 8,  200, 10, ui::NoStyle, 0),
        ui::MakeControl(Vendor,   Label,       "", 10, 20, 200, 10, ui::NoStyle, ui::DialogFont),
        ui::MakeControl(Progress, ProgressBar, "", 10, 34, 200, 12).Named("Requests handed over"),
        ui::MakeControl(Stop,     PushButton,  "&Stop", 85, 56, 50, 15, ui::TabStop, 0),
    };
    // clang-format on
    return dialog;
}

std::optional<std::vector<Request>> RequestsOfRun(RequestKind kind) {
    ApplicationTableScope table;
    const auto records = ApplicationsInRecordOrder();
    if (records.empty()) {
        ui::Warn(TextsOf(kind).emptyTable);
        return std::nullopt;
    }
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Warn(TextsOf(kind).missingDialog);
        return std::nullopt;
    }
    const auto text = [&](int box) { return ui::Ui().ControlText(dialog, box); };
    RequestRun run = PlanRequests(
        kind, records, {text(compose::Subject), text(compose::YourEmail), text(compose::Message)},
        currentUser);
    for (const auto& warning : run.warnings)
        ui::Warn(warning);
    if (run.stop) {
        ui::Warn(*run.stop);
        return std::nullopt;
    }
    return std::move(run.requests);
}

bool LogIfTaken(const Request& request, int shellResult) {
    if (shellResult <= 32)
        return false;
    ActivityLogAppend(request.log);
    return true;
}

void EmailAllVendorsSend() {
    Run(RequestKind::All);
}

void EmailSelectVendorsSend() {
    Run(RequestKind::Select);
}

void EmailVendorsTestSend() {
    Run(RequestKind::Test);
}
