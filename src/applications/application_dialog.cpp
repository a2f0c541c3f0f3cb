#include "applications/application_dialog.h"

#include "applications/application_records.h"
#include "ui/dialog_support.h"

namespace {

using ui::ControlKind;

// Fonts of the dialog, by their index in Dialog::fonts.
constexpr int FontA = 0; // the bold face of most controls
constexpr int FontB = 1; // the application list
constexpr int FontC = 2; // the count line

// The list header is set in the proportional dialog font, so it lines up with the list's
// columns only roughly.
const std::string ListHeader =
    std::string("  Application Name              ") +
    "                              Code/Key                              " +
    "            RR?      Vendor Email";

} // namespace

ui::Dialog ApplicationInformationLayout() {
    ui::Dialog dialog{
        .title = ui::ApplicationInformationTitle, .x = 70, .y = 70, .width = 475, .height = 237};
    dialog.fonts = {{ui::SansSerif, 8, 700},
                    {ui::FixedPitch, ApplicationListPoints, 400, false, ApplicationListPitch},
                    {ui::SansSerif, 12, 700}};

    // The text boxes get a sunken edge besides their border, like those of the other dialogs.
    const unsigned box = ui::TabStop | ui::Border | ui::ClientEdge | ui::AutoHScroll;
    const unsigned list = ui::ReadOnly | ui::Multiline | ui::VerticalScroll | ui::AutoHScroll |
                          ui::StaticEdge | ui::ModalFrame;
    const auto blue = ui::LightBlue;
    using enum ControlKind;
    // clang-format off
    dialog.controls = {
        ui::MakeControl(ApplicationNameBox,        Edit,        "",                        28,  30,  125, 13,  box, FontA),
        ui::MakeControl(RegistrationCodeBox,       Edit,        "",                        175, 30,  125, 13,  box, FontA),
        ui::MakeControl(VendorEmailBox,            Edit,        "",                        322, 30,  125, 13,  box, FontA),
        ui::MakeControl(RequestYesButton,          RadioButton, "&Yes",                    60,  62,  44,  10,  ui::GroupStart | ui::TabStop, FontA, blue),
        ui::MakeControl(RequestNoButton,           RadioButton, "&No",                     60,  77,  44,  10,  ui::TabStop, FontA, blue),
        ui::MakeControl(ApplicationNewButton,      PushButton,  "Ne&w",                    57,  218, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(ApplicationSaveButton,     PushButton,  "&Save",                   119, 218, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(ApplicationNextButton,     PushButton,  "Ne&xt",                   181, 218, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(ApplicationPreviousButton, PushButton,  "&Previous",               243, 218, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(ApplicationDeleteButton,   PushButton,  "&Delete",                 305, 218, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(ApplicationCancelButton,   PushButton,  "&Cancel",                 367, 218, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(1032,                      GroupBox,    "Application Information", 10,  4,   454, 96,  ui::NoStyle, FontA, blue),
        ui::MakeControl(1036,                      Label,       "Vendor Email",            322, 20,  52,  10,  ui::NoStyle, FontA, blue),
        ui::MakeControl(1037,                      Label,       "Application Name",        29,  20,  91,  10,  ui::NoStyle, FontA, blue),
        ui::MakeControl(1038,                      Label,       "Code/Key",                176, 20,  52,  10,  ui::NoStyle, FontA, blue),
        ui::MakeControl(ApplicationListBox,        Edit,        "",                        20,  118, 434, 78,  list, FontB, ui::White).Named("Application List"),
        ui::MakeControl(1057,                      GroupBox,    "Request Reregistration?", 48,  47,  88,  45,  ui::NoStyle, FontA, blue),
        ui::MakeControl(ApplicationCountLine,      Label,       "",                        144, 64,  312, 16,  ui::Centered, FontC, blue, ui::Blue),
        ui::MakeControl(ApplicationListHeader,     Label,       ListHeader,                20,  107, 434, 10,  ui::NoStyle, ui::DialogFont, blue, ui::Black),
        ui::MakeControl(1133,                      EtchedFrame, "Line1",                   10,  104, 454, 104, ui::NoStyle, ui::DialogFont),
    };
    // clang-format on
    return dialog;
}

int ApplicationInformationDialog(ui::WindowHandle owner) {
    const ui::WindowHandle mainWindow =
        ui::MainWindowOrWarn("wHandle Error in Application Information Dialog Function", owner);
    ui::RunDialog(
        ApplicationInformationLayout(), mainWindow,
        {.init = [](ui::WindowHandle) { ShowApplicationList(); },
         .buttons = {{ApplicationNewButton, [](ui::WindowHandle) { NewApplication(); }},
                     {ApplicationSaveButton, [](ui::WindowHandle) { SaveApplication(); }},
                     {ApplicationNextButton, [](ui::WindowHandle) { NextApplication(); }},
                     {ApplicationPreviousButton, [](ui::WindowHandle) { PreviousApplication(); }},
                     {ApplicationDeleteButton, [](ui::WindowHandle) { DeleteApplication(); }},
                     {ApplicationCancelButton, ui::EndDialogWithZero}}});
    return 0;
}
