#include "cartridge/LevelEncoder.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/ReadBack.h"
#include "cartridge/RomLayout.h"
#include "cartridge/RunLength.h"
#include "cartridge/ScreenRoom.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr uint8_t kLargestCell = 0x7F;

// One write of the save: a level header, the new form of an edited stored screen (written once
// for all the screens that share it) or a boss room's raw screen.
struct Region {
    int place = 0;
    int screen = 0;  // 0 for a level header
    int64_t offset = 0;
    ByteArray bytes;
    // The ranges of the map this write replaces: it may cover their bytes and no others.
    std::vector<size_t> owned;
};

CodecResult Refuse(int place, int screen, const std::string& what, CodecProblem problem) {
    return CodecResult::Failure(LevelPlaceText(place, screen) + ": " + what + ".", place, screen,
                                problem);
}

std::string RangeText(const UsedRange& range) {
    switch (range.kind) {
        case UsedRangeKind::LevelHeaders:
            return "the level headers";
        case UsedRangeKind::ScreenTable:
            return "the screen table of " + LevelPlaceText(range.place);
        case UsedRangeKind::Screen:
        case UsedRangeKind::BossScreen:
            return LevelPlaceText(range.place, range.index);
        case UsedRangeKind::SpareScreen:
            return LevelPlaceText(range.place) + ", spare screen " + std::to_string(range.index);
        case UsedRangeKind::BossList:
            return "the boss-room list";
        case UsedRangeKind::ObjectPointerTable:
            return "the object-list pointer table";
        case UsedRangeKind::ObjectTable:
            return "the object table of " + LevelPlaceText(range.place);
        case UsedRangeKind::ObjectList:
            return "object list " + std::to_string(range.index) + " of " +
                   LevelPlaceText(range.place);
    }
    return "other data";
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

bool Storable(const ByteArray& cells) {
    return std::none_of(cells.begin(), cells.end(), [](uint8_t c) { return c > kLargestCell; });
}

std::string OverrunText(const ScreenOverrun& overrun) {
    return LevelPlaceText(overrun.level, overrun.screen) + ": the edited screen needs " +
           std::to_string(overrun.needed) + " bytes, but it has room for " +
           std::to_string(overrun.room) + ".";
}

// Plans the writes of a save against a fresh decode of the image: only what changed since that
// decode is written, each stored screen once, and nothing over data that something else reads.
class SavePlan {
public:
    SavePlan(const ByteArray& image, const LevelList& fresh, const std::vector<int32_t>& table)
        : m_image(image), m_fresh(fresh), m_table(table) {}

    // The levels must be the fresh decode's records with other cells or header values at most.
    CodecResult CheckShape(const LevelList& levels) const {
        if (levels.records.size() != m_fresh.records.size()) {
            return CodecResult::Failure("The levels do not match the cartridge image.");
        }
        for (size_t i = 0; i < levels.records.size(); ++i) {
            const int place = static_cast<int>(i) + 1;
            const auto& screens = levels.records[i].screens;
            const auto& stored = m_fresh.records[i].screens;
            if (screens.size() != stored.size()) {
                return Refuse(place, 0, "the level does not hold the image's screens",
                              CodecProblem::Other);
            }
            for (size_t j = 0; j < screens.size(); ++j) {
                if (screens[j].cells.size() != stored[j].cells.size()) {
                    return Refuse(place, screens[j].number,
                                  "the screen does not hold " +
                                      std::to_string(stored[j].cells.size()) + " cells",
                                  CodecProblem::Other);
                }
                if (screens[j].storedOffset != stored[j].storedOffset) {
                    return Refuse(place, screens[j].number,
                                  "the screen was not read from this image", CodecProblem::Other);
                }
            }
        }
        return CodecResult::Success();
    }

    void AddHeaders(const LevelList& levels) {
        const size_t count = std::min<size_t>(levels.records.size(), kLevelCount);
        for (size_t i = 0; i < count; ++i) {
            const LevelRecord& level = levels.records[i];
            Region header{
                static_cast<int>(i) + 1, 0,
                FileOffset(m_table[0] + int64_t{level.number - 1} * kLevelHeaderSize, 0, false),
                LevelHeaderBytes(level), OwnedBy(UsedRangeKind::LevelHeaders, 0, 0)};
            if (DiffersFromImage(m_image, header.offset, header.bytes)) {
                m_regions.push_back(std::move(header));
            }
        }
    }

    // Each stored screen once, with all the screens that share it, in the list order of the
    // first of them.
    CodecResult AddScreens(const LevelList& levels) {
        std::vector<std::vector<ScreenPlace>> groups;
        std::map<std::pair<int64_t, size_t>, size_t> groupOf;  // (offset, cells) -> group
        const size_t count = std::min<size_t>(levels.records.size(), kLevelCount);
        for (size_t i = 0; i < count; ++i) {
            const auto& screens = levels.records[i].screens;
            for (size_t j = 0; j < screens.size(); ++j) {
                const auto key = std::make_pair(screens[j].storedOffset, screens[j].cells.size());
                const auto found = groupOf.emplace(key, groups.size());
                if (found.second) {
                    groups.emplace_back();
                }
                groups[found.first->second].push_back(
                    ScreenPlace{static_cast<int>(i) + 1, static_cast<int>(j) + 1});
            }
        }
        for (const std::vector<ScreenPlace>& aliases : groups) {
            CodecResult result = AddStoredScreen(levels, aliases);
            if (!result) {
                return result;
            }
        }
        if (!m_overruns.empty()) {
            std::string message;
            for (const ScreenOverrun& overrun : m_overruns) {
                message += (message.empty() ? "" : "\n") + OverrunText(overrun);
            }
            CodecResult result =
                CodecResult::Failure(message, m_overruns.front().level, m_overruns.front().screen,
                                     CodecProblem::ScreenTooLong);
            result.overruns = m_overruns;
            return result;
        }
        return CodecResult::Success();
    }

    void AddBossRooms(const LevelList& levels) {
        for (size_t i = kLevelCount; i < levels.records.size(); ++i) {
            const int place = static_cast<int>(i) + 1;
            const ScreenRecord& screen = levels.records[i].screens.front();
            if (screen.cells != m_fresh.records[i].screens.front().cells) {
                m_regions.push_back(Region{place, screen.number, screen.storedOffset, screen.cells,
                                           OwnedBy(UsedRangeKind::BossScreen, place, place)});
            }
        }
    }

    // A write may cover only the ranges it replaces; any other data in its way refuses the save.
    CodecResult CheckOverlaps() const {
        const auto& map = m_fresh.usedRanges;
        for (const Region& region : m_regions) {
            const int64_t end = region.offset + static_cast<int64_t>(region.bytes.size());
            for (size_t r = 0; r < map.size(); ++r) {
                const UsedRange& range = map[r];
                // A range known only by its start still must not be written over.
                const int64_t rangeEnd = range.offset + std::max<int64_t>(range.length, 1);
                const bool owned =
                    std::find(region.owned.begin(), region.owned.end(), r) != region.owned.end();
                if (!owned && range.offset < end && region.offset < rangeEnd) {
                    return Refuse(
                        region.place, region.screen,
                        "the edited data shares its stored bytes with " + RangeText(range),
                        CodecProblem::SharedBytes);
                }
            }
        }
        return CodecResult::Success();
    }

    // The write most likely to blame when the written image reads back wrong.
    const Region* FirstWrite() const { return m_regions.empty() ? nullptr : &m_regions.front(); }

    ByteArray Apply() const {
        ByteArray output = m_image;
        for (const Region& region : m_regions) {
            std::copy(region.bytes.begin(), region.bytes.end(), output.begin() + region.offset);
        }
        return output;
    }

private:
    static const ScreenRecord& At(const LevelList& levels, const ScreenPlace& p) {
        return levels.records[static_cast<size_t>(p.place) - 1]
            .screens[static_cast<size_t>(p.screen) - 1];
    }

    CodecResult AddStoredScreen(const LevelList& levels, const std::vector<ScreenPlace>& aliases) {
        const ScreenPlace first = aliases.front();
        const ScreenRecord& stored = At(m_fresh, first);
        const ScreenPlace* edited = nullptr;
        for (const ScreenPlace& p : aliases) {
            if (At(levels, p).cells != stored.cells) {
                edited = &p;
                break;
            }
        }
        // Unchanged cells keep their stored bytes exactly, in whatever form the image has them.
        if (edited == nullptr) {
            return CodecResult::Success();
        }
        const ByteArray& cells = At(levels, *edited).cells;
        for (const ScreenPlace& p : aliases) {
            if (At(levels, p).cells != cells) {
                return Refuse(edited->place, edited->screen,
                              "it shares its stored bytes with " +
                                  LevelPlaceText(p.place, p.screen) + ", which holds other cells",
                              CodecProblem::AliasesDiffer);
            }
        }
        if (!Storable(cells)) {
            return Refuse(edited->place, edited->screen,
                          "the edited screen holds cell values that cannot be stored",
                          CodecProblem::CellsNotStorable);
        }
        ByteArray bytes = RleEncode(cells);
        const int64_t needed = static_cast<int64_t>(bytes.size());
        if (needed > stored.storedRoom) {
            m_overruns.push_back(
                ScreenOverrun{edited->place, edited->screen, needed, stored.storedRoom});
            return CodecResult::Success();
        }
        std::vector<size_t> owned;
        const auto& map = m_fresh.usedRanges;
        for (size_t r = 0; r < map.size(); ++r) {
            if (IsSameStoredScreen(map[r], stored.storedOffset,
                                   static_cast<int32_t>(cells.size()))) {
                owned.push_back(r);
            }
        }
        // The bytes a shorter form no longer needs are erased, so that the next open finds them
        // free and the screen keeps its room; bytes that other data also holds stay as they are.
        const int64_t freedEnd = UnclaimedEnd(stored.storedOffset + needed,
                                              stored.storedOffset + stored.storedLength, owned);
        bytes.resize(static_cast<size_t>(std::max(freedEnd - stored.storedOffset, needed)),
                     kErasedByte);
        m_regions.push_back(Region{edited->place, edited->screen, stored.storedOffset,
                                   std::move(bytes), std::move(owned)});
        return CodecResult::Success();
    }

    // The first byte from `from` on that a range of the map other than the owned ones holds,
    // or `to` when there is none before it.
    int64_t UnclaimedEnd(int64_t from, int64_t to, const std::vector<size_t>& owned) const {
        const auto& map = m_fresh.usedRanges;
        int64_t end = to;
        for (size_t r = 0; r < map.size(); ++r) {
            const int64_t rangeEnd = map[r].offset + std::max<int64_t>(map[r].length, 1);
            const bool isOwned = std::find(owned.begin(), owned.end(), r) != owned.end();
            if (!isOwned && rangeEnd > from) {
                end = std::min(end, std::max(map[r].offset, from));
            }
        }
        return end;
    }

    std::vector<size_t> OwnedBy(UsedRangeKind kind, int place, int index) const {
        std::vector<size_t> owned;
        const auto& map = m_fresh.usedRanges;
        for (size_t r = 0; r < map.size(); ++r) {
            if (map[r].kind == kind && map[r].place == place && map[r].index == index) {
                owned.push_back(r);
            }
        }
        return owned;
    }

    const ByteArray& m_image;
    const LevelList& m_fresh;
    const std::vector<int32_t>& m_table;
    std::vector<Region> m_regions;
    std::vector<ScreenOverrun> m_overruns;
};

}  // namespace

