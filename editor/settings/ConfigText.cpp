#include "settings/ConfigText.h"

#include "settings/SettingsNames.h"

#include <limits>

namespace {

constexpr unsigned char FoldAscii(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// Compares needle with text at pos, character by character of the needle.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view needle) {
    if (text.size() - pos < needle.size()) {
        return false;
    }
    for (std::size_t j = 0; j < needle.size();) {
        if (GbkCharLength(needle, j) == 2) {
            if (needle[j] != text[pos + j] || needle[j + 1] != text[pos + j + 1]) {
                return false;
            }
            j += 2;
        } else {
            const auto n = static_cast<unsigned char>(needle[j]);
            const auto t = static_cast<unsigned char>(text[pos + j]);
            if (FoldAscii(n) != FoldAscii(t)) {
                return false;
            }
            ++j;
        }
    }
    return true;
}

}  // namespace

std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && IsGbkLeadByte(static_cast<unsigned char>(text[pos])) &&
        IsGbkTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

std::size_t FindTextNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        return from <= text.size() ? from : std::string_view::npos;
    }
    for (std::size_t i = from; i < text.size();) {
        if (MatchesAt(text, i, needle)) {
            return i;
        }
        i += GbkCharLength(text, i);
    }
    return std::string_view::npos;
}

std::string ScanTaggedValue(std::string_view fileText, std::string_view key,
                            std::string_view defaultValue) {
    const std::size_t nul = fileText.find('\0');
    if (nul != std::string_view::npos) {
        fileText = fileText.substr(0, nul);
    }
    std::string needle(key);
    needle += '=';
    const std::size_t found = FindTextNoCase(fileText, needle);
    if (found == std::string_view::npos) {
        return std::string(defaultValue);
    }
    const std::size_t start = found + needle.size();
    const std::size_t end = FindTextNoCase(fileText, settings::kStringEndTag, start);
    if (end == std::string_view::npos) {
        return std::string();
    }
    return std::string(fileText.substr(start, end - start));
}

std::int32_t ParseConfigInteger(std::string_view text) {
    // Anything past 2^32 saturates, so the magnitude never needs more than this.
    constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40;
    constexpr std::uint64_t kLowestMagnitude = std::uint64_t{1} << 31;
    constexpr std::uint64_t kHighestUnsigned = std::numeric_limits<std::uint32_t>::max();

    std::size_t i = 0;
    auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude < kSaturated) {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        }
    }
    if (negative) {
        if (magnitude >= kLowestMagnitude) {
            return std::numeric_limits<std::int32_t>::min();
        }
        return -static_cast<std::int32_t>(magnitude);
    }
    if (magnitude > kHighestUnsigned) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
}
