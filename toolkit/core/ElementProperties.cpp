// The element's properties and operations, slots 24-84.
//
// Sections: identity and messages; tree order and the Tab chain; focus; painting requests;
// visibility and geometry; texts and tooltips; timers and cursors; alpha, transitions and
// flags; fonts; the remaining slots.
#include <windowsx.h>

#include <cstring>

#include "core/Element.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementText.h"
#include "core/ElementTree.h"
#include "core/HostRecord.h"
#include "core/PopupMenu.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineBinding.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

// ---- Identity and messages ---------------------------------------------------------------------

void Element::NoOperation24() {}
void Element::NoOperation70() {}
void Element::NoOperation84() {}

HWND Element::GetHostWindow() {
    return m_hostWindow;
}

ElementHandle Element::GetElementHandle() {
    return m_handle;
}

ElementHandle Element::GetParentElement() {
    return m_parent;
}

LRESULT Element::SendElementMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendToElement(m_handle, message, wParam, lParam);
}

BOOL Element::PostElementMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return PostToElement(m_handle, message, wParam, lParam);
}

bool Element::IsElementAlive() {
    return m_handle != 0 && m_alive != 0;
}

// ---- Tree order and the Tab chain --------------------------------------------------------------

void Element::SetElementParent(std::uint32_t newParent, bool redraw) {
    HostRecordFields* host = Host();
    if (host == nullptr) {
        return;
    }
    // A window (or 0) as the parent means the host window itself.
    const ElementHandle parent = IsWindow(reinterpret_cast<HWND>(newParent)) ? 0 : newParent;
    if (parent == m_parent) {
        return;
    }
    UnlinkElement(this, host, m_parent);
    LinkAsLastChild(this, host, parent);
    m_parent = parent;
    // The rectangle in window coordinates follows the new parent, and the children follow it, so
    // that hit tests and tooltips find the element where it is drawn.
    const POINT origin = ParentOrigin(this);
    const std::int32_t dx = origin.x + m_left - m_windowLeft;
    const std::int32_t dy = origin.y + m_top - m_windowTop;
    if (dx != 0 || dy != 0) {
        m_windowLeft += dx;
        m_windowTop += dy;
        m_windowRight += dx;
        m_windowBottom += dy;
        BroadcastToSiblings(m_firstChild, kMsgParentMoved, static_cast<WPARAM>(dx),
                            static_cast<LPARAM>(dy));
    }
    if (redraw) {
        UpdateElement();
    }
}

namespace {

// Inserts the (unlinked) element before `before`; a missing neighbour puts it last.
void InsertBefore(Element* element, const ChildLinks& links, ElementHandle before) {
    Element* next = ElementFromHandle(before);
    if (next == nullptr) {
        Element* last = ElementFromHandle(*links.last);
        element->m_prevSibling = last != nullptr ? *links.last : 0;
        element->m_nextSibling = 0;
        if (last != nullptr) {
            last->m_nextSibling = element->m_handle;
        } else {
            *links.first = element->m_handle;
        }
        *links.last = element->m_handle;
        return;
    }
    element->m_nextSibling = before;
    element->m_prevSibling = next->m_prevSibling;
    if (Element* previous = ElementFromHandle(next->m_prevSibling)) {
        previous->m_nextSibling = element->m_handle;
    } else {
        *links.first = element->m_handle;
    }
    next->m_prevSibling = element->m_handle;
}

// Inserts the (unlinked) element after `after`; a missing neighbour puts it first.
void InsertAfter(Element* element, const ChildLinks& links, ElementHandle after) {
    Element* previous = ElementFromHandle(after);
    if (previous == nullptr) {
        Element* first = ElementFromHandle(*links.first);
        element->m_prevSibling = 0;
        element->m_nextSibling = first != nullptr ? *links.first : 0;
        if (first != nullptr) {
            first->m_prevSibling = element->m_handle;
        } else {
            *links.last = element->m_handle;
        }
        *links.first = element->m_handle;
        return;
    }
    element->m_prevSibling = after;
    element->m_nextSibling = previous->m_nextSibling;
    if (Element* next = ElementFromHandle(previous->m_nextSibling)) {
        next->m_prevSibling = element->m_handle;
    } else {
        *links.last = element->m_handle;
    }
    previous->m_nextSibling = element->m_handle;
}

}  // namespace

