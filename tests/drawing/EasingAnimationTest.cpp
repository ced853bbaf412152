// Animation runs: frame counts, what the per-frame routine receives, the stop flag, the request
// block, and the message pump between frames (WM_QUIT included).
#include "foundation/EasingAnimation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "foundation/CallAddress.h"
#include "foundation/Easing.h"

namespace toolkit {
namespace {

constexpr int kInterval = 10;  // ms; short so runs stay fast
constexpr double kStart = 0;
constexpr double kEnd = 30;
constexpr double kTolerance = 1e-9;
constexpr int kExitCode = 7;
constexpr int kNoSuchCurve = 99;

struct Frame {
    std::uint32_t object;
    double progress;
    double value;
    int frames;
    int index;
    std::uint32_t user2;
};

struct Recorder {
    std::vector<Frame> frames;
    int stopAtFrame = 0;  // 0: never
    int quitAtFrame = 0;  // posts WM_QUIT from this frame's routine
};

Recorder* RecorderOf(std::uint32_t user1) {
    return reinterpret_cast<Recorder*>(static_cast<std::uintptr_t>(user1));
}

void Record(std::uint32_t object, double progress, double value, int frames, int index,
            std::uint32_t* stop, std::uint32_t user1, std::uint32_t user2) {
    Recorder* recorder = RecorderOf(user1);
    recorder->frames.push_back({object, progress, value, frames, index, user2});
    if (index == recorder->stopAtFrame) {
        *stop = 1;
    }
    if (index == recorder->quitAtFrame) {
        PostQuitMessage(kExitCode);
    }
}

// The per-frame routine as the animation calls it: each double arrives as two stack words.
std::uint32_t __stdcall OnFrame(double progress, double value, int frames, int index,
                                std::uint32_t* stop, std::uint32_t user1, std::uint32_t user2) {
    Record(0, progress, value, frames, index, stop, user1, user2);
    return 0;
}

std::uint32_t __stdcall OnObjectFrame(std::uint32_t object, double progress, double value,
                                      int frames, int index, std::uint32_t* stop,
                                      std::uint32_t user1, std::uint32_t user2) {
    Record(object, progress, value, frames, index, stop, user1, user2);
    return 0;
}

int Animate(Recorder& recorder, int type, int duration, int interval) {
    return RunEasingAnimation(0, type, duration, interval, AddressOf(&OnFrame), 0,
                              AddressOf(&recorder), 0, kStart, kEnd);
}

// Takes a WM_QUIT off the queue, so it cannot end a later test's loop; its exit code, or -1.
int TakeQuit() {
    MSG message = {};
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return static_cast<int>(message.wParam);
    }
    return -1;
}

TEST(EasingAnimation, WholeFramesRunUntilProgressReachesOne) {
    struct RunCase {
        int duration;
        int result;
        std::vector<double> progress;
    };
    const RunCase cases[] = {
        {3 * kInterval, 1, {1.0 / 3, 2.0 / 3, 1.0}},  // the last frame ends the run
        {25 * kInterval / 10, 2, {0.4, 0.8}},         // 25 / 10: two whole frames
        {kInterval / 2, 0, {}},                       // shorter than one interval
    };
    for (const RunCase& c : cases) {
        Recorder recorder;
        EXPECT_EQ(Animate(recorder, kEaseLinear, c.duration, kInterval), c.result)
            << "duration " << c.duration;
        ASSERT_EQ(recorder.frames.size(), c.progress.size()) << "duration " << c.duration;
        for (std::size_t i = 0; i < c.progress.size(); ++i) {
            const Frame& frame = recorder.frames[i];
            EXPECT_NEAR(frame.progress, c.progress[i], kTolerance);
            EXPECT_NEAR(frame.value, kStart + (kEnd - kStart) * c.progress[i], kTolerance);
            EXPECT_EQ(frame.frames, static_cast<int>(c.progress.size()));
            EXPECT_EQ(frame.index, static_cast<int>(i + 1));
        }
    }
}

TEST(EasingAnimation, NoIntervalOrNoDurationGivesNoFrames) {
    for (int interval : {0, -kInterval}) {
        Recorder recorder;
        EXPECT_EQ(Animate(recorder, kEaseLinear, 3 * kInterval, interval), 0);
        EXPECT_TRUE(recorder.frames.empty());
    }
    for (int duration : {0, -3 * kInterval}) {
        Recorder recorder;
        EXPECT_EQ(Animate(recorder, kEaseLinear, duration, kInterval), 0);
        EXPECT_TRUE(recorder.frames.empty());
    }
}

TEST(EasingAnimation, StopFlagEndsTheRun) {
    Recorder recorder;
    recorder.stopAtFrame = 2;
    EXPECT_EQ(Animate(recorder, kEaseLinear, 5 * kInterval, kInterval), 1);
    EXPECT_EQ(recorder.frames.size(), 2u);
}

TEST(EasingAnimation, UnknownCurveGivesOneFinalFrame) {
    Recorder recorder;
    EXPECT_EQ(Animate(recorder, kNoSuchCurve, 5 * kInterval, kInterval), 1);
    ASSERT_EQ(recorder.frames.size(), 1u);
    EXPECT_EQ(recorder.frames[0].progress, 1.0);
    EXPECT_EQ(recorder.frames[0].value, 0.0);
}

TEST(EasingAnimation, ObjectGoesFirstAndUserValuesPassThrough) {
    constexpr std::uint32_t kObject = 0x1234;
    constexpr std::uint32_t kUser2 = 0xBEEF;
    Recorder recorder;
    EXPECT_EQ(
        RunEasingAnimation(0, kEaseLinear, 2 * kInterval, kInterval, AddressOf(&OnObjectFrame),
                           kObject, AddressOf(&recorder), kUser2, kStart, kEnd),
        1);
    ASSERT_EQ(recorder.frames.size(), 2u);
    EXPECT_EQ(recorder.frames[1].object, kObject);
    EXPECT_EQ(recorder.frames[1].user2, kUser2);
    EXPECT_NEAR(recorder.frames[1].value, kEnd, kTolerance);
}

TEST(EasingAnimation, RequestBlockOverridesTheInlineValues) {
    Recorder recorder;
    auto* request = static_cast<EasingRequest*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(EasingRequest)));
    ASSERT_NE(request, nullptr);
    *request = {kEaseLinear, 2 * kInterval, kInterval, AddressOf(&OnFrame), 0, AddressOf(&recorder),
                0,           kStart,        kEnd};
    // The inline values name no routine and no frames: only the block can make this run.
    EXPECT_EQ(
        RunEasingAnimation(reinterpret_cast<std::uintptr_t>(request), 0, 0, 0, 0, 0, 0, 0, 0, 0),
        1);
    EXPECT_EQ(recorder.frames.size(), 2u);
}

