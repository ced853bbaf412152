// Windows colours (0x00BBGGRR) against GDI+ colours (0xAARRGGBB), both ways.
#include "foundation/Colour.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace toolkit {
namespace {

constexpr std::uint32_t kHalfAlpha = 0x80;

struct ColourCase {
    std::uint32_t rgb;    // Windows colour
    std::uint32_t alpha;  // alpha given to RgbToArgb
    std::uint32_t argb;   // GDI+ colour
};

const ColourCase kColours[] = {
    {0x0000FF, kOpaqueAlpha, 0xFFFF0000},  // pure red: the low byte of a Windows colour
    {0x00FF00, kOpaqueAlpha, 0xFF00FF00}, {0xFF0000, kOpaqueAlpha, 0xFF0000FF},  // pure blue
    {0x123456, kHalfAlpha, 0x80563412},   {0x000000, 0, 0x00000000},
    {0xFFFFFF, kOpaqueAlpha, 0xFFFFFFFF},
};

TEST(Colour, RgbToArgbSwapsRedAndBlueAndSetsAlpha) {
    for (const ColourCase& c : kColours) {
        EXPECT_EQ(RgbToArgb(c.rgb, c.alpha), c.argb) << std::hex << c.rgb;
    }
}

TEST(Colour, ArgbToRgbGivesTheColourAndItsAlphaBack) {
    for (const ColourCase& c : kColours) {
        std::uint32_t alpha = 0;
        EXPECT_EQ(ArgbToRgb(c.argb, &alpha), c.rgb) << std::hex << c.argb;
        EXPECT_EQ(alpha, c.alpha) << std::hex << c.argb;
    }
}

TEST(Colour, AlphaDefaultsToOpaqueAndStrayBitsAreDropped) {
    constexpr std::uint32_t kPureRed = 0x0000FF;
    EXPECT_EQ(RgbToArgb(kPureRed), 0xFFFF0000u);
    // A Windows colour's top byte and bits above an alpha byte do not leak into the result.
    EXPECT_EQ(RgbToArgb(0x7F0000FF, 0x1FF), 0xFFFF0000u);
    EXPECT_EQ(ArgbToRgb(0xFFFF0000), kPureRed);
}

}  // namespace
}  // namespace toolkit
