// ScrollBar: creation, properties, layout and value mapping, the input handler and painting.
#include "controls/ScrollBar.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

namespace {

constexpr double kTolerance = 1e-7;
constexpr UINT kRepeatIntervalMs = 200;
constexpr std::uint32_t kTransitionIntervalMs = 25;
constexpr std::uint32_t kHoverFrames = 8;
// The thumb is at least this much longer than its two nine-grid insets.
constexpr float kThumbSlack = 10.0f;

constexpr std::int32_t kPaintNormal = 0;
constexpr std::int32_t kPaintPressed = 8;
constexpr std::int32_t kPaintHighlight = 128;

// Theme keys of the "ScrollBar" section, after the "h_" or "v_" prefix.
constexpr char kPrefixHorizontal[] = "h_";
constexpr char kPrefixVertical[] = "v_";
constexpr char kKeyLeft[] = "left_";
constexpr char kKeyRight[] = "right_";
constexpr char kKeyUp[] = "up_";
constexpr char kKeyDown[] = "down_";
constexpr char kKeyTrack[] = "bg";
constexpr char kKeyTrackGrid[] = "bg_gird";

bool Contains(const ElementRectF& rect, float x, float y) {
    return x - rect.x >= -kTolerance && rect.x + rect.width - x > kTolerance &&
           y - rect.y >= -kTolerance && rect.y + rect.height - y > kTolerance;
}

Gdiplus::RectF ToRectF(const ElementRectF& rect) {
    return Gdiplus::RectF(rect.x, rect.y, rect.width, rect.height);
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void ScrollBar::FreeMembers() {}

std::uint32_t ScrollBar::Clone() {
    // The rectangles are part of the object, so a plain copy owns its own.
    return AddressOf(CloneOnProcessHeap(*this));
}

// ---- Creation and properties --------------------------------------------------------------------

ElementHandle ScrollBar::CreateScrollBar(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                         std::int32_t width, std::int32_t height,
                                         const ScrollBarCreateOptions& options) {
    if (IsElementAlive()) {
        return m_handle;
    }
    m_orientation = options.orientation.value_or(kScrollHorizontal);
    m_pageSize = options.pageSize.value_or(Horizontal() ? width : height);
    m_minValue = options.minValue.value_or(0);
    m_maxValue = options.maxValue.value_or(100);
    m_pageStep = options.pageStep.value_or(10);
    m_lineStep = options.lineStep.value_or(1);
    m_trackEvents = options.trackEvents.value_or(1);
    m_partsShown = options.partsShown.value_or(kShowAllParts);
    m_style = options.style.value_or(0);
    m_position = m_minValue;
    m_hotPart = kScrollPartNone;

    ElementCreateOptions element;
    element.visible = options.elementStyle.value_or(1);
    element.transitionInterval = kTransitionIntervalMs;
    element.transitionFrames = kHoverFrames;
    return CreateElement(parent, x, y, width, height, kTypeScrollBar, kClassScrollBar, element);
}

void ScrollBar::Redraw(bool redrawNow, bool deferRedraw) {
    if (!deferRedraw || redrawNow) {
        InvalidateElement();
    }
}

std::int32_t ScrollBar::Position(std::optional<std::int32_t> value, bool redrawNow,
                                 bool deferRedraw) {
    if (value) {
        m_position = *value;
        SizeThumb();
        ClampAndReport();
        Redraw(redrawNow, deferRedraw);
    }
    return m_position;
}

std::int32_t ScrollBar::MinValue(std::optional<std::int32_t> value, bool redrawNow,
                                 bool deferRedraw) {
    if (value && *value != m_minValue) {
        m_minValue = *value;
        SizeThumb();
        ClampAndReport();
        Redraw(redrawNow, deferRedraw);
    }
    return m_minValue;
}

std::int32_t ScrollBar::MaxValue(std::optional<std::int32_t> value, bool redrawNow,
                                 bool deferRedraw) {
    if (value && *value != m_maxValue) {
        m_maxValue = *value;
        SizeThumb();
        ClampAndReport();
        Redraw(redrawNow, deferRedraw);
    }
    return m_maxValue;
}

std::int32_t ScrollBar::PageSize(std::optional<std::int32_t> value, bool redrawNow,
                                 bool deferRedraw) {
    if (value && *value != m_pageSize) {
        m_pageSize = *value;
        SizeThumb();
        ClampAndReport();
        Redraw(redrawNow, deferRedraw);
    }
    return m_pageSize;
}

std::int32_t ScrollBar::PageStep(std::optional<std::int32_t> value) {
    if (value) {
        m_pageStep = *value;
    }
    return m_pageStep;
}

std::int32_t ScrollBar::LineStep(std::optional<std::int32_t> value) {
    if (value) {
        m_lineStep = *value;
    }
    return m_lineStep;
}

std::int32_t ScrollBar::TrackEvents(std::optional<std::int32_t> value) {
    if (value) {
        m_trackEvents = *value;
    }
    return m_trackEvents;
}

std::int32_t ScrollBar::PartsShown(std::optional<std::int32_t> value) {
    if (value && *value != m_partsShown) {
        m_partsShown = *value;
        LayoutScrollBar(m_width, m_height);
        InvalidateElement();
    }
    return m_partsShown;
}

std::int32_t ScrollBar::ScrollBarStyle(std::optional<std::int32_t> value) {
    if (value && *value != m_style) {
        m_style = *value;
        InvalidateElement();
    }
    return m_style;
}

std::uint32_t ScrollBar::OnPositionChanged(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kScrollBarChanged, routine, owner);
}

// ---- Range and value mapping --------------------------------------------------------------------

double ScrollBar::Limit() const {
    return static_cast<double>(m_maxValue) - m_minValue - m_pageSize;
}

bool ScrollBar::Scrollable() const {
    return Limit() > kTolerance;
}

std::int32_t ScrollBar::Clamped(double value) const {
    // Above the limit first, then below the minimum: an unscrollable bar rests at the minimum.
    value = std::min(value, Limit());
    value = std::max(value, static_cast<double>(m_minValue));
    return static_cast<std::int32_t>(value);
}

void ScrollBar::ClampAndReport() {
    // One clamp and one report: clamping to the limit first and the minimum after would, on an
    // unscrollable range, report a position below the minimum on the way.
    const std::int32_t clamped = Clamped(m_position);
    if (clamped != m_position) {
        m_position = clamped;
        PlaceThumbAndNotify(kScrollClamped, false);
    }
}

float ScrollBar::ValueToPixel() {
    const float travel = Length(m_track) - static_cast<float>(m_thumbLength);
    // An unscrollable bar has no travel to map onto; its thumb rests at the start.
    if (!Scrollable() || travel <= 0) {
        return Start(m_track);
    }
    return static_cast<float>(Start(m_track) + m_position * travel / Limit());
}

std::int32_t ScrollBar::PixelToValue(float pixel) {
    const float start = Start(m_track);
    const float travel = Length(m_track) - static_cast<float>(m_thumbLength);
    if (pixel <= start || !Scrollable() || travel <= kTolerance) {
        return m_minValue;
    }
    pixel = std::min(pixel, start + travel);
    return static_cast<std::int32_t>((pixel - start) * Limit() / travel);
}

// ---- Layout -------------------------------------------------------------------------------------

void ScrollBar::LayoutScrollBar(std::int32_t width, std::int32_t height) {
    const std::uint32_t theme = GetHostTheme();
    const char* prefix = Horizontal() ? kPrefixHorizontal : kPrefixVertical;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);

