#include "Memory.h"

#include "foundation/EngineAbi.h"

namespace engine {

bool Readable(std::uint32_t address, std::uint32_t size) {
    return address != 0 && !IsBadReadPtr(Pointer<void>(address), size);
}

bool Writable(std::uint32_t address, std::uint32_t size) {
    return address != 0 && !IsBadWritePtr(Pointer<void>(address), size);
}

bool Callable(std::uint32_t address) {
    return address != 0 && !IsBadCodePtr(Pointer<int WINAPI()>(address));
}

bool StoreWord(std::uint32_t address, std::uint32_t value) {
    if (!Writable(address, 4)) {
        return false;
    }
    *Pointer<std::uint32_t>(address) = value;
    return true;
}

std::uint32_t LoadWord(std::uint32_t address) {
    return Readable(address, 4) ? *Pointer<std::uint32_t>(address) : 0;
}

bool ReadText(std::uint32_t address, std::string& out) {
    if (address == 0 || IsBadStringPtrA(Pointer<const char>(address), kMaxText)) {
        return false;
    }
    const char* text = Pointer<const char>(address);
    std::size_t length = strnlen(text, kMaxText);
    if (length == kMaxText) {
        return false;
    }
    out.assign(text, length);
    return true;
}

bool ReadWideText(std::uint32_t address, std::wstring& out) {
    if (address == 0 || IsBadStringPtrW(Pointer<const wchar_t>(address), kMaxText)) {
        return false;
    }
    const wchar_t* text = Pointer<const wchar_t>(address);
    std::size_t length = wcsnlen(text, kMaxText);
    if (length == kMaxText) {
        return false;
    }
    out.assign(text, length);
    return true;
}

std::uint32_t MethodAddress(std::uint32_t object, std::uint32_t slot) {
    std::uint32_t table = LoadWord(object);
    if (table == 0) {
        return 0;
    }
    std::uint32_t method = LoadWord(table + slot * 4);
    return Callable(method) ? method : 0;
}

std::uint32_t ObjectBehindCell(std::uint32_t cell, std::uint32_t selfField) {
    std::uint32_t object = LoadWord(cell);
    if (object == 0 || !Readable(object, (selfField + 1) * engine_abi::kFieldBytes) ||
        object + selfField * engine_abi::kFieldBytes != cell || LoadWord(object) == 0) {
        return 0;
    }
    return object;
}

std::uint32_t ElementObject(std::uint32_t handle) {
    return ObjectBehindCell(handle, engine_abi::kFieldSelfCell);
}

std::uint32_t CallMethod0(std::uint32_t object, std::uint32_t slot) {
    using Method = std::uint32_t(__thiscall*)(void*);
    std::uint32_t method = MethodAddress(object, slot);
    return method == 0 ? 0 : reinterpret_cast<Method>(method)(Pointer<void>(object));
}

std::uint32_t CallMethod3(std::uint32_t object, std::uint32_t slot, std::uint32_t a,
                          std::uint32_t b, std::uint32_t c) {
    using Method = std::uint32_t(__thiscall*)(void*, std::uint32_t, std::uint32_t, std::uint32_t);
    std::uint32_t method = MethodAddress(object, slot);
    return method == 0 ? 0 : reinterpret_cast<Method>(method)(Pointer<void>(object), a, b, c);
}

std::uint32_t NewHandle() {
    // Issued handles start well above small integers, so a flag or a count passed by mistake
    // never names an object.
    static std::uint32_t next = 0x00E10000;
    return ++next;
}

}  // namespace engine
