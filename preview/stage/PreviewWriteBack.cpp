#include "stage/PreviewWriteBack.h"

#include <algorithm>
#include <map>

#include "cartridge/LevelDecoder.h"
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

// True when another structure than the screen at own (and its exact twins) holds the byte: what
// the editor's decoder knows, and the other stored screens as the preview itself reads them.
bool HeldByOther(const PreviewCartridge& cartridge, const UsedRange& own, int64_t at) {
    for (const UsedRange& range : cartridge.known.ranges)
        if (RangeHolds(range, at) && !IsSameStoredScreen(range, own.offset, own.cellCount))
            return true;
    return std::any_of(cartridge.screens.begin(), cartridge.screens.end(), [&](const auto& s) {
        return s.offset != own.offset && at >= s.offset && at < s.offset + s.length;
    });
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

// A stored screen's new form, or why there is none: the painted cells, followed where the
// editor reads more cells than the preview shows by the cells stored there now.
struct NewForm {
    bool ok = false;
    RefusedScreen refusal;
    Bytes bytes;
    int64_t storedLength = 0;  // what the editor reads of the screen now
};

NewForm MakeForm(const PreviewCartridge& cartridge, int64_t pointer, const UsedRange& own,
                 const uint8_t* painted) {
    NewForm form;
    const auto refuse = [&](RefusalReason reason) {
        form.refusal.reason = reason;
        return form;
    };
    const Bytes& image = cartridge.image;
    StoredScreen stored;
    Bytes shown;
    if (own.length <= 0 || own.cellCount < kScreenCells ||
        !ReadStoredScreen(image, own.offset, static_cast<size_t>(own.cellCount), stored))
        return refuse(RefusalReason::NoRoomKnown);
    if (!PreviewDecodeScreen(image, pointer, shown) ||
        !std::equal(shown.begin(), shown.end(), stored.cells.begin()))
        return refuse(RefusalReason::ReadingsDiffer);
    Bytes cells(painted, painted + kScreenCells);
    cells.insert(cells.end(), stored.cells.begin() + kScreenCells, stored.cells.end());
    form.bytes = EncodePreviewScreen(cells.data(), cells.size());
    if (form.bytes.empty())
        return refuse(RefusalReason::NotStorable);
    const int64_t room = cartridge.rooms.Of(own.offset, own.cellCount);
    if (room <= 0)
        return refuse(RefusalReason::NoRoomKnown);
    const int64_t needed = static_cast<int64_t>(form.bytes.size());
    if (own.offset + needed > static_cast<int64_t>(image.size()))
        return refuse(RefusalReason::PastImageEnd);
    if (needed > room) {
        form.refusal.needed = needed;
        form.refusal.room = room;
        return refuse(RefusalReason::DoesNotFit);
    }
    // Both readings of the form, in place, must give the cells back: the editor's whole screen,
    // and the preview's 56 cells before any byte the preview reads differently.
    Bytes trial = image;
    std::copy(form.bytes.begin(), form.bytes.end(), trial.begin() + own.offset);
    StoredScreen editorReads;
    Bytes previewReads;
    if (!ReadStoredScreen(trial, own.offset, static_cast<size_t>(own.cellCount), editorReads) ||
        editorReads.cells != cells || editorReads.length != needed ||
        !PreviewDecodeScreen(trial, pointer, previewReads) ||
        !std::equal(previewReads.begin(), previewReads.end(), painted))
        return refuse(RefusalReason::NotStorable);
    form.storedLength = stored.length;
    form.ok = true;
    return form;
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

    const auto refuseAll = [&](const std::vector<size_t>& group, const RefusedScreen& refusal) {
        for (size_t screen : group) {
            result.refused.push_back(refusal);
            result.refused.back().screen = static_cast<int>(screen) + 1;
        }
    };
    const auto refuseAllFor = [&](const std::vector<size_t>& group, RefusalReason reason) {
        refuseAll(group, RefusedScreen{0, reason, {}, {}});
    };
    for (const auto& [pointer, group] : changed) {
        if (!cartridge.Writable()) {
            refuseAllFor(group, RefusalReason::NothingKnown);
            continue;
        }
        if (std::any_of(group.begin(), group.end(), [&](size_t screen) {
                return !ScreenShown(read, static_cast<int>(screen) + 1);
            })) {
            refuseAllFor(group, RefusalReason::NotShown);
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
        const int64_t offset = ScreenOffset(pointer);
        const UsedRange* own =
            OwnRange(cartridge.known, read.number, static_cast<int>(first) + 1, offset);
        if (own == nullptr) {
            refuseAllFor(group, RefusalReason::NoRoomKnown);
            continue;
        }
        const NewForm form =
            MakeForm(cartridge, pointer, *own, cells.data() + first * kScreenCells);
        if (!form.ok) {
            refuseAll(group, form.refusal);
            continue;
        }
        RefusedScreen touching{0, RefusalReason::TouchesOther, {}, {}};
        touching.others = OthersTouched(cartridge, *own, form.bytes);
        if (!touching.others.empty()) {
            refuseAll(group, touching);
            continue;
        }
        // The bytes the old form took and the new one leaves are erased first, except where
        // something else holds them, so that the room stays free to the editor's measure.
        const int64_t newEnd = offset + static_cast<int64_t>(form.bytes.size());
        for (int64_t at = newEnd; at < offset + form.storedLength; ++at)
            if (!HeldByOther(cartridge, *own, at))
                image[static_cast<size_t>(at)] = kErasedByte;
        std::copy(form.bytes.begin(), form.bytes.end(), image.begin() + offset);
        result.written += static_cast<int>(group.size());
    }
    std::sort(result.refused.begin(), result.refused.end(),
              [](const RefusedScreen& a, const RefusedScreen& b) { return a.screen < b.screen; });
    return result;
}

}  // namespace preview
