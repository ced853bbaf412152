#include "foundation/Drawing.h"

#include "foundation/Toolkit.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace toolkit {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

constexpr REAL kArcLeft = 180.0f;
constexpr REAL kArcTop = 270.0f;
constexpr REAL kArcRight = 0.0f;
constexpr REAL kArcBottom = 90.0f;
constexpr REAL kQuarterTurn = 90.0f;
// The right and bottom arcs end one pixel inside the rectangle.
constexpr REAL kOutlineInset = 1.0f;

// The attributes that carry the alpha matrix for one draw. The toolkit's shared attributes are
// used when start-up made them; code that draws without start-up (tools, tests) gets its own.
class AlphaAttributes {
public:
    explicit AlphaAttributes(int alpha) {
        m_attributes = Toolkit().imageAttributes;
        if (m_attributes == nullptr) {
            GdipCreateImageAttributes(m_own.put());
            m_attributes = m_own.get();
        }
        SetImageAttributesAlpha(m_attributes, alpha);
    }
    ~AlphaAttributes() { ResetImageAttributes(m_attributes); }
    AlphaAttributes(const AlphaAttributes&) = delete;
    AlphaAttributes& operator=(const AlphaAttributes&) = delete;

    GpImageAttributes* get() const { return m_attributes; }

private:
    GpImageAttributesPtr m_own;
    GpImageAttributes* m_attributes = nullptr;
};

bool IsOpaque(int alpha) {
    return alpha >= kOpaqueAlpha;
}

GpPenPtr CreatePen(ARGB colour, float width) {
    GpPenPtr pen;
    GdipCreatePen1(colour, width, UnitWorld, pen.put());
    return pen;
}

// True when a piece drawn into target can change a pixel inside the graphics' clip. The test
// rectangle grows by a pixel on each side: a resampled piece with fractional edges also touches
// the pixels its edges cross. Pieces wholly outside are skipped: this GDI+ resamples a whole
// destination before it clips, so a large clipped-away piece would cost as much as a drawn one.
bool PieceMayShow(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height) {
    constexpr REAL kEdgeSlack = 1.0f;
    BOOL visible = TRUE;
    if (GdipIsVisibleRect(graphics, x - kEdgeSlack, y - kEdgeSlack, width + 2 * kEdgeSlack,
                          height + 2 * kEdgeSlack, &visible) != Ok) {
        return true;  // when the clip cannot be asked, draw as before
    }
    return visible != FALSE;
}

}  // namespace

bool DrawImageEx(GpGraphics* graphics, GpImage* image, const RectF& destination,
                 const RectF& source, bool sourceSizeGiven, int mode, const GridMargins* margins,
                 int alpha, unsigned effects, float ratio) {
    if (graphics == nullptr || image == nullptr) {
        return false;
    }
    const int width = sourceSizeGiven ? static_cast<int>(source.Width) : GetImageWidth(image);
    const int height = sourceSizeGiven ? static_cast<int>(source.Height) : GetImageHeight(image);
    // Fades write alpha, which a 24-bit or indexed clone would drop: faded clones carry alpha.
    const PixelFormat format = effects != 0 ? kPixelFormat32bppArgb : kOwnPixelFormat;
    GpBitmapPtr clone = CloneImageArea(image, static_cast<int>(source.X),
                                       static_cast<int>(source.Y), width, height, format);
    if (!clone) {
        return false;
    }
    if (effects != 0) {
        ApplyPixelEffects(clone.get(), effects, ratio);
    }
    switch (mode) {
        case kDrawNatural:
            return DrawImageScaled(graphics, clone.get(), destination, true, alpha, false);
        case kDrawStretched:
            return DrawImageAlpha(graphics, clone.get(), destination, alpha);
        case kDrawCentred:
            return DrawImageScaled(graphics, clone.get(), destination, true, alpha, true);
        case kDrawNineGrid:
            return DrawImageNineGrid(graphics, clone.get(), destination,
                                     margins != nullptr ? *margins : GridMargins{}, alpha);
        default:
            return false;
    }
}

