// Theme packages through the engine: loading (valid, empty, damaged, truncated), lookups of
// texts, rectangles and pictures, reference counting, the default theme and its fallbacks,
// and the packages the programs ship.
#include "EngineTestSupport.h"

#include "../support/CpuEmulation.h"
#include "../support/GuardedBytes.h"
#include "foundation/BuiltInTheme.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>

namespace engine_test {
namespace {

using namespace engine_abi;

const char kDefaultPackage[] = "ex_directui.ext";
const char kSkinPackage[] = "thunder.ext";
constexpr Word kPictureArea = 1;  // picture 1 holds every part of the shipped themes
constexpr std::size_t kHeaderBytes = 24;

Word Load(const std::vector<std::uint8_t>& bytes) {
    return Call(kOrdLoadTheme, W(bytes.data()), static_cast<Word>(bytes.size()), 0, 0);
}

Word Atom(const std::string& section, const std::string& key, const char* suffix = "") {
    return AddAtomA((section + kThemeKeySeparator + key + suffix).c_str());
}

const char* Text(Word theme, const std::string& section, const std::string& key) {
    return reinterpret_cast<const char*>(Call(kOrdThemeText, theme, Atom(section, key), 0));
}

struct RectResult {
    bool found = false;
    float rect[4] = {};
    Word picture = kNoPicture;
};

RectResult RectF(Word theme, const std::string& section, const std::string& key) {
    RectResult r;
    r.found = Call(kOrdThemeRectF, theme, Atom(section, key, kThemeRectFSuffix), W(section.c_str()),
                   W(key.c_str()), W(r.rect), W(&r.picture)) != 0;
    return r;
}

class EngineThemes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Call(kOrdInit, 0, 0, W(kBuiltInThemePackage), 0, 0, 0, 0, 0, 0, 0, 0, W(GetProcessHeap()));
    }
    std::vector<std::uint8_t> m_default = ReadWholeFile(kDefaultPackage);
    std::vector<std::uint8_t> m_skin = ReadWholeFile(kSkinPackage);
};

TEST_F(EngineThemes, LoadRefusesEmptyDamagedAndTruncatedPackages) {
    ASSERT_GT(m_default.size(), kHeaderBytes);
    Word theme = Load(m_default);
    EXPECT_NE(theme, 0u);
    EXPECT_EQ(Call(kOrdReleaseTheme, theme), 1u);

    EXPECT_EQ(Call(kOrdLoadTheme, W(m_default.data()), 0, 0, 0), 0u) << "empty";
    EXPECT_EQ(Call(kOrdLoadTheme, 0, 0, 0, 0), 0u) << "absent";
    std::vector<std::uint8_t> damaged = m_default;
    damaged[damaged.size() / 2] ^= 0x5A;
    EXPECT_EQ(Load(damaged), 0u) << "body no longer matches its CRC";
    std::vector<std::uint8_t> truncated(m_default.begin(), m_default.end() - 1);
    EXPECT_EQ(Load(truncated), 0u);
    std::vector<std::uint8_t> headerOnly(m_default.begin(), m_default.begin() + kHeaderBytes);
    EXPECT_EQ(Load(headerOnly), 0u);
    std::vector<std::uint8_t> wrongMagic = m_default;
    wrongMagic[0] = 'X';
    EXPECT_EQ(Load(wrongMagic), 0u);
}

TEST_F(EngineThemes, PackageBytesAreCopied) {
    std::vector<std::uint8_t> bytes = m_default;
    Word theme = Load(bytes);
    ASSERT_NE(theme, 0u);
    std::fill(bytes.begin(), bytes.end(), 0);
    EXPECT_NE(Text(theme, "SysShadow.HostWnd", "cycaption"), nullptr);
    Call(kOrdReleaseTheme, theme);
}

