// The contract between the programs and the engine library exdui.dll.
//
// Both sides include this header: the toolkit calls the engine only through these ordinals, and
// the engine calls program objects only through the method-table slots named here. Nothing in
// this file may change without changing both sides; tests pin the values.
//
// Calling conventions (i686):
//  - Engine exports are extern "C" __stdcall, exported by ordinal only; every argument is one
//    32-bit word.
//  - The engine calls methods of program objects with __thiscall (GCC's convention for member
//    functions on i686: `this` in ECX, callee pops). Classes whose slots cross this boundary
//    declare their virtual operations in slot order and no virtual destructor: a virtual
//    destructor takes two table entries and would shift every later slot.
//  - Routines the program hands over (start-up callbacks, the window-procedure thunk target) are
//    stack-passed __stdcall routines, never members: a member is reached through a static
//    forwarder.
#pragma once

#include <cstdint>

namespace engine_abi {

// Export ordinals. Ordinals 8, 10, 13-16, 22 and 33 are not exported.
enum Ordinal : std::uint32_t {
    kOrdInit = 1,              // twelve start-up values
    kOrdRegisterClass = 2,     // prototype, upper-cased class name, type id
    kOrdCreateByName = 3,      // upper-cased class name, address of the type-id variable
    kOrdDestroyElement = 4,    // element handle
    kOrdBindUserData = 5,      // address of an object cell, value, key
    kOrdRestoreUserData = 6,   // address of an object cell, key
    kOrdMakeWndProcThunk = 7,  // object, target routine
    kOrdDrawClearTypeText = 9,
    kOrdCreateTextHost = 11,
    kOrdReleaseTextHost = 12,
    kOrdResourceRoutine = 17,
    kOrdCreateEventTable = 18,
    kOrdFreeEventTable = 19,
    kOrdStoreEvent = 20,
    kOrdLookupEvent = 21,
    kOrdLoadTheme = 23,
    kOrdReleaseTheme = 24,
    kOrdAdoptTheme = 25,
    kOrdSetDefaultTheme = 26,
    kOrdThemeImage = 27,
    kOrdThemeText = 28,
    kOrdThemeRect = 29,
    kOrdThemeRectF = 30,
    kOrdAnimateWindow = 31,
    kOrdLoadMapData = 32,
    kOrdSetLayoutAttribute = 34,
    kOrdAddWindowStyle = 35,
    kOrdRemoveWindowStyle = 36,
    kOrdHasWindowStyle = 37,
    kOrdSetWindowBlur = 38,
    kOrdImageFromFile = 39,
    kOrdImageFromHandle = 40,
};

// Method-table slots of program objects that the engine calls.
enum Slot : std::uint32_t {
    kSlotFreeMembers = 0,   // frees the object's owned members
    kSlotClone = 1,         // () -> address of a deep copy
    kSlotSelf = 2,          // () -> the reference the call went through
    kSlotElementProc = 17,  // (message, wParam, lParam) -> result
    kSlotHostPresent = 39,  // host window: present the window image
    kSlotEditHostFirst = 91,  // Edit: the 39 ITextHost methods, in interface order
    kSlotEditHostLast = 129,
};

// Element record: field n is the 32-bit word at byte offset 4n; field 0 is the method table.
// The element handle is the address of the self cell.
constexpr std::uint32_t kFieldSelfCell = 6;
constexpr std::uint32_t kFieldBytes = 4;

// Keys of ordinals 5 and 6.
constexpr std::uint32_t kUserDataKeyElement = 28;  // rebinds an object cell to an element
constexpr std::uint32_t kUserDataKeyInterface = 4;  // auxiliary interface; the stand-in refuses it

// Modes of ordinal 31.
constexpr std::uint32_t kAnimateShow = 0;
constexpr std::uint32_t kAnimateClose = 1;

// Messages ordinal 31 sends to the window around showing and closing.
constexpr std::uint32_t kMsgAnimationBegin = 20111;
constexpr std::uint32_t kMsgAnimationEnd = 20112;

// Number of start-up values ordinal 1 takes, and their positions (0-based).
constexpr std::uint32_t kInitValueCount = 12;
enum InitValue : std::uint32_t {
    kInitReserved = 0,
    kInitRegisterClassRoutine = 1,
    kInitBuiltInTheme = 2,
    kInitLoadImageRoutine = 3,
    kInitFreeImageRoutine = 4,
    kInitImageExportRoutine = 5,
    kInitAnimateRoutine = 6,
    kInitGetAtomRoutine = 7,
    kInitOsVersionAddress = 8,
    kInitImageAttributes = 9,
    kInitDebugOutputRoutine = 10,
    kInitProcessHeap = 11,
};

// Event-table entry the program stores through ordinal 20: an 8-byte block on the process heap.
struct EventEntry {
    std::uint32_t routine;  // user routine address
    std::uint32_t owner;    // owner object, 0 for none
};
static_assert(sizeof(EventEntry) == 8, "event entries are 8 bytes");

}  // namespace engine_abi
