// Edit: creation and layout, the handler, painting and the caret. The ITextHost methods are in
// EditTextHost.cpp.
#include "controls/Edit.h"

#include <imm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementTree.h"
#include "core/HostRecord.h"
#include "core/PopupMenu.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"
#include "foundation/EngineBinding.h"
#include "foundation/Fonts.h"
#include "foundation/TextCodec.h"

namespace toolkit {

namespace {

constexpr char kEditSection[] = "Edit";
constexpr char kMarginKey[] = "margin";
constexpr std::uint32_t kDefaultTextColour = RgbToArgb(0, 240);
constexpr std::uint32_t kWhite = RgbToArgb(0xFFFFFF);
constexpr std::uint32_t kHighlight = RgbToArgb(0xFF9933);
constexpr std::uint32_t kBlack = RgbToArgb(0);
constexpr std::int32_t kDefaultFontSize = 12;
constexpr std::int32_t kBorderInset = 2;
constexpr std::int32_t kBarThickness = 10;
constexpr std::int32_t kBarGap = 1;
constexpr std::int32_t kPageLines = 3;
constexpr std::int32_t kOwnedBarStyle =
    kStyleTrackWhenHot | kStyleFirstArrowWhenHot | kStyleSecondArrowWhenHot;
constexpr std::int32_t kHimetricPerInch = 2540;
constexpr std::uint32_t kHotLook = 128;
constexpr std::uint32_t kFocusedLook = 4;
constexpr DWORD kEventMask = ENM_CHANGE | ENM_SELCHANGE | ENM_LINK;
constexpr DWORD kLayoutBits = TXTBIT_EXTENTCHANGE | TXTBIT_VIEWINSETCHANGE;
constexpr WPARAM kLeftButtonOnly = MK_LBUTTON;

// The edit menu's item positions and its command ids.
enum EditMenuItem : std::size_t { kMenuCut = 1, kMenuCopy = 2, kMenuPaste = 3, kMenuSelectAll = 5 };
enum EditMenuCommand : WPARAM {
    kCommandSelectAll = 65,
    kCommandCopy = 67,
    kCommandPaste = 86,
    kCommandCut = 88,
};
constexpr std::int32_t kItemNormal = 0;
constexpr std::int32_t kItemDisabled = 1;
constexpr std::int32_t kItemEnabledSelectAll = 128;

static_assert(sizeof(CHARFORMATW) == 92, "the default character format is 92 bytes");

Edit* EditFromOwner(std::uint32_t owner) {
    Element* element = ElementFromHandle(owner);
    return element != nullptr && element->m_classTypeId == kTypeEdit ? static_cast<Edit*>(element)
                                                                     : nullptr;
}

std::uint32_t __stdcall VerticalBarMoved(std::uint32_t owner, std::uint32_t, std::uint32_t position,
                                         std::uint32_t) {
    if (Edit* edit = EditFromOwner(owner)) {
        edit->VerticalScrolled(static_cast<std::int32_t>(position));
    }
    return 0;
}

std::uint32_t __stdcall HorizontalBarMoved(std::uint32_t owner, std::uint32_t,
                                           std::uint32_t position, std::uint32_t) {
    if (Edit* edit = EditFromOwner(owner)) {
        edit->HorizontalScrolled(static_cast<std::int32_t>(position));
    }
    return 0;
}

// Signed point coordinates; windowsx.h is left out because its DeleteFont macro collides.
int PointX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
int PointY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

std::int32_t PixelsToHimetric(std::int32_t pixels, std::int32_t dpi) {
    return MulDiv(pixels, kHimetricPerInch, dpi);
}

}  // namespace

// ---- Object slots and creation ------------------------------------------------------------------

void Edit::FreeMembers() {
    m_vBar.FreeMembers();
    m_hBar.FreeMembers();
}

std::uint32_t Edit::Clone() {
    Edit* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        // Services and canvases belong to a live Edit; the copy makes its own at WM_CREATE.
        copy->m_host = nullptr;
        copy->m_services = nullptr;
        copy->m_textDc = copy->m_caretDc = nullptr;
        copy->m_textBitmap = copy->m_caretBitmap = nullptr;
        copy->m_textBits = copy->m_caretBits = nullptr;
        copy->m_layerSize = {};
        copy->m_caretDrawn = {};
    }
    return AddressOf(copy);
}

