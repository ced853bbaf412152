// Conversions between the system's texts (NUL-ended GBK bytes, code page 936) and the UTF-16
// that wide-character Windows calls and GDI+ take.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/CheckedMemory.h"

namespace toolkit {

// Code page of every text of the system.
constexpr unsigned kTextCodePage = 936;

// UTF-16 of a text as bytes, with the terminating 2-byte NUL included (an empty text gives just
// the NUL). A given code page of 0 means the ANSI code page. Failure gives an empty array.
ByteArray TextToWide(std::string_view text, std::optional<unsigned> codePage = std::nullopt);
// A null text is the empty text.
ByteArray TextToWide(const char* text, std::optional<unsigned> codePage = std::nullopt);

// The text of UTF-16 bytes up to the first NUL; an odd last byte is ignored. Failure gives an
// empty text.
std::string WideToText(const ByteArray& wide, std::optional<unsigned> codePage = std::nullopt);

// The same conversions for callers that hold UTF-16 as a string rather than bytes.
std::wstring ToWideString(std::string_view text, unsigned codePage = kTextCodePage);
std::string FromWideString(std::wstring_view text, unsigned codePage = kTextCodePage);

}  // namespace toolkit
