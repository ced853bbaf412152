#include "codec/LevelEncoder.h"

#include "codec/LevelDecoder.h"
#include "codec/RomLayout.h"
#include "codec/RunLength.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr uint8_t kLargestCell = 0x7F;

// One region of the image that the save may write: a level header, a screen's stored bytes or
// a boss room's raw screen.
struct Region {
    int place = 0;
    int screen = 0;  // 0 for a level header
    int64_t offset = 0;
    int64_t length = 0;  // bytes the region occupies in the image
    ByteArray bytes;     // what the save writes from offset on (at most length bytes)
    bool changed = false;
    bool write = true;
};

CodecResult Refuse(int place, int screen, const std::string& what) {
    return CodecResult::Failure(LevelPlaceText(place, screen) + ": " + what + ".", place, screen);
}

std::string RegionText(const Region& region) {
    return LevelPlaceText(region.place, region.screen) + (region.screen == 0 ? " header" : "");
}

void PutWord(ByteArray& bytes, int at, int32_t value) {
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

template <size_t N>
void PutBytes(ByteArray& bytes, int at, const std::array<uint8_t, N>& field) {
    std::copy(field.begin(), field.end(), bytes.begin() + at);
}

ByteArray LevelHeaderBytes(const LevelRecord& level) {
    ByteArray bytes(kLevelHeaderSize);
    bytes[kHeaderKind] = static_cast<uint8_t>(level.kind);
    bytes[kHeaderVertical] = static_cast<uint8_t>(level.vertical);
    PutWord(bytes, kHeaderScreenTable, level.screenTable);
    PutWord(bytes, kHeader4, level.header4);
    PutWord(bytes, kHeader6, level.header6);
    bytes[kHeader8] = static_cast<uint8_t>(level.header8);
    PutBytes(bytes, kHeader9, level.header9);
    PutBytes(bytes, kHeader12, level.header12);
    PutBytes(bytes, kHeader16, level.header16);
    PutBytes(bytes, kHeader20, level.header20);
    bytes[kHeaderBaseScreenCount] = static_cast<uint8_t>(level.baseScreenCount);
    bytes[kHeader25] = static_cast<uint8_t>(level.header25);
    PutBytes(bytes, kHeader26, level.header26);
    return bytes;
}

bool DiffersFromImage(const ByteArray& image, int64_t offset, const ByteArray& bytes) {
    return !std::equal(bytes.begin(), bytes.end(), image.begin() + offset);
}

bool SourceMatches(const LevelSource& source, const ByteArray& image, bool large,
                   const std::vector<int32_t>& table) {
    return source.decoded && source.imageSize == image.size() && source.large == large &&
           source.layoutTable == table && source.imageChecksum == ImageChecksum(image);
}

// The run-length form reads back only for cells of 0..127: a larger value would be taken for a
// run header where it stands, in the new form or before the bytes that follow it in the image.
bool ReadsBack(const ByteArray& encoded, const ByteArray& cells) {
    if (std::any_of(cells.begin(), cells.end(), [](uint8_t c) { return c > kLargestCell; })) {
        return false;
    }
    size_t consumed = 0;
    return RleDecode(encoded.data(), encoded.size(), cells.size(), true, &consumed) == cells &&
           consumed == encoded.size();
}

class SavePlan {
public:
    SavePlan(const ByteArray& image, bool large, const std::vector<int32_t>& table)
        : m_image(image), m_bank(LevelBank(large)), m_table(table) {}

    CodecResult AddLevel(const LevelRecord& level, int place) {
        Region header{
            place, 0,
            FileOffset(m_table[0] + int64_t{level.number - 1} * kLevelHeaderSize, m_bank, false),
            kLevelHeaderSize, LevelHeaderBytes(level)};
        if (!ImageHolds(m_image, header.offset, header.length)) {
            return Refuse(place, 0, "the level header lies outside the image");
        }
        header.changed = DiffersFromImage(m_image, header.offset, header.bytes);
        m_regions.push_back(std::move(header));

        const size_t cellCount = static_cast<size_t>(LevelCellCount(level));
        for (const ScreenRecord& screen : level.screens) {
            CodecResult result = AddScreen(screen, cellCount, place);
            if (!result) {
                return result;
            }
        }
        return CodecResult::Success();
    }

    CodecResult AddBossRoom(const LevelRecord& boss, int place) {
        if (boss.screens.empty()) {
            return Refuse(place, 0, "the boss room has no screen");
        }
        const ScreenRecord& screen = boss.screens.front();
        Region region{place, screen.number, FileOffset(boss.screenTable, m_bank, true),
                      static_cast<int64_t>(screen.cells.size()), screen.cells};
        if (!ImageHolds(m_image, region.offset, region.length)) {
            return Refuse(place, screen.number, "the boss room's screen lies outside the image");
        }
        region.changed = DiffersFromImage(m_image, region.offset, region.bytes);
        m_regions.push_back(std::move(region));
        return CodecResult::Success();
    }

    // Regions that share bytes cannot be written one after the other without one overwriting
    // the other: when one of them is edited the save is refused, otherwise all keep their
    // stored bytes.
    CodecResult SettleSharedBytes() {
        std::vector<size_t> order(m_regions.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
            return m_regions[a].offset < m_regions[b].offset;
        });
        size_t groupStart = 0;
        int64_t groupEnd = -1;
        for (size_t i = 0; i <= order.size(); ++i) {
            if (i == order.size() || m_regions[order[i]].offset >= groupEnd) {
                CodecResult result = SettleGroup(order, groupStart, i);
                if (!result) {
                    return result;
                }
                groupStart = i;
                groupEnd = -1;
            }
            if (i < order.size()) {
                const Region& region = m_regions[order[i]];
                groupEnd = std::max(groupEnd, region.offset + region.length);
            }
        }
        return CodecResult::Success();
    }

    // The write most likely to blame when the written image reads back wrong: the first edited
    // region whose write changes the image, else the first unedited one (a screen rewritten in
    // the editor's form).
    const Region* BlameForReadBack() const {
        const Region* unedited = nullptr;
        for (const Region& region : m_regions) {
            if (!region.write || !DiffersFromImage(m_image, region.offset, region.bytes)) {
                continue;
            }
            if (region.changed) {
                return &region;
            }
            if (unedited == nullptr) {
                unedited = &region;
            }
        }
        return unedited;
    }

    ByteArray Apply() const {
        ByteArray output = m_image;
        for (const Region& region : m_regions) {
            if (region.write) {
                std::copy(region.bytes.begin(), region.bytes.end(), output.begin() + region.offset);
            }
        }
        return output;
    }

private:
    CodecResult AddScreen(const ScreenRecord& screen, size_t cellCount, int place) {
        if (screen.cells.size() != cellCount) {
            return Refuse(place, screen.number,
                          "the screen does not hold " + std::to_string(cellCount) + " cells");
        }
        StoredScreen stored;
        if (!ReadStoredScreen(m_image, screen.storedOffset, cellCount, stored) ||
            stored.length != screen.storedLength) {
            return Refuse(place, screen.number, "the screen was not read from this image");
        }
        Region region{place, screen.number, screen.storedOffset, screen.storedLength,
                      RleEncode(screen.cells)};
        region.changed = screen.cells != stored.cells;
        const int64_t needed = static_cast<int64_t>(region.bytes.size());
        if (!ReadsBack(region.bytes, screen.cells)) {
            if (region.changed) {
                return Refuse(place, screen.number,
                              "the edited screen holds cell values that cannot be stored");
            }
            region.write = false;
        } else if (needed > region.length) {
            if (region.changed) {
                return Refuse(place, screen.number,
                              "the edited screen needs " + std::to_string(needed) +
                                  " bytes, but its stored data holds only " +
                                  std::to_string(region.length));
            }
            region.write = false;
        }
        m_regions.push_back(std::move(region));
        return CodecResult::Success();
    }

    CodecResult SettleGroup(const std::vector<size_t>& order, size_t begin, size_t end) {
        if (end - begin < 2) {
            return CodecResult::Success();
        }
        // Name the first edited region in level-list order, and one region it shares with.
        size_t changed = m_regions.size();
        for (size_t i = begin; i < end; ++i) {
            if (m_regions[order[i]].changed) {
                changed = std::min(changed, order[i]);
            }
        }
        if (changed < m_regions.size()) {
            const Region& edited = m_regions[changed];
            const Region* other = nullptr;
            for (size_t i = begin; i < end && other == nullptr; ++i) {
                const Region& candidate = m_regions[order[i]];
                if (order[i] != changed && candidate.offset < edited.offset + edited.length &&
                    edited.offset < candidate.offset + candidate.length) {
                    other = &candidate;
                }
            }
            const std::string with = other != nullptr ? RegionText(*other) : "another region";
            return Refuse(edited.place, edited.screen,
                          "the edited data shares its stored bytes with " + with);
        }
        for (size_t i = begin; i < end; ++i) {
            m_regions[order[i]].write = false;
        }
        return CodecResult::Success();
    }

    const ByteArray& m_image;
    int32_t m_bank;
    const std::vector<int32_t>& m_table;
    std::vector<Region> m_regions;
};

