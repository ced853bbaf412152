// ListBox: layout, scrolling, hit tests and painting.
#include <algorithm>

#include "controls/Button.h"
#include "controls/ListBox.h"
#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/HostRecord.h"
#include "core/ThemePainter.h"
#include "foundation/Colour.h"
#include "foundation/ImageList.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr float kTolerance = 1e-7f;
constexpr std::int32_t kBarThickness = 10;
constexpr float kSeparatorReach = 3;
constexpr LONG kSeparatorWidth = 7;
constexpr std::int32_t kCollapsedWidth = 3;
constexpr std::int32_t kCheckBoxAllowance = 6;
constexpr std::uint32_t kLineAlpha = 51;
// The sort arrow: 8 wide and 4 high, 4 after the caption (14 from the right of far cells).
constexpr float kSortMarkHeight = 4;
constexpr float kSortMarkGap = 4;
constexpr float kSortMarkFarInset = 14;
constexpr std::int32_t kSortMarkAlpha = 153;
// Shades of the host window's background colour: a fraction of the host alpha, with a floor
// so that an almost transparent host still shows hot and selected rows.
constexpr double kHotShade = 0.3;
constexpr double kHotHeaderShade = 0.4;
constexpr double kSelectedShade = 0.6;
constexpr double kHeaderShade = 0.2;
constexpr std::int32_t kHotMinimumAlpha = 21;
constexpr std::int32_t kSelectedMinimumAlpha = 51;
constexpr std::int32_t kVerticalGradient = 1;
constexpr std::int32_t kOverlayLineAlpha = 204;
constexpr std::int32_t kBandFillAlpha = 51;

void Fill(Gdiplus::GpGraphics* graphics, Gdiplus::ARGB colour, const Gdiplus::RectF& rect) {
    if ((colour >> 24) == 0) {
        return;
    }
    Gdiplus::GpSolidFill* brush = nullptr;
    if (gp::GdipCreateSolidFill(colour, &brush) == Gdiplus::Ok) {
        gp::GdipFillRectangle(graphics, brush, rect.X, rect.Y, rect.Width, rect.Height);
        gp::GdipDeleteBrush(brush);
    }
}

void Line(Gdiplus::GpGraphics* graphics, Gdiplus::ARGB colour, float x1, float y1, float x2,
          float y2) {
    Gdiplus::GpPen* pen = nullptr;
    if (gp::GdipCreatePen1(colour, 1.0f, Gdiplus::UnitPixel, &pen) == Gdiplus::Ok) {
        gp::GdipDrawLine(graphics, pen, x1, y1, x2, y2);
        gp::GdipDeletePen(pen);
    }
}

}  // namespace

// ---- Layout -------------------------------------------------------------------------------------

void ListBox::Layout() {
    LayoutHook(m_headerHeight, m_itemExtent, m_rowHeight);
    m_listRect = {0, 0, static_cast<float>(m_width), static_cast<float>(m_height)};
    if (m_borderColour != 0) {
        m_listRect = {1, 1, m_listRect.Width - 2, m_listRect.Height - 2};
    }
    m_headerRect = {};
    if ((m_hideHeader & kHideHeaderBit) == 0 && m_plainList == 0) {
        m_headerRect = {m_listRect.X, m_listRect.Y, m_listRect.Width,
                        static_cast<float>(m_headerHeight)};
        m_listRect.Y += static_cast<float>(m_headerHeight);
        m_listRect.Height -= static_cast<float>(m_headerHeight);
    }
    if (m_contentWidth == 0) {
        m_contentWidth = static_cast<std::int32_t>(m_listRect.Width);
    }
    m_itemsPerRow = 1;
    m_visibleRows = VisibleRowsFor(m_listRect.Height, m_rowHeight) * m_itemsPerRow;
    ReleaseCanvas();
    const auto canvasWidth = static_cast<INT>(m_listRect.Width);
    const auto canvasHeight = static_cast<INT>(m_rowHeight * (m_visibleRows + 1));
    if (canvasWidth > 0 && canvasHeight > 0 &&
        gp::GdipCreateBitmapFromScan0(canvasWidth, canvasHeight, 0, PixelFormat32bppARGB, nullptr,
                                      &m_canvas) == Gdiplus::Ok) {
        gp::GdipGetImageGraphicsContext(m_canvas, &m_canvasGraphicsList);
        gp::GdipSetSmoothingMode(m_canvasGraphicsList, Gdiplus::SmoothingModeHighSpeed);
        gp::GdipSetTextRenderingHint(m_canvasGraphicsList, static_cast<Gdiplus::TextRenderingHint>(
                                                               Toolkit().textRenderingHint));
    }
    const auto lx = static_cast<std::int32_t>(m_listRect.X);
    const auto ly = static_cast<std::int32_t>(m_listRect.Y);
    const auto lw = static_cast<std::int32_t>(m_listRect.Width);
    const auto lh = static_cast<std::int32_t>(m_listRect.Height);
    if (m_vBar.IsElementAlive()) {
        m_vBar.MoveElement(lx + lw - kBarThickness, ly, kBarThickness, lh);
    }
    if (m_hBar.IsElementAlive()) {
        m_hBar.MoveElement(lx, ly + lh - kBarThickness, lw - kBarThickness, kBarThickness);
    }
    UpdateHorizontalRange();
    UpdateVerticalRange();
}

