// libFuzzer target for the cartridge decoder and the save: any bytes as a cartridge image. A
// decoded image is saved back unedited, which must give it back byte for byte, and with one
// screen edited as the input's own bytes choose: one cell, the whole screen one run (a shorter
// form), or the whole screen literals (the longest form). Whatever the save does, it must never
// touch the input; a successful save must hand back the levels it was given and change no byte
// outside the edited screen's stored bytes and the free bytes after them; and a screen over its
// room is never saved.
#include "SaveFootprint.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr uint8_t kLargestCell = 0x7F;
constexpr uint8_t kFirstLiteral = 0x01;
constexpr uint8_t kSecondLiteral = 0x02;

enum Edit : uint8_t { kOneCell, kOneRun, kAllLiterals, kEditCount };

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The input byte at a place counted from its end, so that the edit does not hang on the bytes
// at the start of the image that its header fixes.
uint8_t Steer(const uint8_t* data, size_t size, size_t fromEnd) {
    return size > fromEnd ? data[size - 1 - fromEnd] : 0;
}

ByteArray EditedCells(const ByteArray& cells, Edit edit, size_t at, uint8_t value) {
    ByteArray edited = cells;
    switch (edit) {
        case kOneRun:
            edited.assign(cells.size(), value);
            break;
        case kAllLiterals:
            for (size_t i = 0; i < edited.size(); ++i) {
                edited[i] = i % 2 == 0 ? kFirstLiteral : kSecondLiteral;
            }
            break;
        default:
            edited[at] = static_cast<uint8_t>((cells[at] + 1) & kLargestCell);
            break;
    }
    return edited;
}

// True when the save succeeded.
bool SaveAndCheck(const ByteArray& image, const LevelList& decoded, const LevelList& levels,
                  bool large, const std::vector<int32_t>& table) {
    ByteArray output;
    LevelList saved = levels;
    if (!EncodeRom(image, saved, large, table, output)) {
        Check(output.empty());
        Check(saved.source.imageChecksum == levels.source.imageChecksum);
        return false;
    }
    Check(output.size() == image.size());
    // The encoder read output back before it answered; what it hands back must be that.
    Check(saved.source.imageChecksum == ImageChecksum(output));
    Check(saved.records.size() == levels.records.size());
    for (size_t i = 0; i < levels.records.size(); ++i) {
        Check(saved.records[i].screens == levels.records[i].screens);
    }
    Check(FirstChangeOutsideEditedScreens(image, output, decoded, levels) == kNoChangeOutside);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray image(data, data + size);
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    const bool large = IsLargeRomImage(image.size());
    LevelList decoded;
    if (!DecodeLevels(image, large, table, objectTable, decoded)) {
        Check(decoded.records.empty());
        return 0;
    }
    // Nothing edited: the image comes back byte for byte.
    {
        ByteArray output;
        LevelList saved = decoded;
        Check(static_cast<bool>(EncodeRom(image, saved, large, table, output)) && output == image);
    }

    // One screen edited, as the editor edits it: into every screen stored as one with it.
    LevelList levels = decoded;
    const size_t index = Steer(data, size, 0) % levels.records.size();
    LevelRecord& level = levels.records[index];
    if (!level.screens.empty() && !level.screens.front().cells.empty()) {
        const int place = static_cast<int>(index) + 1;
        const size_t screenIndex = Steer(data, size, 1) % level.screens.size();
        ScreenRecord& screen = level.screens[screenIndex];
        const Edit edit = static_cast<Edit>(Steer(data, size, 2) % kEditCount);
        const size_t at = Steer(data, size, 3) % screen.cells.size();
        const uint8_t value = Steer(data, size, 4) & kLargestCell;
        const ByteArray cells = EditedCells(screen.cells, edit, at, value);
        if (IsRunLengthPlace(place)) {
            for (size_t cell = 0; cell < cells.size(); ++cell) {
                PlaceCell(levels, place, screen.number, cell, cells[cell]);
            }
        } else {
            screen.cells = cells;  // a boss room's raw screen
        }
        const bool fits = !IsRunLengthPlace(place) || CheckScreenFit(screen).fits;
        const bool saved = SaveAndCheck(image, decoded, levels, large, table);
        Check(fits || !saved);
    }
    Check(ByteArray(data, data + size) == image);
    return 0;
}
