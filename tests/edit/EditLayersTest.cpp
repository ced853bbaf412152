// The Edit's text and caret layers on its canvas, window-free: every buffer has exactly its
// pixels, so that under the sanitizers a write or read past one faults here.
#include "controls/EditLayers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using toolkit::ComposeTextLayers;
using toolkit::FillCaretLayer;
using toolkit::PixelLayer;
using toolkit::PixelRect;
using toolkit::PrepareTextLayer;

constexpr int kWidth = 12;
constexpr int kHeight = 7;
constexpr int kHuge = std::numeric_limits<int>::max();
constexpr std::uint32_t kClear = 0;
constexpr std::uint32_t kField = 0xFF336699u;
constexpr std::uint32_t kInkRgb = 0x00102030u;  // as GDI leaves it: no alpha
constexpr std::uint32_t kCaret = 0xFF000000u;
constexpr std::uint32_t kStale = 0x00ABCDEFu;

struct Buffer {
    Buffer(int width, int height, std::uint32_t fill)
        : pixels(static_cast<std::size_t>(width) * height, fill), width(width), height(height) {}
    PixelLayer Layer() { return {pixels.data(), width, height}; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::vector<std::uint32_t> pixels;
    int width;
    int height;
};

bool Inside(const PixelRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

struct AreaCase {
    const char* what;
    PixelRect area;
    PixelRect expected;  // the part that is composed
};

const AreaCase kAreas[] = {
    {"inside", {2, 1, 6, 4}, {2, 1, 6, 4}},
    {"the whole canvas", {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}},
    {"the last column and row",
     {kWidth - 1, kHeight - 1, kWidth, kHeight},
     {kWidth - 1, kHeight - 1, kWidth, kHeight}},
    {"past the right and bottom", {8, 4, kWidth + 4, kHeight + 3}, {8, 4, kWidth, kHeight}},
    {"past the left and top", {-3, -2, 3, 2}, {0, 0, 3, 2}},
    {"touching the right edge from outside", {kWidth, 0, kWidth + 5, kHeight}, {}},
    {"below the canvas", {0, kHeight, kWidth, kHeight + 1}, {}},
    {"huge", {-kHuge, -kHuge, kHuge, kHuge}, {0, 0, kWidth, kHeight}},
    {"inverted", {6, 5, 2, 1}, {}},
};

// The services draw one ink pixel in every prepared pixel of an even column; the odd columns
// stay as prepared. Composing then takes exactly the inked pixels, and the caret over them.
TEST(EditLayers, ComposeTouchesOnlyTheClippedAreaAndOnlyDrawnPixels) {
    for (const AreaCase& c : kAreas) {
        SCOPED_TRACE(c.what);
        Buffer canvas(kWidth, kHeight, kField);
        Buffer text(kWidth, kHeight, kStale);
        Buffer caret(kWidth, kHeight, kClear);
        caret.At(kWidth - 1, 0) = kCaret;

        EXPECT_EQ(PrepareTextLayer(canvas.Layer(), text.Layer(), c.area), c.expected);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (Inside(c.expected, x, y) && x % 2 == 0) {
                    text.At(x, y) = kInkRgb;
                }
            }
        }
        ComposeTextLayers(canvas.Layer(), text.Layer(), caret.Layer(), c.area);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                std::uint32_t want = kField;
                if (Inside(c.expected, x, y)) {
                    want = x % 2 == 0 ? kInkRgb | toolkit::kEditOpaque : kField;
                    if (caret.At(x, y) != kClear) {
                        want = kCaret;
                    }
                }
                ASSERT_EQ(canvas.At(x, y), want) << "at " << x << "," << y;
            }
        }
    }
}

// A transparent field stays transparent where nothing was drawn, and dark ink on it is taken
// although its colour equals the field's.
TEST(EditLayers, DarkInkOnAClearFieldIsTakenAndTheFieldStaysClear) {
    Buffer canvas(kWidth, kHeight, kClear);
    Buffer text(kWidth, kHeight, kStale);
    const PixelRect all{0, 0, kWidth, kHeight};
    PrepareTextLayer(canvas.Layer(), text.Layer(), all);
    text.At(1, 1) = 0;  // black ink
    ComposeTextLayers(canvas.Layer(), text.Layer(), {}, all);
    EXPECT_EQ(canvas.At(1, 1), toolkit::kEditOpaque);
    EXPECT_EQ(canvas.At(2, 1), kClear);
}

// While the element is resized its canvas and its layers can differ in size for a moment.
TEST(EditLayers, LayersOfAnotherSizeThanTheCanvasStayWithinBoth) {
    constexpr int kSmall = 5;
    const PixelRect all{0, 0, kWidth, kHeight};
    {
        Buffer canvas(kWidth, kHeight, kField);
        Buffer text(kSmall, kSmall, kStale);
        Buffer caret(kSmall, kSmall, kCaret);
        EXPECT_EQ(PrepareTextLayer(canvas.Layer(), text.Layer(), all),
                  (PixelRect{0, 0, kSmall, kSmall}));
        ComposeTextLayers(canvas.Layer(), text.Layer(), caret.Layer(), all);
        EXPECT_EQ(canvas.At(kSmall - 1, kSmall - 1), kCaret);
        EXPECT_EQ(canvas.At(kSmall, kSmall - 1), kField);
    }
    {
        Buffer canvas(kSmall, kSmall, kField);
        Buffer text(kWidth, kHeight, kStale);
        Buffer caret(kWidth, kHeight, kCaret);
        PrepareTextLayer(canvas.Layer(), text.Layer(), all);
        ComposeTextLayers(canvas.Layer(), text.Layer(), caret.Layer(), all);
        EXPECT_EQ(canvas.At(kSmall - 1, kSmall - 1), kCaret);
        EXPECT_EQ(text.At(kSmall, 0), kStale) << "nothing prepared outside the canvas";
    }
}

TEST(EditLayers, CaretFillClearsTheLayerAndClipsTheCaret) {
    const struct {
        const char* what;
        PixelRect caret;
        PixelRect expected;
    } cases[] = {
        {"inside", {3, 1, 4, 5}, {3, 1, 4, 5}},
        {"at the right edge", {kWidth - 1, 0, kWidth, kHeight}, {kWidth - 1, 0, kWidth, kHeight}},
        {"past the right edge", {kWidth, 0, kWidth + 1, kHeight}, {}},
        {"taller than the layer", {0, -4, 1, kHeight + 4}, {0, 0, 1, kHeight}},
        {"nothing (an erase)", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Buffer caret(kWidth, kHeight, kStale);
        EXPECT_EQ(FillCaretLayer(caret.Layer(), c.caret, kCaret), c.expected);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                ASSERT_EQ(caret.At(x, y), Inside(c.expected, x, y) ? kCaret : kClear)
                    << "at " << x << "," << y;
            }
        }
    }
}

}  // namespace
