#include "settings/ConfigFile.h"

#include "settings/ConfigText.h"
#include "fileio/FileBytes.h"
#include "settings/SettingsNames.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace {

constexpr DWORD kReadStep = 1024;

}  // namespace

const std::string& ConfigFile::SetFile(const std::string& path) {
    m_path = path;
    return m_path;
}

void ConfigFile::RaiseError(const std::string& section, const std::string& key,
                            const std::string& value) const {
    if (m_errorHandler == nullptr ||
        IsBadCodePtr(reinterpret_cast<FARPROC>(reinterpret_cast<std::uintptr_t>(m_errorHandler)))) {
        return;
    }
    m_errorHandler(section.c_str(), key.c_str(), value.c_str());
}

bool ConfigFile::WriteItem(const std::string& section, const std::string& key,
                           const std::string& value) {
    const bool written = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                                    m_path.c_str()) != FALSE;
    if (!written) {
        RaiseError(section, key, value);
    }
    return written;
}

std::string ConfigFile::ReadItem(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    std::vector<char> buffer;
    for (DWORD size = kReadStep;; size += kReadStep) {
        buffer.assign(size, '\0');
        const DWORD length =
            GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                     buffer.data(), size, m_path.c_str());
        // A value that did not fit comes back cut to size - 1 characters.
        if (length < size - 1) {
            return std::string(buffer.data(), length);
        }
    }
}

bool ConfigFile::WriteString(const std::string& key, const std::string& value) {
    return WriteItem(settings::kSectionString, key, value + settings::kStringEndTag);
}

std::string ConfigFile::ReadString(const std::string& key, const std::string& defaultValue) const {
    std::string bytes;
    ReadFileBytes(m_path, bytes);
    return ScanTaggedValue(bytes, key, defaultValue);
}

bool ConfigFile::WriteInteger(const std::string& key, std::int32_t value) {
    return WriteItem(settings::kSectionInteger, key, std::to_string(value));
}

std::int32_t ConfigFile::ReadInteger(const std::string& key, std::int32_t defaultValue) const {
    return ParseConfigInteger(
        ReadItem(settings::kSectionInteger, key, std::to_string(defaultValue)));
}

bool ConfigFile::WriteBoolean(const std::string& key, bool value) {
    return WriteItem(settings::kSectionBoolean, key,
                     value ? settings::kTrueText : settings::kFalseText);
}

bool ConfigFile::ReadBoolean(const std::string& key, bool defaultValue) const {
    return ReadItem(settings::kSectionBoolean, key,
                    defaultValue ? settings::kTrueText : settings::kFalseText) ==
           settings::kTrueText;
}
