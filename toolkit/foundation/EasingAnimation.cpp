#include "foundation/EasingAnimation.h"

#include <windows.h>

#include <cmath>
#include <cstring>

#include "foundation/CallAddress.h"
#include "foundation/CheckedMemory.h"
#include "foundation/Easing.h"
#include "foundation/PresentBatch.h"
#include "foundation/Win32Handles.h"

namespace toolkit {
namespace {

// Every kind of message wakes the wait; raw input is not among them.
constexpr DWORD kWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER |
                            QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
static_assert(kWakeMask == 0xFF, "the wake mask the animation has always used");
constexpr LONGLONG kHundredNanosecondsPerMicrosecond = 10;
constexpr std::uint64_t kMicrosecondsPerMillisecond = 1000;

struct DoubleWords {
    std::uint32_t low;
    std::uint32_t high;
};

DoubleWords SplitDouble(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)};
}

double ReadDoubleChecked(std::uintptr_t address) {
    const std::uint64_t bits = ReadInt64Checked(address);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Dispatches every pending message. Returns false when a WM_QUIT was taken off the queue; its
// exit code goes to *quitCode.
bool DispatchPending(WPARAM* quitCode) {
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            *quitCode = message.wParam;
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}  // namespace

WaitResult WaitPumpingMessages(std::uint64_t microseconds) {
    const NestedLoopScope nestedLoop;  // the last frame is pushed before the wait
    KernelHandle timer(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    if (!timer) {
        return WaitResult::kFailed;
    }
    LARGE_INTEGER due = {};
    due.QuadPart = -kHundredNanosecondsPerMicrosecond * static_cast<LONGLONG>(microseconds);
    if (!SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
        return WaitResult::kFailed;
    }
    const HANDLE handles[] = {timer.get()};
    WPARAM quitCode = 0;
    WaitResult result = WaitResult::kElapsed;
    for (;;) {
        // MWMO_INPUTAVAILABLE: messages already queued before the wait began wake it too.
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, handles, INFINITE, kWakeMask, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            break;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            result = WaitResult::kFailed;
            break;
        }
        if (!DispatchPending(&quitCode)) {
            result = WaitResult::kQuit;
            break;
        }
    }
    // The quit belongs to a loop further out. Posted inside this pump it would wake every later
    // wait at once, so it goes back only now, when nothing here waits any more.
    if (result == WaitResult::kQuit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    return result;
}

int RunEasingAnimation(std::uintptr_t request, int type, int duration, int interval,
                       std::uint32_t routine, std::uint32_t object, std::uint32_t user1,
                       std::uint32_t user2, double start, double end) {
    if (request != 0) {
        type = static_cast<int>(ReadInt32Checked(request + offsetof(EasingRequest, type)));
        duration = static_cast<int>(ReadInt32Checked(request + offsetof(EasingRequest, duration)));
        interval = static_cast<int>(ReadInt32Checked(request + offsetof(EasingRequest, interval)));
        routine = ReadInt32Checked(request + offsetof(EasingRequest, routine));
        object = ReadInt32Checked(request + offsetof(EasingRequest, object));
        user1 = ReadInt32Checked(request + offsetof(EasingRequest, user1));
        user2 = ReadInt32Checked(request + offsetof(EasingRequest, user2));
        start = ReadDoubleChecked(request + offsetof(EasingRequest, start));
        end = ReadDoubleChecked(request + offsetof(EasingRequest, end));
        HeapFreeAndClear(request);
    }
    // No interval means no frames, not a division by zero.
    if (interval <= 0 || duration <= 0) {
        return 0;
    }
    const int frames = duration / interval;
    double value = 0;
    std::uint32_t stop = 0;
    for (int i = 1; i <= frames; ++i) {
        if (WaitPumpingMessages(static_cast<std::uint64_t>(interval) *
                                kMicrosecondsPerMillisecond) == WaitResult::kQuit) {
            return 0;
        }
        double t = static_cast<double>(i) * interval / duration;
        if (!EaseValue(type, start, end, t, &value)) {
            t = 1.0;
        }
        const DoubleWords progress = SplitDouble(t);
        const DoubleWords eased = SplitDouble(value);
        CallAddress(routine, {CallArg(object, object != 0), progress.low, progress.high, eased.low,
                              eased.high, static_cast<std::uint32_t>(frames),
                              static_cast<std::uint32_t>(i), &stop, user1, user2});
        if (std::fabs(t - 1) <= kEasingEpsilon || stop != 0) {
            return 1;
        }
    }
    return frames;
}

}  // namespace toolkit
