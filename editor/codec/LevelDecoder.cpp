#include "codec/LevelDecoder.h"

#include "codec/RomLayout.h"
#include "codec/RunLength.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t kListEnd = 0xFF;
constexpr int64_t kEntrySize = 3;
constexpr int64_t kIndoorFirstEntrySize = 4;
constexpr int32_t kTypeMask = 63;
constexpr int32_t kOutdoorYMask = 0xF8;
constexpr int32_t kIndoorCellSize = 16;
constexpr int32_t kIndoorHalfStep = 2;
constexpr uint8_t kIndoorXHalfBit = 0x80;
constexpr uint8_t kIndoorYHalfBit = 0x40;
constexpr int32_t kExtraBytesShift = 6;
constexpr uint8_t kExtraBytesMask = 0xC0;

template <size_t N>
void CopyHeaderBytes(const ByteArray& image, int64_t at, std::array<uint8_t, N>& out) {
    std::copy_n(image.begin() + at, N, out.begin());
}

int32_t Word(const ByteArray& image, int64_t at) {
    return image[at] | (image[at + 1] << 8);
}

// The caller has checked that the whole header lies in the image.
void ReadLevelHeader(const ByteArray& image, int64_t at, LevelRecord& level) {
    level.kind = image[at + kHeaderKind];
    level.vertical = image[at + kHeaderVertical];
    level.screenTable = Word(image, at + kHeaderScreenTable);
    level.header4 = Word(image, at + kHeader4);
    level.header6 = Word(image, at + kHeader6);
    level.header8 = image[at + kHeader8];
    CopyHeaderBytes(image, at + kHeader9, level.header9);
    CopyHeaderBytes(image, at + kHeader12, level.header12);
    CopyHeaderBytes(image, at + kHeader16, level.header16);
    CopyHeaderBytes(image, at + kHeader20, level.header20);
    level.baseScreenCount = image[at + kHeaderBaseScreenCount];
    level.header25 = image[at + kHeader25];
    CopyHeaderBytes(image, at + kHeader26, level.header26);
}

class Decoder {
public:
    Decoder(const ByteArray& image, bool large) : m_image(image), m_bank(LevelBank(large)) {}

    CodecResult DecodeScreens(LevelRecord& level) {
        const int32_t count = LevelScreenCount(level);
        const size_t cells = static_cast<size_t>(LevelCellCount(level));
        level.screens.clear();
        for (int32_t j = 1; j <= count; ++j) {
            int32_t pointer = 0;
            const int64_t entry = FileOffset(level.screenTable + int64_t{j - 1} * 2, m_bank, true);
            if (!ReadImageWord(m_image, entry, pointer)) {
                return Fail(level.number, j,
                            "its entry in the screen table lies outside the image");
            }
            const int64_t offset = FileOffset(pointer, m_bank, true);
            StoredScreen stored;
            if (!ReadStoredScreen(m_image, offset, cells, stored)) {
                return Fail(level.number, j,
                            "the screen's data runs past the end of the image or never ends");
            }
            level.screens.push_back(
                ScreenRecord{j, std::move(stored.cells), offset, stored.length});
        }
        return CodecResult::Success();
    }

    CodecResult DecodeObjectLists(LevelRecord& level, int32_t objectTableAddress) {
        const int32_t n = level.number;
        if (!ReadImageWord(m_image, FileOffset(objectTableAddress + int64_t{n - 1} * 2, 0, false),
                           level.objectTable)) {
            return Fail(n, 0, "the object table lies outside the image");
        }
        level.objectLists.clear();
        const int32_t listCount = level.baseScreenCount + 2;
        for (int32_t j = 1; j <= listCount; ++j) {
            int32_t listAddress = 0;
            if (!ReadImageWord(m_image,
                               FileOffset(level.objectTable + int64_t{j - 1} * 2, 0, false),
                               listAddress)) {
                return Fail(n, 0, "its object table runs past the end of the image");
            }
            ObjectListRecord list{j + 1, {}};
            const bool read = level.kind == kIndoorKind ? ReadIndoorList(n, listAddress, list)
                                                        : ReadOutdoorList(n, listAddress, list);
            if (!read) {
                return Fail(n, 0,
                            "object list " + std::to_string(j) +
                                " runs past the end of the image or never ends");
            }
            level.objectLists.push_back(std::move(list));
        }
        return CodecResult::Success();
    }

