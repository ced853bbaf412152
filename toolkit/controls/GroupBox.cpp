// GroupBox: creation, caption measuring and the frame painting.
#include "controls/GroupBox.h"

#include "controls/Button.h"
#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"
#include "foundation/Drawing.h"
#include "foundation/Fonts.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kDefaultTextColour = RgbToArgb(0, 240);
constexpr std::uint32_t kDefaultLineColour = RgbToArgb(0, 81);
constexpr std::int32_t kDefaultFrameWidth = 1;
// The caption keeps this far from the frame's left and right ends.
constexpr float kCaptionIndent = 8.0f;
// Room between the frame line's gap and the caption's glyphs.
constexpr float kCaptionPadding = 2.0f;

}  // namespace

float GroupBoxCaptionX(std::int32_t align, float frameWidth, float captionWidth) {
    switch (align) {
        case kCaptionLeft:
            return kCaptionIndent;
        case kCaptionCentre:
            return (frameWidth - captionWidth) / 2.0f;
        default:
            return frameWidth - captionWidth - kCaptionIndent;
    }
}

void GroupBox::FreeMembers() {
    FreeWideText(m_caption);
    DeleteStringFormat(m_format);
}

std::uint32_t GroupBox::Clone() {
    GroupBox* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    copy->m_caption = nullptr;
    if (m_caption != nullptr) {
        StoreWideText(copy->m_caption, WideTextToBytes(m_caption));
    }
    copy->m_format = nullptr;
    if (m_format != nullptr) {
        gp::GdipCloneStringFormat(m_format, &copy->m_format);
    }
    return reinterpret_cast<std::uint32_t>(copy);
}

void GroupBox::MakeStringFormat() {
    DeleteStringFormat(m_format);
    m_format = CreateCaptionFormat(kFormatSingleLine);
    SetStringFormatAlign(m_format, Gdiplus::StringAlignmentNear);
    SetStringFormatTrimming(m_format, Gdiplus::StringTrimmingEllipsisCharacter);
    gp::GdipSetStringFormatLineAlign(m_format, Gdiplus::StringAlignmentNear);
}

ElementHandle GroupBox::CreateGroupBox(
    std::uint32_t parent, std::int32_t left, std::int32_t top, std::int32_t width,
    std::int32_t height, const char* caption, std::optional<const char*> fontName,
    std::optional<std::int32_t> fontSize, std::optional<std::int32_t> fontStyle,
    std::optional<std::uint32_t> textColour, std::int32_t textEffect,
    std::uint32_t textEffectColour, std::int32_t captionAlign, std::uint32_t backColour,
    std::optional<std::uint32_t> lineColour, std::optional<std::int32_t> lineWidth,
    std::int32_t radius, std::optional<std::int32_t> style) {
    StoreWideText(m_caption, TextToWide(caption));
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
    m_textColour = textColour.value_or(kDefaultTextColour);
    MakeStringFormat();
    m_textEffect = textEffect;
    m_textEffectColour = textEffectColour;
    m_captionAlign = captionAlign;
    m_backColour = backColour;
    m_lineColour = lineColour.value_or(kDefaultLineColour);
    m_lineWidth = lineWidth.value_or(kDefaultFrameWidth);
    m_radius = radius;

    ElementCreateOptions options;
    options.visible = style.value_or(1);
    options.focusable = 0;
    return CreateElement(parent, left, top, width, height, kTypeGroupBox, kClassGroupBox, options);
}

LRESULT GroupBox::ClassMessageHandler(HWND, ElementHandle, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            // As a Label takes it: a code-page text, or another stored wide text.
            CaptionW(wParam != kSetTextWide
                         ? TextToWide(reinterpret_cast<const char*>(lParam))
                         : WideTextToBytes(reinterpret_cast<const wchar_t*>(lParam)));
            return 1;
        case WM_CREATE:
        case WM_SIZE:
        case WM_SETFONT:
            MeasureCaption();
            break;
        case WM_PAINT:
            PaintGroupBox();
            break;
        case WM_DESTROY:
            FreeMembers();
            break;
        case kMsgCreatedFromLayout:
            MakeStringFormat();
            m_textColour = kDefaultTextColour;
            m_lineColour = kDefaultLineColour;
            m_lineWidth = kDefaultFrameWidth;
            m_state &= ~kStateFocusable;
            m_tabStop = 0;
            m_drawTabStop = 0;
            m_mouseTrack = 0;
            break;
        default:
            break;
    }
    return 0;
}

