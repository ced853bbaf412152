#include "foundation/PixelRect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using toolkit::ClipToCanvas;
using toolkit::PixelRect;

constexpr int kCanvasWidth = 40;
constexpr int kCanvasHeight = 30;
constexpr int64_t kHuge = std::numeric_limits<int32_t>::max();

struct ClipCase {
    const char* what;
    int64_t x, y, width, height;
    PixelRect expected;
};

TEST(PixelRect, ClipsEveryEdgeToTheCanvas) {
    const ClipCase cases[] = {
        {"inside", 3, 4, 5, 6, {3, 4, 8, 10}},
        {"the whole canvas", 0, 0, kCanvasWidth, kCanvasHeight, {0, 0, kCanvasWidth, kCanvasHeight}},
        {"past the left and top", -5, -7, 10, 10, {0, 0, 5, 3}},
        {"past the right and bottom", 35, 25, 10, 10, {35, 25, kCanvasWidth, kCanvasHeight}},
        {"last column and row only", kCanvasWidth - 1, kCanvasHeight - 1, 1, 1,
         {kCanvasWidth - 1, kCanvasHeight - 1, kCanvasWidth, kCanvasHeight}},
        {"touching the right edge from outside", kCanvasWidth, 0, 5, 5, {}},
        {"touching the bottom edge from outside", 0, kCanvasHeight, 5, 5, {}},
        {"ending exactly at the left edge", -5, 0, 5, 5, {}},
        {"zero width", 3, 3, 0, 5, {}},
        {"negative height", 3, 3, 5, -1, {}},
        {"size that would wrap in 32 bits", 10, 10, kHuge, kHuge,
         {10, 10, kCanvasWidth, kCanvasHeight}},
        {"position that would wrap in 32 bits", -kHuge, -kHuge, kHuge + 2, kHuge + 3, {0, 0, 2, 3}},
    };
    for (const ClipCase& c : cases) {
        EXPECT_EQ(ClipToCanvas(c.x, c.y, c.width, c.height, kCanvasWidth, kCanvasHeight),
                  c.expected)
            << c.what;
    }
}

TEST(PixelRect, CanvasWithoutPixelsClipsEverythingAway) {
    EXPECT_TRUE(ClipToCanvas(0, 0, 5, 5, 0, kCanvasHeight).Empty());
    EXPECT_TRUE(ClipToCanvas(0, 0, 5, 5, kCanvasWidth, -1).Empty());
}

TEST(PixelRect, EdgeFormClipsLikeSizeForm) {
    const PixelRect rect{-3, 20, 50, 45};
    EXPECT_EQ(ClipToCanvas(rect, kCanvasWidth, kCanvasHeight),
              (PixelRect{0, 20, kCanvasWidth, kCanvasHeight}));
    const PixelRect inverted{10, 10, 5, 5};
    EXPECT_TRUE(ClipToCanvas(inverted, kCanvasWidth, kCanvasHeight).Empty());
}

TEST(PixelRect, UnionIgnoresEmptyRectangles) {
    const PixelRect a{1, 2, 3, 4};
    const PixelRect b{10, 0, 12, 3};
    EXPECT_EQ(toolkit::UnionRect(a, b), (PixelRect{1, 0, 12, 4}));
    EXPECT_EQ(toolkit::UnionRect(PixelRect{}, b), b);
    EXPECT_EQ(toolkit::UnionRect(a, PixelRect{5, 5, 5, 9}), a);
}

}  // namespace
