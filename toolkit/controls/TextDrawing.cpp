#include "controls/TextDrawing.h"

#include <cstring>

#include "core/Element.h"
#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"
#include "foundation/Drawing.h"
#include "foundation/EngineBinding.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

// ---- Stored wide text ---------------------------------------------------------------------------

namespace {

std::uint8_t* BlockOf(wchar_t* text) {
    return reinterpret_cast<std::uint8_t*>(text) - kWideTextHeaderBytes;
}

}  // namespace

bool StoreWideText(wchar_t*& field, const ByteArray& bytes) {
    FreeWideText(field);
    if (bytes.empty()) {
        return true;
    }
    // One spare NUL character keeps the text terminated even when the bytes lack their own.
    const std::size_t blockSize = kWideTextHeaderBytes + bytes.size() + sizeof(wchar_t);
    auto* block =
        static_cast<std::uint8_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, blockSize));
    if (block == nullptr) {
        return false;
    }
    const std::int32_t header[2] = {kWideTextMarker, static_cast<std::int32_t>(bytes.size())};
    std::memcpy(block, header, sizeof(header));
    std::memcpy(block + kWideTextHeaderBytes, bytes.data(), bytes.size());
    field = reinterpret_cast<wchar_t*>(block + kWideTextHeaderBytes);
    return true;
}

void FreeWideText(wchar_t*& field) {
    if (field != nullptr) {
        HeapFree(GetProcessHeap(), 0, BlockOf(field));
        field = nullptr;
    }
}

ByteArray WideTextToBytes(const wchar_t* text) {
    if (text == nullptr) {
        return {};
    }
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    const std::uint32_t length = ReadInt32Checked(address - sizeof(std::int32_t));
    // The length comes from memory the caller handed over: the bytes must be readable before
    // anything is allocated for them.
    if (length == 0 || IsBadReadPtr(text, length)) {
        return {};
    }
    ByteArray bytes(length);
    if (CopyMemoryChecked(reinterpret_cast<std::uintptr_t>(bytes.data()), address, length) !=
        length) {
        return {};
    }
    return bytes;
}

std::string WideToAnsiText(const wchar_t* text, std::optional<unsigned> codePage) {
    if (text == nullptr) {
        return {};
    }
    return FromWideString(text, codePage.value_or(kTextCodePage));
}

// ---- String formats -----------------------------------------------------------------------------

Gdiplus::GpStringFormat* CreateCaptionFormat(std::int32_t flags) {
    constexpr LANGID kNeutralLanguage = 0;
    Gdiplus::GpStringFormat* format = nullptr;
    if (gp::GdipCreateStringFormat(flags, kNeutralLanguage, &format) != Gdiplus::Ok) {
        return nullptr;
    }
    gp::GdipSetStringFormatHotkeyPrefix(format, Gdiplus::HotkeyPrefixNone);
    return format;
}

void DeleteStringFormat(Gdiplus::GpStringFormat*& format) {
    if (format != nullptr) {
        gp::GdipDeleteStringFormat(format);
        format = nullptr;
    }
}

bool SetStringFormatAlign(Gdiplus::GpStringFormat* format, std::int32_t align) {
    return format != nullptr &&
           gp::GdipSetStringFormatAlign(format, static_cast<Gdiplus::StringAlignment>(align)) ==
               Gdiplus::Ok;
}

std::int32_t GetStringFormatAlign(Gdiplus::GpStringFormat* format) {
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
    if (format != nullptr) {
        gp::GdipGetStringFormatAlign(format, &align);
    }
    return align;
}

bool SetStringFormatTrimming(Gdiplus::GpStringFormat* format, std::int32_t trimming) {
    return format != nullptr &&
           gp::GdipSetStringFormatTrimming(
               format, static_cast<Gdiplus::StringTrimming>(trimming)) == Gdiplus::Ok;
}

std::int32_t GetStringFormatTrimming(Gdiplus::GpStringFormat* format) {
    Gdiplus::StringTrimming trimming = Gdiplus::StringTrimmingNone;
    if (format != nullptr) {
        gp::GdipGetStringFormatTrimming(format, &trimming);
    }
    return trimming;
}

bool SetStringFormatFlags(Gdiplus::GpStringFormat* format, std::int32_t flags) {
    return format != nullptr && gp::GdipSetStringFormatFlags(format, flags) == Gdiplus::Ok;
}

std::int32_t GetStringFormatFlags(Gdiplus::GpStringFormat* format) {
    INT flags = 0;
    if (format != nullptr) {
        gp::GdipGetStringFormatFlags(format, &flags);
    }
    return flags;
}

// ---- Drawing ------------------------------------------------------------------------------------

bool IsDarkColor(Gdiplus::ARGB colour) {
    constexpr double kLightLuminance = 192.0;
    constexpr double kEpsilon = 1e-7;
    constexpr std::uint32_t kVisibleAlpha = 128;
    const double red = (colour >> 16) & 0xFF;
    const double green = (colour >> 8) & 0xFF;
    const double blue = colour & 0xFF;
    const double luminance = 0.299 * red + 0.587 * green + 0.114 * blue;
    return luminance - kLightLuminance < -kEpsilon && (colour >> 24) > kVisibleAlpha;
}

