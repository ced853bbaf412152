#include "settings/AppPaths.h"

#include "settings/ConfigText.h"
#include "settings/SettingsNames.h"

#include <windows.h>

#include <vector>

namespace {

// Past a drive prefix of three characters ("C:\"), whose root always exists.
constexpr std::size_t kFirstFolderSearch = 3;

}  // namespace

bool EnsureFolderPath(const std::string& path) {
    if (path.empty() || path.back() != '\\') {
        return false;
    }
    for (std::size_t slash = path.find('\\', kFirstFolderSearch); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (GetFileAttributesA(prefix.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !CreateDirectoryA(prefix.c_str(), nullptr)) {
            return false;
        }
    }
    return true;
}

std::string JoinAndEnsureFolder(const std::string& folder, const std::string& name) {
    std::string joined = folder + name;
    if (!joined.empty() && joined.back() == '\\') {
        EnsureFolderPath(joined);
    }
    return joined;
}

std::string ConfigFilePath(const std::string& name) {
    return JoinAndEnsureFolder(ProgramFolder() + settings::kConfigFolder, name);
}

std::string LanguageFilePath(const std::string& name) {
    return JoinAndEnsureFolder(ProgramFolder() + settings::kLanguageFolder, name);
}

std::string ResourceFilePath(const std::string& name) {
    return JoinAndEnsureFolder(ProgramFolder() + settings::kResourceFolder, name);
}

std::string LanguageFilePathFor(const std::string& languageName) {
    // Walked by characters: the trail byte of a GBK character may be 0x5C, the backslash, and is
    // no separator to the file system.
    bool leavesFolder = languageName.find("..") != std::string::npos;
    for (std::size_t i = 0; i < languageName.size() && !leavesFolder;) {
        const std::size_t length = GbkCharLength(languageName, i);
        const char c = languageName[i];
        leavesFolder = length == 1 && (c == '\\' || c == '/' || c == ':');
        i += length;
    }
    const std::string name = leavesFolder ? settings::kDefaultLanguage : languageName;
    return LanguageFilePath(name + settings::kLanguageFileExtension);
}
