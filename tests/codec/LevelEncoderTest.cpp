// Saving levels back into their image: byte-for-byte round trips, edits, and refused saves.
#include "CodecTestData.h"

#include "codec/LevelDecoder.h"
#include "codec/LevelEncoder.h"
#include "codec/RomLayout.h"
#include "codec/RunLength.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kLevelWithLiterals = 1;  // its screen 5 is 56 literals: any edit fits
constexpr int kLiteralScreen = 5;
constexpr int kPackedLevel = 5;  // its screens are stored back to back
constexpr int kRunScreen = 4;    // level 1 screen 4 is one run of 56 cells in 2 bytes
constexpr int kBossPlace = 9;
constexpr uint8_t kEditedCell = 0x7E;  // a super-tile index no sample screen uses
const ByteArray kUntouched{0xEE, 0xEE};

ScreenRecord& Screen(LevelList& levels, int place, int screen) {
    return levels.records.at(place - 1).screens.at(screen - 1);
}

const ScreenRecord& Screen(const LevelList& levels, int place, int screen) {
    return levels.records.at(place - 1).screens.at(screen - 1);
}

// The offsets at which two images differ.
std::vector<size_t> Differences(const ByteArray& a, const ByteArray& b) {
    std::vector<size_t> at;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i]) {
            at.push_back(i);
        }
    }
    return at;
}

struct RoundTrip {
    const char* name;
    bool identical;  // the editor's forms are what the image stores
};

// Saving without an edit gives the image back byte for byte where every screen is in the
// editor's form, and otherwise an image that reads back to the same levels.
TEST(EncodeRom, UneditedLevelsSaveBack) {
    const RoundTrip cases[] = {{kImageA, true},
                               {kImageB, true},
                               {"ShortA.nes", true},
                               {"Kind2.nes", true},
                               {"SharedScreens.nes", true},
                               {"HighCells.nes", true},
                               {"ScreenOverObjectTable.nes", true},
                               {"OddForms.nes", false},
                               {"Vertical2.nes", false}};
    for (const RoundTrip& c : cases) {
        const ByteArray image = LoadTestImage(c.name);
        const ByteArray original = image;
        const LevelList decoded = DecodeOrFail(image);
        LevelList levels = decoded;
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << c.name << ": " << result.message;
        EXPECT_EQ(image, original) << c.name;
        EXPECT_EQ(levels.source.imageChecksum, ImageChecksum(output)) << c.name;
        if (c.identical) {
            EXPECT_TRUE(output == image) << c.name;
        }
        // What was saved reads back, and is what the editor goes on with.
        for (const LevelList& again : {DecodeOrFail(output), levels}) {
            ASSERT_EQ(again.records.size(), decoded.records.size()) << c.name;
            for (size_t i = 0; i < decoded.records.size(); ++i) {
                EXPECT_TRUE(SameHeader(again.records[i], decoded.records[i])) << c.name << i;
                EXPECT_EQ(again.records[i].screens, decoded.records[i].screens) << c.name << i;
                EXPECT_EQ(again.records[i].objectLists, decoded.records[i].objectLists) << c.name;
            }
        }
    }
}

// A screen in another form gets the editor's form; the rest of its old bytes stay as they were.
TEST(EncodeRom, OddFormsAreRewrittenInTheEditorsFormAndLeaveTheirTail) {
    const ByteArray image = LoadTestImage("OddForms.nes");
    const LevelList decoded = DecodeOrFail(image);
    LevelList levels = decoded;
    ByteArray output;
    ASSERT_TRUE(EncodeImage(image, levels, output).ok);
    for (const ScreenRecord& screen : decoded.records.at(0).screens) {
        const ByteArray form = RleEncode(screen.cells);
        ASSERT_LE(static_cast<int64_t>(form.size()), screen.storedLength);
        const auto at = output.begin() + screen.storedOffset;
        EXPECT_TRUE(std::equal(form.begin(), form.end(), at)) << screen.number;
        EXPECT_TRUE(std::equal(at + form.size(), at + screen.storedLength,
                               image.begin() + screen.storedOffset + form.size()))
            << screen.number;
    }
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

// After a save the levels belong to the new image: a second edit saves into it, and a screen
// that was stored longer than the editor's form now counts only the bytes of that form.
TEST(EncodeRom, SavesFollowOneAnother) {
    constexpr int kPairsScreen = 5;  // OddForms stores it as 112 bytes of "81 v" pairs
    ByteArray image = LoadTestImage("OddForms.nes");
    LevelList levels = DecodeOrFail(image);
    for (uint8_t edit : {kEditedCell, static_cast<uint8_t>(kEditedCell - 1)}) {
        Screen(levels, 1, kPairsScreen).cells[0] = edit;
        ByteArray output;
        const CodecResult result = EncodeImage(image, levels, output);
        ASSERT_TRUE(result.ok) << result.message;
        image = output;
        const LevelList again = DecodeOrFail(image);
        EXPECT_EQ(Screen(again, 1, kPairsScreen).cells[0], edit);
        EXPECT_EQ(Screen(levels, 1, kPairsScreen).storedLength,
                  Screen(again, 1, kPairsScreen).storedLength);
        EXPECT_EQ(Screen(levels, 1, kPairsScreen).storedLength,
                  static_cast<int64_t>(RleEncode(Screen(again, 1, kPairsScreen).cells).size()));
    }
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
    constexpr const char* kShared = "shares";
    constexpr const char* kNoForm = "cannot be stored";
    constexpr const char* kReachesOtherData = "would change data";
    constexpr uint8_t kOtherObjectList = 0x0C;  // moves level 8's first object list by one byte
    const RefusedEdit cases[] = {
        // The packed level 5's first screen grows past its 28 stored bytes.
        {"GrowsAPackedScreen", kImageA, kPackedLevel, 1, kInFirstRun, kEditedCell, kTooLong},
        // One run of 56 cells in 2 bytes: any edit needs more, although its slot has padding.
        {"GrowsPastItsStoredLength", kImageA, kLevelWithLiterals, kRunScreen, kInFirstRun,
         kEditedCell, kTooLong},
        // Screens 3 and 4 share a pointer; screen 5 starts inside screen 1's bytes.
        {"EditsASharedScreen", "SharedScreens.nes", 1, 4, kSixthRowDCell, kEditedCell, kShared},
        {"EditsTheOtherSharer", "SharedScreens.nes", 1, 3, kSixthRowDCell, kEditedCell, kShared},
        {"EditsAScreenOthersPointInto", "SharedScreens.nes", 1, 1, kFirstDCell, kEditedCell,
         kShared},
        {"EditsAScreenInsideAnother", "SharedScreens.nes", 1, 5, 0, kEditedCell, kShared},
        // Cells of 0x80 and above have no run-length form.
        {"EditsAScreenWithHighCells", "HighCells.nes", 1, 4, kInFirstRun, 0x06, kNoForm},
        {"WritesAHighCell", kImageA, kLevelWithLiterals, kLiteralScreen, 0, 0x80, kNoForm},
        // Level 7 screen 5 is stored over level 8's object-list pointer table.
        {"ChangesDataOthersRead", "ScreenOverObjectTable.nes", 7, 5, 0, kOtherObjectList,
         kReachesOtherData},
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
}

}  // namespace