bool DrawImageAt(GpGraphics* graphics, GpImage* image, float x, float y, float width, float height,
                 bool upperHalf) {
    const float sourceHeight = upperHalf ? height * 0.5f : height;
    return DrawImageEx(graphics, image, RectF(x, y, width, height),
                       RectF(0, 0, width, sourceHeight), true, kDrawNatural);
}

bool DrawImageScaled(GpGraphics* graphics, GpImage* image, const RectF& rect, bool rectSizeGiven,
                     int alpha, bool centre) {
    if (graphics == nullptr || image == nullptr) {
        return false;
    }
    const int imageWidth = GetImageWidth(image);
    const int imageHeight = GetImageHeight(image);
    REAL x = rect.X;
    REAL y = rect.Y;
    if (centre && rectSizeGiven) {
        x += std::trunc((rect.Width - imageWidth) / 2);
        y += std::trunc((rect.Height - imageHeight) / 2);
    }
    return DrawImageAlpha(
        graphics, image, RectF(x, y, static_cast<REAL>(imageWidth), static_cast<REAL>(imageHeight)),
        alpha);
}

bool DrawImageAlpha(GpGraphics* graphics, GpImage* image, const RectF& rect, int alpha) {
    if (graphics == nullptr || image == nullptr) {
        return false;
    }
    if (IsOpaque(alpha)) {
        return GdipDrawImageRect(graphics, image, rect.X, rect.Y, rect.Width, rect.Height) == Ok;
    }
    AlphaAttributes attributes(alpha);
    return GdipDrawImageRectRect(graphics, image, rect.X, rect.Y, rect.Width, rect.Height, 0, 0,
                                 static_cast<REAL>(GetImageWidth(image)),
                                 static_cast<REAL>(GetImageHeight(image)), UnitPixel,
                                 attributes.get(), nullptr, nullptr) == Ok;
}

bool DrawImageNineGrid(GpGraphics* graphics, GpImage* image, const RectF& rect,
                       const GridMargins& margins, int alpha) {
    if (graphics == nullptr || image == nullptr) {
        return false;
    }
    const REAL width = static_cast<REAL>(GetImageWidth(image));
    const REAL height = static_cast<REAL>(GetImageHeight(image));
    // Cuts of the source and of the destination, left to right and top to bottom.
    const REAL sourceX[4] = {0, margins.left, width - margins.right, width};
    const REAL sourceY[4] = {0, margins.top, height - margins.bottom, height};
    const REAL targetX[4] = {rect.X, rect.X + margins.left, rect.X + rect.Width - margins.right,
                             rect.X + rect.Width};
    const REAL targetY[4] = {rect.Y, rect.Y + margins.top, rect.Y + rect.Height - margins.bottom,
                             rect.Y + rect.Height};
    GpImageAttributes* attributesUsed = nullptr;
    std::unique_ptr<AlphaAttributes> attributes;
    if (!IsOpaque(alpha)) {
        attributes = std::make_unique<AlphaAttributes>(alpha);
        attributesUsed = attributes->get();
    }
    bool drawn = true;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const REAL sourceWidth = sourceX[column + 1] - sourceX[column];
            const REAL sourceHeight = sourceY[row + 1] - sourceY[row];
            const REAL targetWidth = targetX[column + 1] - targetX[column];
            const REAL targetHeight = targetY[row + 1] - targetY[row];
            // Margins wider than the picture or the destination leave empty pieces: a negative
            // size would draw a mirrored piece over its neighbours.
            if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) {
                continue;
            }
            if (!PieceMayShow(graphics, targetX[column], targetY[row], targetWidth, targetHeight)) {
                continue;
            }
            drawn &= GdipDrawImageRectRect(graphics, image, targetX[column], targetY[row],
                                           targetWidth, targetHeight, sourceX[column], sourceY[row],
                                           sourceWidth, sourceHeight, UnitPixel, attributesUsed,
                                           nullptr, nullptr) == Ok;
        }
    }
    return drawn;
}

