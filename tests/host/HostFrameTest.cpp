// The kept frame of a layered host window and the batching of its pushes: after resizes, theme
// changes, activation and caption-button hover the back buffer equals a full repaint's, and the
// presents of one message reach the screen in one push.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "core/ElementMessages.h"
#include "core/LayeredPush.h"
#include "core/SysButton.h"
#include "foundation/EasingAnimation.h"

namespace host_test {
namespace {

constexpr std::int32_t kOpaqueLayered = 255;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr int kProbeSize = 40;
constexpr int kProbeTop = 50;
constexpr int kFirstProbeLeft = 20;
constexpr int kSecondProbeLeft = 80;
constexpr int kGrownWidth = 420;
constexpr int kGrownHeight = 300;
// A caption button's fade: 8 frames of 25 ms, with room to spare under a busy machine.
constexpr DWORD kFadeSettleMs = 600;
// Composes the elements over the frame without asking them to redraw and without presenting.
constexpr std::int32_t kFrameComposeOnly = 1;
constexpr char kOtherThemeFile[] = "thunder.ext";
// A short wait of a nested loop, in microseconds.
constexpr std::uint64_t kNestedWaitUs = 1000;

// The pixels of a canvas bitmap, read from its DIB section.
std::vector<std::uint32_t> CanvasPixels(HBITMAP bitmap) {
    GdiFlush();
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) == 0 || section.dsBm.bmBits == nullptr) {
        return {};
    }
    const auto* bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    return std::vector<std::uint32_t>(
        bits, bits + static_cast<std::size_t>(section.dsBm.bmWidth) * section.dsBm.bmHeight);
}

// The first pixel where two pictures differ, as text; empty when they are equal.
std::string FirstDifference(const std::vector<std::uint32_t>& a,
                            const std::vector<std::uint32_t>& b, int width) {
    if (a.size() != b.size()) {
        return "sizes differ";
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return "pixel (" + std::to_string(i % width) + ", " + std::to_string(i / width) + ")";
        }
    }
    return {};
}

toolkit::HostAttachOptions LayeredOptions() {
    toolkit::HostAttachOptions options;
    options.layeredAlpha = kOpaqueLayered;
    options.backgroundColour = RGB(30, 60, 90);
    return options;
}

// A layered window with its caption, two probes, shown and presented.
struct LayeredWindow {
    LayeredWindow() : test(LayeredOptions()), first(kRed, &log), second(kBlue, &log) {
        first.Create(test.Parent(), kFirstProbeLeft, kProbeTop, kProbeSize, kProbeSize);
        second.Create(test.Parent(), kSecondProbeLeft, kProbeTop, kProbeSize, kProbeSize);
        test.Show();
    }
    std::vector<SeenMessage> log;
    TestWindow test;
    ProbeElement first;
    ProbeElement second;
};

struct FrameCase {
    const char* name;
    std::function<void(LayeredWindow&)> act;
};

