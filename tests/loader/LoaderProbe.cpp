// A small library for the in-memory loader's test: a pointer that needs a base relocation,
// imports from kernel32, named and ordinal-only exports, and a DllMain that leaves a trace.
#include <windows.h>

#include <string>

#include "LoaderProbe.h"

namespace {

int g_baseValue = loader_probe::kBaseValue;

void AppendEvent(char mark) {
    char events[64] = {};
    GetEnvironmentVariableA(loader_probe::kEventsVariable, events, sizeof(events));
    const std::string updated = std::string(events) + mark;
    SetEnvironmentVariableA(loader_probe::kEventsVariable, updated.c_str());
}

}  // namespace

// The stored address of g_baseValue is an absolute word, fixed by the relocations when the
// image lies anywhere but its preferred base.
int* volatile g_basePointer = &g_baseValue;

extern "C" __declspec(dllexport) int ProbeAdd(int value) {
    return *g_basePointer + value;
}

extern "C" __declspec(dllexport) int ProbeAddTwice(int value) {
    return *g_basePointer + 2 * value;
}

extern "C" __declspec(dllexport) int ProbeSecret() {
    return loader_probe::kSecretValue;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        AppendEvent(loader_probe::kAttachMark);
        return GetEnvironmentVariableA(loader_probe::kRefuseVariable, nullptr, 0) == 0;
    }
    if (reason == DLL_PROCESS_DETACH) {
        AppendEvent(loader_probe::kDetachMark);
    }
    return TRUE;
}
