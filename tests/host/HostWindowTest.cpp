// Host windows under Wine: the engine contract of the object, pointer and keyboard handling,
// caption buttons, closing, element messages carried through the window, layered presenting,
// regions and the release of what a window holds.
#include <gtest/gtest.h>

#include <cstring>

#include "HostTestSupport.h"
#include "PushRecorder.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementTree.h"
#include "core/SysButton.h"
#include "core/ThemePainter.h"
#include "controls/Label.h"
#include "foundation/EngineAbi.h"
#include "foundation/EngineBinding.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Win32Handles.h"

namespace host_test {
namespace {

using toolkit::kMsgClick;
using toolkit::kMsgMouseEnter;
using toolkit::kMsgMouseLeave;

constexpr int kProbeGap = 10;
// Sizes of the test theme (tools/themes/layout.ini).
constexpr int kShadowMargin = 10;
constexpr int kCaptionButtonWidth = 28;
constexpr int kCaptionButtonHeight = 20;
constexpr int kCaptionOffsetRight = -4;
constexpr int kCaptionTop = 1;
constexpr int kCaptionHeight = 30;

// ---- The engine contract of the object ---------------------------------------------------------

// The slot a virtual member occupies: GCC's pointer to a virtual member holds 1 + its byte
// offset in the method table.
template <typename Member>
std::uint32_t SlotOf(Member member) {
    std::uintptr_t words[2] = {};
    static_assert(sizeof member == sizeof words, "a pointer to member is two words");
    std::memcpy(words, &member, sizeof words);
    return static_cast<std::uint32_t>((words[0] - 1) / sizeof(void*));
}

TEST(HostWindowContract, SlotsTheEngineCallsSitWhereItCallsThem) {
    EXPECT_EQ(SlotOf(&HostWindow::HostWindowProc), toolkit::kHostSlotWindowProc);
    EXPECT_EQ(SlotOf(&HostWindow::AttachWindow), toolkit::kHostSlotAttachWindow);
    EXPECT_EQ(SlotOf(&HostWindow::PresentWindow), engine_abi::kSlotHostPresent);
    EXPECT_EQ(SlotOf(&HostWindow::SetMessageHook), toolkit::kHostSlotCount - 1);
    EXPECT_EQ(SlotOf(&toolkit::SysButton::GetSysButtonKind), 94u);
}

TEST(HostWindowContract, RecordWordsAreWhereTheEngineReadsThem) {
    TestWindow test;
    const auto object = reinterpret_cast<std::uintptr_t>(&test.Host());
    const auto* words = reinterpret_cast<const std::uint32_t*>(object);
    using namespace engine_abi;
    EXPECT_EQ(test.Host().ownHandle, object + kHostFieldSelfCell * kFieldBytes);
    EXPECT_EQ(words[kHostFieldSelfCell], object);
    EXPECT_EQ(words[kHostFieldWindow], test.Parent());
    EXPECT_EQ(toolkit::HostWindowFromWindow(test.Window()), &test.Host());
}

TEST(HostWindowContract, EngineShowsThroughSlot39) {
    TestWindow test;
    const toolkit::AnimationValues engineShow = {1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(test.Host().ShowHostWindow(engineShow), 1u);
    EXPECT_TRUE(IsWindowVisible(test.Window()));
    EXPECT_TRUE(test.Host().IsPresented());
}

// ---- Pointer ----------------------------------------------------------------------------------

class HostPointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_first.Create(m_test.Parent(), kProbeGap, kCaptionHeight + kProbeGap, kProbeSize,
                       kProbeSize);
        m_second.Create(m_test.Parent(), 2 * kProbeGap + kProbeSize, kCaptionHeight + kProbeGap,
                        kProbeSize, kProbeSize);
        m_test.Show();
        m_log.clear();
    }

