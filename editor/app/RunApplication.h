// The editor's start-up routine and what it reads and writes around the message loop.
#pragma once

#include "app/Editor.h"

// Binds the engine, reads the settings, language, palette and resource files, builds and shows
// the main window, runs the message loop until the window is gone, then frees the engine and
// writes the settings back. Always 0 (the program's exit code).
int RunApplication(Editor& editor);

// Reads the four settings from SettingsFile (its path already set); absent keys give the
// defaults.
void ReadSettings(Editor& editor);
// Reads the language texts from LanguageFile (its path already set). A key that is absent or reads
// as empty takes its default (settings::kLanguageDefaults): empty for the texts every language
// file holds, English for the editor's own.
void ReadLanguageTexts(Editor& editor);
// Reads the introduction picture and the two logos from the resources folder.
void LoadResourcePictures(Editor& editor);
// Frees the engine library through the toolkit's binding and forgets the module.
void ReleaseEngine(Editor& editor);
// Writes the four settings back to SettingsFile. A write into a missing folder fails silently:
// the settings are kept only where the config folder exists.
void SaveConfiguration(Editor& editor);