    CodecResult DecodeBossRoom(const LevelRecord& indoor, int bossNumber, int32_t bossListPos,
                               LevelRecord& boss, int place) {
        boss.number = indoor.number;
        boss.kind = kBossRoomKind;
        const int64_t listEntry = int64_t{bossListPos} - 1 + int64_t{bossNumber - 1} * 2;
        if (!ReadImageWord(m_image, listEntry, boss.screenTable)) {
            return Fail(place, 0, "the boss-room list lies outside the image");
        }
        const int64_t cells = LevelCellCount(indoor);
        const int64_t offset = FileOffset(boss.screenTable, m_bank, true);
        if (!ImageHolds(m_image, offset, cells)) {
            return Fail(place, place, "the boss room's screen runs past the end of the image");
        }
        const auto first = m_image.begin() + offset;
        boss.screens = {ScreenRecord{place, ByteArray(first, first + cells), offset, cells}};
        return CodecResult::Success();
    }

private:
    static CodecResult Fail(int place, int screen, const std::string& what) {
        return CodecResult::Failure(LevelPlaceText(place, screen) + ": " + what + ".", place,
                                    screen);
    }

    bool AddObject(ObjectListRecord& list, int32_t type, int32_t x, int32_t y, int32_t attribute,
                   int32_t levelNumber) {
        if (++m_objectCount > kMaxDecodedObjects) {
            return false;
        }
        LevelObject object;
        object.entryNumber = list.number;
        object.type = type;
        object.x = x;
        object.y = y;
        DecodeObjectAttributes(type, attribute, levelNumber, object);
        list.objects.push_back(object);
        return true;
    }

    bool ReadEntry(int64_t address, uint8_t (&entry)[kEntrySize]) const {
        const int64_t at = FileOffset(address, 0, false);
        if (!ImageHolds(m_image, at, kEntrySize)) {
            return false;
        }
        std::copy_n(m_image.begin() + at, kEntrySize, entry);
        return true;
    }

    bool FirstByte(int64_t address, uint8_t& byte) const {
        return ReadImageByte(m_image, FileOffset(address, 0, false), byte);
    }

    // Indoor: a 4-byte first entry that only ends the list when it starts with 0xFF, then one
    // object per 3-byte entry with positions on a 16-pixel grid and half steps from b1.
    bool ReadIndoorList(int32_t levelNumber, int64_t address, ObjectListRecord& list) {
        uint8_t first = 0;
        if (!FirstByte(address, first)) {
            return false;
        }
        if (first == kListEnd) {
            return true;
        }
        for (int64_t at = address + kIndoorFirstEntrySize;; at += kEntrySize) {
            uint8_t e[kEntrySize];
            if (!FirstByte(at, e[0])) {
                return false;
            }
            if (e[0] == kListEnd) {
                return true;
            }
            if (!ReadEntry(at, e)) {
                return false;
            }
            const int32_t x = (e[0] & 0x0F) * kIndoorCellSize +
                              ((e[1] & kIndoorXHalfBit) != 0 ? kIndoorHalfStep : 0);
            const int32_t y = (e[0] & 0xF0) * kIndoorCellSize +
                              ((e[1] & kIndoorYHalfBit) != 0 ? kIndoorHalfStep : 0);
            if (!AddObject(list, e[1] & kTypeMask, x, y, e[2], levelNumber)) {
                return false;
            }
        }
    }

