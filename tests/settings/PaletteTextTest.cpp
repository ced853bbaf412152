// Hexadecimal palette lines and the CRLF split of the palette file.
#include "settings/PaletteText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct HexCase {
    const char* text;
    std::int64_t expected;
};

class ParseHexTextTest : public testing::TestWithParam<HexCase> {};

TEST_P(ParseHexTextTest, KeepsTheLow32Bits) {
    std::string decimal;
    EXPECT_EQ(ParseHexText(GetParam().text, &decimal), GetParam().expected);
    EXPECT_EQ(decimal, std::to_string(GetParam().expected));
}

constexpr std::int64_t kAllOnes = 0xFFFFFFFF;

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseHexTextTest,
    testing::Values(HexCase{"3f", 63}, HexCase{"3F", 63}, HexCase{"", 0}, HexCase{"0", 0},
                    HexCase{"FF8800", 0xFF8800}, HexCase{"ffffffff", kAllOnes},
                    // Longer lines keep their last eight digits, without overflow.
                    HexCase{"1FFFFFFFF", kAllOnes}, HexCase{"123456789ABCDEF0123", 0xCDEF0123},
                    HexCase{"FFFFFFFFFFFFFFFFFFFFFFFF", kAllOnes},
                    // Any character that is not a hexadecimal digit makes the line 0.
                    HexCase{"12G4", 0}, HexCase{" 12", 0}, HexCase{"0x10", 0}, HexCase{"FF\r", 0},
                    HexCase{"-1", 0}));

TEST(ParseHexText, DecimalTextIsOptional) {
    EXPECT_EQ(ParseHexText("10"), 16);
}

struct PaletteCase {
    const char* name;
    std::string text;
    std::vector<std::int32_t> expected;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const PaletteCase& c, std::ostream* os) {
    *os << c.name;
}

class ParseNesPaletteTest : public testing::TestWithParam<PaletteCase> {};

TEST_P(ParseNesPaletteTest, OneEntryPerLine) {
    EXPECT_EQ(ParseNesPalette(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseNesPaletteTest,
    testing::Values(PaletteCase{"Empty", "", {}}, PaletteCase{"OneLine", "3f", {63}},
                    PaletteCase{"FinalLineBreakAddsNothing", "3f\r\n", {63}},
                    PaletteCase{"EmptyLineInBetweenIsZero", "1\r\n\r\n2", {1, 0, 2}},
                    PaletteCase{"TwoFinalLineBreaks", "1\r\n\r\n", {1, 0}},
                    PaletteCase{"OnlyALineBreak", "\r\n", {0}},
                    PaletteCase{"Low32BitsAsSigned", "FFFFFFFF\r\nFFFFA8FF", {-1, -22273}},
                    PaletteCase{"BadLineIsZero", "A\r\nzz\r\nB", {10, 0, 11}},
                    // Bare LF is no separator: the one line holds a character that is not a
                    // hexadecimal digit.
                    PaletteCase{"BareLineFeed", "1\n2", {0}},
                    PaletteCase{"StopsAtNul", std::string("1\r\n2\0\r\n3", 8), {1, 2}}),
    [](const testing::TestParamInfo<PaletteCase>& info) { return std::string(info.param.name); });

}  // namespace
