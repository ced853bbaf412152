// Window-free arithmetic of the button classes: icon and caption layout, strip cells, the glow
// path, progress lengths and group-box caption places.
#include <gtest/gtest.h>

#include "controls/Button.h"
#include "controls/GroupBox.h"
#include "controls/ImageListButton.h"
#include "controls/Progress.h"
#include "controls/ThunderButton.h"

namespace buttons_test {
namespace {

using namespace toolkit;

const Gdiplus::RectF kWork(10, 20, 100, 40);
const Gdiplus::SizeF kCaption(30, 12);
constexpr float kIcon = 16;
constexpr float kOffsetX = 1;
constexpr float kOffsetY = 2;
constexpr float kSpacing = 4;
// What an unknown placement must leave alone.
const Gdiplus::RectF kUntouched(-7, -7, -7, -7);
constexpr std::int32_t kUnknownPlacement = 7;

struct LayoutCase {
    std::int32_t placement;
    Gdiplus::RectF icon;
    Gdiplus::RectF caption;
};

void ExpectRect(const Gdiplus::RectF& actual, const Gdiplus::RectF& expected, int placement) {
    EXPECT_FLOAT_EQ(actual.X, expected.X) << "placement " << placement;
    EXPECT_FLOAT_EQ(actual.Y, expected.Y) << "placement " << placement;
    EXPECT_FLOAT_EQ(actual.Width, expected.Width) << "placement " << placement;
    EXPECT_FLOAT_EQ(actual.Height, expected.Height) << "placement " << placement;
}

TEST(ButtonLayout, IconAndCaptionRectanglesForEveryPlacement) {
    // Work area 10,20 100x40; icon 16x16; caption 30x12; offsets 1,2; spacing 4.
    const LayoutCase cases[] = {
        {kIconLeftOfCaption, {36, 34, 16, 16}, {56, 35, 30, 12}},
        {kIconRightOfCaption, {70, 34, 16, 16}, {36, 36, 30, 12}},
        {kIconAboveCaption, {53, 26, 16, 16}, {46, 46, 30, 12}},
        {kIconCentredOverCaption, {53, 34, 16, 16}, {46, 36, 30, 12}},
        {kIconAtLeftEdge, {11, 34, 16, 16}, {30, 36, 79, 12}},
        {kIconAfterCaption, {93, 34, 16, 16}, {11, 36, 79, 12}},
        {kIconAtTop, {53, 22, 16, 16}, {46, 42, 30, 12}},
        {kUnknownPlacement, kUntouched, kUntouched},
    };
    for (const LayoutCase& c : cases) {
        const IconLayout layout{kIcon, kIcon, c.placement, kOffsetX, kOffsetY, kSpacing};
        Gdiplus::RectF icon = kUntouched;
        Gdiplus::RectF caption = kUntouched;
        LayoutIconAndText(kWork, layout, kCaption, &icon, &caption);
        ExpectRect(icon, c.icon, c.placement);
        ExpectRect(caption, c.caption, c.placement);
    }
}

TEST(ButtonLayout, StripCellsFollowTheStateAndGap) {
    constexpr float kStripWidth = 80;
    constexpr float kStripHeight = 20;
    constexpr std::int32_t kCells = 4;
    struct {
        std::int32_t state;
        float x;
    } const cases[] = {{kButtonNormal, 0},
                       {kButtonHover, 20},
                       {kButtonPressed, 40},
                       {static_cast<std::int32_t>(kStateDisabled), 60},
                       {kStateFocused, 0}};
    for (const auto& c : cases) {
        const auto cell = StripCellFor(c.state, kStripWidth, kStripHeight, kCells, 0);
        ASSERT_TRUE(cell.has_value());
        EXPECT_FLOAT_EQ(cell->X, c.x) << "state " << c.state;
        EXPECT_FLOAT_EQ(cell->Width, kStripWidth / kCells);
        EXPECT_FLOAT_EQ(cell->Height, kStripHeight);
    }
    // The gap is taken off each cell once per cell, and counted between cells.
    constexpr std::int32_t kGap = 2;
    const auto gapped = StripCellFor(kButtonPressed, kStripWidth, kStripHeight, kCells, kGap);
    ASSERT_TRUE(gapped.has_value());
    EXPECT_FLOAT_EQ(gapped->Width, kStripWidth / kCells - kGap * kCells);
    EXPECT_FLOAT_EQ(gapped->X, 2 * (gapped->Width + kGap));
    // A strip without cells has nothing to show (and divides by nothing).
    EXPECT_FALSE(StripCellFor(kButtonNormal, kStripWidth, kStripHeight, 0, 0).has_value());
}

TEST(ButtonLayout, GlowRunsClockwiseAroundTheBorder) {
    constexpr std::int32_t kWidth = 100;
    constexpr std::int32_t kHeight = 30;
    constexpr float kRightEnd = kWidth - 2;
    constexpr float kBottomEnd = kHeight - 4;
    GlowTrack glow{kGlowAlongTop, 6, 0};
    std::vector<float> topXs;
    while (glow.phase == kGlowAlongTop) {
        AdvanceGlow(&glow, kWidth, kHeight);
        topXs.push_back(glow.x);
    }
    EXPECT_FLOAT_EQ(topXs.front(), 12);
    EXPECT_FLOAT_EQ(topXs.back(), kRightEnd);
    EXPECT_EQ(glow.y, 0);
    while (glow.phase == kGlowDownRight) {
        AdvanceGlow(&glow, kWidth, kHeight);
    }
    EXPECT_FLOAT_EQ(glow.y, kBottomEnd);
    EXPECT_EQ(glow.phase, kGlowAlongBottom);
    while (glow.phase == kGlowAlongBottom) {
        AdvanceGlow(&glow, kWidth, kHeight);
    }
    EXPECT_EQ(glow.x, 0);
    while (glow.phase == kGlowUpLeft) {
        AdvanceGlow(&glow, kWidth, kHeight);
    }
    EXPECT_EQ(glow.y, 0);
    EXPECT_EQ(glow.phase, kGlowAlongTop);
}

TEST(ButtonLayout, ProgressLengthIsTheValuesShareRounded) {
    struct {
        float inner;
        std::int32_t value, minValue, maxValue, length;
    } const cases[] = {
        {100, 30, 0, 100, 30},
        {100, 0, 0, 100, 0},
        {100, 100, 0, 100, 100},
        {50, 1, 0, 3, 17},
        {60, 15, 10, 20, 30},
        {100, 5, 5, 5, 0},  // empty range
        {100, 9, 5, 5, 0},
        // Outside the range the bar stays within the frame: empty below, full above.
        {100, -20, 0, 100, 0},
        {100, 150, 0, 100, 100},
        {100, INT32_MAX, INT32_MIN, 0, 100},
        {100, INT32_MIN, 0, INT32_MAX, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressBarLength(c.inner, c.value, c.minValue, c.maxValue), c.length)
            << c.value << " in " << c.minValue << ".." << c.maxValue;
    }
}

TEST(ButtonLayout, GroupBoxCaptionPlaces) {
    constexpr float kFrame = 200;
    constexpr float kCaptionWidth = 40;
    EXPECT_FLOAT_EQ(GroupBoxCaptionX(kCaptionLeft, kFrame, kCaptionWidth), 8);
    EXPECT_FLOAT_EQ(GroupBoxCaptionX(kCaptionCentre, kFrame, kCaptionWidth), 80);
    EXPECT_FLOAT_EQ(GroupBoxCaptionX(kCaptionRight, kFrame, kCaptionWidth), 152);
    constexpr std::int32_t kOtherAlign = 9;
    EXPECT_FLOAT_EQ(GroupBoxCaptionX(kOtherAlign, kFrame, kCaptionWidth), 152);
}

}  // namespace
}  // namespace buttons_test
