// Placing into a screen that is stored as one with another changes and redraws both, and a
// placement that leaves a screen over its room is told to the host.
#include "MapViewTestSupport.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"
#include "support/MapPicProbe.h"
#include "view/MapEditing.h"
#include "view/MapGeometry.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace mapview_test {
namespace {

constexpr const char kSharedImage[] = VENNMARK_TESTDATA_DIR "/SharedScreens.nes";
constexpr int kAliasA = 3;  // level 1 screens 3 and 4 share one pointer
constexpr int kAliasB = 4;
constexpr int kColumn = 2;
constexpr int kRow = 6;
constexpr int kMarkerTile = 0x77;
constexpr int kPackedPlace = 5;  // level 5's screens lie back to back
constexpr int kRunColumn = 5;    // rows 1 to 3 of its screen 1 are one run
constexpr int kRunRow = 3;
constexpr int kCell = 32;
constexpr int kColumns = 8;
constexpr int kNoTile = -1;

LevelList Decode(const char* path) {
    LevelList levels = DecodeTestImage(path);
    for (LevelRecord& level : levels.records) {
        level.objectLists.clear();  // no object mark covers a probe pixel
    }
    return levels;
}

class OverrunHost : public RecordingHost {
public:
    void ShowRoomOverrun(const RoomOverrun& shown) override {
        overrun = shown;
        ++overrunCalls;
    }
    RoomOverrun overrun;
    int overrunCalls = 0;
};

class PlaceAliases : public testing::Test {
protected:
    ~PlaceAliases() override { ResetMapView(view, host); }

    void Start(LevelList decoded, int place) {
        levels = std::move(decoded);
        view.pictureFolder = SamplePictureFolder();
        ASSERT_EQ(SelectLevel(view, host, levels, place), 1);
    }
    const LevelRecord& Level() const {
        return levels.records[static_cast<size_t>(view.currentLevel) - 1];
    }
    PicturePoint CellOrigin(int screen, int column, int row) const {
        return PlainCellOrigin(LevelMapGeometry(Level()), screen, column, row);
    }
    int Place(int screen, int column, int row, int tile) {
        view.selectedTile = tile;
        const PicturePoint at = CellOrigin(screen, column, row);
        OnMapMouseMove(view, host, &levels, static_cast<int32_t>(at.x + kCell / 2 + 1),
                       static_cast<int32_t>(at.y + kCell / 2 + 1), 0);
        return OnImageClick(view, host, &levels, ImageTarget::MapView, 0, 0, kKeyCtrl);
    }
    int TileShownAt(int screen, int column, int row) {
        const PicturePoint at = CellOrigin(screen, column, row);
        int level = 0;
        int index = kNoTile;
        return mappic_probe::DecodeProbe(
                   view.layers.plainMap.At(static_cast<int64_t>(at.x) + mappic_probe::kProbeX,
                                           static_cast<int64_t>(at.y) + mappic_probe::kProbeY),
                   level, index)
                   ? index
                   : kNoTile;
    }
    uint8_t Cell(int screen, int column, int row) const {
        return Level()
            .screens[static_cast<size_t>(screen) - 1]
            .cells[static_cast<size_t>((row - 1) * kColumns + column - 1)];
    }

    LevelList levels;
    MapViewState view;
    OverrunHost host;
};

TEST_F(PlaceAliases, APlacementChangesAndRedrawsEveryScreenStoredAsOne) {
    ASSERT_NO_FATAL_FAILURE(Start(Decode(kSharedImage), 1));
    ASSERT_EQ(Place(kAliasB, kColumn, kRow, kMarkerTile), 1);
    for (int screen : {kAliasA, kAliasB}) {
        EXPECT_EQ(Cell(screen, kColumn, kRow), kMarkerTile) << screen;
        EXPECT_EQ(TileShownAt(screen, kColumn, kRow), kMarkerTile) << screen;
    }
    // A screen that only starts inside another's bytes is no alias of it.
    EXPECT_NE(Cell(1, kColumn, kRow), kMarkerTile);
}

TEST_F(PlaceAliases, APlacementOverTheRoomIsToldUntilOneFits) {
    ASSERT_NO_FATAL_FAILURE(Start(SampleLevelsWithoutObjects(), kPackedPlace));
    const uint8_t runTile = Cell(1, kRunColumn, kRunRow);
    ASSERT_EQ(Place(1, kRunColumn, kRunRow, runTile + 1), 1);
    const ScreenFit fit = CheckScreenFit(Level().screens[0]);
    ASSERT_FALSE(fit.fits);
    EXPECT_EQ(host.overrun.place, kPackedPlace);
    EXPECT_EQ(host.overrun.screen, 1);
    EXPECT_EQ(host.overrun.over, fit.needed - fit.room);

    ASSERT_EQ(Place(1, kRunColumn, kRunRow, runTile), 1);
    EXPECT_EQ(host.overrun.over, 0);
    EXPECT_EQ(host.overrunCalls, 2);
}

}  // namespace
}  // namespace mapview_test
