#include "view/MapRendering.h"

#include "foundation/Drawing.h"
#include "settings/AppPaths.h"
#include "view/MapEditing.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

using Gdiplus::ARGB;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using toolkit::GpBitmapPtr;
using toolkit::GpGraphicsPtr;
using toolkit::GpImagePtr;
using toolkit::RgbToArgb;

constexpr ARGB kTransparent = 0;
// Object marks: a red square, half see-through, over the object's cell.
constexpr ARGB kObjectMarkColour = RgbToArgb(0x0000FF, 150);
// The picker's ground is a faint orange; each cell gets an opaque red top and left edge.
constexpr ARGB kPickerGround = RgbToArgb(0xFF8800, 20);
constexpr ARGB kPickerEdge = RgbToArgb(0x0000FF);

// The point where SelectLevel picks the first super-tile, inside the picker's frame.
constexpr int32_t kFirstPickX = 2;
constexpr int32_t kFirstPickY = 2;

// The level kind list's item for a boss room; every other kind selects the item of its value.
constexpr int32_t kBossRoomKindItem = 2;

float F(int64_t value) {
    return static_cast<float>(value);
}

// The top-left cellWidth x cellHeight of the picture (or its upper half) at (x, y), unscaled.
void DrawCellPicture(GpGraphics* graphics, GpImage* picture, const PicturePoint& at,
                     const MapViewSettings& settings, bool upperHalf) {
    toolkit::DrawImageAt(graphics, picture, F(at.x), F(at.y), F(settings.cellWidth),
                         F(settings.cellHeight), upperHalf);
}

// Makes the rectangle transparent; what lay there does not show through.
void ClearArea(GpGraphics* graphics, const PicturePoint& at, float width, float height) {
    if (graphics == nullptr) {
        return;
    }
    Gdiplus::CompositingMode mode = Gdiplus::CompositingModeSourceOver;
    Gdiplus::DllExports::GdipGetCompositingMode(graphics, &mode);
    Gdiplus::DllExports::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
    toolkit::FillRect(graphics, toolkit::MakeRectF(F(at.x), F(at.y), width, height), kTransparent);
    Gdiplus::DllExports::GdipSetCompositingMode(graphics, mode);
}

void DrawCellLines(GpGraphics* graphics, ARGB colour, const PicturePoint& at, float width,
                   float leftLength) {
    toolkit::DrawLine(graphics, colour, F(at.x), F(at.y), F(at.x), F(at.y) + leftLength);
    toolkit::DrawLine(graphics, colour, F(at.x), F(at.y), F(at.x) + width, F(at.y));
}

const ScreenRecord* ScreenAt(const LevelRecord& level, int32_t screen) {
    if (screen < 1 || static_cast<size_t>(screen) > level.screens.size()) {
        return nullptr;
    }
    return &level.screens[static_cast<size_t>(screen) - 1];
}

GpImage* PictureFor(const std::vector<GpImagePtr>& pictures, int value) {
    if (value < 0 || value >= kSuperTileCount || static_cast<size_t>(value) >= pictures.size()) {
        return nullptr;
    }
    return pictures[static_cast<size_t>(value)].get();
}

void RenderCells(const LevelRecord& level, const MapGeometry& g,
                 const std::vector<GpImagePtr>& pictures, const MapViewSettings& settings,
                 MapLayers& layers) {
    const float width = F(settings.cellWidth);
    const float height = F(settings.cellHeight);
    for (int32_t s = 1; s <= g.screens; ++s) {
        const ScreenRecord* screen = ScreenAt(level, s);
        for (int32_t c = 1; c <= g.columns; ++c) {
            for (int32_t r = 1; r <= g.rows; ++r) {
                const PicturePoint plain = PlainCellOrigin(g, s, c, r);
                const PicturePoint inGame = InGameCellOrigin(g, s, c, r);
                const bool half = IsHalfRow(g, r);
                const size_t cell = static_cast<size_t>((r - 1) * g.columns + (c - 1));
                if (screen != nullptr && cell < screen->cells.size()) {
                    GpImage* picture = PictureFor(pictures, screen->cells[cell]);
                    DrawCellPicture(layers.plainMap.graphics.get(), picture, plain, settings,
                                    false);
                    DrawCellPicture(layers.inGameMap.graphics.get(), picture, inGame, settings,
                                    half);
                }
                const ARGB colour =
                    IsSectionCell(g, c, r) ? settings.sectionColour : settings.gridColour;
                DrawCellLines(layers.plainGrid.graphics.get(), colour, plain, width, height);
                DrawCellLines(layers.inGameGrid.graphics.get(), colour, inGame, width,
                              half ? height / 2 : height);
            }
        }
    }
}

