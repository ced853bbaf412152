// ListBoxModel: list operations, sorting, selection and row geometry.
#include "controls/ListBoxModel.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace toolkit {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// The day count of date-times starts on 1899-12-30; its earliest day is 0100-01-01.
constexpr std::int64_t kEarliestDay = -657434;

// Days from 1970-01-01 to a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

const std::int64_t kDayZero = DaysFromCivil(1899, 12, 30);
const std::int64_t kSortEpoch = DaysFromCivil(1860, 12, 30);

bool ReadNumber(const wchar_t*& p, std::int64_t* value, int maxDigits) {
    int digits = 0;
    *value = 0;
    while (digits < maxDigits && std::iswdigit(*p)) {
        *value = *value * 10 + (*p - L'0');
        ++p;
        ++digits;
    }
    return digits > 0;
}

bool ValidDate(std::int64_t year, std::int64_t month, std::int64_t day) {
    static const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= kMonthDays[month - 1] &&
           (month != 2 || day < 29 || (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)));
}

}  // namespace

std::int64_t DateTimeSortSeconds(const std::wstring& text) {
    const std::int64_t earliest = (kEarliestDay + kDayZero - kSortEpoch) * kSecondsPerDay;
    const wchar_t* p = text.c_str();
    while (*p == L' ') {
        ++p;
    }
    std::int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(p, &year, 4)) {
        return earliest;
    }
    const wchar_t separator = *p;
    if ((separator != L'-' && separator != L'/') || !ReadNumber(++p, &month, 2) ||
        *p != separator || !ReadNumber(++p, &day, 2) || !ValidDate(year, month, day)) {
        return earliest;
    }
    if (*p == L' ') {
        ++p;
        if (!ReadNumber(p, &hour, 2) || *p != L':' || !ReadNumber(++p, &minute, 2)) {
            return earliest;
        }
        if (*p == L':' && !ReadNumber(++p, &second, 2)) {
            return earliest;
        }
        if (hour > 23 || minute > 59 || second > 59) {
            return earliest;
        }
    }
    while (*p == L' ') {
        ++p;
    }
    if (*p != L'\0') {
        return earliest;
    }
    return (DaysFromCivil(year, month, day) - kSortEpoch) * kSecondsPerDay + hour * 3600 +
           minute * 60 + second;
}

// ---- Indexes, columns, items --------------------------------------------------------------------

bool ListBoxModel::IndexValid(std::optional<std::int32_t> item,
                              std::optional<std::int32_t> column) const {
    if (item && (*item < 1 || *item > ItemCount())) {
        return false;
    }
    return !column || (*column >= 1 && *column <= ColumnCount());
}

std::int32_t ListBoxModel::InsertColumn(std::int32_t position, ListColumn column) {
    if (position == 0) {
        position = ColumnCount() + 1;
    }
    if (position < 1 || position - 1 > ColumnCount()) {
        return 0;
    }
    // The first column of a list is always near-aligned.
    if (m_columns.empty()) {
        column.align = 0;
    }
    m_columns.insert(m_columns.begin() + (position - 1), std::move(column));
    for (ListItem& item : m_items) {
        item.cellTexts.insert(item.cellTexts.begin() + (position - 1), std::wstring());
        item.cellImages.insert(item.cellImages.begin() + (position - 1), 0);
    }
    return position;
}

bool ListBoxModel::DeleteColumn(std::int32_t position) {
    if (!IndexValid(std::nullopt, position) || ColumnCount() <= 1) {
        return false;
    }
    m_columns.erase(m_columns.begin() + (position - 1));
    for (ListItem& item : m_items) {
        item.cellTexts.erase(item.cellTexts.begin() + (position - 1));
        item.cellImages.erase(item.cellImages.begin() + (position - 1));
    }
    return true;
}

std::int32_t ListBoxModel::SumOfWidths() const {
    std::int32_t sum = 0;
    for (const ListColumn& column : m_columns) {
        sum += column.width;
    }
    return sum;
}

