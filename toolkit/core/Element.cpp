// Element: record, creation, attachment and destruction.
//
// Sections: construction and the object slots 0-2; the event binders; CreateElement;
// AttachElement; CreateElementFromLayout; destruction (WM_DESTROY).
#include "core/Element.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementText.h"
#include "core/ElementTree.h"
#include "core/HostRecord.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineBinding.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

// ---- Construction and slots 0-2 ----------------------------------------------------------------

Element::Element() {
    // Every field after the method table starts at zero, as in a zero-filled prototype.
    std::memset(reinterpret_cast<char*>(this) + engine_abi::kFieldBytes, 0,
                kElementFieldCount * engine_abi::kFieldBytes - engine_abi::kFieldBytes);
}

Element::Element(const Element& source) {
    std::memcpy(reinterpret_cast<char*>(this) + engine_abi::kFieldBytes,
                reinterpret_cast<const char*>(&source) + engine_abi::kFieldBytes,
                kElementFieldCount * engine_abi::kFieldBytes - engine_abi::kFieldBytes);
    // Sharing what the source owns would free it twice, or under the source, once both are
    // destroyed (and a copy made from a layout frees its class name before it stores its own).
    // So a copy is a new element, as every copy the engine makes of a prototype: what ties the
    // source to its place in a window is left behind, to be made by the copy's own creation,
    // and what the source owns the copy gets a copy of.
    m_alive = 0;
    m_handle = 0;
    m_self = nullptr;
    m_parent = 0;
    m_prevSibling = m_nextSibling = m_firstChild = m_lastChild = m_nextTab = 0;
    m_canvasBits = nullptr;
    m_canvasGraphics = nullptr;
    m_canvasDc = m_snapshotDc = nullptr;
    m_canvasBitmap = m_snapshotBitmap = nullptr;
    m_eventTable = 0;
    m_presentEnabled = 0;
    m_engineCreated = 0;
    m_text = DuplicateText(source.m_text);
    m_tipText = DuplicateText(source.m_tipText);
    m_className = DuplicateText(source.m_className);
    if (source.m_font != nullptr && source.m_font != Toolkit().defaultFont) {
        m_font = nullptr;
        gp::GdipCloneFont(source.m_font, &m_font);
    }
    if ((m_cursorOwnership & kOwnsCursor) != 0) {
        m_cursor = CopyCursor(source.m_cursor);
    }
    if ((m_cursorOwnership & kOwnsPressedCursor) != 0) {
        m_pressedCursor = CopyCursor(source.m_pressedCursor);
    } else if (source.m_pressedCursor == source.m_cursor) {
        m_pressedCursor = m_cursor;
    }
}

void Element::FreeMembers() {
    // The record's own members are released by WM_DESTROY; the base class holds nothing more.
}

std::uint32_t Element::Clone() {
    // Clones go to the process heap: the engine and the prototype registry free blocks there.
    return reinterpret_cast<std::uint32_t>(CloneOnProcessHeap(*this));
}

Element* Element::GetSelf() {
    return this;
}

HostRecordFields* Element::Host() const {
    return HostFromHandle(m_hostRecord);
}

// ---- Event binders ------------------------------------------------------------------------------

std::uint32_t Element::Bind(std::uint32_t message, std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, message, routine, owner);
}

