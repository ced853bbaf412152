// Painting: canvases, the element draw, presenting, compositing and transitions.
//
// Sections: canvases; BeginElementDraw and EndElementDraw; presenting; compositing the tree;
// transitions; frames.
#include "core/ElementPaint.h"

#include <algorithm>

#include "core/ElementMessages.h"
#include "core/LayeredPush.h"
#include "foundation/Colour.h"
#include "foundation/Easing.h"
#include "foundation/PresentBatch.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kOpaque = 255;

BLENDFUNCTION PerPixelBlend(std::uint32_t alpha) {
    return {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
}

BLENDFUNCTION ConstantBlend(std::uint32_t alpha) {
    return {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
}

// The size of the element's canvas: containers keep a 1 x 1 canvas whatever their size.
SIZE CanvasSize(const Element* element) {
    if (element->m_classTypeId == kClassTypePage) {
        return {1, 1};
    }
    return {std::max(element->m_width, 1), std::max(element->m_height, 1)};
}

RECT ElementBounds(const Element* element) {
    return {element->m_left, element->m_top, element->m_right, element->m_bottom};
}

// Blends the part of the source that lies inside its canvas; GdiAlphaBlend refuses a source
// rectangle that reaches outside the bitmap.
void BlendClipped(HDC destination, int destX, int destY, int width, int height, HDC source,
                  SIZE sourceSize, int sourceX, int sourceY, BLENDFUNCTION blend) {
    const int left = std::max(sourceX, 0);
    const int top = std::max(sourceY, 0);
    const int right = std::min(sourceX + width, static_cast<int>(sourceSize.cx));
    const int bottom = std::min(sourceY + height, static_cast<int>(sourceSize.cy));
    if (right <= left || bottom <= top || source == nullptr) {
        return;
    }
    GdiAlphaBlend(destination, destX + (left - sourceX), destY + (top - sourceY), right - left,
                  bottom - top, source, left, top, right - left, bottom - top, blend);
}

bool HostReady(const HostRecordFields* host) {
    return host != nullptr && host->presented != 0;
}

}  // namespace

// ---- Canvases -----------------------------------------------------------------------------------

void* CreateDibCanvas(std::int32_t width, std::int32_t height, HDC* dc, HBITMAP* bitmap,
                      bool topDown) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    constexpr WORD kBitsPerPixel = 32;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * height * kBitsPerPixel / 8;
    void* bits = nullptr;
    HBITMAP made = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    if (made == nullptr || memory == nullptr) {
        if (made != nullptr) {
            DeleteObject(made);
        }
        if (memory != nullptr) {
            DeleteDC(memory);
        }
        *dc = nullptr;
        *bitmap = nullptr;
        return nullptr;
    }
    // The DC's own 1 x 1 bitmap is a stock object: it is not deleted.
    SelectObject(memory, made);
    *dc = memory;
    *bitmap = made;
    return bits;
}

