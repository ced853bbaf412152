// Label: captions by pixel regions of the canvas (where ink is and is not), effects, gradients,
// access keys and layout creation.
#include <gtest/gtest.h>

#include <string>

#include "ControlsTestSupport.h"
#include "controls/Label.h"
#include "core/ElementEvents.h"
#include "foundation/ControlClasses.h"

namespace controls_test {
namespace {

using namespace toolkit;

constexpr int kWidth = 180;
constexpr int kHeight = 60;
constexpr char kShortCaption[] = "WWWW";
constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;

Region Columns(int left, int right) {
    return {left, 0, right, kHeight};
}
Region Rows(int top, int bottom) {
    return {0, top, kWidth, bottom};
}

TEST(LabelCaption, FollowsTheHorizontalAlignment) {
    struct Case {
        std::int32_t align;
        Region inked;
        Region blankA;
        Region blankB;
    };
    constexpr std::int32_t kNear = 0;
    constexpr std::int32_t kCentre = 1;
    constexpr std::int32_t kFar = 2;
    const Case cases[] = {
        {kNear, Columns(0, 60), Columns(100, 180), Columns(100, 180)},
        {kCentre, Columns(60, 120), Columns(0, 40), Columns(140, 180)},
        {kFar, Columns(120, 180), Columns(0, 80), Columns(0, 80)},
    };
    for (const Case& c : cases) {
        TestHost host;
        Hosted<Label> label;
        LabelCreateOptions options;
        options.align = c.align;
        ASSERT_NE(label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, kShortCaption, options),
                  0u);
        EXPECT_GT(InkIn(label, c.inked), 0) << "align " << c.align;
        EXPECT_EQ(InkIn(label, c.blankA), 0) << "align " << c.align;
        EXPECT_EQ(InkIn(label, c.blankB), 0) << "align " << c.align;
        EXPECT_EQ(label.LabelAlign(), c.align);
    }
}

TEST(LabelCaption, FollowsTheVerticalAlignment) {
    struct Case {
        std::int32_t align;
        Region inked;
        Region blankA;
        Region blankB;
    };
    const Case cases[] = {
        {kLabelAlignTop, Rows(0, 22), Rows(30, 60), Rows(30, 60)},
        {kLabelAlignMiddle, Rows(18, 42), Rows(0, 14), Rows(46, 60)},
        {kLabelAlignBottom, Rows(38, 60), Rows(0, 30), Rows(0, 30)},
    };
    for (const Case& c : cases) {
        TestHost host;
        Hosted<Label> label;
        label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, kShortCaption);
        // A created label starts centred; the setter redraws.
        EXPECT_EQ(label.LabelVerticalAlign(), kLabelAlignMiddle);
        label.LabelVerticalAlign(c.align);
        EXPECT_GT(InkIn(label, c.inked), 0) << "align " << c.align;
        EXPECT_EQ(InkIn(label, c.blankA), 0) << "align " << c.align;
        EXPECT_EQ(InkIn(label, c.blankB), 0) << "align " << c.align;
    }
}

TEST(LabelCaption, APartialRedrawKeepsTheCaptionInPlace) {
    TestHost host;
    Hosted<Label> label;
    label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, kShortCaption);
    const Region left = Columns(0, kWidth / 2);
    const Region right = Columns(kWidth / 2, kWidth);
    const int ink = InkIn(label, left);
    ASSERT_GT(ink, 0);

    // Redrawing the right half alone must not lay the caption out inside that half.
    label.InvalidateElementRect(kWidth / 2, 0, kWidth / 2, kHeight);
    EXPECT_EQ(InkIn(label, right), 0);
    EXPECT_EQ(InkIn(label, left), ink);
}

