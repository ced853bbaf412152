// The engine's operations, one per exported ordinal, grouped by area. Exports.cpp turns each
// into its stdcall export and keeps exceptions inside; everything here takes and returns 32-bit
// words exactly as the program passes them (see foundation/EngineAbi.h for the contract).
#pragma once

#include <cstdint>

namespace engine {

using Word32 = std::uint32_t;

// Start-up and program callbacks (Engine.cpp).
Word32 Init(const Word32* values);
Word32 InitValue(Word32 position);
Word32 ResourceRoutine(Word32 routine);
Word32 LoadMapData(Word32 data);
Word32 SetLayoutAttribute(Word32 object, Word32 name, Word32 value, Word32 flag);

// Control classes and elements (Elements.cpp).
Word32 RegisterControlClass(Word32 prototype, Word32 name, Word32 typeId);
Word32 CreateByName(Word32 name, Word32 typeIdVariable);
Word32 DestroyElement(Word32 handle);
Word32 BindUserData(Word32 cell, Word32 handle, Word32 key);
Word32 RestoreUserData(Word32 cell, Word32 key);

// Event tables (EventTables.cpp).
Word32 CreateEventTable(Word32 buckets);
Word32 FreeEventTable(Word32 table);
Word32 StoreEvent(Word32 table, Word32 message, Word32 entry);
Word32 LookupEvent(Word32 table, Word32 message);

// Themes (Themes.cpp).
Word32 LoadBuiltInTheme(Word32 data);
Word32 LoadTheme(Word32 data, Word32 length, Word32 password, Word32 passwordLength);
Word32 ReleaseTheme(Word32 theme);
Word32 AdoptTheme(Word32 theme);
Word32 SetDefaultTheme(Word32 theme);
Word32 ThemeImage(Word32 theme, Word32 pictureId);
Word32 ThemeText(Word32 theme, Word32 atom, Word32 lengthVariable);
Word32 ThemeRect(Word32 theme, Word32 atom, Word32 section, Word32 key, Word32 rect,
                 Word32 pictureId, bool floats);

// Windows, thunks and styles (Windows.cpp).
Word32 MakeWndProcThunk(Word32 object, Word32 target);
Word32 AnimateHostWindow(Word32 ownHandle, Word32 mode);
Word32 ChangeWindowStyle(Word32 window, Word32 bits, Word32 extended, bool add);
Word32 HasWindowStyle(Word32 window, Word32 bits, Word32 extended);
Word32 SetWindowBlur(Word32 window, Word32 region, Word32 alpha);

// GDI+ images and text (Images.cpp).
Word32 DrawClearTypeText(Word32 graphics, Word32 text, Word32 x, Word32 y, Word32 width,
                         Word32 height, Word32 font, Word32 colour, Word32 format);
Word32 ImageFromPng(const std::uint8_t* data, std::uint32_t size);
Word32 ImageFromFile(Word32 source);
Word32 ImageFromHandle(Word32 source);

// Windowless rich edit (TextHost.cpp).
Word32 CreateTextHost(Word32 element, Word32 hostField, Word32 servicesField);
Word32 ReleaseTextHost(Word32 host, Word32 services);

}  // namespace engine
