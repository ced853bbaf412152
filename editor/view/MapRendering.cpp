#include "view/MapRendering.h"

#include "settings/AppPaths.h"
#include "view/MapStamps.h"

#include <string>
#include <utility>

namespace {

using Gdiplus::ARGB;
using toolkit::ArgbPixels;
using toolkit::PixelBitmap;
using toolkit::PixelRect;
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

const ScreenRecord* ScreenAt(const LevelRecord& level, int32_t screen) {
    if (screen < 1 || static_cast<size_t>(screen) > level.screens.size()) {
        return nullptr;
    }
    return &level.screens[static_cast<size_t>(screen) - 1];
}

const SuperTilePicture* PictureFor(const std::vector<SuperTilePicture>& pictures, int value) {
    if (value < 0 || value >= kSuperTileCount || static_cast<size_t>(value) >= pictures.size()) {
        return nullptr;
    }
    return &pictures[static_cast<size_t>(value)];
}

// A half row shows the upper half of its picture; the half is cut as the drawing helpers cut it.
int32_t HalfHeight(const MapViewSettings& settings) {
    return static_cast<int32_t>(static_cast<float>(settings.cellHeight) * 0.5f);
}

PixelRect CellRect(const PicturePoint& at, int32_t width, int32_t height) {
    return toolkit::ClipToCanvas(at.x, at.y, width, height, INT32_MAX, INT32_MAX);
}

// The top-left width x height pixels of the picture at the point, unscaled. A picture smaller
// than that part is not drawn at all, as GDI+ cannot cut such a part out of it.
void DrawCellPicture(ArgbPixels& canvas, const SuperTilePicture* picture, const PicturePoint& at,
                     int32_t width, int32_t height) {
    if (picture == nullptr || picture->pixels.Width() < width ||
        picture->pixels.Height() < height) {
        return;
    }
    if (picture->opaque) {
        toolkit::CopyPixels(canvas, at.x, at.y, picture->pixels, 0, 0, width, height);
    } else {
        toolkit::BlendPixels(canvas, at.x, at.y, picture->pixels, 0, 0, width, height);
    }
}

void StampCellLines(ArgbPixels& canvas, const CellLineStamps& lines, const PicturePoint& at,
                    bool half) {
    ApplyStamp(canvas, at, half ? lines.leftHalf : lines.left);
    ApplyStamp(canvas, at, lines.top);
}

void RenderCells(const LevelRecord& level, const MapGeometry& g,
                 const std::vector<SuperTilePicture>& pictures, const MapViewSettings& settings,
                 const MapStamps& stamps, MapLayers& layers) {
    const int32_t halfHeight = HalfHeight(settings);
    for (int32_t s = 1; s <= g.screens; ++s) {
        const ScreenRecord* screen = ScreenAt(level, s);
        for (int32_t c = 1; c <= g.columns; ++c) {
            for (int32_t r = 1; r <= g.rows; ++r) {
                const PicturePoint plain = PlainCellOrigin(g, s, c, r);
                const PicturePoint inGame = InGameCellOrigin(g, s, c, r);
                const bool half = IsHalfRow(g, r);
                const size_t cell = static_cast<size_t>((r - 1) * g.columns + (c - 1));
                if (screen != nullptr && cell < screen->cells.size()) {
                    const SuperTilePicture* picture = PictureFor(pictures, screen->cells[cell]);
                    DrawCellPicture(layers.plainMap, picture, plain, settings.cellWidth,
                                    settings.cellHeight);
                    if (!layers.inGameCellsArePlain) {
                        DrawCellPicture(layers.inGameMap, picture, inGame, settings.cellWidth,
                                        half ? halfHeight : settings.cellHeight);
                    }
                }
                const CellLineStamps& lines = IsSectionCell(g, c, r) ? stamps.section : stamps.grid;
                StampCellLines(layers.plainGrid, lines, plain, false);
                if (!layers.inGameCellsArePlain) {
                    StampCellLines(layers.inGameGrid, lines, inGame, half);
                }
            }
        }
    }
}

void RenderObjectMarks(const LevelRecord& level, const MapGeometry& g, const MapStamps& stamps,
                       MapLayers& layers) {
    for (const ObjectListRecord& list : level.objectLists) {
        for (const LevelObject& object : list.objects) {
            ApplyStamp(layers.plainObjects, ObjectMarkOrigin(g, object, false), stamps.objectMark);
            if (!layers.inGameMarksArePlain) {
                ApplyStamp(layers.inGameObjects, ObjectMarkOrigin(g, object, true),
                           stamps.objectMark);
            }
        }
    }
}

// Where the in-game copy starts in the composed picture of a plain map of this size.
PicturePoint SecondOrigin(bool vertical, const ArgbPixels& plainMap, int32_t separation) {
    const int64_t gap = ClampSeparation(separation);
    return vertical ? PicturePoint{plainMap.Width() + gap, 0}
                    : PicturePoint{0, plainMap.Height() + gap};
}

// The composed picture for a plain map of this size: both copies and the gap between them.
PictureSize ComposedSize(bool vertical, const ArgbPixels& plainMap, int32_t separation) {
    const PicturePoint second = SecondOrigin(vertical, plainMap, separation);
    return vertical ? PictureSize{second.x + plainMap.Width(), plainMap.Height()}
                    : PictureSize{plainMap.Width(), second.y + plainMap.Height()};
}

// Composes the area of the composed picture anew from the layers: cleared, then the plain
// layers at the origin and the in-game layers at the second origin, each blended over the ones
// before. The two map layers come first in their copies, which do not overlap, and hold no
// transparent colour, so copying them onto the cleared area is what blending gives.
void ComposeArea(ArgbPixels& composed, const MapLayers& layers, const PicturePoint& second,
                 const PixelRect& rect) {
    const PixelRect area = toolkit::ClipToCanvas(rect, composed.Width(), composed.Height());
    if (area.Empty()) {
        return;
    }
    toolkit::FillPixels(composed, area, kTransparent);
    const auto copy = [&](const ArgbPixels& layer, const PicturePoint& origin) {
        toolkit::CopyPixels(composed, area.left, area.top, layer, area.left - origin.x,
                            area.top - origin.y, area.Width(), area.Height());
    };
    const auto blend = [&](const ArgbPixels& layer, const PicturePoint& origin) {
        toolkit::BlendPixels(composed, area.left, area.top, layer, area.left - origin.x,
                             area.top - origin.y, area.Width(), area.Height());
    };
    const PicturePoint origin{};
    copy(layers.plainMap, origin);
    blend(layers.plainGrid, origin);
    blend(layers.plainObjects, origin);
    copy(layers.InGameMap(), second);
    blend(layers.InGameGrid(), second);
    blend(layers.InGameObjects(), second);
}

}  // namespace

