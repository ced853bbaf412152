// The host window procedure and its handlers: pointer (hit testing, hover, capture, click,
// caption drag, sizing zones), keyboard (Tab, Enter, Space, Escape, access keys), timers,
// activation, size, close and destroy.
//
// Sections: the thunk target and helpers; HostWindowProc; pointer handlers; sizing; keyboard;
// min/max, size and close; destroy; supporting routines.
//
// Anything the procedure calls out to (bound routines, element procedures, the message hook)
// may run a modal loop during which the window is destroyed. After each such call the handler
// checks that the object still serves the same window (StillServes) before it goes on.
#include <algorithm>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementTree.h"
#include "core/HostWindow.h"
#include "core/LayeredPush.h"
#include "core/SysButton.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineBinding.h"
#include "foundation/PresentBatch.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace {

constexpr int kTitleChars = 512;
constexpr int kCaptionIconSize = 16;
// Sizing border width inside the body: a layered window has its shadow outside the body.
constexpr std::int32_t kSizingBorder = 3;
constexpr std::int32_t kSizingBorderLayered = 1;
constexpr std::int32_t kSizingCorner = 2;
constexpr LRESULT kHitClient = HTCLIENT;

std::uint32_t Word(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

std::uint32_t SignedX(LPARAM lParam) {
    return static_cast<std::uint32_t>(
        static_cast<std::int32_t>(static_cast<std::int16_t>(LOWORD(static_cast<DWORD>(lParam)))));
}

std::uint32_t SignedY(LPARAM lParam) {
    return static_cast<std::uint32_t>(
        static_cast<std::int32_t>(static_cast<std::int16_t>(HIWORD(static_cast<DWORD>(lParam)))));
}

LPARAM PackPoint(std::int32_t x, std::int32_t y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(y) << 16) |
                               (static_cast<std::uint32_t>(x) & 0xFFFF));
}

bool SameCharacter(std::uint32_t a, std::uint32_t b) {
    const auto fold = [](std::uint32_t c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; };
    return fold(a & 0xFF) == fold(b & 0xFF);
}

}  // namespace

// ---- The thunk target and helpers ---------------------------------------------------------------

LRESULT CALLBACK HostWindowThunkTarget(HostWindow* object, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    // Whatever the elements present while the message is handled is pushed once at its end.
    const PresentBatch batch;
    return object->HostWindowProc(message, wParam, lParam);
}

std::uint32_t HostWindow::Raise(std::uint32_t event,
                                std::initializer_list<std::uint32_t> arguments) {
    const std::uint32_t w = Word(window);
    const std::uint32_t* a = arguments.begin();
    switch (arguments.size()) {
        case 0:
            return RaiseElementEvent(ownHandle, event, {w});
        case 1:
            return RaiseElementEvent(ownHandle, event, {w, a[0]});
        case 2:
            return RaiseElementEvent(ownHandle, event, {w, a[0], a[1]});
        default:
            return RaiseElementEvent(ownHandle, event, {w, a[0], a[1], a[2]});
    }
}

LRESULT HostWindow::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProc == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return CallWindowProcW(previousProc, window, message, wParam, lParam);
}

bool HostWindow::StillServes(HWND served) const {
    return served != nullptr && window == served && closing == 0 &&
           objectAddress == AddressOf(this);
}

// ---- HostWindowProc -----------------------------------------------------------------------------

