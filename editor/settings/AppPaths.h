// Paths of the data folders beside the program: "config", "language" and "resources".
#pragma once

#include <string>

#include "fileio/ProgramFolder.h"

// Creates the missing folders of a path that ends in "\", one level at a time from the fourth
// character on (past a drive prefix such as "C:\"). A path not ending in "\" creates nothing
// and gives false; a folder that cannot be created gives false at once.
bool EnsureFolderPath(const std::string& path);

// folder + name; when that ends in "\" it names a folder, which is created if missing.
std::string JoinAndEnsureFolder(const std::string& folder, const std::string& name);

std::string ConfigFilePath(const std::string& name);
std::string LanguageFilePath(const std::string& name);
std::string ResourceFilePath(const std::string& name);

// The language file for a language name from the settings. The name comes from a file the user
// may edit, so one that could leave the language folder (holding "\\", "/", ":" or "..") is
// replaced by the default language; the caller keeps and writes back the stored name as it is.
std::string LanguageFilePathFor(const std::string& languageName);