    // Declared before the window, so the window (and its elements) goes first.
    std::vector<SeenMessage> m_log;
    ProbeElement m_first{kRed, &m_log};
    ProbeElement m_second{kBlue, &m_log};
    TestWindow m_test;
};

TEST_F(HostPointerTest, ClickIsRaisedOnlyForDownAndUpOnTheSameElement) {
    m_test.PostClick(m_test.CentreOf(m_first), m_test.CentreOf(m_first));
    ASSERT_TRUE(PumpUntil([&] { return m_first.Seen(WM_LBUTTONUP) == 1; }));
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(m_first.Seen(kMsgClick), 1);
    EXPECT_EQ(m_test.Host().captured, 0u);

    m_test.PostClick(m_test.CentreOf(m_first), m_test.CentreOf(m_second));
    ASSERT_TRUE(PumpUntil([&] { return m_first.Seen(WM_LBUTTONUP) == 2; }));
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(m_first.Seen(kMsgClick), 1);
    EXPECT_EQ(m_second.Seen(kMsgClick), 0);
    EXPECT_EQ(m_test.Host().captured, 0u);
    EXPECT_EQ(m_test.Host().pressed, 0u);
}

TEST_F(HostPointerTest, WithoutCaptureAClickStillNeedsDownAndUpOnTheSameElement) {
    HostWindow& host = m_test.Host();
    // The capture is lost between press and release (a modal loop took it, for instance): the
    // element that was pressed is still the one a release must find to make a click.
    const auto pressWithoutCapture = [&](POINT at) {
        SendMessageW(m_test.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ReleaseCapture();
        host.captureFlag = 0;
        host.captured = 0;
    };
    const POINT first = m_test.CentreOf(m_first);
    const POINT second = m_test.CentreOf(m_second);

    pressWithoutCapture(first);
    SendMessageW(m_test.Window(), WM_LBUTTONUP, 0, MAKELPARAM(second.x, second.y));
    EXPECT_EQ(m_first.Seen(kMsgClick) + m_second.Seen(kMsgClick), 0);
    EXPECT_EQ(m_second.Seen(WM_LBUTTONUP), 0);
    EXPECT_EQ(host.pressed, 0u);

    pressWithoutCapture(first);
    SendMessageW(m_test.Window(), WM_LBUTTONUP, 0, MAKELPARAM(first.x, first.y));
    EXPECT_EQ(m_first.Seen(WM_LBUTTONUP), 1);
    EXPECT_EQ(m_first.Seen(kMsgClick), 1);
    EXPECT_EQ(m_second.Seen(kMsgClick), 0);
    EXPECT_EQ(host.pressed, 0u);
}

TEST_F(HostPointerTest, MovingAcrossTwoElementsRaisesLeaveThenEnter) {
    // The real pointer starts off the elements, and what its earlier moves still cause has been
    // dispatched before the crossings are counted.
    POINT away = {kWindowWidth - kProbeGap, kWindowHeight - kProbeGap};
    ClientToScreen(m_test.Window(), &away);
    SetCursorPos(away.x, away.y);
    EXPECT_TRUE(PumpUntilIdle());
    m_log.clear();
    for (const ProbeElement* probe : {&m_first, &m_second}) {
        const POINT point = m_test.CentreOf(*probe);
        POINT screen = point;
        ClientToScreen(m_test.Window(), &screen);
        // The real pointer goes there too: hover tracking reads it.
        SetCursorPos(screen.x, screen.y);
        PostMessageW(m_test.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
        ASSERT_TRUE(PumpUntil([&] { return m_test.Host().hovered == probe->m_handle; }));
        // A further move inside the same element crosses nothing.
        PostMessageW(m_test.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(point.x + 1, point.y + 1));
        EXPECT_TRUE(PumpUntilIdle());
    }
    std::vector<std::pair<ElementHandle, UINT>> crossings;
    for (const SeenMessage& seen : m_log) {
        if (seen.message == kMsgMouseEnter || seen.message == kMsgMouseLeave) {
            crossings.emplace_back(seen.handle, seen.message);
        }
    }
    const std::vector<std::pair<ElementHandle, UINT>> expected = {
        {m_first.m_handle, kMsgMouseEnter},
        {m_first.m_handle, kMsgMouseLeave},
        {m_second.m_handle, kMsgMouseEnter},
    };
    EXPECT_EQ(crossings, expected);
}

// ---- Keyboard ---------------------------------------------------------------------------------

class HostTabTest : public ::testing::Test {
protected:
    ElementHandle Tab() {
        SendMessageW(m_test.Window(), WM_KEYDOWN, VK_TAB, 0);
        return m_test.Host().focused;
    }
    ElementHandle Make(ProbeElement& probe, int index, const toolkit::ElementCreateOptions& base) {
        toolkit::ElementCreateOptions options = base;
        options.tabStopIndex = index;
        return probe.Create(m_test.Parent(), index * kProbeGap, kCaptionHeight, kProbeGap,
                            kProbeGap, options);
    }

    std::vector<SeenMessage> m_log;
    ProbeElement m_probes[5] = {
        {kRed, &m_log}, {kRed, &m_log}, {kRed, &m_log}, {kRed, &m_log}, {kRed, &m_log}};
    TestWindow m_test;
};

TEST_F(HostTabTest, CyclesInTabOrderSkippingWhatCannotTakeTheFocus) {
    toolkit::ElementCreateOptions hidden;
    hidden.visible = 0;
    toolkit::ElementCreateOptions noTabStop;
    noTabStop.tabStop = 0;
    // Created out of order: the Tab chain follows the indexes.
    const ElementHandle last = Make(m_probes[4], 5, {});
    const ElementHandle first = Make(m_probes[0], 1, {});
    Make(m_probes[1], 2, {});
    m_probes[1].ElementDisabled(true);
    Make(m_probes[2], 3, hidden);
    Make(m_probes[3], 4, noTabStop);
    m_test.Show();

    EXPECT_EQ(Tab(), first);
    EXPECT_EQ(Tab(), last);
    EXPECT_EQ(Tab(), first);  // wraps
    EXPECT_EQ(m_test.Host().keyboardFocus, first);
}

TEST_F(HostTabTest, EndsWhenOnlyTheFocusedHeadQualifies) {
    toolkit::ElementCreateOptions noTabStop;
    noTabStop.tabStop = 0;
    const ElementHandle head = Make(m_probes[0], 1, {});
    Make(m_probes[1], 2, noTabStop);
    m_test.Show();
    ASSERT_EQ(Tab(), head);
    // The walk comes back to its start after one turn and stops there.
    EXPECT_EQ(SendMessageW(m_test.Window(), WM_KEYDOWN, VK_TAB, 0), 0);
    EXPECT_EQ(m_test.Host().focused, head);
}

TEST(HostKeyboard, EscapeClosesOnlyWithItsFlag) {
    TestWindow test;
    test.Show();
    SendMessageW(test.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntilIdle());
    ASSERT_TRUE(IsWindow(test.Window()));

    test.Host().EscapeCloses(true);
    SendMessageW(test.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(test.Window()); }));
}

TEST(HostKeyboard, AccessKeysGoWithTheirElement) {
    constexpr WPARAM kKey = 'g';
    std::vector<SeenMessage> log;
    ProbeElement probe(kRed, &log);
    TestWindow test;
    const auto create = [&] {
        return probe.Create(test.Parent(), kProbeGap, kCaptionHeight + kProbeGap, kProbeSize,
                            kProbeSize);
    };
    const ElementHandle first = create();
    test.Show();
    ASSERT_EQ(SendMessageW(test.Window(), toolkit::kMsgAccessKey, first, kKey), 1);
    SendMessageW(test.Window(), WM_SYSCHAR, kKey, 0);
    EXPECT_EQ(probe.Seen(kMsgClick), 1);

    // The same object made again gets the same handle, but it never asked for the key.
    probe.DestroyElement();
    ASSERT_EQ(create(), first);
    log.clear();
    SendMessageW(test.Window(), WM_SYSCHAR, kKey, 0);
    EXPECT_EQ(probe.Seen(kMsgClick), 0);
}

// ---- Caption buttons and closing --------------------------------------------------------------

TEST(HostCaption, ButtonsLineUpFromTheRightAtTheThemeSizes) {
    TestWindow test;
    test.Show();
    HostWindow& host = test.Host();
    EXPECT_EQ(host.captionFlags, toolkit::kCaptionIcon | toolkit::kCaptionTitle |
                                     toolkit::kCaptionClose | toolkit::kCaptionMax |
                                     toolkit::kCaptionMin);
    EXPECT_EQ(host.captionHeight, kCaptionHeight);
    const int bodyWidth = kWindowWidth - 2 * kShadowMargin;
    int right = bodyWidth + kCaptionOffsetRight + 1;
    for (std::uint32_t kind :
         {toolkit::kSysButtonClose, toolkit::kSysButtonMax, toolkit::kSysButtonMin}) {
        SCOPED_TRACE(kind);
        const toolkit::SysButton* button = host.CaptionButton(kind);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(host.GetCaptionPart(kind), button->m_handle);
        EXPECT_EQ(button->m_right, right);
        EXPECT_EQ(button->m_top, kCaptionTop);
        EXPECT_EQ(button->m_width, kCaptionButtonWidth);
        EXPECT_EQ(button->m_height, kCaptionButtonHeight);
        // A caption button never takes the focus or a Tab stop.
        EXPECT_EQ(button->m_tabStop, 0u);
        EXPECT_EQ(button->m_state & toolkit::kStateFocusable, 0u);
        right = button->m_left;
    }
}

TEST(HostCaption, IconAndTitleSitInTheCaptionAndFollowTheWindow) {
    TestWindow test;
    test.Show();
    HostWindow& host = test.Host();
    const Element* icon = toolkit::ElementFromHandle(host.GetCaptionPart(toolkit::kCaptionIcon));
    const auto* title = static_cast<toolkit::Label*>(
        toolkit::ElementFromHandle(host.GetCaptionPart(toolkit::kCaptionTitle)));
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(title, nullptr);
    constexpr int kIconSize = 16;
    constexpr int kIconOffset = (kCaptionHeight - kIconSize) / 2;
    EXPECT_EQ(icon->m_left, kIconOffset + 1);
    EXPECT_EQ(icon->m_top, kIconOffset);
    EXPECT_EQ(icon->m_width, kIconSize);
    EXPECT_EQ(icon->m_height, kIconSize);
    // The title fills the caption between the icon and the leftmost caption button.
    EXPECT_EQ(title->m_left, icon->m_right);
    EXPECT_EQ(title->m_top, 1);
    EXPECT_EQ(title->m_height, kCaptionHeight);
    EXPECT_EQ(title->m_right, host.CaptionButton(toolkit::kSysButtonMin)->m_left);
    EXPECT_EQ(title->m_state & toolkit::kStateFocusable, 0u);

    SetWindowTextW(test.Window(), L"Renamed");
    const toolkit::ByteArray shown = const_cast<toolkit::Label*>(title)->LabelTitleW();
    const std::wstring expected = L"Renamed";
    ASSERT_EQ(shown.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::memcmp(shown.data(), expected.c_str(), shown.size()), 0);
}

TEST(HostCaption, DoubleClickOnTitleTogglesMaximisedAndOnIconCloses) {
    TestWindow test;
    test.Show();
    HostWindow& host = test.Host();
    const Element* title = toolkit::ElementFromHandle(host.GetCaptionPart(toolkit::kCaptionTitle));
    ASSERT_NE(title, nullptr);
    const POINT onTitle = test.CentreOf(*title);
    PostMessageW(test.Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(onTitle.x, onTitle.y));
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(test.Window()) != FALSE; }));
    // The frame was rebuilt at the new size.
    RECT rect{};
    GetWindowRect(test.Window(), &rect);
    EXPECT_EQ(host.size->width, rect.right - rect.left);

    const Element* icon = toolkit::ElementFromHandle(host.GetCaptionPart(toolkit::kCaptionIcon));
    ASSERT_NE(icon, nullptr);
    const POINT onIcon = test.CentreOf(*icon);
    PostMessageW(test.Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(onIcon.x, onIcon.y));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(test.Window()); }));
}

