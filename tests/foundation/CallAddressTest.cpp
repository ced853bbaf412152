#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/CallAddress.h"
#include "../support/CpuEmulation.h"

namespace {

using toolkit::AddressOf;
using toolkit::CallAddress;
using toolkit::CallArg;

constexpr std::uint32_t kFirst = 3;
constexpr std::uint32_t kSkipped = 99;
constexpr std::uint32_t kThird = 4;
constexpr std::uint32_t kPlace = 100;

// Both conventions report how many arguments they saw through the order they combine them in.
std::uint32_t __stdcall StdcallPair(std::uint32_t a, std::uint32_t b) {
    return a * kPlace + b;
}
std::uint32_t __cdecl CdeclPair(std::uint32_t a, std::uint32_t b) {
    return a * kPlace + b;
}
std::uint32_t __stdcall StdcallNone() {
    return kFirst;
}

std::uint32_t __cdecl CdeclFifteen(std::uint32_t a1, std::uint32_t a2, std::uint32_t a3,
                                   std::uint32_t a4, std::uint32_t a5, std::uint32_t a6,
                                   std::uint32_t a7, std::uint32_t a8, std::uint32_t a9,
                                   std::uint32_t a10, std::uint32_t a11, std::uint32_t a12,
                                   std::uint32_t a13, std::uint32_t a14, std::uint32_t a15) {
    const std::uint32_t args[] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15};
    std::uint32_t ordered = 0;
    for (std::uint32_t i = 0; i < 15; ++i) {
        ordered += (args[i] == i + 1) ? 1 : 0;
    }
    return ordered;
}

TEST(CallAddress, AbsentArgumentsAreSkippedForBothConventions) {
    const std::uint32_t expected = kFirst * kPlace + kThird;
    for (std::uint32_t routine : {AddressOf(&StdcallPair), AddressOf(&CdeclPair)}) {
        // Many calls in a row: a stack pointer left wrong by one convention would show.
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(CallAddress(routine, {CallArg(kFirst, true), CallArg(kSkipped, false),
                                            CallArg(kThird, true)}),
                      expected);
        }
    }
}

TEST(CallAddress, StdcallCalleeTakingFewerArgumentsLeavesTheStackSound) {
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(CallAddress(AddressOf(&StdcallNone), {1, 2, 3, 4, 5}), kFirst);
    }
}

TEST(CallAddress, FifteenArgumentsArriveInOrder) {
    EXPECT_EQ(
        CallAddress(AddressOf(&CdeclFifteen), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
        15u);
    // A sixteenth argument is refused rather than dropped.
    EXPECT_EQ(CallAddress(AddressOf(&CdeclFifteen),
                          {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
              0u);
}

TEST(CallAddress, UnusableAddressesAreNotCalled) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    EXPECT_EQ(CallAddress(0, {kFirst}), 0u);
    void* noAccess = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(noAccess, nullptr);
    EXPECT_EQ(CallAddress(AddressOf(noAccess), {kFirst}), 0u);
    VirtualFree(noAccess, 0, MEM_RELEASE);
}

// An interface held as raw words: a method table of stdcall routines taking the object first.
struct FakeInterface {
    const std::uint32_t* table;
    std::uint32_t seen;
};

std::uint32_t __stdcall FakeMethod(FakeInterface* self, std::uint32_t a, std::uint32_t b) {
    self->seen = a * kPlace + b;
    return kThird;
}

TEST(CallInterfaceMethod, CallsTheIndexedMethodWithTheObjectFirst) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    constexpr std::uint32_t kMethodIndex = 2;
    const std::uint32_t table[] = {0, 0, AddressOf(&FakeMethod)};
    FakeInterface object = {table, 0};
    EXPECT_EQ(toolkit::CallInterfaceMethod(AddressOf(&object), kMethodIndex, {kFirst, kThird}),
              kThird);
    EXPECT_EQ(object.seen, kFirst * kPlace + kThird);
    // An entry that holds no routine is not called.
    EXPECT_EQ(toolkit::CallInterfaceMethod(AddressOf(&object), 0, {kFirst}), 0u);
    EXPECT_EQ(toolkit::CallInterfaceMethod(0, kMethodIndex), 0u);
}

}  // namespace
