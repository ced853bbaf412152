// The two facts every narrow text in the programs relies on: literals are compiled to GBK, and
// the ANSI code page the programs run under is 936, as on the users' machines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr UINT kChineseCodePage = 936;

TEST(Platform, NarrowLiteralsAreGbk) {
    const unsigned char expected[] = {0xCB, 0xCE, 0xCC, 0xE5};  // "宋体" in GBK
    const char* songTi = "宋体";
    ASSERT_EQ(std::strlen(songTi), sizeof expected);
    EXPECT_EQ(std::memcmp(songTi, expected, sizeof expected), 0);
}

TEST(Platform, AnsiCodePageIs936) {
    EXPECT_EQ(GetACP(), kChineseCodePage);
    wchar_t wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "宋体", -1, wide, 8), 3);
    EXPECT_STREQ(wide, L"宋体");
}

}  // namespace
