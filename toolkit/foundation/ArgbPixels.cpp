#include "ArgbPixels.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/AllocationMayFail.h"

namespace toolkit {
namespace {

constexpr std::uint32_t kAlphaMask = 0xFF000000u;

// Where a copy from source to canvas lands once both pictures have clipped it: the canvas
// rectangle, and the source pixel written at its top-left corner.
struct CopyArea {
    PixelRect target;
    int sourceX = 0;
    int sourceY = 0;
};

CopyArea ClipCopy(const ArgbPixels& canvas, std::int64_t x, std::int64_t y,
                  const ArgbPixels& source, std::int64_t sourceX, std::int64_t sourceY,
                  std::int64_t width, std::int64_t height) {
    const PixelRect from =
        ClipToCanvas(sourceX, sourceY, width, height, source.Width(), source.Height());
    if (from.Empty()) {
        return {};
    }
    // The part of the source that exists, moved to where it lands on the canvas.
    const std::int64_t shiftX = x - sourceX;
    const std::int64_t shiftY = y - sourceY;
    const PixelRect target = ClipToCanvas(from.left + shiftX, from.top + shiftY, from.Width(),
                                          from.Height(), canvas.Width(), canvas.Height());
    if (target.Empty()) {
        return {};
    }
    return {target, static_cast<int>(target.left - shiftX), static_cast<int>(target.top - shiftY)};
}

}  // namespace

bool ArgbPixels::Make(std::int64_t width, std::int64_t height, std::uint32_t fill) {
    if (width <= 0 || height <= 0 || width > kMaxPixels || height > kMaxPixels ||
        width * height > kMaxPixels) {
        Reset();
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(width * height);
    if (width != m_width || height != m_height) {
        // A picture of another size gives its memory back before the new one is taken, so two
        // large pictures never live side by side.
        Reset();
        // Out of memory the picture stays empty, as for a size it refuses: a throw would cross
        // the window procedure or engine call that asked for it.
        try {
            const AllocationMayFail mayFail;
            m_pixels.assign(count, fill);
        } catch (const std::bad_alloc&) {
            Reset();
            return false;
        }
    } else {
        std::fill(m_pixels.begin(), m_pixels.end(), fill);
    }
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    return true;
}

void ArgbPixels::Reset() {
    std::vector<std::uint32_t>().swap(m_pixels);
    m_width = 0;
    m_height = 0;
}

std::uint32_t ArgbPixels::At(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    return m_pixels[static_cast<std::size_t>(y * m_width + x)];
}

void FillPixels(ArgbPixels& canvas, const PixelRect& rect, std::uint32_t colour) {
    const PixelRect area = ClipToCanvas(rect, canvas.Width(), canvas.Height());
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = canvas.Data() + static_cast<std::size_t>(y) * canvas.Width();
        std::fill(row + area.left, row + area.right, colour);
    }
}

void CopyPixels(ArgbPixels& canvas, std::int64_t x, std::int64_t y, const ArgbPixels& source,
                std::int64_t sourceX, std::int64_t sourceY, std::int64_t width,
                std::int64_t height) {
    const CopyArea area = ClipCopy(canvas, x, y, source, sourceX, sourceY, width, height);
    const std::size_t bytes = static_cast<std::size_t>(area.target.Width()) * sizeof(std::uint32_t);
    for (int row = 0; row < area.target.Height(); ++row) {
        std::uint32_t* to = canvas.Data() +
                            static_cast<std::size_t>(area.target.top + row) * canvas.Width() +
                            area.target.left;
        const std::uint32_t* from = source.Data() +
                                    static_cast<std::size_t>(area.sourceY + row) * source.Width() +
                                    area.sourceX;
        std::memcpy(to, from, bytes);
    }
}

void BlendPixels(ArgbPixels& canvas, std::int64_t x, std::int64_t y, const ArgbPixels& source,
                 std::int64_t sourceX, std::int64_t sourceY, std::int64_t width,
                 std::int64_t height) {
    const CopyArea area = ClipCopy(canvas, x, y, source, sourceX, sourceY, width, height);
    const int columns = area.target.Width();
    for (int row = 0; row < area.target.Height(); ++row) {
        std::uint32_t* to = canvas.Data() +
                            static_cast<std::size_t>(area.target.top + row) * canvas.Width() +
                            area.target.left;
        const std::uint32_t* from = source.Data() +
                                    static_cast<std::size_t>(area.sourceY + row) * source.Width() +
                                    area.sourceX;
        for (int column = 0; column < columns; ++column) {
            const std::uint32_t fg = from[column];
            // Most pixels of the map's layers are either empty or opaque.
            if ((fg & kAlphaMask) == kAlphaMask) {
                to[column] = fg;
            } else if ((fg & kAlphaMask) != 0) {
                to[column] = BlendOver(to[column], fg);
            }
        }
    }
}

bool IsOpaque(const ArgbPixels& picture) {
    const std::uint32_t* pixels = picture.Data();
    const std::size_t count = static_cast<std::size_t>(picture.Width()) * picture.Height();
    return std::all_of(pixels, pixels + count,
                       [](std::uint32_t pixel) { return (pixel & kAlphaMask) == kAlphaMask; });
}

}  // namespace toolkit
