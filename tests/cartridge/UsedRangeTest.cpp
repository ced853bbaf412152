// The map of everything the decoder read, each screen's room in it, and the level bank's
// address window.
#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

constexpr int64_t kLargeLayoutShift = 5 * kBankSize;
constexpr int64_t kLevelHeadersOffset = kLevelHeaderTableAddress + kInesHeaderSize;
constexpr int64_t kLevelHeadersLength = kLevelCount * kLevelHeaderSize;
constexpr int64_t kObjectPointerTableOffset = kObjectPointerTableAddress + kInesHeaderSize;
constexpr int64_t kObjectPointerTableLength = kLevelCount * 2;
constexpr int64_t kBossListOffset = kBossListFilePos - 1;
constexpr int64_t kBossListLength = 2 * 2;  // two boss rooms
constexpr int kIndoorLevel = 2;             // n = 1: four screens, and the preview reads six
constexpr int kFirstBossPlace = 9;
constexpr int64_t kHorizontalCells = 56;

const UsedRange* Find(const LevelList& levels, UsedRangeKind kind, int place, int index) {
    for (const UsedRange& range : levels.usedRanges) {
        if (range.kind == kind && range.place == place && range.index == index) {
            return &range;
        }
    }
    return nullptr;
}

struct ExpectedRange {
    const char* name;
    UsedRangeKind kind;
    int place;
    int index;
    int64_t offset;  // in image A; banked ones move by kLargeLayoutShift in image B
    int64_t length;
    bool banked;
};

// The map of image A and B holds every structure where the recipe put it; only the banked ones
// move with the layout.
TEST(UsedRanges, HoldEveryStructureOfTheSampleImages) {
    const ExpectedRange cases[] = {
        {"level headers", UsedRangeKind::LevelHeaders, 0, 0, kLevelHeadersOffset,
         kLevelHeadersLength, false},
        {"object-pointer table", UsedRangeKind::ObjectPointerTable, 0, 0, kObjectPointerTableOffset,
         kObjectPointerTableLength, false},
        {"boss list", UsedRangeKind::BossList, 0, 0, kBossListOffset, kBossListLength, false},
        {"first screen", UsedRangeKind::Screen, 1, 1, 0x8210, 28, true},
        // Four screens for the editor and two spare ones for the preview: six entries.
        {"indoor screen table", UsedRangeKind::ScreenTable, kIndoorLevel, 0, 0x8130, 12, true},
        {"first spare screen", UsedRangeKind::SpareScreen, kIndoorLevel, 5, 0x8408, 2, true},
        {"second spare screen", UsedRangeKind::SpareScreen, kIndoorLevel, 6, 0x8440, 2, true},
        {"boss screen", UsedRangeKind::BossScreen, kFirstBossPlace, kFirstBossPlace, 0x9110,
         kHorizontalCells, true},
        {"object table", UsedRangeKind::ObjectTable, 1, 0, 0xB540, 10, false},
        // Eleven entry bytes and the end byte.
        {"object list", UsedRangeKind::ObjectList, 1, 1, 0xB660, 12, false},
        // An indoor list that ends at its first byte.
        {"empty indoor list", UsedRangeKind::ObjectList, kIndoorLevel, 3, 0xB6A4, 1, false},
    };
    for (const char* image : {kImageA, kImageB}) {
        const LevelList levels = DecodeOrFail(LoadTestImage(image));
        for (const ExpectedRange& c : cases) {
            SCOPED_TRACE(std::string(image) + ": " + c.name);
            const UsedRange* range = Find(levels, c.kind, c.place, c.index);
            ASSERT_NE(range, nullptr);
            const bool large = std::string(image) == kImageB;
            EXPECT_EQ(range->offset, c.offset + (c.banked && large ? kLargeLayoutShift : 0));
            EXPECT_EQ(range->length, c.length);
        }
        EXPECT_TRUE(std::is_sorted(
            levels.usedRanges.begin(), levels.usedRanges.end(),
            [](const UsedRange& a, const UsedRange& b) { return a.offset < b.offset; }));
        // Every screen of every level is in it, and no two ranges of a sound image overlap
        // (lists that share one empty list are the same range).
        size_t screens = 0;
        for (size_t i = 0; i < kLevelCount; ++i) {
            screens += levels.records[i].screens.size();
        }
        EXPECT_EQ(static_cast<size_t>(std::count_if(
                      levels.usedRanges.begin(), levels.usedRanges.end(),
                      [](const UsedRange& r) { return r.kind == UsedRangeKind::Screen; })),
                  screens);
        for (size_t i = 1; i < levels.usedRanges.size(); ++i) {
            const UsedRange& before = levels.usedRanges[i - 1];
            const UsedRange& range = levels.usedRanges[i];
            const bool same = before.offset == range.offset && before.length == range.length;
            EXPECT_TRUE(same || before.offset + before.length <= range.offset)
                << image << ": range " << i << " overlaps the one before";
        }
    }
}

