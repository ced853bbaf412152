// Writing the levels back into a copy of the cartridge image they were decoded from.
#pragma once

#include "codec/CodecResult.h"
#include "codec/LevelModel.h"

#include <cstdint>
#include <vector>

// Writes every level's header and the run-length form of its screens, and every boss room's
// raw screen, into a copy of image, which replaces output on success. An empty table means the
// values of InitRomLayout. The input image is never changed, and a refused save leaves output
// alone. A save is refused, naming the level and screen where there is one, when:
//  - the levels were not decoded from this image with this layout;
//  - an edited screen's new form is longer than the bytes it occupied, or holds cells the
//    run-length form cannot store;
//  - an edited screen (or level header, or boss room) shares stored bytes with another one;
//  - the written image would not decode back to the same levels.
// An unedited screen whose new form would not fit, or not read back, or whose bytes are shared,
// keeps its stored bytes.
// On success levels keep their content but belong to output from then on (its fingerprint, and
// where each screen now lies and how long it is there), so that output replaces the image the
// editor holds and the next save starts from it.
CodecResult EncodeRom(const ByteArray& image, LevelList& levels, bool large,
                      const std::vector<int32_t>& table, ByteArray& output);