LRESULT HostWindow::HostWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing != 0) {
        return CallPrevious(message, wParam, lParam);
    }
    if (message == FlushPresentsMessage()) {
        FlushLayeredPushes();
        return 0;
    }
    const HWND served = window;
    if (hookRoutine != 0) {
        const std::uint32_t hooked =
            hookUserValue != 0
                ? CallAddress(hookRoutine, {AddressOf(&hookUserValue), Word(served), message,
                                            static_cast<std::uint32_t>(wParam),
                                            static_cast<std::uint32_t>(lParam)})
                : CallAddress(hookRoutine,
                              {Word(served), message, static_cast<std::uint32_t>(wParam),
                               static_cast<std::uint32_t>(lParam)});
        if (hooked != 0) {
            return static_cast<LRESULT>(hooked);
        }
        if (!StillServes(served)) {
            return DefWindowProcW(served, message, wParam, lParam);
        }
    }

    const std::uint32_t keys = CurrentModifierMask();
    switch (message) {
        case kMsgElementCarrier: {
            const LRESULT result = DeliverCarriedMessage(wParam, lParam);
            if (result != 0 || !StillServes(served)) {
                return result;
            }
            break;
        }
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == served) {
                return 1;
            }
            break;
        case WM_NCHITTEST:
            return kHitClient;
        case WM_MOUSEMOVE:
            if (trackingArmed == 0) {
                TrackMouseEvent(&m_trackData);
                trackingArmed = 1;
                UpdateCursorUnderMouse();
            }
            if (PreMouseMessage(message, wParam, lParam)) {
                OnMouseMove(message, wParam, lParam);
            }
            return 0;
        case WM_LBUTTONDOWN:
            if (PreMouseMessage(message, wParam, lParam)) {
                OnButtonDown(message, wParam, lParam);
            }
            return 0;
        case WM_LBUTTONUP:
            if (PreMouseMessage(message, wParam, lParam)) {
                OnButtonUp(message, wParam, lParam);
            }
            return 0;
        case WM_LBUTTONDBLCLK: {
            const std::uint32_t handled = Raise(message, {SignedX(lParam), SignedY(lParam), keys});
            if (handled != 0) {
                return static_cast<LRESULT>(handled);
            }
            if (StillServes(served) &&
                PreMouseMessage(WM_LBUTTONDOWN, kDoubleClickMarker, lParam)) {
                OnButtonDown(WM_LBUTTONDOWN, kDoubleClickMarker, lParam);
            }
            return 0;
        }
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return ForwardMouseMessage(message, wParam, static_cast<LPARAM>(lastMousePosition));
        case WM_KEYDOWN:
            return OnKeyDown(message, wParam, lParam);
        case WM_KEYUP:
        case WM_MOUSEWHEEL: {
            const std::uint32_t handled =
                Raise(message, {static_cast<std::uint32_t>(wParam), keys});
            if (handled != 0 || !StillServes(served)) {
                return static_cast<LRESULT>(handled);
            }
            if (message == WM_MOUSEWHEEL) {
                lParam = static_cast<LPARAM>(lastMousePosition);
            }
            return CallElementProc(focused, message, wParam, lParam);
        }
        case WM_CHAR: {
            const std::uint32_t handled = Raise(
                message, {static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam)});
            if (handled != 0 || !StillServes(served)) {
                return static_cast<LRESULT>(handled);
            }
            return CallElementProc(focused, message, wParam, lParam);
        }
        case WM_SYSCHAR:
            if (OnSysChar(message, wParam, lParam) != 0) {
                return 0;
            }
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_MOUSELEAVE:
            trackingArmed = 0;
            ReleaseCapture();
            if (const ElementHandle leaving = hovered; leaving != 0) {
                CallElementProc(leaving, kMsgMouseLeave, wParam, lParam);
                if (!StillServes(served)) {
                    return 0;
                }
            }
            hovered = 0;
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(served, &paint);
            const RECT& r = paint.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, frameDc, r.left, r.top,
                   SRCCOPY);
            EndPaint(served, &paint);
            return 0;
        }
        case WM_DESTROY:
            return OnDestroy();
        case WM_MOVE:
            Raise(kHostEventMoved, {SignedX(lParam), SignedY(lParam)});
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_SIZE:
            OnSize(wParam, lParam);
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_ACTIVATE:
            OnActivate(wParam);
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_NCCALCSIZE:
            if (wParam != 0) {
                // The whole window is client area; a minimised window keeps its caption.
                if (IsIconic(served)) {
                    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
                    const std::int32_t keep =
                        m_shadowData.top - m_shadowData.bottom + captionHeight;
                    RECT& proposed = params->rgrc[0];
                    if (proposed.bottom - proposed.top < keep) {
                        proposed.top = proposed.bottom - keep;
                    }
                }
                return 1;
            }
            break;
        case WM_NCACTIVATE:
            return 1;
        case WM_CLOSE:
            return OnClose();
        case WM_STYLECHANGED:
            if (HasWindowStyle(served, WS_DLGFRAME, false)) {
                RemoveWindowStyle(served, WS_DLGFRAME, false);
            }
            if (HasWindowStyle(served, WS_BORDER, false)) {
                RemoveWindowStyle(served, WS_BORDER, false);
            }
            break;
        case WM_TIMER:
            // Element timers carry the element handle as their id.
            CallElementProc(static_cast<ElementHandle>(wParam), WM_TIMER, wParam, lParam);
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_SHOWWINDOW:
            Raise(wParam == 1 ? static_cast<std::uint32_t>(kHostEventShown)
                              : static_cast<std::uint32_t>(kMsgElementHidden),
                  {});
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case kMsgHostFlag:
            OnElementFlag(static_cast<std::uint32_t>(lParam), false);
            break;
        case kMsgTransitionEnd:
            UpdateCursorUnderMouse();
            break;
        case kMsgTrayIcon:
            Raise(kMsgTrayIcon, {static_cast<std::uint32_t>(lParam)});
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_HOTKEY:
            Raise(kHostEventHotKey,
                  {static_cast<std::uint32_t>(wParam), LOWORD(static_cast<DWORD>(lParam)),
                   HIWORD(static_cast<DWORD>(lParam))});
            if (!StillServes(served)) {
                return 0;
            }
            break;
        case WM_SETTEXT: {
            const LRESULT result = CallPrevious(message, wParam, lParam);
            if ((captionFlags & kCaptionTitle) != 0 && result == 1 && lParam != 0) {
                const auto* text = reinterpret_cast<const wchar_t*>(lParam);
                const auto* first = reinterpret_cast<const std::uint8_t*>(text);
                SetCaptionTitle(ByteArray(first, first + (lstrlenW(text) + 1) * sizeof(wchar_t)));
            }
            return result;
        }
        case WM_SETICON:
            if (wParam == ICON_SMALL) {
                SetCaptionIcon(reinterpret_cast<HICON>(lParam));
            }
            break;
        case kMsgAccessKey:
            return SetAccessKey(static_cast<ElementHandle>(wParam),
                                static_cast<std::uint32_t>(lParam));
        default:
            break;
    }
    return CallPrevious(message, wParam, lParam);
}

