// Frame painting, regions and presenting of host windows.
//
// Sections: canvases and regions; the frame (background, shadow, paint routine, borders);
// composing the elements; the caption layout; presenting.
//
// A region handed to SetWindowRgn belongs to the system from then on, so the window only ever
// hands over copies and keeps deleting its own regions itself.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/HostWindow.h"
#include "core/LayeredPush.h"
#include "core/SysButton.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/Drawing.h"
#include "foundation/EngineBinding.h"
#include "foundation/ImageHelpers.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr char kThemeKeyShadowRect[] = "rect";
// The inner region of a bordered window keeps at least this corner.
constexpr std::int32_t kInnerRadiusShrink = 3;
constexpr std::int32_t kMinInnerRadius = 1;

HRGN CopyRegion(HRGN region) {
    if (region == nullptr) {
        return nullptr;
    }
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (copy != nullptr && CombineRgn(copy, region, nullptr, RGN_COPY) == ERROR) {
        DeleteObject(copy);
        return nullptr;
    }
    return copy;
}

Gdiplus::RectF ToRectF(const RECT& rect) {
    return Gdiplus::RectF(static_cast<float>(rect.left), static_cast<float>(rect.top),
                          static_cast<float>(rect.right - rect.left),
                          static_cast<float>(rect.bottom - rect.top));
}

// The average colour (0x00BBGGRR) of a picture's pixels, read through a 32-bit ARGB lock.
// Sums run in 64 bits: a large picture's channel sums pass 32 bits.
std::optional<COLORREF> AverageColour(Gdiplus::GpImage* image) {
    Gdiplus::ImageType type{};
    if (gp::GdipGetImageType(image, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeBitmap) {
        return std::nullopt;
    }
    const int width = GetImageWidth(image);
    const int height = GetImageHeight(image);
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    const Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (gp::GdipBitmapLockBits(bitmap, &area, Gdiplus::ImageLockModeRead, kPixelFormat32bppArgb,
                               &data) != Gdiplus::Ok) {
        return std::nullopt;
    }
    std::uint64_t red = 0;
    std::uint64_t green = 0;
    std::uint64_t blue = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(data.Scan0) +
                                                   static_cast<std::ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < width; ++x) {
            red += (row[x] >> 16) & 0xFF;
            green += (row[x] >> 8) & 0xFF;
            blue += row[x] & 0xFF;
        }
    }
    gp::GdipBitmapUnlockBits(bitmap, &data);
    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    return RGB(static_cast<BYTE>(red / count), static_cast<BYTE>(green / count),
               static_cast<BYTE>(blue / count));
}

}  // namespace

// ---- Canvases and regions -----------------------------------------------------------------------

void HostWindow::CreateCanvases(std::int32_t width, std::int32_t height) {
    FreeCanvases();
    m_frameKept = false;
    CreateDibCanvas(width, height, &frameDc, &frameBitmap, true);
    CreateDibCanvas(width, height, &backgroundDc, &backgroundBitmap, true);
    if (frameDc != nullptr && gp::GdipCreateFromHDC(frameDc, &frameGraphics) == Gdiplus::Ok) {
        gp::GdipSetCompositingQuality(frameGraphics, Gdiplus::CompositingQualityHighSpeed);
        gp::GdipSetSmoothingMode(frameGraphics, Gdiplus::SmoothingModeNone);
    }
}

void HostWindow::FreeCanvases() {
    // Nothing pending may be pushed from canvases that are gone.
    ForgetLayeredWindow(this);
    if (frameGraphics != nullptr) {
        gp::GdipDeleteGraphics(frameGraphics);
        frameGraphics = nullptr;
    }
    FreeDibCanvas(&frameDc, &frameBitmap);
    FreeDibCanvas(&backgroundDc, &backgroundBitmap);
}

void HostWindow::FreeRegions() {
    if (innerRegion != nullptr) {
        DeleteObject(innerRegion);
        innerRegion = nullptr;
    }
    if (windowRegion != nullptr) {
        DeleteObject(windowRegion);
        windowRegion = nullptr;
    }
    if (innerRegionGdiplus != nullptr) {
        gp::GdipDeleteRegion(innerRegionGdiplus);
        innerRegionGdiplus = nullptr;
    }
}

