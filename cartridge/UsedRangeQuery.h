// Questions about the map of used ranges that every decode builds: which known structures hold a
// given byte of the image. Kept in a header of its own so that a program can ask them without
// changing what the decoder builds.
#pragma once

#include "cartridge/LevelModel.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// The bytes a range stands for: a range known only by where it starts (a screen that does not
// decode) still owns its first byte, since a change there changes what it reads as.
inline int64_t HeldLength(const UsedRange& range) {
    return std::max<int64_t>(range.length, 1);
}

inline bool RangeHolds(const UsedRange& range, int64_t offset) {
    return offset >= range.offset && offset - range.offset < HeldLength(range);
}

// The ranges of the map that hold at least one of the offsets, each once, in map order.
inline std::vector<UsedRange> RangesHolding(const std::vector<UsedRange>& map,
                                            const std::vector<int64_t>& offsets) {
    std::vector<UsedRange> holding;
    for (const UsedRange& range : map) {
        if (std::any_of(offsets.begin(), offsets.end(),
                        [&](int64_t offset) { return RangeHolds(range, offset); })) {
            holding.push_back(range);
        }
    }
    return holding;
}

// True for the ranges that are run-length screens: the ones a level shows and the spare ones
// after its count.
inline bool IsRunLengthScreen(const UsedRange& range) {
    return range.kind == UsedRangeKind::Screen || range.kind == UsedRangeKind::SpareScreen;
}
