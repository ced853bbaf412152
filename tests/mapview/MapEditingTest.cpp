// Picking, hovering and placing on the sample cartridge's levels: which super-tile a picker
// point selects, which cell a map point names and what the status line shows, when a placement
// happens, and what it changes in the level and in the pictures.
#include "MapViewTestSupport.h"

#include "support/MapPicProbe.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

namespace mapview_test {
namespace {

using Gdiplus::ARGB;
using mappic_probe::kProbeX;
using mappic_probe::kProbeY;

constexpr int kCell = 32;
constexpr int kColumns = 8;
constexpr int kHalfCell = kCell / 2;
constexpr int kHorizontalPlace = 1;  // outdoor, 5 screens of 7 rows, 1280 x 224 a copy
constexpr int kVerticalPlace = 3;    // outdoor, 4 screens of 8 rows, 256 x 1024 and 256 x 960
constexpr int kVerticalScreens = 4;
constexpr int kVerticalRows = 8;
constexpr int kInGameScreenHeight = 240;
constexpr int kDefaultSeparation = 5;
constexpr ARGB kGridColour = 0xFF123456;
constexpr int kNoSelection = -1;
constexpr int kMarkerTile = 0x77;

unsigned AlphaOf(ARGB colour) {
    return colour >> 24;
}

class MapEditing : public testing::Test {
protected:
    MapEditing() : levels(SampleLevelsWithoutObjects()) {
        view.pictureFolder = SamplePictureFolder();
        view.settings.gridColour = kGridColour;
    }
    ~MapEditing() override { ResetMapView(view, host); }

    LevelRecord& Show(int place) {
        EXPECT_EQ(SelectLevel(view, host, levels, place), 1);
        return levels.records[static_cast<size_t>(place) - 1];
    }
    // Points the map view at picture pixel (px, py) of the composed picture.
    int MoveTo(int64_t px, int64_t py, uint32_t keys = 0) {
        return OnMapMouseMove(view, host, &levels, static_cast<int32_t>(px + 1 - host.mapOffset.x),
                              static_cast<int32_t>(py + 1 - host.mapOffset.y), keys);
    }
    int CtrlClick() {
        return OnImageClick(view, host, &levels, ImageTarget::MapView, 0, 0, kKeyCtrl);
    }
    int PickTile(int index) {
        return OnImageClick(view, host, &levels, ImageTarget::TilePicker,
                            index % kColumns * kCell + kHalfCell,
                            index / kColumns * kCell + kHalfCell, 0);
    }
    int ProbeIndex(Gdiplus::GpImage* picture, int64_t x, int64_t y) {
        int level = 0;
        int index = 0;
        return ProbeAt(picture, x + kProbeX, y + kProbeY, level, index) ? index : kNoSelection;
    }
    int ProbeIndex(const toolkit::ArgbPixels& picture, int64_t x, int64_t y) {
        int level = 0;
        int index = 0;
        return mappic_probe::DecodeProbe(picture.At(x + kProbeX, y + kProbeY), level, index)
                   ? index
                   : kNoSelection;
    }
    Gdiplus::GpImage* Composed() { return view.composed.Bitmap(); }