    Gdiplus::RectF grid;
    GetThemeRectF(theme, kClassScrollBar, (std::string(prefix) + kThemeKeyGrid).c_str(), &grid);
    m_minThumbLength =
        static_cast<std::int32_t>(2 * (Horizontal() ? grid.X : grid.Y) + kThumbSlack);

    m_firstArrow = m_secondArrow = m_track = m_thumb = ElementRectF{};
    float firstExtent = 0;
    float offset = 0;
    if ((m_partsShown & kShowFirstArrow) != 0) {
        Gdiplus::RectF size;
        GetThemeRectF(theme, kClassScrollBar,
                      StateKey(kPaintNormal, prefix, Horizontal() ? kKeyLeft : kKeyUp).c_str(),
                      &size);
        m_firstArrow =
            Horizontal() ? ElementRectF{0, 0, size.Width, h} : ElementRectF{0, 0, w, size.Height};
        firstExtent = Length(m_firstArrow);
        offset = firstExtent;
    }
    if ((m_partsShown & kShowSecondArrow) != 0) {
        Gdiplus::RectF size;
        GetThemeRectF(theme, kClassScrollBar,
                      StateKey(kPaintNormal, prefix, Horizontal() ? kKeyRight : kKeyDown).c_str(),
                      &size);
        m_secondArrow = Horizontal() ? ElementRectF{w - size.Width, 0, size.Width, h}
                                     : ElementRectF{0, h - size.Height, w, size.Height};
        offset += Length(m_secondArrow);
    }
    if ((m_partsShown & kShowTrack) != 0) {
        const float length = std::max((Horizontal() ? w : h) - offset, 0.0f);
        m_track = Horizontal() ? ElementRectF{firstExtent, 0, length, h}
                               : ElementRectF{0, firstExtent, w, length};
        SizeThumb();
    }
}