TEST(LabelCaption, WrapsOntoFurtherLinesOnlyWithWordWrap) {
    constexpr int kNarrow = 60;
    constexpr char kLongCaption[] = "WW WW WW WW";
    // The first line of a top-aligned caption lies above this row.
    constexpr int kBelowFirstLine = 22;
    const Region lower{0, kBelowFirstLine, kNarrow, kHeight};
    for (const bool wrap : {false, true}) {
        TestHost host;
        Hosted<Label> label;
        LabelCreateOptions options;
        options.wordWrap = wrap;
        label.CreateLabel(host.Parent(), 0, 0, kNarrow, kHeight, kLongCaption, options);
        label.LabelVerticalAlign(kLabelAlignTop);
        EXPECT_GT(InkIn(label, {0, 0, kNarrow, kBelowFirstLine}), 0);
        EXPECT_EQ(InkIn(label, lower) > 0, wrap) << "word wrap " << wrap;
    }
}

TEST(LabelCaption, EffectsDrawInTheirColourAroundTheText) {
    struct Case {
        std::int32_t effect;
        Gdiplus::ARGB effectColour;
        bool coloured;  // pixels of the effect colour appear
    };
    constexpr Gdiplus::ARGB kOpaqueRed = 0xFFFF0000;
    const Case cases[] = {
        {kTextEffectNone, kAutomaticEffectColour, false},
        // Over dark text the automatic halo is white.
        {kTextEffectHalo, kAutomaticEffectColour, true},
        {kTextEffectOutline, kOpaqueRed, true},
    };
    const Region whole{0, 0, kWidth, kHeight};
    const auto red = [](std::uint32_t pixel) { return ((pixel >> 16) & 0xFF) != 0; };
    int plainInk = 0;
    for (const Case& c : cases) {
        TestHost host;
        Hosted<Label> label;
        LabelCreateOptions options;
        options.textColour = kOpaqueBlack;
        options.textEffect = c.effect;
        options.effectColour = c.effectColour;
        label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, kShortCaption, options);
        EXPECT_EQ(PixelsIn(label, whole, red) > 0, c.coloured) << "effect " << c.effect;
        const int ink = InkIn(label, whole);
        if (c.effect == kTextEffectNone) {
            plainInk = ink;
        } else {
            EXPECT_GT(ink, plainInk) << "effect " << c.effect;
        }
    }
}

TEST(LabelPaint, FillsTheGradientBehindTheCaption) {
    constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
    constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
    constexpr std::int32_t kHorizontal = 0;
    constexpr int kEdge = 3;
    TestHost host;
    Hosted<Label> label;
    LabelCreateOptions options;
    options.gradientMode = kHorizontal;
    options.gradientColour1 = kRed;
    options.gradientColour2 = kBlue;
    label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, "", options);
    const std::uint32_t left = CanvasPixel(label, kEdge, kHeight / 2);
    const std::uint32_t right = CanvasPixel(label, kWidth - kEdge, kHeight / 2);
    EXPECT_EQ(left >> 24, 0xFFu);
    EXPECT_GT((left >> 16) & 0xFF, left & 0xFF);
    EXPECT_GT(right & 0xFF, (right >> 16) & 0xFF);
}

TEST(LabelAccessKey, SetTextRegistersTheKeyWithTheHostWindow) {
    TestHost host;
    AccessKeyRecorder keys(host.Window());
    Hosted<Label> label;
    const ElementHandle handle = label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, "Open");
    constexpr WPARAM kGbkText = 1;
    constexpr WPARAM kStoredWideText = 0;

    EXPECT_EQ(SendToElement(handle, WM_SETTEXT, kGbkText, reinterpret_cast<LPARAM>("&Save")), 1);
    EXPECT_EQ(SendToElement(handle, WM_SETTEXT, kGbkText, reinterpret_cast<LPARAM>("Plain")), 1);
    ASSERT_EQ(keys.m_received.size(), 2u);
    EXPECT_EQ(keys.m_received[0], std::make_pair(handle, std::uint32_t{'S'}));
    EXPECT_EQ(keys.m_received[1], std::make_pair(handle, std::uint32_t{0}));

    // The caption it already holds changes nothing.
    EXPECT_EQ(SendToElement(handle, WM_SETTEXT, kStoredWideText,
                            reinterpret_cast<LPARAM>(label.m_caption)),
              1);
    EXPECT_EQ(keys.m_received.size(), 2u);

    // Another stored wide text is copied.
    wchar_t* other = nullptr;
    StoreWideText(other, TextToWide("&Quit"));
    SendToElement(handle, WM_SETTEXT, kStoredWideText, reinterpret_cast<LPARAM>(other));
    FreeWideText(other);
    EXPECT_EQ(label.LabelTitle(), "&Quit");
    ASSERT_EQ(keys.m_received.size(), 3u);
    EXPECT_EQ(keys.m_received[2].second, std::uint32_t{'Q'});
}

