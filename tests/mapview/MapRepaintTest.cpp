// What a placement tells the map view to repaint: the rectangle the view hears of must hold every
// pixel of the composed picture the placement changed (a changed pixel outside it would stay
// stale on screen), the placed cell in both copies and in every screen stored as one with it, and
// nothing far from them. The cells' places are written out here as the picture shows them.
#include "MapViewTestSupport.h"

#include "view/MapEditing.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mapview_test {
namespace {

using toolkit::PixelRect;

constexpr const char kSmallImage[] = VENNMARK_TESTDATA_DIR "/SampleSmall.nes";
// Level 1's screens 4 and 3 are stored as one there.
constexpr const char kSharedImage[] = VENNMARK_TESTDATA_DIR "/SharedScreens.nes";

struct Placement {
    const char* what;
    const char* image;
    int place;
    HoverCell cell;  // screen, column, row
    // The cell's rectangles in the composed picture (left, top, right, bottom): the plain copy
    // first, then the in-game copy, for each screen that shows the cell.
    std::vector<PixelRect> cells;
};

// Default separation 5. Level 1: 5 screens of 7 rows side by side, the in-game copy 229 pixels
// lower. Level 3: 4 screens of 8 rows stacked upward, the in-game copy 261 pixels to the right
// with screens 240 pixels high, its last row a half row.
const Placement kPlacements[] = {
    {"first cell of a horizontal level",
     kSmallImage,
     1,
     {1, 1, 1, 0, 0},
     {{0, 0, 32, 32}, {0, 229, 32, 261}}},
    {"last cell of a horizontal level",
     kSmallImage,
     1,
     {5, 8, 7, 0, 0},
     {{1248, 192, 1280, 224}, {1248, 421, 1280, 453}}},
    {"a vertical level's half row",
     kSmallImage,
     3,
     {1, 1, 8, 0, 0},
     {{0, 992, 32, 1024}, {261, 944, 293, 960}}},
    {"a vertical level's top right cell",
     kSmallImage,
     3,
     {4, 8, 1, 0, 0},
     {{224, 0, 256, 32}, {485, 0, 517, 32}}},
    {"inside a vertical level",
     kSmallImage,
     3,
     {2, 3, 5, 0, 0},
     {{64, 640, 96, 672}, {325, 608, 357, 640}}},
    {"a screen stored as one with another",
     kSharedImage,
     1,
     {4, 2, 6, 0, 0},
     {{800, 160, 832, 192}, {800, 389, 832, 421}, {544, 160, 576, 192}, {544, 389, 576, 421}}},
};

bool Contains(const PixelRect& outer, const PixelRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

bool Contains(const PixelRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

testing::Message Describe(const PixelRect& rect) {
    return testing::Message() << "(" << rect.left << ", " << rect.top << ")-(" << rect.right << ", "
                              << rect.bottom << ")";
}

toolkit::ArgbPixels Shown(const RecordingHost& host) {
    toolkit::ArgbPixels pixels;
    EXPECT_TRUE(toolkit::ReadImagePixels(host.mapPicture, pixels));
    return pixels;
}

TEST(MapRepaint, APlacementRepaintsItsCellsAndEveryPixelItChanged) {
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.what);
        LevelList levels = DecodeTestImage(p.image);
        MapViewState view;
        RecordingHost host;
        view.pictureFolder = SamplePictureFolder();
        ASSERT_EQ(SelectLevel(view, host, levels, p.place), 1);
        const ByteArray& cells = levels.records[static_cast<size_t>(p.place) - 1]
                                     .screens[static_cast<size_t>(p.cell.screen) - 1]
                                     .cells;
        const int old =
            cells[static_cast<size_t>((p.cell.row - 1) * kLevelColumns + p.cell.column - 1)];
        const toolkit::ArgbPixels before = Shown(host);
        const int changes = host.mapChangedCalls;

        view.hover = p.cell;
        view.selectedTile = (old + 1) % kSuperTileCount;
        ASSERT_EQ(PlaceSuperTile(view, host, &levels), 1);
        ASSERT_EQ(host.mapChangedCalls, changes + 1);
        const PixelRect area = host.changedArea;
        const toolkit::ArgbPixels after = Shown(host);
        ASSERT_EQ(after.Width(), before.Width());
        ASSERT_EQ(after.Height(), before.Height());

        PixelRect bounds;
        for (const PixelRect& cell : p.cells) {
            EXPECT_TRUE(Contains(area, cell))
                << "repainted " << Describe(area) << " misses " << Describe(cell);
            bounds = toolkit::UnionRect(bounds, cell);
        }
        EXPECT_TRUE(Contains(bounds, area))
            << "repainted " << Describe(area) << " reaches past " << Describe(bounds);

        std::vector<int> changedInCell(p.cells.size());
        int outsideArea = 0;
        int outsideCells = 0;
        for (int y = 0; y < after.Height(); ++y) {
            for (int x = 0; x < after.Width(); ++x) {
                if (after.At(x, y) == before.At(x, y)) {
                    continue;
                }
                if (!Contains(area, x, y) && outsideArea++ == 0) {
                    ADD_FAILURE() << "pixel " << x << ", " << y << " changed but is not repainted";
                }
                bool inCell = false;
                for (size_t i = 0; i < p.cells.size(); ++i) {
                    if (Contains(p.cells[i], x, y)) {
                        ++changedInCell[i];
                        inCell = true;
                    }
                }
                if (!inCell && outsideCells++ == 0) {
                    ADD_FAILURE() << "pixel " << x << ", " << y << " changed outside the cells";
                }
            }
        }
        EXPECT_EQ(outsideArea, 0);
        EXPECT_EQ(outsideCells, 0);
        for (size_t i = 0; i < p.cells.size(); ++i) {
            EXPECT_GT(changedInCell[i], 0) << "nothing changed in " << Describe(p.cells[i]);
        }
        ResetMapView(view, host);
    }
}

}  // namespace
}  // namespace mapview_test
