// Event tables: entries are program blocks on the process heap; the engine stores, finds and
// finally frees them, but never frees one it is told to replace.
#include "../support/CpuEmulation.h"
#include "EngineTestSupport.h"

namespace engine_test {
namespace {

using namespace engine_abi;

constexpr Word kClick = 20108;
constexpr Word kOwner = 0x1234;

engine_abi::EventEntry* NewEntry(Word routine) {
    auto* entry = static_cast<engine_abi::EventEntry*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(engine_abi::EventEntry)));
    entry->routine = routine;
    entry->owner = kOwner;
    return entry;
}

TEST(EngineEventTables, StoreLookUpReplaceAndFree) {
    Word table = Call(kOrdCreateEventTable, kDefaultEventBuckets);
    ASSERT_NE(table, 0u);
    EXPECT_EQ(Call(kOrdLookupEvent, table, kClick), 0u);

    auto* first = NewEntry(1);
    EXPECT_EQ(Call(kOrdStoreEvent, table, kClick, W(first)), 1u);
    EXPECT_EQ(Call(kOrdLookupEvent, table, kClick), W(first));
    EXPECT_EQ(Call(kOrdLookupEvent, table, WM_PAINT), 0u);

    // The program frees the old entry itself before binding again; the engine must not.
    auto* second = NewEntry(2);
    EXPECT_EQ(Call(kOrdStoreEvent, table, kClick, W(second)), 1u);
    EXPECT_EQ(Call(kOrdLookupEvent, table, kClick), W(second));
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, first)) << "replaced entry still allocated";
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, first));

    auto* third = NewEntry(3);
    EXPECT_EQ(Call(kOrdStoreEvent, table, WM_DESTROY, W(third)), 1u);
    EXPECT_EQ(Call(kOrdFreeEventTable, table), 1u);
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, second)) << "freed with the table";
    EXPECT_EQ(Call(kOrdLookupEvent, table, kClick), 0u) << "the table is gone";
    EXPECT_EQ(Call(kOrdFreeEventTable, table), 0u);
}

TEST(EngineEventTables, TablesAreIndependentAndEntryZeroUnbinds) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    Word a = Call(kOrdCreateEventTable, kDefaultEventBuckets);
    Word b = Call(kOrdCreateEventTable, 1);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    auto* entry = NewEntry(1);
    EXPECT_EQ(Call(kOrdStoreEvent, a, kClick, W(entry)), 1u);
    EXPECT_EQ(Call(kOrdLookupEvent, b, kClick), 0u);
    EXPECT_EQ(Call(kOrdStoreEvent, a, kClick, 0), 1u);
    EXPECT_EQ(Call(kOrdLookupEvent, a, kClick), 0u);
    EXPECT_EQ(Call(kOrdStoreEvent, a, kClick, kUnreadable), 0u);
    HeapFree(GetProcessHeap(), 0, entry);
    EXPECT_EQ(Call(kOrdFreeEventTable, a), 1u);
    EXPECT_EQ(Call(kOrdFreeEventTable, b), 1u);
}

// A table is made for any bucket count from one to the largest, both ends included.
TEST(EngineEventTables, BucketCountIsTakenUpToItsLargest) {
    EXPECT_EQ(Call(kOrdCreateEventTable, 0), 0u);
    EXPECT_EQ(Call(kOrdCreateEventTable, kMaxEventBuckets + 1), 0u);
    for (const Word buckets : {Word{1}, kMaxEventBuckets}) {
        const Word table = Call(kOrdCreateEventTable, buckets);
        ASSERT_NE(table, 0u) << buckets;
        auto* entry = NewEntry(1);
        EXPECT_EQ(Call(kOrdStoreEvent, table, kClick, W(entry)), 1u) << buckets;
        EXPECT_EQ(Call(kOrdLookupEvent, table, kClick), W(entry)) << buckets;
        EXPECT_EQ(Call(kOrdFreeEventTable, table), 1u) << buckets;
    }
}

}  // namespace
}  // namespace engine_test
