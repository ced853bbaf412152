// The toolkit message box under Wine: the buttons of every kind and their values, closing
// without a button, input to other windows kept away, growing with its message, and the
// program's quit passing through its loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../host/HostTestSupport.h"
#include "ModalScript.h"
#include "controls/Button.h"
#include "core/ElementMessages.h"
#include "core/MessageBox.h"
#include "foundation/ControlClasses.h"

namespace menu_test {
namespace {

using namespace toolkit;

constexpr std::int32_t kDefaultBoxWidth = 320;
constexpr std::int32_t kInitialBoxHeight = 150;
constexpr int kQuitCode = 42;
constexpr int kLongMessageRepeat = 40;
constexpr std::int32_t kNoMatchingValue = 99;
constexpr std::int32_t kKindOutOfRange = 7;
// The theme's "MsgBox" icon size and the gap the text keeps from the icon.
constexpr std::int32_t kThemeIconWidth = 32;
constexpr std::int32_t kTextLeft = 25;
constexpr std::int32_t kIconGap = 20;
constexpr COLORREF kOwnBackground = 0xFF9933;
constexpr std::int32_t kOwnLayeredAlpha = 210;

struct Expected {
    const char* text;
    std::int32_t value;
};

struct KindCase {
    std::int32_t kind;
    std::vector<Expected> buttons;  // from the right edge leftwards
};

const std::vector<KindCase>& KindCases() {
    static const std::vector<KindCase> cases = {
        {kMessageBoxOk, {{kMessageBoxTextOk, kResultOk}}},
        {kMessageBoxOkCancel,
         {{kMessageBoxTextCancel, kResultCancel}, {kMessageBoxTextOk, kResultOk}}},
        {kMessageBoxAbortRetryIgnore,
         {{kMessageBoxTextIgnore, kResultIgnore},
          {kMessageBoxTextRetry, kResultRetry},
          {kMessageBoxTextAbort, kResultAbort}}},
        {kMessageBoxYesNoCancel,
         {{kMessageBoxTextCancel, kResultCancel},
          {kMessageBoxTextNo, kResultNo},
          {kMessageBoxTextYes, kResultYes}}},
        {kMessageBoxYesNo, {{kMessageBoxTextNo, kResultNo}, {kMessageBoxTextYes, kResultYes}}},
        {kMessageBoxRetryCancel,
         {{kMessageBoxTextCancel, kResultCancel}, {kMessageBoxTextRetry, kResultRetry}}},
    };
    return cases;
}

// The box's push buttons from the right edge leftwards.
std::vector<Button*> BoxButtons(HWND box) {
    std::vector<Button*> buttons;
    for (Element* element : ChildrenOfType(box, kTypeButton)) {
        buttons.push_back(static_cast<Button*>(element));
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const Button* a, const Button* b) { return a->m_left > b->m_left; });
    return buttons;
}

// Clicks the button at a place (0 = rightmost) once the box is up.
void ClickButtonWhenShown(ModalScript& script, std::size_t place) {
    script.Until([] { return FindMessageBox() != nullptr; }).Then([place] {
        const HWND box = FindMessageBox();
        const std::vector<Button*> buttons = BoxButtons(box);
        ASSERT_LT(place, buttons.size());
        PostClickAt(box, CentreInWindow(*buttons[place]));
    });
}

TEST(ToolkitMessageBoxTest, EveryKindShowsItsButtonsAndEachReturnsItsValue) {
    host_test::TestWindow owner;
    owner.Show();
    for (const KindCase& kindCase : KindCases()) {
        for (std::size_t place = 0; place < kindCase.buttons.size(); ++place) {
            SCOPED_TRACE(testing::Message() << "kind " << kindCase.kind << " button " << place);
            ModalScript script;
            script.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
                const std::vector<Button*> buttons = BoxButtons(FindMessageBox());
                ASSERT_EQ(buttons.size(), kindCase.buttons.size());
                for (std::size_t i = 0; i < buttons.size(); ++i) {
                    EXPECT_EQ(buttons[i]->ButtonTitle(), kindCase.buttons[i].text);
                }
            });
            ClickButtonWhenShown(script, place);
            script.Start();
            EXPECT_EQ(ToolkitMessageBox(owner.Window(), "message", kindCase.kind, "title"),
                      kindCase.buttons[place].value);
            EXPECT_TRUE(script.Finished());
            EXPECT_EQ(FindMessageBox(), nullptr);
        }
    }
}

