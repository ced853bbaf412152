// Reading a whole file by its code-page-936 path, for the settings, language and palette files.
#pragma once

#include <string>

// Replaces bytes with the whole content of the file at path. A missing or unreadable file
// gives false and leaves bytes empty; so does a file too large to hold in memory.
bool ReadFileBytes(const std::string& path, std::string& bytes);
