// The element tree: Tab chain, sibling order, geometry, anchors and hit testing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CoreTestSupport.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementTree.h"

namespace core_test {
namespace {

using namespace toolkit;

constexpr int kSize = 20;

std::vector<ElementHandle> TabChain(const HostRecordFields& host) {
    std::vector<ElementHandle> chain;
    for (ElementHandle h = host.tabHead; h != 0 && chain.size() < 16;
         h = ReadElementField(h, kFieldNextTab)) {
        chain.push_back(h);
    }
    return chain;
}

std::vector<ElementHandle> Siblings(ElementHandle first) {
    std::vector<ElementHandle> order;
    for (ElementHandle h = first; h != 0 && order.size() < 16;
         h = ReadElementField(h, kFieldNextSibling)) {
        order.push_back(h);
    }
    return order;
}

TEST(TabChain, OrderedByIndexHeadKeptAndDestroyedElementsLeave) {
    TestHost host;
    ProbeElement a, b, c, d;
    const auto create = [&](ProbeElement& p, int index) {
        ElementCreateOptions options;
        options.tabStopIndex = index;
        return p.Create(host.Parent(), 0, 0, kSize, kSize, options);
    };
    const ElementHandle ha = create(a, 5);
    const ElementHandle hb = create(b, 9);
    const ElementHandle hc = create(c, 1);  // lower than the head: still goes after it
    const ElementHandle hd = create(d, 9);  // equal index: after the one already there
    EXPECT_EQ(TabChain(host.Fields()), (std::vector<ElementHandle>{ha, hc, hb, hd}));

    b.SetTabStopIndex(0);
    EXPECT_EQ(TabChain(host.Fields()), (std::vector<ElementHandle>{ha, hb, hc, hd}));

    c.DestroyElement();
    EXPECT_EQ(TabChain(host.Fields()), (std::vector<ElementHandle>{ha, hb, hd}));
    a.DestroyElement();
    EXPECT_EQ(TabChain(host.Fields()), (std::vector<ElementHandle>{hb, hd}));
}

TEST(TabChain, TabSkipsUnavailableElementsWrapsAndNeverHangs) {
    TestHost host;
    ProbeElement a, disabled, hidden, notTabStop, e;
    std::vector<ElementHandle> handles;
    int index = 0;
    for (ProbeElement* p : {&a, &disabled, &hidden, &notTabStop, &e}) {
        ElementCreateOptions options;
        options.tabStopIndex = ++index;
        handles.push_back(p->Create(host.Parent(), 0, 0, kSize, kSize, options));
    }
    disabled.ElementDisabled(true);
    hidden.ElementVisible(false);
    notTabStop.ElementTabStop(false);

    EXPECT_EQ(FocusNextTabStop(&host.Fields()), handles[0]);  // nothing focused: from the head
    EXPECT_EQ(FocusNextTabStop(&host.Fields()), handles[4]);
    EXPECT_EQ(host.Fields().focused, handles[4]);
    EXPECT_EQ(host.Fields().keyboardFocus, handles[4]);
    EXPECT_EQ(FocusNextTabStop(&host.Fields()), handles[0]);  // wrapped

    // With only the focused element left to take focus, Tab finds nothing and returns.
    e.ElementDisabled(true);
    EXPECT_EQ(FocusNextTabStop(&host.Fields()), 0u);
    EXPECT_EQ(host.Fields().focused, handles[0]);
    a.ElementFocusable(false);
    host.Fields().focused = host.Fields().keyboardFocus = 0;
    EXPECT_EQ(FocusNextTabStop(&host.Fields()), 0u);
}

class ZOrder : public ::testing::TestWithParam<std::pair<int, std::vector<int>>> {};

// Four siblings 0..3; element 1 is moved by the place; the result lists sibling numbers.
TEST_P(ZOrder, PlacesTheElementAmongItsSiblings) {
    TestHost host;
    ProbeElement probes[4];
    ElementHandle handles[4];
    for (int i = 0; i < 4; ++i) {
        handles[i] = probes[i].Create(host.Parent(), 0, 0, kSize, kSize);
    }
    probes[1].SetElementZOrder(GetParam().first);
    std::vector<ElementHandle> expected;
    for (int i : GetParam().second) {
        expected.push_back(handles[i]);
    }
    EXPECT_EQ(Siblings(host.Fields().firstChild), expected);
    EXPECT_EQ(host.Fields().lastChild, expected.back());
    EXPECT_EQ(ReadElementField(expected.front(), kFieldPrevSibling), 0u);
}

INSTANTIATE_TEST_SUITE_P(Places, ZOrder,
                         ::testing::Values(std::make_pair(kZFirst, std::vector<int>{1, 0, 2, 3}),
                                           std::make_pair(kZLast, std::vector<int>{0, 2, 3, 1}),
                                           std::make_pair(kZBackward, std::vector<int>{1, 0, 2, 3}),
                                           std::make_pair(kZForward, std::vector<int>{0, 2, 1, 3}),
                                           std::make_pair(kZSecond, std::vector<int>{0, 1, 2, 3}),
                                           std::make_pair(kZSecondToLast,
                                                          std::vector<int>{0, 2, 1, 3})));

TEST(ZOrderEdges, MissingNeighboursFallBackToFirstAndLast) {
    TestHost host;
    ProbeElement first, last;
    const ElementHandle hFirst = first.Create(host.Parent(), 0, 0, kSize, kSize);
    const ElementHandle hLast = last.Create(host.Parent(), 0, 0, kSize, kSize);
    first.SetElementZOrder(kZBackward);  // it has no previous sibling
    EXPECT_EQ(Siblings(host.Fields().firstChild), (std::vector<ElementHandle>{hFirst, hLast}));
    last.SetElementZOrder(kZForward);  // it has no next sibling
    EXPECT_EQ(Siblings(host.Fields().firstChild), (std::vector<ElementHandle>{hFirst, hLast}));
    EXPECT_EQ(host.Fields().lastChild, hLast);
}

TEST(Geometry, SameValueDoesNothingMoveAndSizeSendTheirMessages) {
    TestHost host;
    ProbeElement probe;
    probe.Create(host.Parent(), kSize, kSize, kSize, kSize);
    probe.ElementLeft(kSize);
    EXPECT_EQ(probe.Seen(WM_MOVE), 0);
    probe.ElementLeft(kSize + 1);
    EXPECT_EQ(probe.Seen(WM_MOVE), 1);
    EXPECT_EQ(probe.m_left, kSize + 1);
    EXPECT_EQ(probe.m_windowLeft, kSize + 1);
    probe.ElementWidth(kSize * 2);
    EXPECT_EQ(probe.Seen(WM_SIZE), 1);
    EXPECT_EQ(probe.m_right, kSize + 1 + kSize * 2);
    BITMAP bitmap{};
    GetObjectW(probe.m_canvasBitmap, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, kSize * 2);
}

TEST(Geometry, MovingAParentMovesItsChildrensWindowRectangles) {
    TestHost host;
    ProbeElement parent, child;
    const ElementHandle parentHandle = parent.Create(host.Parent(), 10, 10, 100, 100);
    child.Create(parentHandle, 5, 5, kSize, kSize);
    EXPECT_EQ(child.m_windowLeft, 15);
    parent.MoveElement(30, 40);
    EXPECT_EQ(child.m_windowLeft, 35);
    EXPECT_EQ(child.m_windowTop, 45);
    EXPECT_EQ(child.m_windowRight, 35 + kSize);
}

TEST(Geometry, ReparentingMovesTheWindowRectanglesOfTheElementAndItsChildren) {
    constexpr POINT kFirstAt = {10, 10};
    constexpr POINT kSecondAt = {60, 70};
    constexpr POINT kElementAt = {5, 6};
    constexpr POINT kChildAt = {2, 3};
    constexpr int kBig = 100;
    TestHost host;
    ProbeElement first, second, element, child;
    first.Create(host.Parent(), kFirstAt.x, kFirstAt.y, kBig, kBig);
    const ElementHandle secondHandle =
        second.Create(host.Parent(), kSecondAt.x, kSecondAt.y, kBig, kBig);
    const ElementHandle handle =
        element.Create(first.m_handle, kElementAt.x, kElementAt.y, kSize, kSize);
    child.Create(handle, kChildAt.x, kChildAt.y, kSize, kSize);

    struct Case {
        std::uint32_t parent;
        POINT origin;
    };
    const Case cases[] = {{secondHandle, kSecondAt}, {host.Parent(), {0, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parent);
        element.SetElementParent(c.parent);
        const POINT at = {c.origin.x + kElementAt.x, c.origin.y + kElementAt.y};
        EXPECT_EQ(element.m_windowLeft, at.x);
        EXPECT_EQ(element.m_windowTop, at.y);
        EXPECT_EQ(element.m_windowRight, at.x + kSize);
        EXPECT_EQ(element.m_windowBottom, at.y + kSize);
        EXPECT_EQ(child.m_windowLeft, at.x + kChildAt.x);
        EXPECT_EQ(child.m_windowTop, at.y + kChildAt.y);
        EXPECT_EQ(child.m_windowBottom, at.y + kChildAt.y + kSize);
        // Hit testing finds the element at its new place, just inside its right edge.
        EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, at.x + kChildAt.x - 1, at.y, nullptr),
                  handle);
    }
}

TEST(Anchors, LeftAndRightAnchorsStretchWithTheContainer) {
    TestHost host;
    ProbeElement probe;
    constexpr int kLeft = 10;
    constexpr int kRightMargin = 30;
    constexpr int kWiden = 50;
    probe.Create(host.Parent(), kLeft, kLeft, kHostWidth - kLeft - kRightMargin, kSize);
    probe.SetElementAnchors(true, true, true, std::nullopt);
    EXPECT_EQ(probe.m_anchors, kAnchorLeft | kAnchorTop | kAnchorRight);
    host.Fields().body->right += kWiden;
    CallElementProc(probe.m_handle, kMsgRelayout, 0, 0);
    EXPECT_EQ(probe.m_left, kLeft);
    EXPECT_EQ(probe.m_right, kHostWidth + kWiden - kRightMargin);
}

TEST(HitTest, TopmostFirstAndAlphaHitTestSkipsTransparentPixels) {
    TestHost host;
    ProbeElement below(0xFF00FF00), above(0x00000000);
    const ElementHandle hBelow = below.Create(host.Parent(), 0, 0, 50, 50);
    const ElementHandle hAbove = above.Create(host.Parent(), 10, 10, 20, 20);
    std::uint32_t point = 0;
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, 15, 16, &point), hAbove);
    EXPECT_EQ(point, static_cast<std::uint32_t>(MAKELPARAM(5, 6)));
    above.ElementAlphaHitTest(true);
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, 15, 16, &point), hBelow);
    below.ElementDisabled(true);
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, 15, 16, &point), 0u);
}

