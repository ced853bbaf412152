// The settings file at start-up and exit: defaults, the round trip of stored values (the
// language name included, even one that names no usable file), and no file where the config
// folder is missing.
#include <gtest/gtest.h>

#include <algorithm>

#include "AppTestSupport.h"
#include "TempFolder.h"
#include "app/RunApplication.h"
#include "foundation/EngineBinding.h"
#include "settings/AppPaths.h"
#include "settings/ConfigFile.h"

namespace app_test {
namespace {

constexpr char kConfigFolder[] = "config";
constexpr std::int32_t kGrid = static_cast<std::int32_t>(0x80112233u);
constexpr std::int32_t kSection = static_cast<std::int32_t>(0xFF445566u);
constexpr std::int32_t kSeparation = 1234;  // stored as written, clamped only when drawing
constexpr char kUnsafeLanguage[] = "..\\..\\Elsewhere";

class SettingsTest : public EditorTest {
protected:
    std::string SettingsPath(const std::string& folder) {
        return folder + "\\" + settings::kSettingsFileName;
    }
};

TEST_F(SettingsTest, NoSettingsFileGivesTheDefaultsAndExitWritesThem) {
    TempFolder folder;
    const std::string config = folder.File(kConfigFolder);
    ASSERT_TRUE(CreateDirectoryA(config.c_str(), nullptr));
    editor().SettingsFile.SetFile(SettingsPath(config));
    ReadSettings(editor());
    const MapViewSettings& view = editor().view.settings;
    EXPECT_EQ(static_cast<std::int32_t>(view.gridColour), settings::kDefaultGridColour);
    EXPECT_EQ(static_cast<std::int32_t>(view.sectionColour), settings::kDefaultSectionColour);
    EXPECT_EQ(view.separation, settings::kDefaultSeparation);
    EXPECT_EQ(view.pickerColumns, kPickerColumns);
    EXPECT_EQ(editor().languageName, settings::kDefaultLanguage);

    SaveConfiguration(editor());
    const std::string text = ReadFile(SettingsPath(config));
    EXPECT_NE(text.find("[Integer]"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(settings::kKeyGridColour) + "=-22273"), std::string::npos);
    EXPECT_NE(text.find(std::string(settings::kKeySectionColour) + "=-16742145"),
              std::string::npos);
    EXPECT_NE(text.find(std::string(settings::kKeySeparation) + "=5"), std::string::npos);
    EXPECT_NE(text.find("[String]"), std::string::npos);
    EXPECT_NE(text.find(std::string(settings::kKeyLanguage) + "=" + settings::kDefaultLanguage +
                        settings::kStringEndTag),
              std::string::npos)
        << text;
}

TEST_F(SettingsTest, StoredValuesComeBackUnchangedAtExit) {
    TempFolder folder;
    const std::string config = folder.File(kConfigFolder);
    ASSERT_TRUE(CreateDirectoryA(config.c_str(), nullptr));
    ConfigFile stored;
    stored.SetFile(SettingsPath(config));
    stored.WriteInteger(settings::kKeyGridColour, kGrid);
    stored.WriteInteger(settings::kKeySectionColour, kSection);
    stored.WriteInteger(settings::kKeySeparation, kSeparation);
    stored.WriteString(settings::kKeyLanguage, kUnsafeLanguage);

    editor().SettingsFile.SetFile(SettingsPath(config));
    ReadSettings(editor());
    EXPECT_EQ(editor().languageName, kUnsafeLanguage);
    // A name that would leave the language folder loads the default language instead.
    EXPECT_EQ(LanguageFilePathFor(editor().languageName),
              LanguageFilePath(std::string(settings::kDefaultLanguage) +
                               settings::kLanguageFileExtension));

    ASSERT_TRUE(DeleteFileA(SettingsPath(config).c_str()));
    SaveConfiguration(editor());
    ConfigFile written;
    written.SetFile(SettingsPath(config));
    EXPECT_EQ(written.ReadInteger(settings::kKeyGridColour, 0), kGrid);
    EXPECT_EQ(written.ReadInteger(settings::kKeySectionColour, 0), kSection);
    EXPECT_EQ(written.ReadInteger(settings::kKeySeparation, 0), kSeparation);
    EXPECT_EQ(written.ReadString(settings::kKeyLanguage, ""), kUnsafeLanguage);
}

TEST_F(SettingsTest, NothingIsWrittenWhereTheConfigFolderIsMissing) {
    TempFolder folder;
    const std::string config = folder.File(kConfigFolder);
    editor().SettingsFile.SetFile(SettingsPath(config));
    ReadSettings(editor());
    SaveConfiguration(editor());
    EXPECT_EQ(GetFileAttributesA(config.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the config folder must never be created";
}

bool AnyCachedAddress(const toolkit::EngineBinding& binding) {
    return std::any_of(binding.procs.begin(), binding.procs.end(),
                       [](std::uint32_t address) { return address != 0; });
}

TEST(EditorExit, FreesTheEngineThroughTheBindingSoNoAddressOutlivesIt) {
    Editor& editor = TheEditor();
    const toolkit::EngineBinding kept = toolkit::GetEngineBinding();
    ASSERT_NE(kept.module, 0u);
    ASSERT_TRUE(AnyCachedAddress(kept));
    // One more reference keeps the library mapped for the tests that follow this one.
    const HMODULE extra = LoadLibraryA(toolkit::kEngineLibraryName);
    ASSERT_NE(extra, nullptr);

    ReleaseEngine(editor);
    EXPECT_EQ(editor.engineModule, nullptr);
    EXPECT_EQ(toolkit::GetEngineBinding().module, 0u);
    EXPECT_FALSE(AnyCachedAddress(toolkit::GetEngineBinding()));
    // A wrapper called after the exit finds no library and does nothing.
    EXPECT_EQ(toolkit::GetEngineProc(1), 0u);

    toolkit::GetEngineBinding() = kept;
    editor.engineModule = extra;
}

}  // namespace
}  // namespace app_test
