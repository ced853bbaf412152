// The map control's arithmetic: grids worked out from the cell count, painting and hit-test
// cells, picture positions, object marks and picture names.
#include "mapex/MapExGeometry.h"

#include <gtest/gtest.h>

using namespace preview;

namespace {
constexpr int kStripPictures = 20;
constexpr int kMapRows = 7;
constexpr int kMapColumns = 8;
constexpr int kTwoScreens = 2 * kMapRows * kMapColumns;  // 112 cells
}  // namespace

TEST(MapExGeometry, GridsAreWorkedOutFromTheCellCountOnlyWhenTheyCanBe) {
    const MapExGrid strip = ResolveGrid({1, kWorkOut, false}, kStripPictures);
    EXPECT_EQ(strip.columns, kStripPictures);
    EXPECT_EQ(ScreenCountOf(strip, kStripPictures), 1);
    EXPECT_EQ(ResolveGrid({kWorkOut, 4, false}, kStripPictures).rows, 5);
    // Nothing to divide by: the grid stays unusable and every operation treats it as empty.
    const MapExGrid none = ResolveGrid({kWorkOut, kWorkOut, false}, kStripPictures);
    EXPECT_FALSE(IsDrawable(none));
    EXPECT_EQ(CellIndexAt(none, kStripPictures, 0, 0), -1);
    EXPECT_EQ(PictureSize(none, kStripPictures).x, 0);
    EXPECT_EQ(ScreenCountOf(ResolveGrid({0, kWorkOut, false}, 0), 0), 0);
}

TEST(MapExGeometry, PaintedCellsAndTheirPicturePositions) {
    const MapExGrid map{kMapRows, kMapColumns, false};
    struct Case {
        int x, y, index;
    };
    const Case cases[] = {{0, 0, 0},   {9, 2, 73}, {15, 6, 111},
                          {16, 0, -1}, {0, 7, -1}, {-1, 0, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(CellIndexAt(map, kTwoScreens, c.x, c.y), c.index) << c.x << "," << c.y;
        if (c.index < 0)
            continue;
        const PixelPoint at = CellOrigin(map, kTwoScreens, c.index);
        EXPECT_EQ(at.x, c.x * kCellPixels);
        EXPECT_EQ(at.y, c.y * kCellPixels);
    }
    EXPECT_EQ(PictureSize(map, kTwoScreens).x, 2 * kMapColumns * kCellPixels);
    // Vertical layout stacks the screens upward: the first screen's top row sits just above
    // the picture's bottom screen boundary.
    const MapExGrid tall{kMapRows, kMapColumns, true};
    const PixelPoint size = PictureSize(tall, kTwoScreens);
    EXPECT_EQ(size.y, 2 * kMapRows * kCellPixels);
    EXPECT_EQ(CellOrigin(tall, kTwoScreens, 0).y, kMapRows * kCellPixels);
    EXPECT_EQ(CellOrigin(tall, kTwoScreens, kMapRows * kMapColumns).y, 0);
}

TEST(MapExGeometry, HitTestCountsVerticalRowsFromTheBottom) {
    const MapExGrid map{kMapRows, kMapColumns, false};
    const PixelPoint flat = HitTest(map, kMapRows * kCellPixels, 64, 40, 70);
    EXPECT_EQ(flat.x, 3);
    EXPECT_EQ(flat.y, 2);
    const MapExGrid tall{kMapRows, kMapColumns, true};
    const int height = 2 * kMapRows * kCellPixels;
    const int scroll = 100;
    EXPECT_EQ(HitTest(tall, height, scroll, 5, height - scroll - 1).y, 0);
    EXPECT_EQ(HitTest(tall, height, scroll, 5, height - scroll + 1).y, -1);
}

TEST(MapExGeometry, ObjectMarksLabelsAndPictureNames) {
    // List 3, byte 0 0x45 (X 4), type 0x15, byte 2 0x52 (attribute 2, Y 5).
    const int32_t packed = 0x52150000 | 0x4500 | 3;
    EXPECT_EQ(ObjectMarkText(packed), "3|15|2");
    const MapExGrid map{kMapRows, kMapColumns, false};
    const PixelPoint at = ObjectOrigin(map, 4, packed);
    EXPECT_EQ(at.x, 2 * kMapColumns * kCellPixels + 4 * kObjectStep - kCellPixels);
    EXPECT_EQ(at.y, 5 * kObjectStep - kCellPixels);
    EXPECT_EQ(ScreenLabel(10), "A");
    EXPECT_EQ(PictureName(0), "00");
    EXPECT_EQ(PictureName(15), "0F");
    EXPECT_EQ(PictureName(17), "11");
    EXPECT_EQ(VisibleExtent(268, 300, 100), 200);
    EXPECT_EQ(VisibleExtent(268, 300, 0), 268);
    EXPECT_EQ(VisibleExtent(268, 300, 400), 0);
}

TEST(MapExGeometry, PaintedCellsMustLieInsideTheWholeScreensOfTheirLayout) {
    constexpr int kScreenAndAHalf = kMapRows * kMapColumns + kMapRows * kMapColumns / 2;
    const MapExGrid flat{kMapRows, kMapColumns, false};
    const MapExGrid tall{kMapRows, kMapColumns, true};
    struct Case {
        const MapExGrid* grid;
        int cells, x, y, index;
    };
    const Case cases[] = {
        // Horizontal: the row under the map is no row of the next screen.
        {&flat, kTwoScreens, 0, kMapRows, -1},
        {&flat, kTwoScreens, kMapColumns - 1, kMapRows, -1},
        {&flat, kTwoScreens, 2 * kMapColumns, 0, -1},
        // Half a screen is no screen, even where its cells exist.
        {&flat, kScreenAndAHalf, kMapColumns, 0, -1},
        {&flat, kScreenAndAHalf, kMapColumns - 1, kMapRows - 1, kMapRows * kMapColumns - 1},
        // Vertical: rows run through every screen, columns stop at the screen's width, and the
        // index follows the horizontal rule.
        {&tall, kTwoScreens, 3, kMapRows + 1, (kMapRows + 1) * kMapColumns + 3},
        {&tall, kTwoScreens, 0, 2 * kMapRows - 1, (2 * kMapRows - 1) * kMapColumns},
        {&tall, kTwoScreens, 0, 2 * kMapRows, -1},
        {&tall, kTwoScreens, kMapColumns, 0, -1},
        {&tall, kTwoScreens, -1, 0, -1},
        // No whole screen at all.
        {&flat, kMapRows * kMapColumns - 1, 0, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellIndexAt(*c.grid, c.cells, c.x, c.y), c.index)
            << (c.grid->vertical ? "vertical " : "horizontal ") << c.cells << " cells, " << c.x
            << "," << c.y;
    }
}
