// The kept frame of a layered host window: after a change of anything the frame is painted from
// (size, theme, background colour and picture, offsets, corner radius, border, shadow margins,
// layered alpha, owner, paint routine, a repaint on activation, caption-button hover), the
// screen shows what a full repaint would have shown.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "LayeredTestWindow.h"
#include "PushRecorder.h"
#include "core/ElementMessages.h"
#include "core/SysButton.h"
#include "foundation/Drawing.h"

namespace host_test {
namespace {

constexpr int kGrownWidth = 420;
constexpr int kGrownHeight = 300;
// Composes the elements over the frame without asking them to redraw and without presenting.
constexpr std::int32_t kFrameComposeOnly = 1;
constexpr char kOtherThemeFile[] = "thunder.ext";
constexpr COLORREF kOtherBackground = RGB(200, 10, 10);
constexpr COLORREF kActiveBackground = RGB(10, 120, 200);
constexpr COLORREF kInactiveBackground = RGB(120, 120, 120);
constexpr std::int32_t kPictureOffsetX = 35;
constexpr std::int32_t kPictureOffsetY = 45;
constexpr std::int32_t kWideCornerRadius = 24;
constexpr std::int32_t kWideShadow = 16;
constexpr std::int32_t kHalfLayered = 128;
// What the paint routine draws: a band across the window, in a colour the test changes.
constexpr float kBandTop = 100.0f;
constexpr float kBandHeight = 30.0f;
constexpr std::uint32_t kFirstBand = 0xFF40C040;
constexpr std::uint32_t kSecondBand = 0xFFC040C0;

void HoverCloseButton(LayeredWindow& w) {
    const toolkit::SysButton* close = w.Host().CaptionButton(toolkit::kSysButtonClose);
    ASSERT_NE(close, nullptr);
    const POINT centre = w.test.CentreOf(*close);
    PostMessageW(w.test.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
}

std::uint32_t g_band = kFirstBand;
std::uint32_t __stdcall PaintBand(std::uint32_t, std::uint32_t graphics, std::uint32_t width,
                                  std::uint32_t) {
    toolkit::FillRect(reinterpret_cast<Gdiplus::GpGraphics*>(graphics),
                      toolkit::MakeRectF(0.0f, kBandTop, static_cast<float>(width), kBandHeight),
                      g_band);
    return 0;
}

HostWindow* g_activated = nullptr;
std::uint32_t __stdcall RepaintActive(std::uint32_t) {
    g_activated->PaintWindowFrame(nullptr, static_cast<std::int32_t>(kActiveBackground),
                                  toolkit::kFrameComposePresent);
    return 0;
}
std::uint32_t __stdcall RepaintInactive(std::uint32_t) {
    g_activated->PaintWindowFrame(nullptr, static_cast<std::int32_t>(kInactiveBackground),
                                  toolkit::kFrameComposePresent);
    return 0;
}

// A window without a host that owns windows when a case asks for it.
HWND g_owner = nullptr;

struct FrameCase {
    const char* name;
    std::function<void(LayeredWindow&)> act;
};

const FrameCase kFrameCases[] = {
    {"resize",
     [](LayeredWindow& w) { w.Host().MoveHostWindow({}, {}, kGrownWidth, kGrownHeight); }},
    {"resize and back",
     [](LayeredWindow& w) {
         w.Host().MoveHostWindow({}, {}, kGrownWidth, kGrownHeight);
         w.Host().MoveHostWindow({}, {}, kWindowWidth, kWindowHeight);
     }},
    {"theme change",
     [](LayeredWindow& w) {
         const toolkit::ByteArray package = ReadProgramFile(kOtherThemeFile);
         ASSERT_FALSE(package.empty());
         // The border colours stay: the theme is all that changes.
         const std::vector<COLORREF> colours = w.Host().BorderColours();
         w.Host().SetWindowTheme(&package, {}, &colours);
     }},
    {"background colour",
     [](LayeredWindow& w) {
         w.Host().PaintWindowFrame(nullptr, static_cast<std::int32_t>(kOtherBackground),
                                   toolkit::kFrameComposePresent);
     }},
    {"background picture",
     [](LayeredWindow& w) {
         const toolkit::ByteArray swapped = HalvesPicture(true);
         ASSERT_FALSE(swapped.empty());
         // The colour stays: the picture is all that changes.
         w.Host().PaintWindowFrame(&swapped, static_cast<std::int32_t>(kLayeredBackground),
                                   toolkit::kFrameComposePresent);
     }},
    {"background offset",
     [](LayeredWindow& w) {
         w.Host().SetBackgroundOffset(kPictureOffsetX, kPictureOffsetY);
         w.Host().RepaintWindow();
     }},
    {"corner radius",
     [](LayeredWindow& w) {
         w.Host().cornerRadius = kWideCornerRadius;
         w.Host().BuildWindowRegion();
         w.Host().RepaintWindow();
     }},
    {"border off",
     [](LayeredWindow& w) {
         w.Host().BorderFlag(false);
         w.Host().RepaintWindow();
     }},
    {"shadow margins",
     [](LayeredWindow& w) {
         w.Host().SetShadowMargins(kWideShadow, kWideShadow, -kWideShadow, -kWideShadow);
     }},
    {"layered alpha", [](LayeredWindow& w) { w.Host().LayeredAlpha(kHalfLayered); }},
    {"owner",
     [](LayeredWindow& w) {
         const toolkit::ByteArray package = ThemeWithOwnSubWindowShadow();
         ASSERT_FALSE(package.empty());
         w.Host().SetWindowTheme(&package, {}, nullptr);
         ASSERT_TRUE(Settle(w.Host()));
         // Owned by another window, it takes the shadow of a window with a parent.
         SetWindowLongPtrW(w.test.Window(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(g_owner));
         w.Host().RepaintWindow();
     }},
    {"paint routine",
     [](LayeredWindow& w) {
         g_band = kFirstBand;
         w.Host().SetPaintRoutine(reinterpret_cast<std::uint32_t>(&PaintBand));
         w.Host().RepaintWindow();
         // The routine draws what it likes each time: its frame is never taken for the last.
         g_band = kSecondBand;
         w.Host().RepaintWindow();
     }},
    {"activation repaints",
     [](LayeredWindow& w) {
         g_activated = &w.Host();
         w.Host().BindActivated(reinterpret_cast<std::uint32_t>(&RepaintActive), 0);
         w.Host().BindDeactivated(reinterpret_cast<std::uint32_t>(&RepaintInactive), 0);
         SendMessageW(w.test.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
         SendMessageW(w.test.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
     }},
    {"caption button hover", HoverCloseButton},
    {"caption button hover and leave",
     [](LayeredWindow& w) {
         HoverCloseButton(w);
         ASSERT_TRUE(Settle(w.Host()));
         PostMessageW(w.test.Window(), WM_MOUSEMOVE, 0,
                      MAKELPARAM(kFirstProbeLeft + kProbeSize / 2, kProbeTop + kProbeSize / 2));
     }},
    {"repaint", [](LayeredWindow& w) { w.Host().RepaintWindow(); }},
};

TEST(HostFrame, ScreenShowsAFullRepaintAfterEveryChange) {
    g_owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWindowWidth, kWindowHeight,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(g_owner, nullptr);
    for (const FrameCase& frameCase : kFrameCases) {
        SCOPED_TRACE(frameCase.name);
        PushRecorder recorder;
        LayeredWindow w;
        HostWindow& host = w.Host();
        ASSERT_TRUE(Settle(host));
        frameCase.act(w);
        ASSERT_TRUE(Settle(host));
        ASSERT_TRUE(host.IsPresented());
        EXPECT_EQ(recorder.ScreenDifference(host), "");

        // The full repaint: the frame painted from nothing, every canvas composed over it.
        const int width = host.size->width;
        const std::vector<std::uint32_t> frame = CanvasPixels(host.backgroundBitmap);
        const std::vector<std::uint32_t> shown = CanvasPixels(host.frameBitmap);
        ASSERT_FALSE(frame.empty());
        host.InvalidateFrame();
        host.PaintWindowFrame(nullptr, toolkit::kKeepColour, kFrameComposeOnly);
        EXPECT_EQ(FirstDifference(frame, CanvasPixels(host.backgroundBitmap), width), "");
        EXPECT_EQ(FirstDifference(shown, CanvasPixels(host.frameBitmap), width), "");
    }
    DestroyWindow(g_owner);
}

TEST(HostFrame, CaptionButtonKeepsItsCanvasWhenItsLookStays) {
    LayeredWindow w;
    HostWindow& host = w.Host();
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
    ASSERT_TRUE(Settle(host));
    EXPECT_NE(pixels[0], kGreen);
}

TEST(HostFrame, CaptionButtonsShowTheNewThemeAfterAThemeChange) {
    PushRecorder recorder;
    LayeredWindow w;
    HostWindow& host = w.Host();
    const toolkit::ByteArray package = ReadProgramFile(kOtherThemeFile);
    ASSERT_FALSE(package.empty());
    host.SetWindowTheme(&package, {}, nullptr);
    ASSERT_TRUE(Settle(host));
    EXPECT_EQ(recorder.ScreenDifference(host), "");
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
    HostWindow& host = w.Host();
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

}  // namespace
}  // namespace host_test
