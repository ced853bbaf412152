// The scanning and number rules of the settings and language files, without files.
#include "settings/ConfigText.h"
#include "settings/SettingsNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace {

const std::string kTag = settings::kStringEndTag;
constexpr const char kDefault[] = "<default>";

// GBK characters chosen for their trail bytes: a backslash, and the letters N and a.
const std::string kTrailBackslash = "\x81\x5C";   // 乗
const std::string kTrailCapitalN = "\x81\x4E";    // 丯
const std::string kTrailSmallA = "\x81\x61";      // 乤
const std::string kChinese = "\xD6\xD0\xCE\xC4";  // 中文

struct ScanCase {
    const char* name;
    std::string file;
    std::string key;
    std::string expected;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class ScanTaggedValueTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTaggedValueTest, FindsTheValue) {
    const ScanCase& c = GetParam();
    EXPECT_EQ(ScanTaggedValue(c.file, c.key, kDefault), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScanTaggedValueTest,
    testing::Values(
        ScanCase{"Plain", "[String]\r\nName=value" + kTag + "\r\n", "Name", "value"},
        ScanCase{"MissingKey", "[String]\r\nOther=value" + kTag + "\r\n", "Name", kDefault},
        ScanCase{"EmptyFile", "", "Name", kDefault},
        ScanCase{"KeyCaseIgnored", "[String]\r\nnAmE=value" + kTag, "NAME", "value"},
        ScanCase{"TagCaseIgnored", "Name=value-\\tevik.config.string.end.tag\\-", "Name", "value"},
        ScanCase{"NoTagGivesEmpty", "[String]\r\nName=the rest of the line\r\n", "Name", ""},
        ScanCase{"TagRightAfterEquals", "Name=" + kTag + "x", "Name", ""},
        ScanCase{"FirstSectionWins",
                 "[Other]\r\nName=first" + kTag + "\r\n[String]\r\nName=second" + kTag, "Name",
                 "first"},
        ScanCase{"EqualsInValue", "Name=a=b==c" + kTag, "Name", "a=b==c"},
        ScanCase{"SpansLines", "Name=line one\r\nline two\r\n" + kTag + "\r\nNext=x" + kTag, "Name",
                 "line one\r\nline two\r\n"},
        ScanCase{"ChineseValue", "Name=" + kChinese + kTag, "Name", kChinese},
        ScanCase{"TrailBackslashBeforeTag", "Name=x" + kTrailBackslash + kTag, "Name",
                 "x" + kTrailBackslash},
        // Without stepping over double-byte characters, "Name=" would be found starting on
        // the trail byte N of the first value.
        ScanCase{
            "TrailLetterIsNoKeyStart",
            "Other=" + kTrailCapitalN.substr(0, 1) + "Name=decoy" + kTag + "\r\nName=real" + kTag,
            "Name", "real"},
        // A trail byte a is not folded into A when the key holds the same character.
        ScanCase{"DoubleByteKeyComparedExactly",
                 "\x81"
                 "A=decoy" +
                     kTag + "\r\n" + kTrailSmallA + "=real" + kTag,
                 kTrailSmallA, "real"},
        // A stray lead byte does not swallow the "-" that opens the end tag.
        ScanCase{"StrayLeadByteBeforeTag", "Name=x\x81" + kTag + "\r\nNext=y" + kTag, "Name",
                 "x\x81"},
        ScanCase{"StopsAtNul", std::string("Junk=1\0Name=hidden", 18) + kTag, "Name", kDefault}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

struct IntegerCase {
    const char* text;
    std::int32_t expected;
};

class ParseConfigIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ParseConfigIntegerTest, ReadsLikeAtoiWithoutOverflow) {
    EXPECT_EQ(ParseConfigInteger(GetParam().text), GetParam().expected);
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseConfigIntegerTest,
    testing::Values(IntegerCase{"-22273", -22273},
                    // The same colour stored unsigned.
                    IntegerCase{"4294945023", -22273}, IntegerCase{"4294967295", -1},
                    IntegerCase{"2147483648", kMin}, IntegerCase{"2147483647", kMax},
                    IntegerCase{"-2147483648", kMin},
                    // Beyond the 32-bit range the value saturates.
                    IntegerCase{"4294967296", kMax}, IntegerCase{"-2147483649", kMin},
                    IntegerCase{"99999999999999999999999999", kMax},
                    IntegerCase{"-99999999999999999999999999", kMin},
                    // The leading-integer rule.
                    IntegerCase{"abc", 0}, IntegerCase{"", 0}, IntegerCase{"-", 0},
                    IntegerCase{" \t42xyz", 42}, IntegerCase{"+7", 7}, IntegerCase{"5 6", 5},
                    IntegerCase{"0x10", 0}));

}  // namespace
