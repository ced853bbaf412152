// The package parser on hand-built packages: header checks, CRC, picture directory, text and
// rectangle values. Runs natively under the sanitizers too.
#include "ThemePackage.h"

#ifdef _WIN32
#include "../support/GuardedBytes.h"
#endif

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using theme_format::Package;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

struct PictureEntry {
    std::uint32_t id;
    std::string bytes;
};

std::vector<std::uint8_t> Build(const std::string& text, const std::vector<PictureEntry>& pictures) {
    std::vector<std::uint8_t> body(text.begin(), text.end());
    for (const auto& p : pictures) {
        PutU32(body, p.id);
        PutU32(body, static_cast<std::uint32_t>(p.bytes.size()));
    }
    for (const auto& p : pictures) {
        body.insert(body.end(), p.bytes.begin(), p.bytes.end());
    }
    std::vector<std::uint8_t> out(theme_format::kMagic, theme_format::kMagic + 4);
    out.push_back(theme_format::kVersion);
    out.push_back(0);
    out.push_back(theme_format::kHeaderSize);
    out.push_back(0);
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    PutU32(out, static_cast<std::uint32_t>(pictures.size()));
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    PutU32(out, theme_format::Crc32(body.data(), body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Recomputes the CRC after a test changed the body, so that a later check is what refuses it.
void Reseal(std::vector<std::uint8_t>& bytes) {
    const std::size_t body = theme_format::kHeaderSize;
    std::uint32_t crc = theme_format::Crc32(bytes.data() + body, bytes.size() - body);
    constexpr std::size_t kCrcOffset = 20;
    for (int i = 0; i < 4; ++i) {
        bytes[kCrcOffset + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    }
}

const std::string kText =
    "; comment\r\n[Button]\r\nnormal = 1, 2.5, 30, 40, 7\r\ngird=4,4,4,4\r\n"
    "filltype=1\r\n[SysShadow.HostWnd]\r\nmargin=10,10,-10,-10\r\ncrborder=1,2\r\n";

// Under Wine the package ends where readable memory ends, so a read past it faults in the test;
// the native build has the address sanitizer for that.
bool ParseAtTheEnd(Package& package, const std::vector<std::uint8_t>& bytes) {
#ifdef _WIN32
    const test_support::GuardedBytes guarded(bytes);
    EXPECT_NE(guarded.data(), nullptr);
    return package.Parse(guarded.data(), guarded.size());
#else
    return package.Parse(bytes.data(), bytes.size());
#endif
}

TEST(ThemeFormat, CrcIsTheStandardOne) {
    const char* check = "123456789";
    constexpr std::uint32_t kStandardCheck = 0xCBF43926;
    EXPECT_EQ(theme_format::Crc32(reinterpret_cast<const std::uint8_t*>(check), 9), kStandardCheck);
}

TEST(ThemeFormat, ValuesRectanglesAndPictures) {
    auto bytes = Build(kText, {{7, "PICTURE"}});
    Package package;
    ASSERT_TRUE(ParseAtTheEnd(package, bytes));
    EXPECT_EQ(theme_format::DeclaredSize(bytes.data(), bytes.size()), bytes.size());

    const auto* normal = package.Find("BUTTON_Normal");
    ASSERT_NE(normal, nullptr);
    EXPECT_TRUE(normal->isRect);
    EXPECT_FLOAT_EQ(normal->rect[1], 2.5f);
    EXPECT_EQ(normal->pictureId, 7u);
    const auto* grid = package.Find("Button_gird");
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->isRect);
    EXPECT_EQ(grid->pictureId, 0u);
    const auto* margin = package.Find("SysShadow.HostWnd_margin");
    ASSERT_NE(margin, nullptr);
    EXPECT_FLOAT_EQ(margin->rect[2], -10.0f);
    const auto* fill = package.Find("Button_filltype");
    ASSERT_NE(fill, nullptr);
    EXPECT_FALSE(fill->isRect);
    EXPECT_EQ(fill->text, "1");
    EXPECT_FALSE(package.Find("SysShadow.HostWnd_crborder")->isRect) << "two numbers";
    EXPECT_EQ(package.Find("Button_nothing"), nullptr);

    const auto* picture = package.Picture(7);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(std::string(picture->begin(), picture->end()), "PICTURE");
    EXPECT_EQ(package.Picture(1), nullptr);
}

TEST(ThemeFormat, DamagedPackagesAreRefused) {
    const auto good = Build(kText, {{1, "AB"}, {2, "CDE"}});
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"truncated", {good.begin(), good.end() - 1}});
    cases.push_back({"trailing byte", good});
    cases.back().bytes.push_back(0);
    cases.push_back({"body changed", good});
    cases.back().bytes[theme_format::kHeaderSize + 3] ^= 1;
    cases.push_back({"magic", good});
    cases.back().bytes[1] = '?';
    cases.push_back({"version", good});
    cases.back().bytes[4] = 9;
    cases.push_back({"picture past the end", Build(kText, {{1, "AB"}})});
    cases.back().bytes[theme_format::kHeaderSize + kText.size() + 4] = 200;  // its length
    Reseal(cases.back().bytes);
    cases.push_back({"duplicate picture id", Build(kText, {{3, "A"}, {3, "B"}})});
    cases.push_back({"picture id 0", Build(kText, {{0, "A"}})});
    cases.push_back({"key outside a section", Build("key=1\n", {})});
    cases.push_back({"line without =", Build("[A]\nnonsense\n", {})});
    cases.push_back({"NUL in the text", Build(std::string("[A]\nk=1\0", 8), {})});
    for (const auto& c : cases) {
        Package package;
        EXPECT_FALSE(ParseAtTheEnd(package, c.bytes)) << c.what;
        EXPECT_EQ(package.ValueCount(), 0u) << c.what;
    }
}

TEST(ThemeFormat, RectangleValues) {
    struct Case {
        const char* text;
        bool isRect;
        std::uint32_t picture;
    };
    const Case cases[] = {
        {"1,2,3,4", true, 0},  {" 1 , 2 , 3 , 4 , 9 ", true, 9},
        {"1,2,3", false, 0},   {"1,2,3,4,5,6", false, 0},
        {"1,2,x,4", false, 0}, {"1,2,3,4,-1", false, 0},
        {"", false, 0},        {"0.5,0.25,1e2,4", true, 0},
    };
    for (const auto& c : cases) {
        float rect[4];
        std::uint32_t picture = 0;
        EXPECT_EQ(theme_format::ParseRect(c.text, rect, picture), c.isRect) << c.text;
        if (c.isRect) {
            EXPECT_EQ(picture, c.picture) << c.text;
        }
    }
}

}  // namespace