// ---- Pointer handlers ---------------------------------------------------------------------------

LRESULT HostWindow::ForwardMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    const std::uint32_t handled =
        Raise(message, {SignedX(lParam), SignedY(lParam), CurrentModifierMask()});
    if (handled != 0 || !StillServes(served)) {
        return static_cast<LRESULT>(handled);
    }
    const LRESULT result = CallPrevious(message, wParam, lParam);
    if (StillServes(served)) {
        CallElementProc(hovered, message, wParam, lParam);
    }
    return result;
}

bool HostWindow::PreMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    if (Raise(message, {SignedX(lParam), SignedY(lParam), CurrentModifierMask()}) != 0) {
        return false;
    }
    if (!StillServes(served)) {
        return false;
    }
    CallPrevious(message, wParam, lParam);
    return StillServes(served) && presented == 1 && !SizingBorderHit(message, lParam);
}

void HostWindow::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    const auto x = static_cast<std::int32_t>(SignedX(lParam));
    const auto y = static_cast<std::int32_t>(SignedY(lParam));
    if (captureFlag != 0) {
        const ElementHandle target = captured;
        const std::int32_t left =
            static_cast<std::int32_t>(ReadElementField(target, kFieldWindowLeft));
        const std::int32_t top =
            static_cast<std::int32_t>(ReadElementField(target, kFieldWindowTop));
        lastMousePosition = static_cast<std::uint32_t>(PackPoint(x - left, y - top));
        hovered = 0;
        CallElementProc(target, message, wParam, static_cast<LPARAM>(lastMousePosition));
        return;
    }
    std::uint32_t point = 0;
    const ElementHandle found = HitTestControlTree(lastChild, x, y, &point);
    lastMousePosition = point;
    const ElementHandle old = hovered;
    hovered = found;
    if (found != old) {
        if (old != 0) {
            CallElementProc(old, kMsgMouseLeave, point, static_cast<LPARAM>(found));
            if (!StillServes(served)) {
                return;
            }
        }
        if (found != 0) {
            CallElementProc(found, kMsgMouseEnter, point, static_cast<LPARAM>(old));
            if (!StillServes(served)) {
                return;
            }
        }
    }
    CallElementProc(found, message, wParam, static_cast<LPARAM>(point));
}

