// ThunderButton: the built-in face picture, the nine-grid background, the glow spot and its
// timer, and the caption nudges of its layout.
#include "controls/ThunderButton.h"

#include "core/ElementMessages.h"
#include "foundation/ControlClasses.h"
#include "foundation/Drawing.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Win32Handles.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

// The picture: three faces of 13 x 28 pixels at x = 0, 14 and 28 of a 55 x 28 strip.
constexpr int kPictureWidth = 55;
constexpr int kPictureHeight = 28;
constexpr int kFaceWidth = 13;
constexpr int kFaceStride = 14;
constexpr int kNormalFaceX = 0;
constexpr int kHoverFaceX = kFaceStride;
constexpr int kPressedFaceX = 2 * kFaceStride;
constexpr float kFaceCornerDiameter = 6.0f;
const GridMargins kFaceMargins{5.0f, 5.0f, 3.0f, 15.0f};

// Colours of one face: a vertical gradient inside a darker rim.
struct FaceColours {
    Gdiplus::ARGB top;
    Gdiplus::ARGB bottom;
    Gdiplus::ARGB rim;
};
constexpr FaceColours kNormalFace{0xFFF4F6F9, 0xFFD5DCE5, 0xFF8794A5};
constexpr FaceColours kHoverFace{0xFFEAF4FF, 0xFFB4D4F4, 0xFF4A86CC};
constexpr FaceColours kPressedFace{0xFFA9C6E4, 0xFFD6E6F6, 0xFF2A5A8E};

constexpr UINT kGlowTickMs = 100;
constexpr float kGlowStep = 6.0f;
constexpr float kGlowStartX = 6.0f;
constexpr float kGlowRadius = 18.0f;
constexpr Gdiplus::ARGB kGlowCentre = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kGlowEdge = 0x32FFFFFF;  // white, alpha 50
constexpr int kBorderCornerEllipse = 5;

// Process-wide and never released: every ThunderButton of the process draws from it.
Gdiplus::GpImage* g_picture = nullptr;

void DrawFace(Gdiplus::GpGraphics* graphics, int x, const FaceColours& colours) {
    const Gdiplus::RectF face(static_cast<float>(x), 0.0f, static_cast<float>(kFaceWidth),
                              static_cast<float>(kPictureHeight));
    GpPathPtr path = CreateRoundRectPath(face, kFaceCornerDiameter);
    GpLineGradientPtr fill;
    gp::GdipCreateLineBrushFromRect(&face, colours.top, colours.bottom,
                                    Gdiplus::LinearGradientModeVertical,
                                    Gdiplus::WrapModeTileFlipXY, fill.put());
    gp::GdipFillPath(graphics, fill.get(), path.get());
    GpPenPtr rim;
    gp::GdipCreatePen1(colours.rim, 1.0f, Gdiplus::UnitWorld, rim.put());
    gp::GdipDrawPath(graphics, rim.get(), path.get());
}

Gdiplus::GpImage* MakePicture() {
    GpBitmapPtr bitmap = CreateBitmap(kPictureWidth, kPictureHeight);
    GpGraphicsPtr graphics = GetImageGraphics(bitmap.get());
    if (!graphics) {
        return nullptr;
    }
    gp::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeAntiAlias);
    ClearGraphics(graphics.get(), 0);
    DrawFace(graphics.get(), kNormalFaceX, kNormalFace);
    DrawFace(graphics.get(), kHoverFaceX, kHoverFace);
    DrawFace(graphics.get(), kPressedFaceX, kPressedFace);
    return bitmap.release();
}

int FaceX(std::int32_t state) {
    switch (state) {
        case kButtonHover:
            return kHoverFaceX;
        case kButtonPressed:
            return kPressedFaceX;
        default:
            return kNormalFaceX;
    }
}

void DrawGlowSpot(Gdiplus::GpGraphics* graphics, float x, float y) {
    const float left = x - kGlowRadius;
    const float top = y - kGlowRadius;
    const float size = 2.0f * kGlowRadius;
    GpPathPtr path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.put());
    gp::GdipAddPathEllipse(path.get(), left, top, size, size);
    GpBrushPtr brush;
    Gdiplus::GpPathGradient* gradient = nullptr;
    if (gp::GdipCreatePathGradientFromPath(path.get(), &gradient) != Gdiplus::Ok) {
        return;
    }
    brush.reset(gradient);
    gp::GdipSetPathGradientCenterColor(gradient, kGlowCentre);
    Gdiplus::ARGB surround = kGlowEdge;
    INT count = 1;
    gp::GdipSetPathGradientSurroundColorsWithCount(gradient, &surround, &count);
    gp::GdipFillRectangle(graphics, brush.get(), left, top, size, size);
}

GpRegionPtr RoundedRegion(const Gdiplus::RectF& rect) {
    const int left = static_cast<int>(rect.X);
    const int top = static_cast<int>(rect.Y);
    GdiObject<HRGN> region(CreateRoundRectRgn(left, top, left + static_cast<int>(rect.Width),
                                              top + static_cast<int>(rect.Height),
                                              kBorderCornerEllipse, kBorderCornerEllipse));
    return RegionFromHrgn(region.get());
}

}  // namespace

