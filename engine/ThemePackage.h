// The theme package format: a fixed header, the INI-style text of sections and keys, then the
// pictures (PNG files) that rectangles refer to by id. This part has no Windows dependency so
// that it is also built and tested natively.
//
// Layout (little-endian):
//   header  magic "VMTP", u16 version, u16 header size, u32 text length, u32 picture count,
//           u32 body length, u32 CRC-32 of the body
//   body    text (text length bytes), picture directory (picture count x {u32 id, u32 length}),
//           the pictures' bytes in directory order
//
// A value "l, t, r, b" of four numbers, optionally followed by ", id", is also a rectangle that
// may name a picture. tools/pack_theme.py writes the same layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace theme_format {

constexpr char kMagic[4] = {'V', 'M', 'T', 'P'};
constexpr std::uint16_t kVersion = 1;
constexpr std::uint32_t kHeaderSize = 24;
constexpr std::uint32_t kDirectoryEntrySize = 8;
// A package larger than this is refused: the largest one we ship is a few tens of kilobytes.
constexpr std::uint32_t kMaxPackageSize = 64u * 1024u * 1024u;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

struct Value {
    std::string text;
    bool isRect = false;
    float rect[4] = {0, 0, 0, 0};
    std::uint32_t pictureId = 0;
};

// The whole size a package declares in its header, or 0 when the first `available` bytes do
// not start a package of this format.
std::uint32_t DeclaredSize(const std::uint8_t* data, std::size_t available);

// Parses the four numbers and the optional picture id of a rectangle value.
bool ParseRect(const std::string& text, float rect[4], std::uint32_t& pictureId);

// Joins a section and a key into the lookup name (section + "_" + key).
std::string JoinName(const std::string& section, const std::string& key);

class Package {
public:
    // Checks and copies a package of exactly `size` bytes; false leaves the package empty.
    bool Parse(const std::uint8_t* data, std::size_t size);

    // Value named section + "_" + key, compared without regard to ASCII case.
    const Value* Find(const std::string& name) const;
    const std::vector<std::uint8_t>* Picture(std::uint32_t id) const;
    std::size_t ValueCount() const { return m_values.size(); }

private:
    bool ParseText(const std::string& text);

    std::unordered_map<std::string, Value> m_values;
    std::unordered_map<std::uint32_t, std::vector<std::uint8_t>> m_pictures;
};

}  // namespace theme_format
