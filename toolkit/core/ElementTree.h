// The element tree and the host's bookkeeping of it: links between siblings, focus, hover and
// capture references, moves and sizes, anchors, tear-down of subtrees, hit testing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/Element.h"
#include "core/HostRecord.h"

namespace toolkit {

// The first and last child fields of an element's container: its parent element, or the host
// record when it sits directly on the window.
struct ChildLinks {
    ElementHandle* first;
    ElementHandle* last;
};
ChildLinks ContainerLinks(HostRecordFields* host, ElementHandle parent);

void LinkAsLastChild(Element* element, HostRecordFields* host, ElementHandle parent);
void UnlinkElement(Element* element, HostRecordFields* host, ElementHandle parent);
// Takes the element out of the host's Tab chain (head and next links).
void RemoveFromTabChain(Element* element, HostRecordFields* host);

void ReleaseElementRefs(Element* element, HostRecordFields* host, bool dropHover, bool sendLeave);
// WM_SETFOCUS bookkeeping; 1 when the element already had the focus.
LRESULT TrackElementFocus(Element* element, WPARAM wParam, HostRecordFields* host);
// WM_MOVE and WM_SIZE: lParam points at the new float rectangle.
LRESULT OnElementMoveSize(Element* element, UINT message, WPARAM wParam, LPARAM lParam);
void BroadcastToSiblings(ElementHandle first, UINT message, WPARAM wParam, LPARAM lParam);
void DestroyChildElements(ElementHandle firstChild);
void ApplyElementAnchors(Element* element);

// Tab: moves the focus from the focused (or keyboard-focused) element to the next element of
// the Tab chain that is enabled, visible, focusable, a Tab stop and accepts the focus. The walk
// wraps once to the head and ends after one full turn; 0 when no element qualifies.
ElementHandle FocusNextTabStop(HostRecordFields* host);

// The element under a point in host-window coordinates, searched from `first` towards the
// first sibling (pass a last child: the topmost element is tried first); 0 for none. The point
// relative to the element found goes to *elementPoint as (x low word, y high word).
ElementHandle HitTestControlTree(ElementHandle first, std::int32_t x, std::int32_t y,
                                 std::uint32_t* elementPoint);

}  // namespace toolkit
