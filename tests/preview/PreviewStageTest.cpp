// The preview's stage reading and write-back, on the sample images written by
// tools/make_sample_roms.py (through the codec tests' manifest) and on damaged copies of them.
#include "../cartridge/CodecTestData.h"
#include "cartridge/LevelDecoder.h"
#include "cartridge/ScreenRoom.h"
#include "cartridge/UsedRangeQuery.h"
#include "stage/PreviewStage.h"
#include "stage/PreviewWriteBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

using namespace preview;

namespace {

// The sample levels' base screen counts and kinds, as the generator lays them out.
struct StageShape {
    int stage;
    int editorScreens;   // the screens the editor decodes (and the manifest lists)
    int previewScreens;  // the preview reads two more for an indoor stage
};
constexpr StageShape kShapes[] = {{1, 5, 5}, {2, 4, 6}, {3, 4, 4}, {4, 8, 10},
                                  {5, 4, 4}, {6, 3, 3}, {7, 5, 5}, {8, 12, 12}};
constexpr int kPackedStage = 5;  // its screens are stored back to back, without spare bytes
constexpr size_t kTruncatedLength = 0xB400;
constexpr size_t kStoredDataOffset = 16;  // the iNES header before bank 2

Bytes ScreenOf(const PreviewStage& stage, int screen) {
    const auto begin = stage.cells.begin() + (screen - 1) * kScreenCells;
    return Bytes(begin, begin + kScreenCells);
}

Bytes First56(const ByteArray& cells) {
    return Bytes(cells.begin(), cells.begin() + kScreenCells);
}

}  // namespace

TEST(PreviewStage, ImageAStagesMatchTheManifestAndIndoorStagesReadTwoMoreScreens) {
    const ByteArray image = LoadTestImage(kImageA);
    const auto& manifest = SampleManifest::Get();
    ASSERT_EQ(PreviewPickTableOffset(image), kStageTableDefault);
    for (const StageShape& shape : kShapes) {
        SCOPED_TRACE(shape.stage);
        const PreviewStage stage = ReadPreviewStage(image, kStageTableDefault, shape.stage);
        ASSERT_TRUE(stage.ok);
        EXPECT_EQ(stage.screenCount, shape.previewScreens);
        ASSERT_EQ(stage.cells.size(), static_cast<size_t>(shape.previewScreens * kScreenCells));
        for (int j = 1; j <= shape.editorScreens; ++j)
            EXPECT_EQ(ScreenOf(stage, j), First56(manifest.Cells(kImageA, shape.stage, j)))
                << "screen " << j;
        // One object list a screen but the last; every object carries its list's number.
        for (int32_t packed : stage.objects) {
            const int number = packed & 0xFF;
            EXPECT_GE(number, 2);
            EXPECT_LE(number, shape.previewScreens);
            EXPECT_NE((packed >> 16) & 63, 63);
        }
    }
}

TEST(PreviewStage, ImageBIsReadFromItsBankTwoShadowCopy) {
    const ByteArray a = LoadTestImage(kImageA);
    const ByteArray b = LoadTestImage(kImageB);
    for (const StageShape& shape : kShapes) {
        SCOPED_TRACE(shape.stage);
        const PreviewStage fromA = ReadPreviewStage(a, kStageTableDefault, shape.stage);
        const PreviewStage fromB = ReadPreviewStage(b, PreviewPickTableOffset(b), shape.stage);
        ASSERT_TRUE(fromA.ok && fromB.ok);
        ASSERT_EQ(fromA.cells.size(), fromB.cells.size());
        for (size_t i = 0; i < fromA.cells.size(); ++i)
            ASSERT_EQ(fromB.cells[i], fromA.cells[i] ^ kShadowXor) << "cell " << i;
        EXPECT_EQ(fromA.objects, fromB.objects);
    }
}

TEST(PreviewStage, DecodeScreenRunsLiteralsAndOverlongRuns) {
    struct Case {
        Bytes stored;
        Bytes firstCells;
        size_t storedLength;
    };
    const Case cases[] = {
        {{0x83, 0x05, 0x02, 0xB5, 0x01}, {5, 5, 5, 2, 1, 1}, 5},
        {{0x80, 0xB7, 0x00}, {0x80, 0, 0}, 3},  // 0x80 stands for itself
        {{0xB9, 0xB7, 0x90}, {0xB9, 0, 0}, 3},  // 0xB9 too; a run value above 127 is 0
    };
    for (const Case& c : cases) {
        Bytes image(16, 0);
        image.insert(image.end(), c.stored.begin(), c.stored.end());
        image.resize(image.size() + kScreenCells, 0x07);
        Bytes cells;
        size_t length = 0;
        ASSERT_TRUE(PreviewDecodeScreen(image, 0, cells, &length));
        ASSERT_EQ(cells.size(), static_cast<size_t>(kScreenCells));
        EXPECT_TRUE(std::equal(c.firstCells.begin(), c.firstCells.end(), cells.begin()));
        EXPECT_EQ(length, c.storedLength);
    }
    // A whole-screen run (0xB8) after one literal is cut at the 56th cell, and the data
    // ending right after it is enough.
    Bytes image(16, 0);
    image.insert(image.end(), {0x01, 0xB8, 0x02});
    Bytes cells;
    size_t length = 0;
    ASSERT_TRUE(PreviewDecodeScreen(image, 0, cells, &length));
    EXPECT_EQ(cells.size(), static_cast<size_t>(kScreenCells));
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(cells.back(), 0x02);
    image.pop_back();
    EXPECT_FALSE(PreviewDecodeScreen(image, 0, cells));
}

