// Progress bars and group boxes read from their canvases: the filled length of a bar, its
// direction and colours, and the group box's frame line broken by its caption.
#include <gtest/gtest.h>

#include "ButtonsTestSupport.h"
#include "CoreTestSupport.h"
#include "controls/GroupBox.h"
#include "controls/Progress.h"

namespace buttons_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

// An inner width of 100 pixels: one pixel of border room on each side.
constexpr int kBarWidth = 102;
constexpr int kBarHeight = 12;
constexpr int kInnerLeft = 1;
constexpr std::uint32_t kNoColour = 0;

class ProgressBar : public ::testing::Test {
protected:
    ElementHandle Create(std::int32_t value, std::int32_t minValue, std::int32_t maxValue,
                         std::int32_t vertical = 0, std::uint32_t barColour = kRed) {
        const int width = vertical != 0 ? kBarHeight : kBarWidth;
        const int height = vertical != 0 ? kBarWidth : kBarHeight;
        return m_bar.CreateProgress(m_host.Parent(), 0, 0, width, height, value, minValue, maxValue,
                                    vertical, 0, barColour, barColour, kNoColour, kNoColour, 0);
    }
    // Red pixels along the bar's middle line.
    int FilledPixels(bool vertical = false) const {
        int filled = 0;
        for (int i = 0; i < kBarWidth; ++i) {
            const std::uint32_t pixel = vertical ? CanvasPixel(m_bar, kBarHeight / 2, i)
                                                 : CanvasPixel(m_bar, i, kBarHeight / 2);
            filled += pixel == kRed ? 1 : 0;
        }
        return filled;
    }

    Progress m_bar;
    TestHost m_host;
};

TEST_F(ProgressBar, FilledLengthFollowsTheValue) {
    constexpr std::int32_t kValue = 30;
    ASSERT_NE(Create(kValue, 0, 100), 0u);
    EXPECT_EQ(m_bar.BarLength(), kValue);
    EXPECT_EQ(FilledPixels(), kValue);
    EXPECT_EQ(CanvasPixel(m_bar, kInnerLeft, kBarHeight / 2), kRed);
    EXPECT_EQ(CanvasPixel(m_bar, kInnerLeft + kValue, kBarHeight / 2), kTransparent);

    m_bar.Value(100);
    EXPECT_EQ(FilledPixels(), kBarWidth - 2);
    m_bar.Value(0);
    EXPECT_EQ(FilledPixels(), 0);
}

TEST_F(ProgressBar, EmptyRangeDrawsNoBar) {
    ASSERT_NE(Create(5, 5, 5), 0u);
    EXPECT_EQ(m_bar.BarLength(), 0);
    EXPECT_EQ(FilledPixels(), 0);
}

TEST_F(ProgressBar, VerticalBarGrowsFromTheBottom) {
    constexpr std::int32_t kValue = 25;
    ASSERT_NE(Create(kValue, 0, 100, 1), 0u);
    EXPECT_EQ(FilledPixels(true), kValue);
    // The bar ends two pixels above the element's bottom edge.
    EXPECT_EQ(CanvasPixel(m_bar, kBarHeight / 2, kBarWidth - 3), kRed);
    EXPECT_EQ(CanvasPixel(m_bar, kBarHeight / 2, kBarWidth - 3 - kValue), kTransparent);
}

TEST_F(ProgressBar, HostColourStandsInForBarColourMinusOne) {
    m_host.Fields().backgroundColour = RGB(0, 0, 255);
    ASSERT_NE(Create(50, 0, 100, 0, kHostColour), 0u);
    // Blue at alpha 204, premultiplied.
    constexpr std::uint32_t kHostBlue = 0xCC0000CC;
    EXPECT_EQ(CanvasPixel(m_bar, kInnerLeft + 10, kBarHeight / 2), kHostBlue);
}

constexpr int kBoxWidth = 160;
constexpr int kBoxHeight = 80;

class GroupFrame : public ::testing::Test {
protected:
    ElementHandle Create(const char* caption) {
        return m_box.CreateGroupBox(m_host.Parent(), 0, 0, kBoxWidth, kBoxHeight, caption,
                                    std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0, 0,
                                    kCaptionLeft, kNoColour, kBlue);
    }
    int LineY() const { return static_cast<int>(m_box.CaptionHeight() / 2.0f); }

    GroupBox m_box;
    TestHost m_host;
};

TEST_F(GroupFrame, CaptionBreaksTheTopLine) {
    ASSERT_NE(Create("Group"), 0u);
    ASSERT_GT(m_box.CaptionWidth(), 0.0f);
    const int captionMiddle = 8 + static_cast<int>(m_box.CaptionWidth() / 2.0f);
    EXPECT_EQ(CanvasPixel(m_box, 3, LineY()), kBlue);
    EXPECT_NE(CanvasPixel(m_box, captionMiddle, LineY()), kBlue);
    EXPECT_EQ(CanvasPixel(m_box, kBoxWidth - 3, LineY()), kBlue);
    // Left, right and bottom sides all lie inside the element.
    EXPECT_EQ(CanvasPixel(m_box, 0, kBoxHeight / 2), kBlue);
    EXPECT_EQ(CanvasPixel(m_box, kBoxWidth - 1, kBoxHeight / 2), kBlue);
    EXPECT_EQ(CanvasPixel(m_box, kBoxWidth / 2, kBoxHeight - 1), kBlue);
}

TEST_F(GroupFrame, EmptyCaptionLeavesTheLineUnbroken) {
    ASSERT_NE(Create(""), 0u);
    for (int x = 1; x < kBoxWidth - 1; ++x) {
        ASSERT_EQ(CanvasPixel(m_box, x, LineY()), kBlue) << "x " << x;
    }
}

}  // namespace
}  // namespace buttons_test
