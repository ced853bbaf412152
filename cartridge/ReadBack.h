// The save's last guard: whether a written image reads back as the levels saved into it.
#pragma once

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

#include <cstdint>
#include <vector>

constexpr int kReadBackUnreadable = -1;

struct ReadBackMismatch {
    int place = 0;  // 0: everything reads back; kReadBackUnreadable: the image does not decode
    int screen = 0;
};

// Decodes written into check, with the layout and object table the levels were read with, and
// gives the first level (and screen) of levels that it reads back differently: another header,
// other objects, other screens or cells, or a level list of another length (the place just past
// the shorter list).
ReadBackMismatch FindReadBackMismatch(const ByteArray& written, const LevelList& levels, bool large,
                                      const std::vector<int32_t>& table, LevelList& check);
