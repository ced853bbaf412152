// ListBox: the message handler. Pointer input drives hot tracking, selection (single, Ctrl,
// Shift, rubber band), check boxes, column resizing and the click notifications; the wheel goes
// to the scroll bars. Keys are not handled.
#include <algorithm>

#include "controls/ListBox.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"

namespace toolkit {

namespace {

std::int32_t PointX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
std::int32_t PointY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

std::uint32_t Word(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

float Clamp(float value, float low, float high) {
    return std::max(low, std::min(value, high));
}

}  // namespace

LRESULT ListBox::ClassMessageHandler(HWND, ElementHandle, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            break;
        case WM_DESTROY:
            ReleaseCanvas();
            m_model.DeleteAllItems();
            break;
        case WM_SIZE:
            Layout();
            if (IndexValid(m_topItem)) {
                DrawRows(m_topItem, m_topItem + m_visibleRows);
            }
            break;
        case WM_SETFOCUS:
            return wParam == 1 && m_model.currentItem == 0 ? 1 : 0;
        case WM_PAINT:
        case kMsgRedraw:
            if (IndexValid(m_model.currentItem)) {
                DrawItem(m_model.currentItem, false);
            }
            for (std::int32_t item : m_model.Selection()) {
                DrawItem(item, false);
            }
            Present();
            if (message == WM_PAINT) {
                for (ScrollBar* bar : {&m_vBar, &m_hBar}) {
                    if (bar->IsElementAlive()) {
                        CallElementProc(bar->m_handle, message, wParam, lParam);
                    }
                }
            } else if (IndexValid(m_model.currentItem)) {
                DrawItem(m_model.hotItem, true);
                ReadCheckBoxSize();
            }
            break;
        case WM_MOUSEWHEEL: {
            ScrollBar& bar = BarVisible(m_vBar) ? m_vBar : m_hBar;
            if (bar.IsElementAlive()) {
                CallElementProc(bar.m_handle, message, wParam, lParam);
            }
            break;
        }
        case kMsgMouseLeave:
            OnPointerLeave();
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            return OnButtonDown(message, lParam);
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            OnButtonUp(message, lParam);
            break;
        default:
            break;
    }
    return 0;
}

void ListBox::OnPointerLeave() {
    const std::int32_t hot = m_model.hotItem;
    if (IndexValid(hot) && m_model.Item(hot).state != kItemSelected &&
        m_model.Item(hot).state != kItemNormal) {
        SetState(hot, kItemNormal);
        m_model.hotItem = 0;
    }
    if (m_hotColumn != 0 && m_headerTracking != 0) {
        DrawHeader(0, kItemNormal, true);
        m_hotColumn = 0;
    }
}

void ListBox::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (wParam == MK_LBUTTON && (m_dragMode != kDragNone || m_hoverSelect == 0)) {
        if (m_dragMode == kDragColumnResize) {
            std::int32_t x = PointX(lParam);
            Gdiplus::RectF band{0, m_listRect.Y, 0, m_listRect.Height};
            if (m_dragStartX < x) {
                band.X = static_cast<float>(m_dragStartX);
                band.Width = static_cast<float>(x - m_dragStartX + 1);
            } else {
                // The resized column cannot get a negative width.
                x = std::max(x, m_dragStartY - ColumnWidth(m_hotColumn));
                band.X = static_cast<float>(x);
                band.Width = static_cast<float>(m_dragStartX - x + 1);
            }
            m_dragStartX = x;
            const Gdiplus::RectF line{static_cast<float>(x), m_listRect.Y, 1, m_listRect.Height};
            DrawOverlay(true, false, &line);
        } else if (m_dragMode == kDragRubberBand) {
            const float x = Clamp(static_cast<float>(PointX(lParam)), m_listRect.X,
                                  m_listRect.X + m_listRect.Width);
            const float y = Clamp(static_cast<float>(PointY(lParam)), m_listRect.Y,
                                  m_listRect.Y + m_listRect.Height);
            const auto startX = static_cast<float>(m_dragStartX);
            const auto startY = static_cast<float>(m_dragStartY);
            const Gdiplus::RectF band{std::min(startX, x), std::min(startY, y),
                                      std::abs(x - startX), std::abs(y - startY)};
            DrawOverlay(false, true, &band);
        }
        return;
    }
    std::int32_t item = 0, column = 0, x = 0, y = 0;
    const std::int32_t hit = HitTest(lParam, &item, &column, &x, &y);
    if (m_hoverSelect != 0) {
        if (hit == kListHitItems && item != m_model.currentItem) {
            RaiseElementEvent(m_handle, kListCurrentChanging,
                              {m_handle, Word(column == 0 ? 0 : item), Word(m_model.currentItem)});
            if (IndexValid(m_model.currentItem)) {
                SetState(m_model.currentItem, kItemNormal);
                m_model.currentItem = 0;
            }
            if (IndexValid(item, column)) {
                SetState(item, kItemSelected);
                m_model.currentItem = m_model.hotItem = item;
            }
        }
        return;
    }
    if (item != m_model.hotItem && m_model.hotItem != 0) {
        if (IndexValid(m_model.hotItem) && m_model.Item(m_model.hotItem).state != kItemSelected) {
            SetState(m_model.hotItem, kItemNormal);
        }
        m_model.hotItem = 0;
    }
    if (hit == kListHitHeader) {
        std::int32_t separatorColumn = 0;
        float edge = 0;
        if (SeparatorHitTest(static_cast<float>(PointX(lParam)), static_cast<float>(PointY(lParam)),
                             &separatorColumn, &edge)) {
            column = separatorColumn;
        }
        if (column != m_hotColumn && m_headerTracking != 0) {
            DrawHeader(column, kItemHot, true);
            m_hotColumn = column;
        }
    } else if (hit == kListHitItems) {
        if (m_headerTracking != 0 && m_hotColumn != 0) {
            RestoreCursor();
            DrawHeader(0, kItemNormal, true);
            m_hotColumn = 0;
        }
        if (IndexValid(item, column)) {
            if (m_model.Item(item).state == kItemNormal) {
                SetState(item, kItemHot);
            }
            ItemHoverHook(m_handle, item, column, x, y);
            m_model.hotItem = item;
        }
    } else if (m_hotColumn != 0 && m_headerTracking != 0) {
        DrawHeader(0, kItemNormal, true);
        m_hotColumn = 0;
    }
}

