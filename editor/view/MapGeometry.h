// Where the map view puts a level's cells, grid lines and object marks, how large its pictures
// are, and which cell or super-tile lies under a point. Window-free, so the same rules serve the
// drawing, the hit tests and the native tests under the sanitizers.
//
// The map shows a level twice: the plain copy (screens side by side, or stacked upward for a
// vertical level) and, past a gap of `separation` pixels, the in-game copy, in which a vertical
// level's screens overlap by half a row. Positions are picture pixels.
#pragma once

#include "cartridge/LevelModel.h"

#include <cstdint>

// Pixels of one super-tile cell in the map and the picker.
constexpr int32_t kCellSize = 32;
// Super-tile pictures of a level, and how many of them the picker shows in a row.
constexpr int32_t kSuperTileCount = 128;
constexpr int32_t kPickerColumns = 8;

// The stored separation is kept as the user wrote it; drawing and hit testing use it clamped to
// this range, so a wild value can neither make a size negative nor an enormous picture.
constexpr int32_t kMinSeparation = 0;
constexpr int32_t kMaxSeparation = 1000;

// The largest picture the view makes. The composed map of a level is the largest of its seven
// pictures; below this bound all of them together stay near 256 MB, which a 32-bit process can
// still hold. A level that needs more is shown as an empty map.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;

int32_t ClampSeparation(int32_t separation);

struct PictureSize {
    int64_t width = 0;
    int64_t height = 0;
};

// True when a bitmap of this size may be made: not empty, and within kMaxPicturePixels.
bool PictureFits(const PictureSize& size);

struct PicturePoint {
    int64_t x = 0;
    int64_t y = 0;
};

// The numbers of a level that its map depends on.
struct MapGeometry {
    int32_t columns = kLevelColumns;
    int32_t rows = kHorizontalRows;
    int32_t screens = 0;
    int32_t verticalFlag = 0;  // the header byte as stored: non-zero means vertical
    bool indoor = false;
    int32_t cellWidth = kCellSize;
    int32_t cellHeight = kCellSize;

    bool Vertical() const { return verticalFlag != 0; }
};

MapGeometry LevelMapGeometry(const LevelRecord& level, int32_t cellWidth = kCellSize,
                             int32_t cellHeight = kCellSize);

// The plain map, plain grid and both object layers.
PictureSize PlainMapSize(const MapGeometry& geometry);
// The in-game map and grid: a vertical level's screens are half a row shorter.
PictureSize InGameMapSize(const MapGeometry& geometry);
// Both copies and the gap between them, with the separation clamped.
PictureSize ComposedMapSize(const MapGeometry& geometry, int32_t separation);
// Where the in-game copy starts in the composed picture.
PicturePoint InGameOrigin(const MapGeometry& geometry, int32_t separation);

// Top-left corner of a cell (screen, column, row all 1-based) in each copy.
PicturePoint PlainCellOrigin(const MapGeometry& geometry, int32_t screen, int32_t column,
                             int32_t row);
PicturePoint InGameCellOrigin(const MapGeometry& geometry, int32_t screen, int32_t column,
                              int32_t row);
// A vertical level's last row shows only its upper half in the in-game copy.
bool IsHalfRow(const MapGeometry& geometry, int32_t row);
// Whether a cell's grid lines take the section colour: the first column of every screen of a
// horizontal level, or the first row of every screen when the vertical flag is exactly 1.
bool IsSectionCell(const MapGeometry& geometry, int32_t column, int32_t row);

// Top-left corner of an object's mark on the plain or the in-game objects layer.
PicturePoint ObjectMarkOrigin(const MapGeometry& geometry, const LevelObject& object, bool inGame);

// The map cell under a picture pixel (px, py) of the composed picture, as the status line
// shows it: the screen, the 1-based column and row within it, and the pixel inside the screen.
// Points off every cell (the viewer's frame pixel, the gap between the copies, beyond a copy)
// give a screen, column or row outside the level, never another cell.
struct HoverCell {
    int32_t screen = 0;
    int32_t column = 0;
    int32_t row = 0;
    int64_t x = 0;
    int64_t y = 0;
};

HoverCell HoverCellAt(const MapGeometry& geometry, int32_t separation, int64_t px, int64_t py);

// True when the hover cell names a cell of the level: screen 1..N, column 1..C, row 1..R.
bool IsPlaceableCell(const MapGeometry& geometry, const HoverCell& hover);

// The picker: super-tile k sits at column k mod columns, row k div columns.
PictureSize PickerSize(int32_t count, int32_t columns, int32_t cellWidth = kCellSize,
                       int32_t cellHeight = kCellSize);
PicturePoint PickerCellOrigin(int32_t index, int32_t columns, int32_t cellWidth = kCellSize,
                              int32_t cellHeight = kCellSize);
// The super-tile under picker pixel (px, py), or -1 when the point lies outside the picker's
// columns or rows.
int32_t PickerIndexAt(int64_t px, int64_t py, int32_t count, int32_t columns,
                      int32_t cellWidth = kCellSize, int32_t cellHeight = kCellSize);
