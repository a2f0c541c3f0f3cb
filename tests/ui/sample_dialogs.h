#pragma once
// Small dialog tables with every kind of control, for the Qt backend's tests.

#include "ui/dialog.h"

#include <optional>

namespace sample {

enum Id {
    NameBox = 101,
    CodeBox = 102,   // upper-casing
    SecretBox = 103, // password
    YesButton = 104,
    NoButton = 105,
    RememberBox = 106,
    SaveButton = 107,
    NextButton = 108,
    ReplyGroup = 109,
    NameLabel = 110,
    CodeLabel = 111,
    ListBox = 112, // read-only, no tab stop
    CountLine = 113,
    LinkLabel = 114,
    ListFrame = 115,
    ServerBox = 116,  // disabled
    MessageBox = 117, // multi-line, editable
    Status = 118,
    OtherYes = 119, // a second group of option buttons
    OtherNo = 120,
    Picture = 121,
    PlainLabel = 122,
    ContactLine = 123, // a 10-point line in 10 units
};

inline ui::Control Make(int id, ui::ControlKind kind, const char* caption, int x, int y, int width,
                        int height, unsigned style = ui::NoStyle, std::optional<ui::Rgb> text = {},
                        std::optional<ui::Rgb> background = {}, int font = -1, int resource = 0) {
    return ui::Control{id,     kind,  caption, x,          y,    width,
                       height, style, text,    background, font, resource};
}

inline ui::Dialog Form() {
    using namespace ui;
    Dialog d;
    d.title = "Ombrelay Sample";
    d.width = 300;
    d.height = 236;
    d.fonts = {
        Font{SansSerif, 8, 700, false},  // 0: bold
        Font{FixedPitch, 5, 400, false}, // 1: the list
        Font{SansSerif, 12, 700, false}, // 2: the count line
        Font{SansSerif, 8, 700, true},   // 3: the link
        Font{SansSerif, 10, 400, false}, // 4: the contact line
    };
    const unsigned box = TabStop | AutoHScroll | Border;
    d.controls = {
        Make(NameBox, ControlKind::Edit, "", 20, 20, 120, 13, box, {}, {}, 0),
        Make(CodeBox, ControlKind::Edit, "", 160, 20, 60, 13, box | Uppercase, {}, {}, 0),
        Make(SecretBox, ControlKind::Edit, "", 230, 20, 60, 13, box | Password),
        Make(YesButton, ControlKind::RadioButton, "&Yes", 28, 50, 44, 10, GroupStart | TabStop, {},
             LightBlue, 0),
        Make(NoButton, ControlKind::RadioButton, "&No", 28, 62, 44, 10, TabStop, {}, LightBlue, 0),
        Make(RememberBox, ControlKind::CheckBox, "&Remember", 100, 44, 80, 10, TabStop),
        Make(SaveButton, ControlKind::PushButton, "&Save", 20, 200, 50, 15, TabStop, {}, {}, 0),
        Make(NextButton, ControlKind::PushButton, "Ne&xt", 80, 200, 50, 15, TabStop, {}, {}, 0),
        Make(ReplyGroup, ControlKind::GroupBox, "Reply?", 20, 38, 70, 38, NoStyle, {}, LightBlue,
             0),
        Make(NameLabel, ControlKind::Label, "Name", 21, 10, 60, 8, NoStyle, {}, LightBlue, 0),
        Make(CodeLabel, ControlKind::Label, "Code && key", 161, 10, 60, 8, NoStyle, {}, LightBlue),
        Make(ListBox, ControlKind::Edit, "", 20, 98, 260, 40,
             Multiline | ReadOnly | VerticalScroll | AutoHScroll | StaticEdge | ModalFrame, {},
             White, 1),
        Make(CountLine, ControlKind::Label, "", 100, 60, 190, 16, Centered, Blue, LightBlue, 2),
        Make(LinkLabel, ControlKind::Label, "www.example.org", 150, 203, 90, 10, Notify | Link,
             Blue, LightBlue, 3),
        Make(ListFrame, ControlKind::EtchedFrame, "Line1", 10, 84, 280, 60),
        Make(ServerBox, ControlKind::Edit, "", 190, 42, 100, 13, box | Disabled),
        Make(MessageBox, ControlKind::Edit, "", 20, 150, 260, 34,
             Multiline | VerticalScroll | TabStop | ClientEdge),
        Make(Status, ControlKind::StatusBar, "", 0, 223, 300, 13),
        Make(PlainLabel, ControlKind::Label, "List of things", 20, 88, 100, 8, NoStyle, Black,
             LightBlue),
        Make(ContactLine, ControlKind::Label, "Contact support@example.org", 20, 186, 160, 10,
             NoStyle, {}, LightBlue, 4),
    };
    return d;
}

// A picture with a white band laid on it, and two groups of option buttons.
inline ui::Dialog PictureAndGroups() {
    using namespace ui;
    Dialog d;
    d.title = "Ombrelay Picture";
    d.width = 282;
    d.height = 150;
    d.closeBox = false;
    d.fonts = {Font{SansSerif, 8, 700, false}};
    d.controls = {
        Make(Picture, ControlKind::Picture, "", 15, 13, 252, 84, StaticEdge | ModalFrame, {}, {},
             -1, ProgramPicture),
        Make(CountLine, ControlKind::Label, "for Blackberry Devices", 86, 66, 110, 10, Centered,
             Blue, White, 0),
        Make(YesButton, ControlKind::RadioButton, "&Yes", 20, 105, 44, 10, GroupStart | TabStop),
        Make(NoButton, ControlKind::RadioButton, "&No", 20, 117, 44, 10, TabStop),
        Make(OtherYes, ControlKind::RadioButton, "&Keep", 80, 105, 44, 10, GroupStart | TabStop),
        Make(OtherNo, ControlKind::RadioButton, "&Drop", 80, 117, 44, 10, TabStop),
        Make(SaveButton, ControlKind::PushButton, "&OK", 116, 130, 50, 15, TabStop, {}, {}, 0),
    };
    return d;
}

} // namespace sample
