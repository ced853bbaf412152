#include "EdctlTestSupport.h"

#include "core/ElementEvents.h"
#include "foundation/ImageHelpers.h"

namespace edctl_test {

namespace {

// Coordinate colours: red holds the low 8 bits of x, green the low 8 bits of y, and blue the
// high 4 bits of each.
constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr int kLowBits = 8;
constexpr int kHighBits = 4;
constexpr std::uint32_t kLowMask = 0xFF;
constexpr std::uint32_t kHighMask = 0x0F;

std::uint32_t EncodeCoordinate(int x, int y) {
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    const std::uint32_t blue = ((ux >> kLowBits) << kHighBits) | (uy >> kLowBits);
    return kOpaque | ((ux & kLowMask) << 16) | ((uy & kLowMask) << 8) | (blue & kLowMask);
}

}  // namespace

std::uint32_t CanvasPixel(const Element& element, int x, int y) {
    GdiFlush();
    return static_cast<const std::uint32_t*>(element.m_canvasBits)[y * element.m_width + x];
}

LRESULT SendPointer(ElementHandle handle, UINT message, int x, int y) {
    return toolkit::SendToElement(handle, message, 0, MAKELPARAM(x, y));
}

toolkit::GpBitmapPtr MakeCoordinatePicture(int width, int height) {
    toolkit::GpBitmapPtr picture = toolkit::CreateBitmap(width, height);
    if (!picture) {
        return picture;
    }
    Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(picture.get(), &whole, Gdiplus::ImageLockModeWrite,
                                                toolkit::kPixelFormat32bppArgb,
                                                &data) != Gdiplus::Ok) {
        return {};
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(data.Scan0) +
                                                     y * data.Stride);
        for (int x = 0; x < width; ++x) {
            row[x] = EncodeCoordinate(x, y);
        }
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(picture.get(), &data);
    return picture;
}

POINT DecodeCoordinate(std::uint32_t argb) {
    if (Alpha(argb) != 0xFF) {
        return {-1, -1};
    }
    const std::uint32_t blue = argb & kLowMask;
    const auto x = static_cast<LONG>((((blue >> kHighBits) & kHighMask) << kLowBits) |
                                     ((argb >> 16) & kLowMask));
    const auto y = static_cast<LONG>(((blue & kHighMask) << kLowBits) | ((argb >> 8) & kLowMask));
    return {x, y};
}

}  // namespace edctl_test
