// Showing a level: its super-tile pictures, the six layers, the composed map and the picker.
//
// Everything is drawn in the program's own memory (ArgbPixels), with the arithmetic GDI+ uses
// when it draws onto a 32-bit ARGB bitmap, so the pictures equal what drawing each picture,
// line and mark through GDI+ gives, pixel for pixel. The grid lines and object marks are drawn
// by GDI+ once per rendering and replayed as stamps (MapStamps.h).
#pragma once

#include "cartridge/LevelModel.h"
#include "view/MapViewState.h"
#include "view/SuperTilePictures.h"

#include <string>
#include <vector>

// The program folder's MapPic folder, ending in "\".
std::string MapPictureFolder();

// Renders the level into new layers, replacing the old ones. False, with all layers empty, when
// the level's pictures cannot be made (too large a level, or no memory).
bool RenderLevelMap(const LevelRecord& level, const std::vector<SuperTilePicture>& pictures,
                    const MapViewSettings& settings, MapLayers& layers);

// Composes both copies of the layers into the composed picture, the in-game copy past the
// clamped separation. False, with an empty picture, when there are no layers or the picture
// cannot be made.
bool ComposeMapLayers(const LevelRecord& level, const MapLayers& layers, int32_t separation,
                      toolkit::PixelBitmap& composed);

// The picker: kSuperTileCount cells in rows of settings.pickerColumns on a faint orange ground,
// each with a red top and left edge. Empty when the picture cannot be made.
void DrawTilePicker(const std::vector<SuperTilePicture>& pictures, const MapViewSettings& settings,
                    toolkit::PixelBitmap& picker);

// Redraws one cell of both map copies with a super-tile's picture: the cell's rectangle (the
// upper half for a half row) is cleared first, so a missing or see-through picture leaves no
// trace of the old one, and nothing outside it changes. The cell's two rectangles of the
// composed picture become stale, for the next RefreshMapView.
void RedrawMapCell(MapViewState& view, const MapGeometry& geometry, int32_t screen, int32_t column,
                   int32_t row, int32_t value);

// Brings the composed picture up to date with the layers and shows it: after new layers it is
// composed whole and handed to the map view; otherwise only its stale areas are composed again,
// and the map view repaints just those.
void RefreshMapView(MapViewState& view, MapViewHost& host, const LevelRecord& level);

// Loads the current level's pictures, renders and shows its map and shows a new picker.
void DrawLevelPictures(MapViewState& view, MapViewHost& host, const LevelRecord& level);

// Shows level n (1-based) of the list: its list items, pictures, map and picker, then clicks
// picker point (2, 2) through the host, which selects the super-tile under it. 0, changing
// nothing, when n is not in the list.
int SelectLevel(MapViewState& view, MapViewHost& host, const LevelList& levels, int32_t n);

// Takes the pictures away from both viewers, then releases every picture and forgets the level,
// the selection and the hover cell. The settings are kept.
void ResetMapView(MapViewState& view, MapViewHost& host);
