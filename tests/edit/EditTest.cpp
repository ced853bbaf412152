// Edit in a real host window: the platform's text services behind it, text in both forms,
// typing, selection, read-only, digits-only and password styles, the text rectangle in its
// three layouts, paints that stay on the canvas, the caret blink, its erasure and its moves,
// ink on the canvas, wheel scrolling and the 207xx notifications.
#include <gtest/gtest.h>
#include <windows.h>

#include <imm.h>

#include <climits>
#include <cstring>
#include <vector>

#include "CoreTestSupport.h"
#include "controls/Edit.h"
#include "core/ElementEvents.h"
#include "foundation/BuiltInTheme.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/EngineBinding.h"
#include "foundation/TextCodec.h"

namespace edit_test {
namespace {

using namespace toolkit;
using core_test::TestHost;

constexpr int kWidth = 160;
constexpr int kHeight = 28;
constexpr int kTallHeight = 60;
constexpr std::uint32_t kWhiteBackground = RgbToArgb(0xFFFFFF);
constexpr std::uint32_t kRedBorder = RgbToArgb(0x0000FF);
// The built-in theme's Edit margin ("4,3,-4,-3"): an inset of 4 and 3 pixels.
constexpr int kThemeInsetX = 4;
constexpr int kThemeInsetY = 3;
// A border colour insets the text by 2 pixels; a vertical bar takes 10 pixels and a 1-pixel gap.
constexpr int kBorderInset = 2;
constexpr int kBarSpace = 11;
constexpr std::uint32_t kCaretColour = 0xFF000000u;  // black, opaque
constexpr DWORD kFocusGoneWaitMs = 3 * kEditCaretBlinkMs;
constexpr std::uint8_t kSentinel = 0xA5;
constexpr int kLongTextLines = 20;
constexpr std::int32_t kLineWithBreak = 5;  // "line" and its break as the services keep it
constexpr short kWheelNotch = WHEEL_DELTA;
// "Zhongwen" in GBK and the same two characters in UTF-16.
constexpr char kGbkText[] = "\xD6\xD0\xCE\xC4";
constexpr wchar_t kWideText[] = L"\x4E2D\x6587";
constexpr std::int32_t kWideLength = 2;
constexpr std::int32_t kAsciiLength = 3;
constexpr DWORD kTwoBlinksMs = 2 * kEditCaretBlinkMs + kEditCaretBlinkMs / 2;
// A text pixel is darker than this on every channel; the white background is not.
constexpr std::uint32_t kInkThreshold = 0x80;

std::vector<std::uint32_t> g_events;

std::uint32_t __stdcall OnChanged(std::uint32_t, std::uint32_t) {
    g_events.push_back(kEditTextChanged);
    return 0;
}
std::uint32_t __stdcall OnSelection(std::uint32_t, std::uint32_t) {
    g_events.push_back(kEditSelectionChanged);
    return 0;
}

int Count(std::uint32_t code) {
    int count = 0;
    for (std::uint32_t seen : g_events) {
        count += seen == code ? 1 : 0;
    }
    return count;
}

class Edits : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        m_theme = EngineLoadTheme(AddressOf(kBuiltInThemePackage), kBuiltInThemePackageSize, 0, 0);
        ASSERT_NE(m_theme, 0u);
        m_host.Fields().theme = m_theme;
    }
    void TearDown() override {
        if (m_edit.IsElementAlive()) {
            m_edit.DestroyElement();
        }
        m_host.Fields().theme = 0;
        EngineReleaseTheme(m_theme);
    }
    void Create(EditCreateOptions options = {}, int height = kHeight) {
        ASSERT_NE(m_edit.CreateEdit(m_host.Parent(), 0, 0, kWidth, height, {}, options), 0u);
        ASSERT_TRUE(m_edit.HasTextServices());
        m_edit.OnTextChanged(AddressOf(&OnChanged), m_edit.m_handle);
        m_edit.OnSelectionChanged(AddressOf(&OnSelection), m_edit.m_handle);
    }
    void Type(const wchar_t* text) {
        for (; *text != 0; ++text) {
            SendToElement(m_edit.m_handle, WM_CHAR, *text, 0);
        }
    }
    std::wstring Wide() {
        const ByteArray bytes = m_edit.TextWide();
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()));
    }
    std::uint32_t Pixel(int x, int y) {
        GdiFlush();
        return static_cast<const std::uint32_t*>(m_edit.m_canvasBits)[y * m_edit.m_width + x];
    }
    // Opaque dark pixels in the text rectangle.
    int InkPixels() {
        const RECT& text = m_edit.TextRect();
        int ink = 0;
        for (int y = text.top; y < text.bottom; ++y) {
            for (int x = text.left; x < text.right; ++x) {
                const std::uint32_t pixel = Pixel(x, y);
                ink += core_test::Alpha(pixel) == 0xFF && core_test::Red(pixel) < kInkThreshold &&
                               core_test::Green(pixel) < kInkThreshold &&
                               core_test::Blue(pixel) < kInkThreshold
                           ? 1
                           : 0;
            }
        }
        return ink;
    }
    int CaretPixels() {
        int count = 0;
        for (int y = 0; y < m_edit.m_height; ++y) {
            for (int x = 0; x < m_edit.m_width; ++x) {
                count += Pixel(x, y) == kCaretColour ? 1 : 0;
            }
        }
        return count;
    }

    Edit m_edit;
    TestHost m_host;
    std::uint32_t m_theme = 0;
};