// ---- Scrolling ----------------------------------------------------------------------------------

void ListBox::DrawRows(std::int32_t first, std::int32_t last) {
    for (std::int32_t item = first; item <= last; ++item) {
        DrawItem(item, false);
    }
}

void ListBox::ScrollToY(std::int32_t position) {
    if (position == m_scrollY) {
        return;
    }
    const std::int32_t top = TopItemFor(position, m_rowHeight);
    const std::int32_t old = m_topItem;
    if (top != old) {
        const std::int32_t d = std::abs(top - old);
        m_topItem = top;
        if (d < m_visibleRows && m_canvas != nullptr) {
            const auto shift = static_cast<float>(d * m_rowHeight);
            const float rows = static_cast<float>(m_rowHeight * (m_visibleRows + 1));
            const float width = m_listRect.Width;
            if (top > old) {
                MoveCanvasBand({0, shift, width, rows - shift}, {0, 0, width, rows - shift});
                DrawRows(top + m_visibleRows - d + 1, top + m_visibleRows);
            } else {
                MoveCanvasBand({0, 0, width, rows - shift}, {0, shift, width, rows - shift});
                DrawRows(top, top + d - 1);
            }
        } else {
            DrawRows(m_topItem, m_topItem + m_visibleRows);
        }
    }
    m_scrollY = position;
    if (m_dragMode != kDragRubberBand) {
        DrawBody(true);
    }
}

void ListBox::ScrollToX(std::int32_t position) {
    if (!BarVisible(m_hBar)) {
        return;
    }
    m_scrollX = position;
    DrawRows(m_topItem, m_topItem + m_visibleRows);
    Present();
}

// ---- Hit tests ----------------------------------------------------------------------------------

std::int32_t ListBox::ColumnAtXSlot(float x) {
    return ColumnAtX(m_model, m_listRect.X - static_cast<float>(m_scrollX), x);
}

std::int32_t ListBox::HitTest(LPARAM point, std::int32_t* item, std::int32_t* column,
                              std::int32_t* x, std::int32_t* y) {
    const auto px = static_cast<float>(static_cast<short>(LOWORD(point)));
    const auto py = static_cast<float>(static_cast<short>(HIWORD(point)));
    const auto inside = [&](const Gdiplus::RectF& r) {
        const auto left = static_cast<float>(static_cast<std::int32_t>(r.X));
        const auto top = static_cast<float>(static_cast<std::int32_t>(r.Y));
        return px >= left && py >= top && px < left + static_cast<std::int32_t>(r.Width) &&
               py < top + static_cast<std::int32_t>(r.Height);
    };
    *item = *column = *x = *y = 0;
    if (m_rowHeight > 0 && inside(m_listRect)) {
        *item = ItemAtY(py - m_listRect.Y, m_topItem, m_scrollY, m_rowHeight);
        *column = IndexValid(*item) ? ColumnAtXSlot(px) : 0;
        *x = static_cast<std::int32_t>(px - m_listRect.X + static_cast<float>(m_scrollX));
        *y = static_cast<std::int32_t>(py - m_listRect.Y -
                                       static_cast<float>((*item - m_topItem) * m_rowHeight) +
                                       static_cast<float>(RowOffset(m_scrollY, m_rowHeight)));
        return kListHitItems;
    }
    if (m_headerRect.Height > 0 && inside(m_headerRect)) {
        *column = ColumnAtXSlot(px);
        *x = static_cast<std::int32_t>(px - m_headerRect.X + static_cast<float>(m_scrollX));
        *y = static_cast<std::int32_t>(py - m_headerRect.Y);
        return kListHitHeader;
    }
    return kListHitNone;
}

