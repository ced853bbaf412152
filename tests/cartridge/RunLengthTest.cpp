// The run-length rules of a screen, both ways.
#include "cartridge/RunLength.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace {

constexpr size_t kNoTarget = 0;
constexpr size_t kLongestRun = 127;
constexpr uint8_t kValue = 0x05;
constexpr uint8_t kOther = 0x09;

struct DecodeCase {
    const char* name;
    ByteArray bytes;
    size_t target;
    bool stop;
    ByteArray cells;
    size_t consumed;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class RleDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(RleDecodeTest, ReadsCellsAndCountsBytes) {
    const DecodeCase& c = GetParam();
    size_t consumed = 0;
    EXPECT_EQ(RleDecode(c.bytes.data(), c.bytes.size(), c.target, c.stop, &consumed), c.cells);
    EXPECT_EQ(consumed, c.consumed);
    EXPECT_EQ(RleDecode(c.bytes, c.target, c.stop), c.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RleDecodeTest,
    testing::Values(
        DecodeCase{"RunThenLiterals",
                   {0x83, 0x05, 0x81, 0x09, 0x02},
                   kNoTarget,
                   false,
                   {0x05, 0x05, 0x05, 0x09, 0x02},
                   5},
        DecodeCase{"HeaderEightyGivesOneCell", {0x80, 0x07}, kNoTarget, false, {0x07}, 2},
        DecodeCase{"RunOfTwoHeader", {0x82, 0x07, 0x01}, kNoTarget, false, {0x07, 0x07, 0x01}, 3},
        DecodeCase{"HeaderInLastPlaceIsOneCell", {0x05, 0x85}, kNoTarget, false, {0x05, 0x85}, 2},
        // The value byte is read again by the same rules, so a high value starts a second run.
        DecodeCase{"HighValueByteStartsItsOwnRun",
                   {0x83, 0x84, 0x06, 0x02},
                   kNoTarget,
                   false,
                   {0x84, 0x84, 0x06, 0x06, 0x06, 0x06, 0x02},
                   4},
        DecodeCase{"StopCutsALongRun", {0xB8, 0x05}, 10, true, ByteArray(10, 0x05), 2},
        DecodeCase{"StopBeforeTheInputEnds", {0x03, 0x04, 0x05, 0x06}, 2, true, {0x03, 0x04}, 2},
        DecodeCase{"ValueByteBelongsToTheRunThatFillsTheTarget",
                   {0x83, 0x05, 0x09},
                   2,
                   true,
                   {0x05, 0x05},
                   2},
        DecodeCase{"PairsLongerThanTheCellCountAreReadToTheEnd",
                   {0x81, 0x07, 0x81, 0x08, 0x81, 0x09},
                   3,
                   true,
                   {0x07, 0x08, 0x09},
                   6},
        DecodeCase{"ShortInputGivesWhatItHolds", {0x83, 0x05}, 8, true, {0x05, 0x05, 0x05}, 2},
        DecodeCase{"ZeroTargetReadsNothing", {0x01}, 0, true, {}, 0},
        DecodeCase{"EmptyInput", {}, 4, true, {}, 0}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

ByteArray Run(size_t count, uint8_t value) {
    return ByteArray(count, value);
}

ByteArray Concat(ByteArray a, const ByteArray& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct EncodeCase {
    const char* name;
    ByteArray cells;
    ByteArray bytes;
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.name;
}

class RleEncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(RleEncodeTest, WritesTheEditorsForm) {
    EXPECT_EQ(RleEncode(GetParam().cells), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RleEncodeTest,
    testing::Values(
        EncodeCase{"RunOfThree", {0x05, 0x05, 0x05, 0x09, 0x02}, {0x83, 0x05, 0x09, 0x02}},
        EncodeCase{"RunOfTwoBecomesLiterals", {0x05, 0x05, 0x09}, {0x05, 0x05, 0x09}},
        EncodeCase{"RunOfTwoAtTheEndKeepsItsHeader", {0x09, 0x05, 0x05}, {0x09, 0x82, 0x05}},
        EncodeCase{"LongestRun", Run(kLongestRun, kValue), {0xFF, kValue}},
        EncodeCase{
            "OneMoreThanTheLongestRun", Run(kLongestRun + 1, kValue), {0xFF, kValue, 0x81, kValue}},
        EncodeCase{"ThreeMoreThanTheLongestRun",
                   Run(kLongestRun + 3, kValue),
                   {0xFF, kValue, 0x83, kValue}},
        EncodeCase{"TwoMoreThanTheLongestRunThenAnother",
                   Concat(Run(kLongestRun + 2, kValue), {kOther}),
                   {0xFF, kValue, kValue, kValue, kOther}},
        // No previous value at the start: a first cell of 0xFF is a literal like any other.
        EncodeCase{"FirstCellOfFF", {0xFF, 0x01}, {0xFF, 0x01}},
        EncodeCase{"RunOfFFAtTheStart", {0xFF, 0xFF, 0xFF}, {0x83, 0xFF}},
        EncodeCase{"Empty", {}, {}}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return std::string(info.param.name); });

// Every screen the editor can hold (cells 0..127, runs of every length) reads back unchanged.
TEST(RleRoundTrip, EncodedScreensReadBack) {
    constexpr int kScreens = 2000;
    constexpr size_t kMaxCells = 300;
    constexpr uint8_t kCellValues = 128;
    constexpr uint8_t kFewValues = 3;  // so that runs of every length come up
    constexpr size_t kLongRuns = 200;
    constexpr size_t kShortRuns = 4;
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int s = 0; s < kScreens; ++s) {
        ByteArray cells;
        const size_t count = next() % kMaxCells;
        while (cells.size() < count) {
            const uint8_t value =
                static_cast<uint8_t>(next() % (s % 2 == 0 ? kFewValues : kCellValues));
            const size_t run = 1 + next() % (s % 3 == 0 ? kLongRuns : kShortRuns);
            cells.insert(cells.end(), std::min(run, count - cells.size()), value);
        }
        const ByteArray bytes = RleEncode(cells);
        size_t consumed = 0;
        ASSERT_EQ(RleDecode(bytes.data(), bytes.size(), cells.size(), true, &consumed), cells)
            << "screen " << s;
        EXPECT_EQ(consumed, bytes.size()) << "screen " << s;
    }
}

}  // namespace
