// Stamps: what one GDI+ line or fill of a cell writes, drawn once onto a transparent scratch
// bitmap and read back, then replayed into the map's layers wherever a cell needs it. A grid of
// a 12-screen level has 1,344 cells; drawing each line through GDI+ costs far more than blending
// a stamp, and the stamp holds exactly the pixels GDI+ would write, whatever its rules for
// which pixels a line covers.
#pragma once

#include "view/MapGeometry.h"
#include "view/MapViewState.h"

// The pixels a drawing wrote, with their place relative to the point the drawing was made at.
struct PixelStamp {
    int64_t left = 0;
    int64_t top = 0;
    toolkit::ArgbPixels pixels;  // empty when the drawing wrote nothing
};

// Blends the stamp into the canvas as if its drawing were made again at the point (clipped to
// the canvas).
void ApplyStamp(toolkit::ArgbPixels& canvas, const PicturePoint& at, const PixelStamp& stamp);

// The two lines on a cell's left and top edges in one colour: the left line full or, for a
// half row, half the cell high.
struct CellLineStamps {
    PixelStamp left;
    PixelStamp leftHalf;
    PixelStamp top;
};

// Everything a rendering stamps, captured once per rendering with one pen per colour and one
// brush.
struct MapStamps {
    CellLineStamps grid;
    CellLineStamps section;
    PixelStamp objectMark;
};

MapStamps CaptureMapStamps(const MapViewSettings& settings, Gdiplus::ARGB objectMarkColour);
// The picker's edge lines on each cell's top and left side.
CellLineStamps CaptureCellLines(const MapViewSettings& settings, Gdiplus::ARGB colour);