bool ListBox::ItemRect(std::int32_t item, Gdiplus::RectF* rect) {
    // The canvas holds VisibleRows + 1 rows; a row beyond it would be drawn outside the canvas.
    if (!IndexValid(item) || item < m_topItem || item > m_topItem + m_visibleRows) {
        return false;
    }
    *rect = {static_cast<float>(-m_scrollX), static_cast<float>((item - m_topItem) * m_rowHeight),
             static_cast<float>(m_contentWidth), static_cast<float>(m_rowHeight)};
    return true;
}

std::int32_t ListBox::BuildSeparators() {
    m_separatorRects.clear();
    float right = 0;
    for (std::int32_t i = 1; i <= m_model.ColumnCount(); ++i) {
        right += static_cast<float>(m_model.Column(i).width);
        RECT r;
        r.left = static_cast<LONG>(right - kSeparatorReach);
        r.right = r.left + kSeparatorWidth;
        r.top = static_cast<LONG>(m_headerRect.Y);
        r.bottom = static_cast<LONG>(m_headerRect.Y + m_headerRect.Height - 2);
        m_separatorRects.push_back(r);
    }
    return m_model.ColumnCount();
}

bool ListBox::SeparatorHitTest(float x, float y, std::int32_t* column, float* edge) {
    // The rectangles are in content coordinates; the point comes in element coordinates.
    const POINT point{static_cast<LONG>(x - m_headerRect.X + static_cast<float>(m_scrollX)),
                      static_cast<LONG>(y)};
    float right = 0;
    const auto count = static_cast<std::int32_t>(m_separatorRects.size());
    for (std::int32_t i = 1; i <= std::min(count, m_model.ColumnCount()); ++i) {
        right += static_cast<float>(m_model.Column(i).width);
        if (PtInRect(&m_separatorRects[i - 1], point)) {
            SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
            *edge = right;
            *column = i;
            if (static_cast<float>(point.x) > right && i < m_model.ColumnCount() &&
                m_model.Column(i + 1).width <= kCollapsedWidth) {
                *column = i + 1;
            }
            return true;
        }
    }
    RestoreCursor();
    return false;
}

void ListBox::RestoreCursor() {
    SetCursor(m_cursor != nullptr ? m_cursor : LoadCursor(nullptr, IDC_ARROW));
}

bool ListBox::ResizeColumn(std::int32_t column, std::int32_t from, std::int32_t to) {
    if (!IndexValid(std::nullopt, column)) {
        return false;
    }
    ListColumn& record = m_model.Column(column);
    std::int32_t r = from - to;
    if (record.width - r < 0) {
        r = record.width;
    }
    const std::int32_t floor = m_checkBoxSize.cx + kCheckBoxAllowance;
    if (column == 1 && m_checkBoxes != 0 && record.width - r < floor) {
        r = record.width - floor;
    }
    record.width -= r;
    m_contentWidth -= r;
    if (r > 0) {
        m_scrollX = std::max(0, m_scrollX - r);
        if (m_hBar.IsElementAlive()) {
            m_hBar.Position(m_scrollX);
        }
    }
    UpdateHorizontalRange();
    BuildSeparators();
    DrawRows(m_topItem, m_topItem + m_visibleRows);
    Present();
    return true;
}

// ---- Painting -----------------------------------------------------------------------------------

void ListBox::MoveCanvasBand(const Gdiplus::RectF& source, const Gdiplus::RectF& target) {
    if (m_canvas == nullptr || source.Width <= 0 || source.Height <= 0) {
        return;
    }
    Gdiplus::GpBitmap* copy = nullptr;
    if (gp::GdipCloneBitmapArea(source.X, source.Y, source.Width, source.Height,
                                PixelFormat32bppARGB, m_canvas, &copy) != Gdiplus::Ok) {
        return;
    }
    gp::GdipSetClipRect(m_canvasGraphicsList, target.X, target.Y, target.Width, target.Height,
                        Gdiplus::CombineModeReplace);
    gp::GdipGraphicsClear(m_canvasGraphicsList, 0);
    gp::GdipResetClip(m_canvasGraphicsList);
    gp::GdipDrawImageRect(m_canvasGraphicsList, copy, target.X, target.Y, target.Width,
                          target.Height);
    gp::GdipDisposeImage(copy);
}