TEST(HitTest, EdgesAndTheFaintestAlphaCount) {
    constexpr int kLeft = 10;
    constexpr int kTop = 20;
    constexpr std::uint32_t kFaintest = 0x01FFFFFF;  // alpha 1
    TestHost host;
    ProbeElement probe(kFaintest);
    const ElementHandle handle = probe.Create(host.Parent(), kLeft, kTop, kSize, kSize);
    struct Case {
        int x;
        int y;
        bool hit;
    };
    // The left and top edges belong to the element, the right and bottom ones to what follows.
    const Case cases[] = {
        {kLeft, kTop, true},          {kLeft + kSize - 1, kTop + kSize - 1, true},
        {kLeft + kSize, kTop, false}, {kLeft, kTop + kSize, false},
        {kLeft - 1, kTop, false},     {kLeft, kTop - 1, false},
    };
    // By the rectangle alone, and with alpha hit testing, which a faint pixel passes.
    for (const bool alphaHitTest : {false, true}) {
        probe.ElementAlphaHitTest(alphaHitTest);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << alphaHitTest);
            std::uint32_t point = 0;
            EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, c.x, c.y, &point),
                      c.hit ? handle : 0u);
            if (c.hit) {
                EXPECT_EQ(point, static_cast<std::uint32_t>(MAKELPARAM(c.x - kLeft, c.y - kTop)));
            }
        }
    }
    EXPECT_EQ(ElementCanvasAlpha(&probe, kSize - 1, kSize - 1), 1u);
    // Outside the canvas there is nothing to hit, whatever the point.
    EXPECT_EQ(ElementCanvasAlpha(&probe, kSize, 0), 0u);
    EXPECT_EQ(ElementCanvasAlpha(&probe, 0, kSize), 0u);
    EXPECT_EQ(ElementCanvasAlpha(&probe, -1, 0), 0u);
}

