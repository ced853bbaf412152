#include "PixelBitmap.h"

#include "ImageHelpers.h"

#include <utility>

namespace toolkit {

namespace gp = Gdiplus::DllExports;

PixelBitmap& PixelBitmap::operator=(PixelBitmap&& other) noexcept {
    if (this != &other) {
        Reset();
        m_bitmap = std::move(other.m_bitmap);
        m_pixels = std::move(other.m_pixels);
    }
    return *this;
}

bool PixelBitmap::Make(std::int64_t width, std::int64_t height, std::uint32_t fill) {
    if (width != m_pixels.Width() || height != m_pixels.Height()) {
        // The bitmap points into the memory about to be replaced.
        m_bitmap.reset();
    }
    if (!m_pixels.Make(width, height, fill)) {
        Reset();
        return false;
    }
    return true;
}

void PixelBitmap::Reset() {
    m_bitmap.reset();
    m_pixels.Reset();
}

Gdiplus::GpBitmap* PixelBitmap::Bitmap() {
    if (!m_bitmap && !m_pixels.Empty()) {
        gp::GdipCreateBitmapFromScan0(m_pixels.Width(), m_pixels.Height(), m_pixels.Stride(),
                                      PixelFormat32bppARGB,
                                      reinterpret_cast<BYTE*>(m_pixels.Data()), m_bitmap.put());
    }
    return m_bitmap.get();
}

bool ReadImagePixels(Gdiplus::GpImage* image, ArgbPixels& pixels) {
    pixels.Reset();
    const int width = GetImageWidth(image);
    const int height = GetImageHeight(image);
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    if (image == nullptr || gp::GdipGetImageType(image, &type) != Gdiplus::Ok ||
        type != Gdiplus::ImageTypeBitmap || !pixels.Make(width, height)) {
        return false;
    }
    // GDI+ converts into the program's memory directly.
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = pixels.Stride();
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.Data();
    const Gdiplus::GpRect whole(0, 0, width, height);
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    if (gp::GdipBitmapLockBits(bitmap, &whole,
                               Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                               PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        pixels.Reset();
        return false;
    }
    gp::GdipBitmapUnlockBits(bitmap, &data);
    return true;
}

}  // namespace toolkit
