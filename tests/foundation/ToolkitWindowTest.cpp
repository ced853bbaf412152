#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/Toolkit.h"

namespace {

using namespace toolkit;

constexpr UINT kStepMs = 10;
constexpr UINT kWatchdogMs = 5000;
constexpr UINT_PTR kStepTimer = 1;
constexpr int kQuitCode = 7;
constexpr int kWatchdogCode = 99;
constexpr int kGivenHeight = 600;
constexpr int kGivenWidth = 500;

SIZE WindowSize(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TEST(CreateToolkitWindow, WithoutAWidthTheWindowIs380By250) {
    ToolkitWindowOptions options;
    options.height = kGivenHeight;
    HWND window = CreateToolkitWindow(options);
    ASSERT_NE(window, nullptr);
    const SIZE size = WindowSize(window);
    EXPECT_EQ(size.cx, kDefaultWindowWidth);
    EXPECT_EQ(size.cy, kDefaultWindowHeight);
    EXPECT_EQ(GetWindowClassName(window), kToolkitWindowClass);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // The test program has no icon of its own: the window still gets one.
    const auto smallIcon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(smallIcon, nullptr);
    EXPECT_EQ(smallIcon, Toolkit().smallIcon);
    // Centred in the work area.
    const WorkArea work = GetWorkArea();
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, (work.width - work.left - kDefaultWindowWidth) / 2);
    EXPECT_EQ(rect.top, (work.height - work.top - kDefaultWindowHeight) / 2);
    DestroyWindow(window);
}

TEST(CreateToolkitWindow, GivenWidthWithoutHeightTakesTheDefaultHeight) {
    ToolkitWindowOptions options;
    options.width = kGivenWidth;
    options.taskbar = false;
    HWND window = CreateToolkitWindow(options);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowSize(window).cx, kGivenWidth);
    EXPECT_EQ(WindowSize(window).cy, kDefaultWindowHeight);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    DestroyWindow(window);
}

TEST(CreateToolkitWindow, UnusableClassFallsBackToTheToolkitClass) {
    ToolkitWindowOptions options;
    options.className = "Vennmark.NoSuchClass";
    HWND window = CreateToolkitWindow(options);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowClassName(window), kToolkitWindowClass);
    DestroyWindow(window);
}

HWND g_target = nullptr;

void CALLBACK DestroyTarget(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    DestroyWindow(g_target);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(kWatchdogCode);
}

bool TakeQuit(WPARAM* code) {
    MSG message = {};
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        *code = message.wParam;
        return true;
    }
    return false;
}

TEST(RunMessageLoop, EndsWhenItsWindowIsDestroyed) {
    g_target = CreateToolkitWindow();
    ASSERT_NE(g_target, nullptr);
    SetTimer(g_target, kStepTimer, kStepMs, DestroyTarget);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, kWatchdogMs, Watchdog);
    RunMessageLoop(g_target);
    KillTimer(nullptr, watchdog);
    EXPECT_FALSE(IsWindow(g_target));
    WPARAM code = 0;
    EXPECT_FALSE(TakeQuit(&code)) << "the loop needed the watchdog's quit";
}

HWND g_outer = nullptr;
HWND g_inner = nullptr;

void CALLBACK QuitInsideInnerLoop(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    PostQuitMessage(kQuitCode);
}

// Runs a modal loop from inside the outer loop, as a menu or a drop-down does.
void CALLBACK OpenInnerLoop(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    g_inner = CreateToolkitWindow();
    SetTimer(g_inner, kStepTimer, kStepMs, QuitInsideInnerLoop);
    RunMessageLoop(g_inner);
}

TEST(RunMessageLoop, QuitInANestedLoopEndsEveryLoopAndIsPostedOnce) {
    g_outer = CreateToolkitWindow();
    ASSERT_NE(g_outer, nullptr);
    SetTimer(g_outer, kStepTimer, kStepMs, OpenInnerLoop);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, kWatchdogMs, Watchdog);
    RunMessageLoop(g_outer);
    KillTimer(nullptr, watchdog);

    EXPECT_FALSE(IsWindow(g_inner));
    EXPECT_FALSE(IsWindow(g_outer));
    WPARAM code = 0;
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, static_cast<WPARAM>(kQuitCode));
    EXPECT_FALSE(TakeQuit(&code));
}

}  // namespace