void HostWindow::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    const bool doubleClick = wParam == kDoubleClickMarker;
    const auto x = static_cast<std::int32_t>(SignedX(lParam));
    const auto y = static_cast<std::int32_t>(SignedY(lParam));
    std::uint32_t point = 0;
    const ElementHandle hit = HitTestControlTree(lastChild, x, y, &point);
    lastMousePosition = point;
    hovered = hit;

    const auto dragWindow = [&](bool allowed) {
        SetCursor(Toolkit().secondCursor);
        if (allowed) {
            // The system moves the window while the button stays down.
            SendMessageW(served, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        }
        SetCursor(Toolkit().normalCursor);
    };
    if (!doubleClick) {
        pressed = hit;
        if (hit == 0) {
            dragWindow(captionDrag != 0 && (captionFlags != 0 || !IsZoomed(served)));
            return;
        }
    } else if ((captionFlags & kCaptionMax) != 0 && y < captionHeight) {
        const ElementHandle title = m_titleObject != nullptr ? m_titleObject->m_handle : 0;
        const ElementHandle icon = m_iconObject != nullptr ? m_iconObject->m_handle : 0;
        if (hit == 0 || (title != 0 && hit == title)) {
            ShowWindow(served, IsZoomed(served) ? SW_RESTORE : SW_SHOWMAXIMIZED);
            return;
        }
        if (icon != 0 && hit == icon) {
            PostMessageW(served, WM_CLOSE, 0, 0);
            return;
        }
    }
    if (hit == 0) {
        return;
    }
    if (ReadElementField(hit, kFieldMouseTrack) == 0) {
        dragWindow(captionFlags != 0 && captionDrag != 0);
        return;
    }

    ActivateForInput(served);
    if (!StillServes(served)) {
        return;
    }
    const ElementHandle previous = focused;
    if (hit != previous && (ReadElementField(hit, kFieldState) & kStateFocusable) != 0) {
        CallElementProc(hit, WM_SETFOCUS, 0, static_cast<LPARAM>(previous));
        if (!StillServes(served)) {
            return;
        }
        if (ElementFromHandle(hit) != nullptr) {
            focused = hit;
        }
    }
    captureFlag = 1;
    captured = hit;
    SetCapture(served);
    CallElementProc(hit, message, 1, static_cast<LPARAM>(lastMousePosition));
    if (doubleClick && StillServes(served)) {
        CallElementProc(hit, WM_LBUTTONDBLCLK, 1, static_cast<LPARAM>(lastMousePosition));
    }
}

void HostWindow::OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    const auto x = static_cast<std::int32_t>(SignedX(lParam));
    const auto y = static_cast<std::int32_t>(SignedY(lParam));
    std::uint32_t point = 0;
    const ElementHandle hit = HitTestControlTree(lastChild, x, y, &point);
    lastMousePosition = point;
    const ElementHandle wasPressed = pressed;
    pressed = 0;
    hovered = hit;

    if (captureFlag != 0) {
        const ElementHandle holder = captured;
        ReleaseCapture();
        captureFlag = 0;
        // The holder hears the release at the point relative to itself, wherever it happened.
        const auto left = static_cast<std::int32_t>(ReadElementField(holder, kFieldWindowLeft));
        const auto top = static_cast<std::int32_t>(ReadElementField(holder, kFieldWindowTop));
        CallElementProc(holder, message, wParam, PackPoint(x - left, y - top));
        if (!StillServes(served)) {
            return;
        }
        captured = 0;
        if (hit != holder) {
            // Released over another element: no click, only the hover moves.
            CallElementProc(holder, kMsgMouseLeave, point, static_cast<LPARAM>(hit));
            if (StillServes(served) && hit != 0) {
                CallElementProc(hit, kMsgMouseEnter, point, static_cast<LPARAM>(holder));
            }
            return;
        }
        CallElementProc(hit, kMsgClick, wParam, static_cast<LPARAM>(point));
        return;
    }
    if (hit != 0 && hit == wasPressed) {
        CallElementProc(hit, message, wParam, static_cast<LPARAM>(point));
        if (StillServes(served)) {
            CallElementProc(hit, kMsgClick, wParam, static_cast<LPARAM>(point));
        }
    }
}