void Edit::AdjustFocusRect(ElementRectF* frame) {
    if (frame != nullptr) {
        *frame = {static_cast<float>(m_textRect.left), static_cast<float>(m_textRect.top),
                  static_cast<float>(m_textRect.right - m_textRect.left),
                  static_cast<float>(m_textRect.bottom - m_textRect.top)};
    }
}

ElementHandle Edit::CreateEdit(std::uint32_t parent, std::int32_t left, std::int32_t top,
                               std::int32_t width, std::int32_t height, const std::string& text,
                               const EditCreateOptions& options) {
    m_textColour = options.textColour.value_or(kDefaultTextColour);
    m_backgroundColour = options.backgroundColour.value_or(0);
    m_multiLine = options.multiLine;
    m_scrollBars = options.scrollBars;
    m_hideSelection = options.hideSelection.value_or(1);
    m_alignment = options.alignment;
    m_editStyle = options.editStyle;
    if (!options.password.empty()) {
        const ByteArray wide = TextToWide(options.password);
        if (wide.size() >= sizeof(WCHAR)) {
            std::memcpy(&m_password[0], wide.data(), sizeof(WCHAR));
            m_password[1] = 0;
        }
    }
    m_richText = options.richText;
    m_borderColour = options.borderColour;
    ElementCreateOptions base;
    base.visible = options.elementStyle.value_or(1);
    base.cursorId = reinterpret_cast<std::uintptr_t>(IDC_IBEAM);
    const ElementHandle handle =
        CreateElement(parent, left, top, width, height, kTypeEdit, kClassEdit, base);
    if (handle == 0) {
        return 0;
    }
    // Without a maximum the limit is set to 0, which the services read as their default maximum.
    MaxLength(options.maxLength.value_or(0));
    if (options.fontName || options.fontSize || options.fontStyle) {
        const std::string name =
            options.fontName.value_or(m_font != nullptr ? GetFontFamilyName(m_font) : "");
        Gdiplus::GpFont* font =
            CreateFontByName(name, static_cast<float>(options.fontSize.value_or(kDefaultFontSize)),
                             options.fontStyle.value_or(0), Gdiplus::UnitPixel);
        if (font != nullptr) {
            SetElementFont(font);
        }
    }
    if (!text.empty()) {
        Text(text);
    }
    return handle;
}

void Edit::OnCreate() {
    m_disableDrag = 1;
    m_wantReturn = 1;
    m_windowColour = kWhite;
    m_highlightColour = kHighlight;
    m_highlightTextColour = kWhite;
    CharFormatFromFont(m_font);
    BuildParaFormat(&m_paraFormat, m_alignment, std::nullopt, std::nullopt, std::nullopt,
                    std::nullopt);
    if (m_password[0] == 0) {
        m_password[0] = 0x25CF;
    }
    LayoutEdit(m_width, m_height);
    if (EngineCreateTextHost(m_handle, AddressOf(&m_host), AddressOf(&m_services))) {
        m_services->OnTxInPlaceActivate(nullptr);
        Send(EM_SETLANGOPTIONS, 0, 0);
        Send(EM_SETEVENTMASK, 0, kEventMask);
        m_caretColour = kBlack;
        m_caretWidth = 1;
    } else {
        m_host = nullptr;
        m_services = nullptr;
    }
}

