// Calls of routine addresses that came from outside the program: engine exports, routines the
// engine hands back, user routines bound to events, methods of interfaces held as raw words.
//
// Every callee is a stack-passed routine whose arguments are 32-bit words, either one that pops
// its arguments (__stdcall) or one that leaves them (__cdecl): the stack pointer is restored from
// the caller's frame after the call, so both work and so does a callee that takes fewer
// arguments than it is given. Members (__thiscall) are never called this way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace toolkit {

// One argument of CallAddress: a 32-bit value and whether it is present. Absent arguments are
// skipped, not replaced by 0, so the first present value becomes the callee's first argument.
struct CallArg {
    std::uint32_t value = 0;
    bool present = false;

    constexpr CallArg() = default;
    constexpr CallArg(std::uint32_t argValue, bool isPresent)
        : value(argValue), present(isPresent) {}
    // Plain values and pointers are present.
    template <typename T, std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>, int> = 0>
    constexpr CallArg(T argValue) : value(static_cast<std::uint32_t>(argValue)), present(true) {}
    template <typename T>
    CallArg(T* pointer)
        : value(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer))),
          present(true) {}
    CallArg(std::nullptr_t) : value(0), present(true) {}
};

// The most arguments one call passes.
constexpr std::size_t kMaxCallArgs = 15;

// Calls the routine at address with the present arguments, in order, and returns its 32-bit
// result. Returns 0 without calling when the address is 0, is not executable memory
// (IsBadCodePtr), or more than kMaxCallArgs arguments are given.
std::uint32_t CallAddress(std::uintptr_t address, std::initializer_list<CallArg> args = {});

// Calls method methodIndex of an interface held as a raw object address: the method address is
// word methodIndex of the object's method table, both read with the checked reads. The object
// goes first, then the values padded with 0 to nine, so the callee always receives ten
// arguments whatever it takes.
constexpr std::size_t kInterfaceMethodValues = 9;
std::uint32_t CallInterfaceMethod(std::uintptr_t object, std::uint32_t methodIndex,
                                  std::initializer_list<std::uint32_t> values = {});

// The address of a routine or object as the 32-bit word the engine and CallAddress take.
template <typename T>
std::uint32_t AddressOf(T* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

}  // namespace toolkit
