// ListBox: object slots, list operations, layout, scrolling, painting, and the message handler.
#include "controls/ListBox.h"

#include <algorithm>
#include <cmath>

#include "controls/Button.h"
#include "controls/TextDrawing.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/HostRecord.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"
#include "foundation/Fonts.h"
#include "foundation/ImageList.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr char kListViewClassText[] = "ListView";
constexpr char kCheckSection[] = "CheckButton";
constexpr char kCheckSizeKey[] = "size";
constexpr std::int32_t kBarThickness = 10;
constexpr std::int32_t kVerticalBar = 2;
constexpr std::int32_t kDefaultFontSize12 = 12;
constexpr float kTolerance = 1e-7f;
constexpr std::int32_t kStringTrimEllipsis = 3;
// The owned bars show their arrows and track only while hot and hide when unscrollable.
constexpr std::int32_t kOwnedBarStyle = kStyleFirstArrowWhenHot | kStyleSecondArrowWhenHot |
                                        kStyleHideWhenUnscrollable | kStyleTrackWhenHot;

ListBox* ListFromOwner(std::uint32_t owner) {
    return static_cast<ListBox*>(ElementFromHandle(owner));
}

// Bound to the bars' position notices with the list's handle as owner.
std::uint32_t __stdcall VerticalBarMoved(std::uint32_t owner, std::uint32_t, std::uint32_t position,
                                         std::uint32_t) {
    ListBox* list = ListFromOwner(owner);
    if (list != nullptr && !list->SyncingBar()) {
        list->ScrollToY(static_cast<std::int32_t>(position));
    }
    return 0;
}

std::uint32_t __stdcall HorizontalBarMoved(std::uint32_t owner, std::uint32_t,
                                           std::uint32_t position, std::uint32_t) {
    if (ListBox* list = ListFromOwner(owner)) {
        list->ScrollToX(static_cast<std::int32_t>(position));
    }
    return 0;
}

