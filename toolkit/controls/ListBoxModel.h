// ListBoxModel: the rows, columns and selection of a ListBox, and the row geometry its layout,
// scrolling and hit testing share. Nothing here touches a window, so the list operations are
// tested on their own.
//
// Item and column indexes are 1-based and 0 means none. Every operation checks its indexes
// first and answers 0, an empty text or nothing for one out of range.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace toolkit {

// Item State values.
enum ListItemState : std::int32_t {
    kItemNormal = 0,
    kItemSelected = 2,
    kItemHot = 128,
};

// Sort orders and kinds.
enum ListSortOrder : std::int32_t {
    kSortAscending = 1,
    kSortDescending = 2,
};
enum ListSortKind : std::int32_t {
    kSortText = 1,
    kSortInteger = 2,
    kSortDateTime = 3,
};

struct ListItem {
    // One entry per column; an empty text is the same as none.
    std::vector<std::wstring> cellTexts;
    std::vector<std::int32_t> cellImages;
    std::int32_t state = kItemNormal;
    std::int32_t checkState = 0;
    std::uint32_t data = 0;
    std::int32_t sortKey = 0;
    std::int32_t indent = 0;
    std::uint32_t textColour = 0;
    std::uint32_t backColour = 0;
    std::int32_t extent = 0;
    std::int32_t rowHeight = 0;
};

struct ListColumn {
    std::wstring text;
    std::int32_t imageIndex = 0;
    std::int32_t align = 0;  // GDI+ string alignment: 0 near, 1 centre, 2 far
    std::int32_t width = 0;
    std::int32_t columnValue = 0;
    std::int32_t sortMark = 0;  // 0 none, else a ListSortOrder
};

constexpr std::int32_t kDefaultColumnWidth = 50;

class ListBoxModel {
public:
    std::int32_t ItemCount() const { return static_cast<std::int32_t>(m_items.size()); }
    std::int32_t ColumnCount() const { return static_cast<std::int32_t>(m_columns.size()); }
    // True when each given index lies in 1 ... count.
    bool IndexValid(std::optional<std::int32_t> item,
                    std::optional<std::int32_t> column = std::nullopt) const;
    // Callers check the index first.
    ListItem& Item(std::int32_t item) { return m_items[item - 1]; }
    const ListItem& Item(std::int32_t item) const { return m_items[item - 1]; }
    ListColumn& Column(std::int32_t column) { return m_columns[column - 1]; }
    const ListColumn& Column(std::int32_t column) const { return m_columns[column - 1]; }

    // Position 0 appends; p inserts before the p-th entry when p - 1 <= count. The new
    // position, or 0 when nothing was inserted.
    std::int32_t InsertColumn(std::int32_t position, ListColumn column);
    // Refuses an invalid position and the last column.
    bool DeleteColumn(std::int32_t position);
    std::int32_t SumOfWidths() const;
    // The item's cells are resized to the column count.
    std::int32_t InsertItem(std::int32_t position, ListItem item);
    // Also forgets the item as hot or current item and shifts later references down.
    bool DeleteItem(std::int32_t position);
    void DeleteAllItems();
    bool SwapItems(std::int32_t first, std::int32_t second);

    // column 0 tries every column; whole false finds the text anywhere within the cell.
    std::int32_t FindItemText(const std::wstring& text, std::int32_t start, bool whole,
                              std::int32_t column) const;
    std::int32_t FindItemData(std::uint32_t value, std::int32_t start) const;
    // Stable; clears the selection and the current item's look, marks the column.
    bool Sort(std::int32_t column, std::int32_t order, std::int32_t kind);

    // The selection. Each returns whether anything was done; changed items are appended to
    // *changed so the control can redraw them.
    bool FindInSelection(std::int32_t item, std::size_t* position = nullptr) const;
    bool SelectItem(std::int32_t item);
    bool DeselectItem(std::int32_t item);
    // Clears the selection, makes the item (when valid) the current one with State 2.
    void SetCurrentItem(std::int32_t item, std::vector<std::int32_t>* changed);
    void ClearSelection(std::vector<std::int32_t>* changed);
    const std::vector<std::int32_t>& Selection() const { return m_selection; }
    std::vector<std::int32_t>& Selection() { return m_selection; }

    std::int32_t hotItem = 0;
    std::int32_t currentItem = 0;
    bool singleSelect = true;

private:
    std::vector<ListItem> m_items;
    std::vector<ListColumn> m_columns;
    std::vector<std::int32_t> m_selection;
};

// ---- Row geometry -------------------------------------------------------------------------------
//
// A zero or negative row height means no rows at all: every answer below is then 0, so that no
// caller divides by it.

// Rows that fit a height, a partly visible last row included.
std::int32_t VisibleRowsFor(float height, std::int32_t rowHeight);
// The item whose row lies at y inside the item area (not checked against the count).
std::int32_t ItemAtY(float y, std::int32_t topItem, std::int32_t scrollY, std::int32_t rowHeight);
// The first visible item for a vertical scroll position.
std::int32_t TopItemFor(std::int32_t scrollY, std::int32_t rowHeight);
// The part of the first row scrolled out of view.
std::int32_t RowOffset(std::int32_t scrollY, std::int32_t rowHeight);
// The column under x for columns starting at left; 0 right of the last one.
std::int32_t ColumnAtX(const ListBoxModel& model, float left, float x);
// Seconds from 1860-12-30 00:00 to a "YYYY-MM-DD[ HH:MM[:SS]]" (or "/"-separated) date-time;
// a text that is no date-time counts as the earliest date-time, day -657434 of the day count
// that starts on 1899-12-30.
std::int64_t DateTimeSortSeconds(const std::wstring& text);

}  // namespace toolkit
