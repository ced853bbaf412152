// A 32-bit DIB section selected into its own memory DC: the surface every element canvas, back
// buffer and snapshot is drawn on. GDI+ drawing through the DC writes premultiplied alpha.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/Win32Handles.h"

namespace toolkit {

class DibCanvas {
public:
    DibCanvas() = default;
    // A canvas of the size, or an empty one when the DIB cannot be made (see Create).
    DibCanvas(int width, int height, bool topDown = true);
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    DibCanvas(DibCanvas&& other) noexcept;
    DibCanvas& operator=(DibCanvas&& other) noexcept;
    ~DibCanvas() { Reset(); }

    // Replaces the canvas with a new one, cleared to transparent black. A width or height of 0
    // or less is made 1, so a collapsed element still has a surface. False when GDI refused.
    bool Create(int width, int height, bool topDown = true);
    // Puts the DC's own bitmap back, then frees the DIB and the DC.
    void Reset();

    explicit operator bool() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc.get(); }
    HBITMAP Bitmap() const { return m_bitmap.get(); }
    void* Pixels() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The premultiplied 0xAARRGGBB pixel at (x, y), counted from the top in either layout;
    // 0 outside the canvas.
    std::uint32_t Pixel(int x, int y) const;

private:
    void Swap(DibCanvas& other) noexcept;

    MemoryDc m_dc;
    GdiObject<HBITMAP> m_bitmap;
    HGDIOBJ m_previous = nullptr;
    void* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_topDown = true;
};

}  // namespace toolkit
