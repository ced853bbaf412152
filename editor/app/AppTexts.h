// The editor program's own texts and file names: the window and message titles, the file
// signatures it recognises, the file dialogs' filters, and the engine
// data files it reads from the working folder. Every text is the program's own and is shown or
// matched exactly as written here (GBK where it is not ASCII).
#pragma once

namespace app {

inline constexpr char kWindowTitle[] = "Vennmark";
inline constexpr char kMessageTitle[] = "Vennmark";

// A cartridge image starts with "NES"; a project file starts with "Vennmark" and is recognised
// only to be refused.
inline constexpr char kCartridgeSignature[] = "NES";
inline constexpr char kProjectSignature[] = "Vennmark";

// The file dialogs: "|" separates the filter's display names and patterns.
inline constexpr char kOpenFilter[] =
    "NES Rom; Vennmark project(*.nes; *.vmp)|*.nes;*.vmp|All file|*.*";
inline constexpr char kSaveFilter[] =
    "NES Rom(*.nes)|*.nes|Vennmark project(*.vmp)|*.vmp|All file|*.*";
// The dialogs append this to a name typed without an extension. The common dialogs take the
// extension without its point (given ".nes" they would append a second point).
inline constexpr char kDialogDefaultExtension[] = "nes";
// Only a path ending in this is saved, in any case: "A.NES" names a ".nes" file as "a.nes" does.
inline constexpr char kCartridgeExtension[] = ".nes";

// Engine data, read whole from the working folder and handed over unread.
inline constexpr char kEngineThemeFile[] = ".\\ex_directui.ext";
inline constexpr char kEngineMapDataFile[] = ".\\mapdata.xml";
inline constexpr char kMainWindowThemeFile[] = ".\\thunder.ext";

}  // namespace app
