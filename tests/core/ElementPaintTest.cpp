// Compositing into the host's back buffer and transitions, checked by the back buffer's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "CoreTestSupport.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"

namespace core_test {
namespace {

using namespace toolkit;

constexpr std::uint32_t kOpaqueRed = 0xFFFF0000;
constexpr std::uint32_t kHalfGreen = 0x8000FF00;
constexpr std::uint32_t kOpaqueBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kHalfAlpha = 128;
constexpr int kTolerance = 2;
constexpr int kSide = 40;

// A premultiplied source over a destination, with a constant alpha, as GdiAlphaBlend does it.
std::uint32_t Over(std::uint32_t source, std::uint32_t destination, std::uint32_t alpha = 255) {
    const auto premultiply = [](std::uint32_t argb, int shift) {
        return ((argb >> shift) & 0xFF) * (argb >> 24) / 255;
    };
    const std::uint32_t sourceAlpha = Alpha(source) * alpha / 255;
    std::uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        const std::uint32_t s = premultiply(source, shift) * alpha / 255;
        const std::uint32_t d = (destination >> shift) & 0xFF;
        result |= std::min<std::uint32_t>(s + d * (255 - sourceAlpha) / 255, 255) << shift;
    }
    const std::uint32_t a = sourceAlpha + Alpha(destination) * (255 - sourceAlpha) / 255;
    return result | (std::min<std::uint32_t>(a, 255) << 24);
}

::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected) {
    for (int shift : {0, 8, 16, 24}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > kTolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "pixel 0x" << actual << ", expected 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

// Red, half-transparent green and blue at half element alpha, each overlapping the next.
class Compositing : public ::testing::Test {
protected:
    void SetUp() override {
        m_red.Create(m_host.Parent(), 0, 0, kSide, kSide);
        m_green.Create(m_host.Parent(), kSide / 2, 0, kSide, kSide);
        m_blue.Create(m_host.Parent(), kSide, 0, kSide, kSide);
        m_blue.SetElementAlpha(kHalfAlpha);
    }

    std::uint32_t At(int x) const { return m_host.FramePixel(x, kSide / 4); }

    TestHost m_host;
    ProbeElement m_red{kOpaqueRed};
    ProbeElement m_green{kHalfGreen};
    ProbeElement m_blue{kOpaqueBlue};
    static constexpr int kRedOnly = 10;
    static constexpr int kRedGreen = 30;
    static constexpr int kGreenBlue = 50;
    static constexpr int kBlueOnly = 70;
};

TEST_F(Compositing, OverlapsBlendPremultipliedInSiblingOrder) {
    EXPECT_TRUE(Near(At(kRedOnly), kOpaqueRed));
    EXPECT_TRUE(Near(At(kRedGreen), Over(kHalfGreen, kOpaqueRed)));
    EXPECT_TRUE(Near(At(kGreenBlue), Over(kOpaqueBlue, Over(kHalfGreen, kWhite), kHalfAlpha)));
    EXPECT_TRUE(Near(At(kBlueOnly), Over(kOpaqueBlue, kWhite, kHalfAlpha)));
}

TEST_F(Compositing, HiddenElementLeavesNoTrace) {
    m_blue.ElementVisible(false);
    EXPECT_TRUE(Near(At(kBlueOnly), kWhite));
    EXPECT_TRUE(Near(At(kGreenBlue), Over(kHalfGreen, kWhite)));
}

TEST_F(Compositing, DisabledElementShowsAtHalfAlphaUnlessItsClassDrawsTheLook) {
    m_red.ElementDisabled(true);
    EXPECT_TRUE(Near(At(kRedOnly), Over(kOpaqueRed, kWhite, 255 / 2)));
    m_red.ElementDisabled(false);
    m_red.m_classResult = 1;
    m_red.ElementDisabled(true);
    EXPECT_EQ(m_red.m_disabledLookDrawn, 1u);
    m_red.UpdateElement();
    EXPECT_TRUE(Near(At(kRedOnly), kOpaqueRed));
}

TEST_F(Compositing, ADisabledElementThatIsPartlyTransparentHalvesItsOwnAlpha) {
    m_blue.ElementDisabled(true);
    EXPECT_TRUE(Near(At(kBlueOnly), Over(kOpaqueBlue, kWhite, kHalfAlpha / 2)));
    m_blue.ElementDisabled(false);
    EXPECT_TRUE(Near(At(kBlueOnly), Over(kOpaqueBlue, kWhite, kHalfAlpha)));
}

TEST_F(Compositing, ASmallMoveLeavesNothingWhereTheElementWas) {
    // Nothing of the element: the white background where the host drew it, or nothing yet.
    const auto background = [&](int x, int y) {
        const std::uint32_t pixel = m_host.FramePixel(x, y);
        return pixel == 0 || Near(pixel, kWhite);
    };
    // Moves of one pixel and of a few, right and down, then back left and up.
    constexpr int kSteps[] = {1, 3, -2, -2};
    const int y = kSide / 4;
    for (const int step : kSteps) {
        SCOPED_TRACE(step);
        m_blue.MoveElement(m_blue.m_left + step, m_blue.m_top + step);
        const int right = m_blue.m_left + kSide;
        EXPECT_TRUE(background(right, y + step));
        EXPECT_TRUE(Near(m_host.FramePixel(right - 1, y + step),
                         Over(kOpaqueBlue, kWhite, kHalfAlpha)));
        if (step < 0) {
            // Where the right edge was before a move left.
            EXPECT_TRUE(background(right - step - 1, y + step));
        } else {
            // Above the new top edge, where the element was before a move down.
            EXPECT_TRUE(background(right - 2, m_blue.m_top - 1));
        }
    }
}

TEST_F(Compositing, ZOrderChangeSwapsTheOverlap) {
    m_red.SetElementZOrder(kZLast);
    EXPECT_TRUE(Near(At(kRedGreen), kOpaqueRed));
    m_red.SetElementZOrder(kZFirst);
    EXPECT_TRUE(Near(At(kRedGreen), Over(kHalfGreen, kOpaqueRed)));
}

TEST_F(Compositing, ChildrenAreClippedToTheirParent) {
    // The child reaches below the red parent, where nothing else lies.
    ProbeElement child(kOpaqueBlue);
    constexpr int kOverhang = 5;
    child.Create(m_red.m_handle, 0, kSide - kOverhang, kSide / 4, kSide);
    child.UpdateElement();
    EXPECT_TRUE(Near(m_host.FramePixel(kRedOnly / 2, kSide - 2), kOpaqueBlue));
    EXPECT_TRUE(Near(m_host.FramePixel(kRedOnly / 2, kSide + 2), kWhite));
}

TEST(Transition, FramesBlendThenTheLastDrawsPlainly) {
    TestHost host;
    constexpr std::int32_t kFrames = 4;
    constexpr std::int32_t kIntervalMs = 25;
    ProbeElement probe(kOpaqueRed);
    ElementCreateOptions options;
    options.transitionFrames = kFrames;
    options.transitionInterval = kIntervalMs;
    probe.Create(host.Parent(), 0, 0, kSide, kSide, options);
    probe.m_ownLog.clear();

    probe.m_colour = kOpaqueBlue;
    probe.InvalidateElement();
    ASSERT_TRUE(PumpUntil([&] { return probe.Seen(kMsgTransitionEnd) == 1; }));
    std::vector<UINT> sequence;
    for (const SeenMessage& seen : probe.m_ownLog) {
        if (seen.message >= kMsgTransitionBegin && seen.message <= kMsgTransitionFrame) {
            sequence.push_back(seen.message);
        }
    }
    std::vector<UINT> expected = {kMsgTransitionBegin};
    expected.insert(expected.end(), kFrames - 1, kMsgTransitionFrame);
    expected.push_back(kMsgTransitionEnd);
    EXPECT_EQ(sequence, expected);
    EXPECT_EQ(probe.m_state & kStateTransition, 0u);
    EXPECT_EQ(probe.m_snapshotDc, nullptr);
    EXPECT_TRUE(Near(host.FramePixel(kSide / 2, kSide / 2), kOpaqueBlue));
}

TEST(Transition, FrameCountDroppedToZeroEndsTheRun) {
    TestHost host;
    constexpr std::int32_t kFrames = 8;
    constexpr std::int32_t kIntervalMs = 25;
    ProbeElement probe(kOpaqueRed);
    ElementCreateOptions options;
    options.transitionFrames = kFrames;
    options.transitionInterval = kIntervalMs;
    probe.Create(host.Parent(), 0, 0, kSide, kSide, options);
    probe.m_onClassMessage = [&](UINT message) {
        if (message == kMsgTransitionBegin) {
            probe.ElementTransitionSteps(0, std::nullopt);
        }
    };
    probe.InvalidateElement();
    ASSERT_TRUE(PumpUntil([&] { return probe.Seen(kMsgTransitionEnd) == 1; }));
    EXPECT_EQ(probe.m_state & kStateTransition, 0u);
    EXPECT_EQ(probe.Seen(kMsgTransitionFrame), 0);
}

}  // namespace
}  // namespace core_test
