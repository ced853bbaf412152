// Progress: creation, the handler and the painting of background, bar and border.
#include "controls/Progress.h"

#include <algorithm>
#include <cmath>

#include "controls/Button.h"
#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/HostRecord.h"
#include "core/HostWindow.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"
#include "foundation/Drawing.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Win32Handles.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr std::int32_t kDefaultMaxValue = 100;
// Background and border by default: black, nearly transparent.
constexpr std::uint32_t kDefaultShade = RgbToArgb(0, 11);
// The alpha of the host window's colour when it stands in for a bar colour.
constexpr std::uint32_t kHostColourAlpha = 204;
// The bar's corners are this much tighter than the outline's.
constexpr std::int32_t kBarRadiusInset = 3;
constexpr std::int32_t kHorizontalGradient = 0;
constexpr std::int32_t kVerticalGradient = 1;

HostRecordFields* HostOfParent(std::uint32_t parent) {
    if (IsWindow(reinterpret_cast<HWND>(parent))) {
        return HostFromHandle(GetControlFromWindow(reinterpret_cast<HWND>(parent)));
    }
    Element* element = ElementFromHandle(parent);
    return element != nullptr ? element->Host() : nullptr;
}

// Narrows the clip to a rounded-rectangle region (GDI's corner ellipse), or to the rectangle
// itself without a radius.
void ClipRounded(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect, std::int32_t radius) {
    if (radius <= 0) {
        gp::GdipSetClipRect(graphics, rect.X, rect.Y, rect.Width, rect.Height,
                            Gdiplus::CombineModeIntersect);
        return;
    }
    const int left = static_cast<int>(rect.X);
    const int top = static_cast<int>(rect.Y);
    GdiObject<HRGN> region(CreateRoundRectRgn(left, top, left + static_cast<int>(rect.Width) + 1,
                                              top + static_cast<int>(rect.Height) + 1, radius,
                                              radius));
    GpRegionPtr clip = RegionFromHrgn(region.get());
    if (clip) {
        gp::GdipSetClipRegion(graphics, clip.get(), Gdiplus::CombineModeIntersect);
    }
}

void RestorePaintClip(const DrawContext& context) {
    gp::GdipSetClipRect(context.graphics, context.paint.x, context.paint.y, context.paint.width,
                        context.paint.height, Gdiplus::CombineModeReplace);
}

}  // namespace

std::int32_t ProgressBarLength(float innerLength, std::int32_t value, std::int32_t minValue,
                               std::int32_t maxValue) {
    if (maxValue == minValue) {
        return 0;
    }
    // A value outside the range draws an empty or a full bar, never one that runs past the
    // frame or backwards; the difference is taken in doubles, where it cannot overflow.
    const double share =
        (static_cast<double>(value) - minValue) / (static_cast<double>(maxValue) - minValue);
    return static_cast<std::int32_t>(std::lround(innerLength * std::clamp(share, 0.0, 1.0)));
}

std::uint32_t Progress::Clone() {
    // Nothing is owned: a plain copy is a deep one.
    return reinterpret_cast<std::uint32_t>(CloneOnProcessHeap(*this));
}

ElementHandle Progress::CreateProgress(
    std::uint32_t parent, std::int32_t left, std::int32_t top, std::int32_t width,
    std::int32_t height, std::int32_t value, std::int32_t minValue,
    std::optional<std::int32_t> maxValue, std::int32_t vertical, std::int32_t reserved,
    std::optional<std::uint32_t> barColour, std::optional<std::uint32_t> barColour2,
    std::optional<std::uint32_t> borderColour, std::optional<std::uint32_t> backColour,
    std::optional<std::int32_t> radius, std::optional<std::int32_t> style) {
    m_value = value;
    m_minValue = minValue;
    m_maxValue = maxValue.value_or(kDefaultMaxValue);
    m_vertical = vertical;
    m_reserved = reserved;
    m_barColour = barColour.value_or(kHostColour);
    m_barColour2 = barColour2.value_or(m_barColour);
    m_borderColour = borderColour.value_or(kDefaultShade);
    m_backColour = backColour.value_or(kDefaultShade);
    if (radius) {
        m_radius = *radius;
    } else if (const HostRecordFields* host = HostOfParent(parent)) {
        m_radius = host->cornerRadius;
    }
    ElementCreateOptions options;
    options.visible = style.value_or(1);
    return CreateElement(parent, left, top, width, height, kTypeProgress, kClassProgress, options);
}

