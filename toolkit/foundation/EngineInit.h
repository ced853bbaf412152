// Engine start-up: InitUiEngine binds the loaded engine library, hands it the built-in theme and
// the seven routines it calls back, registers the control classes, installs the default theme
// and applies the optional font, text-hint, routine and cursor settings.
//
// It runs once after InitToolkit and before any window is made; a second call replaces the
// default theme. Nothing here stops start-up: a failed engine call yields 0 and the next step
// runs.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/CheckedMemory.h"
#include "foundation/ControlClasses.h"

namespace toolkit {

struct UiEngineOptions {
    // Font settings: when any is given the others come from the current default font.
    std::optional<std::string> fontName;  // GBK
    std::optional<int> fontSize;
    std::optional<int> fontStyle;
    std::optional<int> textRenderingHint;
    // Installed as the engine's resource routine (ordinal 17).
    std::optional<std::uint32_t> resourceRoutine;
    // Cursor file bytes for the normal cursor and the second cursor.
    std::optional<ByteArray> cursor;
    std::optional<ByteArray> secondCursor;
};

void InitUiEngine(std::uintptr_t module, bool imageFlag, const ByteArray& themePackage,
                  const ByteArray& themePassword, const ByteArray& mapData,
                  const UiEngineOptions& options = {});

// Registers one class under its upper-cased name; true when the engine took it.
bool RegisterControlClass(std::string_view name, std::uint32_t typeId, std::uint32_t prototype);
// Registers every class of the table that exists (has a factory), in table order, then releases
// the prototypes. Returns how many were handed to the engine.
std::size_t RegisterControlClasses(const ControlClassEntry* entries, std::size_t count);
std::size_t RegisterControlClasses();

// The atom of text in the process's local atom table, added when missing. 0 when it cannot be
// added; the failure is written to the debugger output as "AtomError:" + text + " " + error.
ATOM GetOrAddAtom(std::string_view text);

// The routines the engine calls back (ordinal 1 receives their addresses). Texts arrive as
// addresses of NUL-ended GBK characters; a null text is the empty text.
std::uint32_t __stdcall OnEngineRegisterClass(std::uint32_t name, std::uint32_t typeId,
                                              std::uint32_t prototype);
std::uint32_t __stdcall OnEngineLoadImage(std::uint32_t imageData, std::uint32_t importResolver,
                                          std::uint32_t userValue);
std::uint32_t __stdcall OnEngineFreeImage(std::uint32_t module);
// The module and the ordinal or name address together form the one 64-bit pair the engine
// passes.
std::uint32_t __stdcall OnEngineGetImageExport(std::uint32_t module, std::uint32_t ordinalOrName);
// An animation request address (or 0), then its fields inline; each double comes as two words,
// low word first.
std::uint32_t __stdcall OnEngineAnimate(std::uint32_t request, std::uint32_t type,
                                        std::uint32_t duration, std::uint32_t interval,
                                        std::uint32_t routine, std::uint32_t object,
                                        std::uint32_t user1, std::uint32_t user2,
                                        std::uint32_t startLow, std::uint32_t startHigh,
                                        std::uint32_t endLow, std::uint32_t endHigh);
std::uint32_t __stdcall OnEngineGetAtom(std::uint32_t text);
std::uint32_t __stdcall OnEngineDebugOutput(std::uint32_t text);

// The edit box's context menu, built by the popup menu's add-item operation at engine start-up.
// The texts are the system's own. Commands are the virtual-key codes of X, C, V and A; the
// state of "复制(&C)" is 16 as the menu always had it.
struct EditMenuItem {
    const char* text;  // null for the separator
    std::uint32_t state;
    std::uint32_t kind;  // 1 item, 2 separator
    std::uint32_t sendCommand;
    std::uint32_t command;
};
constexpr std::uint32_t kMenuItemKindItem = 1;
constexpr std::uint32_t kMenuItemKindSeparator = 2;
constexpr std::size_t kEditMenuItemCount = 5;
constexpr EditMenuItem kEditMenuItems[kEditMenuItemCount] = {
    {"剪切(&T)", 0, kMenuItemKindItem, 1, 'X'},     {"复制(&C)", 16, kMenuItemKindItem, 1, 'C'},
    {"粘贴(&P)", 0, kMenuItemKindItem, 1, 'V'},     {nullptr, 0, kMenuItemKindSeparator, 0, 0},
    {"全部选择(&A)", 0, kMenuItemKindItem, 1, 'A'},
};

// The popup-menu code installs the routine that builds the edit box's menu from these items
// into its global menu (emptying it first, since a second start-up builds it again); the last
// step of InitUiEngine calls it. Until one is installed the step does nothing.
using EditMenuBuilder = void (*)(const EditMenuItem* items, std::size_t count);
void SetEditMenuBuilder(EditMenuBuilder builder);

}  // namespace toolkit
