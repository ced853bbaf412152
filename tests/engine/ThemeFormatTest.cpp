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

std::vector<std::uint8_t> Build(const std::string& text,
                                const std::vector<PictureEntry>& pictures) {
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

// Header fields a test may change, by their offset in the header.
enum HeaderField : std::size_t {
    kHeaderSizeField = 6,
    kTextLengthField = 8,
    kPictureCountField = 12,
    kBodyLengthField = 16,
    kCrcField = 20,
};

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= std::uint32_t(bytes[at + i]) << (8 * i);
    }
    return v;
}

void SetU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// Recomputes the CRC after a test changed the body, so that a later check is what refuses it.
void Reseal(std::vector<std::uint8_t>& bytes) {
    const std::size_t body = theme_format::kHeaderSize;
    SetU32(bytes, kCrcField, theme_format::Crc32(bytes.data() + body, bytes.size() - body));
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

// Damage that a CRC cannot see: the header and directory disagree with the bytes, or the text
// breaks its own rules, and the CRC is made to match again. Each numbers field is tried one off
// its true value and at its largest.
TEST(ThemeFormat, SealedDamageIsRefused) {
    const auto good = Build(kText, {{1, "AB"}, {2, "CDE"}});
    const std::uint32_t textLength = GetU32(good, kTextLengthField);
    const std::uint32_t bodyLength = GetU32(good, kBodyLengthField);
    const std::size_t directory = theme_format::kHeaderSize + kText.size();
    const std::size_t firstLength = directory + 4;
    const std::size_t secondLength = directory + theme_format::kDirectoryEntrySize + 4;
    constexpr std::uint32_t kLargest = 0xFFFFFFFFu;
    struct Change {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Change changes[] = {
        {"text one byte past the body", kTextLengthField, bodyLength + 1},
        {"text at the largest length", kTextLengthField, kLargest},
        {"text one byte into the directory", kTextLengthField, textLength + 1},
        {"text one byte short", kTextLengthField, textLength - 1},
        {"one picture more than the directory", kPictureCountField, 3},
        {"picture count at its largest", kPictureCountField, kLargest},
        {"first picture at the largest length", firstLength, kLargest},
        {"first picture's length wraps the offset", firstLength, kLargest - 1},
        {"first picture one byte short", firstLength, 1},
        {"last picture one byte long", secondLength, 4},
        {"body one byte longer than the bytes", kBodyLengthField, bodyLength + 1},
        {"body one byte shorter than the bytes", kBodyLengthField, bodyLength - 1},
        {"body past the largest package", kBodyLengthField,
         theme_format::kMaxPackageSize - theme_format::kHeaderSize + 1},
    };
    for (const Change& c : changes) {
        auto bytes = good;
        SetU32(bytes, c.at, c.value);
        Reseal(bytes);
        Package package;
        EXPECT_FALSE(ParseAtTheEnd(package, bytes)) << c.what;
        EXPECT_EQ(package.ValueCount(), 0u) << c.what;
        EXPECT_EQ(package.Picture(1), nullptr) << c.what;
    }
    for (const std::uint32_t headerSize :
         {theme_format::kHeaderSize - 1, theme_format::kHeaderSize + 1}) {
        auto bytes = good;
        bytes[kHeaderSizeField] = static_cast<std::uint8_t>(headerSize);
        Package package;
        EXPECT_FALSE(ParseAtTheEnd(package, bytes)) << "header size " << headerSize;
    }

    const char* const texts[] = {
        "[Button\nnormal=1,2,3,4\n",    // a section without its closing bracket
        "[Button]\nnormal=1\n[Edit\n",  // the same after a good section
        "[]\nnormal=1\n",               // no section name
        "[ \t]\nnormal=1\n",            // a name of blanks only
        "[Button]\n=1\n",               // an empty key
        "[Button]\n \t=1\n",            // a key of blanks only
        "[Button]\rnormal=1\n",         // a bare CR is no line break
    };
    for (const char* text : texts) {
        Package package;
        EXPECT_FALSE(ParseAtTheEnd(package, Build(text, {}))) << text;
        EXPECT_EQ(package.ValueCount(), 0u) << text;
    }
}

// Values that look like rectangles but hold a number no layout can use are read as text: the
// package is taken, the value is there, and no lookup ever sees it as a rectangle.
TEST(ThemeFormat, UnusableNumbersStayText) {
    const char* const values[] = {
        "nan,0,10,10",          "0,-nan,10,10",
        "inf,0,10,10",          "0,0,1e39,10",
        "0,0,10,1e400",         "10000001,0,10,10",
        "0,0,10,-10000001",     "0,0,10,10,4294967296",
        "0,0,10,10,1000000000", "0,0,10,10,99999999999999999999",
        "0,0,10,10,0x1",
    };
    for (const char* value : values) {
        Package package;
        ASSERT_TRUE(ParseAtTheEnd(package, Build(std::string("[Part]\nkey=") + value + "\n", {})))
            << value;
        const auto* found = package.Find("Part_key");
        ASSERT_NE(found, nullptr) << value;
        EXPECT_FALSE(found->isRect) << value;
        EXPECT_EQ(found->text, value);
    }
}

// The largest numbers a rectangle may hold, and the longest picture id, are taken as they are.
TEST(ThemeFormat, NumbersAtTheirLimitsAreTaken) {
    constexpr float kLargestCoordinate = 1e7f;
    constexpr std::uint32_t kLongestId = 999999999;
    Package package;
    ASSERT_TRUE(
        ParseAtTheEnd(package, Build("[Part]\nkey=10000000,-10000000,1e7,-1e7,999999999\n", {})));
    const auto* found = package.Find("Part_key");
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(found->isRect);
    const float expected[4] = {kLargestCoordinate, -kLargestCoordinate, kLargestCoordinate,
                               -kLargestCoordinate};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(found->rect[i], expected[i]) << i;
    }
    EXPECT_EQ(found->pictureId, kLongestId);

    // A header that declares the largest package is read as declaring exactly that size.
    auto header = Build("", {});
    SetU32(header, kBodyLengthField, theme_format::kMaxPackageSize - theme_format::kHeaderSize);
    EXPECT_EQ(theme_format::DeclaredSize(header.data(), header.size()),
              theme_format::kMaxPackageSize);
    EXPECT_EQ(theme_format::DeclaredSize(header.data(), header.size() - 1), 0u) << "short header";
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
