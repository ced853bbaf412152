// How much room each stored screen has in its image, and the screens that are one stored screen
// shown in several places.
#pragma once

#include "cartridge/LevelModel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The file offset just past the 16 KB bank that holds a file offset.
int64_t BankEndOffset(int64_t offset);

// What an unused stretch of a cartridge holds: erased (0xFF) or zeroed bytes. A save fills the
// bytes a shortened screen no longer needs with kErasedByte.
constexpr uint8_t kErasedByte = 0xFF;
constexpr uint8_t kZeroedByte = 0x00;
bool IsFreeByte(uint8_t byte);

// True when the range is a stored screen read from offset as cellCount cells: the same stored
// screen as one read there, which a save of that screen replaces along with it.
bool IsSameStoredScreen(const UsedRange& range, int64_t offset, int32_t cellCount);

// The bytes a screen stored at offset as cellCount cells may take: the consumed bytes of its
// stored form, then only free bytes, up to the first byte after them that any other range of
// the map holds, the end of its bank or the end of the image. Bytes nobody is known to read but
// that are not free may be code or tables the editor does not decode, so the room ends there.
int64_t ScreenRoom(const ByteArray& image, const std::vector<UsedRange>& map, int64_t offset,
                   int64_t consumed, int32_t cellCount);

struct ScreenPlace {
    int place = 0;  // the level's place in the level list
    int screen = 0;
};
bool operator==(const ScreenPlace& a, const ScreenPlace& b);

// True for the places of the list whose screens are stored run-length (the eight levels; the
// records after them are boss rooms with raw screens).
bool IsRunLengthPlace(int place);

// The screens that share one stored screen with the given one: run-length screens with the same
// stored offset and the same cell count, the screen itself first. Empty when the list has no
// such screen.
std::vector<ScreenPlace> ScreenAliases(const LevelList& levels, int place, int screen);

// Sets one cell of a screen and of every screen that shares its stored bytes, and gives the
// screens it set (the given one first). Empty when there is no such screen or cell.
std::vector<ScreenPlace> PlaceCell(LevelList& levels, int place, int screen, size_t cell,
                                   uint8_t value);

struct ScreenFit {
    bool fits = true;
    int64_t needed = 0;  // bytes the save would write for the screen's cells
    int64_t room = 0;
};
// Whether a run-length screen's cells can be saved into its room. Cells that did not change
// since the decode always fit: they keep their stored bytes.
ScreenFit CheckScreenFit(const ScreenRecord& screen);
