// ThunderButton: a button drawn from the toolkit's own three-face picture as a nine-grid, with a
// white glow spot that runs around its rounded border while it has the keyboard focus.
#pragma once

#include "controls/Button.h"

namespace toolkit {

// The path of the glow spot: one side per phase, clockwise from the top-left corner.
enum GlowPhase : std::int32_t {
    kGlowAlongTop = 1,
    kGlowDownRight = 2,
    kGlowAlongBottom = 3,
    kGlowUpLeft = 4,
};

struct GlowTrack {
    std::int32_t phase = kGlowAlongTop;
    float x = 0;
    float y = 0;
};

// One timer tick of the glow on a button of the given size.
void AdvanceGlow(GlowTrack* glow, std::int32_t width, std::int32_t height);

// The shared picture: three button faces side by side, made on the first ThunderButton's
// WM_CREATE and kept for the rest of the process.
Gdiplus::GpImage* ThunderButtonPicture();

class ThunderButton : public Button {
public:
    ThunderButton() = default;

    std::uint32_t Clone() override;
    LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                           LPARAM lParam) override;
    std::int32_t BackgroundHook(DrawContext* context, std::int32_t state) override;
    void LayoutHook(ElementHandle handle, DrawContext* context, std::int32_t state,
                    Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect) override;

    // Slot 108: moves the glow one step.
    virtual void ThunderButtonTick();

    const GlowTrack& Glow() const { return m_glow; }
    bool GlowRunning() const { return m_focused; }

private:
    void DrawGlow(DrawContext* context);

    bool m_focused = false;
    bool m_transitionRunning = false;
    GlowTrack m_glow{};
};

}  // namespace toolkit
