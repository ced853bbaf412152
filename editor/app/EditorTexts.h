// The editor's sentences built from language texts: why an open or a save was refused, and
// what InfoLabel shows. Language texts mark where a value goes with "{name}".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "cartridge/CodecResult.h"
#include "fileio/FileBytes.h"

// The text with every "{name}" of the given names replaced by its value.
std::string FillText(std::string text,
                     const std::vector<std::pair<std::string_view, std::string>>& values);

// InfoLabel's own caption: the program's name, edition and version.
std::string InfoCaption(const Editor& editor);
// InfoLabel's text for a screen that a placement left over its room; the caption when none is.
std::string RoomOverrunText(const Editor& editor, const RoomOverrun& overrun);

// Why the decoder refused a cartridge image at open; empty when it names no level.
std::string OpenRefusalText(const Editor& editor, const CodecResult& result);

// Why the encoder refused a save, one line for each screen at fault.
std::string SaveRefusalText(const Editor& editor, const CodecResult& result);

// Why a file could not be written; empty for a written one.
std::string WriteRefusalText(const Editor& editor, WriteOutcome outcome);
