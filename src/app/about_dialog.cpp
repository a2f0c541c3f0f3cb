#include "app/about_dialog.h"

#include "app/main_window.h"
#include "ui/dialog_support.h"

#include <string>

namespace {

enum Font { ContactFont = 0, BoldFont = 1, LinkFont = 2 };

// The link reports every click; each one turns the cursor into a hand, and a click or a
// double click opens the home page.
void LinkCommand(ui::WindowHandle, const ui::DialogEvent& event) {
    if (event.control != LinkLabel)
        return;
    ui::Ui().SetHandCursor();
    if (event.code == ui::Clicked || event.code == ui::Accelerator)
        ui::Ui().ShellOpen(HomePage, ui::ShowState::Maximized);
}

} // namespace

ui::Dialog AboutLayout() {
    static const std::string contact = std::string("Contact ") + SupportAddress;
    ui::Dialog dialog{.title = ui::AboutTitle, .x = 42, .y = 70, .width = 282, .height = 179};
    dialog.closeBox = false;
    dialog.fonts = {
        {ui::SansSerif, 10, 400}, {ui::SansSerif, 8, 700}, {ui::SansSerif, 8, 700, true}};
    const unsigned frame = ui::StaticEdge | ui::ModalFrame;
    const auto blue = ui::LightBlue;
    using enum ui::ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(AboutPicture,      Picture,    "",                                     15,  13,  252, 84, frame, ui::DialogFont, {}, {}, ui::ProgramPicture).Named("Ombrelay"),
        ui::MakeControl(CopyrightLabel,    Label,      Copyright,                              52,  113, 174, 8,  ui::Centered, ui::DialogFont, blue, ui::Red),
        ui::MakeControl(ContactLabel,      Label,      contact,                                61,  127, 159, 10, ui::Centered, ContactFont, blue),
        ui::MakeControl(AboutPictureBand,  Label,      "",                                     21,  87,  240, 8,  ui::Centered, BoldFont, ui::White, ui::Blue),
        ui::MakeControl(AboutOkButton,     PushButton, "&OK",                                  116, 160, 50,  15, ui::TabStop, BoldFont),
        ui::MakeControl(AboutTaglineLabel, Label,      Tagline,                                11,  102, 260, 8,  ui::Centered, BoldFont, blue),
        ui::MakeControl(VisitLabel,        Label,      "Visit Ombrelay's home on the web at ", 17,  141, 142, 10, ui::Notify, ui::DialogFont, blue),
        ui::MakeControl(LinkLabel,         Label,      HomePage,                               163, 141, 90,  10, ui::Notify | ui::Link, LinkFont, blue, ui::Blue),
        ui::MakeControl(AboutDevicesLabel, Label,      "for Blackberry Devices",               86,  66,  110, 10, ui::Centered, BoldFont, ui::White, ui::Blue),
    };
    // clang-format on
    return dialog;
}

int AboutDialog(ui::WindowHandle) {
    const ui::WindowHandle owner =
        ui::MainWindowOrWarn("wHandle Error in About Dialog Function", 0);
    // No close box: OK is the only way out.
    return ui::RunDialog(
        AboutLayout(), owner,
        {.buttons = {{AboutOkButton, ui::EndDialogWithZero}}, .otherCommand = LinkCommand});
}
