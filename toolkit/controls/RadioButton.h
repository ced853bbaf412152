// RadioButton: a check glyph that a click checks and that unchecks the other radio buttons of
// its group. The group value is the parent element's handle unless set, so every radio button
// of one parent forms one group.
#pragma once

#include "controls/Button.h"

namespace toolkit {

class RadioButton : public Button {
public:
    RadioButton() = default;

    std::uint32_t Clone() override;
    LRESULT PreFilterMessage(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                             LPARAM lParam) override;
    void AdjustFocusRect(ElementRectF* frame) override;
    LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                           LPARAM lParam) override;
    std::int32_t BackgroundHook(DrawContext* context, std::int32_t state) override;
    void LayoutHook(ElementHandle handle, DrawContext* context, std::int32_t state,
                    Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect) override;

    // Slot 108: checks this button and unchecks the checked ones of its group in its container.
    virtual void CheckRadioButton();
    // Slot 109: the checked state alone; the rest of the group is left as it is.
    virtual bool RadioButtonChecked(std::optional<bool> value = std::nullopt);
    // Slot 110.
    virtual std::uint32_t RadioButtonGroup(std::optional<std::uint32_t> value = std::nullopt);

private:
    bool m_checked = false;
    std::uint32_t m_group = 0;
    Gdiplus::RectF m_focusRect{};
};

}  // namespace toolkit
