// The preview program's start-up: the cartridge path from the command line, the engine, the one
// fixed window with its six controls and popup menu, the message loop and the engine's release.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <memory>
#include <string>

#include "app/Preview.h"
#include "app/PreviewTexts.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"
#include "fileio/FileBytes.h"

using namespace preview_app;

namespace {

// The engine's show and close animation: the first value 1, the others absent.
constexpr toolkit::AnimationValues kEngineAnimation = {1, 0, 0, 0, 0, 0, 0, 0};

toolkit::ByteArray ReadBytes(const char* path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return toolkit::ByteArray(bytes.begin(), bytes.end());
}

std::uint32_t ParentOf(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

struct LocalFreeDeleter {
    void operator()(LPWSTR* arguments) const { LocalFree(arguments); }
};

// The menu's routines take no argument.
std::uint32_t __stdcall OpenRomItem() {
    return static_cast<std::uint32_t>(PreviewOpenRomCommand());
}
std::uint32_t __stdcall SaveRomItem() {
    return PreviewSaveRomCommand() ? 1 : 0;
}
std::uint32_t __stdcall RefreshItem() {
    PreviewRefreshCommand();
    return 0;
}
std::uint32_t __stdcall SaveMapItem() {
    return static_cast<std::uint32_t>(PreviewSaveMapPicture());
}
std::uint32_t __stdcall AboutItem() {
    PreviewAboutCommand();
    return 0;
}

void CreateMapView(preview::Map_Ex& map, HWND window, const Place& place, int rows, int columns) {
    map.MapExCreate(ParentOf(window), place.x, place.y, place.width, place.height, rows, columns);
    map.MapExSetClickHandler(toolkit::AddressOf(&PreviewPickCallback));
}

}  // namespace

void PreviewCreateControls() {
    Preview& p = ThePreview();
    const std::uint32_t parent = ParentOf(p.window);

    CreateMapView(p.PreviewMapView, p.window, kMapViewPlace, preview::kScreenRows,
                  preview::kScreenColumns);
    p.PreviewMapView.MapExSetDragHandler(toolkit::AddressOf(&PreviewPickCallback));
    p.PreviewMapView.BindRightUp(toolkit::AddressOf(&PreviewRightUpCallback), 0);

    toolkit::ComboBoxCreateOptions stages;
    stages.selectedIndex = 1;
    stages.items.assign(std::begin(kStageTitles), std::end(kStageTitles));
    p.StageList.Create(parent, kStageListPlace.x, kStageListPlace.y, kStageListPlace.width,
                       kStageListPlace.height, "", stages);
    p.StageList.OnSelectionChanged(toolkit::AddressOf(&PreviewStageCallback), 0);

    const Place& check = kVerticalCheckPlace;
    p.VerticalMapCheck.CreateButton(parent, check.x, check.y, check.width, check.height,
                                    kVerticalCheckCaption);
    p.VerticalMapCheck.SetElementTipText(kVerticalCheckTip);
    p.VerticalMapCheck.BindClick(toolkit::AddressOf(&PreviewClickCallback), 0);

    const Place& link = kSaveMapLinkPlace;
    toolkit::LabelCreateOptions linkOptions;
    linkOptions.textColour = toolkit::RgbToArgb(kSaveMapLinkRgb);
    p.SaveMapLink.CreateLabel(parent, link.x, link.y, link.width, link.height, kSaveMapLinkCaption,
                              linkOptions);
    p.SaveMapLink.LinkVisitedColor(toolkit::RgbToArgb(kSaveMapLinkRgb));
    p.SaveMapLink.BindClick(toolkit::AddressOf(&PreviewClickCallback), 0);

    CreateMapView(p.EnemyStrip, p.window, kEnemyStripPlace, kStripRows, preview::kWorkOut);
    p.EnemyStrip.MapExSetFolder(PreviewEnemyPicturePath(""));
    CreateMapView(p.TileStrip, p.window, kTileStripPlace, kStripRows, preview::kWorkOut);
}

namespace {

void AddMenuItems(toolkit::PopupMenu& menu) {
    const auto item = [&](const char* text, std::uint32_t(__stdcall * routine)()) {
        menu.AddPopupMenuItem(text, {}, 0, toolkit::kMenuItemKindItem, false,
                              toolkit::AddressOf(routine));
    };
    const auto separator = [&] {
        menu.AddPopupMenuItem("", {}, 0, toolkit::kMenuItemKindSeparator, false, 0);
    };
    item(kMenuOpenRom, &OpenRomItem);
    item(kMenuSaveRom, &SaveRomItem);
    separator();
    item(kMenuRefresh, &RefreshItem);
    item(kMenuSaveMap, &SaveMapItem);
    separator();
    item(kMenuAbout, &AboutItem);
}

bool CreateMainWindow(Preview& p) {
    toolkit::ToolkitWindowClassOptions windowClass;
    windowClass.className = toolkit::ToWideString(kWindowClass);
    toolkit::RegisterToolkitWindowClass(windowClass);

    toolkit::ToolkitWindowOptions placement;
    placement.className = kWindowClass;
    placement.title = kWindowTitle;
    placement.width = kWindowWidth;
    placement.height = kWindowHeight;
    p.window = toolkit::CreateToolkitWindow(placement);
    if (p.window == nullptr) {
        return false;
    }
    p.PreviewWindow.SetPaintRoutine(toolkit::AddressOf(&PreviewPaintAboutView));
    toolkit::HostAttachOptions attach;
    attach.themePackage = ReadBytes(kWindowThemeFile);
    attach.backgroundColour = kWindowBackground;
    attach.captionFlags = kWindowCaptionFlags;
    attach.layeredAlpha = kWindowAlpha;
    return p.PreviewWindow.AttachWindow(p.window, attach);
}

}  // namespace

bool PreviewPathFromCommandLine(const wchar_t* commandLine, std::string& path) {
    path = kDefaultRomPath;
    int count = 0;
    // CommandLineToArgvW splits at blanks outside double quotes and drops the quotes.
    std::unique_ptr<LPWSTR, LocalFreeDeleter> arguments(CommandLineToArgvW(commandLine, &count));
    if (!arguments || count < 2) {
        return true;
    }
    path = toolkit::FromWideString(arguments.get()[1]);
    return PathFileExistsA(path.c_str()) != FALSE;
}

int PreviewStartUp() {
    Preview& p = ThePreview();
    p.brush = -1;
    if (!PreviewPathFromCommandLine(GetCommandLineW(), p.PreviewRomPath)) {
        return 0;
    }

    p.engineModule = LoadLibraryA(toolkit::kEngineLibraryName);
    toolkit::InitUiEngine(reinterpret_cast<std::uintptr_t>(p.engineModule), false,
                          ReadBytes(kEngineThemeFile), {}, ReadBytes(kEngineMapDataFile));

    if (CreateMainWindow(p)) {
        PreviewCreateControls();
        PreviewLoadRom(p.PreviewRomPath);
        AddMenuItems(p.PreviewMenu);
        PreviewBindMenuButton();
        p.PreviewWindow.ShowHostWindow(kEngineAnimation);
        p.PreviewWindow.SetCloseAnimation(kEngineAnimation);
        toolkit::RunMessageLoop(p.window);
    }

    // Nothing draws the about picture any more; it goes before GDI+ does.
    p.aboutPicture.reset();
    // FreeEngine forgets every cached export with the module, so nothing can call into it.
    toolkit::FreeEngine();
    p.engineModule = nullptr;
    return 0;
}
