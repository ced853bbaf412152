#include "ThemePackage.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace theme_format {
namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t ReadU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

// Names may hold GBK characters: the byte after a lead byte is never folded, since it can fall
// into the ASCII letter range.
std::string FoldCase(const std::string& name) {
    std::string out = name;
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) {
        ++b;
    }
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) {
        --e;
    }
    return s.substr(b, e - b);
}

bool ParseNumber(const std::string& part, float& out) {
    std::string t = Trim(part);
    if (t.empty()) {
        return false;
    }
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || v != v || v > 1e7 || v < -1e7) {
        return false;
    }
    out = static_cast<float>(v);
    return true;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t DeclaredSize(const std::uint8_t* data, std::size_t available) {
    if (data == nullptr || available < kHeaderSize || std::memcmp(data, kMagic, 4) != 0 ||
        ReadU16(data + 4) != kVersion || ReadU16(data + 6) != kHeaderSize) {
        return 0;
    }
    std::uint32_t body = ReadU32(data + 16);
    if (body > kMaxPackageSize - kHeaderSize) {
        return 0;
    }
    return kHeaderSize + body;
}

bool ParseRect(const std::string& text, float rect[4], std::uint32_t& pictureId) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (parts.size() != 4 && parts.size() != 5) {
        return false;
    }
    float values[4];
    for (int i = 0; i < 4; ++i) {
        if (!ParseNumber(parts[i], values[i])) {
            return false;
        }
    }
    std::uint32_t id = 0;
    if (parts.size() == 5) {
        std::string t = Trim(parts[4]);
        if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        id = static_cast<std::uint32_t>(std::strtoul(t.c_str(), nullptr, 10));
    }
    std::memcpy(rect, values, sizeof values);
    pictureId = id;
    return true;
}

std::string JoinName(const std::string& section, const std::string& key) {
    return section + "_" + key;
}

bool Package::Parse(const std::uint8_t* data, std::size_t size) {
    m_values.clear();
    m_pictures.clear();
    const std::uint32_t declared = DeclaredSize(data, size);
    if (declared == 0 || declared != size) {
        return false;
    }
    const std::uint32_t textLength = ReadU32(data + 8);
    const std::uint32_t pictureCount = ReadU32(data + 12);
    const std::uint32_t bodyLength = ReadU32(data + 16);
    const std::uint8_t* body = data + kHeaderSize;
    if (Crc32(body, bodyLength) != ReadU32(data + 20) || textLength > bodyLength ||
        pictureCount > (bodyLength - textLength) / kDirectoryEntrySize) {
        return false;
    }
    std::size_t offset = textLength + std::size_t(pictureCount) * kDirectoryEntrySize;
    const std::uint8_t* directory = body + textLength;
    for (std::uint32_t i = 0; i < pictureCount; ++i) {
        std::uint32_t id = ReadU32(directory + i * kDirectoryEntrySize);
        std::uint32_t length = ReadU32(directory + i * kDirectoryEntrySize + 4);
        if (id == 0 || length > bodyLength - offset || m_pictures.count(id) != 0) {
            m_pictures.clear();
            return false;
        }
        m_pictures[id].assign(body + offset, body + offset + length);
        offset += length;
    }
    if (offset != bodyLength ||
        !ParseText(std::string(reinterpret_cast<const char*>(body), textLength))) {
        m_values.clear();
        m_pictures.clear();
        return false;
    }
    return true;
}

bool Package::ParseText(const std::string& text) {
    if (text.find('\0') != std::string::npos) {
        return false;
    }
    std::string section;
    bool inSection = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t eol = text.find('\n', pos);
        std::string line =
            text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        pos = eol == std::string::npos ? text.size() + 1 : eol + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                return false;
            }
            section = Trim(line.substr(1, line.size() - 2));
            inSection = !section.empty();
            continue;
        }
        std::size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos || eq == 0) {
            return false;
        }
        Value value;
        value.text = Trim(line.substr(eq + 1));
        value.isRect = ParseRect(value.text, value.rect, value.pictureId);
        m_values[FoldCase(JoinName(section, Trim(line.substr(0, eq))))] = std::move(value);
    }
    return true;
}

const Value* Package::Find(const std::string& name) const {
    auto it = m_values.find(FoldCase(name));
    return it == m_values.end() ? nullptr : &it->second;
}

const std::vector<std::uint8_t>* Package::Picture(std::uint32_t id) const {
    auto it = m_pictures.find(id);
    return it == m_pictures.end() ? nullptr : &it->second;
}

}  // namespace theme_format