TEST_F(EngineThemes, TextRectangleFloatRectangleAndPicture) {
    Word theme = Load(m_default);
    ASSERT_NE(theme, 0u);

    Word length = 0;
    const char* caption = reinterpret_cast<const char*>(
        Call(kOrdThemeText, theme, Atom("SysShadow.HostWnd", "cycaption"), W(&length)));
    ASSERT_NE(caption, nullptr);
    EXPECT_GT(std::atoi(caption), 0);
    EXPECT_EQ(length, std::strlen(caption));
    EXPECT_EQ(Text(theme, "sysshadow.hostwnd", "CYCAPTION"), caption) << "case is ignored";
    EXPECT_EQ(Text(theme, "SysShadow.HostWnd", "nosuchkey"), nullptr);

    std::int32_t rect[4] = {-1, -1, -1, -1};
    Word picture = 0xFFFF;
    ASSERT_EQ(Call(kOrdThemeRect, theme, Atom("Button", "normal", kThemeRectSuffix), W("Button"),
                   W("normal"), W(rect), W(&picture)),
              1u);
    EXPECT_EQ(picture, kPictureArea);
    EXPECT_GT(rect[2], 0);
    EXPECT_GT(rect[3], 0);

    // The atom alone names the value when the texts are not given.
    std::int32_t byAtom[4] = {};
    EXPECT_EQ(
        Call(kOrdThemeRect, theme, Atom("Button", "normal", kThemeRectSuffix), 0, 0, W(byAtom), 0),
        1u);
    EXPECT_EQ(std::memcmp(rect, byAtom, sizeof rect), 0);

    RectResult grid = RectF(theme, "Button", "gird");
    ASSERT_TRUE(grid.found);
    EXPECT_EQ(grid.picture, kNoPicture);
    EXPECT_GT(grid.rect[0], 0.0f);

    // Not found: nothing written.
    std::int32_t untouched[4] = {7, 7, 7, 7};
    Word untouchedPicture = 7;
    EXPECT_EQ(Call(kOrdThemeRect, theme, 0, W("Button"), W("nosuchpart"), W(untouched),
                   W(&untouchedPicture)),
              0u);
    EXPECT_EQ(untouched[0], 7);
    EXPECT_EQ(untouchedPicture, 7u);
    EXPECT_EQ(
        Call(kOrdThemeRect, theme, 0, W("SysShadow.HostWnd"), W("cycaption"), W(untouched), 0), 0u)
        << "a single number is not a rectangle";

    Image area(Call(kOrdThemeImage, theme, picture));
    ASSERT_TRUE(area.Valid());
    EXPECT_GE(area.Width(), UINT(rect[0] + rect[2]));
    EXPECT_NE(area.Pixel(rect[0] + rect[2] / 2, rect[1] + rect[3] / 2) & 0xFF000000u, 0u)
        << "the part is painted";
    Image second(Call(kOrdThemeImage, theme, picture));
    EXPECT_NE(second.Get(), area.Get()) << "every call makes a new image";
    EXPECT_EQ(Call(kOrdThemeImage, theme, kNoPicture), 0u);
    Call(kOrdReleaseTheme, theme);
}

TEST_F(EngineThemes, ReferenceCounting) {
    Word theme = Load(m_default);
    ASSERT_NE(theme, 0u);
    EXPECT_EQ(Call(kOrdAdoptTheme, theme), theme);
    EXPECT_EQ(Call(kOrdReleaseTheme, theme), 1u);
    EXPECT_NE(Text(theme, "SysShadow.HostWnd", "cycaption"), nullptr) << "one reference left";
    EXPECT_EQ(Call(kOrdReleaseTheme, theme), 1u);
    EXPECT_EQ(Text(theme, "SysShadow.HostWnd", "cycaption"), nullptr) << "freed at zero";
    EXPECT_EQ(Call(kOrdReleaseTheme, theme), 0u);
    EXPECT_EQ(Call(kOrdAdoptTheme, theme), 0u);
}

// Handle 0 falls back to the default theme, or to the built-in one while none is set; a theme
// handle never falls back key by key. The skin is the only package with border colours.
TEST_F(EngineThemes, DefaultThemeFallbacksAndItsReference) {
    const std::string section = "SysShadow.HostWnd", borders = "crborder";
    EXPECT_NE(Text(0, "Button", "normal"), nullptr) << "built-in theme";
    EXPECT_EQ(Text(0, section, borders), nullptr);

    // Ordinal 1 again without a built-in package: handle 0 finds nothing until it is back.
    Call(kOrdInit, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, W(GetProcessHeap()));
    EXPECT_EQ(Text(0, "Button", "normal"), nullptr);
    SetUpTestSuite();
    EXPECT_NE(Text(0, "Button", "normal"), nullptr);

    Word skin = Load(m_skin);
    Word plain = Load(m_default);
    ASSERT_NE(skin, 0u);
    ASSERT_NE(plain, 0u);
    EXPECT_EQ(Call(kOrdSetDefaultTheme, skin), 1u);
    EXPECT_EQ(Call(kOrdSetDefaultTheme, skin), 1u) << "setting it again keeps one reference";
    EXPECT_NE(Text(0, section, borders), nullptr) << "handle 0 is the default now";
    EXPECT_EQ(Text(plain, section, borders), nullptr) << "no key-by-key fallback";
    std::int32_t rect[4];
    EXPECT_EQ(Call(kOrdThemeRect, plain, 0, W("SysButton.Skn"), W("size"), W(rect), 0), 0u);

    EXPECT_EQ(Call(kOrdReleaseTheme, skin), 1u);
    EXPECT_NE(Text(skin, section, borders), nullptr) << "the default holds a reference";
    EXPECT_EQ(Call(kOrdSetDefaultTheme, plain), 1u);
    EXPECT_EQ(Text(skin, section, borders), nullptr) << "released when replaced";
    EXPECT_EQ(Call(kOrdReleaseTheme, plain), 1u);
    EXPECT_NE(Text(0, "Button", "normal"), nullptr) << "still held as the default";
}