TEST_F(Edits, TextRoundTripsInBothForms) {
    Create();
    m_edit.Text(kGbkText);
    EXPECT_EQ(m_edit.Text(), kGbkText);
    EXPECT_EQ(Wide(), kWideText);
    EXPECT_EQ(m_edit.GetTextLength(), kWideLength) << "counted in characters";

    const std::wstring wide = L"abc";
    m_edit.TextWide(ByteArray(reinterpret_cast<const std::uint8_t*>(wide.c_str()),
                              reinterpret_cast<const std::uint8_t*>(wide.c_str() + 4)));
    EXPECT_EQ(m_edit.Text(), "abc");
    EXPECT_EQ(m_edit.GetTextLength(), kAsciiLength);
    m_edit.AppendText(kGbkText);
    EXPECT_EQ(Wide(), std::wstring(L"abc") + kWideText);
    EXPECT_GE(Count(kEditTextChanged), 1);
}

// Paragraph breaks come back as CR LF from the whole text and as CR alone from ranges; reading
// a text of many lines writes nothing past the buffers.
TEST_F(Edits, MultiLineTextReadsBackWhole) {
    EditCreateOptions options;
    options.multiLine = 1;
    Create(options, kTallHeight);
    std::string lines;
    for (int i = 0; i < kLongTextLines; ++i) {
        lines += "line\r\n";
    }
    m_edit.Text(lines);
    EXPECT_EQ(m_edit.Text(), lines);
    EXPECT_EQ(m_edit.GetLineCount(), kLongTextLines + 1);
    EXPECT_EQ(m_edit.GetLine(1), "line");
    EXPECT_EQ(m_edit.GetTextRange(0, kLineWithBreak * 2), "line\rline\r");
    m_edit.Select(kLineWithBreak, kLineWithBreak * 2);
    EXPECT_EQ(m_edit.GetSelectedText(), "line\r");
}

TEST_F(Edits, TypedCharactersReachTheText) {
    Create();
    Type(L"ab1");
    EXPECT_EQ(m_edit.Text(), "ab1");
    EXPECT_EQ(Count(kEditTextChanged), 3) << "one notification a character";
    // Tab never reaches the services.
    SendToElement(m_edit.m_handle, WM_CHAR, L'\t', 0);
    EXPECT_EQ(m_edit.Text(), "ab1");
    EXPECT_EQ(Count(kEditTextChanged), 3);
}

TEST_F(Edits, MaximumLengthStopsTyping) {
    constexpr std::int32_t kLimit = 3;
    EditCreateOptions options;
    options.maxLength = kLimit;
    Create(options);
    EXPECT_EQ(m_edit.MaxLength(), kLimit);
    Type(L"abcde");
    EXPECT_EQ(m_edit.Text(), "abc");
}

