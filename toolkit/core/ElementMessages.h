// The toolkit's own window messages (20101-20206), passed between host windows and elements, and
// the modifier mask handed to bound routines with pointer and key events.
#pragma once

#include <cstdint>

namespace toolkit {

enum ToolkitMessage : std::uint32_t {
    kMsgFirstActivation = 20101,
    kMsgDeactivated = 20102,
    kMsgElementCarrier = 20103,  // wParam: element handle; lParam: ElementMessageBlock*
    kMsgElementHidden = 20104,
    kMsgTrayIcon = 20105,
    kMsgMouseEnter = 20106,
    kMsgMouseLeave = 20107,
    kMsgClick = 20108,
    kMsgRedraw = 20109,
    kMsgCreatedFromLayout = 20110,
    kMsgTransitionBegin = 20111,
    kMsgTransitionEnd = 20112,
    kMsgTransitionFrame = 20113,  // lParam: TransitionBlock*; non-zero: blended by the class
    kMsgAccessKey = 20116,
    kMsgDisabledChanged = 20117,  // lParam: the new disabled state
    kMsgRadioGroup = 20118,
    kMsgUpdate = 20201,
    kMsgHostFlag = 20202,
    kMsgThemeChanged = 20203,
    kMsgRelayout = 20204,
    kTimerMenuDelay = 20205,  // a timer id, not a message
    kMsgParentMoved = 20206,  // wParam, lParam: the parent's move in x and y
};

// Elements are shown with WM_SHOWWINDOW's number; hiding has its own toolkit message.
constexpr std::uint32_t kMsgElementShown = 24;

// WM_SETTEXT's wParam for an element: non-zero when lParam is a code-page (GBK) text, 0 when it
// is another stored wide text.
constexpr std::uint32_t kSetTextCodePage = 1;
constexpr std::uint32_t kSetTextWide = 0;

// The wParam that marks a button press as the second press of a double click.
constexpr std::uint32_t kDoubleClickMarker = 10086;

// Block carried by kMsgElementCarrier, allocated zero-filled by the sender on the process heap. A
// posted block is freed when the host window takes it (or goes without taking it), a sent one by
// its sender once the send returned.
struct ElementMessageBlock {
    std::uint32_t message;
    std::uint32_t wParam;
    std::uint32_t lParam;
};
static_assert(sizeof(ElementMessageBlock) == 12, "the carrier block is three words");

// Modifier mask of pointer and key events.
enum ModifierKey : std::uint32_t {
    kModifierControl = 1,
    kModifierShift = 2,
    kModifierAlt = 4,
};

}  // namespace toolkit
