// The theme-part painter: values, rectangles and pictures looked up in a theme by section and
// key, and theme parts drawn into a canvas by state, stretched or as a nine-grid.
//
// The theme package is the engine's data; everything here only asks the engine for values.
// Theme 0 is the engine's default theme. Parts are drawn through the picture helpers, with the
// toolkit's shared image attributes for the alpha: the painter takes no attributes of its own,
// which those helpers would have nowhere to apply.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

namespace toolkit {

// Keys every theme part may carry. "gird" is spelled so on purpose: it is the key the themes
// hold the nine-grid margins under.
constexpr char kThemeKeyGrid[] = "gird";
constexpr char kThemeKeyFillType[] = "filltype";
constexpr char kThemeKeySize[] = "size";

// State names of a theme part.
constexpr char kThemeStateNormal[] = "normal";
constexpr char kThemeStateHighlight[] = "highlight";
constexpr char kThemeStateDown[] = "down";
constexpr char kThemeStateFocus[] = "focus";

// A fill mode argument that means "read the part's own filltype".
constexpr int kThemeFillFromTheme = -1;

// The four integers of a theme rectangle, in the order the theme lists them (x, y, width,
// height for parts and sizes; left, top, right, bottom for margins).
struct ThemeRect {
    std::int32_t v[4];
};

// The integer rectangle of (section, key) and its picture id; false when the theme lacks it.
bool GetThemeRect(std::uint32_t theme, const char* section, const char* key, ThemeRect* rect,
                  std::uint32_t* imageId = nullptr);
// The same rectangle as floats (X, Y, Width, Height hold the four values).
bool GetThemeRectF(std::uint32_t theme, const char* section, const char* key, Gdiplus::RectF* rect,
                   std::uint32_t* imageId = nullptr);
// The text of (section, key), owned by the theme; null when absent.
const char* GetThemeText(std::uint32_t theme, const char* section, const char* key);
// The text of (section, key) read as a decimal integer; 0 when absent.
std::int32_t GetThemeInteger(std::uint32_t theme, const char* section, const char* key);

// The state name for element state bits: hover before pressed before focused, else normal.
const char* ThemeStateName(std::uint32_t stateBits);

bool DrawThemeStatePart(std::uint32_t theme, const char* section, Gdiplus::GpGraphics* graphics,
                        const Gdiplus::RectF& destination, std::uint32_t stateBits,
                        const char* gridKey = kThemeKeyGrid, int fillMode = kThemeFillFromTheme,
                        int alpha = 255);
// True when the part of that state was found and drawn.
bool DrawThemePart(std::uint32_t theme, const char* section, Gdiplus::GpGraphics* graphics,
                   const Gdiplus::RectF& destination, const char* stateName,
                   const char* gridKey = kThemeKeyGrid, int fillMode = kThemeFillFromTheme,
                   int alpha = 255);
// Draws the source area of a theme picture: as a nine-grid when the section has margins under
// gridKey, else with the fill mode.
void DrawNineGrid(std::uint32_t theme, const char* section, Gdiplus::GpGraphics* graphics,
                  Gdiplus::GpImage* image, const Gdiplus::RectF& source,
                  const Gdiplus::RectF& destination, const char* gridKey, int fillMode, int alpha);

}  // namespace toolkit