void Edit::OnDestroy() {
    // A focused Edit is destroyed without losing the focus first: a password Edit gives the
    // window its input method back here, or no other Edit of the window would have one.
    RestoreInputContext();
    if (m_services != nullptr) {
        Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        m_services->OnTxInPlaceDeactivate();
        EngineReleaseTextHost(AddressOf(m_host), AddressOf(m_services));
        m_host = nullptr;
        m_services = nullptr;
    }
    ReleaseCanvases();
    m_caretX = m_caretY = 0;
}

void Edit::ReleaseCanvases() {
    FreeDibCanvas(&m_textDc, &m_textBitmap);
    FreeDibCanvas(&m_caretDc, &m_caretBitmap);
    m_textBits = m_caretBits = nullptr;
    m_layerSize = {};
    m_caretDrawn = {};
}

PixelLayer Edit::CanvasLayer() const {
    // The canvas's own bitmap tells how many pixels its memory holds: the element's size fields
    // change apart from it while the element is resized.
    DIBSECTION dib{};
    if (m_canvasBits == nullptr || m_canvasBitmap == nullptr ||
        GetObjectW(m_canvasBitmap, sizeof dib, &dib) != static_cast<int>(sizeof dib)) {
        return {};
    }
    return {static_cast<std::uint32_t*>(m_canvasBits), dib.dsBm.bmWidth,
            std::abs(dib.dsBm.bmHeight)};
}

PixelLayer Edit::TextLayer() const {
    return {static_cast<std::uint32_t*>(m_textBits), m_layerSize.cx, m_layerSize.cy};
}

PixelLayer Edit::CaretLayer() const {
    return {static_cast<std::uint32_t*>(m_caretBits), m_layerSize.cx, m_layerSize.cy};
}

void Edit::CharFormatFromFont(Gdiplus::GpFont* font) {
    std::wstring face;
    std::int32_t size = kDefaultFontSize;
    std::int32_t style = 0;
    if (font != nullptr) {
        const ByteArray name = GetFontFamilyNameWide(font);
        face.assign(reinterpret_cast<const wchar_t*>(name.data()), name.size() / sizeof(wchar_t));
        face.erase(std::find(face.begin(), face.end(), L'\0'), face.end());
        size = static_cast<std::int32_t>(GetFontSize(font));
        style = GetFontStyle(font);
    }
    BuildCharFormat(&m_charFormat, face, size, style, m_textColour, std::nullopt);
}

// ---- Layout -------------------------------------------------------------------------------------

void Edit::PlaceBar(ScrollBar& bar, bool vertical, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, std::int32_t lineHeight) {
    if (bar.m_handle != 0 && bar.IsElementAlive()) {
        bar.MoveElement(x, y, width, height);
    } else {
        ScrollBarCreateOptions options;
        options.maxValue = 0;
        options.trackEvents = 1;
        options.style = kOwnedBarStyle;
        options.orientation = vertical ? 0 : kScrollHorizontal;
        if (bar.CreateScrollBar(m_handle, x, y, width, height, options) == 0) {
            return;
        }
        bar.ElementFocusable(false);
        bar.ElementMouseTrack(true);
        bar.OnPositionChanged(
            vertical ? AddressOf(&VerticalBarMoved) : AddressOf(&HorizontalBarMoved), m_handle);
    }
    bar.LineStep(lineHeight);
    bar.PageStep(kPageLines * lineHeight);
}

