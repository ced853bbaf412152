// ConfigFile: the editor's INI file, one object per file (the settings file and the language
// file live for the whole run).
//
// Typed values live in three fixed sections: "String" (each value followed on disk by an end
// tag), "Integer" (signed decimal text) and "Boolean" ("true" or "false"). Strings are read back
// by scanning the whole file, so a language file may hold texts of any length, spanning lines,
// under any section header.
//
// The operations are declared in the order of the class's fifteen method slots: the destructor
// frees the members (slot 0) and the copy constructor is the deep clone (slot 1). They are
// plain members: nothing outside the program calls a ConfigFile by slot, so no method table is
// needed to keep that order.
#pragma once

#include <cstdint>
#include <string>

class ConfigFile {
public:
    // Called with the section, key and value of a write the system refused.
    using ErrorHandler = void (*)(const char* section, const char* key, const char* value);

    ConfigFile() = default;
    ~ConfigFile() = default;
    ConfigFile(const ConfigFile&) = default;
    ConfigFile& operator=(const ConfigFile&) = default;

    // Replaces the path; returns the stored copy.
    const std::string& SetFile(const std::string& path);
    std::string GetFile() const { return m_path; }

    void SetErrorHandler(ErrorHandler handler) { m_errorHandler = handler; }
    ErrorHandler GetErrorHandler() const { return m_errorHandler; }
    // Calls the error handler when it is a callable code address; otherwise does nothing.
    void RaiseError(const std::string& section, const std::string& key,
                    const std::string& value) const;

    // WritePrivateProfileStringA into the file; a refused write raises the error handler.
    bool WriteItem(const std::string& section, const std::string& key, const std::string& value);
    // GetPrivateProfileStringA, however long the value is.
    std::string ReadItem(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;

    bool WriteString(const std::string& key, const std::string& value);
    // Scans the whole file for the first "key=" (see ScanTaggedValue).
    std::string ReadString(const std::string& key, const std::string& defaultValue) const;

    bool WriteInteger(const std::string& key, std::int32_t value);
    std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const;

    bool WriteBoolean(const std::string& key, bool value);
    // True only for the exact text "true".
    bool ReadBoolean(const std::string& key, bool defaultValue) const;

private:
    std::string m_path;
    ErrorHandler m_errorHandler = nullptr;
};