// Every key the programs ask for, in both shipped packages.
const std::pair<const char*, const char*> kRequiredKeys[] = {
    {"SysShadow.HostWnd", "margin"},
    {"SysShadow.HostWnd", "rectround"},
    {"SysShadow.HostWnd", "cycaption"},
    {"SysShadow.HostWnd", "rect"},
    {"SysShadow.HostWnd", "gird"},
    {"SysShadow.SubWnd", "margin"},
    {"SysShadow.SubWnd", "cycaption"},
    {"SysShadow.SubWnd", "rect"},
    {"SysShadow.Menu", "margin"},
    {"SysShadow.Menu", "left_text"},
    {"SysShadow.Menu", "left_icon"},
    {"SysShadow.Menu", "left_cutline"},
    {"SysShadow.Menu", "right_cutline"},
    {"SysShadow.Menu", "rect"},
    {"SysShadow.Menu", "gird"},
    {"SysShadow.Menu", "checkrect"},
    {"SysButton", "offsetright"},
    {"SysButton", "top"},
    {"SysButton.Close", "size"},
    {"SysButton.Close", "normal"},
    {"SysButton.Close", "highlight"},
    {"SysButton.Close", "down"},
    {"SysButton.Max", "size"},
    {"SysButton.Min", "size"},
    {"SysButton.Restore", "normal"},
    {"SysButton.Menu", "size"},
    {"MsgBox", "iconsize"},
    {"MsgBox", "barheight"},
    {"MsgBox", "blocksize"},
    {"MsgBox", "rect"},
    {"MsgBox", "m16"},
    {"MsgBox", "m32"},
    {"MsgBox", "m48"},
    {"MsgBox", "m64"},
    {"Button", "normal"},
    {"Button", "highlight"},
    {"Button", "down"},
    {"Button", "focus"},
    {"Button", "margin"},
    {"CheckButton", "size"},
    {"CheckButton", "normal"},
    {"CheckButton", "normal_ck"},
    {"CheckButton", "highlight_ck"},
    {"CheckButton", "down_ck"},
    {"RadioButton", "size"},
    {"RadioButton", "focus"},
    {"RadioButton", "focus_ck"},
    {"ScrollBar", "h_gird"},
    {"ScrollBar", "v_gird"},
    {"ScrollBar", "h_left_normal"},
    {"ScrollBar", "h_right_down"},
    {"ScrollBar", "v_up_highlight"},
    {"ScrollBar", "v_down_normal"},
    {"ScrollBar", "h_bg"},
    {"ScrollBar", "h_bg_gird"},
    {"ScrollBar", "v_bg"},
    {"ScrollBar", "v_bg_gird"},
    {"ScrollBar", "h_highlight"},
    {"ScrollBar", "v_down"},
    {"Edit", "normal"},
    {"Edit", "focus"},
    {"Edit", "margin"},
    {"ComboBox", "normal"},
    {"ComboBox", "focus"},
    {"ComboBox", "margin"},
    {"ComboBox", "normal_btn"},
    {"ComboBox", "down_btn"},
    {"ComboBox", "gird_btn"},
    {"ComboBox", "spin_up"},
    {"ComboBox", "spin_down"},
};

TEST_F(EngineThemes, ShippedPackagesHoldEveryKeyTheProgramsAskFor) {
    for (const auto* bytes : {&m_default, &m_skin}) {
        Word theme = Load(*bytes);
        ASSERT_NE(theme, 0u);
        for (const auto& [section, key] : kRequiredKeys) {
            EXPECT_NE(Text(theme, section, key), nullptr) << section << " " << key;
        }
        Call(kOrdReleaseTheme, theme);
    }
}

