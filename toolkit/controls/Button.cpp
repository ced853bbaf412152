// Button: creation, the message handler, painting, the icon and caption layout, properties.
#include "controls/Button.h"

#include <cwchar>

#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/ThemePainter.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"
#include "foundation/Drawing.h"
#include "foundation/Fonts.h"
#include "foundation/ImageHelpers.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kOpaqueBlack = RgbToArgb(0);
constexpr std::int32_t kTransitionIntervalMs = 25;
constexpr std::uint32_t kHoverFrames = 8;
// Widening of the measured caption, so that its last glyph is not clipped.
constexpr float kCaptionAllowance = 2.0f;
// What an empty caption is measured as: one wide character of the caption font.
constexpr wchar_t kEmptyCaptionStandIn[] = L"\u6CC6";
// The theme rectangle whose values move the content inside the button's background.
constexpr char kThemeKeyMargin[] = "margin";

bool CaptionIsEmpty(const wchar_t* caption) {
    return caption == nullptr || caption[0] == L'\0';
}

Gdiplus::RectF Offset(const Gdiplus::RectF& rect, float dx, float dy) {
    return Gdiplus::RectF(rect.X + dx, rect.Y + dy, rect.Width, rect.Height);
}

}  // namespace

// ---- Layout -------------------------------------------------------------------------------------

void LayoutIconAndText(const Gdiplus::RectF& r, const IconLayout& in, const Gdiplus::SizeF& text,
                       Gdiplus::RectF* icon, Gdiplus::RectF* caption) {
    const float iw = in.iconWidth;
    const float ih = in.iconHeight;
    const float tw = text.Width;
    const float th = text.Height;
    const float ox = in.offsetX;
    const float oy = in.offsetY;
    const float s = in.spacing;
    const float iconMiddleY = r.Y + (r.Height - ih) / 2.0f + oy;
    const float captionMiddleY = r.Y + (r.Height - th) / 2.0f + oy;
    switch (in.placement) {
        case kIconLeftOfCaption:
            *icon = {r.X + (r.Width - (iw + s + tw)) / 2.0f + ox, iconMiddleY, iw, ih};
            *caption = {icon->X + iw + s, captionMiddleY - 1.0f, tw, th};
            break;
        case kIconRightOfCaption:
            *caption = {r.X + (r.Width - (iw + s + tw)) / 2.0f + ox, captionMiddleY, tw, th};
            *icon = {caption->X + tw + s, iconMiddleY, iw, ih};
            break;
        case kIconAboveCaption:
            *icon = {r.X + (r.Width - iw) / 2.0f + ox, r.Y + (r.Height - ih - s - th) / 2.0f + oy,
                     iw, ih};
            *caption = {r.X + (r.Width - tw) / 2.0f + ox, icon->Y + ih + s, tw, th};
            break;
        case kIconCentredOverCaption:
            *icon = {r.X + (r.Width - iw) / 2.0f + ox, iconMiddleY, iw, ih};
            *caption = {r.X + (r.Width - tw) / 2.0f + ox, captionMiddleY, tw, th};
            break;
        case kIconAtLeftEdge:
            *icon = {r.X + ox, iconMiddleY, iw, ih};
            *caption = {r.X + iw + s, captionMiddleY, r.Width - iw - s - ox, th};
            break;
        case kIconAfterCaption:
            *caption = {r.X + ox, captionMiddleY, r.Width - iw - s - ox, th};
            *icon = {r.X + caption->Width + s, iconMiddleY, iw, ih};
            break;
        case kIconAtTop:
            *icon = {r.X + (r.Width - iw) / 2.0f + ox, r.Y + oy, iw, ih};
            *caption = {r.X + (r.Width - tw) / 2.0f + ox, icon->Y + ih + s, tw, th};
            break;
        default:
            break;
    }
}

