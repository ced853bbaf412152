#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"

#include <gtest/gtest.h>

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
