#include "controls/SRectEx.h"

#include <new>
#include <utility>

#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "foundation/CallAddress.h"
#include "foundation/Drawing.h"
#include "foundation/Fonts.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/TextCodec.h"

namespace controls {

namespace gp = Gdiplus::DllExports;
using toolkit::ElementHandle;

namespace {

// The pointer's x is a signed 16-bit word: a captured pointer left of the element reports a
// negative x. (windowsx.h has the same macro but also redefines DeleteFont.)
std::int32_t PointerX(LPARAM lParam) {
    return static_cast<std::int16_t>(LOWORD(lParam));
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void SRect_Ex::FreeMembers() {
    std::vector<std::wstring>().swap(m_items);
    std::vector<std::wstring>().swap(m_shownCaptions);
    m_selection.Clear();
}

std::uint32_t SRect_Ex::Clone() {
    return toolkit::AddressOf(toolkit::CloneOnProcessHeap(*this));
}

LRESULT SRect_Ex::PreFilterMessage(HWND, ElementHandle, UINT message, WPARAM, LPARAM lParam) {
    return SRectMessageRoutine(message, lParam);
}

LRESULT SRect_Ex::ClassMessageHandler(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

// ---- Creation and items -------------------------------------------------------------------------

ElementHandle SRect_Ex::CreateSRect(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                    std::int32_t width, std::int32_t height,
                                    const SRectCreateOptions& options) {
    m_colours.frame = options.frameColour.value_or(kSRectDefaultFrameColour);
    m_colours.background = options.backgroundColour.value_or(kSRectDefaultBackgroundColour);
    m_colours.selectedFill = options.selectedFillColour.value_or(m_colours.frame);
    m_colours.hoverFill = options.hoverFillColour.value_or(kSRectDefaultHoverFillColour);
    m_colours.text = options.textColour.value_or(m_colours.frame);
    m_colours.highlightedText =
        options.highlightedTextColour.value_or(kSRectDefaultHighlightedTextColour);
    m_kind = options.kind;
    m_items = options.items;
    m_cornerRadius = options.cornerRadius;
    m_captionFit = options.captionFit;
    if (options.firstItem) {
        SRectAddItem(*options.firstItem);
    }

    toolkit::ElementCreateOptions create;
    create.visible = options.visible.value_or(true) ? 1 : 0;
    create.transitionInterval = kSRectTransitionIntervalMs;
    create.transitionFrames = kSRectTransitionFrames;
    return CreateElement(parent, x, y, width, height, kSRectTypeId, kSRectClassName, create);
}

std::int32_t SRect_Ex::SRectAddItem(std::wstring_view text) {
    m_items.emplace_back(text);
    Repaint();
    return static_cast<std::int32_t>(m_items.size()) - 1;
}

std::int32_t SRect_Ex::SRectAddItems(const std::vector<std::wstring>& texts) {
    m_items.insert(m_items.end(), texts.begin(), texts.end());
    Repaint();
    return static_cast<std::int32_t>(m_items.size()) - 1;
}

void SRect_Ex::SRectClear() {
    FreeMembers();
    // Indexes name items, so none of them survives the items themselves.
    m_hoverIndex = kNoItem;
    Repaint();
}

bool SRect_Ex::SRectIsSelected(std::int32_t index) {
    return m_selection.IsSelected(index);
}

void SRect_Ex::SRectSetSelected(std::int32_t index, bool flag) {
    if (flag && !HasItem(index)) {
        // A single-selection row told to show an item it lacks (a level's orientation or kind
        // byte beyond the list) shows none, rather than the item of the level before.
        if (m_kind == kSRectButton || m_kind == kSRectList) {
            flag = false;
        } else {
            return;
        }
    }
    if (m_selection.Set(m_kind, index, flag)) {
        Repaint();
    }
}

std::uint32_t SRect_Ex::SRectClickRoutine(std::uint32_t routine, bool set) {
    if (set) {
        m_clickRoutine = routine;
    }
    return m_clickRoutine;
}

void SRect_Ex::SRectSetItemText(std::int32_t index, std::wstring_view text) {
    if (HasItem(index)) {
        m_items[static_cast<std::size_t>(index)].assign(text);
    }
    Repaint();
}

std::wstring SRect_Ex::ItemText(std::int32_t index) const {
    return HasItem(index) ? m_items[static_cast<std::size_t>(index)] : std::wstring();
}

std::wstring SRect_Ex::ShownCaption(std::int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < m_shownCaptions.size()
               ? m_shownCaptions[static_cast<std::size_t>(index)]
               : std::wstring();
}

std::int32_t SRect_Ex::ItemAt(std::int32_t x) const {
    return SRectItemAt(x, m_width, m_items.size());
}

bool SRect_Ex::HasItem(std::int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < m_items.size();
}

void SRect_Ex::Repaint() {
    InvalidateElement();
}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT SRect_Ex::SRectMessageRoutine(UINT message, LPARAM lParam) {
    constexpr LRESULT kGoOn = 0;
    const std::int32_t item = ItemAt(PointerX(lParam));
    switch (message) {
        case WM_CREATE:
            m_hoverIndex = kNoItem;
            break;
        case WM_PAINT:
            PaintSRect();
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(item);
            break;
        case WM_LBUTTONDOWN:
            // A button row shows the pressed item selected while the button is held.
            if (m_kind == kSRectButton && item != kNoItem) {
                SRectSetSelected(item, !SRectIsSelected(item));
            }
            break;
        case WM_LBUTTONUP:
            if (m_kind == kSRectButton && m_selection.First() != kNoItem) {
                SRectSetSelected(m_selection.First(), false);
            }
            break;
        case toolkit::kMsgMouseLeave:
            SetHoverIndex(kNoItem);
            break;
        case toolkit::kMsgClick:
            OnClick(item);
            break;
        default:
            break;
    }
    return kGoOn;
}

void SRect_Ex::OnMouseMove(std::int32_t item) {
    if (item != kNoItem) {
        const std::string tip = toolkit::FromWideString(m_items[static_cast<std::size_t>(item)]);
        SetElementTipText(tip.c_str());
    }
    if (m_kind == kSRectButton) {
        SetHoverIndex(item);
    }
}

void SRect_Ex::OnClick(std::int32_t item) {
    // A click past the last cell (the strip the rounded-down item width leaves) or on a row
    // without items names no item: nothing is selected and the routine is not called.
    if (item == kNoItem) {
        return;
    }
    switch (m_kind) {
        case kSRectList:
            SRectSetSelected(item, true);
            break;
        case kSRectText:
        case kSRectChecks:
            SRectSetSelected(item, !SRectIsSelected(item));
            break;
        case kSRectButton:
        default:
            break;
    }
    // The routine may run a modal loop in which this row is destroyed: nothing of the row is
    // touched after it returns.
    toolkit::CallAddress(m_clickRoutine, {m_handle, item});
}

void SRect_Ex::SetHoverIndex(std::int32_t item) {
    if (m_hoverIndex == item) {
        return;
    }
    m_hoverIndex = item;
    Repaint();
}

// ---- Painting -----------------------------------------------------------------------------------

namespace {

// A string format that centres each caption in its cell both ways, on one line; the caller owns
// it. A cell is one line high, so a wrapped caption would show as half a second line.
toolkit::GpStringFormatPtr CreateCentredFormat() {
    Gdiplus::GpStringFormat* generic = nullptr;
    toolkit::GpStringFormatPtr format;
    if (gp::GdipStringFormatGetGenericDefault(&generic) != Gdiplus::Ok ||
        gp::GdipCloneStringFormat(generic, format.put()) != Gdiplus::Ok) {
        return {};
    }
    gp::GdipSetStringFormatFlags(format.get(), Gdiplus::StringFormatFlagsNoWrap);
    gp::GdipSetStringFormatAlign(format.get(), Gdiplus::StringAlignmentCenter);
    gp::GdipSetStringFormatLineAlign(format.get(), Gdiplus::StringAlignmentCenter);
    return format;
}

// The caption as a cell of that width shows it: a path that does not fit is shortened to one
// that does; any other caption stays as it is and is cut at the cell's edges.
std::wstring FittedCaption(Gdiplus::GpGraphics* graphics, const std::wstring& text, float width,
                           Gdiplus::GpFont* font, Gdiplus::GpStringFormat* format,
                           SRectCaptionFit fit) {
    if (fit != kSRectCaptionPath || font == nullptr) {
        return text;
    }
    const auto fits = [&](std::wstring_view candidate) {
        const std::wstring measuredText(candidate);
        const Gdiplus::RectF unbounded(0, 0, 0, 0);
        Gdiplus::RectF measured;
        return gp::GdipMeasureString(graphics, measuredText.c_str(), -1, font, &unbounded, format,
                                     &measured, nullptr, nullptr) == Gdiplus::Ok &&
               measured.Width <= width;
    };
    return FitPathCaption(text, fits);
}

// Where a caption is laid out: its cell, or, for a caption wider than the cell, a box as wide
// as the caption centred on the cell. GDI+ leaves out the characters that do not fit a layout
// box, so a box only as wide as the cell would show fewer characters rather than a cut line.
Gdiplus::RectF CaptionBox(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& cell,
                          const std::wstring& text, Gdiplus::GpFont* font,
                          Gdiplus::GpStringFormat* format) {
    const Gdiplus::RectF unbounded(0, 0, 0, 0);
    Gdiplus::RectF measured;
    if (font == nullptr ||
        gp::GdipMeasureString(graphics, text.c_str(), -1, font, &unbounded, format, &measured,
                              nullptr, nullptr) != Gdiplus::Ok ||
        measured.Width <= cell.Width) {
        return cell;
    }
    return Gdiplus::RectF(cell.X + (cell.Width - measured.Width) / 2, cell.Y, measured.Width,
                          cell.Height);
}

bool FillArea(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* rounded, const Gdiplus::RectF& rect,
              Gdiplus::ARGB colour) {
    if (rounded == nullptr) {
        return toolkit::FillRect(graphics, rect, colour);
    }
    toolkit::GpSolidFillPtr brush = toolkit::CreateSolidBrush(colour);
    return brush && gp::GdipFillPath(graphics, brush.get(), rounded) == Gdiplus::Ok;
}

bool DrawOutline(Gdiplus::GpGraphics* graphics, const Gdiplus::RectF& rect, float diameter,
                 Gdiplus::ARGB colour) {
    if (diameter > 0) {
        return toolkit::DrawRoundRectOutline(graphics, rect, diameter, colour);
    }
    toolkit::GpPenPtr pen;
    if (gp::GdipCreatePen1(colour, toolkit::kDefaultLineWidth, Gdiplus::UnitPixel, pen.put()) !=
        Gdiplus::Ok) {
        return false;
    }
    // A rectangle is outlined through the pixels at its far edge, so it is drawn one smaller.
    return gp::GdipDrawRectangle(graphics, pen.get(), rect.X, rect.Y, rect.Width - 1,
                                 rect.Height - 1) == Gdiplus::Ok;
}

}  // namespace

void SRect_Ex::PaintSRect() {
    if (!IsElementAlive() || m_width <= 0 || m_height <= 0) {
        return;
    }
    toolkit::DrawContext context{};
    toolkit::BeginElementDraw(m_handle, &context);
    Gdiplus::GpGraphics* graphics = context.graphics;
    if (graphics == nullptr) {
        toolkit::EndElementDraw(m_handle, &context);
        return;
    }
    Gdiplus::GraphicsState saved = 0;
    gp::GdipSaveGraphics(graphics, &saved);

    const float width = static_cast<float>(m_width);
    const float height = static_cast<float>(m_height);
    const Gdiplus::RectF whole(0, 0, width, height);
    const std::int32_t itemWidth = SRectItemWidth(m_width, m_items.size());
    toolkit::GpStringFormatPtr format = CreateCentredFormat();
    toolkit::GpFontPtr font(toolkit::CreateFontByName(
        kSRectFontFamily, kSRectFontSize, toolkit::kFontStyleRegular, toolkit::kFontUnitPixel));

    // The clip narrows the element draw's own clip, so a partial repaint stays partial.
    const float diameter = static_cast<float>(m_cornerRadius) * 2;
    toolkit::GpPathPtr rounded;
    if (m_cornerRadius > 0) {
        rounded = toolkit::CreateRoundRectPath(whole, diameter);
    }
    if (rounded) {
        gp::GdipSetClipPath(graphics, rounded.get(), Gdiplus::CombineModeIntersect);
    } else {
        gp::GdipSetClipRect(graphics, 0, 0, width, height, Gdiplus::CombineModeIntersect);
    }
    FillArea(graphics, rounded.get(), whole, m_colours.background);
    DrawOutline(graphics, whole, rounded ? diameter : 0, m_colours.frame);

    m_shownCaptions.assign(m_items.size(), std::wstring());
    if (itemWidth > 0) {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const auto index = static_cast<std::int32_t>(i);
            const float left = static_cast<float>(index * itemWidth);
            const Gdiplus::RectF cell(left, 0, static_cast<float>(itemWidth), height);
            if (i + 1 < m_items.size()) {
                const float separator = left + static_cast<float>(itemWidth);
                toolkit::DrawLine(graphics, m_colours.frame, separator, 0, separator, height);
            }
            const bool selected = m_selection.IsSelected(index);
            const bool hovered = index == m_hoverIndex;
            if (selected) {
                toolkit::FillRect(graphics, cell, m_colours.selectedFill);
            }
            if (hovered) {
                toolkit::FillRect(graphics, cell, m_colours.hoverFill);
            }
            if (!m_items[i].empty()) {
                const std::wstring caption = FittedCaption(graphics, m_items[i], cell.Width,
                                                           font.get(), format.get(), m_captionFit);
                // A caption wider than its cell is cut at the cell's edges rather than spilling
                // over the separators into its neighbours.
                Gdiplus::GraphicsState beforeCell = 0;
                gp::GdipSaveGraphics(graphics, &beforeCell);
                gp::GdipSetClipRect(graphics, cell.X, cell.Y, cell.Width, cell.Height,
                                    Gdiplus::CombineModeIntersect);
                toolkit::DrawTextWithEffect(
                    graphics, CaptionBox(graphics, cell, caption, font.get(), format.get()),
                    caption.c_str(), font.get(),
                    selected || hovered ? m_colours.highlightedText : m_colours.text, format.get(),
                    toolkit::kTextEffectNone);
                gp::GdipRestoreGraphics(graphics, beforeCell);
                m_shownCaptions[i] = caption;
            }
        }
    }

    gp::GdipRestoreGraphics(graphics, saved);
    toolkit::EndElementDraw(m_handle, &context);
}

}  // namespace controls
