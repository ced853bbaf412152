// The names the editor's data files are known by: folders beside the program, file names, the
// sections and keys of the settings file and of the language files, and the defaults.
//
// Every text here is the stored files' own and is spelled exactly as users' files have it.
// The misspellings ("Appliction", "GirdLine", "FaileToSave") are deliberate: correcting them
// would make the editor miss every setting and caption already on disk.
#pragma once

#include <cstdint>

namespace settings {

// Folders beside the program, each with the separators it is joined with.
inline constexpr const char kConfigFolder[] = "\\config\\";
inline constexpr const char kLanguageFolder[] = "\\language\\";
inline constexpr const char kResourceFolder[] = "\\resources\\";

inline constexpr const char kSettingsFileName[] = "Appliction.ini";
inline constexpr const char kLanguageFileExtension[] = ".ini";
inline constexpr const char kPaletteFileName[] = "PaletteOfNes.txt";
inline constexpr const char kIntroductionPictureName[] = "introduction.png";
inline constexpr const char kLogoPictureName[] = "Tevik.png";
inline constexpr const char kOpenedLogoPictureName[] = "Opened.png";

// The three sections typed values live in.
inline constexpr const char kSectionString[] = "String";
inline constexpr const char kSectionInteger[] = "Integer";
inline constexpr const char kSectionBoolean[] = "Boolean";

// Every string value is followed by this tag on disk; the scan in ReadString stops at it.
inline constexpr const char kStringEndTag[] = "-\\TEVIK.CONFIG.STRING.END.TAG\\-";

inline constexpr const char kTrueText[] = "true";
inline constexpr const char kFalseText[] = "false";

// Settings keys with their defaults. The colours are GDI+ ARGB values stored as signed decimal
// text: 0xFFFFA8FF is stored as -22273.
inline constexpr const char kKeyGridColour[] = "UI.Mapping.Color.GirdLine";
inline constexpr const char kKeySectionColour[] = "UI.Mapping.Color.SectionLine";
inline constexpr const char kKeySeparation[] = "UI.Mapping.Separation";
inline constexpr const char kKeyLanguage[] = "Location.Language";

inline constexpr std::int32_t kDefaultGridColour = static_cast<std::int32_t>(0xFFFFA8FFu);
inline constexpr std::int32_t kDefaultSectionColour = static_cast<std::int32_t>(0xFF0088FFu);
inline constexpr std::int32_t kDefaultSeparation = 5;
inline constexpr const char kDefaultLanguage[] = "Chinese";

// The language keys, in the order the editor reads them at start-up.
enum LanguageText : int {
    kTextAppName,
    kTextAppEdition,
    kTextAppVersion,
    kTextCaptionPalette,
    kTextCaptionOpen,
    kTextCaptionSave,
    kTextCaptionAlternateGraphics,
    kTextCaptionNotOpened,
    kTextCaptionEditMode,
    kTextCaptionLockMapping,
    kTextMessageIncorrectProjectFile,
    kTextMessageSaveSuccessfully,
    kTextMessageFailedToSave,
    kTextUnitBytes,
    kTextWordHorizontal,
    kTextWordVertical,
    kTextWordIndoor,
    kTextWordOutdoor,
    kTextWordBossRoom,
    // The editor's own texts after the nineteen above: why a save was refused, a placement
    // that leaves a screen over its room, and why a file was not opened. "{name}" marks where a
    // value goes.
    kTextSaveNothingOpen,
    kTextSaveWrongExtension,
    kTextSaveScreenTooLong,
    kTextSaveSharedBytes,
    kTextSaveCellsNotStorable,
    kTextSaveNotFromImage,
    kTextSaveReadOnly,
    kTextSaveNoFolder,
    kTextSaveDiskFull,
    kTextSaveCannotWrite,
    kTextInfoScreenOverRoom,
    kTextOpenCannotRead,
    kTextOpenLevelUnreadable,
    kTextOpenScreenUnreadable,
    kTextOpenTooManyObjects,
    kLanguageTextCount
};

inline constexpr const char* const kLanguageKeys[kLanguageTextCount] = {
    "Appliction.Name",
    "Appliction.Edition",
    "Appliction.Version",
    "UI.Caption.Palette",
    "UI.Caption.Open",
    "UI.Caption.Save",
    "UI.Caption.AlternateGraphics",
    "UI.Caption.NotOpened",
    "UI.Caption.EditMode",
    "UI.Caption.LockMapping",
    "UI.Message.IncorrectProjectFile",
    "UI.Message.SaveNESSuccessfully",
    "UI.Message.FaileToSave",
    "System.Unit.Bytes",
    "Brakka.Words.Horizontal",
    "Brakka.Words.Vertical",
    "Brakka.Words.Indoor",
    "Brakka.Words.Outdoor",
    "Brakka.Words.BossRoom",
    "Vennmark.Save.NothingOpen",
    "Vennmark.Save.WrongExtension",
    "Vennmark.Save.ScreenTooLong",
    "Vennmark.Save.SharedBytes",
    "Vennmark.Save.CellsNotStorable",
    "Vennmark.Save.NotFromImage",
    "Vennmark.Save.ReadOnly",
    "Vennmark.Save.NoFolder",
    "Vennmark.Save.DiskFull",
    "Vennmark.Save.CannotWrite",
    "Vennmark.Info.ScreenOverRoom",
    "Vennmark.Open.CannotRead",
    "Vennmark.Open.LevelUnreadable",
    "Vennmark.Open.ScreenUnreadable",
    "Vennmark.Open.TooManyObjects",
};

// The text a key has when the language file lacks it: empty for the nineteen texts every
// language file holds, built-in English for the editor's own texts, so that a language file
// made before them still explains a refused save.
inline constexpr const char* const kLanguageDefaults[kLanguageTextCount] = {
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "No cartridge image is open.",
    "A cartridge image is saved only to a file whose name ends in .nes.",
    "Level {level}, screen {screen} needs {needed} bytes, but it has room for {room}.",
    "Level {level}, screen {screen} shares its stored bytes with other data of the image.",
    "Level {level}, screen {screen} holds super-tiles that cannot be stored.",
    "The levels were not read from this cartridge image; open it again.",
    "The file is read-only.",
    "The folder does not exist.",
    "The disk is full.",
    "The file cannot be written.",
    "Level {level}, screen {screen}: {over} bytes over its room",
    "The file cannot be read. It may be missing, or in use by another program.",
    "Level {level} cannot be read: its header, object table or object lists lie outside the "
    "image or the level bank, or do not end.",
    "Level {level}, screen {screen} cannot be read: its data lies outside the image or the "
    "level bank, or does not end.",
    "Level {level}: the object lists of the image hold more than {limit} objects together, more "
    "than the editor reads.",
};

}  // namespace settings