void FreeDibCanvas(HDC* dc, HBITMAP* bitmap) {
    // Deleting the DC first releases the bitmap from it.
    if (*dc != nullptr) {
        DeleteDC(*dc);
        *dc = nullptr;
    }
    if (*bitmap != nullptr) {
        DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
}

void* CreateElementCanvas(Gdiplus::GpGraphics** graphics, HDC* dc, HBITMAP* bitmap,
                          std::int32_t width, std::int32_t height, std::int32_t textHint) {
    void* bits = CreateDibCanvas(width, height, dc, bitmap, true);
    *graphics = nullptr;
    if (bits == nullptr) {
        return nullptr;
    }
    if (gp::GdipCreateFromHDC(*dc, graphics) == Gdiplus::Ok) {
        gp::GdipSetSmoothingMode(*graphics, Gdiplus::SmoothingModeHighSpeed);
        gp::GdipSetTextRenderingHint(*graphics, static_cast<Gdiplus::TextRenderingHint>(textHint));
    }
    return bits;
}

POINT ParentOrigin(const Element* element) {
    POINT origin{0, 0};
    for (const Element* parent = ElementFromHandle(element->m_parent); parent != nullptr;
         parent = ElementFromHandle(parent->m_parent)) {
        origin.x += parent->m_left;
        origin.y += parent->m_top;
    }
    if (const HostRecordFields* host = element->Host(); host && host->shadowMargins) {
        origin.x += host->shadowMargins->left;
        origin.y += host->shadowMargins->top;
    }
    return origin;
}

std::uint32_t ElementCanvasAlpha(const Element* element, std::int32_t x, std::int32_t y) {
    const SIZE size = CanvasSize(element);
    if (element->m_canvasBits == nullptr || x < 0 || y < 0 || x >= size.cx || y >= size.cy) {
        return 0;
    }
    const auto* pixels = static_cast<const std::uint32_t*>(element->m_canvasBits);
    return pixels[static_cast<std::size_t>(y) * size.cx + x] >> 24;
}

// ---- BeginElementDraw and EndElementDraw --------------------------------------------------------

std::uint32_t BeginElementDraw(ElementHandle handle, DrawContext* context, ElementRectF* paintRect,
                               bool useGivenRect, bool clear) {
    Element* element = ElementFromHandle(handle);
    if (element == nullptr || context == nullptr) {
        return 0;
    }
    const ElementRectF previousDirty = element->m_dirty;
    if (useGivenRect && paintRect != nullptr) {
        element->m_dirty = *paintRect;
    }
    const ElementRectF paint = element->m_dirty;
    if (paintRect != nullptr) {
        *paintRect = paint;
    }
    HostRecordFields* host = element->Host();
    context->window = element->m_hostWindow;
    context->host = host;
    context->theme = host != nullptr ? host->theme : 0;
    context->dc = element->m_canvasDc;
    context->graphics = element->m_canvasGraphics;
    context->paint = paint;
    context->client = {0.0f, 0.0f, static_cast<float>(element->m_right - element->m_left),
                       static_cast<float>(element->m_bottom - element->m_top)};
    context->clear = clear;
    context->state = element->m_state;

    if (HostReady(host) && element->m_presentEnabled != 0) {
        if ((element->m_state & kStateTransition) != 0) {
            // A new drawing cancels the running transition: show where it stands first.
            KillTimer(element->m_hostWindow, handle + 1);
            if (previousDirty.width != paint.width || previousDirty.height != paint.height) {
                FreeDibCanvas(&element->m_snapshotDc, &element->m_snapshotBitmap);
            }
            element->m_state &= ~kStateTransition;
            element->m_currentFrame = 0;
            PresentElementRect(handle, static_cast<std::int32_t>(paint.x) + element->m_left,
                               static_cast<std::int32_t>(paint.y) + element->m_top,
                               static_cast<std::int32_t>(paint.width),
                               static_cast<std::int32_t>(paint.height));
        }
        if (element->m_transitionInterval != 0 && element->m_transitionFrames != 0) {
            const auto width = static_cast<std::int32_t>(context->client.width);
            const auto height = static_cast<std::int32_t>(context->client.height);
            if (element->m_snapshotDc == nullptr) {
                CreateDibCanvas(width, height, &element->m_snapshotDc, &element->m_snapshotBitmap,
                                true);
            }
            BlendClipped(element->m_snapshotDc, 0, 0, width, height, element->m_canvasDc,
                         CanvasSize(element), 0, 0, ConstantBlend(element->m_alpha));
        }
    }
    if (context->graphics != nullptr) {
        gp::GdipSetClipRectI(context->graphics, static_cast<INT>(paint.x),
                             static_cast<INT>(paint.y), static_cast<INT>(paint.width),
                             static_cast<INT>(paint.height), Gdiplus::CombineModeReplace);
        if (clear) {
            gp::GdipGraphicsClear(context->graphics, 0);
        }
    }
    return 1;
}

void EndElementDraw(ElementHandle handle, DrawContext* context) {
    Element* element = ElementFromHandle(handle);
    if (element == nullptr || context == nullptr) {
        return;
    }
    if (context->graphics != nullptr) {
        gp::GdipResetClip(context->graphics);
    }
    if (!HostReady(element->Host()) || element->m_presentEnabled == 0 || element->IsHidden()) {
        return;
    }
    element->m_dirty = context->paint;
    if (element->m_transitionInterval == 0 || element->m_transitionFrames == 0) {
        PresentElementRect(handle, static_cast<std::int32_t>(context->paint.x) + element->m_left,
                           static_cast<std::int32_t>(context->paint.y) + element->m_top,
                           static_cast<std::int32_t>(context->paint.width),
                           static_cast<std::int32_t>(context->paint.height));
        element->m_dirty = {0.0f, 0.0f, static_cast<float>(element->m_width),
                            static_cast<float>(element->m_height)};
        return;
    }
    element->m_currentFrame = 0;
    element->m_state |= kStateTransition;
    element->ElementWndProc(kMsgTransitionBegin, 0, 0);
    if (element->m_self != element) {
        return;  // destroyed by its own transition start
    }
    SetTimer(element->m_hostWindow, handle + 1, element->m_transitionInterval, TransitionTimerProc);
}

// ---- Presenting ---------------------------------------------------------------------------------

void PresentElementRect(ElementHandle handle, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, bool updateWindow) {
    Element* element = ElementFromHandle(handle);
    if (element == nullptr) {
        return;
    }
    const POINT origin = ParentOrigin(element);
    ComposeAndBlit(handle, element->Host(), origin.x + x, origin.y + y, width, height,
                   updateWindow);
}

void ComposeAndBlit(ElementHandle, HostRecordFields* host, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, bool updateWindow) {
    if (!HostReady(host) || host->body == nullptr || host->frameDc == nullptr) {
        return;
    }
    const RECT wanted = {x, y, x + width, y + height};
    RECT target{};
    if (!IntersectRect(&target, &wanted, host->body)) {
        return;
    }
    SelectClipRgn(host->frameDc, host->innerRegion);
    BitBlt(host->frameDc, target.left, target.top, target.right - target.left,
           target.bottom - target.top, host->backgroundDc, target.left, target.top, SRCCOPY);
    POINT origin{0, 0};
    if (host->shadowMargins != nullptr) {
        origin = {host->shadowMargins->left, host->shadowMargins->top};
    }
    RECT area = target;
    OffsetRect(&area, -origin.x, -origin.y);
    ComposeElementTree(host, host->frameDc, area, origin.x, origin.y, host->firstChild, 0);
    SelectClipRgn(host->frameDc, nullptr);
    if (updateWindow) {
        InvalidateHostRect(host, target);
    }
}

// ---- Compositing --------------------------------------------------------------------------------

namespace {

void ComposeTransitionFrame(Element* element, HDC destination, const RECT& area,
                            std::int32_t originX, std::int32_t originY) {
    const std::int32_t width = area.right - area.left;
    const std::int32_t height = area.bottom - area.top;
    TransitionBlock block{};
    block.destination = destination;
    block.canvas = element->m_canvasDc;
    block.snapshot = element->m_snapshotDc;
    HBITMAP scratchBitmap = nullptr;
    CreateDibCanvas(width, height, &block.scratch, &scratchBitmap, true);
    block.element = {static_cast<float>(element->m_left), static_cast<float>(element->m_top),
                     static_cast<float>(element->m_width), static_cast<float>(element->m_height)};
    block.area = {static_cast<float>(area.left), static_cast<float>(area.top),
                  static_cast<float>(width), static_cast<float>(height)};
    block.frame = static_cast<std::int32_t>(element->m_currentFrame);
    block.frameCount = static_cast<std::int32_t>(element->m_transitionFrames);
    block.progress = element->m_transitionProgress;
    block.alpha = static_cast<std::int32_t>(element->m_alpha);
    block.originX = originX;
    block.originY = originY;
    const LRESULT blended =
        element->ElementWndProc(kMsgTransitionFrame, 0, reinterpret_cast<LPARAM>(&block));
    if (blended == 0 && element->m_self == element) {
        BlendCanvas(element, &block);
    }
    FreeDibCanvas(&block.scratch, &scratchBitmap);
}

void DrawFocusFrame(Element* element, HostRecordFields* host, const RECT& area,
                    std::int32_t originX, std::int32_t originY) {
    Gdiplus::GpGraphics* graphics = host->frameGraphics;
    if (graphics == nullptr) {
        return;
    }
    ElementRectF frame = {0.0f, 0.0f, static_cast<float>(element->m_width),
                          static_cast<float>(element->m_height)};
    element->AdjustFocusRect(&frame);
    frame.x += static_cast<float>(element->m_left + originX);
    frame.y += static_cast<float>(element->m_top + originY);
    if (host->innerRegionGdiplus != nullptr) {
        gp::GdipSetClipRegion(graphics, host->innerRegionGdiplus, Gdiplus::CombineModeReplace);
    }
    gp::GdipSetClipRectI(graphics, area.left + originX, area.top + originY, area.right - area.left,
                         area.bottom - area.top,
                         host->innerRegionGdiplus != nullptr ? Gdiplus::CombineModeIntersect
                                                             : Gdiplus::CombineModeReplace);
    DrawFrameRect(graphics, frame, kFrameDashed);
    gp::GdipResetClip(graphics);
}

}  // namespace

void ComposeElementTree(HostRecordFields* host, HDC destination, const RECT& area,
                        std::int32_t originX, std::int32_t originY, ElementHandle first,
                        ElementHandle stop) {
    ElementHandle handle = first;
    while (Element* element = ElementFromHandle(handle)) {
        const ElementHandle next = element->m_nextSibling;
        const RECT bounds = ElementBounds(element);
        RECT part{};
        if (!element->IsHidden() && IntersectRect(&part, &area, &bounds)) {
            std::uint32_t alpha = element->m_alpha;
            const bool disabledLook = element->IsDisabled() && element->m_disabledLookDrawn == 0;
            if (disabledLook) {
                alpha /= 2;
            }
            if (!disabledLook && (element->m_state & kStateTransition) != 0 &&
                element->m_currentFrame < element->m_transitionFrames) {
                ComposeTransitionFrame(element, destination, part, originX, originY);
            } else {
                BlendClipped(destination, part.left + originX, part.top + originY,
                             part.right - part.left, part.bottom - part.top, element->m_canvasDc,
                             CanvasSize(element), part.left - element->m_left,
                             part.top - element->m_top, PerPixelBlend(alpha));
            }
            if (element->m_handle == host->keyboardFocus && element->m_drawTabStop != 0) {
                DrawFocusFrame(element, host, part, originX, originY);
            }
            RECT childArea = part;
            OffsetRect(&childArea, -element->m_left, -element->m_top);
            ComposeElementTree(host, destination, childArea, originX + element->m_left,
                               originY + element->m_top, element->m_firstChild, stop);
        }
        if (handle == stop) {
            break;
        }
        handle = next;
    }
}

void InvalidateHostRect(HostRecordFields* host, const RECT& rect) {
    if (host->layeredAlpha == kNotLayered) {
        InvalidateRect(host->window, &rect, FALSE);
        return;
    }
    // The presents of one message reach the screen in one push of the part they changed.
    PushOrQueueLayeredWindow(host, rect);
}

// ---- Transitions --------------------------------------------------------------------------------

void BlendCanvas(Element* element, TransitionBlock* block) {
    const auto areaX = static_cast<int>(block->area.x);
    const auto areaY = static_cast<int>(block->area.y);
    const auto width = static_cast<int>(block->area.width);
    const auto height = static_cast<int>(block->area.height);
    const int destX = areaX + block->originX;
    const int destY = areaY + block->originY;
    const int sourceX = areaX - static_cast<int>(block->element.x);
    const int sourceY = areaY - static_cast<int>(block->element.y);
    const SIZE canvas = CanvasSize(element);
    const SIZE snapshot = {element->m_width, element->m_height};

    // The scratch canvas gets what lies beneath plus the new look; the destination gets the
    // old look; the scratch then fades in over it by the eased progress.
    BitBlt(block->scratch, 0, 0, width, height, block->destination, destX, destY, SRCCOPY);
    BlendClipped(block->destination, destX, destY, width, height, block->snapshot, snapshot,
                 sourceX, sourceY, PerPixelBlend(kOpaque));
    BlendClipped(block->scratch, 0, 0, width, height, block->canvas, canvas, sourceX, sourceY,
                 PerPixelBlend(kOpaque));
    const auto alpha = static_cast<std::uint32_t>(block->alpha * block->progress);
    GdiAlphaBlend(block->destination, destX, destY, width, height, block->scratch, 0, 0, width,
                  height, ConstantBlend(std::min(alpha, kOpaque)));
}

void CALLBACK TransitionTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time) {
    // The timer routine runs outside the window procedure: its frame is a batch of its own.
    const PresentBatch batch;
    Element* element = ElementFromHandle(static_cast<ElementHandle>(timerId - 1));
    if (element == nullptr || element->m_handle != timerId - 1) {
        KillTimer(window, timerId);
        return;
    }
    element->TransitionStep(window, message, timerId, time);
}