// ---- Sizing -------------------------------------------------------------------------------------

std::uint32_t SizingZone(const RECT& body, std::int32_t k, std::int32_t x, std::int32_t y) {
    const bool nearLeft = x < body.left + k + kSizingCorner;
    const bool nearRight = x > body.right - kSizingCorner - k;
    if (y < body.top + k) {
        return nearLeft ? WMSZ_TOPLEFT : nearRight ? WMSZ_TOPRIGHT : WMSZ_TOP;
    }
    if (y > body.bottom - kSizingCorner - k) {
        return nearLeft ? WMSZ_BOTTOMLEFT : nearRight ? WMSZ_BOTTOMRIGHT : WMSZ_BOTTOM;
    }
    if (x < body.left + k) {
        return WMSZ_LEFT;
    }
    return nearRight ? WMSZ_RIGHT : 0;
}

bool HostWindow::SizingBorderHit(UINT message, LPARAM lParam) {
    if (resizable != 1 || captureFlag != 0 ||
        (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN) || IsZoomed(window) ||
        IsIconic(window)) {
        return false;
    }
    const std::int32_t border = layeredAlpha == kNotLayered ? kSizingBorder : kSizingBorderLayered;
    const std::uint32_t zone =
        SizingZone(m_bodyData, border, static_cast<std::int32_t>(SignedX(lParam)),
                   static_cast<std::int32_t>(SignedY(lParam)));
    if (zone == 0) {
        if (sizingCursor != 0) {
            SetCursor(Toolkit().normalCursor);
            sizingCursor = 0;
        }
        return false;
    }
    LPCWSTR shape = MAKEINTRESOURCEW(32643);  // IDC_SIZENESW
    if (zone == WMSZ_LEFT || zone == WMSZ_RIGHT) {
        shape = MAKEINTRESOURCEW(32644);  // IDC_SIZEWE
    } else if (zone == WMSZ_TOP || zone == WMSZ_BOTTOM) {
        shape = MAKEINTRESOURCEW(32645);  // IDC_SIZENS
    } else if (zone == WMSZ_TOPLEFT || zone == WMSZ_BOTTOMRIGHT) {
        shape = MAKEINTRESOURCEW(32642);  // IDC_SIZENWSE
    }
    SetCursor(LoadCursorW(nullptr, shape));
    sizingCursor = 1;
    const HWND served = window;
    if (const ElementHandle leaving = hovered; leaving != 0) {
        CallElementProc(leaving, kMsgMouseLeave, 0, 0);
        if (!StillServes(served)) {
            return true;
        }
    }
    if (message == WM_LBUTTONDOWN) {
        SendMessageW(served, WM_SYSCOMMAND, SC_SIZE | zone, 0);
        if (!StillServes(served)) {
            return true;
        }
        pressed = 0;
    }
    hovered = 0;
    return true;
}

// ---- Keyboard -----------------------------------------------------------------------------------

LRESULT HostWindow::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    const std::uint32_t handled =
        Raise(WM_KEYDOWN, {static_cast<std::uint32_t>(wParam), CurrentModifierMask()});
    if (handled != 0 || !StillServes(served)) {
        return static_cast<LRESULT>(handled);
    }
    const LRESULT used = CallElementProc(focused, message, wParam, lParam);
    if (used != 0 || !StillServes(served)) {
        return used;
    }
    switch (wParam) {
        case VK_TAB:
            return static_cast<LRESULT>(FocusNextTabStop(this));
        case VK_RETURN:
        case VK_SPACE:
            CallElementProc(focused, kMsgClick, 0, 0);
            return 0;
        case VK_ESCAPE:
            if (escapeCloses != 0) {
                PostMessageW(served, WM_CLOSE, 0, 0);
            }
            return 0;
        default:
            return 0;
    }
}

