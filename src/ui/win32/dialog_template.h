#pragma once
// A dialog table as an in-memory extended dialog template (DLGTEMPLATEEX), so that Windows
// itself turns dialog units into pixels from the dialog font, and does mnemonics and the tab
// order. Data only: building it calls no window function.

#include "ui/dialog.h"

#include <cstdint>
#include <vector>

namespace ui::win32 {

// Window styles and extended styles of a control, and its window class.
struct ControlStyles {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::uint16_t atom = 0; // 0x80 button, 0x81 edit, 0x82 static; 0 for `className`
    const wchar_t* className = nullptr;
};
ControlStyles StylesOf(const Control& control);

// The dialog window's styles: a pop-up with caption and modal frame, 3-D look, centred,
// clipping its siblings, with the control-parent extended style; a system menu (and with it
// the close box) when the table asks for one.
std::uint32_t DialogStyle(const Dialog& dialog);
std::uint32_t DialogExStyle(const Dialog& dialog);

// The template, DWORD-aligned as DialogBoxIndirectParamW wants it.
std::vector<std::uint32_t> BuildTemplate(const Dialog& dialog);

} // namespace ui::win32
