// Element messages and events: binders, bound routines with and without an owner, which results
// stop the class handler, the pre-filter, state bits, element timers, re-entrancy and
// destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "CoreTestSupport.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"

namespace core_test {
namespace {

using namespace toolkit;

constexpr int kSize = 40;
constexpr std::int16_t kPointerX = -5;
constexpr std::int16_t kPointerY = 7;
const LPARAM kPointer = MAKELPARAM(kPointerX, kPointerY);

struct Call {
    std::uint32_t owner;
    std::uint32_t handle;
    std::uint32_t x;
    std::uint32_t y;
};
std::vector<Call> g_calls;
std::uint32_t g_routineResult = 0;
Element* g_destroyFromRoutine = nullptr;

std::uint32_t __stdcall PlainRoutine(std::uint32_t handle, std::uint32_t x, std::uint32_t y,
                                     std::uint32_t) {
    g_calls.push_back({0, handle, x, y});
    if (g_destroyFromRoutine != nullptr) {
        g_destroyFromRoutine->DestroyElement();
    }
    return g_routineResult;
}

std::uint32_t __stdcall OwnerRoutine(std::uint32_t owner, std::uint32_t handle, std::uint32_t x,
                                     std::uint32_t y, std::uint32_t) {
    g_calls.push_back({owner, handle, x, y});
    return g_routineResult;
}

class ElementEvents : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_routineResult = 0;
        g_destroyFromRoutine = nullptr;
        m_handle = m_probe.Create(m_host.Parent(), 0, 0, kSize, kSize);
        ASSERT_NE(m_handle, 0u);
    }

    TestHost m_host;
    ProbeElement m_probe;
    ElementHandle m_handle = 0;
};

TEST_F(ElementEvents, BoundRoutineGetsThePointerWithOrWithoutOwner) {
    EXPECT_EQ(m_probe.BindRightDown(AddressOf(&PlainRoutine), 0), 1u);
    CallElementProc(m_handle, WM_RBUTTONDOWN, 0, kPointer);
    constexpr std::uint32_t kOwner = 0x1234;
    m_probe.BindRightDown(AddressOf(&OwnerRoutine), kOwner);
    CallElementProc(m_handle, WM_RBUTTONDOWN, 0, kPointer);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].owner, 0u);
    EXPECT_EQ(g_calls[0].handle, m_handle);
    EXPECT_EQ(static_cast<std::int32_t>(g_calls[0].x), kPointerX);
    EXPECT_EQ(g_calls[0].y, static_cast<std::uint32_t>(kPointerY));
    EXPECT_EQ(g_calls[1].owner, kOwner);
    EXPECT_EQ(g_calls[1].handle, m_handle);
    EXPECT_EQ(m_probe.Seen(WM_RBUTTONDOWN), 2);
}

