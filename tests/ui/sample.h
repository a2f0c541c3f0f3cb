#pragma once
// A dialog with one control of each kind the backends must treat alike, for the tests of the
// dialog layer; built as it says, with a name for every control a screen reader presents.

#include "ui/dialog.h"

#include <string>
#include <utility>

// In table order, so that controls[id - First] is the control.
// clang-format off
enum { First = 201, Second, Go, Next, Yes, No, Keep, Off, Note, Url, Plain, Bar, List, Check, Group };
// clang-format on

inline ui::Dialog Sample(std::string title, bool closeBox = true) {
    using namespace ui;
    using enum ControlKind;
    const unsigned box = TabStop | Border | AutoHScroll;
    Dialog d{.title = std::move(title), .width = 200, .height = 160, .closeBox = closeBox};
    // clang-format off
    d.controls = {
        MakeControl(First,  Edit,        "",            5,   5,   100, 12, box).Named("First"),
        MakeControl(Second, Edit,        "",            5,   22,  100, 12, box | Uppercase).Named("Second"),
        MakeControl(Go,     PushButton,  "&Go",         5,   40,  50,  14, TabStop),
        MakeControl(Next,   PushButton,  "Ne&xt",       60,  40,  50,  14, TabStop),
        MakeControl(Yes,    RadioButton, "&Yes",        120, 5,   40,  10, GroupStart | TabStop),
        MakeControl(No,     RadioButton, "&No",         120, 17,  40,  10, TabStop),
        MakeControl(Keep,   RadioButton, "Keep",        120, 29,  40,  10, GroupStart | TabStop),
        MakeControl(Off,    Edit,        "",            5,   58,  100, 12, box | Disabled).Named("Off"),
        MakeControl(Note,   Edit,        "",            5,   74,  150, 30, Multiline | VerticalScroll | TabStop).Named("Note"),
        MakeControl(Url,    Label,       "example.org", 120, 58,  60,  10, Notify | Link),
        MakeControl(Plain,  Label,       "Plain",       160, 74,  30,  10),
        MakeControl(Bar,    ProgressBar, "",            5,   108, 150, 10).Named("Bar"),
        MakeControl(List,   Edit,        "",            5,   122, 150, 30, Multiline | ReadOnly | VerticalScroll).Named("List"),
        MakeControl(Check,  CheckBox,    "&Remember",   120, 42,  75,  10, TabStop),
        MakeControl(Group,  GroupBox,    "Reply?",      160, 90,  38,  60),
    };
    // clang-format on
    return d;
}
