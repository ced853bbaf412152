// Memory access at addresses that came from outside the program (the engine, a caller's routine
// pointer, an image held in memory), and the accessors used to hand variables to the engine.
//
// The rule of every operation here: nothing is read or written unless the system says the
// address is usable; otherwise the operation does nothing and yields 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace toolkit {

// An owned, length-counted sequence of bytes; empty and absent are the same.
using ByteArray = std::vector<std::uint8_t>;

// The 16-bit value at the address, widened to a 32-bit word; callers keep the low 16 bits.
std::uint32_t ReadInt16Checked(std::uintptr_t address);
std::uint32_t ReadInt32Checked(std::uintptr_t address);
std::uint64_t ReadInt64Checked(std::uintptr_t address);
// Returns true when the value was stored.
bool WriteInt32Checked(std::uintptr_t address, std::uint32_t value);
// Moves count bytes (the ranges may overlap) when the source is readable and the destination
// writable; returns count, or 0 when nothing was copied.
std::size_t CopyMemoryChecked(std::uintptr_t destination, std::uintptr_t source, std::size_t count);
// The byte at the address, zero-extended.
std::uint32_t ReadByteAt(std::uintptr_t address);
// The length word of a byte array laid out in memory as (word 1, 32-bit length, bytes), given
// the address of its first byte; 0 for a null or unreadable address.
std::uint32_t ByteArrayLength(std::uintptr_t data);

// A copy of a byte array laid out as the engine reads one through a data pointer alone: word 1,
// the 32-bit length, then the bytes. ByteArrayLength(data()) gives size().
class CountedBytes {
public:
    explicit CountedBytes(const ByteArray& bytes);
    // The address of the first byte; the two header words precede it.
    const std::uint8_t* data() const { return m_block.data() + kHeaderBytes; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(m_block.size() - kHeaderBytes); }

    static constexpr std::size_t kHeaderBytes = 8;

private:
    ByteArray m_block;
};

// The characters' address of a text, or null for an empty text: the engine reads an empty text
// as a null pointer.
const char* TextAddress(const std::string& text);
// The address of the first byte, or null for an empty array.
const std::uint8_t* BytesData(const ByteArray& bytes);

// A variable's address as the 32-bit word the engine takes for an out-parameter.
template <typename T>
std::uint32_t VariableAddress(T& variable) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&variable));
}

// Frees the process-heap block the variable holds (blocks the engine hands over: animation
// requests, unpacked messages) and clears the variable. Returns false for a null variable.
bool HeapFreeAndClear(std::uintptr_t& block);

}  // namespace toolkit
