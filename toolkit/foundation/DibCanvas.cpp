#include "foundation/DibCanvas.h"

#include <algorithm>
#include <utility>

namespace toolkit {
namespace {

constexpr WORD kBitsPerPixel = 32;
constexpr int kBytesPerPixel = kBitsPerPixel / 8;

}  // namespace

DibCanvas::DibCanvas(int width, int height, bool topDown) {
    Create(width, height, topDown);
}

DibCanvas::DibCanvas(DibCanvas&& other) noexcept {
    Swap(other);
}

DibCanvas& DibCanvas::operator=(DibCanvas&& other) noexcept {
    if (this != &other) {
        Reset();
        Swap(other);
    }
    return *this;
}

void DibCanvas::Swap(DibCanvas& other) noexcept {
    std::swap(m_dc, other.m_dc);
    std::swap(m_bitmap, other.m_bitmap);
    std::swap(m_previous, other.m_previous);
    std::swap(m_bits, other.m_bits);
    std::swap(m_width, other.m_width);
    std::swap(m_height, other.m_height);
    std::swap(m_topDown, other.m_topDown);
}

bool DibCanvas::Create(int width, int height, bool topDown) {
    Reset();
    width = std::max(width, 1);
    height = std::max(height, 1);
    MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * height * kBytesPerPixel;
    void* bits = nullptr;
    // A new DIB section is zero-filled: transparent black.
    GdiObject<HBITMAP> bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        return false;
    }
    m_previous = SelectObject(dc.get(), bitmap.get());
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_bits = bits;
    m_width = width;
    m_height = height;
    m_topDown = topDown;
    return true;
}

void DibCanvas::Reset() {
    // The DIB cannot be deleted while the DC still has it selected.
    if (m_dc && m_previous != nullptr) {
        SelectObject(m_dc.get(), m_previous);
    }
    m_previous = nullptr;
    m_bitmap.reset();
    m_dc.reset();
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

std::uint32_t DibCanvas::Pixel(int x, int y) const {
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    GdiFlush();  // GDI may still be drawing into the section
    const int row = m_topDown ? y : m_height - 1 - y;
    const auto* pixels = static_cast<const std::uint32_t*>(m_bits);
    return pixels[static_cast<std::size_t>(row) * m_width + x];
}

}  // namespace toolkit