void Edit::LayoutEdit(std::int32_t width, std::int32_t height) {
    RECT text{0, 0, width, height};
    if (m_backgroundColour == 0 && m_borderColour == 0) {
        // The theme's margin is added edge by edge: themes store the right and bottom values
        // negative ("4,3,-4,-3"), so the sum is an inset.
        ThemeRect margin{};
        if (GetThemeRect(GetHostTheme(), kEditSection, kMarginKey, &margin)) {
            text.left += margin.v[0];
            text.top += margin.v[1];
            text.right += margin.v[2];
            text.bottom += margin.v[3];
        }
    } else if (m_borderColour != 0) {
        InflateRect(&text, -kBorderInset, -kBorderInset);
    }
    m_textRect = text;
    TextRectHook();
    // A theme package is outside data: a margin that would reach past the Edit is cut back to it.
    const PixelRect inside = ClipToCanvas(
        {m_textRect.left, m_textRect.top, m_textRect.right, m_textRect.bottom}, width, height);
    text = {inside.left, inside.top, inside.right, inside.bottom};

    ReleaseCanvases();
    if (width > 0 && height > 0) {
        m_textBits = CreateDibCanvas(width, height, &m_textDc, &m_textBitmap);
        m_caretBits = CreateDibCanvas(width, height, &m_caretDc, &m_caretBitmap);
        if (m_textBits != nullptr && m_caretBits != nullptr) {
            m_layerSize = {width, height};
            FillCaretLayer(CaretLayer(), {}, 0);
        }
    }
    std::int32_t lineHeight = m_charFormat.yHeight / 15;
    if (m_textDc != nullptr) {
        m_dpiX = GetDeviceCaps(m_textDc, LOGPIXELSX);
        m_dpiY = GetDeviceCaps(m_textDc, LOGPIXELSY);
        HFONT font = CreateFontW(-lineHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                 0, m_charFormat.szFaceName);
        HGDIOBJ old = SelectObject(m_textDc, font);
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(m_textDc, &metrics)) {
            lineHeight = metrics.tmHeight;
        }
        SelectObject(m_textDc, old);
        DeleteObject(font);
    }
    if (m_multiLine != 0) {
        if ((m_scrollBars & kEditVerticalBar) != 0) {
            text.right -= kBarThickness + kBarGap;
            PlaceBar(m_vBar, true, text.right + kBarGap, text.top, kBarThickness,
                     text.bottom - text.top, lineHeight);
        }
        if ((m_scrollBars & kEditHorizontalBar) != 0) {
            text.bottom -= kBarThickness + kBarGap;
            PlaceBar(m_hBar, false, text.left, text.bottom + kBarGap, text.right - text.left,
                     kBarThickness, lineHeight);
        }
    }
    const std::int32_t textWidth = text.right - text.left;
    const std::int32_t textHeight = text.bottom - text.top;
    // A single line is centred by laying the text out from the top of the centred line rather
    // than through a view inset: the text services in use lay text out in the rectangle they
    // are given and leave the inset unread, and where both are read the two come to the same.
    m_viewInset = {};
    m_layoutRect = text;
    if (m_multiLine == 0) {
        m_layoutRect.top += std::max(0, (textHeight - lineHeight) / 2);
    }
    if (m_vBar.m_handle != 0) {
        m_vBar.PageSize(textHeight);
    }
    if (m_hBar.m_handle != 0) {
        m_hBar.PageSize(textWidth);
    }
    m_textRect = text;
    // The extent is the laid-out rectangle's size: a different one would make the services
    // zoom the text to fit.
    m_extent = {PixelsToHimetric(textWidth, m_dpiX),
                PixelsToHimetric(m_layoutRect.bottom - m_layoutRect.top, m_dpiY)};
    PropertyBitsChange(kLayoutBits, kLayoutBits);
}

// ---- Handler ------------------------------------------------------------------------------------

LRESULT Edit::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return SendTextMessage(message, wParam, lParam, &result) == S_OK ? result : 0;
}

