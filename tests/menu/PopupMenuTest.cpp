// Popup menus under Wine: the window a menu opens and its rows, the sub-menu delay, choosing an
// item, closing every level when the focus leaves, commands to the owner, access keys, the
// edit box's menu built at start-up, and the program's quit passing through the menu loops.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "../host/HostTestSupport.h"
#include "ModalScript.h"
#include "core/ElementMessages.h"
#include "core/MenuItem.h"
#include "core/PopupMenu.h"
#include "foundation/EngineInit.h"
#include "foundation/TextCodec.h"

namespace menu_test {
namespace {

using namespace toolkit;

constexpr std::int32_t kMenuX = 100;
constexpr std::int32_t kMenuY = 120;
constexpr int kQuitCode = 7;
constexpr std::uint32_t kCommandId = 88;
// The timer cannot fire before the delay; allow a tick of slack for the clocks' resolution.
constexpr DWORD kDelaySlackMs = 2 * kTickMs;
// Menu theme values (tools/themes/layout.ini, "SysShadow.Menu" margin).
constexpr std::int32_t kMenuMarginHeight = 4;
constexpr std::int32_t kExtraHeight = 2;
constexpr std::int32_t kNarrowWidth = 30;
constexpr std::int32_t kArrowRoom = 10;
constexpr COLORREF kBlueRgb = 0xFF0000;
constexpr Gdiplus::ARGB kBlueArgb = 0xFF0000FF;

struct Counters {
    int first = 0;
    int inner = 0;
};

// A menu with an ordinary item, a separator, a checked item, a disabled item, a hidden row and
// an item opening a sub-menu of one item.
class MenuFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.Show();
        m_firstOwner = AddressOfVariable(m_counters.first);
        m_innerOwner = AddressOfVariable(m_counters.inner);
        m_subPointer = &m_sub;
        m_sub.AddPopupMenuItem("Inner(&I)", {}, kMenuItemNormal, std::nullopt, false,
                               RoutineAddress(&CountCall), AddressOfVariable(m_innerOwner));
        m_menu.AddPopupMenuItem("First(&F)", {}, kMenuItemNormal, std::nullopt, false,
                                RoutineAddress(&CountCall), AddressOfVariable(m_firstOwner));
        m_menu.AddPopupMenuItem("", {}, kMenuItemNormal, kMenuItemKindSeparator, false, 0);
        m_menu.AddPopupMenuItem("Checked", {}, kMenuItemChecked, std::nullopt, false, 0);
        m_menu.AddPopupMenuItem("Disabled", {}, kMenuItemDisabled, std::nullopt, false, 0);
        m_menu.AddPopupMenuItem("Hidden", {}, kMenuItemHiddenRow, std::nullopt, false, 0);
        m_menu.AddPopupMenuItem("Sub(&S)", {}, kMenuItemNormal, AddressOfVariable(m_subPointer),
                                false, 0);
    }

    // The row showing the menu's item of that (1-based) index among the rows it has.
    static MenuItem* Row(HWND window, std::size_t row) {
        const std::vector<Element*> rows = ChildrenOfType(window, kTypeMenuItem);
        return row - 1 < rows.size() ? static_cast<MenuItem*>(rows[row - 1]) : nullptr;
    }
    static constexpr std::size_t kRowFirst = 1;
    static constexpr std::size_t kRowSeparator = 2;
    static constexpr std::size_t kRowSub = 5;  // the hidden item has no row
    static constexpr std::size_t kRowCount = 5;

    std::uint32_t Show(ModalScript& script) {
        script.Start();
        return m_menu.ShowPopupMenu(m_window.Window(), 0, kMenuX, kMenuY, true);
    }

    host_test::TestWindow m_window;
    PopupMenu m_menu;
    PopupMenu m_sub;
    PopupMenu* m_subPointer = nullptr;
    Counters m_counters;
    std::uint32_t m_firstOwner = 0;
    std::uint32_t m_innerOwner = 0;
};

