#include "core/SysButton.h"

#include <new>

#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ThemePainter.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

namespace {

struct KindName {
    std::uint32_t kind;
    const char* part;
};

constexpr KindName kKindNames[] = {
    {kSysButtonClose, "SysButton.Close"},     {kSysButtonMax, "SysButton.Max"},
    {kSysButtonMin, "SysButton.Min"},         {kSysButtonMenu, "SysButton.Menu"},
    {kSysButtonSkin, "SysButton.Skn"},        {kSysButtonReport, "SysButton.Report"},
    {kSysButtonSetting, "SysButton.Setting"},
};
constexpr char kRestorePart[] = "SysButton.Restore";

}  // namespace

const char* SysButtonPartName(std::uint32_t kind, bool showRestore) {
    if (showRestore && (kind == kSysButtonMax || kind == kSysButtonMin)) {
        return kRestorePart;
    }
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) {
            return entry.part;
        }
    }
    return kSysButtonPartPrefix;
}

SysButton::SysButton() : m_kind(0) {}

void SysButton::FreeMembers() {
    // The kind is a plain value; the element record is released by WM_DESTROY.
}

std::uint32_t SysButton::Clone() {
    // The engine and the prototype registry free clones on the process heap.
    return reinterpret_cast<std::uint32_t>(CloneOnProcessHeap(*this));
}

bool SysButton::DrawnLook::operator==(const DrawnLook& other) const {
    return part == other.part && state == other.state && width == other.width &&
           height == other.height && theme == other.theme && canvas == other.canvas;
}

const char* SysButton::PartName() const {
    const HWND window = m_hostWindow;
    const bool restore = (m_kind == kSysButtonMax && IsZoomed(window)) ||
                         (m_kind == kSysButtonMin && IsIconic(window));
    return SysButtonPartName(m_kind, restore);
}

LRESULT SysButton::ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM,
                                       LPARAM) {
    switch (message) {
        case WM_PAINT:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case kMsgMouseEnter:
        case kMsgMouseLeave:
            // The pressed look is drawn at once; every other change fades.
            m_transitionFrames =
                (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) ? 0 : kSysButtonFadeFrames;
            DrawSysButton(window, handle, message);
            break;
        case kMsgRedraw:
            DrawSysButton(window, handle, WM_PAINT);
            break;
        case kMsgClick:
            if (m_kind == kSysButtonClose) {
                PostMessageW(window, WM_CLOSE, 0, 0);
            } else if (m_kind == kSysButtonMax) {
                PostMessageW(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
            } else if (m_kind == kSysButtonMin) {
                PostMessageW(window, WM_SYSCOMMAND, IsIconic(window) ? SC_RESTORE : SC_MINIMIZE, 0);
            }
            break;
        case WM_SIZE:
            m_lookDrawn = false;  // the canvas was made anew
            break;
        case kMsgThemeChanged:
            ForgetDrawnLook();  // a new theme may have the old one's handle
            OnSysButtonThemeChanged();
            break;
        default:
            break;
    }
    return 0;
}

void SysButton::DrawSysButton(HWND, ElementHandle handle, UINT message) {
    std::uint32_t state = 0;
    if (message == kMsgMouseEnter || message == WM_LBUTTONUP) {
        state = kStateHover;
    } else if (message == WM_LBUTTONDOWN) {
        state = kStatePressed;
    }
    // Every frame repaint asks each caption button again; one that already shows the look it
    // is asked for keeps its canvas, and nothing of it needs presenting. A running fade still
    // gets its new drawing, which ends it where the old one stood.
    const DrawnLook look = {PartName(), state, m_width, m_height, GetHostTheme(), m_canvasBitmap};
    if (m_lookDrawn && look == m_drawnLook && (m_state & kStateTransition) == 0) {
        return;
    }
    DrawContext context{};
    ElementRectF paint{};
    BeginElementDraw(handle, &context, &paint);
    const Gdiplus::RectF client(context.client.x, context.client.y, context.client.width,
                                context.client.height);
    DrawThemeStatePart(GetHostTheme(), look.part, context.graphics, client, state);
    // Only a drawing of the whole canvas leaves it showing one look.
    m_drawnLook = look;
    m_lookDrawn = paint.x <= 0.0f && paint.y <= 0.0f && paint.x + paint.width >= client.Width &&
                  paint.y + paint.height >= client.Height;
    EndElementDraw(handle, &context);
}

void SysButton::OnSysButtonThemeChanged() {
    ThemeRect size{};
    if (GetThemeRect(GetHostTheme(), PartName(), kThemeKeySize, &size)) {
        MoveElement(std::nullopt, std::nullopt, size.v[2], size.v[3]);
    }
}

ElementHandle SysButton::CreateSysButton(std::uint32_t parent, std::uint32_t theme, std::int32_t x,
                                         std::int32_t y, std::uint32_t kind) {
    m_kind = kind;
    ThemeRect size{};
    GetThemeRect(theme, SysButtonPartName(kind), kThemeKeySize, &size);
    ElementCreateOptions options;
    options.visible = 1;
    options.focusable = 0;
    options.mouseTrack = 1;
    options.tabStop = 0;
    options.transitionInterval = kSysButtonFadeInterval;
    options.transitionFrames = kSysButtonFadeFrames;
    return CreateElement(parent, x, y, size.v[2], size.v[3], kTypeSysButton, kClassSysButton,
                         options);
}

std::uint32_t SysButton::GetSysButtonKind() {
    return m_kind;
}

}  // namespace toolkit