std::uint32_t Element::BindDestroy(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_DESTROY, r, o);
}
std::uint32_t Element::BindSize(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_SIZE, r, o);
}
std::uint32_t Element::BindShow(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgElementShown, r, o);
}
std::uint32_t Element::BindHide(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgElementHidden, r, o);
}
std::uint32_t Element::BindLeftDown(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_LBUTTONDOWN, r, o);
}
std::uint32_t Element::BindLeftUp(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_LBUTTONUP, r, o);
}
std::uint32_t Element::BindRightDown(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_RBUTTONDOWN, r, o);
}
std::uint32_t Element::BindRightUp(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_RBUTTONUP, r, o);
}
std::uint32_t Element::BindMouseMove(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_MOUSEMOVE, r, o);
}
std::uint32_t Element::BindDoubleClick(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_LBUTTONDBLCLK, r, o);
}
std::uint32_t Element::BindKeyDown(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_KEYDOWN, r, o);
}
std::uint32_t Element::BindKeyUp(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_KEYUP, r, o);
}
std::uint32_t Element::BindMouseWheel(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_MOUSEWHEEL, r, o);
}
std::uint32_t Element::BindChar(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_CHAR, r, o);
}
std::uint32_t Element::BindSetFocus(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_SETFOCUS, r, o);
}
std::uint32_t Element::BindKillFocus(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_KILLFOCUS, r, o);
}
std::uint32_t Element::BindMouseEnter(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgMouseEnter, r, o);
}
std::uint32_t Element::BindMouseLeave(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgMouseLeave, r, o);
}
std::uint32_t Element::BindClick(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgClick, r, o);
}
std::uint32_t Element::BindDropFiles(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_DROPFILES, r, o);
}

// ---- CreateElement ------------------------------------------------------------------------------

namespace {

HCURSOR LoadSystemCursor(std::int32_t id) {
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
}

std::uint32_t NewEventTable() {
    return EngineCreateEventTable(kEventTableBuckets);
}

}  // namespace

ElementHandle Element::CreateElement(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                     std::int32_t width, std::int32_t height, std::int32_t typeId,
                                     const char* className, const ElementCreateOptions& options) {
    if (IsElementAlive()) {
        return m_handle;
    }
    const std::int32_t visible = options.visible.value_or(1);
    const std::int32_t focusable = options.focusable.value_or(1);

    m_cursor = options.cursorId ? LoadSystemCursor(*options.cursorId) : nullptr;
    m_pressedCursor =
        options.pressedCursorId ? LoadSystemCursor(*options.pressedCursorId) : m_cursor;

    m_hostWindow = reinterpret_cast<HWND>(parent);
    m_self = this;
    m_handle = reinterpret_cast<ElementHandle>(&m_self);
    m_classTypeId = typeId;
    if ((visible & 1) == 0) {
        m_state |= kStateHidden;
    }
    if (focusable != 0) {
        m_state |= kStateFocusable;
    }
    m_tabStop = options.tabStop.value_or(1);
    m_tabStopIndex = options.tabStopIndex.value_or(0);
    m_drawTabStop = options.drawTabStop.value_or(1);
    m_mouseTrack = options.mouseTrack.value_or(1);
    m_alpha = 255;
    m_transitionInterval = options.transitionInterval.value_or(0);
    m_transitionFrames = options.transitionFrames.value_or(0);
    m_easing = options.easing.value_or(1);

    m_className = DuplicateUpperText(className);
    m_left = x;
    m_top = y;
    m_width = width;
    m_height = height;
    m_right = x + width;
    m_bottom = y + height;
    if (m_font == nullptr) {
        m_font = Toolkit().defaultFont;
    }
    m_eventTable = NewEventTable();

    // The parent is a host window's HWND or the handle of a parent element.
    ElementHandle parentElement = 0;
    if (IsWindow(reinterpret_cast<HWND>(parent))) {
        m_hostRecord = GetControlFromWindow(reinterpret_cast<HWND>(parent));
    } else {
        Element* parentObject = ElementFromHandle(parent);
        m_hostWindow = parentObject != nullptr ? parentObject->m_hostWindow : nullptr;
        if (IsWindow(m_hostWindow)) {
            m_hostRecord = parentObject->m_hostRecord;
            parentElement = parent;
        }
    }
    if (Host() == nullptr) {
        // No usable host: give back what was made so far and stay not alive.
        ReleaseRecord();
        return 0;
    }

    AttachElement(m_hostRecord, typeId, width, height, parentElement, Toolkit().textRenderingHint);
    if (m_self != this) {
        return 0;  // WM_CREATE destroyed the element again
    }
    FinishCreation();
    return m_handle;
}

