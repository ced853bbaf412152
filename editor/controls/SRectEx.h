// SRect_Ex: the editor's flat row of equal-width cells, one text item each, drawn with a frame
// and separators. Its kind makes it a text row, a push-button row, a single-selection list or a
// row of check boxes; the main window uses it for labels, commands, lists, check boxes and the
// status line.
//
// Method slots: the element base, 18 the pre-filter (SRectMessageRoutine), 19 a class handler
// that handles nothing (Page's), then the class's own operations from slot 91 (SRectSlot). The
// class derives from Element rather than Page because Page's own slot 91 (CreatePage) would take
// the place of PaintSRect and push every later operation one slot on. Like every element class
// it declares no virtual destructor (see core/Element.h).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/CaptionFit.h"
#include "controls/SRectGeometry.h"
#include "core/Element.h"
#include "foundation/Colour.h"

namespace controls {

// The class as the element record names it (type id, class-name text).
constexpr std::int32_t kSRectTypeId = 2718406;
constexpr char kSRectClassName[] = "SRect_Ex";

// The class's own operations by slot number.
enum SRectSlot : std::uint32_t {
    kSlotPaintSRect = 91,
    kSlotCreateSRect = 92,
    kSlotSRectAddItem = 93,
    kSlotSRectAddItems = 94,
    kSlotSRectClear = 95,
    kSlotSRectIsSelected = 96,
    kSlotSRectSetSelected = 97,
    kSlotSRectClickRoutine = 98,
    kSlotSRectSetItemText = 99,
};

// Every drawing starts a short cross-fade into the new look.
constexpr std::int32_t kSRectTransitionIntervalMs = 20;
constexpr std::int32_t kSRectTransitionFrames = 5;

// Default colours (GDI+ ARGB). The background is the window's grey at alpha 0, so the host's own
// background shows through the cells.
constexpr Gdiplus::ARGB kSRectDefaultFrameColour = toolkit::RgbToArgb(0xFF8800);
constexpr Gdiplus::ARGB kSRectDefaultBackgroundColour = toolkit::RgbToArgb(0xECECEC, 0);
constexpr Gdiplus::ARGB kSRectDefaultHoverFillColour = toolkit::RgbToArgb(0xFF8800, 180);
constexpr Gdiplus::ARGB kSRectDefaultHighlightedTextColour = toolkit::RgbToArgb(0xECECEC);

// The caption font: the family is GBK text, as font names are everywhere in the toolkit.
constexpr char kSRectFontFamily[] = "微软雅黑";
constexpr float kSRectFontSize = 12.0f;

// The click routine: a plain routine taking (element handle, item index), called through
// CallAddress after the click has updated the selection.
using SRectClickProc = std::uint32_t(__stdcall*)(toolkit::ElementHandle element, std::int32_t item);

// CreateSRect's arguments after the rectangle. Absent colours take the defaults above; the
// selected fill and the text colour default to the frame colour.
struct SRectCreateOptions {
    SRectKind kind = kSRectText;
    // Added after `items` when given.
    std::optional<std::wstring> firstItem;
    std::vector<std::wstring> items;
    std::optional<Gdiplus::ARGB> frameColour;
    std::optional<Gdiplus::ARGB> backgroundColour;
    std::optional<Gdiplus::ARGB> selectedFillColour;
    std::optional<Gdiplus::ARGB> hoverFillColour;
    std::optional<Gdiplus::ARGB> textColour;
    std::optional<Gdiplus::ARGB> highlightedTextColour;
    std::int32_t cornerRadius = 0;  // 0: square corners
    std::optional<bool> visible;    // visible unless given false
    SRectCaptionFit captionFit = kSRectCaptionCut;
};

// The colours a row draws with.
struct SRectColours {
    Gdiplus::ARGB frame = kSRectDefaultFrameColour;  // also the separators
    Gdiplus::ARGB background = kSRectDefaultBackgroundColour;
    Gdiplus::ARGB selectedFill = kSRectDefaultFrameColour;
    Gdiplus::ARGB hoverFill = kSRectDefaultHoverFillColour;
    Gdiplus::ARGB text = kSRectDefaultFrameColour;
    Gdiplus::ARGB highlightedText = kSRectDefaultHighlightedTextColour;
};

class SRect_Ex : public toolkit::Element {
public:
    SRect_Ex() = default;

