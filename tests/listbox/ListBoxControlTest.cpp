// ListBox in a real host window: row and header geometry, hit tests, scrolling and the owned
// scroll bars, and pointer input raising the 204xx notifications.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CoreTestSupport.h"
#include "controls/ListBox.h"
#include "core/ElementEvents.h"
#include "foundation/BuiltInTheme.h"
#include "foundation/CallAddress.h"
#include "foundation/Drawing.h"
#include "foundation/EngineBinding.h"

namespace listbox_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr std::int32_t kFirstWidth = 60;
constexpr std::int32_t kSecondWidth = 40;
constexpr std::int32_t kManyItems = 20;
constexpr int kBorder = 1;
constexpr std::int32_t kScrolledIntoRow = 5;

struct Notice {
    std::uint32_t code;
    std::vector<std::uint32_t> values;
};
std::vector<Notice> g_notices;

std::uint32_t __stdcall OnLeftClick(std::uint32_t, std::uint32_t a, std::uint32_t b,
                                    std::uint32_t c, std::uint32_t d) {
    g_notices.push_back({kListItemLeftClick, {a, b, c, d}});
    return 0;
}
std::uint32_t __stdcall OnRightClick(std::uint32_t, std::uint32_t a, std::uint32_t b,
                                     std::uint32_t c, std::uint32_t d) {
    g_notices.push_back({kListItemRightClick, {a, b, c, d}});
    return 0;
}
std::uint32_t __stdcall OnChanging(std::uint32_t, std::uint32_t a, std::uint32_t b) {
    g_notices.push_back({kListCurrentChanging, {a, b}});
    return 0;
}
std::uint32_t __stdcall OnChecked(std::uint32_t, std::uint32_t a, std::uint32_t b) {
    g_notices.push_back({kListCheckToggled, {a, b}});
    return 0;
}
std::uint32_t __stdcall OnHeader(std::uint32_t, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    g_notices.push_back({kListHeaderLeftClick, {a, b, c}});
    return 0;
}

class ListBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        g_notices.clear();
        m_theme = EngineLoadTheme(AddressOf(kBuiltInThemePackage), kBuiltInThemePackageSize, 0, 0);
        ASSERT_NE(m_theme, 0u);
        m_host.Fields().theme = m_theme;
    }
    void TearDown() override {
        if (m_list.IsElementAlive()) {
            m_list.DestroyElement();
        }
        m_host.Fields().theme = 0;
        EngineReleaseTheme(m_theme);
    }
    void Create(ListBoxCreateOptions options = {}, std::int32_t items = kManyItems) {
        ASSERT_NE(m_list.Create(m_host.Parent(), 0, 0, kWidth, kHeight, options), 0u);
        m_list.OnItemLeftClick(AddressOf(&OnLeftClick), 0);
        m_list.OnItemRightClick(AddressOf(&OnRightClick), 0);
        m_list.OnCurrentChanging(AddressOf(&OnChanging), 0);
        m_list.OnCheckToggled(AddressOf(&OnChecked), 0);
        m_list.OnHeaderLeftClick(AddressOf(&OnHeader), 0);
        m_list.InsertColumn(0, L"A", kFirstWidth);
        m_list.InsertColumn(0, L"B", kSecondWidth);
        for (std::int32_t i = 1; i <= items; ++i) {
            m_list.InsertItem(0, std::to_wstring(i).c_str());
        }
    }
    // Element coordinates of the middle of an item's row in a column (unscrolled list).
    LPARAM RowPoint(std::int32_t item, int x = kFirstWidth / 2) {
        const int y = static_cast<int>(m_list.ListRect().Y) + (item - 1) * m_list.RowHeight() +
                      m_list.RowHeight() / 2;
        return MAKELPARAM(x + kBorder, y);
    }
    void Click(LPARAM point, bool left = true) {
        CallElementProc(m_list.m_handle, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN,
                        left ? MK_LBUTTON : MK_RBUTTON, point);
        CallElementProc(m_list.m_handle, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, point);
    }

    ListBox m_list;
    TestHost m_host;
    std::uint32_t m_theme = 0;
};

