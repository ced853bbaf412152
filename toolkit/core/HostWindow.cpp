// HostWindow: construction, the object slots, binders and the operations from slot 32 on.
//
// Sections: construction and slots 0-16; attaching; themes; geometry, title, show state and
// icons; layering, presented flag, z-order and messages; caption and frame settings; hot keys;
// tray icon; show and close; handles, binders, paint routine and hook; free helpers.
// The window procedure is in HostWindowProc.cpp, frame painting and presenting in HostPaint.cpp.
#include "core/HostWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementTree.h"
#include "core/LayeredPush.h"
#include "core/PopupMenu.h"
#include "core/SysButton.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineBinding.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace {

constexpr UINT kTitleChars = 512;
constexpr char kThemeKeyMargin[] = "margin";
constexpr char kThemeKeyRadius[] = "rectround";
constexpr char kThemeKeyBorder[] = "crborder";
constexpr char kThemeKeyCaption[] = "cycaption";
constexpr char kThemeKeyOffsetRight[] = "offsetright";
constexpr char kThemeKeyTop[] = "top";
constexpr int kCaptionIconSize = 16;
// The OS versions on which the blur flag is kept (Windows Vista, and 7 for layered windows).
constexpr float kVersionVista = 6.0f;
constexpr float kVersionSeven = 6.1f;
constexpr float kVersionTolerance = 0.001f;
// uFlags of the tray block: NIF_MESSAGE | NIF_ICON | NIF_TIP.
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
static_assert(kTrayFlags == 7, "the tray block's flags");
// uFlags of the tooltip tool: TTF_SUBCLASS | TTF_TRANSPARENT | TTF_PARSELINKS.
constexpr UINT kToolFlags = 0x1110;
constexpr LPARAM kTooltipMaxWidth = 1024;

bool SameVersion(float a, float b) {
    return std::fabs(a - b) < kVersionTolerance;
}

std::vector<COLORREF> ParseColourList(const char* text) {
    std::vector<COLORREF> colours;
    if (text == nullptr) {
        return colours;
    }
    const char* cursor = text;
    while (*cursor != '\0') {
        char* end = nullptr;
        const long value = std::strtol(cursor, &end, 10);
        if (end != cursor) {
            colours.push_back(static_cast<COLORREF>(value));
        }
        cursor = end != cursor ? end : cursor + 1;
        while (*cursor == ',' || *cursor == ' ') {
            ++cursor;
        }
    }
    return colours;
}

}  // namespace

// ---- Construction and slots 0-16 ----------------------------------------------------------------

HostWindow::HostWindow()
    : m_trackData{},
      m_gridData{},
      m_sizeData{},
      m_maxTrackData{},
      m_minTrackData{},
      m_bodyData{},
      m_shadowData{},
      m_captionOffsetData{},
      m_toolData{},
      m_closeAnimationData{},
      m_trayData{} {
    std::memset(static_cast<HostRecordFields*>(this), 0, sizeof(HostRecordFields));
    layeredAlpha = kNotLayered;
    cornerRadius = -1;
    captionDrag = 1;
    PointRecordAtBlocks();
}

HostWindow::HostWindow(const HostWindow& other)
    : HostRecordFields(other),
      m_trackData(other.m_trackData),
      m_sizeData(other.m_sizeData),
      m_maxTrackData(other.m_maxTrackData),
      m_minTrackData(other.m_minTrackData),
      m_bodyData(other.m_bodyData),
      m_shadowData(other.m_shadowData),
      m_captionOffsetData(other.m_captionOffsetData),
      m_toolData(other.m_toolData),
      m_closeAnimationData(other.m_closeAnimationData),
      m_trayData(other.m_trayData),
      m_accessKeys(other.m_accessKeys),
      m_borderColours(other.m_borderColours) {
    std::copy(std::begin(other.m_gridData), std::end(other.m_gridData), std::begin(m_gridData));
    // The caption elements belong to the window of the original; the copy names its own blocks
    // and its own object.
    titleLabel = nullptr;
    iconBox = nullptr;
    if (objectAddress != 0) {
        objectAddress = AddressOf(this);
        ownHandle = AddressOf(&objectAddress);
    }
    PointRecordAtBlocks();
}

