// Caption helpers: stored wide text, dark colours, access keys, gradients and the two text paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "ControlsTestSupport.h"
#include "controls/TextDrawing.h"
#include "foundation/Fonts.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Toolkit.h"

namespace controls_test {
namespace {

using namespace toolkit;
namespace gp = Gdiplus::DllExports;

TEST(StoredWideText, KeepsTheMarkerAndLengthBeforeTheBytes) {
    const ByteArray bytes = TextToWide("Title");
    wchar_t* field = nullptr;
    ASSERT_TRUE(StoreWideText(field, bytes));
    ASSERT_NE(field, nullptr);
    std::int32_t header[2] = {};
    std::memcpy(header, reinterpret_cast<const std::uint8_t*>(field) - kWideTextHeaderBytes,
                sizeof(header));
    EXPECT_EQ(header[0], kWideTextMarker);
    EXPECT_EQ(header[1], static_cast<std::int32_t>(bytes.size()));
    EXPECT_STREQ(field, L"Title");
    EXPECT_EQ(WideTextToBytes(field), bytes);
    EXPECT_EQ(WideToAnsiText(field), "Title");

    // Storing again replaces the block; empty bytes leave no text.
    ASSERT_TRUE(StoreWideText(field, TextToWide("Other")));
    EXPECT_STREQ(field, L"Other");
    ASSERT_TRUE(StoreWideText(field, {}));
    EXPECT_EQ(field, nullptr);
    EXPECT_TRUE(WideTextToBytes(nullptr).empty());
    FreeWideText(field);
}

TEST(IsDarkColor, NeedsLowLuminanceAndVisibleAlpha) {
    struct Case {
        Gdiplus::ARGB colour;
        bool dark;
    };
    const Case cases[] = {
        {0xFF000000, true},                        // opaque black
        {0xFFFFFFFF, false},                       // opaque white
        {0xFF0000FF, true},                        // blue: luminance 29
        {0xFFFFFF00, false},                       // yellow: luminance 226
        {0x80000000, false},                       // black at alpha 128 is not visible enough
        {0x81000000, true},  {0xFFC0C0C0, false},  // grey 192 sits on the boundary
        {0xFFBFBFBF, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDarkColor(c.colour), c.dark) << std::hex << c.colour;
    }
}

TEST(CaptionMnemonic, IsTheCharacterAfterTheFirstAmpersand) {
    struct Case {
        const char* caption;
        std::uint32_t key;
    };
    const Case cases[] = {
        {"&Open", 'O'}, {"Save &as", 'a'}, {"Plain", 0}, {"a&b&c", 'b'}, {"End&", 0}, {nullptr, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionMnemonic(c.caption), c.key) << (c.caption ? c.caption : "(null)");
    }
}

// A transparent 32-bit bitmap with a graphics on it, read back as non-premultiplied ARGB.
class Surface {
public:
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 60;

    Surface()
        : m_bitmap(CreateBitmap(kWidth, kHeight)), m_graphics(GetImageGraphics(m_bitmap.get())) {
        ClearGraphics(m_graphics.get(), 0);
    }
    Gdiplus::GpGraphics* Graphics() const { return m_graphics.get(); }

    Gdiplus::ARGB Pixel(int x, int y) const {
        gp::GdipFlush(m_graphics.get(), Gdiplus::FlushIntentionSync);
        Gdiplus::ARGB colour = 0;
        gp::GdipBitmapGetPixel(m_bitmap.get(), x, y, &colour);
        return colour;
    }
    std::uint32_t MaxAlpha() const {
        std::uint32_t alpha = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                alpha = std::max<std::uint32_t>(alpha, Pixel(x, y) >> 24);
            }
        }
        return alpha;
    }

private:
    GpBitmapPtr m_bitmap;
    GpGraphicsPtr m_graphics;
};

TEST(DrawTextWithEffect, OpaqueTextIsDrawnAtAlpha254ExceptOnTheClearTypePath) {
    struct Case {
        Gdiplus::TextRenderingHint hint;
        std::uint32_t maxAlpha;
    };
    constexpr std::uint32_t kAlmostOpaque = 254;
    constexpr std::uint32_t kOpaque = 255;
    const Case cases[] = {
        {Gdiplus::TextRenderingHintSingleBitPerPixelGridFit, kAlmostOpaque},
        {Gdiplus::TextRenderingHintClearTypeGridFit, kOpaque},
    };
    constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;
    // Large glyphs, so that the inside of their strokes is fully covered whatever the
    // antialiasing.
    constexpr float kLargeSize = 48.0f;
    GpFontPtr font(CreateFontByName(GetFontFamilyName(Toolkit().defaultFont), kLargeSize,
                                    kFontStyleRegular, kFontUnitWorld));
    ASSERT_TRUE(font);
    for (const Case& c : cases) {
        Surface surface;
        gp::GdipSetTextRenderingHint(surface.Graphics(), c.hint);
        const Gdiplus::RectF rect(0, 0, Surface::kWidth, Surface::kHeight);
        DrawTextWithEffect(surface.Graphics(), rect, L"WWW", font.get(), kOpaqueBlack, nullptr,
                           kTextEffectNone);
        EXPECT_EQ(surface.MaxAlpha(), c.maxAlpha) << "hint " << c.hint;
    }
}

TEST(FillGradientRect, RunsFromTheFirstColourToTheSecond) {
    constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
    constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
    constexpr std::int32_t kHorizontal = 0;
    constexpr std::int32_t kVertical = 1;
    const auto red = [](Gdiplus::ARGB c) { return (c >> 16) & 0xFF; };
    const auto blue = [](Gdiplus::ARGB c) { return c & 0xFF; };
    constexpr int kEdge = 2;
    const Gdiplus::RectF rect(0, 0, Surface::kWidth, Surface::kHeight);

    Surface across;
    ASSERT_TRUE(FillGradientRect(across.Graphics(), rect, kRed, kBlue, kHorizontal));
    const Gdiplus::ARGB left = across.Pixel(kEdge, Surface::kHeight / 2);
    const Gdiplus::ARGB right = across.Pixel(Surface::kWidth - kEdge, Surface::kHeight / 2);
    EXPECT_GT(red(left), blue(left));
    EXPECT_GT(blue(right), red(right));

    Surface down;
    ASSERT_TRUE(FillGradientRect(down.Graphics(), rect, kRed, kBlue, kVertical));
    const Gdiplus::ARGB top = down.Pixel(Surface::kWidth / 2, kEdge);
    const Gdiplus::ARGB bottom = down.Pixel(Surface::kWidth / 2, Surface::kHeight - kEdge);
    EXPECT_GT(red(top), blue(top));
    EXPECT_GT(blue(bottom), red(bottom));
}

}  // namespace
}  // namespace controls_test