LRESULT Edit::ClassMessageHandler(HWND, ElementHandle handle, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    if (const LRESULT hooked = PreHandlerHook(m_hostWindow, handle, message, wParam, lParam)) {
        return hooked;
    }
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_SIZE:
            LayoutEdit(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_SETFONT:
            CharFormatFromFont(reinterpret_cast<Gdiplus::GpFont*>(wParam));
            PropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
            return 0;
        case WM_DROPFILES:
            return 0;
        case WM_SETTEXT:
            // A code-page text, as the toolkit's other texts come, reaches the services in UTF-16.
            if (wParam != kSetTextWide) {
                const std::wstring text = ToWideString(reinterpret_cast<const char*>(lParam));
                return Send(WM_SETTEXT, kSetTextWide, reinterpret_cast<LPARAM>(text.c_str()));
            }
            return Send(message, wParam, lParam);
        case WM_MOUSEMOVE:
            if (wParam == kLeftButtonOnly) {
                const int y = std::min<int>(PointY(lParam), m_textRect.bottom);
                return Send(message, wParam, MAKELPARAM(PointX(lParam), y));
            }
            return Send(message, wParam, lParam);
        case WM_LBUTTONUP: {
            const LRESULT result = Send(message, wParam, lParam);
            HostRecordFields* host = Host();
            POINT point{};
            GetCursorPos(&point);
            ScreenToClient(m_hostWindow, &point);
            if (host != nullptr &&
                HitTestControlTree(host->lastChild, point.x, point.y, nullptr) == 0) {
                ReleaseCapture();
                SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                host->captured = 0;
                host->captureFlag = 0;
            }
            return result;
        }
        case WM_RBUTTONUP:
            Send(message, wParam, lParam);
            OnRightButtonUp();
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kCommandSelectAll:
                    Select(0, -1);
                    return 0;
                case kCommandCopy:
                    Copy();
                    return 0;
                case kCommandPaste:
                    Paste();
                    return 0;
                case kCommandCut:
                    Cut();
                    return 0;
                default:
                    return Send(message, wParam, lParam);
            }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_SPACE) {
                if (wParam != VK_RETURN || m_wantReturn != 0) {
                    Send(message, wParam, lParam);
                }
                return 1;
            }
            if (wParam == VK_TAB) {
                PaintEdit(0);
                return 0;
            }
            return Send(message, wParam, lParam);
        case WM_CHAR: {
            if (wParam == VK_TAB) {
                return 0;
            }
            if (m_editStyle == kEditDigitsOnly && wParam != L'-' && wParam != L'.' &&
                (wParam < L'0' || wParam > L'9')) {
                return 1;
            }
            const LRESULT result = Send(message, wParam, lParam);
            HostRecordFields* host = Host();
            Element* hovered = host != nullptr ? ElementFromHandle(host->hovered) : nullptr;
            SetCursor(hovered != nullptr && hovered->m_cursor != nullptr
                          ? hovered->m_cursor
                          : LoadCursorW(nullptr, IDC_ARROW));
            return result;
        }
        case WM_SETFOCUS:
            OnSetFocus();
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus();
            return 0;
        case WM_TIMER:
            OnTimer();
            return 0;
        case WM_MOUSEWHEEL: {
            if (m_scrollSync != 0) {
                return 0;
            }
            POINT point{PointX(lParam), PointY(lParam)};
            ScreenToClient(m_hostWindow, &point);
            point.x -= m_windowLeft;
            point.y -= m_windowTop;
            if (!PtInRect(&m_textRect, point)) {
                return 0;
            }
            ScrollBar& bar = m_vBar.m_handle != 0 && !m_vBar.IsHidden() ? m_vBar : m_hBar;
            if (bar.m_handle != 0) {
                return CallElementProc(bar.m_handle, message, wParam, lParam);
            }
            return 0;
        }
        case kMsgMouseEnter:
            PaintEdit(kHotLook);
            return 0;
        case kMsgMouseLeave:
        case kMsgRedraw:
        case WM_PAINT:
            PaintEdit(0);
            return 0;
        case kMsgCreatedFromLayout:
            m_backgroundColour = 0;
            m_textColour = kDefaultTextColour;
            ElementFocusable(true);
            ElementDrawTabStop(true);
            SetElementCursor(reinterpret_cast<std::uintptr_t>(IDC_IBEAM), false);
            return 0;
        case kMsgParentMoved:
            m_caretX += static_cast<std::int32_t>(wParam);
            m_caretY += static_cast<std::int32_t>(lParam);
            return 0;
        default:
            return Send(message, wParam, lParam);
    }
}

