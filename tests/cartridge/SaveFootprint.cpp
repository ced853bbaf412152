#include "SaveFootprint.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The layout facts the check rests on, restated here so that it does not lean on the codec.
constexpr int64_t kHeaderBytes = 16;
constexpr int64_t kBankBytes = 16384;
constexpr size_t kRunLengthPlaces = 8;  // the eight levels; boss rooms follow them

bool IsFree(uint8_t byte) {
    return byte == 0x00 || byte == 0xFF;
}

int64_t BankEnd(int64_t offset) {
    return kHeaderBytes + ((offset - kHeaderBytes) / kBankBytes + 1) * kBankBytes;
}

struct Stretch {
    int64_t first = 0;
    int64_t end = 0;
    bool Holds(int64_t at) const { return at >= first && at < end; }
};

// The bytes each edited screen may take, and the stored screens it is (by offset and cells).
struct EditedScreens {
    std::vector<Stretch> stretches;
    std::vector<std::pair<int64_t, size_t>> stored;

    bool Allows(int64_t at) const {
        return std::any_of(stretches.begin(), stretches.end(),
                           [at](const Stretch& s) { return s.Holds(at); });
    }
    bool IsEdited(const UsedRange& range) const {
        const bool screen = range.kind == UsedRangeKind::Screen ||
                            range.kind == UsedRangeKind::SpareScreen ||
                            range.kind == UsedRangeKind::BossScreen;
        const auto key = std::make_pair(range.offset, static_cast<size_t>(range.cellCount));
        const bool boss = range.kind == UsedRangeKind::BossScreen;
        return screen && std::any_of(stored.begin(), stored.end(), [&](const auto& s) {
                   return s.first == key.first && (boss || s.second == key.second);
               });
    }
};

EditedScreens FindEditedScreens(const ByteArray& before, const LevelList& decoded,
                                const LevelList& edited) {
    EditedScreens found;
    const size_t places = std::min(decoded.records.size(), edited.records.size());
    for (size_t p = 0; p < places; ++p) {
        const auto& was = decoded.records[p].screens;
        const auto& now = edited.records[p].screens;
        for (size_t s = 0; s < std::min(was.size(), now.size()); ++s) {
            if (was[s].cells == now[s].cells) {
                continue;
            }
            const int64_t first = was[s].storedOffset;
            int64_t end = first + was[s].storedLength;
            if (p < kRunLengthPlaces) {
                const int64_t limit = std::min(BankEnd(first), static_cast<int64_t>(before.size()));
                while (end < limit && IsFree(before[static_cast<size_t>(end)])) {
                    ++end;
                }
            }
            found.stretches.push_back(Stretch{first, end});
            found.stored.emplace_back(first, was[s].cells.size());
        }
    }
    return found;
}

}  // namespace

int64_t FirstChangeOutsideEditedScreens(const ByteArray& before, const ByteArray& after,
                                        const LevelList& decoded, const LevelList& edited) {
    if (before.size() != after.size()) {
        return static_cast<int64_t>(std::min(before.size(), after.size()));
    }
    const EditedScreens screens = FindEditedScreens(before, decoded, edited);
    for (const UsedRange& range : decoded.usedRanges) {
        if (screens.IsEdited(range)) {
            continue;
        }
        const int64_t end = range.offset + std::max<int64_t>(range.length, 1);
        for (int64_t at = range.offset; at < end && at < static_cast<int64_t>(before.size());
             ++at) {
            if (before[static_cast<size_t>(at)] != after[static_cast<size_t>(at)]) {
                return at;
            }
        }
    }
    for (size_t at = 0; at < before.size(); ++at) {
        if (before[at] != after[at] && !screens.Allows(static_cast<int64_t>(at))) {
            return static_cast<int64_t>(at);
        }
    }
    return kNoChangeOutside;
}
