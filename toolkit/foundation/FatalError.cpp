#include "foundation/FatalError.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <new>

namespace toolkit {

namespace {

// "program internal error number is -2147483648. (0x80000000h)" and its end fit.
constexpr std::size_t kTextChars = 64;
// The box's thread needs little stack; reserving little leaves it room when memory is short.
constexpr SIZE_T kBoxThreadStack = 64 * 1024;

std::atomic<bool> g_ending{false};

DWORD WINAPI ShowFatalBox(void* text) {
    // Topmost, as the program's own windows may be: a box hidden behind them looks like a hang.
    MessageBoxA(nullptr, static_cast<const char*>(text), kFatalErrorCaption,
                MB_OK | MB_ICONERROR | MB_TOPMOST);
    return 0;
}

void OnOutOfMemory() {
    EndWithFatalError(kOutOfMemoryError);
}

void OnTerminate() {
    int number = kUnhandledExceptionError;
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::bad_alloc&) {
            number = kOutOfMemoryError;
        } catch (...) {
        }
    }
    EndWithFatalError(number);
}

}  // namespace

void InstallFatalErrorHandlers() {
    std::set_new_handler(OnOutOfMemory);
    std::set_terminate(OnTerminate);
}

void EndWithFatalError(int number) {
    // Only the first failure is shown; one that happens while its box is up ends the program.
    if (!g_ending.exchange(true)) {
        char text[kTextChars] = {};
        std::snprintf(text, sizeof text, kFatalErrorFormat, number, static_cast<unsigned>(number));
        // The box runs a message loop. On this thread that loop would run the program's timers
        // and paints in the state it cannot go on from, so the box gets a thread of its own and
        // this one waits without taking messages.
        HANDLE thread = CreateThread(nullptr, kBoxThreadStack, ShowFatalBox, text,
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread != nullptr) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        } else {
            ShowFatalBox(text);
        }
    }
    // At once: the program's exit routines and global teardown would work on that same state.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(number));
    ExitProcess(static_cast<UINT>(number));
}

}  // namespace toolkit
