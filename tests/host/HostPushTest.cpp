// The pushes of a layered host window to the screen: every change reaches it, once, with the
// rectangle it changed; the presents of one message go in one push; what differs in the window
// image goes to its last pixel; a failed push is tried again, but not once the window is no
// longer layered; windows that present while a push is under way leave it sound.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LayeredTestWindow.h"
#include "PushRecorder.h"
#include "core/ElementPaint.h"
#include "core/LayeredPush.h"
#include "foundation/EasingAnimation.h"

namespace host_test {
namespace {

// A short wait of a nested loop, in microseconds.
constexpr std::uint64_t kNestedWaitUs = 1000;

std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

RECT WindowRectOf(const Element& element) {
    return {element.m_windowLeft, element.m_windowTop, element.m_windowRight,
            element.m_windowBottom};
}

std::uint32_t ScreenAtCentre(const PushRecorder& recorder, LayeredWindow& w,
                             const Element& element) {
    const POINT centre = w.test.CentreOf(element);
    return recorder.ScreenPixel(w.test.Window(), centre.x, centre.y);
}

// The first probe turns green and presents, through its own message.
void PresentAtOnce(LayeredWindow& w) {
    w.first.m_colour = kGreen;
    w.first.InvalidateElement();
}

// A recorder and a layered window whose first pushes are done. The recorder comes first, so
// that it sees the window's first pushes.
struct PushedWindow {
    PushedWindow() {
        EXPECT_TRUE(Settle(w.Host()));
        recorder.ClearPushes();
    }

    // The window image's pixels, row by row, for a test that draws into it as any caller may.
    std::uint32_t* WindowImage() {
        DIBSECTION section{};
        if (GetObjectW(w.Host().frameBitmap, sizeof section, &section) != sizeof section) {
            return nullptr;
        }
        GdiFlush();
        return static_cast<std::uint32_t*>(section.dsBm.bmBits);
    }
    // While the first probe's change to green is being pushed, it turns blue.
    void ChangeFirstProbeAgainDuringItsPush() {
        recorder.DuringNextPush([this] {
            w.first.m_colour = kBlue;
            w.first.InvalidateElement();
        });
        PresentAtOnce(w);
    }