// Every value of the shared layout source comes back from the default theme, which replaces
// none of them: as text, and where it holds four numbers as a rectangle of floats and of whole
// numbers, with its picture id.
TEST_F(EngineThemes, ValuesMatchTheLayoutSource) {
    std::ifstream source(std::string(VENNMARK_SOURCE_DIR) + "/tools/themes/layout.ini");
    ASSERT_TRUE(source.good());
    Word theme = Load(m_default);
    ASSERT_NE(theme, 0u);
    std::string line, section;
    int texts = 0, rectangles = 0;
    while (std::getline(source, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const std::string key = line.substr(0, line.find('='));
        const std::string value = line.substr(line.find('=') + 1);
        const char* text = Text(theme, section, key);
        ASSERT_NE(text, nullptr) << section << " " << key;
        EXPECT_EQ(std::string(text), value) << section << " " << key;
        ++texts;

        std::istringstream values(value);
        std::vector<float> numbers;
        for (std::string part; std::getline(values, part, ',');) {
            numbers.push_back(std::stof(part));
        }
        if (numbers.size() < 4) {
            continue;
        }
        const Word picture = numbers.size() == 5 ? Word(numbers[4]) : kNoPicture;
        RectResult r = RectF(theme, section, key);
        ASSERT_TRUE(r.found) << section << " " << key;
        std::int32_t whole[4] = {};
        Word wholePicture = 0;
        ASSERT_EQ(Call(kOrdThemeRect, theme, 0, W(section.c_str()), W(key.c_str()), W(whole),
                       W(&wholePicture)),
                  1u)
            << section << " " << key;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(r.rect[i], numbers[i]) << section << " " << key;
            EXPECT_EQ(whole[i], static_cast<std::int32_t>(numbers[i])) << section << " " << key;
        }
        EXPECT_EQ(r.picture, picture) << section << " " << key;
        EXPECT_EQ(wholePicture, picture) << section << " " << key;
        ++rectangles;
    }
    EXPECT_GT(texts, rectangles);
    EXPECT_GT(rectangles, 0);
    Call(kOrdReleaseTheme, theme);
}

// The built-in package comes without a length: the engine takes its size from the header and
// must find that many bytes readable. Placed so that readable memory ends with its last byte it
// is taken; cut one byte short there, it is refused without a read past the end.
TEST_F(EngineThemes, BuiltInPackageIsReadOnlyWhereMemoryIs) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    const std::vector<std::uint8_t> whole(kBuiltInThemePackage,
                                          kBuiltInThemePackage + kBuiltInThemePackageSize);
    const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 1);
    const test_support::GuardedBytes exact(whole), shortened(cut);
    ASSERT_NE(exact.data(), nullptr);
    ASSERT_NE(shortened.data(), nullptr);
    const auto initWith = [](const std::uint8_t* package) {
        Call(kOrdInit, 0, 0, W(package), 0, 0, 0, 0, 0, 0, 0, 0, W(GetProcessHeap()));
    };
    // Handle 0 must reach the built-in theme: a default theme left by another test goes once
    // a theme made the default loses its last reference.
    const Word last = Load(m_default);
    ASSERT_EQ(Call(kOrdSetDefaultTheme, last), 1u);
    Call(kOrdReleaseTheme, last);
    Call(kOrdReleaseTheme, last);

    initWith(shortened.data());
    EXPECT_EQ(Text(0, "Button", "normal"), nullptr) << "the cut package is no theme";
    initWith(exact.data());
    EXPECT_NE(Text(0, "Button", "normal"), nullptr) << "the whole package is the built-in theme";
    SetUpTestSuite();
}

// The average colour of a theme's push button: the two shipped themes must be told apart.
struct Average {
    double red = 0, green = 0, blue = 0;
};

Average ButtonColour(const std::vector<std::uint8_t>& package) {
    Word theme = Load(package);
    RectResult r = RectF(theme, "Button", "normal");
    Image image(Call(kOrdThemeImage, theme, r.picture));
    Average a;
    int count = 0;
    for (int y = int(r.rect[1]); y < int(r.rect[1] + r.rect[3]); ++y) {
        for (int x = int(r.rect[0]); x < int(r.rect[0] + r.rect[2]); ++x) {
            Gdiplus::ARGB p = image.Pixel(x, y);
            a.red += (p >> 16) & 0xFF;
            a.green += (p >> 8) & 0xFF;
            a.blue += p & 0xFF;
            ++count;
        }
    }
    Call(kOrdReleaseTheme, theme);
    a.red /= count;
    a.green /= count;
    a.blue /= count;
    return a;
}

TEST_F(EngineThemes, DefaultThemeAndSkinHaveDistinctDominantColours) {
    constexpr double kClearMargin = 60;
    Average blue = ButtonColour(m_default);
    Average orange = ButtonColour(m_skin);
    EXPECT_GT(blue.blue, blue.red + kClearMargin) << "the default theme is blue";
    EXPECT_GT(orange.red, orange.blue + kClearMargin) << "the skin is orange";
}

}  // namespace
}  // namespace engine_test
