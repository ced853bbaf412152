// Runs a test out of memory for large blocks: the process's address space is reserved (not
// committed) in pieces down to the threshold for the hold's lifetime, so that an allocation that
// large fails while small ones still find room. A 32-bit process has little
// address space, so this works there; a 64-bit one has too much to hold.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_support {

class AddressSpaceHold {
public:
    explicit AddressSpaceHold(std::size_t threshold) {
        // Reservations from the largest down to the threshold take whatever the system would
        // hand out; asking it, rather than walking the address space, also finds the areas it
        // keeps reserved for its own allocations.
        constexpr std::size_t kLargest = std::size_t{1} << 30;
        for (std::size_t size = kLargest; size >= threshold && size > 0; size /= 2) {
            while (void* held = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) {
                m_held.push_back(held);
            }
        }
    }
    ~AddressSpaceHold() {
        for (void* held : m_held) {
            VirtualFree(held, 0, MEM_RELEASE);
        }
    }
    AddressSpaceHold(const AddressSpaceHold&) = delete;
    AddressSpaceHold& operator=(const AddressSpaceHold&) = delete;

    bool Holding() const { return !m_held.empty(); }

private:
    std::vector<void*> m_held;
};

}  // namespace test_support
