#include "cartridge/ScreenRoom.h"

#include "cartridge/RomLayout.h"
#include "cartridge/RunLength.h"
#include "cartridge/UsedRangeQuery.h"

#include <algorithm>

int64_t BankEndOffset(int64_t offset) {
    const int64_t bank = offset < kInesHeaderSize ? 0 : (offset - kInesHeaderSize) / kBankSize;
    return kInesHeaderSize + (bank + 1) * kBankSize;
}

bool IsFreeByte(uint8_t byte) {
    return byte == kErasedByte || byte == kZeroedByte;
}

bool IsSameStoredScreen(const UsedRange& range, int64_t offset, int32_t cellCount) {
    return IsRunLengthScreen(range) && range.offset == offset && range.cellCount == cellCount;
}

int64_t ScreenRoom(const ByteArray& image, const std::vector<UsedRange>& map, int64_t offset,
                   int64_t consumed, int32_t cellCount) {
    const int64_t storedEnd = offset + consumed;
    int64_t limit = std::min(BankEndOffset(offset), static_cast<int64_t>(image.size()));
    for (const UsedRange& range : map) {
        // A range known only by where it starts still holds that byte. Ranges that end within
        // the stored bytes hold nothing the room could take.
        const int64_t rangeEnd = range.offset + std::max<int64_t>(range.length, 1);
        if (rangeEnd > storedEnd && !IsSameStoredScreen(range, offset, cellCount)) {
            limit = std::min(limit, std::max(range.offset, storedEnd));
        }
    }
    int64_t end = storedEnd;
    while (end < limit && IsFreeByte(image[static_cast<size_t>(end)])) {
        ++end;
    }
    return end - offset;
}

bool operator==(const ScreenPlace& a, const ScreenPlace& b) {
    return a.place == b.place && a.screen == b.screen;
}

bool IsRunLengthPlace(int place) {
    return place >= 1 && place <= kLevelCount;
}

namespace {

const ScreenRecord* FindScreen(const LevelList& levels, int place, int screen) {
    if (!IsRunLengthPlace(place) || static_cast<size_t>(place) > levels.records.size()) {
        return nullptr;
    }
    const auto& screens = levels.records[static_cast<size_t>(place) - 1].screens;
    if (screen < 1 || static_cast<size_t>(screen) > screens.size()) {
        return nullptr;
    }
    return &screens[static_cast<size_t>(screen) - 1];
}

}  // namespace

std::vector<ScreenPlace> ScreenAliases(const LevelList& levels, int place, int screen) {
    const ScreenRecord* found = FindScreen(levels, place, screen);
    if (found == nullptr) {
        return {};
    }
    std::vector<ScreenPlace> aliases{{place, screen}};
    const size_t places = std::min<size_t>(levels.records.size(), kLevelCount);
    for (size_t p = 0; p < places; ++p) {
        const auto& screens = levels.records[p].screens;
        for (size_t s = 0; s < screens.size(); ++s) {
            const ScreenPlace other{static_cast<int>(p) + 1, static_cast<int>(s) + 1};
            if (!(other == aliases.front()) && screens[s].storedOffset == found->storedOffset &&
                screens[s].cells.size() == found->cells.size()) {
                aliases.push_back(other);
            }
        }
    }
    return aliases;
}

std::vector<ScreenPlace> PlaceCell(LevelList& levels, int place, int screen, size_t cell,
                                   uint8_t value) {
    const ScreenRecord* found = FindScreen(levels, place, screen);
    if (found == nullptr || cell >= found->cells.size()) {
        return {};
    }
    const std::vector<ScreenPlace> aliases = ScreenAliases(levels, place, screen);
    for (const ScreenPlace& alias : aliases) {
        levels.records[static_cast<size_t>(alias.place) - 1]
            .screens[static_cast<size_t>(alias.screen) - 1]
            .cells[cell] = value;
    }
    return aliases;
}

ScreenFit CheckScreenFit(const ScreenRecord& screen) {
    ScreenFit fit;
    fit.room = screen.storedRoom;
    if (screen.cells == screen.storedCells) {
        fit.needed = screen.storedLength;
        return fit;
    }
    fit.needed = static_cast<int64_t>(RleEncode(screen.cells).size());
    fit.fits = fit.needed <= fit.room;
    return fit;
}