TEST_F(ListBoxes, LaysOutHeaderRowsAndBars) {
    Create();
    const std::int32_t row = m_list.RowHeight();
    ASSERT_GT(row, 0);
    EXPECT_EQ(m_list.HeaderHeight(), static_cast<std::int32_t>(row * 1.2f));
    EXPECT_FLOAT_EQ(m_list.HeaderRect().Y, kBorder);
    EXPECT_FLOAT_EQ(m_list.ListRect().Y, kBorder + m_list.HeaderHeight());
    EXPECT_EQ(m_list.VisibleRows(), VisibleRowsFor(m_list.ListRect().Height, row));
    EXPECT_EQ(m_list.ContentWidth(), kFirstWidth + kSecondWidth);
    EXPECT_EQ(m_list.ContentHeight(), kManyItems * row);
    // Twenty rows overflow the list, two columns do not.
    EXPECT_FALSE(m_list.VerticalBar().IsHidden());
    EXPECT_TRUE(m_list.HorizontalBar().IsHidden());

    m_list.DeleteAllItems();
    EXPECT_TRUE(m_list.VerticalBar().IsHidden());
    EXPECT_EQ(m_list.ContentHeight(), 0);
    EXPECT_EQ(m_list.TopItem(), 1);
}

TEST_F(ListBoxes, HitTestsHeaderItemsAndOutside) {
    Create();
    struct Case {
        LPARAM point;
        std::int32_t result;
        std::int32_t item;
        std::int32_t column;
    };
    const int headerY = kBorder + 2;
    const Case cases[] = {
        {RowPoint(3), kListHitItems, 3, 1},
        {RowPoint(2, kFirstWidth + kSecondWidth / 2), kListHitItems, 2, 2},
        {RowPoint(1, kFirstWidth + kSecondWidth + 5), kListHitItems, 1, 0},  // right of columns
        {MAKELPARAM(kFirstWidth + 5, headerY), kListHitHeader, 0, 2},
        {MAKELPARAM(0, 0), kListHitNone, 0, 0},  // the border
    };
    for (const Case& c : cases) {
        std::int32_t item = -1, column = -1, x = 0, y = 0;
        EXPECT_EQ(m_list.HitTest(c.point, &item, &column, &x, &y), c.result) << c.point;
        EXPECT_EQ(item, c.item) << c.point;
        EXPECT_EQ(column, c.column) << c.point;
    }
}

TEST_F(ListBoxes, ScrollingMovesTheTopItemAndHitTests) {
    Create();
    const std::int32_t row = m_list.RowHeight();
    m_list.ScrollToY(2 * row + kScrolledIntoRow);
    EXPECT_EQ(m_list.TopItem(), 3);
    std::int32_t item = 0, column = 0, x = 0, y = 0;
    const auto top = static_cast<int>(m_list.ListRect().Y);
    m_list.HitTest(MAKELPARAM(kBorder + 1, top), &item, &column, &x, &y);
    EXPECT_EQ(item, 3);
    EXPECT_EQ(y, kScrolledIntoRow);
    m_list.HitTest(MAKELPARAM(kBorder + 1, top + row - kScrolledIntoRow), &item, &column, &x, &y);
    EXPECT_EQ(item, 4);

    EXPECT_TRUE(m_list.EnsureVisible(kManyItems));
    EXPECT_LE(m_list.TopItem(), kManyItems);
    EXPECT_GE(m_list.TopItem() + m_list.VisibleRows(), kManyItems);
    EXPECT_FALSE(m_list.EnsureVisible(kManyItems + 1));
    EXPECT_FALSE(m_list.EnsureVisible(0));
}

