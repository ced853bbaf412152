// The preview's write-back against everything else the image holds: screens that overlap other
// screens, object tables, lists or boss rooms, screens that are one stored screen in several
// stages, several screens on one pointer painted differently, and screens whose pointer lies
// outside the level bank's window. Images are copies of the generator's samples with a few
// screen-table entries pointed elsewhere.
#include "../cartridge/CodecTestData.h"
#include "PreviewTestImages.h"
#include "cartridge/UsedRangeQuery.h"
#include "stage/PreviewStage.h"
#include "stage/PreviewWriteBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace preview;
using namespace preview_test;

namespace {

constexpr uint8_t kPaint = 0x05;
constexpr uint8_t kOtherPaint = 0x06;
constexpr int kLastCell = kScreenCells - 1;
// The fourth row of stage 1's first screen holds eight different tiles: another tile there
// keeps the stored form's length.
constexpr int kLiteralCell = 3 * kScreenColumns;

// Free bytes of image A's level bank, between the boss rooms and the level headers.
constexpr int32_t kFreeSpaceAddress = 0xA000;
// A byte the editor reads as a run of 63 cells and the preview as one cell of its own value.
constexpr uint8_t kLongRunForEditor = 0xC0;

// The stored form of a screen, as long as the preview reads it.
Bytes ReadStoredForm(const Bytes& image, int stage, int screen) {
    const int64_t pointer = WordAt(image, ScreenEntryOffset(stage, screen));
    Bytes cells;
    size_t length = 0;
    PreviewDecodeScreen(image, pointer, cells, &length);
    const auto first = image.begin() + ScreenOffset(pointer);
    return Bytes(first, first + static_cast<std::ptrdiff_t>(length));
}

// A screen-table entry pointed elsewhere before the image is loaded.
struct Redirect {
    int stage;
    int screen;
    int32_t address;  // kAsStored: the entry stays as it is
};
constexpr int32_t kAsStored = 0;

Bytes Redirected(const char* name, const Redirect& redirect) {
    Bytes image = Sample(name);
    if (redirect.address != kAsStored)
        SetWord(image, ScreenEntryOffset(redirect.stage, redirect.screen), redirect.address);
    return image;
}

struct Painted {
    PreviewCartridge cartridge;
    PreviewStage stage;
    Bytes cells;
};

Painted Open(const Bytes& image, int stage) {
    Painted painted{LoadPreviewCartridge(image), {}, {}};
    painted.stage = ReadPreviewStage(painted.cartridge.image, painted.cartridge.tableValue, stage);
    painted.cells = painted.stage.cells;
    return painted;
}

// Sets one cell of a screen to a value it does not hold yet.
void Paint(Painted& painted, int screen, int cell, uint8_t value) {
    uint8_t& target = painted.cells[static_cast<size_t>((screen - 1) * kScreenCells + cell)];
    target = target == value ? static_cast<uint8_t>(value + 1) : value;
}

}  // namespace

