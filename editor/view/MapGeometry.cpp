#include "view/MapGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A vertical level's screens overlap by half a row in the in-game copy.
constexpr double kHalfRow = 0.5;

int64_t Truncate(double value) {
    return static_cast<int64_t>(std::trunc(value));
}

int64_t FloorToInt(double value) {
    return static_cast<int64_t>(std::floor(value));
}

// Height of one screen of the in-game copy: R - 0.5 rows for a vertical level.
double InGameScreenHeight(const MapGeometry& g) {
    return (g.rows - kHalfRow) * g.cellHeight;
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t ClampSeparation(int32_t separation) {
    return std::clamp(separation, kMinSeparation, kMaxSeparation);
}

bool PictureFits(const PictureSize& size) {
    return size.width > 0 && size.height > 0 && size.width <= kMaxPicturePixels &&
           size.height <= kMaxPicturePixels && size.width * size.height <= kMaxPicturePixels;
}

MapGeometry LevelMapGeometry(const LevelRecord& level, int32_t cellWidth, int32_t cellHeight) {
    MapGeometry g;
    g.columns = LevelColumns(level);
    g.rows = LevelRows(level);
    g.screens = LevelScreenCount(level);
    g.verticalFlag = level.vertical;
    g.indoor = level.kind == kIndoorKind;
    g.cellWidth = cellWidth;
    g.cellHeight = cellHeight;
    return g;
}

PictureSize PlainMapSize(const MapGeometry& g) {
    const int64_t screens = std::max(g.screens, 0);
    if (g.Vertical()) {
        return {int64_t{g.columns} * g.cellWidth, screens * g.rows * g.cellHeight};
    }
    return {screens * g.columns * g.cellWidth, int64_t{g.rows} * g.cellHeight};
}

PictureSize InGameMapSize(const MapGeometry& g) {
    PictureSize size = PlainMapSize(g);
    if (g.Vertical()) {
        size.height = Truncate(std::max(g.screens, 0) * InGameScreenHeight(g));
    }
    return size;
}

PictureSize ComposedMapSize(const MapGeometry& g, int32_t separation) {
    const PictureSize plain = PlainMapSize(g);
    const int64_t gap = ClampSeparation(separation);
    if (g.Vertical()) {
        return {2 * plain.width + gap, plain.height};
    }
    return {plain.width, 2 * plain.height + gap};
}

PicturePoint InGameOrigin(const MapGeometry& g, int32_t separation) {
    const PictureSize plain = PlainMapSize(g);
    const int64_t gap = ClampSeparation(separation);
    if (g.Vertical()) {
        return {plain.width + gap, 0};
    }
    return {0, plain.height + gap};
}

PicturePoint PlainCellOrigin(const MapGeometry& g, int32_t screen, int32_t column, int32_t row) {
    if (g.Vertical()) {
        return {int64_t{column - 1} * g.cellWidth,
                (int64_t{g.screens - screen} * g.rows + row - 1) * g.cellHeight};
    }
    return {(int64_t{screen - 1} * g.columns + column - 1) * g.cellWidth,
            int64_t{row - 1} * g.cellHeight};
}

PicturePoint InGameCellOrigin(const MapGeometry& g, int32_t screen, int32_t column, int32_t row) {
    if (!g.Vertical()) {
        return PlainCellOrigin(g, screen, column, row);
    }
    const double rows = (g.screens - screen) * (g.rows - kHalfRow) + row - 1;
    return {int64_t{column - 1} * g.cellWidth, Truncate(rows * g.cellHeight)};
}

bool IsHalfRow(const MapGeometry& g, int32_t row) {
    return g.Vertical() && row == g.rows;
}

bool IsSectionCell(const MapGeometry& g, int32_t column, int32_t row) {
    if (g.verticalFlag == 0) {
        return column == 1;
    }
    return g.verticalFlag == 1 && row == 1;
}

PicturePoint ObjectMarkOrigin(const MapGeometry& g, const LevelObject& object, bool inGame) {
    const int64_t e = object.entryNumber;
    if (g.Vertical() || g.indoor) {
        // The game's x runs up the screen and its y across it.
        const int64_t left = int64_t{object.y} - g.cellWidth / 2;
        const int64_t base = int64_t{g.rows} * g.cellHeight - object.x;
        if (inGame) {
            return {left, base + Truncate((g.screens - e) * InGameScreenHeight(g))};
        }
        return {left, base + (g.screens - e) * g.rows * g.cellHeight};
    }
    return {e * g.columns * g.cellWidth + object.x - g.cellWidth, int64_t{object.y} - g.cellHeight};
}

HoverCell HoverCellAt(const MapGeometry& g, int32_t separation, int64_t px, int64_t py) {
    const int64_t gap = ClampSeparation(separation);
    HoverCell hover;
    if (g.cellWidth <= 0 || g.cellHeight <= 0 || g.rows <= 0 || g.columns <= 0) {
        return hover;
    }
    double x = static_cast<double>(px);
    double y = static_cast<double>(py);
    if (g.Vertical()) {
        const int64_t copyWidth = int64_t{g.columns} * g.cellWidth;
        // The in-game copy starts right after the gap; the gap itself belongs to it here, so
        // that its points get a column below 1. With no gap, pixel copyWidth is already the
        // in-game copy's first column, not a ninth column of the plain copy.
        double screenHeight = double{1} * g.rows * g.cellHeight;
        if (px >= copyWidth) {
            x -= static_cast<double>(copyWidth + gap);
            screenHeight = InGameScreenHeight(g);
        }
        const int64_t fromBottom = FloorToInt(y / screenHeight) + 1;
        y -= static_cast<double>(fromBottom - 1) * screenHeight;
        hover.screen = ClampToInt32(int64_t{g.screens} - fromBottom + 1);
    } else {
        const int64_t screenWidth = int64_t{g.columns} * g.cellWidth;
        const int64_t screen = FloorToInt(x / static_cast<double>(screenWidth)) + 1;
        x -= static_cast<double>((screen - 1) * screenWidth);
        const int64_t copyHeight = int64_t{g.rows} * g.cellHeight;
        if (py >= copyHeight) {
            y -= static_cast<double>(copyHeight + gap);
        }
        hover.screen = ClampToInt32(screen);
    }
    hover.column = ClampToInt32(Truncate(x / g.cellWidth + 1));
    hover.row = ClampToInt32(Truncate(y / g.cellHeight + 1));
    hover.x = Truncate(x);
    hover.y = Truncate(y);
    return hover;
}

bool IsPlaceableCell(const MapGeometry& g, const HoverCell& hover) {
    return hover.screen >= 1 && hover.screen <= g.screens && hover.column >= 1 &&
           hover.column <= g.columns && hover.row >= 1 && hover.row <= g.rows;
}

PictureSize PickerSize(int32_t count, int32_t columns, int32_t cellWidth, int32_t cellHeight) {
    if (count <= 0 || columns <= 0) {
        return {};
    }
    const int64_t rows = (int64_t{count} + columns - 1) / columns;
    return {int64_t{columns} * cellWidth, rows * cellHeight};
}

PicturePoint PickerCellOrigin(int32_t index, int32_t columns, int32_t cellWidth,
                              int32_t cellHeight) {
    if (columns <= 0) {
        return {};
    }
    return {int64_t{index % columns} * cellWidth, int64_t{index / columns} * cellHeight};
}

int32_t PickerIndexAt(int64_t px, int64_t py, int32_t count, int32_t columns, int32_t cellWidth,
                      int32_t cellHeight) {
    if (px < 0 || py < 0 || columns <= 0 || cellWidth <= 0 || cellHeight <= 0) {
        return -1;
    }
    const int64_t column = px / cellWidth;
    const int64_t row = py / cellHeight;
    if (column >= columns) {
        return -1;
    }
    const int64_t index = row * columns + column;
    return index < count ? static_cast<int32_t>(index) : -1;
}