Gdiplus::SizeF MeasureButtonCaption(Gdiplus::GpGraphics* graphics, const wchar_t* caption,
                                    Gdiplus::GpFont* font, Gdiplus::GpStringFormat* format,
                                    const Gdiplus::RectF& work) {
    // The caption is measured by the same layout that draws it. Character ranges leave out the
    // space GDI+ keeps around a line, and a layout box narrower than that space drops the
    // characters that do not fit: a two-character caption showed its first character only.
    const wchar_t* text = CaptionIsEmpty(caption) ? kEmptyCaptionStandIn : caption;
    Gdiplus::RectF bounds;
    gp::GdipMeasureString(graphics, text, -1, font, &work, format, &bounds, nullptr, nullptr);
    return Gdiplus::SizeF(bounds.Width + kCaptionAllowance, bounds.Height);
}

// ---- Object slots -------------------------------------------------------------------------------

void Button::FreeMembers() {
    DeleteStringFormat(m_format);
    FreeWideText(m_caption);
    DisposeImage(m_icon);
}

void Button::CopyOwnedMembersTo(Button* copy) const {
    copy->m_caption = nullptr;
    if (m_caption != nullptr) {
        StoreWideText(copy->m_caption, WideTextToBytes(m_caption));
    }
    copy->m_format = nullptr;
    if (m_format != nullptr) {
        gp::GdipCloneStringFormat(m_format, &copy->m_format);
    }
    copy->m_icon = nullptr;
    if (m_icon != nullptr) {
        gp::GdipCloneImage(m_icon, &copy->m_icon);
    }
}

std::uint32_t Button::Clone() {
    Button* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        CopyOwnedMembersTo(copy);
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

void Button::AdjustFocusRect(ElementRectF* frame) {
    *frame = {m_content.X, m_content.Y, m_content.Width, m_content.Height};
}

// ---- Creation -----------------------------------------------------------------------------------

void Button::MakeStringFormat() {
    DeleteStringFormat(m_format);
    m_format = CreateCaptionFormat(kFormatSingleLine);
    SetStringFormatAlign(m_format, Gdiplus::StringAlignmentNear);
    SetStringFormatTrimming(m_format, Gdiplus::StringTrimmingNone);
    // Unlike a Label, a button hides the "&" and underlines its access key.
    gp::GdipSetStringFormatHotkeyPrefix(m_format, Gdiplus::HotkeyPrefixShow);
}

void Button::StoreCaption(const ByteArray& wide) {
    StoreWideText(m_caption, wide);
}

void Button::RegisterAccessKey() {
    RegisterCaptionMnemonic(m_handle, WideToAnsiText(m_caption).c_str());
}

ElementHandle Button::CreateButton(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                   std::int32_t width, std::int32_t height, const char* caption,
                                   std::optional<std::uint32_t> textColour,
                                   std::optional<const char*> fontName,
                                   std::optional<std::int32_t> fontSize,
                                   std::optional<std::int32_t> fontStyle, std::int32_t textEffect,
                                   std::uint32_t effectColour, std::optional<std::int32_t> style) {
    m_textColour = textColour.value_or(kOpaqueBlack);
    if (fontName || fontSize || fontStyle) {
        const std::string family = fontName && *fontName != nullptr && **fontName != '\0'
                                       ? std::string(*fontName)
                                       : GetFontFamilyName(Toolkit().defaultFont);
        Gdiplus::GpFont* font =
            CreateFontByName(family, fontSize ? static_cast<float>(*fontSize) : kDefaultFontSize,
                             fontStyle.value_or(kFontStyleRegular), kFontUnitWorld);
        if (font != nullptr) {
            SetElementFont(font);
        }
    }
    m_textEffect = textEffect;
    m_effectColour = effectColour;
    MakeStringFormat();
    m_visualState = kButtonNormal;
    StoreCaption(TextToWide(caption));

    ElementCreateOptions options;
    options.visible = style.value_or(1);
    options.transitionInterval = kTransitionIntervalMs;
    const ElementHandle handle =
        CreateElement(parent, x, y, width, height, kTypeButton, kClassButton, options);
    if (handle != 0) {
        RegisterAccessKey();
    }
    return handle;
}

// ---- Message handler ----------------------------------------------------------------------------

LRESULT Button::ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    if (const LRESULT hooked = PreHandlerHook(window, handle, message, wParam, lParam)) {
        return hooked;
    }
    switch (message) {
        case WM_DESTROY:
            FreeMembers();
            return 0;
        case WM_PAINT:
        case kMsgRedraw:
            PaintButton(window, handle);
            return 0;
        case kMsgCreatedFromLayout:
            MakeStringFormat();
            m_drawTabStop = 1;
            m_transitionInterval = kTransitionIntervalMs;
            m_textColour = kOpaqueBlack;
            m_visualState = kButtonNormal;
            return 0;
        case kMsgMouseEnter:
            m_transitionFrames = kHoverFrames;
            PaintButton(window, handle, kButtonHover);
            return 0;
        case WM_KILLFOCUS:
        case kMsgMouseLeave:
            m_transitionFrames = kHoverFrames;
            PaintButton(window, handle, kButtonNormal);
            return 0;
        case WM_LBUTTONDOWN:
            PaintButton(window, handle, kButtonPressed);
            return 0;
        case WM_LBUTTONUP:
            PaintButton(window, handle, kButtonHover);
            return 0;
        case kMsgTransitionEnd:
            m_transitionFrames = 0;
            return 0;
        case WM_SETTEXT: {
            if (reinterpret_cast<wchar_t*>(lParam) == m_caption) {
                return 1;
            }
            if (wParam != 0) {
                StoreCaption(TextToWide(reinterpret_cast<const char*>(lParam)));
            } else {
                StoreCaption(WideTextToBytes(reinterpret_cast<const wchar_t*>(lParam)));
            }
            RegisterAccessKey();
            PaintButton(window, handle);
            return 1;
        }
        default:
            return 0;
    }
}

