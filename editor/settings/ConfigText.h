// The text rules of the settings and language files that need no file and no Windows call:
// the whole-file scan behind ConfigFile::ReadString and the integer rule of ReadInteger.
// Built into the programs and natively, so the sanitizers see the scanning code too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The byte ranges of a double-byte character of code page 936 (GBK).
constexpr bool IsGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
constexpr bool IsGbkTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// Length of the character at pos: 2 for a GBK lead byte followed by a trail byte, else 1.
// A stray lead byte counts alone, so it cannot swallow the "-" that opens an end tag.
std::size_t GbkCharLength(std::string_view text, std::size_t pos);

// Finds needle in text from position from (a character boundary), ignoring the case of ASCII
// letters. The search steps over double-byte characters whole, so a match never starts on a
// trail byte, and the bytes of a double-byte character are compared exactly: a trail byte that
// happens to be a letter is not folded. Returns std::string_view::npos when there is no match.
std::size_t FindTextNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// The value of key in a whole language or settings file: the text after the first "key=" found
// anywhere in the file, whatever its section, up to the string end tag. The value may span
// lines. A missing key gives the default; a missing end tag (or one right after "=") gives the
// empty text. The file is taken up to its first NUL byte.
std::string ScanTaggedValue(std::string_view fileText, std::string_view key,
                            std::string_view defaultValue);

// A stored integer: leading blanks, an optional sign and decimal digits, as atoi reads them
// (no digits gives 0), parsed in 64 bits. Values from -2147483648 to 4294967295 keep their low
// 32 bits, so an ARGB colour stored unsigned (4294945023) reads as the same colour (-22273);
// anything beyond that saturates to the nearer int32 limit.
std::int32_t ParseConfigInteger(std::string_view text);