void HostWindow::PointRecordAtBlocks() {
    trackBlock = &m_trackData;
    gridMargins = m_gridData;
    size = &m_sizeData;
    maxTrackSize = &m_maxTrackData;
    minTrackSize = &m_minTrackData;
    body = &m_bodyData;
    shadowMargins = &m_shadowData;
    captionOffsets = &m_captionOffsetData;
    toolBlock = &m_toolData;
    closeAnimation = closeAnimation != nullptr ? m_closeAnimationData.data() : nullptr;
    trayBlock = trayBlock != nullptr ? &m_trayData : nullptr;
    accessKeys = &m_accessKeys;
    captionButtons = &m_captionButtons;
    borderColours = &m_borderColours;
}

void HostWindow::FreeMembers() {
    ForgetLayeredWindow(this);
    // A caption button still alive in a window is taken out of it before its object goes.
    for (std::unique_ptr<SysButton>& button : m_captionButtons) {
        if (button->IsElementAlive()) {
            button->ElementWndProc(WM_DESTROY, 0, 0);
        }
        button->FreeMembers();
    }
    m_captionButtons.clear();
    m_accessKeys.clear();
    m_borderColours.clear();
    FreeCaptionObjects();
}

std::uint32_t HostWindow::Clone() {
    return AddressOf(CloneOnProcessHeap(*this));
}

HostWindow* HostWindow::GetSelf() {
    return this;
}

std::uint32_t HostWindow::Bind(std::uint32_t message, std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(ownHandle, message, routine, owner);
}

std::uint32_t HostWindow::BindDestroy(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_DESTROY, r, o);
}
std::uint32_t HostWindow::BindSize(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_SIZE, r, o);
}
std::uint32_t HostWindow::BindShow(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgElementShown, r, o);
}
std::uint32_t HostWindow::BindHide(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgElementHidden, r, o);
}
std::uint32_t HostWindow::BindLeftDown(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_LBUTTONDOWN, r, o);
}
std::uint32_t HostWindow::BindLeftUp(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_LBUTTONUP, r, o);
}
std::uint32_t HostWindow::BindRightDown(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_RBUTTONDOWN, r, o);
}
std::uint32_t HostWindow::BindRightUp(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_RBUTTONUP, r, o);
}
std::uint32_t HostWindow::BindMouseMove(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_MOUSEMOVE, r, o);
}
std::uint32_t HostWindow::BindDoubleClick(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_LBUTTONDBLCLK, r, o);
}
std::uint32_t HostWindow::BindKeyDown(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_KEYDOWN, r, o);
}
std::uint32_t HostWindow::BindKeyUp(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_KEYUP, r, o);
}
std::uint32_t HostWindow::BindMouseWheel(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_MOUSEWHEEL, r, o);
}
std::uint32_t HostWindow::BindChar(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_CHAR, r, o);
}

// Slots 33-35 live with the layout loader (LayoutLoader.cpp).

// ---- Attaching ----------------------------------------------------------------------------------