void HostWindow::BuildWindowRegion() {
    FreeRegions();
    const RECT& b = m_bodyData;
    windowRegion = cornerRadius != 0 ? CreateRoundRectRgn(b.left, b.top, b.right + 1, b.bottom + 1,
                                                          cornerRadius, cornerRadius)
                                     : CreateRectRgn(b.left, b.top, b.right, b.bottom);
    if (borderFlag != 0) {
        const std::int32_t inner = std::max(cornerRadius - kInnerRadiusShrink, kMinInnerRadius);
        innerRegion =
            cornerRadius != 0
                ? CreateRoundRectRgn(b.left + 1, b.top + 1, b.right, b.bottom, inner, inner)
                : CreateRectRgn(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1);
    } else {
        // A handle of its own: each region is deleted once, and neither is the system's.
        innerRegion = CopyRegion(windowRegion);
    }
    innerRegionGdiplus = RegionFromHrgn(innerRegion).release();
}

// ---- The frame ----------------------------------------------------------------------------------

void HostWindow::PaintWindowFrame(const ByteArray* image, std::int32_t colour, std::int32_t mode) {
    const HWND served = window;
    presented = 0;
    if (frameGraphics == nullptr) {
        return;
    }
    if (const HostRecordFields* parent = HostFromHandle(GetControlFromWindow(parentWindow))) {
        // A child window shows its owner's background, which stays the owner's.
        backgroundImage = parent->backgroundImage;
        backgroundColour = parent->backgroundColour;
    } else if (image != nullptr && !image->empty()) {
        if (backgroundImage != nullptr) {
            gp::GdipDisposeImage(backgroundImage);
        }
        backgroundImage = LoadImageFromBytes(*image).release();
        // A new picture may come to lie where the old one lay, so the kept frame tells pictures
        // apart by number, not by address.
        ++m_pictureSerial;
        if (backgroundImage != nullptr) {
            if (const auto average = AverageColour(backgroundImage)) {
                backgroundColour = *average;
            }
            unsigned edges = 0;
            if (fillMode == kDrawNatural) {
                edges = kFadeRight | kFadeBottom;
                if (backgroundOffsetX != 0) {
                    edges |= kFadeLeft;
                }
                if (backgroundOffsetY != 0) {
                    edges |= kFadeTop;
                }
            } else if (fillMode == kDrawCentred) {
                edges = kFadeLeft | kFadeTop | kFadeRight | kFadeBottom;
            }
            Gdiplus::ImageType type{};
            if (edges != 0 && gp::GdipGetImageType(backgroundImage, &type) == Gdiplus::Ok &&
                type == Gdiplus::ImageTypeBitmap) {
                ApplyPixelEffects(static_cast<Gdiplus::GpBitmap*>(backgroundImage), edges);
            }
        }
    }
    if (colour != kKeepColour) {
        backgroundColour = static_cast<COLORREF>(colour);
    }

    // The frame is painted anew only when something it is painted from changed; otherwise the
    // back buffer starts again from the kept frame. A paint routine may draw anything at any
    // time, and a child window borrows its owner's background: their frames are never kept.
    const FrameInputs inputs = CurrentFrameInputs();
    const bool ownFrame =
        paintRoutine == 0 && HostFromHandle(GetControlFromWindow(parentWindow)) == nullptr;
    if (m_frameKept && ownFrame && inputs == m_frameInputs) {
        BitBlt(frameDc, 0, 0, m_sizeData.width, m_sizeData.height, backgroundDc, 0, 0, SRCCOPY);
    } else {
        m_frameKept = false;
        PaintFrameLayers(served, layeredAlpha == kNotLayered ? kOpaqueAlpha : layeredAlpha);
        if (!StillServes(served)) {
            return;
        }
        m_frameInputs = inputs;
        m_frameKept = ownFrame;
    }

    if (mode == kFrameOnly) {
        return;
    }
    SelectClipRgn(frameDc, innerRegion);
    LayoutCaption();
    ComposeChildren({0, 0, m_sizeData.width, m_sizeData.height}, mode == kFrameComposeRedraw);
    if (!StillServes(served)) {
        return;
    }
    SelectClipRgn(frameDc, nullptr);
    if (mode == kFrameComposePresent) {
        PresentWindow();
    }
}

bool HostWindow::FrameInputs::operator==(const FrameInputs& o) const {
    return size.width == o.size.width && size.height == o.size.height &&
           EqualRect(&body, &o.body) && theme == o.theme && shadowSection == o.shadowSection &&
           pictureSerial == o.pictureSerial && colour == o.colour &&
           layeredAlpha == o.layeredAlpha && fillMode == o.fillMode && grid == o.grid &&
           imageOffset.x == o.imageOffset.x && imageOffset.y == o.imageOffset.y &&
           cornerRadius == o.cornerRadius && borderFlag == o.borderFlag &&
           borderColours == o.borderColours;
}

