// Window-procedure thunks and window styles on real (hidden) windows.
#include "../support/CpuEmulation.h"
#include "EngineTestSupport.h"

#include <cstring>

namespace engine_test {
namespace {

using namespace engine_abi;

constexpr UINT kProbe = WM_APP + 5;
constexpr WPARAM kProbeW = 7;
constexpr LPARAM kProbeL = 9;
constexpr LRESULT kProbeAnswer = 1234;

int g_styleChanges = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STYLECHANGED) {
        ++g_styleChanges;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"EngineTestWindow";
        return RegisterClassExW(&wc);
    }();
    return CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)), L"",
                           WS_POPUP, 0, 0, 50, 40, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

// The object a window is subclassed for; the thunk hands it to the forwarder.
struct Subclassed {
    HWND hwnd = nullptr;
    WNDPROC previous = nullptr;
    const void* seen = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

LRESULT __stdcall Forwarder(Subclassed* self, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe) {
        self->seen = self;
        self->message = message;
        self->wParam = wParam;
        self->lParam = lParam;
        return kProbeAnswer;
    }
    return CallWindowProcW(self->previous, self->hwnd, message, wParam, lParam);
}

TEST(EngineWindows, ThunkSubclassesAWindowWithTheObjectInPlaceOfTheHwnd) {
    Subclassed object;
    object.hwnd = MakeWindow();
    ASSERT_NE(object.hwnd, nullptr);
    Word thunk = Call(kOrdMakeWndProcThunk, W(&object), W(&Forwarder));
    ASSERT_NE(thunk, 0u);

    const std::uint8_t* code = reinterpret_cast<const std::uint8_t*>(thunk);
    EXPECT_EQ(std::memcmp(code, kThunkStoreOpcode, sizeof kThunkStoreOpcode), 0);
    Word stored = 0;
    std::memcpy(&stored, code + kThunkObjectOffset, sizeof stored);
    EXPECT_EQ(stored, W(&object));
    EXPECT_EQ(code[kThunkJumpOffset], kThunkJumpOpcode);

    object.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(object.hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(thunk)));
    EXPECT_EQ(SendMessageW(object.hwnd, kProbe, kProbeW, kProbeL), kProbeAnswer);
    EXPECT_EQ(object.seen, &object);
    EXPECT_EQ(object.message, kProbe);
    EXPECT_EQ(object.wParam, kProbeW);
    EXPECT_EQ(object.lParam, kProbeL);
    // Other messages go on to the previous procedure through the forwarder.
    EXPECT_TRUE(SetWindowTextW(object.hwnd, L"thunk"));
    wchar_t title[16] = {};
    GetWindowTextW(object.hwnd, title, 16);
    EXPECT_STREQ(title, L"thunk");

    SetWindowLongPtrW(object.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object.previous));
    DestroyWindow(object.hwnd);
    EXPECT_TRUE(VirtualFree(reinterpret_cast<void*>(thunk), 0, MEM_RELEASE))
        << "each thunk is one VirtualAlloc block";
}

TEST(EngineWindows, ThunkNeedsAnObjectAndCode) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    Subclassed object;
    EXPECT_EQ(Call(kOrdMakeWndProcThunk, W(&object), kUnreadable), 0u);
    EXPECT_EQ(Call(kOrdMakeWndProcThunk, 0, W(&Forwarder)), 0u);
}

TEST(EngineWindows, StylesAddRemoveAndTestWithoutNeedlessChanges) {
    HWND hwnd = MakeWindow();
    ASSERT_NE(hwnd, nullptr);
    const Word window = W(hwnd);
    constexpr Word kPlain = 0, kExtended = 1;

    EXPECT_EQ(Call(kOrdHasWindowStyle, window, WS_BORDER, kPlain), 0u);
    g_styleChanges = 0;
    EXPECT_EQ(Call(kOrdAddWindowStyle, window, WS_BORDER, kPlain), 1u);
    EXPECT_TRUE(GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(Call(kOrdHasWindowStyle, window, WS_BORDER, kPlain), 1u);
    EXPECT_EQ(g_styleChanges, 1);
    // Adding what is there already must not set the style again (WM_STYLECHANGED loops).
    EXPECT_EQ(Call(kOrdAddWindowStyle, window, WS_BORDER, kPlain), 1u);
    EXPECT_EQ(g_styleChanges, 1);
    EXPECT_EQ(Call(kOrdHasWindowStyle, window, WS_BORDER | WS_DLGFRAME, kPlain), 0u)
        << "all bits must be set";
    EXPECT_EQ(Call(kOrdRemoveWindowStyle, window, WS_BORDER, kPlain), 1u);
    EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(Call(kOrdRemoveWindowStyle, window, WS_BORDER, kPlain), 1u);
    EXPECT_EQ(g_styleChanges, 2);

    EXPECT_EQ(Call(kOrdAddWindowStyle, window, WS_EX_TOOLWINDOW, kExtended), 1u);
    EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(Call(kOrdHasWindowStyle, window, WS_EX_TOOLWINDOW, kExtended), 1u);
    EXPECT_EQ(Call(kOrdHasWindowStyle, window, WS_EX_TOOLWINDOW, kPlain), 0u);
    EXPECT_EQ(Call(kOrdRemoveWindowStyle, window, WS_EX_TOOLWINDOW, kExtended), 1u);
    EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    DestroyWindow(hwnd);
    EXPECT_EQ(Call(kOrdAddWindowStyle, window, WS_BORDER, kPlain), 0u) << "gone";
}

TEST(EngineWindows, BlurLeavesTheRegionToTheCaller) {
    HWND hwnd = MakeWindow();
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    constexpr Word kAlpha = 200;
    EXPECT_EQ(Call(kOrdSetWindowBlur, W(hwnd), W(region), kAlpha), 1u);
    RECT box{};
    EXPECT_NE(GetRgnBox(region, &box), 0) << "region still the caller's";
    EXPECT_TRUE(DeleteObject(region));
    DestroyWindow(hwnd);
}

}  // namespace
}  // namespace engine_test
