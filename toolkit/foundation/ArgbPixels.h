// Pictures in memory the program owns, in GDI+'s own 32-bit ARGB layout (straight alpha,
// 0xAARRGGBB per pixel, rows top-down without padding), and the few pixel operations the map
// view needs: fill, copy and source-over blending of rectangles.
//
// The blend gives exactly what GDI+ itself writes when it draws a picture, a line or a fill onto
// a 32-bit ARGB bitmap, so that a picture built here equals one drawn through GDI+ pixel for
// pixel, while costing a plain loop over memory instead of GDI+'s per-pixel path. Every
// operation clips its rectangles with ClipToCanvas first.
//
// Window-free, so that the native tests run it under the sanitizers.
#pragma once

#include "PixelRect.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace toolkit {

class ArgbPixels {
public:
    // The largest picture made, in pixels (256 MB of memory); larger requests fail.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

    ArgbPixels() = default;
    // Not copied: a copy may not fit in memory, and a copy constructor could only say so by
    // throwing.
    ArgbPixels(const ArgbPixels&) = delete;
    ArgbPixels& operator=(const ArgbPixels&) = delete;
    // The memory moves with the picture (a GDI+ bitmap over it stays valid); the source is
    // left empty, not with a size and no pixels.
    ArgbPixels(ArgbPixels&& other) noexcept { *this = std::move(other); }
    ArgbPixels& operator=(ArgbPixels&& other) noexcept {
        if (this != &other) {
            m_pixels = std::move(other.m_pixels);
            m_width = std::exchange(other.m_width, 0);
            m_height = std::exchange(other.m_height, 0);
            other.m_pixels.clear();
        }
        return *this;
    }

    // A width x height picture with every pixel set to fill. Memory of the same size is reused.
    // False, leaving an empty picture, when a side is not positive, the size is too large or the
    // memory is not there.
    bool Make(std::int64_t width, std::int64_t height, std::uint32_t fill = 0);
    void Reset();

    bool Empty() const { return m_pixels.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Bytes from one row to the next.
    int Stride() const { return m_width * static_cast<int>(sizeof(std::uint32_t)); }

    std::uint32_t* Data() { return m_pixels.data(); }
    const std::uint32_t* Data() const { return m_pixels.data(); }
    // The pixel at (x, y); 0 (transparent) outside the picture.
    std::uint32_t At(std::int64_t x, std::int64_t y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

// What GDI+ writes into a straight-alpha ARGB pixel bg when it draws fg over it: an opaque fg
// replaces bg, a transparent one leaves it, anything between is mixed in whole numbers,
// truncated at each step as GDI+ does.
constexpr std::uint32_t BlendOver(std::uint32_t bg, std::uint32_t fg) {
    const std::uint32_t fgAlpha = fg >> 24;
    if (fgAlpha == 0xFF) {
        return fg;
    }
    if (fgAlpha == 0) {
        return bg;
    }
    const std::uint32_t bgAlpha = (bg >> 24) * (0xFF - fgAlpha) / 0xFF;
    if (bgAlpha == 0) {
        return fg;
    }
    const std::uint32_t alpha = bgAlpha + fgAlpha;
    std::uint32_t result = alpha << 24;
    for (const int shift : {16, 8, 0}) {
        const std::uint32_t mixed =
            (((bg >> shift) & 0xFF) * bgAlpha + ((fg >> shift) & 0xFF) * fgAlpha) / alpha;
        result |= mixed << shift;
    }
    return result;
}

// Sets every pixel of the rectangle to colour (what GDI+'s source-copy mode writes).
void FillPixels(ArgbPixels& canvas, const PixelRect& rect, std::uint32_t colour);

// The width x height pixels of source at (sourceX, sourceY) are written at (x, y) of canvas:
// copied as they are, or blended over what lies there as GDI+ draws a picture.
void CopyPixels(ArgbPixels& canvas, std::int64_t x, std::int64_t y, const ArgbPixels& source,
                std::int64_t sourceX, std::int64_t sourceY, std::int64_t width,
                std::int64_t height);
void BlendPixels(ArgbPixels& canvas, std::int64_t x, std::int64_t y, const ArgbPixels& source,
                 std::int64_t sourceX, std::int64_t sourceY, std::int64_t width,
                 std::int64_t height);

// True when every pixel of the picture is opaque; an opaque picture drawn over anything is a
// plain copy.
bool IsOpaque(const ArgbPixels& picture);

}  // namespace toolkit
