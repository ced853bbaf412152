// The preview's user actions: picking a strip picture and painting it into the map, and the
// popup menu's commands (open, save and refresh the cartridge, save the map picture).
#include <string>

#include "fileio/FileDialog.h"
#include "app/Preview.h"
#include "app/PreviewTexts.h"
#include "core/MessageBox.h"
#include "foundation/CallAddress.h"
#include "foundation/ImageHelpers.h"
#include "fileio/FileBytes.h"

using namespace preview_app;

namespace {

std::string AskForPath(const char* filter, const char* extension, const char* title, bool save) {
    Preview& p = ThePreview();
    FileDialogRequest request;
    request.owner = p.window;
    request.filter = filter;
    request.defaultExtension = extension;
    request.title = title;
    request.save = save;
    request.overwritePrompt = save;
    return ShowFileDialog(request, p.dialogFolder);
}

// The failure text of a file that was not written, with the reason on the next line.
std::string WriteFailureText(const char* failure, WriteOutcome outcome) {
    const char* reason = kTargetNotWritten;
    switch (outcome) {
        case WriteOutcome::ReadOnly:
            reason = kTargetReadOnly;
            break;
        case WriteOutcome::NoFolder:
            reason = kTargetNoFolder;
            break;
        case WriteOutcome::DiskFull:
            reason = kTargetDiskFull;
            break;
        case WriteOutcome::Written:
        case WriteOutcome::Failed:
            break;
    }
    return std::string(failure) + "\r\n" + reason;
}

// Paint goes only into a cartridge whose structures are known, and only into a shown screen.
bool TakesPaint(Preview& p, std::int32_t x, std::int32_t y) {
    preview::Map_Ex& map = p.PreviewMapView;
    const int cell =
        preview::CellIndexAt({map.Rows(), map.Columns(), map.Vertical()}, map.CellCount(), x, y);
    return p.cartridge.Writable() && cell >= 0 &&
           preview::ScreenShown(p.stage, cell / preview::kScreenCells + 1);
}

}  // namespace

std::int32_t PreviewMessage(const std::string& text, std::int32_t kind, std::int32_t icon) {
    Preview& p = ThePreview();
    if (p.showMessage != nullptr) {
        return p.showMessage(p.window, text, kind, icon);
    }
    return toolkit::ToolkitMessageBox(p.window, text.c_str(), kind, kMessageTitle, icon);
}

void PreviewOnPick(toolkit::ElementHandle element, std::int32_t x, std::int32_t y) {
    Preview& p = ThePreview();
    if (element == p.PreviewMapView.m_handle) {
        // A map that takes no paint stays unchanged.
        if (p.brush >= 0 && TakesPaint(p, x, y)) {
            p.changed = true;
            p.PreviewMapView.MapExSetCell(x, y, p.brush);
        }
    } else if (element == p.TileStrip.m_handle || element == p.EnemyStrip.m_handle) {
        p.brush = x;
    }
}

void PreviewShowMenu() {
    Preview& p = ThePreview();
    p.PreviewWindow.ShowMenuAtPoint(toolkit::AddressOf(&p.PreviewMenu), 0, 0);
}

std::int32_t PreviewOpenRomCommand() {
    Preview& p = ThePreview();
    if (p.changed) {
        const std::int32_t answer = PreviewMessage(kAskSaveChanges, toolkit::kMessageBoxYesNoCancel,
                                                   toolkit::kMessageBoxIconQuestion);
        if (answer == toolkit::kResultYes) {
            if (!PreviewSaveRomCommand()) {
                return 0;
            }
        } else if (answer != toolkit::kResultNo) {
            return 0;
        }
        // The flag stays set until a load clears it: after a cancelled dialog the map still
        // shows the paint, and the next save must write it.
    }
    const std::string path = AskForPath(kRomFilter, kRomExtension, kOpenRomTitle, false);
    if (path.empty()) {
        return 0;
    }
    PreviewLoadRom(path);
    return 1;
}

bool PreviewSaveRomCommand() {
    Preview& p = ThePreview();
    // Without a whole cartridge there is nothing a file could be written from.
    if (!p.cartridge.valid) {
        PreviewMessage(kNoRomToSave, toolkit::kMessageBoxOk, toolkit::kMessageBoxIconError);
        return false;
    }
    // A refused screen was reported and the map re-read; the save stops before the dialog.
    if (p.changed && !PreviewCommitStage()) {
        return false;
    }
    const std::string path = AskForPath(kRomFilter, kRomExtension, kSaveRomTitle, true);
    return !path.empty() && PreviewWriteRom(path);
}

bool PreviewWriteRom(const std::string& path) {
    Preview& p = ThePreview();
    const WriteOutcome outcome = WriteFileReplacing(path, p.cartridge.image);
    if (outcome != WriteOutcome::Written) {
        PreviewMessage(WriteFailureText(kRomNotSaved, outcome), toolkit::kMessageBoxOk,
                       toolkit::kMessageBoxIconError);
        return false;
    }
    p.changed = false;
    PreviewMessage(kRomSaved + path, toolkit::kMessageBoxOk, toolkit::kMessageBoxIconInformation);
    return true;
}

void PreviewRefreshCommand() {
    Preview& p = ThePreview();
    if (p.changed) {
        PreviewCommitStage();
    }
    PreviewShowStage(p.currentStage);
}

std::int32_t PreviewSaveMapPicture() {
    Preview& p = ThePreview();
    const std::string path = AskForPath(kPngFilter, kPngExtension, kSaveMapTitle, true);
    if (path.empty()) {
        return 0;
    }
    Gdiplus::GpBitmap* picture = p.PreviewMapView.MapExGetPicture();
    const toolkit::ByteArray png = picture != nullptr
                                       ? toolkit::EncodeImageToBytes(picture, toolkit::kPngFormat)
                                       : toolkit::ByteArray();
    // No bytes is no picture: an empty file is never reported as a saved map.
    if (png.empty()) {
        PreviewMessage(kMapPictureNotSaved, toolkit::kMessageBoxOk, toolkit::kMessageBoxIconError);
        return 0;
    }
    const WriteOutcome outcome = WriteFileReplacing(path, png);
    if (outcome != WriteOutcome::Written) {
        PreviewMessage(WriteFailureText(kMapPictureNotSaved, outcome), toolkit::kMessageBoxOk,
                       toolkit::kMessageBoxIconError);
        return 0;
    }
    PreviewMessage(kMapPictureSaved + path, toolkit::kMessageBoxOk,
                   toolkit::kMessageBoxIconInformation);
    return 1;
}

std::uint32_t __stdcall PreviewPickCallback(toolkit::ElementHandle element, std::int32_t x,
                                            std::int32_t y) {
    PreviewOnPick(element, x, y);
    return 0;
}

std::uint32_t __stdcall PreviewRightUpCallback(toolkit::ElementHandle, std::uint32_t, std::uint32_t,
                                               std::uint32_t) {
    PreviewShowMenu();
    return 0;
}
