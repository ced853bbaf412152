// The map geometry at its limits, where the drawing code relies on it to refuse a level rather
// than overflow: huge screen counts, wild separations and pointer positions, empty pickers.
#include "view/MapGeometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr int32_t kLargestBaseCount = 255;  // a header byte
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

LevelRecord Level(int32_t kind, int32_t vertical, int32_t baseScreenCount) {
    LevelRecord level;
    level.kind = kind;
    level.vertical = vertical;
    level.baseScreenCount = baseScreenCount;
    return level;
}

TEST(MapGeometry, LevelSizesFitOrAreRefused) {
    struct Case {
        LevelRecord level;
        int32_t separation;
        int64_t width, height;
        bool fits;
    };
    const Case cases[] = {
        {Level(kOutdoorKind, 0, 10), 5, 3072, 453, true},
        {Level(kOutdoorKind, 1, 2), 5, 517, 1024, true},
        {Level(kOutdoorKind, 1, 2), kInt32Max, 1512, 1024, true},
        {Level(kOutdoorKind, 0, 10), kInt32Min, 3072, 448, true},
        {Level(kIndoorKind, 0, kLargestBaseCount), 5, 261120, 453, false},
        {Level(kIndoorKind, 1, kLargestBaseCount), 5, 517, 261120, false},
        {Level(kIndoorKind, 0, 0), 5, 0, 453, false},
        {Level(7, 0, 0), 5, 0, 453, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.level.kind << " count "
                                        << c.level.baseScreenCount << " sep " << c.separation);
        const PictureSize size = ComposedMapSize(LevelMapGeometry(c.level), c.separation);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
        EXPECT_EQ(PictureFits(size), c.fits);
    }
    EXPECT_FALSE(PictureFits({-1, -1}));
    EXPECT_FALSE(PictureFits({kMaxPicturePixels, 2}));
    EXPECT_TRUE(PictureFits({kMaxPicturePixels, 1}));
}

TEST(MapGeometry, FarPointersNameNoCell) {
    for (const LevelRecord& level : {Level(kOutdoorKind, 0, 3), Level(kOutdoorKind, 1, 2),
                                     Level(kIndoorKind, 1, kLargestBaseCount)}) {
        const MapGeometry g = LevelMapGeometry(level);
        for (int64_t px : {int64_t{kInt32Min} - 1, int64_t{-1}, int64_t{kInt32Max} + 1}) {
            for (int64_t py : {int64_t{kInt32Min} - 1, int64_t{-1}, int64_t{kInt32Max} + 1}) {
                for (int32_t separation : {kInt32Min, 0, kInt32Max}) {
                    EXPECT_FALSE(IsPlaceableCell(g, HoverCellAt(g, separation, px, py)))
                        << px << ", " << py << " sep " << separation;
                }
            }
        }
    }
    MapGeometry empty = LevelMapGeometry(Level(kOutdoorKind, 0, 3));
    empty.cellWidth = 0;
    EXPECT_FALSE(IsPlaceableCell(empty, HoverCellAt(empty, 0, 0, 0)));
}

TEST(MapGeometry, PickerHitsOnlyItsCells) {
    struct Case {
        int64_t px, py;
        int32_t count, columns, cellSize;
        int32_t index;
    };
    const Case cases[] = {
        {0, 0, 128, 8, 32, 0},
        {255, 511, 128, 8, 32, 127},
        {256, 0, 128, 8, 32, -1},
        {0, 512, 128, 8, 32, -1},
        {-1, 0, 128, 8, 32, -1},
        {0, -1, 128, 8, 32, -1},
        {32, 32, 10, 8, 32, 9},
        {64, 32, 10, 8, 32, -1},
        {0, 0, 128, 0, 32, -1},
        {0, 0, 128, 8, 0, -1},
        {kInt32Max, kInt32Max, 128, 8, 32, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PickerIndexAt(c.px, c.py, c.count, c.columns, c.cellSize, c.cellSize), c.index)
            << c.px << ", " << c.py;
    }
    EXPECT_EQ(PickerSize(10, 8).height, 2 * kCellSize);
    EXPECT_EQ(PickerSize(kSuperTileCount, 0).width, 0);
}

}  // namespace
