// The preview's own reading of a stage out of the cartridge image, and the in-place write-back
// of edited screens. It reads one layout only (bank 2, no bank shift, 7 rows of 8 cells a
// screen) and works on the byte array alone, so it builds without any window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace preview {

using Bytes = std::vector<uint8_t>;

constexpr int kStageCount = 8;
constexpr int kScreenColumns = 8;
constexpr int kScreenRows = 7;
constexpr int kScreenCells = kScreenColumns * kScreenRows;  // 56
constexpr int kListMaxObjects = 16;

// The stage-table value: 0xA894 only for an image of exactly 256 bytes, else 0xB332.
constexpr int kStageTableDefault = 0xB332;
constexpr int kStageTableSmall = 0xA894;
constexpr size_t kSmallImageSize = 256;

int PreviewPickTableOffset(const Bytes& image);

// A decoded stage: 56 cells a screen, one packed object per int32 (list number in bits 0-7, the
// three record bytes in bits 8-31), and the 1-based position of its screen-pointer table that
// the write-back needs. ok is false when a position lies outside the image; cells and objects
// are then empty.
struct PreviewStage {
    bool ok = false;
    Bytes cells;
    std::vector<int32_t> objects;
    int64_t screenTable = 0;
    int screenCount = 0;
};

PreviewStage ReadPreviewStage(const Bytes& image, int tableValue, int stage);

// Decodes one screen whose data starts at 1-based position pointer + 17. Appends exactly 56 cells
// (a run that would pass the 56th cell is cut there) and gives the stored length read; false,
// with nothing appended, when the data runs past the end of the image.
bool PreviewDecodeScreen(const Bytes& image, int64_t pointer, Bytes& cells,
                         size_t* storedLength = nullptr);

// Appends the packed objects of one list (at most 16 records, ending at a first byte 0xFF or a
// record of type 63); false when a record it would read lies outside the image.
bool PreviewReadObjects(const Bytes& image, int64_t list, int number,
                        std::vector<int32_t>& objects);

// The run-length form the write-back stores: runs of c >= 2 equal cells as 0x80 + c and the
// value, other cells as themselves. Empty when a cell cannot be stored so that it reads back
// (0x81..0xB8 would read as a run header).
Bytes EncodePreviewScreen(const uint8_t* cells, size_t count);

// Writes every whole screen of cells back at the screen's stored position. A screen whose new
// form is longer than the bytes its old form occupies would overwrite whatever follows it, so
// it is left as it is and counted in refused; nothing outside a screen's old bytes changes.
struct CommitResult {
    int written = 0;
    int refused = 0;
};
CommitResult CommitPreviewCells(Bytes& image, int64_t screenTable, const Bytes& cells);

}  // namespace preview
