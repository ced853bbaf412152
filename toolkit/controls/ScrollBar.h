// ScrollBar: the toolkit's own scroll bar. Two arrow buttons, a track and a thumb drawn from the
// theme section "ScrollBar"; line and page steps with auto-repeat on the element timer, a
// draggable thumb, the mouse wheel, and notification kScrollBarChanged on every change.
//
// Edit and ListBox own two each and drive them through the slots below, so the slot order
// follows the element base without a virtual destructor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Element.h"

namespace toolkit {

// Raised to the bound routine with (element handle, position, reason).
constexpr std::uint32_t kScrollBarChanged = 20501;

enum ScrollReason : std::uint32_t {
    kScrollClamped = 0,  // a property change or painting clamped the position
    kScrollLineBack = 1,
    kScrollLineForward = 2,
    kScrollPageBack = 3,
    kScrollPageForward = 4,
    kScrollThumbReleased = 5,
    kScrollThumbMoved = 6,  // pressed, dragged, or the wheel
};

// Parts of the bar, as HotPart and hit-test results.
enum ScrollPart : std::int32_t {
    kScrollPartNone = 0,
    kScrollPartThumb = 1,
    kScrollPartFirstArrow = 2,
    kScrollPartSecondArrow = 4,
    kScrollPartTrack = 8,
};

// PartsShown bits.
enum ScrollPartsShown : std::int32_t {
    kShowTrack = 1,  // with the thumb
    kShowFirstArrow = 2,
    kShowSecondArrow = 4,
    kShowAllParts = 7,
};

// ScrollBarStyle bits: a part drawn only while the bar is hot, and hiding an unscrollable bar.
enum ScrollBarStyleBits : std::int32_t {
    kStyleTrackWhenHot = 1,
    kStyleThumbWhenHot = 2,
    kStyleFirstArrowWhenHot = 4,
    kStyleSecondArrowWhenHot = 8,
    kStyleHideWhenUnscrollable = 16,
};

constexpr std::int32_t kScrollHorizontal = 1;

// Optional arguments of CreateScrollBar; an absent value takes the default named beside it.
struct ScrollBarCreateOptions {
    std::optional<std::int32_t> pageSize;      // the width when horizontal, else the height
    std::optional<std::int32_t> position;      // ignored: the position starts at the minimum
    std::optional<std::int32_t> minValue;      // 0
    std::optional<std::int32_t> maxValue;      // 100
    std::optional<std::int32_t> pageStep;      // 10
    std::optional<std::int32_t> lineStep;      // 1
    std::optional<std::int32_t> trackEvents;   // 1
    std::optional<std::int32_t> orientation;   // kScrollHorizontal
    std::optional<std::int32_t> partsShown;    // kShowAllParts
    std::optional<std::int32_t> style;         // 0
    std::optional<std::int32_t> elementStyle;  // 1 (visible)
};

class ScrollBar : public Element {
public:
    ScrollBar() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91. state: kStateNormal 0, 128 highlight or 8 pressed, for the hot part.
    virtual void PaintScrollBar(std::int32_t state);
    // Slot 92.
    virtual void LayoutScrollBar(std::int32_t width, std::int32_t height);
    // Slot 93: ThumbLength and the thumb rectangle.
    virtual void SizeThumb();
    // Slot 94: places the thumb and raises kScrollBarChanged; fromDrag raises only with
    // TrackEvents on.
    virtual void PlaceThumbAndNotify(std::uint32_t reason, bool fromDrag);
    // Slot 95: prefix + part + the state's name.
    virtual std::string StateKey(std::int32_t state, const char* prefix, const char* part);
    // Slot 96: the ScrollPart under a packed element point.
    virtual std::int32_t HitTest(std::uint32_t packedPoint);
    // Slot 97: state when part is the hot part, else 0.
    virtual std::int32_t PartState(std::int32_t state, std::int32_t part);
    // Slots 98-99.
    virtual std::int32_t PixelToValue(float pixel);
    virtual float ValueToPixel();
    // Slot 100. parent: a host window's HWND or a parent element's handle.
    virtual ElementHandle CreateScrollBar(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                          std::int32_t width, std::int32_t height,
                                          const ScrollBarCreateOptions& options = {});
    // Slots 101-103, 109: (value, redrawNow, deferRedraw); setting clamps the position.
    virtual std::int32_t Position(std::optional<std::int32_t> value = std::nullopt,
                                  bool redrawNow = false, bool deferRedraw = false);
    virtual std::int32_t MinValue(std::optional<std::int32_t> value = std::nullopt,
                                  bool redrawNow = false, bool deferRedraw = false);
    virtual std::int32_t MaxValue(std::optional<std::int32_t> value = std::nullopt,
                                  bool redrawNow = false, bool deferRedraw = false);
    // Slots 104-108.
    virtual std::int32_t PageStep(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t LineStep(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t TrackEvents(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t PartsShown(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ScrollBarStyle(std::optional<std::int32_t> value = std::nullopt);
    // Slot 109.
    virtual std::int32_t PageSize(std::optional<std::int32_t> value = std::nullopt,
                                  bool redrawNow = false, bool deferRedraw = false);
    // Slot 110: binds kScrollBarChanged.
    virtual std::uint32_t OnPositionChanged(std::uint32_t routine, std::uint32_t owner);

    // Not slots: the largest position, and whether there is anything to scroll.
    double Limit() const;
    bool Scrollable() const;
    bool Horizontal() const { return m_orientation == kScrollHorizontal; }
    std::int32_t HotPart() const { return m_hotPart; }
    std::int32_t ThumbLength() const { return m_thumbLength; }
    std::int32_t MinThumbLength() const { return m_minThumbLength; }
    const ElementRectF& FirstArrowRect() const { return m_firstArrow; }
    const ElementRectF& SecondArrowRect() const { return m_secondArrow; }
    const ElementRectF& TrackRect() const { return m_track; }
    const ElementRectF& ThumbRect() const { return m_thumb; }

private:
    void OnButtonDown(LPARAM lParam);
    void OnTimer();
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnWheel(WPARAM wParam);
    // Clamps the position into [MinValue, limit]; reports each clamp with reason 0.
    void ClampAndReport();
    std::int32_t Clamped(double value) const;
    void StopRepeat();
    void Redraw(bool redrawNow, bool deferRedraw);
    float Along(std::uint32_t packedPoint) const;
    float Start(const ElementRectF& rect) const { return Horizontal() ? rect.x : rect.y; }
    float Length(const ElementRectF& rect) const { return Horizontal() ? rect.width : rect.height; }

    std::int32_t m_position = 0;
    std::int32_t m_minValue = 0;
    std::int32_t m_maxValue = 100;
    std::int32_t m_pageStep = 10;
    std::int32_t m_lineStep = 1;
    std::int32_t m_trackEvents = 1;
    std::int32_t m_orientation = kScrollHorizontal;
    std::int32_t m_style = 0;
    std::int32_t m_dragAnchor = 0;
    std::int32_t m_pageDelta = 0;
    std::int32_t m_partsShown = kShowAllParts;
    // Held in the object rather than on the heap: nothing outside the class reads them.
    ElementRectF m_firstArrow{};
    ElementRectF m_secondArrow{};
    ElementRectF m_track{};
    ElementRectF m_thumb{};
    std::int32_t m_hotPart = kScrollPartNone;
    std::int32_t m_thumbLength = 0;
    std::int32_t m_pageSize = 0;
    std::int32_t m_minThumbLength = 0;
};

enum ScrollBarSlot : std::uint32_t {
    kSlotScrollBarPaint = 91,
    kSlotScrollBarLayout = 92,
    kSlotScrollBarPlaceThumb = 94,
    kSlotCreateScrollBar = 100,
    kSlotScrollBarPosition = 101,
    kSlotScrollBarPageSize = 109,
    kSlotScrollBarOnPositionChanged = 110,
};

}  // namespace toolkit