void AdvanceGlow(GlowTrack* glow, std::int32_t width, std::int32_t height) {
    const float endX = static_cast<float>(width - 2);
    const float endY = static_cast<float>(height - 4);
    switch (glow->phase) {
        case kGlowAlongTop:
            glow->x += kGlowStep;
            if (glow->x >= endX) {
                glow->x = endX;
                glow->phase = kGlowDownRight;
            }
            break;
        case kGlowDownRight:
            glow->y += kGlowStep;
            if (glow->y >= endY) {
                glow->y = endY;
                glow->phase = kGlowAlongBottom;
            }
            break;
        case kGlowAlongBottom:
            glow->x -= kGlowStep;
            if (glow->x <= 0.0f) {
                glow->x = 0.0f;
                glow->phase = kGlowUpLeft;
            }
            break;
        case kGlowUpLeft:
            glow->y -= kGlowStep;
            if (glow->y <= 0.0f) {
                glow->y = 0.0f;
                glow->phase = kGlowAlongTop;
            }
            break;
        default:
            break;
    }
}

Gdiplus::GpImage* ThunderButtonPicture() {
    return g_picture;
}

std::uint32_t ThunderButton::Clone() {
    ThunderButton* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        CopyOwnedMembersTo(copy);
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

LRESULT ThunderButton::PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM,
                                      LPARAM) {
    switch (message) {
        case WM_CREATE:
            if (g_picture == nullptr) {
                g_picture = MakePicture();
            }
            m_classTypeId = kTypeThunderButton;
            ElementClassName(kClassThunderButton);
            m_drawTabStop = 0;
            break;
        case WM_SETFOCUS:
            m_focused = true;
            SetElementTimer(kGlowTickMs, nullptr, true);
            m_glow = {kGlowAlongTop, kGlowStartX, 0.0f};
            break;
        case WM_KILLFOCUS:
            m_focused = false;
            SetElementTimer(0);
            break;
        case WM_TIMER:
            ThunderButtonTick();
            // During a transition the blend step repaints; painting here would cut it short.
            if (!m_transitionRunning) {
                ElementWndProc(WM_PAINT, 0, 0);
            }
            break;
        case kMsgTransitionBegin:
            m_transitionRunning = true;
            break;
        case kMsgTransitionEnd:
            m_transitionRunning = false;
            break;
        case kMsgTransitionFrame:
            // Redraw the canvas with the glow's new place without presenting it: a present here
            // would start another transition in the middle of this one's blend.
            if (m_focused) {
                const std::uint32_t present = m_presentEnabled;
                m_presentEnabled = 0;
                PaintButton(window, handle);
                m_presentEnabled = present;
            }
            break;
        default:
            break;
    }
    return 0;
}

std::int32_t ThunderButton::BackgroundHook(DrawContext* context, std::int32_t state) {
    const Gdiplus::RectF paint(context->paint.x, context->paint.y, context->paint.width,
                               context->paint.height);
    if (g_picture != nullptr) {
        GpBitmapPtr face = CloneImageArea(g_picture, FaceX(state), 0, kFaceWidth, kPictureHeight);
        DrawImageNineGrid(context->graphics, face.get(), paint, kFaceMargins);
    }
    if (m_focused) {
        DrawGlow(context);
    }
    return 1;  // the theme background is not drawn
}

void ThunderButton::DrawGlow(DrawContext* context) {
    const Gdiplus::RectF outer(context->paint.x + 1.0f, context->paint.y,
                               context->paint.width - 1.0f, context->paint.height - 3.0f);
    const Gdiplus::RectF inner(outer.X + 1.0f, outer.Y + 1.0f, outer.Width - 2.0f,
                               outer.Height - 2.0f);
    GpRegionPtr outerRegion = RoundedRegion(outer);
    GpRegionPtr innerRegion = RoundedRegion(inner);
    if (!outerRegion || !innerRegion) {
        return;
    }
    gp::GdipSetClipRegion(context->graphics, outerRegion.get(), Gdiplus::CombineModeReplace);
    gp::GdipSetClipRegion(context->graphics, innerRegion.get(), Gdiplus::CombineModeExclude);
    DrawGlowSpot(context->graphics, m_glow.x, m_glow.y);
    gp::GdipResetClip(context->graphics);
}

void ThunderButton::LayoutHook(ElementHandle, DrawContext*, std::int32_t state,
                               Gdiplus::RectF* captionRect, Gdiplus::RectF* iconRect) {
    switch (m_iconPlacement) {
        case kIconLeftOfCaption:
            captionRect->Y -= 1.0f;
            iconRect->Y -= 1.0f;
            break;
        case kIconAtLeftEdge:
            captionRect->X += 4.0f;
            captionRect->Y -= 1.0f;
            iconRect->X += 4.0f;
            iconRect->Y -= 1.0f;
            break;
        case kIconAboveCaption:
            captionRect->X += state == kButtonPressed ? 3.0f : 2.0f;
            break;
        case kIconAtTop:
            captionRect->Y += 4.0f;
            iconRect->Y += 2.0f;
            break;
        default:
            break;
    }
}

void ThunderButton::ThunderButtonTick() {
    AdvanceGlow(&m_glow, m_width, m_height);
}

}  // namespace toolkit
