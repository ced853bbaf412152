// Label: creation, properties, the class handler and the paint routine.
#include "controls/Label.h"

#include <new>

#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "foundation/CallAddress.h"
#include "foundation/ControlClasses.h"
#include "foundation/Fonts.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;
constexpr Gdiplus::ARGB kAlphaMask = 0xFF000000;
constexpr float kTextInset = kLabelTextInset;

// Captions with characters beyond ASCII sit one pixel lower: the CJK faces draw their glyphs
// higher in the line than Latin ones.
bool HasWideCharacters(const wchar_t* text) {
    constexpr unsigned kAsciiLimit = 128;
    for (; *text != L'\0'; ++text) {
        const auto code = static_cast<unsigned>(*text);
        if ((code & 0xFF) > kAsciiLimit || (code >> 8) > kAsciiLimit) {
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void Label::FreeMembers() {
    FreeWideText(m_caption);
    DeleteStringFormat(m_format);
}

std::uint32_t Label::Clone() {
    Label* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    // The copy owns its own caption and format.
    copy->m_caption = nullptr;
    StoreWideText(copy->m_caption, WideTextToBytes(m_caption));
    copy->m_format = nullptr;
    if (m_format != nullptr) {
        gp::GdipCloneStringFormat(m_format, &copy->m_format);
    }
    return AddressOf(copy);
}

// ---- Creation -----------------------------------------------------------------------------------

ElementHandle Label::CreateLabel(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                 std::int32_t width, std::int32_t height, const char* caption,
                                 const LabelCreateOptions& options) {
    if (IsElementAlive()) {
        return m_handle;
    }
    m_textColour = options.textColour.value_or(kOpaqueBlack);
    m_gradientMode = options.gradientMode.value_or(kNoGradient);
    m_gradientColour1 = options.gradientColour1;
    m_gradientColour2 = options.gradientColour2;
    m_wordWrap = options.wordWrap ? 1 : 0;
    m_autoTextColour = options.autoTextColour ? 1 : 0;
    m_textEffect = options.textEffect;
    m_effectColour = options.effectColour;
    m_frameStyle = options.frameStyle;
    if (options.fontName || options.fontSize || options.fontStyle) {
        const std::string family =
            options.fontName ? *options.fontName : GetFontFamilyName(Toolkit().defaultFont);
        if (Gdiplus::GpFont* font =
                CreateFontByName(family, options.fontSize.value_or(kDefaultFontSize),
                                 options.fontStyle.value_or(kFontStyleRegular), kFontUnitWorld)) {
            SetElementFont(font);
        }
    }
    DeleteStringFormat(m_format);
    m_format = CreateCaptionFormat(kFormatSingleLine);
    SetStringFormatAlign(m_format, options.align);
    SetStringFormatTrimming(m_format, options.trimming);
    if (options.wordWrap) {
        SetStringFormatFlags(m_format, kFormatWrapped);
    }
    m_verticalAlign = kLabelAlignMiddle;
    StoreWideText(m_caption, TextToWide(caption));

    ElementCreateOptions element;
    element.visible = options.elementStyle.value_or(1);
    const ElementHandle handle =
        CreateElement(parent, x, y, width, height, kTypeLabel, kClassLabel, element);
    if (handle == 0) {
        FreeMembers();
    }
    return handle;
}

void Label::ResetForLayout() {
    DeleteStringFormat(m_format);
    m_format = CreateCaptionFormat(kFormatSingleLine);
    m_textColour = kOpaqueBlack;
    m_gradientMode = kNoGradient;
    ElementFocusable(false);
    ElementTabStop(false);
    ElementMouseTrack(false);
}

// ---- Properties ---------------------------------------------------------------------------------

template <typename T>
T Label::Property(T& field, std::optional<T> value) {
    if (value && *value != field) {
        field = *value;
        InvalidateElement();
    }
    return field;
}

std::string Label::LabelTitle(std::optional<const char*> text) {
    if (text) {
        LabelTitleW(TextToWide(*text));
    }
    return WideToAnsiText(m_caption);
}

ByteArray Label::LabelTitleW(std::optional<ByteArray> bytes) {
    if (bytes) {
        StoreWideText(m_caption, *bytes);
        InvalidateElement();
    }
    return WideTextToBytes(m_caption);
}

Gdiplus::ARGB Label::LabelTextColor(std::optional<Gdiplus::ARGB> value) {
    return Property(m_textColour, value);
}

Gdiplus::ARGB Label::LabelEffectColor(std::optional<Gdiplus::ARGB> value) {
    return Property(m_effectColour, value);
}

Gdiplus::ARGB Label::LabelGradientColor1(std::optional<Gdiplus::ARGB> value) {
    return Property(m_gradientColour1, value);
}

Gdiplus::ARGB Label::LabelGradientColor2(std::optional<Gdiplus::ARGB> value) {
    return Property(m_gradientColour2, value);
}

std::int32_t Label::LabelGradientMode(std::optional<std::int32_t> value) {
    return Property(m_gradientMode, value);
}

std::int32_t Label::LabelAlign(std::optional<std::int32_t> value) {
    if (value && *value != GetStringFormatAlign(m_format)) {
        SetStringFormatAlign(m_format, *value);
        InvalidateElement();
    }
    return GetStringFormatAlign(m_format);
}

std::int32_t Label::LabelVerticalAlign(std::optional<std::int32_t> value) {
    return Property(m_verticalAlign, value);
}

bool Label::LabelWordWrap(std::optional<bool> value) {
    if (value) {
        SetStringFormatFlags(m_format, *value ? kFormatWrappedNoFallback : kFormatSingleLine);
        m_wordWrap = *value ? 1 : 0;
        InvalidateElement();
    }
    return m_wordWrap != 0;
}

std::int32_t Label::LabelTextEffect(std::optional<std::int32_t> value) {
    return Property(m_textEffect, value);
}

std::int32_t Label::LabelFrameStyle(std::optional<std::int32_t> value) {
    return Property(m_frameStyle, value);
}

bool Label::LabelAutoTextColor(std::optional<bool> value) {
    std::optional<std::uint32_t> word;
    if (value) {
        word = *value ? 1u : 0u;
    }
    return Property(m_autoTextColour, word) != 0;
}

std::int32_t Label::LabelTrimming(std::optional<std::int32_t> value) {
    if (value && *value != GetStringFormatTrimming(m_format)) {
        SetStringFormatTrimming(m_format, *value);
        InvalidateElement();
    }
    return GetStringFormatTrimming(m_format);
}

std::int32_t Label::LabelFormatFlags(std::optional<std::int32_t> value) {
    if (value && *value != GetStringFormatFlags(m_format)) {
        SetStringFormatFlags(m_format, *value);
        InvalidateElement();
    }
    return GetStringFormatFlags(m_format);
}

Gdiplus::GpStringFormat* Label::LabelStringFormat(std::optional<Gdiplus::GpStringFormat*> value) {
    if (value && *value != m_format) {
        DeleteStringFormat(m_format);
        m_format = *value;
        InvalidateElement();
    }
    return m_format;
}

void Label::NoOperation92() {}

void Label::OnTextRect(Gdiplus::RectF*) {}

LRESULT Label::PreHandleMessage(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT Label::ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    if (const LRESULT result = PreHandleMessage(window, handle, message, wParam, lParam)) {
        return result;
    }
    switch (message) {
        case kMsgCreatedFromLayout:
            ResetForLayout();
            return 0;
        case WM_DESTROY:
            FreeMembers();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETTEXT:
            return OnSetText(wParam, lParam);
        default:
            return 0;
    }
}

LRESULT Label::OnSetText(WPARAM wParam, LPARAM lParam) {
    constexpr LRESULT kDone = 1;
    if (lParam == reinterpret_cast<LPARAM>(m_caption)) {
        return kDone;
    }
    // wParam says whether lParam is GBK text or another stored wide text.
    const ByteArray bytes = wParam != 0 ? TextToWide(reinterpret_cast<const char*>(lParam))
                                        : WideTextToBytes(reinterpret_cast<const wchar_t*>(lParam));
    StoreWideText(m_caption, bytes);
    const ElementHandle handle = m_handle;
    RegisterCaptionMnemonic(handle, WideToAnsiText(m_caption).c_str());
    // The host window answered from its own procedure; the label may be gone since.
    if (m_alive != 0 && m_self == this && m_handle == handle) {
        Paint();
    }
    return kDone;
}

// ---- Paint --------------------------------------------------------------------------------------

void Label::Paint() {
    DrawContext context{};
    if (BeginElementDraw(m_handle, &context) == 0) {
        return;
    }
    Gdiplus::GpGraphics* graphics = context.graphics;
    // The caption, frame and gradient are laid out over the whole label; a partial redraw only
    // narrows the clip, so the parts drawn line up with the rest.
    const Gdiplus::RectF client(context.client.x, context.client.y, context.client.width,
                                context.client.height);
    if (m_frameStyle != kFrameNone) {
        DrawFrameRect(graphics, context.client, m_frameStyle);
    }
    if (m_gradientMode != kNoGradient) {
        FillGradientRect(graphics, client, m_gradientColour1, m_gradientColour2, m_gradientMode);
    }
    if (graphics != nullptr && m_caption != nullptr && m_caption[0] != L'\0') {
        const Gdiplus::RectF text(client.X + kTextInset, client.Y + kTextInset,
                                  client.Width - 2 * kTextInset, client.Height - 2 * kTextInset);
        gp::GdipSetClipRect(graphics, text.X, text.Y, text.Width, text.Height,
                            Gdiplus::CombineModeIntersect);
        const Gdiplus::ARGB colour =
            m_autoTextColour != 0 ? (m_textColour & kAlphaMask) : m_textColour;

        Gdiplus::RectF layout = text;
        if (m_wordWrap != 0) {
            // A wrapped caption runs from the top; the clip cuts the line that does not fit.
            Gdiplus::REAL fontHeight = 0;
            gp::GdipGetFontHeight(m_font, graphics, &fontHeight);
            layout.Height += fontHeight;
        } else {
            Gdiplus::RectF measured;
            gp::GdipMeasureString(graphics, m_caption, -1, m_font, &text, m_format, &measured,
                                  nullptr, nullptr);
            switch (m_verticalAlign) {
                case kLabelAlignTop:
                    layout.Y = text.Y + kTextInset;
                    break;
                case kLabelAlignBottom:
                    layout.Y = text.Y + text.Height - measured.Height - kTextInset;
                    break;
                default:
                    layout.Y = text.Y + (text.Height - measured.Height) / 2;
                    break;
            }
            layout.Height = measured.Height;
            if (HasWideCharacters(m_caption)) {
                layout.Y += 1;
            }
        }
        OnTextRect(&layout);
        DrawTextWithEffect(graphics, layout, m_caption, m_font, colour, m_format, m_textEffect,
                           m_effectColour);
        gp::GdipResetClip(graphics);
    }
    EndElementDraw(m_handle, &context);
}

}  // namespace toolkit
