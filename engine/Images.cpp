// GDI+ images made by the engine (theme pictures, icons, bitmaps, files) and ClearType text.
// Every image returned is a new GDI+ object that belongs to the caller.
#include "Engine.h"

#include "Memory.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace engine {
namespace {

constexpr UINT kGbkCodePage = 936;

// A 32-bit ARGB bitmap holding a copy of `pixels` (top-down, width x height).
GpBitmap* BitmapFromPixels(const std::vector<std::uint32_t>& pixels, int width, int height) {
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok) {
        return nullptr;
    }
    GpRect area{0, 0, width, height};
    BitmapData data{};
    if (GdipBitmapLockBits(bitmap, &area, ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok) {
        GdipDisposeImage(bitmap);
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(data.Scan0) + y * data.Stride, &pixels[y * width],
                    width * 4u);
    }
    GdipBitmapUnlockBits(bitmap, &data);
    return bitmap;
}

// Copies the pixels of a decoded image into a bitmap of its own, so that nothing of the
// decoder (stream, file) stays tied to what the caller receives.
GpBitmap* DetachedCopy(GpBitmap* source) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(source, &width);
    GdipGetImageHeight(source, &height);
    if (width == 0 || height == 0 || width > 16384 || height > 16384) {
        return nullptr;
    }
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    GpRect area{0, 0, INT(width), INT(height)};
    BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = INT(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    if (GdipBitmapLockBits(source, &area, ImageLockModeRead | ImageLockModeUserInputBuf,
                           PixelFormat32bppARGB, &data) != Ok) {
        return nullptr;
    }
    GdipBitmapUnlockBits(source, &data);
    return BitmapFromPixels(pixels, INT(width), INT(height));
}

// Pixels of a monochrome bitmap row-major, one value (0 or 1) per pixel.
bool MaskBits(HDC dc, HBITMAP mask, int width, int height, std::vector<std::uint8_t>& bits) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    const int stride = ((width + 31) / 32) * 4;
    std::vector<std::uint8_t> raw(std::size_t(stride) * height);
    if (GetDIBits(dc, mask, 0, height, raw.data(), reinterpret_cast<BITMAPINFO*>(&info),
                  DIB_RGB_COLORS) != height) {
        return false;
    }
    bits.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bits[y * width + x] = (raw[y * stride + x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return true;
}

bool ColourBits(HDC dc, HBITMAP bitmap, int width, int height, std::vector<std::uint32_t>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.assign(std::size_t(width) * height, 0);
    return GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) == height;
}

// An icon's picture with its alpha channel: a 32-bit colour bitmap that carries alpha keeps
// it; otherwise the AND mask gives the transparency.
GpBitmap* BitmapFromIcon(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return nullptr;
    }
    GpBitmap* result = nullptr;
    BITMAP mask{};
    HDC dc = GetDC(nullptr);
    if (info.hbmMask != nullptr && GetObjectW(info.hbmMask, sizeof mask, &mask) != 0) {
        const int width = mask.bmWidth;
        // A monochrome icon stacks its AND and XOR masks in one bitmap of twice the height.
        const int height = info.hbmColor != nullptr ? mask.bmHeight : mask.bmHeight / 2;
        std::vector<std::uint8_t> andBits;
        std::vector<std::uint32_t> pixels;
        if (width > 0 && height > 0 && MaskBits(dc, info.hbmMask, width, mask.bmHeight, andBits)) {
            bool ok = true;
            if (info.hbmColor != nullptr) {
                ok = ColourBits(dc, info.hbmColor, width, height, pixels);
            } else {
                pixels.assign(std::size_t(width) * height, 0);
                for (int i = 0; i < width * height; ++i) {
                    pixels[i] = andBits[width * height + i] ? 0xFFFFFFu : 0;
                }
            }
            bool hasAlpha = false;
            for (std::uint32_t p : pixels) {
                hasAlpha = hasAlpha || (p >> 24) != 0;
            }
            if (ok && !hasAlpha) {
                for (int i = 0; i < width * height; ++i) {
                    pixels[i] = (pixels[i] & 0xFFFFFFu) | (andBits[i] ? 0u : 0xFF000000u);
                }
            }
            if (ok) {
                result = BitmapFromPixels(pixels, width, height);
            }
        }
    }
    ReleaseDC(nullptr, dc);
    if (info.hbmMask != nullptr) {
        DeleteObject(info.hbmMask);
    }
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    return result;
}

}  // namespace

Word32 ImageFromPng(const std::uint8_t* data, std::uint32_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) {
        return 0;
    }
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return 0;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
        GlobalFree(memory);
        return 0;
    }
    GpBitmap* decoded = nullptr;
    GpBitmap* copy = nullptr;
    if (GdipCreateBitmapFromStream(stream, &decoded) == Ok) {
        copy = DetachedCopy(decoded);
        GdipDisposeImage(decoded);
    }
    stream->Release();
    return Word(copy);
}

Word32 ImageFromHandle(Word32 source) {
    if (source == 0) {
        return 0;
    }
    HGDIOBJ handle = Pointer<void>(source);
    ICONINFO probe{};
    if (GetIconInfo(static_cast<HICON>(handle), &probe)) {
        DeleteObject(probe.hbmMask);
        DeleteObject(probe.hbmColor);
        return Word(BitmapFromIcon(static_cast<HICON>(handle)));
    }
    if (GetObjectType(handle) == OBJ_BITMAP) {
        GpBitmap* bitmap = nullptr;
        if (GdipCreateBitmapFromHBITMAP(static_cast<HBITMAP>(handle), nullptr, &bitmap) != Ok) {
            return 0;
        }
        return Word(bitmap);
    }
    return 0;
}

Word32 ImageFromFile(Word32 source) {
    if (Word32 image = ImageFromHandle(source)) {
        return image;
    }
    std::string name;
    if (!ReadText(source, name) || name.empty()) {
        return 0;
    }
    int length = MultiByteToWideChar(kGbkCodePage, 0, name.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return 0;
    }
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, name.c_str(), -1, &wide[0], length);
    // The image is returned as loaded: an animated picture keeps its frames.
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(wide.c_str(), &image) != Ok) {
        return 0;
    }
    return Word(image);
}

Word32 DrawClearTypeText(Word32 graphics, Word32 text, Word32 x, Word32 y, Word32 width,
                         Word32 height, Word32 font, Word32 colour, Word32 format) {
    std::wstring caption;
    if (!Readable(graphics, 4) || !Readable(font, 4) || !ReadWideText(text, caption) ||
        (format != 0 && !Readable(format, 4))) {
        return 0;
    }
    GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(colour, &brush) != Ok) {
        return 0;
    }
    const RectF layout{static_cast<REAL>(static_cast<std::int32_t>(x)),
                       static_cast<REAL>(static_cast<std::int32_t>(y)),
                       static_cast<REAL>(static_cast<std::int32_t>(width)),
                       static_cast<REAL>(static_cast<std::int32_t>(height))};
    GpStatus status =
        GdipDrawString(Pointer<GpGraphics>(graphics), caption.c_str(), INT(caption.size()),
                       Pointer<GpFont>(font), &layout, Pointer<GpStringFormat>(format), brush);
    GdipDeleteBrush(brush);
    return status == Ok ? 1 : 0;
}

}  // namespace engine
