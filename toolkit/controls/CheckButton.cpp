// CheckButton: the checked state, the click toggle and the glyph layout it shares with
// RadioButton.
#include "controls/CheckButton.h"

#include <string>

#include "core/ElementMessages.h"
#include "core/ThemePainter.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

namespace {

constexpr float kGlyphX = 2.0f;
constexpr float kGlyphCaptionGap = 3.0f;
// The focus frame surrounds the caption by this much on the left and top.
constexpr float kFocusFrameInset = 2.0f;
constexpr float kFocusFrameGrowth = 5.0f;
// Appended to a state name for the look of a checked glyph.
constexpr char kCheckedSuffix[] = "_ck";

}  // namespace

void LayoutCheckGlyph(DrawContext* context, const char* section, std::int32_t state, bool checked,
                      Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect,
                      Gdiplus::RectF* focusRect) {
    ThemeRect size{};
    GetThemeRect(context->theme, section, kThemeKeySize, &size);
    const float glyphWidth = static_cast<float>(size.v[2]);
    const float glyphHeight = static_cast<float>(size.v[3]);
    const float glyphY =
        static_cast<float>(static_cast<std::int32_t>((context->paint.height - glyphHeight) / 2.0f));

    iconRect->Width = 0.0f;
    captionRect->X = kGlyphX + glyphWidth + kGlyphCaptionGap;
    if (static_cast<std::int32_t>(context->paint.height) % 2 != 0) {
        captionRect->Y += 1.0f;
    }
    // Button moved the caption one pixel down for the pressed look; the glyph alone shows it.
    if (state == kButtonPressed) {
        captionRect->Y -= 1.0f;
    }

    std::string stateName = ThemeStateName(static_cast<std::uint32_t>(state));
    if (checked) {
        stateName += kCheckedSuffix;
    }
    DrawThemePart(context->theme, section, context->graphics,
                  Gdiplus::RectF(kGlyphX, glyphY, glyphWidth, glyphHeight), stateName.c_str());

    *focusRect = Gdiplus::RectF(
        captionRect->X - kFocusFrameInset, captionRect->Y - kFocusFrameInset,
        captionRect->Width + kFocusFrameGrowth, captionRect->Height + kFocusFrameGrowth);
}

std::uint32_t CheckButton::Clone() {
    CheckButton* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        CopyOwnedMembersTo(copy);
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

LRESULT CheckButton::PreFilterMessage(HWND, ElementHandle, UINT message, WPARAM, LPARAM) {
    if (message == kMsgClick) {
        m_checked = !m_checked;
        InvalidateElement();
    }
    return 0;
}

void CheckButton::AdjustFocusRect(ElementRectF* frame) {
    *frame = {m_focusRect.X, m_focusRect.Y, m_focusRect.Width, m_focusRect.Height};
}

LRESULT CheckButton::PreHandlerHook(HWND, ElementHandle, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CREATE:
            m_classTypeId = kTypeCheckButton;
            ElementClassName(kClassCheckButton);
            m_drawTabStop = 1;
            break;
        case WM_DESTROY:
            m_checked = false;
            break;
        default:
            break;
    }
    return 0;
}

std::int32_t CheckButton::BackgroundHook(DrawContext*, std::int32_t) {
    return 1;  // no button face: the glyph is the whole look
}

void CheckButton::LayoutHook(ElementHandle, DrawContext* context, std::int32_t state,
                             Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect) {
    // The check box has no look of its own for the focused state.
    const std::int32_t glyphState = state == static_cast<std::int32_t>(kStateFocused)
                                        ? static_cast<std::int32_t>(kButtonNormal)
                                        : state;
    LayoutCheckGlyph(context, kClassCheckButton, glyphState, m_checked, captionRect, iconRect,
                     &m_focusRect);
}

bool CheckButton::CheckButtonChecked(std::optional<bool> value) {
    SetAndInvalidate(m_checked, value);
    return m_checked;
}

}  // namespace toolkit
