// The caption parts of a host window: the icon image box, the title label and the caption
// buttons.
#include <algorithm>
#include <memory>

#include "core/ElementEvents.h"
#include "core/HostWindow.h"
#include "core/SysButton.h"
#include "core/ThemePainter.h"

namespace toolkit {

namespace {

constexpr int kCaptionIconSize = 16;
constexpr Gdiplus::ARGB kTitleColour = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kIconBackground = 0;

// Caption parts are no input targets of their own: they never take the focus or a Tab stop.
void KeepOutOfFocus(Element* part) {
    part->ElementFocusable(false);
    part->ElementTabStop(false);
}

}  // namespace

void HostWindow::CreateCaptionParts() {
    iconOffset = (std::max(captionHeight, kCaptionIconSize) - kCaptionIconSize) / 2;
    const auto parent = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));

    if ((captionFlags & kCaptionIcon) != 0) {
        m_iconObject = std::make_unique<ImageBox>();
        m_iconObject->CreateImageBoxFromFile(
            parent, iconOffset, iconOffset, kCaptionIconSize, kCaptionIconSize,
            ImageSourceFromIcon(GetWindowIcon(window, false)), kIconBackground);
        KeepOutOfFocus(m_iconObject.get());
        iconBox = m_iconObject.get();
    }
    if ((captionFlags & kCaptionTitle) != 0) {
        const std::int32_t left = m_iconObject != nullptr ? iconOffset + kCaptionIconSize : 0;
        LabelCreateOptions options;
        options.textColour = kTitleColour;
        m_titleObject = std::make_unique<Label>();
        m_titleObject->CreateLabel(parent, left, 1, std::max(BodyWidth() - left, 0), captionHeight,
                                   GetWindowTitleText(window).c_str(), options);
        KeepOutOfFocus(m_titleObject.get());
        // Pressing on the title drags the window as on empty caption.
        m_titleObject->ElementMouseTrack(false);
        titleLabel = m_titleObject.get();
    }

    std::int32_t x = BodyWidth() + m_captionOffsetData.right;
    for (std::uint32_t kind : kCaptionButtonKinds) {
        if ((captionFlags & kind) == 0) {
            continue;
        }
        m_captionButtons.push_back(std::make_unique<SysButton>());
        SysButton* button = m_captionButtons.back().get();
        ThemeRect size{};
        if (!GetThemeRect(theme, SysButtonPartName(kind), kThemeKeySize, &size)) {
            button->m_kind = kind;
            continue;  // a kind the theme has no size for stays uncreated
        }
        x -= size.v[2];
        button->CreateSysButton(parent, theme, x, m_captionOffsetData.top, kind);
    }
}

void HostWindow::FreeCaptionObjects() {
    // Both are elements of the window; one still alive leaves the window before its object goes.
    if (m_titleObject != nullptr) {
        if (m_titleObject->IsElementAlive()) {
            m_titleObject->ElementWndProc(WM_DESTROY, 0, 0);
        }
        m_titleObject->FreeMembers();
        m_titleObject.reset();
    }
    if (m_iconObject != nullptr) {
        if (m_iconObject->IsElementAlive()) {
            m_iconObject->ElementWndProc(WM_DESTROY, 0, 0);
        }
        m_iconObject->FreeMembers();
        m_iconObject.reset();
    }
    titleLabel = nullptr;
    iconBox = nullptr;
}

void HostWindow::SetCaptionTitle(const ByteArray& title) {
    if (m_titleObject != nullptr && m_titleObject->IsElementAlive()) {
        m_titleObject->LabelTitleW(title);
    }
}

void HostWindow::SetCaptionIcon(HICON icon) {
    if (m_iconObject != nullptr && m_iconObject->IsElementAlive()) {
        m_iconObject->SetImageFromFile(ImageSourceFromIcon(icon));
    }
}

}  // namespace toolkit