TEST(PreviewStage, EncodeRunsLiteralsAndCellsThatCannotBeStored) {
    constexpr uint8_t kHigh = 0xC0;        // reads back as itself
    constexpr uint8_t kLiteral80 = 0x80;   // reads back as itself
    constexpr uint8_t kReadsAsRun = 0x90;  // would read as a run header
    const Bytes whole(kScreenCells, 3);
    struct Case {
        Bytes cells;
        Bytes form;  // empty: refused
    };
    const Case cases[] = {
        {{4, 4, 9, 7, 7, 7}, {0x82, 4, 9, 0x83, 7}},  // runs of two take a header too
        {whole, {0xB8, 3}},                           // the longest run: one whole screen
        {{kHigh, kHigh, 1, 1}, {kHigh, kHigh, 0x82, 1}},
        {{kLiteral80, kLiteral80, kLiteral80}, {kLiteral80, kLiteral80, kLiteral80}},
        {{1, kReadsAsRun, 2}, {}},
    };
    for (const Case& c : cases) {
        const Bytes form = EncodePreviewScreen(c.cells.data(), c.cells.size());
        EXPECT_EQ(form, c.form);
    }
    // A stored screen of high cells survives a decode and an encode unchanged.
    const Bytes stored = {kHigh, kHigh, 0xB6, 0x01};
    Bytes image(kStoredDataOffset, 0);
    image.insert(image.end(), stored.begin(), stored.end());
    Bytes cells;
    ASSERT_TRUE(PreviewDecodeScreen(image, 0, cells));
    EXPECT_EQ(EncodePreviewScreen(cells.data(), cells.size()), stored);
}

namespace {

// A sample image loaded as the program loads it, and one of its stages as read.
struct Loaded {
    PreviewCartridge cartridge;
    PreviewStage stage;
};

// Each sample image is read from its file once.
const Bytes& Sample(const std::string& name) {
    static std::map<std::string, Bytes> images;
    auto found = images.find(name);
    if (found == images.end())
        found = images.emplace(name, LoadTestImage(name)).first;
    return found->second;
}

Loaded Load(const char* name, int stage) {
    Loaded loaded{LoadPreviewCartridge(Sample(name)), {}};
    loaded.stage = ReadPreviewStage(loaded.cartridge.image, loaded.cartridge.tableValue, stage);
    return loaded;
}

void Fill(Bytes& cells, int screen, uint8_t value) {
    std::fill(cells.begin() + (screen - 1) * kScreenCells, cells.begin() + screen * kScreenCells,
              value);
}

constexpr char kSharedImage[] = "SharedScreens.nes";
constexpr int kSharedStage = 1;
constexpr int kSharedFirst = 3;  // screen 4 is stored on screen 3's bytes
constexpr int kSharedSecond = 4;
constexpr uint8_t kPaintA = 0x11;
constexpr uint8_t kPaintB = 0x12;

}  // namespace

TEST(PreviewStage, CommittingAnUneditedStageWritesNothing) {
    for (const char* name : {kImageA, kImageB, kSharedImage}) {
        for (int n = 1; n <= kStageCount; ++n) {
            SCOPED_TRACE(std::string(name) + " stage " + std::to_string(n));
            Loaded loaded = Load(name, n);
            ASSERT_TRUE(loaded.cartridge.valid && loaded.stage.ok);
            const Bytes before = loaded.cartridge.image;
            const CommitResult result =
                CommitPreviewStage(loaded.cartridge, loaded.stage, loaded.stage.cells);
            EXPECT_EQ(result.written, 0);
            EXPECT_TRUE(result.refused.empty());
            EXPECT_EQ(loaded.cartridge.image, before);
        }
    }
}

namespace {

// The cells the editor's decoder reads a stored screen of the loaded image as: 64 in a vertical
// stage, 56 in the others.
int32_t EditorCellCount(const PreviewCartridge& cartridge, int stage, int screen) {
    for (const UsedRange& range : cartridge.known.ranges)
        if (IsRunLengthScreen(range) && range.place == stage && range.index == screen)
            return range.cellCount;
    return 0;
}

}  // namespace