void Element::SetElementZOrder(std::optional<std::int32_t> place) {
    HostRecordFields* host = Host();
    if (host == nullptr) {
        return;
    }
    const ElementHandle oldPrevious = m_prevSibling;
    const ElementHandle oldNext = m_nextSibling;
    UnlinkElement(this, host, m_parent);
    const ChildLinks links = ContainerLinks(host, m_parent);
    switch (place.value_or(kZFirst)) {
        case kZLast:
            InsertBefore(this, links, 0);
            break;
        case kZBackward:
            InsertBefore(this, links, oldPrevious != 0 ? oldPrevious : *links.first);
            break;
        case kZForward:
            InsertAfter(this, links, oldNext != 0 ? oldNext : *links.last);
            break;
        case kZSecond:
            InsertAfter(this, links, *links.first);
            break;
        case kZSecondToLast:
            InsertBefore(this, links, *links.last);
            break;
        case kZFirst:
        default:
            InsertAfter(this, links, 0);
            break;
    }
    UpdateElement();
}

std::int32_t Element::SetTabStopIndex(std::optional<std::int32_t> index) {
    if (!index) {
        return m_tabStopIndex;
    }
    m_tabStopIndex = *index;
    HostRecordFields* host = Host();
    if (host == nullptr) {
        return m_tabStopIndex;
    }
    RemoveFromTabChain(this, host);
    if (host->tabHead == 0) {
        host->tabHead = m_handle;
        return m_tabStopIndex;
    }
    // The head keeps its place; equal indexes go after the ones already there.
    Element* walk = ElementFromHandle(host->tabHead);
    while (walk != nullptr) {
        Element* successor = ElementFromHandle(walk->m_nextTab);
        if (successor == nullptr || m_tabStopIndex < successor->m_tabStopIndex) {
            m_nextTab = walk->m_nextTab;
            walk->m_nextTab = m_handle;
            break;
        }
        walk = successor;
    }
    return m_tabStopIndex;
}

// ---- Focus --------------------------------------------------------------------------------------

void Element::SetElementFocus() {
    SendToElement(m_handle, WM_SETFOCUS, 0, 0);
}

void Element::KillElementFocus() {
    SendToElement(m_handle, WM_KILLFOCUS, 0, 0);
}

bool Element::HasElementFocus() {
    return (m_state & kStateFocused) != 0;
}

bool Element::ElementFocusable(std::optional<bool> value) {
    if (value) {
        if (*value) {
            m_state |= kStateFocusable;
        } else {
            m_state &= ~kStateFocusable;
            if (HasElementFocus()) {
                SendToElement(m_handle, WM_KILLFOCUS, 0, 0);
            }
        }
    }
    return (m_state & kStateFocusable) != 0;
}

bool Element::ElementTabStop(std::optional<bool> value) {
    if (value) {
        m_tabStop = *value ? 1 : 0;
    }
    return m_tabStop != 0;
}

// ---- Painting requests --------------------------------------------------------------------------

void Element::InvalidateElement() {
    if (!IsElementAlive()) {
        return;
    }
    m_dirty = {0.0f, 0.0f, static_cast<float>(m_width), static_cast<float>(m_height)};
    SendToElement(m_handle, WM_PAINT, 0, 0);
}

void Element::InvalidateElementRect(float x, float y, float width, float height) {
    if (!IsElementAlive()) {
        return;
    }
    m_dirty = {x, y, width, height};
    SendToElement(m_handle, WM_PAINT, 0, 0);
}

void Element::UpdateElement() {
    if (IsElementAlive()) {
        SendToElement(m_handle, kMsgUpdate, 0, 0);
    }
}

// ---- Visibility and geometry --------------------------------------------------------------------

bool Element::ElementVisible(std::optional<bool> value) {
    if (value && *value == IsHidden()) {
        // The element procedure changes the state bit itself.
        SendToElement(m_handle, *value ? kMsgElementShown : kMsgElementHidden, 0, 0);
    }
    return !IsHidden();
}

