// ScrollBar: thumb geometry from range, page and position; arrow and track presses with their
// notifications and auto-repeat; dragging the thumb; an empty or unscrollable range.
#include <gtest/gtest.h>

#include <vector>

#include "CoreTestSupport.h"
#include "controls/ScrollBar.h"
#include "core/ElementEvents.h"
#include "foundation/BuiltInTheme.h"
#include "foundation/CallAddress.h"
#include "foundation/ControlClasses.h"
#include "foundation/EngineBinding.h"

namespace scroll_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

// The built-in theme's scroll-bar arrows are 10 pixels square and its thumb's nine-grid inset
// is 4, so a bar 120 long has a track from 10 to 110 and a thumb of at least 2 * 4 + 10.
constexpr int kLength = 120;
constexpr int kThickness = 10;
constexpr float kArrow = 10;
constexpr float kTrackLength = kLength - 2 * kArrow;
constexpr std::int32_t kMinThumb = 18;
constexpr int kMiddle = kThickness / 2;
constexpr std::int32_t kPage = 50;
constexpr std::int32_t kPageStep = 10;
// The default range ends at 100, so the bar made below has a thumb of 50 on a track of 100:
// 50 pixels of travel for 50 values, and the thumb's leading edge stands at the track start
// plus the position.
constexpr std::int32_t kLimit = 100 - kPage;
constexpr int kTrackEnd = static_cast<int>(kArrow + kTrackLength);

struct Notice {
    std::uint32_t position;
    std::uint32_t reason;
};
std::vector<Notice> g_notices;

std::uint32_t __stdcall OnChanged(std::uint32_t, std::uint32_t position, std::uint32_t reason) {
    g_notices.push_back({position, reason});
    return 0;
}

LPARAM Point(int along, bool horizontal = true) {
    return horizontal ? MAKELPARAM(along, kMiddle) : MAKELPARAM(kMiddle, along);
}

class ScrollBars : public ::testing::Test {
protected:
    void SetUp() override {
        g_notices.clear();
        m_theme = EngineLoadTheme(AddressOf(kBuiltInThemePackage), kBuiltInThemePackageSize, 0, 0);
        ASSERT_NE(m_theme, 0u);
        m_host.Fields().theme = m_theme;
    }
    void TearDown() override {
        if (m_bar.IsElementAlive()) {
            m_bar.DestroyElement();
        }
        m_host.Fields().theme = 0;
        EngineReleaseTheme(m_theme);
    }
    ElementHandle Create(bool horizontal = true, std::int32_t page = kPage) {
        ScrollBarCreateOptions options;
        options.pageSize = page;
        options.pageStep = kPageStep;
        options.orientation = horizontal ? kScrollHorizontal : 0;
        const ElementHandle handle =
            m_bar.CreateScrollBar(m_host.Parent(), 0, 0, horizontal ? kLength : kThickness,
                                  horizontal ? kThickness : kLength, options);
        m_bar.OnPositionChanged(AddressOf(&OnChanged), 0);
        return handle;
    }
    void Send(UINT message, WPARAM wParam, LPARAM lParam) {
        CallElementProc(m_bar.m_handle, message, wParam, lParam);
    }
    void Press(int along) { Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(along)); }
    void Release(int along) { Send(WM_LBUTTONUP, 0, Point(along)); }

    ScrollBar m_bar;
    TestHost m_host;
    std::uint32_t m_theme = 0;
};

