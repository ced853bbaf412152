// The Edit's two pixel layers and how they reach its canvas. The text services draw into a text
// layer the size of the Edit, and the Edit's own caret lives in a caret layer of the same size;
// both are put onto the element canvas by the routines here.
//
// Window-free, so that the native tests run them under the sanitizers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "foundation/PixelRect.h"

namespace toolkit {

// The alpha byte marks the text-layer pixels that the services have not drawn: GDI drawing
// into a 32-bit DIB writes 0 there, so a marked pixel that lost its mark was drawn.
constexpr std::uint32_t kEditUndrawnMark = 0xFF000000u;
constexpr std::uint32_t kEditOpaque = 0xFF000000u;

// A pixel layer of width x height pixels, rows from the top.
struct PixelLayer {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Copies the area of the canvas into the text layer with every pixel marked as undrawn, before
// the services draw over it. Returns the part of the area that lies on both layers.
inline PixelRect PrepareTextLayer(const PixelLayer& canvas, const PixelLayer& text,
                                  const PixelRect& area) {
    const PixelRect clipped =
        ClipToCanvas(ClipToCanvas(area, canvas.width, canvas.height), text.width, text.height);
    if (canvas.pixels == nullptr || text.pixels == nullptr) {
        return {};
    }
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        const std::uint32_t* from = canvas.pixels + static_cast<std::size_t>(y) * canvas.width;
        std::uint32_t* to = text.pixels + static_cast<std::size_t>(y) * text.width;
        for (int x = clipped.left; x < clipped.right; ++x) {
            to[x] = from[x] | kEditUndrawnMark;
        }
    }
    return clipped;
}

// Takes back onto the canvas, inside the area, the text-layer pixels that the services drew
// (made opaque), then the caret layer's pixels over them. The canvas keeps its own pixels, alpha
// included, wherever neither layer has anything, so a transparent field stays transparent.
inline void ComposeTextLayers(const PixelLayer& canvas, const PixelLayer& text,
                              const PixelLayer& caret, const PixelRect& area) {
    if (canvas.pixels == nullptr || text.pixels == nullptr) {
        return;
    }
    const PixelRect clipped =
        ClipToCanvas(ClipToCanvas(area, canvas.width, canvas.height), text.width, text.height);
    const bool withCaret = caret.pixels != nullptr;
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        std::uint32_t* to = canvas.pixels + static_cast<std::size_t>(y) * canvas.width;
        const std::uint32_t* drawn = text.pixels + static_cast<std::size_t>(y) * text.width;
        const std::uint32_t* caretRow =
            withCaret && y < caret.height ? caret.pixels + static_cast<std::size_t>(y) * caret.width
                                          : nullptr;
        for (int x = clipped.left; x < clipped.right; ++x) {
            if ((drawn[x] & kEditUndrawnMark) != kEditUndrawnMark) {
                to[x] = drawn[x] | kEditOpaque;
            }
            if (caretRow != nullptr && x < caret.width && caretRow[x] != 0) {
                to[x] = caretRow[x];
            }
        }
    }
}

// Clears the caret layer and fills the rectangle's part of it with the colour. Returns that
// part, empty when the rectangle lies off the layer.
inline PixelRect FillCaretLayer(const PixelLayer& caret, const PixelRect& rect,
                                std::uint32_t colour) {
    if (caret.pixels == nullptr || caret.width <= 0 || caret.height <= 0) {
        return {};
    }
    std::fill_n(caret.pixels, static_cast<std::size_t>(caret.width) * caret.height, 0u);
    const PixelRect clipped = ClipToCanvas(rect, caret.width, caret.height);
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        std::uint32_t* row = caret.pixels + static_cast<std::size_t>(y) * caret.width;
        std::fill(row + clipped.left, row + clipped.right, colour);
    }
    return clipped;
}

}  // namespace toolkit
