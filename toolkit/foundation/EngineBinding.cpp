#include "foundation/EngineBinding.h"

#include <windows.h>

#include "foundation/MemoryImage.h"

namespace toolkit {

using namespace engine_abi;

namespace {

EngineBinding g_binding;

}  // namespace

EngineBinding& GetEngineBinding() {
    return g_binding;
}

void BindEngine(std::uintptr_t module, bool imageFlag) {
    if (module == g_binding.module && imageFlag == g_binding.imageFlag) {
        return;
    }
    g_binding = EngineBinding();
    g_binding.module = module;
    g_binding.imageFlag = imageFlag;
}

void UnbindEngine() {
    g_binding = EngineBinding();
}

bool FreeEngine() {
    bool freed = false;
    if (g_binding.module != 0) {
        freed = g_binding.imageFlag
                    ? FreeMemoryImage(g_binding.module)
                    : FreeLibrary(reinterpret_cast<HMODULE>(g_binding.module)) != FALSE;
    }
    UnbindEngine();
    return freed;
}

std::uint32_t GetEngineProc(std::uint32_t ordinal) {
    if (g_binding.module == 0) {
        return 0;
    }
    if (g_binding.imageFlag) {
        return GetImageExport(g_binding.module, ordinal);
    }
    return AddressOf(
        GetProcAddress(reinterpret_cast<HMODULE>(g_binding.module), MAKEINTRESOURCEA(ordinal)));
}

std::uint32_t CallEngine(std::uint32_t ordinal, std::initializer_list<CallArg> args) {
    if (ordinal >= kEngineOrdinalLimit) {
        return 0;
    }
    std::uint32_t& cached = g_binding.procs[ordinal];
    if (cached == 0) {
        cached = GetEngineProc(ordinal);
    }
    return CallAddress(cached, args);
}

std::uint32_t CallEngineInit(const std::array<std::uint32_t, kInitValueCount>& values) {
    const auto& v = values;
    return CallAddress(GetEngineProc(kOrdInit),
                       {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]});
}

bool EngineRegisterClass(std::uint32_t prototype, std::uint32_t upperName, std::uint32_t typeId) {
    return CallEngine(kOrdRegisterClass, {prototype, upperName, typeId}) != 0;
}

std::uint32_t EngineCreateByName(std::uint32_t upperName, std::uint32_t typeIdAddress) {
    return CallEngine(kOrdCreateByName, {upperName, typeIdAddress});
}

bool EngineDestroyElement(std::uint32_t element) {
    return CallEngine(kOrdDestroyElement, {element}) != 0;
}

bool EngineBindUserData(std::uint32_t objectCell, std::uint32_t value, std::uint32_t key) {
    return CallEngine(kOrdBindUserData, {objectCell, value, key}) != 0;
}

bool EngineRestoreUserData(std::uint32_t objectCell, std::uint32_t key) {
    return CallEngine(kOrdRestoreUserData, {objectCell, key}) != 0;
}

std::uint32_t EngineMakeWndProcThunk(std::uint32_t object, std::uint32_t target) {
    return CallEngine(kOrdMakeWndProcThunk, {object, target});
}

bool EngineDrawClearTypeText(std::uint32_t graphics, std::uint32_t text, std::int32_t x,
                             std::int32_t y, std::int32_t width, std::int32_t height,
                             std::uint32_t font, std::uint32_t argb, std::uint32_t format) {
    return CallEngine(kOrdDrawClearTypeText,
                      {graphics, text, x, y, width, height, font, argb, format}) != 0;
}

bool EngineCreateTextHost(std::uint32_t element, std::uint32_t textHostAddress,
                          std::uint32_t textServicesAddress) {
    return CallEngine(kOrdCreateTextHost, {element, textHostAddress, textServicesAddress}) != 0;
}

bool EngineReleaseTextHost(std::uint32_t textHost, std::uint32_t textServices) {
    return CallEngine(kOrdReleaseTextHost, {textHost, textServices}) != 0;
}

std::uint32_t EngineResourceRoutine(std::uint32_t routine) {
    return CallEngine(kOrdResourceRoutine, {routine});
}

