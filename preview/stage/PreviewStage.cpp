#include "stage/PreviewStage.h"

#include <algorithm>
#include <utility>

#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"
#include "cartridge/UsedRangeQuery.h"

namespace preview {
namespace {

// The stage table holds 32-byte records; these are the places the preview reads in them, as
// distances from the stage-table value (1-based positions, as the preview computes them).
constexpr int kStageStride = 32;
constexpr int kBaseCountFromTable = 16;
constexpr int kScreenTableFromTable = -6;
constexpr int kObjectTableFromTable = 497 + 1;
constexpr int64_t kBankedToPosition = 17;
constexpr int64_t kUnbankedToOffset = 16;
constexpr int kIndoorStageA = 2;
constexpr int kIndoorStageB = 4;
constexpr int kIndoorScreensPerCount = 4;
constexpr uint8_t kListEnd = 0xFF;
constexpr int kEndType = 63;
constexpr uint8_t kRunHeader = 0x80;
constexpr uint8_t kLastRunHeader = 0x80 + 0x38;  // 0xB8: a run of 56, one whole screen

// Every read of the untrusted image goes through these: a position outside the image reads
// nothing and makes the caller give up, never reads beyond the array.
bool ByteAt(const Bytes& image, int64_t position, uint8_t& out) {
    if (position < 1 || position > static_cast<int64_t>(image.size()))
        return false;
    out = image[static_cast<size_t>(position - 1)];
    return true;
}

bool WordAt(const Bytes& image, int64_t position, int64_t& out) {
    uint8_t low = 0;
    uint8_t high = 0;
    if (!ByteAt(image, position, low) || !ByteAt(image, position + 1, high))
        return false;
    out = low | (high << 8);
    return true;
}

bool InBankWindow(int64_t pointer, int64_t length) {
    return pointer >= kBankWindowFirst && length >= 1 && pointer + length - 1 <= kBankWindowLast;
}

bool IsRunHeader(uint8_t v) {
    return v > kRunHeader && v <= kLastRunHeader;
}

}  // namespace

int PreviewPickTableOffset(const Bytes& image) {
    return image.size() == kSmallImageSize ? kStageTableSmall : kStageTableDefault;
}

bool PreviewDecodeScreen(const Bytes& image, int64_t pointer, Bytes& cells, size_t* storedLength) {
    const int64_t data = pointer + kBankedToPosition;
    Bytes screen;
    screen.reserve(kScreenCells);
    int64_t k = 0;
    while (static_cast<int>(screen.size()) < kScreenCells) {
        uint8_t v = 0;
        if (!ByteAt(image, data + k, v))
            return false;
        if (IsRunHeader(v)) {
            uint8_t w = 0;
            if (!ByteAt(image, data + k + 1, w))
                return false;
            if (w > 127)
                w = 0;
            // A run that would pass the last cell is cut, so that every screen keeps its 56
            // cells and the following screens stay where they belong in the grid.
            const int room = kScreenCells - static_cast<int>(screen.size());
            const int count = v - kRunHeader;
            screen.insert(screen.end(), static_cast<size_t>(count < room ? count : room), w);
            k += 2;
        } else {
            screen.push_back(v);
            k += 1;
        }
    }
    cells.insert(cells.end(), screen.begin(), screen.end());
    if (storedLength)
        *storedLength = static_cast<size_t>(k);
    return true;
}

bool PreviewReadObjects(const Bytes& image, int64_t list, int number,
                        std::vector<int32_t>& objects) {
    for (int r = 0; r < kListMaxObjects; ++r) {
        const int64_t record = list + r * 3;
        uint8_t first = 0;
        if (!ByteAt(image, record + 1, first))
            return false;
        if (first == kListEnd)
            return true;
        // The packed value takes the byte before the record as its low byte; the number of the
        // list replaces it.
        uint32_t value = 0;
        for (int b = 0; b < 4; ++b) {
            uint8_t byte = 0;
            if (!ByteAt(image, record + b, byte))
                return false;
            value |= static_cast<uint32_t>(byte) << (8 * b);
        }
        if (((value >> 16) & 63) == kEndType)
            return true;
        objects.push_back(static_cast<int32_t>((value & 0xFFFFFF00u) | (number & 0xFF)));
    }
    return true;
}

bool ScreenShown(const PreviewStage& stage, int screen) {
    return screen >= 1 && static_cast<size_t>(screen) <= stage.problems.size() &&
           stage.problems[static_cast<size_t>(screen - 1)] == ScreenProblem::None;
}

int64_t ScreenOffset(int64_t pointer) {
    return pointer + kBankedToPosition - 1;
}

PreviewStage ReadPreviewStage(const Bytes& image, int tableValue, int stage) {
    PreviewStage out;
    if (stage < 1 || stage > kStageCount)
        return out;
    const int64_t record = static_cast<int64_t>(tableValue) + (stage - 1) * kStageStride;
    uint8_t base = 0;
    int64_t screenTable = 0;
    int64_t objectTable = 0;
    if (!ByteAt(image, record + kBaseCountFromTable, base) ||
        !WordAt(image, record + kScreenTableFromTable, screenTable) ||
        !WordAt(image, tableValue + kObjectTableFromTable + (stage - 1) * 2, objectTable))
        return out;
    const bool indoor = stage == kIndoorStageA || stage == kIndoorStageB;
    const int lists = indoor ? base * kIndoorScreensPerCount + 1 : base + 1;
    screenTable += kBankedToPosition;
    objectTable += kUnbankedToOffset;

    PreviewStage read;
    read.number = stage;
    read.screenTable = screenTable;
    read.screenCount = lists + 1;
    for (int i = 1; i <= lists + 1; ++i) {
        int64_t pointer = 0;
        if (!WordAt(image, screenTable + (i - 1) * 2, pointer))
            return out;
        ScreenProblem problem = ScreenProblem::None;
        size_t length = 0;
        if (!InBankWindow(pointer, 1)) {
            problem = ScreenProblem::OutsideWindow;
        } else {
            Bytes screen;
            if (!PreviewDecodeScreen(image, pointer, screen, &length))
                return out;
            if (InBankWindow(pointer, static_cast<int64_t>(length)))
                read.cells.insert(read.cells.end(), screen.begin(), screen.end());
            else
                problem = ScreenProblem::PastWindowEnd;
        }
        if (problem != ScreenProblem::None)
            read.cells.insert(read.cells.end(), kScreenCells, kNoPictureCell);
        read.pointers.push_back(pointer);
        read.problems.push_back(problem);
        if (i > lists)
            break;
        int64_t list = 0;
        if (!WordAt(image, objectTable + (i - 1) * 2 + 1, list) ||
            !PreviewReadObjects(image, list + kUnbankedToOffset, i + 1, read.objects))
            return out;
    }
    read.ok = true;
    return read;
}

Bytes EncodePreviewScreen(const uint8_t* cells, size_t count) {
    Bytes out;
    size_t i = 0;
    while (i < count) {
        const uint8_t v = cells[i];
        if (IsRunHeader(v))
            return {};
        size_t run = 1;
        // A run's value byte reads back only below 0x80; higher cells stay literals.
        if (v < kRunHeader)
            while (i + run < count && cells[i + run] == v && run < kLastRunHeader - kRunHeader)
                ++run;
        if (run == 1) {
            out.push_back(v);
        } else {
            out.push_back(static_cast<uint8_t>(kRunHeader + run));
            out.push_back(v);
        }
        i += run;
    }
    return out;
}

int64_t PreviewRooms::Of(int64_t offset, int32_t cellCount) const {
    const auto found = byScreen.find({offset, cellCount});
    return found == byScreen.end() ? 0 : found->second;
}

namespace {

PreviewKnownData LearnStructures(const Bytes& image) {
    PreviewKnownData known;
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    LevelList levels;
    known.refusal = DecodeLevels(image, false, table, objectTable, levels);
    if (!known.refusal) {
        return known;
    }
    known.read = true;
    known.ranges = std::move(levels.usedRanges);
    for (const LevelRecord& level : levels.records)
        known.levelNumbers.push_back(level.number);
    return known;
}

// The editor's room of every run-length screen it read, spare screens included.
PreviewRooms MeasureRooms(const Bytes& image, const std::vector<UsedRange>& ranges) {
    PreviewRooms rooms;
    for (const UsedRange& range : ranges) {
        if (IsRunLengthScreen(range) && range.length > 0) {
            rooms.byScreen.emplace(
                std::make_pair(range.offset, range.cellCount),
                ScreenRoom(image, ranges, range.offset, range.length, range.cellCount));
        }
    }
    return rooms;
}

}  // namespace

PreviewCartridge LoadPreviewCartridge(Bytes image) {
    PreviewCartridge cartridge;
    cartridge.image = std::move(image);
    cartridge.tableValue = PreviewPickTableOffset(cartridge.image);
    for (int n = 1; n <= kStageCount; ++n) {
        const PreviewStage stage = ReadPreviewStage(cartridge.image, cartridge.tableValue, n);
        if (!stage.ok) {
            cartridge.screens.clear();
            cartridge.hidden.clear();
            return cartridge;
        }
        for (size_t i = 0; i < stage.pointers.size(); ++i) {
            const int64_t pointer = stage.pointers[i];
            if (stage.problems[i] != ScreenProblem::None) {
                cartridge.hidden.push_back(
                    {n, static_cast<int>(i) + 1, pointer, stage.problems[i]});
                continue;
            }
            Bytes unused;
            size_t length = 0;
            if (PreviewDecodeScreen(cartridge.image, pointer, unused, &length)) {
                cartridge.screens.push_back({n, static_cast<int>(i) + 1, ScreenOffset(pointer),
                                             static_cast<int64_t>(length)});
            }
        }
    }
    cartridge.valid = true;
    // The large layout's level data is not where the preview reads: nothing it shows is known.
    cartridge.large = IsLargeRomImage(cartridge.image.size());
    if (cartridge.large)
        return cartridge;
    cartridge.known = LearnStructures(cartridge.image);
    cartridge.rooms = MeasureRooms(cartridge.image, cartridge.known.ranges);
    return cartridge;
}

}  // namespace preview
