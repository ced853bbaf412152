// ComboBox in a toolkit host window: the item list and its index checks, the chosen index, the
// modal drop-down closed by Escape or by a row click, and the editable mode's Edit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "controls/ComboBox.h"
#include "core/ElementEvents.h"
#include "foundation/CallAddress.h"

namespace combo_test {
namespace {

using namespace toolkit;
using host_test::TestWindow;

constexpr int kWidth = 120;
constexpr int kHeight = 24;
// How often the test's timer looks for the open drop-down, and when the watchdog gives up.
constexpr UINT kActAfterMs = 150;
constexpr UINT kWatchdogMs = 5000;
constexpr std::int32_t kRowToPick = 2;
constexpr int kManyItems = 40;

std::vector<std::uint32_t> g_events;  // notification codes in order
std::uint32_t g_chosenIndex = 0;

std::uint32_t __stdcall OnSelection(std::uint32_t, std::uint32_t index) {
    g_events.push_back(kComboSelectionChanged);
    g_chosenIndex = index;
    return 0;
}
std::uint32_t __stdcall OnDrop(std::uint32_t) {
    g_events.push_back(kComboDropDown);
    return 0;
}
std::uint32_t __stdcall OnClose(std::uint32_t) {
    g_events.push_back(kComboCloseUp);
    return 0;
}

// What the timer does once the drop-down is open.
enum class Action { kEscape, kPickRow };
ComboBox* g_combo = nullptr;
Action g_action = Action::kEscape;
bool g_wasOpen = false;
std::int32_t g_listRows = 0;
int g_dropDownHeight = 0;
RECT g_dropDownRect{};
bool g_watchdogFired = false;

void CALLBACK ActOnDropDown(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND window = g_combo->DropDownWindow();
    ListBox* list = g_combo->DropDownList();
    if (window == nullptr || list == nullptr) {
        return;  // not open yet: the timer looks again
    }
    KillTimer(nullptr, id);
    g_wasOpen = IsWindowVisible(window) != FALSE;
    g_listRows = list->ItemCount();
    GetWindowRect(window, &g_dropDownRect);
    g_dropDownHeight = g_dropDownRect.bottom - g_dropDownRect.top;
    if (g_action == Action::kEscape) {
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    const std::int32_t row = list->RowHeight();
    const LPARAM point =
        MAKELPARAM(static_cast<int>(list->ListRect().X) + row,
                   static_cast<int>(list->ListRect().Y) + (kRowToPick - 1) * row + row / 2);
    CallElementProc(list->GetElementHandle(), WM_MOUSEMOVE, 0, point);
    CallElementProc(list->GetElementHandle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    CallElementProc(list->GetElementHandle(), WM_LBUTTONUP, 0, point);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_combo->DropDownWindow() != nullptr) {
        g_watchdogFired = true;
        PostMessageW(g_combo->DropDownWindow(), WM_CLOSE, 0, 0);
    }
}

class ComboBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        g_chosenIndex = 0;
        g_wasOpen = false;
        g_listRows = 0;
        g_dropDownHeight = 0;
        g_dropDownRect = {};
        g_watchdogFired = false;
        g_combo = &m_combo;
        m_host.Show();
    }
    void TearDown() override {
        if (m_combo.IsElementAlive()) {
            m_combo.DestroyElement();
        }
    }
    void Create(std::vector<std::string> items, std::int32_t editable = 0,
                std::int32_t selected = 0, int top = 0) {
        ComboBoxCreateOptions options;
        options.items = std::move(items);
        options.editable = editable;
        options.selectedIndex = selected;
        ASSERT_NE(m_combo.Create(m_host.Parent(), 0, top, kWidth, kHeight, "", options), 0u);
        m_combo.OnSelectionChanged(AddressOf(&OnSelection), 0);
        m_combo.OnDropDown(AddressOf(&OnDrop), 0);
        m_combo.OnCloseUp(AddressOf(&OnClose), 0);
    }
    // Presses the drop button; returns once the drop-down has closed again.
    void OpenDropDown(Action action) {
        g_action = action;
        const UINT_PTR act = SetTimer(nullptr, 0, kActAfterMs, &ActOnDropDown);
        const UINT_PTR watchdog = SetTimer(nullptr, 0, kWatchdogMs, &Watchdog);
        CallElementProc(m_combo.GetElementHandle(), WM_LBUTTONDOWN, MK_LBUTTON,
                        MAKELPARAM(kWidth - 2, kHeight / 2));
        // Neither timer may outlive the drop-down: a later test's drop-down would meet them.
        KillTimer(nullptr, act);
        KillTimer(nullptr, watchdog);
        EXPECT_FALSE(g_watchdogFired);
        EXPECT_TRUE(g_wasOpen);
        EXPECT_FALSE(m_combo.IsDroppedDown());
        EXPECT_EQ(m_combo.DropDownWindow(), nullptr);
    }

