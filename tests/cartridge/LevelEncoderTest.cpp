// Saving levels back into their image: byte-for-byte round trips, edits, and refused saves.
#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kLevelWithLiterals = 1;  // its screen 5 is 56 literals: any edit fits
constexpr int kLiteralScreen = 5;
constexpr int kPackedLevel = 5;  // its screens are stored back to back
constexpr int kRunScreen = 4;    // level 1 screen 4 is one run of 56 cells in 2 bytes
constexpr int kBossPlace = 9;
constexpr uint8_t kEditedCell = 0x7E;  // a super-tile index no sample screen uses
constexpr int64_t kHorizontalCells = 56;
const ByteArray kUntouched{0xEE, 0xEE};

// Saving without an edit gives every image back byte for byte, stored forms that are not the
// editor's included, and what was saved reads back to the same levels.
TEST(EncodeRom, UneditedLevelsSaveBackByteForByte) {
    const std::vector<std::string> images = SampleManifest::Get().ImagesWithRooms();
    ASSERT_FALSE(images.empty());
    for (const std::string& name : images) {
        const ByteArray image = LoadTestImage(name);
        const ByteArray original = image;
        const LevelList decoded = DecodeOrFail(image);
        LevelList levels = decoded;
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << name << ": " << result.message;
        EXPECT_EQ(image, original) << name;
        EXPECT_TRUE(output == image) << name;
        EXPECT_EQ(levels.source.imageChecksum, ImageChecksum(output)) << name;
        ASSERT_EQ(levels.records.size(), decoded.records.size()) << name;
        for (size_t i = 0; i < decoded.records.size(); ++i) {
            EXPECT_TRUE(SameHeader(levels.records[i], decoded.records[i])) << name << i;
            EXPECT_EQ(levels.records[i].screens, decoded.records[i].screens) << name << i;
            EXPECT_EQ(levels.records[i].objectLists, decoded.records[i].objectLists) << name;
        }
    }
}

// Only the edited screen of an image of odd forms is rewritten, in the editor's form, and the
// bytes of its longer odd form that the new one does not need are erased; the odd forms beside
// it keep their bytes.
TEST(EncodeRom, AnEditedOddFormIsRewrittenAloneInTheEditorsForm) {
    constexpr const char* kOddForms = "OddForms.nes";
    constexpr int kEditedScreen = 1;  // a run split in two, 30 bytes
    constexpr size_t kLiteralCell = 24;
    // The form make_sample_roms.py gives level 1 screen 1 with that cell 7E: a run of 24, the
    // edited row's literals, the runs of the two middle rows and the last row's literals.
    const ByteArray kEditedForm{0x98, 0x20, 0x7E, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D,
                                0x83, 0x46, 0x49, 0x84, 0x56, 0x83, 0x47, 0x49, 0x84, 0x57,
                                0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x10};
    const ByteArray image = LoadTestImage(kOddForms);
    const StoredPlace odd = SampleManifest::Get().Stored(kOddForms, 1, kEditedScreen);
    LevelList levels = DecodeOrFail(image);
    Screen(levels, 1, kEditedScreen).cells[kLiteralCell] = kEditedCell;
    const ScreenRecord edited = Screen(levels, 1, kEditedScreen);
    ByteArray output;
    const CodecResult result = EncodeImage(image, levels, output);
    ASSERT_TRUE(result.ok) << result.message;

    ByteArray expected = image;
    PutBytes(expected, odd.offset, ByteArray(static_cast<size_t>(odd.length), kErased));
    PutBytes(expected, odd.offset, kEditedForm);
    EXPECT_TRUE(output == expected);
    EXPECT_EQ(Screen(DecodeOrFail(output), 1, kEditedScreen).cells, edited.cells);
}

// The placements the generator made EditorPlaced.nes with save as that image.
TEST(EncodeRom, TheGeneratorsPlacementsSaveAsItsImage) {
    constexpr const char* kPlaced = "EditorPlaced.nes";
    const auto found = SampleManifest::Get().placements.find(kPlaced);
    ASSERT_NE(found, SampleManifest::Get().placements.end());
    const ByteArray image = LoadTestImage(kImageA);
    LevelList levels = DecodeOrFail(image);
    for (const SampleManifest::Placement& p : found->second) {
        ASSERT_FALSE(PlaceCell(levels, p.place, p.screen, p.cell, p.tile).empty());
    }
    ByteArray output;
    const CodecResult result = EncodeImage(image, levels, output);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(output == LoadTestImage(kPlaced));
}