struct Mismatch {
    int place = 0;  // 0: everything reads back; kUnreadable: the image does not decode at all
    int screen = 0;
};
constexpr int kUnreadable = -1;

// The first level (and screen) of the saved list that the written image reads back differently;
// place 0 when everything reads back.
Mismatch FindReadBackMismatch(const ByteArray& written, const LevelList& levels, bool large,
                              const std::vector<int32_t>& table, LevelList& check) {
    if (!DecodeLevels(written, large, table, levels.source.objectTableAddress, check)) {
        return Mismatch{kUnreadable, 0};
    }
    for (size_t i = 0; i < levels.records.size(); ++i) {
        const int place = static_cast<int>(i) + 1;
        if (i >= check.records.size()) {
            return Mismatch{place, 0};
        }
        const LevelRecord& saved = levels.records[i];
        const LevelRecord& read = check.records[i];
        if (!SameHeader(saved, read) || saved.objectLists != read.objectLists ||
            saved.screens.size() != read.screens.size()) {
            return Mismatch{place, 0};
        }
        for (size_t j = 0; j < saved.screens.size(); ++j) {
            if (!(saved.screens[j] == read.screens[j])) {
                return Mismatch{place, saved.screens[j].number};
            }
        }
    }
    if (check.records.size() != levels.records.size()) {
        return Mismatch{static_cast<int>(levels.records.size()) + 1, 0};
    }
    return Mismatch{};
}

}  // namespace

