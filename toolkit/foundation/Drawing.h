// GDI+ drawing helpers: pictures (natural size, stretched, centred, nine-grid, with a uniform
// alpha and faded edges), lines, gradients, rectangles, polygons and rounded rectangles.
//
// Every helper takes the graphics to draw on first. Pens and brushes are made for one call and
// deleted before it returns. Colours are GDI+ ARGB values (see Colour.h). A helper returns false
// when it drew nothing (no graphics or image, or a GDI+ call failed).
#pragma once

#include "foundation/Colour.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/ImageHelpers.h"

#include <vector>

namespace toolkit {

constexpr float kDefaultLineWidth = 1.0f;

// How DrawImageEx places the picture in the destination rectangle.
enum ImageDrawMode : int {
    kDrawNatural = 0,    // natural size at the destination's top-left corner
    kDrawStretched = 1,  // stretched over the destination
    kDrawCentred = 2,    // natural size, centred in the destination
    kDrawNineGrid = 3,   // corners kept, edges and centre stretched
};

// Nine-grid margins in source pixels.
struct GridMargins {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

inline Gdiplus::RectF MakeRectF(float x, float y, float width, float height) {
    return Gdiplus::RectF(x, y, width, height);
}
inline Gdiplus::Rect MakeRect(int x, int y, int width, int height) {
    return Gdiplus::Rect(x, y, width, height);
}

// Draws the source area of the image into the destination. Without sourceSizeGiven the source
// keeps its position but takes the image's size. `margins` serve kDrawNineGrid (null: none);
// `effects` are FadeEdge bits faded over `ratio` of the shorter side of the source area.
bool DrawImageEx(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image,
                 const Gdiplus::RectF& destination, const Gdiplus::RectF& source,
                 bool sourceSizeGiven, int mode, const GridMargins* margins = nullptr,
                 int alpha = kOpaqueAlpha, unsigned effects = 0, float ratio = kDefaultFadeRatio);

// The top-left width x height of the image at natural size; with upperHalf only the upper half
// of that area (two-state pictures keep their states one above the other).
bool DrawImageAt(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image, float x, float y,
                 float width, float height, bool upperHalf = false);

// The whole image at natural size at the rectangle's corner, or centred in it. Without
// rectSizeGiven the rectangle takes the image's size.
bool DrawImageScaled(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image,
                     const Gdiplus::RectF& rect, bool rectSizeGiven, int alpha = kOpaqueAlpha,
                     bool centre = false);

// The whole image stretched over the rectangle, with a uniform alpha.
bool DrawImageAlpha(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image,
                    const Gdiplus::RectF& rect, int alpha = kOpaqueAlpha);

bool DrawImageNineGrid(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image,
                       const Gdiplus::RectF& rect, const GridMargins& margins,
                       int alpha = kOpaqueAlpha);

bool DrawLine(Gdiplus::GpGraphics* graphics, Gdiplus::ARGB colour, float x1, float y1, float x2,
              float y2, float width = kDefaultLineWidth);

// A line whose colour runs from colour1 at (x1, y1) to colour2 at (x2, y2).
bool DrawGradientLine(Gdiplus::GpGraphics* graphics, Gdiplus::ARGB colour1, Gdiplus::ARGB colour2,
                      float x1, float y1, float x2, float y2, float width = kDefaultLineWidth);

GpSolidFillPtr CreateSolidBrush(Gdiplus::ARGB colour);

bool FillRect(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect, Gdiplus::ARGB colour);

// Polygons are filled with the alternate fill mode.
bool FillPolygonPoints(Gdiplus::GpGraphics* graphics, const std::vector<Gdiplus::PointF>& points,
                       Gdiplus::ARGB colour);
bool DrawPolygonPoints(Gdiplus::GpGraphics* graphics, const std::vector<Gdiplus::PointF>& points,
                       Gdiplus::ARGB colour, float width = kDefaultLineWidth);

// A closed path of four d x d corner arcs. The right and bottom arcs sit one pixel inside the
// rectangle, so an outline drawn with a one-pixel pen stays within it.
GpPathPtr CreateRoundRectPath(const Gdiplus::RectF& rect, float diameter,
                              Gdiplus::FillMode fillMode = Gdiplus::FillModeAlternate);

bool DrawRoundRectOutline(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect, float diameter,
                          Gdiplus::ARGB colour,
                          Gdiplus::DashStyle dashStyle = Gdiplus::DashStyleSolid,
                          float width = kDefaultLineWidth);

}  // namespace toolkit