    LevelList levels;
    MapViewState view;
    RecordingHost host;
};

TEST_F(MapEditing, PickerPointsSelectTheSuperTileUnderThem) {
    struct Case {
        int offsetY;
        int32_t x, y;
        int expected;  // kNoSelection: outside the picker's cells
    };
    const Case cases[] = {
        {0, 2, 2, 0},
        {0, 40, 33, 9},
        {0, 1, 1, 0},
        {0, 256, 2, 7},
        {0, 2, 512, 120},
        {100, 2, 2, 24},
        {0, 0, 2, kNoSelection},
        {0, 2, 0, kNoSelection},
        {0, 257, 2, kNoSelection},
        {0, 300, 40, kNoSelection},
        {0, 2, 513, kNoSelection},
    };
    Show(kHorizontalPlace);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " offset " << c.offsetY);
        host.pickerOffset = {0, c.offsetY};
        view.selectedTile = kMarkerTile;
        const int previews = host.previewCalls;
        const int result = OnImageClick(view, host, &levels, ImageTarget::TilePicker, c.x, c.y, 0);
        if (c.expected == kNoSelection) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(view.selectedTile, kMarkerTile);
            EXPECT_EQ(host.previewCalls, previews);
            continue;
        }
        EXPECT_NE(result, 0);
        EXPECT_EQ(view.selectedTile, c.expected);
        // The preview gets the super-tile's picture as PNG.
        toolkit::GpImagePtr preview = toolkit::LoadImageFromBytes(host.preview);
        EXPECT_EQ(ProbeIndex(preview.get(), 0, 0), c.expected);
    }
}

// One pointer position over the map: the status line it gives, and the cell a placement there
// writes (screen 0: none).
struct HoverCase {
    const char* what;
    int place;
    int32_t separation;
    int64_t px, py;
    const char* section;
    const char* x;
    const char* y;
    int screen, row, column;
};

TEST_F(MapEditing, HoverGivesTheStatusAndPlacesOnlyInsideACell) {
    const HoverCase cases[] = {
        {"first pixel", 1, 5, 0, 0, "1", "0", "0", 1, 1, 1},
        {"frame pixel", 1, 5, -1, -1, "0", "FF", "0", 0, 0, 0},
        {"frame row", 1, 5, 40, -1, "1", "28", "0", 0, 0, 0},
        {"screen 2", 1, 5, 300, 40, "2", "2C", "28", 2, 2, 2},
        {"gap", 1, 5, 300, 226, "2", "2C", "0", 0, 0, 0},
        {"in-game copy", 1, 5, 300, 229 + 40, "2", "2C", "28", 2, 2, 2},
        {"no gap", 1, 0, 40, 224, "1", "28", "0", 1, 1, 2},
        {"past the last screen", 1, 5, 1280, 40, "6", "0", "28", 0, 0, 0},
        {"clamped separation", 1, 5000, 40, 224 + 1000, "1", "28", "0", 1, 1, 2},
        {"vertical top", 3, 5, 10, 0, "4", "A", "0", 4, 1, 1},
        {"vertical bottom", 3, 5, 10, 1023, "1", "A", "FF", 1, 8, 1},
        {"vertical frame column", 3, 5, -1, 40, "4", "0", "28", 0, 0, 0},
        {"vertical gap", 3, 5, 258, 40, "4", "0", "28", 0, 0, 0},
        {"vertical in-game", 3, 5, 271, 40, "4", "A", "28", 4, 2, 1},
        {"vertical half row", 3, 5, 271, 224 + 4, "4", "A", "E4", 4, 8, 1},
        {"vertical in-game bottom", 3, 5, 271, 959, "1", "A", "EF", 1, 8, 1},
        {"below the in-game copy", 3, 5, 271, 960, "0", "A", "0", 0, 0, 0},
        {"vertical, no gap", 3, 0, 256, 40, "4", "0", "28", 4, 2, 1},
    };
    for (const HoverCase& c : cases) {
        SCOPED_TRACE(c.what);
        levels = SampleLevelsWithoutObjects();
        view.settings.separation = c.separation;
        LevelRecord& level = Show(c.place);
        const std::vector<ScreenRecord> before = level.screens;
        PickTile(kMarkerTile);
        EXPECT_EQ(MoveTo(c.px, c.py), 0);
        EXPECT_EQ(host.status[0], c.section);
        EXPECT_EQ(host.status[1], c.x);
        EXPECT_EQ(host.status[2], c.y);
        const int pictures = host.mapPictureCalls;
        const int changes = host.mapChangedCalls;
        const int placed = CtrlClick();
        EXPECT_EQ(placed != 0, c.screen != 0);
        std::vector<ScreenRecord> expected = before;
        if (c.screen != 0) {
            expected[static_cast<size_t>(c.screen) - 1]
                .cells[static_cast<size_t>((c.row - 1) * kColumns + c.column - 1)] = kMarkerTile;
        }
        EXPECT_TRUE(level.screens == expected);
        // A placement repaints only what changed, under the picture the view already shows.
        EXPECT_EQ(host.mapPictureCalls, pictures);
        EXPECT_EQ(host.mapChangedCalls, changes + (placed != 0 ? 1 : 0));
    }
}