void GroupBox::MeasureCaption() {
    if (m_canvasGraphics == nullptr || m_caption == nullptr) {
        m_captionWidth = 0.0f;
        m_captionHeight = 0.0f;
        return;
    }
    float fontHeight = 0.0f;
    gp::GdipGetFontHeight(m_font, m_canvasGraphics, &fontHeight);
    const Gdiplus::RectF layout(kCaptionIndent, 0.0f,
                                static_cast<float>(m_width) - 2.0f * kCaptionIndent, fontHeight);
    Gdiplus::RectF bounds;
    gp::GdipMeasureString(m_canvasGraphics, m_caption, -1, m_font, &layout, m_format, &bounds,
                          nullptr, nullptr);
    m_captionWidth = bounds.Width;
    m_captionHeight = bounds.Height;
}

void GroupBox::PaintGroupBox() {
    DrawContext context{};
    BeginElementDraw(m_handle, &context);
    Gdiplus::GpGraphics* graphics = context.graphics;
    const float halfCaption = static_cast<float>(static_cast<std::int32_t>(m_captionHeight / 2.0f));
    const Gdiplus::RectF frame(0.0f, halfCaption, static_cast<float>(m_width),
                               static_cast<float>(m_height) - halfCaption);
    Gdiplus::RectF caption(GroupBoxCaptionX(m_captionAlign, frame.Width, m_captionWidth), 0.0f,
                           m_captionWidth, m_captionHeight);

    gp::GdipSetClipRect(graphics, frame.X, frame.Y, frame.Width, frame.Height,
                        Gdiplus::CombineModeReplace);
    GpPathPtr path;
    if (m_radius != 0) {
        path = CreateRoundRectPath(frame, static_cast<float>(m_radius));
    }
    if (m_backColour != 0) {
        if (path) {
            GpSolidFillPtr brush = CreateSolidBrush(m_backColour);
            gp::GdipFillPath(graphics, brush.get(), path.get());
        } else {
            FillRect(graphics, frame, m_backColour);
        }
    }
    gp::GdipSetClipRect(graphics, caption.X, caption.Y, caption.Width, caption.Height,
                        Gdiplus::CombineModeExclude);
    if (m_lineColour != 0) {
        GpPenPtr pen;
        gp::GdipCreatePen1(m_lineColour, static_cast<float>(m_lineWidth), Gdiplus::UnitWorld,
                           pen.put());
        if (path) {
            gp::GdipDrawPath(graphics, pen.get(), path.get());
        } else {
            // One pixel in from the right and bottom, or the clip would cut those sides away.
            gp::GdipDrawRectangle(graphics, pen.get(), frame.X, frame.Y, frame.Width - 1.0f,
                                  frame.Height - 1.0f);
        }
    }
    path.reset();
    gp::GdipResetClip(graphics);

    if (m_caption != nullptr && m_caption[0] != L'\0') {
        caption.X += kCaptionPadding;
        caption.Width += kCaptionPadding;
        DrawTextWithEffect(graphics, caption, m_caption, m_font, m_textColour, m_format,
                           m_textEffect, m_textEffectColour);
    }
    EndElementDraw(m_handle, &context);
}

std::string GroupBox::Caption(std::optional<const char*> text) {
    if (text) {
        CaptionW(TextToWide(*text));
    }
    return WideToAnsiText(m_caption);
}

ByteArray GroupBox::CaptionW(std::optional<ByteArray> text) {
    if (text) {
        StoreWideText(m_caption, *text);
        MeasureCaption();
        InvalidateElement();
    }
    return WideTextToBytes(m_caption);
}

std::uint32_t GroupBox::TextColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_textColour, argb);
    return m_textColour;
}

std::uint32_t GroupBox::TextEffectColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_textEffectColour, argb);
    return m_textEffectColour;
}

std::uint32_t GroupBox::BackColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_backColour, argb);
    return m_backColour;
}

std::int32_t GroupBox::CaptionAlign(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_captionAlign, value);
    return m_captionAlign;
}

std::int32_t GroupBox::TextEffect(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_textEffect, value);
    return m_textEffect;
}

std::uint32_t GroupBox::LineColor(std::optional<std::uint32_t> argb) {
    SetAndInvalidate(m_lineColour, argb);
    return m_lineColour;
}

std::int32_t GroupBox::LineWidth(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_lineWidth, value);
    return m_lineWidth;
}

std::int32_t GroupBox::Radius(std::optional<std::int32_t> value) {
    SetAndInvalidate(m_radius, value);
    return m_radius;
}

}  // namespace toolkit
