// The editor's main window: a host window with seventeen controls, the routines bound to them,
// and the map view's access to them (MapViewHost).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/ImageViewerEx.h"
#include "controls/SRectEx.h"
#include "controls/ImageBox.h"
#include "core/HostWindow.h"
#include "view/MapViewState.h"

struct Editor;

class MainWindow final : public MapViewHost {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Makes the window, attaches the host with the main window's theme and creates the controls
    // with the editor's captions, binding their routines. False when the window cannot be made.
    bool Create(Editor& editor);
    // Shows the window through the engine's animation and sets the closing animation.
    void Show();
    HWND Handle() const { return m_window; }
    // Frees what every object of the window owns (the teardown at exit; the window is gone).
    void FreeObjects();

    // MapViewHost.
    void SetMapPicture(Gdiplus::GpImage* picture) override;
    void SetPickerPicture(Gdiplus::GpImage* picture) override;
    void MapPictureChanged(const toolkit::PixelRect& area) override;
    void SetTilePreview(const toolkit::ByteArray& png) override;
    void SelectLevelItems(std::int32_t levelItem, std::int32_t orientationItem,
                          std::int32_t kindItem) override;
    void SetStatusSection(const std::string& text) override;
    void SetStatusColumn(const std::string& text) override;
    void SetStatusRow(const std::string& text) override;
    ViewerOffset MapViewOffset() override;
    ViewerOffset TilePickerOffset() override;
    bool EditModeOn() override;
    void ShowRoomOverrun(const RoomOverrun& overrun) override;
    int ClickTilePicker(MapViewState& view, std::int32_t x, std::int32_t y) override;

    // The host window and the controls, in creation order.
    toolkit::HostWindow EditorMainWindow;
    toolkit::ImageBox LogoBox;
    controls::SRect_Ex NameLabel;
    controls::SRect_Ex EditionLabel;
    controls::SRect_Ex VersionLabel;
    controls::SRect_Ex FileCommands;
    controls::SRect_Ex PaletteButton;
    controls::SRect_Ex AlternateGraphicsCheck;
    controls::ImageViewer_Ex MapView;
    controls::SRect_Ex LevelList;
    controls::SRect_Ex OrientationList;
    controls::SRect_Ex LevelKindList;
    controls::ImageViewer_Ex TilePicker;
    toolkit::ImageBox TilePreview;
    controls::SRect_Ex EditModeCheck;
    controls::SRect_Ex LockMappingCheck;
    controls::SRect_Ex InfoLabel;
    controls::SRect_Ex StatusLabel;

    // Item indexes of the two file commands.
    std::int32_t openIndex = controls::kNoItem;
    std::int32_t saveIndex = controls::kNoItem;

private:
    void CreateControls(Editor& editor);

    HWND m_window = nullptr;
    const Editor* m_editor = nullptr;  // whose language texts InfoLabel shows
};

// The routines bound to the controls: thin forwarders returning their target's result.
std::uint32_t __stdcall CommandCallback(toolkit::ElementHandle element, std::int32_t item);
std::uint32_t __stdcall ImageClickCallback(toolkit::ElementHandle element, std::int32_t x,
                                           std::int32_t y, std::uint32_t keys);
std::uint32_t __stdcall MapMouseMoveCallback(toolkit::ElementHandle element, std::int32_t x,
                                             std::int32_t y, std::uint32_t keys);
