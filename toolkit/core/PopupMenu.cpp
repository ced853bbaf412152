#include "core/PopupMenu.h"

#include <algorithm>
#include <memory>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/HostWindow.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/EngineInit.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

// A row is the default font's height plus this much.
constexpr std::int32_t kRowPadding = 11;
// The automatic width makes room for sub-menu arrows, or gives that room back.
constexpr std::int32_t kArrowAllowance = 5;
constexpr std::int32_t kExtraWindowHeight = 2;
// Rows start one pixel inside the body and leave one pixel on each side.
constexpr std::int32_t kRowInset = 1;
constexpr std::int32_t kMenuAlpha = 255;
constexpr DWORD kMenuStyle = WS_POPUP;
constexpr DWORD kMenuExtendedStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
static_assert(kMenuExtendedStyle == 0x88, "menu windows are topmost tool windows");

std::uint32_t Word(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

template <typename Routine>
std::uint32_t RoutineAddress(Routine routine) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(routine));
}

HANDLE PropertyValue(std::uint32_t value) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

std::uint32_t GetPropWord(HWND window, const char* name) {
    return Word(GetPropA(window, name));
}

// A kind given to the add and action operations: the two plain kinds as they are, else the
// address of a variable holding the sub-menu.
std::uint32_t ResolveKind(std::uint32_t value) {
    if (value == kMenuItemKindItem || value == kMenuItemKindSeparator) {
        return value;
    }
    const std::uint32_t menu = ReadInt32Checked(value);
    return menu != 0 ? menu : kMenuItemKindItem;
}

// The routines a menu window calls with the address of the cell holding the menu.
std::uint32_t __stdcall MenuHookThunk(std::uint32_t cell, HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
    auto* menu = reinterpret_cast<PopupMenu*>(static_cast<std::uintptr_t>(ReadInt32Checked(cell)));
    return menu != nullptr
               ? static_cast<std::uint32_t>(menu->MenuWindowHook(window, message, wParam, lParam))
               : 0;
}

std::uint32_t __stdcall MenuPaintThunk(std::uint32_t cell, HWND window,
                                       Gdiplus::GpGraphics* graphics, std::int32_t width,
                                       std::int32_t height) {
    auto* menu = reinterpret_cast<PopupMenu*>(static_cast<std::uintptr_t>(ReadInt32Checked(cell)));
    if (menu != nullptr) {
        menu->PaintMenuBackground(window, graphics, width, height);
    }
    return 0;
}

// The menu window and its rows, freed together once the window is gone.
struct MenuWindowObjects {
    std::unique_ptr<HostWindow> host;
    std::vector<std::unique_ptr<MenuItem>> items;

    ~MenuWindowObjects() {
        for (auto& item : items) {
            item->FreeMembers();
        }
        if (host) {
            host->FreeMembers();
        }
    }
};

// Installs the builder of the edit box's menu before InitUiEngine can run.
[[maybe_unused]] const bool kEditMenuBuilderInstalled = [] {
    SetEditMenuBuilder(&BuildEditBoxMenu);
    return true;
}();

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

PopupMenu::PopupMenu(const PopupMenu& other)
    : m_self(nullptr),
      m_colour(other.m_colour),
      m_items(other.m_items),
      m_width(other.m_width),
      m_showRoutine(other.m_showRoutine),
      m_showOwner(other.m_showOwner),
      m_paintRoutine(other.m_paintRoutine),
      m_paintOwner(other.m_paintOwner) {}

void PopupMenu::FreeMembers() {
    m_items.clear();
}

std::uint32_t PopupMenu::Clone() {
    return Word(new PopupMenu(*this));
}

PopupMenu* PopupMenu::GetSelf() {
    return this;
}

std::uint32_t PopupMenu::PopupMenuAt(HWND ownerWindow, ElementHandle ownerElement, std::int32_t x,
                                     std::int32_t y, bool root) {
    return ShowPopupMenu(ownerWindow, ownerElement, x, y, root);
}

// ---- Showing ------------------------------------------------------------------------------------

