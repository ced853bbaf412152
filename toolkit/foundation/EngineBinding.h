// The binding to the engine library exdui.dll: its module, the cached address of each export
// ordinal, and one wrapper per ordinal.
//
// The program calls the engine only through these wrappers. A missing library or export makes
// every call a no-op that returns 0; a wrapper whose export is missing keeps no address and
// looks again on its next call. The arguments are the 32-bit words of the engine contract
// (EngineAbi.h); handles are the engine's own values.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "foundation/CallAddress.h"
#include "foundation/EngineAbi.h"

namespace toolkit {

// The file name the start-up routines load the engine by; the program folder is searched first.
constexpr char kEngineLibraryName[] = "exdui.dll";

// One past the highest export ordinal.
constexpr std::uint32_t kEngineOrdinalLimit = 41;

struct EngineBinding {
    // The engine module: an HMODULE from LoadLibraryA, or the base of an image mapped from
    // memory when imageFlag is set.
    std::uintptr_t module = 0;
    bool imageFlag = false;
    // Cached export addresses indexed by ordinal; 0 until first resolved.
    std::array<std::uint32_t, kEngineOrdinalLimit> procs{};
    // The theme InitUiEngine loaded and made the default; 0 until then. It lives in the engine,
    // so it is forgotten with the module.
    std::uint32_t defaultTheme = 0;
};

EngineBinding& GetEngineBinding();

// Binds the engine module (InitUiEngine does this); the address cache starts empty. Binding
// the module already bound keeps the cache and the default theme.
void BindEngine(std::uintptr_t module, bool imageFlag);
// Forgets the module, every cached address and the default theme without freeing the library.
void UnbindEngine();
// Frees the bound engine library (FreeLibrary, or the memory loader for a mapped image) and
// forgets the module together with every cached address, so no wrapper can call into the
// unloaded code. Returns true when a library was freed.
bool FreeEngine();

// The export address of ordinal in the bound module, looked up now; 0 when missing.
std::uint32_t GetEngineProc(std::uint32_t ordinal);
// Calls ordinal through its cached address, resolving it first when the cache holds 0.
std::uint32_t CallEngine(std::uint32_t ordinal, std::initializer_list<CallArg> args);

// Ordinal 1, resolved on every call and never cached.
std::uint32_t CallEngineInit(const std::array<std::uint32_t, engine_abi::kInitValueCount>& values);

// One wrapper per ordinal (EngineAbi.h gives the arguments' meaning). Wrappers that report
// success return true when the engine's result is non-zero.
bool EngineRegisterClass(std::uint32_t prototype, std::uint32_t upperName, std::uint32_t typeId);
std::uint32_t EngineCreateByName(std::uint32_t upperName, std::uint32_t typeIdAddress);
bool EngineDestroyElement(std::uint32_t element);
bool EngineBindUserData(std::uint32_t objectCell, std::uint32_t value, std::uint32_t key);
bool EngineRestoreUserData(std::uint32_t objectCell, std::uint32_t key);
std::uint32_t EngineMakeWndProcThunk(std::uint32_t object, std::uint32_t target);
bool EngineDrawClearTypeText(std::uint32_t graphics, std::uint32_t text, std::int32_t x,
                             std::int32_t y, std::int32_t width, std::int32_t height,
                             std::uint32_t font, std::uint32_t argb, std::uint32_t format);
bool EngineCreateTextHost(std::uint32_t element, std::uint32_t textHostAddress,
                          std::uint32_t textServicesAddress);
bool EngineReleaseTextHost(std::uint32_t textHost, std::uint32_t textServices);
std::uint32_t EngineResourceRoutine(std::uint32_t routine);
std::uint32_t EngineCreateEventTable(std::uint32_t buckets);
bool EngineFreeEventTable(std::uint32_t table);
bool EngineStoreEvent(std::uint32_t table, std::uint32_t message, std::uint32_t entry);
std::uint32_t EngineLookupEvent(std::uint32_t table, std::uint32_t message);
std::uint32_t EngineLoadTheme(std::uint32_t data, std::uint32_t length, std::uint32_t password,
                              std::uint32_t passwordLength);
bool EngineReleaseTheme(std::uint32_t theme);
std::uint32_t EngineAdoptTheme(std::uint32_t theme);
bool EngineSetDefaultTheme(std::uint32_t theme);
std::uint32_t EngineThemeImage(std::uint32_t theme, std::uint32_t imageId);
std::uint32_t EngineThemeText(std::uint32_t theme, std::uint32_t atom,
                              std::uint32_t variableAddress);
bool EngineThemeRect(std::uint32_t theme, std::uint32_t atom, std::uint32_t section,
                     std::uint32_t key, std::uint32_t rectAddress, std::uint32_t imageIdAddress);
bool EngineThemeRectF(std::uint32_t theme, std::uint32_t atom, std::uint32_t section,
                      std::uint32_t key, std::uint32_t rectAddress, std::uint32_t imageIdAddress);
// The nine animation words follow the window and mode in the order the host window gives them.
std::uint32_t EngineAnimateWindow(std::uint32_t ownHandle, std::uint32_t mode,
                                  const std::array<std::uint32_t, 9>& words);
bool LoadEngineMapData(std::uint32_t data);
std::uint32_t EngineSetLayoutAttribute(std::uint32_t object, std::uint32_t name,
                                       std::uint32_t value, std::uint32_t flag);
bool EngineAddWindowStyle(std::uint32_t window, std::uint32_t bits, std::uint32_t extended);
bool EngineRemoveWindowStyle(std::uint32_t window, std::uint32_t bits, std::uint32_t extended);
bool EngineHasWindowStyle(std::uint32_t window, std::uint32_t bits, std::uint32_t extended);
bool EngineSetWindowBlur(std::uint32_t window, std::uint32_t region, std::uint32_t value);
std::uint32_t EngineImageFromFile(std::uint32_t fileName);
std::uint32_t EngineImageFromHandle(std::uint32_t source);

}  // namespace toolkit
