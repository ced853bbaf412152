// Caption text shared by every control: the stored wide text that caption fields hold, the
// string-format wrappers, DrawTextWithEffect with its halo and outline effects, gradient fills
// and the registration of a caption's access key with the host window.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/ElementFields.h"
#include "foundation/CheckedMemory.h"
#include "foundation/TextCodec.h"

namespace toolkit {

// ---- Stored wide text ---------------------------------------------------------------------------
//
// A caption field holds the address of UTF-16 bytes (terminator included) inside a process-heap
// block that starts with the int32 1 and the int32 byte length; the bytes follow at offset 8.

constexpr std::size_t kWideTextHeaderBytes = 8;
constexpr std::int32_t kWideTextMarker = 1;

// Frees the old block of the field and stores a copy of the bytes; empty bytes leave the field
// null. Returns false when the heap refused the block (the field is then null).
bool StoreWideText(wchar_t*& field, const ByteArray& bytes);
// Frees the block of the field, when any, and clears the field.
void FreeWideText(wchar_t*& field);
// A copy of the stored bytes, read through the header; empty for a null or unreadable pointer.
ByteArray WideTextToBytes(const wchar_t* text);
// The text of UTF-16 characters up to their NUL, in code page 936 unless another is given.
std::string WideToAnsiText(const wchar_t* text, std::optional<unsigned> codePage = std::nullopt);

// ---- String formats -----------------------------------------------------------------------------

// GDI+ string-format flags the controls combine.
enum StringFormatFlag : std::int32_t {
    kFormatMeasureTrailingSpaces = 0x800,
    kFormatNoWrap = 0x1000,
    kFormatLineLimit = 0x2000,
    kFormatNoClip = 0x4000,
    kFormatNoFontFallback = 0x400,
};
// A caption on one line, and a wrapped caption as controls create it and as a word-wrap setter
// replaces it (which also turns font fallback off).
constexpr std::int32_t kFormatSingleLine = kFormatNoWrap;
constexpr std::int32_t kFormatWrapped =
    kFormatLineLimit | kFormatNoClip | kFormatMeasureTrailingSpaces;
constexpr std::int32_t kFormatWrappedNoFallback = kFormatWrapped | kFormatNoFontFallback;

// A new string format with the flags and language 0, the "&" drawn like any other character;
// null when GDI+ fails. The caller owns it (DeleteStringFormat).
Gdiplus::GpStringFormat* CreateCaptionFormat(std::int32_t flags);
void DeleteStringFormat(Gdiplus::GpStringFormat*& format);
// Each setter returns true when GDI+ answered Ok; getters give 0 without a format.
bool SetStringFormatAlign(Gdiplus::GpStringFormat* format, std::int32_t align);
std::int32_t GetStringFormatAlign(Gdiplus::GpStringFormat* format);
bool SetStringFormatTrimming(Gdiplus::GpStringFormat* format, std::int32_t trimming);
std::int32_t GetStringFormatTrimming(Gdiplus::GpStringFormat* format);
bool SetStringFormatFlags(Gdiplus::GpStringFormat* format, std::int32_t flags);
std::int32_t GetStringFormatFlags(Gdiplus::GpStringFormat* format);

// ---- Drawing ------------------------------------------------------------------------------------

// Effects drawn around a caption.
enum TextEffect : std::int32_t {
    kTextEffectNone = 0,
    kTextEffectHalo = 3,     // a soft glow
    kTextEffectOutline = 4,  // a one-pixel ring
};

// The effect colour 0 asks DrawTextWithEffect to choose one against the text colour.
constexpr Gdiplus::ARGB kAutomaticEffectColour = 0;
constexpr Gdiplus::ARGB kHaloOverDarkText = 0x55FFFFFF;   // white, alpha 85
constexpr Gdiplus::ARGB kHaloOverLightText = 0x4B000000;  // black, alpha 75

// Dark means a luminance (0.299 R + 0.587 G + 0.114 B) below 192 at an alpha above 128.
bool IsDarkColor(Gdiplus::ARGB colour);

// Draws the text in the rectangle with the font, colour (ARGB) and format (null: GDI+'s
// default), and first the effect in the effect colour. A graphics whose text-rendering hint is
// ClearType grid fit draws the text through the engine instead of GDI+.
void DrawTextWithEffect(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect,
                        const wchar_t* text, Gdiplus::GpFont* font, Gdiplus::ARGB colour,
                        Gdiplus::GpStringFormat* format, std::int32_t effect,
                        Gdiplus::ARGB effectColour = kAutomaticEffectColour);

// The text drawn five times around its place into a bitmap, shrunk by the divisor and stretched
// back over the rectangle: divisor 3 blurs the ring into a halo, 1 leaves a sharp outline.
void DrawTextHalo(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect, const wchar_t* text,
                  Gdiplus::GpFont* font, Gdiplus::GpStringFormat* format, Gdiplus::ARGB colour,
                  float divisor);

// GDI+ linear gradient modes, and the value controls store for no gradient.
constexpr std::int32_t kNoGradient = -1;

// Fills the rectangle with a linear gradient from colour1 to colour2 (ARGB) in the mode
// (0 horizontal, 1 vertical, 2 forward diagonal, 3 backward diagonal), tiled and flipped.
bool FillGradientRect(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect,
                      Gdiplus::ARGB colour1, Gdiplus::ARGB colour2, std::int32_t mode);

// ---- Access keys --------------------------------------------------------------------------------

// Tells the element's host window (message kMsgAccessKey) the access key of a caption: the
// character after its first "&", or 0 when it has none, which removes the element's key. True
// when the window answered 1; false without a host window.
bool RegisterCaptionMnemonic(ElementHandle element, const char* text);
// The access key of a GBK caption as RegisterCaptionMnemonic sends it.
std::uint32_t CaptionMnemonic(const char* text);

}  // namespace toolkit