TEST_F(ScrollBars, ThumbFollowsRangePageAndPosition) {
    struct Case {
        bool horizontal;
        std::int32_t max;
        std::int32_t page;
        std::int32_t position;
        std::int32_t thumbLength;
        float thumbStart;
    } const cases[] = {
        {true, 100, 50, 0, 50, kArrow},
        {true, 100, 50, 25, 50, kArrow + 25},
        {true, 100, 50, 50, 50, kArrow + kTrackLength - 50},
        {true, 100, 50, 80, 50, kArrow + kTrackLength - 50},  // clamped to the limit
        {false, 100, 25, 75, 25, kArrow + kTrackLength - 25},
        {true, 1000, 10, 0, kMinThumb, kArrow},
        {true, 1000, 10, 990, kMinThumb, kArrow + kTrackLength - kMinThumb},
        {true, 100, 100, 0, static_cast<std::int32_t>(kTrackLength), kArrow},
        {true, 0, 0, 0, static_cast<std::int32_t>(kTrackLength), kArrow},  // empty range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.max << "/" << c.page << "/" << c.position);
        ASSERT_NE(Create(c.horizontal), 0u);
        m_bar.MaxValue(c.max);
        m_bar.PageSize(c.page);
        m_bar.Position(c.position);
        const ElementRectF thumb = m_bar.ThumbRect();
        EXPECT_EQ(m_bar.MinThumbLength(), kMinThumb);
        EXPECT_EQ(m_bar.ThumbLength(), c.thumbLength);
        EXPECT_FLOAT_EQ(c.horizontal ? thumb.x : thumb.y, c.thumbStart);
        m_bar.DestroyElement();
    }
}

TEST_F(ScrollBars, ArrowAndTrackPressesStepAndNotify) {
    ASSERT_NE(Create(), 0u);
    // At the minimum the first arrow does nothing at all.
    Press(kArrow / 2);
    Release(kArrow / 2);
    EXPECT_TRUE(g_notices.empty());

    Press(kLength - kArrow / 2);
    Release(kLength - kArrow / 2);
    EXPECT_EQ(m_bar.Position(), 1);
    Press(kArrow / 2);
    Release(kArrow / 2);
    EXPECT_EQ(m_bar.Position(), 0);
    // The thumb covers 10-60; a press beyond it pages forward, one before it pages back.
    Press(kLength - kArrow - 1);
    Release(kLength - kArrow - 1);
    EXPECT_EQ(m_bar.Position(), kPageStep);
    Press(static_cast<int>(kArrow) + 1);
    Release(static_cast<int>(kArrow) + 1);
    EXPECT_EQ(m_bar.Position(), 0);

    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {1, kScrollLineForward},
        {0, kScrollLineBack},
        {kPageStep, kScrollPageForward},
        {0, kScrollPageBack}};
    ASSERT_EQ(g_notices.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(g_notices[i].position, expected[i].first) << i;
        EXPECT_EQ(g_notices[i].reason, expected[i].second) << i;
    }
}

TEST_F(ScrollBars, ArrowsStepByTheLineStepAndStopAtTheEnds) {
    ASSERT_NE(Create(), 0u);
    constexpr std::int32_t kLineStep = 7;
    m_bar.LineStep(kLineStep);
    const int forward = kLength - static_cast<int>(kArrow) / 2;
    const int back = static_cast<int>(kArrow) / 2;
    struct Case {
        int at;
        std::int32_t from;
        std::int32_t to;
    };
    const Case cases[] = {
        {forward, 0, kLineStep},
        {forward, kLimit - kLineStep + 1, kLimit},  // the last step is cut at the limit
        {back, kLimit, kLimit - kLineStep},
        {back, kLineStep - 1, 0},  // and the first at the minimum
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        m_bar.Position(c.from);
        g_notices.clear();
        Press(c.at);
        Release(c.at);
        EXPECT_EQ(m_bar.Position(), c.to);
        ASSERT_EQ(g_notices.size(), 1u);
        EXPECT_EQ(g_notices.front().position, static_cast<std::uint32_t>(c.to));
    }
}

TEST_F(ScrollBars, HeldArrowRepeatsUntilTheEnd) {
    ASSERT_NE(Create(), 0u);
    constexpr std::int32_t kShortLimit = 3;
    m_bar.MaxValue(kPage + kShortLimit);
    Press(kLength - kArrow / 2);
    EXPECT_TRUE(core_test::PumpUntil([&] { return m_bar.Position() == kShortLimit; }));
    // The timer stopped itself at the limit: no more steps come.
    window_test::PumpFor(500);
    EXPECT_EQ(m_bar.Position(), kShortLimit);
    EXPECT_EQ(g_notices.back().reason, static_cast<std::uint32_t>(kScrollLineForward));
    Release(kLength - kArrow / 2);
}

