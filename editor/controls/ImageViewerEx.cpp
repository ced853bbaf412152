#include "controls/ImageViewerEx.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "foundation/CallAddress.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/ImageHelpers.h"
#include "foundation/PixelRect.h"

namespace controls {

namespace gp = Gdiplus::DllExports;
using toolkit::ElementHandle;

namespace {

// Pointer positions are signed 16-bit words: a captured pointer left of or above the element
// reports negative coordinates. (windowsx.h has the same macros but also redefines DeleteFont.)
std::int32_t PointerX(LPARAM lParam) {
    return static_cast<std::int16_t>(LOWORD(lParam));
}

std::int32_t PointerY(LPARAM lParam) {
    return static_cast<std::int16_t>(HIWORD(lParam));
}

// The whole pixels a paint rectangle touches.
toolkit::PixelRect PaintBounds(const toolkit::ElementRectF& paint) {
    return {static_cast<int>(std::floor(paint.x)), static_cast<int>(std::floor(paint.y)),
            static_cast<int>(std::ceil(paint.x + paint.width)),
            static_cast<int>(std::ceil(paint.y + paint.height))};
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void ImageViewer_Ex::FreeMembers() {
    // The picture belongs to whoever handed it over.
}

std::uint32_t ImageViewer_Ex::Clone() {
    return toolkit::AddressOf(toolkit::CloneOnProcessHeap(*this));
}

LRESULT ImageViewer_Ex::PreFilterMessage(HWND, ElementHandle, UINT message, WPARAM, LPARAM lParam) {
    return ImageViewerMessageRoutine(message, lParam);
}

LRESULT ImageViewer_Ex::ClassMessageHandler(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

// ---- Creation and properties --------------------------------------------------------------------

ElementHandle ImageViewer_Ex::CreateImageViewer(std::uint32_t parent, std::int32_t x,
                                                std::int32_t y, std::int32_t width,
                                                std::int32_t height, Gdiplus::GpImage* picture,
                                                std::int32_t offsetX, std::int32_t offsetY,
                                                std::optional<bool> visible) {
    m_picture = picture;
    m_offsetX = offsetX;
    m_offsetY = offsetY;
    if (m_picture != nullptr) {
        // Offsets that reach past the picture would draw from outside it.
        m_offsetX = ClampViewerOffset(offsetX, toolkit::GetImageWidth(m_picture), width);
        m_offsetY = ClampViewerOffset(offsetY, toolkit::GetImageHeight(m_picture), height);
    }
    toolkit::ElementCreateOptions create;
    create.visible = visible.value_or(true) ? 1 : 0;
    return CreateElement(parent, x, y, width, height, kImageViewerTypeId, kImageViewerClassName,
                         create);
}

std::int32_t ImageViewer_Ex::ViewerOffsetX() {
    return m_offsetX;
}

std::int32_t ImageViewer_Ex::ViewerOffsetY() {
    return m_offsetY;
}

void ImageViewer_Ex::SetViewerPicture(Gdiplus::GpImage* picture) {
    m_picture = picture;
    ClampOffsets();
    InvalidateElement();
}

void ImageViewer_Ex::RepaintPictureArea(std::int32_t x, std::int32_t y, std::int32_t width,
                                        std::int32_t height) {
    if (m_picture == nullptr) {
        return;
    }
    // Picture pixel (m_offsetX, m_offsetY) shows at the picture area's top-left corner, one
    // frame width inside the element; nothing shows outside the picture area.
    const toolkit::PixelRect area = toolkit::ClipToCanvas(
        std::int64_t{x} - m_offsetX, std::int64_t{y} - m_offsetY, width, height,
        m_width - 2 * kViewerFrameWidth, m_height - 2 * kViewerFrameWidth);
    if (area.Empty()) {
        return;
    }
    InvalidateElementRect(static_cast<float>(area.left + kViewerFrameWidth),
                          static_cast<float>(area.top + kViewerFrameWidth),
                          static_cast<float>(area.Width()), static_cast<float>(area.Height()));
}

bool ImageViewer_Ex::ViewerDragLock(std::optional<bool> value) {
    if (value) {
        m_dragLock = *value;
    }
    return m_dragLock;
}

bool ImageViewer_Ex::CanPan() const {
    return m_picture != nullptr && (toolkit::GetImageWidth(m_picture) > m_width ||
                                    toolkit::GetImageHeight(m_picture) > m_height);
}

void ImageViewer_Ex::ClampOffsets() {
    if (m_picture == nullptr) {
        return;
    }
    m_offsetX = ClampViewerOffset(m_offsetX, toolkit::GetImageWidth(m_picture), m_width);
    m_offsetY = ClampViewerOffset(m_offsetY, toolkit::GetImageHeight(m_picture), m_height);
}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT ImageViewer_Ex::ImageViewerMessageRoutine(UINT message, LPARAM lParam) {
    constexpr LRESULT kGoOn = 0;
    constexpr LRESULT kSwallowClick = 1;
    const std::int32_t x = PointerX(lParam);
    const std::int32_t y = PointerY(lParam);
    switch (message) {
        case WM_CREATE:
            // Clicks fall through the transparent parts of the canvas.
            ElementAlphaHitTest(true);
            break;
        case WM_PAINT:
            PaintImageViewer();
            break;
        case WM_LBUTTONDOWN:
            m_dragged = false;
            m_releaseEndsDrag = false;
            // The lock is read while moving, so a drag started unlocked stops when it is set.
            if (m_picture != nullptr) {
                m_dragging = true;
                m_dragStartX = x;
                m_dragStartY = y;
                m_dragStartOffsetX = m_offsetX;
                m_dragStartOffsetY = m_offsetY;
            }
            break;
        case WM_MOUSEMOVE:
            if (m_picture != nullptr && m_dragging && !m_dragLock) {
                OnDragMove(x, y);
            }
            break;
        case WM_LBUTTONUP:
            m_dragging = false;
            m_releaseEndsDrag = m_dragged;
            m_dragged = false;
            break;
        case toolkit::kMsgClick:
            // The host window raises a click on every release over the element. After a drag the
            // user moved the view, or tried to, and asked for nothing else: the editor would
            // otherwise place a super-tile under the pointer, an edit nobody meant and nothing
            // can undo.
            if (m_releaseEndsDrag) {
                m_releaseEndsDrag = false;
                return kSwallowClick;
            }
            break;
        case toolkit::kMsgMouseLeave:
            // A release outside the element raises no click; the next one must not be eaten.
            m_releaseEndsDrag = false;
            break;
        default:
            break;
    }
    return kGoOn;
}

void ImageViewer_Ex::OnDragMove(std::int32_t x, std::int32_t y) {
    const std::int32_t oldX = m_offsetX;
    const std::int32_t oldY = m_offsetY;
    m_offsetX = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{m_dragStartOffsetX} - (x - m_dragStartX), INT32_MIN, INT32_MAX));
    m_offsetY = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{m_dragStartOffsetY} - (y - m_dragStartY), INT32_MIN, INT32_MAX));
    ClampOffsets();
    if (oldX != m_offsetX || oldY != m_offsetY) {
        InvalidateElement();
    }
    // Only the pointer decides whether the press became a drag. The view follows a hand that
    // trembles by a pixel, and a view against the picture's edge follows no pull at all: both
    // depend on where earlier drags and levels left it, not on what the user meant.
    const std::int64_t awayX = std::int64_t{x} - m_dragStartX;
    const std::int64_t awayY = std::int64_t{y} - m_dragStartY;
    if (CanPan() && (std::abs(awayX) > GetSystemMetrics(SM_CXDRAG) ||
                     std::abs(awayY) > GetSystemMetrics(SM_CYDRAG))) {
        m_dragged = true;
    }
}

