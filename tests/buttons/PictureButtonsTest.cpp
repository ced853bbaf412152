// The picture-drawn buttons: the ImageButton's picture per state, the ImageListButton's strip
// cell per state, and the ThunderButton's faces and glow timer, read from their canvases.
#include <gtest/gtest.h>

#include "ButtonsTestSupport.h"
#include "CoreTestSupport.h"
#include "controls/ImageButton.h"
#include "controls/ImageListButton.h"
#include "controls/ThunderButton.h"
#include "core/ElementEvents.h"
#include "foundation/Drawing.h"

namespace buttons_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kWidth = 40;
constexpr int kHeight = 20;
constexpr int kCell = 20;
constexpr char kNoCaption[] = "";

ElementHandle CreateButtonAt(Button& button, TestHost& host, int y = 0) {
    return button.CreateButton(host.Parent(), 0, y, kWidth, kHeight, kNoCaption);
}

TEST(ImageButtonPictures, EachStateShowsItsPicture) {
    ImageButton button;
    TestHost host;
    const ElementHandle handle = CreateButtonAt(button, host);
    button.SetImageButtonImages(
        MakeStripPng({kRed}, kCell, kCell), MakeStripPng({kGreen}, kCell, kCell),
        MakeStripPng({kBlue}, kCell, kCell), std::nullopt, MakeStripPng({kYellow}, kCell, kCell));
    EXPECT_EQ(button.ImageButtonDrawMode(), kDrawStretched);
    EXPECT_EQ(CanvasCentre(button), kRed);
    Enter(handle);
    EXPECT_EQ(CanvasCentre(button), kGreen);
    Press(handle);
    EXPECT_EQ(CanvasCentre(button), kBlue);
    Release(handle);
    Leave(handle);
    EXPECT_EQ(CanvasCentre(button), kRed);
    // With a picture of its own the button draws the disabled look, not the compositor.
    button.ElementDisabled(true);
    EXPECT_EQ(CanvasCentre(button), kYellow);
    EXPECT_EQ(button.m_disabledLookDrawn, 1u);
}

TEST(ImageButtonPictures, MissingPicturesFallBackToNormal) {
    ImageButton button;
    ImageButton bare;
    TestHost host;
    const ElementHandle handle = CreateButtonAt(button, host);
    CreateButtonAt(bare, host, kHeight);
    button.ImageButtonNormalImage(MakeStripPng({kRed}, kCell, kCell));
    Enter(handle);
    EXPECT_EQ(CanvasCentre(button), kRed);
    Leave(handle);
    button.ElementDisabled(true);
    EXPECT_EQ(CanvasCentre(button), kRed);
    EXPECT_EQ(button.m_disabledLookDrawn, 0u) << "no repaint of its own on 20117";
    // Without any picture nothing at all is drawn behind the (empty) caption.
    EXPECT_EQ(CanvasCentre(bare), kTransparent);
}

class StripButton : public ::testing::Test {
protected:
    void SetUp() override {
        m_handle = CreateButtonAt(m_button, m_host);
        ASSERT_NE(m_handle, 0u);
    }
    ImageListButton m_button;
    TestHost m_host;
    ElementHandle m_handle = 0;
};

TEST_F(StripButton, FourCellsShowNormalHoverPressedDisabled) {
    m_button.SetImageListButtonImage(MakeStripPng({kRed, kGreen, kBlue, kYellow}, kCell, kCell), 4,
                                     0, kDrawStretched);
    EXPECT_EQ(CanvasCentre(m_button), kRed);
    Enter(m_handle);
    EXPECT_EQ(CanvasCentre(m_button), kGreen);
    Press(m_handle);
    EXPECT_EQ(CanvasCentre(m_button), kBlue);
    // Focus changes leave the picture as it is.
    CallElementProc(m_handle, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(CanvasCentre(m_button), kBlue);
    Release(m_handle);
    Leave(m_handle);
    m_button.ElementDisabled(true);
    m_button.InvalidateElement();
    EXPECT_EQ(CanvasCentre(m_button), kYellow);
}

TEST_F(StripButton, ThreeCellsHaveNoDisabledLook) {
    m_button.SetImageListButtonImage(MakeStripPng({kRed, kGreen, kBlue}, kCell, kCell), 3, 0,
                                     kDrawStretched);
    m_button.ElementDisabled(true);
    EXPECT_EQ(m_button.m_disabledLookDrawn, 0u);
    Enter(m_handle);
    EXPECT_EQ(CanvasCentre(m_button), kRed);
}

TEST_F(StripButton, NoCellsDrawNothing) {
    m_button.SetImageListButtonImage(MakeStripPng({kRed, kGreen}, kCell, kCell), 0, 0,
                                     kDrawStretched);
    Enter(m_handle);
    EXPECT_EQ(CanvasCentre(m_button), kTransparent);
}

TEST(ThunderButtonLook, FacesDifferByStateAndThePictureIsMadeOnce) {
    constexpr int kThunderWidth = 100;
    constexpr int kThunderHeight = 30;
    ThunderButton first;
    ThunderButton second;
    TestHost host;
    const ElementHandle handle =
        first.CreateButton(host.Parent(), 0, 0, kThunderWidth, kThunderHeight, kNoCaption);
    Gdiplus::GpImage* picture = ThunderButtonPicture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(GetImageWidth(picture), 55);
    EXPECT_EQ(GetImageHeight(picture), 28);
    second.CreateButton(host.Parent(), 0, kThunderHeight, kThunderWidth, kThunderHeight,
                        kNoCaption);
    EXPECT_EQ(ThunderButtonPicture(), picture);

    const std::uint32_t normal = CanvasCentre(first);
    Enter(handle);
    const std::uint32_t hover = CanvasCentre(first);
    Press(handle);
    const std::uint32_t pressed = CanvasCentre(first);
    EXPECT_NE(normal, kTransparent);
    EXPECT_NE(normal, hover);
    EXPECT_NE(hover, pressed);
    EXPECT_NE(normal, pressed);
}

TEST(ThunderButtonLook, GlowMovesOnlyWhileFocused) {
    constexpr DWORD kSeveralTicksMs = 450;
    ThunderButton focused;
    ThunderButton idle;
    TestHost host;
    const ElementHandle handle = CreateButtonAt(focused, host);
    CreateButtonAt(idle, host, kHeight);
    core_test::PumpUntil([] { return false; }, kSeveralTicksMs);
    EXPECT_FALSE(idle.GlowRunning());
    EXPECT_EQ(idle.Glow().x, 0.0f);

    CallElementProc(handle, WM_SETFOCUS, 0, 0);
    ASSERT_TRUE(focused.GlowRunning());
    EXPECT_EQ(focused.Glow().x, 6.0f);
    EXPECT_TRUE(core_test::PumpUntil([&] { return focused.Glow().x > 6.0f; }));
    CallElementProc(handle, WM_KILLFOCUS, 0, 0);
    const float stopped = focused.Glow().x;
    core_test::PumpUntil([] { return false; }, kSeveralTicksMs);
    EXPECT_EQ(focused.Glow().x, stopped);
}

}  // namespace
}  // namespace buttons_test
