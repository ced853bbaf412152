// GroupBox: a frame whose top line runs through the middle of a caption, with an optional
// background fill, rounded corners and caption effect. It takes no focus and raises no events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Element.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// Where the caption sits on the top line (any other value: right).
enum GroupBoxCaptionAlign : std::int32_t {
    kCaptionLeft = 0,
    kCaptionCentre = 1,
    kCaptionRight = 2,
};

// The caption's left edge on a frame of the given width.
float GroupBoxCaptionX(std::int32_t align, float frameWidth, float captionWidth);

class GroupBox : public Element {
public:
    GroupBox() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91: measures the caption with the element font.
    virtual void MeasureCaption();
    // Slot 92.
    virtual void PaintGroupBox();
    // Slot 93. parent: a host window's HWND or a parent element's handle; caption is GBK;
    // colours are ARGB.
    virtual ElementHandle CreateGroupBox(
        std::uint32_t parent, std::int32_t left, std::int32_t top, std::int32_t width,
        std::int32_t height, const char* caption,
        std::optional<const char*> fontName = std::nullopt,
        std::optional<std::int32_t> fontSize = std::nullopt,
        std::optional<std::int32_t> fontStyle = std::nullopt,
        std::optional<std::uint32_t> textColour = std::nullopt, std::int32_t textEffect = 0,
        std::uint32_t textEffectColour = 0, std::int32_t captionAlign = kCaptionLeft,
        std::uint32_t backColour = 0, std::optional<std::uint32_t> lineColour = std::nullopt,
        std::optional<std::int32_t> lineWidth = std::nullopt, std::int32_t radius = 0,
        std::optional<std::int32_t> style = std::nullopt);
    // Slot 94: the caption as GBK text; slot 95 as UTF-16 bytes with their terminator.
    virtual std::string Caption(std::optional<const char*> text = std::nullopt);
    virtual ByteArray CaptionW(std::optional<ByteArray> text = std::nullopt);
    // Slots 96-103: a given value is stored and the frame repainted.
    virtual std::uint32_t TextColor(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::uint32_t TextEffectColor(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::uint32_t BackColor(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::int32_t CaptionAlign(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t TextEffect(std::optional<std::int32_t> value = std::nullopt);
    virtual std::uint32_t LineColor(std::optional<std::uint32_t> argb = std::nullopt);
    virtual std::int32_t LineWidth(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t Radius(std::optional<std::int32_t> value = std::nullopt);

    float CaptionHeight() const { return m_captionHeight; }
    float CaptionWidth() const { return m_captionWidth; }

private:
    void MakeStringFormat();
    template <typename T>
    void SetAndInvalidate(T& field, const std::optional<T>& value) {
        if (value && field != *value) {
            field = *value;
            InvalidateElement();
        }
    }

    wchar_t* m_caption = nullptr;  // stored wide text (TextDrawing.h)
    std::int32_t m_captionAlign = kCaptionLeft;
    std::uint32_t m_textColour = 0;
    Gdiplus::GpStringFormat* m_format = nullptr;
    std::int32_t m_textEffect = 0;
    std::uint32_t m_textEffectColour = 0;
    std::uint32_t m_backColour = 0;
    std::uint32_t m_lineColour = 0;
    std::int32_t m_lineWidth = 1;
    std::int32_t m_radius = 0;
    float m_captionWidth = 0;
    float m_captionHeight = 0;
};

}  // namespace toolkit
