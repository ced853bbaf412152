// ImageListButton: a button whose background is one cell of a horizontal strip picture, the
// cell chosen by the visual state (normal, hover, pressed and, in strips of more than three
// cells, disabled).
#pragma once

#include "controls/Button.h"
#include "foundation/Drawing.h"

namespace toolkit {

// The strip area a state shows, from the strip's size, its cell count and the gap between
// cells; nothing for a strip without cells.
std::optional<Gdiplus::RectF> StripCellFor(std::int32_t state, float stripWidth, float stripHeight,
                                           std::int32_t cellCount, std::int32_t cellGap);

class ImageListButton : public Button {
public:
    ImageListButton() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                           LPARAM lParam) override;
    std::int32_t BackgroundHook(DrawContext* context, std::int32_t state) override;

    // Slot 108. Set: picture file bytes (empty: none); get: the strip as PNG bytes.
    virtual ByteArray ImageListButtonImage(std::optional<ByteArray> bytes = std::nullopt);
    // Slots 109-111.
    virtual std::int32_t ImageListButtonCellCount(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ImageListButtonCellGap(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ImageListButtonDrawMode(std::optional<std::int32_t> value = std::nullopt);
    // Slot 112: set when any margin is given (the others become 0).
    virtual GridMargins ImageListButtonGridMargins(std::optional<float> left = std::nullopt,
                                                   std::optional<float> top = std::nullopt,
                                                   std::optional<float> right = std::nullopt,
                                                   std::optional<float> bottom = std::nullopt);
    // Slot 113: the strip and its cells in one call, then one repaint.
    virtual void SetImageListButtonImage(const ByteArray& bytes, std::int32_t cellCount,
                                         std::int32_t cellGap,
                                         std::optional<std::int32_t> drawMode = std::nullopt,
                                         std::optional<GridMargins> margins = std::nullopt);

private:
    std::int32_t m_cellCount = 0;
    Gdiplus::GpImage* m_strip = nullptr;
    std::int32_t m_cellGap = 0;
    std::int32_t m_drawMode = kDrawNatural;
    GridMargins m_margins{};
};

}  // namespace toolkit
