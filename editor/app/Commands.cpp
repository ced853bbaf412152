#include "app/Commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "app/AppTexts.h"
#include "app/EditorTexts.h"
#include "fileio/FileDialog.h"
#include "app/MainWindow.h"
#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/RomLayout.h"
#include "foundation/TextCodec.h"
#include "fileio/FileBytes.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

namespace {

// A message line break, as the message box shows it.
constexpr char kMessageLineBreak[] = "\r\n";

std::wstring Wide(const std::string& text) {
    return toolkit::ToWideString(text);
}

std::string HexNumber(std::int64_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

void ShowMessage(Editor& editor, settings::LanguageText key, MessageIcon icon,
                 const std::string& detail = std::string()) {
    std::string text = editor.Text(key);
    if (!detail.empty()) {
        text += kMessageLineBreak + detail;
    }
    editor.showMessage(editor.window->Handle(), text, icon);
}

void ShowLevelItems(Editor& editor) {
    controls::SRect_Ex& list = editor.window->LevelList;
    list.SRectClear();
    const std::size_t count = editor.cartridge.levels.records.size();
    for (std::size_t place = 1; place <= count; ++place) {
        list.SRectAddItem(Wide(HexNumber(static_cast<std::int64_t>(place))));
    }
}

void ShowNotOpened(Editor& editor) {
    MainWindow& window = *editor.window;
    window.LevelList.SRectClear();
    window.LevelList.SRectAddItem(Wide(editor.Text(settings::kTextCaptionNotOpened)));
    window.MapView.SetViewerPicture(editor.introduction.get());
}

// The logo and the three labels show the open cartridge, or the program's own captions.
void ShowCartridgeLabels(Editor& editor, bool accepted) {
    MainWindow& window = *editor.window;
    const CartridgeState& cartridge = editor.cartridge;
    window.LogoBox.ImageBoxImage(accepted ? editor.openedLogoBytes : editor.logoBytes);
    if (!accepted) {
        window.NameLabel.SRectSetItemText(0, Wide(editor.Text(settings::kTextAppName)));
        window.EditionLabel.SRectSetItemText(0, Wide(editor.Text(settings::kTextAppEdition)));
        window.VersionLabel.SRectSetItemText(0, Wide(editor.Text(settings::kTextAppVersion)));
        return;
    }
    window.NameLabel.SRectSetItemText(0, Wide(editor.currentPath));
    window.EditionLabel.SRectSetItemText(
        0, Wide(std::to_string(cartridge.RomImage.size()) + editor.Text(settings::kTextUnitBytes)));
    std::string version;
    for (std::int32_t value : cartridge.RomLayoutTable) {
        version += HexNumber(value) + ",";
    }
    version += HexNumber(cartridge.ObjectTableAddress);
    window.VersionLabel.SRectSetItemText(0, Wide(version));
}

int OpenCommand(Editor& editor) {
    FileDialogRequest request;
    request.owner = editor.window->Handle();
    request.filter = app::kOpenFilter;
    request.defaultExtension = app::kDialogDefaultExtension;
    request.title = editor.Text(settings::kTextCaptionOpen);
    const std::string path = ShowFileDialog(request, editor.dialogFolder);
    // A cancelled dialog leaves the open cartridge as it is, on screen too.
    if (path.empty()) {
        return 0;
    }
    return OpenCartridge(editor, path) ? 1 : 0;
}

int SaveCommand(Editor& editor) {
    // Nothing is open, so there is nothing a file could be written from: say so at once.
    if (editor.OpenLevels() == nullptr) {
        ShowMessage(editor, settings::kTextMessageFailedToSave, kMessageIconError,
                    editor.Text(settings::kTextSaveNothingOpen));
        return 0;
    }
    FileDialogRequest request;
    request.owner = editor.window->Handle();
    request.filter = app::kSaveFilter;
    request.defaultExtension = app::kDialogDefaultExtension;
    request.title = editor.Text(settings::kTextCaptionSave);
    request.save = true;
    request.overwritePrompt = true;
    return SaveCartridge(editor, ShowFileDialog(request, editor.dialogFolder)) ? 1 : 0;
}

}  // namespace

bool BytesStartWith(const toolkit::ByteArray& bytes, std::string_view text) {
    return bytes.size() >= text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

bool HasCartridgeExtension(const std::string& path) {
    // Windows file names ignore case, so "A.NES" names a ".nes" file as much as "a.nes" does.
    const std::string_view extension = app::kCartridgeExtension;
    return path.size() >= extension.size() &&
           std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

void CloseRom(Editor& editor) {
    ResetMapView(editor.view, *editor.window);
}

void ReleaseViewPictures(MapViewState& view) {
    view.composed.Reset();
    view.composedCurrent = false;
    view.staleAreas.clear();
    view.layers.Reset();
    view.picker.Reset();
    view.pictures.clear();
}

bool OpenCartridge(Editor& editor, const std::string& path) {
    CartridgeState& cartridge = editor.cartridge;
    std::string bytes;
    const bool read = ReadFileBytes(path, bytes);
    editor.currentPath = path;
    cartridge.RomImage.assign(bytes.begin(), bytes.end());
    cartridge.LargeRomLayout = IsLargeRomImage(cartridge.RomImage.size());
    CloseRom(editor);

    CodecResult decoded = CodecResult::Failure(std::string());
    if (!BytesStartWith(cartridge.RomImage, app::kProjectSignature) &&
        BytesStartWith(cartridge.RomImage, app::kCartridgeSignature)) {
        InitRomLayout(cartridge.RomLayoutTable, cartridge.ObjectTableAddress);
        decoded =
            DecodeLevels(cartridge.RomImage, cartridge.LargeRomLayout, cartridge.RomLayoutTable,
                         cartridge.ObjectTableAddress, cartridge.levels);
    }

    editor.window->ShowRoomOverrun(RoomOverrun{});
    if (decoded) {
        ShowLevelItems(editor);
        SelectLevel(editor.view, *editor.window, cartridge.levels, 1);
        ShowCartridgeLabels(editor, true);
        return true;
    }
    // A refused file takes the levels of the file before it along: what is on screen and what
    // a save would write must never be two different cartridges.
    cartridge.levels = LevelList{};
    cartridge.RomImage.clear();
    editor.currentPath.clear();
    ShowNotOpened(editor);
    ShowCartridgeLabels(editor, false);
    // A file that could not be read says nothing about what it holds.
    if (!read) {
        ShowMessage(editor, settings::kTextOpenCannotRead, kMessageIconError);
    } else {
        ShowMessage(editor, settings::kTextMessageIncorrectProjectFile, kMessageIconError,
                    OpenRefusalText(editor, decoded));
    }
    return false;
}

bool SaveCartridge(Editor& editor, const std::string& path) {
    // A cancelled dialog asked for nothing.
    if (path.empty()) {
        return false;
    }
    if (!HasCartridgeExtension(path)) {
        ShowMessage(editor, settings::kTextMessageFailedToSave, kMessageIconError,
                    editor.Text(settings::kTextSaveWrongExtension));
        return false;
    }
    LevelList* levels = editor.OpenLevels();
    if (levels == nullptr) {
        ShowMessage(editor, settings::kTextMessageFailedToSave, kMessageIconError,
                    editor.Text(settings::kTextSaveNothingOpen));
        return false;
    }
    CartridgeState& cartridge = editor.cartridge;
    toolkit::ByteArray encoded;
    const CodecResult result = EncodeRom(cartridge.RomImage, *levels, cartridge.LargeRomLayout,
                                         cartridge.RomLayoutTable, encoded);
    if (!result) {
        ShowMessage(editor, settings::kTextMessageFailedToSave, kMessageIconError,
                    SaveRefusalText(editor, result));
        return false;
    }
    // The levels now belong to the encoded image, so it replaces the one held whether or not
    // the file can be written.
    cartridge.RomImage = std::move(encoded);
    const WriteOutcome written = WriteFileReplacing(path, cartridge.RomImage);
    if (written != WriteOutcome::Written) {
        ShowMessage(editor, settings::kTextMessageFailedToSave, kMessageIconError,
                    WriteRefusalText(editor, written));
        return false;
    }
    ShowMessage(editor, settings::kTextMessageSaveSuccessfully, kMessageIconInformation);
    return true;
}

int OnCommand(Editor& editor, toolkit::ElementHandle element, std::int32_t item) {
    MainWindow& window = *editor.window;
    if (element == window.FileCommands.m_handle) {
        if (item == window.openIndex) {
            return OpenCommand(editor);
        }
        if (item == window.saveIndex) {
            return SaveCommand(editor);
        }
        return 0;
    }
    if (element == window.LevelList.m_handle) {
        LevelList* levels = editor.OpenLevels();
        if (levels == nullptr) {
            return 0;
        }
        // A screen left over its room stays named whichever level is shown: the save refuses it.
        const int selected = SelectLevel(editor.view, window, *levels, item + 1);
        window.ShowRoomOverrun(FirstRoomOverrun(*levels));
        return selected;
    }
    if (element == window.LockMappingCheck.m_handle) {
        window.MapView.ViewerDragLock(window.LockMappingCheck.SRectIsSelected(item));
        return 0;
    }
    // The palette button, the alternate graphics and the edit mode are read where they count.
    return 0;
}
