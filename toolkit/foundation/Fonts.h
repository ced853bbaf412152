// GDI+ fonts made and queried by family name. Names are GBK texts.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/CheckedMemory.h"

namespace toolkit {

// GDI+ font units and styles as callers pass them.
constexpr int kFontUnitWorld = 0;
constexpr int kFontUnitPixel = 2;
constexpr int kFontStyleRegular = 0;

// The family of that name installed on the machine, or null.
Gdiplus::GpFontFamily* CreateFontFamilyByName(std::string_view name);
void DeleteFontFamily(Gdiplus::GpFontFamily* family);

// A new font of the named family. When the machine lacks the family the font takes the family
// of the toolkit's default font instead (a new font, never the shared one), or a generic family
// when there is no default font yet, so text is still drawn. Null only when GDI+ fails.
Gdiplus::GpFont* CreateFontByName(std::string_view name, float size, int style, int unit);

// A new font of the named family; null when the machine lacks the family or GDI+ fails.
Gdiplus::GpFont* CreateInstalledFont(std::string_view name, float size, int style, int unit);

// A new font of the first installed family among the candidates, else of the generic
// sans-serif family; null when GDI+ fails.
Gdiplus::GpFont* CreateFontFromCandidates(std::initializer_list<std::wstring_view> candidates,
                                          float size, int style, int unit);

// The font's family name as UTF-16 bytes with the NUL (at most 32 characters), and as text.
ByteArray GetFontFamilyNameWide(Gdiplus::GpFont* font);
std::string GetFontFamilyName(Gdiplus::GpFont* font);
float GetFontSize(Gdiplus::GpFont* font);
int GetFontStyle(Gdiplus::GpFont* font);
// Deletes the font held by the variable, when any, and clears the variable.
void DeleteFont(Gdiplus::GpFont*& font);

}  // namespace toolkit
