// The preview's stage reading and write-back, on the sample images written by
// tools/make_sample_roms.py (through the codec tests' manifest) and on damaged copies of them.
#include "../codec/CodecTestData.h"
#include "stage/PreviewStage.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(PreviewStage, EncodeWritesRunsOfTwoAsHeadersAndRefusesCellsThatReadAsHeaders) {
    const Bytes cells = {4, 4, 9, 7, 7, 7};
    EXPECT_EQ(EncodePreviewScreen(cells.data(), cells.size()), (Bytes{0x82, 4, 9, 0x83, 7}));
    const Bytes whole(kScreenCells, 3);
    EXPECT_EQ(EncodePreviewScreen(whole.data(), whole.size()), (Bytes{0xB8, 3}));
    const Bytes header = {1, 0x90, 2};
    EXPECT_TRUE(EncodePreviewScreen(header.data(), header.size()).empty());
}

TEST(PreviewStage, WriteBackChangesOnlyTheEditedScreensStoredBytes) {
    const ByteArray original = LoadTestImage(kImageA);
    const auto& manifest = SampleManifest::Get();
    for (const StageShape& shape : kShapes) {
        SCOPED_TRACE(shape.stage);
        Bytes image = original;
        PreviewStage stage = ReadPreviewStage(image, kStageTableDefault, shape.stage);
        ASSERT_TRUE(stage.ok);
        // A whole screen of one value always fits: its form is two bytes.
        std::fill(stage.cells.begin(), stage.cells.begin() + kScreenCells, 0x11);
        const CommitResult result = CommitPreviewCells(image, stage.screenTable, stage.cells);
        EXPECT_EQ(result.refused, 0);
        EXPECT_EQ(result.written, shape.previewScreens);

        const PreviewStage again = ReadPreviewStage(image, kStageTableDefault, shape.stage);
        ASSERT_TRUE(again.ok);
        EXPECT_EQ(again.cells, stage.cells);
        // Only the bytes the stage's screens occupied may differ: an unedited screen may be
        // stored again in the shorter form of the write-back.
        std::vector<bool> screenByte(image.size(), false);
        for (int i = 0; i < shape.previewScreens; ++i) {
            const size_t slot = static_cast<size_t>(stage.screenTable - 1 + i * 2);
            const int64_t pointer = original[slot] | original[slot + 1] << 8;
            Bytes unused;
            size_t length = 0;
            ASSERT_TRUE(PreviewDecodeScreen(original, pointer, unused, &length));
            for (size_t k = 0; k < length; ++k)
                screenByte[static_cast<size_t>(pointer) + kStoredDataOffset + k] = true;
        }
        for (size_t i = 0; i < image.size(); ++i)
            if (!screenByte[i])
                ASSERT_EQ(image[i], original[i]) << "offset " << i;
    }
}

TEST(PreviewStage, AScreenWhoseNewFormIsLongerIsLeftUnchanged) {
    const ByteArray original = LoadTestImage(kImageA);
    Bytes image = original;
    PreviewStage stage = ReadPreviewStage(image, kStageTableDefault, kPackedStage);
    ASSERT_TRUE(stage.ok);
    for (int i = 0; i < kScreenCells; ++i)
        stage.cells[static_cast<size_t>(i)] = i % 2 ? 1 : 2;
    const CommitResult result = CommitPreviewCells(image, stage.screenTable, stage.cells);
    EXPECT_EQ(result.refused, 1);
    EXPECT_EQ(image, original);
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
    Bytes image = cut;
    const Bytes cells(kScreenCells * 2, 1);
    const CommitResult result = CommitPreviewCells(image, static_cast<int64_t>(cut.size()), cells);
    EXPECT_EQ(result.refused, 2);
    EXPECT_EQ(image, cut);
    EXPECT_EQ(PreviewPickTableOffset(Bytes(kSmallImageSize)), kStageTableSmall);
}