void ScrollBar::SizeThumb() {
    const float trackLength = Length(m_track);
    const double range = static_cast<double>(m_maxValue) - m_minValue;
    // An empty or inverted range would divide by zero; its thumb fills the track.
    const double length = range > kTolerance ? m_pageSize * trackLength / range : trackLength;
    m_thumbLength = std::max(static_cast<std::int32_t>(length), m_minThumbLength);

    m_thumb = m_track;
    const float trackEnd = Start(m_track) + trackLength;
    float edge = std::max(ValueToPixel(), Start(m_track));
    if (edge + m_thumbLength > trackEnd) {
        edge = trackEnd - static_cast<float>(m_thumbLength);
    }
    if (Horizontal()) {
        m_thumb.x = edge;
        m_thumb.width = static_cast<float>(m_thumbLength);
    } else {
        m_thumb.y = edge;
        m_thumb.height = static_cast<float>(m_thumbLength);
    }
}

void ScrollBar::PlaceThumbAndNotify(std::uint32_t reason, bool fromDrag) {
    if (!ElementVisible()) {
        return;
    }
    SizeThumb();
    if (!fromDrag || m_trackEvents != 0) {
        RaiseElementEvent(m_handle, kScrollBarChanged,
                          {m_handle, static_cast<std::uint32_t>(m_position), reason});
    }
}

std::int32_t ScrollBar::HitTest(std::uint32_t packedPoint) {
    const float x = static_cast<float>(GET_X_LPARAM(packedPoint));
    const float y = static_cast<float>(GET_Y_LPARAM(packedPoint));
    const std::pair<const ElementRectF*, std::int32_t> order[] = {
        {&m_firstArrow, kScrollPartFirstArrow},
        {&m_secondArrow, kScrollPartSecondArrow},
        {&m_thumb, kScrollPartThumb},
        {&m_track, kScrollPartTrack},
    };
    // An unscrollable bar draws no thumb; the track there is not something to drag.
    const bool scrollable = Scrollable();
    for (const auto& [rect, part] : order) {
        if ((part != kScrollPartThumb || scrollable) && Contains(*rect, x, y)) {
            return part;
        }
    }
    return kScrollPartNone;
}

std::int32_t ScrollBar::PartState(std::int32_t state, std::int32_t part) {
    return part == m_hotPart ? state : kPaintNormal;
}

std::string ScrollBar::StateKey(std::int32_t state, const char* prefix, const char* part) {
    const char* name = state == kPaintPressed     ? kThemeStateDown
                       : state == kPaintHighlight ? kThemeStateHighlight
                                                  : kThemeStateNormal;
    return std::string(prefix) + part + name;
}

float ScrollBar::Along(std::uint32_t packedPoint) const {
    return static_cast<float>(Horizontal() ? GET_X_LPARAM(packedPoint) : GET_Y_LPARAM(packedPoint));
}

// ---- Input --------------------------------------------------------------------------------------

