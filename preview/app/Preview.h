// The preview program's state: every object it keeps from start-up to exit (the window object,
// its controls and menu, the cartridge and the stage on screen). The program entry makes it
// (InitPreviewGlobals) before the toolkit starts; the teardown registered there frees it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/CheckButton.h"
#include "controls/ComboBox.h"
#include "controls/Link.h"
#include "core/HostWindow.h"
#include "core/PopupMenu.h"
#include "foundation/GdiPlusHandles.h"
#include "mapex/MapEx.h"
#include "stage/PreviewStage.h"

// Shows a message on the owner window and gives the button that closed it.
using PreviewMessageRoutine = std::int32_t (*)(HWND owner, const std::string& text,
                                               std::int32_t kind, std::int32_t icon);

struct Preview {
    std::string PreviewRomPath;
    preview::PreviewCartridge cartridge;
    // The stage on screen as it was read: the write-back compares the map's cells with these.
    preview::PreviewStage stage;
    std::int32_t currentStage = 1;
    bool changed = false;
    std::int32_t brush = -1;  // no picture picked yet
    bool about = false;
    toolkit::GpImagePtr aboutPicture;  // made at the first paint of the about view
    std::string dialogFolder;          // where the next file dialog starts
    // The toolkit's message box unless a test puts its own routine here.
    PreviewMessageRoutine showMessage = nullptr;

    HMODULE engineModule = nullptr;
    HWND window = nullptr;
    toolkit::HostWindow PreviewWindow;
    preview::Map_Ex PreviewMapView;
    toolkit::ComboBox StageList;
    toolkit::CheckButton VerticalMapCheck;
    toolkit::Link SaveMapLink;
    preview::Map_Ex EnemyStrip;
    preview::Map_Ex TileStrip;
    toolkit::PopupMenu PreviewMenu;
};

// The one preview state of the program; InitPreviewGlobals must have run.
Preview& ThePreview();
void InitPreviewGlobals();

// Start-up, message loop and shut-down; the program's exit code.
int PreviewStartUp();
// Creates the window's six controls on the main window and binds their routines.
void PreviewCreateControls();
// The cartridge path the command line gives, or the default; false when a path was given that
// names no existing file (the program then ends at once).
bool PreviewPathFromCommandLine(const wchar_t* commandLine, std::string& path);

// Stage reading and write-back (PreviewStageView.cpp).
void PreviewLoadRom(const std::string& path);
void PreviewSelectStage(toolkit::ElementHandle element, std::int32_t index);
void PreviewShowStage(std::int32_t stage);
// Writes the map's changed screens into the cartridge bytes; afterwards the map shows every
// screen of the stage as now stored, also those that share the bytes of a written one. False
// when nothing could be committed (no valid cartridge) or a screen was refused: the user was
// told, and the map shows the stage as stored again.
bool PreviewCommitStage();
std::string PreviewMapPicturePath(const std::string& name);
std::string PreviewEnemyPicturePath(const std::string& name);
void PreviewBindMenuButton();
void PreviewOnClick(toolkit::ElementHandle element);

// Menu commands, picking and the about view (PreviewCommands.cpp, PreviewAbout.cpp).
void PreviewOnPick(toolkit::ElementHandle element, std::int32_t x, std::int32_t y);
void PreviewShowMenu();
std::int32_t PreviewOpenRomCommand();
bool PreviewSaveRomCommand();
// Writes the cartridge bytes to path and reports the outcome, with the reason of a failure.
bool PreviewWriteRom(const std::string& path);
void PreviewRefreshCommand();
std::int32_t PreviewSaveMapPicture();
void PreviewAboutCommand();
void __stdcall PreviewPaintAboutView(HWND window, Gdiplus::GpGraphics* graphics, std::int32_t width,
                                     std::int32_t height);
// The element after start among the children of parent (or of the window's host record when
// parent is 0); with a class type id, the next one of that class. 0 after the last.
toolkit::ElementHandle NextSiblingElement(HWND window, toolkit::ElementHandle parent,
                                          toolkit::ElementHandle start, std::int32_t classTypeId);
// Shows a message on the main window and waits for it to be closed.
std::int32_t PreviewMessage(const std::string& text, std::int32_t kind, std::int32_t icon);

// The routines bound to the controls: thin forwarders.
std::uint32_t __stdcall PreviewPickCallback(toolkit::ElementHandle element, std::int32_t x,
                                            std::int32_t y);
std::uint32_t __stdcall PreviewStageCallback(toolkit::ElementHandle element, std::int32_t index);
std::uint32_t __stdcall PreviewClickCallback(toolkit::ElementHandle element, std::uint32_t x,
                                             std::uint32_t y, std::uint32_t keys);
std::uint32_t __stdcall PreviewRightUpCallback(toolkit::ElementHandle element, std::uint32_t x,
                                               std::uint32_t y, std::uint32_t keys);
std::uint32_t __stdcall PreviewMenuCallback(std::uint32_t item);