void ListBox::DrawItem(std::int32_t item, bool present) {
    Gdiplus::RectF row;
    if (m_canvasGraphicsList == nullptr || !ItemRect(item, &row)) {
        return;
    }
    Gdiplus::GpGraphics* g = m_canvasGraphicsList;
    gp::GdipSetClipRect(g, 0, row.Y, m_listRect.Width, row.Height, Gdiplus::CombineModeReplace);
    gp::GdipGraphicsClear(g, 0);
    const ListItem& record = m_model.Item(item);
    if (ItemBackgroundHook(g, row, record.state, item) == 0) {
        Fill(g, record.backColour, row);
    }
    if (record.state == kItemHot) {
        Fill(g, HostColour(kHotShade, kHotMinimumAlpha), row);
    } else if (record.state == kItemSelected) {
        Fill(g, HostColour(kSelectedShade, kSelectedMinimumAlpha), row);
    }
    ImageList* images = ImageList::FromHandle(m_itemImages);
    float x = row.X;
    for (std::int32_t column = 1; column <= m_model.ColumnCount(); ++column) {
        const ListColumn& col = m_model.Column(column);
        Gdiplus::RectF cell{x, row.Y, static_cast<float>(col.width), row.Height};
        x += static_cast<float>(col.width);
        if (col.width == 0) {
            continue;
        }
        gp::GdipSetClipRect(g, cell.X, cell.Y, cell.Width, cell.Height,
                            Gdiplus::CombineModeReplace);
        if (column == 1) {
            if (m_checkBoxes != 0) {
                const auto boxWidth = static_cast<float>(m_checkBoxSize.cx + 4);
                const Gdiplus::RectF box{
                    cell.X + 2, cell.Y + (cell.Height - m_checkBoxSize.cy) / 2.0f,
                    static_cast<float>(m_checkBoxSize.cx), static_cast<float>(m_checkBoxSize.cy)};
                DrawThemePart(GetHostTheme(), "CheckButton", g, box,
                              record.checkState == 1 ? "normal_ck" : "normal");
                cell.X += boxWidth;
                cell.Width -= boxWidth;
            }
            const float indent =
                static_cast<float>(record.indent * (images != nullptr ? images->CellWidth() : 0));
            cell.X += indent;
            cell.Width -= indent;
        }
        SetStringFormatAlign(m_textFormat, col.align);
        Gdiplus::GpImage* image =
            images != nullptr ? images->Get(record.cellImages[column - 1]) : nullptr;
        IconLayout layout;
        if (image != nullptr) {
            layout.iconWidth = static_cast<float>(images->CellWidth());
            layout.iconHeight = static_cast<float>(images->CellHeight());
        }
        layout.placement = kIconAtLeftEdge;
        layout.spacing = 2;
        Gdiplus::RectF imageRect;
        Gdiplus::RectF textRect;
        LayoutIconAndText(cell, layout, Gdiplus::SizeF(cell.Width, cell.Height), &imageRect,
                          &textRect);
        if (CellContentHook(g, cell, record.data, item, column, imageRect, textRect) == 0) {
            if (image != nullptr) {
                gp::GdipDrawImageRect(g, image, imageRect.X, imageRect.Y, imageRect.Width,
                                      imageRect.Height);
            }
            const std::wstring& text = record.cellTexts[column - 1];
            if (!text.empty()) {
                Gdiplus::GpFont* font = m_font != nullptr ? m_font : Toolkit().defaultFont;
                DrawTextWithEffect(g, textRect, text.c_str(), font, record.textColour, m_textFormat,
                                   kTextEffectNone);
            }
        }
    }
    gp::GdipResetClip(g);
    if (present) {
        DrawBody(true);
    }
}