TEST(UsedRangeQuery, ARangeHoldsItsBytesAndAStartOnlyRangeItsFirst) {
    const std::vector<UsedRange> map = {
        {UsedRangeKind::Screen, 1, 1, 100, 10, kScreenCells},
        {UsedRangeKind::SpareScreen, 1, 6, 200, 0, kScreenCells},
    };
    struct Case {
        std::vector<int64_t> offsets;
        size_t holding;
    };
    const Case cases[] = {
        {{99}, 0}, {{100}, 1}, {{109}, 1}, {{110}, 0}, {{200}, 1}, {{201}, 0}, {{109, 200}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RangesHolding(map, c.offsets).size(), c.holding) << c.offsets.front();
}

// The reproducer of the fault: screen 2 of stage 1 starts one byte into screen 1. Each edit
// would change the other screen, so neither is written and each names the other.
TEST(PreviewWriteBack, ScreensThatOverlapAreRefusedAndNameEachOther) {
    Bytes image = Sample(kImageA);
    SetWord(image, ScreenEntryOffset(1, 2), kFirstScreenAddress + 1);
    Painted painted = Open(image, 1);
    ASSERT_TRUE(painted.cartridge.Writable()) << painted.cartridge.known.refusal.message;
    ASSERT_TRUE(painted.stage.ok);
    Paint(painted, 1, kLastCell, kPaint);
    Paint(painted, 2, 0, kPaint);
    const CommitResult result = CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
    EXPECT_EQ(result.written, 0);
    ASSERT_EQ(result.refused.size(), 2u);
    for (int screen : {1, 2}) {
        const RefusedScreen& refused = result.refused[static_cast<size_t>(screen - 1)];
        EXPECT_EQ(refused.screen, screen);
        EXPECT_EQ(refused.reason, RefusalReason::TouchesOther);
        const OtherStructure other{UsedRangeKind::Screen, 1, 3 - screen};
        EXPECT_EQ(refused.others, std::vector<OtherStructure>{other});
    }
    EXPECT_EQ(painted.cartridge.image, image);
}

TEST(PreviewWriteBack, AWriteChangesOnlyItsScreenAndTheScreensThatAreExactlyIt) {
    struct Case {
        const char* name;
        const char* image;
        Redirect redirect;
        int stage;
        int screen;
        int cell;
        OtherStructure other;  // what the refusal names (kind Screen of stage 0: written)
        int twinStage;         // a screen of another stage that must show the edit
        int twinScreen;
    };
    const OtherStructure kWritten{UsedRangeKind::Screen, 0, 0};
    const Case cases[] = {
        {"over an object table",
         "ScreenOverObjectTable.nes",
         {1, 1, kAsStored},
         7,
         5,
         0,
         {UsedRangeKind::ObjectTable, 8, 0},
         0,
         0},
        {"inside another screen",
         "SharedScreens.nes",
         {1, 1, kAsStored},
         1,
         1,
         kLastCell,
         {UsedRangeKind::Screen, 1, 5},
         0,
         0},
        {"over a boss room",
         kImageA,
         {1, 2, kFirstBossScreenAddress},
         1,
         2,
         0,
         {UsedRangeKind::BossScreen, 2, 0},
         0,
         0},
        {"the same stored screen in another stage",
         kImageA,
         {kOtherHorizontalStage, 1, kFirstScreenAddress},
         1,
         1,
         kLiteralCell,
         kWritten,
         kOtherHorizontalStage,
         1},
        {"the same bytes read as 64 cells in a vertical stage",
         kImageA,
         {kVerticalStage, 1, kFirstScreenAddress},
         1,
         1,
         kLiteralCell,
         {UsedRangeKind::Screen, kVerticalStage, 1},
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes image = Redirected(c.image, c.redirect);
        Painted painted = Open(image, c.stage);
        ASSERT_TRUE(painted.cartridge.Writable()) << painted.cartridge.known.refusal.message;
        ASSERT_TRUE(painted.stage.ok);
        Paint(painted, c.screen, c.cell, kPaint);
        const CommitResult result =
            CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
        if (!(c.other == kWritten)) {
            EXPECT_EQ(result.written, 0);
            ASSERT_EQ(result.refused.size(), 1u);
            EXPECT_EQ(result.refused[0].screen, c.screen);
            EXPECT_EQ(result.refused[0].reason, RefusalReason::TouchesOther);
            // The new form may reach further structures after the named one.
            const std::vector<OtherStructure>& others = result.refused[0].others;
            EXPECT_NE(std::find(others.begin(), others.end(), c.other), others.end());
            EXPECT_EQ(painted.cartridge.image, image);
            continue;
        }
        EXPECT_TRUE(result.refused.empty());
        EXPECT_EQ(result.written, 1);
        const Bytes edited = ScreenCells(painted.cells, c.screen);
        const PreviewStage again =
            ReadPreviewStage(painted.cartridge.image, painted.cartridge.tableValue, c.stage);
        EXPECT_EQ(ScreenCells(again.cells, c.screen), edited);
        const PreviewStage twin =
            ReadPreviewStage(painted.cartridge.image, painted.cartridge.tableValue, c.twinStage);
        EXPECT_EQ(ScreenCells(twin.cells, c.twinScreen), edited);
    }
}

TEST(PreviewWriteBack, ScreensOnOnePointerPaintedDifferentlyAreAllNamed) {
    constexpr int kFirst = 3;
    const int onTheSameBytes[] = {4, 5};
    Bytes image = Sample(kImageA);
    const int32_t shared = WordAt(image, ScreenEntryOffset(1, kFirst));
    for (int screen : onTheSameBytes)
        SetWord(image, ScreenEntryOffset(1, screen), shared);
    Painted painted = Open(image, 1);
    ASSERT_TRUE(painted.cartridge.Writable()) << painted.cartridge.known.refusal.message;
    Paint(painted, kFirst, 0, kPaint);
    Paint(painted, onTheSameBytes[0], 0, kOtherPaint);
    Paint(painted, onTheSameBytes[1], 0, kPaint);
    const CommitResult result = CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
    EXPECT_EQ(result.written, 0);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].screen, kFirst);
    EXPECT_EQ(result.refused[0].reason, RefusalReason::SharersDiffer);
    EXPECT_EQ(result.refused[0].sharers,
              std::vector<int>(std::begin(onTheSameBytes), std::end(onTheSameBytes)));
    EXPECT_EQ(painted.cartridge.image, image);
}

