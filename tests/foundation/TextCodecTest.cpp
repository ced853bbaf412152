#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/TextCodec.h"

namespace {

using namespace toolkit;

ByteArray WideBytes(const wchar_t* text) {
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    ByteArray result(bytes);
    std::memcpy(result.data(), text, bytes);
    return result;
}

TEST(TextCodec, GbkRoundTrips) {
    struct Case {
        const char* gbk;
        const wchar_t* wide;
    };
    const Case cases[] = {
        {"宋体", L"宋体"},
        {"全部选择(&A)", L"全部选择(&A)"},
        {"abc", L"abc"},
        {"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextToWide(c.gbk), WideBytes(c.wide)) << c.gbk;
        EXPECT_EQ(WideToText(WideBytes(c.wide)), c.gbk) << c.gbk;
        EXPECT_EQ(ToWideString(c.gbk), c.wide);
        EXPECT_EQ(FromWideString(c.wide), c.gbk);
    }
}

TEST(TextCodec, EmptyAndAbsentTextsAreTheSame) {
    const ByteArray nul = {0, 0};
    EXPECT_EQ(TextToWide(""), nul);
    EXPECT_EQ(TextToWide(static_cast<const char*>(nullptr)), nul);
    EXPECT_EQ(WideToText(ByteArray()), "");
    EXPECT_EQ(WideToText(ByteArray{0x41}), "");
}

TEST(TextCodec, OddLastByteIsIgnoredAndTextEndsAtTheFirstNul) {
    ByteArray wide = WideBytes(L"ab");
    wide.pop_back();  // "a", "b" and half a NUL
    EXPECT_EQ(WideToText(wide), "ab");
    const ByteArray withNul = {'a', 0, 0, 0, 'b', 0};
    EXPECT_EQ(WideToText(withNul), "a");
}

TEST(TextCodec, GivenCodePages) {
    constexpr unsigned kAnsi = 0;
    constexpr unsigned kUtf8 = CP_UTF8;
    // The ANSI code page of the users' machines is 936 as well.
    EXPECT_EQ(TextToWide("宋体", kAnsi), TextToWide("宋体"));
    EXPECT_EQ(WideToText(WideBytes(L"宋"), kUtf8), "\xE5\xAE\x8B");
}

}  // namespace