CodecResult EncodeRom(const ByteArray& image, LevelList& levels, bool large,
                      const std::vector<int32_t>& table, ByteArray& output) {
    const std::vector<int32_t> layout =
        table.size() == kRomLayoutTableSize
            ? table
            : std::vector<int32_t>{kLevelHeaderTableAddress, kBossListFilePos};
    LevelList fresh;
    if (!SourceMatches(levels.source, image, large, layout) ||
        !DecodeLevels(image, large, layout, levels.source.objectTableAddress, fresh)) {
        return CodecResult::Failure(
            "The levels were not read from this cartridge image; open the image again.");
    }
    SavePlan plan(image, fresh, layout);
    CodecResult result = plan.CheckShape(levels);
    if (!result) {
        return result;
    }
    plan.AddHeaders(levels);
    result = plan.AddScreens(levels);
    if (!result) {
        return result;
    }
    plan.AddBossRooms(levels);
    result = plan.CheckOverlaps();
    if (!result) {
        return result;
    }
    ByteArray written = plan.Apply();
    // The last guard: a write may reach bytes that the map does not know of but something reads
    // in an image that lies about where its data is.
    LevelList readBack;
    const ReadBackMismatch mismatch =
        FindReadBackMismatch(written, levels, large, layout, readBack);
    if (mismatch.place != 0) {
        const Region* cause = plan.FirstWrite();
        const bool unreadable = mismatch.place == kReadBackUnreadable;
        if (cause == nullptr) {
            return CodecResult::Failure("The saved image would not read back as the same levels.",
                                        unreadable ? 0 : mismatch.place, mismatch.screen,
                                        CodecProblem::ReadBack);
        }
        return Refuse(cause->place, cause->screen,
                      unreadable ? std::string("writing it would change data that the image's "
                                               "levels are read from")
                                 : "writing it would change data that " +
                                       LevelPlaceText(mismatch.place, mismatch.screen) + " reads",
                      CodecProblem::ReadBack);
    }
    output = std::move(written);
    // Same content, now bound to the new image, with each screen's place and room measured
    // there again.
    levels = std::move(readBack);
    return CodecResult::Success();
}
