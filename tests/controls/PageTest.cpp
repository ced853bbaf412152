// Page: the container's 1 x 1 canvas goes by its class type id, and it handles nothing itself.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "controls/Page.h"
#include "core/ElementEvents.h"
#include "foundation/ControlClasses.h"

namespace controls_test {
namespace {

using namespace toolkit;

constexpr int kWidth = 120;
constexpr int kHeight = 80;
// The class type id of the editor's picture viewer, a Page subclass.
constexpr std::int32_t kViewerTypeId = 2718407;
constexpr char kViewerClassName[] = "ImageViewer_Ex";

// A subclass that creates itself under its own type id, as the editor's viewers do.
class ViewerPage : public Page {
public:
    ElementHandle Create(std::uint32_t parent) {
        return CreateElement(parent, 0, 0, kWidth, kHeight, kViewerTypeId, kViewerClassName, {});
    }
};

SIZE CanvasSize(const Element& element) {
    BITMAP bitmap{};
    GetObjectW(element.m_canvasBitmap, sizeof(bitmap), &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

TEST(Page, OnlyTheContainerTypeGetsAOnePixelCanvas) {
    TestHost host;
    Hosted<Page> page;
    Hosted<ViewerPage> viewer;
    ASSERT_NE(page.CreatePage(host.Parent(), 0, 0, kWidth, kHeight), 0u);
    ASSERT_NE(viewer.Create(host.Parent()), 0u);

    EXPECT_EQ(page.m_classTypeId, static_cast<std::int32_t>(kTypePage));
    EXPECT_EQ(CanvasSize(page).cx, 1);
    EXPECT_EQ(CanvasSize(page).cy, 1);
    EXPECT_EQ(CanvasSize(viewer).cx, kWidth);
    EXPECT_EQ(CanvasSize(viewer).cy, kHeight);
    EXPECT_EQ(page.m_width, kWidth);
}

TEST(Page, TakesNoFocusOrTabStopAndTracksNoPointer) {
    TestHost host;
    Hosted<Page> page;
    page.CreatePage(host.Parent(), 0, 0, kWidth, kHeight);
    EXPECT_EQ(page.m_state & kStateFocusable, 0u);
    EXPECT_EQ(page.m_tabStop, 0u);
    EXPECT_EQ(page.m_mouseTrack, 0u);
    EXPECT_EQ(page.m_drawTabStop, 0u);
    EXPECT_EQ(page.m_transitionFrames, 0u);
}

int g_pressesSeen = 0;
std::uint32_t __stdcall CountPress(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
    ++g_pressesSeen;
    return 0;
}

TEST(Page, BoundEventsFireButNothingIsHandled) {
    TestHost host;
    Hosted<Page> page;
    const ElementHandle handle = page.CreatePage(host.Parent(), 0, 0, kWidth, kHeight);
    g_pressesSeen = 0;
    ASSERT_EQ(page.BindLeftDown(reinterpret_cast<std::uint32_t>(&CountPress), 0), 1u);

    constexpr int kX = 5;
    constexpr int kY = 6;
    EXPECT_EQ(SendToElement(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kX, kY)), 0);
    EXPECT_EQ(SendToElement(handle, WM_KEYDOWN, VK_SPACE, 0), 0);
    EXPECT_EQ(g_pressesSeen, 1);
}

TEST(ControlSlots, OperationsSitInTheirSlots) {
    EXPECT_EQ(SlotOf(&Page::CreatePage), kSlotCreatePage);
    EXPECT_EQ(SlotOf(&Page::ClassMessageHandler),
              static_cast<std::uint32_t>(kSlotClassMessageHandler));
    EXPECT_EQ(SlotOf(&Page::FreeMembers), static_cast<std::uint32_t>(kSlotFreeMembers));
}

}  // namespace
}  // namespace controls_test