// A multi-line Edit wraps its lines when it has only the vertical bar, and keeps them whole
// when it can also scroll sideways.
TEST_F(Edits, LinesWrapWithTheVerticalBarOnly) {
    const struct {
        std::int32_t bars;
        bool wraps;
    } cases[] = {{kEditVerticalBar, true}, {kEditBothBars, false}, {kEditNoBars, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bars);
        EditCreateOptions options;
        options.multiLine = 1;
        options.scrollBars = c.bars;
        Create(options, kTallHeight);
        m_edit.Text(std::string(kWidth, 'W'));
        EXPECT_EQ(m_edit.GetLineCount() > 1, c.wraps);
        m_edit.DestroyElement();
    }
}

// Every digit passes, the first and the last included, with the sign and the point; the
// characters on either side of the digits, and letters, are swallowed and reported handled.
TEST_F(Edits, DigitsOnlyTakesDigitsSignAndPointOnly) {
    EditCreateOptions options;
    options.editStyle = kEditDigitsOnly;
    Create(options);
    for (const wchar_t refused : {L'x', L'/', L':', L'+', L','}) {
        EXPECT_EQ(SendToElement(m_edit.m_handle, WM_CHAR, refused, 0), 1) << char(refused);
    }
    EXPECT_EQ(Count(kEditTextChanged), 0) << "a swallowed character changes nothing";
    Type(L"-0123456789.5");
    EXPECT_EQ(m_edit.Text(), "-0123456789.5");
}

TEST_F(Edits, ReadOnlyRefusesTypingUntilCleared) {
    EditCreateOptions options;
    options.editStyle = kEditReadOnly;
    Create(options);
    m_edit.Text("fixed");
    Type(L"x");
    EXPECT_EQ(m_edit.Text(), "fixed");
    m_edit.EditStyle(kEditPlain);
    m_edit.Select(-1, -1);
    Type(L"x");
    EXPECT_EQ(m_edit.Text(), "fixedx");
}

// A password Edit takes the input method away from the window while it has the focus and
// gives it back when the focus goes; a plain Edit leaves it alone.
TEST_F(Edits, PasswordEditHoldsTheInputMethodOnlyWhileFocused) {
    for (const std::int32_t style : {kEditPassword, kEditPlain}) {
        SCOPED_TRACE(style);
        EditCreateOptions options;
        options.editStyle = style;
        Create(options);
        const HWND window = m_host.Window();
        const HIMC before = ImmGetContext(window);
        ImmReleaseContext(window, before);
        ASSERT_NE(before, nullptr);
        m_edit.SetElementFocus();
        const HIMC focused = ImmGetContext(window);
        ImmReleaseContext(window, focused);
        EXPECT_EQ(focused == nullptr, style == kEditPassword);
        m_edit.KillElementFocus();
        const HIMC after = ImmGetContext(window);
        ImmReleaseContext(window, after);
        EXPECT_EQ(after, before);
        m_edit.DestroyElement();
    }
}

TEST_F(Edits, SelectionReadsAndReplaces) {
    Create();
    m_edit.Text("hello world");
    g_events.clear();
    EXPECT_TRUE(m_edit.Select(0, 5));
    EXPECT_EQ(m_edit.GetSelectedText(), "hello");
    EXPECT_EQ(Count(kEditSelectionChanged), 1);
    EXPECT_EQ(Count(kEditTextChanged), 0);
    std::int32_t start = -1, end = -1;
    m_edit.GetSelection(&start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);

    m_edit.ReplaceSelection("bye");
    EXPECT_EQ(m_edit.Text(), "bye world");
    m_edit.Select(2, 2);
    EXPECT_EQ(m_edit.GetSelectedText(), "");
    EXPECT_EQ(m_edit.GetTextRange(4), "world") << "end -1 reads to the end";
    EXPECT_EQ(m_edit.GetTextRange(5, 2), "") << "a reversed range reads nothing";
    EXPECT_EQ(m_edit.FindText(L"world", 0, true, false), 4);
    EXPECT_EQ(m_edit.FindText(L"WORLD", 0, true, false), -1);
}

TEST_F(Edits, CaretBlinksWhileFocused) {
    Create();
    m_edit.SetElementFocus();
    ASSERT_TRUE(m_edit.HasElementFocus());
    std::vector<std::int32_t> seen{m_edit.CaretBlinkCounter()};
    core_test::PumpUntil(
        [&] {
            if (seen.back() != m_edit.CaretBlinkCounter()) {
                seen.push_back(m_edit.CaretBlinkCounter());
            }
            return seen.size() >= 3;
        },
        kTwoBlinksMs * 2);
    EXPECT_GE(seen.size(), 3u) << "the 500 ms timer shows and erases the caret";
}

