// Reading and writing a whole file by its code-page-936 path: the settings, language and palette
// files, and the cartridge images and pictures both programs save.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Replaces bytes with the whole content of the file at path. A missing or unreadable file
// gives false and leaves bytes empty; so does a file too large to hold in memory.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// How writing a file ended.
enum class WriteOutcome {
    Written,
    ReadOnly,
    NoFolder,
    DiskFull,
    Failed,
};

// Writes bytes to a new file beside path and moves it over path only once every byte is
// written, so that a failed save leaves the old file as it was. A read-only target is refused
// before anything is written. On any failure nothing is left behind, and the outcome says why.
WriteOutcome WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes);
