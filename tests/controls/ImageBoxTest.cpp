// ImageBox: each draw mode by pixel probes of its canvas, frames of an animated GIF on the
// element timer, and a new picture that comes in with a transition.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ImageBox.h"
#include "foundation/ImageHelpers.h"

namespace controls_test {
namespace {

using namespace toolkit;
namespace gp = Gdiplus::DllExports;

constexpr int kBoxWidth = 60;
constexpr int kBoxHeight = 40;
constexpr Gdiplus::ARGB kOpaqueWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kOpaqueRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kOpaqueBlue = 0xFF0000FF;

enum class Shade { Red, Blue, White, Grey, Clear };

// The colour a canvas pixel is closest to, for probes that must not depend on interpolation.
Shade ShadeOf(std::uint32_t pixel) {
    constexpr std::uint32_t kHigh = 200;
    constexpr std::uint32_t kLow = 60;
    const std::uint32_t alpha = pixel >> 24;
    const std::uint32_t red = (pixel >> 16) & 0xFF;
    const std::uint32_t green = (pixel >> 8) & 0xFF;
    const std::uint32_t blue = pixel & 0xFF;
    if (alpha == 0) {
        return Shade::Clear;
    }
    if (red > kHigh && green > kHigh && blue > kHigh) {
        return Shade::White;
    }
    if (red > kHigh && blue < kLow) {
        return Shade::Red;
    }
    if (blue > kHigh && red < kLow) {
        return Shade::Blue;
    }
    return Shade::Grey;
}

// A 10 x 10 picture: a blue border 3 pixels wide around a red centre, as PNG bytes.
constexpr int kPictureSide = 10;
constexpr int kPictureBorder = 3;

ByteArray BorderedPicture() {
    GpBitmapPtr bitmap = CreateBitmap(kPictureSide, kPictureSide);
    for (int y = 0; y < kPictureSide; ++y) {
        for (int x = 0; x < kPictureSide; ++x) {
            const bool border = x < kPictureBorder || y < kPictureBorder ||
                                x >= kPictureSide - kPictureBorder ||
                                y >= kPictureSide - kPictureBorder;
            gp::GdipBitmapSetPixel(bitmap.get(), x, y, border ? kOpaqueBlue : kOpaqueRed);
        }
    }
    return EncodeImageToBytes(bitmap.get(), kPngFormat);
}

// ---- A two-frame GIF, written byte by byte ------------------------------------------------------

constexpr int kGifSide = 4;
constexpr std::uint8_t kRedIndex = 1;
constexpr std::uint8_t kBlueIndex = 2;

// LZW data of one frame filled with one colour index. Every code is 3 bits wide: a clear code
// before each pair of pixels keeps the table from growing past 8 entries.
ByteArray SolidFrameData(std::uint8_t index) {
    constexpr unsigned kCodeBits = 3;
    constexpr unsigned kClear = 4;
    constexpr unsigned kEnd = 5;
    std::vector<unsigned> codes;
    for (int pair = 0; pair < kGifSide * kGifSide / 2; ++pair) {
        codes.insert(codes.end(), {kClear, index, index});
    }
    codes.push_back(kEnd);
    ByteArray data;
    unsigned bitCount = 0;
    for (unsigned code : codes) {
        for (unsigned bit = 0; bit < kCodeBits; ++bit, ++bitCount) {
            if (bitCount % 8 == 0) {
                data.push_back(0);
            }
            data.back() |= static_cast<std::uint8_t>(((code >> bit) & 1) << (bitCount % 8));
        }
    }
    return data;
}

// A GIF89a of kGifSide x kGifSide pixels: a red frame, then a blue one, both with delay 0.
ByteArray TwoFrameGif() {
    ByteArray gif = {'G',  'I', 'F', '8', '9', 'a', kGifSide, 0, kGifSide, 0,
                     0x81,  // global colour table of 4 entries
                     0,    0};
    const std::uint8_t palette[] = {0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    gif.insert(gif.end(), std::begin(palette), std::end(palette));
    for (const std::uint8_t index : {kRedIndex, kBlueIndex}) {
        // Graphic control extension: no disposal, delay 0, no transparent colour.
        gif.insert(gif.end(), {0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00});
        // Image descriptor: the whole screen, no local colour table.
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, kGifSide, 0, kGifSide, 0, 0x00});
        constexpr std::uint8_t kMinimumCodeSize = 2;
        const ByteArray data = SolidFrameData(index);
        gif.push_back(kMinimumCodeSize);
        gif.push_back(static_cast<std::uint8_t>(data.size()));
        gif.insert(gif.end(), data.begin(), data.end());
        gif.push_back(0);  // block terminator
    }
    gif.push_back(0x3B);
    return gif;
}

// ---- Draw modes ---------------------------------------------------------------------------------

struct Probe {
    int x;
    int y;
    Shade shade;
};

constexpr int kCentredLeft = (kBoxWidth - kPictureSide) / 2;
constexpr int kCentredTop = (kBoxHeight - kPictureSide) / 2;

TEST(ImageBoxDrawModes, PlaceThePictureAsEachModeSays) {
    struct Case {
        std::int32_t mode;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        // Natural size at the corner; the white background elsewhere. The picture's last
        // pixels and the first ones past it, and the first red pixel inside the border.
        {kDrawNatural,
         {{1, 1, Shade::Blue},
          {5, 5, Shade::Red},
          {30, 20, Shade::White},
          {kPictureSide - 1, kPictureSide - 1, Shade::Blue},
          {kPictureSide, 0, Shade::White},
          {0, kPictureSide, Shade::White},
          {kPictureBorder - 1, kPictureBorder - 1, Shade::Blue},
          {kPictureBorder, kPictureBorder, Shade::Red}}},
        // Stretched: the border grows to 18 x 12 pixels.
        {kDrawStretched,
         {{5, 5, Shade::Blue}, {30, 20, Shade::Red}, {55, 35, Shade::Blue}, {10, 20, Shade::Blue}}},
        // Centred at natural size.
        {kDrawCentred,
         {{30, 20, Shade::Red},
          {26, 16, Shade::Blue},
          {5, 5, Shade::White},
          {kCentredLeft, kCentredTop, Shade::Blue},
          {kCentredLeft - 1, kCentredTop, Shade::White},
          {kCentredLeft, kCentredTop - 1, Shade::White},
          {kCentredLeft + kPictureSide - 1, kCentredTop + kPictureSide - 1, Shade::Blue},
          {kCentredLeft + kPictureSide, kCentredTop, Shade::White}}},
        // Nine-grid with 3-pixel margins: the border stays 3 pixels wide.
        {kDrawNineGrid,
         {{1, 1, Shade::Blue}, {10, 20, Shade::Red}, {30, 1, Shade::Blue}, {58, 38, Shade::Blue}}},
    };
    const ByteArray picture = BorderedPicture();
    ASSERT_FALSE(picture.empty());
    constexpr float kMargin = kPictureBorder;
    for (const Case& c : cases) {
        TestHost host;
        Hosted<ImageBox> box;
        ImageBoxCreateOptions options;
        options.drawMode = c.mode;
        options.gridMargins = GridMargins{kMargin, kMargin, kMargin, kMargin};
        ASSERT_NE(box.CreateImageBox(host.Parent(), 0, 0, kBoxWidth, kBoxHeight, picture, false,
                                     kOpaqueWhite, options),
                  0u);
        for (const Probe& probe : c.probes) {
            EXPECT_EQ(ShadeOf(CanvasPixel(box, probe.x, probe.y)), probe.shade)
                << "mode " << c.mode << " at " << probe.x << "," << probe.y;
        }
    }
}

TEST(ImageBoxDrawModes, WithoutAPictureOnlyTheBackgroundAndFrameAreDrawn) {
    TestHost host;
    Hosted<ImageBox> box;
    ImageBoxCreateOptions options;
    options.frameStyle = kFramePlain;
    box.CreateImageBox(host.Parent(), 0, 0, kBoxWidth, kBoxHeight, {}, true, kOpaqueWhite, options);
    EXPECT_EQ(box.m_image, nullptr);
    EXPECT_EQ(box.m_frameCount, 0);
    EXPECT_EQ(ShadeOf(CanvasPixel(box, kBoxWidth / 2, kBoxHeight / 2)), Shade::White);
    EXPECT_EQ(ShadeOf(CanvasPixel(box, 0, kBoxHeight / 2)), Shade::Grey);
    EXPECT_EQ(box.m_frameTimerRunning, 0u);
}

// ---- Animation ----------------------------------------------------------------------------------

constexpr int kProbeX = 2;
constexpr int kProbeY = 2;

Shade Shown(const ImageBox& box) {
    return ShadeOf(CanvasPixel(box, kProbeX, kProbeY));
}

TEST(ImageBoxAnimation, AGifAdvancesItsFramesOnTheElementTimer) {
    TestHost host;
    Hosted<ImageBox> box;
    ASSERT_NE(
        box.CreateImageBox(host.Parent(), 0, 0, kBoxWidth, kBoxHeight, TwoFrameGif(), true, 0), 0u);
    constexpr std::int32_t kFrames = 2;
    ASSERT_EQ(box.m_frameCount, kFrames);
    // Delays of 0 are raised to 10 hundredths of a second.
    EXPECT_EQ(box.m_frameDelays, (std::vector<std::int32_t>{kRaisedDelay, kRaisedDelay}));
    EXPECT_EQ(Shown(box), Shade::Red);
    EXPECT_EQ(box.m_frameTimerRunning, 1u);

    EXPECT_TRUE(PumpUntil([&] { return Shown(box) == Shade::Blue; }));
    EXPECT_TRUE(PumpUntil([&] { return Shown(box) == Shade::Red; }));
}

TEST(ImageBoxAnimation, ZeroDelaysKeptAsTheyAreStillAdvance) {
    TestHost host;
    Hosted<ImageBox> box;
    ImageBoxCreateOptions options;
    options.raiseShortDelays = false;
    box.CreateImageBox(host.Parent(), 0, 0, kBoxWidth, kBoxHeight, TwoFrameGif(), true, 0, options);
    EXPECT_EQ(box.m_frameDelays, (std::vector<std::int32_t>{0, 0}));
    EXPECT_TRUE(PumpUntil([&] { return Shown(box) == Shade::Blue; }));
    EXPECT_TRUE(PumpUntil([&] { return Shown(box) == Shade::Red; }));
}

TEST(ImageBoxAnimation, APictureStandsStillUntilAnimationIsTurnedOn) {
    TestHost host;
    Hosted<ImageBox> box;
    box.CreateImageBox(host.Parent(), 0, 0, kBoxWidth, kBoxHeight, TwoFrameGif(), false, 0);
    EXPECT_EQ(box.m_frameTimerRunning, 0u);
    constexpr DWORD kSeveralDelaysMs = 350;
    EXPECT_FALSE(PumpUntil([&] { return Shown(box) != Shade::Red; }, kSeveralDelaysMs));

    box.ImageBoxAnimate(true);
    EXPECT_TRUE(PumpUntil([&] { return Shown(box) == Shade::Blue; }));

    // A still picture set meanwhile is drawn at once and starts no timer.
    box.ImageBoxImage(BorderedPicture());
    EXPECT_EQ(box.m_frameTimerRunning, 0u);
    EXPECT_EQ(ShadeOf(CanvasPixel(box, kBoxWidth / 2, kBoxHeight / 2)), Shade::Red);
    EXPECT_EQ(ShadeOf(CanvasPixel(box, 1, 1)), Shade::Blue);
}

TEST(ImageBoxTransition, ANewPictureComesInWithATransitionOnce) {
    TestHost host;
    Hosted<ImageBox> box;
    box.CreateImageBox(host.Parent(), 0, 0, kBoxWidth, kBoxHeight, TwoFrameGif(), false, 0);
    constexpr std::int32_t kLinear = 1;
    constexpr std::int32_t kSteps = 3;
    constexpr std::int32_t kIntervalMs = 20;
    box.ImageBoxImage(BorderedPicture(), kLinear, kSteps, kIntervalMs);
    EXPECT_EQ(box.m_transitionOnChange, 1u);
    EXPECT_NE(box.m_state & kStateTransition, 0u);

    EXPECT_TRUE(PumpUntil([&] { return (box.m_state & kStateTransition) == 0; }));
    EXPECT_EQ(box.m_transitionOnChange, 0u);
    EXPECT_EQ(box.m_transitionFrames, 0u);
    EXPECT_EQ(ShadeOf(CanvasPixel(box, kBoxWidth / 2, kBoxHeight / 2)), Shade::Red);

    // The picture reads back as PNG bytes.
    const ByteArray png = box.ImageBoxImage();
    ASSERT_GT(png.size(), 4u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(png[2], 'N');
    EXPECT_EQ(png[3], 'G');
}

TEST(ControlSlots, ImageBoxOperationsSitInTheirSlots) {
    EXPECT_EQ(SlotOf(&ImageBox::Paint), kSlotImageBoxPaint);
    EXPECT_EQ(SlotOf(&ImageBox::InitImageAnimation), kSlotInitImageAnimation);
    EXPECT_EQ(SlotOf(&ImageBox::CreateImageBox), kSlotCreateImageBox);
    EXPECT_EQ(SlotOf(&ImageBox::CreateImageBoxFromFile), kSlotCreateImageBoxFromFile);
    EXPECT_EQ(SlotOf(&ImageBox::ImageBoxImage), kSlotImageBoxImage);
    EXPECT_EQ(SlotOf(&ImageBox::ImageBoxImageHandle), kSlotImageBoxImageHandle);
    EXPECT_EQ(SlotOf(&ImageBox::OnImageFrame), kSlotImageBoxFrameHook);
}

}  // namespace
}  // namespace controls_test