void MapLayers::Reset() {
    for (ArgbPixels* layer :
         {&plainMap, &inGameMap, &plainGrid, &inGameGrid, &plainObjects, &inGameObjects}) {
        layer->Reset();
    }
    inGameCellsArePlain = false;
    inGameMarksArePlain = false;
}

std::string MapPictureFolder() {
    return ProgramFolder() + kMapPictureFolderName;
}

void RedrawMapCell(MapViewState& view, const MapGeometry& g, int32_t screen, int32_t column,
                   int32_t row, int32_t value) {
    const MapViewSettings& settings = view.settings;
    const SuperTilePicture* picture = PictureFor(view.pictures, value);
    const bool half = IsHalfRow(g, row);
    const int32_t inGameHeight = half ? HalfHeight(settings) : settings.cellHeight;

    const PicturePoint plain = PlainCellOrigin(g, screen, column, row);
    const PixelRect plainRect = CellRect(plain, settings.cellWidth, settings.cellHeight);
    toolkit::FillPixels(view.layers.plainMap, plainRect, kTransparent);
    DrawCellPicture(view.layers.plainMap, picture, plain, settings.cellWidth, settings.cellHeight);

    const PicturePoint inGame = InGameCellOrigin(g, screen, column, row);
    if (!view.layers.inGameCellsArePlain) {
        toolkit::FillPixels(view.layers.inGameMap,
                            CellRect(inGame, settings.cellWidth, inGameHeight), kTransparent);
        DrawCellPicture(view.layers.inGameMap, picture, inGame, settings.cellWidth, inGameHeight);
    }

    const PicturePoint second =
        SecondOrigin(g.Vertical(), view.layers.plainMap, settings.separation);
    view.staleAreas.push_back(plainRect);
    view.staleAreas.push_back(
        CellRect({inGame.x + second.x, inGame.y + second.y}, settings.cellWidth, inGameHeight));
}