void Element::TransitionStep(HWND, UINT, UINT_PTR, DWORD) {
    const ElementHandle handle = m_handle;
    const auto endTransition = [&] {
        KillTimer(m_hostWindow, handle + 1);
        FreeDibCanvas(&m_snapshotDc, &m_snapshotBitmap);
        m_currentFrame = 0;
        m_state &= ~kStateTransition;
        m_dirty = {0.0f, 0.0f, static_cast<float>(m_width), static_cast<float>(m_height)};
        ElementWndProc(kMsgTransitionEnd, 0, 0);
    };
    // A frame count or interval set to 0 while running ends the transition.
    if (m_transitionFrames == 0 || m_transitionInterval == 0) {
        endTransition();
        return;
    }
    m_currentFrame += 1;
    const double t = static_cast<double>(m_currentFrame) * m_transitionInterval /
                     (static_cast<double>(m_transitionInterval) * m_transitionFrames);
    double eased = t;
    EaseValue(static_cast<int>(m_easing), 0.0, 1.0, t, &eased);
    m_transitionProgress = eased;
    PresentElementRect(handle, static_cast<std::int32_t>(m_dirty.x) + m_left,
                       static_cast<std::int32_t>(m_dirty.y) + m_top,
                       static_cast<std::int32_t>(m_dirty.width),
                       static_cast<std::int32_t>(m_dirty.height));
    if (m_self != this || m_currentFrame < m_transitionFrames) {
        return;
    }
    endTransition();
}