TEST_F(Edits, CanvasShowsInkOnceTextIsSet) {
    EditCreateOptions options;
    options.backgroundColour = kWhiteBackground;
    Create(options);
    m_edit.PaintEdit(0);
    EXPECT_EQ(InkPixels(), 0);
    m_edit.Text("WWWW");
    m_edit.PaintEdit(0);
    EXPECT_GT(InkPixels(), 0);
}

// Whatever the services draw reaches the canvas opaque, the selection's field included.
TEST_F(Edits, SelectionIsDrawnInTheHighlightColour) {
    EditCreateOptions options;
    options.backgroundColour = kWhiteBackground;
    options.hideSelection = 0;
    Create(options);
    m_edit.Text("WWWW");
    const auto highlighted = [&] {
        m_edit.PaintEdit(0);
        int count = 0;
        const RECT& text = m_edit.TextRect();
        for (int y = text.top; y < text.bottom; ++y) {
            for (int x = text.left; x < text.right; ++x) {
                count += Pixel(x, y) == (m_edit.HighlightColor() | kEditOpaque) ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_EQ(highlighted(), 0);
    m_edit.Select(0, -1);
    EXPECT_GT(highlighted(), 0);
}

TEST_F(Edits, TextColourEqualToTheWindowFlipsTheWindow) {
    Create();
    const std::uint32_t window = m_edit.WindowColour();
    m_edit.TextColor(window);
    EXPECT_EQ(ArgbToRgb(m_edit.WindowColour()), ~ArgbToRgb(window) & 0xFFFFFFu);
}

TEST_F(Edits, RtfSavedFromOneEditLoadsIntoAnother) {
    EditCreateOptions options;
    options.richText = 1;
    Create(options);
    m_edit.Text(kGbkText);
    const std::optional<ByteArray> rtf = m_edit.SaveRtf();
    ASSERT_TRUE(rtf.has_value());
    ASSERT_FALSE(rtf->empty());

    Edit other;
    ASSERT_NE(other.CreateEdit(m_host.Parent(), 0, kHeight, kWidth, kHeight, {}, options), 0u);
    other.LoadRtf(*rtf);
    EXPECT_EQ(other.Text(), kGbkText);
    other.DestroyElement();
}

// The theme margin, a border colour and a background colour each give the text its own
// rectangle, and a vertical bar stands beside it, inside the Edit.
TEST_F(Edits, TextRectangleAndBarStayInsideTheEdit) {
    struct LayoutCase {
        const char* what;
        std::uint32_t background;
        std::uint32_t border;
        RECT expected;  // before the bar takes its space
    };
    const LayoutCase cases[] = {
        {"theme margin",
         0,
         0,
         {kThemeInsetX, kThemeInsetY, kWidth - kThemeInsetX, kTallHeight - kThemeInsetY}},
        {"border colour",
         0,
         kRedBorder,
         {kBorderInset, kBorderInset, kWidth - kBorderInset, kTallHeight - kBorderInset}},
        {"background colour", kWhiteBackground, 0, {0, 0, kWidth, kTallHeight}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        EditCreateOptions options;
        options.backgroundColour = c.background;
        options.borderColour = c.border;
        options.multiLine = 1;
        options.scrollBars = kEditVerticalBar;
        Create(options, kTallHeight);
        const RECT& text = m_edit.TextRect();
        EXPECT_EQ(text.left, c.expected.left);
        EXPECT_EQ(text.top, c.expected.top);
        EXPECT_EQ(text.right, c.expected.right - kBarSpace);
        EXPECT_EQ(text.bottom, c.expected.bottom);
        ScrollBar& bar = m_edit.VerticalBar();
        ASSERT_NE(bar.m_handle, 0u);
        EXPECT_EQ(bar.m_left + bar.m_width, c.expected.right);
        EXPECT_EQ(bar.m_top, c.expected.top);
        EXPECT_EQ(bar.m_top + bar.m_height, c.expected.bottom);
        m_edit.DestroyElement();
    }
}

// The text services may name any rectangle; a paint of it reaches no memory past the canvas.
// The canvas's last page has room after its pixels, which is filled with a mark first.
TEST_F(Edits, InvalidationsAtAndPastTheEdgesStayOnTheCanvas) {
    Create({}, kTallHeight);
    m_edit.Text(std::string(kWidth, 'W'));
    const auto* bits = static_cast<std::uint8_t*>(m_edit.m_canvasBits);
    const std::size_t size = static_cast<std::size_t>(kWidth) * kTallHeight * sizeof(std::uint32_t);
    MEMORY_BASIC_INFORMATION start{}, end{};
    ASSERT_NE(VirtualQuery(bits, &start, sizeof start), 0u);
    ASSERT_NE(VirtualQuery(bits + size, &end, sizeof end), 0u);
    ASSERT_EQ(end.AllocationBase, start.AllocationBase) << "the pixels' own pages go on";
    ASSERT_EQ(end.State, static_cast<DWORD>(MEM_COMMIT));
    auto* slack = const_cast<std::uint8_t*>(bits) + size;
    const std::size_t slackSize =
        static_cast<std::uint8_t*>(end.BaseAddress) + end.RegionSize - slack;
    ASSERT_GE(slackSize, static_cast<std::size_t>(kWidth) * sizeof(std::uint32_t));
    std::memset(slack, kSentinel, slackSize);

    const RECT& text = m_edit.TextRect();
    const RECT rects[] = {
        text,
        {0, 0, kWidth, kTallHeight},
        {kWidth - 1, kTallHeight - 1, kWidth, kTallHeight},
        {kWidth - 2, kTallHeight - 2, kWidth + 2, kTallHeight + 2},
        {text.left, text.top, text.right + kThemeInsetX * 2, text.bottom + kThemeInsetY * 2},
        {kWidth, kTallHeight, kWidth + kWidth, kTallHeight + kTallHeight},
        {-kWidth, -kTallHeight, 1, 1},
        {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2},
    };
    for (const RECT& rect : rects) {
        m_edit.TxInvalidateRect(&rect, TRUE);
    }
    m_edit.TxInvalidateRect(nullptr, TRUE);
    GdiFlush();
    std::size_t changed = 0;
    for (std::size_t i = 0; i < slackSize; ++i) {
        changed += slack[i] != kSentinel ? 1 : 0;
    }
    EXPECT_EQ(changed, 0u) << "bytes written past the canvas";
    EXPECT_GT(InkPixels(), 0);
}

// The caret lives in a layer that every paint puts on the canvas: once the focus has gone it
// must be gone from that layer too, whether the kill-focus handling or the blink timer erases it.
TEST_F(Edits, CaretIsErasedOnceTheFocusLeaves) {
    for (const std::int32_t hideSelection : {1, 0}) {
        SCOPED_TRACE(hideSelection);
        EditCreateOptions options;
        options.backgroundColour = kWhiteBackground;
        options.hideSelection = hideSelection;
        Create(options);
        m_edit.SetElementFocus();
        ASSERT_TRUE(m_edit.HasElementFocus());
        EXPECT_TRUE(core_test::PumpUntil([&] { return CaretPixels() > 0; }, kTwoBlinksMs))
            << "the caret is shown while focused";
        m_edit.KillElementFocus();
        ASSERT_FALSE(m_edit.HasElementFocus());
        core_test::PumpUntil([] { return false; }, kFocusGoneWaitMs);
        EXPECT_EQ(CaretPixels(), 0);
        m_edit.PaintEdit(0);
        EXPECT_EQ(CaretPixels(), 0) << "a new paint brings no caret back";
        m_edit.DestroyElement();
    }
}

// The Edit draws its own caret: wherever it stood must be drawn again when it goes, so that
// neither the blink's dark phase nor a move leaves a caret mark on the canvas. The caret is
// given a colour no text has.
TEST_F(Edits, CaretLeavesNoMarkWhereItStood) {
    constexpr std::uint32_t kRedCaret = 0xFFFF0000u;
    constexpr std::int32_t kCaretWidth = 2;
    // Dark text: trailing blanks would give the services no width to put the caret after.
    constexpr int kLetters = 12;
    EditCreateOptions options;
    options.backgroundColour = kWhiteBackground;
    Create(options);
    m_edit.CaretColourWidth(kRedCaret, kCaretWidth);
    m_edit.Text(std::string(kLetters, 'W'));
    m_edit.Select(-1, -1);
    // The columns holding caret pixels, left to right.
    const auto caretColumns = [&] {
        std::vector<int> columns;
        for (int x = 0; x < m_edit.m_width; ++x) {
            for (int y = 0; y < m_edit.m_height; ++y) {
                if (Pixel(x, y) == kRedCaret) {
                    columns.push_back(x);
                    break;
                }
            }
        }
        return columns;
    };
    m_edit.SetElementFocus();
    ASSERT_TRUE(core_test::PumpUntil([&] { return !caretColumns().empty(); }, kTwoBlinksMs));
    const std::vector<int> atEnd = caretColumns();
    EXPECT_EQ(atEnd.size(), static_cast<std::size_t>(kCaretWidth));

    // Moved while it shows: the services place and show it at once, with no blink between.
    m_edit.Select(0, 0);
    const std::vector<int> atStart = caretColumns();
    ASSERT_FALSE(atStart.empty()) << "the caret shows at the start";
    EXPECT_EQ(atStart.size(), static_cast<std::size_t>(kCaretWidth)) << "one caret, not two";
    EXPECT_LT(atStart.back(), atEnd.front());

    EXPECT_TRUE(core_test::PumpUntil([&] { return caretColumns().empty(); }, kTwoBlinksMs))
        << "the blink's dark phase takes the caret off the canvas";
}

// Without a background colour a bordered Edit leaves its field clear, so that what lies under it
// shows, and its dark text is drawn opaque over it.
TEST_F(Edits, BorderWithoutBackgroundLeavesTheFieldClear) {
    EditCreateOptions options;
    options.borderColour = kRedBorder;
    Create(options);
    m_edit.Text("WWWW");
    m_edit.PaintEdit(0);
    const RECT& text = m_edit.TextRect();
    EXPECT_EQ(core_test::Alpha(Pixel(text.right - 1, text.bottom - 1)), 0u) << "field";
    EXPECT_EQ(Pixel(0, 0), kRedBorder) << "border";
    EXPECT_GT(InkPixels(), 0) << "text";
}

// The bars step by one line: a wheel notch over the text moves the bar by its line step (the
// line height, not 1) and the text by one line; scrolling the text moves the bar back.
TEST_F(Edits, WheelScrollsOneLineAndTheBarFollowsTheText) {
    EditCreateOptions options;
    options.backgroundColour = kWhiteBackground;
    options.multiLine = 1;
    options.scrollBars = kEditVerticalBar;
    Create(options, kTallHeight);
    std::string lines;
    for (int i = 0; i < kLongTextLines; ++i) {
        lines += "line\r\n";
    }
    m_edit.Text(lines);
    ScrollBar& bar = m_edit.VerticalBar();
    const std::int32_t step = bar.LineStep();
    EXPECT_GT(step, 1) << "one line's height";
    EXPECT_GT(bar.MaxValue(), step);

    POINT inside{m_edit.TextRect().left + 1, m_edit.TextRect().top + 1};
    ClientToScreen(m_host.Window(), &inside);
    const LPARAM at = MAKELPARAM(inside.x, inside.y);
    SendToElement(m_edit.m_handle, WM_MOUSEWHEEL, MAKEWPARAM(0, -kWheelNotch), at);
    EXPECT_EQ(bar.Position(), step);
    EXPECT_EQ(m_edit.GetFirstVisibleLine(), 1);
    SendToElement(m_edit.m_handle, WM_MOUSEWHEEL, MAKEWPARAM(0, kWheelNotch), at);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(m_edit.GetFirstVisibleLine(), 0);

    constexpr std::int32_t kLines = 3;
    EXPECT_TRUE(m_edit.ScrollLines(kLines));
    EXPECT_EQ(m_edit.GetFirstVisibleLine(), kLines);
    EXPECT_GE(bar.Position(), kLines * step) << "the bar follows the text";

    m_edit.Text("");
    EXPECT_EQ(bar.MaxValue(), 0) << "nothing left to scroll";
}

}  // namespace
}  // namespace edit_test
