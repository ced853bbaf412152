// ImageListButton: the strip picture, the cell of each state and the properties.
#include "controls/ImageListButton.h"

#include "core/ElementMessages.h"
#include "foundation/ControlClasses.h"
#include "foundation/ImageHelpers.h"

namespace toolkit {

namespace {

// Strips of more than this many cells carry a disabled cell after the pressed one.
constexpr std::int32_t kCellsWithoutDisabled = 3;
// The look of a disabled element, as element state bit 0x1.
constexpr std::int32_t kDisabledLook = static_cast<std::int32_t>(kStateDisabled);

// The cell's place in the strip: normal, hover, pressed, disabled.
int CellIndex(std::int32_t state) {
    switch (state) {
        case kButtonHover:
            return 1;
        case kButtonPressed:
            return 2;
        case kDisabledLook:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

std::optional<Gdiplus::RectF> StripCellFor(std::int32_t state, float stripWidth, float stripHeight,
                                           std::int32_t cellCount, std::int32_t cellGap) {
    if (cellCount <= 0) {
        return std::nullopt;
    }
    const float gap = static_cast<float>(cellGap);
    const float cellWidth = stripWidth / static_cast<float>(cellCount) - gap * cellCount;
    const float x = static_cast<float>(CellIndex(state)) * (cellWidth + gap);
    return Gdiplus::RectF(x, 0.0f, cellWidth, stripHeight);
}

void ImageListButton::FreeMembers() {
    DisposeImage(m_strip);
    Button::FreeMembers();
}

std::uint32_t ImageListButton::Clone() {
    ImageListButton* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    CopyOwnedMembersTo(copy);
    copy->m_strip = nullptr;
    if (m_strip != nullptr) {
        Gdiplus::DllExports::GdipCloneImage(m_strip, &copy->m_strip);
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

LRESULT ImageListButton::PreHandlerHook(HWND, ElementHandle, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CREATE:
            m_classTypeId = kTypeImageListButton;
            ElementClassName(kClassImageListButton);
            m_drawTabStop = 0;
            return 0;
        case WM_DESTROY:
            DisposeImage(m_strip);
            m_cellCount = 0;
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return 1;  // focus changes leave the picture as it is
        case kMsgDisabledChanged:
            // A strip with a disabled cell shows it at the next paint; the compositor must not
            // dim the button on top of it.
            return m_cellCount > kCellsWithoutDisabled ? 1 : 0;
        default:
            return 0;
    }
}

std::int32_t ImageListButton::BackgroundHook(DrawContext* context, std::int32_t state) {
    if (IsDisabled()) {
        state = m_cellCount > kCellsWithoutDisabled ? kDisabledLook : kButtonNormal;
    }
    if (m_strip == nullptr) {
        return 1;
    }
    const std::optional<Gdiplus::RectF> cell =
        StripCellFor(state, static_cast<float>(GetImageWidth(m_strip)),
                     static_cast<float>(GetImageHeight(m_strip)), m_cellCount, m_cellGap);
    if (cell) {
        const Gdiplus::RectF destination(context->paint.x, context->paint.y, context->paint.width,
                                         context->paint.height);
        DrawImageEx(context->graphics, m_strip, destination, *cell, true, m_drawMode, &m_margins);
    }
    return 1;  // the theme background is never drawn
}

ByteArray ImageListButton::ImageListButtonImage(std::optional<ByteArray> bytes) {
    if (bytes) {
        DisposeImage(m_strip);
        m_strip = LoadImageFromBytes(*bytes).release();
        InvalidateElement();
    }
    return m_strip != nullptr ? EncodeImageToBytes(m_strip, kPngFormat) : ByteArray();
}

std::int32_t ImageListButton::ImageListButtonCellCount(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_cellCount, value);
    return m_cellCount;
}

std::int32_t ImageListButton::ImageListButtonCellGap(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_cellGap, value);
    return m_cellGap;
}

std::int32_t ImageListButton::ImageListButtonDrawMode(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_drawMode, value);
    return m_drawMode;
}

GridMargins ImageListButton::ImageListButtonGridMargins(std::optional<float> left,
                                                        std::optional<float> top,
                                                        std::optional<float> right,
                                                        std::optional<float> bottom) {
    if (left || top || right || bottom) {
        m_margins = {left.value_or(0.0f), top.value_or(0.0f), right.value_or(0.0f),
                     bottom.value_or(0.0f)};
        InvalidateElement();
    }
    return m_margins;
}

void ImageListButton::SetImageListButtonImage(const ByteArray& bytes, std::int32_t cellCount,
                                              std::int32_t cellGap,
                                              std::optional<std::int32_t> drawMode,
                                              std::optional<GridMargins> margins) {
    DisposeImage(m_strip);
    m_strip = LoadImageFromBytes(bytes).release();
    m_cellCount = cellCount;
    m_cellGap = cellGap;
    if (drawMode) {
        m_drawMode = *drawMode;
    }
    if (margins) {
        m_margins = *margins;
    }
    InvalidateElement();
}

}  // namespace toolkit
