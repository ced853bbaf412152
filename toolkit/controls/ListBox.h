// ListBox: the multi-column list with an optional header, check boxes, single or multiple
// selection, sorting, column resizing and two owned scroll bars.
//
// Rows are drawn one at a time into the item canvas (one row taller than the visible rows) and
// the element shows that canvas; scrolling by fewer rows than are visible moves canvas pixels and
// draws only the uncovered rows. The rows, columns and selection live in ListBoxModel.
//
// Slots follow the element base (0-90) in the order the engine and the ComboBox rely on; no
// virtual destructor, so that no slot moves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/ListBoxModel.h"
#include "controls/ScrollBar.h"
#include "core/Element.h"

namespace toolkit {

// Notifications raised to bound routines, after the element handle:
enum ListBoxNotification : std::uint32_t {
    kListItemLeftClick = 20401,     // item, column, x, y (or four zeros)
    kListItemRightClick = 20402,    // as kListItemLeftClick
    kListCurrentChanging = 20403,   // new item, previous current item
    kListCheckToggled = 20404,      // item, new check state
    kListHeaderLeftClick = 20405,   // column, x, y
    kListHeaderRightClick = 20406,  // as kListHeaderLeftClick
};

// The header state of a pressed column (kItemHot is its hot state).
constexpr std::int32_t kHeaderPressed = 8;

// The bit of the HideHeader option that leaves the header out.
constexpr std::int32_t kHideHeaderBit = 1;

// HitTest results.
enum ListHit : std::int32_t {
    kListHitNone = 0,
    kListHitHeader = 1,
    kListHitItems = 2,
};

// DragMode values.
enum ListDrag : std::int32_t {
    kDragNone = 0,
    kDragColumnResize = 1,
    kDragRubberBand = 2,
};

// Optional arguments of Create; an absent value takes the default named beside it.
struct ListBoxCreateOptions {
    std::optional<std::int32_t> plainList;       // 0
    std::optional<std::int32_t> hideHeader;      // 0
    std::optional<std::int32_t> headerTracking;  // 1
    std::optional<std::int32_t> singleSelect;    // 1
    std::optional<std::int32_t> checkBoxes;      // 0
    std::optional<std::uint32_t> headerImages;   // an image list's handle, 0 none
    std::optional<std::uint32_t> itemImages;     // 0 none
    std::optional<std::uint32_t> textColour;     // black, alpha 240
    std::optional<std::uint32_t> backColour;     // white, alpha 255
    std::optional<const char*> fontName;         // the default font's family
    std::optional<std::int32_t> fontSize;        // 12
    std::optional<std::int32_t> fontStyle;       // regular
    std::optional<std::uint32_t> borderColour;   // black, alpha 102
    std::optional<std::int32_t> elementStyle;    // 1 (visible)
};

class ListBox : public Element {
public:
    ListBox() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slots 91-107: layout, scrolling, painting and hit tests.
    virtual void ScrollToY(std::int32_t position);
    virtual void ScrollToX(std::int32_t position);
    virtual void Layout();
    virtual void Present();
    // state: kItemNormal, kItemHot or 8 (pressed) for the given column.
    virtual void DrawHeader(std::int32_t column, std::int32_t state, bool standalone);
    virtual void DrawBody(bool beginDraw);
    virtual void DrawItem(std::int32_t item, bool present);
    // band: element coordinates; null restores the area only.
    virtual void DrawOverlay(bool resizeLine, bool rubberBand, const Gdiplus::RectF* band);
    virtual bool SeparatorHitTest(float x, float y, std::int32_t* column, float* edge);
    virtual bool IndexValid(std::optional<std::int32_t> item,
                            std::optional<std::int32_t> column = std::nullopt);
    virtual bool FindInSelection(std::int32_t item, std::int32_t* position = nullptr);
    // Canvas coordinates.
    virtual bool ItemRect(std::int32_t item, Gdiplus::RectF* rect);
    virtual std::int32_t HitTest(LPARAM point, std::int32_t* item, std::int32_t* column,
                                 std::int32_t* x, std::int32_t* y);
    virtual std::int32_t ColumnAtXSlot(float x);
    virtual void MoveCanvasBand(const Gdiplus::RectF& source, const Gdiplus::RectF& target);
    virtual std::int32_t BuildSeparators();
    virtual bool ResizeColumn(std::int32_t column, std::int32_t from, std::int32_t to);

