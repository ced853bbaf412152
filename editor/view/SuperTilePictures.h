// Loading a level's super-tile pictures into the program's own memory.
#pragma once

#include "view/MapViewState.h"

#include <string>
#include <vector>

// The picture of one super-tile of a level: folder + level number + "\" + two upper-case
// hexadecimal digits + ".bmp".
std::string SuperTilePicturePath(const std::string& folder, int32_t levelNumber, int32_t index);

// Replaces pictures by the kSuperTileCount pictures of the level, read from disk every time. A
// file that is missing or that no decoder takes leaves its picture empty.
//
// The files are read on the calling thread. Reading and decoding them on worker threads was
// measured slower under Wine: each file costs a few calls into the Wine server, which serves
// them one at a time, and decoding a 32 x 32 picture is nothing beside that.
void LoadSuperTilePictures(const std::string& folder, int32_t levelNumber,
                           std::vector<SuperTilePicture>& pictures);

// One picture from the bytes of its file: the BMP reader first, GDI+ for anything else.
SuperTilePicture DecodeSuperTilePicture(toolkit::ByteArray file);

// The picture as PNG bytes for the preview box, made by GDI+ from the file so that it is what
// GDI+ makes of that file; empty when the picture is empty.
toolkit::ByteArray SuperTilePreviewPng(const SuperTilePicture& picture);
