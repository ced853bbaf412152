// The straightforward way of drawing a level's map and picker: every picture, line and mark
// drawn one by one with GDI+ onto GDI+ bitmaps, and the layers composed by drawing them whole.
// This is how the editor drew before it kept its pictures in its own memory; the tests hold the
// editor's pictures against it pixel for pixel.
#pragma once

#include "view/MapViewState.h"

#include <string>
#include <vector>

namespace mapview_test {

// A GDI+ bitmap with its graphics; the graphics is released first.
struct ReferenceCanvas {
    toolkit::GpBitmapPtr picture;
    toolkit::GpGraphicsPtr graphics;
};

struct ReferenceLayers {
    ReferenceCanvas plainMap, inGameMap, plainGrid, inGameGrid, plainObjects, inGameObjects;
};

// The kSuperTileCount pictures of a level loaded one by one with GDI+ (empty when a file fails).
std::vector<toolkit::GpImagePtr> LoadReferencePictures(const std::string& folder,
                                                       int32_t levelNumber);

// The six layers of a level; false when a bitmap cannot be made.
bool RenderReferenceLayers(const LevelRecord& level,
                           const std::vector<toolkit::GpImagePtr>& pictures,
                           const MapViewSettings& settings, ReferenceLayers& layers);

// The composed picture: the plain copy, then the in-game copy past the separation.
toolkit::GpBitmapPtr ComposeReferenceLayers(const LevelRecord& level, const ReferenceLayers& layers,
                                            int32_t separation);

// The picker picture.
toolkit::GpBitmapPtr DrawReferencePicker(const std::vector<toolkit::GpImagePtr>& pictures,
                                         const MapViewSettings& settings);

}  // namespace mapview_test
