#include "view/MapEditing.h"

#include "cartridge/ScreenRoom.h"
#include "view/MapRendering.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Viewers draw their picture one pixel inside their frame, so element point (1, 1) shows the
// picture pixel at the offsets.
constexpr int32_t kViewerFrame = 1;

LevelRecord* CurrentLevel(const MapViewState& view, LevelList* openLevels) {
    if (openLevels == nullptr || view.currentLevel < 1 ||
        static_cast<size_t>(view.currentLevel) > openLevels->records.size()) {
        return nullptr;
    }
    return &openLevels->records[static_cast<size_t>(view.currentLevel) - 1];
}

int SelectPickerTileAt(MapViewState& view, MapViewHost& host, int32_t x, int32_t y) {
    const ViewerOffset offset = host.TilePickerOffset();
    const int64_t px = int64_t{x} + offset.x - kViewerFrame;
    const int64_t py = int64_t{y} + offset.y - kViewerFrame;
    const MapViewSettings& settings = view.settings;
    const int32_t index = PickerIndexAt(px, py, kSuperTileCount, settings.pickerColumns,
                                        settings.cellWidth, settings.cellHeight);
    if (index < 0) {
        return 0;
    }
    view.selectedTile = index;
    host.SetTilePreview(static_cast<size_t>(index) < view.pictures.size()
                            ? SuperTilePreviewPng(view.pictures[static_cast<size_t>(index)])
                            : toolkit::ByteArray());
    return 1;
}

}  // namespace

std::string HexText(int64_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<uint32_t>(value)));
    return text;
}

int OnImageClick(MapViewState& view, MapViewHost& host, LevelList* openLevels, ImageTarget target,
                 int32_t x, int32_t y, uint32_t keys) {
    switch (target) {
        case ImageTarget::LogoBox:
            return 0;
        case ImageTarget::TilePicker:
            return SelectPickerTileAt(view, host, x, y);
        case ImageTarget::MapView: {
            const bool haveLevels = openLevels != nullptr && !openLevels->records.empty();
            if (keys == kKeyCtrl || (haveLevels && host.EditModeOn())) {
                return PlaceSuperTile(view, host, openLevels);
            }
            return 0;
        }
    }
    return 0;
}

int PlaceSuperTile(MapViewState& view, MapViewHost& host, LevelList* openLevels) {
    LevelRecord* level = CurrentLevel(view, openLevels);
    // Writing into a level whose map cannot be shown would be editing blind.
    if (level == nullptr || !view.layers.Complete()) {
        return 0;
    }
    const MapGeometry g =
        LevelMapGeometry(*level, view.settings.cellWidth, view.settings.cellHeight);
    const HoverCell& hover = view.hover;
    // Column and row are checked on their own: a column of 0 would otherwise address the last
    // cell of the row before.
    if (!IsPlaceableCell(g, hover) || static_cast<size_t>(hover.screen) > level->screens.size()) {
        return 0;
    }
    ScreenRecord& screen = level->screens[static_cast<size_t>(hover.screen) - 1];
    const size_t cell = static_cast<size_t>((hover.row - 1) * g.columns + (hover.column - 1));
    if (cell >= screen.cells.size()) {
        return 0;
    }
    const uint8_t tile = static_cast<uint8_t>(view.selectedTile);
    // Screens stored as one are one screen shown in several places: all of them change. A boss
    // room's raw screen is its own.
    std::vector<ScreenPlace> placed =
        PlaceCell(*openLevels, view.currentLevel, hover.screen, cell, tile);
    if (placed.empty()) {
        screen.cells[cell] = tile;
        placed.push_back(ScreenPlace{view.currentLevel, hover.screen});
    }
    for (const ScreenPlace& at : placed) {
        if (at.place == view.currentLevel) {
            RedrawMapCell(view, g, at.screen, hover.column, hover.row, view.selectedTile);
        }
    }
    RefreshMapView(view, host, *level);
    host.ShowRoomOverrun(FirstRoomOverrun(*openLevels));
    return 1;
}

RoomOverrun FirstRoomOverrun(const LevelList& levels) {
    for (size_t p = 0; p < levels.records.size(); ++p) {
        const int place = static_cast<int>(p) + 1;
        // A boss room's screen is stored raw, one byte a cell, so its cells always fit.
        if (!IsRunLengthPlace(place)) {
            continue;
        }
        const std::vector<ScreenRecord>& screens = levels.records[p].screens;
        for (size_t s = 0; s < screens.size(); ++s) {
            const ScreenFit fit = CheckScreenFit(screens[s]);
            if (!fit.fits) {
                return RoomOverrun{place, static_cast<int32_t>(s) + 1, fit.needed - fit.room};
            }
        }
    }
    return RoomOverrun{};
}

int OnMapMouseMove(MapViewState& view, MapViewHost& host, LevelList* openLevels, int32_t x,
                   int32_t y, uint32_t keys) {
    LevelRecord* level = CurrentLevel(view, openLevels);
    if (level == nullptr) {
        host.SetStatusSection(kStatusSectionCaption);
        host.SetStatusColumn(HexText(x));
        host.SetStatusRow(HexText(y));
        return 0;
    }
    const ViewerOffset offset = host.MapViewOffset();
    const int64_t px = int64_t{x} + offset.x - kViewerFrame;
    const int64_t py = int64_t{y} + offset.y - kViewerFrame;
    const MapGeometry g =
        LevelMapGeometry(*level, view.settings.cellWidth, view.settings.cellHeight);
    view.hover = HoverCellAt(g, view.settings.separation, px, py);
    if (keys == kKeyShift) {
        PlaceSuperTile(view, host, openLevels);
    }
    host.SetStatusSection(HexText(view.hover.screen));
    host.SetStatusColumn(HexText(std::max<int64_t>(view.hover.x, 0)));
    host.SetStatusRow(HexText(std::max<int64_t>(view.hover.y, 0)));
    return 0;
}
