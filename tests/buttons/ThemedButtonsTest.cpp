// Buttons drawn from the built-in theme: the state parts of a push button with the theme's
// content margin, and the check glyph with the caption beside it.
#include <gtest/gtest.h>

#include "ButtonsTestSupport.h"
#include "CoreTestSupport.h"
#include "controls/Button.h"
#include "controls/CheckButton.h"
#include "foundation/BuiltInTheme.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineBinding.h"

namespace buttons_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kWidth = 80;
constexpr int kHeight = 24;
// The built-in theme's "Button" margin moves the content 2 pixels in; its check glyph is 16
// pixels wide and the caption follows it 3 pixels after the glyph's left offset of 2.
constexpr float kThemeMargin = 2;
constexpr float kGlyphWidth = 16;
constexpr float kCaptionAfterGlyph = 2 + kGlyphWidth + 3;

class ThemedButtons : public ::testing::Test {
protected:
    void SetUp() override {
        m_theme = EngineLoadTheme(AddressOf(kBuiltInThemePackage), kBuiltInThemePackageSize, 0, 0);
        ASSERT_NE(m_theme, 0u);
        m_host.Fields().theme = m_theme;
    }
    void TearDown() override {
        m_host.Fields().theme = 0;
        EngineReleaseTheme(m_theme);
    }

    Button m_button;
    CheckButton m_check;
    TestHost m_host;
    std::uint32_t m_theme = 0;
};

TEST_F(ThemedButtons, PushButtonDrawsTheStatePartInsideItsMargin) {
    const ElementHandle handle =
        m_button.CreateButton(m_host.Parent(), 0, 0, kWidth, kHeight, "OK");
    const std::uint32_t normal = CanvasPixel(m_button, kWidth / 2, 1);
    EXPECT_NE(normal, kTransparent);
    Enter(handle);
    EXPECT_NE(CanvasPixel(m_button, kWidth / 2, 1), normal);

    ElementRectF focus{};
    m_button.AdjustFocusRect(&focus);
    EXPECT_FLOAT_EQ(focus.x, kThemeMargin);
    EXPECT_FLOAT_EQ(focus.y, kThemeMargin);
}

TEST_F(ThemedButtons, CheckGlyphShowsTheCheckedStateBesideTheCaption) {
    const ElementHandle handle =
        m_check.CreateButton(m_host.Parent(), 0, 0, kWidth, kHeight, "Grid");
    const int glyphX = 2 + static_cast<int>(kGlyphWidth) / 2;
    const std::uint32_t unchecked = CanvasPixel(m_check, glyphX, kHeight / 2);
    EXPECT_NE(unchecked, kTransparent);
    m_check.CheckButtonChecked(true);
    EXPECT_NE(CanvasPixel(m_check, glyphX, kHeight / 2), unchecked);
    // No button face: the corners stay clear.
    EXPECT_EQ(CanvasPixel(m_check, kWidth - 1, 0), kTransparent);

    ElementRectF focus{};
    m_check.AdjustFocusRect(&focus);
    EXPECT_FLOAT_EQ(focus.x, kCaptionAfterGlyph - 2);
    (void)handle;
}

}  // namespace
}  // namespace buttons_test
