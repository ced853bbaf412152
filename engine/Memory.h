// Checks on memory and objects that come from the program. The engine trusts nothing it is
// handed: an address is used only after the system says it is readable, writable or callable,
// and a program object is used only when its record is consistent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace engine {

bool Readable(std::uint32_t address, std::uint32_t size);
bool Writable(std::uint32_t address, std::uint32_t size);
bool Callable(std::uint32_t address);
// Stores a word after checking the destination; false when it is not writable.
bool StoreWord(std::uint32_t address, std::uint32_t value);
std::uint32_t LoadWord(std::uint32_t address);  // 0 when unreadable

// A NUL-ended GBK text of at most kMaxText bytes; false for 0 or an unreadable address.
constexpr std::uint32_t kMaxText = 65536;
bool ReadText(std::uint32_t address, std::string& out);
bool ReadWideText(std::uint32_t address, std::wstring& out);

// Address of method `slot` of an object when the object, its method table and the method are
// all usable; 0 otherwise.
std::uint32_t MethodAddress(std::uint32_t object, std::uint32_t slot);

// The object behind a cell handle: the cell holds an object whose word `selfField` is the cell
// itself (element handles use field 6, host windows field 13). 0 when inconsistent.
std::uint32_t ObjectBehindCell(std::uint32_t cell, std::uint32_t selfField);
std::uint32_t ElementObject(std::uint32_t handle);

// Methods of program objects are members compiled by GCC for i686: thiscall, `this` in ECX.
std::uint32_t CallMethod0(std::uint32_t object, std::uint32_t slot);
std::uint32_t CallMethod3(std::uint32_t object, std::uint32_t slot, std::uint32_t a,
                          std::uint32_t b, std::uint32_t c);

// Handles the engine issues: never 0 and never reused, so a stale handle is never mistaken for
// a newer object.
std::uint32_t NewHandle();

template <typename T>
std::uint32_t Word(T* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}
template <typename T>
T* Pointer(std::uint32_t word) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(word));
}

}  // namespace engine
