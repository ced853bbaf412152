#include "app/MainWindow.h"

#include <exception>
#include <utility>
#include <vector>

#include "app/AppTexts.h"
#include "app/Commands.h"
#include "app/Editor.h"
#include "app/EditorTexts.h"
#include "app/MainWindowLayout.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"
#include "fileio/FileBytes.h"
#include "view/MapEditing.h"

namespace {

using app::ControlPlace;
using controls::SRect_Ex;
using controls::SRectKind;
using settings::LanguageText;

// The engine's show and close animation: the first value 1, the others absent.
constexpr toolkit::AnimationValues kEngineAnimation = {1, 0, 0, 0, 0, 0, 0, 0};

toolkit::ByteArray ReadBytes(const char* path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return toolkit::ByteArray(bytes.begin(), bytes.end());
}

std::wstring Wide(const std::string& text) {
    return toolkit::ToWideString(text);
}

void CreateSRect(SRect_Ex& rect, std::uint32_t parent, const ControlPlace& place, SRectKind kind,
                 std::vector<std::wstring> items,
                 controls::SRectCaptionFit captionFit = controls::kSRectCaptionCut) {
    controls::SRectCreateOptions options;
    options.kind = kind;
    options.items = std::move(items);
    options.captionFit = captionFit;
    rect.CreateSRect(parent, place.x, place.y, place.width, place.height, options);
}

void CreateImageBox(toolkit::ImageBox& box, std::uint32_t parent, const ControlPlace& place,
                    const toolkit::ByteArray& picture) {
    toolkit::ImageBoxCreateOptions options;
    options.frameStyle = static_cast<std::int32_t>(toolkit::RgbToArgb(app::kImageBoxFrameRgb));
    box.CreateImageBox(parent, place.x, place.y, place.width, place.height, picture, false, 0,
                       options);
}

void BindCommand(SRect_Ex& rect) {
    rect.SRectClickRoutine(toolkit::AddressOf(&CommandCallback), true);
}

void SetItemText(SRect_Ex& rect, std::int32_t item, const std::string& text) {
    rect.SRectSetItemText(item, Wide(text));
}

}  // namespace

bool MainWindow::Create(Editor& editor) {
    m_editor = &editor;
    toolkit::ToolkitWindowOptions placement;
    placement.title = app::kWindowTitle;
    placement.width = app::kMainWindowWidth;
    placement.height = app::kMainWindowHeight;
    m_window = toolkit::CreateToolkitWindow(placement);
    if (m_window == nullptr) {
        return false;
    }
    toolkit::HostAttachOptions attach;
    attach.themePackage = ReadBytes(app::kMainWindowThemeFile);
    attach.backgroundColour = app::kMainWindowBackground;
    attach.captionFlags = app::kMainWindowCaptionFlags;
    attach.layeredAlpha = app::kMainWindowAlpha;
    EditorMainWindow.AttachWindow(m_window, attach);
    CreateControls(editor);
    return true;
}

void MainWindow::CreateControls(Editor& editor) {
    const auto parent = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_window));
    const auto text = [&](LanguageText key) { return Wide(editor.Text(key)); };

    CreateImageBox(LogoBox, parent, app::kLogoBoxPlace, editor.logoBytes);
    LogoBox.BindClick(toolkit::AddressOf(&ImageClickCallback), 0);

    // The label shows the open cartridge's path, far wider than the label: its file name stays.
    CreateSRect(NameLabel, parent, app::kNameLabelPlace, controls::kSRectText,
                {text(settings::kTextAppName)}, controls::kSRectCaptionPath);
    CreateSRect(EditionLabel, parent, app::kEditionLabelPlace, controls::kSRectText,
                {text(settings::kTextAppEdition)});
    CreateSRect(VersionLabel, parent, app::kVersionLabelPlace, controls::kSRectText,
                {text(settings::kTextAppVersion)});

    CreateSRect(FileCommands, parent, app::kFileCommandsPlace, controls::kSRectButton, {});
    openIndex = FileCommands.SRectAddItem(text(settings::kTextCaptionOpen));
    saveIndex = FileCommands.SRectAddItem(text(settings::kTextCaptionSave));
    BindCommand(FileCommands);

    CreateSRect(PaletteButton, parent, app::kPaletteButtonPlace, controls::kSRectButton,
                {text(settings::kTextCaptionPalette)});
    BindCommand(PaletteButton);
    CreateSRect(AlternateGraphicsCheck, parent, app::kAlternateGraphicsCheckPlace,
                controls::kSRectChecks, {text(settings::kTextCaptionAlternateGraphics)});
    BindCommand(AlternateGraphicsCheck);

    const ControlPlace& map = app::kMapViewPlace;
    MapView.CreateImageViewer(parent, map.x, map.y, map.width, map.height,
                              editor.introduction.get(), 0, 0);
    MapView.BindClick(toolkit::AddressOf(&ImageClickCallback), 0);
    MapView.BindMouseMove(toolkit::AddressOf(&MapMouseMoveCallback), 0);

    CreateSRect(LevelList, parent, app::kLevelListPlace, controls::kSRectList, {});
    BindCommand(LevelList);
    LevelList.SRectAddItem(text(settings::kTextCaptionNotOpened));
    CreateSRect(OrientationList, parent, app::kOrientationListPlace, controls::kSRectList,
                {text(settings::kTextWordHorizontal), text(settings::kTextWordVertical)});
    CreateSRect(LevelKindList, parent, app::kLevelKindListPlace, controls::kSRectList,
                {text(settings::kTextWordOutdoor), text(settings::kTextWordIndoor),
                 text(settings::kTextWordBossRoom)});

    const ControlPlace& picker = app::kTilePickerPlace;
    TilePicker.CreateImageViewer(parent, picker.x, picker.y, picker.width, picker.height,
                                 editor.introduction.get(), 0, 0);
    // The picker's cells are faint on purpose; every point of them must take a click.
    TilePicker.ElementAlphaHitTest(false);
    TilePicker.BindClick(toolkit::AddressOf(&ImageClickCallback), 0);

    CreateImageBox(TilePreview, parent, app::kTilePreviewPlace, {});

    CreateSRect(EditModeCheck, parent, app::kEditModeCheckPlace, controls::kSRectChecks,
                {text(settings::kTextCaptionEditMode)});
    BindCommand(EditModeCheck);
    CreateSRect(LockMappingCheck, parent, app::kLockMappingCheckPlace, controls::kSRectChecks,
                {text(settings::kTextCaptionLockMapping)});
    BindCommand(LockMappingCheck);

    CreateSRect(InfoLabel, parent, app::kInfoLabelPlace, controls::kSRectText,
                {Wide(InfoCaption(editor))});
    CreateSRect(StatusLabel, parent, app::kStatusLabelPlace, controls::kSRectText,
                {Wide(kStatusSectionCaption), Wide(kStatusXCaption), Wide(kStatusYCaption)});
}

