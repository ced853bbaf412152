// Editing through the codec: screens that are one stored screen change together, and whether an
// edited screen still fits its room.
#include "CodecTestData.h"

#include "codec/LevelDecoder.h"
#include "codec/LevelEncoder.h"
#include "codec/RunLength.h"
#include "codec/ScreenRoom.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr const char* kSharedImage = "SharedScreens.nes";
constexpr int kAliasA = 3;  // level 1 screens 3 and 4 share one pointer
constexpr int kAliasB = 4;
constexpr int kInsideScreen = 5;  // starts two bytes into screen 1
constexpr int kBossPlace = 9;
constexpr int kPackedLevel = 5;
constexpr size_t kSixthRowCell = 40;
constexpr size_t kInFirstRun = 20;
constexpr uint8_t kEditedCell = 0x7E;
constexpr uint8_t kLargestTile = 0x7F;

const ScreenRecord& Screen(const LevelList& levels, int place, int screen) {
    return levels.records.at(place - 1).screens.at(screen - 1);
}

TEST(ScreenAliases, AreTheScreensOfOnePointerAndCellCount) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kSharedImage));
    const struct {
        const char* name;
        int place;
        int screen;
        std::vector<ScreenPlace> aliases;
    } cases[] = {
        {"first alias", 1, kAliasA, {{1, kAliasA}, {1, kAliasB}}},
        {"second alias", 1, kAliasB, {{1, kAliasB}, {1, kAliasA}}},
        {"inside another screen", 1, kInsideScreen, {{1, kInsideScreen}}},
        {"pointed into", 1, 1, {{1, 1}}},
        {"boss room", kBossPlace, kBossPlace, {}},
        {"no such screen", 1, kInsideScreen + 1, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScreenAliases(levels, c.place, c.screen), c.aliases) << c.name;
    }
}

// An edit of one alias edits both, and the save writes the one stored screen once.
TEST(ScreenAliases, AreEditedAndSavedTogether) {
    const ByteArray image = LoadTestImage(kSharedImage);
    LevelList levels = DecodeOrFail(image);
    const ScreenRecord stored = Screen(levels, 1, kAliasA);
    const std::vector<ScreenPlace> changed =
        PlaceCell(levels, 1, kAliasB, kSixthRowCell, kEditedCell);
    EXPECT_EQ(changed, (std::vector<ScreenPlace>{{1, kAliasB}, {1, kAliasA}}));
    EXPECT_EQ(Screen(levels, 1, kAliasA).cells, Screen(levels, 1, kAliasB).cells);
    EXPECT_EQ(Screen(levels, 1, kAliasA).cells[kSixthRowCell], kEditedCell);

    ByteArray output;
    const CodecResult result = EncodeImage(image, levels, output);
    ASSERT_TRUE(result.ok) << result.message;
    const ByteArray form = RleEncode(Screen(levels, 1, kAliasA).cells);
    for (size_t at = 0; at < image.size(); ++at) {
        const bool inForm =
            static_cast<int64_t>(at) >= stored.storedOffset &&
            static_cast<int64_t>(at) < stored.storedOffset + static_cast<int64_t>(form.size());
        if (!inForm) {
            ASSERT_EQ(output[at], image[at]) << "a byte outside the stored screen at " << at;
        }
    }
    const LevelList again = DecodeOrFail(output);
    EXPECT_EQ(Screen(again, 1, kAliasA).cells[kSixthRowCell], kEditedCell);
    EXPECT_EQ(Screen(again, 1, kAliasB).cells[kSixthRowCell], kEditedCell);
}

TEST(PlaceCell, RefusesCellsAndScreensThatDoNotExist) {
    LevelList levels = DecodeOrFail(LoadTestImage(kImageA));
    const LevelList before = levels;
    const size_t cells = Screen(levels, 1, 1).cells.size();
    EXPECT_TRUE(PlaceCell(levels, 1, 1, cells, kEditedCell).empty());
    EXPECT_TRUE(PlaceCell(levels, 0, 1, 0, kEditedCell).empty());
    EXPECT_TRUE(PlaceCell(levels, 1, 0, 0, kEditedCell).empty());
    EXPECT_TRUE(PlaceCell(levels, kBossPlace, kBossPlace, 0, kEditedCell).empty());
    for (size_t i = 0; i < levels.records.size(); ++i) {
        EXPECT_EQ(levels.records[i].screens, before.records[i].screens);
    }
}

// The largest super-tile index is stored as a literal and in runs, and reads back.
TEST(PlaceCell, TheLargestSuperTileIsSavedAndReadBack) {
    constexpr int kLiteralScreen = 5;  // level 1 screen 5: literals only
    const ByteArray image = LoadTestImage(kImageA);
    LevelList levels = DecodeOrFail(image);
    PlaceCell(levels, 1, kLiteralScreen, 0, kLargestTile);
    const size_t cells = Screen(levels, 1, kLiteralScreen).cells.size();
    for (size_t cell = 0; cell < cells; ++cell) {
        PlaceCell(levels, 2, 1, cell, kLargestTile);  // one run of the whole screen
    }
    ByteArray output;
    const CodecResult result = EncodeImage(image, levels, output);
    ASSERT_TRUE(result.ok) << result.message;
    const LevelList again = DecodeOrFail(output);
    EXPECT_EQ(Screen(again, 1, kLiteralScreen).cells[0], kLargestTile);
    EXPECT_EQ(Screen(again, 2, 1).cells, ByteArray(cells, kLargestTile));
}

TEST(CheckScreenFit, TellsWhetherAnEditedScreenFitsItsRoom) {
    LevelList levels = DecodeOrFail(LoadTestImage("OddForms.nes"));
    // Unchanged cells keep their stored bytes, whatever the editor's form of them would need.
    EXPECT_TRUE(CheckScreenFit(Screen(levels, 1, 1)).fits);

    levels = DecodeOrFail(LoadTestImage(kImageA));
    const ByteArray stored = Screen(levels, kPackedLevel, 1).cells;
    PlaceCell(levels, kPackedLevel, 1, kInFirstRun, kEditedCell);
    const ScreenRecord& edited = Screen(levels, kPackedLevel, 1);
    const ScreenFit over = CheckScreenFit(edited);
    EXPECT_FALSE(over.fits);
    EXPECT_EQ(over.needed, static_cast<int64_t>(RleEncode(edited.cells).size()));
    EXPECT_EQ(over.room, edited.storedRoom);

    // Putting the cell back makes it fit again.
    PlaceCell(levels, kPackedLevel, 1, kInFirstRun, stored[kInFirstRun]);
    EXPECT_TRUE(CheckScreenFit(Screen(levels, kPackedLevel, 1)).fits);
}

}  // namespace