TEST(HostCaption, NoCaptionFlagsMakeNoButtonsAndNoSystemMenu) {
    toolkit::HostAttachOptions options;
    options.captionFlags = 0;
    TestWindow test(options);
    EXPECT_EQ(test.Host().CaptionButtonCount(), 0u);
    EXPECT_EQ(GetWindowLongW(test.Window(), GWL_STYLE) & WS_SYSMENU, 0);
}

TEST(HostCaption, ClickOnCloseDestroysTheWindow) {
    TestWindow test;
    test.Show();
    const toolkit::SysButton* close = test.Host().CaptionButton(toolkit::kSysButtonClose);
    ASSERT_NE(close, nullptr);
    test.PostClick(test.CentreOf(*close), test.CentreOf(*close));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(test.Window()); }));
}

TEST(HostCaption, ClickOnMinimiseMinimises) {
    TestWindow test;
    test.Show();
    const toolkit::SysButton* minimise = test.Host().CaptionButton(toolkit::kSysButtonMin);
    ASSERT_NE(minimise, nullptr);
    test.PostClick(test.CentreOf(*minimise), test.CentreOf(*minimise));
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(test.Window()) != FALSE; }));
}

std::uint32_t g_closeAnswer = 0;
int g_closeCalls = 0;
std::uint32_t __stdcall AnswerClose(std::uint32_t) {
    ++g_closeCalls;
    return g_closeAnswer;
}