// ---- Frames -------------------------------------------------------------------------------------

void DrawFrameRect(Gdiplus::GpGraphics* graphics, const ElementRectF& rect, std::int32_t kind,
                   std::optional<std::uint32_t> colour, float width) {
    if (graphics == nullptr || kind == kFrameNone) {
        return;
    }
    const float left = rect.x;
    const float top = rect.y;
    const float right = rect.x + rect.width - 1.0f;
    const float bottom = rect.y + rect.height - 1.0f;
    const auto line = [&](std::uint32_t colour, float x1, float y1, float x2, float y2) {
        Gdiplus::GpPen* pen = nullptr;
        if (gp::GdipCreatePen1(colour, width, Gdiplus::UnitWorld, &pen) == Gdiplus::Ok) {
            gp::GdipDrawLine(graphics, pen, x1, y1, x2, y2);
            gp::GdipDeletePen(pen);
        }
    };
    const auto outline = [&](std::uint32_t colour, Gdiplus::DashStyle dash) {
        Gdiplus::GpPen* pen = nullptr;
        if (gp::GdipCreatePen1(colour, width, Gdiplus::UnitWorld, &pen) == Gdiplus::Ok) {
            gp::GdipSetPenDashStyle(pen, dash);
            gp::GdipDrawRectangle(graphics, pen, left, top, rect.width - 1.0f, rect.height - 1.0f);
            gp::GdipDeletePen(pen);
        }
    };
    constexpr std::uint32_t kBlack = 0x000000;
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    constexpr std::uint32_t kShadeAlpha = 110;
    constexpr std::uint32_t kLightAlpha = 245;
    constexpr std::uint32_t kPlainColour = 0x646464;
    constexpr std::uint32_t kDashedAlpha = 81;
    switch (kind) {
        case kFrameSunken:
        case kFrameRaised: {
            const std::uint32_t dark = RgbToArgb(kBlack, kShadeAlpha);
            const std::uint32_t light = RgbToArgb(kWhite, kLightAlpha);
            const std::uint32_t topLeft = kind == kFrameSunken ? dark : light;
            const std::uint32_t bottomRight = kind == kFrameSunken ? light : dark;
            line(topLeft, left, top, right, top);
            line(topLeft, left, top, left, bottom);
            line(bottomRight, left, bottom, right, bottom);
            line(bottomRight, right, top, right, bottom);
            break;
        }
        case kFramePlain:
            outline(RgbToArgb(colour.value_or(kPlainColour)), Gdiplus::DashStyleSolid);
            break;
        case kFrameDashed:
            outline(RgbToArgb(colour.value_or(kBlack), kDashedAlpha), Gdiplus::DashStyleDash);
            break;
        default:
            // Any other kind is itself the colour of a plain frame.
            outline(RgbToArgb(static_cast<std::uint32_t>(kind)), Gdiplus::DashStyleSolid);
            break;
    }
}

}  // namespace toolkit
