// libFuzzer target for the theme-package reader: any bytes as a package. The bytes are read as
// they come, and again with the header's body length and CRC made to match them, so that the
// fuzzer gets past the CRC into the directory and the text. Every parse reads an exact-size
// copy, so the address sanitizer sees a read one byte past it. The same bytes are also read as
// one rectangle value.
#include "ThemePackage.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBodyLengthOffset = 16;
constexpr std::size_t kCrcOffset = 20;
// The rectangle rules: coordinates within this bound, ids of at most nine digits.
constexpr float kLargestCoordinate = 1e7f;
constexpr std::uint32_t kLargestPictureId = 999999999;
// Values are short; longer inputs add nothing to the rectangle reading but time.
constexpr std::size_t kLongestValue = 256;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void ParseAndCheck(const std::vector<std::uint8_t>& bytes) {
    theme_format::Package package;
    if (!package.Parse(bytes.data(), bytes.size())) {
        Check(package.ValueCount() == 0);
        return;
    }
    // A package is taken only at exactly the size its header declares.
    Check(theme_format::DeclaredSize(bytes.data(), bytes.size()) == bytes.size());
    const std::vector<std::uint8_t> shorter(bytes.begin(), bytes.end() - 1);
    theme_format::Package again;
    Check(!again.Parse(shorter.data(), shorter.size()));
    Check(again.ValueCount() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    ParseAndCheck(bytes);
    if (size >= theme_format::kHeaderSize) {
        std::vector<std::uint8_t> sealed = bytes;
        const std::uint8_t* body = sealed.data() + theme_format::kHeaderSize;
        const std::size_t bodyLength = size - theme_format::kHeaderSize;
        PutU32(sealed, kBodyLengthOffset, static_cast<std::uint32_t>(bodyLength));
        PutU32(sealed, kCrcOffset, theme_format::Crc32(body, bodyLength));
        ParseAndCheck(sealed);
    }

    if (size <= kLongestValue) {
        float rect[4] = {};
        std::uint32_t pictureId = 0;
        if (theme_format::ParseRect(std::string(data, data + size), rect, pictureId)) {
            for (const float value : rect) {
                Check(std::isfinite(value) && std::fabs(value) <= kLargestCoordinate);
            }
            Check(pictureId <= kLargestPictureId);
        }
    }
    return 0;
}
