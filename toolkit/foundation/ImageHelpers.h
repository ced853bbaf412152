// GDI+ image objects: loading, creating, cloning, encoding and per-pixel edge fades.
//
// Creating helpers return owning handles (GdiPlusHandles.h); an empty handle is the failure
// value, and nothing is reported beyond it. Colours are GDI+ ARGB values (see Colour.h).
#pragma once

#include "foundation/CheckedMemory.h"
#include "foundation/GdiPlusHandles.h"

#include <cstddef>
#include <cstdint>

namespace toolkit {

// Pixel format of new bitmaps and of locked pixel data: 32-bit ARGB, not premultiplied.
constexpr Gdiplus::PixelFormat kPixelFormat32bppArgb = PixelFormat32bppARGB;
static_assert(kPixelFormat32bppArgb == 2498570, "format value callers store");

// A size argument of CloneImageArea that is not given: the image's own size.
constexpr int kWholeImage = -1;
// The pixel format argument of CloneImageArea that keeps the image's own format.
constexpr Gdiplus::PixelFormat kOwnPixelFormat = 0;

// Format text of the PNG encoder, as EncodeImageToBytes takes it.
constexpr char kPngFormat[] = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";

// Edges that ApplyPixelEffects fades; DrawImageEx takes the same bits.
enum FadeEdge : unsigned {
    kFadeLeft = 1,
    kFadeTop = 2,
    kFadeRight = 4,
    kFadeBottom = 8,
};
constexpr float kDefaultFadeRatio = 0.25f;

// Loads a picture file; the path is GBK text.
GpImagePtr LoadImageFile(const char* path);

// Loads a picture held in memory (PNG, BMP, GIF, JPEG, ...). The bytes are copied, so the caller
// may free them at once; no bytes, or bytes GDI+ cannot decode, give an empty handle.
GpImagePtr LoadImageFromBytes(const std::uint8_t* data, std::size_t size);
GpImagePtr LoadImageFromBytes(const ByteArray& bytes);

// Release a raw handle held in a variable and clear the variable. DeleteGraphics reports true
// also when there was nothing to delete.
void DisposeImage(Gdiplus::GpImage*& image);
bool DeleteGraphics(Gdiplus::GpGraphics*& graphics);
void DeleteRegion(Gdiplus::GpRegion*& region);

// A new bitmap whose pixels GDI+ allocates.
GpBitmapPtr CreateBitmap(int width, int height,
                         Gdiplus::PixelFormat format = kPixelFormat32bppArgb);
GpGraphicsPtr GetImageGraphics(Gdiplus::GpImage* image);
bool ClearGraphics(Gdiplus::GpGraphics* graphics, Gdiplus::ARGB colour);
int GetImageWidth(Gdiplus::GpImage* image);
int GetImageHeight(Gdiplus::GpImage* image);
GpRegionPtr RegionFromHrgn(HRGN region);
// A copy of the toolkit's default font, the caller's to delete; empty before start-up.
GpFontPtr CloneDefaultFont();

// A new bitmap of one area of the image, in the image's own pixel format unless another is
// given. An area reaching outside the image gives an empty handle.
GpBitmapPtr CloneImageArea(Gdiplus::GpImage* image, int x, int y, int width = kWholeImage,
                           int height = kWholeImage, Gdiplus::PixelFormat format = kOwnPixelFormat);

// The image encoded in the format named by its GUID text (kPngFormat, ...), or in the image's
// own raw format when none is given. No encoder for the format, or a failed save, gives no bytes.
ByteArray EncodeImageToBytes(Gdiplus::GpImage* image, const char* format = nullptr);

// The contents of a stream made by CreateStreamOnHGlobal: as many bytes as the stream holds,
// which may be fewer than its memory block. No stream, or another kind, gives no bytes.
ByteArray StreamBytes(IStream* stream);

// Fades the alpha of the bitmap along the edges given as FadeEdge bits, over a strip of
// trunc(min(width, height) x ratio) pixels. The bitmap should carry alpha, or nothing is kept.
bool ApplyPixelEffects(Gdiplus::GpBitmap* bitmap, unsigned edges, float ratio = kDefaultFadeRatio);

// A uniform alpha (0..255) as the colour matrix of image attributes, and its removal.
bool SetImageAttributesAlpha(Gdiplus::GpImageAttributes* attributes, int alpha);
bool ResetImageAttributes(Gdiplus::GpImageAttributes* attributes);

}  // namespace toolkit
