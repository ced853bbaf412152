#include "core/ThemePainter.h"

#include <cstdlib>
#include <string>

#include "core/ElementFields.h"
#include "foundation/CallAddress.h"
#include "foundation/Drawing.h"
#include "foundation/EngineAbi.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/ImageHelpers.h"

namespace toolkit {

namespace {

// Theme values are named by one atom: section, separator, key and, for rectangles, a suffix.
ATOM ThemeAtom(const char* section, const char* key, const char* suffix) {
    std::string name = section != nullptr ? section : "";
    name += engine_abi::kThemeKeySeparator;
    name += key != nullptr ? key : "";
    name += suffix;
    return GetOrAddAtom(name);
}

}  // namespace

bool GetThemeRect(std::uint32_t theme, const char* section, const char* key, ThemeRect* rect,
                  std::uint32_t* imageId) {
    ThemeRect found{};
    std::uint32_t id = engine_abi::kNoPicture;
    const ATOM atom = ThemeAtom(section, key, engine_abi::kThemeRectSuffix);
    if (atom == 0 || !EngineThemeRect(theme, atom, 0, 0, AddressOf(&found), AddressOf(&id))) {
        return false;
    }
    if (rect != nullptr) {
        *rect = found;
    }
    if (imageId != nullptr) {
        *imageId = id;
    }
    return true;
}

bool GetThemeRectF(std::uint32_t theme, const char* section, const char* key, Gdiplus::RectF* rect,
                   std::uint32_t* imageId) {
    float values[engine_abi::kThemeRectWords] = {};
    std::uint32_t id = engine_abi::kNoPicture;
    const ATOM atom = ThemeAtom(section, key, engine_abi::kThemeRectFSuffix);
    if (atom == 0 || !EngineThemeRectF(theme, atom, 0, 0, AddressOf(values), AddressOf(&id))) {
        return false;
    }
    if (rect != nullptr) {
        *rect = Gdiplus::RectF(values[0], values[1], values[2], values[3]);
    }
    if (imageId != nullptr) {
        *imageId = id;
    }
    return true;
}

const char* GetThemeText(std::uint32_t theme, const char* section, const char* key) {
    const ATOM atom = ThemeAtom(section, key, "");
    if (atom == 0) {
        return nullptr;
    }
    return reinterpret_cast<const char*>(EngineThemeText(theme, atom, 0));
}

std::int32_t GetThemeInteger(std::uint32_t theme, const char* section, const char* key) {
    const char* text = GetThemeText(theme, section, key);
    return text != nullptr ? static_cast<std::int32_t>(std::strtol(text, nullptr, 10)) : 0;
}

const char* ThemeStateName(std::uint32_t stateBits) {
    if ((stateBits & kStateHover) != 0) {
        return kThemeStateHighlight;
    }
    if ((stateBits & kStatePressed) != 0) {
        return kThemeStateDown;
    }
    if ((stateBits & kStateFocused) != 0) {
        return kThemeStateFocus;
    }
    return kThemeStateNormal;
}

bool DrawThemeStatePart(std::uint32_t theme, const char* section, Gdiplus::GpGraphics* graphics,
                        const Gdiplus::RectF& destination, std::uint32_t stateBits,
                        const char* gridKey, int fillMode, int alpha) {
    return DrawThemePart(theme, section, graphics, destination, ThemeStateName(stateBits), gridKey,
                         fillMode, alpha);
}

bool DrawThemePart(std::uint32_t theme, const char* section, Gdiplus::GpGraphics* graphics,
                   const Gdiplus::RectF& destination, const char* stateName, const char* gridKey,
                   int fillMode, int alpha) {
    if (fillMode == kThemeFillFromTheme) {
        fillMode = GetThemeInteger(theme, section, kThemeKeyFillType);
    }
    Gdiplus::RectF source;
    std::uint32_t imageId = engine_abi::kNoPicture;
    if (!GetThemeRectF(theme, section, stateName, &source, &imageId)) {
        return false;
    }
    // Each lookup makes a new bitmap from the theme's picture; it is ours to dispose.
    GpImagePtr image(reinterpret_cast<Gdiplus::GpImage*>(EngineThemeImage(theme, imageId)));
    DrawNineGrid(theme, section, graphics, image.get(), source, destination,
                 gridKey != nullptr ? gridKey : kThemeKeyGrid, fillMode, alpha);
    return true;
}

void DrawNineGrid(std::uint32_t theme, const char* section, Gdiplus::GpGraphics* graphics,
                  Gdiplus::GpImage* image, const Gdiplus::RectF& source,
                  const Gdiplus::RectF& destination, const char* gridKey, int fillMode, int alpha) {
    if (graphics == nullptr || image == nullptr) {
        return;
    }
    Gdiplus::RectF grid;
    if (GetThemeRectF(theme, section, gridKey, &grid)) {
        GpBitmapPtr part =
            CloneImageArea(image, static_cast<int>(source.X), static_cast<int>(source.Y),
                           static_cast<int>(source.Width), static_cast<int>(source.Height));
        const GridMargins margins{grid.X, grid.Y, grid.Width, grid.Height};
        DrawImageNineGrid(graphics, part.get(), destination, margins, alpha);
        return;
    }
    DrawImageEx(graphics, image, destination, source, true, fillMode, nullptr, alpha);
}

}  // namespace toolkit
