// SRect_Ex: item geometry and hit tests, selection by kind, the click routine, hover and the
// pressed look, and what the paint leaves on the canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "EdctlTestSupport.h"
#include "controls/SRectEx.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"

namespace edctl_test {
namespace {

using namespace controls;

// ---- Geometry and selection, without a window ---------------------------------------------------

TEST(SRectGeometry, ItemUnderAPoint) {
    constexpr std::int32_t kWidth = 120;
    constexpr std::int32_t kOddWidth = 100;  // three items of 33 leave one pixel over
    const struct {
        std::int32_t width;
        std::size_t count;
        std::int32_t x;
        std::int32_t itemWidth;
        std::int32_t item;
    } cases[] = {
        {kWidth, 2, 0, 60, 0},
        {kWidth, 2, 59, 60, 0},
        {kWidth, 2, 60, 60, 1},  // the first pixel of the second cell
        {kWidth, 2, 119, 60, 1},
        {kWidth, 2, 120, 60, kNoItem},
        {kWidth, 2, -1, 60, kNoItem},  // a captured pointer left of the row
        {kOddWidth, 3, 98, 33, 2},
        {kOddWidth, 3, 99, 33, kNoItem},  // past the last cell: no item, not a fourth one
        {kWidth, 0, 0, 0, kNoItem},       // no items: no cells, and no division by zero
        {kWidth, 0, 60, 0, kNoItem},
        {2, 3, 0, 0, kNoItem},  // narrower than its items
        {kWidth, 1, 119, kWidth, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SRectItemWidth(c.width, c.count), c.itemWidth) << c.width << " / " << c.count;
        EXPECT_EQ(SRectItemAt(c.x, c.width, c.count), c.item)
            << "x " << c.x << " in " << c.width << " / " << c.count;
    }
}

TEST(SRectGeometry, SelectionRulesPerKind) {
    struct Step {
        std::int32_t index;
        bool flag;
    };
    const struct {
        SRectKind kind;
        std::vector<Step> steps;
        std::vector<std::int32_t> selected;
    } cases[] = {
        {kSRectText, {{1, true}, {2, true}}, {}},
        {kSRectButton, {{1, true}, {2, true}}, {2}},
        {kSRectButton, {{1, true}, {1, false}}, {}},
        {kSRectList, {{0, true}, {3, true}}, {3}},
        {kSRectList, {{0, true}, {3, false}}, {}},  // clearing leaves none, whatever the index
        {kSRectChecks, {{0, true}, {2, true}, {0, true}}, {0, 2}},
        {kSRectChecks, {{0, true}, {2, true}, {0, false}}, {2}},
        {kSRectChecks, {{1, false}}, {}},
    };
    for (const auto& c : cases) {
        SRectSelection selection;
        for (const Step& step : c.steps) {
            selection.Set(c.kind, step.index, step.flag);
        }
        EXPECT_EQ(selection.Indexes(), c.selected) << "kind " << c.kind;
    }
}

// ---- The control in a host window
// ----------------------------------------------------------------

constexpr int kRowX = 10;
constexpr int kRowY = 20;
constexpr int kRowWidth = 120;
constexpr int kRowHeight = 18;
constexpr int kTwoItemWidth = kRowWidth / 2;
// A pixel near a cell's top-left corner, inside the frame and clear of the centred caption.
constexpr int kCellProbeInset = 3;
constexpr int kMiddleY = kRowHeight / 2;

struct ClickCall {
    ElementHandle element;
    std::int32_t item;
};
std::vector<ClickCall> g_clicks;

std::uint32_t __stdcall RecordClick(ElementHandle element, std::int32_t item) {
    g_clicks.push_back({element, item});
    return 0;
}
static_assert(std::is_same_v<decltype(&RecordClick), SRectClickProc>,
              "the click routine's signature as the main window declares it");

class SRectExTest : public ::testing::Test {
protected:
    void SetUp() override { g_clicks.clear(); }

    ElementHandle Create(SRectKind kind, std::vector<std::wstring> items) {
        SRectCreateOptions options;
        options.kind = kind;
        options.items = std::move(items);
        const ElementHandle handle =
            m_row.CreateSRect(m_host.Parent(), kRowX, kRowY, kRowWidth, kRowHeight, options);
        m_row.SRectClickRoutine(toolkit::AddressOf(&RecordClick), true);
        return handle;
    }

    void Click(int x) { SendPointer(m_row.m_handle, toolkit::kMsgClick, x, kMiddleY); }
    std::uint32_t CellPixel(int item) const {
        return CanvasPixel(m_row, item * kTwoItemWidth + kCellProbeInset, kCellProbeInset);
    }

