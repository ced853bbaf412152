// Decoding the eight levels and their boss rooms out of a cartridge image.
#pragma once

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// No sound stored screen needs more than two bytes a cell; a chain of run headers that yields
// nothing could otherwise make every screen of a lying image scan to the image's end.
constexpr int64_t kMaxStoredScreenLength = 1024;
// A bound on all object lists of one image together, far above what the game holds: lists that
// overlap in a lying image could otherwise multiply into gigabytes of objects.
constexpr size_t kMaxDecodedObjects = 65536;

struct StoredScreen {
    ByteArray cells;
    int64_t length = 0;  // bytes read from the image
};

// Reads one run-length screen at a file offset until it holds cellCount cells. False when the
// image ends first (a run header as its last byte included), or the stored form is longer than
// kMaxStoredScreenLength.
bool ReadStoredScreen(const ByteArray& image, int64_t offset, size_t cellCount,
                      StoredScreen& screen);

// Decodes the image into a new level list and replaces levels with it only on success. Every
// read is checked against the image: an image that points outside itself, or is too short for
// its tables, is refused as a whole and levels stay as they were. table must hold the two
// values of InitRomLayout.
CodecResult DecodeLevels(const ByteArray& image, bool large, const std::vector<int32_t>& table,
                         int32_t objectTableAddress, LevelList& levels);

// How a level list names a level in messages: its place in the list, as the level list shows
// it (upper-case hexadecimal), and the screen when one is given.
std::string LevelPlaceText(int place, int screen = 0);