TEST_F(MenuFixture, OpensAtThePointWithOneRowPerShownItem) {
    std::vector<HWND> seen;
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; }).Then([&] {
        const HWND root = RootMenuWindow();
        seen.push_back(root);
        RECT rect{};
        GetWindowRect(root, &rect);
        EXPECT_EQ(rect.left, kMenuX);
        EXPECT_EQ(rect.top, kMenuY);
        const std::vector<Element*> rows = ChildrenOfType(root, kTypeMenuItem);
        ASSERT_EQ(rows.size(), kRowCount);
        EXPECT_EQ(Row(root, kRowSeparator)->m_height, kSeparatorRowHeight);
        EXPECT_TRUE(Row(root, 4)->IsDisabled());
        const int rowsHeight =
            std::accumulate(rows.begin(), rows.end(), 0,
                            [](int sum, const Element* row) { return sum + row->m_height; });
        EXPECT_EQ(rect.bottom - rect.top, rowsHeight + kMenuMarginHeight + kExtraHeight);
        EXPECT_EQ(GetParent(root), m_window.Window());
        EXPECT_EQ(GetWindowLongW(root, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
                  WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
        PostMessageW(root, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(Show(script), 1u);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(IsWindow(seen.front())) << "the menu window goes with the menu";
    EXPECT_EQ(m_counters.first, 0);
}

TEST_F(MenuFixture, WidthIsStoredOrFitsTheCaptionsWithRoomForArrows) {
    const auto widthOf = [&](PopupMenu& menu) {
        LONG width = 0;
        ModalScript script;
        script.Until([] { return RootMenuWindow() != nullptr; }).Then([&] {
            RECT rect{};
            GetWindowRect(RootMenuWindow(), &rect);
            width = rect.right - rect.left;
            PostMessageW(RootMenuWindow(), WM_CLOSE, 0, 0);
        });
        script.Start();
        menu.ShowPopupMenu(m_window.Window(), 0, kMenuX, kMenuY, true);
        return width;
    };
    PopupMenu plain;
    plain.AddPopupMenuItem("Alpha", {}, 0, std::nullopt, false, 0);
    plain.AddPopupMenuItem("Sub(&S)", {}, 0, std::nullopt, false, 0);
    PopupMenu arrowed;
    arrowed.AddPopupMenuItem("Alpha", {}, 0, std::nullopt, false, 0);
    arrowed.AddPopupMenuItem("Sub(&S)", {}, 0, AddressOfVariable(m_subPointer), false, 0);
    EXPECT_EQ(widthOf(arrowed) - widthOf(plain), kArrowRoom);
    plain.PopupMenuWidth(kNarrowWidth);
    EXPECT_EQ(widthOf(plain), kMinimumMenuWidth);
}

TEST_F(MenuFixture, ClickOnAnItemRunsItsRoutineOnceAndClosesTheMenu) {
    std::vector<HWND> seen;
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; }).Then([&] {
        const HWND root = RootMenuWindow();
        seen.push_back(root);
        PostClickAt(root, CentreInWindow(*Row(root, kRowFirst)));
    });
    EXPECT_EQ(Show(script), 1u);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(m_counters.first, 1);
    EXPECT_FALSE(IsWindow(seen.front()));
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuFixture, RestingOnASubMenuItemOpensItAfterTheDelayAndItsItemClosesEveryLevel) {
    DWORD hoveredAt = 0;
    DWORD openedAt = 0;
    std::vector<HWND> seen;
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; })
        .Then([&] {
            const HWND root = RootMenuWindow();
            seen.push_back(root);
            const POINT screen = CentreOnScreen(root, *Row(root, kRowSub));
            SetCursorPos(screen.x, screen.y);
            const POINT local = CentreInWindow(*Row(root, kRowSub));
            PostMessageW(root, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
            hoveredAt = GetTickCount();
        })
        .Until([&] { return MenuWindows().size() == 2; })
        .Then([&] {
            openedAt = GetTickCount();
            const HWND root = seen.front();
            const HWND sub = MenuWindows().back();
            seen.push_back(sub);
            EXPECT_EQ(GetPropA(root, kMenuSubProperty), sub);
            EXPECT_EQ(GetPropA(sub, kMenuRootProperty), root);
            EXPECT_EQ(reinterpret_cast<ElementHandle>(GetPropA(root, kMenuActiveProperty)),
                      Row(root, kRowSub)->m_handle);
            RECT rootRect{};
            RECT subRect{};
            GetWindowRect(root, &rootRect);
            GetWindowRect(sub, &subRect);
            EXPECT_GT(subRect.left, rootRect.left);
            PostClickAt(sub, CentreInWindow(*Row(sub, 1)));
        });
    EXPECT_EQ(Show(script), 1u);
    EXPECT_TRUE(script.Finished());
    EXPECT_GE(openedAt - hoveredAt + kDelaySlackMs, kMenuDelayMs);
    EXPECT_EQ(m_counters.inner, 1);
    EXPECT_EQ(m_counters.first, 0);
    for (HWND window : seen) {
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(MenuFixture, ActivatingAnotherWindowClosesEveryLevel) {
    host_test::TestWindow other;
    other.Show();
    std::vector<HWND> seen;
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; })
        .Then([&] {
            const HWND root = RootMenuWindow();
            seen.push_back(root);
            // A click opens the sub-menu at once.
            PostClickAt(root, CentreInWindow(*Row(root, kRowSub)));
        })
        .Until([&] { return MenuWindows().size() == 2; })
        .Then([&] {
            seen.push_back(MenuWindows().back());
            SetActiveWindow(other.Window());
            EXPECT_EQ(GetActiveWindow(), other.Window());
        });
    EXPECT_EQ(Show(script), 1u);
    EXPECT_TRUE(script.Finished());
    for (HWND window : seen) {
        EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(m_counters.first + m_counters.inner, 0);
}

TEST_F(MenuFixture, AccessKeyChoosesItsItem) {
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; }).Then([] {
        PostMessageW(RootMenuWindow(), WM_KEYDOWN, 'F', 0);
    });
    EXPECT_EQ(Show(script), 1u);
    EXPECT_EQ(m_counters.first, 1);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuFixture, TabFocusesARowThatIsPaintedAsHoveredAndEnterChoosesIt) {
    m_menu.PopupMenuColor(kBlueArgb);
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; })
        .Then([] { PostMessageW(RootMenuWindow(), WM_KEYDOWN, VK_TAB, 0); })
        .Until([&] {
            const HWND root = RootMenuWindow();
            return HostWindowFromWindow(root)->focused == Row(root, kRowFirst)->m_handle;
        })
        .Then([&] {
            const HWND root = RootMenuWindow();
            const MenuItem* row = Row(root, kRowFirst);
            EXPECT_NE(row->m_state & kStateFocused, 0u);
            EXPECT_NE(HostWindowFromWindow(root)->hovered, row->m_handle);
            const auto* pixels = static_cast<const std::uint32_t*>(row->m_canvasBits);
            GdiFlush();
            const std::uint32_t pixel = pixels[(row->m_height / 2) * row->m_width + 1];
            EXPECT_GT(host_test::Blue(pixel), host_test::Red(pixel));
            EXPECT_GT(host_test::Alpha(pixel), 0u);
            PostMessageW(root, WM_KEYDOWN, VK_RETURN, 0);
        });
    EXPECT_EQ(Show(script), 1u);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(m_counters.first, 1);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuFixture, HoveredRowIsFilledWithTheMenuColour) {
    m_menu.PopupMenuColor(kBlueArgb);
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; })
        .Then([&] {
            const HWND root = RootMenuWindow();
            EXPECT_EQ(HostWindowFromWindow(root)->backgroundColour, kBlueRgb);
            const POINT local = CentreInWindow(*Row(root, kRowFirst));
            PostMessageW(root, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
        })
        .Until([&] {
            const HWND root = RootMenuWindow();
            return HostWindowFromWindow(root)->hovered == Row(root, kRowFirst)->m_handle;
        })
        .Then([&] {
            const HWND root = RootMenuWindow();
            const MenuItem* row = Row(root, kRowFirst);
            // Left of the caption, where only the hover fill is.
            const auto* pixels = static_cast<const std::uint32_t*>(row->m_canvasBits);
            GdiFlush();
            const std::uint32_t pixel = pixels[(row->m_height / 2) * row->m_width + 1];
            EXPECT_GT(host_test::Blue(pixel), host_test::Red(pixel));
            EXPECT_GT(host_test::Alpha(pixel), 0u);
            PostMessageW(root, WM_CLOSE, 0, 0);
        });
    Show(script);
    EXPECT_TRUE(script.Finished());
}

