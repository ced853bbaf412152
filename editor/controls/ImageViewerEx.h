// ImageViewer_Ex: shows part of a picture larger than itself, one pixel inside an orange frame,
// and pans it while the left button is held and the pointer moves. The editor's map view and
// super-tile picker are viewers; their click and mouse-move routines are bound to the element's
// events and get element coordinates: the picture pixel under element point (x, y) is
// (x + ViewerOffsetX() - kViewerFrameWidth, y + ViewerOffsetY() - kViewerFrameWidth).
//
// Method slots: the element base, 18 the pre-filter (ImageViewerMessageRoutine), 19 a class
// handler that handles nothing (Page's), then the class's own operations from slot 91
// (ImageViewerSlot). It derives from Element rather than Page for the reason SRectEx.h gives.
// Like every element class it declares no virtual destructor (see core/Element.h).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>

#include "core/Element.h"
#include "foundation/Colour.h"

namespace controls {

// The class as the element record names it (type id, class-name text).
constexpr std::int32_t kImageViewerTypeId = 2718407;
constexpr char kImageViewerClassName[] = "ImageViewer_Ex";

// The class's own operations by slot number.
enum ImageViewerSlot : std::uint32_t {
    kSlotPaintImageViewer = 91,
    kSlotCreateImageViewer = 92,
    kSlotViewerOffsetX = 93,
    kSlotViewerOffsetY = 94,
    kSlotSetViewerPicture = 95,
    kSlotViewerDragLock = 96,
};

constexpr Gdiplus::ARGB kViewerFrameColour = toolkit::RgbToArgb(0xFF8800);
// The frame's width: the picture area is the element moved in by this on every side.
constexpr std::int32_t kViewerFrameWidth = 1;

// One axis of the offset rule: the offset shows as much of the picture as the element's size
// allows and never goes below 0. The limit is the element's size, not the picture area's, so
// the last two pixels of a picture wider than the element are never shown. The editor turns
// pointer positions into picture pixels with these same offsets, so the rule stays as it is.
constexpr std::int32_t ClampViewerOffset(std::int32_t offset, std::int32_t pictureSize,
                                         std::int32_t elementSize) {
    const std::int64_t limit = std::int64_t{pictureSize} - elementSize;
    std::int64_t clamped = offset > limit ? limit : offset;
    if (clamped < 0) {
        clamped = 0;
    }
    return static_cast<std::int32_t>(clamped);
}

class ImageViewer_Ex : public toolkit::Element {
public:
    ImageViewer_Ex() = default;

    // Slot 0: the viewer owns nothing beyond the element record (the picture is borrowed).
    void FreeMembers() override;
    // Slot 1: a plain copy on the process heap, as the engine expects of clones.
    std::uint32_t Clone() override;

    // Slot 18: ImageViewerMessageRoutine. 0, so bound routines and the class handler still run
    // (after the offsets have moved), except for the click that ends a drag: a press whose
    // pointer left the system's drag rectangle around where it went down, while the picture could
    // be panned, is not a click, and the bound click routine does not hear of it. Whether the
    // view followed the pointer does not count.
    LRESULT PreFilterMessage(HWND window, toolkit::ElementHandle handle, UINT message,
                             WPARAM wParam, LPARAM lParam) override;
    // Slot 19: as Page's class handler, handles nothing.
    LRESULT ClassMessageHandler(HWND window, toolkit::ElementHandle handle, UINT message,
                                WPARAM wParam, LPARAM lParam) override;

    // Slots 91-96, in ImageViewerSlot order.
    virtual void PaintImageViewer();
    // parent: a host window's HWND or a parent element's handle. The picture stays the caller's
    // and must outlive its use by the viewer (until SetViewerPicture replaces it). The element
    // handle, or 0.
    virtual toolkit::ElementHandle CreateImageViewer(std::uint32_t parent, std::int32_t x,
                                                     std::int32_t y, std::int32_t width,
                                                     std::int32_t height, Gdiplus::GpImage* picture,
                                                     std::int32_t offsetX, std::int32_t offsetY,
                                                     std::optional<bool> visible = std::nullopt);
    virtual std::int32_t ViewerOffsetX();
    virtual std::int32_t ViewerOffsetY();
    // Shows another picture (null for none), keeping the offsets as far as the new picture
    // allows, and repaints.
    virtual void SetViewerPicture(Gdiplus::GpImage* picture);
    // With the lock set, dragging does not pan; clicks still reach the bound routines.
    virtual bool ViewerDragLock(std::optional<bool> value = std::nullopt);

    // Not slots.
    Gdiplus::GpImage* Picture() const { return m_picture; }
    // The picture's pixels changed inside the rectangle (picture pixels): repaints and presents
    // only the part of it the viewer shows, if any.
    void RepaintPictureArea(std::int32_t x, std::int32_t y, std::int32_t width,
                            std::int32_t height);
    bool Dragging() const { return m_dragging; }

private:
    LRESULT ImageViewerMessageRoutine(UINT message, LPARAM lParam);
    void OnDragMove(std::int32_t x, std::int32_t y);
    // The picture is larger than the element along some axis, so dragging may pan it.
    bool CanPan() const;
    void ClampOffsets();

    Gdiplus::GpImage* m_picture = nullptr;
    std::int32_t m_offsetX = 0;
    std::int32_t m_offsetY = 0;
    std::int32_t m_dragStartOffsetX = 0;
    std::int32_t m_dragStartOffsetY = 0;
    std::int32_t m_dragStartX = 0;
    std::int32_t m_dragStartY = 0;
    bool m_dragging = false;
    bool m_dragLock = false;
    // The present press became a drag (see PreFilterMessage); the release just made ends such a
    // drag, so the click the host window raises next is not one.
    bool m_dragged = false;
    bool m_releaseEndsDrag = false;
};

}  // namespace controls
