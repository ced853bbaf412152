// How much room each stored screen has in its image, and the screens that are one stored screen
// shown in several places.
#pragma once

#include "cartridge/LevelModel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The file offset just past the 16 KB bank that holds a file offset.
int64_t BankEndOffset(int64_t offset);

// The bytes a screen stored at offset may take: up to the start of the next range of the map
// (ordered by offset) that starts after it in its bank, and never less than the bytes it consumed.
// A screen with nothing after it in its bank keeps its consumed length.
int64_t ScreenRoom(const std::vector<UsedRange>& map, int64_t offset, int64_t consumed);

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
