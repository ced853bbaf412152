// Copies of the generator's sample images (tools/make_sample_roms.py) for the preview's
// write-back tests, and the places in them that the tests point screen-table entries at.
#pragma once

#include "../cartridge/CodecTestData.h"
#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "stage/PreviewStage.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace preview_test {

// Where image A keeps its level data, as the generator lays it out (bank addresses).
constexpr int64_t kInesHeader = 16;
constexpr int32_t kScreenTablesAddress = 0x8100;
constexpr int32_t kScreenTableStride = 0x20;
constexpr int32_t kFirstScreenAddress = 0x8200;      // stage 1, screen 1
constexpr int32_t kFirstBossScreenAddress = 0x9100;  // the boss room after stage 2
constexpr int32_t kFirstObjectListAddress = 0xB650;  // stage 1, list 1
constexpr int32_t kBeyondWindow = 0xFFFF;
// Stages of image A by their shape.
constexpr int kVerticalStage = 3;         // its screens are 64 cells to the editor
constexpr int kOtherHorizontalStage = 7;  // 56 cells, as stage 1
constexpr int kIndoorStage = 2;           // the preview reads two spare screens after its count
constexpr int kIndoorSpareScreen = 6;
// Stage 5 keeps its screens back to back, so a screen's room is its stored length. The tile 05 in
// the first column of screen 1's second row breaks a run: the form grows from 28 bytes to 31.
constexpr int kPackedStage = 5;
constexpr int kPackedRunColumn = 0;
constexpr int kPackedRunRow = 1;
constexpr int kPackedRoom = 28;
constexpr int kPackedFormAfterPaint = 31;
// The large layout: levels in bank 7, a copy of image A's tables and screens in bank 2.
constexpr const char* kLargeImage = kImageB;

// A sample image, read from its file once.
inline const preview::Bytes& Sample(const std::string& name) {
    static std::map<std::string, preview::Bytes> images;
    auto found = images.find(name);
    if (found == images.end())
        found = images.emplace(name, LoadTestImage(name)).first;
    return found->second;
}

// The file offset of a stage's screen-table entry for a screen.
inline int64_t ScreenEntryOffset(int stage, int screen) {
    return kInesHeader + kScreenTablesAddress + (stage - 1) * kScreenTableStride + (screen - 1) * 2;
}

inline void SetWord(preview::Bytes& image, int64_t offset, int32_t value) {
    image.at(static_cast<size_t>(offset)) = static_cast<uint8_t>(value & 0xFF);
    image.at(static_cast<size_t>(offset) + 1) = static_cast<uint8_t>(value >> 8);
}

inline int32_t WordAt(const preview::Bytes& image, int64_t offset) {
    return image.at(static_cast<size_t>(offset)) | image.at(static_cast<size_t>(offset) + 1) << 8;
}

// The cells of one screen (1-based) of a stage's cells.
inline preview::Bytes ScreenCells(const preview::Bytes& cells, int screen) {
    const auto first = cells.begin() + (screen - 1) * preview::kScreenCells;
    return preview::Bytes(first, first + preview::kScreenCells);
}

// The editor's decode of an image in the small layout, where the preview reads and writes; false
// when the decoder refuses the image.
inline bool DecodeAsEditor(const preview::Bytes& image, LevelList& levels) {
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    return static_cast<bool>(DecodeLevels(image, false, table, objectTable, levels));
}

}  // namespace preview_test