TEST(ToolkitMessageBoxTest, MoreTextsThanValuesMakeOnlyAsManyButtonsAsValues) {
    struct Case {
        std::int32_t kind;
        std::size_t buttons;
    };
    const std::vector<std::string> texts = {"a", "b", "c"};
    for (const Case& c :
         {Case{kMessageBoxYesNo, 2}, Case{kMessageBoxOk, 1}, Case{kKindOutOfRange, 0}}) {
        SCOPED_TRACE(c.kind);
        ModalScript script;
        script.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
            const HWND box = FindMessageBox();
            EXPECT_EQ(BoxButtons(box).size(), c.buttons);
            PostMessageW(box, WM_CLOSE, 0, 0);
        });
        script.Start();
        MessageBoxOptions options;
        options.kind = c.kind;
        options.buttonTexts = texts;
        EXPECT_EQ(ToolkitMessageBox(nullptr, "message", options), kResultCancel);
    }
}

TEST(ToolkitMessageBoxTest, EscapeAndTheCloseButtonGiveCancel) {
    host_test::TestWindow owner;
    owner.Show();
    const std::vector<std::function<void(HWND)>> closers = {
        [](HWND box) { PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0); },
        [](HWND box) {
            const HostWindow* host = HostWindowFromWindow(box);
            const ElementHandle close =
                const_cast<HostWindow*>(host)->GetCaptionPart(kCaptionClose);
            ASSERT_NE(close, 0u);
            PostClickAt(box, CentreInWindow(*ElementFromHandle(close)));
        },
    };
    for (const auto& closer : closers) {
        ModalScript script;
        script.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
            closer(FindMessageBox());
        });
        script.Start();
        EXPECT_EQ(ToolkitMessageBox(owner.Window(), "message", kMessageBoxYesNo, "title"),
                  kResultCancel);
        EXPECT_TRUE(script.Finished());
    }
}

