#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

ByteArray LoadTestImage(const std::string& name) {
    const std::string path = std::string(VENNMARK_TESTDATA_DIR) + "/" + name;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "missing test image " << path;
        return {};
    }
    return ByteArray(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

namespace {

ByteArray FromHex(const std::string& hex) {
    ByteArray bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

SampleManifest Load() {
    SampleManifest manifest;
    const ByteArray bytes = LoadTestImage("SampleCells.txt");
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    std::string line;
    while (std::getline(text, line)) {
        std::istringstream fields(line);
        std::string kind, image;
        fields >> kind >> image;
        int place = 0, screen = 0;
        if (kind == "cells") {
            std::string hex;
            fields >> place >> screen >> hex;
            manifest.cells[{image, place, screen}] = FromHex(hex);
        } else if (kind == "stored") {
            StoredPlace at;
            fields >> place >> screen >> at.offset >> at.length;
            manifest.stored[{image, place, screen}] = at;
        } else if (kind == "room") {
            int64_t room = 0;
            fields >> place >> screen >> room;
            manifest.rooms[{image, place, screen}] = room;
        } else if (kind == "placed") {
            SampleManifest::Placement placed;
            int tile = 0;
            fields >> placed.place >> placed.screen >> placed.cell >> tile;
            placed.tile = static_cast<uint8_t>(tile);
            manifest.placements[image].push_back(placed);
        } else if (kind == "levels") {
            fields >> manifest.levelCounts[image];
        }
    }
    return manifest;
}

}  // namespace

const SampleManifest& SampleManifest::Get() {
    static const SampleManifest manifest = Load();
    return manifest;
}

bool SampleManifest::HasCells(const std::string& image, int place, int screen) const {
    return cells.count({image, place, screen}) != 0;
}

const ByteArray& SampleManifest::Cells(const std::string& image, int place, int screen) const {
    auto found = cells.find({image, place, screen});
    if (found == cells.end()) {
        found = cells.find({kImageA, place, screen});
    }
    static const ByteArray kNone;
    return found != cells.end() ? found->second : kNone;
}

bool SampleManifest::HasStored(const std::string& image, int place, int screen) const {
    return stored.count({image, place, screen}) != 0;
}

StoredPlace SampleManifest::Stored(const std::string& image, int place, int screen) const {
    auto found = stored.find({image, place, screen});
    return found != stored.end() ? found->second : StoredPlace{};
}

int64_t SampleManifest::Room(const std::string& image, int place, int screen) const {
    auto found = rooms.find({image, place, screen});
    return found != rooms.end() ? found->second : 0;
}

int SampleManifest::LevelCount(const std::string& image) const {
    auto found = levelCounts.find(image);
    return found != levelCounts.end() ? found->second : 0;
}

std::vector<std::string> SampleManifest::ImagesWithRooms() const {
    std::vector<std::string> images;
    for (const auto& entry : rooms) {
        const std::string& image = std::get<0>(entry.first);
        if (images.empty() || images.back() != image) {
            images.push_back(image);
        }
    }
    return images;
}

CodecResult DecodeImage(const ByteArray& image, LevelList& levels) {
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    return DecodeLevels(image, IsLargeRomImage(image.size()), table, objectTable, levels);
}

LevelList DecodeOrFail(const ByteArray& image) {
    LevelList levels;
    const CodecResult result = DecodeImage(image, levels);
    EXPECT_TRUE(result.ok) << result.message;
    return levels;
}

CodecResult EncodeImage(const ByteArray& image, LevelList& levels, ByteArray& output) {
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    return EncodeRom(image, levels, IsLargeRomImage(image.size()), table, output);
}

int64_t BankedOffset(const ByteArray& image, int32_t address) {
    return UnbankedOffset(address) + (IsLargeRomImage(image.size()) ? kLargeBankShift : 0);
}

int64_t UnbankedOffset(int32_t address) {
    return int64_t{address} + kInesHeaderSize;
}

void PutBytes(ByteArray& image, int64_t offset, const ByteArray& bytes) {
    ASSERT_LE(offset + static_cast<int64_t>(bytes.size()), static_cast<int64_t>(image.size()));
    std::copy(bytes.begin(), bytes.end(), image.begin() + offset);
}

void PutWord(ByteArray& image, int64_t offset, int32_t value) {
    PutBytes(image, offset,
             {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF)});
}

void PointScreen(ByteArray& image, int level, int screen, int32_t address) {
    const int32_t entry = kScreenTables + (level - 1) * kScreenTableStride + (screen - 1) * 2;
    PutWord(image, BankedOffset(image, entry), address);
}

void MoveScreen(ByteArray& image, const std::string& name, int level, int screen, int32_t address) {
    const StoredPlace stored = SampleManifest::Get().Stored(name, level, screen);
    ASSERT_GT(stored.length, 0) << name << " " << level << "/" << screen;
    const ByteArray form(image.begin() + stored.offset,
                         image.begin() + stored.offset + stored.length);
    PutBytes(image, BankedOffset(image, address), form);
    PointScreen(image, level, screen, address);
}

ByteArray CellsOfFormLength(size_t cellCount, size_t length) {
    constexpr uint8_t kFirstLiteral = 0x01;
    constexpr uint8_t kSecondLiteral = 0x02;
    constexpr uint8_t kRunValue = 0x03;
    constexpr size_t kRunBytes = 2;  // header and value
    EXPECT_GE(length, kRunBytes);
    EXPECT_LE(length, cellCount);
    const size_t literals = length == cellCount ? cellCount : length - kRunBytes;
    ByteArray cells(cellCount, kRunValue);
    for (size_t i = 0; i < literals; ++i) {
        cells[i] = i % 2 == 0 ? kFirstLiteral : kSecondLiteral;
    }
    return cells;
}

std::vector<size_t> Differences(const ByteArray& a, const ByteArray& b) {
    std::vector<size_t> at;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i]) {
            at.push_back(i);
        }
    }
    return at;
}

namespace {

// A boss room's one screen carries the room's place as its number.
size_t ScreenIndex(int place, int screen) {
    return place > kLevelCount ? 0 : static_cast<size_t>(screen) - 1;
}

}  // namespace

ScreenRecord& Screen(LevelList& levels, int place, int screen) {
    return levels.records.at(place - 1).screens.at(ScreenIndex(place, screen));
}

const ScreenRecord& Screen(const LevelList& levels, int place, int screen) {
    return levels.records.at(place - 1).screens.at(ScreenIndex(place, screen));
}