// Each screen's room is the manifest's, measured by the generator independently: its stored
// bytes and the free bytes after them, up to the next structure, its bank's end or the image's.
TEST(UsedRanges, EveryScreenHasTheRoomOfTheManifest) {
    const SampleManifest& manifest = SampleManifest::Get();
    const std::vector<std::string> images = manifest.ImagesWithRooms();
    ASSERT_FALSE(images.empty());
    for (const std::string& image : images) {
        const LevelList levels = DecodeOrFail(LoadTestImage(image));
        int checked = 0;
        for (size_t i = 0; i < kLevelCount && i < levels.records.size(); ++i) {
            const int place = static_cast<int>(i) + 1;
            for (const ScreenRecord& screen : levels.records[i].screens) {
                const auto room = manifest.rooms.find({image, place, screen.number});
                ASSERT_NE(room, manifest.rooms.end())
                    << image << " " << place << "/" << screen.number;
                EXPECT_EQ(screen.storedRoom, room->second)
                    << image << " " << place << "/" << screen.number;
                EXPECT_GE(screen.storedRoom, screen.storedLength);
                EXPECT_LE(screen.storedOffset + screen.storedRoom,
                          BankEndOffset(screen.storedOffset));
                ++checked;
            }
        }
        EXPECT_GT(checked, 0) << image;
    }
}

// The room runs over the stored bytes, then over free bytes only, and ends at the first byte
// that other data holds, at the bank's end or at the image's end.
TEST(UsedRanges, RoomRunsOverFreeBytesUpToOtherData) {
    constexpr int64_t kStart = kInesHeaderSize + 100;
    constexpr int64_t kConsumed = 10;
    constexpr int64_t kStoredEnd = kStart + kConsumed;
    constexpr int64_t kNextStart = kStart + 40;
    constexpr int32_t kCells = 56;
    constexpr int64_t kBankEnd = kInesHeaderSize + kBankSize;
    constexpr int64_t kImageSize = kInesHeaderSize + 2 * kBankSize;
    constexpr int64_t kShortImage = kStart + 70;
    constexpr int64_t kForeignAt = kStoredEnd + 5;
    constexpr uint8_t kForeignByte = 0x01;
    const auto range = [](UsedRangeKind kind, int64_t offset, int64_t length, int32_t cells = 0) {
        return UsedRange{kind, 1, 1, offset, length, cells};
    };
    const UsedRange self = range(UsedRangeKind::Screen, kStart, kConsumed, kCells);
    const auto list = [&](int64_t offset, int64_t length) {
        return range(UsedRangeKind::ObjectList, offset, length);
    };
    const struct {
        const char* name;
        std::vector<UsedRange> map;
        uint8_t fill;           // what the bytes after the stored form hold
        int64_t foreignAt = 0;  // a byte that is not free, 0 for none
        int64_t imageSize = kImageSize;
        int64_t room;
    } cases[] = {
        {"zeroed to the bank's end", {self}, kZeroedByte, 0, kImageSize, kBankEnd - kStart},
        {"erased to the bank's end", {self}, kErasedByte, 0, kImageSize, kBankEnd - kStart},
        {"to the image's end", {self}, kZeroedByte, 0, kShortImage, kShortImage - kStart},
        {"up to a byte that is not free",
         {self},
         kZeroedByte,
         kForeignAt,
         kImageSize,
         kForeignAt - kStart},
        {"up to the next start",
         {self, list(kNextStart, 1)},
         kZeroedByte,
         0,
         kImageSize,
         kNextStart - kStart},
        {"data inside its bytes only",
         {self, list(kStart + 2, 1)},
         kZeroedByte,
         0,
         kImageSize,
         kBankEnd - kStart},
        {"data from inside its bytes on",
         {self, list(kStart + 2, kConsumed)},
         kZeroedByte,
         0,
         kImageSize,
         kConsumed},
        {"next start in the next bank",
         {self, list(kBankEnd, 1)},
         kZeroedByte,
         0,
         kImageSize,
         kBankEnd - kStart},
        {"other data from its start on",
         {list(kStart, kConsumed + 1), self},
         kZeroedByte,
         0,
         kImageSize,
         kConsumed},
        {"data from before it to past its end",
         {list(kStart - 2, kConsumed * 2), self},
         kZeroedByte,
         0,
         kImageSize,
         kConsumed},
        {"a screen known only by its start",
         {self, range(UsedRangeKind::SpareScreen, kNextStart, 0, kCells)},
         kZeroedByte,
         0,
         kImageSize,
         kNextStart - kStart},
        {"the same stored screen read again",
         {self, range(UsedRangeKind::SpareScreen, kStart, kConsumed, kCells), list(kNextStart, 1)},
         kZeroedByte,
         0,
         kImageSize,
         kNextStart - kStart},
        {"a longer screen of other cells at its start",
         {self, range(UsedRangeKind::Screen, kStart, kConsumed + 1, kCells + kLevelColumns)},
         kZeroedByte,
         0,
         kImageSize,
         kConsumed},
    };
    for (const auto& c : cases) {
        ByteArray image(static_cast<size_t>(c.imageSize), c.fill);
        if (c.foreignAt != 0) {
            image[static_cast<size_t>(c.foreignAt)] = kForeignByte;
        }
        EXPECT_EQ(ScreenRoom(image, c.map, kStart, kConsumed, kCells), c.room) << c.name;
    }
}

