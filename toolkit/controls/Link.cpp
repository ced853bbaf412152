// Link: the hyperlink hook on top of Label, its target and its three colours.
#include "controls/Link.h"

#include <shellapi.h>

#include "core/ElementMessages.h"
#include "core/ElementText.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kHoverRgb = 0xC06000;
constexpr std::uint32_t kVisitedRgb = 0x000080;
constexpr std::int32_t kFontStyleUnderline = 4;
constexpr std::uint32_t kTransitionIntervalMs = 25;
constexpr std::uint32_t kHoverFrames = 8;

}  // namespace

std::string LinkShellFile(const char* target, bool plainTarget) {
    const std::string text = target != nullptr ? target : "";
    return plainTarget ? text : kLinkMailPrefix + text;
}

// ---- Object slots -------------------------------------------------------------------------------

void Link::FreeMembers() {
    FreeText(&m_target);
    Label::FreeMembers();
}

std::uint32_t Link::Clone() {
    // Label::Clone would copy only the Label part, so the copy is made here, whole, and given its
    // own caption, format and target.
    Link* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    copy->m_caption = nullptr;
    StoreWideText(copy->m_caption, WideTextToBytes(m_caption));
    copy->m_format = nullptr;
    if (m_format != nullptr) {
        gp::GdipCloneStringFormat(m_format, &copy->m_format);
    }
    copy->m_target = DuplicateText(m_target);
    return AddressOf(copy);
}

// ---- Hook ---------------------------------------------------------------------------------------

LRESULT Link::PreHandleMessage(HWND, ElementHandle, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_DESTROY:
            m_visited = 0;
            FreeText(&m_target);
            return 0;
        case kMsgMouseEnter:
            SetUnderline(true);
            LabelTextColor(m_hoverColour);
            return 0;
        case kMsgMouseLeave:
            SetUnderline(false);
            LabelTextColor(m_visited != 0 ? m_visitedColour : m_normalColour);
            return 1;
        case kMsgClick:
            return OnClick();
        case kMsgTransitionEnd:
            m_transitionFrames = 0;
            return 0;
        default:
            return 0;
    }
}

void Link::OnCreate() {
    m_normalColour = m_textColour;
    m_plainTarget = 1;
    m_hoverColour = RgbToArgb(kHoverRgb);
    m_visitedColour = RgbToArgb(kVisitedRgb);
    m_wordWrap = 0;
    m_verticalAlign = kLabelAlignMiddle;
    if (m_format != nullptr) {
        SetStringFormatTrimming(m_format, Gdiplus::StringTrimmingNone);
        gp::GdipSetStringFormatHotkeyPrefix(m_format, Gdiplus::HotkeyPrefixNone);
        SetStringFormatFlags(m_format, kFormatNoWrap);
    }
    ElementFocusable(true);
    ElementTabStop(true);
    m_drawTabStop = 1;
    ElementMouseTrack(true);
    m_transitionInterval = kTransitionIntervalMs;
    m_classTypeId = kTypeLink;
    ElementClassName(kClassLink);
}

void Link::SetUnderline(bool on) {
    // The font change redraws at once; that redraw must not fade, only the colour change after
    // it does.
    m_transitionFrames = 0;
    const std::int32_t style = ElementFontStyle();
    ElementFontStyle(on ? (style | kFontStyleUnderline) : (style & ~kFontStyleUnderline));
    m_transitionFrames = kHoverFrames;
}

LRESULT Link::OnClick() {
    m_visited = 1;
    if (m_target == nullptr || m_target[0] == '\0') {
        return 0;
    }
    const std::string file = LinkShellFile(m_target, m_plainTarget != 0);
    // Whether the shell found a program for it changes nothing here.
    ShellExecuteA(nullptr, nullptr, file.c_str(), nullptr, "", SW_SHOWNORMAL);
    LabelTextColor(m_visitedColour);
    return 1;
}

// ---- Properties ---------------------------------------------------------------------------------

std::string Link::LinkTarget(std::optional<const char*> target) {
    if (target) {
        char* copy = DuplicateText(*target);
        FreeText(&m_target);
        m_target = copy;
    }
    return m_target != nullptr ? m_target : "";
}

bool Link::LinkPlainTarget(std::optional<std::int32_t> value) {
    if (value) {
        m_plainTarget = *value == 1 ? 1 : 0;
    }
    return m_plainTarget != 0;
}

Gdiplus::ARGB Link::LinkNormalColor(std::optional<Gdiplus::ARGB> value) {
    if (value) {
        m_normalColour = *value;
        LabelTextColor(m_normalColour);
    }
    return m_normalColour;
}

Gdiplus::ARGB Link::LinkHoverColor(std::optional<Gdiplus::ARGB> value) {
    if (value) {
        m_hoverColour = *value;
    }
    return m_hoverColour;
}

Gdiplus::ARGB Link::LinkVisitedColor(std::optional<Gdiplus::ARGB> value) {
    if (value) {
        m_visitedColour = *value;
        if (m_visited != 0) {
            LabelTextColor(m_visitedColour);
        }
    }
    return m_visitedColour;
}

}  // namespace toolkit