    PushRecorder recorder;
    LayeredWindow w;
};

class HostPushTest : public ::testing::Test, protected PushedWindow {};

// ---- Presents of one message --------------------------------------------------------------------

constexpr UINT kMsgPresentTwice = WM_APP + 1;
constexpr UINT kMsgPresentThenShow = WM_APP + 2;
constexpr UINT kMsgPresentThenWait = WM_APP + 3;

// What the message hook saw while it handled one test message.
struct HookProbe {
    LayeredWindow* window = nullptr;
    const PushRecorder* recorder = nullptr;
    std::size_t pushesInside = 0;
    bool pendingInside = false;
};
HookProbe g_hook;

std::uint32_t __stdcall PresentingHook(std::uint32_t, std::uint32_t message, std::uint32_t,
                                       std::uint32_t) {
    if (message < kMsgPresentTwice || message > kMsgPresentThenWait) {
        return 0;
    }
    LayeredWindow& w = *g_hook.window;
    const std::size_t before = g_hook.recorder->Pushes().size();
    w.first.m_colour = kGreen;
    w.first.InvalidateElement();
    g_hook.pendingInside = toolkit::LayeredPushPending(&w.Host());
    if (message == kMsgPresentTwice) {
        w.second.m_colour = kGreen;
        w.second.InvalidateElement();
    } else if (message == kMsgPresentThenShow) {
        w.Host().PresentWindow();
    } else {
        toolkit::WaitPumpingMessages(kNestedWaitUs);
    }
    g_hook.pushesInside = g_hook.recorder->Pushes().size() - before;
    return 1;
}

struct OneMessageCase {
    const char* name;
    UINT message;
    std::size_t pushesInside;  // while the message is handled
    std::size_t pushesAfter;   // in all, once it is done
};

const OneMessageCase kOneMessageCases[] = {
    // Two elements present: nothing is pushed until the message is done, then once, with both.
    {"two presents", kMsgPresentTwice, 0, 1},
    // An explicit present pushes at once, taking what was pending with it.
    {"present window", kMsgPresentThenShow, 1, 1},
    // A nested loop pushes what is pending before it waits.
    {"nested wait", kMsgPresentThenWait, 1, 1},
};

TEST(HostPush, PresentsOfOneMessageReachTheScreenInOnePush) {
    for (const OneMessageCase& oneCase : kOneMessageCases) {
        SCOPED_TRACE(oneCase.name);
        PushedWindow pushed;
        PushRecorder& recorder = pushed.recorder;
        LayeredWindow& w = pushed.w;
        g_hook = HookProbe{&w, &recorder};
        w.Host().SetMessageHook(reinterpret_cast<std::uint32_t>(&PresentingHook));
        SendMessageW(w.test.Window(), oneCase.message, 0, 0);
        w.Host().SetMessageHook(0);
        EXPECT_TRUE(g_hook.pendingInside);
        EXPECT_EQ(g_hook.pushesInside, oneCase.pushesInside);
        EXPECT_EQ(recorder.PushesOf(w.test.Window()).size(), oneCase.pushesAfter);
        EXPECT_FALSE(toolkit::LayeredPushPending(&w.Host()));
        EXPECT_EQ(ScreenAtCentre(recorder, w, w.first), kGreen);
        EXPECT_EQ(recorder.ScreenDifference(w.Host()), "");
    }
}

TEST_F(HostPushTest, PresentOutsideAnyMessageIsPushedAtOnceWithItsRectangle) {
    w.first.m_colour = kGreen;
    w.first.InvalidateElement();
    const std::vector<RecordedPush> pushes = recorder.PushesOf(w.test.Window());
    ASSERT_EQ(pushes.size(), 1u);
    EXPECT_EQ(Text(pushes[0].part), Text(WindowRectOf(w.first)));
    EXPECT_FALSE(toolkit::LayeredPushPending(&w.Host()));
    EXPECT_EQ(recorder.ScreenDifference(w.Host()), "");
}

TEST_F(HostPushTest, PresentWindowPushesOnlyWhatChanged) {
    HostWindow& host = w.Host();
    // Nothing changed since the window was shown: nothing goes.
    host.PresentWindow();
    EXPECT_EQ(recorder.PushesOf(w.test.Window()).size(), 0u);

    // A repaint that changes one element pushes that element.
    host.ClearPresented();
    w.first.m_colour = kGreen;
    w.first.InvalidateElement();
    host.PaintWindowFrame(nullptr, toolkit::kKeepColour, toolkit::kFrameComposeRedraw);
    host.PresentWindow();
    const std::vector<RecordedPush> pushes = recorder.PushesOf(w.test.Window());
    ASSERT_EQ(pushes.size(), 1u);
    EXPECT_EQ(Text(pushes[0].part), Text(WindowRectOf(w.first)));
    EXPECT_EQ(ScreenAtCentre(recorder, w, w.first), kGreen);
    EXPECT_EQ(recorder.ScreenDifference(host), "");
}

// ---- What differs in the window image -----------------------------------------------------------

constexpr std::uint32_t kColourBits = 0x00FFFFFF;
constexpr std::uint32_t kAlphaBits = 0xFF000000;
constexpr int kChangedRow = 120;
constexpr int kOtherChangedRow = 121;

struct PixelChange {
    int x;  // from the left edge, or from the right edge when negative (-1 is the last column)
    int y;  // likewise from the bottom edge when negative
    std::uint32_t flipped;  // the bits of the pixel that change
};

struct ImageCase {
    const char* name;
    std::vector<PixelChange> changes;
};

const ImageCase kImageCases[] = {
    {"first column", {{0, kChangedRow, kColourBits}}},
    {"last column", {{-1, kChangedRow, kColourBits}}},
    {"both ends of a row", {{0, kChangedRow, kColourBits}, {-1, kChangedRow, kColourBits}}},
    {"two rows", {{-1, kChangedRow, kColourBits}, {0, kOtherChangedRow, kColourBits}}},
    {"last pixel", {{-1, -1, kColourBits}}},
    {"first pixel", {{0, 0, kColourBits}}},
    {"alpha only", {{-1, kChangedRow, kAlphaBits}}},
};

// Drawing straight into the window image and presenting it is open to any caller: the push takes
// what differs from what the screen shows.
TEST_F(HostPushTest, EveryChangedPixelOfTheWindowImageIsPushed) {
    HostWindow& host = w.Host();
    std::uint32_t* image = WindowImage();
    ASSERT_NE(image, nullptr);
    const int width = host.size->width;
    const int height = host.size->height;
    for (const ImageCase& imageCase : kImageCases) {
        SCOPED_TRACE(imageCase.name);
        recorder.ClearPushes();
        RECT changed{};
        for (const PixelChange& change : imageCase.changes) {
            const int x = change.x < 0 ? width + change.x : change.x;
            const int y = change.y < 0 ? height + change.y : change.y;
            image[y * width + x] ^= change.flipped;
            const RECT pixel = {x, y, x + 1, y + 1};
            UnionRect(&changed, &changed, &pixel);
        }
        host.PresentWindow();
        const std::vector<RecordedPush> pushes = recorder.PushesOf(w.test.Window());
        ASSERT_EQ(pushes.size(), 1u);
        EXPECT_EQ(Text(pushes[0].part), Text(changed));
        EXPECT_EQ(recorder.ScreenDifference(host), "");
    }
}

// ---- Failed pushes ------------------------------------------------------------------------------

constexpr UINT kMsgPresent = WM_APP + 4;
LayeredWindow* g_presenting = nullptr;
std::uint32_t __stdcall PresentFirstProbe(std::uint32_t, std::uint32_t message, std::uint32_t,
                                          std::uint32_t) {
    if (message != kMsgPresent) {
        return 0;
    }
    g_presenting->first.m_colour = kGreen;
    g_presenting->first.InvalidateElement();
    return 1;
}

// For the cases of failed pushes: the first probe turns green inside another message; or the
// frame takes another colour, outside any message.
void PresentInAMessage(LayeredWindow& w) {
    g_presenting = &w;
    w.Host().SetMessageHook(reinterpret_cast<std::uint32_t>(&PresentFirstProbe));
    SendMessageW(w.test.Window(), kMsgPresent, 0, 0);
    w.Host().SetMessageHook(0);
}
void RepaintInAnotherColour(LayeredWindow& w) {
    constexpr COLORREF kOther = RGB(200, 10, 10);
    w.Host().PaintWindowFrame(nullptr, static_cast<std::int32_t>(kOther),
                              toolkit::kFrameComposePresent);
}

struct FailCase {
    const char* name;
    void (*present)(LayeredWindow&);
};

const FailCase kFailCases[] = {
    {"element", PresentAtOnce},
    {"inside a message", PresentInAMessage},
    {"repaint", RepaintInAnotherColour},
};

TEST(HostPush, FailedPushIsTriedAgain) {
    for (const FailCase& failCase : kFailCases) {
        SCOPED_TRACE(failCase.name);
        PushedWindow pushed;
        PushRecorder& recorder = pushed.recorder;
        LayeredWindow& w = pushed.w;
        recorder.FailNext(1);
        failCase.present(w);
        ASSERT_EQ(recorder.PushesOf(w.test.Window()).size(), 1u);
        EXPECT_TRUE(toolkit::LayeredPushPending(&w.Host()));
        EXPECT_NE(recorder.ScreenDifference(w.Host()), "");

        // Without anything else presenting, the change reaches the screen, once.
        EXPECT_TRUE(PumpUntil([&] { return !toolkit::LayeredPushPending(&w.Host()); }));
        const std::vector<RecordedPush> pushes = recorder.PushesOf(w.test.Window());
        ASSERT_EQ(pushes.size(), 2u);
        EXPECT_TRUE(pushes[1].reached);
        EXPECT_EQ(recorder.ScreenDifference(w.Host()), "");
    }
}

// Far more failures than the retries a change may cost.
constexpr int kFailures = 1000;

TEST_F(HostPushTest, PushesThatKeepFailingLeaveTheThreadIdleAndGoWithTheNextMessage) {
    recorder.FailNext(kFailures);
    PresentAtOnce(w);
    // The queue runs dry: failing pushes are not retried without end.
    EXPECT_TRUE(PumpUntil([] { return HIWORD(GetQueueStatus(QS_ALLPOSTMESSAGE)) == 0; }));
    EXPECT_TRUE(toolkit::LayeredPushPending(&w.Host()));
    EXPECT_NE(ScreenAtCentre(recorder, w, w.first), kGreen);

    // Once pushes work again, the window's next message takes the change along.
    recorder.FailNext(0);
    SendMessageW(w.test.Window(), WM_NULL, 0, 0);
    EXPECT_FALSE(toolkit::LayeredPushPending(&w.Host()));
    EXPECT_EQ(recorder.ScreenDifference(w.Host()), "");
}

TEST_F(HostPushTest, WindowThatStopsBeingLayeredDropsItsWaitingPush) {
    recorder.FailNext(kFailures);
    PresentAtOnce(w);
    ASSERT_TRUE(toolkit::LayeredPushPending(&w.Host()));
    w.Host().LayeredAlpha(toolkit::kNotLayered);
    EXPECT_FALSE(toolkit::LayeredPushPending(&w.Host()));

    // The window's next messages hand nothing to the system's layered push.
    recorder.ClearPushes();
    SendMessageW(w.test.Window(), WM_NULL, 0, 0);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_TRUE(recorder.PushesOf(w.test.Window()).empty());
}

// ---- Presents while a push is under way ---------------------------------------------------------

// More windows than every other test holds at once: the toolkit's bookkeeping of them must
// grow while the push is under way.
constexpr int kCrowd = 12;

TEST_F(HostPushTest, WindowsShownDuringAPushLeaveItSound) {
    HostWindow& host = w.Host();
    std::vector<std::unique_ptr<LayeredWindow>> crowd;
    recorder.DuringNextPush([&] {
        for (int i = 0; i < kCrowd; ++i) {
            crowd.push_back(std::make_unique<LayeredWindow>());
        }
    });
    PresentAtOnce(w);
    ASSERT_EQ(crowd.size(), static_cast<std::size_t>(kCrowd));
    ASSERT_TRUE(Settle(host));
    EXPECT_EQ(recorder.ScreenDifference(host), "");
    for (const std::unique_ptr<LayeredWindow>& other : crowd) {
        EXPECT_EQ(recorder.ScreenDifference(other->Host()), "");
    }

    // The window's screen is known: nothing unchanged goes again, and new changes do.
    recorder.ClearPushes();
    host.PresentWindow();
    EXPECT_EQ(recorder.PushesOf(w.test.Window()).size(), 0u);
    w.second.m_colour = kGreen;
    w.second.InvalidateElement();
    ASSERT_TRUE(Settle(host));
    EXPECT_EQ(ScreenAtCentre(recorder, w, w.second), kGreen);
    EXPECT_EQ(recorder.ScreenDifference(host), "");
}

TEST_F(HostPushTest, PresentDuringItsOwnPushReachesTheScreen) {
    // The probe changes again while its first change is being pushed: the second change shows.
    ChangeFirstProbeAgainDuringItsPush();
    ASSERT_TRUE(Settle(w.Host()));
    EXPECT_EQ(ScreenAtCentre(recorder, w, w.first), kBlue);
    EXPECT_EQ(recorder.ScreenDifference(w.Host()), "");
}

TEST_F(HostPushTest, PresentRightAfterAPushTakesAlongWhatWaitedDuringIt) {
    HostWindow& host = w.Host();
    ChangeFirstProbeAgainDuringItsPush();
    ASSERT_TRUE(toolkit::LayeredPushPending(&host));

    // Straight away, outside any message, a caller draws into the window image and presents
    // that part: the push takes the waiting change along.
    std::uint32_t* image = WindowImage();
    ASSERT_NE(image, nullptr);
    const POINT mark = w.test.CentreOf(w.second);
    image[mark.y * host.size->width + mark.x] ^= kColourBits;
    recorder.ClearPushes();
    toolkit::InvalidateHostRect(&host, {mark.x, mark.y, mark.x + 1, mark.y + 1});
    EXPECT_EQ(recorder.PushesOf(w.test.Window()).size(), 1u);
    EXPECT_FALSE(toolkit::LayeredPushPending(&host));
    EXPECT_EQ(ScreenAtCentre(recorder, w, w.first), kBlue);
    EXPECT_EQ(recorder.ScreenDifference(host), "");
}

TEST(HostPush, WindowDestroyedDuringItsPushLeavesTheOthersPushing) {
    PushRecorder recorder;
    LayeredWindow other;
    auto w = std::make_unique<LayeredWindow>();
    ASSERT_TRUE(Settle(w->Host()));
    const HWND gone = w->test.Window();
    recorder.DuringNextPush([&] { DestroyWindow(gone); });
    PresentAtOnce(*w);
    EXPECT_FALSE(IsWindow(gone));
    w.reset();

    PresentAtOnce(other);
    ASSERT_TRUE(Settle(other.Host()));
    EXPECT_EQ(ScreenAtCentre(recorder, other, other.first), kGreen);
    EXPECT_EQ(recorder.ScreenDifference(other.Host()), "");
}

}  // namespace
}  // namespace host_test
