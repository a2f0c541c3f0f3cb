#pragma once
// The program's picture at the size of its control, whatever the screen's resolution: drawn
// from the bitmap resource, or from the same picture drawn at twice its size (resource number
// + DoubleSizePicture) when that is nearer, and scaled smoothly.

#include <windows.h>

namespace ui::win32 {

inline constexpr int DoubleSizePicture = 1000;

// A 24-bit bitmap of `width` x `height` pixels, or null when the resource is missing. The
// caller deletes it.
HBITMAP ScaledPicture(HINSTANCE instance, int resource, int width, int height);

} // namespace ui::win32
