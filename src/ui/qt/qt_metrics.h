#pragma once
// Dialog units in pixels, and the faces that stand in for the layouts' faces. Everything here
// needs a QApplication.

#include "ui/dialog.h"

#include <QFont>
#include <QRect>

namespace ui {

// Registers the faces shipped inside the program (Liberation Sans regular and bold,
// Liberation Mono) once; later calls do nothing.
void LoadBundledFonts();

// The font that stands in for a layout's font: "MS Sans Serif" becomes Liberation Sans,
// "Courier" Liberation Mono; pixel size trunc(points * logical dpi / 72), weight 700 bold.
QFont QtFont(const Font& font);
int FontPixelSize(int points);

// Dialog base units the way Windows takes them from the dialog font: the width is the
// average advance of "A".."Z" "a".."z", rounded to a whole pixel as Windows rounds it
// ((width of the 52 letters / 26 + 1) / 2); the height is the font's height. Windows makes
// a dialog's own font at -MulDiv(points, dpi, 72), rounded, while the program's fonts are
// truncated; with the bitmap "MS Sans Serif" both land on the same 8-point face, with a
// scalable face they do not. So the units are measured on the dialog font at the rounded
// size (11 px at 8 points and 96 dpi: 6 x 12 units, near the original 6 x 13), while all
// text, the dialog font's included, is drawn at the truncated size (10 px), so 8-point
// text looks alike in every control as it does on Windows.
struct BaseUnits {
    int width = 0;
    int height = 0;
};
BaseUnits DialogBaseUnits(const Font& dialogFont);
// x * width / 4 and y * height / 8, each rounded to the nearest pixel (Windows' MulDiv).
QRect DialogUnitsToPixels(const BaseUnits& units, int x, int y, int width, int height);

// Where a group box draws its title, in pixels: the title's padding starts this far from the
// frame's left edge, and the padding lies on both sides of the title.
inline constexpr int GroupBoxTitleInset = 8;
inline constexpr int GroupBoxTitlePadding = 2;

} // namespace ui
