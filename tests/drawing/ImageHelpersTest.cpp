// Image objects: encoding and loading round trips, area clones, edge fades, regions.
#include "../support/GuardedBytes.h"
#include "foundation/ImageHelpers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "GdiPlusEnvironment.h"
#include "foundation/Toolkit.h"

namespace toolkit {
namespace {

using drawing_test::AlphaOf;
using drawing_test::MakeSolidBitmap;
using drawing_test::PaintArea;
using drawing_test::PixelAt;
using Gdiplus::ARGB;
using namespace Gdiplus::DllExports;

constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kBlue = 0xFF0000FF;
constexpr ARGB kHalfGreen = 0x8000FF00;
constexpr int kPictureWidth = 7;
constexpr int kPictureHeight = 5;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Every PNG ends with the empty IEND chunk: its length, its type and its fixed CRC.
constexpr std::array<std::uint8_t, 12> kPngTrailer = {0,   0,   0,    0,    'I',  'E',
                                                      'N', 'D', 0xAE, 0x42, 0x60, 0x82};
// The format of a GDI+ bitmap made in memory, which has no encoder.
constexpr char kMemoryBitmapFormat[] = "{B96B3CAA-0728-11D3-9D7B-0000F81EF32E}";

// Red, with a blue block and a half-transparent green pixel, so a round trip that loses
// position or alpha shows.
GpBitmapPtr MakePicture() {
    GpBitmapPtr picture = MakeSolidBitmap(kPictureWidth, kPictureHeight, kRed);
    PaintArea(picture.get(), 2, 1, 3, 2, kBlue);
    PaintArea(picture.get(), 6, 4, 1, 1, kHalfGreen);
    return picture;
}

void ExpectSamePixels(Gdiplus::GpImage* expected, Gdiplus::GpImage* actual) {
    ASSERT_EQ(GetImageWidth(actual), GetImageWidth(expected));
    ASSERT_EQ(GetImageHeight(actual), GetImageHeight(expected));
    auto* expectedBitmap = static_cast<Gdiplus::GpBitmap*>(expected);
    auto* actualBitmap = static_cast<Gdiplus::GpBitmap*>(actual);
    for (int y = 0; y < GetImageHeight(expected); ++y) {
        for (int x = 0; x < GetImageWidth(expected); ++x) {
            EXPECT_EQ(PixelAt(actualBitmap, x, y), PixelAt(expectedBitmap, x, y)) << x << ", " << y;
        }
    }
}

TEST(ImageHelpers, PngRoundTripKeepsPixelsAndHasNoSlack) {
    GpBitmapPtr picture = MakePicture();
    const ByteArray png = EncodeImageToBytes(picture.get(), kPngFormat);
    ASSERT_GT(png.size(), kPngSignature.size() + kPngTrailer.size());
    EXPECT_TRUE(std::equal(kPngSignature.begin(), kPngSignature.end(), png.begin()));
    // The bytes end exactly at the trailer: no zero slack of the memory block follows.
    EXPECT_TRUE(std::equal(kPngTrailer.begin(), kPngTrailer.end(), png.end() - kPngTrailer.size()));

    // Read from the end of readable memory, so that a read past the bytes faults here.
    const test_support::GuardedBytes guarded(png);
    GpImagePtr loaded = LoadImageFromBytes(guarded.data(), guarded.size());
    ASSERT_TRUE(loaded);
    ExpectSamePixels(picture.get(), loaded.get());

    // Without a format the picture is encoded in its own: a loaded PNG gives a PNG again.
    const ByteArray again = EncodeImageToBytes(loaded.get());
    ASSERT_GE(again.size(), kPngSignature.size());
    EXPECT_TRUE(std::equal(kPngSignature.begin(), kPngSignature.end(), again.begin()));
}

TEST(ImageHelpers, StreamBytesCopiesTheStreamNotItsBlock) {
    const char contents[] = "ten bytes!";
    constexpr ULONG kContentLength = sizeof contents - 1;
    constexpr SIZE_T kGrownBlock = 4096;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 0);
    ASSERT_NE(block, nullptr);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
    ULONG written = 0;
    ASSERT_EQ(stream->Write(contents, kContentLength, &written), S_OK);
    // Windows grows the block in steps beyond what was written; make that slack here too.
    ASSERT_EQ(GlobalReAlloc(block, kGrownBlock, GMEM_MOVEABLE | GMEM_ZEROINIT), block);
    ASSERT_GE(GlobalSize(block), kGrownBlock);

    const ByteArray bytes = StreamBytes(stream);
    stream->Release();
    ASSERT_EQ(bytes.size(), kContentLength);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), contents));
    EXPECT_TRUE(StreamBytes(nullptr).empty());
}

TEST(ImageHelpers, EncodingWithoutAnEncoderGivesNoBytes) {
    GpBitmapPtr picture = MakePicture();
    EXPECT_TRUE(EncodeImageToBytes(picture.get(), kMemoryBitmapFormat).empty());
    EXPECT_TRUE(EncodeImageToBytes(picture.get()).empty());  // its own format is the memory one
    EXPECT_TRUE(EncodeImageToBytes(picture.get(), "not a format").empty());
    EXPECT_TRUE(EncodeImageToBytes(nullptr, kPngFormat).empty());
}

