// Button: the push button, and the base of the five button classes (CheckButton, RadioButton,
// ImageButton, ThunderButton, ImageListButton).
//
// The button keeps the visual state it painted last (normal, hover, pressed) and hands it to one
// paint routine: theme background, optional icon, caption. Four hook slots (104-107) let the
// subclasses take over the message handling, the background, the caption and the layout. Every
// subclass is created through CreateButton and retags itself (type id, class name) on WM_CREATE.
//
// Slots follow the element base (0-90) in the order the engine and the layouts rely on; no
// virtual destructor, so that no slot moves.
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "core/Element.h"
#include "core/ElementPaint.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// Visual states a button paints; the values are the element state bits of the same look.
enum ButtonState : std::int32_t {
    kButtonNormal = 0,
    kButtonPressed = 8,
    kButtonHover = 128,
};

// Arrangements of icon and caption (ButtonIconPlacement).
enum IconPlacement : std::int32_t {
    kIconLeftOfCaption = 0,
    kIconRightOfCaption = 1,
    kIconAboveCaption = 2,
    kIconCentredOverCaption = 3,
    kIconAtLeftEdge = 4,
    kIconAfterCaption = 5,
    kIconAtTop = 6,
};

// Inputs of LayoutIconAndText besides the working rectangle and the caption's measured size.
struct IconLayout {
    float iconWidth = 0;  // 0 x 0 without an icon
    float iconHeight = 0;
    std::int32_t placement = kIconLeftOfCaption;
    float offsetX = 0;
    float offsetY = 0;
    float spacing = 0;
};

// The icon and caption rectangles inside the working rectangle, for a caption of the given
// measured size (already widened by the caption allowance). Unknown placements leave both
// rectangles as they were.
void LayoutIconAndText(const Gdiplus::RectF& work, const IconLayout& layout,
                       const Gdiplus::SizeF& caption, Gdiplus::RectF* iconRect,
                       Gdiplus::RectF* captionRect);

// The caption's size as the button lays it out: the box GDI+ needs to draw the whole caption in
// the working rectangle, its width plus 2. An empty caption is measured as one wide character
// so that the layout keeps a line's height for it.
Gdiplus::SizeF MeasureButtonCaption(Gdiplus::GpGraphics* graphics, const wchar_t* caption,
                                    Gdiplus::GpFont* font, Gdiplus::GpStringFormat* format,
                                    const Gdiplus::RectF& work);

class Button : public Element {
public:
    Button() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;
    void AdjustFocusRect(ElementRectF* frame) override;

    // Slot 91: paints the given state and stores it; without one, the stored state.
    virtual void PaintButton(HWND window, ElementHandle handle,
                             std::optional<std::int32_t> state = std::nullopt);
    // Slot 92. parent: a host window's HWND or a parent element's handle; caption is GBK.
    virtual ElementHandle CreateButton(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                       std::int32_t width, std::int32_t height, const char* caption,
                                       std::optional<std::uint32_t> textColour = std::nullopt,
                                       std::optional<const char*> fontName = std::nullopt,
                                       std::optional<std::int32_t> fontSize = std::nullopt,
                                       std::optional<std::int32_t> fontStyle = std::nullopt,
                                       std::int32_t textEffect = 0, std::uint32_t effectColour = 0,
                                       std::optional<std::int32_t> style = std::nullopt);
    // Slots 93-103: properties; a given value is stored and the button repainted.
    virtual std::string ButtonTitle(std::optional<const char*> text = std::nullopt);
    // UTF-16 bytes with their terminator.
    virtual ByteArray ButtonTitleW(std::optional<ByteArray> text = std::nullopt);
    virtual std::uint32_t ButtonTextColor(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::int32_t ButtonTextEffect(std::optional<std::int32_t> effect = std::nullopt);
    virtual std::uint32_t ButtonEffectColor(std::optional<std::uint32_t> argb = std::nullopt);
    // Setting deletes the old format and takes ownership of the given one.
    virtual Gdiplus::GpStringFormat* ButtonStringFormat(
        std::optional<Gdiplus::GpStringFormat*> format = std::nullopt);
    // Set: picture file bytes (empty: no icon); get: the icon as PNG bytes.
    virtual ByteArray ButtonIcon(std::optional<ByteArray> bytes = std::nullopt);
    virtual std::int32_t ButtonIconPlacement(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ButtonIconOffsetX(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ButtonIconOffsetY(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ButtonIconSpacing(std::optional<std::int32_t> value = std::nullopt);

    // Slot 104: runs before the handler; a non-zero result ends the handling with it.
    virtual LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                   LPARAM lParam);
    // Slot 105: non-zero when the hook drew the background (the theme part is skipped).
    virtual std::int32_t BackgroundHook(DrawContext* context, std::int32_t state);
    // Slot 106: non-zero when the hook drew the caption; it may change *drawColour.
    virtual std::int32_t TextHook(DrawContext* context, std::int32_t state,
                                  Gdiplus::RectF* captionRect, const wchar_t* text,
                                  std::uint32_t* drawColour, Gdiplus::GpFont* font,
                                  Gdiplus::GpStringFormat* format, std::uint32_t textColour,
                                  std::uint32_t effectColour);
    // Slot 107: may move the caption and icon rectangles before drawing.
    virtual void LayoutHook(ElementHandle handle, DrawContext* context, std::int32_t state,
                            Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect);

    std::int32_t VisualState() const { return m_visualState; }
    const wchar_t* Caption() const { return m_caption; }

protected:
    // The part of Clone every button class shares: deep copies of the owned members into a
    // new object of the same class.
    void CopyOwnedMembersTo(Button* copy) const;
    // Stores and repaints; false when the value was already set.
    template <typename T>
    bool SetAndInvalidate(T& field, const std::optional<T>& value) {
        if (!value || field == *value) {
            return false;
        }
        field = *value;
        InvalidateElement();
        return true;
    }
    // Makes the button's string format: no wrap, near alignment, no trimming, "&" underlines.
    void MakeStringFormat();
    void StoreCaption(const ByteArray& wide);
    void RegisterAccessKey();

    std::int32_t m_visualState = kButtonNormal;
    wchar_t* m_caption = nullptr;  // stored wide text (TextDrawing.h)
    std::int32_t m_textEffect = 0;
    std::uint32_t m_textColour = 0;
    Gdiplus::GpStringFormat* m_format = nullptr;
    std::uint32_t m_effectColour = 0;
    Gdiplus::GpImage* m_icon = nullptr;
    std::int32_t m_iconPlacement = kIconLeftOfCaption;
    std::int32_t m_iconOffsetX = 0;
    std::int32_t m_iconOffsetY = 0;
    std::int32_t m_iconSpacing = 0;
    Gdiplus::RectF m_content{};
};

}  // namespace toolkit
