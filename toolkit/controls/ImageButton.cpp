// ImageButton: picture properties, the state-to-picture choice and the disabled caption.
#include "controls/ImageButton.h"

#include "core/ElementMessages.h"
#include "foundation/ControlClasses.h"
#include "foundation/ImageHelpers.h"

namespace toolkit {

namespace {

// The caption colour of a disabled button that has a disabled picture.
constexpr std::uint32_t kDisabledCaptionColour = 0xFF606060;
// The look of a disabled element, as element state bit 0x1.
constexpr std::int32_t kDisabledLook = static_cast<std::int32_t>(kStateDisabled);

}  // namespace

ImageButtonPicture ImageButtonPictureFor(std::int32_t state, bool disabled,
                                         const bool (&present)[kImageButtonPictureCount]) {
    if (state == kButtonNormal && disabled) {
        state = kDisabledLook;
    }
    ImageButtonPicture wanted = kPictureNormal;
    switch (state) {
        case kButtonHover:
            wanted = kPictureHover;
            break;
        case kButtonPressed:
            wanted = kPicturePressed;
            break;
        case static_cast<std::int32_t>(kStateFocused):
            wanted = kPictureFocused;
            break;
        case kDisabledLook:
            wanted = kPictureDisabled;
            break;
        default:
            break;
    }
    return present[wanted] ? wanted : kPictureNormal;
}

void ImageButton::DisposePictures() {
    for (Gdiplus::GpImage*& picture : m_pictures) {
        DisposeImage(picture);
    }
}

void ImageButton::FreeMembers() {
    DisposePictures();
    Button::FreeMembers();
}

std::uint32_t ImageButton::Clone() {
    ImageButton* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    CopyOwnedMembersTo(copy);
    for (int i = 0; i < kImageButtonPictureCount; ++i) {
        copy->m_pictures[i] = nullptr;
        if (m_pictures[i] != nullptr) {
            Gdiplus::DllExports::GdipCloneImage(m_pictures[i], &copy->m_pictures[i]);
        }
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

LRESULT ImageButton::SubclassPreHook(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT ImageButton::PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    if (const LRESULT hooked = SubclassPreHook(window, handle, message, wParam, lParam)) {
        return hooked;
    }
    switch (message) {
        case WM_CREATE:
            m_drawMode = kDrawStretched;
            m_classTypeId = kTypeImageButton;
            ElementClassName(kClassImageButton);
            return 0;
        case WM_DESTROY:
            DisposePictures();
            return 0;
        case kMsgDisabledChanged:
            // With a picture of its own the button draws the disabled look itself, so the
            // compositor must not dim it.
            if (m_pictures[kPictureDisabled] == nullptr) {
                return 0;
            }
            PaintButton(window, handle);
            return 1;
        default:
            return 0;
    }
}

std::int32_t ImageButton::BackgroundHook(DrawContext* context, std::int32_t state) {
    bool present[kImageButtonPictureCount];
    for (int i = 0; i < kImageButtonPictureCount; ++i) {
        present[i] = m_pictures[i] != nullptr;
    }
    Gdiplus::GpImage* picture = m_pictures[ImageButtonPictureFor(state, IsDisabled(), present)];
    if (picture != nullptr) {
        const Gdiplus::RectF destination(context->paint.x, context->paint.y, context->paint.width,
                                         context->paint.height);
        DrawImageEx(context->graphics, picture, destination, Gdiplus::RectF(), false, m_drawMode,
                    &m_margins);
    }
    return 1;  // the theme background is never drawn
}

std::int32_t ImageButton::TextHook(DrawContext*, std::int32_t, Gdiplus::RectF*, const wchar_t*,
                                   std::uint32_t* drawColour, Gdiplus::GpFont*,
                                   Gdiplus::GpStringFormat*, std::uint32_t, std::uint32_t) {
    if (IsDisabled() && m_pictures[kPictureDisabled] != nullptr) {
        *drawColour = kDisabledCaptionColour;
    }
    return 0;
}

void ImageButton::StorePicture(ImageButtonPicture which, const ByteArray& bytes) {
    DisposeImage(m_pictures[which]);
    m_pictures[which] = LoadImageFromBytes(bytes).release();
}

ByteArray ImageButton::PictureProperty(ImageButtonPicture which,
                                       const std::optional<ByteArray>& bytes) {
    if (bytes) {
        StorePicture(which, *bytes);
        InvalidateElement();
    }
    return m_pictures[which] != nullptr ? EncodeImageToBytes(m_pictures[which], kPngFormat)
                                        : ByteArray();
}

ByteArray ImageButton::ImageButtonNormalImage(std::optional<ByteArray> bytes) {
    return PictureProperty(kPictureNormal, bytes);
}

ByteArray ImageButton::ImageButtonHoverImage(std::optional<ByteArray> bytes) {
    return PictureProperty(kPictureHover, bytes);
}

ByteArray ImageButton::ImageButtonPressedImage(std::optional<ByteArray> bytes) {
    return PictureProperty(kPicturePressed, bytes);
}

ByteArray ImageButton::ImageButtonFocusedImage(std::optional<ByteArray> bytes) {
    return PictureProperty(kPictureFocused, bytes);
}

ByteArray ImageButton::ImageButtonDisabledImage(std::optional<ByteArray> bytes) {
    return PictureProperty(kPictureDisabled, bytes);
}

std::int32_t ImageButton::ImageButtonDrawMode(std::optional<std::int32_t> mode) {
    SetAndInvalidate(m_drawMode, mode);
    return m_drawMode;
}

GridMargins ImageButton::ImageButtonGridMargins(std::optional<float> left, std::optional<float> top,
                                                std::optional<float> right,
                                                std::optional<float> bottom) {
    if (left || top || right || bottom) {
        m_margins = {left.value_or(0.0f), top.value_or(0.0f), right.value_or(0.0f),
                     bottom.value_or(0.0f)};
        InvalidateElement();
    }
    return m_margins;
}

void ImageButton::SetImageButtonImages(std::optional<ByteArray> normal,
                                       std::optional<ByteArray> hover,
                                       std::optional<ByteArray> pressed,
                                       std::optional<ByteArray> focused,
                                       std::optional<ByteArray> disabled,
                                       std::optional<std::int32_t> drawMode,
                                       std::optional<GridMargins> margins) {
    const std::optional<ByteArray>* given[kImageButtonPictureCount] = {&normal, &hover, &pressed,
                                                                       &focused, &disabled};
    for (int i = 0; i < kImageButtonPictureCount; ++i) {
        if (*given[i]) {
            StorePicture(static_cast<ImageButtonPicture>(i), **given[i]);
        }
    }
    if (drawMode) {
        m_drawMode = *drawMode;
    }
    if (margins) {
        m_margins = *margins;
    }
    InvalidateElement();
}

}  // namespace toolkit
