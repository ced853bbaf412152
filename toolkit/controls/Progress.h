// Progress: a passive bar whose length follows a value between a minimum and a maximum, over an
// optional background and inside an optional border, each with optional rounded corners. It
// takes no input and raises no events; three empty hooks let a subclass replace the
// background, the bar, or add drawing.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Element.h"
#include "core/ElementPaint.h"

namespace toolkit {

// A bar or background colour that means "the host window's background colour".
constexpr std::uint32_t kHostColour = 0xFFFFFFFF;

// The bar's length in pixels for an inner length: the share of (value - min) in (max - min),
// held within 0 and 1, rounded to the nearest pixel. 0 when the range is empty (max equal to
// min).
std::int32_t ProgressBarLength(float innerLength, std::int32_t value, std::int32_t minValue,
                               std::int32_t maxValue);

class Progress : public Element {
public:
    Progress() = default;

    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91. parent: a host window's HWND or a parent element's handle. Colours are ARGB;
    // kHostColour takes the host window's colour.
    virtual ElementHandle CreateProgress(std::uint32_t parent, std::int32_t left, std::int32_t top,
                                         std::int32_t width, std::int32_t height,
                                         std::int32_t value, std::int32_t minValue,
                                         std::optional<std::int32_t> maxValue = std::nullopt,
                                         std::int32_t vertical = 0, std::int32_t reserved = 0,
                                         std::optional<std::uint32_t> barColour = std::nullopt,
                                         std::optional<std::uint32_t> barColour2 = std::nullopt,
                                         std::optional<std::uint32_t> borderColour = std::nullopt,
                                         std::optional<std::uint32_t> backColour = std::nullopt,
                                         std::optional<std::int32_t> radius = std::nullopt,
                                         std::optional<std::int32_t> style = std::nullopt);
    // Slots 92-95: a given value is stored and the bar repainted.
    virtual std::int32_t Value(std::optional<std::int32_t> value = std::nullopt);
    virtual std::uint32_t BarColor(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::uint32_t BarColor2(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::uint32_t BackColor(std::optional<std::uint32_t> argb = std::nullopt);
    // Slot 96.
    virtual void PaintProgress();
    // Slot 97: runs first in the handler; a non-zero result is returned as it is.
    virtual LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                   LPARAM lParam);
    // Slot 98: non-zero when the hook drew the background (background and border are skipped).
    virtual std::int32_t BackgroundHook(DrawContext* context, const Gdiplus::RectF& outer);
    // Slot 99: non-zero when the hook drew the bar.
    virtual std::int32_t BarHook(DrawContext* context, const Gdiplus::RectF& bar);
    // Slot 100: sees the outer rectangle before anything is drawn.
    virtual void PreDrawHook(DrawContext* context, Gdiplus::RectF* outer);

    std::int32_t BarLength() const { return m_barLength; }

private:
    Gdiplus::ARGB ResolveColour(std::uint32_t argb);
    template <typename T>
    void SetAndInvalidate(T& field, const std::optional<T>& value) {
        if (value && field != *value) {
            field = *value;
            InvalidateElement();
        }
    }

    std::int32_t m_value = 0;
    std::int32_t m_minValue = 0;
    std::int32_t m_maxValue = 0;
    std::int32_t m_vertical = 0;
    std::int32_t m_reserved = 0;  // stored by CreateProgress, used by nothing
    std::uint32_t m_barColour = 0;
    std::uint32_t m_barColour2 = 0;
    std::uint32_t m_borderColour = 0;
    std::int32_t m_radius = 0;
    std::uint32_t m_backColour = 0;
    std::int32_t m_barLength = 0;
};

}  // namespace toolkit