std::wstring WideFromBytes(const ByteArray& bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(bytes.begin(), bytes.begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<std::uint8_t*>(text.data()));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

std::wstring Widen(const char* text) {
    return WideFromBytes(TextToWide(text));
}

std::string Narrow(const std::wstring& text) {
    ByteArray bytes(reinterpret_cast<const std::uint8_t*>(text.c_str()),
                    reinterpret_cast<const std::uint8_t*>(text.c_str() + text.size() + 1));
    return WideToText(bytes);
}

Gdiplus::ARGB WithAlpha(COLORREF colour, std::uint32_t alpha) {
    const std::uint32_t rgb =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    return RgbToArgb(rgb, alpha);
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void ListBox::FreeMembers() {
    ReleaseCanvas();
    DeleteStringFormat(m_textFormat);
    m_model = ListBoxModel();
    std::vector<RECT>().swap(m_separatorRects);
    m_vBar.FreeMembers();
    m_hBar.FreeMembers();
}

std::uint32_t ListBox::Clone() {
    ListBox* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        // The canvas belongs to a live list; the copy makes its own at its first layout.
        copy->m_canvas = nullptr;
        copy->m_canvasGraphicsList = nullptr;
        copy->m_textFormat = nullptr;
        if (m_textFormat != nullptr) {
            gp::GdipCloneStringFormat(m_textFormat, &copy->m_textFormat);
        }
    }
    return AddressOf(copy);
}

void ListBox::ReleaseCanvas() {
    if (m_canvasGraphicsList != nullptr) {
        gp::GdipDeleteGraphics(m_canvasGraphicsList);
        m_canvasGraphicsList = nullptr;
    }
    if (m_canvas != nullptr) {
        gp::GdipDisposeImage(m_canvas);
        m_canvas = nullptr;
    }
}

// ---- Creation -----------------------------------------------------------------------------------

ElementHandle ListBox::Create(std::uint32_t parent, std::int32_t x, std::int32_t y,
                              std::int32_t width, std::int32_t height,
                              const ListBoxCreateOptions& options) {
    m_plainList = options.plainList.value_or(0);
    m_hideHeader = options.hideHeader.value_or(0);
    m_headerTracking = options.headerTracking.value_or(1);
    m_model.singleSelect = options.singleSelect.value_or(1) != 0;
    m_checkBoxes = options.checkBoxes.value_or(0);
    const auto listHandle = [](std::optional<std::uint32_t> list) -> std::uint32_t {
        ImageList* images = list ? ImageList::FromHandle(*list) : nullptr;
        return images != nullptr ? images->Handle() : 0;
    };
    m_headerImages = listHandle(options.headerImages);
    m_itemImages = listHandle(options.itemImages);
    m_textColour = options.textColour.value_or(RgbToArgb(0, 240));
    m_backColour = options.backColour.value_or(RgbToArgb(0xFFFFFF));
    m_borderColour = options.borderColour.value_or(RgbToArgb(0, 102));
    if (options.fontName || options.fontSize || options.fontStyle) {
        const std::string family =
            options.fontName && *options.fontName != nullptr && **options.fontName != '\0'
                ? std::string(*options.fontName)
                : GetFontFamilyName(Toolkit().defaultFont);
        Gdiplus::GpFont* font = CreateFontByName(
            family, static_cast<float>(options.fontSize.value_or(kDefaultFontSize12)),
            options.fontStyle.value_or(kFontStyleRegular), kFontUnitWorld);
        if (font != nullptr) {
            SetElementFont(font);
        }
    }
    DeleteStringFormat(m_textFormat);
    m_textFormat = CreateCaptionFormat(kFormatNoWrap);
    SetStringFormatTrimming(m_textFormat, kStringTrimEllipsis);
    m_topItem = 1;
    ElementCreateOptions element;
    element.visible = options.elementStyle.value_or(1);
    return CreateElement(parent, x, y, width, height, kTypeListBox, kListViewClassText, element);
}

std::int32_t ListBox::HostAlpha() const {
    const HostRecordFields* host = Host();
    const std::int32_t alpha = host != nullptr ? host->layeredAlpha : kNotLayered;
    return alpha == kNotLayered ? kOpaqueAlpha : alpha;
}

Gdiplus::ARGB ListBox::HostColour(double alphaFactor, std::int32_t minimum) const {
    const HostRecordFields* host = Host();
    const COLORREF colour = host != nullptr ? host->backgroundColour : 0;
    const auto alpha = std::max(static_cast<std::int32_t>(HostAlpha() * alphaFactor), minimum);
    return WithAlpha(colour, static_cast<std::uint32_t>(alpha));
}

void ListBox::ReadCheckBoxSize() {
    ThemeRect size{};
    if (GetThemeRect(GetHostTheme(), kCheckSection, kCheckSizeKey, &size)) {
        m_checkBoxSize = {size.v[2], size.v[3]};
    }
}

void ListBox::OnCreate() {
    m_bandColour = RgbToArgb(0, static_cast<std::uint32_t>(HostAlpha() * 0.2));
    m_clipScrollBars = 1;
    ReadCheckBoxSize();
    float fontHeight = 0;
    Gdiplus::GpFont* font = m_font != nullptr ? m_font : Toolkit().defaultFont;
    if (font != nullptr) {
        gp::GdipGetFontHeight(font, nullptr, &fontHeight);
    }
    float h = static_cast<float>(static_cast<std::int32_t>(fontHeight + 3.0f));
    const auto atLeast = [&h](float need) {
        if (need - h > kTolerance) {
            h = need;
        }
    };
    if (m_checkBoxes != 0) {
        atLeast(static_cast<float>(m_checkBoxSize.cy + 4));
    }
    for (std::uint32_t list : {m_headerImages, m_itemImages}) {
        if (ImageList* images = ImageList::FromHandle(list)) {
            atLeast(static_cast<float>(images->CellHeight() + 4));
        }
    }
    h += 2;
    m_headerHeight = static_cast<std::int32_t>(h * 1.2f);
    m_rowHeight = static_cast<std::int32_t>(h);

    ScrollBarCreateOptions bar;
    bar.position = 0;
    bar.minValue = 0;
    bar.maxValue = 0;
    bar.pageStep = m_rowHeight * 3;
    bar.lineStep = m_rowHeight;
    bar.style = kOwnedBarStyle;
    bar.elementStyle = 0;
    bar.pageSize = m_height;
    bar.orientation = kVerticalBar;
    if (m_vBar.CreateScrollBar(m_handle, m_width - kBarThickness, 0, kBarThickness, m_height,
                               bar) != 0) {
        m_vBar.OnPositionChanged(AddressOf(&VerticalBarMoved), m_handle);
        m_vBar.ElementFocusable(false);
        m_vBar.ElementMouseTrack(true);
    }
    bar.pageSize = m_width;
    bar.orientation = kScrollHorizontal;
    if (m_hBar.CreateScrollBar(m_handle, 0, m_height - kBarThickness, m_width, kBarThickness,
                               bar) != 0) {
        m_hBar.OnPositionChanged(AddressOf(&HorizontalBarMoved), m_handle);
        m_hBar.ElementFocusable(false);
        m_hBar.ElementMouseTrack(true);
    }
    Layout();
    m_topItem = 1;
}

// ---- Columns ------------------------------------------------------------------------------------

void ListBox::UpdateContentWidth() {
    m_contentWidth =
        m_plainList != 0 ? static_cast<std::int32_t>(m_listRect.Width) : m_model.SumOfWidths();
}

bool ListBox::BarVisible(ScrollBar& bar) {
    return bar.IsElementAlive() && !bar.IsHidden();
}

void ListBox::UpdateHorizontalRange() {
    if (m_hBar.IsElementAlive()) {
        m_hBar.PageSize(static_cast<std::int32_t>(m_listRect.Width));
        m_hBar.MaxValue(m_contentWidth + (BarVisible(m_vBar) ? m_vBar.m_width : 0));
    }
}

void ListBox::UpdateVerticalRange() {
    if (m_vBar.IsElementAlive()) {
        m_vBar.PageSize(static_cast<std::int32_t>(m_listRect.Height));
        m_vBar.MaxValue(m_contentHeight + (BarVisible(m_hBar) ? m_hBar.m_height : 0),
                        m_presentEnabled != 0, true);
    }
}

std::int32_t ListBox::InsertColumnA(std::int32_t position, const char* text, std::int32_t width,
                                    std::int32_t align, std::int32_t image) {
    return InsertColumn(position, Widen(text).c_str(), width, align, image);
}

std::int32_t ListBox::InsertColumn(std::int32_t position, const wchar_t* text, std::int32_t width,
                                   std::int32_t align, std::int32_t image) {
    ListColumn column;
    column.text = text != nullptr ? text : L"";
    column.width = width;
    column.align = align;
    column.imageIndex = image;
    position = m_model.InsertColumn(position, std::move(column));
    if (position == 0) {
        return 0;
    }
    UpdateContentWidth();
    if (m_hBar.IsElementAlive() && m_hBar.IsHidden() &&
        static_cast<float>(m_contentWidth) - m_listRect.Width > kTolerance) {
        m_hBar.ElementVisible(true);
        UpdateVerticalRange();
    }
    UpdateHorizontalRange();
    BuildSeparators();
    return position;
}

bool ListBox::DeleteColumn(std::int32_t position) {
    if (!IndexValid(std::nullopt, position)) {
        return false;
    }
    const std::int32_t width = m_model.Column(position).width;
    if (!m_model.DeleteColumn(position)) {
        return false;
    }
    m_contentWidth -= width;
    m_scrollX = std::max(0, m_scrollX - width);
    if (m_hBar.IsElementAlive()) {
        m_hBar.Position(m_scrollX);
    }
    UpdateHorizontalRange();
    BuildSeparators();
    DrawRows(m_topItem, m_topItem + m_visibleRows);
    Present();
    return true;
}

std::int32_t ListBox::ColumnCount() {
    return m_model.ColumnCount();
}

std::int32_t ListBox::ColumnWidth(std::int32_t position) {
    return IndexValid(std::nullopt, position) ? m_model.Column(position).width : 0;
}

bool ListBox::SetColumnWidth(std::int32_t position, std::int32_t width) {
    return IndexValid(std::nullopt, position) &&
           ResizeColumn(position, m_model.Column(position).width, width);
}

// ---- Items --------------------------------------------------------------------------------------

std::int32_t ListBox::InsertItemA(std::int32_t position, const char* text, std::int32_t image,
                                  std::uint32_t data, std::int32_t indent,
                                  std::optional<std::uint32_t> textColour, std::uint32_t backColour,
                                  bool present) {
    return InsertItem(position, Widen(text).c_str(), image, data, indent, textColour, backColour,
                      present);
}

std::int32_t ListBox::InsertItem(std::int32_t position, const wchar_t* text, std::int32_t image,
                                 std::uint32_t data, std::int32_t indent,
                                 std::optional<std::uint32_t> textColour, std::uint32_t backColour,
                                 bool present) {
    // An item keeps its text in the first column's cell; with no column there is nowhere to keep
    // it, so nothing is inserted.
    if (m_model.ColumnCount() == 0) {
        return 0;
    }
    ListItem item;
    item.cellTexts.assign(m_model.ColumnCount(), std::wstring());
    item.cellImages.assign(item.cellTexts.size(), 0);
    item.cellTexts[0] = text != nullptr ? text : L"";
    item.cellImages[0] = image;
    item.data = data;
    item.indent = indent;
    item.textColour = textColour.value_or(m_textColour);
    item.backColour = backColour;
    item.extent = m_itemExtent;
    item.rowHeight = m_rowHeight;
    position = m_model.InsertItem(position, std::move(item));
    if (position == 0) {
        return 0;
    }
    if (m_plainList == 0) {
        m_contentHeight += m_rowHeight;
    }
    if (m_vBar.IsElementAlive() && m_vBar.IsHidden() &&
        static_cast<float>(m_contentHeight) - m_listRect.Height > kTolerance) {
        m_vBar.ElementVisible(true);
        if (BarVisible(m_hBar)) {
            m_hBar.MaxValue(m_contentWidth + m_vBar.m_width);
        }
    }
    UpdateVerticalRange();
    ItemInserted(position, present);
    return position;
}

void ListBox::ItemInserted(std::int32_t position, bool present) {
    if (m_canvas == nullptr || m_rowHeight <= 0) {
        return;
    }
    const float rows = static_cast<float>(m_rowHeight * (m_visibleRows + 1));
    const float width = m_listRect.Width;
    const auto row = static_cast<float>(m_rowHeight);
    if (position < m_topItem) {
        MoveCanvasBand({0, 0, width, rows - row}, {0, row, width, rows - row});
        DrawItem(m_topItem, present);
    } else if (position <= m_topItem + m_visibleRows) {
        const float top = static_cast<float>(position - m_topItem) * row;
        MoveCanvasBand({0, top, width, rows - top - row}, {0, top + row, width, rows - top - row});
        DrawItem(position, present);
    }
}

bool ListBox::DeleteItem(std::int32_t position) {
    if (!m_model.DeleteItem(position)) {
        return false;
    }
    if (m_plainList == 0) {
        m_contentHeight -= m_rowHeight;
    }
    if (m_vBar.IsElementAlive()) {
        // A smaller maximum may clamp the bar, which raises its position notice. Scrolling from
        // it here would shift canvas rows that still show the list before the delete, and the
        // bookkeeping below would then scroll once more over rows that are never redrawn; the
        // view is brought in step with the bar once, below.
        m_barSync = 1;
        UpdateVerticalRange();
        m_vBar.Position(m_vBar.Position() - m_rowHeight);
        m_barSync = 0;
        // The view follows the bar: otherwise moving the bar back to where the view still is
        // would look like no move at all.
        m_scrollY = m_vBar.Position();
    }
    // The canvas rows below an item above the view already show the items that moved up.
    const bool aboveView = position < m_topItem;
    const std::int32_t shifted = aboveView ? std::max(1, m_topItem - 1) : m_topItem;
    const std::int32_t top =
        m_rowHeight > 0 && m_vBar.IsElementAlive() ? TopItemFor(m_scrollY, m_rowHeight) : shifted;
    if (top != shifted) {
        // The bar moved the view over other rows: they are all drawn anew, once.
        m_topItem = top;
        DrawRows(m_topItem, m_topItem + m_visibleRows);
        DrawBody(true);
    } else if (!aboveView && position <= m_topItem + m_visibleRows && m_canvas != nullptr) {
        const auto row = static_cast<float>(m_rowHeight);
        const float rows = row * static_cast<float>(m_visibleRows + 1);
        const float at = static_cast<float>(position - m_topItem) * row;
        MoveCanvasBand({0, at + row, m_listRect.Width, rows - at - row},
                       {0, at, m_listRect.Width, rows - at - row});
        DrawItem(m_topItem + m_visibleRows, false);
        DrawBody(true);
    } else {
        m_topItem = shifted;
    }
    return true;
}

void ListBox::DeleteAllItems() {
    if (m_model.ItemCount() == 0) {
        return;
    }
    m_model.DeleteAllItems();
    m_scrollX = m_scrollY = m_contentHeight = 0;
    m_topItem = 1;
    if (m_canvasGraphicsList != nullptr) {
        gp::GdipGraphicsClear(m_canvasGraphicsList, 0);
    }
    for (ScrollBar* bar : {&m_vBar, &m_hBar}) {
        if (bar->IsElementAlive()) {
            bar->Position(0);
            bar->MaxValue(0);
            bar->ElementVisible(false);
        }
    }
    DrawOverlay(false, false, nullptr);
}

bool ListBox::SetItemTextA(std::int32_t item, std::int32_t column, const char* text,
                           std::int32_t image) {
    return SetItemText(item, column, Widen(text).c_str(), image);
}

bool ListBox::SetItemText(std::int32_t item, std::int32_t column, const wchar_t* text,
                          std::int32_t image) {
    if (!IndexValid(item, column)) {
        return false;
    }
    m_model.Item(item).cellTexts[column - 1] = text != nullptr ? text : L"";
    m_model.Item(item).cellImages[column - 1] = image;
    DrawItem(item, true);
    return true;
}

std::string ListBox::ItemTextA(std::int32_t item, std::int32_t column) {
    return Narrow(ItemText(item, column));
}

std::wstring ListBox::ItemText(std::int32_t item, std::int32_t column) {
    return IndexValid(item, column) ? m_model.Item(item).cellTexts[column - 1] : std::wstring();
}

std::int32_t ListBox::ItemCount() {
    return m_model.ItemCount();
}

std::int32_t ListBox::ItemState(std::int32_t item, std::optional<std::int32_t> value) {
    if (!IndexValid(item)) {
        return 0;
    }
    if (value) {
        m_model.Item(item).state = *value;
    }
    return m_model.Item(item).state;
}

bool ListBox::SwapItems(std::int32_t first, std::int32_t second) {
    return m_model.SwapItems(first, second);
}

bool ListBox::SetItemData(std::int32_t item, std::uint32_t value) {
    if (!IndexValid(item)) {
        return false;
    }
    m_model.Item(item).data = value;
    return true;
}

std::uint32_t ListBox::ItemData(std::int32_t item) {
    return IndexValid(item) ? m_model.Item(item).data : 0;
}

void ListBox::SetItemColours(std::int32_t item, std::optional<std::uint32_t> textColour,
                             std::optional<std::uint32_t> backColour, bool now, bool defer) {
    if (!IndexValid(item)) {
        return;
    }
    ListItem& record = m_model.Item(item);
    record.textColour = textColour.value_or(record.textColour);
    record.backColour = backColour.value_or(record.backColour);
    RedrawItem(item, now, defer);
}

void ListBox::RedrawItem(std::int32_t item, bool now, bool defer) {
    DrawItem(item, now || !defer);
}

std::int32_t ListBox::ItemCheckState(std::int32_t item) {
    return IndexValid(item) ? m_model.Item(item).checkState : 0;
}

std::int32_t ListBox::SetItemCheckState(std::int32_t item, std::int32_t value) {
    if (!IndexValid(item)) {
        return 0;
    }
    if (m_model.Item(item).checkState != value) {
        m_model.Item(item).checkState = value;
        DrawItem(item, true);
    }
    return value;
}

bool ListBox::SetCellImage(std::int32_t item, std::int32_t column, std::int32_t image, bool now,
                           bool defer) {
    if (!IndexValid(item, column)) {
        return false;
    }
    m_model.Item(item).cellImages[column - 1] = image;
    RedrawItem(item, now, defer);
    return true;
}

std::int32_t ListBox::CellImage(std::int32_t item, std::int32_t column) {
    return IndexValid(item, column) ? m_model.Item(item).cellImages[column - 1] : 0;
}

bool ListBox::ItemRectOf(std::int32_t item, Gdiplus::RectF* rect) {
    return ItemRect(item, rect);
}

bool ListBox::IndexValid(std::optional<std::int32_t> item, std::optional<std::int32_t> column) {
    return m_model.IndexValid(item, column);
}

bool ListBox::FindInSelection(std::int32_t item, std::int32_t* position) {
    std::size_t at = 0;
    const bool found = m_model.FindInSelection(item, &at);
    if (found && position != nullptr) {
        *position = static_cast<std::int32_t>(at) + 1;
    }
    return found;
}

std::int32_t ListBox::FindItemTextA(const char* text, std::int32_t start, std::optional<bool> whole,
                                    std::int32_t column) {
    return FindItemText(Widen(text).c_str(), start, whole, column);
}

std::int32_t ListBox::FindItemText(const wchar_t* text, std::int32_t start,
                                   std::optional<bool> whole, std::int32_t column) {
    if (m_plainList != 0) {
        return 0;
    }
    return m_model.FindItemText(text != nullptr ? text : L"", start, whole.value_or(true), column);
}

std::int32_t ListBox::FindItemData(std::uint32_t value, std::int32_t start) {
    return m_model.FindItemData(value, start);
}

void ListBox::Sort(std::int32_t column, std::int32_t order, std::int32_t kind) {
    if (!m_model.Sort(column, order, kind)) {
        return;
    }
    if (m_vBar.IsElementAlive()) {
        m_vBar.Position(0);
    }
    m_scrollY = 0;
    m_topItem = 1;
    DrawRows(1, m_visibleRows + 1);
    Present();
}

bool ListBox::EnsureVisible(std::int32_t item) {
    if (!IndexValid(item)) {
        return false;
    }
    if (item >= m_topItem && item <= m_topItem + m_visibleRows - 1) {
        return true;
    }
    float target =
        m_plainList != 0 ? 0.0f : static_cast<float>(item * m_rowHeight) - m_listRect.Height;
    const float limit = static_cast<float>(m_contentHeight) - m_listRect.Height;
    if (target - limit > kTolerance) {
        target = limit;
    }
    if (m_vBar.IsElementAlive()) {
        m_vBar.Position(static_cast<std::int32_t>(target));
        ScrollToY(m_vBar.Position());
    } else {
        ScrollToY(std::max(0, static_cast<std::int32_t>(target)));
    }
    return true;
}

std::int32_t ListBox::HoverSelectProp(std::optional<std::int32_t> value) {
    if (value) {
        m_hoverSelect = *value;
    }
    return m_hoverSelect;
}

std::int32_t ListBox::SingleSelectProp(std::optional<std::int32_t> value) {
    if (value) {
        m_model.singleSelect = *value != 0;
    }
    return m_model.singleSelect ? 1 : 0;
}

// ---- Selection ----------------------------------------------------------------------------------

void ListBox::DrawChanged(const std::vector<std::int32_t>& items) {
    for (std::int32_t item : items) {
        DrawItem(item, true);
    }
}

std::int32_t ListBox::CurrentItemProp(std::optional<std::int32_t> item) {
    if (item) {
        std::vector<std::int32_t> changed;
        m_model.SetCurrentItem(*item, &changed);
        DrawChanged(changed);
    }
    return IndexValid(m_model.currentItem) ? m_model.currentItem : 0;
}

bool ListBox::SelectItem(std::int32_t item) {
    const bool added = !m_model.FindInSelection(item);
    if (!m_model.SelectItem(item)) {
        return false;
    }
    if (added) {
        DrawItem(item, true);
    }
    return true;
}

std::vector<std::int32_t> ListBox::SelectedItems() {
    return m_model.Selection();
}

bool ListBox::DeselectItem(std::int32_t item) {
    const bool wasSelected = m_model.FindInSelection(item);
    if (!m_model.DeselectItem(item)) {
        return false;
    }
    if (wasSelected) {
        DrawItem(item, true);
    }
    return true;
}

std::int32_t ListBox::SelectedCount() {
    return static_cast<std::int32_t>(m_model.Selection().size());
}

bool ListBox::IsSelected(std::int32_t item) {
    return IndexValid(item) && m_model.Item(item).state == kItemSelected;
}

void ListBox::SelectAll(bool select, bool check) {
    if (m_model.singleSelect) {
        return;
    }
    if (select) {
        m_model.Selection().clear();
        for (std::int32_t i = 1; i <= m_model.ItemCount(); ++i) {
            m_model.Selection().push_back(i);
            m_model.Item(i).state = kItemSelected;
        }
    }
    if (check) {
        for (std::int32_t i = 1; i <= m_model.ItemCount(); ++i) {
            m_model.Item(i).checkState = 1;
        }
    }
    DrawRows(m_topItem, m_topItem + m_visibleRows);
    Present();
}

void ListBox::SetState(std::int32_t item, std::int32_t state) {
    if (IndexValid(item)) {
        m_model.Item(item).state = state;
        DrawItem(item, true);
    }
}

// ---- Hooks and binders --------------------------------------------------------------------------

void ListBox::LayoutHook(std::int32_t, std::int32_t, std::int32_t) {}
std::int32_t ListBox::ItemAreaBackgroundHook(Gdiplus::GpGraphics*, const Gdiplus::RectF&) {
    return 0;
}
std::int32_t ListBox::ItemBackgroundHook(Gdiplus::GpGraphics*, const Gdiplus::RectF&, std::int32_t,
                                         std::int32_t) {
    return 0;
}
std::int32_t ListBox::CellContentHook(Gdiplus::GpGraphics*, const Gdiplus::RectF&, std::uint32_t,
                                      std::int32_t, std::int32_t, const Gdiplus::RectF&,
                                      const Gdiplus::RectF&) {
    return 0;
}
std::int32_t ListBox::HeaderCellContentHook(Gdiplus::GpGraphics*, const Gdiplus::RectF&,
                                            std::int32_t, std::int32_t, const Gdiplus::RectF&,
                                            const Gdiplus::RectF&) {
    return 0;
}
std::int32_t ListBox::HeaderBackgroundHook(Gdiplus::GpGraphics*, const Gdiplus::RectF&) {
    return 0;
}
std::int32_t ListBox::HeaderCellBackgroundHook(Gdiplus::GpGraphics*, const Gdiplus::RectF&,
                                               std::int32_t, std::int32_t) {
    return 0;
}
void ListBox::ItemHoverHook(ElementHandle, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
}

std::uint32_t ListBox::OnItemLeftClick(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kListItemLeftClick, routine, owner);
}
std::uint32_t ListBox::OnItemRightClick(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kListItemRightClick, routine, owner);
}
std::uint32_t ListBox::OnHeaderLeftClick(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kListHeaderLeftClick, routine, owner);
}
std::uint32_t ListBox::OnHeaderRightClick(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kListHeaderRightClick, routine, owner);
}
std::uint32_t ListBox::OnCurrentChanging(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kListCurrentChanging, routine, owner);
}
std::uint32_t ListBox::OnCheckToggled(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kListCheckToggled, routine, owner);
}

}  // namespace toolkit
