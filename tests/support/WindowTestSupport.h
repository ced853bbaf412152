// What every test that runs windows under Wine needs: a message pump with a time limit, a
// watchdog that ends a stuck test program, the channels of a premultiplied canvas pixel, and the
// system file dialog as a test answers it.
//
// The toolkit is single-threaded, so tests act from the window's own thread and pump until a
// condition holds; the watchdog thread only ends the process when a test never finishes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "CpuEmulation.h"

namespace window_test {

constexpr DWORD kPumpTimeoutMs = 5000;
// A test program that has not ended by then is stuck. Under CPU emulation a whole program takes
// two to three times as long; the longer limit still ends it before CTest's own.
constexpr DWORD kWatchdogMs = 120000;
constexpr DWORD kEmulatedWatchdogMs = 240000;
constexpr UINT kWatchdogExitCode = 3;

// Dispatches messages until the condition holds or the time runs out; returns the condition.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kPumpTimeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Wakes at the next message; the short limit covers conditions no message announces.
        MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
}

// Dispatches what is queued now, and what that causes, for a short while.
inline void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= milliseconds; }, milliseconds + 1);
}

// Ends the whole test program with a failure code when it runs longer than the limit.
inline void StartWatchdog() {
    const DWORD milliseconds =
        test_support::RunsUnderCpuEmulation() ? kEmulatedWatchdogMs : kWatchdogMs;
    std::thread([milliseconds] {
        Sleep(milliseconds);
        ExitProcess(kWatchdogExitCode);
    }).detach();
}

// The class of the system's dialogs (file dialogs, message boxes).
constexpr char kDialogClass[] = "#32770";
// The file dialog's name box: the combo box of the Explorer-style dialog, or its plain edit.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

// The system file dialog (it has the file-name box).
inline bool IsFileDialog(HWND window) {
    // One character more than the class name, so that a longer name cannot read as it.
    char name[sizeof kDialogClass + 1] = {};
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == kDialogClass && (GetDlgItem(window, kFileNameCombo) != nullptr ||
                                                 GetDlgItem(window, kFileNameEdit) != nullptr);
}

// Types the path into the file dialog's name box and presses its OK button. The dialog runs its
// own modal loop: this is called from a second thread or another process.
inline void AnswerFileDialog(HWND dialog, const std::string& path) {
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    if (box == nullptr || !IsWindowVisible(box)) {
        box = GetDlgItem(dialog, kFileNameEdit);
    }
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// Channels of a 0xAARRGGBB pixel.
constexpr std::uint32_t Alpha(std::uint32_t argb) {
    return argb >> 24;
}
constexpr std::uint32_t Red(std::uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
constexpr std::uint32_t Green(std::uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
constexpr std::uint32_t Blue(std::uint32_t argb) {
    return argb & 0xFF;
}

}  // namespace window_test
