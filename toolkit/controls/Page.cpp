#include "controls/Page.h"

#include <new>

#include "foundation/CallAddress.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

void Page::FreeMembers() {
    // A page owns nothing beyond the element record, which WM_DESTROY releases.
}

std::uint32_t Page::Clone() {
    return AddressOf(CloneOnProcessHeap(*this));
}

LRESULT Page::ClassMessageHandler(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    // Nothing is handled here, so routines bound to the page's events and the pre-filters of
    // subclasses see every message.
    return 0;
}

ElementHandle Page::CreatePage(std::uint32_t parent, std::int32_t x, std::int32_t y,
                               std::int32_t width, std::int32_t height,
                               std::optional<std::int32_t> elementStyle) {
    ElementCreateOptions options;
    options.visible = elementStyle.value_or(1);
    options.focusable = 0;
    options.mouseTrack = 0;
    options.tabStop = 0;
    options.tabStopIndex = 0;
    options.drawTabStop = 0;
    options.transitionInterval = 0;
    options.transitionFrames = 0;
    return CreateElement(parent, x, y, width, height, kTypePage, kClassPage, options);
}

}  // namespace toolkit
