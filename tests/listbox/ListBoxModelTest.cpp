// ListBox model: list operations with out-of-range indexes, deleting and the references that
// follow, finding, stable sorting, selection, and the row geometry with a zero row height.
#include <gtest/gtest.h>

#include "controls/ListBoxModel.h"

namespace listbox_test {
namespace {

using namespace toolkit;

constexpr std::int32_t kRowHeight = 20;

ListBoxModel ModelWith(std::initializer_list<const wchar_t*> texts, bool single = false) {
    ListBoxModel model;
    model.singleSelect = single;
    model.InsertColumn(0, ListColumn{L"A", 0, 0, kDefaultColumnWidth});
    for (const wchar_t* text : texts) {
        ListItem item;
        item.cellTexts = {text};
        model.InsertItem(0, item);
    }
    return model;
}

TEST(ListBoxModel, IndexesOutOfRangeAreRefused) {
    struct Case {
        std::int32_t item;
        bool valid;
    };
    const Case cases[] = {{-1, false}, {0, false}, {1, true}, {3, true}, {4, false}};
    for (const Case& c : cases) {
        // A fresh list for each operation, so that a deletion does not move the range.
        const auto fresh = [] { return ModelWith({L"a", L"b", L"c"}); };
        EXPECT_EQ(fresh().IndexValid(c.item), c.valid) << c.item;
        EXPECT_EQ(fresh().DeleteItem(c.item), c.valid) << c.item;
        EXPECT_EQ(fresh().DeselectItem(c.item), c.valid) << c.item;
        EXPECT_EQ(fresh().SelectItem(c.item), c.valid) << c.item;
        EXPECT_EQ(fresh().SwapItems(c.item, 1), c.valid) << c.item;
    }
    ListBoxModel empty;
    EXPECT_FALSE(empty.IndexValid(1));
    EXPECT_EQ(empty.FindItemText(L"", 1, true, 1), 0);
}

TEST(ListBoxModel, InsertPositions) {
    struct Case {
        std::int32_t position;
        std::int32_t result;
    };
    const Case cases[] = {{0, 3}, {1, 1}, {3, 3}, {4, 0}, {-1, 0}};
    for (const Case& c : cases) {
        ListBoxModel model = ModelWith({L"a", L"b"});
        ListItem item;
        EXPECT_EQ(model.InsertItem(c.position, item), c.result) << c.position;
        EXPECT_EQ(model.ItemCount(), c.result == 0 ? 2 : 3);
    }
}

TEST(ListBoxModel, ColumnsKeepCellsInStepAndLastColumnStays) {
    ListBoxModel model = ModelWith({L"a"});
    ListColumn far{L"B", 0, 2, kDefaultColumnWidth};
    EXPECT_EQ(model.InsertColumn(1, far), 1);
    EXPECT_EQ(model.Column(1).align, 2);
    EXPECT_EQ(model.Item(1).cellTexts.size(), 2u);
    EXPECT_EQ(model.Item(1).cellTexts[1], L"a");
    EXPECT_TRUE(model.DeleteColumn(1));
    EXPECT_FALSE(model.DeleteColumn(1));

    ListBoxModel fresh;
    fresh.InsertColumn(0, far);
    EXPECT_EQ(fresh.Column(1).align, 0);
}

TEST(ListBoxModel, DeleteMovesReferencesOfLaterItems) {
    ListBoxModel model = ModelWith({L"a", L"b", L"c", L"d"});
    model.SelectItem(4);
    model.currentItem = 3;
    model.hotItem = 2;
    EXPECT_TRUE(model.DeleteItem(2));
    EXPECT_EQ(model.Selection(), std::vector<std::int32_t>{3});
    EXPECT_EQ(model.currentItem, 2);  // still item "c"
    EXPECT_EQ(model.hotItem, 0);
    EXPECT_EQ(model.Item(model.currentItem).cellTexts[0], L"c");

    // Inserting above them moves them too, so a selected index always names a selected item.
    model.InsertItem(1, ListItem{});
    EXPECT_EQ(model.Selection(), std::vector<std::int32_t>{4});
    EXPECT_EQ(model.Item(4).state, kItemSelected);
    EXPECT_EQ(model.currentItem, 3);
}

TEST(ListBoxModel, InsertingMovesOnlyTheReferencesAtOrAfterThePosition) {
    constexpr std::int32_t kChosen = 2;
    struct Case {
        std::int32_t position;
        std::int32_t chosenAfter;
    };
    // Before the chosen item, at it, right after it, and appended at the end.
    const Case cases[] = {
        {1, kChosen + 1}, {kChosen, kChosen + 1}, {kChosen + 1, kChosen}, {0, kChosen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        ListBoxModel model = ModelWith({L"a", L"b", L"c"});
        model.SelectItem(kChosen);
        model.currentItem = kChosen;
        model.hotItem = kChosen;
        model.InsertItem(c.position, ListItem{});
        EXPECT_EQ(model.Selection(), std::vector<std::int32_t>{c.chosenAfter});
        EXPECT_EQ(model.currentItem, c.chosenAfter);
        EXPECT_EQ(model.hotItem, c.chosenAfter);
        EXPECT_EQ(model.Item(c.chosenAfter).cellTexts[0], L"b");
    }
}

TEST(ListBoxModel, PartialFindMatchesWholeCharactersOnly) {
    // As bytes, U+4100 (00 41) would occur inside "AA" (41 00 41 00).
    ListBoxModel model = ModelWith({L"AA"});
    EXPECT_EQ(model.FindItemText(L"\x4100", 1, false, 1), 0);
    EXPECT_EQ(model.FindItemText(L"A", 1, false, 1), 1);
}

TEST(ListBoxModel, FindText) {
    ListBoxModel model = ModelWith({L"apple", L"pear", L"", L"apple"});
    struct Case {
        const wchar_t* text;
        std::int32_t start;
        bool whole;
        std::int32_t column;
        std::int32_t found;
    };
    const Case cases[] = {{L"apple", 1, true, 1, 1}, {L"apple", 2, true, 1, 4},
                          {L"ea", 1, false, 1, 2},   {L"ea", 1, true, 1, 0},
                          {L"", 1, true, 1, 3},      {L"pear", 1, true, 0, 2},
                          {L"pear", 1, true, 2, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(model.FindItemText(c.text, c.start, c.whole, c.column), c.found) << c.text;
    }
}

TEST(ListBoxModel, SortIsStableAndMarksTheColumn) {
    struct Case {
        std::int32_t order;
        std::int32_t kind;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {kSortAscending, kSortText, {L"10", L"2", L"2", L"b"}},
        {kSortDescending, kSortText, {L"b", L"2", L"2", L"10"}},
        {kSortAscending, kSortInteger, {L"b", L"2", L"2", L"10"}},
    };
    for (const Case& c : cases) {
        ListBoxModel model = ModelWith({L"2", L"b", L"10", L"2"});
        model.Item(1).data = 1;  // tells the two "2" apart
        EXPECT_TRUE(model.Sort(1, c.order, c.kind));
        for (std::int32_t i = 1; i <= model.ItemCount(); ++i) {
            EXPECT_EQ(model.Item(i).cellTexts[0], c.expected[i - 1]) << i;
        }
        EXPECT_EQ(model.Item(model.FindItemText(L"2", 1, true, 1)).data, 1u);
        EXPECT_EQ(model.Column(1).sortMark, c.order);
    }
    ListBoxModel one = ModelWith({L"a"});
    EXPECT_FALSE(one.Sort(1, kSortAscending, kSortText));
    EXPECT_FALSE(ModelWith({L"a", L"b"}).Sort(2, kSortAscending, kSortText));
}

TEST(ListBoxModel, SortsDateTimes) {
    ListBoxModel model = ModelWith({L"2020-01-02", L"no date", L"2019/12/31 23:59:59"});
    EXPECT_TRUE(model.Sort(1, kSortAscending, kSortDateTime));
    EXPECT_EQ(model.Item(1).cellTexts[0], L"no date");
    EXPECT_EQ(model.Item(2).cellTexts[0], L"2019/12/31 23:59:59");
    EXPECT_EQ(DateTimeSortSeconds(L"1860-12-30"), 0);
}

TEST(ListBoxModel, SingleSelectRefusesSelectionAndCurrentItemIsNotSelected) {
    ListBoxModel model = ModelWith({L"a", L"b"}, true);
    EXPECT_FALSE(model.SelectItem(1));
    model.SetCurrentItem(2, nullptr);
    EXPECT_EQ(model.currentItem, 2);
    EXPECT_EQ(model.Item(2).state, kItemSelected);
    EXPECT_TRUE(model.Selection().empty());
    model.SetCurrentItem(5, nullptr);
    EXPECT_EQ(model.currentItem, 0);
    EXPECT_EQ(model.Item(2).state, kItemNormal);
}

TEST(ListBoxGeometry, RowsAndZeroRowHeight) {
    struct Case {
        float height;
        std::int32_t rowHeight;
        std::int32_t rows;
    };
    const Case cases[] = {{100, kRowHeight, 5}, {101, kRowHeight, 6}, {100, 0, 0}, {0, 20, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(VisibleRowsFor(c.height, c.rowHeight), c.rows) << c.height;
    }
    // The last pixel of a row and the first of the next, unscrolled and partly scrolled.
    constexpr std::int32_t kTop = 3;
    constexpr std::int32_t kScrolled = 10;
    struct RowCase {
        float y;
        std::int32_t scrollY;
        std::int32_t item;
    };
    const RowCase rowCases[] = {
        {0, 0, kTop},
        {kRowHeight - 1, 0, kTop},
        {kRowHeight, 0, kTop + 1},
        {kRowHeight - kScrolled - 1, kScrolled, kTop},
        {kRowHeight - kScrolled, kScrolled, kTop + 1},
        {15, kScrolled, kTop + 1},  // half the first row scrolled away
    };
    for (const RowCase& c : rowCases) {
        EXPECT_EQ(ItemAtY(c.y, kTop, c.scrollY, kRowHeight), c.item) << c.y << "/" << c.scrollY;
    }
    EXPECT_EQ(TopItemFor(kRowHeight - 1, kRowHeight), 1);
    EXPECT_EQ(TopItemFor(kRowHeight, kRowHeight), 2);
    EXPECT_EQ(TopItemFor(45, kRowHeight), 3);
    EXPECT_EQ(RowOffset(kRowHeight + 1, kRowHeight), 1);
    EXPECT_EQ(ItemAtY(15, 1, 10, 0), 0);
    EXPECT_EQ(TopItemFor(45, 0), 1);
    EXPECT_EQ(RowOffset(45, 0), 0);

    ListBoxModel model = ModelWith({L"a"});
    model.InsertColumn(0, ListColumn{L"B", 0, 0, kDefaultColumnWidth});
    constexpr float kLeft = 5;
    EXPECT_EQ(ColumnAtX(model, 0, 10), 1);
    EXPECT_EQ(ColumnAtX(model, kLeft, kLeft + kDefaultColumnWidth - 1), 1);
    EXPECT_EQ(ColumnAtX(model, kLeft, kLeft + kDefaultColumnWidth), 2);
    EXPECT_EQ(ColumnAtX(model, kLeft, kLeft + 2 * kDefaultColumnWidth - 1), 2);
    EXPECT_EQ(ColumnAtX(model, kLeft, kLeft + 2 * kDefaultColumnWidth), 0);
}

}  // namespace
}  // namespace listbox_test