// ---- Painting -----------------------------------------------------------------------------------

void Button::PaintButton(HWND, ElementHandle handle, std::optional<std::int32_t> state) {
    if (state) {
        m_visualState = *state;
    }
    const std::int32_t painted = m_visualState;
    DrawContext context{};
    BeginElementDraw(handle, &context);
    Gdiplus::RectF work(context.paint.x, context.paint.y, context.paint.width,
                        context.paint.height);

    ThemeRect margin{};
    if (BackgroundHook(&context, painted) == 0) {
        DrawThemeStatePart(context.theme, kClassButton, context.graphics, work,
                           static_cast<std::uint32_t>(painted));
        if (GetThemeRect(context.theme, kClassButton, kThemeKeyMargin, &margin)) {
            work.X += static_cast<float>(margin.v[0]);
            work.Y += static_cast<float>(margin.v[1]);
            work.Width += static_cast<float>(margin.v[2]);
            work.Height += static_cast<float>(margin.v[3]);
        }
    }
    m_content = Gdiplus::RectF(work.X, work.Y, work.Width - static_cast<float>(margin.v[0]),
                               work.Height - static_cast<float>(margin.v[1]));

    IconLayout layout;
    if (m_icon != nullptr) {
        layout.iconWidth = static_cast<float>(GetImageWidth(m_icon));
        layout.iconHeight = static_cast<float>(GetImageHeight(m_icon));
    }
    layout.placement = m_iconPlacement;
    layout.offsetX = static_cast<float>(m_iconOffsetX);
    layout.offsetY = static_cast<float>(m_iconOffsetY);
    layout.spacing = static_cast<float>(m_iconSpacing);
    const Gdiplus::SizeF captionSize =
        MeasureButtonCaption(context.graphics, m_caption, m_font, m_format, work);
    Gdiplus::RectF iconRect;
    Gdiplus::RectF captionRect;
    LayoutIconAndText(work, layout, captionSize, &iconRect, &captionRect);
    if (painted == kButtonPressed) {
        iconRect = Offset(iconRect, 1.0f, 1.0f);
        captionRect = Offset(captionRect, 1.0f, 1.0f);
    }
    LayoutHook(handle, &context, painted, &captionRect, &iconRect);

    // A layout hook that takes the icon's room away (width 0) means no icon.
    if (m_icon != nullptr && iconRect.Width > 0.0f) {
        DrawImageScaled(context.graphics, m_icon, iconRect, true);
    }
    if (!CaptionIsEmpty(m_caption)) {
        gp::GdipSetClipRect(context.graphics, captionRect.X, captionRect.Y, captionRect.Width,
                            captionRect.Height, Gdiplus::CombineModeIntersect);
        std::uint32_t drawColour = m_textColour;
        if (TextHook(&context, painted, &captionRect, m_caption, &drawColour, m_font, m_format,
                     m_textColour, m_effectColour) == 0) {
            DrawTextWithEffect(context.graphics, captionRect, m_caption, m_font, drawColour,
                               m_format, m_textEffect, m_effectColour);
        }
        gp::GdipResetClip(context.graphics);
    }
    EndElementDraw(handle, &context);
}