TEST(ToolkitMessageBoxTest, DefaultValueFocusesItsButtonAndEnterChoosesIt) {
    ModalScript script;
    script.Until([] { return FindMessageBox() != nullptr; }).Then([] {
        const HWND box = FindMessageBox();
        const std::vector<Button*> buttons = BoxButtons(box);
        ASSERT_EQ(buttons.size(), 2u);
        EXPECT_EQ(HostWindowFromWindow(box)->focused, buttons[1]->m_handle);  // OK
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    });
    script.Start();
    MessageBoxOptions options;
    options.kind = kMessageBoxOkCancel;
    options.defaultValue = kResultOk;
    EXPECT_EQ(ToolkitMessageBox(nullptr, "message", options), kResultOk);

    ModalScript none;
    none.Until([] { return FindMessageBox() != nullptr; }).Then([] {
        const HWND box = FindMessageBox();
        EXPECT_EQ(HostWindowFromWindow(box)->focused, 0u);
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    none.Start();
    options.defaultValue = kNoMatchingValue;
    EXPECT_EQ(ToolkitMessageBox(nullptr, "message", options), kResultCancel);
}

TEST(ToolkitMessageBoxTest, ClickOnTheOwnerIsDroppedWhileTheBoxIsOpen) {
    host_test::TestWindow owner;
    std::vector<host_test::SeenMessage> log;
    host_test::ProbeElement probe(0xFF00FF00, &log);
    constexpr int kProbeTop = 40;
    constexpr int kProbeSize = 40;
    probe.Create(owner.Parent(), kProbeSize, kProbeTop, kProbeSize, kProbeSize);
    owner.Show();

    HWND seenBox = nullptr;
    ModalScript script;
    script.Until([] { return FindMessageBox() != nullptr; })
        .Then([&] {
            seenBox = FindMessageBox();
            owner.PostClick(owner.CentreOf(probe), owner.CentreOf(probe));
        })
        .Wait(kTickMs * 5)
        .Then([&] {
            EXPECT_EQ(probe.Seen(WM_LBUTTONDOWN), 0);
            EXPECT_EQ(probe.Seen(kMsgClick), 0);
            EXPECT_TRUE(IsWindow(seenBox));
            EXPECT_EQ(GetForegroundWindow(), seenBox);
            PostClickAt(seenBox, CentreInWindow(*BoxButtons(seenBox).front()));
        });
    script.Start();
    EXPECT_EQ(ToolkitMessageBox(owner.Window(), "message", kMessageBoxOk, "title"), kResultOk);
    host_test::PumpFor(kTickMs * 5);
    EXPECT_EQ(probe.Seen(kMsgClick), 0) << "dropped, not put off";
}

TEST(ToolkitMessageBoxTest, LongMessageWidensTheBoxOrWithAWidthGrowsItDownwards) {
    std::string message;
    for (int i = 0; i < kLongMessageRepeat; ++i) {
        message += "long message ";
    }
    RECT widened{};
    ModalScript script;
    script.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
        GetWindowRect(FindMessageBox(), &widened);
        PostMessageW(FindMessageBox(), WM_CLOSE, 0, 0);
    });
    script.Start();
    ToolkitMessageBox(nullptr, message.c_str(), kMessageBoxOk, "title");
    EXPECT_GT(widened.right - widened.left, kDefaultBoxWidth);
    EXPECT_EQ(widened.bottom - widened.top, kInitialBoxHeight);

    RECT grown{};
    ModalScript wrapped;
    wrapped.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
        GetWindowRect(FindMessageBox(), &grown);
        PostMessageW(FindMessageBox(), WM_CLOSE, 0, 0);
    });
    wrapped.Start();
    MessageBoxOptions options;
    options.width = kDefaultBoxWidth;
    ToolkitMessageBox(nullptr, message.c_str(), options);
    EXPECT_EQ(grown.right - grown.left, kDefaultBoxWidth);
    EXPECT_GT(grown.bottom - grown.top, kInitialBoxHeight);
}

TEST(ToolkitMessageBoxTest, WithoutAHostOwnerItIsLayeredOnItsOwnColourAndShowsItsIcon) {
    ModalScript script;
    script.Until([] { return FindMessageBox() != nullptr; }).Then([] {
        const HWND box = FindMessageBox();
        const HostWindow* host = HostWindowFromWindow(box);
        EXPECT_EQ(host->layeredAlpha, kOwnLayeredAlpha);
        EXPECT_EQ(host->backgroundColour, kOwnBackground);
        const std::vector<Element*> icons = ChildrenOfType(box, kTypeImageBox);
        ASSERT_EQ(icons.size(), 1u);
        EXPECT_EQ(icons.front()->m_width, kThemeIconWidth);
        const std::vector<Element*> labels = ChildrenOfType(box, kTypeLabel);
        const bool textMoved = std::any_of(labels.begin(), labels.end(), [](const Element* label) {
            return label->m_left == kTextLeft + kThemeIconWidth + kIconGap;
        });
        EXPECT_TRUE(textMoved);
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    script.Start();
    ToolkitMessageBox(nullptr, "message", kMessageBoxOk, "title", kMessageBoxIconError);
}

TEST(ToolkitMessageBoxTest, QuitEndsTheBoxAndIsPostedAgain) {
    HWND seenBox = nullptr;
    ModalScript script;
    script.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
        seenBox = FindMessageBox();
        PostQuitMessage(kQuitCode);
    });
    script.Start();
    EXPECT_EQ(ToolkitMessageBox(nullptr, "message", kMessageBoxYesNo, "title"), kResultCancel);
    EXPECT_FALSE(IsWindow(seenBox));
    WPARAM code = 0;
    ASSERT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(code, static_cast<WPARAM>(kQuitCode));
}

}  // namespace
}  // namespace menu_test
