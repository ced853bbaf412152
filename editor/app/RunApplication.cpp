#include "app/RunApplication.h"

#include "app/AppTexts.h"
#include "app/Commands.h"
#include "app/MainWindow.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Toolkit.h"
#include "settings/AppPaths.h"
#include "fileio/FileBytes.h"
#include "settings/Palette.h"

namespace {

toolkit::ByteArray ReadBytes(const std::string& path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return toolkit::ByteArray(bytes.begin(), bytes.end());
}

}  // namespace

void ReadSettings(Editor& editor) {
    MapViewSettings& view = editor.view.settings;
    const ConfigFile& file = editor.SettingsFile;
    view.gridColour = static_cast<Gdiplus::ARGB>(
        file.ReadInteger(settings::kKeyGridColour, settings::kDefaultGridColour));
    view.sectionColour = static_cast<Gdiplus::ARGB>(
        file.ReadInteger(settings::kKeySectionColour, settings::kDefaultSectionColour));
    view.separation = file.ReadInteger(settings::kKeySeparation, settings::kDefaultSeparation);
    editor.languageName = file.ReadString(settings::kKeyLanguage, settings::kDefaultLanguage);
    view.pickerColumns = kPickerColumns;
}

void ReadLanguageTexts(Editor& editor) {
    for (int key = 0; key < settings::kLanguageTextCount; ++key) {
        const std::string fallback = settings::kLanguageDefaults[key];
        editor.texts[key] = editor.LanguageFile.ReadString(settings::kLanguageKeys[key], fallback);
        // A key without its end tag reads as empty; a reason nobody can read explains nothing.
        if (editor.texts[key].empty()) {
            editor.texts[key] = fallback;
        }
    }
}

void LoadResourcePictures(Editor& editor) {
    editor.introduction =
        toolkit::LoadImageFile(ResourceFilePath(settings::kIntroductionPictureName).c_str());
    editor.logoBytes = ReadBytes(ResourceFilePath(settings::kLogoPictureName));
    editor.openedLogoBytes = ReadBytes(ResourceFilePath(settings::kOpenedLogoPictureName));
}

void SaveConfiguration(Editor& editor) {
    const MapViewSettings& view = editor.view.settings;
    ConfigFile& file = editor.SettingsFile;
    file.WriteInteger(settings::kKeyGridColour, static_cast<std::int32_t>(view.gridColour));
    file.WriteInteger(settings::kKeySectionColour, static_cast<std::int32_t>(view.sectionColour));
    file.WriteInteger(settings::kKeySeparation, view.separation);
    file.WriteString(settings::kKeyLanguage, editor.languageName);
}

void ReleaseEngine(Editor& editor) {
    if (editor.engineModule != nullptr) {
        // The binding forgets its cached export addresses with the library, so no later call can
        // jump into code that is no longer mapped.
        toolkit::FreeEngine();
        editor.engineModule = nullptr;
    }
}

int RunApplication(Editor& editor) {
    editor.engineModule = LoadLibraryA(toolkit::kEngineLibraryName);
    toolkit::InitUiEngine(reinterpret_cast<std::uintptr_t>(editor.engineModule), false,
                          ReadBytes(app::kEngineThemeFile), {}, ReadBytes(app::kEngineMapDataFile));

    editor.SettingsFile.SetFile(ConfigFilePath(settings::kSettingsFileName));
    ReadSettings(editor);
    editor.LanguageFile.SetFile(LanguageFilePathFor(editor.languageName));
    ReadLanguageTexts(editor);
    LoadNesPalette(editor.palette);
    LoadResourcePictures(editor);
    editor.view.settings.cellWidth = kCellSize;
    editor.view.settings.cellHeight = kCellSize;

    MainWindow& window = *editor.window;
    if (window.Create(editor)) {
        window.Show();
        toolkit::RunMessageLoop(window.Handle());
    }

    // The pictures go first: nothing shows them any more.
    ReleaseViewPictures(editor.view);
    ReleaseEngine(editor);
    SaveConfiguration(editor);
    editor.introduction.reset();
    return 0;
}
