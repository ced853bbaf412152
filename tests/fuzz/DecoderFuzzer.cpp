// libFuzzer target for the cartridge decoder: any bytes as a cartridge image. A decoded image
// is saved back unedited and with one edited cell; whatever the save does, it must never touch
// the input, and a successful save must hand back the levels it was given.
#include "codec/LevelDecoder.h"
#include "codec/LevelEncoder.h"
#include "codec/RomLayout.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void SaveAndCheck(const ByteArray& image, const LevelList& levels, bool large,
                  const std::vector<int32_t>& table) {
    ByteArray output;
    LevelList saved = levels;
    if (!EncodeRom(image, saved, large, table, output)) {
        Check(output.empty());
        Check(saved.source.imageChecksum == levels.source.imageChecksum);
        return;
    }
    Check(output.size() == image.size());
    // The encoder read output back before it answered; what it hands back must be that.
    Check(saved.source.imageChecksum == ImageChecksum(output));
    Check(saved.records.size() == levels.records.size());
    for (size_t i = 0; i < levels.records.size(); ++i) {
        Check(saved.records[i].screens == levels.records[i].screens);
    }
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
    SaveAndCheck(image, levels, large, table);

    // One edit, placed by the image's own bytes so that the fuzzer can steer it.
    if (size > 0 && !levels.records.empty()) {
        LevelRecord& level = levels.records[data[0] % levels.records.size()];
        if (!level.screens.empty() && !level.screens[0].cells.empty()) {
            ByteArray& cells = level.screens[0].cells;
            uint8_t& cell = cells[data[size - 1] % cells.size()];
            cell = static_cast<uint8_t>((cell + 1) & 0x7F);
            SaveAndCheck(image, levels, large, table);
        }
    }
    Check(ByteArray(data, data + size) == image);
    return 0;
}
