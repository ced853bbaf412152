// Bytes that end exactly where readable memory ends: a copy of the input placed at the end of
// committed pages, followed by a page that may not be touched. A parser that reads one byte past
// its input faults in the test instead of reading whatever lies behind a heap block.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace test_support {

class GuardedBytes {
public:
    // With a length word, the bytes are preceded by their 32-bit length, as the program's
    // counted byte arrays are (the data address is then what such readers take).
    explicit GuardedBytes(const std::vector<std::uint8_t>& bytes, bool lengthWord = false) {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        const std::size_t page = system.dwPageSize;
        const std::size_t header = lengthWord ? sizeof(std::uint32_t) : 0;
        const std::size_t dataPages = (bytes.size() + header + page - 1) / page;
        const std::size_t total = (dataPages + 1) * page;
        m_base = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (m_base == nullptr) {
            return;
        }
        std::uint8_t* guard = m_base + dataPages * page;
        DWORD previous = 0;
        if (!VirtualProtect(guard, page, PAGE_NOACCESS, &previous)) {
            VirtualFree(m_base, 0, MEM_RELEASE);
            m_base = nullptr;
            return;
        }
        m_data = guard - bytes.size();
        m_size = bytes.size();
        if (!bytes.empty()) {
            std::memcpy(m_data, bytes.data(), bytes.size());
        }
        if (lengthWord) {
            const auto length = static_cast<std::uint32_t>(bytes.size());
            std::memcpy(m_data - header, &length, sizeof length);
        }
    }
    ~GuardedBytes() {
        if (m_base != nullptr) {
            VirtualFree(m_base, 0, MEM_RELEASE);
        }
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    // Null when the pages could not be set up.
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::uintptr_t address() const { return reinterpret_cast<std::uintptr_t>(m_data); }

private:
    std::uint8_t* m_base = nullptr;
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

}  // namespace test_support
