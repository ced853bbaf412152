// The BMP reader on files it takes (every row order, row padding and palette size) and on files
// it must leave to GDI+ (other depths and compressions, short or damaged files). That its
// results equal GDI+'s is checked against GDI+ itself in the map view's tests.
#include "foundation/BmpReader.h"
#include "support/BmpWriter.h"

#include <gtest/gtest.h>

namespace {

using bmp_writer::BmpLayout;
using bmp_writer::MakeBmp;

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::int32_t kShippedPelsPerMetre = 2835;  // 72 dots per inch
constexpr float kShippedDpi = 72.009f;
constexpr float kDpiTolerance = 0.001f;
constexpr std::size_t kCompressionOffset = 30;
constexpr std::size_t kBitCountOffset = 28;

std::uint32_t Colour(int x, int y) {
    return static_cast<std::uint32_t>(x * 0x010203 + y * 0x302010) & 0xFFFFFF;
}

TEST(BmpReader, DecodesEveryRowOrderAndPadding) {
    for (const bool topDown : {false, true}) {
        for (const int width : {1, 2, 3, 5, 32}) {
            SCOPED_TRACE(testing::Message() << "width " << width << " top-down " << topDown);
            BmpLayout layout;
            layout.width = width;
            layout.height = 3;
            layout.topDown = topDown;
            layout.pelsPerMetre = kShippedPelsPerMetre;
            const auto file = MakeBmp(layout, Colour);
            toolkit::DecodedBmp decoded;
            ASSERT_TRUE(toolkit::DecodeBmp(file.data(), file.size(), decoded));
            EXPECT_EQ(decoded.format, toolkit::kBmpFormat24bppRgb);
            EXPECT_NEAR(decoded.dpiX, kShippedDpi, kDpiTolerance);
            ASSERT_EQ(decoded.pixels.Width(), width);
            ASSERT_EQ(decoded.pixels.Height(), layout.height);
            for (int y = 0; y < layout.height; ++y) {
                for (int x = 0; x < width; ++x) {
                    EXPECT_EQ(decoded.pixels.At(x, y), kOpaque | Colour(x, y));
                }
            }
        }
    }
}

TEST(BmpReader, DecodesPalettesOfAnySize) {
    BmpLayout layout;
    layout.bitCount = 8;
    layout.width = 3;
    layout.height = 2;
    layout.palette = {0x112233, 0x445566, 0x778899};
    layout.coloursUsed = 3;
    const auto file = MakeBmp(layout, [](int x, int) { return static_cast<std::uint32_t>(x); });
    toolkit::DecodedBmp decoded;
    ASSERT_TRUE(toolkit::DecodeBmp(file.data(), file.size(), decoded));
    EXPECT_EQ(decoded.format, toolkit::kBmpFormat8bppIndexed);
    for (int x = 0; x < layout.width; ++x) {
        EXPECT_EQ(decoded.pixels.At(x, 1), kOpaque | layout.palette[static_cast<size_t>(x)]);
    }
}

// The palette's last entry is a colour like any other; an index equal to the palette's size is
// past it, and so the file is left to GDI+. A palette may hold 256 entries, and no more.
TEST(BmpReader, PaletteEndsExactlyAtItsSize) {
    constexpr std::uint32_t kLargestPalette = 256;
    const auto indexed = [](std::uint32_t entries) {
        BmpLayout layout;
        layout.bitCount = 8;
        layout.width = 2;
        layout.height = 1;
        for (std::uint32_t i = 0; i < entries; ++i) {
            layout.palette.push_back(0x010101u * (i & 0xFF) ^ 0x00FF00u);
        }
        layout.coloursUsed = entries;
        return layout;
    };
    // Pixel 0 takes entry 0, pixel 1 the given index.
    const auto decode = [](const BmpLayout& layout, std::uint32_t index,
                           toolkit::DecodedBmp& decoded) {
        const auto file = MakeBmp(layout, [index](int x, int) { return x == 0 ? 0u : index; });
        return toolkit::DecodeBmp(file.data(), file.size(), decoded);
    };
    for (const std::uint32_t entries : {2u, kLargestPalette}) {
        SCOPED_TRACE(testing::Message() << entries << " entries");
        const BmpLayout layout = indexed(entries);
        toolkit::DecodedBmp decoded;
        ASSERT_TRUE(decode(layout, entries - 1, decoded)) << "the last entry";
        EXPECT_EQ(decoded.pixels.At(1, 0), kOpaque | layout.palette.back());
        if (entries < kLargestPalette) {
            toolkit::DecodedBmp past;
            EXPECT_FALSE(decode(layout, entries, past)) << "one past the last entry";
            EXPECT_TRUE(past.pixels.Empty());
        }
    }
    // A header count of 0 means a full palette; one past the largest is no palette of ours.
    BmpLayout full = indexed(kLargestPalette);
    full.coloursUsed = 0;
    toolkit::DecodedBmp decoded;
    ASSERT_TRUE(decode(full, kLargestPalette - 1, decoded));
    EXPECT_EQ(decoded.pixels.At(1, 0), kOpaque | full.palette.back());
    EXPECT_FALSE(decode(indexed(kLargestPalette + 1), 0, decoded));
}

TEST(BmpReader, LeavesEverythingElseToGdiPlus) {
    BmpLayout plain;
    plain.width = 4;
    plain.height = 4;
    const auto good = MakeBmp(plain, Colour);
    BmpLayout indexed = plain;
    indexed.bitCount = 8;
    indexed.palette = {0x000000, 0xFFFFFF};
    indexed.coloursUsed = 2;
    BmpLayout noResolution = plain;
    noResolution.pelsPerMetre = 0;

    std::vector<std::pair<const char*, std::vector<std::uint8_t>>> files;
    files.emplace_back("empty", std::vector<std::uint8_t>());
    files.emplace_back("headers only", std::vector<std::uint8_t>(good.begin(), good.begin() + 54));
    files.emplace_back("one byte short", std::vector<std::uint8_t>(good.begin(), good.end() - 1));
    auto compressed = good;
    compressed[kCompressionOffset] = 1;
    files.emplace_back("compressed", compressed);
    auto sixteenBit = good;
    sixteenBit[kBitCountOffset] = 16;
    files.emplace_back("16-bit", sixteenBit);
    auto notBmp = good;
    notBmp[0] = 'X';
    files.emplace_back("no signature", notBmp);
    files.emplace_back("index past the palette",
                       MakeBmp(indexed, [](int x, int) { return static_cast<std::uint32_t>(x); }));
    files.emplace_back("no resolution", MakeBmp(noResolution, Colour));

    for (const auto& [name, file] : files) {
        toolkit::DecodedBmp decoded;
        EXPECT_FALSE(toolkit::DecodeBmp(file.data(), file.size(), decoded)) << name;
        EXPECT_TRUE(decoded.pixels.Empty()) << name;
    }
}

TEST(BmpReader, TellsAFileWhosePixelsWouldStartPastItsEnd) {
    constexpr std::size_t kPixelOffsetField = 10;
    constexpr std::size_t kHeaderBytes = 54;
    BmpLayout plain;
    plain.width = 2;
    plain.height = 2;
    const auto good = MakeBmp(plain, Colour);
    const auto withOffset = [&](std::uint32_t offset) {
        auto file = good;
        for (std::size_t i = 0; i < sizeof offset; ++i) {
            file[kPixelOffsetField + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        }
        return file;
    };
    const std::uint32_t size = static_cast<std::uint32_t>(good.size());
    auto notBmp = withOffset(size + 1);
    notBmp[0] = 'X';
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
        bool pastEnd;
    } cases[] = {
        {"pixels after the headers", good, false},
        {"pixels start on the last byte", withOffset(size - 1), false},
        {"pixels start at the end", withOffset(size), true},
        {"pixels start past the end", withOffset(size + 1), true},
        {"the largest offset", withOffset(UINT32_MAX), true},
        {"the headers alone, pixels after them",
         std::vector<std::uint8_t>(good.begin(), good.begin() + kHeaderBytes), true},
        {"no signature", notBmp, false},
        {"too short for the offset", std::vector<std::uint8_t>(good.begin(), good.begin() + 12),
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toolkit::BmpPixelsStartPastEnd(c.file.data(), c.file.size()), c.pastEnd)
            << c.what;
    }
    EXPECT_FALSE(toolkit::BmpPixelsStartPastEnd(nullptr, 0));
}

}  // namespace

