// A picture in memory the program owns (ArgbPixels) that GDI+ can also draw: the GDI+ bitmap is
// made over the program's own pixel memory, so a change to the pixels shows at the next GDI+
// drawing without any copy. And the way back: the pixels of any GDI+ image read into owned
// memory.
#pragma once

#include "ArgbPixels.h"
#include "GdiPlusHandles.h"

namespace toolkit {

class PixelBitmap {
public:
    PixelBitmap() = default;
    PixelBitmap(const PixelBitmap&) = delete;
    PixelBitmap& operator=(const PixelBitmap&) = delete;
    PixelBitmap(PixelBitmap&& other) noexcept = default;
    PixelBitmap& operator=(PixelBitmap&& other) noexcept;
    ~PixelBitmap() { Reset(); }

    // As ArgbPixels::Make. A picture of the same size keeps its memory and its GDI+ bitmap.
    bool Make(std::int64_t width, std::int64_t height, std::uint32_t fill = 0);
    void Reset();

    bool Empty() const { return m_pixels.Empty(); }
    ArgbPixels& Pixels() { return m_pixels; }
    const ArgbPixels& Pixels() const { return m_pixels; }
    // The GDI+ bitmap over the pixels, made at the first call; null when the picture is empty
    // or GDI+ refuses. It lives as long as the pixels keep their size.
    Gdiplus::GpBitmap* Bitmap();

private:
    // Declared first, so that the bitmap is released before the memory under it.
    ArgbPixels m_pixels;
    GpBitmapPtr m_bitmap;
};

// Reads every pixel of a GDI+ image, as GDI+ gives them in 32-bit ARGB, into pixels. False,
// leaving pixels empty, when the image cannot be read.
bool ReadImagePixels(Gdiplus::GpImage* image, ArgbPixels& pixels);

}  // namespace toolkit