void RenderObjectMarks(const LevelRecord& level, const MapGeometry& g,
                       const MapViewSettings& settings, MapLayers& layers) {
    const float width = F(settings.cellWidth);
    const float height = F(settings.cellHeight);
    for (const ObjectListRecord& list : level.objectLists) {
        for (const LevelObject& object : list.objects) {
            const PicturePoint plain = ObjectMarkOrigin(g, object, false);
            const PicturePoint inGame = ObjectMarkOrigin(g, object, true);
            toolkit::FillRect(layers.plainObjects.graphics.get(),
                              toolkit::MakeRectF(F(plain.x), F(plain.y), width, height),
                              kObjectMarkColour);
            toolkit::FillRect(layers.inGameObjects.graphics.get(),
                              toolkit::MakeRectF(F(inGame.x), F(inGame.y), width, height),
                              kObjectMarkColour);
        }
    }
}

void DrawLayerAt(GpGraphics* graphics, const MapCanvas& layer, const PicturePoint& at) {
    toolkit::DrawImageScaled(graphics, layer.picture.get(),
                             toolkit::MakeRectF(F(at.x), F(at.y), 0, 0), false);
}

}  // namespace

bool MapCanvas::Make(const PictureSize& size) {
    Reset();
    if (!PictureFits(size)) {
        return false;
    }
    picture = toolkit::CreateBitmap(static_cast<int>(size.width), static_cast<int>(size.height));
    graphics = toolkit::GetImageGraphics(picture.get());
    if (!picture || !graphics || !toolkit::ClearGraphics(graphics.get(), kTransparent)) {
        Reset();
        return false;
    }
    return true;
}

void MapLayers::Reset() {
    for (MapCanvas* layer :
         {&plainMap, &inGameMap, &plainGrid, &inGameGrid, &plainObjects, &inGameObjects}) {
        layer->Reset();
    }
}

std::string MapPictureFolder() {
    return ProgramFolder() + kMapPictureFolderName;
}

std::string SuperTilePicturePath(const std::string& folder, int32_t levelNumber, int32_t index) {
    char name[16];
    std::snprintf(name, sizeof name, "%02X", static_cast<unsigned>(index) & 0xFFu);
    return folder + std::to_string(levelNumber) + "\\" + name + kMapPictureExtension;
}

void LoadSuperTilePictures(const std::string& folder, int32_t levelNumber,
                           std::vector<GpImagePtr>& pictures) {
    pictures.resize(kSuperTileCount);
    for (int32_t i = 0; i < kSuperTileCount; ++i) {
        pictures[static_cast<size_t>(i)].reset();
        pictures[static_cast<size_t>(i)] =
            toolkit::LoadImageFile(SuperTilePicturePath(folder, levelNumber, i).c_str());
    }
}

void RedrawMapCell(MapViewState& view, const MapGeometry& g, int32_t screen, int32_t column,
                   int32_t row, int32_t value) {
    const MapViewSettings& settings = view.settings;
    GpImage* picture = PictureFor(view.pictures, value);
    const float width = F(settings.cellWidth);
    const float height = F(settings.cellHeight);
    const PicturePoint plain = PlainCellOrigin(g, screen, column, row);
    ClearArea(view.layers.plainMap.graphics.get(), plain, width, height);
    DrawCellPicture(view.layers.plainMap.graphics.get(), picture, plain, settings, false);
    const PicturePoint inGame = InGameCellOrigin(g, screen, column, row);
    const bool half = IsHalfRow(g, row);
    ClearArea(view.layers.inGameMap.graphics.get(), inGame, width, half ? height / 2 : height);
    DrawCellPicture(view.layers.inGameMap.graphics.get(), picture, inGame, settings, half);
}

