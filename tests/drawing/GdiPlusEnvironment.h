// The toolkit (GDI+ with it) is started once for the whole test program and shut down after
// the last test, so every GDI+ object a test makes must be gone when its test ends. Helpers to
// make and read bitmaps.
#pragma once

#include "foundation/ImageHelpers.h"

namespace drawing_test {

// A 32-bit ARGB bitmap of the size filled with one colour.
toolkit::GpBitmapPtr MakeSolidBitmap(int width, int height, Gdiplus::ARGB colour);
// Fills an area of a bitmap with one colour, replacing what is there (alpha included).
void PaintArea(Gdiplus::GpBitmap* bitmap, int x, int y, int width, int height,
               Gdiplus::ARGB colour);
// The non-premultiplied ARGB pixel at (x, y).
Gdiplus::ARGB PixelAt(Gdiplus::GpBitmap* bitmap, int x, int y);

inline unsigned AlphaOf(Gdiplus::ARGB colour) {
    return colour >> 24;
}

}  // namespace drawing_test