TEST_F(ListBoxes, LeftClickChangesCurrentItemAndNotifies) {
    Create();
    Click(RowPoint(2));
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[0].code, kListCurrentChanging);
    EXPECT_EQ(g_notices[0].values, (std::vector<std::uint32_t>{2, 0}));
    EXPECT_EQ(g_notices[1].code, kListItemLeftClick);
    EXPECT_EQ(g_notices[1].values[0], 2u);
    EXPECT_EQ(g_notices[1].values[1], 1u);
    EXPECT_EQ(m_list.CurrentItemProp(), 2);
    EXPECT_TRUE(m_list.IsSelected(2));
    // Single selection keeps the selection list empty.
    EXPECT_EQ(m_list.SelectedCount(), 0);

    g_notices.clear();
    Click(RowPoint(1, kFirstWidth + kSecondWidth + 5), false);
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices.back().code, kListItemRightClick);
    EXPECT_EQ(g_notices.back().values, (std::vector<std::uint32_t>{0, 0, 0, 0}));
}

TEST_F(ListBoxes, ClickBelowTheLastItemReportsNoItem) {
    Create({}, 2);
    Click(RowPoint(4));
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices.back().code, kListItemLeftClick);
    EXPECT_EQ(g_notices.back().values, (std::vector<std::uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(m_list.CurrentItemProp(), 0);
}

TEST_F(ListBoxes, RubberBandSelectsTheRowsItSpans) {
    ListBoxCreateOptions options;
    options.singleSelect = 0;
    Create(options);
    CallElementProc(m_list.m_handle, WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(2));
    CallElementProc(m_list.m_handle, WM_MOUSEMOVE, MK_LBUTTON, RowPoint(4));
    CallElementProc(m_list.m_handle, WM_LBUTTONUP, 0, RowPoint(4));
    EXPECT_EQ(m_list.SelectedItems(), (std::vector<std::int32_t>{2, 3, 4}));
    // A right press on one of them keeps the whole selection.
    Click(RowPoint(3), false);
    EXPECT_EQ(m_list.SelectedCount(), 3);
}

TEST_F(ListBoxes, CheckBoxPressTogglesWithoutSelecting) {
    ListBoxCreateOptions options;
    options.checkBoxes = 1;
    Create(options);
    const int boxX = 2 + 1;  // inside the box, which starts 2 pixels into the first cell
    CallElementProc(m_list.m_handle, WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(3, boxX));
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].code, kListCheckToggled);
    EXPECT_EQ(g_notices[0].values, (std::vector<std::uint32_t>{3, 1}));
    EXPECT_EQ(m_list.ItemCheckState(3), 1);
    EXPECT_EQ(m_list.CurrentItemProp(), 0);
}

TEST_F(ListBoxes, HeaderClickAndSeparatorClickWithoutDrag) {
    Create();
    const LPARAM header = MAKELPARAM(kFirstWidth / 2, kBorder + 2);
    Click(header);
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].code, kListHeaderLeftClick);
    EXPECT_EQ(g_notices[0].values[0], 1u);

    // A click on the separator that does not move leaves the width as it was; a drag resizes.
    const LPARAM separator = MAKELPARAM(kBorder + kFirstWidth + 1, kBorder + 2);
    Click(separator);
    EXPECT_EQ(m_list.ColumnWidth(1), kFirstWidth);
    const int drag = 15;
    CallElementProc(m_list.m_handle, WM_LBUTTONDOWN, MK_LBUTTON, separator);
    CallElementProc(m_list.m_handle, WM_LBUTTONUP, 0,
                    MAKELPARAM(kBorder + kFirstWidth + 1 + drag, kBorder + 2));
    EXPECT_EQ(m_list.ColumnWidth(1), kFirstWidth + drag);
    EXPECT_EQ(m_list.ContentWidth(), kFirstWidth + drag + kSecondWidth);
}

std::uint32_t CanvasAlpha(const ListBox& list, int x, int y) {
    Gdiplus::ARGB pixel = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(list.Canvas(), x, y, &pixel);
    return pixel >> 24;
}