LRESULT ListBox::OnButtonDown(UINT message, LPARAM lParam) {
    std::int32_t item = 0, column = 0, x = 0, y = 0;
    const std::int32_t hit = HitTest(lParam, &item, &column, &x, &y);
    m_dragMode = kDragNone;
    const bool left = message == WM_LBUTTONDOWN;
    if (hit == kListHitHeader) {
        if (!left) {
            return 0;
        }
        std::int32_t separatorColumn = 0;
        float edge = 0;
        if (SeparatorHitTest(static_cast<float>(PointX(lParam)), static_cast<float>(PointY(lParam)),
                             &separatorColumn, &edge)) {
            m_hotColumn = separatorColumn;
            // The anchor is where the pointer went down, so that a click without a drag
            // leaves the width as it was.
            m_dragStartX = m_dragStartY = PointX(lParam);
            m_dragMode = kDragColumnResize;
        } else if (column != 0 && m_headerTracking != 0) {
            DrawHeader(column, kHeaderPressed, true);
            m_hotColumn = column;
        }
        return 0;
    }
    if (hit != kListHitItems) {
        return 0;
    }
    const bool valid = IndexValid(item, column);
    m_model.hotItem = item;
    Gdiplus::RectF row;
    if (valid && m_checkBoxes != 0 && ItemRect(item, &row)) {
        const float top =
            row.Y + m_listRect.Y - static_cast<float>(RowOffset(m_scrollY, m_rowHeight));
        const float left = row.X + m_listRect.X + 2;
        const float boxTop = top + static_cast<float>(m_rowHeight - m_checkBoxSize.cy) / 2.0f;
        const auto px = static_cast<float>(PointX(lParam));
        const auto py = static_cast<float>(PointY(lParam));
        if (px >= left && px < left + static_cast<float>(m_checkBoxSize.cx) && py >= boxTop &&
            py < boxTop + static_cast<float>(m_checkBoxSize.cy)) {
            ListItem& record = m_model.Item(item);
            record.checkState = record.checkState == 0 ? 1 : 0;
            DrawItem(item, true);
            RaiseElementEvent(m_handle, kListCheckToggled,
                              {m_handle, Word(item), Word(record.checkState)});
            return 0;
        }
    }
    const std::int32_t hot = m_model.hotItem;
    std::int32_t& current = m_model.currentItem;
    if (current != hot) {
        RaiseElementEvent(m_handle, kListCurrentChanging,
                          {m_handle, Word(column == 0 ? 0 : hot), Word(current)});
    }
    if (m_model.singleSelect) {
        if (current != hot) {
            if (IndexValid(current)) {
                SetState(current, kItemNormal);
            }
            if (valid) {
                SetState(hot, kItemSelected);
            }
        }
    } else {
        if (left && (!valid || m_model.Item(item).state != kItemSelected)) {
            m_dragMode = kDragRubberBand;
            m_dragStartX = PointX(lParam);
            m_dragStartY = PointY(lParam);
        }
        std::vector<std::int32_t>& selection = m_model.Selection();
        const std::uint32_t mask = CurrentModifierMask();
        if (mask == kModifierShift && valid) {
            const std::int32_t low = std::min(current, hot);
            const std::int32_t high = std::max(current, hot);
            for (std::int32_t entry : selection) {
                if (entry < low || entry > high) {
                    SetState(entry, kItemNormal);
                }
            }
            selection.clear();
            const std::int32_t step = hot < current ? -1 : 1;
            for (std::int32_t i = current;; i += step) {
                if (IndexValid(i)) {
                    if (m_model.Item(i).state != kItemSelected) {
                        SetState(i, kItemSelected);
                    }
                    selection.push_back(i);
                }
                if (i == hot) {
                    break;
                }
            }
            // The anchor stays the current item.
            return 0;
        }
        if (mask == kModifierControl && valid) {
            std::size_t at = 0;
            if (m_model.FindInSelection(item, &at)) {
                selection.erase(selection.begin() + at);
                m_model.Item(item).state = kItemNormal;
            } else {
                selection.push_back(item);
                m_model.Item(item).state = kItemSelected;
            }
            DrawItem(item, true);
        } else {
            const bool found = m_model.FindInSelection(item);
            if (left || !found) {
                for (std::int32_t entry : selection) {
                    if (entry != item) {
                        SetState(entry, kItemNormal);
                    }
                }
                selection.clear();
                if (current != 0 && current != hot) {
                    SetState(current, kItemNormal);
                    current = 0;
                }
                if (valid) {
                    selection.push_back(item);
                    if (!found) {
                        SetState(item, kItemSelected);
                    }
                }
            }
        }
    }
    current = hot;
    return 0;
}