std::uint32_t PopupMenu::ShowPopupMenu(HWND ownerWindow, ElementHandle ownerElement,
                                       std::optional<std::int32_t> givenX,
                                       std::optional<std::int32_t> givenY,
                                       std::optional<bool> givenRoot) {
    HostWindow* owner = HostWindowFromWindow(ownerWindow);
    if (owner == nullptr) {
        return 0;
    }
    const bool root = givenRoot.value_or(true);
    const auto activeItem =
        static_cast<ElementHandle>(GetPropWord(ownerWindow, kMenuActiveProperty));
    if (!root && activeItem == 0) {
        return 0;
    }
    if (m_self == nullptr) {
        m_self = this;
    }
    if (root) {
        SetForegroundWindow(ownerWindow);
    }

    // Theme values: the owner element's host is the owner window, so its theme serves both.
    const std::uint32_t theme = owner->theme;
    ThemeRect margin{};
    GetThemeRect(theme, kMenuSection, kMenuKeyMargin, &margin);
    const std::int32_t textLeft = GetThemeInteger(theme, kMenuSection, kMenuKeyTextLeft);

    // Rows and the window size.
    Gdiplus::GpFont* font = Toolkit().defaultFont;
    Gdiplus::GpGraphics* measure = owner->frameGraphics;
    float fontHeight = 0.0f;
    gp::GdipGetFontHeight(font, measure, &fontHeight);
    const std::int32_t rowHeight = static_cast<std::int32_t>(fontHeight) + kRowPadding;
    Gdiplus::GpStringFormat* format = CreateMenuCaptionFormat();
    std::int32_t widest = 0;
    std::int32_t rowsHeight = 0;
    bool anySubMenu = false;
    for (const MenuItemRecord& record : m_items) {
        if ((record.state & kMenuItemHiddenRow) != 0) {
            continue;
        }
        if (record.kind == kMenuItemKindSeparator) {
            rowsHeight += kSeparatorRowHeight;
            continue;
        }
        rowsHeight += rowHeight;
        anySubMenu = anySubMenu || SubMenuOf(record) != nullptr;
        if (m_width == 0 && !record.text.empty() && font != nullptr && measure != nullptr) {
            const Gdiplus::RectF layout(0.0f, 0.0f, 0.0f, 0.0f);
            Gdiplus::RectF bounds;
            if (gp::GdipMeasureString(measure, reinterpret_cast<const wchar_t*>(record.text.data()),
                                      -1, font, &layout, format, &bounds, nullptr,
                                      nullptr) == Gdiplus::Ok) {
                widest = std::max(widest, static_cast<std::int32_t>(bounds.Width));
            }
        }
    }
    DeleteStringFormat(format);
    std::int32_t width = m_width;
    if (width == 0) {
        width = widest + 2 * textLeft + margin.v[0] - margin.v[2] +
                (anySubMenu ? kArrowAllowance : -kArrowAllowance);
    } else if (width < kMinimumMenuWidth) {
        width = kMinimumMenuWidth;
    }
    const std::int32_t height = rowsHeight + margin.v[1] - margin.v[3] + kExtraWindowHeight;

    // Position.
    const WorkArea work = GetWorkArea();
    std::int32_t x = givenX.value_or(0);
    std::int32_t y = givenY.value_or(0);
    if (root) {
        if (x == 0 && y == 0) {
            POINT cursor{};
            GetCursorPos(&cursor);
            x = cursor.x;
            y = cursor.y;
            if (x + width > work.width) {
                x -= width;
            }
            if (y + height > work.height) {
                y -= height;
            }
        }
    } else {
        RECT parent{};
        GetWindowRect(ownerWindow, &parent);
        const auto itemTop = static_cast<std::int32_t>(ReadElementField(activeItem, kFieldTop));
        const auto itemBottom =
            static_cast<std::int32_t>(ReadElementField(activeItem, kFieldWindowBottom));
        x = parent.right + margin.v[2] + 1;
        y = parent.top + itemTop - 1;
        if (x + width > work.left + work.width) {
            x = parent.left - width - margin.v[2] - 1;
        }
        if (y + height > work.top + work.height) {
            y = parent.top + itemBottom - height;
        }
    }

    // The window, its properties and its host.
    ToolkitWindowOptions placement;
    placement.parent = ownerWindow;
    placement.x = x;
    placement.y = y;
    placement.width = width;
    placement.height = height;
    placement.style = kMenuStyle;
    placement.extendedStyle = kMenuExtendedStyle;
    const HWND window = CreateToolkitWindow(placement);
    if (window == nullptr) {
        return 0;
    }
    SetPropA(window, kWindowFlagsProperty, PropertyValue(1));
    if (root) {
        SetPropA(window, kMenuRootProperty, window);
        SetPropA(window, kMenuEventProperty, PropertyValue(ownerElement));
    } else {
        SetPropA(ownerWindow, kMenuSubProperty, window);
        SetPropA(window, kMenuRootProperty, GetPropA(ownerWindow, kMenuRootProperty));
    }

    MenuWindowObjects objects;
    objects.host = std::make_unique<HostWindow>();
    HostWindow& host = *objects.host;
    HostAttachOptions attach;
    attach.parent = ownerWindow;
    attach.captionFlags = 0;
    attach.layeredAlpha = kMenuAlpha;
    if (m_colour != 0) {
        attach.backgroundColour = m_colour;
    }
    if (!host.AttachWindow(window, attach)) {
        DestroyWindow(window);
        return 0;
    }
    // The window's routines find this menu through the cell the host keeps the value in.
    const std::uint32_t self = Word(this);
    if (m_paintRoutine != 0) {
        host.SetPaintRoutine(m_paintRoutine, &m_paintOwner);
    } else {
        host.SetPaintRoutine(RoutineAddress(&MenuPaintThunk), &self);
    }
    host.SetMessageHook(RoutineAddress(&MenuHookThunk), &self);
    host.SetShadowMargins(margin.v[0], margin.v[1], margin.v[2], margin.v[3]);

    // One row per item that has one.
    const std::int32_t rowWidth = width - margin.v[0] + margin.v[2] - 2 * kRowInset;
    std::int32_t rowTop = kRowInset;
    for (const MenuItemRecord& record : m_items) {
        if ((record.state & kMenuItemHiddenRow) != 0) {
            continue;
        }
        const std::int32_t rowSize =
            record.kind == kMenuItemKindSeparator ? kSeparatorRowHeight : rowHeight;
        objects.items.push_back(std::make_unique<MenuItem>());
        MenuItem& item = *objects.items.back();
        item.SetMenuItem(record);
        if (item.CreateMenuItem(window, kRowInset, rowTop, rowWidth, rowSize) != 0 &&
            (record.state & kMenuItemDisabled) != 0) {
            item.ElementDisabled(true);
        }
        rowTop += rowSize;
    }

    if (m_showRoutine != 0) {
        CallAddress(m_showRoutine,
                    {CallArg(m_showOwner, m_showOwner != 0), Word(window), root ? 1u : 0u});
    }
    if (IsWindow(window)) {
        host.ShowHostWindow({});
        RunMessageLoop(window);
    }
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
    return 1;
}

