#include "app/main_window.h"

#include "app/about_dialog.h"
#include "applications/application_dialog.h"
#include "maintenance/database_dialog.h"
#include "requests/compose_dialog.h"
#include "ui/dialog_support.h"
#include "user/user_setup_dialog.h"

namespace {

constexpr int Bold = 0;

} // namespace

ui::Dialog MainDisplayLayout() {
    ui::Dialog dialog{.title = ui::MainWindowTitle, .x = 100, .y = 75, .width = 475, .height = 249};
    dialog.fonts = {{ui::SansSerif, 8, 700}};
    const unsigned frame = ui::StaticEdge | ui::ModalFrame;
    const auto blue = ui::LightBlue;
    using enum ui::ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(ui::MainStatusBar,  StatusBar,  "",                       0,   236, 475, 13),
        ui::MakeControl(MainPicture,        Picture,    "",                       112, 48,  252, 84, frame, ui::DialogFont, {}, {}, ui::ProgramPicture).Named("Ombrelay"),
        ui::MakeControl(MainTaglineLabel,   Label,      Tagline,                  108, 137, 260, 8,  ui::Centered, Bold, blue),
        ui::MakeControl(UserInfoButton,     PushButton, "&User Info",             63,  217, 60,  15, ui::TabStop, Bold),
        ui::MakeControl(ApplicationsButton, PushButton, "&Applications",          135, 217, 60,  15, ui::TabStop, Bold),
        ui::MakeControl(EmailButton,        PushButton, "&Email",                 207, 217, 60,  15, ui::TabStop, Bold),
        ui::MakeControl(DatabasesButton,    PushButton, "&Databases",             279, 217, 60,  15, ui::TabStop, Bold),
        ui::MakeControl(AboutButton,        PushButton, "A&bout",                 351, 217, 60,  15, ui::TabStop, Bold),
        ui::MakeControl(MainPictureBand,    Label,      "",                       118, 122, 240, 8,  ui::Centered, Bold, ui::White, ui::Blue),
        ui::MakeControl(MainDevicesLabel,   Label,      "for Blackberry Devices", 177, 101, 120, 10, ui::Centered, Bold, ui::White, ui::Blue),
    };
    // clang-format on
    return dialog;
}

int MainDisplayDialog(ui::WindowHandle owner) {
    // Each dialog finds the main window by its title and makes it its owner.
    return ui::RunDialog(
        MainDisplayLayout(), owner,
        {.buttons = {
             {UserInfoButton, [](ui::WindowHandle) { UserSetupDialog(0); }},
             {ApplicationsButton, [](ui::WindowHandle) { ApplicationInformationDialog(0); }},
             {EmailButton, [](ui::WindowHandle) { ComposeEmailDialog(0); }},
             {DatabasesButton, [](ui::WindowHandle) { DatabaseDialog(0); }},
             {AboutButton, [](ui::WindowHandle) { AboutDialog(0); }}}});
}
