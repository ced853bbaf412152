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
    kSlotFreeMembers = 0,     // frees the object's owned members
    kSlotClone = 1,           // () -> address of a deep copy
    kSlotSelf = 2,            // () -> the reference the call went through
    kSlotElementProc = 17,    // (message, wParam, lParam) -> result
    kSlotHostPresent = 39,    // host window: present the window image
    kSlotEditHostFirst = 91,  // Edit: the 39 ITextHost methods, in interface order
    kSlotEditHostLast = 129,
};

// Element record: field n is the 32-bit word at byte offset 4n; field 0 is the method table.
// The element handle is the address of the self cell.
constexpr std::uint32_t kFieldSelfCell = 6;
constexpr std::uint32_t kFieldBytes = 4;

// Keys of ordinals 5 and 6.
constexpr std::uint32_t kUserDataKeyElement = 28;   // rebinds an object cell to an element
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

// ---------------------------------------------------------------------------------------------
// What each export takes, in call order, and what it gives. Every argument is one 32-bit word
// and every export pops exactly the count below (stdcall). Anything the engine cannot use gives
// 0 and changes nothing; the engine never crashes on a bad value.
//
//  1 Init(12 values, positions in InitValue): stores them (a second call replaces them), parses
//    the built-in package at kInitBuiltInTheme as the fallback theme; 1.
//  2 RegisterClass(prototype, class name, type id): the engine keeps a clone made through the
//    prototype's slot 1 under the upper-cased name; registering a name again replaces it; 1.
//  3 CreateByName(class name, address of a type-id variable or 0): case-insensitive; clones the
//    registered copy through slot 1, writes the clone's address into its field kFieldSelfCell,
//    writes the type id into the variable and returns the element handle (address of that cell).
//  4 DestroyElement(handle): only for an element ordinal 3 made; when it is still alive
//    (field kFieldAlive is 1 and its cell still names it) slot 17 gets WM_DESTROY (0, 0); then the
//    engine forgets it; 1 when the handle was one of its elements.
//  5 BindUserData(cell, element handle, key), 6 RestoreUserData(cell, key): see below.
//  7 MakeWndProcThunk(object, target): see the thunk layout below.
//  9 DrawClearTypeText(GDI+ graphics, UTF-16 text, x, y, width, height, GDI+ font, ARGB colour,
//    GDI+ string format or 0): GdipDrawString with a solid brush; 1 when drawn.
// 11 CreateTextHost(Edit element handle, address of the text-host field, address of the
//    text-services field): creates riched20's windowless text services over the engine's host
//    adapter and writes both interface pointers; 1 on success. Every ITextHost method of the
//    adapter calls the element's slot kSlotEditHostFirst + (its index in the interface) with
//    the same arguments (thiscall), reading the object through the handle on each call, so the
//    element's class must fill slots 91-129 before ordinal 11 runs.
// 12 ReleaseTextHost(text host, text services): only the pair ordinal 11 wrote; releases the
//    services, then the adapter; 1.
// 17 ResourceRoutine(routine or kResourceRoutineQuery): see kResourceRoutineQuery below.
// 18 CreateEventTable(bucket count 1..kMaxEventBuckets) -> table handle.
// 19 FreeEventTable(table): HeapFree on the process heap of every entry still stored; 1.
// 20 StoreEvent(table, message, entry): stores the EventEntry block address; the entry it
//    replaces is not freed (the program freed it); entry 0 removes the binding; 1.
// 21 LookupEvent(table, message) -> entry block address, or 0.
// 23 LoadTheme(package data, length, password data, password length) -> theme handle with one
//    reference; the bytes are copied. An empty, truncated or damaged package gives 0.
// 24 ReleaseTheme(theme): one reference less, freed at 0; 1 when the handle was valid.
// 25 AdoptTheme(theme): one reference more; returns the handle.
// 26 SetDefaultTheme(theme): the engine holds one reference on its default and drops the one
//    it held on the previous default; 1.
// 27 ThemeImage(theme, picture id) -> new GDI+ bitmap (32-bit ARGB), the caller's to dispose.
// 28 ThemeText(theme, atom, address of a length variable or 0) -> address of the NUL-ended text
//    of the value named by the atom's text; the length variable gets its byte count. The text
//    belongs to the theme and lives as long as it does.
// 29 ThemeRect(theme, atom, section, key, out 4 int32, out picture id or 0), 30 ThemeRectF (out
//    4 float): 1 when found, writing the rectangle and its picture id (0 without a picture).
//    Section and key are NUL-ended texts; when either is 0 the atom's text (section + "_" + key
//    + kThemeRectSuffix or kThemeRectFSuffix) names the value instead.
//    Theme 0 in 27-30 is the default theme, or the built-in one while no default is set. Any
//    other handle means that theme alone: a key it lacks is not found in any other theme.
// 31 AnimateWindow(host own handle, mode, a1, a3, a4, a5, a6, a2, x, a7, a8): see the host
//    window record below.
// 32 LoadMapData(data pointer of a program byte array: word 1 and the length precede it); 1.
// 34 SetLayoutAttribute(object, name text, value text, flag): with flag 0 and the name
//    kLayoutTextKey (any case) the element object's owned text (field kFieldText) becomes a copy
//    of the value on the process heap (none for an empty value) and the old text is freed there,
//    as the element's text property does; 0 when the object is not an element. Every other
//    attribute is accepted and ignored; 1.
// 35 AddWindowStyle / 36 RemoveWindowStyle(window, bits, extended flag): 1 when the window is
//    valid; SetWindowLongW only runs when the bits change. 37 HasWindowStyle: 1 when every bit
//    is set.
// 38 SetWindowBlur(window, region, alpha): 1 for a window; the region stays the caller's.
// 39 ImageFromFile(HICON, HBITMAP or GBK file name), 40 ImageFromHandle(HICON or HBITMAP) -> new
//    GDI+ image, the caller's to dispose. An icon keeps its alpha channel.
// ---------------------------------------------------------------------------------------------

