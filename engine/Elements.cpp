// Registered control classes, elements created by class name, and the user-data binding of
// ordinals 5 and 6.
#include "Engine.h"

#include "Memory.h"
#include "foundation/EngineAbi.h"

#include <windows.h>

#include <map>
#include <string>
#include <unordered_map>

namespace engine {
namespace {

struct ClassEntry {
    Word32 typeId = 0;
    Word32 prototype = 0;  // the engine's own clone; program memory, never freed by the engine
};

std::map<std::string, ClassEntry> g_classes;      // upper-cased name -> class
std::unordered_map<Word32, Word32> g_elements;    // handle -> object
std::unordered_map<Word32, Word32> g_boundCells;  // cell -> value it held before ordinal 5

// Class names are GBK: the byte after a lead byte is kept as it is.
std::string UpperCase(const std::string& name) {
    std::string out = name;
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

// A clone made through slot 1; usable only when it has a method table and room for the
// element fields the engine writes.
Word32 Clone(Word32 object) {
    Word32 copy = CallMethod0(object, engine_abi::kSlotClone);
    constexpr Word32 kWords = engine_abi::kFieldSelfCell + 1;
    if (copy == 0 || !Writable(copy, kWords * engine_abi::kFieldBytes) || LoadWord(copy) == 0) {
        return 0;
    }
    return copy;
}

}  // namespace

Word32 RegisterControlClass(Word32 prototype, Word32 name, Word32 typeId) {
    std::string text;
    if (!ReadText(name, text) || text.empty() ||
        MethodAddress(prototype, engine_abi::kSlotClone) == 0) {
        return 0;
    }
    Word32 copy = Clone(prototype);
    if (copy == 0) {
        return 0;
    }
    // A class registered again keeps the old copy alive: the engine cannot tell how the program
    // allocated it, and registration happens once per start-up.
    g_classes[UpperCase(text)] = ClassEntry{typeId, copy};
    return 1;
}

Word32 CreateByName(Word32 name, Word32 typeIdVariable) {
    std::string text;
    if (!ReadText(name, text) || (typeIdVariable != 0 && !Writable(typeIdVariable, 4))) {
        return 0;
    }
    auto it = g_classes.find(UpperCase(text));
    if (it == g_classes.end()) {
        return 0;
    }
    Word32 object = Clone(it->second.prototype);
    if (object == 0) {
        return 0;
    }
    Word32 handle = object + engine_abi::kFieldSelfCell * engine_abi::kFieldBytes;
    StoreWord(handle, object);
    if (typeIdVariable != 0) {
        StoreWord(typeIdVariable, it->second.typeId);
    }
    g_elements[handle] = object;
    return handle;
}

Word32 DestroyElement(Word32 handle) {
    auto it = g_elements.find(handle);
    if (it == g_elements.end()) {
        return 0;
    }
    Word32 object = it->second;
    g_elements.erase(it);
    if (ElementObject(handle) == object &&
        LoadWord(object + engine_abi::kFieldAlive * engine_abi::kFieldBytes) == 1) {
        CallMethod3(object, engine_abi::kSlotElementProc, WM_DESTROY, 0, 0);
    }
    return 1;
}

Word32 BindUserData(Word32 cell, Word32 handle, Word32 key) {
    if (key != engine_abi::kUserDataKeyElement || !Writable(cell, 4)) {
        return 0;
    }
    Word32 object = ElementObject(handle);
    if (object == 0) {
        return 0;
    }
    g_boundCells.emplace(cell, LoadWord(cell));  // keeps the first value until it is restored
    StoreWord(cell, object);
    return 1;
}

Word32 RestoreUserData(Word32 cell, Word32 key) {
    if (key != engine_abi::kUserDataKeyElement) {
        return 0;
    }
    auto it = g_boundCells.find(cell);
    if (it == g_boundCells.end()) {
        return 0;
    }
    Word32 original = it->second;
    g_boundCells.erase(it);
    return StoreWord(cell, original) ? 1 : 0;
}

}  // namespace engine