void Element::MoveElement(std::optional<std::int32_t> x, std::optional<std::int32_t> y,
                          std::optional<std::int32_t> width, std::optional<std::int32_t> height,
                          std::optional<bool> throughWindow) {
    const std::int32_t newX = x.value_or(m_left);
    const std::int32_t newY = y.value_or(m_top);
    const std::int32_t newWidth = width.value_or(m_width);
    const std::int32_t newHeight = height.value_or(m_height);
    const bool moved = newX != m_left || newY != m_top;
    const bool sized = newWidth != m_width || newHeight != m_height;
    if (!moved && !sized) {
        return;
    }
    const UINT message = moved && !sized ? WM_MOVE : WM_SIZE;
    ElementRectF rect = {static_cast<float>(newX), static_cast<float>(newY),
                         static_cast<float>(newWidth), static_cast<float>(newHeight)};
    const auto rectAddress = reinterpret_cast<LPARAM>(&rect);
    if (throughWindow.value_or(true)) {
        SendToElement(m_handle, message, 1, rectAddress);
    } else {
        ElementWndProc(message, 0, rectAddress);
    }
}

std::int32_t Element::ElementLeft(std::optional<std::int32_t> value) {
    if (value && *value != m_left) {
        MoveElement(*value, std::nullopt);
    }
    return m_left;
}

std::int32_t Element::ElementTop(std::optional<std::int32_t> value) {
    if (value && *value != m_top) {
        MoveElement(std::nullopt, *value);
    }
    return m_top;
}

std::int32_t Element::ElementWidth(std::optional<std::int32_t> value) {
    if (value && *value != m_width) {
        MoveElement(std::nullopt, std::nullopt, *value);
    }
    return m_width;
}

std::int32_t Element::ElementHeight(std::optional<std::int32_t> value) {
    if (value && *value != m_height) {
        MoveElement(std::nullopt, std::nullopt, std::nullopt, *value);
    }
    return m_height;
}

ElementRectF Element::ElementRect(std::optional<ElementRectF> value) {
    if (value) {
        MoveElement(static_cast<std::int32_t>(value->x), static_cast<std::int32_t>(value->y),
                    static_cast<std::int32_t>(value->width),
                    static_cast<std::int32_t>(value->height));
    }
    return {static_cast<float>(m_left), static_cast<float>(m_top), static_cast<float>(m_width),
            static_cast<float>(m_height)};
}

// ---- Texts and tooltips -------------------------------------------------------------------------

void Element::SetElementTipText(const char* text) {
    FreeText(&m_tipText);
    m_tipText = DuplicateText(text);
}

std::string Element::ElementText(std::optional<const char*> text) {
    if (text) {
        FreeText(&m_text);
        m_text = DuplicateText(*text);
    }
    return m_text != nullptr ? std::string(m_text) : std::string();
}

void Element::ShowElementTooltipText(const char* text) {
    ShowElementTooltip(text, nullptr, 0);
}

void Element::ShowElementTooltip(const char* text, const char* title, std::int32_t icon) {
    HostRecordFields* host = Host();
    if (host == nullptr || host->tooltip == nullptr || host->toolBlock == nullptr) {
        return;
    }
    TOOLINFOA* tool = host->toolBlock;
    if (text == nullptr || *text == '\0') {
        tool->rect = {0, 0, 0, 0};
        SendMessageA(host->tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(tool));
        SendMessageA(host->tooltip, TTM_POP, 0, 0);
        return;
    }
    tool->rect = {m_windowLeft, m_windowTop, m_windowRight, m_windowBottom};
    SendMessageA(host->tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(tool));
    tool->lpszText = const_cast<char*>(text);
    SendMessageA(host->tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(tool));
    if (title != nullptr && *title != '\0') {
        SendMessageA(host->tooltip, TTM_SETTITLEA, static_cast<WPARAM>(icon),
                     reinterpret_cast<LPARAM>(title));
    }
}

// ---- Timers and cursors -------------------------------------------------------------------------

bool Element::SetElementTimer(UINT elapse, TIMERPROC routine, bool deliverAsMessage) {
    KillTimer(m_hostWindow, m_handle);
    if (elapse == 0) {
        return true;
    }
    if (deliverAsMessage) {
        return SetTimer(m_hostWindow, m_handle, elapse, nullptr) != 0;
    }
    if (routine == nullptr) {
        return false;
    }
    return SetTimer(m_hostWindow, m_handle, elapse, routine) != 0;
}