// Words each export takes (and pops). 0 for an ordinal that is not exported.
constexpr std::uint32_t OrdinalArgumentCount(std::uint32_t ordinal) {
    switch (ordinal) {
        case kOrdInit:
            return kInitValueCount;
        case kOrdRegisterClass:
            return 3;
        case kOrdCreateByName:
            return 2;
        case kOrdDestroyElement:
            return 1;
        case kOrdBindUserData:
            return 3;
        case kOrdRestoreUserData:
            return 2;
        case kOrdMakeWndProcThunk:
            return 2;
        case kOrdDrawClearTypeText:
            return 9;
        case kOrdCreateTextHost:
            return 3;
        case kOrdReleaseTextHost:
            return 2;
        case kOrdResourceRoutine:
            return 1;
        case kOrdCreateEventTable:
            return 1;
        case kOrdFreeEventTable:
            return 1;
        case kOrdStoreEvent:
            return 3;
        case kOrdLookupEvent:
            return 2;
        case kOrdLoadTheme:
            return 4;
        case kOrdReleaseTheme:
            return 1;
        case kOrdAdoptTheme:
            return 1;
        case kOrdSetDefaultTheme:
            return 1;
        case kOrdThemeImage:
            return 2;
        case kOrdThemeText:
            return 3;
        case kOrdThemeRect:
            return 6;
        case kOrdThemeRectF:
            return 6;
        case kOrdAnimateWindow:
            return 11;
        case kOrdLoadMapData:
            return 1;
        case kOrdSetLayoutAttribute:
            return 4;
        case kOrdAddWindowStyle:
            return 3;
        case kOrdRemoveWindowStyle:
            return 3;
        case kOrdHasWindowStyle:
            return 3;
        case kOrdSetWindowBlur:
            return 3;
        case kOrdImageFromFile:
            return 1;
        case kOrdImageFromHandle:
            return 1;
        default:
            return 0;
    }
}

// Element record fields the engine reads or writes (word numbers; the handle is the address of
// field kFieldSelfCell). An element handle is accepted only when its cell holds an object whose
// own field kFieldSelfCell is that cell.
constexpr std::uint32_t kFieldAlive = 1;
constexpr std::uint32_t kFieldText = 20;

// The layout attribute ordinal 34 applies itself.
constexpr char kLayoutTextKey[] = "Text";

// Host window record (word numbers from 0, the method table): ordinal 31 takes the own handle,
// the address of word kHostFieldSelfCell, which holds the object's address. The engine accepts
// it only when that object's word kHostFieldSelfCell is the cell and word kHostFieldWindow is a
// window; it then calls the object's slot kSlotHostPresent (no arguments).
constexpr std::uint32_t kHostFieldWindow = 2;
constexpr std::uint32_t kHostFieldOwnHandle = 4;
constexpr std::uint32_t kHostFieldSelfCell = 13;
// Mode kAnimateShow: kMsgAnimationBegin (0, 0), present, ShowWindow(SW_SHOWNORMAL),
// kMsgAnimationEnd (0, 0). Mode kAnimateClose: both messages with wParam 1, nothing else.
// Result 1 when done.

// Ordinals 5 and 6 with key kUserDataKeyElement: the first argument is the address of a cell
// (a variable of the program) that holds an object address and through which the program makes
// its later calls; it is never the object itself, whose first word is its method table.
// Ordinal 5 (cell, element handle, key) remembers the cell's value (only the first time, until
// ordinal 6) and writes the element's object into the cell; ordinal 6 (cell, key) writes the
// remembered value back. Both give 1 on success, and 0 for any other key.

// Ordinal 7: one VirtualAlloc block per thunk, which the program frees with
// VirtualFree(thunk, 0, MEM_RELEASE). It replaces the first stack argument with the object and
// jumps to the target, so a window procedure thunk calls target(object, message, wParam,
// lParam): the target is a stdcall routine of four words, never a member function.
constexpr std::uint8_t kThunkStoreOpcode[4] = {0xC7, 0x44, 0x24, 0x04};  // mov dword [esp+4], imm32
constexpr std::uint8_t kThunkJumpOpcode = 0xE9;                          // jmp rel32
constexpr std::uint32_t kThunkObjectOffset = 4;
constexpr std::uint32_t kThunkJumpOffset = 8;
constexpr std::uint32_t kThunkSize = 13;

// Theme lookups: the atom names of ordinals 28-30 are section + kThemeKeySeparator + key, with
// these suffixes for the rectangle ordinals. Names compare without regard to ASCII case.
constexpr char kThemeKeySeparator[] = "_";
constexpr char kThemeRectSuffix[] = "_rect";
constexpr char kThemeRectFSuffix[] = "_rectF";
constexpr std::uint32_t kThemeRectWords = 4;
constexpr std::uint32_t kNoPicture = 0;

// Ordinal 17: with kResourceRoutineQuery it returns the engine's lookup routine; with a routine
// address it installs that routine as the provider and returns the previous one (0 removes it).
// Both the lookup routine and a provider are stdcall (name, address of a free flag) -> data
// pointer of a byte block whose 8-byte header (word 1, length) precedes the data, or 0. When
// the flag was set non-zero, the caller frees the block (data - 8) with HeapFree on the process
// heap. Without a provider the lookup finds nothing.
constexpr std::uint32_t kResourceRoutineQuery = 0xFFFFFFFFu;

constexpr std::uint32_t kDefaultEventBuckets = 12;
constexpr std::uint32_t kMaxEventBuckets = 65536;

}  // namespace engine_abi
