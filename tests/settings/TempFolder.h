// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing "\".
    const std::string& Path() const { return m_path; }
    // Path() + "\" + name.
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Writes bytes as the whole file; false when it cannot.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FolderExists(const std::string& path);
// Removes a folder with everything in it, read-only files included.
void RemoveTree(const std::string& folder);