std::uint32_t EngineCreateEventTable(std::uint32_t buckets) {
    return CallEngine(kOrdCreateEventTable, {buckets});
}

bool EngineFreeEventTable(std::uint32_t table) {
    return CallEngine(kOrdFreeEventTable, {table}) != 0;
}

bool EngineStoreEvent(std::uint32_t table, std::uint32_t message, std::uint32_t entry) {
    return CallEngine(kOrdStoreEvent, {table, message, entry}) != 0;
}

std::uint32_t EngineLookupEvent(std::uint32_t table, std::uint32_t message) {
    return CallEngine(kOrdLookupEvent, {table, message});
}

std::uint32_t EngineLoadTheme(std::uint32_t data, std::uint32_t length, std::uint32_t password,
                              std::uint32_t passwordLength) {
    return CallEngine(kOrdLoadTheme, {data, length, password, passwordLength});
}

bool EngineReleaseTheme(std::uint32_t theme) {
    return CallEngine(kOrdReleaseTheme, {theme}) != 0;
}

std::uint32_t EngineAdoptTheme(std::uint32_t theme) {
    return CallEngine(kOrdAdoptTheme, {theme});
}

bool EngineSetDefaultTheme(std::uint32_t theme) {
    return CallEngine(kOrdSetDefaultTheme, {theme}) != 0;
}

std::uint32_t EngineThemeImage(std::uint32_t theme, std::uint32_t imageId) {
    return CallEngine(kOrdThemeImage, {theme, imageId});
}

std::uint32_t EngineThemeText(std::uint32_t theme, std::uint32_t atom,
                              std::uint32_t variableAddress) {
    return CallEngine(kOrdThemeText, {theme, atom, variableAddress});
}

bool EngineThemeRect(std::uint32_t theme, std::uint32_t atom, std::uint32_t section,
                     std::uint32_t key, std::uint32_t rectAddress, std::uint32_t imageIdAddress) {
    return CallEngine(kOrdThemeRect, {theme, atom, section, key, rectAddress, imageIdAddress}) != 0;
}

bool EngineThemeRectF(std::uint32_t theme, std::uint32_t atom, std::uint32_t section,
                      std::uint32_t key, std::uint32_t rectAddress, std::uint32_t imageIdAddress) {
    return CallEngine(kOrdThemeRectF, {theme, atom, section, key, rectAddress, imageIdAddress}) !=
           0;
}

std::uint32_t EngineAnimateWindow(std::uint32_t ownHandle, std::uint32_t mode,
                                  const std::array<std::uint32_t, 9>& w) {
    return CallEngine(kOrdAnimateWindow,
                      {ownHandle, mode, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]});
}

bool LoadEngineMapData(std::uint32_t data) {
    return CallEngine(kOrdLoadMapData, {data}) != 0;
}

std::uint32_t EngineSetLayoutAttribute(std::uint32_t object, std::uint32_t name,
                                       std::uint32_t value, std::uint32_t flag) {
    return CallEngine(kOrdSetLayoutAttribute, {object, name, value, flag});
}

bool EngineAddWindowStyle(std::uint32_t window, std::uint32_t bits, std::uint32_t extended) {
    return CallEngine(kOrdAddWindowStyle, {window, bits, extended}) != 0;
}

bool EngineRemoveWindowStyle(std::uint32_t window, std::uint32_t bits, std::uint32_t extended) {
    return CallEngine(kOrdRemoveWindowStyle, {window, bits, extended}) != 0;
}

bool EngineHasWindowStyle(std::uint32_t window, std::uint32_t bits, std::uint32_t extended) {
    return CallEngine(kOrdHasWindowStyle, {window, bits, extended}) != 0;
}

bool EngineSetWindowBlur(std::uint32_t window, std::uint32_t region, std::uint32_t value) {
    return CallEngine(kOrdSetWindowBlur, {window, region, value}) != 0;
}

std::uint32_t EngineImageFromFile(std::uint32_t fileName) {
    return CallEngine(kOrdImageFromFile, {fileName});
}

std::uint32_t EngineImageFromHandle(std::uint32_t source) {
    return CallEngine(kOrdImageFromHandle, {source});
}

}  // namespace toolkit
