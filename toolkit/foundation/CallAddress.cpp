#include "foundation/CallAddress.h"

#include <windows.h>

#include "foundation/CheckedMemory.h"

static_assert(sizeof(void*) == 4, "the engine contract is 32-bit: every argument is one word");

namespace {

// Pushes count words from words, the last first so that words[0] is the callee's first
// argument, calls address, and puts the stack pointer back from the frame pointer: a __stdcall
// callee has popped its arguments by then and a __cdecl one has not, and either way the frame
// is where it was. ESI is callee-saved in both conventions, so it survives the call. The stack
// is aligned to 16 bytes at the call, which GCC-built callees may assume.
extern "C" __attribute__((naked, used))
std::uint32_t __cdecl ToolkitCallWords(std::uintptr_t address, const std::uint32_t* words,
                                       std::uint32_t count) {
    asm volatile(
        "pushl %ebp\n\t"
        "movl %esp, %ebp\n\t"
        "pushl %esi\n\t"
        "movl 12(%ebp), %esi\n\t"
        "movl 16(%ebp), %ecx\n\t"
        "leal (,%ecx,4), %eax\n\t"
        "subl %eax, %esp\n\t"
        "andl $-16, %esp\n\t"
        "addl %eax, %esp\n\t"
        "1:\n\t"
        "testl %ecx, %ecx\n\t"
        "jz 2f\n\t"
        "decl %ecx\n\t"
        "pushl (%esi,%ecx,4)\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *8(%ebp)\n\t"
        "leal -4(%ebp), %esp\n\t"
        "popl %esi\n\t"
        "popl %ebp\n\t"
        "ret\n\t");
}

}  // namespace

namespace toolkit {

std::uint32_t CallAddress(std::uintptr_t address, std::initializer_list<CallArg> args) {
    if (address == 0 || args.size() > kMaxCallArgs ||
        IsBadCodePtr(reinterpret_cast<FARPROC>(address))) {
        return 0;
    }
    std::uint32_t words[kMaxCallArgs] = {};
    std::uint32_t count = 0;
    for (const CallArg& arg : args) {
        if (arg.present) {
            words[count++] = arg.value;
        }
    }
    return ToolkitCallWords(address, words, count);
}

std::uint32_t CallInterfaceMethod(std::uintptr_t object, std::uint32_t methodIndex,
                                  std::initializer_list<std::uint32_t> values) {
    if (values.size() > kInterfaceMethodValues) {
        return 0;
    }
    std::uint32_t padded[kInterfaceMethodValues] = {};
    std::size_t i = 0;
    for (std::uint32_t value : values) {
        padded[i++] = value;
    }
    const std::uint32_t table = ReadInt32Checked(object);
    const std::uint32_t method = ReadInt32Checked(table + methodIndex * sizeof(std::uint32_t));
    return CallAddress(method, {static_cast<std::uint32_t>(object), padded[0], padded[1], padded[2],
                                padded[3], padded[4], padded[5], padded[6], padded[7], padded[8]});
}

}  // namespace toolkit
