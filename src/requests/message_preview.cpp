#include "requests/message_preview.h"

#include "requests/compose_dialog.h"
#include "requests/send_requests.h"
#include "ui/dialog_support.h"

#include <memory>
#include <vector>

namespace {

struct Preview {
    std::vector<Request> requests;
    std::vector<bool> handedOver;
    std::string longLinks;
    std::size_t shown = 0;
};

void Show(const Preview& preview, ui::WindowHandle dialog) {
    auto& ui = ui::Ui();
    const Request& request = preview.requests[preview.shown];
    const int total = static_cast<int>(preview.requests.size());
    ui.SetControlText(dialog, preview::Counter,
                      MessageCounter(static_cast<int>(preview.shown) + 1, total));
    ui.SetControlText(dialog, preview::HandedOver,
                      preview.handedOver[preview.shown] ? HandedOverText : "");
    ui.SetControlText(dialog, preview::To, request.to);
    ui.SetControlText(dialog, preview::Cc, request.cc);
    ui.SetControlText(dialog, preview::Subject, request.subject);
    ui.SetControlText(dialog, preview::Body, PreviewText(request.body));
    ui.SetControlText(dialog, preview::LongLinks, preview.longLinks);
}

void Step(const std::shared_ptr<Preview>& preview, ui::WindowHandle dialog, int step) {
    const auto next = static_cast<long long>(preview->shown) + step;
    if (next >= 0 && next < static_cast<long long>(preview->requests.size()))
        preview->shown = static_cast<std::size_t>(next);
    Show(*preview, dialog);
}

// Hands the message shown over as the run would, then shows the next.
void SendShown(const std::shared_ptr<Preview>& preview, ui::WindowHandle dialog) {
    const Request& request = preview->requests[preview->shown];
    if (!LogIfTaken(request, ui::Ui().ShellOpen(request.link, ui::ShowState::Normal)))
        return ui::Warn(NotReachedText({request.to}));
    preview->handedOver[preview->shown] = true;
    Step(preview, dialog, 1);
}

} // namespace

ui::Dialog MessagePreviewLayout() {
    ui::Dialog dialog{.title = ui::PreviewTitle, .x = 70, .y = 70, .width = 400, .height = 262};
    dialog.escapeCloses = true;
    dialog.fonts = {{ui::SansSerif, 8, 700}, {ui::SansSerif, 10, 400}}; // as Compose Email's
    constexpr int bold = 0, message = 1;
    const unsigned shown = ui::ReadOnly | ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    const unsigned body =
        ui::ReadOnly | ui::TabStop | ui::Multiline | ui::VerticalScroll | ui::ClientEdge;
    const auto white = ui::White;
    using enum ui::ControlKind;
    using namespace preview;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(Counter,    Label,      "",           10,  6,   180, 10,  ui::NoStyle, bold),
        ui::MakeControl(HandedOver, Label,      "",           200, 6,   190, 10,  ui::NoStyle, bold, {}, ui::Blue),
        ui::MakeControl(1182,       Label,      "To:",        10,  22,  40,  10,  ui::NoStyle, bold),
        ui::MakeControl(To,         Edit,       "",           52,  20,  338, 13,  shown, bold, white),
        ui::MakeControl(1184,       Label,      "Cc:",        10,  38,  40,  10,  ui::NoStyle, bold),
        ui::MakeControl(Cc,         Edit,       "",           52,  36,  338, 13,  shown, bold, white),
        ui::MakeControl(1186,       Label,      "Subject:",   10,  54,  40,  10,  ui::NoStyle, bold),
        ui::MakeControl(Subject,    Edit,       "",           52,  52,  338, 13,  shown, bold, white),
        ui::MakeControl(Body,       Edit,       "",           10,  70,  380, 140, body, message, white).Named("Message"),
        ui::MakeControl(LongLinks,  Label,      "",           10,  214, 380, 18,  ui::NoStyle, ui::DialogFont, {}, ui::Red),
        ui::MakeControl(Previous,   PushButton, "&Previous",  65,  240, 60,  15,  ui::TabStop, bold),
        ui::MakeControl(Next,       PushButton, "&Next",      135, 240, 60,  15,  ui::TabStop, bold),
        ui::MakeControl(SendThis,   PushButton, "Send &This", 205, 240, 60,  15,  ui::TabStop, bold),
        ui::MakeControl(Close,      PushButton, "&Close",     275, 240, 60,  15,  ui::TabStop, bold),
    };
    // clang-format on
    return dialog;
}

void PreviewMessages() {
    const ui::WindowHandle compose = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (compose == 0)
        return ui::Warn("Cannot locate the Email Vendors Dialog!");
    const auto kind = KindOfFlag(ui::Ui().ControlText(compose, compose::MailTypeFlag));
    if (!kind)
        return ui::Warn(ChooseKindFirstText);
    auto requests = RequestsOfRun(*kind);
    if (!requests)
        return;
    if (requests->empty())
        return ui::Inform(NoVendorText);
    const auto preview = std::make_shared<Preview>();
    preview->longLinks = LongLinksNote({{}, {}, *requests});
    preview->handedOver.assign(requests->size(), false);
    preview->requests = std::move(*requests);
    const auto step = [preview](int by) {
        return [preview, by](ui::WindowHandle dialog) { Step(preview, dialog, by); };
    };
    ui::RunDialog(MessagePreviewLayout(), compose,
                  {.init = [preview](ui::WindowHandle dialog) { Show(*preview, dialog); },
                   .buttons = {{preview::Previous, step(-1)},
                               {preview::Next, step(1)},
                               {preview::SendThis,
                                [preview](ui::WindowHandle dialog) { SendShown(preview, dialog); }},
                               {preview::Close, ui::EndDialogWithZero}}});
}
