// The NES palette file "PaletteOfNes.txt" in the resources folder: one hexadecimal colour
// (0xRRGGBB) per CRLF-ended line, 64 lines for the console's 64 colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The palette held in the file at path; a missing file gives an empty table.
std::vector<std::int32_t> ReadNesPalette(const std::string& path);

// Replaces table with the palette file of the program's resources folder.
void LoadNesPalette(std::vector<std::int32_t>& table);
