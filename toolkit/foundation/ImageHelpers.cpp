#include "foundation/ImageHelpers.h"

#include "foundation/BmpReader.h"
#include "foundation/Colour.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"
#include "foundation/Win32Handles.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace toolkit {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

constexpr int kAlphaByte = 3;  // offset of alpha within a 32-bit ARGB pixel
constexpr int kBytesPerPixel = 4;
constexpr int kAlphaRow = 3;  // row and column of alpha in a colour matrix
constexpr int kColourMatrixSize = 5;

bool FindEncoder(const GUID& format, CLSID* encoder) {
    UINT count = 0;
    UINT bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes == 0) {
        return false;
    }
    // ImageCodecInfo records are followed by the strings they point at, so the buffer is sized
    // in bytes, aligned for the records.
    std::vector<ImageCodecInfo> buffer(bytes / sizeof(ImageCodecInfo) + 1);
    if (GdipGetImageEncoders(count, bytes, buffer.data()) != Ok) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (IsEqualGUID(buffer[i].FormatID, format)) {
            *encoder = buffer[i].Clsid;
            return true;
        }
    }
    return false;
}

// Scales the alpha byte of each pixel in one locked strip. `factor` gets the pixel's column and
// row within the strip and returns the numerator over the strip size.
template <typename Factor>
bool FadeStrip(GpBitmap* bitmap, const GpRect& strip, int size, Factor factor) {
    BitmapData data = {};
    if (GdipBitmapLockBits(bitmap, &strip, ImageLockModeRead | ImageLockModeWrite,
                           kPixelFormat32bppArgb, &data) != Ok) {
        return false;
    }
    auto* rows = static_cast<BYTE*>(data.Scan0);
    for (int i = 0; i < strip.Height; ++i) {
        BYTE* row = rows + static_cast<std::ptrdiff_t>(i) * data.Stride;
        for (int j = 0; j < strip.Width; ++j) {
            BYTE& alpha = row[j * kBytesPerPixel + kAlphaByte];
            alpha = static_cast<BYTE>(alpha * factor(j, i) / size);
        }
    }
    return GdipBitmapUnlockBits(bitmap, &data) == Ok;
}

}  // namespace

GpImagePtr LoadImageFile(const char* path) {
    GpImagePtr image;
    const std::wstring widePath = ToWideString(path != nullptr ? path : "");
    if (!widePath.empty()) {
        GdipLoadImageFromFile(widePath.c_str(), image.put());
    }
    return image;
}

GpImagePtr LoadImageFromBytes(const std::uint8_t* data, std::size_t size) {
    GpImagePtr image;
    // Wine's GDI+ decodes a BMP whose pixels would start past the end of the stream from whatever
    // memory lies beyond it: garbage on screen, or a read past the block.
    if (data == nullptr || size == 0 || BmpPixelsStartPastEnd(data, size)) {
        return image;
    }
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, size));
    void* target = block ? GlobalLock(block.get()) : nullptr;
    if (target == nullptr) {
        return image;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block.get());
    ComPtr<IStream> stream;
    if (CreateStreamOnHGlobal(block.get(), TRUE, stream.put()) != S_OK) {
        return image;
    }
    block.release();  // the stream frees it when released
    GdipLoadImageFromStream(stream.get(), image.put());
    return image;
}

GpImagePtr LoadImageFromBytes(const ByteArray& bytes) {
    return LoadImageFromBytes(bytes.data(), bytes.size());
}

void DisposeImage(GpImage*& image) {
    if (image != nullptr) {
        GdipDisposeImage(image);
        image = nullptr;
    }
}

bool DeleteGraphics(GpGraphics*& graphics) {
    if (graphics == nullptr) {
        return true;
    }
    const bool deleted = GdipDeleteGraphics(graphics) == Ok;
    graphics = nullptr;
    return deleted;
}

void DeleteRegion(GpRegion*& region) {
    if (region != nullptr) {
        GdipDeleteRegion(region);
        region = nullptr;
    }
}

GpBitmapPtr CreateBitmap(int width, int height, PixelFormat format) {
    GpBitmapPtr bitmap;
    GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, bitmap.put());
    return bitmap;
}

GpGraphicsPtr GetImageGraphics(GpImage* image) {
    GpGraphicsPtr graphics;
    if (image != nullptr) {
        GdipGetImageGraphicsContext(image, graphics.put());
    }
    return graphics;
}

bool ClearGraphics(GpGraphics* graphics, ARGB colour) {
    return graphics != nullptr && GdipGraphicsClear(graphics, colour) == Ok;
}

int GetImageWidth(GpImage* image) {
    UINT width = 0;
    if (image != nullptr) {
        GdipGetImageWidth(image, &width);
    }
    return static_cast<int>(width);
}

int GetImageHeight(GpImage* image) {
    UINT height = 0;
    if (image != nullptr) {
        GdipGetImageHeight(image, &height);
    }
    return static_cast<int>(height);
}