    ComboBox m_combo;
    TestWindow m_host;
};

TEST_F(ComboBoxes, ItemOperationsCheckTheirIndexes) {
    Create({"a", "b", "c"});
    const std::int32_t count = m_combo.ItemCount();
    for (const std::int32_t bad : {0, -1, count + 1}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(m_combo.ItemText(bad), "");
        EXPECT_EQ(m_combo.ItemData(bad), 0);
        EXPECT_FALSE(m_combo.SetItemData(bad, 1));
        EXPECT_FALSE(m_combo.SetItemText(bad, "x"));
        EXPECT_FALSE(m_combo.InsertItem(bad, "x"));
        EXPECT_FALSE(m_combo.DeleteItem(bad));
        EXPECT_EQ(m_combo.SelectedIndex(bad), 0);
    }
    EXPECT_EQ(m_combo.ItemCount(), count);
    EXPECT_EQ(m_combo.Text(), "");

    constexpr std::int32_t kData = 77;
    EXPECT_EQ(m_combo.AddItem("d", kData), count + 1);
    EXPECT_EQ(m_combo.ItemData(count + 1), kData);
    EXPECT_TRUE(m_combo.InsertItem(1, "first"));
    EXPECT_EQ(m_combo.ItemText(1), "first");
    EXPECT_EQ(m_combo.ItemText(2), "a");
}

TEST_F(ComboBoxes, SelectionFollowsEditsOfTheList) {
    Create({"a", "b", "c", "d"});
    // Set by code: the text follows, no notification.
    EXPECT_EQ(m_combo.SelectedIndex(3), 3);
    EXPECT_EQ(m_combo.Text(), "c");
    EXPECT_TRUE(g_events.empty());

    EXPECT_TRUE(m_combo.SetItemText(3, "C"));
    EXPECT_EQ(m_combo.Text(), "C");
    // An item before the chosen one goes or comes, or one comes at its place: the same item
    // stays chosen.
    EXPECT_TRUE(m_combo.DeleteItem(1));  // b C d
    EXPECT_EQ(m_combo.SelectedIndex(), 2);
    EXPECT_TRUE(m_combo.InsertItem(1, "z"));  // z b C d
    EXPECT_EQ(m_combo.SelectedIndex(), 3);
    EXPECT_TRUE(m_combo.InsertItem(3, "y"));  // z b y C d
    EXPECT_EQ(m_combo.SelectedIndex(), 4);
    // An item after it comes or goes: nothing moves.
    EXPECT_TRUE(m_combo.InsertItem(5, "e"));  // z b y C e d
    EXPECT_EQ(m_combo.SelectedIndex(), 4);
    EXPECT_TRUE(m_combo.DeleteItem(5));  // z b y C d
    EXPECT_EQ(m_combo.SelectedIndex(), 4);
    EXPECT_EQ(m_combo.Text(), "C");
    // The chosen item goes: the one before it is chosen, also when it was the last.
    EXPECT_TRUE(m_combo.DeleteItem(4));  // z b y d
    EXPECT_EQ(m_combo.SelectedIndex(), 3);
    EXPECT_EQ(m_combo.Text(), "y");
    EXPECT_TRUE(m_combo.DeleteItem(m_combo.ItemCount()));  // z b y
    EXPECT_EQ(m_combo.SelectedIndex(), 3);
    EXPECT_TRUE(m_combo.DeleteItem(3));  // z b
    EXPECT_EQ(m_combo.SelectedIndex(), 2);
    EXPECT_EQ(m_combo.Text(), "b");
    // The first item goes while chosen: none is chosen.
    EXPECT_TRUE(m_combo.DeleteItem(1));  // b
    EXPECT_EQ(m_combo.SelectedIndex(), 1);
    EXPECT_TRUE(m_combo.DeleteItem(1));
    EXPECT_EQ(m_combo.SelectedIndex(), 0);

    m_combo.Clear();
    EXPECT_EQ(m_combo.ItemCount(), 0);
    EXPECT_EQ(m_combo.SelectedIndex(), 0);
    EXPECT_EQ(m_combo.Text(), "");
    EXPECT_TRUE(g_events.empty());
}

TEST_F(ComboBoxes, EmptyDropDownClosesOnEscapeWithoutChoice) {
    Create({});
    OpenDropDown(Action::kEscape);
    EXPECT_EQ(g_listRows, 0);
    EXPECT_EQ(g_events, (std::vector<std::uint32_t>{kComboDropDown, kComboCloseUp}));
    EXPECT_EQ(m_combo.SelectedIndex(), 0);
}

// The drop-down grows by one row an item, up to its cap, where the list scrolls instead.
TEST_F(ComboBoxes, DropDownHeightFollowsTheItemsUpToItsCap) {
    Create({"one"});
    OpenDropDown(Action::kEscape);
    const int oneRow = g_dropDownHeight;
    m_combo.DestroyElement();
    Create({"one", "two"});
    OpenDropDown(Action::kEscape);
    const int twoRows = g_dropDownHeight;
    EXPECT_GT(oneRow, 0);
    EXPECT_LT(oneRow, twoRows);
    EXPECT_LT(twoRows, kComboDropDownMaxHeight);
    m_combo.DestroyElement();

    Create(std::vector<std::string>(kManyItems, "item"));
    OpenDropDown(Action::kEscape);
    EXPECT_EQ(g_dropDownHeight, kComboDropDownMaxHeight);
    EXPECT_EQ(g_listRows, kManyItems) << "every item has its row; the list scrolls";
}

// The drop-down opens below the ComboBox, or above it where below would pass the work area.
TEST_F(ComboBoxes, DropDownOpensAboveNearTheBottomOfTheWorkArea) {
    const std::vector<std::string> items{"one", "two", "three"};
    const int top = host_test::kWindowHeight - kHeight;
    Create(items, 0, 0, top);
    RECT host{};
    GetWindowRect(m_host.Window(), &host);
    OpenDropDown(Action::kEscape);
    EXPECT_GE(g_dropDownRect.top, host.top + m_combo.m_windowTop + kHeight) << "below";

    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    SetWindowPos(m_host.Window(), nullptr, host.left, workArea.bottom - host_test::kWindowHeight, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(m_host.Window(), &host);
    OpenDropDown(Action::kEscape);
    EXPECT_LE(g_dropDownRect.bottom, host.top + m_combo.m_windowTop) << "above";
    EXPECT_GT(g_dropDownRect.bottom, g_dropDownRect.top);
}

TEST_F(ComboBoxes, RowClickChoosesAndNotifies) {
    Create({"one", "two", "three"});
    OpenDropDown(Action::kPickRow);
    EXPECT_EQ(g_listRows, 3);
    EXPECT_EQ(g_events,
              (std::vector<std::uint32_t>{kComboDropDown, kComboCloseUp, kComboSelectionChanged}));
    EXPECT_EQ(g_chosenIndex, static_cast<std::uint32_t>(kRowToPick));
    EXPECT_EQ(m_combo.SelectedIndex(), kRowToPick);
    EXPECT_EQ(m_combo.Text(), "two");
}

TEST_F(ComboBoxes, EditableModeKeepsTheTextInItsEdit) {
    Create({"one", "two"}, 1, 1);
    ASSERT_NE(m_combo.EditHandle(), 0u);
    EXPECT_EQ(m_combo.Text(), "one");
    m_combo.Text(std::string("typed"));
    EXPECT_EQ(m_combo.Text(), "typed");

    OpenDropDown(Action::kPickRow);
    EXPECT_EQ(m_combo.Text(), "two");

    // Leaving editable mode shows the display text again and hands out no Edit.
    m_combo.Editable(0);
    EXPECT_EQ(m_combo.EditHandle(), 0u);
    EXPECT_EQ(m_combo.Text(), "two");
}

}  // namespace
}  // namespace combo_test
