// ImageBox: one GDI+ picture over a background colour, in one of the DrawImageEx modes, inside
// an optional element frame. A picture with several time frames (an animated GIF) advances one
// frame per tick of the element's own timer; a new picture may come in with a transition.
//
// Slots 91-105 follow the element base in this order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Element.h"
#include "core/ElementPaint.h"
#include "foundation/CheckedMemory.h"
#include "foundation/Drawing.h"

namespace toolkit {

// What CreateImageBoxFromFile and SetImageFromFile load, as the engine takes it: the address of
// a GBK file name, or an HICON or HBITMAP.
using ImageSource = std::uint32_t;
inline ImageSource ImageSourceFromPath(const char* path) {
    return static_cast<ImageSource>(reinterpret_cast<std::uintptr_t>(path));
}
inline ImageSource ImageSourceFromIcon(HICON icon) {
    return static_cast<ImageSource>(reinterpret_cast<std::uintptr_t>(icon));
}

// Optional arguments of the two create operations; an absent value takes the default beside it.
struct ImageBoxCreateOptions {
    std::optional<bool> raiseShortDelays;      // true (CreateImageBox only)
    std::optional<std::int32_t> drawMode;      // kDrawStretched
    std::optional<GridMargins> gridMargins;    // none (CreateImageBox only)
    std::int32_t frameStyle = 0;               // a DrawFrameRect kind; 0 none
    std::optional<std::int32_t> elementStyle;  // 1 (visible)
};

// A GIF frame delay is counted in hundredths of a second; delays up to kShortDelay are raised to
// kRaisedDelay when the box raises short delays.
constexpr std::int32_t kDelayUnitMs = 10;
constexpr std::int32_t kShortDelay = 9;
constexpr std::int32_t kRaisedDelay = 10;

class ImageBox : public Element {
public:
    ImageBox() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91: draws the current frame and, while animating, moves on and re-arms the timer.
    virtual void Paint();
    // Slot 92: frame count, current frame 1 and the frame delays of the picture.
    virtual void InitImageAnimation();
    // Slot 93: the picture from bytes (PNG, BMP, GIF, JPEG ...). parent: a host window's HWND
    // or a parent element's handle; background: ARGB.
    virtual ElementHandle CreateImageBox(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                         std::int32_t width, std::int32_t height,
                                         const ByteArray& bytes, bool animate,
                                         Gdiplus::ARGB background,
                                         const ImageBoxCreateOptions& options = {});
    // Slot 94: the picture from a file, an icon or a bitmap, not animated.
    virtual ElementHandle CreateImageBoxFromFile(std::uint32_t parent, std::int32_t x,
                                                 std::int32_t y, std::int32_t width,
                                                 std::int32_t height, ImageSource source,
                                                 Gdiplus::ARGB background,
                                                 const ImageBoxCreateOptions& options = {});
    // Slot 95.
    virtual void SetImageFromFile(ImageSource source);
    // Slot 96: setting loads the bytes (empty: no picture); with an easing curve other than -1
    // and non-zero frames and interval the new picture comes in with that transition. Getting
    // gives the picture as PNG bytes.
    virtual ByteArray ImageBoxImage(std::optional<ByteArray> bytes = std::nullopt,
                                    std::optional<std::int32_t> easing = std::nullopt,
                                    std::optional<std::int32_t> frames = std::nullopt,
                                    std::optional<std::int32_t> interval = std::nullopt);
    // Slots 97-102: properties; setting stores the value and redraws.
    virtual bool ImageBoxAnimate(std::optional<bool> value = std::nullopt);
    virtual Gdiplus::ARGB ImageBoxBackColor(std::optional<Gdiplus::ARGB> value = std::nullopt);
    virtual std::int32_t ImageBoxFrameStyle(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ImageBoxDrawMode(std::optional<std::int32_t> value = std::nullopt);
    // Set when any margin is given (absent ones 0); returns the margins, all 0 when none.
    virtual GridMargins ImageBoxGridMargins(std::optional<float> left = std::nullopt,
                                            std::optional<float> top = std::nullopt,
                                            std::optional<float> right = std::nullopt,
                                            std::optional<float> bottom = std::nullopt);
    // Setting disposes the old picture and takes ownership of the given one.
    virtual Gdiplus::GpImage* ImageBoxImageHandle(
        std::optional<Gdiplus::GpImage*> value = std::nullopt);
    // Slot 103: non-zero skips clearing the canvas with the background colour.
    virtual LRESULT OnClearBackground(DrawContext* context, Gdiplus::ARGB colour);
    // Slot 104: may change the rectangle the picture is drawn into.
    virtual void OnImageRect(Gdiplus::RectF* rect);
    // Slot 105: may change the (1-based) frame about to be drawn.
    virtual void OnImageFrame(DrawContext* context, std::int32_t* frame, std::int32_t count);

    bool IsAnimating() const { return m_animate != 0 && m_frameCount > 1; }

    // The box's own fields, after the element record.
    Gdiplus::ARGB m_background = 0;
    Gdiplus::GpImage* m_image = nullptr;
    std::uint32_t m_animate = 0;
    std::int32_t m_frameStyle = 0;
    std::int32_t m_imageFrame = 0;  // the current picture frame, 1-based
    std::int32_t m_frameCount = 0;
    std::vector<std::int32_t> m_frameDelays;  // hundredths of a second
    std::int32_t m_drawMode = kDrawStretched;
    std::uint32_t m_raiseShortDelays = 1;
    std::optional<GridMargins> m_gridMargins;
    std::uint32_t m_transitionOnChange = 0;
    std::uint32_t m_frameTimerRunning = 0;

private:
    void ReleasePicture();
    // Kills the frame timer, so that the next WM_PAINT draws (and restarts it when animating).
    void StopFrameTimer();
    void StartFrameTimer();
    template <typename T>
    T Property(T& field, std::optional<T> value);
};

// The slots of ImageBox's own operations.
enum ImageBoxSlot : std::uint32_t {
    kSlotImageBoxPaint = 91,
    kSlotInitImageAnimation = 92,
    kSlotCreateImageBox = 93,
    kSlotCreateImageBoxFromFile = 94,
    kSlotImageBoxImage = 96,
    kSlotImageBoxImageHandle = 102,
    kSlotImageBoxFrameHook = 105,
};

}  // namespace toolkit
