// The editor's global state: every object the program keeps from start-up to exit. The program
// entry makes it (InitEditorGlobals) before the toolkit starts, and the teardown registered
// there frees it at exit.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cartridge/CartridgeState.h"
#include "foundation/GdiPlusHandles.h"
#include "settings/ConfigFile.h"
#include "settings/SettingsNames.h"
#include "view/MapViewState.h"

class MainWindow;

// Icons of the editor's messages (the values of MessageBeep's MB_ICON constants).
enum MessageIcon : int {
    kMessageIconError = 16,
    kMessageIconInformation = 64,
};

// Shows one message of the editor on its main window and waits until the user closed it.
using MessageRoutine = int (*)(HWND owner, const std::string& text, MessageIcon icon);

struct Editor {
    Editor();
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    const std::string& Text(settings::LanguageText key) const { return texts[key]; }
    // The open cartridge's levels; null while none is open (nothing opened yet, or the last
    // file was refused), so that nothing can edit or save levels that are not on screen.
    LevelList* OpenLevels();

    HMODULE engineModule = nullptr;
    ConfigFile SettingsFile;
    ConfigFile LanguageFile;
    // As stored in the settings, written back unchanged even when it names no usable file.
    std::string languageName = settings::kDefaultLanguage;
    std::array<std::string, settings::kLanguageTextCount> texts;  // GBK
    toolkit::GpImagePtr introduction;
    toolkit::ByteArray logoBytes;
    toolkit::ByteArray openedLogoBytes;
    std::vector<std::int32_t> palette;
    // The level on screen, its pictures, and the drawing settings (grid and section colours,
    // separation, picker columns, cell size).
    MapViewState view;
    CartridgeState cartridge;
    std::string currentPath;   // empty while no cartridge is open
    std::string dialogFolder;  // where the next file dialog starts; empty: the program folder
    std::unique_ptr<MainWindow> window;
    MessageRoutine showMessage;
};

// The one editor of the program; InitEditorGlobals must have run.
Editor& TheEditor();

// Makes the editor's global objects (the two settings files, the main window object and its
// control objects) and registers their teardown to run at exit.
void InitEditorGlobals();
