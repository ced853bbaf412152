// Editing through the codec: screens that are one stored screen change together, and whether an
// edited screen still fits its room.
#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"

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
    // The sixth row's first cell is the ninth byte of the stored form: after a run of 16
    // (2 bytes), the middle row's runs (5) and another run of 16 (2).
    constexpr int64_t kSixthRowByte = 9;
    const ByteArray image = LoadTestImage(kSharedImage);
    LevelList levels = DecodeOrFail(image);
    const std::vector<ScreenPlace> changed =
        PlaceCell(levels, 1, kAliasB, kSixthRowCell, kEditedCell);
    EXPECT_EQ(changed, (std::vector<ScreenPlace>{{1, kAliasB}, {1, kAliasA}}));
    EXPECT_EQ(Screen(levels, 1, kAliasA).cells, Screen(levels, 1, kAliasB).cells);
    EXPECT_EQ(Screen(levels, 1, kAliasA).cells[kSixthRowCell], kEditedCell);

    ByteArray output;
    const CodecResult result = EncodeImage(image, levels, output);
    ASSERT_TRUE(result.ok) << result.message;
    ByteArray expected = image;
    const StoredPlace stored = SampleManifest::Get().Stored(kSharedImage, 1, kAliasB);
    expected[static_cast<size_t>(stored.offset + kSixthRowByte)] = kEditedCell;
    EXPECT_TRUE(output == expected);
    const LevelList again = DecodeOrFail(output);
    EXPECT_EQ(Screen(again, 1, kAliasA).cells[kSixthRowCell], kEditedCell);
    EXPECT_EQ(Screen(again, 1, kAliasB).cells[kSixthRowCell], kEditedCell);
}

// Sharing stored bytes with a screen of another cell count, or with a boss room's raw screen,
// makes no alias: an edit of either one is refused, and the other keeps its bytes.
TEST(ScreenAliases, OtherSharersStayRefusedWhenEdited) {
    constexpr int kVerticalPlace = 3;  // 64 cells a screen
    constexpr int kMovedScreen = 2;
    constexpr int kBossAddress = 0x9100;  // the first boss room's raw screen: 56 literals
    const ByteArray sample = LoadTestImage(kImageA);
    const LevelList a = DecodeOrFail(sample);
    const auto pointTo = [&](int place, int screen, int32_t address) {
        ByteArray image = sample;
        const int64_t entry = FileOffset(a.records[place - 1].screenTable + int64_t{screen - 1} * 2,
                                         kSmallLayoutLevelBank, true);
        image[static_cast<size_t>(entry)] = static_cast<uint8_t>(address & 0xFF);
        image[static_cast<size_t>(entry) + 1] = static_cast<uint8_t>(address >> 8);
        return image;
    };
    const int32_t firstScreenAddress =
        static_cast<int32_t>(Screen(a, 1, 1).storedOffset - kInesHeaderSize);
    // Level 1 screen 1's fourth row is literals: an edit there keeps the form's length, so
    // that the sharing and not the room refuses it.
    constexpr size_t kLiteralCell = 3 * kLevelColumns;
    const struct {
        const char* name;
        ByteArray image;
        int place;
        int screen;
        size_t cell;
    } cases[] = {
        {"the screen of other cells", pointTo(kVerticalPlace, kMovedScreen, firstScreenAddress),
         kVerticalPlace, kMovedScreen, 0},
        {"the screen of one pointer", pointTo(kVerticalPlace, kMovedScreen, firstScreenAddress), 1,
         1, kLiteralCell},
        {"the screen over a boss room", pointTo(1, kMovedScreen, kBossAddress), 1, kMovedScreen, 0},
        {"the boss room under a screen", pointTo(1, kMovedScreen, kBossAddress), kBossPlace,
         kBossPlace, 0},
    };
    for (const auto& c : cases) {
        LevelList levels = DecodeOrFail(c.image);
        ASSERT_EQ(ScreenAliases(levels, c.place, c.screen).size(),
                  IsRunLengthPlace(c.place) ? 1u : 0u)
            << c.name;
        ByteArray& cells = levels.records.at(c.place - 1)
                               .screens.at(IsRunLengthPlace(c.place) ? c.screen - 1 : 0)
                               .cells;
        cells[c.cell] =
            static_cast<uint8_t>(cells[c.cell] == kEditedCell ? kEditedCell - 1 : kEditedCell);
        ByteArray output;
        const CodecResult result = EncodeImage(c.image, levels, output);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_EQ(result.problem, CodecProblem::SharedBytes) << c.name << ": " << result.message;
        EXPECT_EQ(result.level, c.place) << c.name;
    }
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
    // The run of 24 broken into 20, the edit and 3: three bytes more than the 28 stored.
    constexpr int64_t kNeeded = 31;
    EXPECT_EQ(over.needed, kNeeded);
    EXPECT_EQ(over.room, SampleManifest::Get().Room(kImageA, kPackedLevel, 1));

    // Putting the cell back makes it fit again.
    PlaceCell(levels, kPackedLevel, 1, kInFirstRun, stored[kInFirstRun]);
    EXPECT_TRUE(CheckScreenFit(Screen(levels, kPackedLevel, 1)).fits);

    // A form that takes the whole room fits; one byte more does not.
    const int64_t room = SampleManifest::Get().Room(kImageA, kPackedLevel, 1);
    ScreenRecord& screen = levels.records[kPackedLevel - 1].screens[0];
    screen.cells = CellsOfFormLength(screen.cells.size(), static_cast<size_t>(room));
    EXPECT_TRUE(CheckScreenFit(screen).fits);
    screen.cells = CellsOfFormLength(screen.cells.size(), static_cast<size_t>(room + 1));
    EXPECT_FALSE(CheckScreenFit(screen).fits);
}

}  // namespace
