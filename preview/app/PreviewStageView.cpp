// The preview's stage on screen: loading a cartridge, showing a stage in the map and the tile
// strip, writing the map's edits back into the cartridge bytes, and the clicks of the check
// button and the caption's menu button.
#include <cstdio>
#include <string>
#include <vector>

#include "app/Preview.h"
#include "app/PreviewTexts.h"
#include "core/MessageBox.h"
#include "foundation/CallAddress.h"
#include "fileio/ProgramFolder.h"
#include "fileio/FileBytes.h"
#include "cartridge/LevelDecoder.h"
#include "stage/PreviewWriteBack.h"

using namespace preview_app;

namespace {

// A printf pattern of the texts header filled in: whole numbers, and GBK texts as const char*.
template <typename... Values>
std::string Format(const char* pattern, Values... values) {
    char text[1024];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

template <typename Item, typename Name>
std::string JoinNames(const std::vector<Item>& items, Name name) {
    std::string text;
    for (const Item& item : items) {
        text += (text.empty() ? "" : kListSeparator) + name(item);
    }
    return text;
}

// How the preview names a structure of the image that a write would have changed.
std::string NameOf(const preview::OtherStructure& other) {
    switch (other.kind) {
        case UsedRangeKind::Screen:
        case UsedRangeKind::SpareScreen:
            return Format(kNameScreen, other.stage, other.index);
        case UsedRangeKind::BossScreen:
            return Format(kNameBossRoom, other.stage);
        case UsedRangeKind::ScreenTable:
            return Format(kNameScreenTable, other.stage);
        case UsedRangeKind::ObjectTable:
            return Format(kNameObjectTable, other.stage);
        case UsedRangeKind::ObjectList:
            return Format(kNameObjectList, other.stage, other.index);
        case UsedRangeKind::LevelHeaders:
            return kNameLevelHeaders;
        case UsedRangeKind::BossList:
            return kNameBossList;
        case UsedRangeKind::ObjectPointerTable:
            break;
    }
    return kNameObjectPointerTable;
}

std::string RefusalText(int stage, const preview::RefusedScreen& refused) {
    using preview::RefusalReason;
    switch (refused.reason) {
        case RefusalReason::SharersDiffer:
            return Format(
                kScreensShareBytes, stage, refused.screen,
                JoinNames(refused.sharers, [](int s) { return std::to_string(s); }).c_str());
        case RefusalReason::TouchesOther:
            return Format(kScreenTouchesOther, stage, refused.screen,
                          JoinNames(refused.others, NameOf).c_str());
        case RefusalReason::NotStorable:
            return Format(kScreenNotStorable, stage, refused.screen);
        case RefusalReason::NotShown:
            return Format(kScreenNotShown, stage, refused.screen);
        case RefusalReason::NothingKnown:
            return Format(kNothingKnown, stage, refused.screen);
        case RefusalReason::PastImageEnd:
            return Format(kScreenPastImageEnd, stage, refused.screen);
        case RefusalReason::NoRoomKnown:
            return Format(kScreenNoRoomKnown, stage, refused.screen);
        case RefusalReason::ReadingsDiffer:
            return Format(kScreenReadsOtherwise, stage, refused.screen);
        case RefusalReason::DoesNotFit:
            break;
    }
    return Format(kScreenDoesNotFit, stage, refused.screen, static_cast<int>(refused.needed),
                  static_cast<int>(refused.room));
}

// Every refused screen on one message, so that a commit asks for one answer.
void ReportRefusals(const Preview& p, const preview::CommitResult& result) {
    std::string text;
    for (const preview::RefusedScreen& refused : result.refused) {
        text += RefusalText(p.currentStage, refused) + "\r\n";
    }
    text += kScreensKeptAsStored;
    PreviewMessage(text, toolkit::kMessageBoxOk, toolkit::kMessageBoxIconError);
}

// Why the editor's decoder refused the image, in the preview's words.
std::string WhyUnreadable(const CodecResult& refusal) {
    const bool level = refusal.level >= 1 && refusal.level <= preview::kStageCount;
    switch (refusal.problem) {
        case CodecProblem::LevelUnreadable:
            return level ? Format(kWhyLevelUnreadable, refusal.level) : kWhyBossRoomUnreadable;
        case CodecProblem::ScreenUnreadable:
            return level ? Format(kWhyScreenUnreadable, refusal.level, refusal.screen)
                         : kWhyBossRoomUnreadable;
        case CodecProblem::TooManyObjects:
            return Format(kWhyTooManyObjects, static_cast<int>(kMaxDecodedObjects));
        default:
            break;
    }
    return kWhyUnknown;
}

// What a freshly loaded image cannot show or take, said once for the whole image.
std::string LoadWarnings(const preview::PreviewCartridge& cartridge) {
    std::string text;
    for (const preview::HiddenScreen& hidden : cartridge.hidden) {
        text += hidden.problem == preview::ScreenProblem::OutsideWindow
                    ? Format(kScreenOutsideWindow, hidden.stage, hidden.screen,
                             static_cast<unsigned>(hidden.pointer))
                    : Format(kScreenPastWindowEnd, hidden.stage, hidden.screen);
        text += "\r\n";
    }
    if (cartridge.large) {
        text += kRomLargeViewOnly;
    } else if (!cartridge.known.read) {
        text += kRomViewOnly + WhyUnreadable(cartridge.known.refusal);
    }
    return text;
}

// After a commit the stage is read again, and every cell the map shows otherwise is set to what
// the bytes now hold: a screen that shares the bytes of a written one shows the written cells, so
// that a later edit of it starts from them.
void ShowStoredCells(Preview& p) {
    preview::PreviewStage stored =
        preview::ReadPreviewStage(p.cartridge.image, p.cartridge.tableValue, p.currentStage);
    const preview::Bytes shown = p.PreviewMapView.MapExGetCells();
    if (!stored.ok || stored.cells.size() != shown.size()) {
        PreviewShowStage(p.currentStage);
        return;
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        // By index: the layouts read cell coordinates differently.
        if (shown[i] != stored.cells[i]) {
            p.PreviewMapView.SetCellByIndex(static_cast<int>(i), stored.cells[i]);
        }
    }
    p.stage = std::move(stored);
}

}  // namespace

std::string PreviewMapPicturePath(const std::string& name) {
    return ProgramFolder() + kMapPictureFolder + name;
}

std::string PreviewEnemyPicturePath(const std::string& name) {
    return ProgramFolder() + kEnemyPictureFolder + name;
}

void PreviewLoadRom(const std::string& path) {
    Preview& p = ThePreview();
    p.PreviewRomPath = path;
    std::string bytes;
    const bool read = ReadFileBytes(path, bytes);
    p.cartridge = preview::LoadPreviewCartridge(preview::Bytes(bytes.begin(), bytes.end()));
    p.changed = false;
    // One message for the image, not one for every stage shown from it. A file that could not
    // be read is no short image: the user is told which file it was.
    if (!read) {
        PreviewMessage(kRomNotRead + path + "\r\n" + kMapStaysEmpty, toolkit::kMessageBoxOk,
                       toolkit::kMessageBoxIconError);
    } else if (!p.cartridge.valid) {
        PreviewMessage(kRomTooShort, toolkit::kMessageBoxOk, toolkit::kMessageBoxIconError);
    } else if (const std::string warnings = LoadWarnings(p.cartridge); !warnings.empty()) {
        PreviewMessage(warnings, toolkit::kMessageBoxOk, toolkit::kMessageBoxIconWarning);
    }
    PreviewSelectStage(p.StageList.m_handle, p.StageList.SelectedIndex());
}

void PreviewSelectStage(toolkit::ElementHandle element, std::int32_t index) {
    Preview& p = ThePreview();
    if (element != p.StageList.m_handle || index < 1 || index > preview::kStageCount) {
        return;
    }
    if (p.changed) {
        PreviewCommitStage();
    }
    p.currentStage = index;
    PreviewShowStage(index);
}

void PreviewShowStage(std::int32_t n) {
    Preview& p = ThePreview();
    // An image too short for its tables shows an empty map: nothing can be painted or written.
    p.stage = p.cartridge.valid
                  ? preview::ReadPreviewStage(p.cartridge.image, p.cartridge.tableValue, n)
                  : preview::PreviewStage{};
    const std::string folder = PreviewMapPicturePath(std::to_string(n) + "\\");
    preview::Map_Ex& map = p.PreviewMapView;
    map.MapExLoadPictures(folder);
    map.MapExSetCells(p.stage.cells);
    map.MapExSetObjects(p.stage.objects);
    map.MapExRenderCells();
    map.MapExRenderObjects();
    map.InvalidateElement();
    p.TileStrip.MapExSetFolder(folder);
    p.TileStrip.InvalidateElement();
}

bool PreviewCommitStage() {
    Preview& p = ThePreview();
    if (!p.cartridge.valid || !p.stage.ok) {
        return false;
    }
    const preview::Bytes cells = p.PreviewMapView.MapExGetCells();
    const preview::CommitResult result = preview::CommitPreviewStage(p.cartridge, p.stage, cells);
    if (result.refused.empty()) {
        // What is stored now is what the map shows: the next commit compares with it.
        if (result.written > 0) {
            ShowStoredCells(p);
        }
        return true;
    }
    ReportRefusals(p, result);
    // The map is read again, so that what it shows is what the bytes hold.
    PreviewShowStage(p.currentStage);
    return false;
}

void PreviewBindMenuButton() {
    Preview& p = ThePreview();
    toolkit::Element* button =
        toolkit::ElementFromHandle(p.PreviewWindow.GetCaptionPart(kMenuButtonKind));
    if (button != nullptr) {
        button->BindClick(toolkit::AddressOf(&PreviewClickCallback), 0);
    }
}

void PreviewOnClick(toolkit::ElementHandle element) {
    Preview& p = ThePreview();
    if (element == p.VerticalMapCheck.m_handle) {
        p.PreviewMapView.MapExSetVertical(p.VerticalMapCheck.CheckButtonChecked() ? 1 : 0);
        p.PreviewMapView.MapExRenderCells();
        p.PreviewMapView.InvalidateElement();
    } else if (element != 0 && element == p.PreviewWindow.GetCaptionPart(kMenuButtonKind)) {
        p.PreviewWindow.ShowMenuAtPoint(toolkit::AddressOf(&p.PreviewMenu), 0, 0);
    }
    // The link to save the map does nothing here.
}

std::uint32_t __stdcall PreviewStageCallback(toolkit::ElementHandle element, std::int32_t index) {
    PreviewSelectStage(element, index);
    return 0;
}

std::uint32_t __stdcall PreviewClickCallback(toolkit::ElementHandle element, std::uint32_t,
                                             std::uint32_t, std::uint32_t) {
    PreviewOnClick(element);
    return 0;
}
