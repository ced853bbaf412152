#include "ProbeModule.h"

namespace {

using namespace toolkit;

constexpr std::uint32_t kBuckets = 12;
constexpr std::uint32_t kTableAnswer = kBuckets + probe::kEventTableBias;

TEST_F(ProbeTest, NothingIsCalledWithoutAnEngine) {
    UnbindEngine();
    EXPECT_EQ(GetEngineProc(engine_abi::kOrdCreateEventTable), 0u);
    EXPECT_EQ(EngineCreateEventTable(kBuckets), 0u);
    EXPECT_FALSE(FreeEngine());
}

TEST_F(ProbeTest, MissingExportIsLookedUpAgainOnTheNextCall) {
    EngineBinding& binding = GetEngineBinding();
    BindEngine(Partial(), false);
    EXPECT_EQ(EngineCreateEventTable(kBuckets), 0u);
    EXPECT_EQ(binding.procs[engine_abi::kOrdCreateEventTable], 0u);

    // The export turns up in the bound module: the next call finds it, since a miss is not
    // remembered.
    binding.module = Full();
    EXPECT_EQ(EngineCreateEventTable(kBuckets), kTableAnswer);
    const std::uint32_t cached = binding.procs[engine_abi::kOrdCreateEventTable];
    EXPECT_NE(cached, 0u);

    // Once resolved it is not looked up again: the module lacking it still reaches it.
    binding.module = Partial();
    EXPECT_EQ(EngineCreateEventTable(kBuckets), kTableAnswer);
    EXPECT_EQ(binding.procs[engine_abi::kOrdCreateEventTable], cached);
}

TEST_F(ProbeTest, InitOrdinalIsNeverCached) {
    BindEngine(Full(), false);
    std::array<std::uint32_t, engine_abi::kInitValueCount> values = {};
    EXPECT_EQ(CallEngineInit(values), 1u);
    EXPECT_EQ(GetEngineBinding().procs[engine_abi::kOrdInit], 0u);
    ASSERT_EQ(m_log->callCount, 1u);
    EXPECT_EQ(m_log->calls[0], engine_abi::kOrdInit);
}

TEST_F(ProbeTest, FreeingTheEngineForgetsEveryCachedAddress) {
    // A module of its own, since FreeEngine releases it.
    HMODULE module = LoadLibraryA(kProbeFull);
    ASSERT_NE(module, nullptr);
    BindEngine(reinterpret_cast<std::uintptr_t>(module), false);
    EXPECT_EQ(EngineCreateEventTable(kBuckets), kTableAnswer);
    GetEngineBinding().defaultTheme = probe::kFirstTheme;

    EXPECT_TRUE(FreeEngine());
    const EngineBinding& binding = GetEngineBinding();
    EXPECT_EQ(binding.module, 0u);
    EXPECT_EQ(binding.defaultTheme, 0u);
    for (std::uint32_t address : binding.procs) {
        EXPECT_EQ(address, 0u);
    }
    EXPECT_EQ(EngineCreateEventTable(kBuckets), 0u);
}

TEST_F(ProbeTest, UnbindClearsTheCacheAndRebindingTheSameModuleKeepsIt) {
    BindEngine(Full(), false);
    EXPECT_EQ(EngineCreateEventTable(kBuckets), kTableAnswer);
    BindEngine(Full(), false);
    EXPECT_NE(GetEngineBinding().procs[engine_abi::kOrdCreateEventTable], 0u);
    UnbindEngine();
    EXPECT_EQ(GetEngineBinding().procs[engine_abi::kOrdCreateEventTable], 0u);
}

}  // namespace