TEST_F(MenuFixture, QuitEndsEveryLevelAndIsPostedAgain) {
    std::vector<HWND> seen;
    ModalScript script;
    script.Until([] { return RootMenuWindow() != nullptr; })
        .Then([&] {
            seen.push_back(RootMenuWindow());
            PostClickAt(RootMenuWindow(), CentreInWindow(*Row(RootMenuWindow(), kRowSub)));
        })
        .Until([&] { return MenuWindows().size() == 2; })
        .Then([&] {
            seen.push_back(MenuWindows().back());
            PostQuitMessage(kQuitCode);
        });
    EXPECT_EQ(Show(script), 1u);
    for (HWND window : seen) {
        EXPECT_FALSE(IsWindow(window));
    }
    WPARAM code = 0;
    ASSERT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(code, static_cast<WPARAM>(kQuitCode));
}

// ---- Commands to the owner ----------------------------------------------------------------------

int g_windowCommands = 0;
WPARAM g_lastCommand = 0;

std::uint32_t __stdcall RecordCommand(std::uint32_t, HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        ++g_windowCommands;
        g_lastCommand = wParam;
    }
    return 0;
}

TEST(MenuCommand, GoesToTheElementItOpenedForElseToTheOwnerWindow) {
    host_test::TestWindow window;
    std::vector<host_test::SeenMessage> log;
    host_test::ProbeElement probe(0xFF00FF00, &log);
    constexpr int kProbePlace = 40;
    probe.Create(window.Parent(), kProbePlace, kProbePlace, kProbePlace, kProbePlace);
    const std::uint32_t hookValue = 1;
    window.Host().SetMessageHook(RoutineAddress(&RecordCommand), &hookValue);
    window.Show();
    PopupMenu menu;
    menu.AddPopupMenuItem("Command", {}, 0, std::nullopt, true, kCommandId);

    const auto chooseFirst = [](ModalScript& script) {
        script.Until([] { return RootMenuWindow() != nullptr; }).Then([] {
            const HWND root = RootMenuWindow();
            PostClickAt(root, CentreInWindow(*ChildrenOfType(root, kTypeMenuItem).front()));
        });
        script.Start();
    };
    ModalScript onElement;
    chooseFirst(onElement);
    EXPECT_EQ(probe.ShowElementPopupMenu(AddressOfVariable(menu), kMenuX, kMenuY), 1u);
    EXPECT_EQ(probe.Seen(WM_COMMAND), 1);
    EXPECT_EQ(g_windowCommands, 0);

    ModalScript onWindow;
    chooseFirst(onWindow);
    EXPECT_EQ(window.Host().ShowMenuAtPoint(AddressOfVariable(menu), kMenuX, kMenuY), 1u);
    EXPECT_EQ(g_windowCommands, 1);
    EXPECT_EQ(g_lastCommand, kCommandId);
    EXPECT_EQ(probe.Seen(WM_COMMAND), 1);
}