void Element::RestartElementTimer(UINT elapse) {
    if (!IsElementAlive()) {
        return;
    }
    KillTimer(m_hostWindow, m_handle);
    if (elapse != 0) {
        SetTimer(m_hostWindow, m_handle, elapse, nullptr);
    }
}

void Element::SetElementCursor(std::uint32_t cursor, bool cursorIsHandle,
                               std::optional<std::uint32_t> pressedCursor, bool pressedIsHandle) {
    const auto load = [](std::uint32_t value, bool isHandle) {
        return isHandle ? reinterpret_cast<HCURSOR>(value)
                        : LoadCursorW(nullptr, MAKEINTRESOURCEW(value));
    };
    const HCURSOR newCursor = load(cursor, cursorIsHandle);
    // Without its own pressed cursor the element keeps the cursor it shows, a handle included:
    // reading a handle as a system cursor id would give no cursor at all.
    const HCURSOR newPressed = pressedCursor ? load(*pressedCursor, pressedIsHandle) : newCursor;
    // Cursors handed over as handles stay their giver's and system cursors are shared, but the
    // ones the element loaded from files are its own: a replaced one is destroyed here, and one
    // handed back as a new cursor stays the element's to destroy.
    std::uint32_t kept = 0;
    const HCURSOR owned[] = {
        (m_cursorOwnership & kOwnsCursor) != 0 ? m_cursor : nullptr,
        (m_cursorOwnership & kOwnsPressedCursor) != 0 ? m_pressedCursor : nullptr};
    for (const HCURSOR old : owned) {
        if (old == nullptr) {
            continue;
        }
        if (old == newCursor) {
            kept |= kOwnsCursor;
        } else if (old == newPressed) {
            kept |= kOwnsPressedCursor;
        } else {
            DestroyCursor(old);
        }
    }
    m_cursorOwnership = kept;
    m_cursor = newCursor;
    m_pressedCursor = newPressed;
}

// ---- Alpha, transitions and flags ---------------------------------------------------------------

std::int32_t Element::ElementAlpha(std::optional<std::int32_t> value) {
    if (value) {
        SetElementAlpha(*value);
    }
    return static_cast<std::int32_t>(m_alpha);
}

namespace {

void SetSubtreeAlpha(ElementHandle first, std::uint32_t alpha) {
    for (Element* child = ElementFromHandle(first); child != nullptr;
         child = ElementFromHandle(child->m_nextSibling)) {
        SetSubtreeAlpha(child->m_firstChild, alpha);
        child->m_alpha = alpha;
    }
}

}  // namespace

std::int32_t Element::SetElementAlpha(std::optional<std::int32_t> alpha, bool redraw,
                                      bool children) {
    if (alpha) {
        m_alpha = static_cast<std::uint32_t>(*alpha) & 0xFF;
        if (redraw) {
            if (children) {
                SetSubtreeAlpha(m_firstChild, m_alpha);
            }
            UpdateElement();
        }
    }
    return static_cast<std::int32_t>(m_alpha);
}

bool Element::ElementAlphaHitTest(std::optional<bool> value) {
    if (value) {
        m_alphaHitTest = *value ? 1 : 0;
    }
    return m_alphaHitTest != 0;
}

std::int32_t Element::ElementTransitionSteps(std::optional<std::int32_t> frames,
                                             std::optional<std::int32_t> interval) {
    if (frames) {
        m_transitionFrames = static_cast<std::uint32_t>(*frames);
        if (interval) {
            m_transitionInterval = static_cast<std::uint32_t>(*interval);
        }
    }
    return static_cast<std::int32_t>(m_transitionFrames);
}

std::int32_t Element::ElementTransitionInterval(std::optional<std::int32_t> value) {
    if (value) {
        m_transitionInterval = static_cast<std::uint32_t>(*value);
    }
    return static_cast<std::int32_t>(m_transitionInterval);
}

std::int32_t Element::ElementTransitionStep() {
    return static_cast<std::int32_t>(m_currentFrame);
}

std::int32_t Element::ElementTransitionEasing(std::optional<std::int32_t> value) {
    if (value) {
        m_easing = static_cast<std::uint32_t>(*value);
    }
    return static_cast<std::int32_t>(m_easing);
}

