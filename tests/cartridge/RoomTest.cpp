// The room an edited screen may take: its stored bytes and the free bytes after them up to data
// the editor knows, kept across saves that shorten a screen, and never over a spare screen.
#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

constexpr size_t kHorizontalCells = 56;
// Level 8's last screen: 10 bytes, followed by free bytes up to the boss-room list.
constexpr int kLastLevel = 8;
constexpr int kLastScreen = 12;
// Level 2 (indoor, n = 1): four screens, and the preview reads two spare ones after them.
constexpr int kIndoorLevel = 2;
constexpr int kFirstSpare = 5;
constexpr int kSecondSpare = 6;
constexpr int kIndoorLastScreen = 4;
constexpr uint8_t kForeignByte = 0x5A;  // data the editor does not decode: not a free byte
constexpr uint8_t kOneTile = 0x11;
// Three bytes that are a screen to the preview: one cell of 0, then 55 cells of 5. Its first
// byte is a free byte, so only the map of known data protects it.
const ByteArray kSpareForm{0x00, 0xB7, 0x05};

// Saves cells into one screen and gives the result; output is left alone on a refusal.
CodecResult SaveCells(const ByteArray& image, int place, int screen, const ByteArray& cells,
                      ByteArray& output, LevelList* saved = nullptr) {
    LevelList levels = DecodeOrFail(image);
    for (size_t cell = 0; cell < cells.size(); ++cell) {
        PlaceCell(levels, place, screen, cell, cells[cell]);
    }
    const CodecResult result = EncodeImage(image, levels, output);
    if (saved != nullptr) {
        *saved = std::move(levels);
    }
    return result;
}

// Every changed byte lies in [first, end).
void ExpectChangesWithin(const ByteArray& before, const ByteArray& after, int64_t first,
                         int64_t end) {
    for (size_t at : Differences(before, after)) {
        EXPECT_GE(static_cast<int64_t>(at), first);
        EXPECT_LT(static_cast<int64_t>(at), end);
    }
}

// Other data right after a screen's stored bytes, or a few free bytes further on, ends its room
// there, although the next structure the editor knows lies far after it; a longer edit is
// refused and the data keeps its bytes, and an edit that fills the room exactly is saved.
TEST(ScreenRoom, BytesNobodyClaimedEndTheRoomUnlessFree) {
    constexpr size_t kForeignLength = 40;
    constexpr int64_t kFreeGaps[] = {0, 20};
    const ByteArray sample = LoadTestImage(kImageA);
    const StoredPlace stored = SampleManifest::Get().Stored(kImageA, kLastLevel, kLastScreen);
    ASSERT_GT(SampleManifest::Get().Room(kImageA, kLastLevel, kLastScreen),
              stored.length + kFreeGaps[1]);
    for (int64_t gap : kFreeGaps) {
        SCOPED_TRACE("free bytes before the data: " + std::to_string(gap));
        ByteArray image = sample;
        const int64_t foreign = stored.offset + stored.length + gap;
        PutBytes(image, foreign, ByteArray(kForeignLength, kForeignByte));
        const int64_t room = stored.length + gap;
        LevelList levels = DecodeOrFail(image);
        EXPECT_EQ(Screen(levels, kLastLevel, kLastScreen).storedRoom, room);

        ByteArray output;
        const CodecResult over = SaveCells(image, kLastLevel, kLastScreen,
                                           CellsOfFormLength(kHorizontalCells, room + 1), output);
        EXPECT_FALSE(over.ok);
        EXPECT_EQ(over.problem, CodecProblem::ScreenTooLong) << over.message;
        ASSERT_EQ(over.overruns.size(), 1u);
        EXPECT_EQ(over.overruns[0].room, room);
        EXPECT_TRUE(output.empty());

        if (room >= 2) {
            const ByteArray fills = CellsOfFormLength(kHorizontalCells, room);
            const CodecResult saved = SaveCells(image, kLastLevel, kLastScreen, fills, output);
            ASSERT_TRUE(saved.ok) << saved.message;
            ExpectChangesWithin(image, output, stored.offset, foreign);
            EXPECT_EQ(Screen(DecodeOrFail(output), kLastLevel, kLastScreen).cells, fills);
        }
    }
}