    // Slots 108-149: creation and list operations. Texts of the A twins are GBK.
    virtual ElementHandle Create(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                 std::int32_t width, std::int32_t height,
                                 const ListBoxCreateOptions& options = {});
    virtual std::int32_t ItemState(std::int32_t item, std::optional<std::int32_t> value = {});
    virtual std::int32_t InsertColumnA(std::int32_t position, const char* text,
                                       std::int32_t width = kDefaultColumnWidth,
                                       std::int32_t align = 0, std::int32_t image = 0);
    virtual std::int32_t InsertColumn(std::int32_t position, const wchar_t* text,
                                      std::int32_t width = kDefaultColumnWidth,
                                      std::int32_t align = 0, std::int32_t image = 0);
    virtual bool DeleteColumn(std::int32_t position);
    virtual std::int32_t ColumnCount();
    virtual std::int32_t ColumnWidth(std::int32_t position);
    virtual bool SetColumnWidth(std::int32_t position, std::int32_t width);
    virtual void RedrawItem(std::int32_t item, bool now = false, bool defer = false);
    virtual std::int32_t InsertItemA(std::int32_t position, const char* text,
                                     std::int32_t image = 0, std::uint32_t data = 0,
                                     std::int32_t indent = 0,
                                     std::optional<std::uint32_t> textColour = {},
                                     std::uint32_t backColour = 0, bool present = true);
    virtual std::int32_t InsertItem(std::int32_t position, const wchar_t* text,
                                    std::int32_t image = 0, std::uint32_t data = 0,
                                    std::int32_t indent = 0,
                                    std::optional<std::uint32_t> textColour = {},
                                    std::uint32_t backColour = 0, bool present = true);
    virtual void ItemInserted(std::int32_t position, bool present);
    virtual bool DeleteItem(std::int32_t position);
    virtual void DeleteAllItems();
    virtual bool SetItemTextA(std::int32_t item, std::int32_t column, const char* text,
                              std::int32_t image = 0);
    virtual bool SetItemText(std::int32_t item, std::int32_t column, const wchar_t* text,
                             std::int32_t image = 0);
    virtual std::string ItemTextA(std::int32_t item, std::int32_t column = 1);
    virtual std::wstring ItemText(std::int32_t item, std::int32_t column = 1);
    virtual std::int32_t ItemCount();
    virtual void Sort(std::int32_t column, std::int32_t order, std::int32_t kind);
    virtual bool SwapItems(std::int32_t first, std::int32_t second);
    virtual bool SetItemData(std::int32_t item, std::uint32_t value);
    virtual std::uint32_t ItemData(std::int32_t item);
    virtual void SetItemColours(std::int32_t item, std::optional<std::uint32_t> textColour,
                                std::optional<std::uint32_t> backColour, bool now = false,
                                bool defer = false);
    virtual std::int32_t CurrentItemProp(std::optional<std::int32_t> item = {});
    virtual std::int32_t FindItemTextA(const char* text, std::int32_t start = 1,
                                       std::optional<bool> whole = {}, std::int32_t column = 1);
    virtual std::int32_t FindItemText(const wchar_t* text, std::int32_t start = 1,
                                      std::optional<bool> whole = {}, std::int32_t column = 1);
    virtual std::int32_t FindItemData(std::uint32_t value, std::int32_t start = 1);
    virtual bool EnsureVisible(std::int32_t item);
    virtual std::int32_t HoverSelectProp(std::optional<std::int32_t> value = {});
    virtual bool SetCellImage(std::int32_t item, std::int32_t column, std::int32_t image,
                              bool now = false, bool defer = false);
    virtual std::int32_t CellImage(std::int32_t item, std::int32_t column);
    virtual std::int32_t SingleSelectProp(std::optional<std::int32_t> value = {});
    virtual bool ItemRectOf(std::int32_t item, Gdiplus::RectF* rect);
    virtual bool SelectItem(std::int32_t item);
    virtual std::vector<std::int32_t> SelectedItems();
    virtual bool DeselectItem(std::int32_t item);
    virtual std::int32_t SelectedCount();
    virtual bool IsSelected(std::int32_t item);
    virtual void SelectAll(bool select, bool check);
    virtual std::int32_t ItemCheckState(std::int32_t item);
    virtual std::int32_t SetItemCheckState(std::int32_t item, std::int32_t value);

    // Slots 150-157: drawing hooks for derived lists; a non-zero result skips the default.
    virtual void LayoutHook(std::int32_t headerHeight, std::int32_t itemExtent,
                            std::int32_t rowHeight);
    virtual std::int32_t ItemAreaBackgroundHook(Gdiplus::GpGraphics* graphics,
                                                const Gdiplus::RectF& rect);
    virtual std::int32_t ItemBackgroundHook(Gdiplus::GpGraphics* graphics,
                                            const Gdiplus::RectF& rect, std::int32_t state,
                                            std::int32_t item);
    virtual std::int32_t CellContentHook(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect,
                                         std::uint32_t value, std::int32_t item,
                                         std::int32_t column, const Gdiplus::RectF& imageRect,
                                         const Gdiplus::RectF& textRect);
    virtual std::int32_t HeaderCellContentHook(Gdiplus::GpGraphics* graphics,
                                               const Gdiplus::RectF& rect, std::int32_t value,
                                               std::int32_t column, const Gdiplus::RectF& imageRect,
                                               const Gdiplus::RectF& textRect);
    virtual std::int32_t HeaderBackgroundHook(Gdiplus::GpGraphics* graphics,
                                              const Gdiplus::RectF& rect);
    virtual std::int32_t HeaderCellBackgroundHook(Gdiplus::GpGraphics* graphics,
                                                  const Gdiplus::RectF& rect, std::int32_t column,
                                                  std::int32_t state);
    virtual void ItemHoverHook(ElementHandle handle, std::int32_t item, std::int32_t column,
                               std::int32_t x, std::int32_t y);

