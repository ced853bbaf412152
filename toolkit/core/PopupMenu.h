// PopupMenu: a plain object (not an element) holding a list of items. Showing it builds a
// borderless, topmost pop-up host window with one MenuItem per item and runs a message loop on
// that window until it is gone; the window and its items are freed before the show returns.
//
// An item sends a command, calls a routine, or opens a nested PopupMenu once the pointer has
// rested on it for kMenuDelayMs (timer kTimerMenuDelay) or at once when clicked. Every menu
// window of one menu tree closes when the focus leaves the menus.
//
// The operations are declared in the slot order callers rely on, without a virtual destructor.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ElementFields.h"
#include "core/MenuItem.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// A stored width below this is widened to it; 0 sizes the menu to its captions.
constexpr std::int32_t kMinimumMenuWidth = 50;

class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu& other);
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Slots 0-2.
    virtual void FreeMembers();
    // A new copy (with new) whose item records are deep copies; the caller deletes it.
    virtual std::uint32_t Clone();
    virtual PopupMenu* GetSelf();

    // Slot 3: slot 7 with every argument given. Elements pass their host window and handle
    // with root true; a sub-menu is opened at (0, 0) with root false.
    virtual std::uint32_t PopupMenuAt(HWND ownerWindow, ElementHandle ownerElement, std::int32_t x,
                                      std::int32_t y, bool root);
    // Slot 4: the default background of a menu window.
    virtual void PaintMenuBackground(HWND window, Gdiplus::GpGraphics* graphics, std::int32_t width,
                                     std::int32_t height);
    // Slot 5: the message hook of every menu window of this menu.
    virtual LRESULT MenuWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Slot 6: what the pointer rests on once the delay ran out.
    virtual void TrackMenuHover(HWND window);
    // Slot 7: shows the menu and returns once its window is gone; 0 when nothing was shown.
    // Without coordinates (or at (0, 0)) a root menu opens at the cursor.
    virtual std::uint32_t ShowPopupMenu(HWND ownerWindow, ElementHandle ownerElement,
                                        std::optional<std::int32_t> x = std::nullopt,
                                        std::optional<std::int32_t> y = std::nullopt,
                                        std::optional<bool> root = std::nullopt);
    // Slot 8: returns the new item's 1-based index. text is GBK. kindOrSubMenu is
    // kMenuItemKindItem (default), kMenuItemKindSeparator, or the address of a variable holding
    // the PopupMenu* to open as sub-menu; owner is the address of a variable holding the object
    // passed first to the routine. textColour defaults to opaque black.
    virtual std::size_t AddPopupMenuItem(const char* text, const ByteArray& icon,
                                         std::int32_t state,
                                         std::optional<std::uint32_t> kindOrSubMenu,
                                         bool sendCommand, std::uint32_t commandOrRoutine,
                                         std::optional<std::uint32_t> owner = std::nullopt,
                                         std::optional<Gdiplus::ARGB> textColour = std::nullopt,
                                         std::int32_t iconLeft = 0, std::int32_t textLeft = 0);
    // Slots 9-16: item operations by 1-based index. An invalid index changes nothing and gives
    // false, 0 or an empty value.
    virtual bool RemovePopupMenuItem(std::size_t index);
    virtual void ClearPopupMenu();
    virtual std::int32_t PopupMenuItemState(std::size_t index,
                                            std::optional<std::int32_t> value = std::nullopt);
    // GBK text.
    virtual std::string PopupMenuItemText(std::size_t index,
                                          std::optional<const char*> text = std::nullopt);
    // UTF-16 bytes with their terminator.
    virtual ByteArray PopupMenuItemTextW(std::size_t index,
                                         std::optional<ByteArray> bytes = std::nullopt);
    virtual ByteArray PopupMenuItemIcon(std::size_t index,
                                        std::optional<ByteArray> bytes = std::nullopt);
    // kindOrSubMenu and owner as in AddPopupMenuItem.
    virtual bool SetPopupMenuItemAction(
        std::size_t index, std::optional<std::uint32_t> kindOrSubMenu,
        std::optional<bool> sendCommand = std::nullopt,
        std::optional<std::uint32_t> commandOrRoutine = std::nullopt,
        std::optional<std::uint32_t> owner = std::nullopt);
    virtual bool PopupMenuIndexValid(std::size_t index);
    // Slots 17-20: width, colour (ARGB; kept as a Windows colour, the alpha dropped) and the two
    // routines. The first is called as routine([owner,] menu window, root flag) just before a
    // menu window is shown; the second paints a menu window's background instead of slot 4, as
    // a host window's paint routine.
    virtual void PopupMenuWidth(std::int32_t width);
    virtual void PopupMenuColor(Gdiplus::ARGB colour);
    virtual void BindMenuShowRoutine(std::uint32_t routine,
                                     std::optional<std::uint32_t> owner = std::nullopt);
    virtual void BindMenuPaintRoutine(std::uint32_t routine,
                                      std::optional<std::uint32_t> owner = std::nullopt);

    // Not slots.
    std::size_t ItemCount() const { return m_items.size(); }
    const MenuItemRecord* Item(std::size_t index) const;
    COLORREF Colour() const { return m_colour; }

private:
    MenuItemRecord* ItemAt(std::size_t index);

    PopupMenu* m_self = nullptr;  // filled the first time the menu is shown
    COLORREF m_colour = 0;        // 0: none given
    std::vector<MenuItemRecord> m_items;
    std::int32_t m_width = 0;
    std::uint32_t m_showRoutine = 0;
    std::uint32_t m_showOwner = 0;
    std::uint32_t m_paintRoutine = 0;
    std::uint32_t m_paintOwner = 0;
};

// Slots that other code calls by number.
enum PopupMenuSlot : std::uint32_t {
    kSlotPopupMenuAt = 3,
    kSlotShowPopupMenu = 7,
    kSlotAddPopupMenuItem = 8,
    kSlotBindMenuPaintRoutine = 20,
};

// Slot 3 of the menu at an object address, as element slot 79 and host window slot 71 call it;
// 0 without a readable menu.
std::uint32_t ShowPopupMenuObject(std::uint32_t menu, HWND ownerWindow, ElementHandle ownerElement,
                                  std::int32_t x, std::int32_t y, bool root);

// The edit box's context menu, built at engine start-up from kEditMenuItems (EngineInit.h).
PopupMenu& EditBoxMenu();
// Empties the edit box's menu and adds the items; InitUiEngine calls it.
void BuildEditBoxMenu(const EditMenuItem* items, std::size_t count);

}  // namespace toolkit