// A screen with nothing after it in its bank may take the free bytes up to the bank's end. A
// save that shortens it erases the bytes it frees, so the room is the same after the save and
// at the next open, and the screen takes its original cells back: the image is as before.
TEST(ScreenRoom, AShortenedScreenKeepsItsRoom) {
    constexpr int32_t kNearTheBanksEnd = 0xBF00;
    constexpr int64_t kToTheBanksEnd = kBankLastAddress + 1 - kNearTheBanksEnd;
    constexpr int64_t kOneRunForm = 2;
    for (const char* name : {kImageA, kImageB}) {
        SCOPED_TRACE(name);
        ByteArray image = LoadTestImage(name);
        MoveScreen(image, name, 1, 1, kNearTheBanksEnd);
        const StoredPlace stored = SampleManifest::Get().Stored(name, 1, 1);
        const int64_t at = BankedOffset(image, kNearTheBanksEnd);
        const LevelList opened = DecodeOrFail(image);
        const ByteArray original = opened.records[0].screens[0].cells;
        ASSERT_EQ(opened.records[0].screens[0].storedRoom, kToTheBanksEnd);

        ByteArray shortened;
        LevelList saved;
        const CodecResult result =
            SaveCells(image, 1, 1, ByteArray(original.size(), kOneTile), shortened, &saved);
        ASSERT_TRUE(result.ok) << result.message;
        for (int64_t i = kOneRunForm; i < stored.length; ++i) {
            EXPECT_EQ(shortened[static_cast<size_t>(at + i)], kErased) << i;
        }
        ExpectChangesWithin(image, shortened, at, at + stored.length);
        EXPECT_EQ(Screen(saved, 1, 1).storedRoom, kToTheBanksEnd);
        EXPECT_EQ(Screen(DecodeOrFail(shortened), 1, 1).storedRoom, kToTheBanksEnd);

        ByteArray restored;
        const CodecResult back = SaveCells(shortened, 1, 1, original, restored);
        ASSERT_TRUE(back.ok) << back.message;
        EXPECT_TRUE(restored == image);
    }
}

// Screens stored as one are shortened together and keep their room.
TEST(ScreenRoom, AliasesAreShortenedTogetherAndKeepTheirRoom) {
    constexpr const char* kShared = "SharedScreens.nes";
    constexpr int kAlias = 3;  // screens 3 and 4 of level 1 share one pointer
    constexpr int kOtherAlias = 4;
    const ByteArray image = LoadTestImage(kShared);
    const int64_t room = SampleManifest::Get().Room(kShared, 1, kAlias);
    const StoredPlace stored = SampleManifest::Get().Stored(kShared, 1, kOtherAlias);
    ByteArray output;
    LevelList saved;
    const ByteArray cells(kHorizontalCells, kOneTile);
    const CodecResult result = SaveCells(image, 1, kAlias, cells, output, &saved);
    ASSERT_TRUE(result.ok) << result.message;
    ExpectChangesWithin(image, output, stored.offset, stored.offset + stored.length);
    const LevelList again = DecodeOrFail(output);
    for (int screen : {kAlias, kOtherAlias}) {
        EXPECT_EQ(Screen(again, 1, screen).cells, cells) << screen;
        EXPECT_EQ(Screen(again, 1, screen).storedRoom, room) << screen;
        EXPECT_EQ(Screen(saved, 1, screen).storedRoom, room) << screen;
    }
}

// A screen that another one starts inside may be shortened before that start: the bytes it
// frees from there on still belong to the other screen and are not erased.
TEST(ScreenRoom, FreedBytesThatOtherDataHoldsAreKept) {
    constexpr const char* kShared = "SharedScreens.nes";
    constexpr int kInsideScreen = 5;  // starts two bytes into screen 1
    const ByteArray image = LoadTestImage(kShared);
    const StoredPlace first = SampleManifest::Get().Stored(kImageA, 1, 1);  // as in image A
    const StoredPlace inside = SampleManifest::Get().Stored(kShared, 1, kInsideScreen);
    // One run: the two bytes before the other screen starts.
    const ByteArray cells(kHorizontalCells, kOneTile);
    ASSERT_EQ(inside.offset - first.offset, 2);
    ByteArray output;
    const CodecResult result = SaveCells(image, 1, 1, cells, output);
    ASSERT_TRUE(result.ok) << result.message;
    ExpectChangesWithin(image, output, first.offset, inside.offset);
    const LevelList before = DecodeOrFail(image);
    const LevelList after = DecodeOrFail(output);
    EXPECT_EQ(Screen(after, 1, 1).cells, cells);
    EXPECT_EQ(Screen(after, 1, kInsideScreen).cells, Screen(before, 1, kInsideScreen).cells);
}

