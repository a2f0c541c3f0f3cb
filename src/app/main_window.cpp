#include "app/main_window.h"

#include "app/about_dialog.h"
#include "applications/application_dialog.h"
#include "maintenance/database_dialog.h"
#include "requests/compose_dialog.h"
#include "ui/dialog_support.h"
#include "user/user_setup_dialog.h"

namespace {

enum Control {
    StatusBar = MainStatusBar,
    Picture = 1003,
    TaglineLabel = 1004,
    UserInfoButton = 1005,
    ApplicationsButton = 1006,
    EmailButton = 1007,
    DatabasesButton = 1002,
    AboutButton = 1008,
    UnusedBand = 1112,
    DevicesLabel = 1167,
};

int mainFocus = 0;

ui::Control Button(int id, const char* caption, int x) {
    return {.id = id,
            .kind = ui::ControlKind::PushButton,
            .caption = caption,
            .x = x,
            .y = 217,
            .width = 60,
            .height = 15,
            .style = ui::TabStop,
            .font = 0};
}

} // namespace

ui::Dialog MainDisplayLayout() {
    ui::Dialog dialog{.title = MainWindowTitle, .x = 100, .y = 75, .width = 475, .height = 249};
    dialog.fonts = {ui::Font{ui::SansSerif, 8, 700}};
    dialog.controls = {
        {.id = StatusBar,
         .kind = ui::ControlKind::StatusBar,
         .x = 0,
         .y = 236,
         .width = 475,
         .height = 13},
        {.id = Picture,
         .kind = ui::ControlKind::Picture,
         .x = 112,
         .y = 48,
         .width = 252,
         .height = 84,
         .style = ui::StaticEdge | ui::ModalFrame,
         .resource = ui::ProgramPicture},
        {.id = TaglineLabel,
         .kind = ui::ControlKind::Label,
         .caption = Tagline,
         .x = 108,
         .y = 137,
         .width = 260,
         .height = 8,
         .style = ui::Centered,
         .background = ui::LightBlue,
         .font = 0},
        Button(UserInfoButton, "&User Info", 63),
        Button(ApplicationsButton, "&Applications", 135),
        Button(EmailButton, "&Email", 207),
        Button(DatabasesButton, "&Databases", 279),
        Button(AboutButton, "A&bout", 351),
        {.id = UnusedBand,
         .kind = ui::ControlKind::Label,
         .x = 118,
         .y = 122,
         .width = 240,
         .height = 8,
         .style = ui::Centered,
         .textColor = ui::Blue,
         .background = ui::White,
         .font = 0},
        {.id = DevicesLabel,
         .kind = ui::ControlKind::Label,
         .caption = "for Blackberry Devices",
         .x = 177,
         .y = 101,
         .width = 120,
         .height = 10,
         .style = ui::Centered,
         .textColor = ui::Blue,
         .background = ui::White,
         .font = 0},
    };
    return dialog;
}

int MainDisplayDialog(ui::WindowHandle owner) {
    mainFocus = 0;
    return ui::Ui().RunDialog(MainDisplayLayout(), owner,
                              [](ui::WindowHandle dialog, const ui::DialogEvent& event) {
                                  if (ui::HandleStandardEvent(dialog, event, mainFocus))
                                      return;
                                  // Each dialog finds the main window by its title and makes it its
                                  // owner.
                                  if (ui::IsButtonPress(event, UserInfoButton))
                                      UserSetupDialog(0);
                                  else if (ui::IsButtonPress(event, ApplicationsButton))
                                      ApplicationInformationDialog(0);
                                  else if (ui::IsButtonPress(event, EmailButton))
                                      ComposeEmailDialog(0);
                                  else if (ui::IsButtonPress(event, DatabasesButton))
                                      DatabaseDialog(0);
                                  else if (ui::IsButtonPress(event, AboutButton))
                                      AboutDialog(0);
                              });
}