TEST(HostClose, RoutineAnsweringOneCancelsTheClose) {
    TestWindow test;
    test.Show();
    g_closeCalls = 0;
    g_closeAnswer = 1;
    test.Host().BindClose(reinterpret_cast<std::uint32_t>(&AnswerClose), 0);
    SendMessageW(test.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(g_closeCalls, 1);
    EXPECT_TRUE(IsWindow(test.Window()));
    EXPECT_TRUE(IsWindowVisible(test.Window()));

    g_closeAnswer = 0;
    SendMessageW(test.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(g_closeCalls, 2);
    EXPECT_FALSE(IsWindow(test.Window()));
}

// ---- Element messages carried through the window ---------------------------------------------

constexpr UINT kCarried = WM_APP + 1;
constexpr UINT kForeign = WM_APP + 2;
// An address no process has memory at.
constexpr LPARAM kUnreadable = 0x1234;

TEST(HostCarrier, OnlyBlocksTheToolkitCarriesAreTakenAndFreed) {
    std::vector<SeenMessage> log;
    ProbeElement probe{kRed, &log};
    TestWindow test;
    probe.Create(test.Parent(), 0, kCaptionHeight, kProbeSize, kProbeSize);
    const HWND window = test.Window();
    const auto handle = static_cast<WPARAM>(probe.m_handle);

    // Any process can post the carrier: a value that is no address, and a block some other code
    // made that reads as a message for the probe.
    toolkit::HeapBlock foreign(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(toolkit::ElementMessageBlock)));
    ASSERT_TRUE(foreign);
    auto* block = static_cast<toolkit::ElementMessageBlock*>(foreign.get());
    block->message = kForeign;
    PostMessageW(window, toolkit::kMsgElementCarrier, handle, kUnreadable);
    PostMessageW(window, toolkit::kMsgElementCarrier, handle, reinterpret_cast<LPARAM>(block));
    ASSERT_TRUE(toolkit::PostToElement(probe.m_handle, kCarried, 0, 0));
    EXPECT_EQ(toolkit::CarriedMessagesPending(window), 1u);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(probe.Seen(kCarried), 1);
    EXPECT_EQ(probe.Seen(kForeign), 0);
    EXPECT_EQ(toolkit::CarriedMessagesPending(window), 0u);
    // The foreign block is still its maker's, as it was.
    EXPECT_NE(HeapValidate(GetProcessHeap(), 0, block), FALSE);
    EXPECT_EQ(block->message, kForeign);

    toolkit::SendToElement(probe.m_handle, kCarried, 0, 0);
    EXPECT_EQ(probe.Seen(kCarried), 2);

    // What the window never took goes with it.
    ASSERT_TRUE(toolkit::PostToElement(probe.m_handle, kCarried, 0, 0));
    DestroyWindow(window);
    EXPECT_EQ(toolkit::CarriedMessagesPending(window), 0u);
    EXPECT_EQ(probe.Seen(kCarried), 2);
}

// ---- Presenting -------------------------------------------------------------------------------

constexpr std::int32_t kLayeredAlpha = 200;
constexpr COLORREF kBackground = RGB(0, 128, 0);

TEST(HostPresent, LayeredWindowPresentsItsBackBufferWithoutInvalidating) {
    PushRecorder recorder;
    toolkit::HostAttachOptions options;
    options.layeredAlpha = kLayeredAlpha;
    options.backgroundColour = kBackground;
    std::vector<SeenMessage> log;
    ProbeElement probe(kRed, &log);
    TestWindow test(options);
    probe.Create(test.Parent(), kProbeGap, kCaptionHeight + kProbeGap, kProbeSize, kProbeSize);
    test.Show();
    EXPECT_NE(GetWindowLongW(test.Window(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);

    // UpdateLayeredWindow leaves nothing to repaint; WM_PAINT would need an invalid area.
    probe.m_colour = kBlue;
    probe.InvalidateElement();
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(test.Window(), &pending, FALSE));

    const POINT inside = test.CentreOf(probe);
    EXPECT_EQ(test.FramePixel(inside.x, inside.y), kBlue);
    EXPECT_EQ(recorder.ScreenPixel(test.Window(), inside.x, inside.y), kBlue);
    EXPECT_EQ(recorder.ScreenDifference(test.Host()), "");
    // The background shows at the layered alpha, premultiplied.
    const std::uint32_t background = test.FramePixel(kShadowMargin + 2, kWindowHeight / 2);
    EXPECT_EQ(Alpha(background), static_cast<std::uint32_t>(kLayeredAlpha));
    EXPECT_EQ(Green(background), 128u * kLayeredAlpha / 255);
    // Outside the body (the shadow margin) nothing of the background is drawn.
    EXPECT_NE(test.FramePixel(1, kWindowHeight / 2), background);
}

TEST(HostPresent, PlainWindowInvalidatesWhatChanged) {
    toolkit::HostAttachOptions options;
    options.backgroundColour = kBackground;
    std::vector<SeenMessage> log;
    ProbeElement probe(kRed, &log);
    TestWindow test(options);
    probe.Create(test.Parent(), kProbeGap, kCaptionHeight + kProbeGap, kProbeSize, kProbeSize);
    test.Show();
    EXPECT_TRUE(PumpUntilIdle());
    probe.m_colour = kBlue;
    probe.InvalidateElement();
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(test.Window(), &pending, FALSE));
    const POINT inside = test.CentreOf(probe);
    EXPECT_EQ(test.FramePixel(inside.x, inside.y), kBlue);
    EXPECT_EQ(test.FramePixel(kShadowMargin + 2, kWindowHeight / 2), 0xFF000000 | (128u << 8));
}

TEST(HostPresent, WindowKeepsItsOwnRegionsAfterHandingOneToTheSystem) {
    TestWindow test;
    test.Show();
    HostWindow& host = test.Host();
    // Presenting twice makes the system drop the region it held first.
    host.PresentWindow();
    host.PresentWindow();
    EXPECT_NE(host.windowRegion, host.innerRegion);
    RECT box{};
    EXPECT_NE(GetRgnBox(host.windowRegion, &box), ERROR);
    EXPECT_EQ(box.left, kShadowMargin);
    EXPECT_NE(GetRgnBox(host.innerRegion, &box), ERROR);
    HRGN applied = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(test.Window(), applied), ERROR);
    DeleteObject(applied);
}

