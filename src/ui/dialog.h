#pragma once
// Dialogs are data: a table of controls in dialog units, as a Windows dialog template holds
// them. A backend turns the table into windows; operations reach the controls by id.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb LightBlue{134, 185, 240}; // the background of every dialog
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Black{0, 0, 0};

// Faces are named as the layouts give them; the backend maps "MS Sans Serif" to its
// sans-serif face and "Courier" to its fixed-pitch face.
inline constexpr const char* SansSerif = "MS Sans Serif";
inline constexpr const char* FixedPitch = "Courier";

struct Font {
    std::string face = SansSerif;
    int points = 8;
    int weight = 400; // 400 normal, 700 bold
    bool underline = false;
    // The advance of every character of a fixed-pitch face, in ems of the dialog font; 0
    // keeps the face's own. Columns of such text then stay under headings set in the dialog
    // font at any screen resolution.
    double pitch = 0;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class ControlKind {
    Edit, // single or multi-line text box
    PushButton,
    Label,       // static text
    GroupBox,    // a captioned frame; stays behind the controls it frames
    RadioButton, // automatic option button
    CheckBox,
    Picture,     // bitmap resource `resource`, with the styles' edges
    StatusBar,   // text along the bottom edge of the window
    EtchedFrame, // an etched rectangle, no text
    ProgressBar, // a bar that fills as a run goes on (Platform::SetProgress)
};

// Control styles, combinable.
enum ControlStyle : unsigned {
    NoStyle = 0,
    TabStop = 1u << 0,
    GroupStart = 1u << 1, // starts a group of option buttons
    Multiline = 1u << 2,
    ReadOnly = 1u << 3,
    Password = 1u << 4,  // characters hidden
    Uppercase = 1u << 5, // typed letters become capitals
    VerticalScroll = 1u << 6,
    AutoHScroll = 1u << 7,
    Disabled = 1u << 8, // cannot take the focus or input
    Border = 1u << 9,
    ClientEdge = 1u << 10, // sunken
    StaticEdge = 1u << 11,
    ModalFrame = 1u << 12, // raised double border
    Centered = 1u << 13,   // centred text
    Notify = 1u << 14,     // a label that reports clicks
    Link = 1u << 15,       // a label that behaves as a hyperlink: hand cursor over it
    Hidden = 1u << 16,
};

// The font of a control that has none of its own: the dialog font.
inline constexpr int DialogFont = -1;

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    std::string caption;                     // '&' marks the mnemonic, "&&" a literal ampersand
    int x = 0, y = 0, width = 0, height = 0; // dialog units
    unsigned style = NoStyle;
    int font = DialogFont;         // index into Dialog::fonts, or DialogFont
    std::optional<Rgb> background; // transparent on the dialog when empty
    std::optional<Rgb> textColor;  // default text colour when empty
    int resource = 0;              // Picture: bitmap resource number
    // What a screen reader calls the control, where neither its caption nor the label above
    // it says what it is.
    std::string accessibleName;

    Control Named(std::string name) && {
        accessibleName = std::move(name);
        return std::move(*this);
    }
};

// One row of a control table, its arguments in the order of Control's members.
inline Control MakeControl(int id, ControlKind kind, std::string caption, int x, int y, int width,
                           int height, unsigned style = NoStyle, int font = DialogFont,
                           std::optional<Rgb> background = {}, std::optional<Rgb> textColor = {},
                           int resource = 0) {
    return {id,    kind, std::move(caption), x,         y,       width, height,
            style, font, background,         textColor, resource};
}

struct Dialog {
    std::string title;                       // operations find the dialog by this exact title
    int x = 0, y = 0, width = 0, height = 0; // dialog units; dialogs open centred
    Font font;                     // the dialog font, which the dialog units are measured in
    std::vector<Font> fonts;       // further fonts, made when the dialog is built
    std::vector<Control> controls; // creation order, which is also the tab order
    Rgb background = LightBlue;
    bool closeBox = true; // a title-bar close box (and system menu)
    // Esc asks to close as the close box does; otherwise Esc does nothing, in any control.
    bool escapeCloses = false;
    int icon = 126; // icon resource
};

// Resource numbers.
inline constexpr int ProgramIcon = 126;
inline constexpr int ProgramPicture = 127;

// The automatic option buttons that clear each other when one of them is clicked: the ids of
// the group control `id` belongs to, itself included, in table order; empty when `id` is not
// an option button. A group runs from an option button that has GroupStart, or that follows
// another kind of control, through the option buttons right after it, up to the next one that
// has GroupStart.
std::vector<int> OptionGroup(const Dialog& dialog, int id);

} // namespace ui