void ListBox::OnButtonUp(UINT message, LPARAM lParam) {
    std::int32_t item = 0, column = 0, x = 0, y = 0;
    const std::int32_t hit = HitTest(lParam, &item, &column, &x, &y);
    const bool left = message == WM_LBUTTONUP;
    if (m_dragMode == kDragColumnResize) {
        ResizeColumn(m_hotColumn, m_dragStartY, PointX(lParam));
        if (m_headerTracking != 0 && m_hotColumn != 0) {
            DrawHeader(m_hotColumn, kItemHot, true);
        }
        m_dragMode = kDragNone;
        return;
    }
    if (m_dragMode == kDragRubberBand) {
        DrawOverlay(false, false, nullptr);
        const float px = Clamp(static_cast<float>(PointX(lParam)), m_listRect.X,
                               m_listRect.X + m_listRect.Width - 1);
        if (ColumnAtXSlot(static_cast<float>(m_dragStartX)) == 0 && ColumnAtXSlot(px) == 0) {
            m_dragMode = kDragNone;
            return;
        }
        const float py = Clamp(static_cast<float>(PointY(lParam)), m_listRect.Y,
                               m_listRect.Y + m_listRect.Height - 1);
        const float low = std::min(py, static_cast<float>(m_dragStartY));
        const float high = std::max(py, static_cast<float>(m_dragStartY));
        const std::int32_t first = ItemAtY(low - m_listRect.Y, m_topItem, m_scrollY, m_rowHeight);
        const std::int32_t last = ItemAtY(high - m_listRect.Y, m_topItem, m_scrollY, m_rowHeight);
        for (std::int32_t i = std::max(first, 1); i <= std::min(last, m_model.ItemCount()); ++i) {
            if (m_model.Item(i).state != kItemSelected) {
                m_model.Selection().push_back(i);
                SetState(i, kItemSelected);
            }
        }
        m_dragMode = kDragNone;
        return;
    }
    if (hit == kListHitHeader) {
        if (column != 0 && m_headerTracking != 0) {
            DrawHeader(column, kItemHot, true);
            if (column == m_hotColumn) {
                RaiseElementEvent(m_handle, left ? kListHeaderLeftClick : kListHeaderRightClick,
                                  {m_handle, Word(column), Word(x), Word(y)});
            }
        }
    } else if (hit == kListHitItems) {
        const std::uint32_t code = left ? kListItemLeftClick : kListItemRightClick;
        if (column == 0 || m_model.hotItem == 0) {
            RaiseElementEvent(m_handle, code, {m_handle, 0, 0, 0, 0});
        } else if (m_model.hotItem == m_model.currentItem) {
            RaiseElementEvent(
                m_handle, code,
                {m_handle, Word(m_model.currentItem), Word(column), Word(x), Word(y)});
        }
    }
}

}  // namespace toolkit
