// Images from icons, bitmaps and files, and ClearType text, checked by pixels.
#include "EngineTestSupport.h"

#include <cstring>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace engine_test {
namespace {

using namespace engine_abi;

constexpr int kSide = 16;
constexpr ARGB kOpaqueRed = 0xFFFF0000;
constexpr ARGB kOpaqueBlue = 0xFF0000FF;
constexpr ARGB kAlphaMask = 0xFF000000;

// A 32-bit icon whose left half is opaque red and whose right half is fully transparent.
HICON MakeAlphaIcon() {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = kSide;
    header.bV5Height = -kSide;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_RGB;
    void* bits = nullptr;
    HDC dc = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    ReleaseDC(nullptr, dc);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            pixels[y * kSide + x] = x < kSide / 2 ? kOpaqueRed : 0;
        }
    }
    HBITMAP mask = CreateBitmap(kSide, kSide, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

TEST(EngineImages, IconKeepsItsAlpha) {
    HICON icon = MakeAlphaIcon();
    ASSERT_NE(icon, nullptr);
    for (Word ordinal : {Word(kOrdImageFromHandle), Word(kOrdImageFromFile)}) {
        Image image(Call(ordinal, W(icon)));
        ASSERT_TRUE(image.Valid()) << "ordinal " << ordinal;
        EXPECT_EQ(image.Width(), UINT(kSide));
        EXPECT_EQ(image.Pixel(2, 2), kOpaqueRed);
        EXPECT_EQ(image.Pixel(kSide - 2, 2) & kAlphaMask, 0u) << "transparent half";
    }
    DestroyIcon(icon);
}

TEST(EngineImages, BitmapHandleGivesItsPixels) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kSide, kSide);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, kSide, kSide};
    FillRect(dc, &all, blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(blue);
    ReleaseDC(nullptr, screen);

    Image image(Call(kOrdImageFromHandle, W(bitmap)));
    ASSERT_TRUE(image.Valid());
    EXPECT_EQ(image.Pixel(3, 3), kOpaqueBlue);
    DeleteObject(bitmap);  // the image is a copy
    EXPECT_EQ(image.Pixel(3, 3), kOpaqueBlue);
}

CLSID PngEncoder() {
    CLSID clsid{};
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &clsid);
    return clsid;
}

TEST(EngineImages, FileNameInGbkLoadsThePicture) {
    GpBitmap* source = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(kSide, kSide, 0, PixelFormat32bppARGB, nullptr, &source),
              Ok);
    GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(source, &graphics);
    GdipGraphicsClear(graphics, kOpaqueBlue);
    GdipDeleteGraphics(graphics);
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"引擎图片.png";
    CLSID png = PngEncoder();
    ASSERT_EQ(GdipSaveImageToFile(source, path.c_str(), &png, nullptr), Ok);
    GdipDisposeImage(source);

    char gbk[MAX_PATH * 2] = {};
    WideCharToMultiByte(936, 0, path.c_str(), -1, gbk, sizeof gbk, nullptr, nullptr);
    {
        Image image(Call(kOrdImageFromFile, W(gbk)));
        ASSERT_TRUE(image.Valid());
        EXPECT_EQ(image.Pixel(1, 1), kOpaqueBlue);
    }
    DeleteFileW(path.c_str());
    EXPECT_EQ(Call(kOrdImageFromFile, W("Z:\\no\\such\\picture.png")), 0u);
    EXPECT_EQ(Call(kOrdImageFromHandle, W(gbk)), 0u) << "ordinal 40 takes no file names";
}

// The caption lands inside its rectangle and in its colour. The rectangle starts halfway across
// the canvas and a little above it: its coordinates are signed.
TEST(EngineImages, ClearTypeTextDrawsTheCaptionInItsRectangleAndColour) {
    constexpr int kWidth = 80, kHeight = 30;
    constexpr int kLeft = kWidth / 2;
    constexpr int kAbove = -2;
    constexpr REAL kFontSize = 20;
    GpBitmap* canvas = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(kWidth, kHeight, 0, PixelFormat32bppARGB, nullptr, &canvas),
              Ok);
    GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(canvas, &graphics);
    GdipGraphicsClear(graphics, 0);
    GpFontFamily* family = nullptr;
    GdipGetGenericFontFamilySansSerif(&family);
    GpFont* font = nullptr;
    ASSERT_EQ(GdipCreateFont(family, kFontSize, 0, UnitPixel, &font), Ok);

    EXPECT_EQ(Call(kOrdDrawClearTypeText, W(graphics), W(L"WWW"), kLeft, static_cast<Word>(kAbove),
                   kWidth - kLeft, kHeight - kAbove, W(font), kOpaqueBlue, 0),
              1u);
    GdipFlush(graphics, FlushIntentionSync);
    int inked = 0, outside = 0, otherColour = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ARGB argb = 0;
            GdipBitmapGetPixel(canvas, x, y, &argb);
            if ((argb & kAlphaMask) == 0) {
                continue;
            }
            ++inked;
            outside += x < kLeft ? 1 : 0;
            otherColour += (argb & ~kAlphaMask) != (kOpaqueBlue & ~kAlphaMask) ? 1 : 0;
        }
    }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(outside, 0) << "ink left of the rectangle";
    EXPECT_EQ(otherColour, 0) << "ink in another colour";
    EXPECT_EQ(Call(kOrdDrawClearTypeText, W(graphics), 0, 0, 0, kWidth, kHeight, W(font), 0, 0),
              0u);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(canvas);
}

}  // namespace
}  // namespace engine_test