LRESULT ScrollBar::ClassMessageHandler(HWND, ElementHandle, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
        case WM_SIZE:
            LayoutScrollBar(LOWORD(lParam), HIWORD(lParam));
            break;
        case kMsgCreatedFromLayout:
            m_trackEvents = 1;
            m_lineStep = 1;
            m_pageStep = 10;
            m_maxValue = 100;
            m_orientation = kScrollHorizontal;
            m_partsShown = kShowAllParts;
            ElementFocusable(true);
            ElementTabStop(false);
            m_drawTabStop = 0;
            m_transitionInterval = kTransitionIntervalMs;
            m_transitionFrames = kHoverFrames;
            break;
        case WM_LBUTTONDOWN:
            OnButtonDown(lParam);
            break;
        case WM_TIMER:
            if (static_cast<ElementHandle>(wParam) == m_handle) {
                OnTimer();
            }
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            break;
        case WM_LBUTTONUP:
            if (m_hotPart == kScrollPartThumb) {
                PlaceThumbAndNotify(kScrollThumbReleased, false);
            } else {
                StopRepeat();
                PaintScrollBar(kPaintHighlight);
            }
            break;
        case WM_MOUSEWHEEL:
            OnWheel(wParam);
            break;
        case kMsgMouseLeave:
            m_hotPart = kScrollPartNone;
            m_transitionFrames = kHoverFrames;
            PaintScrollBar(kPaintNormal);
            break;
        case kMsgTransitionEnd:
            m_transitionFrames = 0;
            break;
        case WM_PAINT:
            PaintScrollBar(kPaintNormal);
            ClampAndReport();
            break;
        default:
            break;
    }
    // The base handling goes on after every message.
    return 0;
}

void ScrollBar::OnButtonDown(LPARAM lParam) {
    const auto point = static_cast<std::uint32_t>(lParam);
    const float along = Along(point);
    m_hotPart = HitTest(point);
    std::uint32_t reason = 0;
    switch (m_hotPart) {
        case kScrollPartThumb:
            m_dragAnchor = static_cast<std::int32_t>(along - Start(m_thumb));
            reason = kScrollThumbMoved;
            break;
        case kScrollPartFirstArrow:
            if (m_position <= m_minValue) {
                return;
            }
            m_position = std::max(m_position - m_lineStep, m_minValue);
            reason = kScrollLineBack;
            break;
        case kScrollPartSecondArrow:
            if (!Scrollable()) {
                return;
            }
            m_position = Clamped(static_cast<double>(m_position) + m_lineStep);
            reason = kScrollLineForward;
            break;
        case kScrollPartTrack:
            if (!Scrollable()) {
                return;
            }
            if (along - (Start(m_thumb) + Length(m_thumb)) > kTolerance) {
                m_pageDelta = m_pageStep;
                m_dragAnchor = PixelToValue(along - static_cast<float>(m_thumbLength));
                reason = kScrollPageForward;
            } else {
                m_pageDelta = -m_pageStep;
                m_dragAnchor = PixelToValue(along);
                reason = kScrollPageBack;
            }
            m_position = Clamped(static_cast<double>(m_position) + m_pageDelta);
            break;
        default:
            return;
    }
    if (m_hotPart != kScrollPartThumb) {
        RestartElementTimer(kRepeatIntervalMs);
    }
    PaintScrollBar(kPaintPressed);
    PlaceThumbAndNotify(reason, false);
}

void ScrollBar::StopRepeat() {
    RestartElementTimer(0);
}

void ScrollBar::OnTimer() {
    std::uint32_t reason = 0;
    const double limit = Limit();
    switch (m_hotPart) {
        case kScrollPartFirstArrow:
            m_position -= m_lineStep;
            if (m_position <= m_minValue) {
                m_position = m_minValue;
                StopRepeat();
            }
            reason = kScrollLineBack;
            break;
        case kScrollPartSecondArrow:
            m_position += m_lineStep;
            if (m_position >= limit) {
                m_position = Clamped(limit);
                StopRepeat();
            }
            reason = kScrollLineForward;
            break;
        case kScrollPartTrack:
            m_position += m_pageDelta;
            if (m_pageDelta < 0) {
                if (m_position <= m_minValue) {
                    m_position = m_minValue;
                    StopRepeat();
                } else if (m_dragAnchor >= m_position) {
                    StopRepeat();
                }
                reason = kScrollPageBack;
            } else {
                if (m_position >= limit) {
                    m_position = Clamped(limit);
                    StopRepeat();
                } else if (m_position >= m_dragAnchor) {
                    StopRepeat();
                }
                reason = kScrollPageForward;
            }
            break;
        default:
            StopRepeat();
            return;
    }
    PaintScrollBar(kPaintPressed);
    PlaceThumbAndNotify(reason, false);
}

