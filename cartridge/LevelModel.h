// The decoded level model: levels with their screens of super-tile indexes and object lists,
// and the derived geometry every view of a level uses.
#pragma once

#include "cartridge/CodecResult.h"

#include <array>
#include <cstdint>
#include <vector>

constexpr int32_t kOutdoorKind = 0;
constexpr int32_t kIndoorKind = 1;
constexpr int32_t kBossRoomKind = 255;
constexpr int32_t kLevelColumns = 8;
constexpr int32_t kHorizontalRows = 7;
constexpr int32_t kVerticalRows = 8;

// One object of a level (19 int32 fields, in this order).
struct LevelObject {
    int32_t entryNumber = 0;  // the number of its object list
    int32_t type = 0;         // 0..63
    int32_t x = 0;
    int32_t y = 0;
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t reserved3 = 0;
    int32_t attr1 = 0;
    int32_t attr2 = 0;
    int32_t attr3 = 0;
    int32_t attr4 = 0;
    int32_t attr5 = 0;
    int32_t attr6 = 0;
    int32_t attr7 = 0;
    int32_t attr8 = 0;
    int32_t attr9 = 0;
    int32_t attr10 = 0;
    int32_t attr11 = 0;
    int32_t attr12 = 0;
};
static_assert(sizeof(LevelObject) == 19 * sizeof(int32_t), "a level object is 19 int32 fields");

struct ObjectListRecord {
    int32_t number = 0;  // list j has number j + 1
    std::vector<LevelObject> objects;
};

struct ScreenRecord {
    int32_t number = 0;  // 1-based; a boss room's screen carries the room's place in the list
    ByteArray cells;     // one super-tile index per cell, row by row from the top, 8 a row
    // Where the decoder found the screen, how many bytes it read there, how many bytes it may
    // take there (its room: those bytes and the free bytes after them, see ScreenRoom) and the
    // cells its stored bytes hold. Measured at every decode; not part of the level's content.
    int64_t storedOffset = 0;
    int64_t storedLength = 0;
    int64_t storedRoom = 0;
    ByteArray storedCells;
};

struct LevelRecord {
    int32_t number = 0;  // 1..8; a boss room carries the number of the indoor level it follows
    int32_t kind = 0;
    int32_t vertical = 0;
    int32_t screenTable = 0;  // for a boss room: the address of its raw screen
    int32_t header4 = 0;
    int32_t header6 = 0;
    int32_t header8 = 0;
    std::array<uint8_t, 3> header9{};
    std::array<uint8_t, 4> header12{};
    std::array<uint8_t, 4> header16{};
    std::array<uint8_t, 4> header20{};
    int32_t baseScreenCount = 0;
    int32_t header25 = 0;
    std::array<uint8_t, 6> header26{};
    int32_t objectTable = 0;
    // A fresh record holds one empty screen and one list with one all-zero object; decoding
    // replaces both for the eight levels, and a boss room keeps the object part as created.
    std::vector<ScreenRecord> screens{ScreenRecord{}};
    std::vector<ObjectListRecord> objectLists{ObjectListRecord{0, {LevelObject{}}}};
};

// The image and layout a level list was decoded from. A save checks it, so that levels can
// never be written into another file than their own.
struct LevelSource {
    bool decoded = false;
    size_t imageSize = 0;
    uint64_t imageChecksum = 0;
    bool large = false;
    std::vector<int32_t> layoutTable;
    int32_t objectTableAddress = 0;
};

// What a stretch of the image holds, as far as the decoder knows it.
enum class UsedRangeKind {
    LevelHeaders,        // the eight level headers
    ScreenTable,         // one level's screen-pointer table
    Screen,              // a run-length screen the editor shows
    SpareScreen,         // a screen after the editor's count that the preview program reads
    BossScreen,          // a boss room's raw screen
    BossList,            // the list of boss-room screen addresses
    ObjectPointerTable,  // the table of per-level object-list pointers
    ObjectTable,         // one level's object-list pointer table
    ObjectList,          // one object list, its end byte included
};

// One stretch of the image that the decoder read: a file offset and its length (0 for a spare
// screen that does not decode, which is known only by where it starts).
struct UsedRange {
    UsedRangeKind kind = UsedRangeKind::Screen;
    int place = 0;  // the level's place in the level list; 0 for the image's own tables
    int index = 0;  // screen or list number; 0 when there is none
    int64_t offset = 0;
    int64_t length = 0;
    int32_t cellCount = 0;  // for run-length screens: the cells they are read as
};

// The eight levels followed by one boss room for each indoor level.
struct LevelList {
    std::vector<LevelRecord> records;
    LevelSource source;
    // Every stretch of the image the decoder read, ordered by offset.
    std::vector<UsedRange> usedRanges;
};

int32_t LevelColumns(const LevelRecord& level);
int32_t LevelRows(const LevelRecord& level);
int32_t LevelScreenCount(const LevelRecord& level);
int32_t LevelCellCount(const LevelRecord& level);

// 1 when bit b of value is set, else 0.
int32_t TestBit(int32_t value, int32_t b);

// Sets the attribute fields that an object of this type has at this level.
void DecodeObjectAttributes(int32_t type, int32_t attribute, int32_t level, LevelObject& object);

// Content equality, as a save must preserve it: the stored position of a screen is not part
// of it.
bool operator==(const LevelObject& a, const LevelObject& b);
bool operator==(const ObjectListRecord& a, const ObjectListRecord& b);
bool operator==(const ScreenRecord& a, const ScreenRecord& b);
bool SameHeader(const LevelRecord& a, const LevelRecord& b);
