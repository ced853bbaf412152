// The memory canvas: its size rules, its pixel layout, and the premultiplied alpha GDI+ leaves
// in it.
#include "foundation/DibCanvas.h"

#include <gtest/gtest.h>

#include <utility>

#include "GdiPlusEnvironment.h"
#include "foundation/Drawing.h"

namespace toolkit {
namespace {

constexpr Gdiplus::ARGB kHalfWhite = 0x80FFFFFF;
constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr std::uint32_t kPremultipliedHalfWhite = 0x80808080;
constexpr std::uint32_t kChannelSlack = 1;

GpGraphicsPtr GraphicsOn(const DibCanvas& canvas) {
    GpGraphicsPtr graphics;
    Gdiplus::DllExports::GdipCreateFromHDC(canvas.Dc(), graphics.put());
    return graphics;
}

void ExpectChannelsNear(std::uint32_t actual, std::uint32_t expected) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(static_cast<std::uint32_t>(std::abs(a - e)), kChannelSlack)
            << std::hex << actual << " against " << expected;
    }
}

TEST(DibCanvas, EmptySizesBecomeOnePixel) {
    DibCanvas canvas(0, -3);
    ASSERT_TRUE(canvas);
    EXPECT_EQ(canvas.Width(), 1);
    EXPECT_EQ(canvas.Height(), 1);
    EXPECT_EQ(canvas.Pixel(0, 0), 0u);  // starts transparent
    EXPECT_EQ(canvas.Pixel(1, 0), 0u);  // outside reads as nothing
}

TEST(DibCanvas, GdiPlusWritesPremultipliedAlpha) {
    DibCanvas canvas(8, 8);
    ASSERT_TRUE(canvas);
    {
        GpGraphicsPtr graphics = GraphicsOn(canvas);
        ASSERT_TRUE(FillRect(graphics.get(), MakeRectF(0, 0, 4, 8), kHalfWhite));
    }
    ExpectChannelsNear(canvas.Pixel(1, 3), kPremultipliedHalfWhite);
    EXPECT_EQ(canvas.Pixel(6, 3), 0u);
}

TEST(DibCanvas, RowsCountFromTheTopInBothLayouts) {
    for (bool topDown : {true, false}) {
        DibCanvas canvas(6, 6, topDown);
        ASSERT_TRUE(canvas);
        {
            GpGraphicsPtr graphics = GraphicsOn(canvas);
            FillRect(graphics.get(), MakeRectF(0, 0, 6, 1), kRed);
        }
        EXPECT_EQ(canvas.Pixel(2, 0), kRed) << "top-down " << topDown;
        EXPECT_EQ(canvas.Pixel(2, 5), 0u) << "top-down " << topDown;
    }
}

TEST(DibCanvas, MovingHandsTheSurfaceOver) {
    DibCanvas first(4, 4);
    ASSERT_TRUE(first);
    HDC dc = first.Dc();
    HBITMAP bitmap = first.Bitmap();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);

    DibCanvas second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Dc(), dc);
    EXPECT_EQ(GetCurrentObject(second.Dc(), OBJ_BITMAP), bitmap);

    second.Reset();
    EXPECT_FALSE(second);
    EXPECT_EQ(GetObjectType(bitmap), 0u);  // the DIB is gone with its DC
}

}  // namespace
}  // namespace toolkit
