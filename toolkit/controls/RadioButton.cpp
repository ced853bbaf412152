// RadioButton: the group bookkeeping (message 20118 to the siblings) and the click.
#include "controls/RadioButton.h"

#include "controls/CheckButton.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementTree.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

std::uint32_t RadioButton::Clone() {
    RadioButton* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        CopyOwnedMembersTo(copy);
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

LRESULT RadioButton::PreFilterMessage(HWND, ElementHandle, UINT message, WPARAM, LPARAM) {
    if (message == kMsgClick) {
        CheckRadioButton();
    }
    return 0;
}

void RadioButton::AdjustFocusRect(ElementRectF* frame) {
    *frame = {m_focusRect.X, m_focusRect.Y, m_focusRect.Width, m_focusRect.Height};
}

LRESULT RadioButton::PreHandlerHook(HWND, ElementHandle, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            m_group = m_parent;
            m_classTypeId = kTypeRadioButton;
            ElementClassName(kClassRadioButton);
            m_drawTabStop = 1;
            break;
        case WM_DESTROY:
            m_checked = false;
            m_group = 0;
            break;
        case kMsgRadioGroup:
            if (m_checked && m_group == static_cast<std::uint32_t>(wParam) &&
                static_cast<ElementHandle>(lParam) != m_handle) {
                m_checked = false;
                if (!IsHidden()) {
                    InvalidateElement();
                }
            }
            break;
        default:
            break;
    }
    return 0;
}

std::int32_t RadioButton::BackgroundHook(DrawContext*, std::int32_t) {
    return 1;  // no button face: the glyph is the whole look
}

void RadioButton::LayoutHook(ElementHandle, DrawContext* context, std::int32_t state,
                             Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect) {
    LayoutCheckGlyph(context, kClassRadioButton, state, m_checked, captionRect, iconRect,
                     &m_focusRect);
}

void RadioButton::CheckRadioButton() {
    if (m_checked) {
        return;
    }
    HostRecordFields* host = Host();
    if (host == nullptr) {
        return;
    }
    // Every radio button of the container hears the group value; those of the same group that
    // are checked uncheck themselves. A sibling's handler may run anything, so the next link is
    // read before each call.
    ElementHandle child = *ContainerLinks(host, m_parent).first;
    while (child != 0) {
        const ElementHandle next = ReadElementField(child, kFieldNextSibling);
        if (child != m_handle && ReadElementField(child, kFieldClassTypeId) == kTypeRadioButton) {
            CallElementProc(child, kMsgRadioGroup, m_group, m_handle);
        }
        child = next;
    }
    m_checked = true;
    InvalidateElement();
}

bool RadioButton::RadioButtonChecked(std::optional<bool> value) {
    SetAndInvalidate(m_checked, value);
    return m_checked;
}

std::uint32_t RadioButton::RadioButtonGroup(std::optional<std::uint32_t> value) {
    SetAndInvalidate(m_group, value);
    return m_group;
}

}  // namespace toolkit