// A child is found before its parent and gets the point relative to itself; a hidden element
// hides its children too and lets the point through to what lies below.
TEST(HitTest, ChildrenFirstAndHiddenElementsLetThePointThrough) {
    constexpr POINT kAboveAt = {10, 10};
    constexpr POINT kChildAt = {5, 5};
    constexpr int kBig = 60;
    constexpr int kMiddle = 40;
    TestHost host;
    ProbeElement below, above, child;
    const ElementHandle hBelow = below.Create(host.Parent(), 0, 0, kBig, kBig);
    const ElementHandle hAbove =
        above.Create(host.Parent(), kAboveAt.x, kAboveAt.y, kMiddle, kMiddle);
    const ElementHandle hChild = child.Create(hAbove, kChildAt.x, kChildAt.y, kSize, kSize);
    const POINT onChild = {kAboveAt.x + kChildAt.x + 1, kAboveAt.y + kChildAt.y + 2};
    const POINT besideChild = {kAboveAt.x + 1, kAboveAt.y + 2};
    struct Case {
        const char* what;
        POINT at;
        ElementHandle found;
        POINT origin;  // of the element found, in window coordinates
    };
    const auto check = [&](const Case& c) {
        std::uint32_t point = 0;
        EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, c.at.x, c.at.y, &point), c.found)
            << c.what;
        EXPECT_EQ(point,
                  static_cast<std::uint32_t>(MAKELPARAM(c.at.x - c.origin.x, c.at.y - c.origin.y)))
            << c.what;
    };
    const POINT childOrigin = {kAboveAt.x + kChildAt.x, kAboveAt.y + kChildAt.y};
    check({"on the child", onChild, hChild, childOrigin});
    check({"beside the child", besideChild, hAbove, kAboveAt});
    child.ElementVisible(false);
    check({"on the hidden child", onChild, hAbove, kAboveAt});
    child.ElementVisible(true);
    above.ElementVisible(false);
    check({"on the child of a hidden parent", onChild, hBelow, {0, 0}});
}