// A screen the game would read through another bank than the file position its pointer names is
// not shown, takes no write, and is listed once for the whole image.
TEST(PreviewWriteBack, ScreensOutsideTheBankWindowAreHiddenAndNeverWritten) {
    struct Case {
        const char* image;
        Redirect redirect;
        int stage;
        int screen;
        ScreenProblem problem;
        bool writable;  // the editor's decoder takes the image
    };
    const Case cases[] = {
        {"WindowScreenPointer.nes", {1, 1, kAsStored}, 1, 1, ScreenProblem::OutsideWindow, false},
        {"WindowScreenCrossesEnd.nes",
         {1, 1, kAsStored},
         1,
         1,
         ScreenProblem::PastWindowEnd,
         false},
        // A spare screen after the editor's count: the decoder skips it and takes the image.
        {kImageA,
         {kIndoorStage, kIndoorSpareScreen, kBeyondWindow},
         kIndoorStage,
         kIndoorSpareScreen,
         ScreenProblem::OutsideWindow,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        const Bytes image = Redirected(c.image, c.redirect);
        Painted painted = Open(image, c.stage);
        ASSERT_TRUE(painted.cartridge.valid);
        ASSERT_TRUE(painted.stage.ok);
        EXPECT_EQ(painted.cartridge.Writable(), c.writable);
        EXPECT_FALSE(ScreenShown(painted.stage, c.screen));
        EXPECT_EQ(ScreenCells(painted.stage.cells, c.screen), Bytes(kScreenCells, kNoPictureCell));
        ASSERT_EQ(painted.cartridge.hidden.size(), 1u);
        EXPECT_EQ(painted.cartridge.hidden[0].stage, c.stage);
        EXPECT_EQ(painted.cartridge.hidden[0].screen, c.screen);
        EXPECT_EQ(painted.cartridge.hidden[0].problem, c.problem);
        // Every other screen reads as in image A.
        const PreviewStage a = ReadPreviewStage(Sample(kImageA), kStageTableDefault, c.stage);
        for (int screen = 1; screen <= a.screenCount; ++screen) {
            if (screen != c.screen) {
                EXPECT_EQ(ScreenCells(painted.stage.cells, screen), ScreenCells(a.cells, screen));
            }
        }

        Paint(painted, c.screen, 0, kPaint);
        const CommitResult result =
            CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
        EXPECT_EQ(result.written, 0);
        ASSERT_EQ(result.refused.size(), 1u);
        EXPECT_EQ(result.refused[0].reason,
                  c.writable ? RefusalReason::NotShown : RefusalReason::NothingKnown);
        EXPECT_EQ(painted.cartridge.image, image);
    }
}

// The preview reads a byte of 0xB9 and above as one cell, where the editor reads a long run: a
// screen can reach further for the preview than the editor's map says. Screen 2 is stored two
// bytes before screen 1 in free space, so that only the preview reads it on into screen 1.
TEST(PreviewWriteBack, BytesOnlyThePreviewReadsAsAnotherScreenAreKept) {
    const Bytes shortForEditor = {kLongRunForEditor, kPaint};
    Bytes image = Sample(kImageA);
    const Bytes first = ReadStoredForm(image, 1, 1);
    const int64_t at = kInesHeader + kFreeSpaceAddress;
    std::copy(shortForEditor.begin(), shortForEditor.end(), image.begin() + at);
    std::copy(first.begin(), first.end(), image.begin() + at + shortForEditor.size());
    SetWord(image, ScreenEntryOffset(1, 2), kFreeSpaceAddress);
    SetWord(image, ScreenEntryOffset(1, 1),
            kFreeSpaceAddress + static_cast<int32_t>(shortForEditor.size()));
    Painted painted = Open(image, 1);
    ASSERT_TRUE(painted.cartridge.Writable()) << painted.cartridge.known.refusal.message;
    Paint(painted, 1, kLiteralCell, kPaint);
    const CommitResult result = CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
    EXPECT_EQ(result.written, 0);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].reason, RefusalReason::TouchesOther);
    const OtherStructure other{UsedRangeKind::Screen, 1, 2};
    EXPECT_EQ(result.refused[0].others, std::vector<OtherStructure>{other});
    EXPECT_EQ(painted.cartridge.image, image);
}

