// Showing a level: its super-tile pictures, the six layers, the composed map and the picker.
#pragma once

#include "codec/LevelModel.h"
#include "view/MapViewState.h"

#include <string>
#include <vector>

// The program folder's MapPic folder, ending in "\".
std::string MapPictureFolder();
// The picture of one super-tile of a level: folder + level number + "\" + two upper-case
// hexadecimal digits + ".bmp".
std::string SuperTilePicturePath(const std::string& folder, int32_t levelNumber, int32_t index);

// Replaces pictures by the kSuperTileCount pictures of the level; a file that is missing or
// cannot be loaded leaves its entry empty.
void LoadSuperTilePictures(const std::string& folder, int32_t levelNumber,
                           std::vector<toolkit::GpImagePtr>& pictures);

// Renders the level into new layers, replacing the old ones. False, with all layers empty, when
// the level's pictures cannot be made (too large a level, or GDI+ refused a bitmap).
bool RenderLevelMap(const LevelRecord& level, const std::vector<toolkit::GpImagePtr>& pictures,
                    const MapViewSettings& settings, MapLayers& layers);

// Draws both copies of the layers into a new composed picture, the in-game copy past the
// clamped separation. False, with an empty canvas, when there are no layers or the picture
// cannot be made.
bool ComposeMapLayers(const LevelRecord& level, const MapLayers& layers, int32_t separation,
                      MapCanvas& composed);

// The picker: kSuperTileCount cells in rows of settings.pickerColumns on a faint orange ground,
// each with a red top and left edge. Empty when the bitmap cannot be made.
toolkit::GpBitmapPtr DrawTilePicker(const std::vector<toolkit::GpImagePtr>& pictures,
                                    const MapViewSettings& settings);

// Redraws one cell of both map copies with a super-tile's picture: the cell's rectangle (the
// upper half for a half row) is cleared first, so a missing or see-through picture leaves no
// trace of the old one, and nothing outside it changes.
void RedrawMapCell(MapViewState& view, const MapGeometry& geometry, int32_t screen, int32_t column,
                   int32_t row, int32_t value);

// Composes the current level's layers anew and hands the result (or no picture) to the map view.
void RefreshMapView(MapViewState& view, MapViewHost& host, const LevelRecord& level);

// Loads the current level's pictures, renders and shows its map and shows a new picker.
void DrawLevelPictures(MapViewState& view, MapViewHost& host, const LevelRecord& level);

// Shows level n (1-based) of the list: its list items, pictures, map and picker, and selects
// the super-tile under picker point (2, 2). 0, changing nothing, when n is not in the list.
int SelectLevel(MapViewState& view, MapViewHost& host, const LevelList& levels, int32_t n);

// Takes the pictures away from both viewers, then releases every picture and forgets the level,
// the selection and the hover cell. The settings are kept.
void ResetMapView(MapViewState& view, MapViewHost& host);