TEST_F(ScrollBars, HeldTrackPagesUntilTheThumbReachesThePointer) {
    ASSERT_NE(Create(), 0u);
    // Range 200 with a page of 50: the thumb is 25 long and the limit is 150. The value under a
    // point at 70 is 70, so paging by 50 stops at 100, short of the limit.
    constexpr std::int32_t kMax = 200;
    constexpr std::int32_t kBigStep = 50;
    constexpr int kPointer = 70;
    constexpr std::int32_t kStop = 100;
    m_bar.MaxValue(kMax);
    m_bar.PageStep(kBigStep);
    Press(kPointer);
    EXPECT_EQ(m_bar.Position(), kBigStep);
    EXPECT_TRUE(core_test::PumpUntil([&] { return m_bar.Position() == kStop; }));
    window_test::PumpFor(500);
    EXPECT_EQ(m_bar.Position(), kStop);
    Release(kPointer);
    for (const Notice& notice : g_notices) {
        EXPECT_EQ(notice.reason, static_cast<std::uint32_t>(kScrollPageForward));
    }
}

TEST_F(ScrollBars, DraggingTheThumbMovesThePosition) {
    ASSERT_NE(Create(), 0u);
    const int grab = static_cast<int>(kArrow) + 5;
    Press(grab);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(grab + 25));
    EXPECT_EQ(m_bar.Position(), 25);
    Release(grab + 25);
    EXPECT_EQ(g_notices.size(), 3u);
    EXPECT_EQ(g_notices.back().reason, static_cast<std::uint32_t>(kScrollThumbReleased));

    // Without track events only the press and the release are told.
    g_notices.clear();
    m_bar.TrackEvents(0);
    Press(grab + 25);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(grab));
    Release(grab);
    EXPECT_EQ(m_bar.Position(), 0);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[0].reason, static_cast<std::uint32_t>(kScrollThumbMoved));
    EXPECT_EQ(g_notices[1].reason, static_cast<std::uint32_t>(kScrollThumbReleased));
}

TEST_F(ScrollBars, ThumbDraggedToTheTrackEndReachesTheLimitExactly) {
    ASSERT_NE(Create(), 0u);
    constexpr int kGrip = 5;  // where the thumb is held, from its leading edge
    const int grab = static_cast<int>(kArrow) + kGrip;
    const int atEnd = kTrackEnd - kPage + kGrip;  // the thumb's trailing edge on the track end
    Press(grab);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(atEnd - 1));
    EXPECT_EQ(m_bar.Position(), kLimit - 1);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(atEnd));
    EXPECT_EQ(m_bar.Position(), kLimit);
    EXPECT_FLOAT_EQ(m_bar.ThumbRect().x + m_bar.ThumbRect().width, kTrackEnd);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(kLength));
    EXPECT_EQ(m_bar.Position(), kLimit) << "past the end the thumb stays at the end";
    Release(kLength);

    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {0, kScrollThumbMoved},
        {kLimit - 1, kScrollThumbMoved},
        {kLimit, kScrollThumbMoved},
        {kLimit, kScrollThumbReleased}};
    ASSERT_EQ(g_notices.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(g_notices[i].position, expected[i].first) << i;
        EXPECT_EQ(g_notices[i].reason, expected[i].second) << i;
    }

    // Dragged back to one pixel before the track start, or further, it rests at the minimum.
    Press(atEnd);
    for (const int along : {grab - 1, 0}) {
        Send(WM_MOUSEMOVE, MK_LBUTTON, Point(along));
        EXPECT_EQ(m_bar.Position(), 0) << along;
        EXPECT_FLOAT_EQ(m_bar.ThumbRect().x, kArrow) << along;
    }
    Release(0);
}

