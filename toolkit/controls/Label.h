// Label: the static-text control. A UTF-16 caption drawn into the element's canvas, optionally
// inside an element frame and over a two-colour gradient, aligned horizontally and vertically,
// wrapped or trimmed, with a halo or outline effect, and an access key from the "&" in it.
//
// Slots 91-111 follow the element base in this order; Link derives from Label and overrides the
// pre-hook (slot 111), so the order must not change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "controls/TextDrawing.h"
#include "core/Element.h"

namespace toolkit {

// The caption keeps this distance from the label's edges, and as much again from the top and
// bottom edges when aligned there.
constexpr float kLabelTextInset = 2.0f;

enum LabelVerticalAlignment : std::int32_t {
    kLabelAlignTop = 0,
    kLabelAlignMiddle = 1,
    kLabelAlignBottom = 2,
};

// Optional arguments of CreateLabel; an absent value takes the default named beside it.
struct LabelCreateOptions {
    std::optional<Gdiplus::ARGB> textColour;   // opaque black
    std::optional<std::int32_t> gradientMode;  // kNoGradient
    Gdiplus::ARGB gradientColour1 = 0;
    Gdiplus::ARGB gradientColour2 = 0;
    bool wordWrap = false;
    bool autoTextColour = false;
    // When any of the three is given the label gets its own font; the family defaults to the
    // default font's, the size to 12 and the style to regular.
    std::optional<std::string> fontName;  // GBK
    std::optional<float> fontSize;
    std::optional<std::int32_t> fontStyle;
    std::int32_t align = 0;     // GDI+ string alignment: 0 near, 1 centre, 2 far
    std::int32_t trimming = 0;  // GDI+ string trimming
    std::int32_t textEffect = kTextEffectNone;
    Gdiplus::ARGB effectColour = kAutomaticEffectColour;
    std::int32_t frameStyle = 0;               // a DrawFrameRect kind; 0 none
    std::optional<std::int32_t> elementStyle;  // 1 (visible)
};

class Label : public Element {
public:
    Label() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91.
    virtual void Paint();
    // Slot 92: kept empty.
    virtual void NoOperation92();
    // Slot 93. parent: a host window's HWND or a parent element's handle; caption: GBK.
    virtual ElementHandle CreateLabel(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                      std::int32_t width, std::int32_t height, const char* caption,
                                      const LabelCreateOptions& options = {});
    // Slot 94: the caption as GBK text; setting converts it and goes through slot 95.
    virtual std::string LabelTitle(std::optional<const char*> text = std::nullopt);
    // Slot 95: the caption's UTF-16 bytes with their terminator. Setting leaves the access key.
    virtual ByteArray LabelTitleW(std::optional<ByteArray> bytes = std::nullopt);
    // Slots 96-109: properties; setting stores the value and redraws.
    virtual Gdiplus::ARGB LabelTextColor(std::optional<Gdiplus::ARGB> value = std::nullopt);
    virtual Gdiplus::ARGB LabelEffectColor(std::optional<Gdiplus::ARGB> value = std::nullopt);
    virtual Gdiplus::ARGB LabelGradientColor1(std::optional<Gdiplus::ARGB> value = std::nullopt);
    virtual Gdiplus::ARGB LabelGradientColor2(std::optional<Gdiplus::ARGB> value = std::nullopt);
    virtual std::int32_t LabelGradientMode(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t LabelAlign(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t LabelVerticalAlign(std::optional<std::int32_t> value = std::nullopt);
    virtual bool LabelWordWrap(std::optional<bool> value = std::nullopt);
    virtual std::int32_t LabelTextEffect(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t LabelFrameStyle(std::optional<std::int32_t> value = std::nullopt);
    virtual bool LabelAutoTextColor(std::optional<bool> value = std::nullopt);
    virtual std::int32_t LabelTrimming(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t LabelFormatFlags(std::optional<std::int32_t> value = std::nullopt);
    // Setting deletes the owned format and takes ownership of the given one.
    virtual Gdiplus::GpStringFormat* LabelStringFormat(
        std::optional<Gdiplus::GpStringFormat*> value = std::nullopt);
    // Slot 110: sees the text rectangle just before the caption is drawn, and may change it.
    virtual void OnTextRect(Gdiplus::RectF* rect);
    // Slot 111: has the first word on every class message; non-zero is returned at once.
    virtual LRESULT PreHandleMessage(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                     LPARAM lParam);

    // The label's own fields, after the element record.
    wchar_t* m_caption = nullptr;  // stored wide text
    Gdiplus::ARGB m_textColour = 0;
    std::int32_t m_gradientMode = kNoGradient;
    Gdiplus::ARGB m_gradientColour1 = 0;
    Gdiplus::ARGB m_gradientColour2 = 0;
    std::uint32_t m_wordWrap = 0;
    std::int32_t m_verticalAlign = kLabelAlignTop;
    std::int32_t m_textEffect = kTextEffectNone;
    std::int32_t m_frameStyle = 0;
    std::uint32_t m_autoTextColour = 0;
    Gdiplus::ARGB m_effectColour = kAutomaticEffectColour;
    Gdiplus::GpStringFormat* m_format = nullptr;

private:
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void ResetForLayout();
    // Stores a property and redraws when it changes; returns the current value.
    template <typename T>
    T Property(T& field, std::optional<T> value);
};

// The slots of Label's own operations.
enum LabelSlot : std::uint32_t {
    kSlotLabelPaint = 91,
    kSlotCreateLabel = 93,
    kSlotLabelTitle = 94,
    kSlotLabelTitleW = 95,
    kSlotLabelTextColor = 96,
    kSlotLabelStringFormat = 109,
    kSlotLabelTextRect = 110,
    kSlotLabelPreHandle = 111,
};

}  // namespace toolkit