std::int32_t ListBoxModel::InsertItem(std::int32_t position, ListItem item) {
    if (position == 0) {
        position = ItemCount() + 1;
    }
    if (position < 1 || position - 1 > ItemCount()) {
        return 0;
    }
    item.cellTexts.resize(m_columns.size());
    item.cellImages.resize(m_columns.size(), 0);
    m_items.insert(m_items.begin() + (position - 1), std::move(item));
    // References to later items follow them down.
    for (std::int32_t& entry : m_selection) {
        entry += entry >= position ? 1 : 0;
    }
    hotItem += hotItem >= position ? 1 : 0;
    currentItem += currentItem >= position ? 1 : 0;
    return position;
}

bool ListBoxModel::DeleteItem(std::int32_t position) {
    if (!IndexValid(position)) {
        return false;
    }
    hotItem = hotItem == position ? 0 : hotItem - (hotItem > position ? 1 : 0);
    currentItem = currentItem == position ? 0 : currentItem - (currentItem > position ? 1 : 0);
    std::size_t at = 0;
    if (FindInSelection(position, &at)) {
        m_selection.erase(m_selection.begin() + at);
    }
    m_items.erase(m_items.begin() + (position - 1));
    for (std::int32_t& entry : m_selection) {
        entry -= entry > position ? 1 : 0;
    }
    return true;
}

void ListBoxModel::DeleteAllItems() {
    m_selection.clear();
    m_items.clear();
    hotItem = 0;
    currentItem = 0;
}

bool ListBoxModel::SwapItems(std::int32_t first, std::int32_t second) {
    if (!IndexValid(first) || !IndexValid(second)) {
        return false;
    }
    std::swap(m_items[first - 1], m_items[second - 1]);
    return true;
}

// ---- Finding and sorting ------------------------------------------------------------------------

std::int32_t ListBoxModel::FindItemText(const std::wstring& text, std::int32_t start, bool whole,
                                        std::int32_t column) const {
    if (m_items.empty() || (column != 0 && !IndexValid(std::nullopt, column))) {
        return 0;
    }
    const auto matches = [&](const std::wstring& cell) {
        return whole ? cell == text : cell.find(text) != std::wstring::npos;
    };
    for (std::int32_t i = std::max(start, 1); i <= ItemCount(); ++i) {
        const ListItem& item = Item(i);
        if (column != 0) {
            if (matches(item.cellTexts[column - 1])) {
                return i;
            }
            continue;
        }
        for (const std::wstring& cell : item.cellTexts) {
            if (matches(cell)) {
                return i;
            }
        }
    }
    return 0;
}

std::int32_t ListBoxModel::FindItemData(std::uint32_t value, std::int32_t start) const {
    for (std::int32_t i = std::max(start, 1); i <= ItemCount(); ++i) {
        if (Item(i).data == value) {
            return i;
        }
    }
    return 0;
}

bool ListBoxModel::Sort(std::int32_t column, std::int32_t order, std::int32_t kind) {
    if (!IndexValid(std::nullopt, column) || ItemCount() < 2) {
        return false;
    }
    if (IndexValid(currentItem)) {
        Item(currentItem).state = kItemNormal;
    }
    ClearSelection(nullptr);
    for (ListColumn& each : m_columns) {
        each.sortMark = 0;
    }
    const std::size_t cell = static_cast<std::size_t>(column - 1);
    if (kind != kSortText) {
        for (ListItem& item : m_items) {
            const std::wstring& text = item.cellTexts[cell];
            item.sortKey = kind == kSortDateTime
                               ? static_cast<std::int32_t>(DateTimeSortSeconds(text))
                               : static_cast<std::int32_t>(std::wcstol(text.c_str(), nullptr, 10));
        }
    }
    const auto textOf = [&](std::int32_t i) -> const wchar_t* {
        const std::wstring& text = Item(i).cellTexts[cell];
        return text.empty() ? nullptr : text.c_str();
    };
    const auto outOfOrder = [&](std::int32_t k) {
        if (kind == kSortText) {
            const int r = lstrcmpW(textOf(k + 1), textOf(k));
            return order == kSortAscending ? r < 0 : (order == kSortDescending && r > 0);
        }
        const std::int32_t a = Item(k).sortKey;
        const std::int32_t b = Item(k + 1).sortKey;
        return order == kSortAscending ? b < a : (order == kSortDescending && a < b);
    };
    // Bubble sort that stops at the last swap of the previous pass; equal keys never move.
    std::int32_t bound = ItemCount() - 1;
    while (bound > 0) {
        std::int32_t lastSwap = 0;
        for (std::int32_t k = 1; k <= bound; ++k) {
            if (outOfOrder(k)) {
                SwapItems(k, k + 1);
                lastSwap = k;
            }
        }
        bound = lastSwap;
    }
    Column(column).sortMark = order;
    return true;
}