TEST(HostPresent, BackgroundPictureAverageSumsPastThirtyTwoBits) {
    // 4160 x 4160 pixels of red 250 sum to more than 2^32.
    constexpr int kSide = 4160;
    constexpr COLORREF kColour = RGB(250, 120, 30);
    toolkit::GpBitmapPtr picture = toolkit::CreateBitmap(kSide, kSide);
    ASSERT_TRUE(picture);
    {
        toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(picture.get());
        toolkit::ClearGraphics(graphics.get(), 0xFFFA781E);
    }
    toolkit::HostAttachOptions options;
    options.backgroundImage = toolkit::EncodeImageToBytes(picture.get(), toolkit::kPngFormat);
    ASSERT_FALSE(options.backgroundImage.empty());
    picture.reset();
    TestWindow test(options);
    EXPECT_EQ(test.Host().backgroundColour, kColour);
}

// ---- Destruction ------------------------------------------------------------------------------

HANDLE g_propertyAtEnd = reinterpret_cast<HANDLE>(1);
bool g_sawEnd = false;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        g_sawEnd = true;
        g_propertyAtEnd = GetPropA(window, toolkit::kHostWindowProperty);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(HostDestroy, PropertyGoesAndThePreviousProcedureComesBack) {
    constexpr wchar_t kClass[] = L"HostTestRecording";
    toolkit::ToolkitWindowClassOptions classOptions;
    classOptions.windowProcedure = RecordingProc;
    classOptions.className = kClass;
    toolkit::RegisterToolkitWindowClass(classOptions);
    toolkit::ToolkitWindowOptions windowOptions;
    windowOptions.className = "HostTestRecording";
    TestWindow test({}, &windowOptions);
    ASSERT_NE(GetPropA(test.Window(), toolkit::kHostWindowProperty), nullptr);
    g_sawEnd = false;
    DestroyWindow(test.Window());
    EXPECT_TRUE(g_sawEnd);
    EXPECT_EQ(g_propertyAtEnd, nullptr);
    EXPECT_EQ(test.Host().window, nullptr);
    EXPECT_EQ(test.Host().CaptionButtonCount(), 0u);
}