TEST(EasingAnimation, QuitDuringARunEndsItAndIsPostedAgain) {
    Recorder recorder;
    recorder.quitAtFrame = 1;
    EXPECT_EQ(Animate(recorder, kEaseLinear, 5 * kInterval, kInterval), 0);
    EXPECT_EQ(recorder.frames.size(), 1u);  // the wait before frame 2 saw the quit
    EXPECT_EQ(TakeQuit(), kExitCode);
}

TEST(EasingAnimation, QuitAlreadyQueuedRunsNoFrame) {
    PostQuitMessage(kExitCode);
    Recorder recorder;
    EXPECT_EQ(Animate(recorder, kEaseLinear, 5 * kInterval, kInterval), 0);
    EXPECT_TRUE(recorder.frames.empty());
    EXPECT_EQ(TakeQuit(), kExitCode);
}

int g_timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++g_timerTicks;
}

TEST(EasingAnimation, WaitDispatchesMessagesAndTakesItsTime) {
    constexpr UINT kTickMs = 5;
    constexpr std::uint64_t kWaitMicroseconds = 100 * 1000;
    constexpr DWORD kAtLeastMs = 80;  // timer resolution allows some early wake-up
    g_timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, CountTick);
    ASSERT_NE(timer, 0u);
    const DWORD before = GetTickCount();
    EXPECT_EQ(WaitPumpingMessages(kWaitMicroseconds), WaitResult::kElapsed);
    const DWORD elapsed = GetTickCount() - before;
    KillTimer(nullptr, timer);
    EXPECT_GE(elapsed, kAtLeastMs);
    EXPECT_GT(g_timerTicks, 0);
}

}  // namespace
}  // namespace toolkit