void Element::FinishCreation() {
    m_alive = 1;
    m_presentEnabled = 1;
    m_dirty = {0.0f, 0.0f, static_cast<float>(m_width), static_cast<float>(m_height)};
    // The class draws once, straight into its canvas.
    ElementWndProc(WM_PAINT, 0, 0);
}

// ---- AttachElement ------------------------------------------------------------------------------

LRESULT Element::AttachElement(std::uint32_t hostRecord, std::int32_t typeId, std::int32_t width,
                               std::int32_t height, ElementHandle parent, std::int32_t textHint) {
    HostRecordFields* host = HostFromHandle(hostRecord);
    if (parent != 0) {
        SetElementParent(parent, false);
    } else if (host != nullptr) {
        LinkAsLastChild(this, host, 0);
    }
    SetTabStopIndex(m_tabStopIndex);

    // A container keeps a 1 x 1 canvas: it draws nothing of its own.
    const bool container = typeId == kClassTypePage;
    m_canvasBits = CreateElementCanvas(&m_canvasGraphics, &m_canvasDc, &m_canvasBitmap,
                                       container ? 1 : width, container ? 1 : height, textHint);

    const POINT origin = ParentOrigin(this);
    m_windowLeft = origin.x + m_left;
    m_windowTop = origin.y + m_top;
    m_windowRight = m_windowLeft + width;
    m_windowBottom = m_windowTop + height;

    const LPARAM size = static_cast<LPARAM>((static_cast<std::uint32_t>(height) << 16) |
                                            (static_cast<std::uint32_t>(width) & 0xFFFF));
    return ElementWndProc(WM_CREATE, m_engineCreated, size);
}

// ---- CreateElementFromLayout ------------------------------------------------------------------

namespace {

// The names text split at "," and the values split at ",!,", matched by position.
class LayoutAttributes {
public:
    LayoutAttributes(const char* names, const std::uint8_t* values, std::size_t valuesLength) {
        const std::string nameText = names != nullptr ? names : "";
        std::size_t start = 0;
        while (start <= nameText.size()) {
            const std::size_t comma = nameText.find(',', start);
            const std::size_t end = comma == std::string::npos ? nameText.size() : comma;
            m_names.push_back(nameText.substr(start, end - start));
            start = end + 1;
        }
        const std::string valueText =
            values != nullptr ? std::string(reinterpret_cast<const char*>(values), valuesLength)
                              : std::string();
        static constexpr char kValueSeparator[] = ",!,";
        start = 0;
        while (start <= valueText.size()) {
            const std::size_t mark = valueText.find(kValueSeparator, start);
            const std::size_t end = mark == std::string::npos ? valueText.size() : mark;
            m_values.push_back(valueText.substr(start, end - start));
            start = end + sizeof(kValueSeparator) - 1;
        }
    }

    const std::string* Find(const char* key) const {
        for (std::size_t i = 0; i < m_names.size() && i < m_values.size(); ++i) {
            if (lstrcmpiA(m_names[i].c_str(), key) == 0) {
                return &m_values[i];
            }
        }
        return nullptr;
    }

    std::optional<std::int32_t> Integer(const char* key) const {
        const std::string* value = Find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(std::strtol(value->c_str(), nullptr, 10));
    }

