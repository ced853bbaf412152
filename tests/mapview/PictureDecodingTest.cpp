// The program's own picture decoding against GDI+: the BMP reader gives GDI+'s pixels, pixel
// format and resolution for every shipped super-tile picture, for odd files and for files with a
// damaged header; a file it declines still gets GDI+'s pixels through the fallback; and the
// program's blend gives what GDI+ writes when it draws a see-through picture over another. What
// GDI+ reads is taken through GDI+'s own calls, never through the program's picture helpers.
#include "MapViewTestSupport.h"

#include "foundation/BmpReader.h"
#include "foundation/Drawing.h"
#include "foundation/Win32Handles.h"
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
// Fields of a BMP file's headers, by offset.
constexpr std::size_t kPixelOffsetField = 10;
constexpr std::size_t kBitCountField = 28;
// Alphas and channel values the blend is tried with, edges included.
constexpr std::uint32_t kAlphas[] = {0, 1, 20, 127, 128, 150, 254, 255};
constexpr std::uint32_t kChannels[] = {0, 1, 0x33, 0x88, 0xFE, 0xFF};

static_assert(toolkit::kBmpFormat24bppRgb == PixelFormat24bppRGB);
static_assert(toolkit::kBmpFormat8bppIndexed == PixelFormat8bppIndexed);

std::uint32_t Colour(int x, int y) {
    return static_cast<std::uint32_t>(x * 0x0A1B2C + y * 0x3D4E5F) & 0xFFFFFF;
}

// What GDI+ makes of a file's bytes: its pixels in 32-bit ARGB, its pixel format and resolution.
struct GdiPlusReading {
    bool read = false;
    toolkit::ArgbPixels pixels;
    Gdiplus::PixelFormat format = 0;
    Gdiplus::REAL dpiX = 0;
    Gdiplus::REAL dpiY = 0;
};

GdiPlusReading ReadWithGdiPlus(const ByteArray& file) {
    GdiPlusReading reading;
    toolkit::GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, file.size()));
    void* bytes = block ? GlobalLock(block.get()) : nullptr;
    if (file.empty() || bytes == nullptr) {
        return reading;
    }
    std::copy(file.begin(), file.end(), static_cast<std::uint8_t*>(bytes));
    GlobalUnlock(block.get());
    toolkit::ComPtr<IStream> stream;
    if (CreateStreamOnHGlobal(block.get(), TRUE, stream.put()) != S_OK) {
        return reading;
    }
    block.release();  // the stream's now
    toolkit::GpBitmapPtr bitmap;
    UINT width = 0;
    UINT height = 0;
    if (gp::GdipCreateBitmapFromStream(stream.get(), bitmap.put()) != Gdiplus::Ok ||
        gp::GdipGetImageWidth(bitmap.get(), &width) != Gdiplus::Ok ||
        gp::GdipGetImageHeight(bitmap.get(), &height) != Gdiplus::Ok ||
        !reading.pixels.Make(width, height)) {
        return reading;
    }
    const Gdiplus::Rect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (gp::GdipBitmapLockBits(bitmap.get(), &whole, Gdiplus::ImageLockModeRead,
                               PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        return reading;
    }
    for (UINT y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(data.Scan0) + y * data.Stride);
        std::copy(row, row + width, reading.pixels.Data() + y * width);
    }
    gp::GdipBitmapUnlockBits(bitmap.get(), &data);
    gp::GdipGetImagePixelFormat(bitmap.get(), &reading.format);
    gp::GdipGetImageHorizontalResolution(bitmap.get(), &reading.dpiX);
    gp::GdipGetImageVerticalResolution(bitmap.get(), &reading.dpiY);
    reading.read = true;
    return reading;
}

// Where a BMP file says its pixels start.
std::size_t PixelOffset(const ByteArray& file) {
    return std::size_t{file[kPixelOffsetField]} | std::size_t{file[kPixelOffsetField + 1]} << 8 |
           std::size_t{file[kPixelOffsetField + 2]} << 16 |
           std::size_t{file[kPixelOffsetField + 3]} << 24;
}

bool SamePixels(const toolkit::ArgbPixels& a, const toolkit::ArgbPixels& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Data(), a.Data() + a.Width() * a.Height(), b.Data());
}

bool EveryPixelOpaque(const toolkit::ArgbPixels& pixels) {
    constexpr std::uint32_t kOpaqueAlpha = 0xFF;
    return std::all_of(pixels.Data(), pixels.Data() + pixels.Width() * pixels.Height(),
                       [](std::uint32_t argb) { return argb >> 24 == kOpaqueAlpha; });
}

// The reader's result equals what GDI+ makes of the same bytes.
void ExpectReadAsGdiPlus(const ByteArray& file, const char* what) {
    SCOPED_TRACE(what);
    toolkit::DecodedBmp decoded;
    ASSERT_TRUE(toolkit::DecodeBmp(file.data(), file.size(), decoded));
    const GdiPlusReading expected = ReadWithGdiPlus(file);
    ASSERT_TRUE(expected.read);
    EXPECT_EQ(decoded.format, expected.format);
    EXPECT_EQ(decoded.dpiX, expected.dpiX);
    EXPECT_EQ(decoded.dpiY, expected.dpiY);
    EXPECT_TRUE(SamePixels(decoded.pixels, expected.pixels));
}

