// The main window's commands: open and save a cartridge image, switch levels, lock the map.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/Editor.h"
#include "app/EditorTexts.h"
#include "core/ElementFields.h"
#include "fileio/FileBytes.h"

// The click routine of every SRect_Ex of the main window, dispatching on the control.
int OnCommand(Editor& editor, toolkit::ElementHandle element, std::int32_t item);

// Open after the open dialog: reads the file, decodes a cartridge image or refuses the file,
// and shows the outcome. True when the cartridge was accepted.
bool OpenCartridge(Editor& editor, const std::string& path);
// Save after the save dialog: an empty path (a cancelled dialog) does nothing; a path not ending
// in ".nes" (any case), nothing open, levels that cannot be encoded or a file that cannot be
// written are refused with the reason; otherwise the levels are re-encoded and written, and
// the outcome is shown. True when the file was written.
bool SaveCartridge(Editor& editor, const std::string& path);

// Forgets the level on screen: its pictures and map layers, the view state, and the pictures
// of the map view and the picker.
void CloseRom(Editor& editor);
// Releases the view's pictures without touching any control (at exit, when they are gone).
void ReleaseViewPictures(MapViewState& view);

// True when bytes is at least as long as text and begins with it (case-sensitive).
bool BytesStartWith(const toolkit::ByteArray& bytes, std::string_view text);
// True when the path's last four characters are ".nes" in any capitalisation.
bool HasCartridgeExtension(const std::string& path);
