// The arithmetic of the map control: where a cell lies in its composed picture, which cell a
// pointer position names, where an object mark goes and what it says. It is kept apart from the
// element so that it can be checked without a window.
#pragma once

#include <cstdint>
#include <string>

namespace preview {

constexpr int kCellPixels = 32;
constexpr int kObjectStep = 16;  // object coordinates count half cells
constexpr int kWorkOut = -1;     // rows or columns worked out from the cell count

struct MapExGrid {
    int rows = 0;     // per screen
    int columns = 0;  // per screen
    bool vertical = false;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
};

// Rows or columns of -1 are worked out from the cell count; a grid that cannot be worked out
// (both unknown, or a zero divisor) keeps its values, and callers treat it as empty.
MapExGrid ResolveGrid(MapExGrid grid, int cellCount);
bool IsDrawable(const MapExGrid& grid);

int ScreenCountOf(const MapExGrid& grid, int cellCount);
// Size of the composed cells and objects pictures.
PixelPoint PictureSize(const MapExGrid& grid, int cellCount);

// The 0-based cell that painting at cell (x, y) changes, or -1 when (x, y) lies outside the
// whole screens: horizontal 0 <= y < rows and 0 <= x < screens x columns, vertical
// 0 <= x < columns and 0 <= y < screens x rows. Both layouts use the horizontal index rule.
int CellIndexAt(const MapExGrid& grid, int cellCount, int x, int y);
// Top-left corner of cell number index in the composed picture.
PixelPoint CellOrigin(const MapExGrid& grid, int cellCount, int index);
// The cell under a pointer position in the element; in vertical layout rows count from the
// bottom of the picture.
PixelPoint HitTest(const MapExGrid& grid, int pictureHeight, int scroll, int mx, int my);

// Where a packed object's mark is drawn, and its text: list number, type and attribute in
// upper-case hexadecimal joined by "|".
PixelPoint ObjectOrigin(const MapExGrid& grid, int screens, int32_t packed);
std::string ObjectMarkText(int32_t packed);
std::string ScreenLabel(int screen);
// "00", "01", … "0F", "10": the file name of picture k without its extension.
std::string PictureName(int k);

// The part of the picture a view of extent pixels shows from scroll: at most what is left of it.
int VisibleExtent(int extent, int pictureExtent, int scroll);

}  // namespace preview
