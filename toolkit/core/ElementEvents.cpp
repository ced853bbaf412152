#include "core/ElementEvents.h"

#include "core/Element.h"
#include "core/ElementMessages.h"
#include "core/HostRecord.h"
#include "foundation/CallAddress.h"
#include "foundation/CheckedMemory.h"
#include "foundation/EngineBinding.h"

namespace toolkit {

namespace {

// With the owner first, one call passes at most kMaxCallArgs words.
constexpr std::size_t kMaxEventArguments = kMaxCallArgs - 1;

// The event table of an element or a host window. Both kinds of handle are the address of a
// self cell inside their object, at different offsets, which tells them apart.
std::uint32_t EventTableOf(std::uint32_t handle) {
    const std::uint32_t object = ReadInt32Checked(handle);
    if (object == 0) {
        return 0;
    }
    if (handle - object == kFieldSelf * engine_abi::kFieldBytes) {
        return ReadInt32Checked(object + kFieldEventTable * engine_abi::kFieldBytes);
    }
    if (handle - object == HostFieldObjectOffset(14)) {
        return ReadInt32Checked(object + HostFieldObjectOffset(51));
    }
    return 0;
}

LRESULT CarryToElement(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam,
                       bool post) {
    Element* element = ElementFromHandle(handle);
    if (element == nullptr || element->m_hostWindow == nullptr) {
        return 0;
    }
    auto* block = static_cast<ElementMessageBlock*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ElementMessageBlock)));
    if (block == nullptr) {
        return 0;
    }
    block->message = message;
    block->wParam = static_cast<std::uint32_t>(wParam);
    block->lParam = static_cast<std::uint32_t>(lParam);
    const HWND window = element->m_hostWindow;
    const auto blockAddress = reinterpret_cast<LPARAM>(block);
    if (post) {
        if (PostMessageW(window, kMsgElementCarrier, handle, blockAddress)) {
            return 1;
        }
        HeapFree(GetProcessHeap(), 0, block);
        return 0;
    }
    // The host window frees the block once the element procedure returned.
    return SendMessageW(window, kMsgElementCarrier, handle, blockAddress);
}

}  // namespace

Element* ElementFromHandle(ElementHandle handle) {
    if (handle == 0) {
        return nullptr;
    }
    return reinterpret_cast<Element*>(ReadInt32Checked(handle));
}

std::uint32_t ReadElementField(ElementHandle handle, std::uint32_t field) {
    const std::uint32_t object = ReadInt32Checked(handle);
    if (object == 0) {
        return 0;
    }
    return ReadInt32Checked(object + field * engine_abi::kFieldBytes);
}

void WriteElementField(ElementHandle handle, std::uint32_t field, std::uint32_t value) {
    const std::uint32_t object = ReadInt32Checked(handle);
    if (object != 0) {
        WriteInt32Checked(object + field * engine_abi::kFieldBytes, value);
    }
}

LRESULT CallElementProc(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Element* element = ElementFromHandle(handle);
    if (element == nullptr) {
        return 0;
    }
    return element->ElementWndProc(message, wParam, lParam);
}

LRESULT SendToElement(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return CarryToElement(handle, message, wParam, lParam, false);
}

BOOL PostToElement(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return CarryToElement(handle, message, wParam, lParam, true) != 0;
}

LRESULT DeliverCarriedMessage(WPARAM handle, LPARAM block) {
    auto* carried = reinterpret_cast<ElementMessageBlock*>(block);
    if (carried == nullptr) {
        return 0;
    }
    const ElementMessageBlock message = *carried;
    HeapFree(GetProcessHeap(), 0, carried);
    return CallElementProc(static_cast<ElementHandle>(handle), message.message, message.wParam,
                           static_cast<LPARAM>(message.lParam));
}

std::uint32_t BindElementEvent(std::uint32_t handle, std::uint32_t message, std::uint32_t routine,
                               std::uint32_t owner) {
    const std::uint32_t table = EventTableOf(handle);
    if (table == 0) {
        return 0;
    }
    auto* entry = static_cast<engine_abi::EventEntry*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(engine_abi::EventEntry)));
    if (entry == nullptr) {
        return 0;
    }
    entry->routine = routine;
    entry->owner = owner;
    // The engine does not free the entry a new one replaces: that one is ours to free.
    const std::uint32_t old = EngineLookupEvent(table, message);
    if (old != 0) {
        HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(old));
    }
    EngineStoreEvent(table, message, AddressOf(entry));
    return 1;
}

std::uint32_t RaiseElementEvent(std::uint32_t handle, std::uint32_t message,
                                std::initializer_list<std::uint32_t> arguments) {
    const std::uint32_t table = EventTableOf(handle);
    if (table == 0) {
        return 0;
    }
    const std::uint32_t entry = EngineLookupEvent(table, message);
    if (entry == 0) {
        return 0;
    }
    const std::uint32_t routine =
        ReadInt32Checked(entry + offsetof(engine_abi::EventEntry, routine));
    const std::uint32_t owner = ReadInt32Checked(entry + offsetof(engine_abi::EventEntry, owner));
    if (routine == 0) {
        return 0;
    }
    // A bound operation of an object is called with the object as its first argument; the
    // arguments not given stay absent, so the routine sees only what the event passes.
    std::uint32_t words[kMaxEventArguments] = {};
    std::size_t count = 0;
    for (std::uint32_t argument : arguments) {
        if (count < kMaxEventArguments) {
            words[count++] = argument;
        }
    }
    const auto word = [&](std::size_t i) { return CallArg(words[i], i < count); };
    return CallAddress(
        routine, {CallArg(owner, owner != 0), word(0), word(1), word(2), word(3), word(4), word(5),
                  word(6), word(7), word(8), word(9), word(10), word(11), word(12), word(13)});
}

std::uint32_t CurrentModifierMask() {
    constexpr SHORT kKeyDown = static_cast<SHORT>(0x8000);
    std::uint32_t mask = 0;
    if (GetAsyncKeyState(VK_CONTROL) & kKeyDown) {
        mask |= kModifierControl;
    }
    if (GetAsyncKeyState(VK_SHIFT) & kKeyDown) {
        mask |= kModifierShift;
    }
    if (GetAsyncKeyState(VK_MENU) & kKeyDown) {
        mask |= kModifierAlt;
    }
    return mask;
}

}  // namespace toolkit
