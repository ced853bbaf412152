// A stand-in for the engine library that records what the program asks of it, so the binding
// and start-up tests can see every call. Built twice: with every ordinal the tests use, and with
// ordinal 18 missing.
#pragma once

#include <cstdint>

namespace probe {

constexpr std::uint32_t kMaxCalls = 64;
constexpr std::uint32_t kMaxClasses = 17;  // every control class the program registers
constexpr std::uint32_t kNameBytes = 32;
constexpr std::uint32_t kFirstTheme = 100;
// Ordinal 18 answers its argument plus this, so a test can tell the answer came from here.
constexpr std::uint32_t kEventTableBias = 1000;

struct Log {
    // Ordinals in the order they were called.
    std::uint32_t calls[kMaxCalls];
    std::uint32_t callCount;
    std::uint32_t initValues[12];
    std::uint32_t mapDataLength;
    std::uint32_t classCount;
    char classNames[kMaxClasses][kNameBytes];
    std::uint32_t classTypeIds[kMaxClasses];
    std::uint32_t classPrototypes[kMaxClasses];
    std::uint32_t lastThemeLength;
    std::uint32_t lastThemeHandle;
    std::uint32_t releasedTheme;
    std::uint32_t defaultTheme;
    std::uint32_t resourceRoutine;
};

}  // namespace probe

// Exported by name from both variants.
extern "C" probe::Log* __cdecl ProbeGetLog();
extern "C" void __cdecl ProbeReset();