// ---- Window routines ----------------------------------------------------------------------------

void PopupMenu::PaintMenuBackground(HWND window, Gdiplus::GpGraphics* graphics, std::int32_t width,
                                    std::int32_t height) {
    const HostWindow* host = HostWindowFromWindow(window);
    if (host == nullptr || graphics == nullptr) {
        return;
    }
    gp::GdipResetClip(graphics);
    gp::GdipGraphicsClear(graphics, 0);
    if (GetThemeRectF(host->theme, kMenuSection, kMenuKeyFrameGrid, nullptr)) {
        DrawThemePart(
            host->theme, kMenuSection, graphics,
            Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)),
            kMenuKeyFrame, kMenuKeyFrameGrid);
    }
}

LRESULT PopupMenu::MenuWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // The focus leaving for a window outside the menus closes every level at once.
            if (LOWORD(wParam) == WA_INACTIVE &&
                GetPropA(reinterpret_cast<HWND>(lParam), kMenuRootProperty) == nullptr) {
                PostMessageW(static_cast<HWND>(GetPropA(window, kMenuRootProperty)), WM_CLOSE, 0,
                             0);
            }
            return 0;
        case WM_KEYDOWN:
            // Plain keys act as access keys.
            SendMessageW(window, WM_SYSCHAR, wParam, lParam);
            return 0;
        case WM_DESTROY: {
            // A sub-menu going away on its own is no longer open in its parent.
            const HWND parent = GetParent(window);
            if (parent != nullptr && GetPropA(parent, kMenuSubProperty) == window) {
                RemovePropA(parent, kMenuSubProperty);
                RemovePropA(parent, kMenuActiveProperty);
            }
            RemovePropA(window, kMenuRootProperty);
            RemovePropA(window, kMenuSubProperty);
            RemovePropA(window, kMenuActiveProperty);
            RemovePropA(window, kMenuEventProperty);
            RemovePropA(window, kWindowFlagsProperty);
            return 0;
        }
        case WM_TIMER:
            if (wParam != kTimerMenuDelay) {
                return 0;
            }
            KillTimer(window, kTimerMenuDelay);
            TrackMenuHover(window);
            // Handled: the window may be gone by now, and the timer names no element.
            return 1;
        default:
            return 0;
    }
}

