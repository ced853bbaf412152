// The open cartridge as the editor owns it: replaced on every Open, re-encoded on every Save.
#pragma once

#include "cartridge/CodecResult.h"
#include "cartridge/LevelModel.h"

#include <cstdint>
#include <vector>

struct CartridgeState {
    ByteArray RomImage;           // the whole cartridge file
    bool LargeRomLayout = false;  // the file is exactly kLargeRomImageSize bytes long
    // Empty until InitRomLayout fills it on the first Open: the level header table address and
    // the 1-based file position of the boss-room list. Kept until the program ends.
    std::vector<int32_t> RomLayoutTable;
    int32_t ObjectTableAddress = 0;  // the table of per-level object-list pointers
    LevelList levels;  // rebuilt by every successful decode, re-bound by every successful save
};
