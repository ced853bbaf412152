#include "foundation/CheckedMemory.h"

#include <windows.h>

#include <cstring>

namespace toolkit {

namespace {

const void* AsPointer(std::uintptr_t address) {
    return reinterpret_cast<const void*>(address);
}

bool Readable(std::uintptr_t address, std::size_t count) {
    return address != 0 && !IsBadReadPtr(AsPointer(address), count);
}

bool Writable(std::uintptr_t address, std::size_t count) {
    return address != 0 && !IsBadWritePtr(reinterpret_cast<void*>(address), count);
}

}  // namespace

std::uint32_t ReadInt16Checked(std::uintptr_t address) {
    // Only the two checked bytes are read: the word after them may be the end of a page.
    std::uint16_t value = 0;
    if (!Readable(address, sizeof value)) {
        return 0;
    }
    std::memcpy(&value, AsPointer(address), sizeof value);
    return value;
}

std::uint32_t ReadInt32Checked(std::uintptr_t address) {
    std::uint32_t value = 0;
    if (Readable(address, sizeof value)) {
        std::memcpy(&value, AsPointer(address), sizeof value);
    }
    return value;
}

std::uint64_t ReadInt64Checked(std::uintptr_t address) {
    std::uint64_t value = 0;
    if (Readable(address, sizeof value)) {
        std::memcpy(&value, AsPointer(address), sizeof value);
    }
    return value;
}

bool WriteInt32Checked(std::uintptr_t address, std::uint32_t value) {
    if (!Writable(address, sizeof value)) {
        return false;
    }
    std::memcpy(reinterpret_cast<void*>(address), &value, sizeof value);
    return true;
}

std::size_t CopyMemoryChecked(std::uintptr_t destination, std::uintptr_t source,
                              std::size_t count) {
    if (count == 0 || !Readable(source, count) || !Writable(destination, count)) {
        return 0;
    }
    std::memmove(reinterpret_cast<void*>(destination), AsPointer(source), count);
    return count;
}

std::uint32_t ReadByteAt(std::uintptr_t address) {
    std::uint8_t value = 0;
    CopyMemoryChecked(reinterpret_cast<std::uintptr_t>(&value), address, 1);
    return value;
}

std::uint32_t ByteArrayLength(std::uintptr_t data) {
    constexpr std::uintptr_t kHeaderBytes = CountedBytes::kHeaderBytes;
    if (data < kHeaderBytes || !Readable(data - kHeaderBytes, kHeaderBytes)) {
        return 0;
    }
    return ReadInt32Checked(data - sizeof(std::uint32_t));
}

CountedBytes::CountedBytes(const ByteArray& bytes) : m_block(kHeaderBytes + bytes.size()) {
    const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(bytes.size())};
    std::memcpy(m_block.data(), header, sizeof header);
    if (!bytes.empty()) {
        std::memcpy(m_block.data() + kHeaderBytes, bytes.data(), bytes.size());
    }
}

const char* TextAddress(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

const std::uint8_t* BytesData(const ByteArray& bytes) {
    return bytes.empty() ? nullptr : bytes.data();
}

bool HeapFreeAndClear(std::uintptr_t& block) {
    if (block == 0) {
        return false;
    }
    HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(block));
    block = 0;
    return true;
}

}  // namespace toolkit
