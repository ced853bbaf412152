// libFuzzer target for the cartridge decoder: any bytes as a cartridge image. A decoded image
// is saved back unedited, which must give it back byte for byte, and with one edited cell;
// whatever the save does, it must never touch the input, a successful save must hand back the
// levels it was given, and a screen over its room is never saved.
#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"
#include "cartridge/ScreenRoom.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// True when the save succeeded.
bool SaveAndCheck(const ByteArray& image, const LevelList& levels, bool large,
                  const std::vector<int32_t>& table) {
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
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray image(data, data + size);
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    const bool large = IsLargeRomImage(image.size());
    LevelList levels;
    if (!DecodeLevels(image, large, table, objectTable, levels)) {
        Check(levels.records.empty());
        return 0;
    }
    // Nothing edited: the image comes back byte for byte.
    {
        ByteArray output;
        LevelList saved = levels;
        Check(static_cast<bool>(EncodeRom(image, saved, large, table, output)) && output == image);
    }

    // One edit, placed by the image's own bytes so that the fuzzer can steer it, as the editor
    // places it: into every screen stored as one with the edited one.
    if (size > 0 && !levels.records.empty()) {
        const size_t index = data[0] % levels.records.size();
        LevelRecord& level = levels.records[index];
        if (!level.screens.empty() && !level.screens[0].cells.empty()) {
            const int place = static_cast<int>(index) + 1;
            ByteArray& cells = level.screens[0].cells;
            const size_t at = data[size - 1] % cells.size();
            const uint8_t value = static_cast<uint8_t>((cells[at] + 1) & 0x7F);
            if (PlaceCell(levels, place, level.screens[0].number, at, value).empty()) {
                cells[at] = value;  // a boss room's raw screen
            }
            const bool fits = !IsRunLengthPlace(place) || CheckScreenFit(level.screens[0]).fits;
            const bool savedEdit = SaveAndCheck(image, levels, large, table);
            Check(fits || !savedEdit);
        }
    }
    Check(ByteArray(data, data + size) == image);
    return 0;
}