TEST(HostDestroy, ChildWindowGivesBackOnlyItsOwnThemeReference) {
    TestWindow owner;
    const std::uint32_t theme = owner.Host().theme;
    ASSERT_NE(theme, 0u);
    toolkit::ToolkitWindowOptions childPlacement;
    childPlacement.parent = owner.Window();
    toolkit::HostAttachOptions childOptions;
    childOptions.parent = owner.Window();
    {
        TestWindow child(childOptions, &childPlacement);
        EXPECT_EQ(child.Host().theme, theme);
        DestroyWindow(child.Window());
    }
    // The owner's theme still answers.
    EXPECT_EQ(toolkit::GetThemeInteger(theme, toolkit::kShadowSectionHost, "cycaption"),
              kCaptionHeight);
}

TEST(HostDestroy, DestroyingTheWindowDestroysEveryElement) {
    std::vector<SeenMessage> log;
    ProbeElement probes[3] = {{kRed, &log}, {kRed, &log}, {kRed, &log}};
    TestWindow test;
    for (int i = 0; i < 3; ++i) {
        probes[i].Create(test.Parent(), i * kProbeGap, kCaptionHeight, kProbeGap, kProbeGap);
    }
    const ElementHandle nested = probes[2].m_handle;
    probes[1].SetElementParent(nested);
    DestroyWindow(test.Window());
    for (const ProbeElement& probe : probes) {
        // Each once: the tear-down never follows a link of an element it already cleared.
        EXPECT_EQ(probe.Seen(WM_DESTROY), 1);
        EXPECT_EQ(probe.m_alive, 0u);
    }
    EXPECT_EQ(test.Host().firstChild, 0u);
}

