// The write-back's one promise, checked over many images: a commit changes no byte of any
// structure the image holds but the painted screens and the screens that are exactly them (the
// same stored bytes read as the same number of cells). The images are the generator's samples
// with random screen-table entries pointed at random places: another screen, a few bytes into
// one, an object table or list, a boss room, the level headers. The paints are random too, and
// each image takes several commits in a row, as a session of the program does.
#include "../cartridge/CodecTestData.h"
#include "PreviewTestImages.h"
#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/UsedRangeQuery.h"
#include "stage/PreviewStage.h"
#include "stage/PreviewWriteBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace preview;
using namespace preview_test;

namespace {

constexpr uint32_t kSeed = 0x5EED0001;
constexpr int kImagesPerBase = 60;
constexpr int kCommitsPerImage = 3;
constexpr int kMaxRedirects = 3;
constexpr int kMaxPaintedScreens = 3;
constexpr int kMaxPaintsPerScreen = 4;
constexpr int kMaxNudge = 8;       // how far into a structure a redirected entry may point
constexpr int kTileValues = 0x80;  // the pictures a stage has
// One redirect in this many points outside the level bank's window: a screen the preview hides,
// in an image the editor's decoder may refuse.
constexpr int kOutsideWindowOneIn = 8;
constexpr const char* kBases[] = {
    kImageA,         kImageB,     "SharedScreens.nes", "OddForms.nes", "ScreenOverObjectTable.nes",
    "Vertical2.nes", "Kind2.nes", "HighCells.nes"};

using Random = std::mt19937;

int Uniform(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

// The editor's map of an image; empty when the decoder refuses the image.
struct EditorMap {
    bool read = false;
    std::vector<UsedRange> ranges;
};

EditorMap MapOf(const Bytes& image) {
    LevelList levels;
    EditorMap map;
    map.read = DecodeAsEditor(image, levels);
    map.ranges = std::move(levels.usedRanges);
    return map;
}

// Places a redirected entry may point at: every structure the decoder knows in the level bank,
// and every screen the preview reads.
std::vector<int32_t> Targets(const PreviewCartridge& cartridge) {
    std::vector<int32_t> targets;
    for (const UsedRange& range : cartridge.known.ranges) {
        const int64_t address = range.offset - kInesHeader;
        if (address >= kBankWindowFirst && address <= kBankWindowLast)
            targets.push_back(static_cast<int32_t>(address));
    }
    for (int n = 1; n <= kStageCount; ++n) {
        const PreviewStage stage = ReadPreviewStage(cartridge.image, cartridge.tableValue, n);
        targets.insert(targets.end(), stage.pointers.begin(), stage.pointers.end());
    }
    return targets;
}

Bytes RandomImage(const Bytes& base, Random& random) {
    Bytes image = base;
    const std::vector<int32_t> targets = Targets(LoadPreviewCartridge(base));
    const int redirects = Uniform(random, 1, kMaxRedirects);
    for (int r = 0; r < redirects; ++r) {
        const int stage = Uniform(random, 1, kStageCount);
        const PreviewStage read = ReadPreviewStage(image, kStageTableDefault, stage);
        if (!read.ok)
            continue;
        const int screen = Uniform(random, 1, read.screenCount);
        const int32_t target = Uniform(random, 1, kOutsideWindowOneIn) == 1
                                   ? kBeyondWindow - kMaxNudge
                                   : targets[static_cast<size_t>(
                                         Uniform(random, 0, static_cast<int>(targets.size()) - 1))];
        // Half of them point at a structure's start, the others a few bytes into it.
        const int nudge = Uniform(random, 0, 1) == 0 ? 0 : Uniform(random, 1, kMaxNudge);
        SetWord(image, ScreenEntryOffset(stage, screen), target + nudge);
    }
    return image;
}

// Paints one random cell of a screen with a tile a strip offers. Half the paints copy a tile of
// the same screen, which keeps most forms in their room; the others take any tile.
void PaintOneCell(Bytes& cells, int screen, Random& random) {
    const size_t first = static_cast<size_t>((screen - 1) * kScreenCells);
    const size_t cell = first + static_cast<size_t>(Uniform(random, 0, kScreenCells - 1));
    const size_t copied = first + static_cast<size_t>(Uniform(random, 0, kScreenCells - 1));
    cells[cell] = Uniform(random, 0, 1) == 0
                      ? cells[copied]
                      : static_cast<uint8_t>(Uniform(random, 0, kTileValues - 1));
}

// Paints a few random cells of a few shown screens; a screen that shares its pointer with
// another one of the stage sometimes gets the same paint there, sometimes another.
Bytes RandomPaint(const PreviewStage& stage, Random& random) {
    Bytes cells = stage.cells;
    const int screens = Uniform(random, 1, kMaxPaintedScreens);
    for (int s = 0; s < screens; ++s) {
        const int screen = Uniform(random, 1, stage.screenCount);
        if (!ScreenShown(stage, screen))
            continue;
        const int paints = Uniform(random, 1, kMaxPaintsPerScreen);
        for (int p = 0; p < paints; ++p)
            PaintOneCell(cells, screen, random);
        const bool same = Uniform(random, 0, 1) == 0;
        for (int other = 1; other <= stage.screenCount; ++other) {
            if (other == screen || stage.pointers[static_cast<size_t>(other - 1)] !=
                                       stage.pointers[static_cast<size_t>(screen - 1)])
                continue;
            const Bytes painted = ScreenCells(cells, screen);
            std::copy(painted.begin(), painted.end(), cells.begin() + (other - 1) * kScreenCells);
            if (!same)
                cells[static_cast<size_t>((other - 1) * kScreenCells)] ^= 1;
        }
    }
    return cells;
}

// The painted screens: their stored offsets, with the cell count the editor reads there.
struct PaintedScreen {
    int screen = 0;
    int64_t offset = 0;
    int32_t cellCount = 0;  // 0: the editor's map does not know the screen
};

std::vector<PaintedScreen> PaintedScreens(const PreviewStage& stage, const Bytes& cells,
                                          const EditorMap& map) {
    std::vector<PaintedScreen> painted;
    for (int screen = 1; screen <= stage.screenCount; ++screen) {
        if (ScreenCells(cells, screen) == ScreenCells(stage.cells, screen))
            continue;
        PaintedScreen p{screen, ScreenOffset(stage.pointers[static_cast<size_t>(screen - 1)]), 0};
        for (const UsedRange& range : map.ranges)
            if (IsRunLengthScreen(range) && range.place == stage.number && range.index == screen &&
                range.offset == p.offset)
                p.cellCount = range.cellCount;
        painted.push_back(p);
    }
    return painted;
}

bool MayChange(const UsedRange& range, const std::vector<PaintedScreen>& painted) {
    return IsRunLengthScreen(range) &&
           std::any_of(painted.begin(), painted.end(), [&](const PaintedScreen& p) {
               return p.cellCount != 0 && range.offset == p.offset &&
                      range.cellCount == p.cellCount;
           });
}

// Every range of the map that is not a painted screen or exactly one holds its old bytes.
void ExpectStructuresKept(const EditorMap& map, const std::vector<PaintedScreen>& painted,
                          const Bytes& before, const Bytes& after) {
    for (const UsedRange& range : map.ranges) {
        if (MayChange(range, painted))
            continue;
        const int64_t end =
            std::min<int64_t>(range.offset + HeldLength(range), static_cast<int64_t>(after.size()));
        for (int64_t at = range.offset; at < end; ++at) {
            ASSERT_EQ(after[static_cast<size_t>(at)], before[static_cast<size_t>(at)])
                << "a byte of kind " << static_cast<int>(range.kind) << " place " << range.place
                << " index " << range.index << " changed at offset " << at;
        }
    }
}

// Outside the stored bytes of the painted screens (as far as each may grow) nothing changes, and
// nothing changes outside the level bank that the window 8000-BFFF shows.
void ExpectOnlyPaintedRoomsChanged(const PreviewCartridge& cartridge, const PreviewStage& stage,
                                   const std::vector<PaintedScreen>& painted, const Bytes& before) {
    std::vector<bool> mayChange(before.size(), false);
    for (const PaintedScreen& p : painted) {
        const int64_t room = cartridge.rooms.Of(p.offset, p.cellCount);
        for (int64_t k = 0; k < room && p.offset + k < static_cast<int64_t>(before.size()); ++k)
            mayChange[static_cast<size_t>(p.offset) + k] = true;
    }
    const size_t bankFirst = static_cast<size_t>(kInesHeader + kBankWindowFirst);
    const size_t bankLast = static_cast<size_t>(kInesHeader + kBankWindowLast);
    for (size_t at = 0; at < before.size(); ++at) {
        if (cartridge.image[at] == before[at])
            continue;
        ASSERT_TRUE(mayChange[at]) << "offset " << at;
        ASSERT_TRUE(at >= bankFirst && at <= bankLast) << "offset " << at;
    }
}

// As the preview reads them, screens on other bytes show what they showed, and a screen on a
// painted screen's bytes shows its old cells or the painted ones.
void ExpectOtherScreensKept(const PreviewCartridge& cartridge, const Bytes& before,
                            const PreviewStage& stage, const Bytes& cells,
                            const std::vector<PaintedScreen>& painted) {
    for (int n = 1; n <= kStageCount; ++n) {
        const PreviewStage old = ReadPreviewStage(before, cartridge.tableValue, n);
        const PreviewStage now = ReadPreviewStage(cartridge.image, cartridge.tableValue, n);
        ASSERT_TRUE(old.ok && now.ok);
        for (int screen = 1; screen <= old.screenCount; ++screen) {
            const Bytes shown = ScreenCells(now.cells, screen);
            if (shown == ScreenCells(old.cells, screen))
                continue;
            const int64_t offset = ScreenOffset(old.pointers[static_cast<size_t>(screen - 1)]);
            const bool paintedThere =
                std::any_of(painted.begin(), painted.end(), [&](const PaintedScreen& p) {
                    return p.offset == offset && ScreenCells(cells, p.screen) == shown;
                });
            EXPECT_TRUE(paintedThere) << "stage " << n << " screen " << screen << " changed "
                                      << "while painting stage " << stage.number;
        }
    }
}

struct Tally {
    int commits = 0;
    int written = 0;
    int touchedOther = 0;
    int sharersDiffered = 0;
    int notWritable = 0;
};

void CommitAndCheck(PreviewCartridge& cartridge, Random& random, Tally& tally) {
    const int number = Uniform(random, 1, kStageCount);
    const PreviewStage stage = ReadPreviewStage(cartridge.image, cartridge.tableValue, number);
    ASSERT_TRUE(stage.ok);
    const Bytes cells = RandomPaint(stage, random);
    const Bytes before = cartridge.image;
    const EditorMap map = MapOf(before);
    const std::vector<PaintedScreen> painted = PaintedScreens(stage, cells, map);

    const CommitResult result = CommitPreviewStage(cartridge, stage, cells);
    ++tally.commits;
    tally.written += result.written > 0 ? 1 : 0;
    for (const RefusedScreen& refused : result.refused) {
        tally.touchedOther += refused.reason == RefusalReason::TouchesOther ? 1 : 0;
        tally.sharersDiffered += refused.reason == RefusalReason::SharersDiffer ? 1 : 0;
    }
    if (!cartridge.Writable()) {
        ++tally.notWritable;
        ASSERT_EQ(cartridge.image, before) << "an image whose structures are unknown changed";
        return;
    }
    ASSERT_TRUE(map.read) << "the decoder took the image at load but not now";
    ASSERT_NO_FATAL_FAILURE(ExpectStructuresKept(map, painted, before, cartridge.image));
    ASSERT_NO_FATAL_FAILURE(ExpectOnlyPaintedRoomsChanged(cartridge, stage, painted, before));
    ASSERT_NO_FATAL_FAILURE(ExpectOtherScreensKept(cartridge, before, stage, cells, painted));
}

}  // namespace

TEST(PreviewWriteBackProperty, ACommitChangesNoStructureButThePaintedScreens) {
    Random random(kSeed);
    Tally tally;
    for (const char* base : kBases) {
        for (int i = 0; i < kImagesPerBase; ++i) {
            SCOPED_TRACE(std::string(base) + " image " + std::to_string(i));
            PreviewCartridge cartridge = LoadPreviewCartridge(RandomImage(Sample(base), random));
            if (!cartridge.valid)
                continue;
            for (int c = 0; c < kCommitsPerImage; ++c)
                ASSERT_NO_FATAL_FAILURE(CommitAndCheck(cartridge, random, tally));
        }
    }
    // The images must have given the write-back something to write and something to refuse.
    EXPECT_GT(tally.written, 0);
    EXPECT_GT(tally.touchedOther, 0);
    EXPECT_GT(tally.sharersDiffered, 0);
    EXPECT_GT(tally.notWritable, 0);
    RecordProperty("commits", tally.commits);
}

// A session as a user has it, on every sample image: pick a stage, paint with the pictures the
// strips offer, commit (a stage change, a refresh or a save), now and then save and open the
// image again. After every commit the editor's decoder, which reads the image as the game does,
// must find every painted cell of a written screen where it was painted and every other cell of
// every screen of every level (the rows the preview does not show included) as it was, with the
// same headers and objects. An image of the large layout never changes.
namespace {

constexpr uint32_t kSessionSeed = 0x5E5510;
constexpr int kSessionSteps = 120;
constexpr int kReloadOneIn = 10;
constexpr int kMaxSessionPaints = 6;
constexpr const char* kSessionImages[] = {
    kImageA,
    kImageB,
    "OddForms.nes",
    "SharedScreens.nes",
    "Vertical2.nes",
    "Kind2.nes",
    "HighCells.nes",
    "ScreenOverObjectTable.nes",
    "ShortA.nes",
    "EndsAtLastByte.nes",
    "PreviewPainted.nes",
    "EditorPlaced.nes",
    "CutB400.nes",
    "Nes3Bytes.nes",
    "LieScreenPastEnd.nes",
    "LieRunPastEnd.nes",
    "LieScreenTablePastEnd.nes",
    "LieObjectTablePastEnd.nes",
    "LieListPastEnd.nes",
    "LieUnterminatedList.nes",
    "LieBossPastEnd.nes",
    "WindowScreenPointer.nes",
    "WindowScreenTable.nes",
    "WindowScreenCrossesEnd.nes",
    "WindowObjectTable.nes",
    "WindowObjectList.nes",
    "WindowBossScreen.nes",
};

// Paints like a user: a few clicks on shown screens.
Bytes UserPaint(const PreviewStage& stage, Random& random) {
    Bytes cells = stage.cells;
    const int paints = Uniform(random, 1, kMaxSessionPaints);
    for (int p = 0; p < paints; ++p) {
        const int screen = Uniform(random, 1, stage.screenCount);
        if (ScreenShown(stage, screen))
            PaintOneCell(cells, screen, random);
    }
    return cells;
}

// A refusal of screens painted differently on one stored screen names the others as sharers.
bool Refused(const CommitResult& result, int screen) {
    return std::any_of(result.refused.begin(), result.refused.end(), [&](const RefusedScreen& r) {
        return r.screen == screen ||
               std::find(r.sharers.begin(), r.sharers.end(), screen) != r.sharers.end();
    });
}

// The editor's levels as they must read after a commit: the written screens, and every screen
// of any level that is the same stored screen (same offset, same cell count), begin with the
// painted cells.
LevelList Expected(const LevelList& before, const PreviewCartridge& cartridge,
                   const PreviewStage& stage, const Bytes& cells, const CommitResult& result) {
    LevelList expected = before;
    for (int screen = 1; screen <= stage.screenCount; ++screen) {
        const Bytes painted = ScreenCells(cells, screen);
        if (Refused(result, screen) || painted == ScreenCells(stage.cells, screen))
            continue;
        const int64_t offset = ScreenOffset(stage.pointers[static_cast<size_t>(screen - 1)]);
        int32_t cellCount = 0;
        for (const UsedRange& range : cartridge.known.ranges)
            if (IsRunLengthScreen(range) && range.place == stage.number && range.index == screen &&
                range.offset == offset)
                cellCount = range.cellCount;
        for (size_t place = 0; place < std::min<size_t>(expected.records.size(), kStageCount);
             ++place) {
            for (ScreenRecord& record : expected.records[place].screens) {
                if (record.storedOffset == offset &&
                    record.cells.size() == static_cast<size_t>(cellCount))
                    std::copy(painted.begin(), painted.end(), record.cells.begin());
            }
        }
    }
    return expected;
}

void ExpectLevelsRead(const LevelList& expected, const LevelList& now) {
    ASSERT_EQ(now.records.size(), expected.records.size());
    for (size_t place = 0; place < now.records.size(); ++place) {
        const LevelRecord& a = expected.records[place];
        const LevelRecord& b = now.records[place];
        ASSERT_TRUE(SameHeader(a, b)) << "the header of place " << place + 1 << " changed";
        ASSERT_TRUE(a.objectLists == b.objectLists) << "objects of place " << place + 1;
        ASSERT_EQ(a.screens.size(), b.screens.size());
        for (size_t s = 0; s < a.screens.size(); ++s)
            ASSERT_EQ(b.screens[s].cells, a.screens[s].cells)
                << "place " << place + 1 << " screen " << s + 1;
    }
}

struct SessionTally {
    int written = 0;
    int verticalWritten = 0;
    int refused = 0;
};

void RunSession(const std::string& name, Random& random, SessionTally& tally) {
    const Bytes original = Sample(name);
    PreviewCartridge cartridge = LoadPreviewCartridge(original);
    if (!cartridge.valid)
        return;
    LevelList levels;
    const bool readable = DecodeAsEditor(cartridge.image, levels);
    for (int step = 0; step < kSessionSteps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        if (Uniform(random, 1, kReloadOneIn) == 1)
            cartridge = LoadPreviewCartridge(cartridge.image);
        const int number = Uniform(random, 1, kStageCount);
        const PreviewStage stage = ReadPreviewStage(cartridge.image, cartridge.tableValue, number);
        ASSERT_TRUE(stage.ok);
        const Bytes cells = UserPaint(stage, random);
        const Bytes before = cartridge.image;
        const CommitResult result = CommitPreviewStage(cartridge, stage, cells);
        tally.refused += static_cast<int>(result.refused.size());
        if (!cartridge.Writable() || !readable) {
            ASSERT_EQ(cartridge.image, before) << "an image the preview may not write changed";
            continue;
        }
        tally.written += result.written;
        if (result.written > 0 && levels.records[static_cast<size_t>(number - 1)].vertical)
            tally.verticalWritten += result.written;
        const LevelList expected = Expected(levels, cartridge, stage, cells, result);
        LevelList now;
        ASSERT_TRUE(DecodeAsEditor(cartridge.image, now)) << "the image no longer decodes";
        ASSERT_NO_FATAL_FAILURE(ExpectLevelsRead(expected, now));
        // The preview shows the painted screens that were written as painted.
        const PreviewStage again = ReadPreviewStage(cartridge.image, cartridge.tableValue, number);
        for (int screen = 1; screen <= stage.screenCount; ++screen) {
            if (!Refused(result, screen) &&
                ScreenCells(cells, screen) != ScreenCells(stage.cells, screen)) {
                ASSERT_EQ(ScreenCells(again.cells, screen), ScreenCells(cells, screen))
                    << "screen " << screen;
            }
        }
        levels = now;
    }
    if (IsLargeRomImage(original.size())) {
        EXPECT_EQ(cartridge.image, original) << "a large image changed";
    }
}

}  // namespace

TEST(PreviewWriteBackProperty, ASessionChangesNoCellTheUserDidNotPaint) {
    Random random(kSessionSeed);
    SessionTally tally;
    for (const char* name : kSessionImages) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(RunSession(name, random, tally));
    }
    // The sessions must have written screens, vertical ones among them, and refused some.
    EXPECT_GT(tally.written, 0);
    EXPECT_GT(tally.verticalWritten, 0);
    EXPECT_GT(tally.refused, 0);
    RecordProperty("written", tally.written);
}