// Each part owns its first pixel and not the one after its last, wherever the thumb stands.
TEST_F(ScrollBars, PartsMeetWithoutGapOrOverlap) {
    ASSERT_NE(Create(), 0u);
    const auto at = [&](int along) {
        return m_bar.HitTest(static_cast<std::uint32_t>(Point(along)));
    };
    struct Case {
        std::int32_t position;
        int along;
        std::int32_t part;
    };
    const int first = static_cast<int>(kArrow);
    const Case cases[] = {
        {0, first - 1, kScrollPartFirstArrow},
        {0, first, kScrollPartThumb},
        {0, first + kPage - 1, kScrollPartThumb},
        {0, first + kPage, kScrollPartTrack},
        {0, kTrackEnd - 1, kScrollPartTrack},
        {0, kTrackEnd, kScrollPartSecondArrow},
        {kLimit, first, kScrollPartTrack},
        {kLimit, kTrackEnd - kPage - 1, kScrollPartTrack},
        {kLimit, kTrackEnd - kPage, kScrollPartThumb},
        {kLimit, kTrackEnd - 1, kScrollPartThumb},
        {kLimit, kTrackEnd, kScrollPartSecondArrow},
        {kLimit, kLength - 1, kScrollPartSecondArrow},
        {kLimit, kLength, kScrollPartNone},
    };
    for (const Case& c : cases) {
        m_bar.Position(c.position);
        EXPECT_EQ(at(c.along), c.part) << "position " << c.position << " at " << c.along;
    }
}

// A page forward, a line forward or a wheel notch that would pass the limit stops on it, and
// the next one stays there; back at the minimum likewise. Every step is told.
TEST_F(ScrollBars, StepsStopExactlyOnTheEnds) {
    ASSERT_NE(Create(), 0u);
    // Two short of the limit the thumb ends one pixel before the track does, and a press on
    // that last pixel pages forward.
    m_bar.Position(kLimit - 2);
    Press(kTrackEnd - 1);
    Release(kTrackEnd - 1);
    EXPECT_EQ(m_bar.Position(), kLimit) << "a page of 10 cut at the limit";

    const WPARAM forward = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
    const WPARAM back = MAKEWPARAM(0, WHEEL_DELTA);
    m_bar.Position(kLimit - 1);
    g_notices.clear();
    Send(WM_MOUSEWHEEL, forward, 0);
    EXPECT_EQ(m_bar.Position(), kLimit);
    Send(WM_MOUSEWHEEL, forward, 0);
    EXPECT_EQ(m_bar.Position(), kLimit);
    m_bar.Position(1);
    Send(WM_MOUSEWHEEL, back, 0);
    EXPECT_EQ(m_bar.Position(), 0);
    Send(WM_MOUSEWHEEL, back, 0);
    EXPECT_EQ(m_bar.Position(), 0);
    const std::vector<std::uint32_t> positions = {kLimit, kLimit, 0, 0};
    ASSERT_EQ(g_notices.size(), positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        EXPECT_EQ(g_notices[i].position, positions[i]) << i;
        EXPECT_EQ(g_notices[i].reason, static_cast<std::uint32_t>(kScrollThumbMoved)) << i;
    }
}

// A range no larger than a page (an empty one included) has nothing to scroll: presses do
// nothing, painting returns a stray position to the minimum, and style 16 hides the bar.
TEST_F(ScrollBars, UnscrollableRangeIgnoresPressesAndHides) {
    ASSERT_NE(Create(true, kLength), 0u);
    for (const std::int32_t max : {100, 0}) {
        m_bar.MaxValue(max);
        g_notices.clear();
        Press(kLength - kArrow / 2);
        Press(kLength - kArrow - 1);
        EXPECT_EQ(m_bar.Position(), 0);
        EXPECT_TRUE(g_notices.empty());
        EXPECT_EQ(m_bar.PixelToValue(kLength / 2), 0);
    }
    m_bar.ScrollBarStyle(kStyleHideWhenUnscrollable);
    m_bar.PaintScrollBar(0);
    EXPECT_TRUE(m_bar.IsHidden());
    m_bar.PageSize(kPage);
    m_bar.MaxValue(100);
    m_bar.PaintScrollBar(0);
    EXPECT_FALSE(m_bar.IsHidden());
}

}  // namespace
}  // namespace scroll_test