    std::size_t Count() const { return std::min(m_names.size(), m_values.size()); }
    const std::string& Name(std::size_t i) const { return m_names[i]; }
    const std::string& Value(std::size_t i) const { return m_values[i]; }

private:
    std::vector<std::string> m_names;
    std::vector<std::string> m_values;
};

std::vector<std::string> SplitAtComma(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::size_t end = comma == std::string::npos ? text.size() : comma;
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A cursor from a layout: from the named file when the flag part is a non-zero integer, else a
// system cursor id. The second result says whether the element loaded (and owns) it.
std::pair<HCURSOR, bool> LayoutCursor(const std::string& part, const std::string& flagPart) {
    if (std::strtol(flagPart.c_str(), nullptr, 10) != 0) {
        const std::wstring path = ToWideString(part);
        HCURSOR cursor = LoadCursorFromFileW(path.c_str());
        return {cursor, cursor != nullptr};
    }
    return {LoadSystemCursor(std::strtol(part.c_str(), nullptr, 10)), false};
}

}  // namespace

HWND Element::CreateElementFromLayout(HWND hostWindow, std::uint32_t ignored,
                                      std::uint32_t hostRecord, ElementHandle parent,
                                      std::int32_t typeId, const char* names,
                                      const std::uint8_t* values, std::size_t valuesLength,
                                      const char* className) {
    const LayoutAttributes attributes(names, values, valuesLength);
    const std::string* rectText = attributes.Find("Rect");
    const std::optional<std::int32_t> id = attributes.Integer("ID");
    if (rectText == nullptr || !id) {
        return m_hostWindow;
    }
    std::int32_t rect[4] = {};
    const std::vector<std::string> rectParts = SplitAtComma(*rectText);
    for (std::size_t i = 0; i < 4 && i < rectParts.size(); ++i) {
        rect[i] = static_cast<std::int32_t>(std::strtol(rectParts[i].c_str(), nullptr, 10));
    }
    m_id = *id;
    m_hostWindow = hostWindow;
    m_hostRecord = hostRecord;
    m_classTypeId = typeId;
    m_easing = 1;
    if (m_className != nullptr) {
        FreeText(&m_className);
    }
    m_className = DuplicateUpperText(className);
    m_engineCreated = 1;
    if (m_font == nullptr) {
        m_font = Toolkit().defaultFont;
    }
    m_left = rect[0];
    m_top = rect[1];
    m_width = rect[2];
    m_height = rect[3];
    m_right = m_left + m_width;
    m_bottom = m_top + m_height;

    if (attributes.Integer("Visible").value_or(1) == 0) {
        m_state |= kStateHidden;
    }
    if (attributes.Integer("Focusable").value_or(1) != 0) {
        m_state |= kStateFocusable;
    }
    m_tabStop = attributes.Integer("TabStop").value_or(1);
    if (const auto index = attributes.Integer("TabStopIndex")) {
        m_tabStopIndex = *index;
    }
    m_drawTabStop = attributes.Integer("DrawTabStop").value_or(1);
    m_mouseTrack = attributes.Integer("MouseTrack").value_or(1);
    if (const std::string* cursorText = attributes.Find("Cursor")) {
        const std::vector<std::string> parts = SplitAtComma(*cursorText);
        constexpr std::size_t kCursorParts = 4;
        if (parts.size() >= kCursorParts) {
            const auto cursor = LayoutCursor(parts[0], parts[1]);
            const auto pressed = LayoutCursor(parts[2], parts[3]);
            m_cursor = cursor.first;
            m_pressedCursor = pressed.first;
            m_cursorOwnership = 0;
            if (cursor.second) {
                m_cursorOwnership |= kOwnsCursor;
            }
            if (pressed.second && pressed.first != cursor.first) {
                m_cursorOwnership |= kOwnsPressedCursor;
            }
        }
    }
    const std::int32_t textHint =
        attributes.Integer("TextRenderingHint").value_or(Toolkit().textRenderingHint);

    m_self = this;
    m_handle = reinterpret_cast<ElementHandle>(&m_self);
    m_alpha = 255;
    m_eventTable = NewEventTable();
    ClassMessageHandler(hostWindow, m_handle, kMsgCreatedFromLayout, 0, 0);

    const auto handAttributesToEngine = [&](std::uint32_t flag) {
        for (std::size_t i = 0; i < attributes.Count(); ++i) {
            EngineSetLayoutAttribute(AddressOf(this), AddressOf(attributes.Name(i).c_str()),
                                     AddressOf(attributes.Value(i).c_str()), flag);
        }
    };
    handAttributesToEngine(1);
    AttachElement(hostRecord, typeId, m_width, m_height, parent, textHint);
    if (m_self != this) {
        return nullptr;  // WM_CREATE destroyed the element again
    }
    handAttributesToEngine(0);
    // The engine keeps a layout's "Text" in the element's text field, which no class draws: a
    // class that shows a caption or a text takes it from there as from any WM_SETTEXT.
    if (m_text != nullptr && m_text[0] != '\0') {
        ElementWndProc(WM_SETTEXT, kSetTextCodePage, reinterpret_cast<LPARAM>(m_text));
        if (m_self != this) {
            return nullptr;
        }
    }
    FinishCreation();
    if (attributes.Integer("SetFocus").value_or(0) != 0 && m_self == this) {
        SetElementFocus();
    }
    return m_hostWindow;
}

// ---- Destruction --------------------------------------------------------------------------------

LRESULT Element::DestroyElement() {
    if (!IsElementAlive()) {
        return 0;
    }
    return SendToElement(m_handle, WM_DESTROY, 0, 0);
}

LRESULT Element::OnDestroy() {
    HostRecordFields* host = Host();
    if (m_handle == 0 || host == nullptr) {
        return 0;
    }
    const ElementHandle handle = m_handle;
    m_presentEnabled = 0;
    m_state |= kStateHidden;
    PresentElementRect(handle, m_left, m_top, m_width, m_height);

    // A routine bound to WM_DESTROY cannot stop the destruction, but it may destroy the element
    // itself (through a nested loop); then there is nothing left to do here.
    RaiseElementEvent(handle, WM_DESTROY, {handle});
    if (m_self != this || m_handle != handle) {
        return 0;
    }
    ClassMessageHandler(m_hostWindow, handle, WM_DESTROY, 0, 0);
    if (m_self != this || m_handle != handle) {
        return 0;
    }

    EngineFreeEventTable(m_eventTable);
    m_eventTable = 0;

    DestroyChildElements(m_firstChild);

    ReleaseElementRefs(this, host, true, false);
    // The host window forgets the element's access key, so that the key never reaches a later
    // element that happens to get the same handle.
    SendMessageW(m_hostWindow, kMsgAccessKey, handle, 0);
    UnlinkElement(this, host, m_parent);
    RemoveFromTabChain(this, host);

    KillTimer(m_hostWindow, handle);
    KillTimer(m_hostWindow, handle + 1);
    ReleaseRecord();
    return 0;
}

void Element::ReleaseRecord() {
    // Only cursors loaded from files belong to the element; system cursors are shared, and a
    // pressed cursor that is the cursor itself must not be destroyed twice.
    if ((m_cursorOwnership & kOwnsCursor) != 0 && m_cursor != nullptr) {
        DestroyCursor(m_cursor);
    }
    if ((m_cursorOwnership & kOwnsPressedCursor) != 0 && m_pressedCursor != nullptr &&
        m_pressedCursor != m_cursor) {
        DestroyCursor(m_pressedCursor);
    }
    FreeDibCanvas(&m_snapshotDc, &m_snapshotBitmap);
    if (m_font != nullptr && m_font != Toolkit().defaultFont) {
        gp::GdipDeleteFont(m_font);
    }
    if (m_canvasGraphics != nullptr) {
        gp::GdipDeleteGraphics(m_canvasGraphics);
    }
    FreeDibCanvas(&m_canvasDc, &m_canvasBitmap);
    if (m_eventTable != 0) {
        EngineFreeEventTable(m_eventTable);
    }
    FreeText(&m_text);
    FreeText(&m_tipText);
    FreeText(&m_className);
    std::memset(reinterpret_cast<char*>(this) + engine_abi::kFieldBytes, 0,
                kElementFieldCount * engine_abi::kFieldBytes - engine_abi::kFieldBytes);
}

}  // namespace toolkit