bool RenderLevelMap(const LevelRecord& level, const std::vector<SuperTilePicture>& pictures,
                    const MapViewSettings& settings, MapLayers& layers) {
    const MapGeometry g = LevelMapGeometry(level, settings.cellWidth, settings.cellHeight);
    // Layers that could never be composed are not made at all.
    if (!PictureFits(ComposedMapSize(g, settings.separation))) {
        layers.Reset();
        return false;
    }
    const PictureSize plain = PlainMapSize(g);
    const PictureSize inGame = InGameMapSize(g);
    // A horizontal level's in-game copy puts every cell where the plain copy does, with no half
    // rows, and outside an indoor level every object mark too.
    layers.inGameCellsArePlain = !g.Vertical();
    layers.inGameMarksArePlain = !g.Vertical() && !g.indoor;
    // Layers the plain ones stand in for are released before any layer is made.
    if (layers.inGameCellsArePlain) {
        layers.inGameMap.Reset();
        layers.inGameGrid.Reset();
    }
    if (layers.inGameMarksArePlain) {
        layers.inGameObjects.Reset();
    }
    const auto makeInGame = [](ArgbPixels& layer, bool plainStandsIn, const PictureSize& size) {
        return plainStandsIn || layer.Make(size.width, size.height);
    };
    // Layers of the size they had keep their memory and are only cleared; any other layer gives
    // its memory back before the new one is taken.
    const bool made = layers.plainMap.Make(plain.width, plain.height) &&
                      layers.plainGrid.Make(plain.width, plain.height) &&
                      layers.plainObjects.Make(plain.width, plain.height) &&
                      makeInGame(layers.inGameMap, layers.inGameCellsArePlain, inGame) &&
                      makeInGame(layers.inGameGrid, layers.inGameCellsArePlain, inGame) &&
                      makeInGame(layers.inGameObjects, layers.inGameMarksArePlain, plain);
    if (!made) {
        layers.Reset();
        return false;
    }
    const MapStamps stamps = CaptureMapStamps(settings, kObjectMarkColour);
    RenderCells(level, g, pictures, settings, stamps, layers);
    RenderObjectMarks(level, g, stamps, layers);
    return true;
}

bool ComposeMapLayers(const LevelRecord& level, const MapLayers& layers, int32_t separation,
                      PixelBitmap& composed) {
    if (!layers.Complete()) {
        composed.Reset();
        return false;
    }
    // W x H is the plain map's size, whatever cell size the layers were drawn with.
    const bool vertical = level.vertical != 0;
    const PicturePoint second = SecondOrigin(vertical, layers.plainMap, separation);
    const PictureSize size = ComposedSize(vertical, layers.plainMap, separation);
    if (!PictureFits(size) || !composed.Make(size.width, size.height)) {
        composed.Reset();
        return false;
    }
    ComposeArea(composed.Pixels(), layers, second,
                {0, 0, composed.Pixels().Width(), composed.Pixels().Height()});
    return true;
}

void DrawTilePicker(const std::vector<SuperTilePicture>& pictures, const MapViewSettings& settings,
                    PixelBitmap& picker) {
    const PictureSize size = PickerSize(kSuperTileCount, settings.pickerColumns, settings.cellWidth,
                                        settings.cellHeight);
    if (!PictureFits(size) || !picker.Make(size.width, size.height, kPickerGround)) {
        picker.Reset();
        return;
    }
    const CellLineStamps edges = CaptureCellLines(settings, kPickerEdge);
    for (int32_t k = 0; k < kSuperTileCount; ++k) {
        const PicturePoint at =
            PickerCellOrigin(k, settings.pickerColumns, settings.cellWidth, settings.cellHeight);
        DrawCellPicture(picker.Pixels(), PictureFor(pictures, k), at, settings.cellWidth,
                        settings.cellHeight);
        ApplyStamp(picker.Pixels(), at, edges.top);
        ApplyStamp(picker.Pixels(), at, edges.left);
    }
}