void MainWindow::Show() {
    EditorMainWindow.ShowHostWindow(kEngineAnimation);
    EditorMainWindow.SetCloseAnimation(kEngineAnimation);
}

void MainWindow::FreeObjects() {
    for (toolkit::Element* element : std::initializer_list<toolkit::Element*>{
             &LogoBox, &NameLabel, &EditionLabel, &VersionLabel, &FileCommands, &PaletteButton,
             &AlternateGraphicsCheck, &MapView, &LevelList, &OrientationList, &LevelKindList,
             &TilePicker, &TilePreview, &EditModeCheck, &LockMappingCheck, &InfoLabel,
             &StatusLabel}) {
        element->FreeMembers();
    }
    EditorMainWindow.FreeMembers();
}

void MainWindow::SetMapPicture(Gdiplus::GpImage* picture) {
    MapView.SetViewerPicture(picture);
}

void MainWindow::SetPickerPicture(Gdiplus::GpImage* picture) {
    TilePicker.SetViewerPicture(picture);
}

void MainWindow::MapPictureChanged(const toolkit::PixelRect& area) {
    MapView.RepaintPictureArea(area.left, area.top, area.Width(), area.Height());
}

void MainWindow::SetTilePreview(const toolkit::ByteArray& png) {
    TilePreview.ImageBoxImage(png);
}

void MainWindow::SelectLevelItems(std::int32_t levelItem, std::int32_t orientationItem,
                                  std::int32_t kindItem) {
    LevelList.SRectSetSelected(levelItem, true);
    OrientationList.SRectSetSelected(orientationItem, true);
    LevelKindList.SRectSetSelected(kindItem, true);
}

void MainWindow::SetStatusSection(const std::string& text) {
    SetItemText(StatusLabel, 0, text);
}

void MainWindow::SetStatusColumn(const std::string& text) {
    SetItemText(StatusLabel, 1, text);
}

void MainWindow::SetStatusRow(const std::string& text) {
    SetItemText(StatusLabel, 2, text);
}

ViewerOffset MainWindow::MapViewOffset() {
    return {MapView.ViewerOffsetX(), MapView.ViewerOffsetY()};
}

ViewerOffset MainWindow::TilePickerOffset() {
    return {TilePicker.ViewerOffsetX(), TilePicker.ViewerOffsetY()};
}

bool MainWindow::EditModeOn() {
    return EditModeCheck.SRectIsSelected(0);
}

void MainWindow::ShowRoomOverrun(const RoomOverrun& overrun) {
    if (m_editor != nullptr) {
        SetItemText(InfoLabel, 0, RoomOverrunText(*m_editor, overrun));
    }
}

int MainWindow::ClickTilePicker(MapViewState& view, std::int32_t x, std::int32_t y) {
    return OnImageClick(view, *this, TheEditor().OpenLevels(), ImageTarget::TilePicker, x, y, 0);
}

namespace {

// The routines run inside the host window's procedure, which no exception may cross: one that
// failed part way has done what it could and reports that it handled nothing. (Running out of
// memory throws nothing here: it ends the program with the system's box, toolkit/FatalError.h.)
template <typename Routine>
std::uint32_t Guarded(Routine routine) {
    try {
        return static_cast<std::uint32_t>(routine());
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

std::uint32_t __stdcall CommandCallback(toolkit::ElementHandle element, std::int32_t item) {
    return Guarded([&] { return OnCommand(TheEditor(), element, item); });
}

std::uint32_t __stdcall ImageClickCallback(toolkit::ElementHandle element, std::int32_t x,
                                           std::int32_t y, std::uint32_t keys) {
    return Guarded([&] {
        Editor& editor = TheEditor();
        MainWindow& window = *editor.window;
        ImageTarget target = ImageTarget::LogoBox;
        if (element == window.MapView.m_handle) {
            target = ImageTarget::MapView;
        } else if (element == window.TilePicker.m_handle) {
            target = ImageTarget::TilePicker;
        }
        return OnImageClick(editor.view, window, editor.OpenLevels(), target, x, y, keys);
    });
}

std::uint32_t __stdcall MapMouseMoveCallback(toolkit::ElementHandle element, std::int32_t x,
                                             std::int32_t y, std::uint32_t keys) {
    return Guarded([&] {
        Editor& editor = TheEditor();
        return OnMapMouseMove(editor.view, *editor.window, editor.OpenLevels(), x, y, keys);
    });
}
