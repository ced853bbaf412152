// The pixel operations of the program's own pictures: clipping of every copy at both pictures'
// edges, and the blend's rules for opaque, transparent and see-through pixels. (That the blend
// equals GDI+'s is checked against GDI+ itself in the map view's tests.)
#include "foundation/ArgbPixels.h"

#include <gtest/gtest.h>

#include <new>

#ifdef _WIN32
#include "support/AddressSpaceHold.h"
#endif

namespace {

using toolkit::ArgbPixels;

constexpr std::uint32_t kOpaqueRed = 0xFFFF0000;
constexpr std::uint32_t kOpaqueBlue = 0xFF0000FF;
constexpr std::uint32_t kHalfGreen = 0x8000FF00;
constexpr std::uint32_t kClearWhite = 0x00FFFFFF;
constexpr int kSide = 4;

TEST(ArgbPixels, BlendRules) {
    struct Case {
        std::uint32_t bg, fg, expected;
    };
    const Case cases[] = {
        {kOpaqueRed, kOpaqueBlue, kOpaqueBlue},  // opaque replaces
        {kOpaqueRed, kClearWhite, kOpaqueRed},   // transparent leaves
        {0, kHalfGreen, kHalfGreen},             // over nothing: itself
        {kClearWhite, kHalfGreen, kHalfGreen},   // over a transparent colour: itself
        // 0x80 over opaque red: bg alpha 255 * 127 / 255 = 127, alpha 255; red 255 * 127 / 255,
        // green 255 * 128 / 255, both truncated.
        {kOpaqueRed, kHalfGreen, 0xFF7F8000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toolkit::BlendOver(c.bg, c.fg), c.expected) << std::hex << c.bg << " " << c.fg;
    }
}

TEST(ArgbPixels, MakeRefusesEmptyAndHugeSizes) {
    ArgbPixels pixels;
    EXPECT_FALSE(pixels.Make(0, kSide));
    EXPECT_FALSE(pixels.Make(kSide, -1));
    EXPECT_FALSE(pixels.Make(ArgbPixels::kMaxPixels, 2));
    EXPECT_TRUE(pixels.Empty());
    ASSERT_TRUE(pixels.Make(kSide, kSide, kOpaqueRed));
    EXPECT_EQ(pixels.At(kSide - 1, kSide - 1), kOpaqueRed);
    EXPECT_EQ(pixels.At(kSide, 0), 0u);
    EXPECT_EQ(pixels.At(-1, 0), 0u);
}

// Out of memory, making a picture fails as its contract says instead of throwing: a throw would
// cross the window procedure that asked for the picture.
TEST(ArgbPixels, MakeFailsWhenMemoryRunsOut) {
#ifdef _WIN32
    // No free stretch of 16 MB is left; the picture asks for 64 MB.
    constexpr std::size_t kHeldStretch = std::size_t{16} << 20;
    constexpr std::int64_t kLargeSide = 4096;
    // The programs end when memory runs out (the toolkit's new-handler); a picture too large for
    // the memory left must still be only a refusal there, so the handler is never asked.
    static bool handlerAsked = false;
    const std::new_handler programs = std::set_new_handler([] {
        handlerAsked = true;
        throw std::bad_alloc();
    });
    ArgbPixels pixels;
    ASSERT_TRUE(pixels.Make(kSide, kSide, kOpaqueRed));
    {
        const test_support::AddressSpaceHold hold(kHeldStretch);
        ASSERT_TRUE(hold.Holding());
        EXPECT_FALSE(pixels.Make(kLargeSide, kLargeSide));
    }
    EXPECT_TRUE(pixels.Empty());
    EXPECT_EQ(pixels.Width(), 0);
    // Once memory is back, the picture can be made.
    EXPECT_TRUE(pixels.Make(kLargeSide, kLargeSide));
    EXPECT_FALSE(handlerAsked);
    std::set_new_handler(programs);
#else
    GTEST_SKIP() << "a 64-bit process has too much address space to run out of";
#endif
}

TEST(ArgbPixels, CopiesAreClippedAtBothPicturesEdges) {
    struct Case {
        std::int64_t x, y, sourceX, sourceY, width, height;
        int changed;  // pixels of the canvas the copy writes
    };
    const Case cases[] = {
        {0, 0, 0, 0, kSide, kSide, kSide * kSide},
        {-2, -2, 0, 0, kSide, kSide, 4},            // off the canvas's top-left
        {3, 3, 0, 0, kSide, kSide, 1},              // off its bottom-right
        {0, 0, 3, 3, kSide, kSide, 1},              // off the source's bottom-right
        {0, 0, -3, 0, kSide, kSide, 4},             // off the source's left
        {INT32_MAX - 1, 0, 0, 0, kSide, kSide, 0},  // far away, no wrap-around
        {0, 0, INT32_MIN + 1, 0, kSide, kSide, 0},
        {0, 0, 0, 0, -1, kSide, 0},
    };
    ArgbPixels source;
    ASSERT_TRUE(source.Make(kSide, kSide, kOpaqueBlue));
    for (const Case& c : cases) {
        ArgbPixels canvas;
        ASSERT_TRUE(canvas.Make(kSide, kSide));
        toolkit::CopyPixels(canvas, c.x, c.y, source, c.sourceX, c.sourceY, c.width, c.height);
        int changed = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                changed += canvas.At(x, y) == kOpaqueBlue ? 1 : 0;
            }
        }
        EXPECT_EQ(changed, c.changed)
            << c.x << "," << c.y << " from " << c.sourceX << "," << c.sourceY;
    }
}

TEST(ArgbPixels, BlendWritesEachPixelOverWhatLiesThere) {
    ArgbPixels canvas;
    ArgbPixels source;
    ASSERT_TRUE(canvas.Make(2, 1, kOpaqueRed));
    ASSERT_TRUE(source.Make(2, 1, kHalfGreen));
    toolkit::FillPixels(source, {1, 0, 2, 1}, kClearWhite);
    toolkit::BlendPixels(canvas, 0, 0, source, 0, 0, 2, 1);
    EXPECT_EQ(canvas.At(0, 0), toolkit::BlendOver(kOpaqueRed, kHalfGreen));
    EXPECT_EQ(canvas.At(1, 0), kOpaqueRed);
    EXPECT_FALSE(toolkit::IsOpaque(source));
    EXPECT_TRUE(toolkit::IsOpaque(canvas));
}

}  // namespace

namespace {

TEST(ArgbPixels, AMovedPictureKeepsItsMemoryAndLeavesNothingBehind) {
    ArgbPixels source;
    ASSERT_TRUE(source.Make(kSide, kSide, kOpaqueRed));
    const std::uint32_t* memory = source.Data();
    ArgbPixels target = std::move(source);
    EXPECT_EQ(target.Data(), memory);
    EXPECT_EQ(target.At(kSide - 1, kSide - 1), kOpaqueRed);
    EXPECT_TRUE(source.Empty());
    EXPECT_EQ(source.Width(), 0);
    EXPECT_EQ(source.At(0, 0), 0u);
}

}  // namespace