bool HostWindow::AttachWindow(HWND target, const HostAttachOptions& options) {
    if (!IsWindow(target) || target == window) {
        return false;
    }
    // Without the engine's thunk the window cannot be served: nothing is changed then.
    objectAddress = AddressOf(this);
    ownHandle = AddressOf(&objectAddress);
    const std::uint32_t newThunk = EngineMakeWndProcThunk(
        objectAddress,
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&HostWindowThunkTarget)));
    if (newThunk == 0) {
        return false;
    }

    const HostRecordFields* parent = HostFromHandle(GetControlFromWindow(options.parent));
    const std::uint32_t inheritedTheme = parent != nullptr ? parent->theme : 0;
    const std::int32_t alpha =
        options.layeredAlpha.value_or(parent != nullptr ? parent->layeredAlpha : kNotLayered);
    const std::int32_t radius =
        options.cornerRadius.value_or(parent != nullptr ? parent->cornerRadius : -1);

    const float os = Toolkit().osVersion;
    const bool keepBlur =
        SameVersion(os, kVersionVista) || (SameVersion(os, kVersionSeven) && alpha != kNotLayered);
    const std::uint32_t blurFlag =
        keepBlur ? options.blur.value_or(parent != nullptr ? parent->blur : 1) : 0;

    std::uint32_t flags = options.captionFlags.value_or(kCaptionFromStyles);
    if (flags != 0) {
        AddWindowStyle(target, WS_SYSMENU, false);
        if (!options.captionFlags || (flags & kCaptionFromStyles) != 0) {
            flags = (flags & ~kCaptionFromStyles) | kCaptionIcon | kCaptionTitle | kCaptionClose;
            if (HasWindowStyle(target, WS_MAXIMIZEBOX, false)) {
                flags |= kCaptionMax;
            }
            if (HasWindowStyle(target, WS_MINIMIZEBOX, false)) {
                flags |= kCaptionMin;
            }
        }
    }

    thunk = reinterpret_cast<void*>(newThunk);
    captionFlags = flags;
    window = target;
    parentWindow = options.parent;
    layeredAlpha = alpha;
    fillMode = options.fillMode.value_or(0);
    blur = blurFlag;
    std::copy(std::begin(options.gridMargins), std::end(options.gridMargins), m_gridData);
    resizable = HasWindowStyle(target, WS_THICKFRAME, false) ? 1 : 0;
    captionDrag = options.captionDrag.value_or(1);
    cornerRadius = radius;
    m_trackData = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, target, 0};

    AddWindowStyle(target, WS_POPUP, false);
    RemoveWindowStyle(target, WS_THICKFRAME | WS_DLGFRAME | WS_BORDER, false);
    if ((flags & kCaptionMin) == 0) {
        RemoveWindowStyle(target, WS_MINIMIZEBOX, false);
    }
    if ((flags & kCaptionMax) == 0) {
        RemoveWindowStyle(target, WS_MAXIMIZEBOX, false);
    }
    if (alpha != kNotLayered) {
        AddWindowStyle(target, WS_EX_LAYERED, true);
    }
    if (flags == 0) {
        RemoveWindowStyle(target, WS_SYSMENU, false);
    }
    if (resizable != 0) {
        AddWindowStyle(target, WS_THICKFRAME, false);
    }

    RECT rect{};
    GetWindowRect(target, &rect);
    m_sizeData = {rect.right - rect.left, rect.bottom - rect.top};
    CreateCanvases(m_sizeData.width, m_sizeData.height);

    tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tooltip != nullptr) {
        SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    }
    m_toolData = {};
    m_toolData.cbSize = kToolBlockSize;
    m_toolData.uFlags = kToolFlags;
    m_toolData.hwnd = target;
    m_toolData.uId = ownHandle;
    if (tooltip != nullptr) {
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&m_toolData));
    }

    SetPropA(target, kHostWindowProperty, reinterpret_cast<HANDLE>(ownHandle));
    eventTable = EngineCreateEventTable(kEventTableBuckets);
    presented = 0;

    SetWindowTheme(&options.themePackage, options.themePassword,
                   options.borderColours ? &*options.borderColours : nullptr, false,
                   inheritedTheme);

    closing = 0;
    previousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongW(target, GWL_WNDPROC, static_cast<LONG>(newThunk)));
    if (alpha != kNotLayered) {
        SetWindowPos(target, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
    }

    if (captionFlags != 0) {
        CreateCaptionParts();
    }
    PaintWindowFrame(&options.backgroundImage,
                     options.backgroundColour ? static_cast<std::int32_t>(*options.backgroundColour)
                                              : kKeepColour,
                     kFrameOnly);
    return true;
}