void ListBox::DrawBody(bool beginDraw) {
    DrawContext context{};
    ElementRectF area{m_listRect.X, m_listRect.Y, m_listRect.Width, m_listRect.Height};
    if (beginDraw && BeginElementDraw(m_handle, &context, &area, true) == 0) {
        return;
    }
    Gdiplus::GpGraphics* g = beginDraw ? context.graphics : m_canvasGraphics;
    if (g != nullptr) {
        gp::GdipSetClipRect(g, m_listRect.X, m_listRect.Y, m_listRect.Width, m_listRect.Height,
                            Gdiplus::CombineModeReplace);
        if (m_clipScrollBars != 0) {
            for (ScrollBar* bar : {&m_vBar, &m_hBar}) {
                if (BarVisible(*bar)) {
                    gp::GdipSetClipRect(
                        g, static_cast<float>(bar->m_left), static_cast<float>(bar->m_top),
                        static_cast<float>(bar->m_width), static_cast<float>(bar->m_height),
                        Gdiplus::CombineModeExclude);
                }
            }
        }
        if (ItemAreaBackgroundHook(g, m_listRect) == 0) {
            gp::GdipGraphicsClear(g, 0);
            Fill(g, m_backColour, m_listRect);
        }
        if (m_canvas != nullptr) {
            UINT width = 0;
            UINT height = 0;
            gp::GdipGetImageWidth(m_canvas, &width);
            gp::GdipGetImageHeight(m_canvas, &height);
            gp::GdipDrawImageRectI(
                g, m_canvas, static_cast<INT>(m_listRect.X),
                static_cast<INT>(m_listRect.Y) - RowOffset(m_scrollY, m_rowHeight),
                static_cast<INT>(width), static_cast<INT>(height));
        }
        gp::GdipResetClip(g);
    }
    if (beginDraw) {
        EndElementDraw(m_handle, &context);
    }
}

void ListBox::DrawOverlay(bool resizeLine, bool rubberBand, const Gdiplus::RectF* band) {
    DrawContext context{};
    if (BeginElementDraw(m_handle, &context) == 0) {
        return;
    }
    DrawBody(false);
    if (band != nullptr && context.graphics != nullptr) {
        if (resizeLine) {
            Line(context.graphics, HostColour(0, kOverlayLineAlpha), band->X, band->Y, band->X,
                 band->Y + band->Height);
        }
        if (rubberBand) {
            Fill(context.graphics, HostColour(0, kBandFillAlpha), *band);
            Gdiplus::GpPen* pen = nullptr;
            if (gp::GdipCreatePen1(HostColour(0, kOverlayLineAlpha), 1.0f, Gdiplus::UnitPixel,
                                   &pen) == Gdiplus::Ok) {
                gp::GdipDrawRectangle(context.graphics, pen, band->X, band->Y, band->Width,
                                      band->Height);
                gp::GdipDeletePen(pen);
            }
        }
    }
    EndElementDraw(m_handle, &context);
}

void ListBox::DrawSortMark(Gdiplus::GpGraphics* g, const Gdiplus::RectF& cell,
                           const Gdiplus::RectF& textRect, const ListColumn& column) {
    Gdiplus::GpFont* font = m_font != nullptr ? m_font : Toolkit().defaultFont;
    const Gdiplus::SizeF text =
        MeasureButtonCaption(g, column.text.c_str(), font, m_textFormat, textRect);
    const float x0 = column.align == Gdiplus::StringAlignmentFar
                         ? cell.X + cell.Width - text.Width - kSortMarkFarInset
                         : textRect.X + text.Width + kSortMarkGap;
    const float middle = cell.Y + cell.Height / 2.0f;
    const bool up = column.sortMark == kSortAscending;
    const auto base = static_cast<float>(static_cast<std::int32_t>(up ? middle + 2 : middle - 2));
    const float apex = up ? base - kSortMarkHeight : base + kSortMarkHeight;
    const Gdiplus::PointF points[] = {
        {x0, base}, {x0 + kSortMarkHeight, apex}, {x0 + 2 * kSortMarkHeight, base}};
    const Gdiplus::ARGB colour = HostColour(0, kSortMarkAlpha);
    Gdiplus::GpSolidFill* brush = nullptr;
    if (gp::GdipCreateSolidFill(colour, &brush) == Gdiplus::Ok) {
        gp::GdipFillPolygon2(g, brush, points, 3);
        gp::GdipDeleteBrush(brush);
    }
    Gdiplus::GpPen* pen = nullptr;
    if (gp::GdipCreatePen1(colour, 1.0f, Gdiplus::UnitPixel, &pen) == Gdiplus::Ok) {
        gp::GdipDrawPolygon(g, pen, points, 3);
        gp::GdipDeletePen(pen);
    }
}