LRESULT Progress::ClassMessageHandler(HWND window, ElementHandle handle, UINT message,
                                      WPARAM wParam, LPARAM lParam) {
    if (const LRESULT hooked = PreHandlerHook(window, handle, message, wParam, lParam)) {
        return hooked;
    }
    switch (message) {
        case WM_DESTROY:
            m_value = 0;
            m_minValue = 0;
            m_maxValue = 0;
            break;
        case WM_PAINT:
        case kMsgRedraw:
            PaintProgress();
            break;
        default:
            break;
    }
    return 0;
}

Gdiplus::ARGB Progress::ResolveColour(std::uint32_t argb) {
    if (argb != kHostColour) {
        return argb;
    }
    return RgbToArgb(GetHostBackgroundColour(m_handle), kHostColourAlpha);
}

void Progress::PaintProgress() {
    DrawContext context{};
    BeginElementDraw(m_handle, &context);
    Gdiplus::GpGraphics* graphics = context.graphics;
    Gdiplus::RectF outer(0.0f, 0.0f, static_cast<float>(m_width), static_cast<float>(m_height));
    PreDrawHook(&context, &outer);
    const Gdiplus::RectF inner(outer.X + 1.0f, outer.Y + 1.0f, outer.Width - 2.0f,
                               outer.Height - 2.0f);

    const bool backgroundHooked = BackgroundHook(&context, outer) != 0;
    if (!backgroundHooked && m_backColour != 0) {
        ClipRounded(graphics, outer, m_radius);
        FillRect(graphics, outer, m_backColour);
        RestorePaintClip(context);
    }

    m_barLength = ProgressBarLength(m_vertical != 0 ? inner.Height : inner.Width, m_value,
                                    m_minValue, m_maxValue);
    const float length = static_cast<float>(m_barLength);
    const Gdiplus::RectF bar =
        m_vertical != 0
            ? Gdiplus::RectF(inner.X, outer.Y + outer.Height - length - 2.0f, inner.Width, length)
            : Gdiplus::RectF(inner.X, inner.Y, length, inner.Height);
    if (m_barLength > 0 && BarHook(&context, bar) == 0) {
        ClipRounded(graphics, bar, m_radius > 0 ? std::max(m_radius - kBarRadiusInset, 0) : 0);
        const Gdiplus::ARGB first = ResolveColour(m_barColour);
        const Gdiplus::ARGB second = ResolveColour(m_barColour2);
        if (m_vertical != 0) {
            FillGradientRect(graphics, outer, second, first, kVerticalGradient);
        } else {
            FillGradientRect(graphics, outer, first, second, kHorizontalGradient);
        }
        RestorePaintClip(context);
    }

    if (!backgroundHooked && m_borderColour != 0) {
        if (m_radius > 0) {
            DrawRoundRectOutline(graphics, outer, static_cast<float>(m_radius), m_borderColour);
        } else {
            GpPenPtr pen;
            gp::GdipCreatePen1(m_borderColour, 1.0f, Gdiplus::UnitWorld, pen.put());
            gp::GdipDrawRectangle(graphics, pen.get(), outer.X, outer.Y, outer.Width - 1.0f,
                                  outer.Height - 1.0f);
        }
    }
    EndElementDraw(m_handle, &context);
}

std::int32_t Progress::Value(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_value, value);
    return m_value;
}

std::uint32_t Progress::BarColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_barColour, argb);
    return m_barColour;
}

std::uint32_t Progress::BarColor2(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_barColour2, argb);
    return m_barColour2;
}

std::uint32_t Progress::BackColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_backColour, argb);
    return m_backColour;
}

LRESULT Progress::PreHandlerHook(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

std::int32_t Progress::BackgroundHook(DrawContext*, const Gdiplus::RectF&) {
    return 0;
}

std::int32_t Progress::BarHook(DrawContext*, const Gdiplus::RectF&) {
    return 0;
}

void Progress::PreDrawHook(DrawContext*, Gdiplus::RectF*) {}

}  // namespace toolkit
