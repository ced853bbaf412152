// Event tables: per element and per window, a message number mapped to an entry block the
// program allocated on the process heap.
#include "Engine.h"

#include "Memory.h"
#include "foundation/EngineAbi.h"

#include <windows.h>

#include <memory>
#include <unordered_map>

namespace engine {
namespace {

using EventTable = std::unordered_map<Word32, Word32>;  // message -> entry block
std::unordered_map<Word32, std::unique_ptr<EventTable>> g_tables;

EventTable* Find(Word32 table) {
    auto it = g_tables.find(table);
    return it == g_tables.end() ? nullptr : it->second.get();
}

}  // namespace

Word32 CreateEventTable(Word32 buckets) {
    if (buckets == 0 || buckets > engine_abi::kMaxEventBuckets) {
        return 0;
    }
    auto table = std::make_unique<EventTable>();
    table->reserve(buckets);
    Word32 handle = NewHandle();
    g_tables[handle] = std::move(table);
    return handle;
}

Word32 FreeEventTable(Word32 table) {
    auto it = g_tables.find(table);
    if (it == g_tables.end()) {
        return 0;
    }
    HANDLE heap = GetProcessHeap();
    for (const auto& binding : *it->second) {
        // Only a block of the process heap is handed back to it.
        void* entry = Pointer<void>(binding.second);
        if (HeapValidate(heap, 0, entry)) {
            HeapFree(heap, 0, entry);
        }
    }
    g_tables.erase(it);
    return 1;
}

Word32 StoreEvent(Word32 table, Word32 message, Word32 entry) {
    EventTable* events = Find(table);
    if (events == nullptr || (entry != 0 && !Readable(entry, sizeof(engine_abi::EventEntry)))) {
        return 0;
    }
    if (entry == 0) {
        events->erase(message);
    } else {
        (*events)[message] = entry;
    }
    return 1;
}

Word32 LookupEvent(Word32 table, Word32 message) {
    EventTable* events = Find(table);
    if (events == nullptr) {
        return 0;
    }
    auto it = events->find(message);
    return it == events->end() ? 0 : it->second;
}

}  // namespace engine