HostWindow::FrameInputs HostWindow::CurrentFrameInputs() const {
    return {m_sizeData,
            m_bodyData,
            theme,
            ShadowSection(),
            m_pictureSerial,
            backgroundColour,
            layeredAlpha,
            fillMode,
            {m_gridData[0], m_gridData[1], m_gridData[2], m_gridData[3]},
            {backgroundOffsetX, backgroundOffsetY},
            cornerRadius,
            borderFlag,
            m_borderColours};
}

// The frame's layers into the back buffer, and a copy of it into the background canvas.
void HostWindow::PaintFrameLayers(HWND served, std::int32_t alpha) {
    gp::GdipGraphicsClear(frameGraphics, 0);
    if (innerRegionGdiplus != nullptr) {
        gp::GdipSetClipRegion(frameGraphics, innerRegionGdiplus, Gdiplus::CombineModeReplace);
    }
    gp::GdipGraphicsClear(frameGraphics, RgbToArgb(backgroundColour, alpha));

    if (backgroundImage != nullptr) {
        const int imageWidth = GetImageWidth(backgroundImage);
        const int imageHeight = GetImageHeight(backgroundImage);
        const Gdiplus::RectF destination =
            fillMode == kDrawNatural
                ? Gdiplus::RectF(static_cast<float>(backgroundOffsetX),
                                 static_cast<float>(backgroundOffsetY),
                                 static_cast<float>(imageWidth), static_cast<float>(imageHeight))
                : ToRectF(m_bodyData);
        const GridMargins margins{m_gridData[0], m_gridData[1], m_gridData[2], m_gridData[3]};
        DrawImageEx(frameGraphics, backgroundImage, destination,
                    Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(imageWidth),
                                   static_cast<float>(imageHeight)),
                    false, fillMode, &margins, alpha);
    }

    if (layeredAlpha != kNotLayered) {
        // The shadow lies outside the inner region: drawn over the whole window, clipped to
        // everything but the body.
        const char* section = ShadowSection();
        Gdiplus::RectF part;
        std::uint32_t imageId = 0;
        if (GetThemeRectF(theme, section, kThemeKeyShadowRect, &part, &imageId) &&
            GetThemeRectF(theme, section, kThemeKeyGrid, nullptr)) {
            gp::GdipSetClipRectI(frameGraphics, 0, 0, m_sizeData.width, m_sizeData.height,
                                 Gdiplus::CombineModeReplace);
            if (innerRegionGdiplus != nullptr) {
                gp::GdipSetClipRegion(frameGraphics, innerRegionGdiplus, Gdiplus::CombineModeXor);
            }
            GpImagePtr picture(
                reinterpret_cast<Gdiplus::GpImage*>(EngineThemeImage(theme, imageId)));
            DrawNineGrid(theme, section, frameGraphics, picture.get(), part,
                         Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(m_sizeData.width),
                                        static_cast<float>(m_sizeData.height)),
                         kThemeKeyGrid, kDrawNineGrid, kOpaqueAlpha);
            if (innerRegionGdiplus != nullptr) {
                gp::GdipSetClipRegion(frameGraphics, innerRegionGdiplus,
                                      Gdiplus::CombineModeReplace);
            }
        }
    }

    if (paintRoutine != 0) {
        const auto w = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(served));
        const std::uint32_t graphics = AddressOf(frameGraphics);
        const auto width = static_cast<std::uint32_t>(m_sizeData.width);
        const auto height = static_cast<std::uint32_t>(m_sizeData.height);
        if (paintUserValue != 0) {
            CallAddress(paintRoutine, {AddressOf(&paintUserValue), w, graphics, width, height});
        } else {
            CallAddress(paintRoutine, {w, graphics, width, height});
        }
        if (!StillServes(served)) {
            return;
        }
    }

    gp::GdipResetClip(frameGraphics);
    if (borderFlag != 0) {
        DrawBorders();
    }
    BitBlt(backgroundDc, 0, 0, m_sizeData.width, m_sizeData.height, frameDc, 0, 0, SRCCOPY);
}