struct WindowImage {
    const char* name;
    int level;
    int screen;
};

// Level data named by an address outside 8000-BFFF is refused at open, although the file holds
// bytes at the position the address gives.
TEST(AddressWindow, AddressesOutsideTheLevelBankAreRefused) {
    const WindowImage cases[] = {
        {"WindowScreenPointer.nes", 1, 1},
        {"WindowScreenTable.nes", 1, 1},
        {"WindowScreenCrossesEnd.nes", 1, 1},
        {"WindowObjectTable.nes", 1, 0},
        {"WindowObjectList.nes", 1, 0},
        {"WindowBossScreen.nes", kFirstBossPlace, kFirstBossPlace},
    };
    for (const WindowImage& c : cases) {
        LevelList levels;
        const CodecResult result = DecodeImage(LoadTestImage(c.name), levels);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_EQ(result.level, c.level) << c.name << ": " << result.message;
        EXPECT_EQ(result.screen, c.screen) << c.name << ": " << result.message;
        const bool saysWhy = result.message.find("8000-BFFF") != std::string::npos ||
                             result.message.find("bank's end") != std::string::npos;
        EXPECT_TRUE(saysWhy) << c.name << ": " << result.message;
        EXPECT_EQ(result.problem,
                  c.screen > 0 ? CodecProblem::ScreenUnreadable : CodecProblem::LevelUnreadable)
            << c.name;
        EXPECT_TRUE(levels.records.empty()) << c.name;
    }
}

// Copies count bytes of image A from one unbanked address to another.
void CopyUnbanked(ByteArray& image, int32_t from, int32_t to, int64_t count) {
    const auto first = image.begin() + UnbankedOffset(from);
    PutBytes(image, UnbankedOffset(to), ByteArray(first, first + count));
}

