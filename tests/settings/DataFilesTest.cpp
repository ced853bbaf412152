// The data files laid out beside the program: the shipped settings file, the language files,
// the palette file, the generated pictures and the program icon. The test runs with the program
// folder as its working folder.
#include "settings/ConfigFile.h"
#include "fileio/FileBytes.h"
#include "settings/Palette.h"
#include "settings/SettingsNames.h"

#include "support/MapPicProbe.h"

#include "TempFolder.h"

#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace {

constexpr UINT kGbkCodePage = 936;
constexpr std::size_t kNesColours = 64;
constexpr std::int32_t kMaxRgb = 0xFFFFFF;
constexpr const char kMissing[] = "\x01missing";

std::string AppFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

std::string AppFile(const std::string& relative) {
    return AppFolder() + "\\" + relative;
}

bool IsValidGbk(const std::string& text) {
    return text.empty() || MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

bool HasDoubleByteCharacter(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

TEST(ShippedSettings, HoldTheDefaults) {
    ConfigFile config;
    config.SetFile(AppFile(std::string("config\\") + settings::kSettingsFileName));
    EXPECT_EQ(config.ReadInteger(settings::kKeyGridColour, 0), settings::kDefaultGridColour);
    EXPECT_EQ(config.ReadInteger(settings::kKeySectionColour, 0), settings::kDefaultSectionColour);
    EXPECT_EQ(config.ReadInteger(settings::kKeySeparation, 0), settings::kDefaultSeparation);
    EXPECT_EQ(config.ReadString(settings::kKeyLanguage, kMissing), settings::kDefaultLanguage);
}

// The shipped file is what the editor writes at exit with the defaults, so the first run does
// not change it.
TEST(ShippedSettings, AreWhatTheEditorWritesBack) {
    TempFolder temp;
    ConfigFile written;
    written.SetFile(temp.File(settings::kSettingsFileName));
    ASSERT_TRUE(written.WriteInteger(settings::kKeyGridColour, settings::kDefaultGridColour));
    ASSERT_TRUE(written.WriteInteger(settings::kKeySectionColour, settings::kDefaultSectionColour));
    ASSERT_TRUE(written.WriteInteger(settings::kKeySeparation, settings::kDefaultSeparation));
    ASSERT_TRUE(written.WriteString(settings::kKeyLanguage, settings::kDefaultLanguage));
    std::string expected, shipped;
    ASSERT_TRUE(ReadFileBytes(written.GetFile(), expected));
    ASSERT_TRUE(
        ReadFileBytes(AppFile(std::string("config\\") + settings::kSettingsFileName), shipped));
    EXPECT_EQ(shipped, expected);
}

class LanguageFile : public testing::TestWithParam<const char*> {};

TEST_P(LanguageFile, HoldsEveryKeyAsOneLineOfGbk) {
    const std::string path =
        AppFile(std::string("language\\") + GetParam() + settings::kLanguageFileExtension);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes)) << path;
    EXPECT_TRUE(IsValidGbk(bytes));
    ConfigFile language;
    language.SetFile(path);
    bool anyDoubleByte = false;
    for (const char* key : settings::kLanguageKeys) {
        const std::string text = language.ReadString(key, kMissing);
        EXPECT_NE(text, kMissing) << key;
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << key;
        anyDoubleByte = anyDoubleByte || HasDoubleByteCharacter(text);
    }
    EXPECT_EQ(anyDoubleByte, std::string(GetParam()) == settings::kDefaultLanguage);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageFile, testing::Values("Chinese", "English"));

TEST(PaletteFile, HoldsTheNesColoursOnCrlfLines) {
    const std::string path = AppFile(std::string("resources\\") + settings::kPaletteFileName);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
    const auto palette = ReadNesPalette(path);
    ASSERT_EQ(palette.size(), kNesColours);
    std::set<std::int32_t> distinct;
    for (std::int32_t colour : palette) {
        EXPECT_GE(colour, 0);
        EXPECT_LE(colour, kMaxRgb);
        distinct.insert(colour);
    }
    // Hues, greys and the blacks: far more than a handful of different colours.
    constexpr std::size_t kSomeColours = 48;
    EXPECT_GE(distinct.size(), kSomeColours);
}

class Pictures : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&s_token, &input, nullptr), Gdiplus::Ok);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_token); }

    static std::unique_ptr<Gdiplus::Bitmap> Load(const std::string& relative) {
        const std::string path = AppFile(relative);
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(wide));
        if (bitmap && bitmap->GetLastStatus() != Gdiplus::Ok) {
            bitmap.reset();
        }
        return bitmap;
    }

    static ULONG_PTR s_token;
};
ULONG_PTR Pictures::s_token = 0;

TEST_F(Pictures, ResourcePicturesHaveTheirSizes) {
    constexpr UINT kIntroWidth = 441, kIntroHeight = 238, kLogoSize = 48;
    const auto intro = Load("resources\\introduction.png");
    ASSERT_TRUE(intro);
    EXPECT_EQ(intro->GetWidth(), kIntroWidth);
    EXPECT_EQ(intro->GetHeight(), kIntroHeight);
    const auto logo = Load("resources\\Tevik.png");
    const auto opened = Load("resources\\Opened.png");
    ASSERT_TRUE(logo && opened);
    EXPECT_EQ(logo->GetWidth(), kLogoSize);
    EXPECT_EQ(opened->GetWidth(), kLogoSize);
    std::string logoBytes, openedBytes;
    ReadFileBytes(AppFile("resources\\Tevik.png"), logoBytes);
    ReadFileBytes(AppFile("resources\\Opened.png"), openedBytes);
    EXPECT_NE(logoBytes, openedBytes);
}

TEST_F(Pictures, EverySuperTileCarriesItsProbe) {
    using namespace mappic_probe;
    for (int level = 1; level <= kLevelCount; ++level) {
        for (int index = 0; index < kPicturesPerLevel; ++index) {
            char name[32];
            std::snprintf(name, sizeof name, "MapPic\\%d\\%02X.bmp", level, index);
            const auto picture = Load(name);
            ASSERT_TRUE(picture) << name;
            ASSERT_EQ(picture->GetWidth(), static_cast<UINT>(kPictureSize)) << name;
            ASSERT_EQ(picture->GetHeight(), static_cast<UINT>(kPictureSize)) << name;
            Gdiplus::Color colour;
            ASSERT_EQ(picture->GetPixel(kProbeX, kProbeY, &colour), Gdiplus::Ok);
            int probedLevel = 0, probedIndex = 0;
            ASSERT_TRUE(DecodeProbe(colour.GetValue(), probedLevel, probedIndex)) << name;
            EXPECT_EQ(probedLevel, level) << name;
            EXPECT_EQ(probedIndex, index) << name;
        }
    }
}

TEST(ProgramIcon, LoadsInBothSizes) {
    for (int size : {32, 16}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(nullptr, VENNMARK_ICON_PATH, IMAGE_ICON, size, size, LR_LOADFROMFILE));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
