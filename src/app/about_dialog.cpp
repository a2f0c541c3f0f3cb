#include "app/about_dialog.h"

#include "app/main_window.h"
#include "ui/dialog_support.h"

#include <string>

namespace {

enum Control {
    Picture = 1009,
    CopyrightLabel = 1010,
    ContactLabel = 1012,
    PictureBand = 1113,
    OkButton = 1013,
    TaglineLabel = 1011,
    VisitLabel = 1164,
    LinkLabel = 1165,
    DevicesLabel = 1166,
};

enum Font { ContactFont = 0, BoldFont = 1, LinkFont = 2 };

int aboutFocus = 0;

} // namespace

ui::Dialog AboutLayout() {
    static const std::string contact = std::string("Contact ") + SupportAddress;
    ui::Dialog dialog{.title = AboutTitle, .x = 42, .y = 70, .width = 282, .height = 179};
    dialog.closeBox = false;
    dialog.fonts = {ui::Font{ui::SansSerif, 10, 400}, ui::Font{ui::SansSerif, 8, 700},
                    ui::Font{ui::SansSerif, 8, 700, true}};
    const auto label = [](int id, std::string caption, int x, int y, int width, int height,
                          unsigned style, std::optional<ui::Rgb> text, ui::Rgb background,
                          int font) {
        return ui::Control{.id = id,
                           .kind = ui::ControlKind::Label,
                           .caption = caption,
                           .x = x,
                           .y = y,
                           .width = width,
                           .height = height,
                           .style = style,
                           .textColor = text,
                           .background = background,
                           .font = font};
    };
    dialog.controls = {
        {.id = Picture,
         .kind = ui::ControlKind::Picture,
         .x = 15,
         .y = 13,
         .width = 252,
         .height = 84,
         .style = ui::StaticEdge | ui::ModalFrame,
         .resource = ui::ProgramPicture},
        label(CopyrightLabel, Copyright, 52, 113, 174, 8, ui::Centered, ui::Red, ui::LightBlue, -1),
        label(ContactLabel, contact, 61, 127, 159, 10, ui::Centered, std::nullopt, ui::LightBlue,
              ContactFont),
        label(PictureBand, "", 21, 87, 240, 8, ui::Centered, ui::Blue, ui::White, BoldFont),
        {.id = OkButton,
         .kind = ui::ControlKind::PushButton,
         .caption = "&OK",
         .x = 116,
         .y = 160,
         .width = 50,
         .height = 15,
         .style = ui::TabStop,
         .font = BoldFont},
        label(TaglineLabel, Tagline, 11, 102, 260, 8, ui::Centered, std::nullopt, ui::LightBlue,
              BoldFont),
        label(VisitLabel, "Visit Ombrelay's home on the web at ", 17, 141, 142, 10, ui::Notify,
              std::nullopt, ui::LightBlue, -1),
        label(LinkLabel, HomePage, 163, 141, 90, 10, ui::Notify | ui::Link, ui::Blue, ui::LightBlue,
              LinkFont),
        label(DevicesLabel, "for Blackberry Devices", 86, 66, 110, 10, ui::Centered, ui::Blue,
              ui::White, BoldFont),
    };
    return dialog;
}

int AboutDialog(ui::WindowHandle) {
    const ui::WindowHandle owner =
        ui::OwnerOrWarn(MainWindowTitle, "wHandle Error in About Dialog Function", 0);
    aboutFocus = 0;
    return ui::Ui().RunDialog(
        AboutLayout(), owner, [](ui::WindowHandle dialog, const ui::DialogEvent& event) {
            // No close box: OK is the only way out.
            if (ui::HandleStandardEvent(dialog, event, aboutFocus, false))
                return;
            if (event.kind != ui::DialogEventKind::Command)
                return;
            if (event.control == LinkLabel) {
                ui::Ui().SetHandCursor();
                if (event.code == ui::Clicked || event.code == ui::Accelerator)
                    ui::Ui().ShellOpen(HomePage, ui::ShowState::Maximized);
            } else if (ui::IsButtonPress(event, OkButton)) {
                ui::Ui().EndDialog(dialog, 0);
            }
        });
}