// A spare screen the preview reads at the edited screen's own offset is that screen: it takes
// the edit, grown to the whole room or shortened, and reads the new cells.
TEST(SpareScreens, OneAtTheEditedScreensOffsetIsTheSameScreen) {
    constexpr int32_t kFirstIndoorScreen = 0x8318;
    ByteArray image = LoadTestImage(kImageA);
    PointScreen(image, kIndoorLevel, kFirstSpare, kFirstIndoorScreen);
    const int64_t at = BankedOffset(image, kFirstIndoorScreen);
    const int64_t room = SampleManifest::Get().Room(kImageA, kIndoorLevel, 1);
    ASSERT_EQ(Screen(DecodeOrFail(image), kIndoorLevel, 1).storedRoom, room);

    // All literals: the stored form is the cells themselves.
    const ByteArray grown = CellsOfFormLength(kHorizontalCells, kHorizontalCells);
    ASSERT_LE(static_cast<int64_t>(kHorizontalCells), room);
    ByteArray output;
    const CodecResult result = SaveCells(image, kIndoorLevel, 1, grown, output);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(std::equal(grown.begin(), grown.end(), output.begin() + at));
    ExpectChangesWithin(image, output, at, at + room);

    ByteArray shortened;
    const CodecResult again =
        SaveCells(output, kIndoorLevel, 1, ByteArray(kHorizontalCells, kOneTile), shortened);
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(Screen(DecodeOrFail(shortened), kIndoorLevel, 1).storedRoom, room);
}

struct SpareCase {
    const char* name;
    int32_t firstSpare;  // where the two spare entries point
    int32_t secondSpare;
    int32_t spareData;    // the address of the spare screen that lies after the edited one
    ByteArray spareForm;  // what is stored there
};

// A spare screen in the free bytes after an edited screen ends its room: one that does not
// decode (known by its start alone), and one after a spare entry that cannot be read.
TEST(SpareScreens, OnesInTheFreeBytesAfterAScreenEndItsRoom) {
    constexpr int32_t kMovedScreen = 0xBFC0;
    constexpr int32_t kZerosToTheBanksEnd = 0xBFE8;  // too few bytes left for 56 literals
    constexpr int32_t kSpareScreen = 0xBFE0;
    constexpr int32_t kOutsideTheBank = 0x0000;
    constexpr int32_t kSecondSpareAddress = 0x8440;  // where the sample keeps it
    const SpareCase cases[] = {
        {"a spare screen that does not decode",
         kZerosToTheBanksEnd,
         kSecondSpareAddress,
         kZerosToTheBanksEnd,
         {}},
        {"a spare screen after an unreadable one", kOutsideTheBank, kSpareScreen, kSpareScreen,
         kSpareForm},
    };
    for (const SpareCase& c : cases) {
        SCOPED_TRACE(c.name);
        ByteArray image = LoadTestImage(kImageA);
        MoveScreen(image, kImageA, kIndoorLevel, kIndoorLastScreen, kMovedScreen);
        PointScreen(image, kIndoorLevel, kFirstSpare, c.firstSpare);
        PointScreen(image, kIndoorLevel, kSecondSpare, c.secondSpare);
        PutBytes(image, BankedOffset(image, c.spareData), c.spareForm);
        const int64_t room = c.spareData - kMovedScreen;
        ASSERT_EQ(Screen(DecodeOrFail(image), kIndoorLevel, kIndoorLastScreen).storedRoom, room);

        ByteArray output;
        const CodecResult over = SaveCells(image, kIndoorLevel, kIndoorLastScreen,
                                           CellsOfFormLength(kHorizontalCells, room + 1), output);
        EXPECT_EQ(over.problem, CodecProblem::ScreenTooLong) << over.message;
        const CodecResult fits = SaveCells(image, kIndoorLevel, kIndoorLastScreen,
                                           CellsOfFormLength(kHorizontalCells, room), output);
        ASSERT_TRUE(fits.ok) << fits.message;
        const int64_t first = BankedOffset(image, kMovedScreen);
        ExpectChangesWithin(image, output, first, first + room);
    }
}

// A spare screen that starts inside an edited screen's stored bytes is other data: the edit is
// refused rather than written over it.
TEST(SpareScreens, OneInsideTheEditedScreensBytesRefusesTheEdit) {
    constexpr int32_t kFirstIndoorScreen = 0x8318;
    constexpr int32_t kInsideIt = kFirstIndoorScreen + 4;
    constexpr size_t kSixthRowCell = 40;  // a literal: the form keeps its length
    constexpr uint8_t kEditedCell = 0x7E;
    ByteArray image = LoadTestImage(kImageA);
    PointScreen(image, kIndoorLevel, kFirstSpare, kInsideIt);
    ByteArray cells = Screen(DecodeOrFail(image), kIndoorLevel, 1).cells;
    cells.at(kSixthRowCell) = kEditedCell;
    ByteArray output;
    const CodecResult result = SaveCells(image, kIndoorLevel, 1, cells, output);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problem, CodecProblem::SharedBytes) << result.message;
    EXPECT_TRUE(output.empty());
}

}  // namespace
