// The sample cartridge images written by tools/make_sample_roms.py, and its manifest of the
// cells and stored positions every screen must decode to.
#pragma once

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

constexpr const char* kImageA = "SampleSmall.nes";
constexpr const char* kImageB = "SampleLarge.nes";
constexpr uint8_t kShadowXor = 0x40;  // image B's bank-2 copy holds every cell XOR this

ByteArray LoadTestImage(const std::string& name);

struct StoredPlace {
    int64_t offset = 0;
    int64_t length = 0;
};

class SampleManifest {
public:
    using Key = std::tuple<std::string, int, int>;  // image, place in the level list, screen

    static const SampleManifest& Get();

    // The cells the manifest gives for a screen of image, falling back to image A's.
    const ByteArray& Cells(const std::string& image, int place, int screen) const;
    bool HasCells(const std::string& image, int place, int screen) const;
    StoredPlace Stored(const std::string& image, int place, int screen) const;
    bool HasStored(const std::string& image, int place, int screen) const;
    int LevelCount(const std::string& image) const;
    // The images the manifest gives rooms for: the sample images and the variants that open.
    std::vector<std::string> ImagesWithRooms() const;

    std::map<Key, ByteArray> cells;
    std::map<Key, StoredPlace> stored;
    std::map<Key, int64_t> rooms;
    std::map<std::string, int> levelCounts;
};

// Decodes with the layout values of a first Open; fails the test when the decode fails.
LevelList DecodeOrFail(const ByteArray& image);
CodecResult DecodeImage(const ByteArray& image, LevelList& levels);
CodecResult EncodeImage(const ByteArray& image, LevelList& levels, ByteArray& output);