// A written screen reads as painted to the preview and to the editor, whose last row of a
// vertical screen (never shown here) stays as stored; the bytes a shorter form frees are erased
// and nothing outside the old stored bytes changes.
TEST(PreviewStage, WriteBackKeepsTheUnshownRowAndErasesOnlyWhatItFrees) {
    for (const StageShape& shape : kShapes) {
        for (int screen = 1; screen <= shape.previewScreens; ++screen) {
            SCOPED_TRACE("stage " + std::to_string(shape.stage) + " screen " +
                         std::to_string(screen));
            Loaded loaded = Load(kImageA, shape.stage);
            ASSERT_TRUE(loaded.stage.ok);
            const Bytes original = loaded.cartridge.image;
            const int64_t offset =
                ScreenOffset(loaded.stage.pointers[static_cast<size_t>(screen - 1)]);
            const int32_t cellCount = EditorCellCount(loaded.cartridge, shape.stage, screen);
            StoredScreen before;
            ASSERT_TRUE(ReadStoredScreen(original, offset, static_cast<size_t>(cellCount), before));
            // A whole screen of one value always fits: its form is two bytes, four with the
            // unshown row.
            Bytes cells = loaded.stage.cells;
            Fill(cells, screen, kPaintA);
            const CommitResult result = CommitPreviewStage(loaded.cartridge, loaded.stage, cells);
            EXPECT_TRUE(result.refused.empty());
            EXPECT_EQ(result.written, 1);

            const Bytes& image = loaded.cartridge.image;
            const PreviewStage again = ReadPreviewStage(image, kStageTableDefault, shape.stage);
            ASSERT_TRUE(again.ok);
            EXPECT_EQ(again.cells, cells);
            StoredScreen after;
            ASSERT_TRUE(ReadStoredScreen(image, offset, static_cast<size_t>(cellCount), after));
            ByteArray expected = before.cells;
            std::fill(expected.begin(), expected.begin() + kScreenCells, kPaintA);
            EXPECT_EQ(after.cells, expected);
            for (size_t at = 0; at < image.size(); ++at) {
                const int64_t in = static_cast<int64_t>(at) - offset;
                if (in >= after.length && in < before.length) {
                    ASSERT_EQ(image[at], kErasedByte) << "freed byte " << at;
                } else if (in < 0 || in >= before.length) {
                    ASSERT_EQ(image[at], original[at]) << "byte " << at;
                }
            }
        }
    }
}

TEST(PreviewStage, ScreensSharingStoredBytesAreWrittenOnceOrRefusedTogether) {
    struct Case {
        uint8_t first;  // 0: left as read
        uint8_t second;
        bool refused;
    };
    const Case cases[] = {
        {kPaintA, 0, false},  // the unchanged partner no longer undoes the edit
        {0, kPaintB, false},
        {kPaintA, kPaintA, false},
        {kPaintA, kPaintB, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.second));
        Loaded loaded = Load(kSharedImage, kSharedStage);
        ASSERT_TRUE(loaded.stage.ok);
        ASSERT_EQ(loaded.stage.pointers[kSharedFirst - 1],
                  loaded.stage.pointers[kSharedSecond - 1]);
        const Bytes original = loaded.cartridge.image;
        Bytes cells = loaded.stage.cells;
        if (c.first)
            Fill(cells, kSharedFirst, c.first);
        if (c.second)
            Fill(cells, kSharedSecond, c.second);
        const CommitResult result = CommitPreviewStage(loaded.cartridge, loaded.stage, cells);
        const PreviewStage again =
            ReadPreviewStage(loaded.cartridge.image, kStageTableDefault, kSharedStage);
        if (c.refused) {
            ASSERT_EQ(result.refused.size(), 1u);
            EXPECT_EQ(result.refused[0].screen, kSharedFirst);
            EXPECT_EQ(result.refused[0].reason, RefusalReason::SharersDiffer);
            EXPECT_EQ(result.refused[0].sharers, std::vector<int>{kSharedSecond});
            EXPECT_EQ(loaded.cartridge.image, original);
            continue;
        }
        EXPECT_TRUE(result.refused.empty());
        const uint8_t painted = c.first ? c.first : c.second;
        EXPECT_EQ(ScreenOf(again, kSharedFirst), Bytes(kScreenCells, painted));
        EXPECT_EQ(ScreenOf(again, kSharedSecond), Bytes(kScreenCells, painted));
    }
}