    // Slot 0 frees the item texts and the selection; slot 1 makes a deep copy on the process
    // heap, as the engine expects of clones.
    void FreeMembers() override;
    std::uint32_t Clone() override;

    // Slot 18: SRectMessageRoutine. Always 0, so bound routines and the class handler still run.
    LRESULT PreFilterMessage(HWND window, toolkit::ElementHandle handle, UINT message,
                             WPARAM wParam, LPARAM lParam) override;
    // Slot 19: as Page's class handler, handles nothing.
    LRESULT ClassMessageHandler(HWND window, toolkit::ElementHandle handle, UINT message,
                                WPARAM wParam, LPARAM lParam) override;

    // Slots 91-99, in SRectSlot order.
    virtual void PaintSRect();
    // parent: a host window's HWND or a parent element's handle. The element handle, or 0.
    virtual toolkit::ElementHandle CreateSRect(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                               std::int32_t width, std::int32_t height,
                                               const SRectCreateOptions& options);
    // The 0-based index of the new item.
    virtual std::int32_t SRectAddItem(std::wstring_view text);
    // The index of the last item (item count - 1; -1 for a row that is still empty).
    virtual std::int32_t SRectAddItems(const std::vector<std::wstring>& texts);
    // Removes every item; the selection and the hover mark go with them.
    virtual void SRectClear();
    virtual bool SRectIsSelected(std::int32_t index);
    // Text rows keep no selection; buttons and lists hold one item at most (flag clear leaves
    // none); check boxes add or remove the index. Only existing items can be selected: asked
    // for another, a button or list row selects nothing.
    virtual void SRectSetSelected(std::int32_t index, bool flag);
    // Stores the routine when set is true; returns the routine held.
    virtual std::uint32_t SRectClickRoutine(std::uint32_t routine, bool set);
    // Replaces the text of an existing item; other indexes change nothing.
    virtual void SRectSetItemText(std::int32_t index, std::wstring_view text);

    // Not slots: what the row holds, for the main window and tests.
    SRectKind Kind() const { return m_kind; }
    std::size_t ItemCount() const { return m_items.size(); }
    // The item's text, empty for an index outside the items.
    std::wstring ItemText(std::int32_t index) const;
    std::int32_t HoverIndex() const { return m_hoverIndex; }
    const std::vector<std::int32_t>& SelectedIndexes() const { return m_selection.Indexes(); }
    const SRectColours& Colours() const { return m_colours; }
    SRectCaptionFit CaptionFit() const { return m_captionFit; }
    // What the last paint drew of the item's text (shortened to its cell as CaptionFit says);
    // empty before the first paint and for an index outside the items.
    std::wstring ShownCaption(std::int32_t index) const;
    // The item under a point in element coordinates, or kNoItem.
    std::int32_t ItemAt(std::int32_t x) const;

private:
    LRESULT SRectMessageRoutine(UINT message, LPARAM lParam);
    void OnMouseMove(std::int32_t item);
    void OnClick(std::int32_t item);
    void SetHoverIndex(std::int32_t item);
    bool HasItem(std::int32_t index) const;
    void Repaint();

    SRectKind m_kind = kSRectText;
    std::int32_t m_cornerRadius = 0;
    std::vector<std::wstring> m_items;
    SRectSelection m_selection;
    std::int32_t m_hoverIndex = kNoItem;
    SRectColours m_colours;
    std::uint32_t m_clickRoutine = 0;
    SRectCaptionFit m_captionFit = kSRectCaptionCut;
    std::vector<std::wstring> m_shownCaptions;
};

}  // namespace controls