void HoverCloseButton(LayeredWindow& w) {
    const toolkit::SysButton* close = w.test.Host().CaptionButton(toolkit::kSysButtonClose);
    ASSERT_NE(close, nullptr);
    const POINT centre = w.test.CentreOf(*close);
    PostMessageW(w.test.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
}

const FrameCase kFrameCases[] = {
    {"resize",
     [](LayeredWindow& w) { w.test.Host().MoveHostWindow({}, {}, kGrownWidth, kGrownHeight); }},
    {"resize and back",
     [](LayeredWindow& w) {
         w.test.Host().MoveHostWindow({}, {}, kGrownWidth, kGrownHeight);
         w.test.Host().MoveHostWindow({}, {}, kWindowWidth, kWindowHeight);
     }},
    {"theme change",
     [](LayeredWindow& w) {
         const toolkit::ByteArray package = ReadProgramFile(kOtherThemeFile);
         ASSERT_FALSE(package.empty());
         w.test.Host().SetWindowTheme(&package, {}, nullptr);
     }},
    {"activation",
     [](LayeredWindow& w) {
         SendMessageW(w.test.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
         SendMessageW(w.test.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
     }},
    {"caption button hover", HoverCloseButton},
    {"caption button hover and leave",
     [](LayeredWindow& w) {
         HoverCloseButton(w);
         PumpFor(kFadeSettleMs);
         PostMessageW(w.test.Window(), WM_MOUSEMOVE, 0,
                      MAKELPARAM(kFirstProbeLeft + kProbeSize / 2, kProbeTop + kProbeSize / 2));
     }},
    {"repaint", [](LayeredWindow& w) { w.test.Host().RepaintWindow(); }},
    {"background colour",
     [](LayeredWindow& w) {
         w.test.Host().PaintWindowFrame(nullptr, static_cast<std::int32_t>(RGB(200, 10, 10)),
                                        toolkit::kFrameComposePresent);
     }},
};

TEST(HostFrame, KeptFrameEqualsAFullRepaintAfterEveryChange) {
    for (const FrameCase& frameCase : kFrameCases) {
        SCOPED_TRACE(frameCase.name);
        LayeredWindow w;
        HostWindow& host = w.test.Host();
        frameCase.act(w);
        PumpFor(kFadeSettleMs);
        ASSERT_TRUE(host.IsPresented());
        const int width = host.size->width;
        const std::vector<std::uint32_t> frame = CanvasPixels(host.backgroundBitmap);
        const std::vector<std::uint32_t> shown = CanvasPixels(host.frameBitmap);
        ASSERT_FALSE(frame.empty());

        // The full repaint: the frame painted from nothing, every canvas composed over it.
        host.InvalidateFrame();
        host.PaintWindowFrame(nullptr, toolkit::kKeepColour, kFrameComposeOnly);
        EXPECT_EQ(FirstDifference(frame, CanvasPixels(host.backgroundBitmap), width), "");
        EXPECT_EQ(FirstDifference(shown, CanvasPixels(host.frameBitmap), width), "");
        host.PresentWindow();
    }
}

TEST(HostFrame, CaptionButtonKeepsItsCanvasWhenItsLookStays) {
    LayeredWindow w;
    HostWindow& host = w.test.Host();
    toolkit::SysButton* close = host.CaptionButton(toolkit::kSysButtonClose);
    ASSERT_NE(close, nullptr);
    // A mark in the canvas survives a redraw only when the button does not draw again.
    auto* pixels = static_cast<std::uint32_t*>(close->m_canvasBits);
    ASSERT_NE(pixels, nullptr);
    pixels[0] = kGreen;
    host.PaintWindowFrame(nullptr, toolkit::kKeepColour, toolkit::kFrameComposeRedraw);
    host.PresentWindow();
    EXPECT_EQ(pixels[0], kGreen);

    // A new look is drawn.
    HoverCloseButton(w);
    PumpFor(kFadeSettleMs);
    EXPECT_NE(pixels[0], kGreen);
}

TEST(HostFrame, CaptionButtonsShowTheNewThemeAfterAThemeChange) {
    LayeredWindow w;
    HostWindow& host = w.test.Host();
    const toolkit::ByteArray package = ReadProgramFile(kOtherThemeFile);
    ASSERT_FALSE(package.empty());
    host.SetWindowTheme(&package, {}, nullptr);
    PumpFor(kFadeSettleMs);
    for (std::uint32_t kind :
         {toolkit::kSysButtonClose, toolkit::kSysButtonMax, toolkit::kSysButtonMin}) {
        SCOPED_TRACE(kind);
        toolkit::SysButton* button = host.CaptionButton(kind);
        ASSERT_NE(button, nullptr);
        const std::vector<std::uint32_t> shown = CanvasPixels(button->m_canvasBitmap);
        // A drawing from nothing: the theme message makes the button forget what it showed.
        button->ElementWndProc(toolkit::kMsgThemeChanged, 0, 0);
        button->ElementWndProc(toolkit::kMsgRedraw, 0, 0);
        EXPECT_EQ(FirstDifference(shown, CanvasPixels(button->m_canvasBitmap), button->m_width),
                  "");
    }
}

TEST(HostFrame, CaptionButtonsDrawAnewAfterAThemeChangeWithoutRefresh) {
    LayeredWindow w;
    HostWindow& host = w.test.Host();
    // Taking the window's own theme as the new one hands back the handle it had, as a theme
    // loaded anew may get the handle of the one it replaced; no refresh is asked for.
    host.SetWindowTheme(nullptr, {}, nullptr, false, host.theme);
    std::vector<toolkit::SysButton*> buttons;
    for (std::uint32_t kind :
         {toolkit::kSysButtonClose, toolkit::kSysButtonMax, toolkit::kSysButtonMin}) {
        toolkit::SysButton* button = host.CaptionButton(kind);
        ASSERT_NE(button, nullptr);
        ASSERT_NE(button->m_canvasBits, nullptr);
        static_cast<std::uint32_t*>(button->m_canvasBits)[0] = kGreen;
        buttons.push_back(button);
    }
    host.PaintWindowFrame(nullptr, toolkit::kKeepColour, toolkit::kFrameComposeRedraw);
    host.PresentWindow();
    for (const toolkit::SysButton* button : buttons) {
        SCOPED_TRACE(button->m_kind);
        EXPECT_NE(static_cast<const std::uint32_t*>(button->m_canvasBits)[0], kGreen);
    }
}

// ---- Pushes of one message ------------------------------------------------------------------

constexpr UINT kMsgPresentTwice = WM_APP + 1;
constexpr UINT kMsgPresentThenShow = WM_APP + 2;
constexpr UINT kMsgPresentThenWait = WM_APP + 3;

// What the message hook saw while it handled one test message.
struct HookProbe {
    LayeredWindow* window = nullptr;
    std::uint32_t pushesBefore = 0;
    std::uint32_t pushesInside = 0;
    bool pendingInside = false;
};
HookProbe g_hook;

std::uint32_t __stdcall PresentingHook(std::uint32_t, std::uint32_t message, std::uint32_t,
                                       std::uint32_t) {
    if (message < kMsgPresentTwice || message > kMsgPresentThenWait) {
        return 0;
    }
    LayeredWindow& w = *g_hook.window;
    g_hook.pushesBefore = toolkit::LayeredPushCount();
    w.first.m_colour = kGreen;
    w.first.InvalidateElement();
    g_hook.pendingInside = toolkit::LayeredPushPending(&w.test.Host());
    if (message == kMsgPresentTwice) {
        w.second.m_colour = kGreen;
        w.second.InvalidateElement();
    } else if (message == kMsgPresentThenShow) {
        w.test.Host().PresentWindow();
    } else {
        toolkit::WaitPumpingMessages(kNestedWaitUs);
    }
    g_hook.pushesInside = toolkit::LayeredPushCount() - g_hook.pushesBefore;
    return 1;
}

struct PushCase {
    const char* name;
    UINT message;
    std::uint32_t pushesInside;  // while the message is handled
    std::uint32_t pushesAfter;   // in all, once it is done
};

const PushCase kPushCases[] = {
    // Two elements present: nothing is pushed until the message is done, then once.
    {"two presents", kMsgPresentTwice, 0, 1},
    // An explicit present pushes at once, taking what was pending with it.
    {"present window", kMsgPresentThenShow, 1, 1},
    // A nested loop pushes what is pending before it waits.
    {"nested wait", kMsgPresentThenWait, 1, 1},
};

TEST(HostPush, PresentsOfOneMessageArePushedOnce) {
    for (const PushCase& pushCase : kPushCases) {
        SCOPED_TRACE(pushCase.name);
        LayeredWindow w;
        PumpFor(kFadeSettleMs);
        g_hook = HookProbe{&w};
        w.test.Host().SetMessageHook(reinterpret_cast<std::uint32_t>(&PresentingHook));
        SendMessageW(w.test.Window(), pushCase.message, 0, 0);
        EXPECT_TRUE(g_hook.pendingInside);
        EXPECT_EQ(g_hook.pushesInside, pushCase.pushesInside);
        EXPECT_EQ(toolkit::LayeredPushCount() - g_hook.pushesBefore, pushCase.pushesAfter);
        EXPECT_FALSE(toolkit::LayeredPushPending(&w.test.Host()));
        // What was pushed is the new look.
        const POINT inside = w.test.CentreOf(w.first);
        EXPECT_EQ(w.test.FramePixel(inside.x, inside.y), kGreen);
        w.test.Host().SetMessageHook(0);
        PumpFor(kFadeSettleMs);
    }
}

TEST(HostPush, PresentOutsideAnyMessageIsPushedAtOnce) {
    LayeredWindow w;
    PumpFor(kFadeSettleMs);
    const std::uint32_t before = toolkit::LayeredPushCount();
    w.first.InvalidateElement();
    EXPECT_EQ(toolkit::LayeredPushCount() - before, 1u);
    EXPECT_FALSE(toolkit::LayeredPushPending(&w.test.Host()));
}

TEST(HostPush, PresentWindowPushesOnlyWhatChanged) {
    LayeredWindow w;
    HostWindow& host = w.test.Host();
    PumpFor(kFadeSettleMs);
    // Shown after its first push, the window goes whole once more; then the screen is known.
    host.PresentWindow();
    std::uint32_t before = toolkit::LayeredPushCount();
    host.PresentWindow();
    EXPECT_EQ(toolkit::LayeredPushCount() - before, 0u);

    // A repaint that changes one element pushes.
    host.ClearPresented();
    w.first.m_colour = kGreen;
    w.first.InvalidateElement();
    host.PaintWindowFrame(nullptr, toolkit::kKeepColour, kFrameComposeOnly);
    before = toolkit::LayeredPushCount();
    host.PresentWindow();
    EXPECT_EQ(toolkit::LayeredPushCount() - before, 1u);
    const POINT inside = w.test.CentreOf(w.first);
    EXPECT_EQ(w.test.FramePixel(inside.x, inside.y), kGreen);
}

}  // namespace
}  // namespace host_test
