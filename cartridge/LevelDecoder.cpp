#include "cartridge/LevelDecoder.h"

#include "cartridge/RomLayout.h"
#include "cartridge/RunLength.h"
#include "cartridge/ScreenRoom.h"

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
constexpr int64_t kWordSize = 2;
// The preview program reads n x 4 + 2 screens of these two levels and n + 2 of every other one,
// so the sample images and the game's own data hold spare screens after the editor's count.
constexpr int kFirstIndoorStage = 2;
constexpr int kSecondIndoorStage = 4;
constexpr int32_t kPreviewIndoorScreensPerBase = 4;
constexpr int32_t kPreviewExtraScreens = 2;

// The game sees its level data through a 16 KB window; an address outside it reads something
// else than what lies at its file position.
constexpr int64_t kWindowFirst = 0x8000;
constexpr int64_t kWindowLast = 0xBFFF;

bool InWindow(int64_t address, int64_t count) {
    return address >= kWindowFirst && count >= 1 && address + count - 1 <= kWindowLast;
}

std::string AddressText(int64_t address) {
    char text[32];
    std::snprintf(text, sizeof text, "%04llX", static_cast<unsigned long long>(address));
    return text;
}

std::string OutsideWindow(const std::string& what, int64_t address) {
    return what + " " + AddressText(address) + " lies outside the level bank's addresses " +
           AddressText(kWindowFirst) + "-" + AddressText(kWindowLast);
}

int32_t PreviewScreenCount(const LevelRecord& level) {
    const int32_t n = level.baseScreenCount;
    const bool indoorStage =
        level.number == kFirstIndoorStage || level.number == kSecondIndoorStage;
    return indoorStage ? n * kPreviewIndoorScreensPerBase + kPreviewExtraScreens
                       : n + kPreviewExtraScreens;
}

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
            const int64_t entryAddress = level.screenTable + int64_t{j - 1} * kWordSize;
            if (!InWindow(entryAddress, kWordSize)) {
                return Fail(level.number, j,
                            OutsideWindow("its entry in the screen table at", entryAddress));
            }
            int32_t pointer = 0;
            if (!ReadImageWord(m_image, FileOffset(entryAddress, m_bank, true), pointer)) {
                return Fail(level.number, j,
                            "its entry in the screen table lies outside the image");
            }
            if (!InWindow(pointer, 1)) {
                return Fail(level.number, j, OutsideWindow("the screen's address", pointer));
            }
            const int64_t offset = FileOffset(pointer, m_bank, true);
            StoredScreen stored;
            if (!ReadStoredScreen(m_image, offset, cells, stored)) {
                return Fail(level.number, j,
                            "the screen's data runs past the end of the image or never ends");
            }
            if (!InWindow(pointer, stored.length)) {
                return Fail(level.number, j, "the screen's data runs past the level bank's end");
            }
            AddRange(UsedRangeKind::Screen, level.number, j, offset, stored.length,
                     static_cast<int32_t>(cells));
            ScreenRecord screen{j, std::move(stored.cells), offset, stored.length};
            screen.storedCells = screen.cells;
            level.screens.push_back(std::move(screen));
        }
        const int32_t read = count + AddSpareScreens(level, count, cells);
        if (read > 0) {
            AddRange(UsedRangeKind::ScreenTable, level.number, 0,
                     FileOffset(level.screenTable, m_bank, true), int64_t{read} * kWordSize);
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
            const int64_t entryAddress = level.objectTable + int64_t{j - 1} * kWordSize;
            if (!InWindow(entryAddress, kWordSize)) {
                return Fail(n, 0, OutsideWindow("its object table entry at", entryAddress));
            }
            int32_t listAddress = 0;
            if (!ReadImageWord(m_image, FileOffset(entryAddress, 0, false), listAddress)) {
                return Fail(n, 0, "its object table runs past the end of the image");
            }
            const std::string name = "object list " + std::to_string(j);
            if (!InWindow(listAddress, 1)) {
                return Fail(n, 0, OutsideWindow(name + " at", listAddress));
            }
            ObjectListRecord list{j + 1, {}};
            int64_t end = 0;
            const bool read = level.kind == kIndoorKind
                                  ? ReadIndoorList(n, listAddress, list, end)
                                  : ReadOutdoorList(n, listAddress, list, end);
            if (!read) {
                return m_objectCount > kMaxDecodedObjects
                           ? TooManyObjects(n)
                           : Fail(n, 0, name + " runs past the end of the image or never ends");
            }
            if (!InWindow(listAddress, end - listAddress)) {
                return Fail(n, 0, name + " runs past the level bank's end");
            }
            AddRange(UsedRangeKind::ObjectList, n, j, FileOffset(listAddress, 0, false),
                     end - listAddress);
            level.objectLists.push_back(std::move(list));
        }
        if (listCount > 0) {
            AddRange(UsedRangeKind::ObjectTable, n, 0, FileOffset(level.objectTable, 0, false),
                     int64_t{listCount} * kWordSize);
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
        if (!InWindow(boss.screenTable, 1)) {
            return Fail(place, place,
                        OutsideWindow("the boss room's screen address", boss.screenTable));
        }
        if (!InWindow(boss.screenTable, cells)) {
            return Fail(place, place, "the boss room's screen runs past the level bank's end");
        }
        const int64_t offset = FileOffset(boss.screenTable, m_bank, true);
        if (!ImageHolds(m_image, offset, cells)) {
            return Fail(place, place, "the boss room's screen runs past the end of the image");
        }
        const auto first = m_image.begin() + offset;
        ScreenRecord screen{place, ByteArray(first, first + cells), offset, cells, cells};
        screen.storedCells = screen.cells;
        boss.screens = {std::move(screen)};
        AddRange(UsedRangeKind::BossScreen, place, place, offset, cells);
        return CodecResult::Success();
    }

    void AddRange(UsedRangeKind kind, int place, int index, int64_t offset, int64_t length,
                  int32_t cellCount = 0) {
        m_ranges.push_back(UsedRange{kind, place, index, offset, length, cellCount});
    }

    // The map of everything read, ordered by offset, and each run-length screen's room in it.
    std::vector<UsedRange> FinishMap(std::vector<LevelRecord>& records) {
        std::stable_sort(
            m_ranges.begin(), m_ranges.end(),
            [](const UsedRange& a, const UsedRange& b) { return a.offset < b.offset; });
        for (size_t i = 0; i < records.size() && i < static_cast<size_t>(kLevelCount); ++i) {
            for (ScreenRecord& screen : records[i].screens) {
                screen.storedRoom =
                    ScreenRoom(m_image, m_ranges, screen.storedOffset, screen.storedLength,
                               static_cast<int32_t>(screen.cells.size()));
            }
        }
        return std::move(m_ranges);
    }

