#include "settings/Palette.h"

#include "settings/AppPaths.h"
#include "fileio/FileBytes.h"
#include "settings/PaletteText.h"
#include "settings/SettingsNames.h"

std::vector<std::int32_t> ReadNesPalette(const std::string& path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return ParseNesPalette(bytes);
}

void LoadNesPalette(std::vector<std::int32_t>& table) {
    table = ReadNesPalette(ResourceFilePath(settings::kPaletteFileName));
}
