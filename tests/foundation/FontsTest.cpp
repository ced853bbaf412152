#include <gtest/gtest.h>

#include "foundation/Fonts.h"
#include "foundation/Toolkit.h"

namespace {

using namespace toolkit;

constexpr char kMissingFace[] = "Vennmark Missing Face";
constexpr float kSize = 14.0f;

TEST(Fonts, TheToolkitHasADefaultFont) {
    Gdiplus::GpFont* font = Toolkit().defaultFont;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetFontSize(font), kDefaultFontSize);
    EXPECT_EQ(GetFontStyle(font), kFontStyleRegular);
    EXPECT_FALSE(GetFontFamilyName(font).empty());
}

TEST(Fonts, MissingFaceFallsBackToANewFontOfTheDefaultFamily) {
    EXPECT_EQ(CreateFontFamilyByName(kMissingFace), nullptr);
    Gdiplus::GpFont* font =
        CreateFontByName(kMissingFace, kSize, kFontStyleRegular, kFontUnitPixel);
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font, Toolkit().defaultFont);
    EXPECT_EQ(GetFontFamilyName(font), GetFontFamilyName(Toolkit().defaultFont));
    EXPECT_EQ(GetFontSize(font), kSize);
    DeleteFont(font);
    EXPECT_EQ(font, nullptr);
}

TEST(Fonts, NoInstalledCandidateFallsBackToAGenericFamily) {
    Gdiplus::GpFont* font =
        CreateFontFromCandidates({L"Vennmark Missing 1", L"Vennmark Missing 2"}, kDefaultFontSize,
                                 kFontStyleRegular, kFontUnitPixel);
    ASSERT_NE(font, nullptr);
    EXPECT_FALSE(GetFontFamilyName(font).empty());
    DeleteFont(font);
}

TEST(Fonts, NamedFaceIsUsedWhenInstalled) {
    // Wine maps "宋体" onto an installed family in the test prefix.
    Gdiplus::GpFontFamily* family = CreateFontFamilyByName("宋体");
    ASSERT_NE(family, nullptr);
    DeleteFontFamily(family);
    Gdiplus::GpFont* font = CreateFontByName("宋体", kSize, kFontStyleRegular, kFontUnitPixel);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetFontSize(font), kSize);
    DeleteFont(font);
}

}  // namespace
