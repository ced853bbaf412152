// A save changes nothing but the edited screens' stored bytes and the free bytes after them: on
// every good sample image, for edits of every screen that shorten, keep or lengthen its form,
// and on images with data the editor does not know scattered into the free bytes.
#include "CodecTestData.h"
#include "SaveFootprint.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/ScreenRoom.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kOneTile = 0x11;
constexpr uint8_t kLargestTile = 0x7F;

enum class Edit { OneCell, OneRun, AllLiterals };
constexpr Edit kEdits[] = {Edit::OneCell, Edit::OneRun, Edit::AllLiterals};

ByteArray EditedCells(const ByteArray& cells, Edit edit) {
    switch (edit) {
        case Edit::OneCell: {
            ByteArray edited = cells;
            edited[0] = static_cast<uint8_t>((edited[0] + 1) & kLargestTile);
            return edited;
        }
        case Edit::OneRun:
            return ByteArray(cells.size(), kOneTile);
        case Edit::AllLiterals:
            return CellsOfFormLength(cells.size(), cells.size());
    }
    return cells;
}

struct Outcome {
    int saved = 0;
    int refused = 0;
};

// Edits one screen (with every screen stored as one with it) or a boss room, saves, and holds
// the result to the footprint; a refused save must leave the output alone.
void SaveAndHold(const ByteArray& image, const LevelList& decoded, int place, int screen, Edit edit,
                 Outcome& outcome) {
    LevelList levels = decoded;
    ScreenRecord& target = Screen(levels, place, screen);
    const ByteArray cells = EditedCells(target.cells, edit);
    if (IsRunLengthPlace(place)) {
        for (size_t cell = 0; cell < cells.size(); ++cell) {
            PlaceCell(levels, place, screen, cell, cells[cell]);
        }
    } else {
        target.cells = cells;
    }
    const LevelList edited = levels;
    ByteArray output;
    const CodecResult result = EncodeImage(image, levels, output);
    if (!result) {
        EXPECT_TRUE(output.empty()) << result.message;
        ++outcome.refused;
        return;
    }
    ++outcome.saved;
    EXPECT_EQ(FirstChangeOutsideEditedScreens(image, output, decoded, edited), kNoChangeOutside)
        << "level " << place << " screen " << screen << " edit " << static_cast<int>(edit);
}

void HoldEveryScreen(const ByteArray& image, Outcome& outcome) {
    LevelList decoded;
    if (!DecodeImage(image, decoded)) {
        return;
    }
    for (size_t p = 0; p < decoded.records.size(); ++p) {
        const int place = static_cast<int>(p) + 1;
        for (const ScreenRecord& screen : decoded.records[p].screens) {
            const int number = IsRunLengthPlace(place) ? screen.number : place;
            for (Edit edit : kEdits) {
                SaveAndHold(image, decoded, place, number, edit, outcome);
            }
        }
    }
}

TEST(SaveFootprint, EverySampleImageKeepsEveryByteOutsideTheEditedScreens) {
    const std::vector<std::string> images = SampleManifest::Get().ImagesWithRooms();
    ASSERT_FALSE(images.empty());
    for (const std::string& name : images) {
        SCOPED_TRACE(name);
        Outcome outcome;
        HoldEveryScreen(LoadTestImage(name), outcome);
        EXPECT_GT(outcome.saved, 0);
    }
}

// Image A with runs of bytes the editor does not decode scattered over its level bank, where
// they may fall into a screen's free bytes, onto a screen or onto other data.
TEST(SaveFootprint, ScatteredUnknownDataIsNeverWrittenOver) {
    constexpr unsigned kSeed = 20240611;
    constexpr int kImages = 16;
    constexpr int kRunsPerImage = 6;
    constexpr int32_t kFirstScreenSlot = 0x8200;
    constexpr int32_t kPastTheBossScreens = 0x9180;
    constexpr int kLongestRun = 24;
    constexpr uint8_t kFirstForeignByte = 0x01;  // never a free byte
    constexpr uint8_t kLastForeignByte = 0xFE;
    const ByteArray sample = LoadTestImage(kImageA);
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int32_t> address(kFirstScreenSlot, kPastTheBossScreens);
    std::uniform_int_distribution<int> length(1, kLongestRun);
    std::uniform_int_distribution<int> byte(kFirstForeignByte, kLastForeignByte);
    Outcome outcome;
    for (int i = 0; i < kImages; ++i) {
        ByteArray image = sample;
        for (int run = 0; run < kRunsPerImage; ++run) {
            ByteArray bytes(static_cast<size_t>(length(random)));
            for (uint8_t& b : bytes) {
                b = static_cast<uint8_t>(byte(random));
            }
            PutBytes(image, BankedOffset(image, address(random)), bytes);
        }
        SCOPED_TRACE("image " + std::to_string(i));
        HoldEveryScreen(image, outcome);
    }
    // The scattered data must have left most images readable, and refused some edits.
    EXPECT_GT(outcome.saved, 0);
    EXPECT_GT(outcome.refused, 0);
}

}  // namespace