bool Element::ElementDisabled(std::optional<bool> value) {
    if (value && *value != IsDisabled()) {
        if (*value) {
            m_state |= kStateDisabled;
        } else {
            m_state &= ~kStateDisabled;
        }
        SendToElement(m_handle, kMsgDisabledChanged, 0, *value ? 1 : 0);
    }
    return IsDisabled();
}

bool Element::ElementDrawTabStop(std::optional<bool> value) {
    if (value) {
        m_drawTabStop = *value ? 1 : 0;
    }
    return m_drawTabStop != 0;
}

void Element::AdjustFocusRect(ElementRectF*) {}

bool Element::ElementPresentEnabled(std::optional<bool> value) {
    if (value) {
        m_presentEnabled = *value ? 1 : 0;
    }
    return m_presentEnabled != 0;
}

bool Element::SetElementUserData(std::uint32_t value) {
    if (value == 0) {
        return false;
    }
    // The engine rebinds a cell that holds this object's address, never the object itself.
    return EngineBindUserData(AddressOf(&m_self), value, engine_abi::kUserDataKeyElement);
}

bool Element::GetElementUserData() {
    return EngineRestoreUserData(AddressOf(&m_self), engine_abi::kUserDataKeyElement);
}

std::int32_t Element::ElementHostFlag(std::optional<std::int32_t> value) {
    if (value) {
        SendMessageW(m_hostWindow, kMsgHostFlag, 0, static_cast<LPARAM>(*value));
        m_hostFlag = *value;
    }
    return m_hostFlag;
}

bool Element::ElementMouseTrack(std::optional<bool> value) {
    if (value) {
        m_mouseTrack = *value ? 1 : 0;
    }
    return m_mouseTrack != 0;
}

// ---- Fonts --------------------------------------------------------------------------------------

namespace {

constexpr int kFamilyNameChars = LF_FACESIZE;

std::wstring FamilyName(Gdiplus::GpFont* font) {
    if (font == nullptr) {
        return std::wstring();
    }
    Gdiplus::GpFontFamily* family = nullptr;
    if (gp::GdipGetFamily(font, &family) != Gdiplus::Ok || family == nullptr) {
        return std::wstring();
    }
    WCHAR name[kFamilyNameChars] = {};
    gp::GdipGetFamilyName(family, name, 0);
    gp::GdipDeleteFontFamily(family);
    return name;
}

Gdiplus::GpFont* CreateFontWith(const wchar_t* family, float size, std::int32_t style) {
    Gdiplus::GpFontFamily* fontFamily = nullptr;
    if (gp::GdipCreateFontFamilyFromName(family, nullptr, &fontFamily) != Gdiplus::Ok) {
        return nullptr;
    }
    Gdiplus::GpFont* font = nullptr;
    gp::GdipCreateFont(fontFamily, size, style, Gdiplus::UnitWorld, &font);
    gp::GdipDeleteFontFamily(fontFamily);
    return font;
}

}  // namespace

Gdiplus::GpFont* Element::MakeFontVariant(const wchar_t* family, std::optional<float> size,
                                          std::optional<std::int32_t> style) {
    const std::wstring currentFamily = FamilyName(m_font);
    Gdiplus::REAL currentSize = 0.0f;
    gp::GdipGetFontSize(m_font, &currentSize);
    INT currentStyle = 0;
    gp::GdipGetFontStyle(m_font, &currentStyle);
    const float newSize = size.value_or(currentSize);
    const std::int32_t newStyle = style.value_or(currentStyle);
    Gdiplus::GpFont* font =
        CreateFontWith(family != nullptr ? family : currentFamily.c_str(), newSize, newStyle);
    if (font == nullptr) {
        const std::wstring fallback = FamilyName(Toolkit().defaultFont);
        font = CreateFontWith(fallback.c_str(), newSize, newStyle);
    }
    return font;
}

std::string Element::ElementFontName(std::optional<const char*> name) {
    if (name) {
        const std::wstring wide = ToWideString(*name != nullptr ? *name : "", CP_ACP);
        ElementFontNameWide(wide.c_str());
    }
    return FromWideString(FamilyName(m_font));
}

std::wstring Element::ElementFontNameWide(std::optional<const wchar_t*> name) {
    if (name && m_font != nullptr) {
        if (Gdiplus::GpFont* font =
                MakeFontVariant(*name != nullptr ? *name : L"", std::nullopt, std::nullopt)) {
            SendToElement(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                          IsElementAlive() ? 1 : 0);
        }
    }
    return FamilyName(m_font);
}