namespace {

// Every prefix of a good file, and every header byte set to each of a few telling values, under
// the sanitizers: the reader either decodes whole pictures or declines, and never reads past
// the bytes it was given.
TEST(BmpReader, SurvivesCutAndDamagedFiles) {
    constexpr std::size_t kHeaderBytes = 54;
    constexpr std::uint8_t kTellingBytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    BmpLayout indexed;
    indexed.width = 3;
    indexed.height = 3;
    indexed.bitCount = 8;
    indexed.palette = {0x102030, 0x405060};
    indexed.coloursUsed = 2;
    BmpLayout plain;
    plain.width = 3;
    plain.height = 3;
    const std::vector<std::vector<std::uint8_t>> goodFiles = {
        MakeBmp(plain, Colour),
        MakeBmp(indexed, [](int x, int y) { return static_cast<std::uint32_t>(x + y) % 2; })};
    for (const auto& good : goodFiles) {
        for (std::size_t length = 0; length < good.size(); ++length) {
            // An exact-size copy, so that the sanitizer sees any read past its end.
            const std::vector<std::uint8_t> cut(good.begin(), good.begin() + length);
            toolkit::DecodedBmp decoded;
            EXPECT_FALSE(toolkit::DecodeBmp(cut.data(), cut.size(), decoded)) << length;
        }
        for (std::size_t at = 0; at < kHeaderBytes; ++at) {
            for (const std::uint8_t value : kTellingBytes) {
                auto damaged = good;
                damaged[at] = value;
                toolkit::DecodedBmp decoded;
                if (toolkit::DecodeBmp(damaged.data(), damaged.size(), decoded)) {
                    EXPECT_GT(decoded.pixels.Width(), 0);
                    EXPECT_GT(decoded.pixels.Height(), 0);
                }
            }
        }
    }
}

}  // namespace
