#include "ui/win32/dialog_template.h"

#include "common/wide_text.h"

#include <cstring>

#include <windows.h>

namespace ui::win32 {

namespace {

constexpr std::uint16_t ButtonAtom = 0x0080, EditAtom = 0x0081, StaticAtom = 0x0082;

// Builds the template a 16-bit word at a time.
class Words {
public:
    void Word(std::uint16_t value) { words_.push_back(value); }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Short(int value) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void Text(const std::string& text) {
        for (wchar_t c : Widen(text))
            Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void WideText(const wchar_t* text) {
        for (; *text != L'\0'; ++text)
            Word(static_cast<std::uint16_t>(*text));
        Word(0);
    }
    void AlignToDword() {
        if (words_.size() % 2 != 0)
            Word(0);
    }
    std::vector<std::uint32_t> Dwords() const {
        std::vector<std::uint32_t> out((words_.size() + 1) / 2, 0);
        std::memcpy(out.data(), words_.data(), words_.size() * sizeof(std::uint16_t));
        return out;
    }

private:
    std::vector<std::uint16_t> words_;
};

} // namespace

ControlStyles StylesOf(const Control& control) {
    const unsigned s = control.style;
    ControlStyles out;
    out.style = WS_CHILD;
    if (!(s & Hidden))
        out.style |= WS_VISIBLE;
    if (s & TabStop)
        out.style |= WS_TABSTOP;
    if (s & GroupStart)
        out.style |= WS_GROUP;
    if (s & Disabled)
        out.style |= WS_DISABLED;
    if (s & Border)
        out.style |= WS_BORDER;
    if (s & VerticalScroll)
        out.style |= WS_VSCROLL;
    if (s & ClientEdge)
        out.exStyle |= WS_EX_CLIENTEDGE;
    if (s & StaticEdge)
        out.exStyle |= WS_EX_STATICEDGE;
    if (s & ModalFrame)
        out.exStyle |= WS_EX_DLGMODALFRAME;

    switch (control.kind) {
    case ControlKind::Edit:
        out.atom = EditAtom;
        out.style |= ES_LEFT;
        if (s & Multiline)
            out.style |= ES_MULTILINE | ES_WANTRETURN; // Enter starts a new line there
        if (s & ReadOnly)
            out.style |= ES_READONLY;
        if (s & Password)
            out.style |= ES_PASSWORD;
        if (s & Uppercase)
            out.style |= ES_UPPERCASE;
        if (s & AutoHScroll)
            out.style |= ES_AUTOHSCROLL;
        if ((s & Multiline) && !(s & AutoHScroll))
            out.style |= ES_AUTOVSCROLL;
        break;
    case ControlKind::PushButton:
        // Never BS_DEFPUSHBUTTON: Enter does nothing in these dialogs.
        out.atom = ButtonAtom;
        out.style |= BS_PUSHBUTTON;
        break;
    case ControlKind::Label:
        out.atom = StaticAtom;
        out.style |= (s & Centered) ? SS_CENTER : SS_LEFT;
        if (s & (Notify | Link))
            out.style |= SS_NOTIFY;
        break;
    case ControlKind::GroupBox:
        out.atom = ButtonAtom;
        out.style |= BS_GROUPBOX;
        // Painted first whatever its place in the table, so it stays behind what it frames.
        out.exStyle |= WS_EX_TRANSPARENT;
        break;
    case ControlKind::RadioButton:
        out.atom = ButtonAtom;
        out.style |= BS_AUTORADIOBUTTON;
        break;
    case ControlKind::CheckBox:
        out.atom = ButtonAtom;
        out.style |= BS_AUTOCHECKBOX;
        break;
    case ControlKind::Picture:
        // Keeps the size of the table; the backend draws the picture to fill it.
        out.atom = StaticAtom;
        out.style |= SS_BITMAP | SS_REALSIZECONTROL;
        if (s & (ClientEdge | StaticEdge))
            out.style |= SS_SUNKEN;
        break;
    case ControlKind::StatusBar:
        out.className = L"msctls_statusbar32";
        out.exStyle |= WS_EX_TRANSPARENT;
        break;
    case ControlKind::ProgressBar:
        out.className = L"msctls_progress32";
        break;
    case ControlKind::EtchedFrame:
        out.atom = StaticAtom;
        out.style |= SS_ETCHEDFRAME;
        break;
    }
    return out;
}

std::uint32_t DialogStyle(const Dialog& dialog) {
    std::uint32_t style = DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | DS_CENTER | WS_POPUP |
                          WS_CAPTION | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (dialog.closeBox)
        style |= WS_SYSMENU;
    return style;
}

std::uint32_t DialogExStyle(const Dialog&) {
    return WS_EX_CONTROLPARENT;
}

std::vector<std::uint32_t> BuildTemplate(const Dialog& dialog) {
    Words t;
    t.Word(1);      // version
    t.Word(0xFFFF); // extended template
    t.Dword(0);     // help id
    t.Dword(DialogExStyle(dialog));
    t.Dword(DialogStyle(dialog));
    t.Word(static_cast<std::uint16_t>(dialog.controls.size()));
    t.Short(dialog.x);
    t.Short(dialog.y);
    t.Short(dialog.width);
    t.Short(dialog.height);
    t.Word(0); // no menu
    t.Word(0); // the standard dialog class
    t.Text(dialog.title);
    t.Word(static_cast<std::uint16_t>(dialog.font.points));
    t.Word(static_cast<std::uint16_t>(dialog.font.weight));
    t.Word(0x0100); // not italic; DEFAULT_CHARSET
    t.Text(dialog.font.face);

    for (const Control& control : dialog.controls) {
        const ControlStyles styles = StylesOf(control);
        t.AlignToDword();
        t.Dword(0); // help id
        t.Dword(styles.exStyle);
        t.Dword(styles.style);
        t.Short(control.x);
        t.Short(control.y);
        t.Short(control.width);
        t.Short(control.height);
        t.Dword(static_cast<std::uint32_t>(control.id));
        if (styles.className != nullptr) {
            t.WideText(styles.className);
        } else {
            t.Word(0xFFFF);
            t.Word(styles.atom);
        }
        if (control.kind == ControlKind::Picture) {
            t.Word(0xFFFF); // the bitmap resource by number
            t.Word(static_cast<std::uint16_t>(control.resource));
        } else {
            t.Text(control.caption);
        }
        t.Word(0); // no creation data
    }
    return t.Dwords();
}

} // namespace ui::win32