    // Outdoor (every kind but indoor): 3-byte entries, each followed by up to three bytes that
    // add objects of the same type and x further down.
    bool ReadOutdoorList(int32_t levelNumber, int64_t address, ObjectListRecord& list) {
        for (int64_t at = address;;) {
            uint8_t e[kEntrySize];
            if (!FirstByte(at, e[0])) {
                return false;
            }
            if (e[0] == kListEnd) {
                return true;
            }
            if (!ReadEntry(at, e)) {
                return false;
            }
            const int32_t type = e[1] & kTypeMask;
            constexpr int kWideMaskLevel = 7;
            constexpr int kWideMaskType = 16;
            const int32_t mask = (levelNumber == kWideMaskLevel && type == kWideMaskType) ? 15 : 7;
            if (!AddObject(list, type, e[0], e[2] & kOutdoorYMask, e[2] & mask, levelNumber)) {
                return false;
            }
            const int extra = (e[1] & kExtraBytesMask) >> kExtraBytesShift;
            for (int i = 0; i < extra; ++i) {
                uint8_t byte = 0;
                if (!FirstByte(at + kEntrySize + i, byte) ||
                    !AddObject(list, type, e[0], byte & kOutdoorYMask, byte & mask, levelNumber)) {
                    return false;
                }
            }
            at += kEntrySize + extra;
        }
    }

    const ByteArray& m_image;
    int32_t m_bank;
    size_t m_objectCount = 0;
};

}  // namespace

std::string LevelPlaceText(int place, int screen) {
    char text[64];
    if (screen > 0) {
        std::snprintf(text, sizeof text, "Level %X, screen %d", place, screen);
    } else {
        std::snprintf(text, sizeof text, "Level %X", place);
    }
    return text;
}

bool ReadStoredScreen(const ByteArray& image, int64_t offset, size_t cellCount,
                      StoredScreen& screen) {
    if (!ImageHolds(image, offset, 1)) {
        return false;
    }
    // The run-length rule that a header in the last place is one cell of its own value belongs
    // to an input cut short, and neither the image's end nor the length bound is such a cut: a
    // header there starts a run whose value byte is missing. So the window is followed by one
    // byte that is not the image's, and a screen that reads it is refused.
    const int64_t window =
        std::min<int64_t>(static_cast<int64_t>(image.size()) - offset, kMaxStoredScreenLength);
    ByteArray input(image.begin() + offset, image.begin() + offset + window);
    input.push_back(0);
    size_t consumed = 0;
    ByteArray cells = RleDecode(input.data(), input.size(), cellCount, true, &consumed);
    if (cells.size() != cellCount || static_cast<int64_t>(consumed) > window) {
        return false;
    }
    screen.cells = std::move(cells);
    screen.length = static_cast<int64_t>(consumed);
    return true;
}

CodecResult DecodeLevels(const ByteArray& image, bool large, const std::vector<int32_t>& table,
                         int32_t objectTableAddress, LevelList& levels) {
    if (table.size() != kRomLayoutTableSize) {
        return CodecResult::Failure("The cartridge layout is not set.");
    }
    Decoder decoder(image, large);
    LevelList decoded;
    decoded.records.resize(kLevelCount);
    int bossCount = 0;
    for (int n = 1; n <= kLevelCount; ++n) {
        LevelRecord& level = decoded.records[n - 1];
        level.number = n;
        const int64_t header =
            FileOffset(table[0] + int64_t{n - 1} * kLevelHeaderSize, LevelBank(large), false);
        if (!ImageHolds(image, header, kLevelHeaderSize)) {
            return CodecResult::Failure(
                LevelPlaceText(n) + ": the level header lies outside the image.", n);
        }
        ReadLevelHeader(image, header, level);
        CodecResult result = decoder.DecodeScreens(level);
        if (result) {
            result = decoder.DecodeObjectLists(level, objectTableAddress);
        }
        if (!result) {
            return result;
        }
        if (level.kind == kIndoorKind) {
            ++bossCount;
            LevelRecord boss;
            const int place = static_cast<int>(decoded.records.size()) + 1;
            result = decoder.DecodeBossRoom(level, bossCount, table[1], boss, place);
            if (!result) {
                return result;
            }
            decoded.records.push_back(std::move(boss));
        }
    }
    decoded.source =
        LevelSource{true, image.size(), ImageChecksum(image), large, table, objectTableAddress};
    levels = std::move(decoded);
    return CodecResult::Success();
}
