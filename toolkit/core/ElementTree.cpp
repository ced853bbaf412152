// The element tree and the host's bookkeeping of it.
//
// Sections: sibling links and the Tab chain; focus, hover and capture references; moves and
// sizes; anchors; tear-down of subtrees; Tab; hit testing.
#include "core/ElementTree.h"

#include <algorithm>
#include <vector>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "foundation/Toolkit.h"

namespace toolkit {

// ---- Sibling links and the Tab chain
// -------------------------------------------------------------

ChildLinks ContainerLinks(HostRecordFields* host, ElementHandle parent) {
    Element* container =
        IsWindow(reinterpret_cast<HWND>(parent)) ? nullptr : ElementFromHandle(parent);
    if (container != nullptr) {
        return {&container->m_firstChild, &container->m_lastChild};
    }
    return {&host->firstChild, &host->lastChild};
}

void LinkAsLastChild(Element* element, HostRecordFields* host, ElementHandle parent) {
    const ChildLinks links = ContainerLinks(host, parent);
    const ElementHandle handle = element->m_handle;
    if (*links.first == 0) {
        *links.first = handle;
    }
    if (Element* last = ElementFromHandle(*links.last)) {
        last->m_nextSibling = handle;
    }
    element->m_prevSibling = *links.last;
    element->m_nextSibling = 0;
    *links.last = handle;
}

void UnlinkElement(Element* element, HostRecordFields* host, ElementHandle parent) {
    const ChildLinks links = ContainerLinks(host, parent);
    const ElementHandle handle = element->m_handle;
    if (*links.first == handle) {
        *links.first = element->m_nextSibling;
    }
    if (*links.last == handle) {
        *links.last = element->m_prevSibling;
    }
    if (Element* previous = ElementFromHandle(element->m_prevSibling)) {
        previous->m_nextSibling = element->m_nextSibling;
    }
    if (Element* next = ElementFromHandle(element->m_nextSibling)) {
        next->m_prevSibling = element->m_prevSibling;
    }
    element->m_prevSibling = 0;
    element->m_nextSibling = 0;
}

void RemoveFromTabChain(Element* element, HostRecordFields* host) {
    const ElementHandle handle = element->m_handle;
    if (host->tabHead == handle) {
        host->tabHead = element->m_nextTab;
    } else {
        for (Element* walk = ElementFromHandle(host->tabHead); walk != nullptr;
             walk = ElementFromHandle(walk->m_nextTab)) {
            if (walk->m_nextTab == handle) {
                walk->m_nextTab = element->m_nextTab;
                break;
            }
        }
    }
    element->m_nextTab = 0;
}

// ---- Focus, hover and capture ------------------------------------------------------------------

void ReleaseElementRefs(Element* element, HostRecordFields* host, bool dropHover, bool sendLeave) {
    const ElementHandle handle = element->m_handle;
    element->m_state &= ~kStateFocused;
    if (host->keyboardFocus == handle) {
        host->keyboardFocus = 0;
    }
    if (host->captured == handle) {
        ReleaseCapture();
        host->captured = 0;
        host->captureFlag = 0;
    }
    if (host->focused == handle) {
        host->focused = 0;
    }
    if (dropHover && host->hovered == handle) {
        if (sendLeave) {
            CallElementProc(handle, kMsgMouseLeave, 0, 0);
        }
        host->hovered = 0;
    }
}

LRESULT TrackElementFocus(Element* element, WPARAM wParam, HostRecordFields* host) {
    const ElementHandle handle = element->m_handle;
    if (host->focused == handle) {
        return 1;
    }
    element->m_state |= kStateFocused;
    const ElementHandle oldFocused = host->focused;
    bool oldTold = false;
    if (const ElementHandle keyboard = host->keyboardFocus; keyboard != 0) {
        host->keyboardFocus = 0;
        Element* old = ElementFromHandle(keyboard);
        if (old != nullptr && old->m_tabStop != 0 && keyboard == oldFocused) {
            const LRESULT handled =
                CallElementProc(keyboard, WM_KILLFOCUS, wParam, static_cast<LPARAM>(handle));
            old = ElementFromHandle(keyboard);
            if (handled == 0 && old != nullptr && old->m_drawTabStop != 0) {
                // The dashed frame disappears with a present of the old element alone.
                PresentElementRect(keyboard, old->m_left, old->m_top, old->m_width, old->m_height);
            }
            oldTold = true;
        }
    }
    if (element->m_self != element) {
        return 0;  // destroyed while the old element was told
    }
    host->focused = handle;
    constexpr WPARAM kFromKeyboard = 1;
    if (wParam == kFromKeyboard && element->m_tabStop != 0) {
        host->keyboardFocus = handle;
    }
    if (!oldTold && oldFocused != 0) {
        CallElementProc(oldFocused, WM_KILLFOCUS, wParam, static_cast<LPARAM>(handle));
    }
    if (element->m_self == element) {
        RaiseElementEvent(handle, WM_SETFOCUS, {handle});
    }
    return 0;
}

// ---- Moves and sizes ----------------------------------------------------------------------------

LRESULT OnElementMoveSize(Element* element, UINT message, WPARAM wParam, LPARAM lParam) {
    const ElementRectF* newRect = reinterpret_cast<const ElementRectF*>(lParam);
    if (newRect == nullptr) {
        return 0;
    }
    const RECT old = {element->m_left, element->m_top, element->m_right, element->m_bottom};
    const auto left = static_cast<std::int32_t>(newRect->x);
    const auto top = static_cast<std::int32_t>(newRect->y);
    const auto width = static_cast<std::int32_t>(newRect->width);
    const auto height = static_cast<std::int32_t>(newRect->height);
    const RECT now = {left, top, left + width, top + height};
    const std::int32_t dx = left - old.left;
    const std::int32_t dy = top - old.top;
    const ElementHandle handle = element->m_handle;

    if (message == WM_SIZE) {
        std::int32_t hint = Toolkit().textRenderingHint;
        if (element->m_canvasGraphics != nullptr) {
            Gdiplus::TextRenderingHint current{};
            Gdiplus::DllExports::GdipGetTextRenderingHint(element->m_canvasGraphics, &current);
            hint = static_cast<std::int32_t>(current);
            Gdiplus::DllExports::GdipDeleteGraphics(element->m_canvasGraphics);
            element->m_canvasGraphics = nullptr;
        }
        FreeDibCanvas(&element->m_canvasDc, &element->m_canvasBitmap);
        const bool container = element->m_classTypeId == kClassTypePage;
        element->m_canvasBits = CreateElementCanvas(
            &element->m_canvasGraphics, &element->m_canvasDc, &element->m_canvasBitmap,
            container ? 1 : width, container ? 1 : height, hint);
    }
    const std::uint32_t presentEnabled = element->m_presentEnabled;
    element->m_presentEnabled = 0;

    element->m_left = left;
    element->m_top = top;
    element->m_right = now.right;
    element->m_bottom = now.bottom;
    element->m_width = width;
    element->m_height = height;
    if (element->m_parent != 0) {
        element->m_windowLeft += dx;
        element->m_windowTop += dy;
    } else {
        const POINT origin = ParentOrigin(element);
        element->m_windowLeft = origin.x + left;
        element->m_windowTop = origin.y + top;
    }
    element->m_windowRight = element->m_windowLeft + width;
    element->m_windowBottom = element->m_windowTop + height;

    // Near moves present one union; far moves present the new place now and the old at the end.
    RECT overlap{};
    const bool intersects = IntersectRect(&overlap, &old, &now) != 0;
    RECT area = now;
    if (intersects) {
        UnionRect(&area, &old, &now);
    } else {
        PresentElementRect(handle, now.left, now.top, width, height);
        area = old;
    }

    const LPARAM size = static_cast<LPARAM>((static_cast<std::uint32_t>(height) << 16) |
                                            (static_cast<std::uint32_t>(width) & 0xFFFF));
    const LRESULT result =
        element->ClassMessageHandler(element->m_hostWindow, handle, message, wParam, size);
    if (element->m_self != element) {
        return result;
    }
    if (message == WM_SIZE) {
        RaiseElementEvent(handle, WM_SIZE,
                          {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)});
        if (element->m_self != element) {
            return result;
        }
        element->ElementWndProc(WM_PAINT, 0, 0);
        if (element->m_self != element) {
            return result;
        }
    }
    element->m_presentEnabled = presentEnabled;
    PresentElementRect(handle, area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (dx != 0 || dy != 0) {
        BroadcastToSiblings(element->m_firstChild, kMsgParentMoved, static_cast<WPARAM>(dx),
                            static_cast<LPARAM>(dy));
    }
    return result;
}

void BroadcastToSiblings(ElementHandle first, UINT message, WPARAM wParam, LPARAM lParam) {
    ElementHandle handle = first;
    while (Element* element = ElementFromHandle(handle)) {
        // Read the next sibling first: the message may unlink this one.
        const ElementHandle next = element->m_nextSibling;
        element->ElementWndProc(message, wParam, lParam);
        handle = next;
    }
}

// ---- Anchors ------------------------------------------------------------------------------------

namespace {

struct AnchorContainer {
    RECT rect;
    POINT origin;
};

AnchorContainer ContainerOf(Element* element) {
    Element* parent = ElementFromHandle(element->m_parent);
    if (parent != nullptr) {
        return {{parent->m_left, parent->m_top, parent->m_right, parent->m_bottom}, {0, 0}};
    }
    HostRecordFields* host = element->Host();
    AnchorContainer container{};
    if (host != nullptr && host->body != nullptr) {
        container.rect = *host->body;
    }
    if (host != nullptr && host->shadowMargins != nullptr) {
        container.origin = {host->shadowMargins->left, host->shadowMargins->top};
    }
    return container;
}

}  // namespace

void Element::SetElementAnchors(std::optional<bool> left, std::optional<bool> top,
                                std::optional<bool> right, std::optional<bool> bottom) {
    const AnchorContainer container = ContainerOf(this);
    std::uint32_t flags = 0;
    if (left.value_or(false)) {
        m_anchorMargin[0] = m_left;
        flags |= kAnchorLeft;
    }
    if (top.value_or(false)) {
        m_anchorMargin[1] = m_top;
        flags |= kAnchorTop;
    }
    if (right.value_or(false)) {
        m_anchorMargin[2] = container.rect.right - m_right - container.origin.x;
        flags |= kAnchorRight;
    }
    if (bottom.value_or(false)) {
        m_anchorMargin[3] = container.rect.bottom - m_bottom - container.origin.y;
        flags |= kAnchorBottom;
    }
    m_anchors = flags;
}

void ApplyElementAnchors(Element* element) {
    const std::uint32_t flags = element->m_anchors;
    if (flags == 0) {
        return;
    }
    const AnchorContainer container = ContainerOf(element);
    const std::int32_t* margin = element->m_anchorMargin;
    std::int32_t x = element->m_left;
    std::int32_t y = element->m_top;
    std::int32_t width = element->m_width;
    std::int32_t height = element->m_height;
    if (flags & kAnchorLeft) {
        x = margin[0];
    }
    if (flags & kAnchorTop) {
        y = margin[1];
    }
    if (flags & kAnchorRight) {
        if (flags & kAnchorLeft) {
            width = container.rect.right - margin[2] - x - container.origin.x;
        } else {
            x = container.rect.right - margin[2] - width - container.origin.x;
        }
    }
    if (flags & kAnchorBottom) {
        if (flags & kAnchorTop) {
            height = container.rect.bottom - margin[3] - y - container.origin.y;
        } else {
            y = container.rect.bottom - margin[3] - height - container.origin.y;
        }
    }
    element->MoveElement(x, y, width, height, true);
}

// ---- Tear-down ----------------------------------------------------------------------------------

namespace {

void GatherSubtree(ElementHandle first, std::vector<ElementHandle>* list) {
    for (Element* child = ElementFromHandle(first); child != nullptr;
         child = ElementFromHandle(child->m_nextSibling)) {
        GatherSubtree(child->m_firstChild, list);
        list->push_back(child->m_handle);
    }
}

}  // namespace

void DestroyChildElements(ElementHandle firstChild) {
    // The whole subtree is listed before anything is destroyed: each destruction unlinks and
    // clears its element, so the sibling links cannot be followed during the tear-down.
    std::vector<ElementHandle> list;
    GatherSubtree(firstChild, &list);
    for (ElementHandle handle : list) {
        Element* element = ElementFromHandle(handle);
        if (element == nullptr || element->m_handle != handle) {
            continue;
        }
        // An engine-created element is destroyed only while it is alive and its cell names it.
        if (element->m_engineCreated != 0 &&
            (element->m_alive == 0 || element->m_self != element)) {
            continue;
        }
        element->ElementWndProc(WM_DESTROY, 0, 0);
    }
}

// ---- Tab ----------------------------------------------------------------------------------------

ElementHandle FocusNextTabStop(HostRecordFields* host) {
    const ElementHandle start = host->focused != 0 ? host->focused : host->keyboardFocus;
    // One full turn visits every element of the chain once; counting them bounds the walk even
    // when the start is not in the chain.
    std::size_t chainLength = 0;
    for (Element* e = ElementFromHandle(host->tabHead); e != nullptr && chainLength <= 65536;
         e = ElementFromHandle(e->m_nextTab)) {
        ++chainLength;
    }
    ElementHandle candidate = start != 0 ? ReadElementField(start, kFieldNextTab) : host->tabHead;
    bool wrapped = start == 0;
    for (std::size_t steps = 0; steps <= chainLength; ++steps) {
        if (candidate == 0) {
            if (wrapped) {
                return 0;
            }
            wrapped = true;
            candidate = host->tabHead;
            continue;
        }
        if (candidate == start) {
            return 0;
        }
        Element* element = ElementFromHandle(candidate);
        if (element == nullptr) {
            return 0;
        }
        constexpr std::uint32_t kUnavailable = kStateDisabled | kStateHidden;
        constexpr WPARAM kFromKeyboard = 1;
        if ((element->m_state & kUnavailable) == 0 && (element->m_state & kStateFocusable) != 0 &&
            element->m_tabStop != 0 &&
            element->ElementWndProc(WM_SETFOCUS, kFromKeyboard, static_cast<LPARAM>(candidate)) ==
                0) {
            if (element->m_self == element && element->m_drawTabStop != 0) {
                PresentElementRect(candidate, element->m_left, element->m_top, element->m_width,
                                   element->m_height);
            }
            return candidate;
        }
        candidate = element->m_nextTab;
    }
    return 0;
}

// ---- Hit testing --------------------------------------------------------------------------------

namespace {

bool ContainsWindowPoint(const Element* element, std::int32_t x, std::int32_t y) {
    return x >= element->m_windowLeft && x < element->m_windowRight && y >= element->m_windowTop &&
           y < element->m_windowBottom;
}

std::uint32_t PackPoint(std::int32_t x, std::int32_t y) {
    return (static_cast<std::uint32_t>(y) << 16) | (static_cast<std::uint32_t>(x) & 0xFFFF);
}

}  // namespace

ElementHandle HitTestControlTree(ElementHandle first, std::int32_t x, std::int32_t y,
                                 std::uint32_t* elementPoint) {
    for (Element* element = ElementFromHandle(first); element != nullptr;
         element = ElementFromHandle(element->m_prevSibling)) {
        if (element->IsHidden() || element->IsDisabled() || !ContainsWindowPoint(element, x, y)) {
            continue;
        }
        const std::int32_t localX = x - element->m_windowLeft;
        const std::int32_t localY = y - element->m_windowTop;
        const LPARAM local = static_cast<LPARAM>(PackPoint(localX, localY));
        if (element->ElementWndProc(WM_NCHITTEST, 0, local) != 0) {
            return HitTestControlTree(element->m_lastChild, x, y, elementPoint);
        }
        if (element->m_alphaHitTest != 0 && ElementCanvasAlpha(element, localX, localY) == 0) {
            continue;
        }
        if (const ElementHandle child =
                HitTestControlTree(element->m_lastChild, x, y, elementPoint)) {
            return child;
        }
        if (elementPoint != nullptr) {
            *elementPoint = PackPoint(localX, localY);
        }
        return element->m_handle;
    }
    return 0;
}

}  // namespace toolkit
