// On machines that run no 32-bit code the scripts run Wine under user-mode CPU emulation and
// tell every program so through VENNMARK_EMULATED=1. There a page fault inside IsBadReadPtr,
// IsBadWritePtr or IsBadCodePtr reaches Wine as an illegal instruction: the probe ends the
// process instead of answering that the address is unusable. Tests that hand such a probe an
// unreadable address on purpose are skipped there; they run wherever the code runs natively.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

namespace test_support {

inline bool RunsUnderCpuEmulation() {
    char value[2] = {};
    return GetEnvironmentVariableA("VENNMARK_EMULATED", value, sizeof value) == 1 &&
           value[0] == '1';
}

}  // namespace test_support

// Ends the test as skipped when it runs emulated. Use it first in the test body.
#define SKIP_WHERE_UNREADABLE_PROBES_CRASH()                                                 \
    do {                                                                                     \
        if (test_support::RunsUnderCpuEmulation()) {                                         \
            GTEST_SKIP() << "probes an unreadable address through IsBad*Ptr, which crashes " \
                            "under CPU emulation";                                           \
        }                                                                                    \
    } while (false)