// ---- Placement and stacking -------------------------------------------------------------------

// Records the placement flags of every WM_WINDOWPOSCHANGING that reaches one window of this
// thread while it lives.
class PlacementRecorder {
public:
    explicit PlacementRecorder(HWND window) {
        s_window = window;
        s_flags.clear();
        m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId());
    }
    ~PlacementRecorder() {
        UnhookWindowsHookEx(m_hook);
        s_window = nullptr;
    }
    PlacementRecorder(const PlacementRecorder&) = delete;
    PlacementRecorder& operator=(const PlacementRecorder&) = delete;

    // The flags of the first placement that carried all of `required`; 0 when none did.
    static UINT FirstWith(UINT required) {
        for (UINT flags : s_flags) {
            if ((flags & required) == required) {
                return flags;
            }
        }
        return 0;
    }

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->hwnd == s_window && call->message == WM_WINDOWPOSCHANGING) {
            s_flags.push_back(reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND s_window = nullptr;
    static inline std::vector<UINT> s_flags;
    HHOOK m_hook = nullptr;
};

// A plain top-level window that lies over everything made before it.
class CoveringWindow {
public:
    CoveringWindow()
        : m_window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, kWindowX, kWindowY,
                                   kWindowWidth, kWindowHeight, nullptr, nullptr, nullptr,
                                   nullptr)) {}
    ~CoveringWindow() { DestroyWindow(m_window); }
    CoveringWindow(const CoveringWindow&) = delete;
    CoveringWindow& operator=(const CoveringWindow&) = delete;

