// Link: the retagging on creation, its colours and underline under the pointer, and what a click
// does with and without a target and a bound click routine.
#include <gtest/gtest.h>

#include "CoreTestSupport.h"
#include "controls/Link.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"

namespace scroll_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kWidth = 120;
constexpr int kHeight = 20;
constexpr Gdiplus::ARGB kCaptionColour = 0xFF102030;
constexpr Gdiplus::ARGB kHoverColour = RgbToArgb(0xC06000);
constexpr Gdiplus::ARGB kVisitedColour = RgbToArgb(0x000080);
constexpr std::int32_t kUnderline = 4;
constexpr std::uint32_t kStopDefault = 1;
constexpr std::uint32_t kGoOn = 0;
// A target the shell could not open anyway, should a fault let it through.
constexpr char kUnopenedTarget[] = "vennmark-test-target-that-must-not-open";

int g_clicks = 0;
std::uint32_t g_clickResult = kGoOn;

std::uint32_t __stdcall OnClick(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
    ++g_clicks;
    return g_clickResult;
}

class Links : public ::testing::Test {
protected:
    void SetUp() override {
        g_clicks = 0;
        g_clickResult = kGoOn;
        LabelCreateOptions options;
        options.textColour = kCaptionColour;
        m_handle = m_link.CreateLabel(m_host.Parent(), 0, 0, kWidth, kHeight, "home", options);
        ASSERT_NE(m_handle, 0u);
        m_link.BindClick(AddressOf(&OnClick), 0);
    }
    void Enter() { CallElementProc(m_handle, kMsgMouseEnter, 0, 0); }
    void Leave() { CallElementProc(m_handle, kMsgMouseLeave, 0, 0); }
    void Click() { CallElementProc(m_handle, kMsgClick, 0, 0); }
    bool Underlined() { return (m_link.ElementFontStyle() & kUnderline) != 0; }

    Link m_link;
    TestHost m_host;
    ElementHandle m_handle = 0;
};

TEST_F(Links, RetagsItselfAndTakesItsColoursOnCreation) {
    EXPECT_EQ(m_link.m_classTypeId, static_cast<std::int32_t>(kTypeLink));
    EXPECT_STRCASEEQ(m_link.ElementClassName().c_str(), kClassLink);
    EXPECT_EQ(m_link.LinkNormalColor(), kCaptionColour);
    EXPECT_EQ(m_link.LinkHoverColor(), kHoverColour);
    EXPECT_EQ(m_link.LinkVisitedColor(), kVisitedColour);
    EXPECT_TRUE(m_link.LinkPlainTarget());
    EXPECT_TRUE(m_link.ElementTabStop());
    EXPECT_TRUE(m_link.ElementMouseTrack());
    EXPECT_EQ(m_link.m_drawTabStop, 1u);
}

TEST_F(Links, HoverUnderlinesAndRecoloursUntilThePointerLeaves) {
    Enter();
    EXPECT_TRUE(Underlined());
    EXPECT_EQ(m_link.LabelTextColor(), kHoverColour);
    Leave();
    EXPECT_FALSE(Underlined());
    EXPECT_EQ(m_link.LabelTextColor(), kCaptionColour);
}

// Without a target the click only marks the link visited; the hover colour stays until the
// pointer leaves, and then the visited colour shows.
TEST_F(Links, ClickWithoutTargetMarksVisitedAndOpensNothing) {
    Enter();
    Click();
    EXPECT_EQ(g_clicks, 1);
    EXPECT_TRUE(m_link.Visited());
    EXPECT_EQ(m_link.LabelTextColor(), kHoverColour);
    Leave();
    EXPECT_EQ(m_link.LabelTextColor(), kVisitedColour);
    // A new visited colour shows at once on a visited link; a new normal colour too.
    constexpr Gdiplus::ARGB kOtherColour = 0xFF00FF00;
    m_link.LinkVisitedColor(kOtherColour);
    EXPECT_EQ(m_link.LabelTextColor(), kOtherColour);
}

// A bound routine that stops the default handling keeps the target from being opened.
TEST_F(Links, ClickRoutineThatStopsKeepsTheLinkUnvisited) {
    m_link.LinkTarget(kUnopenedTarget);
    g_clickResult = kStopDefault;
    Enter();
    Click();
    EXPECT_EQ(g_clicks, 1);
    EXPECT_FALSE(m_link.Visited());
    EXPECT_EQ(m_link.LabelTextColor(), kHoverColour);
    EXPECT_EQ(m_link.LinkTarget(), kUnopenedTarget);
}

TEST_F(Links, MailTargetsGetThePrefixUnlessPlain) {
    EXPECT_EQ(LinkShellFile("a@b.c", true), "a@b.c");
    EXPECT_EQ(LinkShellFile("a@b.c", false), "mailto:a@b.c");
    constexpr std::int32_t kNotOne = 2;
    EXPECT_FALSE(m_link.LinkPlainTarget(kNotOne));
    EXPECT_TRUE(m_link.LinkPlainTarget(1));
}

TEST_F(Links, CloneOwnsItsOwnTarget) {
    m_link.LinkTarget("first");
    Link* copy = reinterpret_cast<Link*>(m_link.Clone());
    ASSERT_NE(copy, nullptr);
    m_link.LinkTarget("second");
    EXPECT_EQ(copy->LinkTarget(), "first");
    copy->FreeMembers();
    HeapFree(GetProcessHeap(), 0, copy);
}

TEST_F(Links, DestroyForgetsVisitAndTarget) {
    m_link.LinkTarget("");
    Click();
    m_link.LinkTarget("x");
    m_link.DestroyElement();
    EXPECT_FALSE(m_link.Visited());
    EXPECT_EQ(m_link.LinkTarget(), "");
}

}  // namespace
}  // namespace scroll_test