TEST(LabelAccessKey, NoHostWindowRegistersNothing) {
    EXPECT_FALSE(RegisterCaptionMnemonic(0, "&Open"));
}

TEST(LabelCreation, ALayoutLabelAlignsAtTheTopAndTakesNoFocus) {
    TestHost host;
    Hosted<Label> label;
    constexpr char kNames[] = "Rect,ID";
    const std::string values = "0,0,100,40,!,7";
    label.CreateElementFromLayout(host.Window(), 0, host.OwnHandle(), 0, kTypeLabel, kNames,
                                  reinterpret_cast<const std::uint8_t*>(values.data()),
                                  values.size(), kClassLabel);
    ASSERT_TRUE(label.IsElementAlive());
    EXPECT_EQ(label.LabelVerticalAlign(), kLabelAlignTop);
    EXPECT_EQ(label.LabelTextColor(), kOpaqueBlack);
    EXPECT_EQ(label.LabelGradientMode(), kNoGradient);
    EXPECT_NE(label.LabelStringFormat(), nullptr);
    EXPECT_EQ(label.m_state & kStateFocusable, 0u);
    EXPECT_EQ(label.m_tabStop, 0u);

    // Captions set later draw at the top.
    label.LabelTitle("WW");
    EXPECT_GT(InkIn(label, {0, 0, 100, 20}), 0);
    EXPECT_EQ(InkIn(label, {0, 25, 100, 40}), 0);
}

TEST(LabelCreation, TitlesConvertBetweenGbkAndUtf16) {
    TestHost host;
    Hosted<Label> label;
    // "标题" in GBK, and its UTF-16 with the terminator.
    constexpr char kGbkTitle[] = "\xB1\xEA\xCC\xE2";
    const ByteArray utf16Title = {0x07, 0x68, 0x98, 0x98, 0x00, 0x00};
    label.CreateLabel(host.Parent(), 0, 0, kWidth, kHeight, kGbkTitle);
    EXPECT_EQ(label.LabelTitleW(), utf16Title);
    EXPECT_EQ(label.LabelTitle(), kGbkTitle);
    const ByteArray wide = TextToWide("abc");
    label.LabelTitleW(wide);
    EXPECT_EQ(label.LabelTitle(), "abc");
    EXPECT_EQ(label.LabelTitleW(), wide);
}

TEST(ControlSlots, LabelOperationsSitInTheirSlots) {
    EXPECT_EQ(SlotOf(&Label::Paint), kSlotLabelPaint);
    EXPECT_EQ(SlotOf(&Label::CreateLabel), kSlotCreateLabel);
    EXPECT_EQ(SlotOf(&Label::LabelTitle), kSlotLabelTitle);
    EXPECT_EQ(SlotOf(&Label::LabelTitleW), kSlotLabelTitleW);
    EXPECT_EQ(SlotOf(&Label::LabelTextColor), kSlotLabelTextColor);
    EXPECT_EQ(SlotOf(&Label::LabelStringFormat), kSlotLabelStringFormat);
    EXPECT_EQ(SlotOf(&Label::OnTextRect), kSlotLabelTextRect);
    EXPECT_EQ(SlotOf(&Label::PreHandleMessage), kSlotLabelPreHandle);
}

}  // namespace
}  // namespace controls_test