TEST(ImageHelpers, LoadingNothingOrNonsenseGivesNoImage) {
    const ByteArray nonsense = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    EXPECT_FALSE(LoadImageFromBytes(ByteArray{}));
    EXPECT_FALSE(LoadImageFromBytes(nullptr, 0));
    const test_support::GuardedBytes guarded(nonsense);
    EXPECT_FALSE(LoadImageFromBytes(guarded.data(), guarded.size()));
    EXPECT_FALSE(LoadImageFile(nullptr));
    EXPECT_FALSE(LoadImageFile("Z:\\no\\such\\picture.png"));
}

TEST(ImageHelpers, LoadsAPictureFileWithAChineseName) {
    GpBitmapPtr picture = MakePicture();
    const ByteArray png = EncodeImageToBytes(picture.get(), kPngFormat);
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path = std::string(folder) + "图片.png";  // GBK bytes
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
    {
        GpImagePtr loaded = LoadImageFile(path.c_str());
        ASSERT_TRUE(loaded);
        ExpectSamePixels(picture.get(), loaded.get());
    }  // GDI+ holds the file open while the image lives
    DeleteFileA(path.c_str());
}

TEST(ImageHelpers, CloneImageAreaCopiesTheArea) {
    GpBitmapPtr picture = MakePicture();
    GpBitmapPtr area = CloneImageArea(picture.get(), 2, 1, 3, 2);
    ASSERT_TRUE(area);
    EXPECT_EQ(GetImageWidth(area.get()), 3);
    EXPECT_EQ(GetImageHeight(area.get()), 2);
    EXPECT_EQ(PixelAt(area.get(), 0, 0), kBlue);
    EXPECT_EQ(PixelAt(area.get(), 2, 1), kBlue);

    GpBitmapPtr whole = CloneImageArea(picture.get(), 0, 0);
    ASSERT_TRUE(whole);
    ExpectSamePixels(picture.get(), whole.get());

    EXPECT_FALSE(CloneImageArea(picture.get(), 5, 0, 3, 2));  // reaches past the right edge
    EXPECT_FALSE(CloneImageArea(nullptr, 0, 0));
}

TEST(ImageHelpers, PixelEffectsFadeEveryEdgeAsked) {
    // 40 x 20 at ratio 0.25: strips of 5 pixels.
    constexpr int kWidth = 40;
    constexpr int kHeight = 20;
    struct Probe {
        unsigned edges;
        int x, y;
        unsigned alpha;
    };
    const Probe probes[] = {
        {kFadeLeft, 0, 10, 0},
        {kFadeLeft, 1, 10, 51},
        {kFadeLeft, 4, 10, 204},
        {kFadeLeft, 5, 10, 255},
        {kFadeTop, 20, 0, 0},
        {kFadeTop, 20, 3, 153},
        {kFadeRight, 35, 10, 255},
        {kFadeRight, 39, 10, 51},
        {kFadeRight, 34, 10, 255},
        {kFadeBottom, 20, 15, 255},
        {kFadeBottom, 20, 19, 51},
        {kFadeBottom, 20, 14, 255},
        {kFadeLeft | kFadeTop, 2, 1, 20},  // 255 x 2 / 5 = 102, then 102 x 1 / 5
    };
    for (const Probe& probe : probes) {
        GpBitmapPtr bitmap = MakeSolidBitmap(kWidth, kHeight, kRed);
        ASSERT_TRUE(ApplyPixelEffects(bitmap.get(), probe.edges));
        EXPECT_EQ(AlphaOf(PixelAt(bitmap.get(), probe.x, probe.y)), probe.alpha)
            << "edges " << probe.edges << " at " << probe.x << ", " << probe.y;
    }
    // A strip of no width fades nothing.
    GpBitmapPtr thin = MakeSolidBitmap(kWidth, 3, kRed);
    EXPECT_FALSE(ApplyPixelEffects(thin.get(), kFadeLeft));
    EXPECT_EQ(PixelAt(thin.get(), 0, 1), kRed);
}

TEST(ImageHelpers, SmallObjectHelpers) {
    GpBitmapPtr bitmap = CreateBitmap(3, 4);
    ASSERT_TRUE(bitmap);
    Gdiplus::PixelFormat format = 0;
    GdipGetImagePixelFormat(bitmap.get(), &format);
    EXPECT_EQ(format, kPixelFormat32bppArgb);
    EXPECT_EQ(GetImageWidth(nullptr), 0);

    HRGN gdiRegion = CreateRectRgn(0, 0, 10, 10);
    GpRegionPtr region = RegionFromHrgn(gdiRegion);
    DeleteObject(gdiRegion);
    ASSERT_TRUE(region);
    BOOL inside = FALSE;
    BOOL outside = TRUE;
    GdipIsVisibleRegionPointI(region.get(), 5, 5, nullptr, &inside);
    GdipIsVisibleRegionPointI(region.get(), 15, 15, nullptr, &outside);
    EXPECT_TRUE(inside);
    EXPECT_FALSE(outside);

    GpFontPtr font = CloneDefaultFont();
    ASSERT_TRUE(font);
    EXPECT_NE(font.get(), Toolkit().defaultFont);  // a copy: the shared font stays the toolkit's

    Gdiplus::GpImage* image = bitmap.release();
    DisposeImage(image);
    EXPECT_EQ(image, nullptr);
    Gdiplus::GpGraphics* graphics = nullptr;
    EXPECT_TRUE(DeleteGraphics(graphics));
    Gdiplus::GpRegion* rawRegion = region.release();
    DeleteRegion(rawRegion);
    EXPECT_EQ(rawRegion, nullptr);
}

}  // namespace
}  // namespace toolkit