private:
    HWND m_window;
};

constexpr std::int32_t kShowCentred = 3;

TEST(HostPlacement, CentringOnTheScreenRaisesTheWindow) {
    TestWindow test;
    test.Show();
    CoveringWindow cover;
    UINT flags = 0;
    {
        PlacementRecorder recorder(test.Window());
        EXPECT_EQ(test.Host().WindowShowState(kShowCentred), 1);
        flags = PlacementRecorder::FirstWith(SWP_NOSIZE);
    }
    ASSERT_NE(flags, 0u);
    EXPECT_EQ(flags & (SWP_NOZORDER | SWP_NOMOVE), 0u);
    EXPECT_NE(flags & SWP_NOOWNERZORDER, 0u);
    RECT rect{};
    GetWindowRect(test.Window(), &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2);
    EXPECT_EQ(rect.right - rect.left, kWindowWidth);
}

TEST(HostPlacement, LayeredAttachRefreshesTheFrameAndRaisesTheWindow) {
    toolkit::ToolkitWindowOptions placement;
    placement.x = kWindowX;
    placement.y = kWindowY;
    placement.width = kWindowWidth;
    placement.height = kWindowHeight;
    const HWND window = toolkit::CreateToolkitWindow(placement);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    CoveringWindow cover;

    toolkit::HostAttachOptions options;
    options.layeredAlpha = kLayeredAlpha;
    HostWindow host;
    UINT flags = 0;
    {
        PlacementRecorder recorder(window);
        ASSERT_TRUE(host.AttachWindow(window, options));
        flags = PlacementRecorder::FirstWith(SWP_FRAMECHANGED);
    }
    ASSERT_NE(flags, 0u);
    EXPECT_EQ(flags & SWP_NOZORDER, 0u);
    EXPECT_EQ(flags & (SWP_NOSIZE | SWP_NOMOVE), static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE));
    DestroyWindow(window);
    host.FreeMembers();
}

// ---- Window-free helpers ----------------------------------------------------------------------

TEST(HostHelpers, TrayTipIsPaddedOrCut) {
    struct Case {
        std::size_t length;
        std::size_t kept;
    };
    const Case cases[] = {{0, 0}, {126, 126}, {127, 126}, {200, 126}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const toolkit::ByteArray tip(c.length, 'a');
        const auto bytes = toolkit::TrayTipBytes(tip);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            EXPECT_EQ(bytes[i], i < c.kept ? 'a' : 0) << i;
        }
    }
}

TEST(HostHelpers, SizingZonesFollowTheBorderAndCorners) {
    const RECT body = {10, 10, 110, 110};
    constexpr std::int32_t kBorder = 3;
    struct Case {
        std::int32_t x;
        std::int32_t y;
        std::uint32_t zone;
    };
    const Case cases[] = {
        {50, 10, WMSZ_TOP},           {50, 12, WMSZ_TOP},  {50, 13, 0},
        {14, 11, WMSZ_TOPLEFT},       {15, 11, WMSZ_TOP},  {106, 11, WMSZ_TOPRIGHT},
        {50, 106, WMSZ_BOTTOM},       {50, 105, 0},        {11, 108, WMSZ_BOTTOMLEFT},
        {108, 108, WMSZ_BOTTOMRIGHT}, {12, 50, WMSZ_LEFT}, {13, 50, 0},
        {106, 50, WMSZ_RIGHT},        {105, 50, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(toolkit::SizingZone(body, kBorder, c.x, c.y), c.zone);
    }
}

}  // namespace
}  // namespace host_test
