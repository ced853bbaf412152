// Edit in a real host window: the platform's text services behind it, text in both forms,
// typing, selection, read-only and digits-only styles, the caret blink, ink on the canvas and
// the 207xx notifications.
#include <gtest/gtest.h>

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
constexpr std::uint32_t kWhiteBackground = RgbToArgb(0xFFFFFF);
constexpr int kTallHeight = 60;
constexpr int kLongTextLines = 20;
constexpr std::int32_t kLineWithBreak = 5;  // "line" and its break as the services keep it
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
    int InkPixels() {
        GdiFlush();
        const auto* bits = static_cast<const std::uint32_t*>(m_edit.m_canvasBits);
        const RECT& text = m_edit.TextRect();
        int ink = 0;
        for (int y = text.top; y < text.bottom; ++y) {
            for (int x = text.left; x < text.right; ++x) {
                const std::uint32_t pixel = bits[y * kWidth + x];
                ink += core_test::Red(pixel) < kInkThreshold &&
                               core_test::Green(pixel) < kInkThreshold &&
                               core_test::Blue(pixel) < kInkThreshold
                           ? 1
                           : 0;
            }
        }
        return ink;
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
    EXPECT_GE(Count(kEditTextChanged), 3);
    // Tab never reaches the services.
    SendToElement(m_edit.m_handle, WM_CHAR, L'\t', 0);
    EXPECT_EQ(m_edit.Text(), "ab1");
}

TEST_F(Edits, DigitsOnlySwallowsLetters) {
    EditCreateOptions options;
    options.editStyle = kEditDigitsOnly;
    Create(options);
    EXPECT_EQ(SendToElement(m_edit.m_handle, WM_CHAR, L'x', 0), 1);
    Type(L"-1.5");
    EXPECT_EQ(m_edit.Text(), "-1.5");
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

TEST_F(Edits, SelectionReadsAndReplaces) {
    Create();
    m_edit.Text("hello world");
    g_events.clear();
    EXPECT_TRUE(m_edit.Select(0, 5));
    EXPECT_EQ(m_edit.GetSelectedText(), "hello");
    EXPECT_GE(Count(kEditSelectionChanged), 1);
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

}  // namespace
}  // namespace edit_test
