// Owning handles for GDI+ flat-API objects.
//
// One template over the object type and its release routine, so every GDI+ object the toolkit
// makes has exactly one owner and is released on every path. GDI+ objects must never outlive
// GdiplusShutdown: keep these in objects and locals, never in statics that die after it.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>

namespace toolkit {

// Owns one GDI+ object and releases it with Release. Move-only; an empty handle holds null.
template <typename T, auto Release>
class GpHandle {
public:
    GpHandle() = default;
    explicit GpHandle(T* object) : m_object(object) {}
    GpHandle(const GpHandle&) = delete;
    GpHandle& operator=(const GpHandle&) = delete;
    GpHandle(GpHandle&& other) noexcept : m_object(other.release()) {}
    GpHandle& operator=(GpHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~GpHandle() { reset(); }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Gives up ownership, e.g. when the object is handed to the engine or stored in a field.
    T* release() { return std::exchange(m_object, nullptr); }

    void reset(T* object = nullptr) {
        T* old = std::exchange(m_object, object);
        if (old != nullptr) {
            Release(old);
        }
    }

    // Releases what is held and returns the slot for a GDI+ creation call to fill.
    T** put() {
        reset();
        return &m_object;
    }

private:
    T* m_object = nullptr;
};

using GpImagePtr = GpHandle<Gdiplus::GpImage, &Gdiplus::DllExports::GdipDisposeImage>;
using GpBitmapPtr = GpHandle<Gdiplus::GpBitmap, &Gdiplus::DllExports::GdipDisposeImage>;
using GpGraphicsPtr = GpHandle<Gdiplus::GpGraphics, &Gdiplus::DllExports::GdipDeleteGraphics>;
using GpPenPtr = GpHandle<Gdiplus::GpPen, &Gdiplus::DllExports::GdipDeletePen>;
using GpBrushPtr = GpHandle<Gdiplus::GpBrush, &Gdiplus::DllExports::GdipDeleteBrush>;
using GpSolidFillPtr = GpHandle<Gdiplus::GpSolidFill, &Gdiplus::DllExports::GdipDeleteBrush>;
using GpLineGradientPtr = GpHandle<Gdiplus::GpLineGradient, &Gdiplus::DllExports::GdipDeleteBrush>;
using GpPathPtr = GpHandle<Gdiplus::GpPath, &Gdiplus::DllExports::GdipDeletePath>;
using GpRegionPtr = GpHandle<Gdiplus::GpRegion, &Gdiplus::DllExports::GdipDeleteRegion>;
using GpFontPtr = GpHandle<Gdiplus::GpFont, &Gdiplus::DllExports::GdipDeleteFont>;
using GpFontFamilyPtr = GpHandle<Gdiplus::GpFontFamily, &Gdiplus::DllExports::GdipDeleteFontFamily>;
using GpStringFormatPtr =
    GpHandle<Gdiplus::GpStringFormat, &Gdiplus::DllExports::GdipDeleteStringFormat>;
using GpImageAttributesPtr =
    GpHandle<Gdiplus::GpImageAttributes, &Gdiplus::DllExports::GdipDisposeImageAttributes>;
using GpMatrixPtr = GpHandle<Gdiplus::GpMatrix, &Gdiplus::DllExports::GdipDeleteMatrix>;

}  // namespace toolkit