private:
    // The screens the preview program reads after the editor's count: known only so that no
    // screen grows over them. One that cannot be read is no data of this image and is skipped;
    // one that does not decode is known by its start alone. Returns how many table entries
    // were read.
    int32_t AddSpareScreens(const LevelRecord& level, int32_t count, size_t cells) {
        int32_t read = 0;
        for (int32_t j = count + 1; j <= PreviewScreenCount(level); ++j) {
            const int64_t entryAddress = level.screenTable + int64_t{j - 1} * kWordSize;
            int32_t pointer = 0;
            if (!InWindow(entryAddress, kWordSize) ||
                !ReadImageWord(m_image, FileOffset(entryAddress, m_bank, true), pointer)) {
                break;
            }
            ++read;
            const int64_t offset = FileOffset(pointer, m_bank, true);
            if (!InWindow(pointer, 1) || !ImageHolds(m_image, offset, 1)) {
                continue;
            }
            StoredScreen stored;
            const bool decodes = ReadStoredScreen(m_image, offset, cells, stored) &&
                                 InWindow(pointer, stored.length);
            AddRange(UsedRangeKind::SpareScreen, level.number, j, offset,
                     decodes ? stored.length : 0, static_cast<int32_t>(cells));
        }
        return read;
    }

    static CodecResult Fail(int place, int screen, const std::string& what) {
        return CodecResult::Failure(
            LevelPlaceText(place, screen) + ": " + what + ".", place, screen,
            screen > 0 ? CodecProblem::ScreenUnreadable : CodecProblem::LevelUnreadable);
    }

    // The lists end, but together they hold more objects than the editor reads.
    static CodecResult TooManyObjects(int place) {
        return CodecResult::Failure(
            LevelPlaceText(place) + ": the object lists of the image hold more than " +
                std::to_string(kMaxDecodedObjects) + " objects, more than the editor reads.",
            place, 0, CodecProblem::TooManyObjects);
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
    // end receives the address just past the list's end byte.
    bool ReadIndoorList(int32_t levelNumber, int64_t address, ObjectListRecord& list,
                        int64_t& end) {
        uint8_t first = 0;
        if (!FirstByte(address, first)) {
            return false;
        }
        if (first == kListEnd) {
            end = address + 1;
            return true;
        }
        for (int64_t at = address + kIndoorFirstEntrySize;; at += kEntrySize) {
            uint8_t e[kEntrySize];
            if (!FirstByte(at, e[0])) {
                return false;
            }
            if (e[0] == kListEnd) {
                end = at + 1;
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
    bool ReadOutdoorList(int32_t levelNumber, int64_t address, ObjectListRecord& list,
                         int64_t& end) {
        for (int64_t at = address;;) {
            uint8_t e[kEntrySize];
            if (!FirstByte(at, e[0])) {
                return false;
            }
            if (e[0] == kListEnd) {
                end = at + 1;
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
    std::vector<UsedRange> m_ranges;
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
                LevelPlaceText(n) + ": the level header lies outside the image.", n, 0,
                CodecProblem::LevelUnreadable);
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
    decoder.AddRange(UsedRangeKind::LevelHeaders, 0, 0,
                     FileOffset(table[0], LevelBank(large), false),
                     int64_t{kLevelCount} * kLevelHeaderSize);
    decoder.AddRange(UsedRangeKind::ObjectPointerTable, 0, 0,
                     FileOffset(objectTableAddress, 0, false), int64_t{kLevelCount} * kWordSize);
    if (bossCount > 0) {
        decoder.AddRange(UsedRangeKind::BossList, 0, 0, int64_t{table[1]} - 1,
                         int64_t{bossCount} * kWordSize);
    }
    decoded.usedRanges = decoder.FinishMap(decoded.records);
    decoded.source =
        LevelSource{true, image.size(), ImageChecksum(image), large, table, objectTableAddress};
    levels = std::move(decoded);
    return CodecResult::Success();
}