    // Slots 158-163: event binders, (routine, owner).
    virtual std::uint32_t OnItemLeftClick(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnItemRightClick(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnHeaderLeftClick(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnHeaderRightClick(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnCurrentChanging(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnCheckToggled(std::uint32_t routine, std::uint32_t owner);

    // Not slots: read-only views for the ComboBox and tests.
    const ListBoxModel& Model() const { return m_model; }
    std::int32_t RowHeight() const { return m_rowHeight; }
    std::int32_t HeaderHeight() const { return m_headerHeight; }
    std::int32_t TopItem() const { return m_topItem; }
    std::int32_t ScrollYPos() const { return m_scrollY; }
    std::int32_t ScrollXPos() const { return m_scrollX; }
    std::int32_t VisibleRows() const { return m_visibleRows; }
    std::int32_t ContentWidth() const { return m_contentWidth; }
    std::int32_t ContentHeight() const { return m_contentHeight; }
    std::int32_t HotColumn() const { return m_hotColumn; }
    const Gdiplus::RectF& ListRect() const { return m_listRect; }
    const Gdiplus::RectF& HeaderRect() const { return m_headerRect; }
    ScrollBar& VerticalBar() { return m_vBar; }
    ScrollBar& HorizontalBar() { return m_hBar; }
    Gdiplus::GpBitmap* Canvas() const { return m_canvas; }
    // True while the list itself moves its vertical bar; the bar's notice is then not a scroll.
    bool SyncingBar() const { return m_barSync != 0; }

private:
    void OnCreate();
    void ReadCheckBoxSize();
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown(UINT message, LPARAM lParam);
    void OnButtonUp(UINT message, LPARAM lParam);
    void OnPointerLeave();
    void ReleaseCanvas();
    void UpdateContentWidth();
    void UpdateHorizontalRange();
    void UpdateVerticalRange();
    void DrawRows(std::int32_t first, std::int32_t last);
    void DrawChanged(const std::vector<std::int32_t>& items);
    bool BarVisible(ScrollBar& bar);
    Gdiplus::ARGB HostColour(double alphaFactor, std::int32_t minimum) const;
    std::int32_t HostAlpha() const;
    void RestoreCursor();
    void DrawSortMark(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& cell,
                      const Gdiplus::RectF& textRect, const ListColumn& column);
    void SetState(std::int32_t item, std::int32_t state);

    ListBoxModel m_model;
    std::int32_t m_clipScrollBars = 0;
    Gdiplus::ARGB m_bandColour = 0;
    std::vector<RECT> m_separatorRects;
    std::int32_t m_plainList = 0;
    std::int32_t m_scrollX = 0;
    std::int32_t m_scrollY = 0;
    std::int32_t m_topItem = 1;
    std::int32_t m_headerHeight = 0;
    std::int32_t m_itemExtent = 0;
    std::int32_t m_rowHeight = 0;
    std::int32_t m_hotColumn = 0;
    std::int32_t m_itemsPerRow = 1;
    std::int32_t m_contentWidth = 0;
    std::int32_t m_contentHeight = 0;
    std::int32_t m_visibleRows = 0;
    Gdiplus::RectF m_listRect{};
    Gdiplus::RectF m_headerRect{};
    Gdiplus::ARGB m_textColour = 0;
    Gdiplus::ARGB m_borderColour = 0;
    Gdiplus::ARGB m_backColour = 0;
    ScrollBar m_vBar;
    ScrollBar m_hBar;
    std::int32_t m_checkBoxes = 0;
    SIZE m_checkBoxSize{};
    std::uint32_t m_headerImages = 0;
    std::uint32_t m_itemImages = 0;
    Gdiplus::GpStringFormat* m_textFormat = nullptr;
    std::int32_t m_hideHeader = 0;
    std::int32_t m_headerTracking = 1;
    std::int32_t m_hoverSelect = 0;
    std::int32_t m_dragMode = kDragNone;
    std::int32_t m_dragStartX = 0;
    std::int32_t m_dragStartY = 0;
    Gdiplus::GpBitmap* m_canvas = nullptr;
    Gdiplus::GpGraphics* m_canvasGraphicsList = nullptr;
    std::int32_t m_barSync = 0;
};

enum ListBoxSlot : std::uint32_t {
    kSlotListScrollToY = 91,
    kSlotListCreate = 108,
    kSlotListSelectAll = 147,
    kSlotListItemHoverHook = 157,
    kSlotListOnItemLeftClick = 158,
    kSlotListOnCheckToggled = 163,
};

}  // namespace toolkit