LRESULT HostWindow::OnSysChar(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND served = window;
    CallElementProc(focused, message, wParam, lParam);
    if (!StillServes(served)) {
        return 1;
    }
    const auto character = static_cast<std::uint32_t>(wParam);
    for (const AccessKeyEntry& entry : m_accessKeys) {
        if (!SameCharacter(entry.character, character)) {
            continue;
        }
        const Element* element = ElementFromHandle(entry.element);
        if (element == nullptr || element->IsHidden() || element->IsDisabled()) {
            continue;
        }
        // The click may change the table: nothing of it is touched afterwards.
        CallElementProc(entry.element, kMsgClick, 0, 0);
        return 1;
    }
    return 0;
}

LRESULT HostWindow::SetAccessKey(ElementHandle element, std::uint32_t character) {
    const auto existing =
        std::find_if(m_accessKeys.begin(), m_accessKeys.end(),
                     [&](const AccessKeyEntry& e) { return e.element == element; });
    if (character == 0) {
        if (existing != m_accessKeys.end()) {
            m_accessKeys.erase(existing);
        }
        return 1;
    }
    if (existing != m_accessKeys.end()) {
        existing->character = character;
    } else {
        m_accessKeys.push_back({element, character});
    }
    return 1;
}

// ---- Min/max, size, activation and close --------------------------------------------------------

LRESULT HostWindow::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (info == nullptr) {
        return 0;
    }
    const WorkArea work = GetWorkArea();
    const RECT& m = m_shadowData;
    info->ptMaxSize = {work.width + m.left - m.right + 2, work.height + m.top - m.bottom + 2};
    info->ptMaxPosition = {work.left - m.left - 1, work.top - m.top - 1};
    POINT minimum = {m.left - m.right, m.top - m.bottom};
    if (captionFlags != 0) {
        std::int32_t width = 0;
        for (const std::unique_ptr<SysButton>& button : m_captionButtons) {
            width += button->m_width;
        }
        if ((captionFlags & kCaptionIcon) != 0) {
            const std::int32_t left =
                m_iconObject != nullptr ? m_iconObject->m_left : iconOffset + 1;
            width += kCaptionIconSize + 2 * left;
        }
        width -= m_captionOffsetData.right;
        minimum = {width + m.left - m.right, m.top - m.bottom + captionHeight};
    }
    if (m_minTrackData.width != 0 || m_minTrackData.height != 0) {
        minimum.x = std::max<LONG>(minimum.x, m_minTrackData.width);
        minimum.y = std::max<LONG>(minimum.y, m_minTrackData.height);
    }
    info->ptMinTrackSize = minimum;
    info->ptReserved.x = std::max(info->ptReserved.x, minimum.x);
    info->ptReserved.y = std::max(info->ptReserved.y, minimum.y);
    if (m_maxTrackData.width != 0 && m_maxTrackData.height != 0) {
        info->ptMaxTrackSize = {m_maxTrackData.width, m_maxTrackData.height};
    } else {
        info->ptMaxTrackSize = info->ptMaxSize;
    }
    return 0;
}

void HostWindow::OnSize(WPARAM type, LPARAM lParam) {
    if (type != SIZE_RESTORED && type != SIZE_MINIMIZED && type != SIZE_MAXIMIZED) {
        return;
    }
    const HWND served = window;
    if (type == SIZE_MINIMIZED) {
        RECT rect{};
        GetWindowRect(served, &rect);
        if (rect.left < 0 && rect.top < 0) {
            return;  // parked while minimised: the canvases stay as they are
        }
    }
    const std::int32_t width = LOWORD(static_cast<DWORD>(lParam));
    const std::int32_t height = HIWORD(static_cast<DWORD>(lParam));
    if (width == m_sizeData.width && height == m_sizeData.height) {
        if (type == SIZE_RESTORED && (captionFlags & kCaptionMin) != 0) {
            // Back from minimised: the minimise button shows its own look again at once.
            if (SysButton* button = CaptionButton(kSysButtonMin);
                button && button->IsElementAlive()) {
                const std::uint32_t interval = button->m_transitionInterval;
                button->m_transitionInterval = 0;
                button->ElementWndProc(WM_PAINT, 0, 0);
                if (button->IsElementAlive()) {
                    button->m_transitionInterval = interval;
                }
            }
        }
        return;
    }
    presented = 0;
    m_sizeData = {width, height};
    m_bodyData.right = width + m_shadowData.right;
    m_bodyData.bottom = height + m_shadowData.bottom;
    BuildWindowRegion();
    CreateCanvases(width, height);
    BroadcastToSiblings(firstChild, kMsgRelayout, 0, 0);
    if (!StillServes(served)) {
        return;
    }
    PaintWindowFrame(nullptr, static_cast<std::int32_t>(backgroundColour), kFrameComposePresent);
    if (!StillServes(served)) {
        return;
    }
    PresentWindow();
    Raise(kHostEventSized, {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)});
}

