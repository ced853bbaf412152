// Builds small BMP files for the reader's tests: 24-bit or 8-bit with a palette, bottom-up or
// top-down, with any width (so any row padding), and a resolution in pixels per metre.
// Window-free.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace bmp_writer {

struct BmpLayout {
    int width = 1;
    int height = 1;
    int bitCount = 24;  // 24, or 8 with a palette
    bool topDown = false;
    std::int32_t pelsPerMetre = 2835;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries of an 8-bit file
    std::uint32_t coloursUsed = 0;       // the header's count; 0 means a full palette
};

// pixel(x, y) gives a 24-bit file's 0x00RRGGBB colour, or an 8-bit file's palette index.
inline std::vector<std::uint8_t> MakeBmp(const BmpLayout& layout,
                                         const std::function<std::uint32_t(int, int)>& pixel) {
    constexpr std::uint32_t kHeaders = 14 + 40;
    const std::uint32_t rowBytes =
        static_cast<std::uint32_t>((layout.width * layout.bitCount + 31) / 32 * 4);
    const std::uint32_t paletteBytes = static_cast<std::uint32_t>(layout.palette.size() * 4);
    const std::uint32_t offset = kHeaders + paletteBytes;
    const std::uint32_t size = offset + rowBytes * static_cast<std::uint32_t>(layout.height);
    std::vector<std::uint8_t> out;
    const auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    u32(size);
    u32(0);
    u32(offset);
    u32(40);
    u32(static_cast<std::uint32_t>(layout.width));
    u32(static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height));
    u16(1);
    u16(static_cast<std::uint32_t>(layout.bitCount));
    u32(0);  // uncompressed
    u32(rowBytes * static_cast<std::uint32_t>(layout.height));
    u32(static_cast<std::uint32_t>(layout.pelsPerMetre));
    u32(static_cast<std::uint32_t>(layout.pelsPerMetre));
    u32(layout.coloursUsed);
    u32(0);
    for (std::uint32_t colour : layout.palette) {
        u32(colour & 0xFFFFFF);
    }
    for (int stored = 0; stored < layout.height; ++stored) {
        const int y = layout.topDown ? stored : layout.height - 1 - stored;
        const size_t rowStart = out.size();
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t value = pixel(x, y);
            if (layout.bitCount == 8) {
                out.push_back(static_cast<std::uint8_t>(value));
            } else {
                out.push_back(static_cast<std::uint8_t>(value));
                out.push_back(static_cast<std::uint8_t>(value >> 8));
                out.push_back(static_cast<std::uint8_t>(value >> 16));
            }
        }
        out.resize(rowStart + rowBytes, 0);
    }
    return out;
}

}  // namespace bmp_writer
