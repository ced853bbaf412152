// Ordinal 31 shows a host window and presents it: the host object is reached through the own
// handle the program passes, and its present operation is slot 39.
#include "../support/CpuEmulation.h"
#include "EngineTestSupport.h"

#include <string>
#include <vector>

namespace engine_test {
namespace {

using namespace engine_abi;

constexpr Word kRecordWords = 70;
std::vector<std::string> g_log;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgAnimationBegin || message == kMsgAnimationEnd) {
        g_log.push_back(std::string(message == kMsgAnimationBegin ? "begin" : "end") +
                        std::to_string(wParam) + (IsWindowVisible(hwnd) ? " visible" : ""));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

#define UNUSED_SLOT(n) \
    virtual void Unused##n() {}

// Slots 0-38 are not called by the engine; 39 presents the window image.
class TestHost {
public:
    UNUSED_SLOT(0)
    UNUSED_SLOT(1)
    UNUSED_SLOT(2) UNUSED_SLOT(3) UNUSED_SLOT(4) UNUSED_SLOT(5) UNUSED_SLOT(6) UNUSED_SLOT(7)
        UNUSED_SLOT(8) UNUSED_SLOT(9) UNUSED_SLOT(10) UNUSED_SLOT(11) UNUSED_SLOT(12)
            UNUSED_SLOT(13) UNUSED_SLOT(14) UNUSED_SLOT(15) UNUSED_SLOT(16) UNUSED_SLOT(17)
                UNUSED_SLOT(18) UNUSED_SLOT(19) UNUSED_SLOT(20) UNUSED_SLOT(21) UNUSED_SLOT(22)
                    UNUSED_SLOT(23) UNUSED_SLOT(24) UNUSED_SLOT(25) UNUSED_SLOT(26) UNUSED_SLOT(27)
                        UNUSED_SLOT(28) UNUSED_SLOT(29) UNUSED_SLOT(30) UNUSED_SLOT(31)
                            UNUSED_SLOT(32) UNUSED_SLOT(33) UNUSED_SLOT(34) UNUSED_SLOT(35)
                                UNUSED_SLOT(36) UNUSED_SLOT(37)
                                    UNUSED_SLOT(38) virtual void PresentWindow() {  // 39
        g_log.push_back(std::string("present") + (IsWindowVisible(Window()) ? " visible" : ""));
    }

    explicit TestHost(HWND hwnd) {
        Word(kHostFieldWindow) = W(hwnd);
        Word(kHostFieldSelfCell) = W(this);
        Word(kHostFieldOwnHandle) = OwnHandle();
    }
    ::engine_test::Word& Word(::engine_test::Word n) { return m_words[n - 1]; }
    ::engine_test::Word OwnHandle() { return W(&Word(kHostFieldSelfCell)); }
    HWND Window() { return reinterpret_cast<HWND>(Word(kHostFieldWindow)); }

private:
    ::engine_test::Word m_words[kRecordWords] = {};
};
#undef UNUSED_SLOT

HWND MakeHidden() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = LoggingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"EngineShowTest";
        return RegisterClassExW(&wc);
    }();
    return CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)), L"",
                           WS_POPUP, 10, 10, 60, 40, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

Word Animate(Word ownHandle, Word mode) {
    constexpr Word kAnimate = 1, kShowX = 1;
    return Call(kOrdAnimateWindow, ownHandle, mode, kAnimate, 0, 0, 0, 0, 0, kShowX, 0, 0);
}

TEST(EngineShowWindow, ShowPresentsAndShowsBetweenTheTwoMessages) {
    TestHost host(MakeHidden());
    ASSERT_NE(host.Window(), nullptr);
    g_log.clear();
    EXPECT_EQ(Animate(host.OwnHandle(), kAnimateShow), 1u);
    EXPECT_TRUE(IsWindowVisible(host.Window()));
    const std::vector<std::string> expected = {"begin0", "present", "end0 visible"};
    EXPECT_EQ(g_log, expected);

    g_log.clear();
    EXPECT_EQ(Animate(host.OwnHandle(), kAnimateClose), 1u);
    const std::vector<std::string> closing = {"begin1 visible", "end1 visible"};
    EXPECT_EQ(g_log, closing) << "closing only announces; the window procedure hides";
    DestroyWindow(host.Window());
}

TEST(EngineShowWindow, RefusesAnythingButTheOwnHandleOfALiveWindow) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    TestHost host(MakeHidden());
    g_log.clear();
    EXPECT_EQ(Animate(W(host.Window()), kAnimateShow), 0u) << "an HWND is not the own handle";
    EXPECT_EQ(Animate(W(&host), kAnimateShow), 0u) << "nor is the object itself";
    constexpr Word kNoSuchMode = 2;
    EXPECT_EQ(Animate(host.OwnHandle(), kNoSuchMode), 0u);
    DestroyWindow(host.Window());
    EXPECT_EQ(Animate(host.OwnHandle(), kAnimateShow), 0u) << "window gone";
    EXPECT_TRUE(g_log.empty());
}

}  // namespace
}  // namespace engine_test
