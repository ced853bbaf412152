// The about view: a toggle of the menu's last item that hides every control of the window and
// paints a picture and a text over the whole window instead; and the walk over the window's
// elements that the toggle uses.
#include <windows.h>

#include "app/Preview.h"
#include "app/PreviewTexts.h"
#include "controls/TextDrawing.h"
#include "core/HostRecord.h"
#include "foundation/Colour.h"
#include "foundation/Drawing.h"
#include "foundation/Fonts.h"
#include "foundation/ImageHelpers.h"
#include "foundation/TextCodec.h"

using namespace preview_app;

namespace {

constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;
constexpr int kAboutSideMargins = 2 * static_cast<int>(kAboutPictureLeft);
constexpr std::int32_t kAboutTextAlignCentre = 1;

// The built-in picture, from the program's resources.
toolkit::GpImagePtr LoadAboutPicture() {
    const HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kAboutPictureResource), RT_RCDATA);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    toolkit::GpImagePtr picture = toolkit::LoadImageFromBytes(
        static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found));
    if (!picture) {
        return {};
    }
    // Only the rows above the line stay; the text is drawn below them.
    const int width = toolkit::GetImageWidth(picture.get());
    const int height = toolkit::GetImageHeight(picture.get());
    if (height > kAboutPictureKeptRows) {
        toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(picture.get());
        toolkit::FillRect(graphics.get(),
                          Gdiplus::RectF(0.0f, static_cast<float>(kAboutPictureKeptRows),
                                         static_cast<float>(width),
                                         static_cast<float>(height - kAboutPictureKeptRows)),
                          kOpaqueBlack);
    }
    return picture;
}

}  // namespace

toolkit::ElementHandle NextSiblingElement(HWND window, toolkit::ElementHandle parent,
                                          toolkit::ElementHandle start, std::int32_t classTypeId) {
    toolkit::ElementHandle next = 0;
    if (start != 0) {
        next = toolkit::ReadElementField(start, toolkit::kFieldNextSibling);
    } else if (parent != 0) {
        next = toolkit::ReadElementField(parent, toolkit::kFieldFirstChild);
    } else if (toolkit::HostWindow* host = toolkit::HostWindowFromWindow(window)) {
        next = host->firstChild;
    }
    while (next != 0 && classTypeId != 0 &&
           static_cast<std::int32_t>(toolkit::ReadElementField(next, toolkit::kFieldClassTypeId)) !=
               classTypeId) {
        next = toolkit::ReadElementField(next, toolkit::kFieldNextSibling);
    }
    return next;
}

void PreviewAboutCommand() {
    Preview& p = ThePreview();
    const std::int32_t state =
        p.PreviewMenu.PopupMenuItemState(kAboutMenuItem) == kMenuItemChecked ? 0 : kMenuItemChecked;
    p.PreviewMenu.PopupMenuItemState(kAboutMenuItem, state);
    p.about = state == kMenuItemChecked;

    // The window's controls follow the caption's menu button among the window's elements.
    toolkit::ElementHandle element = p.PreviewWindow.GetCaptionPart(kMenuButtonKind);
    while ((element = NextSiblingElement(p.window, 0, element, 0)) != 0) {
        if (toolkit::Element* object = toolkit::ElementFromHandle(element)) {
            object->ElementVisible(!p.about);
        }
    }
    p.PreviewWindow.RepaintWindow();
}

void __stdcall PreviewPaintAboutView(HWND, Gdiplus::GpGraphics* graphics, std::int32_t width,
                                     std::int32_t) {
    Preview& p = ThePreview();
    if (!p.about || graphics == nullptr) {
        return;
    }
    if (!p.aboutPicture) {
        p.aboutPicture = LoadAboutPicture();
    }
    toolkit::ClearGraphics(graphics, kOpaqueBlack);
    float scale = 1.0f;
    if (p.aboutPicture) {
        const int pictureWidth = toolkit::GetImageWidth(p.aboutPicture.get());
        const int pictureHeight = toolkit::GetImageHeight(p.aboutPicture.get());
        if (pictureWidth > 0) {
            scale =
                static_cast<float>(width - kAboutSideMargins) / static_cast<float>(pictureWidth);
        }
        toolkit::DrawImageAlpha(graphics, p.aboutPicture.get(),
                                Gdiplus::RectF(kAboutPictureLeft, kAboutPictureTop,
                                               static_cast<float>(width - kAboutSideMargins),
                                               static_cast<float>(pictureHeight) * scale));
    }
    toolkit::GpFontPtr font(toolkit::CreateFontByName(
        kAboutFont, kAboutFontSize, Gdiplus::FontStyleRegular, toolkit::kFontUnitPixel));
    toolkit::GpStringFormatPtr format(toolkit::CreateCaptionFormat(toolkit::kFormatWrapped));
    if (!font || !format) {
        return;
    }
    toolkit::SetStringFormatAlign(format.get(), kAboutTextAlignCentre);
    const std::wstring text = toolkit::ToWideString(kAboutText);
    const float top = kAboutPictureTop + static_cast<float>(kAboutPictureKeptRows) * scale;
    toolkit::DrawTextWithEffect(
        graphics, Gdiplus::RectF(0.0f, top, static_cast<float>(width), kAboutTextHeight),
        text.c_str(), font.get(), toolkit::RgbToArgb(kAboutTextRgb), format.get(),
        toolkit::kTextEffectOutline, toolkit::RgbToArgb(kAboutEffectRgb, kAboutEffectAlpha));
}
