// ImageButton: a button whose background is one of five pictures chosen by its visual state
// instead of the theme part. Caption, icon and layout are Button's.
#pragma once

#include "controls/Button.h"
#include "foundation/Drawing.h"

namespace toolkit {

// The pictures of an ImageButton, one per look.
enum ImageButtonPicture : std::int32_t {
    kPictureNormal = 0,
    kPictureHover = 1,
    kPicturePressed = 2,
    kPictureFocused = 3,
    kPictureDisabled = 4,
    kImageButtonPictureCount = 5,
};

// The picture an ImageButton paints for a visual state: a disabled button paints its normal
// state as disabled, and a state without its own picture falls back to the normal one.
ImageButtonPicture ImageButtonPictureFor(std::int32_t state, bool disabled,
                                         const bool (&present)[kImageButtonPictureCount]);

class ImageButton : public Button {
public:
    ImageButton() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                           LPARAM lParam) override;
    std::int32_t BackgroundHook(DrawContext* context, std::int32_t state) override;
    std::int32_t TextHook(DrawContext* context, std::int32_t state, Gdiplus::RectF* captionRect,
                          const wchar_t* text, std::uint32_t* drawColour, Gdiplus::GpFont* font,
                          Gdiplus::GpStringFormat* format, std::uint32_t textColour,
                          std::uint32_t effectColour) override;

    // Slots 108-112. Set: picture file bytes (empty: none); get: the picture as PNG bytes.
    virtual ByteArray ImageButtonNormalImage(std::optional<ByteArray> bytes = std::nullopt);
    virtual ByteArray ImageButtonHoverImage(std::optional<ByteArray> bytes = std::nullopt);
    virtual ByteArray ImageButtonPressedImage(std::optional<ByteArray> bytes = std::nullopt);
    virtual ByteArray ImageButtonFocusedImage(std::optional<ByteArray> bytes = std::nullopt);
    virtual ByteArray ImageButtonDisabledImage(std::optional<ByteArray> bytes = std::nullopt);
    // Slot 113: a DrawImageEx mode.
    virtual std::int32_t ImageButtonDrawMode(std::optional<std::int32_t> mode = std::nullopt);
    // Slot 114: set when any margin is given (the others become 0).
    virtual GridMargins ImageButtonGridMargins(std::optional<float> left = std::nullopt,
                                               std::optional<float> top = std::nullopt,
                                               std::optional<float> right = std::nullopt,
                                               std::optional<float> bottom = std::nullopt);
    // Slot 115: every given value as the single setters store it, then one repaint.
    virtual void SetImageButtonImages(std::optional<ByteArray> normal,
                                      std::optional<ByteArray> hover = std::nullopt,
                                      std::optional<ByteArray> pressed = std::nullopt,
                                      std::optional<ByteArray> focused = std::nullopt,
                                      std::optional<ByteArray> disabled = std::nullopt,
                                      std::optional<std::int32_t> drawMode = std::nullopt,
                                      std::optional<GridMargins> margins = std::nullopt);
    // Slot 116: runs first in slot 104; a non-zero result ends the handling with it.
    virtual LRESULT SubclassPreHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                    LPARAM lParam);

private:
    ByteArray PictureProperty(ImageButtonPicture which, const std::optional<ByteArray>& bytes);
    void StorePicture(ImageButtonPicture which, const ByteArray& bytes);
    void DisposePictures();

    Gdiplus::GpImage* m_pictures[kImageButtonPictureCount] = {};
    std::int32_t m_drawMode = kDrawStretched;
    GridMargins m_margins{};
};

}  // namespace toolkit
