#include "view/MapStamps.h"

#include "foundation/Drawing.h"

#include <algorithm>

namespace {

namespace gp = Gdiplus::DllExports;

// Room around the cell on the scratch bitmap for pixels a drawing writes past the cell's edges
// (a line one pixel wide covers half a pixel on either side of its path).
constexpr int32_t kScratchMargin = 2;

// A transparent bitmap with room for one cell and its margin, drawn through as the layers were.
struct Scratch {
    toolkit::GpBitmapPtr bitmap;
    toolkit::GpGraphicsPtr graphics;  // after bitmap, so that it is released first
    PicturePoint origin{kScratchMargin, kScratchMargin};

    explicit Scratch(const MapViewSettings& settings) {
        bitmap = toolkit::CreateBitmap(settings.cellWidth + 2 * kScratchMargin,
                                       settings.cellHeight + 2 * kScratchMargin);
        graphics = toolkit::GetImageGraphics(bitmap.get());
    }
    bool Clear() { return graphics && toolkit::ClearGraphics(graphics.get(), 0); }
    float X(float offset) const { return static_cast<float>(origin.x) + offset; }
    float Y(float offset) const { return static_cast<float>(origin.y) + offset; }

    // What was drawn since the last Clear, cut to the pixels it wrote.
    PixelStamp Take() const {
        PixelStamp stamp;
        toolkit::ArgbPixels drawn;
        if (!toolkit::ReadImagePixels(bitmap.get(), drawn)) {
            return stamp;
        }
        toolkit::PixelRect box;
        for (int y = 0; y < drawn.Height(); ++y) {
            for (int x = 0; x < drawn.Width(); ++x) {
                if (drawn.At(x, y) != 0) {
                    box = toolkit::UnionRect(box, {x, y, x + 1, y + 1});
                }
            }
        }
        if (box.Empty() || !stamp.pixels.Make(box.Width(), box.Height())) {
            return stamp;
        }
        toolkit::CopyPixels(stamp.pixels, 0, 0, drawn, box.left, box.top, box.Width(),
                            box.Height());
        stamp.left = box.left - origin.x;
        stamp.top = box.top - origin.y;
        return stamp;
    }
};

PixelStamp CaptureLine(Scratch& scratch, Gdiplus::GpPen* pen, float x1, float y1, float x2,
                       float y2) {
    if (pen == nullptr || !scratch.Clear()) {
        return {};
    }
    gp::GdipDrawLine(scratch.graphics.get(), pen, scratch.X(x1), scratch.Y(y1), scratch.X(x2),
                     scratch.Y(y2));
    return scratch.Take();
}

CellLineStamps CaptureLines(Scratch& scratch, const MapViewSettings& settings,
                            Gdiplus::ARGB colour) {
    const float width = static_cast<float>(settings.cellWidth);
    const float height = static_cast<float>(settings.cellHeight);
    // The pen the map's lines were always drawn with: one pixel wide, in world units.
    toolkit::GpPenPtr pen;
    gp::GdipCreatePen1(colour, 1.0f, Gdiplus::UnitWorld, pen.put());
    CellLineStamps lines;
    lines.left = CaptureLine(scratch, pen.get(), 0, 0, 0, height);
    lines.leftHalf = CaptureLine(scratch, pen.get(), 0, 0, 0, height / 2);
    lines.top = CaptureLine(scratch, pen.get(), 0, 0, width, 0);
    return lines;
}

}  // namespace

void ApplyStamp(toolkit::ArgbPixels& canvas, const PicturePoint& at, const PixelStamp& stamp) {
    toolkit::BlendPixels(canvas, at.x + stamp.left, at.y + stamp.top, stamp.pixels, 0, 0,
                         stamp.pixels.Width(), stamp.pixels.Height());
}

MapStamps CaptureMapStamps(const MapViewSettings& settings, Gdiplus::ARGB objectMarkColour) {
    Scratch scratch(settings);
    MapStamps stamps;
    stamps.grid = CaptureLines(scratch, settings, settings.gridColour);
    stamps.section = CaptureLines(scratch, settings, settings.sectionColour);
    if (scratch.Clear()) {
        toolkit::FillRect(
            scratch.graphics.get(),
            toolkit::MakeRectF(scratch.X(0), scratch.Y(0), static_cast<float>(settings.cellWidth),
                               static_cast<float>(settings.cellHeight)),
            objectMarkColour);
        stamps.objectMark = scratch.Take();
    }
    return stamps;
}

CellLineStamps CaptureCellLines(const MapViewSettings& settings, Gdiplus::ARGB colour) {
    Scratch scratch(settings);
    return CaptureLines(scratch, settings, colour);
}