void Edit::OnRightButtonUp() {
    if (!HasElementFocus()) {
        SetElementFocus();
    }
    if (m_editStyle == kEditPassword) {
        return;
    }
    PopupMenu& menu = EditBoxMenu();
    const bool readOnly = m_editStyle == kEditReadOnly;
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool selected = range.cpMax > range.cpMin;
    menu.PopupMenuItemState(kMenuCut, selected && !readOnly ? kItemNormal : kItemDisabled);
    menu.PopupMenuItemState(kMenuCopy, selected ? kItemNormal : kItemDisabled);
    menu.PopupMenuItemState(kMenuPaste,
                            readOnly || Send(EM_CANPASTE) == 0 ? kItemDisabled : kItemNormal);
    menu.PopupMenuItemState(kMenuSelectAll,
                            GetTextLength() > 0 ? kItemEnabledSelectAll : kItemDisabled);
    POINT point{};
    GetCursorPos(&point);
    ShowElementPopupMenu(AddressOf(&menu), point.x, point.y);
}

DWORD Edit::PasswordBit() const {
    if (m_editStyle == kEditPassword) {
        return TXTBIT_USEPASSWORD;
    }
    return m_editStyle == kEditReadOnly ? TXTBIT_READONLY : 0;
}

void Edit::OnSetFocus() {
    PaintEdit(kHotLook);
    if (m_services != nullptr) {
        m_services->OnTxUIActivate();
    }
    Send(WM_SETFOCUS, 0, 0);
    SetElementTimer(kEditCaretBlinkMs, nullptr, true);
    CreateCaret(m_hostWindow, nullptr, m_caretWidth, kEditSystemCaretHeight);
    m_selectionNotEmpty = 0;
    if (m_editStyle == kEditPassword) {
        m_savedImc = ImmGetContext(m_hostWindow);
        ImmAssociateContext(m_hostWindow, nullptr);
    }
}

void Edit::OnKillFocus() {
    if (m_services != nullptr) {
        m_services->OnTxUIDeactivate();
    }
    Send(WM_KILLFOCUS, 0, 0);
    RestoreInputContext();
    // With HideSelection set the next timer tick finds the focus gone and stops the blink.
    if (m_hideSelection == 0) {
        PaintEdit(0);
        SetElementTimer(0);
        DrawCaret(false, false);
    }
}

void Edit::RestoreInputContext() {
    if (m_savedImc != nullptr) {
        ImmAssociateContext(m_hostWindow, m_savedImc);
        ImmReleaseContext(m_hostWindow, m_savedImc);
        m_savedImc = nullptr;
    }
}

void Edit::OnTimer() {
    if (HasElementFocus()) {
        if (m_selectionNotEmpty == 0) {
            DrawCaret((m_blinkCounter & 1) != 0, false);
        }
        return;
    }
    SetElementTimer(0);
    Send(WM_KILLFOCUS, 0, 0);
    DrawCaret(false, false);
    PaintEdit(0);
}

// ---- Paint and caret ----------------------------------------------------------------------------

