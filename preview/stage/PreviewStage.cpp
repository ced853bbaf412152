#include "stage/PreviewStage.h"

#include <algorithm>
#include <utility>

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
    read.screenTable = screenTable;
    read.screenCount = lists + 1;
    for (int i = 1; i <= lists + 1; ++i) {
        int64_t pointer = 0;
        if (!WordAt(image, screenTable + (i - 1) * 2, pointer) ||
            !PreviewDecodeScreen(image, pointer, read.cells))
            return out;
        read.pointers.push_back(pointer);
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

PreviewCartridge LoadPreviewCartridge(Bytes image) {
    PreviewCartridge cartridge;
    cartridge.image = std::move(image);
    cartridge.tableValue = PreviewPickTableOffset(cartridge.image);
    for (int n = 1; n <= kStageCount; ++n) {
        const PreviewStage stage = ReadPreviewStage(cartridge.image, cartridge.tableValue, n);
        if (!stage.ok) {
            cartridge.rooms.byPointer.clear();
            return cartridge;
        }
        for (int64_t pointer : stage.pointers) {
            Bytes unused;
            size_t length = 0;
            if (PreviewDecodeScreen(cartridge.image, pointer, unused, &length))
                cartridge.rooms.byPointer.emplace(pointer, length);
        }
    }
    cartridge.valid = true;
    return cartridge;
}

namespace {

bool SameCells(const Bytes& a, const Bytes& b, size_t screen) {
    const size_t first = screen * kScreenCells;
    return std::equal(a.begin() + first, a.begin() + first + kScreenCells, b.begin() + first);
}

}  // namespace

CommitResult CommitPreviewStage(Bytes& image, const PreviewRooms& rooms, const PreviewStage& read,
                                const Bytes& cells) {
    CommitResult result;
    const size_t screens = std::min(
        {cells.size() / kScreenCells, read.cells.size() / kScreenCells, read.pointers.size()});
    // The changed screens by stored bytes: screens on one pointer are written once.
    std::map<int64_t, std::vector<size_t>> changed;
    for (size_t i = 0; i < screens; ++i)
        if (!SameCells(cells, read.cells, i))
            changed[read.pointers[i]].push_back(i);

    for (const auto& [pointer, group] : changed) {
        const size_t first = group.front();
        const auto differs = std::find_if(group.begin() + 1, group.end(), [&](size_t other) {
            return !std::equal(cells.begin() + first * kScreenCells,
                               cells.begin() + (first + 1) * kScreenCells,
                               cells.begin() + other * kScreenCells);
        });
        if (differs != group.end()) {
            result.refused.push_back({static_cast<int>(first) + 1, static_cast<int>(*differs) + 1});
            continue;
        }
        const Bytes form = EncodePreviewScreen(cells.data() + first * kScreenCells, kScreenCells);
        const auto room = rooms.byPointer.find(pointer);
        const int64_t offset = pointer + kBankedToPosition - 1;
        if (form.empty() || room == rooms.byPointer.end() || form.size() > room->second ||
            offset < 0 || static_cast<size_t>(offset) + form.size() > image.size()) {
            for (size_t screen : group)
                result.refused.push_back({static_cast<int>(screen) + 1, 0});
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