void HostWindow::OnActivate(WPARAM wParam) {
    const HWND served = window;
    if (LOWORD(wParam) != WA_INACTIVE) {
        if (firstActivation == 0) {
            firstActivation = 1;
            Raise(kMsgFirstActivation, {});
            if (!StillServes(served)) {
                return;
            }
        }
        Raise(kHostEventActivated, {});
        return;
    }
    if (captureFlag == 1) {
        ReleaseCapture();
        POINT cursor{};
        GetCursorPos(&cursor);
        RECT rect{};
        GetWindowRect(served, &rect);
        const ElementHandle holder = captured;
        captureFlag = 0;
        captured = 0;
        pressed = 0;
        CallElementProc(holder, WM_LBUTTONUP, 0,
                        PackPoint(cursor.x - rect.left, cursor.y - rect.top));
        if (!StillServes(served)) {
            return;
        }
    }
    Raise(kMsgDeactivated, {});
}

LRESULT HostWindow::OnClose() {
    const HWND served = window;
    if (Raise(kHostEventClose, {}) == 1) {
        return 1;
    }
    if (!StillServes(served)) {
        return 0;
    }
    if (closeAnimation != nullptr) {
        const AnimationValues& b = m_closeAnimationData;
        EngineAnimateWindow(ownHandle, engine_abi::kAnimateClose,
                            {b[0], b[1], b[2], b[3], b[4], b[5], 0, b[6], b[7]});
    } else {
        SendMessageW(served, kMsgTransitionBegin, 1, 0);
        SendMessageW(served, kMsgTransitionEnd, 1, 0);
    }
    if (!StillServes(served)) {
        return 0;
    }
    ShowWindow(served, SW_HIDE);
    return CallPrevious(WM_CLOSE, 0, 0);
}

// ---- Destroy ------------------------------------------------------------------------------------

void HostWindow::ReleaseCaptureState() {
    if (captureFlag != 0 || captured != 0) {
        ReleaseCapture();
    }
    focused = 0;
    hovered = 0;
    captured = 0;
    captureFlag = 0;
    keyboardFocus = 0;
    pressed = 0;
}

void HostWindow::DestroyChildren() {
    // Each destruction unlinks its element from the host's chain, so the first child is taken
    // until none is left. An element that would not unlink itself (already cleared, or one
    // the engine refused) is unlinked here, so the walk always ends.
    while (const ElementHandle child = firstChild) {
        Element* element = ElementFromHandle(child);
        if (element == nullptr) {
            firstChild = 0;
            lastChild = 0;
            break;
        }
        if (element->m_engineCreated != 0) {
            EngineDestroyElement(child);
        } else {
            element->ElementWndProc(WM_DESTROY, 0, 0);
        }
        if (firstChild == child) {
            firstChild = ReadElementField(child, kFieldNextSibling);
            WriteElementField(firstChild, kFieldPrevSibling, 0);
            if (firstChild == 0) {
                lastChild = 0;
            }
        }
    }
    tabHead = 0;
}