// ---- Themes -------------------------------------------------------------------------------------

const char* HostWindow::ShadowSection() const {
    return GetParent(window) != nullptr ? kShadowSectionSub : kShadowSectionHost;
}

std::uint32_t HostWindow::SetWindowTheme(const ByteArray* package, const ByteArray& password,
                                         const std::vector<COLORREF>* colours, bool refresh,
                                         std::uint32_t inheritedTheme) {
    // Every theme a window holds carries one engine reference of its own (adopted or loaded),
    // so it is always given back with ordinal 24: a theme shared with another window, or the
    // default theme, stays alive for the others. The new one is taken before the old one goes,
    // in case both are the same.
    std::uint32_t newTheme = 0;
    if (inheritedTheme != 0) {
        newTheme = EngineAdoptTheme(inheritedTheme);
    } else if (package == nullptr || package->empty()) {
        newTheme = EngineAdoptTheme(GetEngineBinding().defaultTheme);
    } else {
        newTheme = EngineLoadTheme(
            AddressOf(package->data()), static_cast<std::uint32_t>(package->size()),
            AddressOf(BytesData(password)), static_cast<std::uint32_t>(password.size()));
    }
    if (theme != 0) {
        EngineReleaseTheme(theme);
    }
    theme = newTheme;
    // A theme loaded anew may get the handle of the one just released.
    InvalidateFrame();
    for (const std::unique_ptr<SysButton>& button : m_captionButtons) {
        button->ForgetDrawnLook();
    }

    const char* section = ShadowSection();
    ThemeRect margin{};
    GetThemeRect(theme, section, kThemeKeyMargin, &margin);
    m_shadowData = {margin.v[0], margin.v[1], margin.v[2], margin.v[3]};
    const HostSize oldBody = {m_bodyData.right - m_bodyData.left,
                              m_bodyData.bottom - m_bodyData.top};
    m_bodyData = {m_shadowData.left, m_shadowData.top, m_sizeData.width + m_shadowData.right,
                  m_sizeData.height + m_shadowData.bottom};

    if (cornerRadius == -1) {
        cornerRadius = GetThemeInteger(theme, section, kThemeKeyRadius);
    }
    m_borderColours = colours != nullptr
                          ? *colours
                          : ParseColourList(GetThemeText(theme, section, kThemeKeyBorder));
    borderFlag = m_borderColours.empty() ? 0 : 1;
    captionHeight = GetThemeInteger(theme, section, kThemeKeyCaption);

    BuildWindowRegion();
    iconOffset =
        captionFlags != 0 ? (std::max(captionHeight, kCaptionIconSize) - kCaptionIconSize) / 2 : 0;
    m_captionOffsetData = {GetThemeInteger(theme, kSysButtonSection, kThemeKeyOffsetRight),
                           GetThemeInteger(theme, kSysButtonSection, kThemeKeyTop)};

    if (!refresh) {
        return 1;
    }
    const HWND served = window;
    presented = 0;
    for (std::size_t i = 0; i < m_captionButtons.size(); ++i) {
        CallElementProc(m_captionButtons[i]->m_handle, kMsgThemeChanged, 0,
                        static_cast<LPARAM>(ownHandle));
        if (!StillServes(served)) {
            return 1;
        }
    }
    BroadcastToSiblings(firstChild, kMsgRelayout, 0, 0);
    if (!StillServes(served)) {
        return 1;
    }
    if (IsZoomed(window)) {
        MoveWindow(window, -m_shadowData.left - 1, -m_shadowData.top - 1,
                   oldBody.width + m_shadowData.left - m_shadowData.right + 2,
                   oldBody.height + m_shadowData.top - m_shadowData.bottom + 2, TRUE);
    } else {
        PaintWindowFrame(nullptr, static_cast<std::int32_t>(backgroundColour), kFrameComposeRedraw);
    }
    if (StillServes(served)) {
        PresentWindow();
    }
    return 1;
}