bool RenderLevelMap(const LevelRecord& level, const std::vector<GpImagePtr>& pictures,
                    const MapViewSettings& settings, MapLayers& layers) {
    layers.Reset();
    const MapGeometry g = LevelMapGeometry(level, settings.cellWidth, settings.cellHeight);
    // Layers that could never be composed are not made at all.
    if (!PictureFits(ComposedMapSize(g, settings.separation))) {
        return false;
    }
    const PictureSize plain = PlainMapSize(g);
    const PictureSize inGame = InGameMapSize(g);
    const bool made = layers.plainMap.Make(plain) && layers.inGameMap.Make(inGame) &&
                      layers.plainGrid.Make(plain) && layers.inGameGrid.Make(inGame) &&
                      layers.plainObjects.Make(plain) && layers.inGameObjects.Make(plain);
    if (!made) {
        layers.Reset();
        return false;
    }
    RenderCells(level, g, pictures, settings, layers);
    RenderObjectMarks(level, g, settings, layers);
    return true;
}

bool ComposeMapLayers(const LevelRecord& level, const MapLayers& layers, int32_t separation,
                      MapCanvas& composed) {
    composed.Reset();
    if (!layers.Complete()) {
        return false;
    }
    // W x H is the plain map's size, whatever cell size the layers were drawn with.
    const PictureSize plain{toolkit::GetImageWidth(layers.plainMap.picture.get()),
                            toolkit::GetImageHeight(layers.plainMap.picture.get())};
    const int64_t gap = ClampSeparation(separation);
    const bool vertical = level.vertical != 0;
    const PictureSize size = vertical ? PictureSize{2 * plain.width + gap, plain.height}
                                      : PictureSize{plain.width, 2 * plain.height + gap};
    if (!composed.Make(size)) {
        return false;
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
    return true;
}

GpBitmapPtr DrawTilePicker(const std::vector<GpImagePtr>& pictures,
                           const MapViewSettings& settings) {
    MapCanvas canvas;
    if (!canvas.Make(PickerSize(kSuperTileCount, settings.pickerColumns, settings.cellWidth,
                                settings.cellHeight)) ||
        !toolkit::ClearGraphics(canvas.graphics.get(), kPickerGround)) {
        return GpBitmapPtr();
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

void RefreshMapView(MapViewState& view, MapViewHost& host, const LevelRecord& level) {
    MapCanvas fresh;
    ComposeMapLayers(level, view.layers, view.settings.separation, fresh);
    // The viewer lets go of the old picture before it is released.
    host.SetMapPicture(fresh.picture.get());
    view.composed = std::move(fresh);
}

void DrawLevelPictures(MapViewState& view, MapViewHost& host, const LevelRecord& level) {
    const std::string folder = view.pictureFolder.empty() ? MapPictureFolder() : view.pictureFolder;
    LoadSuperTilePictures(folder, level.number, view.pictures);
    RenderLevelMap(level, view.pictures, view.settings, view.layers);
    RefreshMapView(view, host, level);
    GpBitmapPtr picker = DrawTilePicker(view.pictures, view.settings);
    host.SetPickerPicture(picker.get());
    view.picker = std::move(picker);
}

int SelectLevel(MapViewState& view, MapViewHost& host, const LevelList& levels, int32_t n) {
    if (n < 1 || static_cast<size_t>(n) > levels.records.size()) {
        return 0;
    }
    const LevelRecord& level = levels.records[static_cast<size_t>(n) - 1];
    view.currentLevel = n;
    host.SelectLevelItems(n - 1, level.vertical,
                          level.kind == kBossRoomKind ? kBossRoomKindItem : level.kind);
    DrawLevelPictures(view, host, level);
    OnImageClick(view, host, nullptr, ImageTarget::TilePicker, kFirstPickX, kFirstPickY, 0);
    return 1;
}

void ResetMapView(MapViewState& view, MapViewHost& host) {
    host.SetMapPicture(nullptr);
    host.SetPickerPicture(nullptr);
    view.composed.Reset();
    view.layers.Reset();
    view.picker.reset();
    view.pictures.clear();
    view.currentLevel = 0;
    view.selectedTile = 0;
    view.hover = HoverCell{};
}