    // The row is declared first, so that the host (destroyed first) takes its element down
    // while the object still exists.
    SRect_Ex m_row;
    TestHost m_host;
};

TEST_F(SRectExTest, CreatedWithItsClassAndDefaultColours) {
    const ElementHandle handle = Create(kSRectList, {L"A", L"B"});
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(m_row.m_classTypeId, kSRectTypeId);
    EXPECT_EQ(m_row.ElementClassName(), "SRECT_EX");
    EXPECT_EQ(m_row.m_transitionInterval, static_cast<std::uint32_t>(kSRectTransitionIntervalMs));
    EXPECT_EQ(m_row.m_transitionFrames, static_cast<std::uint32_t>(kSRectTransitionFrames));
    EXPECT_EQ(m_row.HoverIndex(), kNoItem);
    EXPECT_EQ(m_row.Colours().selectedFill, kSRectDefaultFrameColour);
    EXPECT_EQ(m_row.Colours().text, kSRectDefaultFrameColour);

    SRect_Ex withFirstItem;
    SRectCreateOptions options;
    options.items = {L"A"};
    options.firstItem = L"B";
    options.frameColour = toolkit::RgbToArgb(0x00FF00);
    withFirstItem.CreateSRect(m_host.Parent(), 0, 0, kRowWidth, kRowHeight, options);
    EXPECT_EQ(withFirstItem.ItemCount(), 2u);
    EXPECT_EQ(withFirstItem.ItemText(1), L"B");
    EXPECT_EQ(withFirstItem.Colours().selectedFill, toolkit::RgbToArgb(0x00FF00));
    withFirstItem.DestroyElement();
}

TEST_F(SRectExTest, ClickSelectsByKindAndCallsTheRoutineWithTheItem) {
    const struct {
        SRectKind kind;
        int clicks;  // on item 1
        std::vector<std::int32_t> selected;
    } cases[] = {
        {kSRectText, 1, {}},    {kSRectList, 2, {1}},
        {kSRectChecks, 1, {1}}, {kSRectChecks, 2, {}},  // a second click clears the check box
        {kSRectButton, 1, {}},                          // buttons select only while held (below)
    };
    for (const auto& c : cases) {
        SRect_Ex row;
        SRectCreateOptions options;
        options.kind = c.kind;
        options.items = {L"A", L"B"};
        const ElementHandle handle =
            row.CreateSRect(m_host.Parent(), kRowX, kRowY, kRowWidth, kRowHeight, options);
        row.SRectClickRoutine(toolkit::AddressOf(&RecordClick), true);
        g_clicks.clear();
        for (int i = 0; i < c.clicks; ++i) {
            SendPointer(handle, toolkit::kMsgClick, kTwoItemWidth, kMiddleY);
        }
        EXPECT_EQ(row.SelectedIndexes(), c.selected) << "kind " << c.kind;
        ASSERT_EQ(g_clicks.size(), static_cast<std::size_t>(c.clicks)) << "kind " << c.kind;
        EXPECT_EQ(g_clicks.back().element, handle);
        EXPECT_EQ(g_clicks.back().item, 1);
        row.DestroyElement();
    }
}

TEST_F(SRectExTest, ClickOnNoItemSelectsNothingAndCallsNothing) {
    // Rows created empty, as FileCommands and LevelList are at every start.
    Create(kSRectList, {});
    Click(kTwoItemWidth);
    EXPECT_TRUE(g_clicks.empty());
    // The canvas holds the frame, and no cell.
    EXPECT_EQ(CanvasPixel(m_row, 0, kMiddleY), kSRectDefaultFrameColour);
    EXPECT_EQ(Alpha(CanvasPixel(m_row, kTwoItemWidth, kCellProbeInset)), 0u);

    // Three items in 120 pixels are 40 wide; 100 leaves a strip past the last one.
    constexpr int kNarrowWidth = 100;
    constexpr int kPastLastItem = 99;
    m_row.ElementWidth(kNarrowWidth);
    m_row.SRectAddItems({L"1", L"2", L"3"});
    Click(kPastLastItem);
    EXPECT_TRUE(g_clicks.empty());
    EXPECT_TRUE(m_row.SelectedIndexes().empty());
    Click(kPastLastItem - 1);
    ASSERT_EQ(g_clicks.size(), 1u);
    EXPECT_EQ(g_clicks[0].item, 2);
}

TEST_F(SRectExTest, ButtonShowsPressedOnlyWhileHeldAndHoverFollowsThePointer) {
    Create(kSRectButton, {L"A", L"B"});
    EXPECT_EQ(Alpha(CellPixel(1)), 0u);

    SendPointer(m_row.m_handle, WM_LBUTTONDOWN, kTwoItemWidth + 1, kMiddleY);
    EXPECT_TRUE(m_row.SRectIsSelected(1));
    EXPECT_EQ(CellPixel(1), kSRectDefaultFrameColour);
    SendPointer(m_row.m_handle, WM_LBUTTONUP, kTwoItemWidth + 1, kMiddleY);
    EXPECT_FALSE(m_row.SRectIsSelected(1));
    EXPECT_EQ(Alpha(CellPixel(1)), 0u);

    // Hover: the hover fill (alpha 180) over item 0, gone when the pointer leaves.
    constexpr std::uint32_t kHoverAlpha = 180;
    SendPointer(m_row.m_handle, WM_MOUSEMOVE, 1, kMiddleY);
    EXPECT_EQ(m_row.HoverIndex(), 0);
    EXPECT_EQ(Alpha(CellPixel(0)), kHoverAlpha);
    EXPECT_EQ(Alpha(CellPixel(1)), 0u);
    toolkit::SendToElement(m_row.m_handle, toolkit::kMsgMouseLeave, 0, 0);
    EXPECT_EQ(m_row.HoverIndex(), kNoItem);
    EXPECT_EQ(Alpha(CellPixel(0)), 0u);
}

TEST_F(SRectExTest, ListsDoNotHoverButShowTheItemAsTooltip) {
    Create(kSRectList, {L"A", L"\x6253\x5f00"});  // the second caption is "打开"
    SendPointer(m_row.m_handle, WM_MOUSEMOVE, kTwoItemWidth, kMiddleY);
    EXPECT_EQ(m_row.HoverIndex(), kNoItem);
    ASSERT_NE(m_row.m_tipText, nullptr);
    EXPECT_STREQ(m_row.m_tipText, "打开");  // GBK, as every text of the toolkit
}

TEST_F(SRectExTest, PaintsFrameSeparatorsAndTheSelectedCell) {
    Create(kSRectList, {L"A", L"B"});
    m_row.SRectSetSelected(1, true);
    const struct {
        int x;
        int y;
        std::uint32_t argb;
    } probes[] = {
        {0, kMiddleY, kSRectDefaultFrameColour},              // frame, left
        {kRowWidth - 1, kMiddleY, kSRectDefaultFrameColour},  // frame, right
        {kRowWidth / 4, 0, kSRectDefaultFrameColour},         // frame, top
        {kRowWidth / 4, kRowHeight - 1, kSRectDefaultFrameColour},
        {kTwoItemWidth, kMiddleY, kSRectDefaultFrameColour},  // the one separator
        {kTwoItemWidth + kCellProbeInset, kCellProbeInset, kSRectDefaultFrameColour},  // selected
        {kCellProbeInset, kCellProbeInset, 0},  // transparent background
    };
    for (const auto& p : probes) {
        EXPECT_EQ(CanvasPixel(m_row, p.x, p.y), p.argb) << p.x << ", " << p.y;
    }
    // Selecting another item of a list moves the fill.
    m_row.SRectSetSelected(0, true);
    EXPECT_EQ(CellPixel(0), kSRectDefaultFrameColour);
    EXPECT_EQ(Alpha(CellPixel(1)), 0u);
}

// Whether some pixel inside the cell, off its frame and separators, passes the test.
template <typename Test>
bool AnyCellPixel(const SRect_Ex& row, int item, Test test) {
    constexpr int kInset = 2;
    for (int y = kInset; y < kRowHeight - kInset; ++y) {
        for (int x = item * kTwoItemWidth + kInset; x < (item + 1) * kTwoItemWidth - kInset; ++x) {
            if (test(CanvasPixel(row, x, y))) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(SRectExTest, CaptionsAreDrawnInTheTextOrHighlightedColour) {
    Create(kSRectList, {L"W", L"W"});
    m_row.SRectSetSelected(1, true);
    // Over the transparent background the caption is the only thing with alpha; over the
    // orange selected fill (no blue at all) the light highlighted text is the only blue.
    constexpr std::uint32_t kBlueOfLightText = 0x80;
    EXPECT_TRUE(AnyCellPixel(m_row, 0, [](std::uint32_t argb) { return Alpha(argb) != 0; }));
    EXPECT_TRUE(AnyCellPixel(m_row, 1,
                             [&](std::uint32_t argb) { return (argb & 0xFF) > kBlueOfLightText; }));
}

// The rows and columns of a canvas that hold caption pixels: anything with alpha off the frame
// and the separators, over the transparent background.
struct Ink {
    int left = INT32_MAX;
    int right = -1;
    int top = INT32_MAX;
    int bottom = -1;
    bool Any() const { return right >= 0; }
};

Ink InkBetween(const SRect_Ex& row, int fromX, int toX) {
    Ink ink;
    const std::int32_t itemWidth = SRectItemWidth(row.m_width, row.ItemCount());
    for (int y = 1; y < row.m_height - 1; ++y) {
        for (int x = fromX; x < toX; ++x) {
            const bool line =
                x == 0 || x == row.m_width - 1 || (itemWidth > 0 && x % itemWidth == 0);
            if (!line && Alpha(CanvasPixel(row, x, y)) != 0) {
                ink = {std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y),
                       std::max(ink.bottom, y)};
            }
        }
    }
    return ink;
}

TEST_F(SRectExTest, ACaptionWiderThanItsCellStaysOnOneLineCutAtTheCellsEdges) {
    // The status row: three cells of 40 pixels, the first caption wider than its cell.
    constexpr int kCells = 3;
    constexpr int kCell = kRowWidth / kCells;
    // Wide letters with no gaps between them, so that ink reaches wherever the cut falls.
    const std::wstring wide = L"WWWWWWWWWWWW";
    Create(kSRectText, {wide, L"", L""});

    // The same caption in a row wide enough for it shows where its one line lies.
    constexpr int kWideRow = 4 * kRowWidth;
    SRect_Ex reference;
    SRectCreateOptions options;
    options.items = {wide};
    reference.CreateSRect(m_host.Parent(), 0, kRowHeight, kWideRow, kRowHeight, options);
    const Ink line = InkBetween(reference, 0, kWideRow);
    ASSERT_TRUE(line.Any());
    ASSERT_GT(line.right - line.left, kCell) << "the caption must be wider than a cell";

    const Ink cut = InkBetween(m_row, 0, kCell);
    ASSERT_TRUE(cut.Any());
    EXPECT_GE(cut.top, line.top);
    EXPECT_LE(cut.bottom, line.bottom);
    // Centred and too wide, it fills the cell from edge to edge...
    constexpr int kEdgeReach = 3;
    EXPECT_LE(cut.left, kEdgeReach);
    EXPECT_GE(cut.right, kCell - kEdgeReach);
    // ...and nothing of it reaches the empty cells beside it.
    EXPECT_FALSE(InkBetween(m_row, kCell, kRowWidth).Any());
    reference.DestroyElement();
}

TEST_F(SRectExTest, ItemOperationsCheckTheirIndexes) {
    Create(kSRectList, {});
    EXPECT_EQ(m_row.SRectAddItem(L"A"), 0);
    EXPECT_EQ(m_row.SRectAddItems({L"B", L"C"}), 2);
    m_row.SRectSetItemText(1, L"X");
    m_row.SRectSetItemText(3, L"Y");
    m_row.SRectSetItemText(-1, L"Y");
    EXPECT_EQ(m_row.ItemText(1), L"X");
    EXPECT_EQ(m_row.ItemCount(), 3u);
    m_row.SRectSetSelected(1, true);
    m_row.SRectSetSelected(3, true);  // no such item: the old selection goes too
    EXPECT_TRUE(m_row.SelectedIndexes().empty());

    m_row.SRectSetSelected(2, true);
    m_row.SRectClear();
    EXPECT_EQ(m_row.ItemCount(), 0u);
    EXPECT_TRUE(m_row.SelectedIndexes().empty());
    // Refilled, as after an open, the first item does not show the old selection.
    m_row.SRectAddItem(L"1");
    EXPECT_FALSE(m_row.SRectIsSelected(0));
}

TEST_F(SRectExTest, CloneIsADeepCopy) {
    Create(kSRectChecks, {L"A"});
    m_row.SRectSetSelected(0, true);
    auto* copy = reinterpret_cast<SRect_Ex*>(m_row.Clone());
    ASSERT_NE(copy, nullptr);
    copy->SRectSetItemText(0, L"Z");
    EXPECT_EQ(m_row.ItemText(0), L"A");
    EXPECT_TRUE(copy->SRectIsSelected(0));
    copy->FreeMembers();
    HeapFree(GetProcessHeap(), 0, copy);
}

TEST_F(SRectExTest, OperationsSitInTheirSlots) {
    Create(kSRectChecks, {L"A"});
    m_row.SRectSetSelected(0, true);
    EXPECT_TRUE(CallSlot<bool>(&m_row, kSlotSRectIsSelected, std::int32_t{0}));
    EXPECT_EQ(CallSlot<std::uint32_t>(&m_row, kSlotSRectClickRoutine, std::uint32_t{0}, false),
              toolkit::AddressOf(&RecordClick));
}

}  // namespace
}  // namespace edctl_test
