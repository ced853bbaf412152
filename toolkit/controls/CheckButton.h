// CheckButton: a button drawn as a theme glyph with the caption beside it, holding a checked
// state that each click toggles. The toggle happens in the pre-filter, before the application's
// click routine runs, so that routine already sees the new state.
#pragma once

#include "controls/Button.h"

namespace toolkit {

// The glyph layout shared by CheckButton and RadioButton (their slot 107): the glyph of the
// class's theme section sits at the left, the caption follows it and the icon is dropped. Draws
// the glyph for the state ("_ck" appended when checked) and gives the keyboard-focus frame.
void LayoutCheckGlyph(DrawContext* context, const char* section, std::int32_t state, bool checked,
                      Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect,
                      Gdiplus::RectF* focusRect);

class CheckButton : public Button {
public:
    CheckButton() = default;

    std::uint32_t Clone() override;
    LRESULT PreFilterMessage(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                             LPARAM lParam) override;
    void AdjustFocusRect(ElementRectF* frame) override;
    LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                           LPARAM lParam) override;
    std::int32_t BackgroundHook(DrawContext* context, std::int32_t state) override;
    void LayoutHook(ElementHandle handle, DrawContext* context, std::int32_t state,
                    Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect) override;

    // Slot 108.
    virtual bool CheckButtonChecked(std::optional<bool> value = std::nullopt);

private:
    bool m_checked = false;
    Gdiplus::RectF m_focusRect{};
};

}  // namespace toolkit
