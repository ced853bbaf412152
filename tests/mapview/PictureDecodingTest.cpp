// The program's own picture decoding against GDI+: the BMP reader gives GDI+'s pixels, pixel
// format and resolution for every shipped super-tile picture and for odd files; a file it
// declines still gets GDI+'s pixels through the fallback; and the program's blend gives what
// GDI+ writes when it draws a see-through picture over another.
#include "MapViewTestSupport.h"

#include "foundation/BmpReader.h"
#include "foundation/Drawing.h"
#include "fileio/FileBytes.h"
#include "support/BmpWriter.h"
#include "view/SuperTilePictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mapview_test {
namespace {

using bmp_writer::BmpLayout;
using bmp_writer::MakeBmp;
namespace gp = Gdiplus::DllExports;

constexpr int kShippedLevels = 8;
constexpr int kOddSide = 5;
// Alphas and channel values the blend is tried with, edges included.
constexpr std::uint32_t kAlphas[] = {0, 1, 20, 127, 128, 150, 254, 255};
constexpr std::uint32_t kChannels[] = {0, 1, 0x33, 0x88, 0xFE, 0xFF};

static_assert(toolkit::kBmpFormat24bppRgb == PixelFormat24bppRGB);
static_assert(toolkit::kBmpFormat8bppIndexed == PixelFormat8bppIndexed);

std::uint32_t Colour(int x, int y) {
    return static_cast<std::uint32_t>(x * 0x0A1B2C + y * 0x3D4E5F) & 0xFFFFFF;
}

// The reader's result equals what GDI+ makes of the same bytes.
void ExpectReadAsGdiPlus(const ByteArray& file, const char* what) {
    SCOPED_TRACE(what);
    toolkit::DecodedBmp decoded;
    ASSERT_TRUE(toolkit::DecodeBmp(file.data(), file.size(), decoded));
    toolkit::GpImagePtr image = toolkit::LoadImageFromBytes(file);
    ASSERT_TRUE(image);
    Gdiplus::PixelFormat format = 0;
    Gdiplus::REAL dpiX = 0;
    Gdiplus::REAL dpiY = 0;
    gp::GdipGetImagePixelFormat(image.get(), &format);
    gp::GdipGetImageHorizontalResolution(image.get(), &dpiX);
    gp::GdipGetImageVerticalResolution(image.get(), &dpiY);
    EXPECT_EQ(decoded.format, format);
    EXPECT_EQ(decoded.dpiX, dpiX);
    EXPECT_EQ(decoded.dpiY, dpiY);
    toolkit::ArgbPixels expected;
    ASSERT_TRUE(toolkit::ReadImagePixels(image.get(), expected));
    ASSERT_EQ(decoded.pixels.Width(), expected.Width());
    ASSERT_EQ(decoded.pixels.Height(), expected.Height());
    EXPECT_TRUE(std::equal(expected.Data(), expected.Data() + expected.Width() * expected.Height(),
                           decoded.pixels.Data()));
}

ByteArray ReadFile(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return ByteArray(bytes.begin(), bytes.end());
}

TEST(PictureDecoding, EveryShippedPictureReadsAsGdiPlusReadsIt) {
    for (int level = 1; level <= kShippedLevels; ++level) {
        for (int index = 0; index < kSuperTileCount; ++index) {
            const std::string path = SuperTilePicturePath(SamplePictureFolder(), level, index);
            ExpectReadAsGdiPlus(ReadFile(path), path.c_str());
        }
    }
}

TEST(PictureDecoding, OddFilesReadAsGdiPlusReadsThem) {
    struct Case {
        const char* name;
        BmpLayout layout;
    };
    BmpLayout topDown;
    topDown.width = kOddSide;
    topDown.height = kOddSide;
    topDown.topDown = true;
    BmpLayout padded = topDown;
    padded.topDown = false;
    padded.width = 3;  // 9 bytes a row, padded to 12
    BmpLayout otherResolution = padded;
    otherResolution.pelsPerMetre = 3780;  // 96 dots per inch
    BmpLayout indexed = padded;
    indexed.bitCount = 8;
    for (std::uint32_t i = 0; i < 256; ++i) {
        indexed.palette.push_back(Colour(static_cast<int>(i), 1));
    }
    BmpLayout shortPalette = indexed;
    shortPalette.palette.resize(16);
    shortPalette.coloursUsed = 16;
    const Case cases[] = {{"top-down", topDown},
                          {"bottom-up with row padding", padded},
                          {"96 dots per inch", otherResolution},
                          {"8-bit, full palette", indexed},
                          {"8-bit, 16 colours", shortPalette}};
    for (const Case& c : cases) {
        const auto pixel = [&](int x, int y) {
            return c.layout.bitCount == 8 ? static_cast<std::uint32_t>(x * 3 + y) % 16 : Colour(x, y);
        };
        ExpectReadAsGdiPlus(MakeBmp(c.layout, pixel), c.name);
    }
}

TEST(PictureDecoding, DeclinedFilesGetGdiPlusPixelsOrNone) {
    BmpLayout layout;
    layout.width = kOddSide;
    layout.height = kOddSide;
    const ByteArray good = MakeBmp(layout, Colour);
    // A truncated file, and a picture only GDI+ decodes (PNG, with see-through pixels).
    const ByteArray truncated(good.begin(), good.end() - kOddSide);
    toolkit::GpBitmapPtr seeThrough = toolkit::CreateBitmap(kOddSide, kOddSide);
    for (int y = 0; y < kOddSide; ++y) {
        for (int x = 0; x < kOddSide; ++x) {
            gp::GdipBitmapSetPixel(seeThrough.get(), x, y,
                                   (static_cast<std::uint32_t>(x * 50) << 24) | Colour(x, y));
        }
    }
    const ByteArray png = toolkit::EncodeImageToBytes(seeThrough.get(), toolkit::kPngFormat);
    for (const ByteArray* file : {&truncated, &png}) {
        const SuperTilePicture picture = DecodeSuperTilePicture(*file);
        toolkit::GpImagePtr image = toolkit::LoadImageFromBytes(*file);
        toolkit::ArgbPixels expected;
        if (!image || !toolkit::ReadImagePixels(image.get(), expected)) {
            EXPECT_TRUE(picture.pixels.Empty());
            continue;
        }
        ASSERT_EQ(picture.pixels.Width(), expected.Width());
        ASSERT_EQ(picture.pixels.Height(), expected.Height());
        EXPECT_TRUE(std::equal(expected.Data(),
                               expected.Data() + expected.Width() * expected.Height(),
                               picture.pixels.Data()));
        EXPECT_EQ(picture.opaque, toolkit::IsOpaque(expected));
    }
}

// Every pair of a background and a foreground colour from the tables, drawn through GDI+ as
// the map's layers are drawn (a whole picture at its own size), against BlendOver.
TEST(PictureDecoding, BlendEqualsGdiPlusDrawing) {
    std::vector<std::uint32_t> colours;
    for (std::uint32_t alpha : kAlphas) {
        for (std::uint32_t channel : kChannels) {
            colours.push_back(alpha << 24 | channel << 16 | (0xFF - channel) << 8 | channel / 2);
        }
    }
    const int side = static_cast<int>(colours.size());
    toolkit::GpBitmapPtr background = toolkit::CreateBitmap(side, side);
    toolkit::GpBitmapPtr foreground = toolkit::CreateBitmap(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            gp::GdipBitmapSetPixel(background.get(), x, y, colours[static_cast<size_t>(y)]);
            gp::GdipBitmapSetPixel(foreground.get(), x, y, colours[static_cast<size_t>(x)]);
        }
    }
    toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(background.get());
    ASSERT_TRUE(toolkit::DrawImageScaled(graphics.get(), foreground.get(),
                                         toolkit::MakeRectF(0, 0, 0, 0), false));
    graphics.reset();
    toolkit::ArgbPixels drawn;
    ASSERT_TRUE(toolkit::ReadImagePixels(background.get(), drawn));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::uint32_t bg = colours[static_cast<size_t>(y)];
            const std::uint32_t fg = colours[static_cast<size_t>(x)];
            EXPECT_EQ(toolkit::BlendOver(bg, fg), drawn.At(x, y))
                << std::hex << fg << " over " << bg;
        }
    }
}

}  // namespace
}  // namespace mapview_test