// ---- Geometry, title, show state and icons -----------------------------------------------------

bool HostWindow::MoveHostWindow(std::optional<std::int32_t> x, std::optional<std::int32_t> y,
                                std::optional<std::int32_t> width,
                                std::optional<std::int32_t> height) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return MoveWindow(window, x.value_or(rect.left), y.value_or(rect.top),
                      width.value_or(rect.right - rect.left),
                      height.value_or(rect.bottom - rect.top), TRUE) != 0;
}

std::int32_t HostWindow::WindowLeft(std::optional<std::int32_t> value) {
    if (value) {
        MoveHostWindow(value, std::nullopt);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.left;
}

std::int32_t HostWindow::WindowTop(std::optional<std::int32_t> value) {
    if (value) {
        MoveHostWindow(std::nullopt, value);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.top;
}

std::int32_t HostWindow::WindowWidth(std::optional<std::int32_t> value) {
    if (value) {
        MoveHostWindow(std::nullopt, std::nullopt, value);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

std::int32_t HostWindow::WindowHeight(std::optional<std::int32_t> value) {
    if (value) {
        MoveHostWindow(std::nullopt, std::nullopt, std::nullopt, value);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

std::string HostWindow::WindowTitle(std::optional<std::string> text) {
    if (text) {
        WindowTitleWide(TextToWide(*text));
        return *text;
    }
    return WideToText(WindowTitleWide());
}

ByteArray HostWindow::WindowTitleWide(std::optional<ByteArray> text) {
    if (text) {
        // The bytes may lack their terminator: one is added before they reach the system.
        std::wstring title(text->size() / sizeof(wchar_t), L'\0');
        std::memcpy(title.data(), text->data(), title.size() * sizeof(wchar_t));
        SetWindowTextW(window, title.c_str());
        return *text;
    }
    wchar_t title[kTitleChars] = {};
    const int length = GetWindowTextW(window, title, static_cast<int>(kTitleChars));
    const std::size_t bytes = (static_cast<std::size_t>(std::max(length, 0)) + 1) * sizeof(wchar_t);
    const auto* first = reinterpret_cast<const std::uint8_t*>(title);
    return ByteArray(first, first + bytes);
}

std::int32_t HostWindow::WindowShowState(std::optional<std::int32_t> state) {
    if (!state) {
        if (IsIconic(window)) {
            return 1;
        }
        return IsZoomed(window) ? 2 : 0;
    }
    switch (*state) {
        case 0:
            return ShowWindow(window, SW_SHOWNORMAL) ? 1 : 0;
        case 1:
            return ShowWindow(window, SW_MINIMIZE) ? 1 : 0;
        case 2:
            return ShowWindow(window, SW_MAXIMIZE) ? 1 : 0;
        case 3: {
            RECT rect{};
            GetWindowRect(window, &rect);
            const int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
            const int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
            return SetWindowPos(window, nullptr, x, y, 0, 0,
                                SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER)
                       ? 1
                       : 0;
        }
        default:
            return ShowWindow(window, SW_HIDE) ? 1 : 0;
    }
}

bool HostWindow::SetTopmost(bool topmost) {
    return SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE) != 0;
}

HICON HostWindow::WindowIcon(std::optional<HICON> icon, bool big) {
    if (icon) {
        SendMessageW(window, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(*icon));
        return *icon;
    }
    return GetWindowIcon(window, big);
}

// ---- Layering, presented flag, z-order and messages ---------------------------------------------

std::int32_t HostWindow::LayeredAlpha(std::optional<std::int32_t> alpha) {
    if (alpha && *alpha != layeredAlpha) {
        presented = 0;
        if (*alpha == kNotLayered) {
            if (HasWindowStyle(window, WS_EX_LAYERED, true)) {
                RemoveWindowStyle(window, WS_EX_LAYERED, true);
            }
            // A window that is not layered cannot take a push: a part still waiting would be
            // handed over, and refused, with every batch from now on.
            ForgetLayeredWindow(this);
        } else if (layeredAlpha == kNotLayered) {
            AddWindowStyle(window, WS_EX_LAYERED, true);
            SetWindowRgn(window, nullptr, FALSE);
            BuildWindowRegion();
        }
        layeredAlpha = *alpha;
        RepaintWindow();
    }
    return layeredAlpha;
}

void HostWindow::RepaintWindow() {
    const HWND served = window;
    PaintWindowFrame(nullptr, static_cast<std::int32_t>(backgroundColour), kFrameComposePresent);
    if (StillServes(served)) {
        PresentWindow();
    }
}

void HostWindow::ClearPresented() {
    presented = 0;
}
void HostWindow::SetPresented() {
    presented = 1;
}
bool HostWindow::IsPresented() {
    return presented != 0;
}

bool HostWindow::SetZOrder(std::optional<std::int32_t> position) {
    static const HWND kPlaces[] = {HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST};
    std::int32_t place = position.value_or(1);
    if (place < 1 || place > 4) {
        place = 1;
    }
    return SetWindowPos(window, kPlaces[place - 1], 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE) != 0;
}

LRESULT HostWindow::SendWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window, message, wParam, lParam);
}

BOOL HostWindow::PostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(window, message, wParam, lParam);
}

// ---- Caption and frame settings ----------------------------------------------------------------

void HostWindow::SetShadowMargins(std::int32_t left, std::int32_t top, std::int32_t right,
                                  std::int32_t bottom, bool refresh) {
    m_shadowData = {left, top, right, bottom};
    m_bodyData = {left, top, m_sizeData.width + right, m_sizeData.height + bottom};
    BuildWindowRegion();
    const std::uint32_t wasPresented = presented;
    presented = 0;
    LayoutCaption();
    presented = wasPresented;
    if (refresh) {
        RepaintWindow();
    }
}

void HostWindow::SetCaptionButtonOffsets(std::int32_t top, std::int32_t right, bool relayout) {
    m_captionOffsetData = {right, top};
    if (relayout) {
        const std::uint32_t wasPresented = presented;
        presented = 0;
        LayoutCaption();
        presented = wasPresented;
    }
}

bool HostWindow::BorderFlag(std::optional<bool> value) {
    if (value) {
        borderFlag = *value ? 1 : 0;
    }
    return borderFlag != 0;
}

SysButton* HostWindow::CaptionButton(std::uint32_t kind) const {
    for (const std::unique_ptr<SysButton>& button : m_captionButtons) {
        if (button->m_kind == kind) {
            return button.get();
        }
    }
    return nullptr;
}

ElementHandle HostWindow::GetCaptionPart(std::uint32_t kind) {
    if ((captionFlags & kind) == 0) {
        return 0;
    }
    if (kind == kCaptionIcon) {
        return m_iconObject != nullptr ? m_iconObject->m_handle : 0;
    }
    if (kind == kCaptionTitle) {
        return m_titleObject != nullptr ? m_titleObject->m_handle : 0;
    }
    const SysButton* button = CaptionButton(kind);
    return button != nullptr ? button->m_handle : 0;
}

bool HostWindow::EscapeCloses(std::optional<bool> value) {
    if (value) {
        escapeCloses = *value ? 1 : 0;
    }
    return escapeCloses != 0;
}

bool HostWindow::Resizable(std::optional<bool> value) {
    if (value) {
        if (*value) {
            AddWindowStyle(window, WS_THICKFRAME, false);
        } else {
            RemoveWindowStyle(window, WS_THICKFRAME, false);
        }
        resizable = *value ? 1 : 0;
    }
    return HasWindowStyle(window, WS_THICKFRAME, false);
}

bool HostWindow::CaptionDrag(std::optional<bool> value) {
    if (value) {
        captionDrag = *value ? 1 : 0;
    }
    return captionDrag != 0;
}

void HostWindow::SetTrackingSizes(std::int32_t maxWidth, std::int32_t maxHeight,
                                  std::int32_t minWidth, std::int32_t minHeight) {
    m_maxTrackData = {maxWidth, maxHeight};
    m_minTrackData = {minWidth, minHeight};
}

// ---- Hot keys -----------------------------------------------------------------------------------

std::uint32_t HostWindow::RegisterWindowHotKey(UINT modifiers, UINT virtualKey) {
    const std::uint32_t id = hotKeyCount + 1;
    if (!RegisterHotKey(window, static_cast<int>(id), modifiers, virtualKey)) {
        return 0;
    }
    hotKeyCount = id;
    return id;
}

bool HostWindow::UnregisterWindowHotKey(std::uint32_t id) {
    return UnregisterHotKey(window, static_cast<int>(id)) != 0;
}

// ---- Tray icon ----------------------------------------------------------------------------------

std::array<std::uint8_t, kTrayTipBytes> TrayTipBytes(const ByteArray& tip) {
    std::array<std::uint8_t, kTrayTipBytes> bytes{};
    const std::size_t kept = tip.size() >= kTrayTipLimit ? kTrayTipBytes - 2 : tip.size();
    std::copy_n(tip.begin(), kept, bytes.begin());
    return bytes;
}

bool HostWindow::UpdateTrayIcon(std::optional<HICON> icon, std::optional<std::string> tip) {
    HICON chosen =
        icon.value_or(trayBlock != nullptr ? m_trayData.hIcon : GetWindowIcon(window, false));
    ByteArray tipBytes;
    if (tip) {
        tipBytes = TextToWide(*tip);
    } else if (trayBlock != nullptr) {
        const auto* first = reinterpret_cast<const std::uint8_t*>(m_trayData.szTip);
        tipBytes.assign(first, first + kTrayTipBytes);
    }
    return SetTrayIcon(chosen, tipBytes);
}

bool HostWindow::SetTrayIcon(std::optional<HICON> icon, std::optional<ByteArray> tip) {
    if (trayBlock == nullptr) {
        m_trayData = {};
        m_trayData.cbSize = kTrayBlockSize;
        m_trayData.hWnd = window;
        m_trayData.uID = kTrayIconId;
        m_trayData.uFlags = kTrayFlags;
        m_trayData.uCallbackMessage = kMsgTrayIcon;
        m_trayData.hIcon = icon.value_or(GetWindowIcon(window, false));
        const auto bytes = TrayTipBytes(tip.value_or(ByteArray()));
        std::memcpy(m_trayData.szTip, bytes.data(), bytes.size());
        // A block the shell refused is not kept, so the next call adds the icon again.
        if (!Shell_NotifyIconW(NIM_ADD, &m_trayData)) {
            return false;
        }
        trayBlock = &m_trayData;
        return true;
    }
    if (icon) {
        m_trayData.hIcon = *icon;
    }
    if (tip) {
        const auto bytes = TrayTipBytes(*tip);
        std::memcpy(m_trayData.szTip, bytes.data(), bytes.size());
    }
    return Shell_NotifyIconW(NIM_MODIFY, &m_trayData) != 0;
}

bool HostWindow::RemoveTrayIcon() {
    if (trayBlock == nullptr) {
        return false;
    }
    const bool removed = Shell_NotifyIconW(NIM_DELETE, &m_trayData) != 0;
    trayBlock = nullptr;
    m_trayData = {};
    return removed;
}

std::uint32_t HostWindow::ShowMenuAtPoint(std::uint32_t menu, std::int32_t x, std::int32_t y) {
    return ShowPopupMenuObject(menu, window, 0, x, y, true);
}

// ---- Show and close -----------------------------------------------------------------------------

std::uint32_t HostWindow::ShowHostWindow(const AnimationValues& a, std::optional<std::uint32_t> x) {
    const HWND served = window;
    presented = 0;
    SelectClipRgn(frameDc, innerRegion);
    BitBlt(frameDc, 0, 0, m_sizeData.width, m_sizeData.height, backgroundDc, 0, 0, SRCCOPY);
    LayoutCaption();
    ComposeChildren({0, 0, m_sizeData.width, m_sizeData.height}, false);
    SelectClipRgn(frameDc, nullptr);
    constexpr std::uint32_t kDefaultShowValue = 1;
    if (a[0] != 0) {
        // The engine receives (a1, a3, a4, a5, a6, a2, x, a7, a8).
        return EngineAnimateWindow(
            ownHandle, engine_abi::kAnimateShow,
            {a[0], a[2], a[3], a[4], a[5], a[1], x.value_or(kDefaultShowValue), a[6], a[7]});
    }
    SendMessageW(window, kMsgTransitionBegin, 0, 0);
    if (!StillServes(served)) {
        return 0;
    }
    PresentWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateCursorUnderMouse();
    SendMessageW(window, kMsgTransitionEnd, 0, 0);
    if (StillServes(served)) {
        presented = 1;
    }
    return 1;
}

void HostWindow::SetCloseAnimation(const AnimationValues& a) {
    m_closeAnimationData = {a[0], a[2], a[3], a[4], a[5], a[1], a[6], a[7]};
    closeAnimation = m_closeAnimationData.data();
}

void HostWindow::SetBackgroundOffset(std::int32_t x, std::int32_t y) {
    backgroundOffsetX = x;
    backgroundOffsetY = y;
}

// ---- Handles, binders, paint routine and hook ---------------------------------------------------

HWND HostWindow::GetWindowHandle() {
    return window;
}

std::uint32_t HostWindow::GetTheme() {
    return theme;
}

std::uint32_t HostWindow::BindClose(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_CLOSE, r, o);
}
std::uint32_t HostWindow::BindTrayIcon(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgTrayIcon, r, o);
}
std::uint32_t HostWindow::BindMoved(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_MOVE, r, o);
}
std::uint32_t HostWindow::BindFirstActivation(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgFirstActivation, r, o);
}
std::uint32_t HostWindow::BindActivated(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_ACTIVATE, r, o);
}
std::uint32_t HostWindow::BindDeactivated(std::uint32_t r, std::uint32_t o) {
    return Bind(kMsgDeactivated, r, o);
}
std::uint32_t HostWindow::BindHotKey(std::uint32_t r, std::uint32_t o) {
    return Bind(WM_HOTKEY, r, o);
}

void HostWindow::SetPaintRoutine(std::uint32_t routine, const std::uint32_t* userValue) {
    paintRoutine = routine;
    paintUserValue = userValue != nullptr ? *userValue : 0;
}

void HostWindow::SetMessageHook(std::uint32_t routine, const std::uint32_t* userValue) {
    hookRoutine = routine;
    hookUserValue = userValue != nullptr ? *userValue : 0;
}

// ---- Free helpers -------------------------------------------------------------------------------

HostWindow* HostWindowFromWindow(HWND window) {
    const std::uint32_t handle = GetControlFromWindow(window);
    if (HostFromHandle(handle) == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HostWindow*>(ReadInt32Checked(handle));
}

COLORREF GetHostBackgroundColour(ElementHandle element) {
    const HostRecordFields* host = HostFromHandle(ReadElementField(element, kFieldHostRecord));
    return host != nullptr ? host->backgroundColour : 0;
}

std::int32_t HostWindow::BodyWidth() const {
    return m_bodyData.right - m_bodyData.left;
}

}  // namespace toolkit
