#include "ProbeEngine.h"

#include <windows.h>

#include <cstring>

namespace {

probe::Log g_log;
std::uint32_t g_nextTheme = probe::kFirstTheme;

void Record(std::uint32_t ordinal) {
    if (g_log.callCount < probe::kMaxCalls) {
        g_log.calls[g_log.callCount++] = ordinal;
    }
}

}  // namespace

extern "C" {

probe::Log* __cdecl ProbeGetLog() {
    return &g_log;
}

void __cdecl ProbeReset() {
    std::memset(&g_log, 0, sizeof g_log);
}

std::uint32_t __stdcall ProbeInit(std::uint32_t v0, std::uint32_t v1, std::uint32_t v2,
                                  std::uint32_t v3, std::uint32_t v4, std::uint32_t v5,
                                  std::uint32_t v6, std::uint32_t v7, std::uint32_t v8,
                                  std::uint32_t v9, std::uint32_t v10, std::uint32_t v11) {
    Record(1);
    const std::uint32_t values[12] = {v0, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11};
    std::memcpy(g_log.initValues, values, sizeof values);
    return 1;
}

std::uint32_t __stdcall ProbeRegisterClass(std::uint32_t prototype, std::uint32_t name,
                                           std::uint32_t typeId) {
    Record(2);
    if (g_log.classCount < probe::kMaxClasses) {
        const std::uint32_t i = g_log.classCount++;
        lstrcpynA(g_log.classNames[i], reinterpret_cast<const char*>(name), probe::kNameBytes);
        g_log.classTypeIds[i] = typeId;
        g_log.classPrototypes[i] = prototype;
    }
    return 1;
}

std::uint32_t __stdcall ProbeResourceRoutine(std::uint32_t routine) {
    Record(17);
    g_log.resourceRoutine = routine;
    return 0;
}

std::uint32_t __stdcall ProbeCreateEventTable(std::uint32_t buckets) {
    Record(18);
    return buckets + probe::kEventTableBias;
}

std::uint32_t __stdcall ProbeLoadTheme(std::uint32_t data, std::uint32_t length, std::uint32_t,
                                       std::uint32_t) {
    Record(23);
    g_log.lastThemeLength = length;
    if (data == 0 || length == 0) {
        return 0;
    }
    g_log.lastThemeHandle = g_nextTheme++;
    return g_log.lastThemeHandle;
}

std::uint32_t __stdcall ProbeReleaseTheme(std::uint32_t theme) {
    Record(24);
    g_log.releasedTheme = theme;
    return 1;
}

std::uint32_t __stdcall ProbeSetDefaultTheme(std::uint32_t theme) {
    Record(26);
    g_log.defaultTheme = theme;
    return 1;
}

std::uint32_t __stdcall ProbeLoadMapData(std::uint32_t data) {
    Record(32);
    // The length word sits right in front of the data.
    g_log.mapDataLength = data != 0 ? *reinterpret_cast<const std::uint32_t*>(data - 4) : 0;
    return 1;
}

}  // extern "C"
