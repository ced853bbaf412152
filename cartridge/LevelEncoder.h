// Writing the levels back into a copy of the cartridge image they were decoded from.
#pragma once

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

#include <cstdint>
#include <vector>

// Writes what changed since the levels were decoded into a copy of image, which replaces output
// on success: a level header whose values changed, the run-length form of an edited stored
// screen (once for all the screens that share it), and an edited boss room's raw screen. A
// screen whose cells did not change keeps its stored bytes exactly. An empty table means the
// values of InitRomLayout. The input image is never changed, and a refused save leaves output
// and levels alone. A save is refused, naming the level and screen where there is one, when:
//  - the levels were not decoded from this image with this layout;
//  - edited screens' new forms need more than their rooms (every such screen is listed);
//  - an edited screen holds cells the run-length form cannot store, or screens that share
//    their stored bytes were given different cells;
//  - a write would cover data of the image other than what it replaces;
//  - the written image would not decode back to the same levels.
// On success levels keep their content but belong to output from then on (its fingerprint, and
// where each screen now lies, how long it is there and its room), so that output replaces the
// image the editor holds and the next save starts from it.
CodecResult EncodeRom(const ByteArray& image, LevelList& levels, bool large,
                      const std::vector<int32_t>& table, ByteArray& output);
