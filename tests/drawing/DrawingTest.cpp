// The drawing helpers, checked by the pixels they leave in memory bitmaps.
#include "foundation/Drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "GdiPlusEnvironment.h"
#include "foundation/Toolkit.h"

namespace toolkit {
namespace {

using drawing_test::AlphaOf;
using drawing_test::MakeSolidBitmap;
using drawing_test::PaintArea;
using drawing_test::PixelAt;
using Gdiplus::ARGB;
using Gdiplus::RectF;

constexpr ARGB kTransparent = 0x00000000;
constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kGreen = 0xFF00FF00;
constexpr ARGB kBlue = 0xFF0000FF;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kYellow = 0xFFFFFF00;
constexpr ARGB kCyan = 0xFF00FFFF;
constexpr ARGB kMagenta = 0xFFFF00FF;
constexpr int kHalfAlpha = 128;
// Blending and resampling may round either way by one step.
constexpr int kChannelSlack = 1;

// A transparent target bitmap and its graphics.
struct Target {
    explicit Target(int width, int height)
        : bitmap(CreateBitmap(width, height)), graphics(GetImageGraphics(bitmap.get())) {
        ClearGraphics(graphics.get(), kTransparent);
    }
    ARGB At(int x, int y) {
        Gdiplus::DllExports::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
        return PixelAt(bitmap.get(), x, y);
    }
    GpBitmapPtr bitmap;
    GpGraphicsPtr graphics;
};

TEST(Drawing, FillRectCoversExactlyItsRectangle) {
    Target target(20, 20);
    ASSERT_TRUE(FillRect(target.graphics.get(), MakeRectF(5, 5, 10, 10), kRed));
    EXPECT_EQ(target.At(5, 5), kRed);
    EXPECT_EQ(target.At(14, 14), kRed);
    EXPECT_EQ(target.At(4, 5), kTransparent);
    EXPECT_EQ(target.At(15, 14), kTransparent);
    EXPECT_EQ(target.At(14, 15), kTransparent);
}

TEST(Drawing, LinesAndPolygonsLandWhereAsked) {
    Target target(40, 40);
    ASSERT_TRUE(DrawLine(target.graphics.get(), kBlue, 2, 10, 37, 10));
    EXPECT_EQ(target.At(20, 10), kBlue);
    EXPECT_EQ(target.At(20, 14), kTransparent);

    const std::vector<Gdiplus::PointF> triangle = {{0, 20}, {30, 20}, {0, 39}};
    ASSERT_TRUE(FillPolygonPoints(target.graphics.get(), triangle, kGreen));
    EXPECT_EQ(target.At(5, 25), kGreen);
    EXPECT_EQ(target.At(28, 37), kTransparent);

    const std::vector<Gdiplus::PointF> square = {{20, 24}, {36, 24}, {36, 36}, {20, 36}};
    ASSERT_TRUE(DrawPolygonPoints(target.graphics.get(), square, kRed));
    EXPECT_EQ(target.At(36, 30), kRed);
    EXPECT_EQ(target.At(30, 30), kTransparent);

    EXPECT_FALSE(FillPolygonPoints(target.graphics.get(), {}, kGreen));
    EXPECT_FALSE(DrawLine(nullptr, kBlue, 0, 0, 1, 1));
}

TEST(Drawing, GradientLineRunsFromFirstColourToSecond) {
    Target target(100, 10);
    ASSERT_TRUE(DrawGradientLine(target.graphics.get(), kRed, kBlue, 0, 5, 99, 5, 3));
    const ARGB nearStart = target.At(5, 5);
    const ARGB nearEnd = target.At(94, 5);
    EXPECT_GT((nearStart >> 16) & 0xFF, nearStart & 0xFF);  // mostly red
    EXPECT_GT(nearEnd & 0xFF, (nearEnd >> 16) & 0xFF);      // mostly blue
}

TEST(Drawing, RoundRectOutlineStaysInsideAndRoundsTheCorners) {
    constexpr float kWidth = 40;
    constexpr float kHeight = 30;
    constexpr float kDiameter = 12;
    Target target(48, 38);
    ASSERT_TRUE(DrawRoundRectOutline(target.graphics.get(), MakeRectF(0, 0, kWidth, kHeight),
                                     kDiameter, kRed));
    EXPECT_EQ(AlphaOf(target.At(20, 0)), 255u);   // top edge
    EXPECT_EQ(AlphaOf(target.At(39, 15)), 255u);  // right edge, one pixel inside
    EXPECT_EQ(AlphaOf(target.At(20, 29)), 255u);  // bottom edge, one pixel inside
    EXPECT_EQ(target.At(41, 15), kTransparent);   // nothing outside the rectangle
    EXPECT_EQ(target.At(0, 0), kTransparent);     // the corner is cut
    EXPECT_EQ(target.At(20, 15), kTransparent);   // an outline, not a fill

    GpPathPtr square = CreateRoundRectPath(MakeRectF(0, 0, kWidth, kHeight), 0);
    EXPECT_TRUE(square);
}

// A 30 x 30 picture cut by 10-pixel margins: four corner colours, edges white, centre green.
GpBitmapPtr MakeGridPicture() {
    GpBitmapPtr picture = MakeSolidBitmap(30, 30, kWhite);
    PaintArea(picture.get(), 0, 0, 10, 10, kRed);
    PaintArea(picture.get(), 20, 0, 10, 10, kBlue);
    PaintArea(picture.get(), 0, 20, 10, 10, kYellow);
    PaintArea(picture.get(), 20, 20, 10, 10, kMagenta);
    PaintArea(picture.get(), 10, 10, 10, 10, kGreen);
    return picture;
}

TEST(Drawing, NineGridKeepsCornersAndStretchesTheRest) {
    constexpr float kMargin = 10;
    const GridMargins margins{kMargin, kMargin, kMargin, kMargin};
    GpBitmapPtr picture = MakeGridPicture();
    Target target(100, 70);
    ASSERT_TRUE(DrawImageEx(target.graphics.get(), picture.get(), MakeRectF(0, 0, 100, 70),
                            MakeRectF(0, 0, 0, 0), false, kDrawNineGrid, &margins));
    // Corners keep their 10 x 10 source size in the destination's corners.
    EXPECT_EQ(target.At(1, 1), kRed);
    EXPECT_EQ(target.At(8, 8), kRed);
    EXPECT_EQ(target.At(98, 1), kBlue);
    EXPECT_EQ(target.At(91, 8), kBlue);
    EXPECT_EQ(target.At(1, 68), kYellow);
    EXPECT_EQ(target.At(98, 68), kMagenta);
    // Edges and centre are stretched over what lies between.
    EXPECT_EQ(target.At(50, 4), kWhite);
    EXPECT_EQ(target.At(4, 35), kWhite);
    EXPECT_EQ(target.At(50, 35), kGreen);
    // Stretched pieces blend with their neighbours over about half a source pixel at the seams.
    EXPECT_EQ(target.At(20, 18), kGreen);
    EXPECT_EQ(target.At(80, 52), kGreen);
}

TEST(Drawing, NineGridWiderThanItsDestinationDrawsNoMirroredPieces) {
    const GridMargins margins{20, 20, 20, 20};
    GpBitmapPtr picture = MakeGridPicture();
    Target target(40, 40);
    DrawImageNineGrid(target.graphics.get(), picture.get(), MakeRectF(5, 5, 30, 30), margins);
    // Nothing lands outside the destination.
    EXPECT_EQ(target.At(2, 20), kTransparent);
    EXPECT_EQ(target.At(37, 20), kTransparent);
}

// Clips made of rectangles (x, y, width, height), joined; the destination is 120 x 80 at
// (4, 6) with margins of 10, so its pieces meet at x 14 and 114 and y 16 and 76.
struct NineGridClip {
    const char* name;
    std::vector<RectF> parts;
};

TEST(Drawing, NineGridUnderAClipDrawsWhatItDrawsWithoutOne) {
    constexpr float kMargin = 10;
    const GridMargins margins{kMargin, kMargin, kMargin, kMargin};
    const RectF destination = MakeRectF(4, 6, 120, 80);
    constexpr int kTargetWidth = 130;
    constexpr int kTargetHeight = 90;
    const NineGridClip clips[] = {
        // The ring around the centre, as a window's shadow is clipped.
        {"ring",
         {MakeRectF(0, 0, 130, 17), MakeRectF(0, 75, 130, 15), MakeRectF(0, 17, 15, 58),
          MakeRectF(113, 17, 17, 58)}},
        {"one corner", {MakeRectF(0, 0, 12, 12)}},
        {"inside the centre", {MakeRectF(40, 30, 30, 20)}},
        {"across an edge and the centre", {MakeRectF(50, 10, 20, 30)}},
        {"along a seam", {MakeRectF(13, 0, 2, 90)}},
    };
    GpBitmapPtr picture = MakeGridPicture();
    Target whole(kTargetWidth, kTargetHeight);
    ASSERT_TRUE(DrawImageNineGrid(whole.graphics.get(), picture.get(), destination, margins));
    for (const NineGridClip& clip : clips) {
        SCOPED_TRACE(clip.name);
        Target clipped(kTargetWidth, kTargetHeight);
        Gdiplus::DllExports::GdipSetClipRect(clipped.graphics.get(), 0, 0, 0, 0,
                                             Gdiplus::CombineModeReplace);
        for (const RectF& part : clip.parts) {
            Gdiplus::DllExports::GdipSetClipRect(clipped.graphics.get(), part.X, part.Y, part.Width,
                                                 part.Height, Gdiplus::CombineModeUnion);
        }
        DrawImageNineGrid(clipped.graphics.get(), picture.get(), destination, margins);
        for (const RectF& part : clip.parts) {
            for (int y = static_cast<int>(part.Y); y < static_cast<int>(part.Y + part.Height);
                 ++y) {
                for (int x = static_cast<int>(part.X); x < static_cast<int>(part.X + part.Width);
                     ++x) {
                    ASSERT_EQ(clipped.At(x, y), whole.At(x, y)) << x << ", " << y;
                }
            }
        }
    }
}

TEST(Drawing, PlacementModes) {
    GpBitmapPtr picture = MakeSolidBitmap(10, 10, kRed);
    const RectF destination = MakeRectF(5, 5, 30, 30);
    const RectF whole = MakeRectF(0, 0, 0, 0);
    {
        Target target(40, 40);
        ASSERT_TRUE(DrawImageEx(target.graphics.get(), picture.get(), destination, whole, false,
                                kDrawNatural));
        EXPECT_EQ(target.At(5, 5), kRed);
        EXPECT_EQ(target.At(14, 14), kRed);
        EXPECT_EQ(target.At(16, 16), kTransparent);
    }
    {
        Target target(40, 40);
        ASSERT_TRUE(DrawImageEx(target.graphics.get(), picture.get(), destination, whole, false,
                                kDrawCentred));
        EXPECT_EQ(target.At(15, 15), kRed);  // (30 - 10) / 2 = 10 in from the corner
        EXPECT_EQ(target.At(24, 24), kRed);
        EXPECT_EQ(target.At(12, 20), kTransparent);
        EXPECT_EQ(target.At(27, 20), kTransparent);
    }
    {
        Target target(40, 40);
        ASSERT_TRUE(DrawImageEx(target.graphics.get(), picture.get(), destination, whole, false,
                                kDrawStretched));
        EXPECT_EQ(target.At(20, 20), kRed);
        EXPECT_EQ(target.At(32, 32), kRed);
    }
    {
        constexpr int kNoSuchMode = 4;
        Target target(40, 40);
        EXPECT_FALSE(DrawImageEx(target.graphics.get(), picture.get(), destination, whole, false,
                                 kNoSuchMode));
        EXPECT_EQ(target.At(20, 20), kTransparent);
        EXPECT_FALSE(
            DrawImageEx(target.graphics.get(), nullptr, destination, whole, false, kDrawStretched));
    }
}

TEST(Drawing, DrawImageAtTakesTheUpperHalfOfTwoStatePictures) {
    GpBitmapPtr picture = MakeSolidBitmap(10, 20, kRed);
    PaintArea(picture.get(), 0, 10, 10, 10, kBlue);
    Target target(20, 30);
    ASSERT_TRUE(DrawImageAt(target.graphics.get(), picture.get(), 0, 0, 10, 20, true));
    EXPECT_EQ(target.At(5, 1), kRed);
    EXPECT_EQ(target.At(5, 8), kRed);
    EXPECT_EQ(target.At(5, 15), kTransparent);
}

TEST(Drawing, UniformAlphaScalesEveryPixel) {
    GpBitmapPtr picture = MakeSolidBitmap(10, 10, kWhite);
    Target target(20, 20);
    ASSERT_TRUE(
        DrawImageAlpha(target.graphics.get(), picture.get(), MakeRectF(0, 0, 20, 20), kHalfAlpha));
    const ARGB blended = target.At(10, 10);
    EXPECT_NEAR(static_cast<int>(AlphaOf(blended)), kHalfAlpha, kChannelSlack);
    EXPECT_EQ(blended & 0x00FFFFFF, 0x00FFFFFFu);  // the colour itself is kept

    // The alpha matrix is taken off again: the next plain draw is opaque.
    Target second(20, 20);
    ASSERT_TRUE(DrawImageEx(second.graphics.get(), picture.get(), MakeRectF(0, 0, 20, 20),
                            MakeRectF(0, 0, 0, 0), false, kDrawNineGrid, nullptr, kHalfAlpha));
    EXPECT_NEAR(static_cast<int>(AlphaOf(second.At(10, 10))), kHalfAlpha, kChannelSlack);
    ASSERT_TRUE(DrawImageAlpha(second.graphics.get(), picture.get(), MakeRectF(0, 0, 20, 20)));
    EXPECT_EQ(second.At(10, 10), kWhite);
}

TEST(Drawing, AlphaDrawsLeaveTheSharedAttributesClean) {
    GpBitmapPtr picture = MakeSolidBitmap(10, 10, kWhite);
    Gdiplus::GpImageAttributes* shared = Toolkit().imageAttributes;
    Target target(10, 10);
    ASSERT_TRUE(
        DrawImageAlpha(target.graphics.get(), picture.get(), MakeRectF(0, 0, 10, 10), kHalfAlpha));
    // Drawn with the shared attributes as they are now: no alpha matrix is left on them.
    Target plain(10, 10);
    ASSERT_EQ(Gdiplus::DllExports::GdipDrawImageRectRect(plain.graphics.get(), picture.get(), 0, 0,
                                                         10, 10, 0, 0, 10, 10, Gdiplus::UnitPixel,
                                                         shared, nullptr, nullptr),
              Gdiplus::Ok);
    EXPECT_EQ(plain.At(5, 5), kWhite);

    // Without the shared attributes (drawing before start-up) the helper makes its own.
    Toolkit().imageAttributes = nullptr;
    Target alone(10, 10);
    const bool drawn =
        DrawImageAlpha(alone.graphics.get(), picture.get(), MakeRectF(0, 0, 10, 10), kHalfAlpha);
    Toolkit().imageAttributes = shared;
    ASSERT_TRUE(drawn);
    EXPECT_NEAR(static_cast<int>(AlphaOf(alone.At(5, 5))), kHalfAlpha, kChannelSlack);
}

TEST(Drawing, EdgeFadesRampFromTheEdge) {
    // 40 x 20 with ratio 0.25: the fade is trunc(20 x 0.25) = 5 pixels wide.
    constexpr int kFade = 5;
    const unsigned leftRamp[kFade] = {0, 51, 102, 153, 204};
    GpBitmapPtr picture = MakeSolidBitmap(40, 20, kCyan);
    Target target(40, 20);
    ASSERT_TRUE(DrawImageEx(target.graphics.get(), picture.get(), MakeRectF(0, 0, 40, 20),
                            MakeRectF(0, 0, 0, 0), false, kDrawNatural, nullptr, kOpaqueAlpha,
                            kFadeLeft | kFadeBottom));
    for (int column = 0; column < kFade; ++column) {
        EXPECT_EQ(AlphaOf(target.At(column, 5)), leftRamp[column]) << "column " << column;
    }
    EXPECT_EQ(AlphaOf(target.At(kFade, 5)), 255u);
    EXPECT_EQ(AlphaOf(target.At(39, 5)), 255u);  // the right edge was not asked for
    EXPECT_EQ(AlphaOf(target.At(20, 19)), 51u);  // bottom: 255 x (1 - 4 / 5)
    // The source picture itself is untouched.
    EXPECT_EQ(drawing_test::PixelAt(picture.get(), 0, 5), kCyan);
}

TEST(Drawing, EdgeFadesWorkOnPicturesWithoutAlpha) {
    GpBitmapPtr picture = CreateBitmap(40, 20, PixelFormat24bppRGB);
    ASSERT_TRUE(picture);
    {
        GpGraphicsPtr graphics = GetImageGraphics(picture.get());
        ClearGraphics(graphics.get(), kCyan);
    }
    Target target(40, 20);
    ASSERT_TRUE(DrawImageEx(target.graphics.get(), picture.get(), MakeRectF(0, 0, 40, 20),
                            MakeRectF(0, 0, 0, 0), false, kDrawNatural, nullptr, kOpaqueAlpha,
                            kFadeRight));
    EXPECT_EQ(AlphaOf(target.At(39, 10)), 51u);
    EXPECT_EQ(AlphaOf(target.At(10, 10)), 255u);
}

}  // namespace
}  // namespace toolkit
