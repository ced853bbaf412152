#include "cartridge/RomLayout.h"

int InitRomLayout(std::vector<int32_t>& table, int32_t& objectTableAddress) {
    if (table.size() == kRomLayoutTableSize) {
        return 1;
    }
    table = {kLevelHeaderTableAddress, kBossListFilePos};
    objectTableAddress = kObjectPointerTableAddress;
    return 1;
}

int32_t BankAddressToFilePos(int32_t address, int32_t bank, bool banked) {
    int32_t position = address;
    if (banked) {
        position += (bank - kSmallLayoutLevelBank) * kBankSize;
    }
    return position + kInesHeaderSize + 1;
}

int32_t LevelBank(bool large) {
    return large ? kLargeLayoutLevelBank : kSmallLayoutLevelBank;
}

bool IsLargeRomImage(size_t imageSize) {
    return imageSize == kLargeRomImageSize;
}

int64_t FileOffset(int64_t address, int32_t bank, bool banked) {
    // Computed in 64 bits: an address read from a lying image plus a table index can pass
    // 0xFFFF, and the result is only ever compared against the image's length.
    int64_t position = address;
    if (banked) {
        position += int64_t{bank - kSmallLayoutLevelBank} * kBankSize;
    }
    return position + kInesHeaderSize;
}

bool ImageHolds(const ByteArray& image, int64_t offset, int64_t count) {
    return offset >= 0 && count >= 0 && offset <= static_cast<int64_t>(image.size()) &&
           count <= static_cast<int64_t>(image.size()) - offset;
}

bool ReadImageByte(const ByteArray& image, int64_t offset, uint8_t& value) {
    if (!ImageHolds(image, offset, 1)) {
        return false;
    }
    value = image[static_cast<size_t>(offset)];
    return true;
}

bool ReadImageWord(const ByteArray& image, int64_t offset, int32_t& value) {
    if (!ImageHolds(image, offset, 2)) {
        return false;
    }
    const size_t at = static_cast<size_t>(offset);
    value = image[at] | (image[at + 1] << 8);
    return true;
}

uint64_t ImageChecksum(const ByteArray& image) {
    // 64-bit FNV-1a: enough to tell one cartridge image from another, not a defence against
    // a forger.
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : image) {
        hash = (hash ^ byte) * 0x100000001B3ull;
    }
    return hash;
}
