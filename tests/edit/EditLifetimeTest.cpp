// Edit from creation to destruction: the limit every Edit starts with, the single line centred
// in its field, and the window's input method after a password Edit is destroyed with focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <imm.h>

#include "CoreTestSupport.h"
#include "controls/Edit.h"
#include "foundation/Colour.h"

namespace edit_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kWidth = 160;
constexpr int kShortHeight = 28;
// Taller by an even number of pixels, so that the centred line moves by a whole half.
constexpr int kTallHeight = 60;
constexpr std::uint32_t kWhiteBackground = RgbToArgb(0xFFFFFF);
// A text pixel is darker than this on every channel; the white background is not.
constexpr std::uint32_t kInkThreshold = 0x80;
// Rounding to whole pixels, in the inset and in the glyphs, may move the line by one pixel.
constexpr int kCentringTolerance = 1;

class EditLifetime : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_theme.Theme(), 0u); }
    static void Create(Edit& edit, TestHost& host, const EditCreateOptions& options,
                       int height = kShortHeight) {
        ASSERT_NE(edit.CreateEdit(host.Parent(), 0, 0, kWidth, height, {}, options), 0u);
        ASSERT_TRUE(edit.HasTextServices());
    }
    HIMC WindowContext() {
        const HIMC context = ImmGetContext(m_host.Window());
        ImmReleaseContext(m_host.Window(), context);
        return context;
    }

    TestHost m_host;
    core_test::BuiltInThemeOnHost m_theme{m_host};
};

// The first canvas row with dark ink, or -1.
int FirstInkRow(const Edit& edit) {
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(edit.m_canvasBits);
    for (int y = 0; y < edit.m_height; ++y) {
        for (int x = 0; x < edit.m_width; ++x) {
            const std::uint32_t pixel = pixels[y * edit.m_width + x];
            if (core_test::Alpha(pixel) == 0xFF && core_test::Red(pixel) < kInkThreshold &&
                core_test::Green(pixel) < kInkThreshold && core_test::Blue(pixel) < kInkThreshold) {
                return y;
            }
        }
    }
    return -1;
}

TEST_F(EditLifetime, WithoutAMaximumTheLimitIsTheServicesDefault) {
    Edit given;
    EditCreateOptions zero;
    zero.maxLength = 0;
    Create(given, m_host, zero);
    Edit absent;
    Create(absent, m_host, {});
    EXPECT_EQ(absent.MaxLength(), given.MaxLength());
    given.DestroyElement();
    absent.DestroyElement();
}

TEST_F(EditLifetime, ASingleLineStaysCentredInATallerField) {
    EditCreateOptions options;
    options.backgroundColour = kWhiteBackground;
    Edit shortEdit;
    Create(shortEdit, m_host, options);
    Edit tallEdit;
    Create(tallEdit, m_host, options, kTallHeight);
    for (Edit* edit : {&shortEdit, &tallEdit}) {
        edit->Text("Hg");
        edit->PaintEdit(0);
    }
    const int shortTop = FirstInkRow(shortEdit);
    const int tallTop = FirstInkRow(tallEdit);
    ASSERT_GE(shortTop, 0);
    ASSERT_GE(tallTop, 0);
    EXPECT_NEAR(tallTop - shortTop, (kTallHeight - kShortHeight) / 2, kCentringTolerance);
    shortEdit.DestroyElement();
    tallEdit.DestroyElement();
}

TEST_F(EditLifetime, APasswordEditDestroyedWithTheFocusGivesTheInputMethodBack) {
    const HIMC before = WindowContext();
    ASSERT_NE(before, nullptr);
    EditCreateOptions options;
    options.editStyle = kEditPassword;
    Edit password;
    Create(password, m_host, options);
    password.SetElementFocus();
    ASSERT_TRUE(password.HasElementFocus());
    ASSERT_EQ(WindowContext(), nullptr);
    password.DestroyElement();
    EXPECT_EQ(WindowContext(), before);
}

}  // namespace
}  // namespace edit_test
