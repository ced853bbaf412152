#include "foundation/EngineInit.h"

#include <array>
#include <cstring>
#include <vector>

#include "foundation/CallAddress.h"
#include "foundation/EasingAnimation.h"
#include "foundation/EngineBinding.h"
#include "foundation/Fonts.h"
#include "foundation/Icons.h"
#include "foundation/MemoryImage.h"
#include "foundation/Toolkit.h"
#include "foundation/Win32Handles.h"

#if defined(VENNMARK_HAVE_BUILTIN_THEME)
#include "foundation/BuiltInTheme.h"
#endif

namespace toolkit {

using namespace engine_abi;

namespace {

constexpr char kAtomErrorPrefix[] = "AtomError:";
// Longest text taken from the engine; anything longer is cut here.
constexpr UINT_PTR kMaxEngineText = 0x10000;

EditMenuBuilder g_editMenuBuilder = nullptr;
// Cursors InitUiEngine made from bytes; the arrow is the system's and never destroyed.
CursorHandle g_loadedCursor;
CursorHandle g_loadedSecondCursor;

std::uint32_t BuiltInThemeData() {
#if defined(VENNMARK_HAVE_BUILTIN_THEME)
    return AddressOf(kBuiltInThemePackage);
#else
    return 0;
#endif
}

// A copy of a text the engine passed by address; null or unreadable gives the empty text.
std::string CopyEngineText(std::uint32_t address) {
    const char* text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(address));
    if (text == nullptr || IsBadStringPtrA(text, kMaxEngineText)) {
        return {};
    }
    return std::string(text, strnlen(text, kMaxEngineText));
}

// Upper-cases ASCII letters, stepping over GBK double-byte characters whole.
std::string UpperCaseName(std::string_view name) {
    std::string upper(name);
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(upper[i]);
        if (byte >= 0x80) {
            ++i;
        } else if (byte >= 'a' && byte <= 'z') {
            upper[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return upper;
}

double DoubleFromWords(std::uint32_t low, std::uint32_t high) {
    const std::uint64_t bits = (static_cast<std::uint64_t>(high) << 32) | low;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ReplaceDefaultTheme(const ByteArray& package, const ByteArray& password) {
    EngineBinding& binding = GetEngineBinding();
    if (binding.defaultTheme != 0) {
        EngineReleaseTheme(binding.defaultTheme);
        binding.defaultTheme = 0;
    }
    binding.defaultTheme = EngineLoadTheme(
        AddressOf(BytesData(package)), static_cast<std::uint32_t>(package.size()),
        AddressOf(BytesData(password)), static_cast<std::uint32_t>(password.size()));
    EngineSetDefaultTheme(binding.defaultTheme);
}

void ApplyFontOptions(const UiEngineOptions& options) {
    if (!options.fontName && !options.fontSize && !options.fontStyle) {
        return;
    }
    ToolkitGlobals& toolkit = Toolkit();
    const std::string name = options.fontName.value_or(GetFontFamilyName(toolkit.defaultFont));
    const int size = options.fontSize.value_or(static_cast<int>(GetFontSize(toolkit.defaultFont)));
    const int style = options.fontStyle.value_or(GetFontStyle(toolkit.defaultFont));
    // A family the machine lacks keeps the old default font: falling back to its family would
    // still replace its size and style with those meant for another face.
    Gdiplus::GpFont* font =
        CreateInstalledFont(name, static_cast<float>(size), style, kFontUnitWorld);
    if (font != nullptr) {
        DeleteFont(toolkit.defaultFont);
        toolkit.defaultFont = font;
    }
}

void ApplyCursorOptions(const UiEngineOptions& options) {
    ToolkitGlobals& toolkit = Toolkit();
    if (options.cursor) {
        if (auto* cursor =
                static_cast<HCURSOR>(LoadIconFromBytes(*options.cursor, kIconKindCursor))) {
            g_loadedCursor.reset(cursor);
            toolkit.normalCursor = cursor;
        }
    }
    HCURSOR second = nullptr;
    if (options.secondCursor) {
        second = static_cast<HCURSOR>(LoadIconFromBytes(*options.secondCursor, kIconKindCursor));
    }
    g_loadedSecondCursor.reset(second);
    toolkit.secondCursor = second != nullptr ? second : toolkit.normalCursor;
}

}  // namespace

void InitUiEngine(std::uintptr_t module, bool imageFlag, const ByteArray& themePackage,
                  const ByteArray& themePassword, const ByteArray& mapData,
                  const UiEngineOptions& options) {
    ToolkitGlobals& toolkit = Toolkit();
    BindEngine(module, imageFlag);

    std::array<std::uint32_t, kInitValueCount> values = {};
    values[kInitReserved] = 0;
    values[kInitRegisterClassRoutine] = AddressOf(&OnEngineRegisterClass);
    values[kInitBuiltInTheme] = BuiltInThemeData();
    values[kInitLoadImageRoutine] = AddressOf(&OnEngineLoadImage);
    values[kInitFreeImageRoutine] = AddressOf(&OnEngineFreeImage);
    values[kInitImageExportRoutine] = AddressOf(&OnEngineGetImageExport);
    values[kInitAnimateRoutine] = AddressOf(&OnEngineAnimate);
    values[kInitGetAtomRoutine] = AddressOf(&OnEngineGetAtom);
    values[kInitOsVersionAddress] = AddressOf(&toolkit.osVersion);
    values[kInitImageAttributes] = AddressOf(toolkit.imageAttributes);
    values[kInitDebugOutputRoutine] = AddressOf(&OnEngineDebugOutput);
    values[kInitProcessHeap] = AddressOf(toolkit.processHeap);
    CallEngineInit(values);

    // The engine reads the map data's length from the two words in front of it.
    const CountedBytes counted(mapData);
    LoadEngineMapData(AddressOf(counted.data()));

    RegisterControlClasses();
    ReplaceDefaultTheme(themePackage, themePassword);
    ApplyFontOptions(options);
    if (options.textRenderingHint) {
        toolkit.textRenderingHint = *options.textRenderingHint;
    }
    if (options.resourceRoutine) {
        EngineResourceRoutine(*options.resourceRoutine);
    }
    ApplyCursorOptions(options);
    if (g_editMenuBuilder != nullptr) {
        g_editMenuBuilder(kEditMenuItems, kEditMenuItemCount);
    }
}

bool RegisterControlClass(std::string_view name, std::uint32_t typeId, std::uint32_t prototype) {
    const std::string upper = UpperCaseName(name);
    return EngineRegisterClass(prototype, AddressOf(upper.c_str()), typeId);
}

std::size_t RegisterControlClasses(const ControlClassEntry* entries, std::size_t count) {
    struct Made {
        void* prototype;
        void (*release)(void*);
    };
    std::vector<Made> made;
    for (std::size_t i = 0; i < count; ++i) {
        const ControlClassEntry& entry = entries[i];
        if (entry.factory.create == nullptr || entry.factory.release == nullptr) {
            continue;
        }
        void* prototype = entry.factory.create();
        if (prototype == nullptr) {
            continue;
        }
        made.push_back({prototype, entry.factory.release});
        RegisterControlClass(entry.name, entry.typeId, AddressOf(prototype));
    }
    // The engine cloned every prototype while registering it.
    for (const Made& m : made) {
        m.release(m.prototype);
    }
    return made.size();
}

std::size_t RegisterControlClasses() {
    return RegisterControlClasses(kControlClasses, kControlClassCount);
}

ATOM GetOrAddAtom(std::string_view text) {
    const std::string name(text);
    ATOM atom = FindAtomA(name.c_str());
    if (atom == 0) {
        atom = AddAtomA(name.c_str());
    }
    if (atom == 0) {
        const std::string line = kAtomErrorPrefix + name + " " + std::to_string(GetLastError());
        OutputDebugStringA(line.c_str());
    }
    return atom;
}

std::uint32_t __stdcall OnEngineRegisterClass(std::uint32_t name, std::uint32_t typeId,
                                              std::uint32_t prototype) {
    return RegisterControlClass(CopyEngineText(name), typeId, prototype) ? 1 : 0;
}

std::uint32_t __stdcall OnEngineLoadImage(std::uint32_t imageData, std::uint32_t importResolver,
                                          std::uint32_t userValue) {
    return LoadImageFromMemory(imageData, importResolver, userValue);
}

std::uint32_t __stdcall OnEngineFreeImage(std::uint32_t module) {
    return FreeMemoryImage(module) ? 1 : 0;
}

std::uint32_t __stdcall OnEngineGetImageExport(std::uint32_t module, std::uint32_t ordinalOrName) {
    return GetImageExport(module, ordinalOrName);
}

std::uint32_t __stdcall OnEngineAnimate(std::uint32_t request, std::uint32_t type,
                                        std::uint32_t duration, std::uint32_t interval,
                                        std::uint32_t routine, std::uint32_t object,
                                        std::uint32_t user1, std::uint32_t user2,
                                        std::uint32_t startLow, std::uint32_t startHigh,
                                        std::uint32_t endLow, std::uint32_t endHigh) {
    return static_cast<std::uint32_t>(
        RunEasingAnimation(request, static_cast<int>(type), static_cast<int>(duration),
                           static_cast<int>(interval), routine, object, user1, user2,
                           DoubleFromWords(startLow, startHigh), DoubleFromWords(endLow, endHigh)));
}

std::uint32_t __stdcall OnEngineGetAtom(std::uint32_t text) {
    return GetOrAddAtom(CopyEngineText(text));
}

std::uint32_t __stdcall OnEngineDebugOutput(std::uint32_t text) {
    OutputDebugStringA(CopyEngineText(text).c_str());
    return 0;
}

void SetEditMenuBuilder(EditMenuBuilder builder) {
    g_editMenuBuilder = builder;
}

}  // namespace toolkit
