// ComboBox: one chosen text beside a drop button. A press opens a modal drop-down, a top-level
// toolkit window of its own that holds a ListBox with one row per item; in editable mode an
// owned Edit stands in the text area. Item indexes are 1-based, 0 meaning none.
//
// Slots follow the element base (0-90) in the order the engine and the layouts rely on; no
// virtual destructor, so that no slot moves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/Edit.h"
#include "controls/ListBox.h"
#include "core/Element.h"
#include "core/ElementPaint.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// Notifications raised to bound routines, after the element handle.
enum ComboBoxNotification : std::uint32_t {
    kComboSelectionChanged = 20601,  // the chosen index
    kComboDropDown = 20607,          // before the drop-down opens
    kComboCloseUp = 20608,           // after it closed
};

// The states the drop button is drawn in.
enum ComboButtonState : std::int32_t {
    kComboButtonNormal = 0,
    kComboButtonPressed = 8,
    kComboButtonHot = 128,
};

// The tallest the drop-down opens, in pixels; also its height without items.
constexpr std::int32_t kComboDropDownMaxHeight = 130;

// Optional arguments of Create; an absent value takes the default named beside it.
struct ComboBoxCreateOptions {
    std::int32_t selectedIndex = 0;
    std::vector<std::string> items;                     // GBK texts
    std::optional<std::vector<std::int32_t>> itemData;  // zeros, one per item
    std::int32_t editable = 0;
    std::optional<std::uint32_t> textColour;   // black, alpha 240
    std::optional<std::int32_t> elementStyle;  // 1 (visible)
};

class ComboBox : public Element {
public:
    ComboBox() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slots 91-94: routines bound to the drop-down and the Edit, reached through trampolines.
    virtual void PaintDropDownBackground(HWND window, Gdiplus::GpGraphics* graphics,
                                         std::int32_t width, std::int32_t height);
    virtual void RowChosen(std::int32_t item);
    virtual void CloseDropDown();
    virtual void EditLostFocus();
    // Slots 95-98.
    virtual void Paint(HWND window, std::int32_t state);
    virtual void PaintButtonOnly(HWND window, std::int32_t state);
    virtual bool ButtonHitTest(LPARAM point);
    virtual std::int32_t DropDown(HWND hostWindow);
    // Slot 99. parent: a host window's HWND or a parent element's handle; text is GBK.
    virtual ElementHandle Create(std::uint32_t parent, std::int32_t left, std::int32_t top,
                                 std::int32_t width, std::int32_t height, const char* text,
                                 const ComboBoxCreateOptions& options = {});
    // Slots 100-120: layout, properties and list operations. Texts of the plain twins are GBK.
    virtual void Layout();
    virtual bool IndexValid(std::int32_t index);
    virtual std::string Text(std::optional<std::string> value = std::nullopt);
    // UTF-16 bytes with their terminator.
    virtual ByteArray TextWide(std::optional<ByteArray> value = std::nullopt);
    virtual std::uint32_t TextColor(std::optional<std::uint32_t> value = std::nullopt);
    virtual std::int32_t Editable(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t SelectedIndex(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ItemCount();
    virtual std::int32_t ItemData(std::int32_t index);
    virtual bool SetItemData(std::int32_t index, std::int32_t value);
    virtual std::string ItemText(std::int32_t index);
    virtual std::wstring ItemTextWide(std::int32_t index);
    virtual bool SetItemText(std::int32_t index, const char* text);
    virtual bool SetItemTextWide(std::int32_t index, const wchar_t* text);
    virtual std::int32_t AddItem(const char* text, std::int32_t data = 0);
    virtual std::int32_t AddItemWide(const wchar_t* text, std::int32_t data = 0);
    virtual bool InsertItem(std::int32_t index, const char* text, std::int32_t data = 0);
    virtual bool InsertItemWide(std::int32_t index, const wchar_t* text, std::int32_t data = 0);
    virtual bool DeleteItem(std::int32_t index);
    virtual void Clear();
    virtual ElementHandle EditHandle();
    // Slot 121: runs before the display text is drawn.
    virtual void PreTextDrawHook(DrawContext* context);
    // Slots 122-124: event binders, (routine, owner).
    virtual std::uint32_t OnSelectionChanged(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnDropDown(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnCloseUp(std::uint32_t routine, std::uint32_t owner);
    // Slot 125.
    virtual void Reserved125();

    // Not slots: read-only views for tests.
    bool IsDroppedDown() const { return m_droppedDown != 0; }
    HWND DropDownWindow() const { return m_dropDownWindow; }
    ListBox* DropDownList() const { return m_dropDownList; }
    const Gdiplus::RectF& TextRect() const { return m_textRect; }
    std::int32_t ButtonWidth() const { return m_buttonWidth; }

private:
    void OnButtonDown(HWND window);
    bool EditHasFocus();
    void SetDisplayText(const std::wstring& text);

    std::int32_t m_buttonWidth = 0;
    std::int32_t m_buttonState = kComboButtonNormal;
    std::vector<std::wstring> m_items;
    std::vector<std::int32_t> m_itemData;
    std::int32_t m_selectedIndex = 0;
    std::wstring m_displayText;
    std::uint32_t m_textColour = 0;
    std::int32_t m_editable = 0;
    Gdiplus::GpStringFormat* m_format = nullptr;
    Edit* m_edit = nullptr;  // on the process heap, made by the first editable layout
    Gdiplus::RectF m_textRect{};
    std::int32_t m_droppedDown = 0;
    std::int32_t m_dropDownResult = 0;
    HWND m_dropDownWindow = nullptr;
    ListBox* m_dropDownList = nullptr;  // only while the drop-down is open
};

enum ComboBoxSlot : std::uint32_t {
    kSlotComboPaintDropDown = 91,
    kSlotComboCreate = 99,
    kSlotComboReserved = 125,
};

}  // namespace toolkit