// ---- Selection ----------------------------------------------------------------------------------

bool ListBoxModel::FindInSelection(std::int32_t item, std::size_t* position) const {
    const auto found = std::find(m_selection.begin(), m_selection.end(), item);
    if (found == m_selection.end()) {
        return false;
    }
    if (position != nullptr) {
        *position = static_cast<std::size_t>(found - m_selection.begin());
    }
    return true;
}

bool ListBoxModel::SelectItem(std::int32_t item) {
    if (!IndexValid(item) || singleSelect) {
        return false;
    }
    if (!FindInSelection(item)) {
        m_selection.push_back(item);
        Item(item).state = kItemSelected;
    }
    return true;
}

bool ListBoxModel::DeselectItem(std::int32_t item) {
    if (!IndexValid(item)) {
        return false;
    }
    std::size_t at = 0;
    if (FindInSelection(item, &at)) {
        Item(item).state = kItemNormal;
        m_selection.erase(m_selection.begin() + at);
    }
    return true;
}

void ListBoxModel::ClearSelection(std::vector<std::int32_t>* changed) {
    for (std::int32_t entry : m_selection) {
        if (IndexValid(entry)) {
            Item(entry).state = kItemNormal;
            if (changed != nullptr) {
                changed->push_back(entry);
            }
        }
    }
    m_selection.clear();
}

void ListBoxModel::SetCurrentItem(std::int32_t item, std::vector<std::int32_t>* changed) {
    ClearSelection(changed);
    if (IndexValid(currentItem)) {
        Item(currentItem).state = kItemNormal;
        if (changed != nullptr) {
            changed->push_back(currentItem);
        }
    }
    currentItem = IndexValid(item) ? item : 0;
    if (currentItem != 0) {
        Item(currentItem).state = kItemSelected;
        if (changed != nullptr) {
            changed->push_back(currentItem);
        }
    }
}

// ---- Row geometry -------------------------------------------------------------------------------

std::int32_t VisibleRowsFor(float height, std::int32_t rowHeight) {
    if (rowHeight <= 0 || height <= 0) {
        return 0;
    }
    const float rows = height / static_cast<float>(rowHeight);
    const float remainder = height - static_cast<float>(static_cast<std::int32_t>(rows)) *
                                         static_cast<float>(rowHeight);
    return static_cast<std::int32_t>(rows) + (remainder > 1e-7f ? 1 : 0);
}

std::int32_t RowOffset(std::int32_t scrollY, std::int32_t rowHeight) {
    return rowHeight > 0 ? scrollY % rowHeight : 0;
}

std::int32_t ItemAtY(float y, std::int32_t topItem, std::int32_t scrollY, std::int32_t rowHeight) {
    if (rowHeight <= 0) {
        return 0;
    }
    return static_cast<std::int32_t>(static_cast<float>(topItem) +
                                     (y + static_cast<float>(RowOffset(scrollY, rowHeight))) /
                                         static_cast<float>(rowHeight));
}

std::int32_t TopItemFor(std::int32_t scrollY, std::int32_t rowHeight) {
    if (rowHeight <= 0) {
        return 1;
    }
    return static_cast<std::int32_t>(static_cast<double>(scrollY) / rowHeight + 1.0);
}

std::int32_t ColumnAtX(const ListBoxModel& model, float left, float x) {
    float right = left;
    for (std::int32_t i = 1; i <= model.ColumnCount(); ++i) {
        right += static_cast<float>(model.Column(i).width);
        if (right > x) {
            return i;
        }
    }
    return 0;
}

}  // namespace toolkit