TEST_F(MapEditing, StatusShowsThePointerWhileNoCartridgeIsOpen) {
    EXPECT_EQ(OnMapMouseMove(view, host, nullptr, 300, -1, 0), 0);
    EXPECT_EQ(host.status[0], kStatusSectionCaption);
    EXPECT_EQ(host.status[1], "12C");
    EXPECT_EQ(host.status[2], "FFFFFFFF");
}

TEST_F(MapEditing, PlacementNeedsAnOpenCartridgeAndCtrlOrEditMode) {
    struct Case {
        const char* what;
        bool open;
        uint32_t keys;
        bool editMode;
        bool placed;
    };
    const Case cases[] = {
        {"Ctrl", true, kKeyCtrl, false, true},
        {"edit mode", true, 0, true, true},
        {"edit mode and Shift", true, kKeyShift, true, true},
        {"plain click", true, 0, false, false},
        {"Ctrl and Shift", true, kKeyCtrl | kKeyShift, false, false},
        {"Alt", true, kKeyAlt, false, false},
        {"nothing open, Ctrl", false, kKeyCtrl, false, false},
        {"nothing open, edit mode", false, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        levels = SampleLevelsWithoutObjects();
        LevelRecord& level = Show(kHorizontalPlace);
        PickTile(kMarkerTile);
        MoveTo(kHalfCell, kHalfCell);
        host.editMode = c.editMode;
        const int result = OnImageClick(view, host, c.open ? &levels : nullptr,
                                        ImageTarget::MapView, 0, 0, c.keys);
        EXPECT_EQ(result != 0, c.placed);
        EXPECT_EQ(level.screens[0].cells[0] == kMarkerTile, c.placed);
    }
    // After the view is reset (a rejected file), the old hover cell places nothing.
    Show(kHorizontalPlace);
    MoveTo(kHalfCell, kHalfCell);
    ResetMapView(view, host);
    EXPECT_EQ(CtrlClick(), 0);
}

TEST_F(MapEditing, ShiftAloneWhileMovingPlaces) {
    LevelRecord& level = Show(kHorizontalPlace);
    PickTile(kMarkerTile);
    MoveTo(kHalfCell, kHalfCell, kKeyShift | kKeyCtrl);
    EXPECT_NE(level.screens[0].cells[0], kMarkerTile);
    MoveTo(kHalfCell, kHalfCell, kKeyShift);
    EXPECT_EQ(level.screens[0].cells[0], kMarkerTile);
    // A drag paints every cell it passes.
    for (int column = 2; column <= kColumns; ++column) {
        MoveTo((column - 1) * kCell + kHalfCell, kHalfCell, kKeyShift);
    }
    for (int cell = 0; cell < kColumns; ++cell) {
        EXPECT_EQ(level.screens[0].cells[static_cast<size_t>(cell)], kMarkerTile) << cell;
    }
}

// Screen 2 of the vertical level, row 8: a half row in the in-game copy, right above screen 1.
TEST_F(MapEditing, PlacingRedrawsOnlyThatCellInBothCopies) {
    LevelRecord& level = Show(kVerticalPlace);
    const int column = 3;
    const int64_t x = (column - 1) * kCell;
    const int64_t plainY = ((kVerticalScreens - 2) * kVerticalRows + kVerticalRows - 1) * kCell;
    const int64_t inGameX = kColumns * kCell + kDefaultSeparation + x;
    const int64_t inGameY = (kVerticalScreens - 2) * kInGameScreenHeight + 7 * kCell;
    const int below = level.screens[0].cells[static_cast<size_t>(column - 1)];
    const int neighbour = level.screens[1].cells[static_cast<size_t>(7 * kColumns + column)];
    ASSERT_NE(level.screens[1].cells[static_cast<size_t>(7 * kColumns + column - 1)], kMarkerTile);

    PickTile(kMarkerTile);
    MoveTo(inGameX + kHalfCell, inGameY + kHalfCell / 2);
    ASSERT_EQ(CtrlClick(), 1);
    EXPECT_EQ(level.screens[1].cells[static_cast<size_t>(7 * kColumns + column - 1)], kMarkerTile);
    EXPECT_EQ(host.mapPicture, Composed());
    EXPECT_EQ(ProbeIndex(Composed(), x, plainY), kMarkerTile);
    EXPECT_EQ(ProbeIndex(Composed(), inGameX, inGameY), kMarkerTile);
    // The screen below the half row and the next cell keep their pictures; the grid stays.
    EXPECT_EQ(ProbeIndex(Composed(), inGameX, inGameY + kHalfCell), below);
    EXPECT_EQ(ProbeIndex(Composed(), x + kCell, plainY), neighbour);
    EXPECT_EQ(ProbeIndex(Composed(), inGameX + kCell, inGameY), neighbour);
    EXPECT_EQ(PixelAt(Composed(), x, plainY + kHalfCell), kGridColour);
    EXPECT_EQ(PixelAt(Composed(), inGameX + kHalfCell, inGameY), kGridColour);
}

TEST_F(MapEditing, ACellIsClearedBeforeAMissingPictureIsPlaced) {
    LevelRecord& level = Show(kVerticalPlace);
    view.pictures[kMarkerTile] = SuperTilePicture{};
    ASSERT_EQ(PickTile(kMarkerTile), 1);
    EXPECT_TRUE(host.preview.empty());
    const int64_t inGameX = kColumns * kCell + kDefaultSeparation;
    const int64_t inGameY = (kVerticalScreens - 2) * kInGameScreenHeight + 7 * kCell;
    MoveTo(inGameX + kHalfCell, inGameY + kHalfCell / 2);
    ASSERT_EQ(CtrlClick(), 1);
    const int64_t plainY = ((kVerticalScreens - 2) * kVerticalRows + kVerticalRows - 1) * kCell;
    const toolkit::ArgbPixels& plainMap = view.layers.plainMap;
    const toolkit::ArgbPixels& inGameMap = view.layers.InGameMap();
    const int64_t inGameLayerY = inGameY;
    EXPECT_EQ(AlphaOf(PixelAt(plainMap, kProbeX, plainY + kProbeY)), 0u);
    EXPECT_EQ(AlphaOf(PixelAt(plainMap, kCell - 1, plainY + kCell - 1)), 0u);
    EXPECT_EQ(AlphaOf(PixelAt(inGameMap, kProbeX, inGameLayerY + kProbeY)), 0u);
    EXPECT_EQ(AlphaOf(PixelAt(inGameMap, kCell - 1, inGameLayerY + kHalfCell - 1)), 0u);
    // Only the half row was cleared: screen 1's first row below it is whole.
    EXPECT_EQ(ProbeIndex(inGameMap, 0, inGameLayerY + kHalfCell), level.screens[0].cells[0]);
    EXPECT_NE(AlphaOf(PixelAt(inGameMap, kCell - 1, inGameLayerY + kHalfCell)), 0u);
}

TEST_F(MapEditing, NothingIsPlacedIntoALevelWithoutAMap) {
    levels.records[1].baseScreenCount = 255;  // 1020 screens: too large to draw
    Show(2);
    MoveTo(kHalfCell, kHalfCell);
    EXPECT_EQ(CtrlClick(), 0);
    EXPECT_EQ(host.mapPicture, nullptr);
}

}  // namespace
}  // namespace mapview_test
