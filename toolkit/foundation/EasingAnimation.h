// Easing animations: a value stepped along a curve of Easing.h, one frame per interval, with
// window messages kept flowing between frames so handlers run in the middle of an animation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace toolkit {

// The request block the engine allocates on the process heap; the same words may instead be
// passed inline. The words are packed: the doubles follow the seventh word directly.
#pragma pack(push, 4)
struct EasingRequest {
    std::int32_t type;      // curve, 1..34
    std::int32_t duration;  // milliseconds
    std::int32_t interval;  // milliseconds between frames
    std::uint32_t routine;  // per-frame routine
    std::uint32_t object;   // passed to the routine first when not 0
    std::uint32_t user1;
    std::uint32_t user2;
    double start;
    double end;
};
#pragma pack(pop)
static_assert(offsetof(EasingRequest, start) == 28 && offsetof(EasingRequest, end) == 36 &&
                  sizeof(EasingRequest) == 44,
              "the engine lays the request out as packed 32-bit words");

// Runs the animation on the calling thread and returns when it is over. When request is not 0
// the fields are read from that block (the inline values are ignored) and the block is freed
// before the first frame.
//
// frames = duration / interval. Before frame i (1..frames) the run waits `interval` ms pumping
// messages; then t = i x interval / duration, the value is eased, and the per-frame routine is
// called with ([object], t as two words, value as two words, frames, i, address of a 32-bit stop
// flag, user1, user2). A type outside 1..34 makes t 1.0 and keeps the previous value (0 at
// first).
//
// Result: 1 when the routine set the stop flag or t reached 1; otherwise the frame count, which
// is 0 when the interval is 0 or less or the duration shorter than the interval (no frame runs).
// A WM_QUIT that arrives while waiting ends the run with 0; the quit is posted again.
int RunEasingAnimation(std::uintptr_t request, int type, int duration, int interval,
                       std::uint32_t routine, std::uint32_t object, std::uint32_t user1,
                       std::uint32_t user2, double start, double end);

enum class WaitResult {
    kElapsed,  // the time went by
    kQuit,     // a WM_QUIT arrived; it has been posted again for the loop outside
    kFailed,   // no timer could be made, or the wait failed; returned at once
};

// Waits the given time on a waitable timer, dispatching every window message that arrives
// meanwhile.
WaitResult WaitPumpingMessages(std::uint64_t microseconds);

}  // namespace toolkit
