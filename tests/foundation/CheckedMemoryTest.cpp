#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/CallAddress.h"
#include "foundation/CheckedMemory.h"
#include "../support/CpuEmulation.h"

namespace {

using namespace toolkit;

constexpr std::size_t kPage = 4096;
constexpr std::uint32_t kPattern = 0xA5A5A5A5;
constexpr std::uint32_t kValue = 0x12345678;

// One readable and writable page followed by one that cannot be touched, so accesses that
// straddle the boundary can be tried.
class GuardedPages : public ::testing::Test {
protected:
    void SetUp() override {
        m_base = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        ASSERT_NE(m_base, nullptr);
        DWORD old = 0;
        ASSERT_TRUE(VirtualProtect(m_base + kPage, kPage, PAGE_NOACCESS, &old));
        std::memset(m_base, 0xA5, kPage);
    }
    void TearDown() override { VirtualFree(m_base, 0, MEM_RELEASE); }

    std::uintptr_t Good(std::size_t offset = 0) const {
        return reinterpret_cast<std::uintptr_t>(m_base + offset);
    }
    std::uintptr_t Bad() const { return reinterpret_cast<std::uintptr_t>(m_base + kPage); }
    std::uint32_t WordAt(std::size_t offset) const {
        std::uint32_t value = 0;
        std::memcpy(&value, m_base + offset, sizeof value);
        return value;
    }

    std::uint8_t* m_base = nullptr;
};

TEST_F(GuardedPages, ReadsOfUnreadableAddressesGiveZero) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    EXPECT_EQ(ReadInt32Checked(0), 0u);
    EXPECT_EQ(ReadInt32Checked(Bad()), 0u);
    // Two bytes readable, two not.
    EXPECT_EQ(ReadInt32Checked(Good(kPage - 2)), 0u);
    EXPECT_EQ(ReadInt64Checked(Good(kPage - 4)), 0u);
    EXPECT_EQ(ReadByteAt(Bad()), 0u);
    EXPECT_EQ(ReadInt16Checked(Bad()), 0u);
    // The last two bytes before the boundary are a valid 16-bit read.
    EXPECT_EQ(ReadInt16Checked(Good(kPage - 2)), kPattern & 0xFFFF);
    EXPECT_EQ(ReadInt32Checked(Good()), kPattern);
    EXPECT_EQ(ReadByteAt(Good()), kPattern & 0xFF);
}

TEST_F(GuardedPages, WritesToUnwritableAddressesTouchNothing) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(m_base, kPage, PAGE_READONLY, &old));
    EXPECT_FALSE(WriteInt32Checked(Good(), kValue));
    const std::uint32_t source = kValue;
    EXPECT_EQ(CopyMemoryChecked(Good(), reinterpret_cast<std::uintptr_t>(&source), sizeof source),
              0u);
    EXPECT_EQ(WordAt(0), kPattern);
    ASSERT_TRUE(VirtualProtect(m_base, kPage, PAGE_READWRITE, &old));

    // A copy that would run past the writable page copies no byte at all.
    EXPECT_EQ(CopyMemoryChecked(Good(kPage - 2), reinterpret_cast<std::uintptr_t>(&source),
                                sizeof source),
              0u);
    EXPECT_EQ(WordAt(kPage - 4), kPattern);
    // Nor does one from an unreadable source.
    EXPECT_EQ(CopyMemoryChecked(Good(), Bad(), sizeof source), 0u);
    EXPECT_EQ(WordAt(0), kPattern);

    EXPECT_TRUE(WriteInt32Checked(Good(), kValue));
    EXPECT_EQ(WordAt(0), kValue);
}

TEST_F(GuardedPages, CopyAllowsOverlap) {
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
    std::memcpy(m_base, bytes, sizeof bytes);
    EXPECT_EQ(CopyMemoryChecked(Good(1), Good(), 4), 4u);
    const std::uint8_t expected[] = {1, 1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(m_base, expected, sizeof expected), 0);
}

TEST(ByteArrays, CountedBytesCarryTheirLengthInFront) {
    const ByteArray bytes = {7, 8, 9};
    const CountedBytes counted(bytes);
    EXPECT_EQ(ByteArrayLength(AddressOf(counted.data())), bytes.size());
    EXPECT_EQ(std::memcmp(counted.data(), bytes.data(), bytes.size()), 0);
    EXPECT_EQ(ByteArrayLength(0), 0u);
    EXPECT_EQ(BytesData(ByteArray()), nullptr);
    EXPECT_EQ(TextAddress(std::string()), nullptr);
}

TEST(HeapFreeAndClear, FreesTheBlockAndClearsTheVariable) {
    std::uintptr_t block =
        reinterpret_cast<std::uintptr_t>(HeapAlloc(GetProcessHeap(), 0, sizeof kValue));
    ASSERT_NE(block, 0u);
    EXPECT_TRUE(HeapFreeAndClear(block));
    EXPECT_EQ(block, 0u);
    EXPECT_FALSE(HeapFreeAndClear(block));
}

}  // namespace
