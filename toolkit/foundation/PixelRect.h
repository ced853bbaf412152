// Rectangles of pixels and their clipping to a canvas. Every loop that writes a canvas's pixels
// by address clips its rectangle here first, so that no rectangle from outside (an invalidated
// area, a cell position, a dirty region) can reach past the pixel memory it writes.
//
// Window-free, so that the native tests run it under the sanitizers.
#pragma once

#include <algorithm>
#include <cstdint>

namespace toolkit {

// Left and top inclusive, right and bottom exclusive, as Win32's RECT.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr bool Empty() const { return right <= left || bottom <= top; }
    constexpr int Width() const { return Empty() ? 0 : right - left; }
    constexpr int Height() const { return Empty() ? 0 : bottom - top; }
};

constexpr bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The part of the rectangle (x, y, width, height) that lies on a canvas of canvasWidth x
// canvasHeight; an empty rectangle (all zero) when nothing does, or when the canvas has no
// pixels. The arithmetic is done in 64 bits, so that extreme positions and sizes cannot wrap
// around into the canvas.
constexpr PixelRect ClipToCanvas(int64_t x, int64_t y, int64_t width, int64_t height,
                                 int canvasWidth, int canvasHeight) {
    if (canvasWidth <= 0 || canvasHeight <= 0 || width <= 0 || height <= 0) {
        return {};
    }
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(x + width, canvasWidth);
    const int64_t bottom = std::min<int64_t>(y + height, canvasHeight);
    if (right <= left || bottom <= top) {
        return {};
    }
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
            static_cast<int>(bottom)};
}

// The same for a rectangle given by its edges.
constexpr PixelRect ClipToCanvas(const PixelRect& rect, int canvasWidth, int canvasHeight) {
    return ClipToCanvas(rect.left, rect.top, int64_t{rect.right} - rect.left,
                        int64_t{rect.bottom} - rect.top, canvasWidth, canvasHeight);
}

// The smallest rectangle holding both; an empty one adds nothing.
constexpr PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) {
        return b;
    }
    if (b.Empty()) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace toolkit