TEST(EncodeRom, AnEditIsWrittenInPlaceOnly) {
    for (const char* name : {kImageA, kImageB}) {
        const ByteArray image = LoadTestImage(name);
        LevelList levels = DecodeOrFail(image);
        Screen(levels, kLevelWithLiterals, kLiteralScreen).cells[0] = kEditedCell;
        const ScreenRecord screen = Screen(levels, kLevelWithLiterals, kLiteralScreen);
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << result.message;
        const std::vector<size_t> changed = Differences(image, output);
        ASSERT_EQ(changed.size(), 1u) << name;
        EXPECT_EQ(static_cast<int64_t>(changed[0]), screen.storedOffset) << name;
        const LevelList again = DecodeOrFail(output);
        EXPECT_EQ(Screen(again, kLevelWithLiterals, kLiteralScreen).cells, screen.cells) << name;
    }
}

// After a save the levels belong to the new image: a second edit saves into it, each screen's
// length is that of its new form, and its room is measured there again and does not shrink.
TEST(EncodeRom, SavesFollowOneAnother) {
    constexpr int kPairsScreen = 5;  // OddForms stores it as 112 bytes of "81 v" pairs
    ByteArray image = LoadTestImage("OddForms.nes");
    LevelList levels = DecodeOrFail(image);
    const int64_t room = Screen(levels, 1, kPairsScreen).storedRoom;
    for (uint8_t edit : {kEditedCell, static_cast<uint8_t>(kEditedCell - 1)}) {
        Screen(levels, 1, kPairsScreen).cells[0] = edit;
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << result.message;
        image = output;
        const LevelList again = DecodeOrFail(image);
        EXPECT_EQ(Screen(again, 1, kPairsScreen).cells[0], edit);
        // The screen's rows are literals: one byte a cell.
        EXPECT_EQ(Screen(levels, 1, kPairsScreen).storedLength, kHorizontalCells);
        EXPECT_EQ(Screen(levels, 1, kPairsScreen).storedRoom, room);
        EXPECT_EQ(Screen(again, 1, kPairsScreen).storedRoom, room);
    }
}

// A screen whose form grows may take the bytes up to the next data after it: the run of 56
// cells stored in 2 bytes of a 56-byte slot takes an edit in its middle.
TEST(EncodeRom, AnEditGrowsIntoItsRoom) {
    constexpr size_t kInTheRun = 20;
    // 20 cells of 23, the edit, and the other 35 cells of 23.
    const ByteArray kGrownForm{0x94, 0x23, kEditedCell, 0xA3, 0x23};
    for (const char* name : {kImageA, kImageB}) {
        const ByteArray image = LoadTestImage(name);
        LevelList levels = DecodeOrFail(image);
        const ScreenRecord before = Screen(levels, kLevelWithLiterals, kRunScreen);
        Screen(levels, kLevelWithLiterals, kRunScreen).cells[kInTheRun] = kEditedCell;
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << name << ": " << result.message;
        const StoredPlace stored = SampleManifest::Get().Stored(name, 1, kRunScreen);
        ByteArray expected = image;
        PutBytes(expected, stored.offset, kGrownForm);
        EXPECT_TRUE(output == expected) << name;
        const LevelList again = DecodeOrFail(output);
        EXPECT_EQ(Screen(again, kLevelWithLiterals, kRunScreen).cells[kInTheRun], kEditedCell);
        EXPECT_EQ(Screen(again, kLevelWithLiterals, kRunScreen).storedRoom, before.storedRoom);
    }
}

// Every edited screen that needs more than its room is named, with its bytes and its room.
TEST(EncodeRom, EveryScreenOverItsRoomIsNamed) {
    constexpr size_t kInFirstRun = 20;
    const ByteArray image = LoadTestImage(kImageA);
    LevelList levels = DecodeOrFail(image);
    const int overScreens[] = {1, 2};  // packed: their rooms end where the next screen starts
    // make_sample_roms.py's forms of the two edited screens: the first breaks a run of 24 into
    // 20, the edit and 3; the second a run of four into the edit and 3.
    const int64_t needed[] = {31, 26};
    for (int screen : overScreens) {
        Screen(levels, kPackedLevel, screen).cells[kInFirstRun] = kEditedCell;
    }
    Screen(levels, kLevelWithLiterals, kLiteralScreen).cells[0] = kEditedCell;  // fits
    ByteArray output = kUntouched;
    const CodecResult result = EncodeImage(image, levels, output);
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.problem, CodecProblem::ScreenTooLong);
    ASSERT_EQ(result.overruns.size(), std::size(overScreens));
    for (size_t i = 0; i < result.overruns.size(); ++i) {
        const ScreenOverrun& overrun = result.overruns[i];
        const ScreenRecord& screen = Screen(levels, kPackedLevel, overScreens[i]);
        EXPECT_EQ(overrun.level, kPackedLevel);
        EXPECT_EQ(overrun.screen, overScreens[i]);
        EXPECT_EQ(overrun.needed, needed[i]);
        EXPECT_EQ(overrun.room, SampleManifest::Get().Room(kImageA, kPackedLevel, overScreens[i]));
        EXPECT_EQ(overrun.room, screen.storedRoom);
        EXPECT_NE(result.message.find(LevelPlaceText(kPackedLevel, overScreens[i])),
                  std::string::npos)
            << result.message;
    }
    EXPECT_EQ(output, kUntouched);
}