void PopupMenu::TrackMenuHover(HWND window) {
    HostWindow* host = HostWindowFromWindow(window);
    if (host == nullptr) {
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND under = WindowFromPoint(cursor);
    const ElementHandle item =
        under == window ? ElementAtCursor(window, cursor) : static_cast<ElementHandle>(0);
    const auto openSub = static_cast<HWND>(GetPropA(window, kMenuSubProperty));
    const auto openItem = static_cast<ElementHandle>(GetPropWord(window, kMenuActiveProperty));

    if (openSub != nullptr) {
        if (under != window) {
            // The pointer went towards the sub-menu: its item keeps the hover look.
            const ElementHandle before = host->hovered;
            host->hovered = openItem;
            CallElementProc(openItem, kMsgMouseLeave, 0, 0);
            if (before != 0 && before != openItem) {
                CallElementProc(before, kMsgMouseLeave, 0, 0);
            }
        } else if (item == openItem) {
            const auto deeper = static_cast<HWND>(GetPropA(openSub, kMenuSubProperty));
            if (deeper != nullptr) {
                RemovePropA(openSub, kMenuSubProperty);
                RemovePropA(openSub, kMenuActiveProperty);
                SetForegroundWindow(openSub);
                PostMessageW(deeper, WM_CLOSE, 0, 0);
            }
        } else if (item != 0) {
            SetForegroundWindow(window);
            RemovePropA(window, kMenuSubProperty);
            RemovePropA(window, kMenuActiveProperty);
            PostMessageW(openSub, WM_CLOSE, 0, 0);
        }
        return;
    }

    const MenuItem* row = MenuItemFromHandle(item);
    PopupMenu* subMenu =
        row != nullptr && row->Record() != nullptr ? SubMenuOf(*row->Record()) : nullptr;
    if (subMenu == nullptr) {
        return;
    }
    KillTimer(window, kTimerMenuDelay);
    host->hovered = item;
    SetPropA(window, kMenuActiveProperty, PropertyValue(item));
    subMenu->PopupMenuAt(window, item, 0, 0, false);
}

// ---- Items --------------------------------------------------------------------------------------

std::size_t PopupMenu::AddPopupMenuItem(const char* text, const ByteArray& icon, std::int32_t state,
                                        std::optional<std::uint32_t> kindOrSubMenu,
                                        bool sendCommand, std::uint32_t commandOrRoutine,
                                        std::optional<std::uint32_t> owner,
                                        std::optional<Gdiplus::ARGB> textColour,
                                        std::int32_t iconLeft, std::int32_t textLeft) {
    MenuItemRecord record;
    record.text = TextToWide(text);
    record.icon = icon;
    record.state = state;
    record.kind = kindOrSubMenu ? ResolveKind(*kindOrSubMenu) : kMenuItemKindItem;
    record.sendCommand = sendCommand;
    record.command = commandOrRoutine;
    record.owner = owner ? ReadInt32Checked(*owner) : 0;
    if (textColour) {
        record.textColour = *textColour;
    }
    record.iconLeft = iconLeft;
    record.textLeft = textLeft;
    m_items.push_back(std::move(record));
    return m_items.size();
}

bool PopupMenu::RemovePopupMenuItem(std::size_t index) {
    if (!PopupMenuIndexValid(index)) {
        return false;
    }
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index - 1));
    return true;
}

void PopupMenu::ClearPopupMenu() {
    m_items.clear();
}

