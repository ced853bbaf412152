// Window-procedure thunks, window styles, the show and close "animation" and window blur.
#include "Engine.h"

#include "Memory.h"
#include "foundation/EngineAbi.h"

#include <windows.h>

#include <cstring>

namespace engine {
namespace {

HWND Window(Word32 window) {
    HWND hwnd = Pointer<HWND__>(window);
    return window != 0 && IsWindow(hwnd) ? hwnd : nullptr;
}

}  // namespace

Word32 MakeWndProcThunk(Word32 object, Word32 target) {
    if (!Readable(object, 4) || !Callable(target)) {
        return 0;
    }
    void* block = VirtualAlloc(nullptr, engine_abi::kThunkSize, MEM_COMMIT | MEM_RESERVE,
                               PAGE_EXECUTE_READWRITE);
    if (block == nullptr) {
        return 0;
    }
    std::uint8_t* code = static_cast<std::uint8_t*>(block);
    std::memcpy(code, engine_abi::kThunkStoreOpcode, sizeof engine_abi::kThunkStoreOpcode);
    std::memcpy(code + engine_abi::kThunkObjectOffset, &object, 4);
    code[engine_abi::kThunkJumpOffset] = engine_abi::kThunkJumpOpcode;
    Word32 relative = target - (Word(code) + engine_abi::kThunkSize);
    std::memcpy(code + engine_abi::kThunkJumpOffset + 1, &relative, 4);
    FlushInstructionCache(GetCurrentProcess(), block, engine_abi::kThunkSize);
    return Word(block);
}

Word32 AnimateHostWindow(Word32 ownHandle, Word32 mode) {
    Word32 object = ObjectBehindCell(ownHandle, engine_abi::kHostFieldSelfCell);
    if (object == 0) {
        return 0;
    }
    HWND hwnd = Window(LoadWord(object + engine_abi::kHostFieldWindow * engine_abi::kFieldBytes));
    if (hwnd == nullptr ||
        (mode != engine_abi::kAnimateShow && mode != engine_abi::kAnimateClose)) {
        return 0;
    }
    if (mode == engine_abi::kAnimateClose) {
        SendMessageW(hwnd, engine_abi::kMsgAnimationBegin, 1, 0);
        SendMessageW(hwnd, engine_abi::kMsgAnimationEnd, 1, 0);
        return 1;
    }
    SendMessageW(hwnd, engine_abi::kMsgAnimationBegin, 0, 0);
    // The window may have been destroyed by a handler of the message just sent.
    if (ObjectBehindCell(ownHandle, engine_abi::kHostFieldSelfCell) != object || !IsWindow(hwnd)) {
        return 0;
    }
    CallMethod0(object, engine_abi::kSlotHostPresent);
    if (!IsWindow(hwnd)) {
        return 0;
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SendMessageW(hwnd, engine_abi::kMsgAnimationEnd, 0, 0);
    return 1;
}

Word32 ChangeWindowStyle(Word32 window, Word32 bits, Word32 extended, bool add) {
    HWND hwnd = Window(window);
    if (hwnd == nullptr) {
        return 0;
    }
    const int index = extended ? GWL_EXSTYLE : GWL_STYLE;
    const LONG style = GetWindowLongW(hwnd, index);
    const LONG changed =
        add ? (style | static_cast<LONG>(bits)) : (style & ~static_cast<LONG>(bits));
    // Setting an unchanged style still sends WM_STYLECHANGED, whose handler calls back here.
    if (changed != style) {
        SetWindowLongW(hwnd, index, changed);
    }
    return 1;
}

Word32 HasWindowStyle(Word32 window, Word32 bits, Word32 extended) {
    HWND hwnd = Window(window);
    if (hwnd == nullptr || bits == 0) {
        return 0;
    }
    const Word32 style =
        static_cast<Word32>(GetWindowLongW(hwnd, extended ? GWL_EXSTYLE : GWL_STYLE));
    return (style & bits) == bits ? 1 : 0;
}

Word32 SetWindowBlur(Word32 window, Word32 region, Word32 alpha) {
    // There is no blur behind windows here; the region stays the caller's (it deletes it), so
    // it must never be handed to SetWindowRgn, which would take it over.
    return Window(window) != nullptr ? 1 : 0;
}

}  // namespace engine