// Level data that starts at the bank's first address or ends at its last one is read, and
// reads as the same levels.
TEST(AddressWindow, DataAtTheLevelBanksEdgesIsAccepted) {
    constexpr int64_t kFirstScreenLength = 28;     // level 1 screen 1
    constexpr int64_t kScreenTableLength = 5 * 2;  // level 1: five screens
    constexpr int64_t kObjectTableLength = 5 * 2;  // level 1: five lists
    constexpr int64_t kFirstListLength = 12;       // eleven entry bytes and the end byte
    constexpr int32_t kFirstList = 0xB650;
    constexpr int32_t kBossScreen = 0x9100;
    constexpr int64_t kBossLength = kHorizontalCells;
    constexpr int32_t kLevel1ScreenTable = kLevelHeaderTableAddress + kHeaderScreenTable;
    const auto endingAtTheLast = [](int64_t length) {
        return static_cast<int32_t>(kBankLastAddress + 1 - length);
    };
    const auto screenAt = [](int32_t address) {
        return [address](ByteArray& image) { MoveScreen(image, kImageA, 1, 1, address); };
    };
    const auto screenTableAt = [](int32_t address) {
        return [address](ByteArray& image) {
            CopyUnbanked(image, kScreenTables, address, kScreenTableLength);
            PutWord(image, UnbankedOffset(kLevel1ScreenTable), address);
        };
    };
    const auto objectTableAt = [](int32_t address) {
        return [address](ByteArray& image) {
            CopyUnbanked(image, kObjectTables, address, kObjectTableLength);
            PutWord(image, UnbankedOffset(kObjectPointerTableAddress), address);
        };
    };
    const auto objectListAt = [](int32_t address) {
        return [address](ByteArray& image) {
            CopyUnbanked(image, kFirstList, address, kFirstListLength);
            PutWord(image, UnbankedOffset(kObjectTables), address);
        };
    };
    const auto bossScreenAt = [](int32_t address) {
        return [address](ByteArray& image) {
            CopyUnbanked(image, kBossScreen, address, kBossLength);
            PutWord(image, kBossListOffset, address);
        };
    };
    const struct {
        const char* name;
        std::function<void(ByteArray&)> move;
    } cases[] = {
        {"a screen at the first address", screenAt(kBankFirstAddress)},
        {"a screen ending at the last", screenAt(endingAtTheLast(kFirstScreenLength))},
        {"a screen table at the first address", screenTableAt(kBankFirstAddress)},
        {"a screen table ending at the last", screenTableAt(endingAtTheLast(kScreenTableLength))},
        {"an object table at the first address", objectTableAt(kBankFirstAddress)},
        {"an object table ending at the last", objectTableAt(endingAtTheLast(kObjectTableLength))},
        {"an object list at the first address", objectListAt(kBankFirstAddress)},
        {"an object list ending at the last", objectListAt(endingAtTheLast(kFirstListLength))},
        {"a boss screen at the first address", bossScreenAt(kBankFirstAddress)},
        {"a boss screen ending at the last", bossScreenAt(endingAtTheLast(kBossLength))},
    };
    const ByteArray sample = LoadTestImage(kImageA);
    const LevelList expected = DecodeOrFail(sample);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ByteArray image = sample;
        c.move(image);
        LevelList levels;
        const CodecResult result = DecodeImage(image, levels);
        ASSERT_TRUE(result.ok) << result.message;
        ASSERT_EQ(levels.records.size(), expected.records.size());
        for (size_t i = 0; i < levels.records.size(); ++i) {
            EXPECT_EQ(levels.records[i].screens, expected.records[i].screens) << i;
            EXPECT_EQ(levels.records[i].objectLists, expected.records[i].objectLists) << i;
        }
    }
}

// A screen whose stored form ends with the image's last byte is whole, and keeps its room.
TEST(AddressWindow, DataEndingAtTheImagesLastByteIsAccepted) {
    constexpr int kLevel = 8;
    constexpr int kLastScreen = 12;
    const ByteArray image = LoadTestImage("EndsAtLastByte.nes");
    const LevelList levels = DecodeOrFail(image);
    ASSERT_GE(levels.records.size(), static_cast<size_t>(kLevel));
    const ScreenRecord& screen = levels.records[kLevel - 1].screens.at(kLastScreen - 1);
    EXPECT_EQ(screen.storedOffset + screen.storedLength, static_cast<int64_t>(image.size()));
    EXPECT_EQ(screen.storedRoom, screen.storedLength);
    EXPECT_EQ(screen.cells, SampleManifest::Get().Cells(kImageA, kLevel, kLastScreen));
}

}  // namespace
