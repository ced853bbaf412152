#include "foundation/TextCodec.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace toolkit {

ByteArray TextToWide(std::string_view text, std::optional<unsigned> codePage) {
    const std::wstring wide = ToWideString(text, codePage.value_or(kTextCodePage));
    if (wide.empty() && !text.empty()) {
        return {};
    }
    // The terminating NUL is part of the array.
    ByteArray bytes((wide.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), wide.data(), wide.size() * sizeof(wchar_t));
    return bytes;
}

ByteArray TextToWide(const char* text, std::optional<unsigned> codePage) {
    return TextToWide(text == nullptr ? std::string_view() : std::string_view(text), codePage);
}

std::string WideToText(const ByteArray& wide, std::optional<unsigned> codePage) {
    std::wstring chars(wide.size() / sizeof(wchar_t), L'\0');
    if (!chars.empty()) {
        std::memcpy(chars.data(), wide.data(), chars.size() * sizeof(wchar_t));
    }
    chars.resize(std::wcslen(chars.c_str()));
    return FromWideString(chars, codePage.value_or(kTextCodePage));
}

std::wstring ToWideString(std::string_view text, unsigned codePage) {
    // A text ends at its first NUL, whatever the view's length says.
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    if (text.empty()) {
        return {};
    }
    const int count =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (count <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        count);
    return wide;
}

std::string FromWideString(std::wstring_view text, unsigned codePage) {
    text = text.substr(0, std::min(text.size(), text.find(L'\0')));
    if (text.empty()) {
        return {};
    }
    const int count = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    if (count <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        count, nullptr, nullptr);
    return narrow;
}

}  // namespace toolkit
