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
#include "controls/Label.h"
#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/MessageBox.h"
#include "foundation/ControlClasses.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/ImageHelpers.h"

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

// Without an owner the box is a window of its own and takes the host window's shadow and caption
// from the theme; with a host window as owner, the sub-window's. Its text and buttons follow the
// margins its window has.
TEST(ToolkitMessageBoxTest, TextAndButtonsFollowTheMarginsOfTheBoxWindow) {
    constexpr std::int32_t kButtonPitch = 75;
    constexpr std::int32_t kTextBelowCaption = 5;
    constexpr std::int32_t kShortTextLift = 10;
    constexpr wchar_t kMessage[] = L"message";
    host_test::TestWindow owner;
    owner.Show();
    for (const HWND ownerWindow : {HWND{nullptr}, owner.Window()}) {
        SCOPED_TRACE(ownerWindow != nullptr ? "owned" : "without an owner");
        ModalScript script;
        script.Until([] { return FindMessageBox() != nullptr; }).Then([&] {
            const HWND box = FindMessageBox();
            const HostWindow* host = HostWindowFromWindow(box);
            ASSERT_NE(host, nullptr);
            const std::int32_t bodyWidth = host->body->right - host->body->left;
            const std::vector<Button*> buttons = BoxButtons(box);
            ASSERT_FALSE(buttons.empty());
            EXPECT_EQ(buttons.front()->m_left, bodyWidth - kButtonPitch);
            const Element* message = nullptr;
            for (Element* element : ChildrenOfType(box, kTypeLabel)) {
                const auto* label = static_cast<const Label*>(element);
                if (label->m_caption != nullptr && std::wstring(label->m_caption) == kMessage) {
                    message = element;
                }
            }
            ASSERT_NE(message, nullptr);
            EXPECT_EQ(message->m_top, host->captionHeight + kTextBelowCaption - kShortTextLift);
            PostMessageW(box, WM_CLOSE, 0, 0);
        });
        script.Start();
        ToolkitMessageBox(ownerWindow, FromWideString(kMessage).c_str(), kMessageBoxOk, "title");
        EXPECT_TRUE(script.Finished());
    }
}

// ---- Every text drawn whole --------------------------------------------------------------------

