// Loading a level's super-tile pictures into the program's own memory.
#pragma once

#include "view/MapViewState.h"

#include <string>
#include <vector>

// The picture of one super-tile of a level: folder + level number + "\" + two upper-case
// hexadecimal digits + ".bmp".
std::string SuperTilePicturePath(const std::string& folder, int32_t levelNumber, int32_t index);

// Replaces pictures by the kSuperTileCount pictures of the level, read from disk every time. The
// files are read and the plain BMPs decoded on worker threads, which touch nothing but the
// files and their own results and are all joined before this returns; a file the BMP reader
// declines is decoded by GDI+ afterwards, on the calling thread. A file that is missing or that
// no decoder takes leaves its picture empty.
void LoadSuperTilePictures(const std::string& folder, int32_t levelNumber,
                           std::vector<SuperTilePicture>& pictures);

// One picture from the bytes of its file: the BMP reader first, GDI+ for anything else.
SuperTilePicture DecodeSuperTilePicture(toolkit::ByteArray file);

// The picture as PNG bytes for the preview box, made by GDI+ from the file so that it is what
// GDI+ makes of that file; empty when the picture is empty.
toolkit::ByteArray SuperTilePreviewPng(const SuperTilePicture& picture);