bool DrawLine(GpGraphics* graphics, ARGB colour, float x1, float y1, float x2, float y2,
              float width) {
    if (graphics == nullptr) {
        return false;
    }
    GpPenPtr pen = CreatePen(colour, width);
    return pen && GdipDrawLine(graphics, pen.get(), x1, y1, x2, y2) == Ok;
}

bool DrawGradientLine(GpGraphics* graphics, ARGB colour1, ARGB colour2, float x1, float y1,
                      float x2, float y2, float width) {
    if (graphics == nullptr) {
        return false;
    }
    const PointF from(x1, y1);
    const PointF to(x2, y2);
    GpLineGradientPtr brush;
    if (GdipCreateLineBrush(&from, &to, colour1, colour2, WrapModeTile, brush.put()) != Ok) {
        return false;
    }
    GpPenPtr pen;
    GdipCreatePen2(brush.get(), width, UnitWorld, pen.put());
    return pen && GdipDrawLine(graphics, pen.get(), x1, y1, x2, y2) == Ok;
}

GpSolidFillPtr CreateSolidBrush(ARGB colour) {
    GpSolidFillPtr brush;
    GdipCreateSolidFill(colour, brush.put());
    return brush;
}

bool FillRect(GpGraphics* graphics, const RectF& rect, ARGB colour) {
    if (graphics == nullptr) {
        return false;
    }
    GpSolidFillPtr brush = CreateSolidBrush(colour);
    return brush &&
           GdipFillRectangle(graphics, brush.get(), rect.X, rect.Y, rect.Width, rect.Height) == Ok;
}

bool FillPolygonPoints(GpGraphics* graphics, const std::vector<PointF>& points, ARGB colour) {
    if (graphics == nullptr || points.empty()) {
        return false;
    }
    GpSolidFillPtr brush = CreateSolidBrush(colour);
    return brush && GdipFillPolygon(graphics, brush.get(), points.data(),
                                    static_cast<INT>(points.size()), FillModeAlternate) == Ok;
}

bool DrawPolygonPoints(GpGraphics* graphics, const std::vector<PointF>& points, ARGB colour,
                       float width) {
    if (graphics == nullptr || points.empty()) {
        return false;
    }
    GpPenPtr pen = CreatePen(colour, width);
    return pen && GdipDrawPolygon(graphics, pen.get(), points.data(),
                                  static_cast<INT>(points.size())) == Ok;
}

GpPathPtr CreateRoundRectPath(const RectF& rect, float diameter, FillMode fillMode) {
    GpPathPtr path;
    if (GdipCreatePath(fillMode, path.put()) != Ok) {
        return path;
    }
    const REAL right = rect.X + rect.Width - diameter - kOutlineInset;
    const REAL bottom = rect.Y + rect.Height - diameter - kOutlineInset;
    if (diameter <= 0) {
        // Arcs of no size are refused; square corners make the same outline.
        GdipAddPathRectangle(path.get(), rect.X, rect.Y, rect.Width - kOutlineInset,
                             rect.Height - kOutlineInset);
    } else {
        GdipAddPathArc(path.get(), rect.X, rect.Y, diameter, diameter, kArcLeft, kQuarterTurn);
        GdipAddPathArc(path.get(), right, rect.Y, diameter, diameter, kArcTop, kQuarterTurn);
        GdipAddPathArc(path.get(), right, bottom, diameter, diameter, kArcRight, kQuarterTurn);
        GdipAddPathArc(path.get(), rect.X, bottom, diameter, diameter, kArcBottom, kQuarterTurn);
    }
    GdipClosePathFigure(path.get());
    return path;
}

bool DrawRoundRectOutline(GpGraphics* graphics, const RectF& rect, float diameter, ARGB colour,
                          DashStyle dashStyle, float width) {
    if (graphics == nullptr) {
        return false;
    }
    GpPathPtr path = CreateRoundRectPath(rect, diameter, FillModeAlternate);
    GpPenPtr pen = CreatePen(colour, width);
    if (!path || !pen) {
        return false;
    }
    GdipSetPenDashStyle(pen.get(), dashStyle);
    return GdipDrawPath(graphics, pen.get(), path.get()) == Ok;
}

}  // namespace toolkit
