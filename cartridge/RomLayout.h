// Where the game's level data lies in a cartridge image, and bounds-checked reading of it.
#pragma once

#include "cartridge/CodecResult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t kInesHeaderSize = 16;
constexpr int32_t kBankSize = 16384;
// A 16-byte header and 256 KB of program data: the only length that selects the large layout.
constexpr size_t kLargeRomImageSize = 262160;
constexpr int32_t kSmallLayoutLevelBank = 2;
constexpr int32_t kLargeLayoutLevelBank = 7;

// The values InitRomLayout puts into the editor state.
constexpr int32_t kLevelHeaderTableAddress = 0xB319;
constexpr int32_t kBossListFilePos = 0x9013;  // 1-based file position, not a bank address
constexpr int32_t kObjectPointerTableAddress = 0xB513;
constexpr size_t kRomLayoutTableSize = 2;

constexpr int kLevelCount = 8;
constexpr int32_t kLevelHeaderSize = 32;

// Where each field lies in a 32-byte level header. 16-bit values are little-endian.
enum LevelHeaderByte : int {
    kHeaderKind = 0,
    kHeaderVertical = 1,
    kHeaderScreenTable = 2,
    kHeader4 = 4,
    kHeader6 = 6,
    kHeader8 = 8,
    kHeader9 = 9,
    kHeader12 = 12,
    kHeader16 = 16,
    kHeader20 = 20,
    kHeaderBaseScreenCount = 24,
    kHeader25 = 25,
    kHeader26 = 26,
};

// Fills the layout table and the object-table address on the first call; later calls keep the
// values of the first Open until the program ends. Returns 1.
int InitRomLayout(std::vector<int32_t>& table, int32_t& objectTableAddress);

// The 1-based file position of a bank address: shifted to the level bank when banked, then
// past the iNES header.
int32_t BankAddressToFilePos(int32_t address, int32_t bank, bool banked);

// The bank that holds the screens: 7 in the large layout, 2 otherwise.
int32_t LevelBank(bool large);
bool IsLargeRomImage(size_t imageSize);

// The 0-based file offset of a bank address (BankAddressToFilePos minus one).
int64_t FileOffset(int64_t address, int32_t bank, bool banked);

// Reads from an untrusted image: each returns false, and leaves its output alone, when any
// byte it needs lies outside the image.
bool ReadImageByte(const ByteArray& image, int64_t offset, uint8_t& value);
bool ReadImageWord(const ByteArray& image, int64_t offset, int32_t& value);
bool ImageHolds(const ByteArray& image, int64_t offset, int64_t count);

// A fingerprint of an image's bytes, kept with the levels decoded from it.
uint64_t ImageChecksum(const ByteArray& image);