namespace {

// The map view lets go of the composed picture, then its memory is released.
void ReleaseComposedPicture(MapViewState& view, MapViewHost& host) {
    if (view.composed.Empty()) {
        return;
    }
    host.SetMapPicture(nullptr);
    view.composed.Reset();
    view.composedCurrent = false;
}

}  // namespace

void RefreshMapView(MapViewState& view, MapViewHost& host, const LevelRecord& level) {
    if (view.composedCurrent && !view.composed.Empty() && view.layers.Complete()) {
        const PicturePoint second =
            SecondOrigin(level.vertical != 0, view.layers.plainMap, view.settings.separation);
        PixelRect changed;
        for (const PixelRect& stale : view.staleAreas) {
            ComposeArea(view.composed.Pixels(), view.layers, second, stale);
            changed = toolkit::UnionRect(
                changed, toolkit::ClipToCanvas(stale, view.composed.Pixels().Width(),
                                               view.composed.Pixels().Height()));
        }
        view.staleAreas.clear();
        if (!changed.Empty()) {
            host.MapPictureChanged(changed);
        }
        return;
    }
    view.staleAreas.clear();
    const PictureSize size =
        ComposedSize(level.vertical != 0, view.layers.plainMap, view.settings.separation);
    if (view.layers.Complete() && view.composed.Pixels().Width() == size.width &&
        view.composed.Pixels().Height() == size.height) {
        // The viewer keeps the same bitmap; the pixels under it are composed again.
        view.composedCurrent =
            ComposeMapLayers(level, view.layers, view.settings.separation, view.composed);
        host.SetMapPicture(view.composed.Bitmap());
        return;
    }
    // A picture of another size: the viewer lets go of the old one, which is released before
    // the new one is made, so that two pictures of up to the largest size never live side by
    // side. When the new one cannot be made, the map view shows nothing.
    ReleaseComposedPicture(view, host);
    view.composedCurrent =
        ComposeMapLayers(level, view.layers, view.settings.separation, view.composed);
    host.SetMapPicture(view.composed.Bitmap());
}

void DrawLevelPictures(MapViewState& view, MapViewHost& host, const LevelRecord& level) {
    const std::string folder = view.pictureFolder.empty() ? MapPictureFolder() : view.pictureFolder;
    LoadSuperTilePictures(folder, level.number, view.pictures);
    // The composed picture of the level before is of no use once this level is rendered; when
    // this level's picture has another size it is released before the layers are made.
    const PictureSize composedSize =
        ComposedMapSize(LevelMapGeometry(level, view.settings.cellWidth, view.settings.cellHeight),
                        view.settings.separation);
    if (composedSize.width != view.composed.Pixels().Width() ||
        composedSize.height != view.composed.Pixels().Height()) {
        ReleaseComposedPicture(view, host);
    }
    RenderLevelMap(level, view.pictures, view.settings, view.layers);
    view.composedCurrent = false;
    RefreshMapView(view, host, level);
    // The picker's size depends only on the settings, so after the first level it is drawn
    // again in place, under the bitmap the picker already shows.
    const PictureSize size = PickerSize(kSuperTileCount, view.settings.pickerColumns,
                                        view.settings.cellWidth, view.settings.cellHeight);
    if (view.picker.Pixels().Width() == size.width &&
        view.picker.Pixels().Height() == size.height) {
        DrawTilePicker(view.pictures, view.settings, view.picker);
        host.SetPickerPicture(view.picker.Bitmap());
        return;
    }
    host.SetPickerPicture(nullptr);
    view.picker.Reset();
    DrawTilePicker(view.pictures, view.settings, view.picker);
    host.SetPickerPicture(view.picker.Bitmap());
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
    host.ClickTilePicker(view, kFirstPickX, kFirstPickY);
    return 1;
}

void ResetMapView(MapViewState& view, MapViewHost& host) {
    host.SetMapPicture(nullptr);
    host.SetPickerPicture(nullptr);
    view.composed.Reset();
    view.composedCurrent = false;
    view.staleAreas.clear();
    view.layers.Reset();
    view.picker.Reset();
    view.pictures.clear();
    view.currentLevel = 0;
    view.selectedTile = 0;
    view.hover = HoverCell{};
}
