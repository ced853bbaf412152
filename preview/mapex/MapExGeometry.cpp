#include "mapex/MapExGeometry.h"

#include <cstdio>

namespace preview {

MapExGrid ResolveGrid(MapExGrid grid, int cellCount) {
    if (grid.rows == kWorkOut && grid.columns > 0)
        grid.rows = cellCount / grid.columns;
    else if (grid.columns == kWorkOut && grid.rows > 0)
        grid.columns = cellCount / grid.rows;
    return grid;
}

bool IsDrawable(const MapExGrid& grid) {
    return grid.rows > 0 && grid.columns > 0;
}

int ScreenCountOf(const MapExGrid& grid, int cellCount) {
    return IsDrawable(grid) ? cellCount / (grid.rows * grid.columns) : 0;
}

PixelPoint PictureSize(const MapExGrid& grid, int cellCount) {
    if (!IsDrawable(grid))
        return {};
    if (grid.vertical)
        return {grid.columns * kCellPixels, cellCount / grid.columns * kCellPixels};
    return {cellCount / grid.rows * kCellPixels, grid.rows * kCellPixels};
}

int CellIndexAt(const MapExGrid& grid, int cellCount, int x, int y) {
    const int screens = ScreenCountOf(grid, cellCount);
    if (screens == 0 || x < 0 || y < 0)
        return -1;
    // Both coordinates are checked against the layout's own extent: the index rule alone would
    // take a row past the last one (the scroll bar's strip under a horizontal map) as a row of
    // the next screen.
    if (grid.vertical ? x >= grid.columns || y >= screens * grid.rows
                      : y >= grid.rows || x >= screens * grid.columns)
        return -1;
    return x / grid.columns * grid.columns * grid.rows + y * grid.columns + x % grid.columns;
}

PixelPoint CellOrigin(const MapExGrid& grid, int cellCount, int index) {
    const int perScreen = grid.rows * grid.columns;
    const int screens = ScreenCountOf(grid, cellCount);
    const int i = index / perScreen;
    const int j = index % perScreen / grid.columns;
    const int k = index % grid.columns;
    if (grid.vertical)
        return {k * kCellPixels, ((screens - i - 1) * grid.rows + j) * kCellPixels};
    return {(i * grid.columns + k) * kCellPixels, j * kCellPixels};
}

PixelPoint HitTest(const MapExGrid& grid, int pictureHeight, int scroll, int mx, int my) {
    // Floor, not truncation: a picture shorter than the view gives negative rows in vertical
    // layout, which must not round onto row 0.
    auto floorDiv = [](int a) {
        return a >= 0 ? a / kCellPixels : -((-a + kCellPixels - 1) / kCellPixels);
    };
    if (grid.vertical)
        return {floorDiv(mx), floorDiv(pictureHeight - (scroll + my))};
    return {floorDiv(mx + scroll), floorDiv(my)};
}

PixelPoint ObjectOrigin(const MapExGrid& grid, int screens, int32_t packed) {
    const uint32_t v = static_cast<uint32_t>(packed);
    const int n = static_cast<int>(v & 0xFF);
    const int x = static_cast<int>((v >> 12) & 0xF);
    const int y = static_cast<int>((v >> 28) & 0xF);
    if (grid.vertical)
        return {x * kObjectStep - kCellPixels,
                (screens - n - 2) * grid.rows * kCellPixels + y * kObjectStep - kCellPixels};
    return {(n - 1) * grid.columns * kCellPixels + x * kObjectStep - kCellPixels,
            y * kObjectStep - kCellPixels};
}

std::string ObjectMarkText(int32_t packed) {
    const uint32_t v = static_cast<uint32_t>(packed);
    char text[32];
    std::snprintf(text, sizeof text, "%X|%X|%X", v & 0xFF, (v >> 16) & 0x3F, (v >> 24) & 0xF);
    return text;
}

std::string ScreenLabel(int screen) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(screen));
    return text;
}

std::string PictureName(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(k));
    return text;
}

int VisibleExtent(int extent, int pictureExtent, int scroll) {
    const int left = pictureExtent - scroll;
    if (left <= 0)
        return 0;
    return extent < left ? extent : left;
}

}  // namespace preview