// ---- Hooks (no effect in a plain button) --------------------------------------------------------

LRESULT Button::PreHandlerHook(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

std::int32_t Button::BackgroundHook(DrawContext*, std::int32_t) {
    return 0;
}

std::int32_t Button::TextHook(DrawContext*, std::int32_t, Gdiplus::RectF*, const wchar_t*,
                              std::uint32_t*, Gdiplus::GpFont*, Gdiplus::GpStringFormat*,
                              std::uint32_t, std::uint32_t) {
    return 0;
}

void Button::LayoutHook(ElementHandle, DrawContext*, std::int32_t, Gdiplus::RectF*,
                        Gdiplus::RectF*) {}

// ---- Properties ---------------------------------------------------------------------------------

std::string Button::ButtonTitle(std::optional<const char*> text) {
    if (text) {
        ButtonTitleW(TextToWide(*text));
    }
    return WideToAnsiText(m_caption);
}

ByteArray Button::ButtonTitleW(std::optional<ByteArray> text) {
    if (text) {
        StoreCaption(*text);
        RegisterAccessKey();
        InvalidateElement();
    }
    return WideTextToBytes(m_caption);
}

std::uint32_t Button::ButtonTextColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_textColour, argb);
    return m_textColour;
}

std::int32_t Button::ButtonTextEffect(std::optional<std::int32_t> effect) {
    SetAndInvalidate(m_textEffect, effect);
    return m_textEffect;
}

std::uint32_t Button::ButtonEffectColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_effectColour, argb);
    return m_effectColour;
}

Gdiplus::GpStringFormat* Button::ButtonStringFormat(
    std::optional<Gdiplus::GpStringFormat*> format) {
    if (format && *format != m_format) {
        DeleteStringFormat(m_format);
        m_format = *format;
        InvalidateElement();
    }
    return m_format;
}

ByteArray Button::ButtonIcon(std::optional<ByteArray> bytes) {
    if (bytes) {
        DisposeImage(m_icon);
        m_icon = LoadImageFromBytes(*bytes).release();
        InvalidateElement();
    }
    return m_icon != nullptr ? EncodeImageToBytes(m_icon, kPngFormat) : ByteArray();
}

std::int32_t Button::ButtonIconPlacement(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_iconPlacement, value);
    return m_iconPlacement;
}

std::int32_t Button::ButtonIconOffsetX(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_iconOffsetX, value);
    return m_iconOffsetX;
}

std::int32_t Button::ButtonIconOffsetY(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_iconOffsetY, value);
    return m_iconOffsetY;
}

std::int32_t Button::ButtonIconSpacing(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_iconSpacing, value);
    return m_iconSpacing;
}

}  // namespace toolkit