TEST(EncodeRom, ABossRoomIsWrittenRaw) {
    const ByteArray image = LoadTestImage(kImageA);
    LevelList levels = DecodeOrFail(image);
    levels.records.at(kBossPlace - 1).screens.at(0).cells.back() = kEditedCell;
    const ScreenRecord boss = levels.records.at(kBossPlace - 1).screens.at(0);
    ByteArray output;
    ASSERT_TRUE(EncodeImage(image, levels, output).ok);
    const std::vector<size_t> changed = Differences(image, output);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(static_cast<int64_t>(changed[0]),
              boss.storedOffset + static_cast<int64_t>(boss.cells.size()) - 1);
    EXPECT_EQ(output[changed[0]], kEditedCell);
}

struct RefusedEdit {
    const char* name;
    const char* image;
    int place;
    int screen;
    size_t cell;
    uint8_t value;
    const char* reason;  // a word of the refusal's message
};

// A refused save names the level and screen, and changes neither the image, the levels nor the
// output.
TEST(EncodeRom, EditsThatCannotBeStoredAreRefused) {
    constexpr size_t kInFirstRun = 20;     // inside the screen's leading run of F rows
    constexpr size_t kFirstDCell = 24;     // HA's row 4: literals, an edit keeps the length
    constexpr size_t kSixthRowDCell = 40;  // HB's row 6: literals
    constexpr const char* kTooLong = "needs";
    constexpr const char* kShared = "shares its stored bytes with";
    constexpr const char* kAliasDiffers = "holds other cells";
    constexpr const char* kNoForm = "cannot be stored";
    constexpr uint8_t kOtherObjectList = 0x0C;  // moves level 8's first object list by one byte
    const RefusedEdit cases[] = {
        // The packed level 5's first screen grows past its 28 bytes, where screen 2 starts.
        {"GrowsAPackedScreen", kImageA, kPackedLevel, 1, kInFirstRun, kEditedCell, kTooLong},
        // Screens 3 and 4 are one stored screen: an edit of one alone would show two different
        // screens where the image holds one. Screen 5 starts inside screen 1's bytes.
        {"EditsOneOfTwoAliases", "SharedScreens.nes", 1, 4, kSixthRowDCell, kEditedCell,
         kAliasDiffers},
        {"EditsTheOtherAlias", "SharedScreens.nes", 1, 3, kSixthRowDCell, kEditedCell,
         kAliasDiffers},
        {"EditsAScreenOthersPointInto", "SharedScreens.nes", 1, 1, kFirstDCell, kEditedCell,
         kShared},
        {"EditsAScreenInsideAnother", "SharedScreens.nes", 1, 5, 0, kEditedCell, kShared},
        // Cells of 0x80 and above have no run-length form.
        {"EditsAScreenWithHighCells", "HighCells.nes", 1, 4, kInFirstRun, 0x06, kNoForm},
        {"WritesAHighCell", kImageA, kLevelWithLiterals, kLiteralScreen, 0, 0x80, kNoForm},
        // Level 7 screen 5 is stored over level 8's object-list pointer table.
        {"ChangesDataOthersRead", "ScreenOverObjectTable.nes", 7, 5, 0, kOtherObjectList, kShared},
    };
    for (const RefusedEdit& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteArray image = LoadTestImage(c.image);
        const ByteArray original = image;
        LevelList levels = DecodeOrFail(image);
        ASSERT_NE(Screen(levels, c.place, c.screen).cells.at(c.cell), c.value);
        Screen(levels, c.place, c.screen).cells.at(c.cell) = c.value;
        const LevelList edited = levels;
        ByteArray output = kUntouched;
        const CodecResult result = EncodeImage(image, levels, output);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.level, c.place) << result.message;
        EXPECT_EQ(result.screen, c.screen) << result.message;
        EXPECT_NE(result.message.find(LevelPlaceText(c.place, c.screen)), std::string::npos)
            << result.message;
        EXPECT_NE(result.message.find(c.reason), std::string::npos) << result.message;
        EXPECT_EQ(output, kUntouched);
        EXPECT_EQ(image, original);
        EXPECT_EQ(Screen(levels, c.place, c.screen).cells, Screen(edited, c.place, c.screen).cells);
        EXPECT_EQ(levels.source.imageChecksum, edited.source.imageChecksum);
    }
}

