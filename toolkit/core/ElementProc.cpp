// ElementWndProc: the one procedure every element message goes through. The class pre-filter
// has the first word, then the base handling and the user's bound routine, then the class.
#include <windowsx.h>

#include "core/Element.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementTree.h"
#include "core/HostRecord.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

std::uint32_t PointerX(LPARAM lParam) {
    return static_cast<std::uint32_t>(GET_X_LPARAM(lParam));
}

std::uint32_t PointerY(LPARAM lParam) {
    return static_cast<std::uint32_t>(GET_Y_LPARAM(lParam));
}

bool IsPointerMessage(UINT message) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case kMsgClick:
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT Element::ElementWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = m_hostWindow;
    const ElementHandle handle = m_handle;
    if (PreFilterMessage(window, handle, message, wParam, lParam) != 0) {
        return 1;
    }

    // A bound routine may run a modal loop in which this element is destroyed. An element that
    // was alive when the call went out and is not any more is left alone afterwards; WM_CREATE
    // and 20110 arrive before it is alive and go on as usual.
    const bool wasAlive = m_alive != 0 && m_self == this && handle != 0;
    const auto died = [&] { return wasAlive && (m_alive == 0 || m_self != this); };
    const auto raise = [&](std::initializer_list<std::uint32_t> arguments) {
        return RaiseElementEvent(handle, message, arguments);
    };
    const auto setCursor = [&](HCURSOR cursor) {
        if (ElementWndProc(WM_SETCURSOR, wParam, lParam) == 0 && !died()) {
            SetCursor(cursor);
        }
    };
    const auto presentSelf = [&] { PresentElementRect(handle, m_left, m_top, m_width, m_height); };

    if (IsPointerMessage(message)) {
        if (message == WM_LBUTTONDOWN) {
            m_state |= kStatePressed;
            setCursor(m_pressedCursor != nullptr ? m_pressedCursor : Toolkit().secondCursor);
        } else if (message == WM_LBUTTONUP) {
            m_state &= ~kStatePressed;
            setCursor(m_cursor != nullptr ? m_cursor : Toolkit().normalCursor);
        }
        if (died()) {
            return 0;
        }
        const std::uint32_t result =
            raise({handle, PointerX(lParam), PointerY(lParam), CurrentModifierMask()});
        if (died()) {
            return 0;
        }
        if (result != 0) {
            return 1;
        }
        return ClassMessageHandler(window, handle, message, wParam, lParam);
    }

    switch (message) {
        case kMsgMouseEnter:
            m_state |= kStateHover;
            setCursor(m_cursor != nullptr ? m_cursor : Toolkit().normalCursor);
            if (m_tipText != nullptr && !died()) {
                ShowElementTooltip(m_tipText, nullptr, 0);
            }
            if (died()) {
                return 0;
            }
            raise({handle});
            break;
        case kMsgMouseLeave:
            m_state &= ~kStateHover;
            SetCursor(Toolkit().normalCursor);
            if (m_tipText != nullptr) {
                if (HostRecordFields* host = Host(); host != nullptr && host->tooltip != nullptr) {
                    SendMessageW(host->tooltip, TTM_POP, 0, 0);
                }
            }
            raise({handle});
            break;
        case WM_KEYDOWN:
        case WM_KEYUP: {
            const std::uint32_t result =
                raise({handle, static_cast<std::uint32_t>(wParam), CurrentModifierMask()});
            if (died()) {
                return 0;
            }
            if (result != 0) {
                return 1;
            }
            break;
        }
        case WM_CHAR: {
            constexpr std::uint32_t kHandled = 1;
            const std::uint32_t result = raise(
                {handle, static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam)});
            if (died()) {
                return 0;
            }
            if (result == kHandled) {
                return 1;
            }
            break;
        }
        case WM_PAINT:
            if (m_width == 0 || m_height == 0 || m_alive == 0) {
                return 0;
            }
            break;
        case kMsgUpdate:
            presentSelf();
            break;
        case kMsgElementShown:
            m_state &= ~kStateHidden;
            raise({handle});
            if (died()) {
                return 0;
            }
            presentSelf();
            break;
        case kMsgElementHidden:
            if (HostRecordFields* host = Host()) {
                ReleaseElementRefs(this, host, true, true);
            }
            if (died()) {
                return 0;
            }
            m_state |= kStateHidden;
            raise({handle});
            if (died()) {
                return 0;
            }
            presentSelf();
            break;
        case WM_SETFOCUS:
            if ((m_state & kStateFocusable) == 0) {
                return 0;
            }
            if (HostRecordFields* host = Host()) {
                if (TrackElementFocus(this, wParam, host) != 0) {
                    return 1;
                }
            }
            if (died()) {
                return 0;
            }
            break;
        case WM_KILLFOCUS:
            if (HostRecordFields* host = Host()) {
                ReleaseElementRefs(this, host, false, false);
            }
            raise({handle});
            break;
        case kMsgDisabledChanged: {
            if (lParam != 0 && (m_state & kStateFocused) != 0) {
                ElementWndProc(WM_KILLFOCUS, 0, 0);
                if (died()) {
                    return 0;
                }
            }
            const LRESULT result = ClassMessageHandler(window, handle, message, wParam, lParam);
            if (died()) {
                return 0;
            }
            m_disabledLookDrawn = result != 0 ? 1 : 0;
            if (result == 0) {
                presentSelf();
            }
            return result;
        }
        case WM_MOVE:
        case WM_SIZE:
            return OnElementMoveSize(this, message, wParam, lParam);
        case WM_DROPFILES:
            raise({handle, static_cast<std::uint32_t>(lParam)});
            break;
        case WM_DESTROY:
            return OnDestroy();
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(m_font);
        case WM_SETFONT:
            return OnSetFont(wParam, lParam);
        case kMsgRelayout:
            if (m_anchors != 0) {
                ApplyElementAnchors(this);
                if (died()) {
                    return 0;
                }
            }
            BroadcastToSiblings(m_firstChild, kMsgRelayout, wParam, lParam);
            break;
        case kMsgParentMoved:
            if (wParam != 0 || lParam != 0) {
                m_windowLeft += static_cast<std::int32_t>(wParam);
                m_windowTop += static_cast<std::int32_t>(lParam);
                m_windowRight = m_windowLeft + m_width;
                m_windowBottom = m_windowTop + m_height;
                BroadcastToSiblings(m_firstChild, kMsgParentMoved, wParam, lParam);
            }
            break;
        default:
            break;
    }
    if (died()) {
        return 0;
    }
    return ClassMessageHandler(window, handle, message, wParam, lParam);
}

LRESULT Element::OnSetFont(WPARAM wParam, LPARAM lParam) {
    auto* font = reinterpret_cast<Gdiplus::GpFont*>(wParam);
    // Setting the font the element already holds must not delete it.
    if (font != nullptr && font != m_font && m_font != nullptr && m_font != Toolkit().defaultFont) {
        gp::GdipDeleteFont(m_font);
    }
    m_font = font;
    const ElementHandle handle = m_handle;
    const LRESULT result = ClassMessageHandler(m_hostWindow, handle, WM_SETFONT, wParam, lParam);
    if (lParam != 0 && m_alive != 0 && m_self == this) {
        ElementWndProc(WM_PAINT, 0, 0);
    }
    return result;
}

LRESULT Element::PreFilterMessage(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Element::ClassMessageHandler(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

}  // namespace toolkit
