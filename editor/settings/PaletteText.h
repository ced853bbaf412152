// The palette file's text rules: hexadecimal lines split at CRLF. No file, no Windows call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The value of a hexadecimal text, most significant digit first, digits in either case. Only
// the low 32 bits are kept, so a long line cannot overflow; the result lies in 0..0xFFFFFFFF.
// A text with any character that is not a hexadecimal digit gives 0, and so does the empty
// text. When decimalText is given it receives the result as decimal text.
std::int64_t ParseHexText(std::string_view text, std::string* decimalText = nullptr);

// One entry per CRLF-separated line of the palette file, each the low 32 bits of ParseHexText.
// An empty text gives no entry; a final CRLF adds none; an empty line between two lines gives
// an entry of 0. The text is taken up to its first NUL byte.
std::vector<std::int32_t> ParseNesPalette(std::string_view text);
