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
    // The room the generator measured for a screen; 0 when it gives none.
    int64_t Room(const std::string& image, int place, int screen) const;
    int LevelCount(const std::string& image) const;
    // The images the manifest gives rooms for: the sample images and the variants that open.
    std::vector<std::string> ImagesWithRooms() const;

    std::map<Key, ByteArray> cells;
    std::map<Key, StoredPlace> stored;
    std::map<Key, int64_t> rooms;
    struct Placement {
        int place = 0;
        int screen = 0;
        size_t cell = 0;
        uint8_t tile = 0;
    };
    std::map<std::string, std::vector<Placement>> placements;  // by the image they make
    std::map<std::string, int> levelCounts;
};

// Where tools/make_sample_roms.py lays out the level data, and small edits of its images in
// the terms it uses: addresses as the game sees them, bank 2 (bank 7 in the large layout) for
// the screens and their tables.
constexpr int32_t kScreenTables = 0x8100;
constexpr int32_t kScreenTableStride = 0x20;
constexpr int32_t kObjectTables = 0xB530;
constexpr int32_t kObjectTableStride = 0x20;
constexpr int32_t kBankFirstAddress = 0x8000;
constexpr int32_t kBankLastAddress = 0xBFFF;
constexpr int64_t kLargeBankShift = 5 * 16384;
// What a save writes over the bytes that a shortened screen no longer needs.
constexpr uint8_t kErased = 0xFF;

int64_t BankedOffset(const ByteArray& image, int32_t address);
int64_t UnbankedOffset(int32_t address);
void PutBytes(ByteArray& image, int64_t offset, const ByteArray& bytes);
void PutWord(ByteArray& image, int64_t offset, int32_t value);
// Points the screen-table entry of a level's screen (spare screens included) at an address.
void PointScreen(ByteArray& image, int level, int screen, int32_t address);
// Moves a screen's stored form (as the manifest places it in image A or B) to an address.
void MoveScreen(ByteArray& image, const std::string& name, int level, int screen, int32_t address);

// Cells whose run-length form is `length` bytes long by the format's own rules: literals of
// two alternating values, then one run of a third value in a header and a value byte (none
// when length equals cellCount). length must lie in 2..cellCount.
ByteArray CellsOfFormLength(size_t cellCount, size_t length);

// A run-length screen or a boss room's screen by its level's place and its number.
ScreenRecord& Screen(LevelList& levels, int place, int screen);
const ScreenRecord& Screen(const LevelList& levels, int place, int screen);

// The offsets at which two images of one size differ.
std::vector<size_t> Differences(const ByteArray& a, const ByteArray& b);

// Decodes with the layout values of a first Open; fails the test when the decode fails.
LevelList DecodeOrFail(const ByteArray& image);
CodecResult DecodeImage(const ByteArray& image, LevelList& levels);
CodecResult EncodeImage(const ByteArray& image, LevelList& levels, ByteArray& output);