// ---- Painting -----------------------------------------------------------------------------------

void ImageViewer_Ex::PaintImageViewer() {
    if (!IsElementAlive() || m_width <= 0 || m_height <= 0) {
        return;
    }
    toolkit::DrawContext context{};
    toolkit::BeginElementDraw(m_handle, &context);
    Gdiplus::GpGraphics* graphics = context.graphics;
    if (graphics == nullptr) {
        toolkit::EndElementDraw(m_handle, &context);
        return;
    }
    Gdiplus::GraphicsState saved = 0;
    gp::GdipSaveGraphics(graphics, &saved);
    gp::GdipGraphicsClear(graphics, 0);

    toolkit::GpPenPtr pen;
    if (gp::GdipCreatePen1(kViewerFrameColour, 1.0f, Gdiplus::UnitPixel, pen.put()) ==
        Gdiplus::Ok) {
        // A rectangle is outlined through the pixels at its far edge, so it is drawn one smaller.
        gp::GdipDrawRectangleI(graphics, pen.get(), 0, 0, m_width - 1, m_height - 1);
    }

    const std::int32_t areaWidth = m_width - 2 * kViewerFrameWidth;
    const std::int32_t areaHeight = m_height - 2 * kViewerFrameWidth;
    if (m_picture != nullptr && areaWidth > 0 && areaHeight > 0) {
        const std::int32_t pictureWidth = toolkit::GetImageWidth(m_picture);
        const std::int32_t pictureHeight = toolkit::GetImageHeight(m_picture);
        // Offsets are clamped, but never draw from outside the picture whatever they hold.
        const std::int32_t sourceX = std::clamp(m_offsetX, 0, std::max(pictureWidth, 0));
        const std::int32_t sourceY = std::clamp(m_offsetY, 0, std::max(pictureHeight, 0));
        const std::int32_t drawnWidth = std::min(areaWidth, pictureWidth - sourceX);
        const std::int32_t drawnHeight = std::min(areaHeight, pictureHeight - sourceY);
        // Only the part inside the paint rectangle is drawn: this GDI+ resamples the whole
        // destination of a drawing before it clips, so a small repaint of a large picture
        // would otherwise cost as much as a full one.
        const toolkit::PixelRect paint = PaintBounds(context.paint);
        const toolkit::PixelRect drawn = toolkit::ClipToCanvas(
            toolkit::PixelRect{std::max(paint.left, kViewerFrameWidth),
                               std::max(paint.top, kViewerFrameWidth), paint.right, paint.bottom},
            kViewerFrameWidth + std::max(drawnWidth, 0),
            kViewerFrameWidth + std::max(drawnHeight, 0));
        if (!drawn.Empty()) {
            // Unscaled: each picture pixel lands on exactly one canvas pixel.
            gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
            gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
            gp::GdipDrawImageRectRectI(
                graphics, m_picture, drawn.left, drawn.top, drawn.Width(), drawn.Height(),
                sourceX + drawn.left - kViewerFrameWidth, sourceY + drawn.top - kViewerFrameWidth,
                drawn.Width(), drawn.Height(), Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
        }
    }

    gp::GdipRestoreGraphics(graphics, saved);
    toolkit::EndElementDraw(m_handle, &context);
}

}  // namespace controls