void ListBox::DrawHeader(std::int32_t column, std::int32_t state, bool standalone) {
    if (m_headerRect.Height <= 0) {
        return;
    }
    DrawContext context{};
    if (standalone && BeginElementDraw(m_handle, &context) == 0) {
        return;
    }
    Gdiplus::GpGraphics* g = standalone ? context.graphics : m_canvasGraphics;
    if (g == nullptr) {
        return;
    }
    const Gdiplus::RectF& h = m_headerRect;
    gp::GdipSetClipRect(g, h.X, h.Y, h.Width, h.Height, Gdiplus::CombineModeReplace);
    gp::GdipGraphicsClear(g, m_backColour);
    if (HeaderBackgroundHook(g, h) == 0) {
        FillGradientRect(g, h, 0, HostColour(kHeaderShade, 0), kVerticalGradient);
    }
    Gdiplus::GpFont* font = m_font != nullptr ? m_font : Toolkit().defaultFont;
    float x = h.X - static_cast<float>(m_scrollX);
    for (std::int32_t i = 1; i <= m_model.ColumnCount(); ++i) {
        const ListColumn& col = m_model.Column(i);
        const Gdiplus::RectF cell{x, h.Y, static_cast<float>(col.width), h.Height};
        x += static_cast<float>(col.width);
        if (i == column && (state == kItemHot || state == kHeaderPressed)) {
            // The lit cell starts again from the header's own colour, so that its shade is not
            // laid over the header's.
            gp::GdipSetClipRect(g, cell.X, cell.Y, cell.Width, cell.Height,
                                Gdiplus::CombineModeIntersect);
            gp::GdipGraphicsClear(g, m_backColour);
            gp::GdipSetClipRect(g, h.X, h.Y, h.Width, h.Height, Gdiplus::CombineModeReplace);
            if (HeaderCellBackgroundHook(g, cell, i, state) == 0) {
                FillGradientRect(g, cell, 0,
                                 state == kItemHot
                                     ? HostColour(kHotHeaderShade, kHotMinimumAlpha)
                                     : HostColour(kSelectedShade, kSelectedMinimumAlpha),
                                 kVerticalGradient);
            }
        }
        const Gdiplus::RectF textArea{cell.X + 2, cell.Y + 2, cell.Width - 5, cell.Height - 4};
        SetStringFormatAlign(m_textFormat, col.align);
        ImageList* images = ImageList::FromHandle(m_headerImages);
        Gdiplus::GpImage* image = images != nullptr ? images->Get(col.imageIndex) : nullptr;
        IconLayout layout;
        if (image != nullptr) {
            layout.iconWidth = static_cast<float>(images->CellWidth());
            layout.iconHeight = static_cast<float>(images->CellHeight());
        }
        layout.placement = kIconAtLeftEdge;
        layout.spacing = 2;
        Gdiplus::RectF imageRect;
        Gdiplus::RectF textRect;
        LayoutIconAndText(textArea, layout, Gdiplus::SizeF(textArea.Width, textArea.Height),
                          &imageRect, &textRect);
        if (HeaderCellContentHook(g, cell, col.columnValue, i, imageRect, textRect) == 0) {
            if (image != nullptr) {
                gp::GdipDrawImageRect(g, image, imageRect.X, imageRect.Y, imageRect.Width,
                                      imageRect.Height);
            }
            if (!col.text.empty()) {
                DrawTextWithEffect(g, textRect, col.text.c_str(), font, m_textColour, m_textFormat,
                                   kTextEffectNone);
            }
        }
        if (col.sortMark == kSortAscending || col.sortMark == kSortDescending) {
            DrawSortMark(g, cell, textRect, col);
        }
        Line(g, RgbToArgb(0, kLineAlpha), cell.X + cell.Width - 1, cell.Y, cell.X + cell.Width - 1,
             cell.Y + cell.Height);
    }
    Line(g, RgbToArgb(0, kLineAlpha), h.X, h.Y + h.Height - 1, h.X + h.Width, h.Y + h.Height - 1);
    gp::GdipResetClip(g);
    if (standalone) {
        EndElementDraw(m_handle, &context);
    }
}

void ListBox::Present() {
    DrawContext context{};
    if (BeginElementDraw(m_handle, &context) == 0) {
        return;
    }
    if (context.graphics != nullptr) {
        gp::GdipGraphicsClear(context.graphics, m_backColour);
        if (m_borderColour != 0) {
            Gdiplus::GpPen* pen = nullptr;
            if (gp::GdipCreatePen1(m_borderColour, 1.0f, Gdiplus::UnitPixel, &pen) == Gdiplus::Ok) {
                gp::GdipDrawRectangle(context.graphics, pen, 0, 0, static_cast<float>(m_width - 1),
                                      static_cast<float>(m_height - 1));
                gp::GdipDeletePen(pen);
            }
        }
    }
    DrawHeader(0, kItemNormal, false);
    DrawBody(false);
    EndElementDraw(m_handle, &context);
}

}  // namespace toolkit
