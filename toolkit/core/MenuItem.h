// MenuItem: one row of a popup-menu window. It holds its own copy of the item record it shows
// (caption, icon, check, separator or sub-menu, and what choosing it does), paints itself from
// the menu theme section "SysShadow.Menu", starts the sub-menu delay while the pointer rests on
// it, and carries out the choice when it is clicked.
//
// Slots 91-93 follow the element base; no virtual destructor, so that no slot moves.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

#include "core/Element.h"
#include "foundation/CheckedMemory.h"
#include "foundation/EngineInit.h"

namespace toolkit {

class PopupMenu;

constexpr std::int32_t kTypeMenuItem = 20;
constexpr char kClassMenuItem[] = "MenuItem";

// Item states. A hidden row is neither measured nor given a row in the menu window.
enum MenuItemState : std::int32_t {
    kMenuItemNormal = 0,
    kMenuItemDisabled = 1,
    kMenuItemChecked = 16,
    kMenuItemHiddenRow = 0x8000,
};

// The theme section of menu windows and its keys. "gird" is the themes' own spelling.
constexpr char kMenuSection[] = "SysShadow.Menu";
constexpr char kMenuKeyMargin[] = "margin";
constexpr char kMenuKeyIconLeft[] = "left_icon";
constexpr char kMenuKeyTextLeft[] = "left_text";
constexpr char kMenuKeyCutLineLeft[] = "left_cutline";
constexpr char kMenuKeyCutLineRight[] = "right_cutline";
constexpr char kMenuKeyFrame[] = "rect";
constexpr char kMenuKeyFrameGrid[] = "gird";
constexpr char kMenuKeyCheck[] = "checkrect";

// Window properties of menu windows, as the toolkit has always named them.
constexpr char kMenuRootProperty[] = "Ex_DirectUI_Host";    // the root menu window
constexpr char kMenuEventProperty[] = "Ex_DirectUI_Event";  // root: the element it opened for
constexpr char kMenuSubProperty[] = "Ex_DirectUI_Sub";      // the sub-menu window open from it
constexpr char kMenuActiveProperty[] = "Ex_DirectUI_Act";   // the item whose sub-menu is open

// How long the pointer rests on an item before its sub-menu opens or another one closes.
constexpr UINT kMenuDelayMs = 300;
// The row of a separator.
constexpr std::int32_t kSeparatorRowHeight = 3;

// One item of a popup menu.
struct MenuItemRecord {
    ByteArray text;  // UTF-16 with its terminator; "&" marks the access key
    ByteArray icon;  // picture bytes, drawn at the left
    std::int32_t state = kMenuItemNormal;
    // kMenuItemKindItem, kMenuItemKindSeparator, or the address of the PopupMenu opened as
    // sub-menu.
    std::uint32_t kind = kMenuItemKindItem;
    bool sendCommand = false;   // choosing sends WM_COMMAND instead of calling a routine
    std::uint32_t command = 0;  // the command id, or the routine's address
    std::uint32_t owner = 0;    // passed first to the routine when not 0
    Gdiplus::ARGB textColour = 0xFF000000;
    std::int32_t iconLeft = 0;  // 0: the theme's "left_icon"
    std::int32_t textLeft = 0;  // 0: the theme's "left_text"
};

// The sub-menu of a record, or null for an ordinary item or a separator.
PopupMenu* SubMenuOf(const MenuItemRecord& record);

// The string format of captions, for painting and measuring alike: one line, trimmed with an
// ellipsis character, the access key underlined. The caller deletes it.
Gdiplus::GpStringFormat* CreateMenuCaptionFormat();

class MenuItem : public Element {
public:
    MenuItem() = default;

    // Slot 0 frees the record and the string format; slot 1 copies them deeply.
    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91: the row on a menu window; the record must be set first (slot 92).
    virtual ElementHandle CreateMenuItem(HWND window, std::int32_t x, std::int32_t y,
                                         std::int32_t width, std::int32_t height);
    // Slot 92: replaces the record by a copy of the given one.
    virtual void SetMenuItem(const MenuItemRecord& record);
    // Slot 93: paints the row; state kButtonHover (128) draws it hovered.
    virtual void PaintMenuItem(std::int32_t state);

    const MenuItemRecord* Record() const { return m_record; }

private:
    void OnPointerEnter();
    void OnPointerLeave();
    void OnClick();

    MenuItemRecord* m_record = nullptr;
    Gdiplus::GpStringFormat* m_format = nullptr;
};

// The menu item named by an element handle, or null when the element is not one.
MenuItem* MenuItemFromHandle(ElementHandle handle);

}  // namespace toolkit