CodecResult EncodeRom(const ByteArray& image, LevelList& levels, bool large,
                      const std::vector<int32_t>& table, ByteArray& output) {
    const std::vector<int32_t> layout =
        table.size() == kRomLayoutTableSize
            ? table
            : std::vector<int32_t>{kLevelHeaderTableAddress, kBossListFilePos};
    if (!SourceMatches(levels.source, image, large, layout)) {
        return CodecResult::Failure(
            "The levels were not read from this cartridge image; open the image again.");
    }
    SavePlan plan(image, large, layout);
    for (size_t i = 0; i < levels.records.size(); ++i) {
        const int place = static_cast<int>(i) + 1;
        // The records after the eighth are the boss rooms; a level whose header kind happens to
        // be 255 is still a level with run-length screens.
        CodecResult result = place > kLevelCount ? plan.AddBossRoom(levels.records[i], place)
                                                 : plan.AddLevel(levels.records[i], place);
        if (!result) {
            return result;
        }
    }
    CodecResult result = plan.SettleSharedBytes();
    if (!result) {
        return result;
    }
    ByteArray written = plan.Apply();
    // The last guard: a write may reach bytes that something other than its own region reads
    // (a pointer table, an object list, the boss-room list) in an image that lies about where
    // its screens are.
    LevelList readBack;
    const Mismatch mismatch = FindReadBackMismatch(written, levels, large, layout, readBack);
    if (mismatch.place != 0) {
        const Region* cause = plan.BlameForReadBack();
        const bool unreadable = mismatch.place == kUnreadable;
        if (cause == nullptr) {
            return CodecResult::Failure("The saved image would not read back as the same levels.",
                                        unreadable ? 0 : mismatch.place, mismatch.screen);
        }
        return Refuse(cause->place, cause->screen,
                      unreadable ? std::string("writing it would change data that the image's "
                                               "levels are read from")
                                 : "writing it would change data that " +
                                       LevelPlaceText(mismatch.place, mismatch.screen) + " reads");
    }
    output = std::move(written);
    // Same content, now bound to the new image and where its screens lie there.
    levels = std::move(readBack);
    return CodecResult::Success();
}
