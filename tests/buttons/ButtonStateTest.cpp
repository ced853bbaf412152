// Visual states of every button class under enter, press, release and leave, the check and radio
// states under clicks, and what a bound click routine sees.
#include <gtest/gtest.h>

#include <vector>

#include "ButtonsTestSupport.h"
#include "CoreTestSupport.h"
#include "controls/Button.h"
#include "controls/CheckButton.h"
#include "controls/ImageButton.h"
#include "controls/ImageListButton.h"
#include "controls/RadioButton.h"
#include "controls/ThunderButton.h"
#include "core/ElementEvents.h"
#include "foundation/CallAddress.h"
#include "foundation/ControlClasses.h"

namespace buttons_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kRowStep = 30;

ElementHandle CreateAt(Button& button, TestHost& host, int row, std::uint32_t parent = 0) {
    return button.CreateButton(parent != 0 ? parent : host.Parent(), 0, row * kRowStep,
                               kButtonWidth, kButtonHeight, "&Go");
}

// Each class retags itself on WM_CREATE and paints the states of Button.
TEST(ButtonStates, EveryClassFollowsEnterPressReleaseLeave) {
    Button button;
    CheckButton check;
    RadioButton radio;
    ImageButton image;
    ThunderButton thunder;
    ImageListButton strip;
    TestHost host;
    struct ClassCase {
        Button* object;
        const char* name;
        std::int32_t typeId;
    } const classes[] = {
        {&button, kClassButton, kTypeButton},
        {&check, kClassCheckButton, kTypeCheckButton},
        {&radio, kClassRadioButton, kTypeRadioButton},
        {&image, kClassImageButton, kTypeImageButton},
        {&thunder, kClassThunderButton, kTypeThunderButton},
        {&strip, kClassImageListButton, kTypeImageListButton},
    };
    struct Step {
        void (*send)(ElementHandle);
        std::int32_t state;
    };
    const Step steps[] = {{Enter, kButtonHover},   {Press, kButtonPressed}, {Release, kButtonHover},
                          {Press, kButtonPressed}, {Leave, kButtonNormal},  {Enter, kButtonHover},
                          {Leave, kButtonNormal}};
    int row = 0;
    for (const ClassCase& c : classes) {
        const ElementHandle handle = CreateAt(*c.object, host, row++);
        ASSERT_NE(handle, 0u) << c.name;
        EXPECT_EQ(c.object->m_classTypeId, static_cast<std::int32_t>(c.typeId)) << c.name;
        EXPECT_STRCASEEQ(c.object->ElementClassName().c_str(), c.name);
        EXPECT_EQ(c.object->VisualState(), kButtonNormal) << c.name;
        for (const Step& step : steps) {
            step.send(handle);
            EXPECT_EQ(c.object->VisualState(), step.state) << c.name;
        }
    }
}

TEST(ButtonStates, FocusLossReturnsAPlainButtonToNormal) {
    Button button;
    TestHost host;
    const ElementHandle handle = CreateAt(button, host, 0);
    Enter(handle);
    CallElementProc(handle, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(button.VisualState(), kButtonNormal);
}

// What the click routines saw, in order.
std::vector<bool> g_seenChecked;
CheckButton* g_checkButton = nullptr;
std::vector<RadioButton*> g_radios;

std::uint32_t __stdcall OnCheckClick(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
    g_seenChecked.push_back(g_checkButton->CheckButtonChecked());
    return 0;
}

std::uint32_t __stdcall OnRadioClick(std::uint32_t handle, std::uint32_t, std::uint32_t,
                                     std::uint32_t) {
    for (RadioButton* radio : g_radios) {
        if (radio->m_handle == handle) {
            g_seenChecked.push_back(radio->RadioButtonChecked());
        }
    }
    return 0;
}

TEST(CheckButtonClicks, ToggleOncePerClickBeforeTheRoutineRuns) {
    CheckButton check;
    TestHost host;
    const ElementHandle handle = CreateAt(check, host, 0);
    g_checkButton = &check;
    g_seenChecked.clear();
    check.BindClick(AddressOf(&OnCheckClick), 0);

    Enter(handle);
    Click(handle);
    EXPECT_TRUE(check.CheckButtonChecked());
    Click(handle);
    EXPECT_FALSE(check.CheckButtonChecked());
    Click(handle);
    EXPECT_EQ(g_seenChecked, (std::vector<bool>{true, false, true}));
    // The state alone, without a click, leaves the routine alone.
    EXPECT_FALSE(check.CheckButtonChecked(false));
    EXPECT_EQ(g_seenChecked.size(), 3u);
    g_checkButton = nullptr;
}

class RadioGroups : public ::testing::Test {
protected:
    void SetUp() override {
        g_seenChecked.clear();
        g_radios = {&m_first, &m_second, &m_third, &m_elsewhere};
        m_panel.Create(m_host.Parent(), 0, 4 * kRowStep, kButtonWidth, 2 * kRowStep);
        CreateAt(m_first, m_host, 0);
        CreateAt(m_second, m_host, 1);
        CreateAt(m_third, m_host, 2);
        m_elsewhere.CreateButton(m_panel.m_handle, 0, 0, kButtonWidth, kButtonHeight, "Other");
        for (RadioButton* radio : g_radios) {
            radio->BindClick(AddressOf(&OnRadioClick), 0);
        }
    }
    void TearDown() override { g_radios.clear(); }

    std::vector<bool> Checked() {
        return {m_first.RadioButtonChecked(), m_second.RadioButtonChecked(),
                m_third.RadioButtonChecked(), m_elsewhere.RadioButtonChecked()};
    }

    RadioButton m_first, m_second, m_third, m_elsewhere;
    core_test::ProbeElement m_panel;
    TestHost m_host;
};

TEST_F(RadioGroups, OneParentIsOneExclusiveGroup) {
    EXPECT_EQ(m_first.RadioButtonGroup(), 0u) << "the host window's own children";
    EXPECT_EQ(m_elsewhere.RadioButtonGroup(), m_panel.m_handle);

    Click(m_elsewhere.m_handle);
    Click(m_first.m_handle);
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, true}));
    Click(m_third.m_handle);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true, true}));
    // Clicking the checked one keeps it checked.
    Click(m_third.m_handle);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true, true}));
    // Every routine saw its own button checked already.
    EXPECT_EQ(g_seenChecked, (std::vector<bool>{true, true, true, true}));
}

TEST_F(RadioGroups, SettingTheCheckedStateLeavesTheGroupAlone) {
    Click(m_first.m_handle);
    m_second.RadioButtonChecked(true);
    EXPECT_EQ(Checked(), (std::vector<bool>{true, true, false, false}));
    // A group of its own is not touched by the others' clicks.
    constexpr std::uint32_t kOwnGroup = 77;
    m_second.RadioButtonGroup(kOwnGroup);
    Click(m_third.m_handle);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, true, true, false}));
}

}  // namespace
}  // namespace buttons_test