// An element that answers the hit-test question with non-zero is transparent itself: only its
// children can be hit there, and where none is, nothing is, whatever lies below.
TEST(HitTest, AnElementTransparentToHitsOffersOnlyItsChildren) {
    constexpr int kBig = 60;
    TestHost host;
    ProbeElement below, seeThrough, child;
    below.Create(host.Parent(), 0, 0, kBig, kBig);
    const ElementHandle hThrough = seeThrough.Create(host.Parent(), 0, 0, kBig, kBig);
    const ElementHandle hChild = child.Create(hThrough, 0, 0, kSize, kSize);
    seeThrough.m_classResult = 1;
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, kSize / 2, kSize / 2, nullptr), hChild);
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, kSize + 1, kSize + 1, nullptr), 0u);
    seeThrough.m_classResult = 0;
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, kSize + 1, kSize + 1, nullptr), hThrough);
}

TEST(HitTest, PointOutsideAPagesOnePixelCanvasIsTransparent) {
    TestHost host;
    ProbeElement page;
    page.CreateElement(host.Parent(), 0, 0, 100, 100, kClassTypePage, "Page", {});
    EXPECT_EQ(ElementCanvasAlpha(&page, 50, 50), 0u);
    page.ElementAlphaHitTest(true);
    EXPECT_EQ(HitTestControlTree(host.Fields().lastChild, 50, 50, nullptr), 0u);
}

}  // namespace
}  // namespace core_test