std::int32_t Element::ElementFontStyle(std::optional<std::int32_t> style) {
    if (m_font == nullptr) {
        return style.value_or(0);
    }
    if (style) {
        if (Gdiplus::GpFont* font = MakeFontVariant(nullptr, std::nullopt, *style)) {
            SendToElement(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                          IsElementAlive() ? 1 : 0);
        }
    }
    INT current = 0;
    gp::GdipGetFontStyle(m_font, &current);
    return current;
}

std::int32_t Element::ElementFontSize(std::optional<std::int32_t> size) {
    if (m_font == nullptr) {
        return size.value_or(0);
    }
    if (size) {
        if (Gdiplus::GpFont* font =
                MakeFontVariant(nullptr, static_cast<float>(*size), std::nullopt)) {
            SendToElement(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                          IsElementAlive() ? 1 : 0);
        }
    }
    Gdiplus::REAL current = 0.0f;
    gp::GdipGetFontSize(m_font, &current);
    return static_cast<std::int32_t>(current);
}

Gdiplus::GpFont* Element::SetElementFont(std::optional<Gdiplus::GpFont*> font) {
    if (font) {
        if (IsElementAlive()) {
            SendToElement(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(*font), 1);
        } else {
            m_font = *font;
        }
    }
    return m_font;
}

// ---- The remaining slots ------------------------------------------------------------------------

std::string Element::ElementClassName(std::optional<const char*> name) {
    if (name) {
        FreeText(&m_className);
        m_className = DuplicateText(*name);
    }
    return m_className != nullptr ? std::string(m_className) : std::string();
}

std::uint32_t Element::ShowElementPopupMenu(std::uint32_t menu, std::int32_t x, std::int32_t y) {
    return ShowPopupMenuObject(menu, m_hostWindow, m_handle, x, y, true);
}

std::int32_t Element::ElementTextRenderingHint(std::optional<std::int32_t> hint, bool redraw) {
    if (m_canvasGraphics == nullptr) {
        return hint.value_or(0);
    }
    if (hint) {
        gp::GdipSetTextRenderingHint(m_canvasGraphics,
                                     static_cast<Gdiplus::TextRenderingHint>(*hint));
        if (redraw) {
            InvalidateElement();
        }
    }
    Gdiplus::TextRenderingHint current{};
    gp::GdipGetTextRenderingHint(m_canvasGraphics, &current);
    return static_cast<std::int32_t>(current);
}

std::uint32_t Element::GetHostTheme() {
    HostRecordFields* host = Host();
    return host != nullptr ? host->theme : 0;
}

std::uint32_t Element::GetCallingSlot() {
    // The slot is read off the calling instruction: "call [reg + d8]" (FF 50+r d8) or
    // "call [reg + d32]" (FF 90+r d32) through the method table; "call [reg]" is slot 0.
    const auto* next = static_cast<const std::uint8_t*>(__builtin_return_address(0));
    constexpr UINT_PTR kLongestCall = 6;
    if (IsBadReadPtr(next - kLongestCall, kLongestCall)) {
        return 0;
    }
    constexpr std::uint8_t kCallIndirect = 0xFF;
    constexpr std::uint8_t kDirectCall = 0xE8;
    constexpr std::uint8_t kRegisterMask = 0xF8;
    constexpr std::uint8_t kStackRegister = 4;  // needs a SIB byte: not a method-table call
    const auto registerOf = [](std::uint8_t modrm) { return modrm & 0x07; };
    if (next[-5] == kDirectCall) {
        return 0;
    }
    if (next[-3] == kCallIndirect && (next[-2] & kRegisterMask) == 0x50 &&
        registerOf(next[-2]) != kStackRegister) {
        return next[-1] / engine_abi::kFieldBytes;
    }
    if (next[-6] == kCallIndirect && (next[-5] & kRegisterMask) == 0x90 &&
        registerOf(next[-5]) != kStackRegister) {
        std::uint32_t displacement = 0;
        std::memcpy(&displacement, next - 4, sizeof(displacement));
        return displacement / engine_abi::kFieldBytes;
    }
    return 0;
}

}  // namespace toolkit
