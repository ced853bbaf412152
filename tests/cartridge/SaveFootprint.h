// What a save of edited screens may change in an image, held independently of the encoder: the
// stored bytes of each edited screen and the free bytes (00 or FF) directly after them in its
// bank. Shared by the codec tests and the decoder fuzz target.
#pragma once

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

#include <cstdint>

constexpr int64_t kNoChangeOutside = -1;

// The first offset at which after differs from before outside the edited screens' stored bytes
// and the free bytes after them, or at which a stretch the decoder read for anything but an
// edited screen changed; kNoChangeOutside when there is none. decoded holds the levels as read
// from before, edited the same levels with the edits (screens whose cells differ are edited).
int64_t FirstChangeOutsideEditedScreens(const ByteArray& before, const ByteArray& after,
                                        const LevelList& decoded, const LevelList& edited);