// Screens that share nothing may be edited even in an image where others share bytes, and an
// unedited screen of cells that have no form keeps its stored bytes.
TEST(EncodeRom, EditsBesideSharedOrUnstorableScreensAreSaved) {
    constexpr int kFreeScreen = 2;
    for (const char* name : {"SharedScreens.nes", "HighCells.nes"}) {
        const ByteArray image = LoadTestImage(name);
        LevelList levels = DecodeOrFail(image);
        // The screen ends in a run of two (82 e); two literals take as many bytes.
        Screen(levels, 1, kFreeScreen).cells.back() = kEditedCell;
        const ScreenRecord free = Screen(levels, 1, kFreeScreen);
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << name << ": " << result.message;
        for (size_t at : Differences(image, output)) {
            EXPECT_GE(static_cast<int64_t>(at), free.storedOffset) << name;
            EXPECT_LT(static_cast<int64_t>(at), free.storedOffset + free.storedLength) << name;
        }
        const LevelList again = DecodeOrFail(output);
        EXPECT_EQ(Screen(again, 1, kFreeScreen).cells, free.cells);
    }
}

// Levels can only be written into the image, layout and table they were decoded from.
TEST(EncodeRom, StaleLevelsAreRefused) {
    const ByteArray a = LoadTestImage(kImageA);
    const ByteArray b = LoadTestImage(kImageB);
    const LevelList decodedA = DecodeOrFail(a);
    LevelList levelsOfA = decodedA;
    ByteArray output = kUntouched;

    EXPECT_FALSE(EncodeImage(b, levelsOfA, output).ok);
    ByteArray changedA = a;
    constexpr size_t kSpareHeaderByte = 8;  // an iNES header byte nothing reads
    changedA[kSpareHeaderByte] ^= 1;
    EXPECT_FALSE(EncodeImage(changedA, levelsOfA, output).ok);

    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    EXPECT_FALSE(EncodeRom(a, levelsOfA, true, table, output).ok);
    const std::vector<int32_t> otherTable{kLevelHeaderTableAddress + 1, kBossListFilePos};
    EXPECT_FALSE(EncodeRom(a, levelsOfA, false, otherTable, output).ok);
    LevelList none;
    EXPECT_FALSE(EncodeImage({}, none, output).ok);
    EXPECT_EQ(output, kUntouched);
    EXPECT_EQ(levelsOfA.source.imageChecksum, decodedA.source.imageChecksum);

    // No table given: the values of InitRomLayout.
    EXPECT_TRUE(EncodeRom(a, levelsOfA, false, {}, output).ok);
    EXPECT_EQ(output, a);
}

TEST(EncodeRom, RecordsThatDoNotMatchTheImageAreRefused) {
    const ByteArray image = LoadTestImage(kImageA);
    LevelList levels = DecodeOrFail(image);
    Screen(levels, 1, 1).cells.pop_back();
    ByteArray output = kUntouched;
    CodecResult result = EncodeImage(image, levels, output);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.level, 1);
    EXPECT_EQ(result.screen, 1);

    levels = DecodeOrFail(image);
    Screen(levels, 1, 1).storedOffset = static_cast<int64_t>(image.size());
    EXPECT_FALSE(EncodeImage(image, levels, output).ok);
    EXPECT_EQ(output, kUntouched);

    // A level list of another length than the image's, however it came about.
    levels = DecodeOrFail(image);
    levels.records.push_back(levels.records.at(kBossPlace - 1));
    result = EncodeImage(image, levels, output);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problem, CodecProblem::Other) << result.message;
    levels = DecodeOrFail(image);
    levels.records.pop_back();
    result = EncodeImage(image, levels, output);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problem, CodecProblem::Other) << result.message;
    EXPECT_EQ(output, kUntouched);
}

}  // namespace
