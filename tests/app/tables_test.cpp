// Every dialog table as it is written down, against tests/golden/app/dialog_tables.txt: the
// titles, sizes, fonts, ids, captions, places, styles and colours that the dialogs must keep.
// (The backends' own tests check that each is built as its table says.)

#include "support/all_dialogs.h"
#include "support/golden.h"

#include <gtest/gtest.h>

namespace {

std::string Colour(const std::optional<ui::Rgb>& rgb) {
    return rgb ? std::to_string(rgb->red) + "," + std::to_string(rgb->green) + "," +
                     std::to_string(rgb->blue)
               : "-";
}

TEST(DialogTables, AreAsWrittenDown) {
    std::string out;
    for (const ui::Dialog& d : AllDialogs()) {
        out += "== " + d.title + " at " + std::to_string(d.x) + "," + std::to_string(d.y) +
               " size " + std::to_string(d.width) + "x" + std::to_string(d.height) + " close box " +
               std::to_string(d.closeBox) + " Esc closes " + std::to_string(d.escapeCloses) +
               " background " + Colour(d.background) + "\n";
        std::vector<ui::Font> fonts{d.font};
        fonts.insert(fonts.end(), d.fonts.begin(), d.fonts.end());
        for (const ui::Font& f : fonts)
            out += "font " + f.face + " " + std::to_string(f.points) + " " +
                   std::to_string(f.weight) + (f.underline ? " underlined" : "") + "\n";
        for (const ui::Control& c : d.controls)
            out += std::to_string(c.id) + " kind " + std::to_string(int(c.kind)) + " \"" +
                   c.caption + "\" " + std::to_string(c.x) + "," + std::to_string(c.y) + "," +
                   std::to_string(c.width) + "," + std::to_string(c.height) + " style " +
                   std::to_string(c.style) + " font " + std::to_string(c.font) + " colours " +
                   Colour(c.background) + "/" + Colour(c.textColor) + " resource " +
                   std::to_string(c.resource) + " " + c.accessibleName + "\n";
    }
    ExpectGolden("app/dialog_tables.txt", out);
}

} // namespace