TEST(PreviewStage, AScreenLongerThanItsRoomIsRefusedAndTheRoomOutlivesAShorterForm) {
    Loaded loaded = Load(kImageA, kPackedStage);
    ASSERT_TRUE(loaded.stage.ok);
    const Bytes original = loaded.cartridge.image;
    const Bytes asRead = loaded.stage.cells;

    Bytes alternating = asRead;
    for (int i = 0; i < kScreenCells; ++i)
        alternating[static_cast<size_t>(i)] = i % 2 ? 1 : 2;
    CommitResult result = CommitPreviewStage(loaded.cartridge, loaded.stage, alternating);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].screen, 1);
    EXPECT_EQ(result.refused[0].reason, RefusalReason::DoesNotFit);
    EXPECT_EQ(result.refused[0].needed, kScreenCells);  // one literal a cell
    EXPECT_EQ(result.refused[0].room, SampleManifest::Get().Room(kImageA, kPackedStage, 1));
    EXPECT_EQ(loaded.cartridge.image, original);

    // Stored short, then painted back as it was, in the same session and after the image was
    // saved and opened again: the bytes the short form freed were erased, so the room is whole.
    Bytes shortForm = asRead;
    Fill(shortForm, 1, kPaintA);
    result = CommitPreviewStage(loaded.cartridge, loaded.stage, shortForm);
    ASSERT_TRUE(result.refused.empty());
    for (const bool reopen : {false, true}) {
        SCOPED_TRACE(reopen ? "opened again" : "same session");
        PreviewCartridge cartridge =
            reopen ? LoadPreviewCartridge(loaded.cartridge.image) : loaded.cartridge;
        const PreviewStage shortStage =
            ReadPreviewStage(cartridge.image, kStageTableDefault, kPackedStage);
        result = CommitPreviewStage(cartridge, shortStage, asRead);
        EXPECT_TRUE(result.refused.empty());
        EXPECT_EQ(result.written, 1);
        EXPECT_EQ(ReadPreviewStage(cartridge.image, kStageTableDefault, kPackedStage).cells,
                  asRead);
    }
}

TEST(PreviewStage, TruncatedAndEmptyImagesAreRefusedWithoutReadingPastTheEnd) {
    const ByteArray a = LoadTestImage(kImageA);
    const Bytes cut(a.begin(), a.begin() + kTruncatedLength);
    const Bytes empty;
    for (int n = 1; n <= kStageCount; ++n) {
        EXPECT_FALSE(ReadPreviewStage(cut, kStageTableDefault, n).ok) << n;
        const PreviewStage none = ReadPreviewStage(empty, PreviewPickTableOffset(empty), n);
        EXPECT_FALSE(none.ok);
        EXPECT_TRUE(none.cells.empty() && none.objects.empty());
    }
    // Every shorter cut of the image end is read without a fault (the sanitizers watch).
    for (size_t length = 0xB320; length < a.size(); length += 0x1F) {
        const Bytes shorter(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(length));
        for (int n = 1; n <= kStageCount; ++n)
            (void)ReadPreviewStage(shorter, kStageTableDefault, n);
    }
    EXPECT_FALSE(LoadPreviewCartridge(cut).valid);
    EXPECT_FALSE(LoadPreviewCartridge(empty).valid);
    EXPECT_TRUE(LoadPreviewCartridge(a).valid);
    // A stage read from a good image writes nothing into an image too short for its screens.
    Loaded loaded = Load(kImageA, 1);
    const Bytes tiny(kStoredDataOffset, 0);
    loaded.cartridge.image = tiny;
    Bytes cells = loaded.stage.cells;
    Fill(cells, 1, kPaintA);
    CommitResult result = CommitPreviewStage(loaded.cartridge, loaded.stage, cells);
    EXPECT_EQ(result.written, 0);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].reason, RefusalReason::NoRoomKnown);
    EXPECT_EQ(loaded.cartridge.image, tiny);
    EXPECT_EQ(PreviewPickTableOffset(Bytes(kSmallImageSize)), kStageTableSmall);

    // Cut right after a screen stored as one run: a longer form would pass the image's end, and
    // the refusal says so rather than that it is longer than its room.
    constexpr int kOneRunScreen = 4;
    constexpr int64_t kOneRunLength = 2;
    Loaded cutAfter = Load(kImageA, 1);
    cutAfter.cartridge.image.resize(static_cast<size_t>(
        ScreenOffset(cutAfter.stage.pointers[kOneRunScreen - 1]) + kOneRunLength));
    const Bytes cutImage = cutAfter.cartridge.image;
    cells = cutAfter.stage.cells;
    cells[(kOneRunScreen - 1) * kScreenCells] = kPaintA;
    result = CommitPreviewStage(cutAfter.cartridge, cutAfter.stage, cells);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].reason, RefusalReason::PastImageEnd);
    EXPECT_EQ(cutAfter.cartridge.image, cutImage);
}