void DrawTextHalo(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect, const wchar_t* text,
                  Gdiplus::GpFont* font, Gdiplus::GpStringFormat* format, Gdiplus::ARGB colour,
                  float divisor) {
    // The ring is drawn 4 pixels in from the bitmap's corner, one pixel off in each direction,
    // and the bitmap is 7 pixels larger than the text so that the ring fits.
    constexpr int kMargin = 4;
    constexpr int kGrowth = 7;
    constexpr float kOffsets[][2] = {{5, 4}, {3, 4}, {4, 3}, {4, 5}, {4, 4}};
    if (graphics == nullptr || text == nullptr || font == nullptr || divisor <= 0.0f) {
        return;
    }
    const int ringWidth = static_cast<int>(rect.Width) + kGrowth;
    const int ringHeight = static_cast<int>(rect.Height) + kGrowth;
    if (ringWidth <= kGrowth || ringHeight <= kGrowth) {
        return;
    }
    GpBitmapPtr ring = CreateBitmap(ringWidth, ringHeight);
    GpGraphicsPtr ringGraphics = GetImageGraphics(ring.get());
    GpSolidFillPtr brush = CreateSolidBrush(colour);
    if (!ringGraphics || !brush) {
        return;
    }
    gp::GdipSetSmoothingMode(ringGraphics.get(), Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetTextRenderingHint(ringGraphics.get(), Gdiplus::TextRenderingHintAntiAliasGridFit);
    for (const auto& offset : kOffsets) {
        const Gdiplus::RectF layout(offset[0], offset[1], rect.Width, rect.Height);
        gp::GdipDrawString(ringGraphics.get(), text, -1, font, &layout, format, brush.get());
    }

    const int smallWidth = static_cast<int>(ringWidth / divisor);
    const int smallHeight = static_cast<int>(ringHeight / divisor);
    if (smallWidth <= 0 || smallHeight <= 0) {
        return;
    }
    GpBitmapPtr shrunk = CreateBitmap(smallWidth, smallHeight);
    GpGraphicsPtr shrunkGraphics = GetImageGraphics(shrunk.get());
    if (!shrunkGraphics) {
        return;
    }
    gp::GdipSetSmoothingMode(shrunkGraphics.get(), Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetCompositingQuality(shrunkGraphics.get(), Gdiplus::CompositingQualityGammaCorrected);
    gp::GdipSetInterpolationMode(shrunkGraphics.get(),
                                 Gdiplus::InterpolationModeHighQualityBilinear);
    gp::GdipDrawImageRectI(shrunkGraphics.get(), ring.get(), 0, 0, smallWidth, smallHeight);
    gp::GdipDrawImageRect(graphics, shrunk.get(), rect.X - kMargin, rect.Y - kMargin,
                          rect.Width + kGrowth, rect.Height + kGrowth);
}

void DrawTextWithEffect(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect,
                        const wchar_t* text, Gdiplus::GpFont* font, Gdiplus::ARGB colour,
                        Gdiplus::GpStringFormat* format, std::int32_t effect,
                        Gdiplus::ARGB effectColour) {
    constexpr float kHaloDivisor = 3.0f;
    constexpr float kOutlineDivisor = 1.0f;
    if (graphics == nullptr || text == nullptr || font == nullptr) {
        return;
    }
    if (effectColour == kAutomaticEffectColour) {
        effectColour = IsDarkColor(colour) ? kHaloOverDarkText : kHaloOverLightText;
    }
    if (effect == kTextEffectHalo) {
        DrawTextHalo(graphics, rect, text, font, format, effectColour, kHaloDivisor);
    } else if (effect == kTextEffectOutline) {
        DrawTextHalo(graphics, rect, text, font, format, effectColour, kOutlineDivisor);
    }

    Gdiplus::TextRenderingHint hint = Gdiplus::TextRenderingHintSystemDefault;
    gp::GdipGetTextRenderingHint(graphics, &hint);
    if (hint == Gdiplus::TextRenderingHintClearTypeGridFit) {
        EngineDrawClearTypeText(AddressOf(graphics), AddressOf(text), static_cast<int>(rect.X),
                                static_cast<int>(rect.Y), static_cast<int>(rect.Width),
                                static_cast<int>(rect.Height), AddressOf(font), colour,
                                AddressOf(format));
        return;
    }
    // A fully opaque colour never reaches GdipDrawString: it is drawn at alpha 254.
    constexpr Gdiplus::ARGB kAlphaMask = 0xFF000000;
    constexpr Gdiplus::ARGB kAlmostOpaque = 0xFE000000;
    if ((colour & kAlphaMask) == kAlphaMask) {
        colour = (colour & ~kAlphaMask) | kAlmostOpaque;
    }
    GpSolidFillPtr brush = CreateSolidBrush(colour);
    if (brush) {
        gp::GdipDrawString(graphics, text, -1, font, &rect, format, brush.get());
    }
}

bool FillGradientRect(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect,
                      Gdiplus::ARGB colour1, Gdiplus::ARGB colour2, std::int32_t mode) {
    if (graphics == nullptr || rect.Width <= 0 || rect.Height <= 0) {
        return false;
    }
    GpLineGradientPtr brush;
    if (gp::GdipCreateLineBrushFromRect(&rect, colour1, colour2,
                                        static_cast<Gdiplus::LinearGradientMode>(mode),
                                        Gdiplus::WrapModeTileFlipXY, brush.put()) != Gdiplus::Ok) {
        return false;
    }
    return gp::GdipFillRectangle(graphics, brush.get(), rect.X, rect.Y, rect.Width, rect.Height) ==
           Gdiplus::Ok;
}

// ---- Access keys --------------------------------------------------------------------------------

std::uint32_t CaptionMnemonic(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const char* mark = std::strchr(text, '&');
    if (mark == nullptr) {
        return 0;
    }
    return static_cast<unsigned char>(mark[1]);
}

bool RegisterCaptionMnemonic(ElementHandle element, const char* text) {
    const auto window = reinterpret_cast<HWND>(ReadElementField(element, kFieldHostWindow));
    if (window == nullptr) {
        return false;
    }
    constexpr LRESULT kAccepted = 1;
    return SendMessageW(window, kMsgAccessKey, element, CaptionMnemonic(text)) == kAccepted;
}

}  // namespace toolkit