TEST_F(ListBoxes, ScrollingByOneRowMovesCanvasPixels) {
    Create();
    const int row = m_list.RowHeight();
    // Right of the texts, inside the second column: only the row fill shows there.
    const int x = kFirstWidth + kSecondWidth - 2;
    m_list.CurrentItemProp(2);
    ASSERT_NE(m_list.Canvas(), nullptr);
    EXPECT_EQ(CanvasAlpha(m_list, x, row / 2), 0u);
    EXPECT_NE(CanvasAlpha(m_list, x, row + row / 2), 0u);
    m_list.ScrollToY(row);
    EXPECT_EQ(m_list.TopItem(), 2);
    EXPECT_NE(CanvasAlpha(m_list, x, row / 2), 0u);
    EXPECT_EQ(CanvasAlpha(m_list, x, row + row / 2), 0u);
}

// A list that counts the rows it draws and paints its header background a colour of its own.
class InstrumentedList : public ListBox {
public:
    static constexpr Gdiplus::ARGB kHeaderRed = 0xFFFF0000;
    void DrawItem(std::int32_t item, bool present) override {
        ++drawnRows;
        ListBox::DrawItem(item, present);
    }
    std::int32_t HeaderBackgroundHook(Gdiplus::GpGraphics* graphics,
                                      const Gdiplus::RectF& rect) override {
        FillRect(graphics, rect, kHeaderRed);
        return 1;
    }
    int drawnRows = 0;
};

class InstrumentedLists : public ListBoxes {
protected:
    void TearDown() override {
        if (m_instrumented.IsElementAlive()) {
            m_instrumented.DestroyElement();
        }
        ListBoxes::TearDown();
    }
    void CreateInstrumented() {
        ASSERT_NE(m_instrumented.Create(m_host.Parent(), 0, 0, kWidth, kHeight), 0u);
        m_instrumented.InsertColumn(0, L"A", kFirstWidth);
        m_instrumented.InsertColumn(0, L"B", kSecondWidth);
        for (std::int32_t i = 1; i <= kManyItems; ++i) {
            m_instrumented.InsertItem(0, std::to_wstring(i).c_str());
        }
    }
    // The element canvas's pixel, premultiplied 0xAARRGGBB.
    std::uint32_t CanvasPixel(int x, int y) {
        GdiFlush();
        return static_cast<const std::uint32_t*>(
            m_instrumented.m_canvasBits)[y * m_instrumented.m_width + x];
    }
    InstrumentedList m_instrumented;
};

TEST_F(InstrumentedLists, ScrollingByRowsDrawsOnlyTheUncoveredRows) {
    CreateInstrumented();
    const std::int32_t row = m_instrumented.RowHeight();
    constexpr std::int32_t kTwoRows = 2;
    struct Case {
        std::int32_t to;  // in rows
        int drawn;
    };
    // Down one row, down two more, back up two.
    const Case cases[] = {{1, 1}, {1 + kTwoRows, kTwoRows}, {1, kTwoRows}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        m_instrumented.drawnRows = 0;
        m_instrumented.ScrollToY(c.to * row);
        EXPECT_EQ(m_instrumented.TopItem(), c.to + 1);
        EXPECT_EQ(m_instrumented.drawnRows, c.drawn);
    }
}

TEST_F(InstrumentedLists, ALitHeaderCellShowsOnlyItsOwnShade) {
    CreateInstrumented();
    const Gdiplus::RectF& header = m_instrumented.HeaderRect();
    ASSERT_GT(header.Height, 0.0f);
    // The top row of each cell, short of its right edge, where neither text nor separator is;
    // a lit cell's shade starts transparent there.
    constexpr int kInsideRightEdge = 4;
    const int y = static_cast<int>(header.Y);
    const int litX = static_cast<int>(header.X) + kFirstWidth - kInsideRightEdge;
    const int otherX = litX + kSecondWidth;
    m_instrumented.DrawHeader(1, kItemHot, true);
    EXPECT_EQ(CanvasPixel(otherX, y), InstrumentedList::kHeaderRed);
    constexpr std::uint32_t kColourBits = 0x00FFFFFF;
    EXPECT_NE(CanvasPixel(litX, y) & kColourBits, InstrumentedList::kHeaderRed & kColourBits);
}

