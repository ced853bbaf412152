#include "ReferenceRendering.h"

#include "foundation/Drawing.h"
#include "view/MapRendering.h"

namespace mapview_test {
namespace {

using Gdiplus::ARGB;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using toolkit::GpImagePtr;

constexpr ARGB kTransparent = 0;
constexpr ARGB kObjectMarkColour = toolkit::RgbToArgb(0x0000FF, 150);
constexpr ARGB kPickerGround = toolkit::RgbToArgb(0xFF8800, 20);
constexpr ARGB kPickerEdge = toolkit::RgbToArgb(0x0000FF);

float F(int64_t value) {
    return static_cast<float>(value);
}

bool MakeCanvas(const PictureSize& size, ReferenceCanvas& canvas) {
    canvas.picture =
        toolkit::CreateBitmap(static_cast<int>(size.width), static_cast<int>(size.height));
    canvas.graphics = toolkit::GetImageGraphics(canvas.picture.get());
    return canvas.picture && canvas.graphics &&
           toolkit::ClearGraphics(canvas.graphics.get(), kTransparent);
}

void DrawCellPicture(GpGraphics* graphics, GpImage* picture, const PicturePoint& at,
                     const MapViewSettings& settings, bool upperHalf) {
    toolkit::DrawImageAt(graphics, picture, F(at.x), F(at.y), F(settings.cellWidth),
                         F(settings.cellHeight), upperHalf);
}

void DrawCellLines(GpGraphics* graphics, ARGB colour, const PicturePoint& at, float width,
                   float leftLength) {
    toolkit::DrawLine(graphics, colour, F(at.x), F(at.y), F(at.x), F(at.y) + leftLength);
    toolkit::DrawLine(graphics, colour, F(at.x), F(at.y), F(at.x) + width, F(at.y));
}

GpImage* PictureFor(const std::vector<GpImagePtr>& pictures, int value) {
    if (value < 0 || static_cast<size_t>(value) >= pictures.size()) {
        return nullptr;
    }
    return pictures[static_cast<size_t>(value)].get();
}

void DrawLayerAt(GpGraphics* graphics, const ReferenceCanvas& layer, const PicturePoint& at) {
    toolkit::DrawImageScaled(graphics, layer.picture.get(),
                             toolkit::MakeRectF(F(at.x), F(at.y), 0, 0), false);
}

}  // namespace

std::vector<GpImagePtr> LoadReferencePictures(const std::string& folder, int32_t levelNumber) {
    std::vector<GpImagePtr> pictures(kSuperTileCount);
    for (int32_t i = 0; i < kSuperTileCount; ++i) {
        pictures[static_cast<size_t>(i)] =
            toolkit::LoadImageFile(SuperTilePicturePath(folder, levelNumber, i).c_str());
    }
    return pictures;
}

bool RenderReferenceLayers(const LevelRecord& level, const std::vector<GpImagePtr>& pictures,
                           const MapViewSettings& settings, ReferenceLayers& layers) {
    const MapGeometry g = LevelMapGeometry(level, settings.cellWidth, settings.cellHeight);
    const PictureSize plain = PlainMapSize(g);
    const PictureSize inGame = InGameMapSize(g);
    if (!MakeCanvas(plain, layers.plainMap) || !MakeCanvas(inGame, layers.inGameMap) ||
        !MakeCanvas(plain, layers.plainGrid) || !MakeCanvas(inGame, layers.inGameGrid) ||
        !MakeCanvas(plain, layers.plainObjects) || !MakeCanvas(plain, layers.inGameObjects)) {
        return false;
    }
    const float width = F(settings.cellWidth);
    const float height = F(settings.cellHeight);
    for (int32_t s = 1; s <= g.screens; ++s) {
        const ScreenRecord& screen = level.screens[static_cast<size_t>(s) - 1];
        for (int32_t c = 1; c <= g.columns; ++c) {
            for (int32_t r = 1; r <= g.rows; ++r) {
                const PicturePoint plainAt = PlainCellOrigin(g, s, c, r);
                const PicturePoint inGameAt = InGameCellOrigin(g, s, c, r);
                const bool half = IsHalfRow(g, r);
                const size_t cell = static_cast<size_t>((r - 1) * g.columns + (c - 1));
                if (cell < screen.cells.size()) {
                    GpImage* picture = PictureFor(pictures, screen.cells[cell]);
                    DrawCellPicture(layers.plainMap.graphics.get(), picture, plainAt, settings,
                                    false);
                    DrawCellPicture(layers.inGameMap.graphics.get(), picture, inGameAt, settings,
                                    half);
                }
                const ARGB colour =
                    IsSectionCell(g, c, r) ? settings.sectionColour : settings.gridColour;
                DrawCellLines(layers.plainGrid.graphics.get(), colour, plainAt, width, height);
                DrawCellLines(layers.inGameGrid.graphics.get(), colour, inGameAt, width,
                              half ? height / 2 : height);
            }
        }
    }
    for (const ObjectListRecord& list : level.objectLists) {
        for (const LevelObject& object : list.objects) {
            const PicturePoint plainAt = ObjectMarkOrigin(g, object, false);
            const PicturePoint inGameAt = ObjectMarkOrigin(g, object, true);
            toolkit::FillRect(layers.plainObjects.graphics.get(),
                              toolkit::MakeRectF(F(plainAt.x), F(plainAt.y), width, height),
                              kObjectMarkColour);
            toolkit::FillRect(layers.inGameObjects.graphics.get(),
                              toolkit::MakeRectF(F(inGameAt.x), F(inGameAt.y), width, height),
                              kObjectMarkColour);
        }
    }
    return true;
}

toolkit::GpBitmapPtr ComposeReferenceLayers(const LevelRecord& level, const ReferenceLayers& layers,
                                            int32_t separation) {
    const PictureSize plain{toolkit::GetImageWidth(layers.plainMap.picture.get()),
                            toolkit::GetImageHeight(layers.plainMap.picture.get())};
    const int64_t gap = ClampSeparation(separation);
    const bool vertical = level.vertical != 0;
    const PictureSize size = vertical ? PictureSize{2 * plain.width + gap, plain.height}
                                      : PictureSize{plain.width, 2 * plain.height + gap};
    ReferenceCanvas composed;
    if (!MakeCanvas(size, composed)) {
        return {};
    }
    const PicturePoint origin{};
    const PicturePoint second =
        vertical ? PicturePoint{plain.width + gap, 0} : PicturePoint{0, plain.height + gap};
    GpGraphics* graphics = composed.graphics.get();
    DrawLayerAt(graphics, layers.plainMap, origin);
    DrawLayerAt(graphics, layers.plainGrid, origin);
    DrawLayerAt(graphics, layers.plainObjects, origin);
    DrawLayerAt(graphics, layers.inGameMap, second);
    DrawLayerAt(graphics, layers.inGameGrid, second);
    DrawLayerAt(graphics, layers.inGameObjects, second);
    composed.graphics.reset();
    return std::move(composed.picture);
}

toolkit::GpBitmapPtr DrawReferencePicker(const std::vector<GpImagePtr>& pictures,
                                         const MapViewSettings& settings) {
    ReferenceCanvas canvas;
    if (!MakeCanvas(PickerSize(kSuperTileCount, settings.pickerColumns, settings.cellWidth,
                               settings.cellHeight),
                    canvas) ||
        !toolkit::ClearGraphics(canvas.graphics.get(), kPickerGround)) {
        return {};
    }
    GpGraphics* graphics = canvas.graphics.get();
    const float width = F(settings.cellWidth);
    const float height = F(settings.cellHeight);
    for (int32_t k = 0; k < kSuperTileCount; ++k) {
        const PicturePoint at =
            PickerCellOrigin(k, settings.pickerColumns, settings.cellWidth, settings.cellHeight);
        DrawCellPicture(graphics, PictureFor(pictures, k), at, settings, false);
        toolkit::DrawLine(graphics, kPickerEdge, F(at.x), F(at.y), F(at.x) + width, F(at.y));
        toolkit::DrawLine(graphics, kPickerEdge, F(at.x), F(at.y), F(at.x), F(at.y) + height);
    }
    canvas.graphics.reset();
    return std::move(canvas.picture);
}

}  // namespace mapview_test
