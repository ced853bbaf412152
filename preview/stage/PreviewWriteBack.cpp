#include "stage/PreviewWriteBack.h"

#include <algorithm>
#include <map>

#include "cartridge/ScreenRoom.h"
#include "cartridge/UsedRangeQuery.h"

namespace preview {

bool operator==(const OtherStructure& a, const OtherStructure& b) {
    return a.kind == b.kind && a.stage == b.stage && a.index == b.index;
}

namespace {

bool SameScreen(const Bytes& a, const Bytes& b, size_t first, size_t second) {
    return std::equal(a.begin() + first * kScreenCells, a.begin() + (first + 1) * kScreenCells,
                      b.begin() + second * kScreenCells);
}

// The decoder's range of the painted screen itself: its place in the editor's list is its stage.
const UsedRange* OwnRange(const PreviewKnownData& known, int stage, int screen, int64_t offset) {
    const auto found = std::find_if(known.ranges.begin(), known.ranges.end(), [&](const auto& r) {
        return IsRunLengthScreen(r) && r.place == stage && r.index == screen && r.offset == offset;
    });
    return found == known.ranges.end() ? nullptr : &*found;
}

OtherStructure Describe(const PreviewKnownData& known, const UsedRange& range) {
    OtherStructure other{range.kind, range.place, range.index};
    // A boss room is named by the stage it follows: its place in the editor's list means
    // nothing to a user of the preview.
    if (range.kind == UsedRangeKind::BossScreen && range.place >= 1 &&
        static_cast<size_t>(range.place) <= known.levelNumbers.size()) {
        other.stage = known.levelNumbers[static_cast<size_t>(range.place) - 1];
        other.index = 0;
    }
    return other;
}

void AddOnce(std::vector<OtherStructure>& others, const OtherStructure& other) {
    if (std::find(others.begin(), others.end(), other) == others.end())
        others.push_back(other);
}

// Every structure but the screen itself and its exact twins (the same stored bytes read as the
// same number of cells) that holds a byte the form would change: what the editor's decoder
// knows, and the other stored screens as the preview itself reads them. A byte the form writes
// as it already is changes nothing, whoever holds it.
std::vector<OtherStructure> OthersTouched(const PreviewCartridge& cartridge, const UsedRange& own,
                                          const Bytes& form) {
    const PreviewKnownData& known = cartridge.known;
    const Bytes& image = cartridge.image;
    std::vector<int64_t> changed;
    for (size_t k = 0; k < form.size(); ++k) {
        if (image[static_cast<size_t>(own.offset) + k] != form[k])
            changed.push_back(own.offset + static_cast<int64_t>(k));
    }
    std::vector<OtherStructure> others;
    for (const UsedRange& range : RangesHolding(known.ranges, changed)) {
        if (IsSameStoredScreen(range, own.offset, own.cellCount)) {
            continue;
        }
        AddOnce(others, Describe(known, range));
    }
    for (const PreviewScreenPlace& screen : cartridge.screens) {
        const UsedRange stored{UsedRangeKind::Screen, screen.stage,  screen.screen,
                               screen.offset,         screen.length, kScreenCells};
        if (screen.offset != own.offset && !RangesHolding({stored}, changed).empty())
            AddOnce(others, {UsedRangeKind::Screen, screen.stage, screen.screen});
    }
    return others;
}

}  // namespace

CommitResult CommitPreviewStage(PreviewCartridge& cartridge, const PreviewStage& read,
                                const Bytes& cells) {
    CommitResult result;
    Bytes& image = cartridge.image;
    const size_t screens = std::min(
        {cells.size() / kScreenCells, read.cells.size() / kScreenCells, read.pointers.size()});
    // The changed screens by stored bytes: screens on one pointer are written once.
    std::map<int64_t, std::vector<size_t>> changed;
    for (size_t i = 0; i < screens; ++i)
        if (!SameScreen(cells, read.cells, i, i))
            changed[read.pointers[i]].push_back(i);

    const auto refuseAll = [&](const std::vector<size_t>& group, RefusalReason reason,
                               const std::vector<OtherStructure>& others = {}) {
        for (size_t screen : group)
            result.refused.push_back({static_cast<int>(screen) + 1, reason, {}, others});
    };
    for (const auto& [pointer, group] : changed) {
        if (!cartridge.known.read) {
            refuseAll(group, RefusalReason::NothingKnown);
            continue;
        }
        if (std::any_of(group.begin(), group.end(), [&](size_t screen) {
                return !ScreenShown(read, static_cast<int>(screen) + 1);
            })) {
            refuseAll(group, RefusalReason::NotShown);
            continue;
        }
        const size_t first = group.front();
        if (std::any_of(group.begin() + 1, group.end(),
                        [&](size_t other) { return !SameScreen(cells, cells, first, other); })) {
            RefusedScreen refused{
                static_cast<int>(first) + 1, RefusalReason::SharersDiffer, {}, {}};
            for (auto other = group.begin() + 1; other != group.end(); ++other)
                refused.sharers.push_back(static_cast<int>(*other) + 1);
            result.refused.push_back(refused);
            continue;
        }
        const Bytes form = EncodePreviewScreen(cells.data() + first * kScreenCells, kScreenCells);
        if (form.empty()) {
            refuseAll(group, RefusalReason::NotStorable);
            continue;
        }
        const auto room = cartridge.rooms.byPointer.find(pointer);
        const int64_t offset = ScreenOffset(pointer);
        if (room == cartridge.rooms.byPointer.end() || form.size() > room->second || offset < 0 ||
            static_cast<size_t>(offset) + form.size() > image.size()) {
            refuseAll(group, RefusalReason::DoesNotFit);
            continue;
        }
        const UsedRange* own =
            OwnRange(cartridge.known, read.number, static_cast<int>(first) + 1, offset);
        if (own == nullptr) {
            refuseAll(group, RefusalReason::NothingKnown);
            continue;
        }
        const std::vector<OtherStructure> others = OthersTouched(cartridge, *own, form);
        if (!others.empty()) {
            refuseAll(group, RefusalReason::TouchesOther, others);
            continue;
        }
        std::copy(form.begin(), form.end(), image.begin() + offset);
        result.written += static_cast<int>(group.size());
    }
    std::sort(result.refused.begin(), result.refused.end(),
              [](const RefusedScreen& a, const RefusedScreen& b) { return a.screen < b.screen; });
    return result;
}

}  // namespace preview
