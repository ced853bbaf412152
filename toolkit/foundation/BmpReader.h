// A reader for the plain BMP files the program ships (uncompressed, 24-bit or 8-bit with a
// palette, bottom-up or top-down), giving the pixels, pixel format and resolution GDI+ gives for
// the same file. It reads only memory, touches no GDI+ or window object and keeps no state, so
// several threads may decode at once. Anything it does not know (other headers, depths or
// compressions, a palette index past the palette, a short file) it declines, and the caller
// hands the file to GDI+ instead.
//
// Window-free, so that the native tests and the fuzz run check it under the sanitizers.
#pragma once

#include "ArgbPixels.h"

#include <cstddef>
#include <cstdint>

namespace toolkit {

// GDI+'s pixel format values for the files the reader decodes (pinned against gdiplus.h where
// GDI+ is at hand).
constexpr std::uint32_t kBmpFormat8bppIndexed = 0x00030803;
constexpr std::uint32_t kBmpFormat24bppRgb = 0x00021808;

struct DecodedBmp {
    ArgbPixels pixels;         // as GDI+ reads them out in 32-bit ARGB: every pixel opaque
    std::uint32_t format = 0;  // the format GDI+ reports for the file
    float dpiX = 0;            // the resolution GDI+ reports, in dots per inch
    float dpiY = 0;
};

// False, leaving out unchanged, when the bytes are not a BMP this reader decodes completely.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, DecodedBmp& out);

// True when the bytes are a BMP (of any kind) whose pixel data would start at or past their end:
// a file with no pixels in it, whatever its headers say.
bool BmpPixelsStartPastEnd(const std::uint8_t* data, std::size_t size);

}  // namespace toolkit
