// Loads one variant of the recording engine stand-in for a test and unbinds it afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "ProbeEngine.h"
#include "foundation/EngineBinding.h"
#include "foundation/Win32Handles.h"

constexpr char kProbeFull[] = "foundation_probe_full.dll";
constexpr char kProbePartial[] = "foundation_probe_partial.dll";

inline probe::Log* ProbeLogOf(HMODULE module) {
    using GetLog = probe::Log*(__cdecl*)();
    using Reset = void(__cdecl*)();
    auto reset =
        reinterpret_cast<Reset>(reinterpret_cast<void*>(GetProcAddress(module, "ProbeReset")));
    auto getLog =
        reinterpret_cast<GetLog>(reinterpret_cast<void*>(GetProcAddress(module, "ProbeGetLog")));
    if (reset == nullptr || getLog == nullptr) {
        return nullptr;
    }
    reset();
    return getLog();
}

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_full.reset(LoadLibraryA(kProbeFull));
        m_partial.reset(LoadLibraryA(kProbePartial));
        ASSERT_TRUE(m_full) << kProbeFull;
        ASSERT_TRUE(m_partial) << kProbePartial;
        m_log = ProbeLogOf(m_full.get());
        m_partialLog = ProbeLogOf(m_partial.get());
        ASSERT_NE(m_log, nullptr);
        ASSERT_NE(m_partialLog, nullptr);
    }
    void TearDown() override { toolkit::UnbindEngine(); }

    std::uintptr_t Full() const { return reinterpret_cast<std::uintptr_t>(m_full.get()); }
    std::uintptr_t Partial() const { return reinterpret_cast<std::uintptr_t>(m_partial.get()); }

    toolkit::ModuleHandle m_full;
    toolkit::ModuleHandle m_partial;
    probe::Log* m_log = nullptr;
    probe::Log* m_partialLog = nullptr;
};
