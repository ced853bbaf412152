#include "settings/PaletteText.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr unsigned kHexBase = 16;

// The digit's value, or -1 when the character is not a hexadecimal digit.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::int64_t ParseHexText(std::string_view text, std::string* decimalText) {
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            value = 0;
            break;
        }
        // Unsigned arithmetic wraps, which keeps exactly the low 32 bits.
        value = value * kHexBase + static_cast<std::uint32_t>(digit);
    }
    if (decimalText != nullptr) {
        *decimalText = std::to_string(value);
    }
    return value;
}

std::vector<std::int32_t> ParseNesPalette(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    std::vector<std::int32_t> table;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(kLineBreak, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const auto value =
            static_cast<std::uint32_t>(ParseHexText(text.substr(start, end - start)));
        table.push_back(static_cast<std::int32_t>(value));
        start = end + kLineBreak.size();
    }
    return table;
}
