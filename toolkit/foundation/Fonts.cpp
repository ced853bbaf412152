#include "foundation/Fonts.h"

#include <cstring>

#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

// GdipGetFamilyName fills LF_FACESIZE characters.
constexpr std::size_t kFamilyNameChars = 32;

Gdiplus::GpFontFamily* FamilyFromWideName(const std::wstring& name) {
    Gdiplus::GpFontFamily* family = nullptr;
    if (name.empty() ||
        gp::GdipCreateFontFamilyFromName(name.c_str(), nullptr, &family) != Gdiplus::Ok) {
        return nullptr;
    }
    return family;
}

Gdiplus::GpFont* FontFromFamily(Gdiplus::GpFontFamily* family, float size, int style, int unit) {
    Gdiplus::GpFont* font = nullptr;
    if (family == nullptr ||
        gp::GdipCreateFont(family, size, style, static_cast<Gdiplus::Unit>(unit), &font) !=
            Gdiplus::Ok) {
        return nullptr;
    }
    return font;
}

// The generic family is not deleted: on Windows it is a shared object GDI+ keeps for itself.
Gdiplus::GpFont* FontFromGenericFamily(float size, int style, int unit) {
    Gdiplus::GpFontFamily* generic = nullptr;
    if (gp::GdipGetGenericFontFamilySansSerif(&generic) != Gdiplus::Ok) {
        return nullptr;
    }
    return FontFromFamily(generic, size, style, unit);
}

}  // namespace

Gdiplus::GpFontFamily* CreateFontFamilyByName(std::string_view name) {
    return FamilyFromWideName(ToWideString(name));
}

void DeleteFontFamily(Gdiplus::GpFontFamily* family) {
    if (family != nullptr) {
        gp::GdipDeleteFontFamily(family);
    }
}

Gdiplus::GpFont* CreateInstalledFont(std::string_view name, float size, int style, int unit) {
    Gdiplus::GpFontFamily* family = CreateFontFamilyByName(name);
    Gdiplus::GpFont* font = FontFromFamily(family, size, style, unit);
    DeleteFontFamily(family);
    return font;
}

Gdiplus::GpFont* CreateFontByName(std::string_view name, float size, int style, int unit) {
    if (Gdiplus::GpFont* font = CreateInstalledFont(name, size, style, unit)) {
        return font;
    }
    // A face the machine lacks must not leave the text undrawn: take the default font's family.
    if (Gdiplus::GpFont* defaultFont = Toolkit().defaultFont) {
        Gdiplus::GpFontFamily* family = nullptr;
        if (gp::GdipGetFamily(defaultFont, &family) == Gdiplus::Ok) {
            Gdiplus::GpFont* font = FontFromFamily(family, size, style, unit);
            DeleteFontFamily(family);
            if (font != nullptr) {
                return font;
            }
        }
    }
    return FontFromGenericFamily(size, style, unit);
}

Gdiplus::GpFont* CreateFontFromCandidates(std::initializer_list<std::wstring_view> candidates,
                                          float size, int style, int unit) {
    for (std::wstring_view candidate : candidates) {
        if (Gdiplus::GpFontFamily* family = FamilyFromWideName(std::wstring(candidate))) {
            Gdiplus::GpFont* font = FontFromFamily(family, size, style, unit);
            DeleteFontFamily(family);
            if (font != nullptr) {
                return font;
            }
        }
    }
    return FontFromGenericFamily(size, style, unit);
}

ByteArray GetFontFamilyNameWide(Gdiplus::GpFont* font) {
    if (font == nullptr) {
        return {};
    }
    Gdiplus::GpFontFamily* family = nullptr;
    if (gp::GdipGetFamily(font, &family) != Gdiplus::Ok) {
        return {};
    }
    WCHAR name[kFamilyNameChars + 1] = {};
    const bool named = gp::GdipGetFamilyName(family, name, 0) == Gdiplus::Ok;
    DeleteFontFamily(family);
    if (!named) {
        return {};
    }
    const std::size_t chars = wcsnlen(name, kFamilyNameChars);
    ByteArray bytes((chars + 1) * sizeof(WCHAR), 0);
    std::memcpy(bytes.data(), name, chars * sizeof(WCHAR));
    return bytes;
}

std::string GetFontFamilyName(Gdiplus::GpFont* font) {
    return WideToText(GetFontFamilyNameWide(font), kTextCodePage);
}

float GetFontSize(Gdiplus::GpFont* font) {
    Gdiplus::REAL size = 0;
    if (font != nullptr) {
        gp::GdipGetFontSize(font, &size);
    }
    return size;
}

int GetFontStyle(Gdiplus::GpFont* font) {
    INT style = 0;
    if (font != nullptr) {
        gp::GdipGetFontStyle(font, &style);
    }
    return style;
}

void DeleteFont(Gdiplus::GpFont*& font) {
    if (font != nullptr) {
        gp::GdipDeleteFont(font);
        font = nullptr;
    }
}

}  // namespace toolkit
