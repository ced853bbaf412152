// The exported entry points: stdcall, one 32-bit word per argument, exported by ordinal only
// (exdui.def). Each only forwards to the engine's operation and keeps every exception inside:
// nothing may unwind into the program, which calls these through raw addresses.
#include "Engine.h"

#include "foundation/EngineAbi.h"

#include <exception>

using engine::Word32;

namespace {

template <typename Operation>
Word32 Guarded(Operation operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

Word32 __stdcall ExInit(Word32 v0, Word32 v1, Word32 v2, Word32 v3, Word32 v4, Word32 v5, Word32 v6,
                        Word32 v7, Word32 v8, Word32 v9, Word32 v10, Word32 v11) {
    const Word32 values[engine_abi::kInitValueCount] = {v0, v1, v2, v3, v4,  v5,
                                                        v6, v7, v8, v9, v10, v11};
    return Guarded([&] { return engine::Init(values); });
}

Word32 __stdcall ExRegisterClass(Word32 prototype, Word32 name, Word32 typeId) {
    return Guarded([&] { return engine::RegisterControlClass(prototype, name, typeId); });
}

Word32 __stdcall ExCreateByName(Word32 name, Word32 typeIdVariable) {
    return Guarded([&] { return engine::CreateByName(name, typeIdVariable); });
}

Word32 __stdcall ExDestroyElement(Word32 handle) {
    return Guarded([&] { return engine::DestroyElement(handle); });
}

Word32 __stdcall ExBindUserData(Word32 cell, Word32 handle, Word32 key) {
    return Guarded([&] { return engine::BindUserData(cell, handle, key); });
}

Word32 __stdcall ExRestoreUserData(Word32 cell, Word32 key) {
    return Guarded([&] { return engine::RestoreUserData(cell, key); });
}

Word32 __stdcall ExMakeWndProcThunk(Word32 object, Word32 target) {
    return Guarded([&] { return engine::MakeWndProcThunk(object, target); });
}

Word32 __stdcall ExDrawClearTypeText(Word32 graphics, Word32 text, Word32 x, Word32 y, Word32 width,
                                     Word32 height, Word32 font, Word32 colour, Word32 format) {
    return Guarded([&] {
        return engine::DrawClearTypeText(graphics, text, x, y, width, height, font, colour, format);
    });
}

Word32 __stdcall ExCreateTextHost(Word32 element, Word32 hostField, Word32 servicesField) {
    return Guarded([&] { return engine::CreateTextHost(element, hostField, servicesField); });
}

Word32 __stdcall ExReleaseTextHost(Word32 host, Word32 services) {
    return Guarded([&] { return engine::ReleaseTextHost(host, services); });
}

Word32 __stdcall ExResourceRoutine(Word32 routine) {
    return Guarded([&] { return engine::ResourceRoutine(routine); });
}

Word32 __stdcall ExCreateEventTable(Word32 buckets) {
    return Guarded([&] { return engine::CreateEventTable(buckets); });
}

Word32 __stdcall ExFreeEventTable(Word32 table) {
    return Guarded([&] { return engine::FreeEventTable(table); });
}

Word32 __stdcall ExStoreEvent(Word32 table, Word32 message, Word32 entry) {
    return Guarded([&] { return engine::StoreEvent(table, message, entry); });
}

Word32 __stdcall ExLookupEvent(Word32 table, Word32 message) {
    return Guarded([&] { return engine::LookupEvent(table, message); });
}

Word32 __stdcall ExLoadTheme(Word32 data, Word32 length, Word32 password, Word32 passwordLength) {
    return Guarded([&] { return engine::LoadTheme(data, length, password, passwordLength); });
}

Word32 __stdcall ExReleaseTheme(Word32 theme) {
    return Guarded([&] { return engine::ReleaseTheme(theme); });
}

Word32 __stdcall ExAdoptTheme(Word32 theme) {
    return Guarded([&] { return engine::AdoptTheme(theme); });
}

Word32 __stdcall ExSetDefaultTheme(Word32 theme) {
    return Guarded([&] { return engine::SetDefaultTheme(theme); });
}

Word32 __stdcall ExThemeImage(Word32 theme, Word32 pictureId) {
    return Guarded([&] { return engine::ThemeImage(theme, pictureId); });
}

Word32 __stdcall ExThemeText(Word32 theme, Word32 atom, Word32 lengthVariable) {
    return Guarded([&] { return engine::ThemeText(theme, atom, lengthVariable); });
}

Word32 __stdcall ExThemeRect(Word32 theme, Word32 atom, Word32 section, Word32 key, Word32 rect,
                             Word32 pictureId) {
    return Guarded(
        [&] { return engine::ThemeRect(theme, atom, section, key, rect, pictureId, false); });
}

Word32 __stdcall ExThemeRectF(Word32 theme, Word32 atom, Word32 section, Word32 key, Word32 rect,
                              Word32 pictureId) {
    return Guarded(
        [&] { return engine::ThemeRect(theme, atom, section, key, rect, pictureId, true); });
}

// The nine animation words shape an animated effect; showing and closing are immediate here.
Word32 __stdcall ExAnimateWindow(Word32 ownHandle, Word32 mode, Word32 a1, Word32 a3, Word32 a4,
                                 Word32 a5, Word32 a6, Word32 a2, Word32 x, Word32 a7, Word32 a8) {
    return Guarded([&] { return engine::AnimateHostWindow(ownHandle, mode); });
}

Word32 __stdcall ExLoadMapData(Word32 data) {
    return Guarded([&] { return engine::LoadMapData(data); });
}

Word32 __stdcall ExSetLayoutAttribute(Word32 object, Word32 name, Word32 value, Word32 flag) {
    return Guarded([&] { return engine::SetLayoutAttribute(object, name, value, flag); });
}

Word32 __stdcall ExAddWindowStyle(Word32 window, Word32 bits, Word32 extended) {
    return Guarded([&] { return engine::ChangeWindowStyle(window, bits, extended, true); });
}

Word32 __stdcall ExRemoveWindowStyle(Word32 window, Word32 bits, Word32 extended) {
    return Guarded([&] { return engine::ChangeWindowStyle(window, bits, extended, false); });
}

Word32 __stdcall ExHasWindowStyle(Word32 window, Word32 bits, Word32 extended) {
    return Guarded([&] { return engine::HasWindowStyle(window, bits, extended); });
}

Word32 __stdcall ExSetWindowBlur(Word32 window, Word32 region, Word32 alpha) {
    return Guarded([&] { return engine::SetWindowBlur(window, region, alpha); });
}

Word32 __stdcall ExImageFromFile(Word32 source) {
    return Guarded([&] { return engine::ImageFromFile(source); });
}

Word32 __stdcall ExImageFromHandle(Word32 source) {
    return Guarded([&] { return engine::ImageFromHandle(source); });
}

}  // extern "C"