// ---- The edit box's menu ------------------------------------------------------------------------

TEST(EditBoxMenu, IsBuiltAtStartUpAndRebuiltWithoutDoubling) {
    const auto check = [] {
        const PopupMenu& menu = EditBoxMenu();
        ASSERT_EQ(menu.ItemCount(), kEditMenuItemCount);
        for (std::size_t i = 0; i < kEditMenuItemCount; ++i) {
            SCOPED_TRACE(i);
            const EditMenuItem& expected = kEditMenuItems[i];
            const MenuItemRecord* item = menu.Item(i + 1);
            EXPECT_EQ(WideToText(item->text), expected.text != nullptr ? expected.text : "");
            EXPECT_EQ(item->state, static_cast<std::int32_t>(expected.state));
            EXPECT_EQ(item->kind, expected.kind);
            EXPECT_EQ(item->sendCommand, expected.sendCommand != 0);
            EXPECT_EQ(item->command, expected.command);
        }
    };
    check();
    BuildEditBoxMenu(kEditMenuItems, kEditMenuItemCount);
    check();
}

TEST(PopupMenuItems, InvalidIndexesChangeNothing) {
    PopupMenu menu;
    menu.AddPopupMenuItem("One", {}, 0, std::nullopt, false, 0);
    for (std::size_t index : {std::size_t{0}, std::size_t{2}}) {
        EXPECT_FALSE(menu.PopupMenuIndexValid(index));
        EXPECT_EQ(menu.PopupMenuItemState(index, kMenuItemDisabled), 0);
        EXPECT_EQ(menu.PopupMenuItemText(index, "x"), "");
        EXPECT_FALSE(menu.RemovePopupMenuItem(index));
    }
    EXPECT_EQ(menu.PopupMenuItemText(1), "One");
    EXPECT_EQ(menu.PopupMenuItemState(1), 0);
    EXPECT_TRUE(menu.RemovePopupMenuItem(1));
    EXPECT_EQ(menu.ItemCount(), 0u);
}

}  // namespace
}  // namespace menu_test
