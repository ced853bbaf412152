// ImageBox: creation, picture properties, frame animation, the class handler and paint.
#include "controls/ImageBox.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"
#include "foundation/ControlClasses.h"
#include "foundation/EngineBinding.h"
#include "foundation/ImageHelpers.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

// The time dimension of animated pictures (GDI+ FrameDimensionTime).
constexpr GUID kFrameDimensionTime = {
    0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
// The property that holds one delay per frame, and the two types it comes in.
constexpr PROPID kPropertyFrameDelay = 0x5100;
constexpr WORD kPropertyTypeUnsigned32 = 4;
constexpr WORD kPropertyTypeSigned32 = 9;
// No transition easing.
constexpr std::int32_t kNoEasing = -1;

// The frame delays of a picture in hundredths of a second; empty when it has none.
std::vector<std::int32_t> ReadFrameDelays(Gdiplus::GpImage* image) {
    UINT size = 0;
    if (gp::GdipGetPropertyItemSize(image, kPropertyFrameDelay, &size) != Gdiplus::Ok ||
        size < sizeof(Gdiplus::PropertyItem)) {
        return {};
    }
    // GDI+ places the value right behind the item, inside the same buffer.
    std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (gp::GdipGetPropertyItem(image, kPropertyFrameDelay, size, item) != Gdiplus::Ok ||
        item->value == nullptr) {
        return {};
    }
    const bool usable = (item->length > 0 && item->type == kPropertyTypeUnsigned32) ||
                        item->type == kPropertyTypeSigned32;
    if (!usable) {
        return {};
    }
    // The item's own length is not trusted beyond the buffer GDI+ filled.
    const auto* bufferStart = reinterpret_cast<const std::uint8_t*>(buffer.data());
    const auto* value = static_cast<const std::uint8_t*>(item->value);
    if (value < bufferStart || value > bufferStart + size) {
        return {};
    }
    const std::size_t available = static_cast<std::size_t>(bufferStart + size - value);
    const std::size_t count = std::min<std::size_t>(item->length, available) / sizeof(std::int32_t);
    std::vector<std::int32_t> delays(count);
    if (count > 0) {
        std::memcpy(delays.data(), value, count * sizeof(std::int32_t));
    }
    return delays;
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void ImageBox::FreeMembers() {
    ReleasePicture();
    m_gridMargins.reset();
}

std::uint32_t ImageBox::Clone() {
    ImageBox* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    copy->m_image = nullptr;
    if (m_image != nullptr) {
        gp::GdipCloneImage(m_image, &copy->m_image);
    }
    return AddressOf(copy);
}

void ImageBox::ReleasePicture() {
    DisposeImage(m_image);
    // Swapping frees the storage: clones live in heap blocks whose destructors never run.
    std::vector<std::int32_t>().swap(m_frameDelays);
    m_frameCount = 0;
    m_imageFrame = 0;
}

// ---- Creation -----------------------------------------------------------------------------------

ElementHandle ImageBox::CreateImageBox(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                       std::int32_t width, std::int32_t height,
                                       const ByteArray& bytes, bool animate,
                                       Gdiplus::ARGB background,
                                       const ImageBoxCreateOptions& options) {
    if (IsElementAlive()) {
        return m_handle;
    }
    ReleasePicture();
    m_image = LoadImageFromBytes(bytes).release();
    m_animate = animate ? 1 : 0;
    m_background = background;
    m_raiseShortDelays = options.raiseShortDelays.value_or(true) ? 1 : 0;
    m_drawMode = options.drawMode.value_or(kDrawStretched);
    m_gridMargins = options.gridMargins;
    m_frameStyle = options.frameStyle;
    InitImageAnimation();

    ElementCreateOptions element;
    element.visible = options.elementStyle.value_or(1);
    const ElementHandle handle =
        CreateElement(parent, x, y, width, height, kTypeImageBox, kClassImageBox, element);
    if (handle == 0) {
        FreeMembers();
    }
    return handle;
}

ElementHandle ImageBox::CreateImageBoxFromFile(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                               std::int32_t width, std::int32_t height,
                                               ImageSource source, Gdiplus::ARGB background,
                                               const ImageBoxCreateOptions& options) {
    if (IsElementAlive()) {
        return m_handle;
    }
    ReleasePicture();
    m_image = reinterpret_cast<Gdiplus::GpImage*>(EngineImageFromFile(source));
    m_animate = 0;
    m_background = background;
    m_raiseShortDelays = 1;
    m_drawMode = options.drawMode.value_or(kDrawStretched);
    m_frameStyle = options.frameStyle;
    InitImageAnimation();

    ElementCreateOptions element;
    element.visible = options.elementStyle.value_or(1);
    const ElementHandle handle =
        CreateElement(parent, x, y, width, height, kTypeImageBox, kClassImageBox, element);
    if (handle == 0) {
        FreeMembers();
    }
    return handle;
}

// ---- Animation ----------------------------------------------------------------------------------

void ImageBox::InitImageAnimation() {
    std::vector<std::int32_t>().swap(m_frameDelays);
    if (m_image == nullptr) {
        // A box without a picture has no frames left over from the previous one.
        m_frameCount = 0;
        m_imageFrame = 0;
        return;
    }
    UINT count = 0;
    gp::GdipImageGetFrameCount(m_image, &kFrameDimensionTime, &count);
    m_frameCount = static_cast<std::int32_t>(count);
    m_imageFrame = 1;
    m_frameDelays = ReadFrameDelays(m_image);
    if (m_raiseShortDelays != 0) {
        for (std::int32_t& delay : m_frameDelays) {
            if (delay <= kShortDelay) {
                delay = kRaisedDelay;
            }
        }
    }
}

void ImageBox::StopFrameTimer() {
    if (m_hostWindow != nullptr && m_handle != 0) {
        KillTimer(m_hostWindow, m_handle);
    }
    m_frameTimerRunning = 0;
}

void ImageBox::StartFrameTimer() {
    // A frame without a delay, or with a delay of 0 that was not raised, still moves on after
    // the shortest delay: a timer of 0 would never fire again and WM_PAINT would stay ignored.
    const std::size_t index = static_cast<std::size_t>(std::max(m_imageFrame - 1, 0));
    const std::int32_t delay = index < m_frameDelays.size() ? m_frameDelays[index] : 0;
    const UINT elapse = static_cast<UINT>(std::max(delay, 1) * kDelayUnitMs);
    m_frameTimerRunning = 1;
    RestartElementTimer(elapse);
}

// ---- Properties ---------------------------------------------------------------------------------

template <typename T>
T ImageBox::Property(T& field, std::optional<T> value) {
    if (value && *value != field) {
        field = *value;
        InvalidateElement();
    }
    return field;
}

void ImageBox::SetImageFromFile(ImageSource source) {
    StopFrameTimer();
    ReleasePicture();
    m_image = reinterpret_cast<Gdiplus::GpImage*>(EngineImageFromFile(source));
    InitImageAnimation();
    InvalidateElement();
}

ByteArray ImageBox::ImageBoxImage(std::optional<ByteArray> bytes,
                                  std::optional<std::int32_t> easing,
                                  std::optional<std::int32_t> frames,
                                  std::optional<std::int32_t> interval) {
    if (!bytes) {
        return m_image != nullptr ? EncodeImageToBytes(m_image, kPngFormat) : ByteArray();
    }
    // The frame timer is stopped so that the invalidation below draws the new picture at once.
    StopFrameTimer();
    ReleasePicture();
    m_image = LoadImageFromBytes(*bytes).release();
    InitImageAnimation();
    if (easing && *easing != kNoEasing && frames && *frames != 0 && interval && *interval != 0) {
        m_transitionOnChange = 1;
        ElementTransitionEasing(*easing);
        ElementTransitionSteps(*frames, *interval);
    }
    InvalidateElement();
    return {};
}

bool ImageBox::ImageBoxAnimate(std::optional<bool> value) {
    if (value) {
        m_animate = *value ? 1 : 0;
        m_imageFrame = m_frameCount > 0 ? 1 : 0;
        StopFrameTimer();
        InvalidateElement();
    }
    return m_animate != 0;
}

Gdiplus::ARGB ImageBox::ImageBoxBackColor(std::optional<Gdiplus::ARGB> value) {
    return Property(m_background, value);
}

std::int32_t ImageBox::ImageBoxFrameStyle(std::optional<std::int32_t> value) {
    return Property(m_frameStyle, value);
}

std::int32_t ImageBox::ImageBoxDrawMode(std::optional<std::int32_t> value) {
    return Property(m_drawMode, value);
}

GridMargins ImageBox::ImageBoxGridMargins(std::optional<float> left, std::optional<float> top,
                                          std::optional<float> right, std::optional<float> bottom) {
    if (left || top || right || bottom) {
        m_gridMargins = GridMargins{left.value_or(0.0f), top.value_or(0.0f), right.value_or(0.0f),
                                    bottom.value_or(0.0f)};
        InvalidateElement();
    }
    return m_gridMargins.value_or(GridMargins{});
}

Gdiplus::GpImage* ImageBox::ImageBoxImageHandle(std::optional<Gdiplus::GpImage*> value) {
    if (value && *value != m_image) {
        StopFrameTimer();
        ReleasePicture();
        m_image = *value;
        InitImageAnimation();
        InvalidateElement();
    }
    return m_image;
}

LRESULT ImageBox::OnClearBackground(DrawContext*, Gdiplus::ARGB) {
    return 0;
}

void ImageBox::OnImageRect(Gdiplus::RectF*) {}

void ImageBox::OnImageFrame(DrawContext*, std::int32_t*, std::int32_t) {}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT ImageBox::ClassMessageHandler(HWND, ElementHandle, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_DESTROY:
            StopFrameTimer();
            ReleasePicture();
            m_animate = 0;
            m_raiseShortDelays = 0;
            m_transitionOnChange = 0;
            return 0;
        case WM_PAINT:
            // While animating, the frame timer does the drawing.
            if (m_frameTimerRunning == 0) {
                Paint();
            }
            return 0;
        case WM_SHOWWINDOW:
            Paint();
            return 0;
        case WM_TIMER:
            if ((m_state & kStateTransition) != 0) {
                return 0;
            }
            if (IsAnimating()) {
                Paint();
            } else {
                StopFrameTimer();
            }
            return 0;
        case kMsgCreatedFromLayout:
            m_drawMode = kDrawStretched;
            m_raiseShortDelays = 1;
            return 0;
        case kMsgTransitionEnd:
            // A transition on change runs once; the frames go on from where they stood.
            ElementTransitionSteps(0, std::nullopt);
            m_transitionOnChange = 0;
            if (IsAnimating()) {
                StartFrameTimer();
            }
            return 0;
        default:
            return 0;
    }
}

// ---- Paint --------------------------------------------------------------------------------------

void ImageBox::Paint() {
    DrawContext context{};
    const ElementHandle handle = m_handle;
    if (BeginElementDraw(handle, &context) == 0) {
        return;
    }
    Gdiplus::GpGraphics* graphics = context.graphics;
    if (OnClearBackground(&context, m_background) == 0 && graphics != nullptr) {
        gp::GdipGraphicsClear(graphics, m_background);
    }
    Gdiplus::RectF rect(context.client.x, context.client.y, context.client.width,
                        context.client.height);
    OnImageRect(&rect);
    if (m_image != nullptr) {
        if (IsAnimating()) {
            std::int32_t frame = m_imageFrame;
            OnImageFrame(&context, &frame, m_frameCount);
            if (frame < 1 || frame > m_frameCount) {
                frame = 1;
            }
            m_imageFrame = frame;
            gp::GdipImageSelectActiveFrame(m_image, &kFrameDimensionTime,
                                           static_cast<UINT>(frame - 1));
        }
        const GridMargins* margins = m_gridMargins ? &*m_gridMargins : nullptr;
        DrawImageEx(graphics, m_image, rect, Gdiplus::RectF(), false, m_drawMode, margins);
    }
    if (m_frameStyle != kFrameNone) {
        DrawFrameRect(graphics, context.client, m_frameStyle);
    }
    EndElementDraw(handle, &context);
    if (m_self != this || m_handle != handle) {
        return;
    }
    if ((m_state & kStateTransition) == 0 && IsAnimating()) {
        m_imageFrame = m_imageFrame >= m_frameCount ? 1 : m_imageFrame + 1;
        StartFrameTimer();
    }
}

}  // namespace toolkit
