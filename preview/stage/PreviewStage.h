// The preview's own reading of a stage out of the cartridge image, and the in-place write-back
// of edited screens. It reads one layout only (bank 2, no bank shift, 7 rows of 8 cells a
// screen) and works on the byte array alone, so it builds without any window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
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
    std::vector<int64_t> pointers;  // each screen's pointer, as its table holds it
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

// The run-length form the write-back stores: runs of c >= 2 equal cells below 0x80 as 0x80 + c
// and the value; every other cell as itself. A cell of 0x80 or more never goes into a run (the
// reader would take its run value as 0), and a cell of 0x81..0xB8 cannot be stored at all: it
// would read as a run header. Empty when the cells hold such a value.
Bytes EncodePreviewScreen(const uint8_t* cells, size_t count);

// The room of every stored screen of a valid image: the stored length of the screen at each
// screen pointer, measured once when the image is loaded and kept until the next load, so that a
// screen written back in a shorter form can later be written back in its old length.
struct PreviewRooms {
    std::map<int64_t, size_t> byPointer;
};

// A cartridge image as the preview holds it: the bytes, the stage-table value, and whether every
// stage's tables lie inside the image. Only a valid image is shown, committed or saved.
struct PreviewCartridge {
    Bytes image;
    int tableValue = kStageTableDefault;
    bool valid = false;
    PreviewRooms rooms;
};

// Takes over the bytes, picks the stage-table value, checks that every stage can be read and
// measures the rooms.
PreviewCartridge LoadPreviewCartridge(Bytes image);

// Writes back the screens whose cells differ from the cells the stage was read with (read.cells);
// every other screen is left as it is stored. Screens that share one screen pointer share their
// stored bytes: when more than one of them changed and their new cells differ, that stored screen
// is refused; otherwise the changed cells are written once. A screen whose new form does not fit
// its room, or cannot be read back, is refused too. A refused screen changes no byte; nothing
// outside the written screens' rooms changes.
struct RefusedScreen {
    int screen = 0;      // 1-based, in the stage
    int sharedWith = 0;  // 1-based: another changed screen on the same stored bytes; 0: none
};
struct CommitResult {
    int written = 0;
    std::vector<RefusedScreen> refused;
};
CommitResult CommitPreviewStage(Bytes& image, const PreviewRooms& rooms, const PreviewStage& read,
                                const Bytes& cells);

}  // namespace preview