void ScrollBar::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const auto point = static_cast<std::uint32_t>(lParam);
    if ((wParam & MK_LBUTTON) == 0) {
        const std::int32_t hot = HitTest(point);
        if (hot != m_hotPart) {
            m_hotPart = hot;
            m_transitionFrames = kHoverFrames;
            PaintScrollBar(kPaintHighlight);
        }
        return;
    }
    if (m_hotPart != kScrollPartThumb) {
        return;
    }
    m_transitionFrames = 0;
    const std::int32_t value = PixelToValue(Along(point) - static_cast<float>(m_dragAnchor));
    if (value != m_position) {
        m_position = value;
        PaintScrollBar(kPaintPressed);
        PlaceThumbAndNotify(kScrollThumbMoved, true);
    }
}

void ScrollBar::OnWheel(WPARAM wParam) {
    // The host hands over no point with the wheel; the cursor is placed inside the element.
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(m_hostWindow, &cursor);
    const std::int32_t x = cursor.x - m_windowLeft;
    const std::int32_t y = cursor.y - m_windowTop;
    const std::int32_t hot =
        HitTest(static_cast<std::uint32_t>(MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y))));

    if (GET_WHEEL_DELTA_WPARAM(wParam) <= 0) {
        if (Scrollable()) {
            m_position = Clamped(static_cast<double>(m_position) + m_lineStep);
        }
    } else if (m_position > m_minValue) {
        m_position = std::max(m_position - m_lineStep, m_minValue);
    }
    PaintScrollBar(hot != kScrollPartNone ? kPaintHighlight : kPaintNormal);
    PlaceThumbAndNotify(kScrollThumbMoved, false);
}

// ---- Painting -----------------------------------------------------------------------------------

void ScrollBar::PaintScrollBar(std::int32_t state) {
    DrawContext context{};
    if (BeginElementDraw(m_handle, &context) == 0) {
        return;
    }
    const bool scrollable = Scrollable();
    const bool hideWhenUnscrollable = (m_style & kStyleHideWhenUnscrollable) != 0;
    if (hideWhenUnscrollable && scrollable) {
        m_state &= ~kStateHidden;
    }
    const bool resetPosition = !scrollable && m_position != m_minValue;
    if (resetPosition) {
        m_position = m_minValue;
    }

    const std::uint32_t theme = context.theme;
    const char* prefix = Horizontal() ? kPrefixHorizontal : kPrefixVertical;
    const auto skipped = [&](std::int32_t styleBit) {
        return state == kPaintNormal && (m_style & styleBit) != 0;
    };
    if ((m_partsShown & kShowFirstArrow) != 0 && !skipped(kStyleFirstArrowWhenHot)) {
        const std::string key = StateKey(PartState(state, kScrollPartFirstArrow), prefix,
                                         Horizontal() ? kKeyLeft : kKeyUp);
        DrawThemePart(theme, kClassScrollBar, context.graphics, ToRectF(m_firstArrow), key.c_str());
    }
    if ((m_partsShown & kShowSecondArrow) != 0 && !skipped(kStyleSecondArrowWhenHot)) {
        const std::string key = StateKey(PartState(state, kScrollPartSecondArrow), prefix,
                                         Horizontal() ? kKeyRight : kKeyDown);
        DrawThemePart(theme, kClassScrollBar, context.graphics, ToRectF(m_secondArrow),
                      key.c_str());
    }
    if ((m_partsShown & kShowTrack) != 0 && !skipped(kStyleTrackWhenHot)) {
        DrawThemePart(theme, kClassScrollBar, context.graphics, ToRectF(m_track),
                      (std::string(prefix) + kKeyTrack).c_str(),
                      (std::string(prefix) + kKeyTrackGrid).c_str());
    }
    if (scrollable && (m_partsShown & kShowTrack) != 0 && !skipped(kStyleThumbWhenHot)) {
        SizeThumb();
        DrawThemePart(theme, kClassScrollBar, context.graphics, ToRectF(m_thumb),
                      StateKey(PartState(state, kScrollPartThumb), prefix, "").c_str(),
                      (std::string(prefix) + kThemeKeyGrid).c_str());
    }
    EndElementDraw(m_handle, &context);
    // Raised after the drawing ends: the bound routine may draw or destroy the bar.
    if (resetPosition) {
        const ElementHandle handle = m_handle;
        PlaceThumbAndNotify(kScrollClamped, false);
        if (ElementFromHandle(handle) != this) {
            return;
        }
    }
    if (hideWhenUnscrollable && !scrollable) {
        m_state |= kStateHidden;
    }
}

}  // namespace toolkit