// The picture the program makes of a file, by its reader or through GDI+, is the one GDI+ makes:
// the same pixels, seen as opaque exactly when all of them are; no picture when GDI+ has none.
void ExpectPictureAsGdiPlusReadsIt(const ByteArray& file) {
    const SuperTilePicture picture = DecodeSuperTilePicture(file);
    const GdiPlusReading expected = ReadWithGdiPlus(file);
    if (!expected.read) {
        EXPECT_TRUE(picture.pixels.Empty());
        return;
    }
    EXPECT_TRUE(SamePixels(picture.pixels, expected.pixels));
    EXPECT_EQ(picture.opaque, EveryPixelOpaque(expected.pixels));
    EXPECT_EQ(picture.file, file);
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
            return c.layout.bitCount == 8 ? static_cast<std::uint32_t>(x * 3 + y) % 16
                                          : Colour(x, y);
        };
        ExpectReadAsGdiPlus(MakeBmp(c.layout, pixel), c.name);
    }
}

TEST(PictureDecoding, DeclinedFilesGetGdiPlusPixelsOrNone) {
    BmpLayout layout;
    layout.width = kOddSide;
    layout.height = kOddSide;
    const ByteArray good = MakeBmp(layout, Colour);
    {
        SCOPED_TRACE("a truncated file");
        ExpectPictureAsGdiPlusReadsIt(ByteArray(good.begin(), good.end() - kOddSide));
    }
    // Pixels said to start at the file's end or past it: no picture, and nothing of the memory
    // beyond the file shows (GDI+ under Wine reads it as pixels).
    for (const std::size_t past : {std::size_t{0}, std::size_t{1}, good.size()}) {
        SCOPED_TRACE(testing::Message() << "pixels " << past << " bytes past the end");
        ByteArray pastEnd = good;
        const std::size_t offset = good.size() + past;
        for (std::size_t i = 0; i < sizeof(std::uint32_t); ++i) {
            pastEnd[kPixelOffsetField + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        }
        EXPECT_TRUE(DecodeSuperTilePicture(pastEnd).pixels.Empty());
        EXPECT_FALSE(toolkit::LoadImageFromBytes(pastEnd));
    }
    // A picture only GDI+ decodes: PNG, with pixels from transparent to nearly opaque.
    const auto seeThrough = [](int x, int y) {
        constexpr int kAlphaStep = 50;
        return static_cast<std::uint32_t>(x * kAlphaStep) << 24 | Colour(x, y);
    };
    toolkit::GpBitmapPtr source = toolkit::CreateBitmap(kOddSide, kOddSide);
    for (int y = 0; y < kOddSide; ++y) {
        for (int x = 0; x < kOddSide; ++x) {
            gp::GdipBitmapSetPixel(source.get(), x, y, seeThrough(x, y));
        }
    }
    const ByteArray png = toolkit::EncodeImageToBytes(source.get(), toolkit::kPngFormat);
    const SuperTilePicture picture = DecodeSuperTilePicture(png);
    ASSERT_EQ(picture.pixels.Width(), kOddSide);
    ASSERT_EQ(picture.pixels.Height(), kOddSide);
    for (int y = 0; y < kOddSide; ++y) {
        for (int x = 0; x < kOddSide; ++x) {
            EXPECT_EQ(picture.pixels.At(x, y), seeThrough(x, y)) << x << ", " << y;
        }
    }
    EXPECT_FALSE(picture.opaque);
    EXPECT_EQ(picture.file, png);
}

// Every header byte of a 24-bit and an 8-bit file set to each of a few telling values: whether
// the reader takes the damaged file or leaves it to GDI+, the picture is what GDI+ reads.
TEST(PictureDecoding, DamagedHeadersGiveWhatGdiPlusReads) {
    constexpr std::size_t kHeaderBytes = 54;
    constexpr std::uint8_t kTellingBytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    constexpr int kSide = 3;
    BmpLayout plain;
    plain.width = kSide;
    plain.height = kSide;
    BmpLayout indexed = plain;
    indexed.bitCount = 8;
    indexed.palette = {0x102030, 0x405060};
    indexed.coloursUsed = 2;
    const ByteArray files[] = {MakeBmp(plain, Colour), MakeBmp(indexed, [](int x, int y) {
                                   return static_cast<std::uint32_t>(x + y) % 2;
                               })};
    for (const ByteArray& good : files) {
        for (std::size_t at = 0; at < kHeaderBytes; ++at) {
            for (const std::uint8_t value : kTellingBytes) {
                SCOPED_TRACE(testing::Message() << int{good[kBitCountField]} << "-bit file, byte "
                                                << at << " set to " << int{value});
                ByteArray damaged = good;
                damaged[at] = value;
                if (PixelOffset(damaged) >= damaged.size()) {
                    // No pixel lies in the file, whatever GDI+ would make up for it.
                    EXPECT_TRUE(DecodeSuperTilePicture(damaged).pixels.Empty());
                    continue;
                }
                ExpectPictureAsGdiPlusReadsIt(damaged);
                toolkit::DecodedBmp decoded;
                if (toolkit::DecodeBmp(damaged.data(), damaged.size(), decoded)) {
                    ExpectReadAsGdiPlus(damaged, "taken by the reader");
                }
            }
        }
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
