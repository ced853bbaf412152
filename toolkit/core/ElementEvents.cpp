#include "core/ElementEvents.h"

#include <algorithm>
#include <vector>

#include "core/Element.h"
#include "core/ElementMessages.h"
#include "core/HostRecord.h"
#include "foundation/CallAddress.h"
#include "foundation/CheckedMemory.h"
#include "foundation/EngineBinding.h"
#include "foundation/Win32Handles.h"

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

// A carrier block on its way to a host window. The carrier's lParam may come from anywhere: any
// process can post the message to the window. Only an address listed here is read as a block.
// A posted block is owned here until the host window takes it or goes away; a sent block stays
// its sender's and is listed only while the send lasts.
struct CarriedBlock {
    const ElementMessageBlock* address;
    HWND window;
    HeapBlock posted;  // empty for a sent block
};

// The UI thread alone posts, sends and takes carrier blocks: nothing here is locked.
std::vector<CarriedBlock>& CarriedBlocks() {
    static std::vector<CarriedBlock> blocks;
    return blocks;
}

std::vector<CarriedBlock>::iterator FindCarriedBlock(const void* address) {
    std::vector<CarriedBlock>& blocks = CarriedBlocks();
    return std::find_if(blocks.begin(), blocks.end(),
                        [address](const CarriedBlock& b) { return b.address == address; });
}

auto PostedTo(HWND window) {
    return [window](const CarriedBlock& b) { return b.window == window && b.posted; };
}

// Takes the block off the list, freeing it when it is a posted one.
void ForgetCarriedBlock(const void* address) {
    const auto found = FindCarriedBlock(address);
    if (found != CarriedBlocks().end()) {
        CarriedBlocks().erase(found);
    }
}

// Running out of memory for the entry ends the program (FatalError.h), so listing cannot fail.
void ListCarriedBlock(const ElementMessageBlock* address, HWND window, HeapBlock posted) {
    CarriedBlocks().push_back({address, window, std::move(posted)});
}

LRESULT CarryToElement(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam,
                       bool post) {
    Element* element = ElementFromHandle(handle);
    if (element == nullptr || element->m_hostWindow == nullptr) {
        return 0;
    }
    HeapBlock owned(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ElementMessageBlock)));
    if (!owned) {
        return 0;
    }
    auto* block = static_cast<ElementMessageBlock*>(owned.get());
    block->message = message;
    block->wParam = static_cast<std::uint32_t>(wParam);
    block->lParam = static_cast<std::uint32_t>(lParam);
    const HWND window = element->m_hostWindow;
    const auto blockAddress = reinterpret_cast<LPARAM>(block);
    if (post) {
        ListCarriedBlock(block, window, std::move(owned));
        if (PostMessageW(window, kMsgElementCarrier, handle, blockAddress)) {
            return 1;
        }
        ForgetCarriedBlock(block);
        return 0;
    }
    // The block is freed here once the send returned, whatever the window did with it, so its
    // address cannot come back for another block while it is still listed.
    ListCarriedBlock(block, window, HeapBlock());
    const LRESULT result = SendMessageW(window, kMsgElementCarrier, handle, blockAddress);
    ForgetCarriedBlock(block);
    return result;
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
    const auto found = FindCarriedBlock(reinterpret_cast<const void*>(block));
    if (found == CarriedBlocks().end()) {
        return 0;  // not a block of ours: another process's value, or one already taken
    }
    const ElementMessageBlock message = *found->address;
    if (found->posted) {
        CarriedBlocks().erase(found);
    }
    return CallElementProc(static_cast<ElementHandle>(handle), message.message, message.wParam,
                           static_cast<LPARAM>(message.lParam));
}

void ReleaseCarriedMessages(HWND window) {
    // The system drops the messages still queued for a window that goes; their blocks go here.
    std::vector<CarriedBlock>& blocks = CarriedBlocks();
    blocks.erase(std::remove_if(blocks.begin(), blocks.end(), PostedTo(window)), blocks.end());
}

std::size_t CarriedMessagesPending(HWND window) {
    const std::vector<CarriedBlock>& blocks = CarriedBlocks();
    return static_cast<std::size_t>(std::count_if(blocks.begin(), blocks.end(), PostedTo(window)));
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