// The smallest rectangle holding the pixels a test picks, in pixel columns and rows.
struct InkBox {
    int left = INT32_MAX;
    int top = INT32_MAX;
    int right = -1;
    int bottom = -1;
    bool Any() const { return right >= 0; }
    int Width() const { return right - left + 1; }
    void Add(int x, int y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

std::vector<std::uint32_t> CanvasCopy(const Element& element) {
    GdiFlush();
    const auto* bits = static_cast<const std::uint32_t*>(element.m_canvasBits);
    return std::vector<std::uint32_t>(
        bits, bits + static_cast<std::size_t>(element.m_width) * element.m_height);
}

// Where the text shows when GDI+ draws it with the font, format and text-rendering hint the
// element draws with, unclipped on a canvas much larger than it: the size the whole text has.
InkBox ReferenceInk(const Element& element, const std::wstring& text,
                    Gdiplus::GpStringFormat* format) {
    constexpr int kCanvasWidth = 800;
    constexpr int kCanvasHeight = 200;
    constexpr float kMargin = 10.0f;
    InkBox ink;
    GpBitmapPtr canvas = CreateBitmap(kCanvasWidth, kCanvasHeight);
    GpGraphicsPtr graphics = GetImageGraphics(canvas.get());
    if (!graphics) {
        return ink;
    }
    Gdiplus::TextRenderingHint hint = Gdiplus::TextRenderingHintSystemDefault;
    Gdiplus::DllExports::GdipGetTextRenderingHint(element.m_canvasGraphics, &hint);
    Gdiplus::DllExports::GdipSetTextRenderingHint(graphics.get(), hint);
    Gdiplus::DllExports::GdipGraphicsClear(graphics.get(), 0);
    const Gdiplus::RectF layout(kMargin, kMargin, kCanvasWidth - 2 * kMargin,
                                kCanvasHeight - 2 * kMargin);
    DrawTextWithEffect(graphics.get(), layout, text.c_str(), element.m_font, RgbToArgb(0), format,
                       kTextEffectNone);
    graphics.reset();
    Gdiplus::Rect whole(0, 0, kCanvasWidth, kCanvasHeight);
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(canvas.get(), &whole, Gdiplus::ImageLockModeRead,
                                                kPixelFormat32bppArgb, &data) != Gdiplus::Ok) {
        return ink;
    }
    for (int y = 0; y < kCanvasHeight; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < kCanvasWidth; ++x) {
            if (window_test::Alpha(row[x]) != 0) {
                ink.Add(x, y);
            }
        }
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(canvas.get(), &data);
    return ink;
}

// Rows of a canvas that hold ink, as bands of consecutive rows.
int InkBands(const std::vector<bool>& inkRows) {
    int bands = 0;
    for (std::size_t y = 0; y < inkRows.size(); ++y) {
        if (inkRows[y] && (y == 0 || !inkRows[y - 1])) {
            ++bands;
        }
    }
    return bands;
}

// The whole caption's width, less what anti-aliasing may round away at either end.
constexpr int kInkTolerance = 1;

// The message label draws only its text over a transparent canvas: every pixel with alpha is
// ink. Every line is there, each as wide as it is on its own, and nothing touches the label's
// edges, where a cut text would end.
void ExpectWholeMessage(const Label& label, const std::vector<std::wstring>& lines) {
    const std::vector<std::uint32_t> pixels = CanvasCopy(label);
    InkBox ink;
    std::vector<bool> inkRows(static_cast<std::size_t>(label.m_height), false);
    for (int y = 0; y < label.m_height; ++y) {
        for (int x = 0; x < label.m_width; ++x) {
            if (window_test::Alpha(pixels[static_cast<std::size_t>(y) * label.m_width + x]) != 0) {
                ink.Add(x, y);
                inkRows[static_cast<std::size_t>(y)] = true;
            }
        }
    }
    ASSERT_TRUE(ink.Any());
    EXPECT_EQ(InkBands(inkRows), static_cast<int>(lines.size())) << "one band of ink per line";
    int widest = 0;
    for (const std::wstring& line : lines) {
        widest = std::max(widest, ReferenceInk(label, line, nullptr).Width());
    }
    EXPECT_GE(ink.Width(), widest - kInkTolerance);
    EXPECT_LE(ink.Width(), widest + kInkTolerance) << "no glyph for a line break";
    EXPECT_GT(ink.left, 0);
    EXPECT_GT(ink.top, 0);
    EXPECT_LT(ink.right, label.m_width - 1);
    EXPECT_LT(ink.bottom, label.m_height - 1);
}

// A button's caption is what changes on its canvas when the caption goes: it must be as wide
// as the whole caption drawn on its own, and lie inside the button.
void ExpectWholeCaption(Button& button) {
    const std::string caption = button.ButtonTitle();
    const std::wstring wide = ToWideString(caption);
    const std::vector<std::uint32_t> withCaption = CanvasCopy(button);
    button.ButtonTitle("");
    const std::vector<std::uint32_t> without = CanvasCopy(button);
    button.ButtonTitle(caption.c_str());
    InkBox ink;
    for (int y = 0; y < button.m_height; ++y) {
        for (int x = 0; x < button.m_width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * button.m_width + x;
            if (withCaption[i] != without[i]) {
                ink.Add(x, y);
            }
        }
    }
    ASSERT_TRUE(ink.Any()) << caption;
    GpStringFormatPtr format(CreateCaptionFormat(kFormatSingleLine));
    Gdiplus::DllExports::GdipSetStringFormatHotkeyPrefix(format.get(), Gdiplus::HotkeyPrefixShow);
    const InkBox reference = ReferenceInk(button, wide, format.get());
    EXPECT_GE(ink.Width(), reference.Width() - kInkTolerance) << caption;
    EXPECT_GT(ink.left, 0) << caption;
    EXPECT_LT(ink.right, button.m_width - 1) << caption;
}

TEST(ToolkitMessageBoxTest, EveryTextIsDrawnWholeAndLineBreaksBreakLines) {
    // An open failure's message: what happened, and why, on lines of their own.
    const std::vector<std::wstring> twoLines = {L"The cartridge image could not be opened:",
                                                L"the file is too short."};
    const std::vector<std::wstring> fourLines = {L"Level 1, screen 1 does not fit:",
                                                 L"it needs 31 bytes,", L"but its room holds 28.",
                                                 L"Nothing was saved."};
    struct Case {
        const char* name;
        const std::vector<std::wstring>& lines;
        const char* lineBreak;
        std::int32_t kind;
        std::int32_t icon;
        std::optional<std::int32_t> width;
    };
    const Case cases[] = {
        {"CR LF", twoLines, "\r\n", kMessageBoxOk, kMessageBoxNoIcon, std::nullopt},
        {"LF", twoLines, "\n", kMessageBoxYesNoCancel, kMessageBoxNoIcon, std::nullopt},
        {"CR", twoLines, "\r", kMessageBoxRetryCancel, kMessageBoxNoIcon, std::nullopt},
        {"in a given width", twoLines, "\r\n", kMessageBoxAbortRetryIgnore, kMessageBoxNoIcon,
         kDefaultBoxWidth},
        {"four lines beside an icon", fourLines, "\r\n", kMessageBoxOk, kMessageBoxIconError,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string message;
        for (const std::wstring& line : c.lines) {
            message += (message.empty() ? "" : c.lineBreak) + FromWideString(line);
        }
        const std::wstring& first = c.lines.front();
        ModalScript script;
        script.Until([] { return FindMessageBox() != nullptr; }).Wait(kTickMs * 5).Then([&] {
            const HWND box = FindMessageBox();
            // The box's labels are its title and its message.
            const Label* label = nullptr;
            for (Element* element : ChildrenOfType(box, kTypeLabel)) {
                const auto* candidate = static_cast<const Label*>(element);
                if (candidate->m_caption != nullptr &&
                    std::wstring(candidate->m_caption).compare(0, first.size(), first) == 0) {
                    label = candidate;
                }
            }
            EXPECT_NE(label, nullptr);
            if (label != nullptr) {
                ExpectWholeMessage(*label, c.lines);
            }
            for (Button* button : BoxButtons(box)) {
                ExpectWholeCaption(*button);
            }
            PostMessageW(box, WM_CLOSE, 0, 0);
        });
        script.Start();
        MessageBoxOptions options;
        options.kind = c.kind;
        options.iconType = c.icon;
        options.width = c.width;
        ToolkitMessageBox(nullptr, message.c_str(), options);
        EXPECT_TRUE(script.Finished());
    }
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
