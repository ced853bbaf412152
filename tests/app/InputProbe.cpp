// The input probe: a library the end-to-end tests hook into the program under test (see
// InputProbe.h). It only looks at the messages the hooked thread takes and changes none.
#include "InputProbe.h"

#include <windows.h>

#include <cstdio>

namespace {

// Sets the named event when a test waits on it; a name nobody opened costs one failed lookup.
void Announce(const char* name) {
    if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    TakeMessage(int code, WPARAM removal, LPARAM message) {
    const auto* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && taken != nullptr) {
        static const UINT marker = RegisterWindowMessageA(input_probe::kMarkerMessage);
        if (taken->message == marker) {
            char name[64] = {};
            std::snprintf(name, sizeof name, "%s%lu", input_probe::kMarkerEvent,
                          static_cast<unsigned long>(GetCurrentProcessId()));
            Announce(name);
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}