namespace {

constexpr int kHiddenRow = kScreenCells;  // the first cell the preview does not show
constexpr int kVerticalCells = kScreenCells + kScreenColumns;

ByteArray EditorCells(const Bytes& image, int level, int screen) {
    LevelList levels;
    if (!DecodeAsEditor(image, levels))
        return {};
    return levels.records.at(static_cast<size_t>(level - 1))
        .screens.at(static_cast<size_t>(screen - 1))
        .cells;
}

}  // namespace

// The game reads a vertical stage's screen as 64 cells, the preview shows 56. Painting two cells
// of row 5 with the tile of its first column, as a user does, must leave row 8 as it was: the
// old write stored a 56-cell form and the game read the bytes after it as the last row.
TEST(PreviewWriteBack, AVerticalScreenKeepsTheRowThePreviewDoesNotShow) {
    constexpr int kRow = 4;
    Painted painted = Open(Sample(kImageA), kVerticalStage);
    ASSERT_TRUE(painted.cartridge.Writable());
    const ByteArray before = EditorCells(painted.cartridge.image, kVerticalStage, 1);
    ASSERT_EQ(before.size(), static_cast<size_t>(kVerticalCells));
    const uint8_t tile = painted.cells[kRow * kScreenColumns];
    for (int column : {1, 2})
        painted.cells[static_cast<size_t>(kRow * kScreenColumns + column)] = tile;
    ASSERT_NE(painted.cells, painted.stage.cells) << "the paint changed nothing";

    const CommitResult result = CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
    EXPECT_TRUE(result.refused.empty());
    EXPECT_EQ(result.written, 1);
    ByteArray expected = before;
    std::copy(painted.cells.begin(), painted.cells.begin() + kHiddenRow, expected.begin());
    EXPECT_EQ(EditorCells(painted.cartridge.image, kVerticalStage, 1), expected);
    const PreviewStage again =
        ReadPreviewStage(painted.cartridge.image, painted.cartridge.tableValue, kVerticalStage);
    EXPECT_EQ(again.cells, painted.cells);
}

// Where the preview shows other cells than the game reads, no form can keep both: a vertical
// screen stored as one run of 64 (a byte the preview takes as a cell of its own), a screen
// pointed at an object list (whose end bytes the preview takes as cells).
TEST(PreviewWriteBack, ScreensThePreviewReadsOtherwiseThanTheGameAreRefused) {
    const Bytes oneRunOf64 = {static_cast<uint8_t>(0x80 + kVerticalCells), kPaint};
    struct Case {
        const char* name;
        int stage;
        int32_t address;
        Bytes stored;  // written at the address first, when given
    };
    const Case cases[] = {
        {"one run of 64", kVerticalStage, kFreeSpaceAddress, oneRunOf64},
        {"an object list", 1, kFirstObjectListAddress, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = Sample(kImageA);
        std::copy(c.stored.begin(), c.stored.end(), image.begin() + kInesHeader + c.address);
        SetWord(image, ScreenEntryOffset(c.stage, 1), c.address);
        Painted painted = Open(image, c.stage);
        ASSERT_TRUE(painted.cartridge.Writable()) << painted.cartridge.known.refusal.message;
        Paint(painted, 1, 0, kOtherPaint);
        const CommitResult result =
            CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
        EXPECT_EQ(result.written, 0);
        ASSERT_EQ(result.refused.size(), 1u);
        EXPECT_EQ(result.refused[0].screen, 1);
        EXPECT_EQ(result.refused[0].reason, RefusalReason::ReadingsDiffer);
        EXPECT_EQ(painted.cartridge.image, image);
    }
}

// An image of the large layout keeps its levels in bank 7; what the preview reads in bank 2 is
// other data to the game. It is shown and never written.
TEST(PreviewWriteBack, ALargeImageIsShownAndTakesNoWrite) {
    Painted painted = Open(Sample(kImageB), 1);
    ASSERT_TRUE(painted.cartridge.valid);
    ASSERT_TRUE(painted.stage.ok);
    EXPECT_TRUE(painted.cartridge.large);
    EXPECT_FALSE(painted.cartridge.Writable());
    Paint(painted, 1, 0, kPaint);
    const CommitResult result = CommitPreviewStage(painted.cartridge, painted.stage, painted.cells);
    EXPECT_EQ(result.written, 0);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].reason, RefusalReason::NothingKnown);
    EXPECT_EQ(painted.cartridge.image, Sample(kImageB));
}