TEST_F(ElementEvents, RoutineReturningOneKeepsPressedBitButStopsClassHandler) {
    m_probe.BindLeftDown(AddressOf(&PlainRoutine), 0);
    g_routineResult = 1;
    EXPECT_EQ(CallElementProc(m_handle, WM_LBUTTONDOWN, 0, kPointer), 1);
    EXPECT_NE(m_probe.m_state & kStatePressed, 0u);
    EXPECT_EQ(m_probe.Seen(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(g_calls.size(), 1u);
}

// Key routines stop the class handler with any non-zero result, as pointer routines do; the
// routine gets the element, the key code and the modifier mask.
TEST_F(ElementEvents, KeyRoutineStopsTheClassHandlerWithAnyNonZeroResult) {
    m_probe.BindKeyDown(AddressOf(&PlainRoutine), 0);
    m_probe.BindKeyUp(AddressOf(&PlainRoutine), 0);
    constexpr WPARAM kKey = VK_F5;
    constexpr std::uint32_t kNoModifiers = 0;
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        SCOPED_TRACE(message);
        g_calls.clear();
        g_routineResult = 0;
        EXPECT_EQ(CallElementProc(m_handle, message, kKey, 0), 0);
        EXPECT_EQ(m_probe.Seen(message), 1) << "a result of 0 lets the class handle it";
        constexpr std::uint32_t kOtherNonZero = 2;
        g_routineResult = kOtherNonZero;
        EXPECT_EQ(CallElementProc(m_handle, message, kKey, 0), 1);
        EXPECT_EQ(m_probe.Seen(message), 1);
        ASSERT_EQ(g_calls.size(), 2u);
        EXPECT_EQ(g_calls[0].handle, m_handle);
        EXPECT_EQ(g_calls[0].x, kKey);
        EXPECT_EQ(g_calls[0].y, kNoModifiers);
    }
}

// Only pointer, key and character routines can stop the class handler: the result of a routine
// bound to entering, leaving, losing the focus or being destroyed is not looked at, and the
// state bits follow the messages whatever the routines answer.
TEST_F(ElementEvents, OtherRoutinesCannotStopTheClassHandler) {
    g_routineResult = 1;
    m_probe.BindMouseEnter(AddressOf(&PlainRoutine), 0);
    m_probe.BindMouseLeave(AddressOf(&PlainRoutine), 0);
    m_probe.BindKillFocus(AddressOf(&PlainRoutine), 0);
    m_probe.BindLeftUp(AddressOf(&PlainRoutine), 0);
    m_probe.BindDestroy(AddressOf(&PlainRoutine), 0);

    CallElementProc(m_handle, kMsgMouseEnter, 0, 0);
    EXPECT_EQ(m_probe.Seen(kMsgMouseEnter), 1);
    EXPECT_EQ(m_probe.m_state & kStateHover, kStateHover);
    CallElementProc(m_handle, kMsgMouseLeave, 0, 0);
    EXPECT_EQ(m_probe.Seen(kMsgMouseLeave), 1);
    EXPECT_EQ(m_probe.m_state & kStateHover, 0u);
    CallElementProc(m_handle, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(m_probe.Seen(WM_KILLFOCUS), 1);

    // The button-up routine does stop the class handler, yet the pressed bit still goes.
    CallElementProc(m_handle, WM_LBUTTONDOWN, 0, kPointer);
    EXPECT_EQ(m_probe.m_state & kStatePressed, kStatePressed);
    EXPECT_EQ(CallElementProc(m_handle, WM_LBUTTONUP, 0, kPointer), 1);
    EXPECT_EQ(m_probe.m_state & kStatePressed, 0u);
    EXPECT_EQ(m_probe.Seen(WM_LBUTTONUP), 0);

    m_probe.DestroyElement();
    EXPECT_FALSE(m_probe.IsElementAlive()) << "a destroy routine cannot keep the element";
    const auto destroys = std::count_if(
        m_probe.m_ownLog.begin(), m_probe.m_ownLog.end(),
        [](const SeenMessage& seen) { return seen.message == static_cast<UINT>(WM_DESTROY); });
    EXPECT_EQ(destroys, 1) << "the class handler saw the destruction";
    constexpr std::size_t kRoutines = 5;
    EXPECT_EQ(g_calls.size(), kRoutines);
}

TEST_F(ElementEvents, PaintOfAnElementWithoutAreaReachesNoClass) {
    ProbeElement flat;
    ASSERT_NE(flat.Create(m_host.Parent(), 0, 0, 0, kSize), 0u);
    EXPECT_EQ(flat.Seen(WM_PAINT), 0);
    flat.m_classResult = 1;
    EXPECT_EQ(CallElementProc(flat.m_handle, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(flat.Seen(WM_PAINT), 0);
}

TEST_F(ElementEvents, PreFilterStopsEverything) {
    m_probe.BindLeftDown(AddressOf(&PlainRoutine), 0);
    m_probe.m_preFilterResult = 1;
    EXPECT_EQ(CallElementProc(m_handle, WM_LBUTTONDOWN, 0, kPointer), 1);
    EXPECT_EQ(m_probe.m_state & kStatePressed, 0u);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(m_probe.Seen(WM_LBUTTONDOWN), 0);
}

TEST_F(ElementEvents, CharIsStoppedOnlyByExactlyOne) {
    m_probe.BindChar(AddressOf(&PlainRoutine), 0);
    constexpr std::uint32_t kOtherNonZero = 2;
    g_routineResult = kOtherNonZero;
    CallElementProc(m_handle, WM_CHAR, 'a', 0);
    EXPECT_EQ(m_probe.Seen(WM_CHAR), 1);
    g_routineResult = 1;
    CallElementProc(m_handle, WM_CHAR, 'a', 0);
    EXPECT_EQ(m_probe.Seen(WM_CHAR), 1);
}

TEST_F(ElementEvents, UnboundMessageAndMissingTableRaiseNothing) {
    EXPECT_EQ(RaiseElementEvent(m_handle, kMsgClick, {m_handle}), 0u);
    ProbeElement notCreated;
    EXPECT_EQ(notCreated.BindClick(AddressOf(&PlainRoutine), 0), 0u);
    // The wheel reaches only the class handler.
    m_probe.BindMouseWheel(AddressOf(&PlainRoutine), 0);
    CallElementProc(m_handle, WM_MOUSEWHEEL, 0, 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(m_probe.Seen(WM_MOUSEWHEEL), 1);
}

TEST_F(ElementEvents, ElementDestroyedByItsRoutineIsNotHandledFurther) {
    m_probe.BindClick(AddressOf(&PlainRoutine), 0);
    g_destroyFromRoutine = &m_probe;
    EXPECT_EQ(CallElementProc(m_handle, kMsgClick, 0, kPointer), 0);
    EXPECT_EQ(g_calls.size(), 1u);
    EXPECT_FALSE(m_probe.IsElementAlive());
    for (const SeenMessage& seen : m_probe.m_ownLog) {
        EXPECT_NE(seen.message, static_cast<UINT>(kMsgClick));
    }
}

TEST_F(ElementEvents, CarrierMessageReachesTheElementThroughItsWindow) {
    constexpr UINT kCustom = WM_APP + 5;
    EXPECT_EQ(m_probe.SendElementMessage(kCustom, 1, 2), 0);
    EXPECT_EQ(m_probe.Seen(kCustom), 1);
    m_probe.PostElementMessage(kCustom, 3, 4);
    EXPECT_TRUE(PumpUntil([&] { return m_probe.Seen(kCustom) == 2; }));
}

TEST(ElementDestruction, SubtreeGoesParentFirstThenChildrenDepthFirstAndTimersDie) {
    TestHost host;
    std::vector<SeenMessage> log;
    ProbeElement parent, first, grandchild, second;
    for (ProbeElement* probe : {&parent, &first, &grandchild, &second}) {
        probe->m_log = &log;
    }
    const ElementHandle parentHandle = parent.Create(host.Parent(), 0, 0, kSize, kSize);
    const ElementHandle firstHandle = first.Create(parentHandle, 0, 0, kSize, kSize);
    const ElementHandle grandHandle = grandchild.Create(firstHandle, 0, 0, kSize, kSize);
    const ElementHandle secondHandle = second.Create(parentHandle, 0, 0, kSize, kSize);
    constexpr UINT kElapseMs = 1000;
    ASSERT_TRUE(grandchild.SetElementTimer(kElapseMs, nullptr, true));
    ASSERT_TRUE(second.SetElementTimer(kElapseMs, nullptr, true));

    log.clear();
    parent.DestroyElement();
    std::vector<ElementHandle> order;
    for (const SeenMessage& seen : log) {
        if (seen.message == WM_DESTROY) {
            order.push_back(seen.handle);
        }
    }
    const std::vector<ElementHandle> expected = {parentHandle, grandHandle, firstHandle,
                                                 secondHandle};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(KillTimer(host.Window(), grandHandle));
    EXPECT_FALSE(KillTimer(host.Window(), secondHandle));
    EXPECT_EQ(host.Fields().firstChild, 0u);
    EXPECT_EQ(host.Fields().tabHead, 0u);
}

// An element timer is a timer of the host window whose id is the element's handle: it reaches
// that element, and no other, until it is stopped.
TEST(ElementTimers, ReachTheirElementUntilStopped) {
    TestHost host;
    ProbeElement ticking, quiet;
    const ElementHandle handle = ticking.Create(host.Parent(), 0, 0, kSize, kSize);
    quiet.Create(host.Parent(), kSize, 0, kSize, kSize);
    constexpr UINT kShortMs = 10;
    constexpr int kTicks = 2;
    ASSERT_TRUE(ticking.SetElementTimer(kShortMs, nullptr, true));
    ASSERT_TRUE(PumpUntil([&] { return ticking.Seen(WM_TIMER) >= kTicks; }));
    EXPECT_EQ(quiet.Seen(WM_TIMER), 0);
    for (const SeenMessage& seen : ticking.m_ownLog) {
        if (seen.message == WM_TIMER) {
            EXPECT_EQ(seen.wParam, handle);
        }
    }
    ticking.SetElementTimer(0);
    EXPECT_FALSE(KillTimer(host.Window(), handle)) << "stopped";
    ticking.RestartElementTimer(kShortMs);
    const int before = ticking.Seen(WM_TIMER);
    EXPECT_TRUE(PumpUntil([&] { return ticking.Seen(WM_TIMER) > before; })) << "restarted";
    ticking.RestartElementTimer(0);
    EXPECT_FALSE(KillTimer(host.Window(), handle)) << "a restart with 0 stops it";
}

// Destroying an element in the middle of a transition kills its transition timer (the handle
// plus one) along with its own.
TEST(ElementDestruction, KillsTheTransitionTimerToo) {
    TestHost host;
    constexpr std::int32_t kFrames = 8;
    constexpr std::int32_t kLongIntervalMs = 1000;
    ProbeElement probe;
    ElementCreateOptions options;
    options.transitionFrames = kFrames;
    options.transitionInterval = kLongIntervalMs;
    const ElementHandle handle = probe.Create(host.Parent(), 0, 0, kSize, kSize, options);
    probe.InvalidateElement();
    ASSERT_EQ(probe.m_state & kStateTransition, kStateTransition) << "a transition runs";
    ASSERT_TRUE(probe.SetElementTimer(kLongIntervalMs, nullptr, true));
    probe.DestroyElement();
    EXPECT_FALSE(KillTimer(host.Window(), handle));
    EXPECT_FALSE(KillTimer(host.Window(), handle + 1));
}

TEST(ElementDestruction, ReleasesFocusCaptureAndHoverHeldByTheElement) {
    TestHost host;
    ProbeElement probe;
    const ElementHandle handle = probe.Create(host.Parent(), 0, 0, kSize, kSize);
    HostRecordFields& fields = host.Fields();
    fields.focused = fields.keyboardFocus = fields.captured = fields.hovered = handle;
    fields.captureFlag = 1;
    probe.DestroyElement();
    EXPECT_EQ(fields.focused, 0u);
    EXPECT_EQ(fields.keyboardFocus, 0u);
    EXPECT_EQ(fields.captured, 0u);
    EXPECT_EQ(fields.captureFlag, 0u);
    EXPECT_EQ(fields.hovered, 0u);
}

TEST(ElementFocus, FocusMovesAndAlreadyFocusedReturnsAtOnce) {
    g_calls.clear();
    TestHost host;
    ProbeElement a, b;
    const ElementHandle aHandle = a.Create(host.Parent(), 0, 0, kSize, kSize);
    const ElementHandle bHandle = b.Create(host.Parent(), kSize, 0, kSize, kSize);
    a.BindSetFocus(AddressOf(&PlainRoutine), 0);
    a.SetElementFocus();
    EXPECT_EQ(host.Fields().focused, aHandle);
    EXPECT_TRUE(a.HasElementFocus());
    EXPECT_EQ(g_calls.size(), 1u);
    a.SetElementFocus();
    EXPECT_EQ(g_calls.size(), 1u);

    // Focus from the keyboard on a Tab stop also takes the keyboard-focus frame.
    constexpr WPARAM kFromKeyboard = 1;
    CallElementProc(bHandle, WM_SETFOCUS, kFromKeyboard, 0);
    EXPECT_EQ(host.Fields().focused, bHandle);
    EXPECT_EQ(host.Fields().keyboardFocus, bHandle);
    EXPECT_FALSE(a.HasElementFocus());
    EXPECT_EQ(a.Seen(WM_KILLFOCUS), 1);

    // Hiding the focused element gives the focus up.
    b.ElementVisible(false);
    EXPECT_EQ(host.Fields().focused, 0u);
    EXPECT_EQ(host.Fields().keyboardFocus, 0u);
    EXPECT_FALSE(b.ElementVisible());
    g_calls.clear();
}

}  // namespace
}  // namespace core_test