GpRegionPtr RegionFromHrgn(HRGN region) {
    GpRegionPtr result;
    if (region != nullptr) {
        GdipCreateRegionHrgn(region, result.put());
    }
    return result;
}

GpFontPtr CloneDefaultFont() {
    GpFontPtr font;
    if (Toolkit().defaultFont != nullptr) {
        GdipCloneFont(Toolkit().defaultFont, font.put());
    }
    return font;
}

GpBitmapPtr CloneImageArea(GpImage* image, int x, int y, int width, int height,
                           PixelFormat format) {
    GpBitmapPtr clone;
    if (image == nullptr) {
        return clone;
    }
    if (width == kWholeImage) {
        width = GetImageWidth(image);
    }
    if (height == kWholeImage) {
        height = GetImageHeight(image);
    }
    if (format == kOwnPixelFormat && GdipGetImagePixelFormat(image, &format) != Ok) {
        return clone;
    }
    GdipCloneBitmapAreaI(x, y, width, height, format, static_cast<GpBitmap*>(image), clone.put());
    return clone;
}

ByteArray StreamBytes(IStream* stream) {
    ByteArray bytes;
    // The memory block grows in steps and may be larger than what was written: the stream's
    // own size is the length of the contents.
    STATSTG status = {};
    HGLOBAL block = nullptr;
    if (stream == nullptr || stream->Stat(&status, STATFLAG_NONAME) != S_OK ||
        status.cbSize.HighPart != 0 || GetHGlobalFromStream(stream, &block) != S_OK) {
        return bytes;
    }
    const SIZE_T length = status.cbSize.LowPart;
    if (GlobalSize(block) < length) {
        return bytes;
    }
    const void* source = GlobalLock(block);
    if (source == nullptr) {
        return bytes;
    }
    const auto* first = static_cast<const std::uint8_t*>(source);
    bytes.assign(first, first + length);
    GlobalUnlock(block);
    return bytes;
}

ByteArray EncodeImageToBytes(GpImage* image, const char* format) {
    ByteArray bytes;
    if (image == nullptr) {
        return bytes;
    }
    GUID formatId = {};
    if (format == nullptr) {
        if (GdipGetImageRawFormat(image, &formatId) != Ok) {
            return bytes;
        }
    } else {
        std::wstring text = ToWideString(format);
        if (text.empty() || CLSIDFromString(text.data(), &formatId) != NOERROR) {
            return bytes;
        }
    }
    CLSID encoder = {};
    if (!FindEncoder(formatId, &encoder)) {
        return bytes;
    }
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 0));
    ComPtr<IStream> stream;
    if (!block || CreateStreamOnHGlobal(block.get(), TRUE, stream.put()) != S_OK) {
        return bytes;
    }
    block.release();  // the stream frees it when released
    if (GdipSaveImageToStream(image, stream.get(), &encoder, nullptr) != Ok) {
        return bytes;
    }
    return StreamBytes(stream.get());
}

bool ApplyPixelEffects(GpBitmap* bitmap, unsigned edges, float ratio) {
    const int width = GetImageWidth(bitmap);
    const int height = GetImageHeight(bitmap);
    // A ratio above 1 would ask for a strip wider than the bitmap; it is held to the bitmap.
    const int size =
        std::min(static_cast<int>(std::min(width, height) * ratio), std::min(width, height));
    if (size <= 0) {
        return false;
    }
    bool faded = true;
    if (edges & kFadeLeft) {
        faded &= FadeStrip(bitmap, GpRect(0, 0, size, height), size,
                           [](int column, int) { return column; });
    }
    if (edges & kFadeTop) {
        faded &=
            FadeStrip(bitmap, GpRect(0, 0, width, size), size, [](int, int row) { return row; });
    }
    if (edges & kFadeRight) {
        faded &= FadeStrip(bitmap, GpRect(width - size, 0, size, height), size,
                           [size](int column, int) { return size - column; });
    }
    if (edges & kFadeBottom) {
        faded &= FadeStrip(bitmap, GpRect(0, height - size, width, size), size,
                           [size](int, int row) { return size - row; });
    }
    return faded;
}

bool SetImageAttributesAlpha(GpImageAttributes* attributes, int alpha) {
    if (attributes == nullptr) {
        return false;
    }
    ColorMatrix matrix = {};
    for (int i = 0; i < kColourMatrixSize; ++i) {
        matrix.m[i][i] = 1.0f;
    }
    matrix.m[kAlphaRow][kAlphaRow] =
        static_cast<REAL>(std::clamp(alpha, 0, kOpaqueAlpha) / static_cast<double>(kOpaqueAlpha));
    return GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &matrix,
                                             nullptr, ColorMatrixFlagsDefault) == Ok;
}

bool ResetImageAttributes(GpImageAttributes* attributes) {
    return attributes != nullptr &&
           GdipResetImageAttributes(attributes, ColorAdjustTypeBitmap) == Ok;
}

}  // namespace toolkit
