// The item row of SRect_Ex without a window: cell widths, the item under a point, and which
// items stand selected. Kept apart from the control so that tests can go through every case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace controls {

// The "no item" index: a point off every cell, or no hovered item.
constexpr std::int32_t kNoItem = -1;

// What a row is, and so how it reacts to the pointer.
enum SRectKind : std::int32_t {
    kSRectText = 0,    // plain texts; nothing is ever selected
    kSRectButton = 1,  // push buttons; an item shows pressed while the button is held
    kSRectList = 2,    // single selection
    kSRectChecks = 3,  // check boxes; any number selected
};

// Every item gets the same whole number of pixels; the remainder of the width stays empty at the
// right. A row without items has no cells (0), rather than dividing by zero.
constexpr std::int32_t SRectItemWidth(std::int32_t elementWidth, std::size_t itemCount) {
    if (itemCount == 0 || elementWidth <= 0) {
        return 0;
    }
    return static_cast<std::int32_t>(elementWidth / static_cast<std::int64_t>(itemCount));
}

// The item whose cell holds x (element coordinates), or kNoItem: with no items, left of the row,
// or in the unused strip beyond the last cell that the rounded-down width leaves.
constexpr std::int32_t SRectItemAt(std::int32_t x, std::int32_t elementWidth,
                                   std::size_t itemCount) {
    const std::int32_t itemWidth = SRectItemWidth(elementWidth, itemCount);
    if (itemWidth == 0 || x < 0) {
        return kNoItem;
    }
    const std::int32_t item = x / itemWidth;
    return static_cast<std::size_t>(item) < itemCount ? item : kNoItem;
}

// The selected indexes of one row.
class SRectSelection {
public:
    bool IsSelected(std::int32_t index) const;
    // Applies the row kind's rule (see SRect_Ex::SRectSetSelected); true when the selection
    // changed.
    bool Set(SRectKind kind, std::int32_t index, bool flag);
    // The first selected index, or kNoItem.
    std::int32_t First() const { return m_indexes.empty() ? kNoItem : m_indexes.front(); }
    void Clear() { m_indexes.clear(); }
    const std::vector<std::int32_t>& Indexes() const { return m_indexes; }

private:
    std::vector<std::int32_t> m_indexes;
};

}  // namespace controls
