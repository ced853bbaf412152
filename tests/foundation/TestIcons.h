// Icon and cursor files made in memory: one 32-bit image per entry.
#pragma once

#include <windows.h>

#include <cstring>

#include "foundation/CheckedMemory.h"

constexpr std::uint16_t kIconFileType = 1;
constexpr std::uint16_t kCursorFileType = 2;
constexpr int kTestIconSize = 16;
constexpr std::size_t kIconDirectoryBytes = 6;
constexpr std::size_t kIconEntryBytes = 16;
constexpr std::size_t kIconEntryImageSize = 8;
constexpr std::size_t kIconEntryImageOffset = 12;
constexpr std::uint16_t kIconCountOffset = 4;

template <typename T>
void PutAt(toolkit::ByteArray& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// A file of `entries` entries that all point at one image: a 32-bit colour image followed by its
// 1-bit mask, stored with twice the height as icon resources are.
inline toolkit::ByteArray MakeIconFile(std::uint16_t fileType, int width, int height,
                                       std::uint16_t hotX, std::uint16_t hotY,
                                       std::uint16_t entries = 1) {
    const std::size_t maskRow = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    const std::size_t imageBytes = sizeof(BITMAPINFOHEADER) +
                                   static_cast<std::size_t>(width * height) * 4 +
                                   maskRow * static_cast<std::size_t>(height);
    const std::size_t imageOffset = kIconDirectoryBytes + kIconEntryBytes * entries;
    toolkit::ByteArray bytes(imageOffset + imageBytes, 0);
    PutAt<std::uint16_t>(bytes, 2, fileType);
    PutAt<std::uint16_t>(bytes, kIconCountOffset, entries);
    for (std::uint16_t i = 0; i < entries; ++i) {
        const std::size_t entry = kIconDirectoryBytes + kIconEntryBytes * i;
        bytes[entry] = static_cast<std::uint8_t>(width);
        bytes[entry + 1] = static_cast<std::uint8_t>(height);
        PutAt<std::uint16_t>(bytes, entry + 4, fileType == kIconFileType ? 1 : hotX);
        PutAt<std::uint16_t>(bytes, entry + 6, fileType == kIconFileType ? 32 : hotY);
        PutAt<std::uint32_t>(bytes, entry + kIconEntryImageSize,
                             static_cast<std::uint32_t>(imageBytes));
        PutAt<std::uint32_t>(bytes, entry + kIconEntryImageOffset,
                             static_cast<std::uint32_t>(imageOffset));
    }
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height * 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    PutAt(bytes, imageOffset, header);
    // Opaque mid-grey pixels; the mask stays 0 (every pixel drawn).
    for (int p = 0; p < width * height; ++p) {
        PutAt<std::uint32_t>(bytes, imageOffset + sizeof header + static_cast<std::size_t>(p) * 4,
                             0xFF808080u);
    }
    return bytes;
}
