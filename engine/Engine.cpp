// Start-up values, the resource routine and the data the program hands over unread.
#include "Engine.h"

#include "Memory.h"
#include "foundation/EngineAbi.h"

#include <cstring>
#include <string>
#include <vector>

namespace engine {
namespace {

Word32 g_initValues[engine_abi::kInitValueCount] = {};
Word32 g_resourceProvider = 0;
std::vector<std::uint8_t> g_mapData;

Word32 __stdcall LookUpResource(Word32 name, Word32 freeFlag) {
    if (!Callable(g_resourceProvider)) {
        return 0;
    }
    using Provider = Word32(__stdcall*)(Word32, Word32);
    return reinterpret_cast<Provider>(g_resourceProvider)(name, freeFlag);
}

// Replaces the element's owned text as its text property does: a NUL-ended copy on the process
// heap, none for an empty text, and the old copy freed there.
Word32 SetElementText(Word32 object, const std::string& text) {
    const Word32 field = object + engine_abi::kFieldText * engine_abi::kFieldBytes;
    if (ElementObject(object + engine_abi::kFieldSelfCell * engine_abi::kFieldBytes) != object ||
        !Writable(field, engine_abi::kFieldBytes)) {
        return 0;
    }
    const HANDLE heap = GetProcessHeap();
    Word32 copy = 0;
    if (!text.empty()) {
        void* block = HeapAlloc(heap, HEAP_ZERO_MEMORY, text.size() + 1);
        if (block == nullptr) {
            return 0;
        }
        std::memcpy(block, text.data(), text.size());
        copy = Word(block);
    }
    const Word32 old = LoadWord(field);
    StoreWord(field, copy);
    if (old != 0) {
        HeapFree(heap, 0, Pointer<void>(old));
    }
    return 1;
}

}  // namespace

Word32 Init(const Word32* values) {
    for (Word32 i = 0; i < engine_abi::kInitValueCount; ++i) {
        g_initValues[i] = values[i];
    }
    LoadBuiltInTheme(values[engine_abi::kInitBuiltInTheme]);
    return 1;
}

Word32 InitValue(Word32 position) {
    return position < engine_abi::kInitValueCount ? g_initValues[position] : 0;
}

Word32 ResourceRoutine(Word32 routine) {
    if (routine == engine_abi::kResourceRoutineQuery) {
        return Word(&LookUpResource);
    }
    if (routine != 0 && !Callable(routine)) {
        return 0;
    }
    Word32 previous = g_resourceProvider;
    g_resourceProvider = routine;
    return previous;
}

Word32 LoadMapData(Word32 data) {
    // The program passes the data pointer of its byte array; the header words precede it.
    constexpr Word32 kArrayHeader = 8;
    if (data < kArrayHeader || !Readable(data - kArrayHeader, kArrayHeader) ||
        LoadWord(data - kArrayHeader) != 1) {
        return 0;
    }
    Word32 length = LoadWord(data - 4);
    if (length == 0 || !Readable(data, length)) {
        return 0;
    }
    const std::uint8_t* bytes = Pointer<const std::uint8_t>(data);
    g_mapData.assign(bytes, bytes + length);
    return 1;
}

Word32 SetLayoutAttribute(Word32 object, Word32 name, Word32 value, Word32 flag) {
    std::string nameText, valueText;
    // An empty value arrives as a null text.
    if (!Readable(object, 4) || !ReadText(name, nameText) ||
        (value != 0 && !ReadText(value, valueText))) {
        return 0;
    }
    // The pass after attaching (flag 0) gives the element its text; every other key is the
    // element's own business.
    if (flag == 0 && lstrcmpiA(nameText.c_str(), engine_abi::kLayoutTextKey) == 0) {
        return SetElementText(object, valueText);
    }
    return 1;
}

}  // namespace engine
