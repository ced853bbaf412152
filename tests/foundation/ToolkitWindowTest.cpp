#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

#include "foundation/FatalError.h"
#include "foundation/Toolkit.h"
#include "support/AddressSpaceHold.h"

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

// ---- A program that cannot go on ---------------------------------------------------------------
// The failure happens in a child process, a second run of this test program, inside a window
// procedure as in the programs; this process finds the system's box, reads it and closes it.

constexpr char kChildTest[] = "ToolkitFatalErrors.DISABLED_FailInAWindowProcedure";
constexpr char kFailureVariable[] = "VENNMARK_TEST_FAILURE";
constexpr char kOutOfMemory[] = "memory";
constexpr char kUncaughtException[] = "exception";
constexpr UINT kMsgFail = WM_APP + 1;
constexpr wchar_t kFailingClass[] = L"Vennmark.FailingWindow";
constexpr char kFailingClassName[] = "Vennmark.FailingWindow";
// No free stretch of 16 MB is left when the window procedure asks for 64 MB.
constexpr std::size_t kHeldStretch = std::size_t{16} << 20;
constexpr std::size_t kLargeBlock = std::size_t{64} << 20;
constexpr char kDialogClass[] = "#32770";
constexpr char kStaticClass[] = "Static";
constexpr DWORD kBoxWaitMs = 60000;
constexpr DWORD kPollMs = 20;
constexpr UINT kChildStuckCode = 99;
constexpr std::size_t kTextChars = 256;

void* volatile g_block = nullptr;

LRESULT CALLBACK FailingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgFail) {
        char failure[kTextChars] = {};
        GetEnvironmentVariableA(kFailureVariable, failure, sizeof failure);
        if (std::string(failure) == kOutOfMemory) {
            const test_support::AddressSpaceHold hold(kHeldStretch);
            g_block = ::operator new(kLargeBlock);
        } else {
            throw std::logic_error("nothing catches this");
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Run only as the child of the test below, which names the failure in the environment.
TEST(ToolkitFatalErrors, DISABLED_FailInAWindowProcedure) {
    ToolkitWindowClassOptions classOptions;
    classOptions.windowProcedure = FailingProcedure;
    classOptions.className = kFailingClass;
    ASSERT_TRUE(RegisterToolkitWindowClass(classOptions));
    ToolkitWindowOptions options;
    options.className = kFailingClassName;
    HWND window = CreateToolkitWindow(options);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, kMsgFail, 0, 0);
    RunMessageLoop(window);
    ADD_FAILURE() << "the program went on";
}

BOOL CALLBACK FindBoxText(HWND child, LPARAM found) {
    char className[kTextChars] = {};
    GetClassNameA(child, className, sizeof className);
    char text[kTextChars] = {};
    // The box belongs to another process: only WM_GETTEXT reads a control's text there.
    SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (lstrcmpiA(className, kStaticClass) == 0 && text[0] != '\0') {
        *reinterpret_cast<std::string*>(found) = text;
        return FALSE;
    }
    return TRUE;
}

struct ChildEnd {
    bool boxShown = false;
    std::string text;
    DWORD exitCode = 0;
};

// Runs the child with the failure, closes the box it shows, and waits for the child to end.
ChildEnd RunFailingChild(const char* failure) {
    ChildEnd end;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string commandLine = std::string("\"") + program + "\" --gtest_filter=" + kChildTest +
                              " --gtest_also_run_disabled_tests";
    SetEnvironmentVariableA(kFailureVariable, failure);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableA(kFailureVariable, nullptr);
    if (!started) {
        ADD_FAILURE() << "the child did not start";
        return end;
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kBoxWaitMs &&
           WaitForSingleObject(child.hProcess, kPollMs) == WAIT_TIMEOUT) {
        HWND box = FindWindowA(kDialogClass, "error");
        if (box != nullptr) {
            end.boxShown = true;
            EnumChildWindows(box, FindBoxText, reinterpret_cast<LPARAM>(&end.text));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            break;
        }
    }
    if (WaitForSingleObject(child.hProcess, kBoxWaitMs) == WAIT_TIMEOUT) {
        TerminateProcess(child.hProcess, kChildStuckCode);
        WaitForSingleObject(child.hProcess, INFINITE);
    }
    GetExitCodeProcess(child.hProcess, &end.exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return end;
}

TEST(ToolkitFatalErrors, AFailureInAWindowProcedureShowsTheSystemBoxAndEndsTheProgram) {
    const struct {
        const char* failure;
        const char* text;
        DWORD exitCode;
    } cases[] = {
        {kOutOfMemory, "program internal error number is 8. (0x8h)", kOutOfMemoryError},
        {kUncaughtException, "program internal error number is 574. (0x23Eh)",
         kUnhandledExceptionError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        const ChildEnd end = RunFailingChild(c.failure);
        EXPECT_TRUE(end.boxShown);
        EXPECT_EQ(end.text, c.text);
        EXPECT_EQ(end.exitCode, c.exitCode);
    }
}

}  // namespace
