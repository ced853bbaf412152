// Theme packages: loading, reference counting, the default and built-in themes, and lookups of
// texts, rectangles and pictures.
#include "Engine.h"

#include "Memory.h"
#include "ThemePackage.h"
#include "foundation/EngineAbi.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <unordered_map>

namespace engine {
namespace {

struct Theme {
    theme_format::Package package;
    Word32 references = 1;
};

std::unordered_map<Word32, std::unique_ptr<Theme>> g_themes;
std::unique_ptr<Theme> g_builtIn;
Word32 g_default = 0;

Theme* Find(Word32 handle) {
    auto it = g_themes.find(handle);
    return it == g_themes.end() ? nullptr : it->second.get();
}

// Handle 0 is the default theme, or the built-in one while there is no default. Any other
// handle is that theme alone.
const Theme* Resolve(Word32 handle) {
    if (handle != 0) {
        return Find(handle);
    }
    if (const Theme* theme = Find(g_default)) {
        return theme;
    }
    return g_builtIn.get();
}

std::string AtomText(Word32 atom) {
    char name[256];
    if (atom == 0 || atom > 0xFFFF) {
        return std::string();
    }
    UINT length = GetAtomNameA(static_cast<ATOM>(atom), name, sizeof name);
    return std::string(name, length);
}

}  // namespace

Word32 LoadBuiltInTheme(Word32 data) {
    // The built-in package comes without a length: its header tells it.
    g_builtIn.reset();
    if (!Readable(data, theme_format::kHeaderSize)) {
        return 0;
    }
    const std::uint8_t* bytes = Pointer<const std::uint8_t>(data);
    std::uint32_t size = theme_format::DeclaredSize(bytes, theme_format::kHeaderSize);
    if (size == 0 || !Readable(data, size)) {
        return 0;
    }
    auto theme = std::make_unique<Theme>();
    if (!theme->package.Parse(bytes, size)) {
        return 0;
    }
    g_builtIn = std::move(theme);
    return 1;
}

Word32 LoadTheme(Word32 data, Word32 length, Word32 password, Word32 passwordLength) {
    // Packages of this format are not encrypted, so the password is not needed.
    if (length == 0 || length > theme_format::kMaxPackageSize || !Readable(data, length)) {
        return 0;
    }
    auto theme = std::make_unique<Theme>();
    if (!theme->package.Parse(Pointer<const std::uint8_t>(data), length)) {
        return 0;
    }
    Word32 handle = NewHandle();
    g_themes[handle] = std::move(theme);
    return handle;
}

Word32 ReleaseTheme(Word32 handle) {
    Theme* theme = Find(handle);
    if (theme == nullptr) {
        return 0;
    }
    if (--theme->references == 0) {
        g_themes.erase(handle);
        if (g_default == handle) {
            g_default = 0;
        }
    }
    return 1;
}

Word32 AdoptTheme(Word32 handle) {
    Theme* theme = Find(handle);
    if (theme == nullptr) {
        return 0;
    }
    ++theme->references;
    return handle;
}

Word32 SetDefaultTheme(Word32 handle) {
    Theme* theme = Find(handle);
    if (theme == nullptr) {
        return 0;
    }
    ++theme->references;  // before the release, in case it already is the default
    Word32 previous = g_default;
    g_default = handle;
    if (previous != 0) {
        ReleaseTheme(previous);
    }
    return 1;
}

Word32 ThemeImage(Word32 handle, Word32 pictureId) {
    const Theme* theme = Resolve(handle);
    const std::vector<std::uint8_t>* picture =
        theme == nullptr ? nullptr : theme->package.Picture(pictureId);
    if (picture == nullptr || picture->empty()) {
        return 0;
    }
    return ImageFromPng(picture->data(), static_cast<std::uint32_t>(picture->size()));
}

Word32 ThemeText(Word32 handle, Word32 atom, Word32 lengthVariable) {
    const Theme* theme = Resolve(handle);
    std::string name = AtomText(atom);
    if (theme == nullptr || name.empty() || (lengthVariable != 0 && !Writable(lengthVariable, 4))) {
        return 0;
    }
    const theme_format::Value* value = theme->package.Find(name);
    if (value == nullptr) {
        return 0;
    }
    if (lengthVariable != 0) {
        StoreWord(lengthVariable, static_cast<Word32>(value->text.size()));
    }
    return Word(value->text.c_str());
}

Word32 ThemeRect(Word32 handle, Word32 atom, Word32 section, Word32 key, Word32 rect,
                 Word32 pictureId, bool floats) {
    const Theme* theme = Resolve(handle);
    if (theme == nullptr || !Writable(rect, engine_abi::kThemeRectWords * 4) ||
        (pictureId != 0 && !Writable(pictureId, 4))) {
        return 0;
    }
    std::string name;
    std::string sectionText, keyText;
    if (section != 0 && key != 0) {
        if (!ReadText(section, sectionText) || !ReadText(key, keyText)) {
            return 0;
        }
        name = theme_format::JoinName(sectionText, keyText);
    } else {
        // Without texts the atom names the value, with the rectangle suffix after it.
        name = AtomText(atom);
        const std::string suffix =
            floats ? engine_abi::kThemeRectFSuffix : engine_abi::kThemeRectSuffix;
        if (name.size() <= suffix.size() ||
            lstrcmpiA(name.c_str() + name.size() - suffix.size(), suffix.c_str()) != 0) {
            return 0;
        }
        name.resize(name.size() - suffix.size());
    }
    const theme_format::Value* value = theme->package.Find(name);
    if (value == nullptr || !value->isRect) {
        return 0;
    }
    for (Word32 i = 0; i < engine_abi::kThemeRectWords; ++i) {
        if (floats) {
            std::memcpy(Pointer<float>(rect) + i, &value->rect[i], sizeof(float));
        } else {
            Pointer<std::int32_t>(rect)[i] = static_cast<std::int32_t>(value->rect[i]);
        }
    }
    if (pictureId != 0) {
        StoreWord(pictureId, value->pictureId);
    }
    return 1;
}

}  // namespace engine
