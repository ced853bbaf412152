// The editing loop: picking a super-tile, tracking the map cell under the pointer, and placing
// the selected super-tile into the level.
//
// The edit routines take the open cartridge's levels as a pointer that is null while no
// cartridge is open (nothing opened yet, or a rejected file): then nothing can be placed.
#pragma once

#include "cartridge/LevelModel.h"
#include "view/MapViewState.h"

#include <cstdint>
#include <string>

// Modifier keys of a pointer event, as the bound routines receive them.
enum KeyMask : uint32_t {
    kKeyCtrl = 1,
    kKeyShift = 2,
    kKeyAlt = 4,
};

// A click on the logo (nothing), the picker (selects the super-tile under the point and shows
// it in the preview) or the map (places the selected super-tile with Ctrl alone, or in edit
// mode). Non-zero when a super-tile was selected or placed.
int OnImageClick(MapViewState& view, MapViewHost& host, LevelList* openLevels, ImageTarget target,
                 int32_t x, int32_t y, uint32_t keys);

// Writes the selected super-tile into the hover cell of the current level, and of every screen
// stored as one with it, and redraws that cell on both map copies of each such screen shown.
// Then shows the host the first screen of the cartridge over its room (FirstRoomOverrun). 0 when
// nothing was written: no cartridge open, no map shown, or a hover cell outside the level's
// screens, columns or rows.
int PlaceSuperTile(MapViewState& view, MapViewHost& host, LevelList* openLevels);

// The first screen of the list (levels in list order, screens in level order) whose cells no
// longer fit the room it has in the image, so that a save would refuse it; over 0 when every
// screen fits. Any screen of any level counts, not only the one edited last: the save refuses
// them all alike.
RoomOverrun FirstRoomOverrun(const LevelList& levels);

// Tracks the cell under the pointer (with Shift alone it also places) and shows the screen and
// the pixel position inside it in the status line; with no cartridge open it shows "Section"
// and the raw pointer position. Always 0, so the viewer still pans.
int OnMapMouseMove(MapViewState& view, MapViewHost& host, LevelList* openLevels, int32_t x,
                   int32_t y, uint32_t keys);

// Upper-case hexadecimal without prefix; a negative value shows its 32-bit two's complement,
// as the status line always has.
std::string HexText(int64_t value);
