// Painting: element canvases, the element draw, presenting and compositing the element tree
// into the host window's back buffer, and transitions between an old and a new look.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>

#include "core/Element.h"
#include "core/HostRecord.h"

namespace toolkit {

// One drawing of an element, between BeginElementDraw and EndElementDraw.
struct DrawContext {
    HWND window;
    HostRecordFields* host;
    std::uint32_t theme;
    HDC dc;
    Gdiplus::GpGraphics* graphics;
    ElementRectF paint;   // element coordinates
    ElementRectF client;  // (0, 0, width, height)
    bool clear;
    std::uint32_t state;  // state bits when the drawing began
};

// The lParam of kMsgTransitionFrame. A class that blends a frame itself may change the block.
// Packed to 4 so that the double does not pad the block past its 76 bytes.
#pragma pack(push, 4)
struct TransitionBlock {
    HDC destination;       // the host's back buffer
    HDC canvas;            // the element's new look
    HDC snapshot;          // the element's old look
    HDC scratch;           // a canvas of the area's size
    ElementRectF element;  // parent coordinates
    ElementRectF area;     // parent coordinates
    std::int32_t frame;
    std::int32_t frameCount;
    double progress;
    std::int32_t alpha;
    std::int32_t originX;  // the parent's offset in the back buffer
    std::int32_t originY;
};
#pragma pack(pop)
static_assert(sizeof(TransitionBlock) == 76, "the transition block is 76 bytes");

// Kinds of DrawFrameRect.
enum FrameKind : std::int32_t {
    kFrameNone = 0,
    kFrameSunken = 1,
    kFrameRaised = 2,
    kFramePlain = 3,
    kFrameDashed = 4,
};

// A 32-bit DIB section selected into a new memory DC; returns the pixels (null on failure).
void* CreateDibCanvas(std::int32_t width, std::int32_t height, HDC* dc, HBITMAP* bitmap,
                      bool topDown = true);
void FreeDibCanvas(HDC* dc, HBITMAP* bitmap);
// A canvas with a GDI+ graphics on it (smoothing mode 1, the given text-rendering hint).
void* CreateElementCanvas(Gdiplus::GpGraphics** graphics, HDC* dc, HBITMAP* bitmap,
                          std::int32_t width, std::int32_t height, std::int32_t textHint);

std::uint32_t BeginElementDraw(ElementHandle handle, DrawContext* context,
                               ElementRectF* paintRect = nullptr, bool useGivenRect = false,
                               bool clear = true);
void EndElementDraw(ElementHandle handle, DrawContext* context);

// (x, y) in the coordinates of the element's parent.
void PresentElementRect(ElementHandle handle, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, bool updateWindow = true);
void ComposeAndBlit(ElementHandle handle, HostRecordFields* host, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, bool updateWindow = true);
void ComposeElementTree(HostRecordFields* host, HDC destination, const RECT& area,
                        std::int32_t originX, std::int32_t originY, ElementHandle first,
                        ElementHandle stop);
void InvalidateHostRect(HostRecordFields* host, const RECT& rect);
void BlendCanvas(Element* element, TransitionBlock* block);
// colour: 0x00BBGGRR; each kind has its own default.
void DrawFrameRect(Gdiplus::GpGraphics* graphics, const ElementRectF& rect, std::int32_t kind,
                   std::optional<std::uint32_t> colour = std::nullopt, float width = 1.0f);

// The offset of the element's parent inside the host window: the sum of left and top over its
// ancestors plus the host's drawing origin.
POINT ParentOrigin(const Element* element);
// Alpha of the element's canvas pixel at (x, y) in element coordinates; 0 (transparent) outside
// the canvas, which is smaller than the element for containers.
std::uint32_t ElementCanvasAlpha(const Element* element, std::int32_t x, std::int32_t y);

// The transition timer's routine: finds the element from the timer id (its handle + 1).
void CALLBACK TransitionTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

}  // namespace toolkit