LRESULT HostWindow::OnDestroy() {
    const HWND served = window;
    closing = 1;
    Raise(kHostEventDestroyed, {});
    ReleaseCaptureState();
    presented = 0;
    if (tooltip != nullptr) {
        SendMessageW(tooltip, WM_CLOSE, 0, 0);
        tooltip = nullptr;
    }
    DestroyChildren();
    RemoveTrayIcon();
    // The window's own reference to its theme goes back to the engine; windows sharing it
    // keep theirs.
    if (theme != 0) {
        EngineReleaseTheme(theme);
    }
    OnElementFlag(0, true);
    closeAnimation = nullptr;
    if (HostFromHandle(GetControlFromWindow(parentWindow)) == nullptr &&
        backgroundImage != nullptr) {
        Gdiplus::DllExports::GdipDisposeImage(backgroundImage);
    }
    backgroundImage = nullptr;
    FreeRegions();
    FreeCanvases();
    m_accessKeys.clear();
    m_borderColours.clear();
    for (std::unique_ptr<SysButton>& button : m_captionButtons) {
        button->FreeMembers();
    }
    m_captionButtons.clear();
    FreeCaptionObjects();
    if (eventTable != 0) {
        EngineFreeEventTable(eventTable);
        eventTable = 0;
    }
    ReleaseCarriedMessages(served);
    // The properties the toolkit set go with the window.
    RemovePropA(served, kHostWindowProperty);
    SetWindowLongW(served, GWL_WNDPROC, reinterpret_cast<LONG>(previousProc));
    if (thunk != nullptr) {
        VirtualFree(thunk, 0, MEM_RELEASE);
        thunk = nullptr;
    }
    window = nullptr;
    previousProc = nullptr;
    ownHandle = 0;
    theme = 0;
    return 0;
}

void HostWindow::OnElementFlag(std::uint32_t, bool releasing) {
    // The auxiliary element of class "53" needs the engine to create elements by that class
    // name and to accept key 4, which this engine refuses: the branch stays inert, and only an
    // element made earlier would be given back.
    if (releasing && auxiliaryElement != 0) {
        EngineDestroyElement(auxiliaryElement);
        auxiliaryElement = 0;
    }
}

// ---- Supporting routines ------------------------------------------------------------------------

void UpdateCursorUnderMouse() {
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND under = WindowFromPoint(cursor);
    HCURSOR shape = Toolkit().normalCursor;
    if (const ElementHandle element = ElementAtCursor(under, cursor)) {
        if (const auto own = reinterpret_cast<HCURSOR>(ReadElementField(element, kFieldCursor))) {
            shape = own;
        }
    }
    SetCursor(shape);
}

ElementHandle ElementAtCursor(HWND window, std::optional<POINT> screenPoint) {
    const HostRecordFields* host = HostFromHandle(GetControlFromWindow(window));
    if (host == nullptr) {
        return 0;
    }
    POINT point{};
    if (screenPoint) {
        point = *screenPoint;
    } else {
        GetCursorPos(&point);
    }
    return ElementAtScreenPoint(host->lastChild, point.x, point.y);
}

ElementHandle ElementAtScreenPoint(ElementHandle element, std::int32_t x, std::int32_t y) {
    const auto window = reinterpret_cast<HWND>(ReadElementField(element, kFieldHostWindow));
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) {
        return 0;
    }
    return HitTestControlTree(element, x - rect.left, y - rect.top, nullptr);
}

void ActivateForInput(HWND window) {
    const HWND current = GetFocus();
    if (current != window) {
        SendMessageW(current, WM_KILLFOCUS, 0, 0);
        SetFocus(window);
    }
}

bool HasWindowStyle(HWND window, DWORD bits, bool extended) {
    return EngineHasWindowStyle(Word(window), bits, extended ? 1 : 0);
}

bool AddWindowStyle(HWND window, DWORD bits, bool extended) {
    return EngineAddWindowStyle(Word(window), bits, extended ? 1 : 0);
}

bool RemoveWindowStyle(HWND window, DWORD bits, bool extended) {
    return EngineRemoveWindowStyle(Word(window), bits, extended ? 1 : 0);
}

HICON GetWindowIcon(HWND window, bool big) {
    auto icon =
        reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
    if (icon == nullptr) {
        icon = reinterpret_cast<HICON>(GetClassLongW(window, big ? GCL_HICON : GCL_HICONSM));
    }
    return icon;
}

std::string GetWindowTitleText(HWND window) {
    wchar_t title[kTitleChars] = {};
    const int length = GetWindowTextW(window, title, kTitleChars);
    return FromWideString(std::wstring_view(title, static_cast<std::size_t>(std::max(length, 0))));
}

}  // namespace toolkit