void HostWindow::DrawBorders() {
    gp::GdipSetSmoothingMode(frameGraphics, Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::RectF rect = ToRectF(m_bodyData);
    for (COLORREF colour : m_borderColours) {
        const Gdiplus::ARGB argb = RgbToArgb(colour);
        if (cornerRadius != 0) {
            DrawRoundRectOutline(frameGraphics, rect, static_cast<float>(cornerRadius), argb);
        } else {
            Gdiplus::GpPen* pen = nullptr;
            if (gp::GdipCreatePen1(argb, kDefaultLineWidth, Gdiplus::UnitWorld, &pen) ==
                Gdiplus::Ok) {
                gp::GdipDrawRectangle(frameGraphics, pen, rect.X, rect.Y, rect.Width - 1.0f,
                                      rect.Height - 1.0f);
                gp::GdipDeletePen(pen);
            }
        }
        rect.Inflate(-1.0f, -1.0f);
    }
    gp::GdipSetSmoothingMode(frameGraphics, Gdiplus::SmoothingModeNone);
}

// ---- Composing the elements ---------------------------------------------------------------------

void HostWindow::ComposeChildren(const RECT& dirty, bool redraw) {
    const POINT origin = {m_shadowData.left, m_shadowData.top};
    RECT area = dirty;
    OffsetRect(&area, -origin.x, -origin.y);
    if (redraw) {
        // Every visible element in the area draws its current look again first.
        const HWND served = window;
        std::vector<ElementHandle> visible;
        const std::function<void(ElementHandle, const RECT&)> gather = [&](ElementHandle first,
                                                                           const RECT& within) {
            for (Element* e = ElementFromHandle(first); e != nullptr;
                 e = ElementFromHandle(e->m_nextSibling)) {
                const RECT bounds = {e->m_left, e->m_top, e->m_right, e->m_bottom};
                RECT part{};
                if (e->IsHidden() || !IntersectRect(&part, &within, &bounds)) {
                    continue;
                }
                visible.push_back(e->m_handle);
                OffsetRect(&part, -e->m_left, -e->m_top);
                gather(e->m_firstChild, part);
            }
        };
        gather(firstChild, area);
        for (ElementHandle handle : visible) {
            CallElementProc(handle, kMsgRedraw, 1, static_cast<LPARAM>(backgroundColour));
            if (!StillServes(served)) {
                return;
            }
        }
    }
    ComposeElementTree(this, frameDc, area, origin.x, origin.y, firstChild, 0);
}

// ---- The caption layout -------------------------------------------------------------------------

void HostWindow::LayoutCaption() {
    if (captionFlags == 0) {
        return;
    }
    std::int32_t x = BodyWidth() + m_captionOffsetData.right + 1;
    for (const std::unique_ptr<SysButton>& button : m_captionButtons) {
        if (!button->IsElementAlive()) {
            continue;  // a kind the theme has no size for was never created
        }
        button->MoveElement(x - button->m_width, m_captionOffsetData.top);
        x = button->m_left;
    }
    if (SysButton* maximise = CaptionButton(kSysButtonMax);
        maximise && maximise->IsElementAlive()) {
        CallElementProc(maximise->m_handle, kMsgRedraw, 0, 0);
    }
    // The icon takes its place first, so the title starts where the icon now ends.
    if (m_iconObject != nullptr && m_iconObject->IsElementAlive() &&
        (m_iconObject->m_left != iconOffset + 1 || m_iconObject->m_top != iconOffset)) {
        m_iconObject->MoveElement(iconOffset + 1, iconOffset);
    }
    if (m_titleObject != nullptr && m_titleObject->IsElementAlive()) {
        const std::int32_t left =
            m_iconObject != nullptr ? m_iconObject->m_left + m_iconObject->m_width : 0;
        m_titleObject->MoveElement(left, 1, std::max(x - left, 0), captionHeight);
    }
}

// ---- Presenting ---------------------------------------------------------------------------------

std::uint32_t HostWindow::PresentWindow() {
    if (window == nullptr) {
        return 0;
    }
    if (layeredAlpha == kNotLayered) {
        SetWindowRgn(window, CopyRegion(windowRegion), TRUE);
    } else if (blur == 1) {
        EngineSetWindowBlur(
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)),
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(windowRegion)),
            static_cast<std::uint32_t>(layeredAlpha));
    }
    presented = 1;
    if (layeredAlpha == kNotLayered) {
        InvalidateHostRect(this, {0, 0, m_sizeData.width, m_sizeData.height});
    } else {
        // An explicit present reaches the screen at once, with whatever else was pending.
        PushLayeredWindow(this, nullptr);
    }
    return 1;
}

}  // namespace toolkit
