#include "BmpReader.h"

#include <utility>

namespace toolkit {
namespace {

// The two headers of a BMP file: the 14-byte file header, then the 40-byte information header
// (BITMAPINFOHEADER); the palette of an 8-bit file follows them.
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kPaletteEntrySize = 4;
constexpr std::uint32_t kMaxPaletteEntries = 256;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

// Field offsets from the start of the file.
constexpr std::size_t kPixelOffsetField = 10;
constexpr std::size_t kInfoSizeField = 14;
constexpr std::size_t kWidthField = 18;
constexpr std::size_t kHeightField = 22;
constexpr std::size_t kPlanesField = 26;
constexpr std::size_t kBitCountField = 28;
constexpr std::size_t kCompressionField = 30;
constexpr std::size_t kXPelsPerMeterField = 38;
constexpr std::size_t kYPelsPerMeterField = 42;
constexpr std::size_t kColoursUsedField = 46;

// The largest side the reader takes on; larger pictures go to GDI+.
constexpr std::int64_t kMaxSide = 16384;
constexpr double kMetresPerInch = 0.0254;
constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t ReadU32(const std::uint8_t* data, std::size_t at) {
    return std::uint32_t{data[at]} | std::uint32_t{data[at + 1]} << 8 |
           std::uint32_t{data[at + 2]} << 16 | std::uint32_t{data[at + 3]} << 24;
}

std::uint16_t ReadU16(const std::uint8_t* data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

std::int32_t ReadI32(const std::uint8_t* data, std::size_t at) {
    return static_cast<std::int32_t>(ReadU32(data, at));
}

std::uint32_t Opaque(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return kOpaque | std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue;
}

bool HasBmpSignature(const std::uint8_t* data, std::size_t size) {
    return data != nullptr && size >= kFileHeaderSize && data[0] == 'B' && data[1] == 'M';
}

}  // namespace

bool BmpPixelsStartPastEnd(const std::uint8_t* data, std::size_t size) {
    return HasBmpSignature(data, size) && ReadU32(data, kPixelOffsetField) >= size;
}

bool DecodeBmp(const std::uint8_t* data, std::size_t size, DecodedBmp& out) {
    if (!HasBmpSignature(data, size) || size < kFileHeaderSize + kInfoHeaderSize ||
        ReadU32(data, kInfoSizeField) != kInfoHeaderSize || ReadU16(data, kPlanesField) != 1 ||
        ReadU32(data, kCompressionField) != kUncompressed) {
        return false;
    }
    const std::int64_t width = ReadI32(data, kWidthField);
    const std::int64_t storedHeight = ReadI32(data, kHeightField);
    // A negative height stores the rows top-down.
    const bool topDown = storedHeight < 0;
    const std::int64_t height = topDown ? -storedHeight : storedHeight;
    const std::uint16_t bitCount = ReadU16(data, kBitCountField);
    const std::int32_t xPelsPerMeter = ReadI32(data, kXPelsPerMeterField);
    const std::int32_t yPelsPerMeter = ReadI32(data, kYPelsPerMeterField);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        (bitCount != 8 && bitCount != 24) || xPelsPerMeter <= 0 || yPelsPerMeter <= 0) {
        return false;
    }

    std::uint32_t palette[kMaxPaletteEntries] = {};
    std::uint32_t paletteEntries = 0;
    const std::size_t paletteStart = kFileHeaderSize + kInfoHeaderSize;
    if (bitCount == 8) {
        paletteEntries = ReadU32(data, kColoursUsedField);
        if (paletteEntries == 0) {
            paletteEntries = kMaxPaletteEntries;
        }
        if (paletteEntries > kMaxPaletteEntries ||
            paletteStart + std::size_t{paletteEntries} * kPaletteEntrySize > size) {
            return false;
        }
        for (std::uint32_t i = 0; i < paletteEntries; ++i) {
            const std::uint8_t* entry = data + paletteStart + i * kPaletteEntrySize;
            palette[i] = Opaque(entry[0], entry[1], entry[2]);
        }
    }

    // Rows are padded to whole 32-bit words.
    const std::int64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    const std::int64_t pixelStart = ReadU32(data, kPixelOffsetField);
    if (pixelStart < static_cast<std::int64_t>(paletteStart) ||
        pixelStart + rowBytes * height > static_cast<std::int64_t>(size)) {
        return false;
    }

    DecodedBmp decoded;
    if (!decoded.pixels.Make(width, height)) {
        return false;
    }
    ArgbPixels& pixels = decoded.pixels;
    const PixelRect area = ClipToCanvas(0, 0, width, height, pixels.Width(), pixels.Height());
    for (int y = area.top; y < area.bottom; ++y) {
        const std::int64_t storedRow = topDown ? y : height - 1 - y;
        const std::uint8_t* from = data + pixelStart + storedRow * rowBytes;
        std::uint32_t* to = pixels.Data() + static_cast<std::size_t>(y) * pixels.Width();
        if (bitCount == 24) {
            for (int x = area.left; x < area.right; ++x) {
                const std::uint8_t* bgr = from + std::int64_t{x} * 3;
                to[x] = Opaque(bgr[0], bgr[1], bgr[2]);
            }
        } else {
            for (int x = area.left; x < area.right; ++x) {
                // What a decoder shows for an index past the palette is its own choice: leave
                // such a file to GDI+.
                if (from[x] >= paletteEntries) {
                    return false;
                }
                to[x] = palette[from[x]];
            }
        }
    }
    decoded.format = bitCount == 24 ? kBmpFormat24bppRgb : kBmpFormat8bppIndexed;
    decoded.dpiX = static_cast<float>(xPelsPerMeter * kMetresPerInch);
    decoded.dpiY = static_cast<float>(yPelsPerMeter * kMetresPerInch);
    out = std::move(decoded);
    return true;
}

}  // namespace toolkit