void PressShift(bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
    core_test::PumpUntil([down] { return (GetAsyncKeyState(VK_SHIFT) < 0) == down; });
}

TEST_F(ListBoxes, ShiftPressSelectsARangeAndKeepsTheAnchor) {
    ListBoxCreateOptions options;
    options.singleSelect = 0;
    Create(options);
    Click(RowPoint(2));
    g_notices.clear();
    PressShift(true);
    Click(RowPoint(5));
    PressShift(false);
    EXPECT_EQ(m_list.SelectedItems(), (std::vector<std::int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(m_list.CurrentItemProp(), 2);
    // The release over another item than the anchor raises no click.
    for (const Notice& notice : g_notices) {
        EXPECT_NE(notice.code, kListItemLeftClick);
    }
}

// The engine and the ComboBox reach these operations by method-table slot. GCC stores a
// pointer to a virtual member as 1 + the byte offset of its table entry.
template <typename Member>
std::uint32_t SlotOf(Member member) {
    std::uint32_t words[sizeof(member) / sizeof(std::uint32_t)] = {};
    std::memcpy(words, &member, sizeof(member));
    return (words[0] - 1) / sizeof(void*);
}

TEST(ListBoxSlots, ClassOperationsKeepTheirSlots) {
    EXPECT_EQ(SlotOf(&ListBox::ClassMessageHandler), 19u);
    EXPECT_EQ(SlotOf(&ListBox::ScrollToY), kSlotListScrollToY);
    EXPECT_EQ(SlotOf(&ListBox::IndexValid), 100u);
    EXPECT_EQ(SlotOf(&ListBox::ResizeColumn), 107u);
    EXPECT_EQ(SlotOf(&ListBox::Create), kSlotListCreate);
    EXPECT_EQ(SlotOf(&ListBox::ItemCount), 126u);
    EXPECT_EQ(SlotOf(&ListBox::SelectAll), kSlotListSelectAll);
    EXPECT_EQ(SlotOf(&ListBox::SetItemCheckState), 149u);
    EXPECT_EQ(SlotOf(&ListBox::ItemHoverHook), kSlotListItemHoverHook);
    EXPECT_EQ(SlotOf(&ListBox::OnItemLeftClick), kSlotListOnItemLeftClick);
    EXPECT_EQ(SlotOf(&ListBox::OnCheckToggled), kSlotListOnCheckToggled);
}

TEST_F(ListBoxes, OperationsRefuseIndexesOutOfRange) {
    Create({}, 2);
    struct Case {
        std::int32_t item;
        std::int32_t column;
    };
    const Case cases[] = {{0, 1}, {3, 1}, {-1, 1}, {1, 0}, {1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.item << "/" << c.column);
        EXPECT_FALSE(m_list.SetItemText(c.item, c.column, L"x"));
        EXPECT_EQ(m_list.ItemText(c.item, c.column), L"");
        EXPECT_FALSE(m_list.SetCellImage(c.item, c.column, 1));
        EXPECT_EQ(m_list.CellImage(c.item, c.column), 0);
    }
    for (std::int32_t bad : {0, 3, -1}) {
        EXPECT_FALSE(m_list.SetItemData(bad, 1));
        EXPECT_EQ(m_list.ItemData(bad), 0u);
        EXPECT_EQ(m_list.SetItemCheckState(bad, 1), 0);
        EXPECT_FALSE(m_list.DeleteItem(bad));
        EXPECT_FALSE(m_list.IsSelected(bad));
        EXPECT_FALSE(m_list.SetColumnWidth(bad, kFirstWidth));
        EXPECT_EQ(m_list.ColumnWidth(bad), 0);
        EXPECT_FALSE(m_list.DeleteColumn(bad));
        EXPECT_EQ(m_list.CurrentItemProp(bad), 0);
    }
    // The last item and the last column are inside the range.
    constexpr std::int32_t kLast = 2;
    constexpr std::int32_t kImage = 3;
    EXPECT_TRUE(m_list.SetItemText(kLast, kLast, L"corner"));
    EXPECT_EQ(m_list.ItemText(kLast, kLast), L"corner");
    EXPECT_TRUE(m_list.SetCellImage(kLast, kLast, kImage));
    EXPECT_EQ(m_list.CellImage(kLast, kLast), kImage);
    EXPECT_TRUE(m_list.SetItemData(kLast, kImage));
    EXPECT_EQ(m_list.ItemData(kLast), static_cast<std::uint32_t>(kImage));
    EXPECT_EQ(m_list.ColumnWidth(kLast), kSecondWidth);

    EXPECT_EQ(m_list.InsertItem(4, L"x"), 0);
    EXPECT_EQ(m_list.InsertItem(3, L"x"), 3);  // right after the last item
    EXPECT_EQ(m_list.ItemCount(), 3);
    m_list.Sort(3, kSortAscending, kSortText);  // an invalid column sorts nothing
    EXPECT_EQ(m_list.ItemText(1), L"1");
}

TEST_F(ListBoxes, DeletingAnItemShrinksTheContentAndFollowsTheCurrentItem) {
    Create();
    // A column wider than the list brings the horizontal bar: the vertical range keeps room for
    // it after a delete as after an insert, or the last row stays under the bar.
    m_list.InsertColumn(0, L"C", kWidth);
    ASSERT_FALSE(m_list.HorizontalBar().IsHidden());
    m_list.CurrentItemProp(3);
    EXPECT_TRUE(m_list.DeleteItem(1));
    EXPECT_EQ(m_list.ContentHeight(), (kManyItems - 1) * m_list.RowHeight());
    EXPECT_EQ(m_list.VerticalBar().MaxValue(),
              m_list.ContentHeight() + m_list.HorizontalBar().m_height);
    EXPECT_EQ(m_list.CurrentItemProp(), 2);
    EXPECT_EQ(m_list.ItemText(m_list.CurrentItemProp()), L"3");
}

TEST_F(ListBoxes, DeletingKeepsTheViewInStepWithTheBar) {
    Create();
    const std::int32_t row = m_list.RowHeight();
    constexpr std::int32_t kScrolledRows = 5;
    // Above the view, within it, and below it: the bar moves up a row each time and the view
    // follows it, one row up.
    for (const std::int32_t deleted : {1, kScrolledRows + 2, kManyItems}) {
        SCOPED_TRACE(deleted);
        m_list.DeleteAllItems();
        for (std::int32_t i = 1; i <= kManyItems; ++i) {
            m_list.InsertItem(0, std::to_wstring(i).c_str());
        }
        m_list.VerticalBar().Position(kScrolledRows * row);
        m_list.ScrollToY(kScrolledRows * row);
        ASSERT_EQ(m_list.TopItem(), kScrolledRows + 1);
        EXPECT_TRUE(m_list.DeleteItem(deleted));
        EXPECT_EQ(m_list.ScrollYPos(), (kScrolledRows - 1) * row);
        EXPECT_EQ(m_list.VerticalBar().Position(), m_list.ScrollYPos());
        EXPECT_EQ(m_list.TopItem(), kScrolledRows);
        EXPECT_EQ(m_list.TopItem(), TopItemFor(m_list.ScrollYPos(), row));
        // Moving back to where the view was before the delete is a real move.
        m_list.ScrollToY(kScrolledRows * row);
        EXPECT_EQ(m_list.TopItem(), kScrolledRows + 1);
    }
}

// Each item gets an opaque row colour of its own, so a canvas row names the item drawn there.
Gdiplus::ARGB RowColour(std::int32_t item) {
    constexpr Gdiplus::ARGB kOpaque = 0xFF000000;
    constexpr Gdiplus::ARGB kStep = 0x000A0B0C;
    return kOpaque | static_cast<Gdiplus::ARGB>(item) * kStep;
}

TEST_F(ListBoxes, DeletingAtTheBottomRedrawsEveryVisibleRow) {
    Create({}, 0);
    const std::int32_t row = m_list.RowHeight();
    const auto listHeight = static_cast<std::int32_t>(m_list.ListRect().Height);
    // Just more items than rows: deleting one makes the whole list fit.
    const std::int32_t fewItems = listHeight / row + 1;
    constexpr std::int32_t kAboveTheView = -1;
    struct Case {
        std::int32_t items;
        bool atBottom;                // else half-way down
        std::int32_t deletedFromTop;  // rows below the first visible one, or kAboveTheView
    };
    const Case cases[] = {
        {kManyItems, true, 0},  {kManyItems, true, 2},         {kManyItems, true, kAboveTheView},
        {kManyItems, false, 0}, {kManyItems, false, 2},        {kManyItems, false, kAboveTheView},
        {fewItems, true, 0},    {fewItems, true, fewItems - 2}};
    for (const Case& c : cases) {
        m_list.DeleteAllItems();
        for (std::int32_t i = 1; i <= c.items; ++i) {
            m_list.InsertItem(0, std::to_wstring(i).c_str(), 0, 0, 0, {}, RowColour(i));
        }
        ScrollBar& bar = m_list.VerticalBar();
        const std::int32_t limit = bar.MaxValue() - bar.PageSize();
        bar.Position(c.atBottom ? limit : limit / 2);
        m_list.ScrollToY(bar.Position());
        const std::int32_t deleted =
            c.deletedFromTop == kAboveTheView ? 1 : m_list.TopItem() + c.deletedFromTop;
        SCOPED_TRACE(testing::Message()
                     << c.items << " items, bottom " << c.atBottom << ", deleted " << deleted);
        ASSERT_GE(deleted, 1);
        ASSERT_LE(deleted, c.items);
        // Each item keeps its colour when it moves up a row.
        std::vector<Gdiplus::ARGB> expected;
        for (std::int32_t i = 1; i <= c.items; ++i) {
            if (i != deleted) {
                expected.push_back(RowColour(i));
            }
        }
        ASSERT_TRUE(m_list.DeleteItem(deleted));
        EXPECT_EQ(bar.Position(), m_list.ScrollYPos());
        EXPECT_EQ(m_list.TopItem(), TopItemFor(m_list.ScrollYPos(), row));
        // Every canvas row that shows, at least in part: its item, or nothing past the last.
        const int x = kFirstWidth + kSecondWidth - 2;
        const std::int32_t shown = m_list.ScrollYPos() % row + listHeight;
        for (std::int32_t r = 0; r * row < shown; ++r) {
            const std::int32_t item = m_list.TopItem() + r;
            const Gdiplus::ARGB want = item <= m_list.ItemCount() ? expected[item - 1] : 0;
            Gdiplus::ARGB pixel = 0;
            Gdiplus::DllExports::GdipBitmapGetPixel(m_list.Canvas(), x, r * row + row / 2, &pixel);
            EXPECT_EQ(pixel, want) << "row " << r;
        }
    }
}

TEST_F(ListBoxes, AListWithoutColumnsTakesNoItems) {
    ASSERT_NE(m_list.Create(m_host.Parent(), 0, 0, kWidth, kHeight), 0u);
    EXPECT_EQ(m_list.InsertItem(0, L"lost"), 0);
    EXPECT_EQ(m_list.InsertItemA(0, "lost"), 0);
    EXPECT_EQ(m_list.ItemCount(), 0);
    EXPECT_EQ(m_list.ContentHeight(), 0);
    m_list.InsertColumn(0, L"A", kFirstWidth);
    EXPECT_EQ(m_list.InsertItem(0, L"kept"), 1);
    EXPECT_EQ(m_list.ItemText(1), L"kept");
}

}  // namespace
}  // namespace listbox_test
