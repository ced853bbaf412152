// The data of a host window record, as elements see it.
//
// A host window object is its method table followed by these fields, in this order; an element
// keeps the host's own handle (the address of the objectAddress cell) and reaches the fields
// through HostFromHandle. The host window class derives from HostRecordFields and declares its
// virtual operations itself, so that its method-table pointer comes first and the fields follow
// at byte offset 4: HostRecordFields must stay free of virtual functions.
//
// The comment on each field is its number in the record, counting the method table as field 1.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

#include "core/ElementFields.h"

namespace toolkit {

struct HostSize {
    std::int32_t width;
    std::int32_t height;
};

struct HostCaptionOffsets {
    std::int32_t right;  // theme "offsetright" of "SysButton"
    std::int32_t top;    // theme "top" of "SysButton"
};

// The layered-alpha value of a window that is not layered (field 11).
constexpr std::int32_t kNotLayered = -1;

struct HostRecordFields {
    std::uint32_t closing;                  // 2: every message goes to the previous procedure
    HWND window;                            // 3
    HWND parentWindow;                      // 4
    std::uint32_t ownHandle;                // 5: address of objectAddress below
    WNDPROC previousProc;                   // 6
    void* thunk;                            // 7: engine thunk, freed with VirtualFree
    HWND tooltip;                           // 8
    std::uint32_t captionFlags;             // 9
    std::int32_t captionHeight;             // 10
    std::int32_t layeredAlpha;              // 11: kNotLayered or 0-255
    std::int32_t fillMode;                  // 12
    std::uint32_t resizable;                // 13
    std::uint32_t objectAddress;            // 14: the object itself; ownHandle points here
    std::uint32_t captionDrag;              // 15
    HRGN windowRegion;                      // 16
    std::uint32_t blur;                     // 17
    std::uint32_t* closeAnimation;          // 18: eight words or null
    ElementHandle focused;                  // 19
    ElementHandle hovered;                  // 20
    ElementHandle captured;                 // 21
    std::uint32_t captureFlag;              // 22: the captured element's companion field
    std::uint32_t presented;                // 23: "ready to paint"
    Gdiplus::GpImage* backgroundImage;      // 24
    COLORREF backgroundColour;              // 25
    HDC frameDc;                            // 26: the back buffer
    HBITMAP frameBitmap;                    // 27
    std::uint32_t lastMousePosition;        // 28: lParam form
    Gdiplus::GpGraphics* frameGraphics;     // 29
    HDC backgroundDc;                       // 30: the frame without elements
    HBITMAP backgroundBitmap;               // 31
    ElementHandle tabHead;                  // 32
    ElementHandle firstChild;               // 33
    ElementHandle lastChild;                // 34
    std::uint32_t theme;                    // 35
    TRACKMOUSEEVENT* trackBlock;            // 36
    ElementHandle keyboardFocus;            // 37: the element showing the dashed focus frame
    float* gridMargins;                     // 38: four floats
    HostSize* size;                         // 39
    HostSize* maxTrackSize;                 // 40
    HostSize* minTrackSize;                 // 41
    RECT* body;                             // 42: "canvas rectangle"
    RECT* shadowMargins;                    // 43: left and top are the drawing origin
    std::int32_t cornerRadius;              // 44
    std::uint32_t borderFlag;               // 45
    ElementHandle pressed;                  // 46
    std::uint32_t escapeCloses;             // 47
    HostCaptionOffsets* captionOffsets;     // 48
    TOOLINFOA* toolBlock;                   // 49
    HRGN innerRegion;                       // 50: "clip region"
    std::uint32_t eventTable;               // 51
    Gdiplus::GpRegion* innerRegionGdiplus;  // 52
    ElementHandle auxiliaryElement;         // 53
    void* accessKeys;                       // 54: owned by the host window
    void* captionButtons;                   // 55: owned by the host window
    void* titleLabel;                       // 56
    void* iconBox;                          // 57
    std::uint32_t trackingArmed;            // 58
    std::uint32_t sizingCursor;             // 59
    std::int32_t iconOffset;                // 60
    void* borderColours;                    // 61: owned by the host window
    std::int32_t backgroundOffsetX;         // 62
    std::int32_t backgroundOffsetY;         // 63
    std::uint32_t firstActivation;          // 64
    NOTIFYICONDATAW* trayBlock;             // 65
    std::uint32_t hotKeyCount;              // 66
    std::uint32_t hookRoutine;              // 67
    std::uint32_t hookUserValue;            // 68
    std::uint32_t paintRoutine;             // 69
    std::uint32_t paintUserValue;           // 70
};

// Byte offset of a field inside the host object, by its record number (the method table is 1).
constexpr std::size_t HostFieldObjectOffset(std::size_t recordNumber) {
    return (recordNumber - 1) * engine_abi::kFieldBytes;
}
// Byte offset of the fields block inside the host object.
constexpr std::size_t kHostFieldsOffset = HostFieldObjectOffset(2);

#define VENNMARK_PIN_HOST_FIELD(member, number)                                                  \
    static_assert(                                                                               \
        offsetof(HostRecordFields, member) + kHostFieldsOffset == HostFieldObjectOffset(number), \
        "host record field " #member " moved")
VENNMARK_PIN_HOST_FIELD(closing, 2);
VENNMARK_PIN_HOST_FIELD(window, 3);
VENNMARK_PIN_HOST_FIELD(ownHandle, 5);
VENNMARK_PIN_HOST_FIELD(tooltip, 8);
VENNMARK_PIN_HOST_FIELD(layeredAlpha, 11);
VENNMARK_PIN_HOST_FIELD(objectAddress, 14);
VENNMARK_PIN_HOST_FIELD(focused, 19);
VENNMARK_PIN_HOST_FIELD(presented, 23);
VENNMARK_PIN_HOST_FIELD(frameDc, 26);
VENNMARK_PIN_HOST_FIELD(backgroundDc, 30);
VENNMARK_PIN_HOST_FIELD(tabHead, 32);
VENNMARK_PIN_HOST_FIELD(theme, 35);
VENNMARK_PIN_HOST_FIELD(keyboardFocus, 37);
VENNMARK_PIN_HOST_FIELD(body, 42);
VENNMARK_PIN_HOST_FIELD(shadowMargins, 43);
VENNMARK_PIN_HOST_FIELD(pressed, 46);
VENNMARK_PIN_HOST_FIELD(innerRegion, 50);
VENNMARK_PIN_HOST_FIELD(eventTable, 51);
VENNMARK_PIN_HOST_FIELD(accessKeys, 54);
VENNMARK_PIN_HOST_FIELD(firstActivation, 64);
VENNMARK_PIN_HOST_FIELD(paintUserValue, 70);
#undef VENNMARK_PIN_HOST_FIELD
// The engine finds the window and the self cell of a host by these word numbers (from 0).
static_assert(offsetof(HostRecordFields, window) + kHostFieldsOffset ==
                  engine_abi::kHostFieldWindow * engine_abi::kFieldBytes,
              "host window field shared with the engine");
static_assert(offsetof(HostRecordFields, ownHandle) + kHostFieldsOffset ==
                  engine_abi::kHostFieldOwnHandle * engine_abi::kFieldBytes,
              "own handle field shared with the engine");
static_assert(offsetof(HostRecordFields, objectAddress) + kHostFieldsOffset ==
                  engine_abi::kHostFieldSelfCell * engine_abi::kFieldBytes,
              "self cell shared with the engine");
static_assert(sizeof(HostRecordFields) == HostFieldObjectOffset(71) - kHostFieldsOffset,
              "the host record has 70 fields");

// The window property that ties a host window's HWND to its own handle. The spelling is the
// toolkit's own and is relied on by every window of the toolkit.
constexpr char kHostWindowProperty[] = "Ex_Wnd_Control";
// Set to 1 on the toolkit's own pop-up windows (message boxes, menu windows).
constexpr char kWindowFlagsProperty[] = "Ex_Wnd_Flags";

// The host record named by an own handle, or null when the handle does not lead to one.
HostRecordFields* HostFromHandle(std::uint32_t hostRecord);
// The own handle of a host window, from its "Ex_Wnd_Control" property; 0 for other windows.
std::uint32_t GetControlFromWindow(HWND window);

}  // namespace toolkit
