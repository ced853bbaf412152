// The preview's own reading of a stage out of the cartridge image (the write-back is in
// PreviewWriteBack.h). It reads one layout only (bank 2, no bank shift, 7 rows of 8 cells a
// screen) and works on the byte array alone, so it builds without any window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

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

// The game sees the level bank through the addresses 0x8000-0xBFFF. A screen whose pointer lies
// outside them, or whose stored bytes run past their end, names bytes of another bank than the
// file position the preview would read and write: such a screen is not shown and takes no paint.
constexpr int64_t kBankWindowFirst = 0x8000;
constexpr int64_t kBankWindowLast = 0xBFFF;
enum class ScreenProblem {
    None,
    OutsideWindow,  // the pointer lies outside the window
    PastWindowEnd,  // the stored bytes run past its end
};
// The cell value a screen that is not shown holds: no tile picture is numbered so high.
constexpr uint8_t kNoPictureCell = 0xFF;

// A decoded stage: 56 cells a screen, one packed object per int32 (list number in bits 0-7, the
// three record bytes in bits 8-31), and the 1-based position of its screen-pointer table that
// the write-back needs. ok is false when a position lies outside the image; cells and objects
// are then empty. A screen with a problem holds kNoPictureCell in every cell.
struct PreviewStage {
    bool ok = false;
    int number = 0;  // the stage, 1..8
    Bytes cells;
    std::vector<int32_t> objects;
    int64_t screenTable = 0;
    int screenCount = 0;
    std::vector<int64_t> pointers;        // each screen's pointer, as its table holds it
    std::vector<ScreenProblem> problems;  // one per screen
};

// True when the screen (1-based) was read and is shown.
bool ScreenShown(const PreviewStage& stage, int screen);
// The 0-based file offset of the stored bytes a screen pointer names.
int64_t ScreenOffset(int64_t pointer);

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

// The room of every stored screen the editor's decoder knows, as the editor measures it: the
// bytes it reads there, then the free bytes after them up to the next structure, the bank's end
// or the image's end. Measured once when the image is loaded and kept until the next load, so
// that a screen written back in a shorter form can later be written back in its old length. A
// stored screen is its offset and the cells it is read as: one offset read as 56 cells in one
// stage and as 64 in another is two screens.
struct PreviewRooms {
    std::map<std::pair<int64_t, int32_t>, int64_t> byScreen;
    // 0 when the editor knows no such screen.
    int64_t Of(int64_t offset, int32_t cellCount) const;
};

// What the editor's decoder finds in the image: every stretch it reads (level headers, screen
// tables, screens, boss rooms, object tables and lists), so that a write-back can tell which bytes
// belong to something else. The image is decoded in the layout that keeps the level data in bank
// 2, where the preview reads and writes. read is false when the decoder refuses the image, and
// refusal says why: then nothing is known to be safe to change.
struct PreviewKnownData {
    bool read = false;
    CodecResult refusal;
    std::vector<UsedRange> ranges;
    std::vector<int> levelNumbers;  // by place in the editor's level list
};

// A screen of some stage that is not shown, and why.
struct HiddenScreen {
    int stage = 0;
    int screen = 0;
    int64_t pointer = 0;
    ScreenProblem problem = ScreenProblem::None;
};

// Where a shown screen of some stage is stored, and how many bytes the preview reads there.
struct PreviewScreenPlace {
    int stage = 0;
    int screen = 0;
    int64_t offset = 0;
    int64_t length = 0;
};

// A cartridge image as the preview holds it: the bytes, the stage-table value, and whether every
// stage's tables lie inside the image. Only a valid image is shown or saved, and only a writable
// one takes paint: valid, of the layout the preview writes, and its structures known. An image of
// the large layout keeps its levels in bank 7, where the preview never looks; what it shows of
// bank 2 is other data to the game, so it is only shown.
struct PreviewCartridge {
    Bytes image;
    int tableValue = kStageTableDefault;
    bool valid = false;
    bool large = false;
    PreviewRooms rooms;
    PreviewKnownData known;
    // Every stage's shown screens as the preview reads them: the preview reads some stored forms
    // further than the editor does, and those bytes are a screen's too.
    std::vector<PreviewScreenPlace> screens;
    std::vector<HiddenScreen> hidden;  // every stage's screens that are not shown
    bool Writable() const { return valid && !large && known.read; }
};

// Takes over the bytes, picks the stage-table value, checks that every stage can be read,
// measures the rooms, finds the screens that are not shown and learns the image's structures.
PreviewCartridge LoadPreviewCartridge(Bytes image);

}  // namespace preview