std::int32_t PopupMenu::PopupMenuItemState(std::size_t index, std::optional<std::int32_t> value) {
    MenuItemRecord* record = ItemAt(index);
    if (record == nullptr) {
        return 0;
    }
    if (value) {
        record->state = *value;
    }
    return record->state;
}

std::string PopupMenu::PopupMenuItemText(std::size_t index, std::optional<const char*> text) {
    if (text) {
        return WideToText(PopupMenuItemTextW(index, TextToWide(*text)));
    }
    return WideToText(PopupMenuItemTextW(index));
}

ByteArray PopupMenu::PopupMenuItemTextW(std::size_t index, std::optional<ByteArray> bytes) {
    MenuItemRecord* record = ItemAt(index);
    if (record == nullptr) {
        return {};
    }
    if (bytes) {
        record->text = std::move(*bytes);
    }
    return record->text;
}

ByteArray PopupMenu::PopupMenuItemIcon(std::size_t index, std::optional<ByteArray> bytes) {
    MenuItemRecord* record = ItemAt(index);
    if (record == nullptr) {
        return {};
    }
    if (bytes) {
        record->icon = std::move(*bytes);
    }
    return record->icon;
}

bool PopupMenu::SetPopupMenuItemAction(std::size_t index,
                                       std::optional<std::uint32_t> kindOrSubMenu,
                                       std::optional<bool> sendCommand,
                                       std::optional<std::uint32_t> commandOrRoutine,
                                       std::optional<std::uint32_t> owner) {
    MenuItemRecord* record = ItemAt(index);
    if (record == nullptr) {
        return false;
    }
    if (kindOrSubMenu) {
        record->kind = ResolveKind(*kindOrSubMenu);
    }
    if (sendCommand) {
        record->sendCommand = *sendCommand;
    }
    if (commandOrRoutine) {
        record->command = *commandOrRoutine;
    }
    if (owner) {
        record->owner = ReadInt32Checked(*owner);
    }
    return true;
}

bool PopupMenu::PopupMenuIndexValid(std::size_t index) {
    return index >= 1 && index <= m_items.size();
}

void PopupMenu::PopupMenuWidth(std::int32_t width) {
    m_width = width;
}

void PopupMenu::PopupMenuColor(Gdiplus::ARGB colour) {
    m_colour = ArgbToRgb(colour);
}

void PopupMenu::BindMenuShowRoutine(std::uint32_t routine, std::optional<std::uint32_t> owner) {
    m_showRoutine = routine;
    m_showOwner = owner.value_or(0);
}

void PopupMenu::BindMenuPaintRoutine(std::uint32_t routine, std::optional<std::uint32_t> owner) {
    m_paintRoutine = routine;
    m_paintOwner = owner.value_or(0);
}

const MenuItemRecord* PopupMenu::Item(std::size_t index) const {
    return index >= 1 && index <= m_items.size() ? &m_items[index - 1] : nullptr;
}

MenuItemRecord* PopupMenu::ItemAt(std::size_t index) {
    return PopupMenuIndexValid(index) ? &m_items[index - 1] : nullptr;
}

// ---- The edit box's menu ------------------------------------------------------------------------

PopupMenu& EditBoxMenu() {
    static PopupMenu menu;
    return menu;
}

void BuildEditBoxMenu(const EditMenuItem* items, std::size_t count) {
    PopupMenu& menu = EditBoxMenu();
    menu.ClearPopupMenu();
    for (std::size_t i = 0; i < count; ++i) {
        const EditMenuItem& item = items[i];
        menu.AddPopupMenuItem(item.text != nullptr ? item.text : "", {},
                              static_cast<std::int32_t>(item.state), item.kind,
                              item.sendCommand != 0, item.command);
    }
}

std::uint32_t ShowPopupMenuObject(std::uint32_t menu, HWND ownerWindow, ElementHandle ownerElement,
                                  std::int32_t x, std::int32_t y, bool root) {
    if (menu == 0 || IsBadReadPtr(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(menu)),
                                  sizeof(PopupMenu))) {
        return 0;
    }
    return reinterpret_cast<PopupMenu*>(static_cast<std::uintptr_t>(menu))
        ->PopupMenuAt(ownerWindow, ownerElement, x, y, root);
}

}  // namespace toolkit