void Edit::PaintEdit(std::uint32_t state) {
    DrawContext context{};
    BeginElementDraw(m_handle, &context);
    const Gdiplus::RectF whole(0.0f, 0.0f, static_cast<float>(m_width),
                               static_cast<float>(m_height));
    if (m_backgroundColour == 0 && m_borderColour == 0) {
        DrawThemeStatePart(context.theme, kEditSection, context.graphics, whole,
                           HasElementFocus() ? kFocusedLook : state);
    } else {
        // Without a background colour the field stays clear, so that what lies under the Edit
        // shows through its text; an opaque clear would make that field black.
        const std::uint32_t field = m_backgroundColour != 0 ? m_backgroundColour | kEditOpaque : 0u;
        Gdiplus::DllExports::GdipGraphicsClear(context.graphics, field);
    }
    PreDrawHook();
    const PixelLayer canvas = CanvasLayer();
    const PixelRect dirty = ClipToCanvas(
        static_cast<std::int64_t>(context.paint.x), static_cast<std::int64_t>(context.paint.y),
        static_cast<std::int64_t>(context.paint.width),
        static_cast<std::int64_t>(context.paint.height), canvas.width, canvas.height);
    const RECT area{dirty.left, dirty.top, dirty.right, dirty.bottom};
    RECT drawn{};
    if (m_services != nullptr && canvas.pixels != nullptr && m_textDc != nullptr &&
        IntersectRect(&drawn, &area, &m_textRect)) {
        Gdiplus::DllExports::GdipFlush(context.graphics, Gdiplus::FlushIntentionSync);
        GdiFlush();
        const PixelRect prepared = PrepareTextLayer(
            canvas, TextLayer(), {drawn.left, drawn.top, drawn.right, drawn.bottom});
        if (!prepared.Empty()) {
            const RECTL bounds{m_layoutRect.left, m_layoutRect.top, m_layoutRect.right,
                               m_layoutRect.bottom};
            RECT update{prepared.left, prepared.top, prepared.right, prepared.bottom};
            m_services->TxDraw(DVASPECT_CONTENT, -1, nullptr, nullptr, m_textDc, nullptr, &bounds,
                               nullptr, &update, nullptr, 0, TXTVIEW_ACTIVE);
            GdiFlush();
            ComposeTextLayers(canvas, TextLayer(), CaretLayer(), prepared);
        }
    }
    if (m_borderColour != 0) {
        Gdiplus::GpPen* pen = nullptr;
        Gdiplus::DllExports::GdipCreatePen1(m_borderColour, 1.0f, Gdiplus::UnitPixel, &pen);
        if (pen != nullptr) {
            Gdiplus::DllExports::GdipDrawRectangle(context.graphics, pen, 0.0f, 0.0f,
                                                   whole.Width - 1.0f, whole.Height - 1.0f);
            Gdiplus::DllExports::GdipDeletePen(pen);
        }
    }
    EndElementDraw(m_handle, &context);
}

void Edit::DrawCaret(bool show, bool restart) {
    if (m_width <= 0 || m_height <= 0 || m_caretBits == nullptr) {
        return;
    }
    if (show) {
        if (IsHidden() || !HasElementFocus() || m_selectionNotEmpty != 0) {
            return;
        }
        if (restart) {
            m_blinkCounter = 1;
        }
        ++m_blinkCounter;
    } else {
        // Erasing does not ask for the focus: the blink timer erases the caret once the focus
        // has gone, and a caret left in the layer would come back with every paint.
        if ((m_blinkCounter & 1) != 0) {
            return;  // already erased
        }
        --m_blinkCounter;
    }
    PixelRect caret{};
    if (show) {
        const int left = m_caretX - m_windowLeft;
        const int top = m_caretY - m_windowTop;
        const int height = std::min<int>(m_caretHeight > 0 ? m_caretHeight : kEditSystemCaretHeight,
                                         m_textRect.bottom - m_textRect.top);
        caret = {left, top, left + m_caretWidth, top + height};
    }
    // The caret layer replaces the text pixels it covers (an OR could never draw a dark caret).
    const PixelRect drawn =
        FillCaretLayer(CaretLayer(), caret, show ? m_caretColour | kEditOpaque : 0u);
    // Both the old place and the new one are drawn again, in case the caret moved meanwhile.
    const PixelRect changed = UnionRect(m_caretDrawn, drawn);
    m_caretDrawn = drawn;
    if (!changed.Empty() && !IsHidden()) {
        InvalidateElementRect(static_cast<float>(changed.left), static_cast<float>(changed.top),
                              static_cast<float>(changed.Width()),
                              static_cast<float>(changed.Height()));
    }
}

}  // namespace toolkit
