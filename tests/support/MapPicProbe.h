// Which super-tile picture was drawn where: every generated picture MapPic\<level>\<XX>.bmp
// carries a probe, a 3 x 3 block of one colour whose centre is (kMapPicProbeX, kMapPicProbeY)
// in the picture, and that colour encodes the level (1..8) and the super-tile index (0..127)
// exactly:
//   red   = 0x08 + 0x10 * level    (0x18 .. 0x88; the low nibble is always 8)
//   green = 2 * index              (0x00 .. 0xFE; always even)
//   blue  = 0x5A                   (a fixed check value)
// tools/make_pictures.py writes the same encoding. The probe lies in the upper half of the
// picture, so the half row of a vertical level shows it too, and off the picture's border, so
// grid and section lines drawn over a cell's top and left edges never cover it.
#pragma once

#include <cstdint>

namespace mappic_probe {

constexpr int kProbeX = 4;
constexpr int kProbeY = 4;
constexpr int kPictureSize = 32;
constexpr int kLevelCount = 8;
constexpr int kPicturesPerLevel = 128;

constexpr std::uint32_t kRedBase = 0x08;
constexpr std::uint32_t kRedStep = 0x10;
constexpr std::uint32_t kGreenStep = 2;
constexpr std::uint32_t kCheckBlue = 0x5A;

// The probe colour as 0xRRGGBB.
constexpr std::uint32_t ProbeColour(int level, int index) {
    const std::uint32_t red = kRedBase + kRedStep * static_cast<std::uint32_t>(level);
    const std::uint32_t green = kGreenStep * static_cast<std::uint32_t>(index);
    return (red << 16) | (green << 8) | kCheckBlue;
}

// Reads a probe colour (0xRRGGBB, any alpha byte above it is ignored); false when the colour is
// not one a picture's probe can have.
constexpr bool DecodeProbe(std::uint32_t rgb, int& level, int& index) {
    const std::uint32_t red = (rgb >> 16) & 0xFF;
    const std::uint32_t green = (rgb >> 8) & 0xFF;
    const std::uint32_t blue = rgb & 0xFF;
    if (blue != kCheckBlue || red < kRedBase + kRedStep || (red - kRedBase) % kRedStep != 0 ||
        green % kGreenStep != 0) {
        return false;
    }
    const int decodedLevel = static_cast<int>((red - kRedBase) / kRedStep);
    if (decodedLevel > kLevelCount) {
        return false;
    }
    level = decodedLevel;
    index = static_cast<int>(green / kGreenStep);
    return true;
}

static_assert(ProbeColour(1, 0) == 0x18005A);
static_assert(ProbeColour(8, 127) == 0x88FE5A);

}  // namespace mappic_probe
