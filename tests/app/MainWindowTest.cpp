// The main window in-process: what its controls show at start-up, after an open, a refused file
// and a level change, and the status line; what only shows as pixels is read from the controls.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "TempFolder.h"
#include "app/Commands.h"
#include "app/EditorTexts.h"
#include "cartridge/ScreenRoom.h"
#include "app/MainWindowLayout.h"
#include "app/RunApplication.h"
#include "cartridge/RomLayout.h"
#include "foundation/Fonts.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/ImageHelpers.h"
#include "foundation/TextCodec.h"
#include "view/MapEditing.h"
#include "view/MapGeometry.h"

namespace app_test {
namespace {

using settings::LanguageText;

constexpr char kSmallSample[] = "SampleSmall.nes";
constexpr char kLargeSample[] = "SampleLarge.nes";
// The sample images' level lists: eight levels and two boss rooms.
const std::vector<std::wstring> kSampleLevelItems = {L"1", L"2", L"3", L"4", L"5",
                                                     L"6", L"7", L"8", L"9", L"A"};
constexpr wchar_t kSampleVersion[] = L"B319,9013,B513";
constexpr int kFrame = 1;  // the viewers draw their picture inside a 1-pixel frame
constexpr int kVerticalLevel = 3;

ByteArray Png(const ByteArray& pictureFile) {
    return toolkit::EncodeImageToBytes(toolkit::LoadImageFromBytes(pictureFile).get(),
                                       toolkit::kPngFormat);
}

class MainWindowTest : public EditorTest {
protected:
    // Every control with the place the layout gives it.
    std::vector<std::pair<const toolkit::Element*, app::ControlPlace>> Controls() {
        MainWindow& w = window();
        return {{&w.LogoBox, app::kLogoBoxPlace},
                {&w.NameLabel, app::kNameLabelPlace},
                {&w.EditionLabel, app::kEditionLabelPlace},
                {&w.VersionLabel, app::kVersionLabelPlace},
                {&w.FileCommands, app::kFileCommandsPlace},
                {&w.PaletteButton, app::kPaletteButtonPlace},
                {&w.AlternateGraphicsCheck, app::kAlternateGraphicsCheckPlace},
                {&w.MapView, app::kMapViewPlace},
                {&w.LevelList, app::kLevelListPlace},
                {&w.OrientationList, app::kOrientationListPlace},
                {&w.LevelKindList, app::kLevelKindListPlace},
                {&w.TilePicker, app::kTilePickerPlace},
                {&w.TilePreview, app::kTilePreviewPlace},
                {&w.EditModeCheck, app::kEditModeCheckPlace},
                {&w.LockMappingCheck, app::kLockMappingCheckPlace},
                {&w.InfoLabel, app::kInfoLabelPlace},
                {&w.StatusLabel, app::kStatusLabelPlace}};
    }

    void ExpectLayout() {
        for (const auto& [element, place] : Controls()) {
            EXPECT_TRUE(element->m_alive) << "control at " << place.x << "," << place.y;
            EXPECT_EQ(element->m_left, place.x);
            EXPECT_EQ(element->m_top, place.y);
            EXPECT_EQ(element->m_width, place.width);
            EXPECT_EQ(element->m_height, place.height);
        }
    }

    std::wstring Caption(LanguageText key) { return Wide(Text(key)); }

    void ExpectNotOpened() {
        MainWindow& w = window();
        EXPECT_EQ(Items(w.LevelList),
                  std::vector<std::wstring>{Caption(settings::kTextCaptionNotOpened)});
        EXPECT_EQ(w.NameLabel.ItemText(0), Caption(settings::kTextAppName));
        EXPECT_EQ(w.EditionLabel.ItemText(0), Caption(settings::kTextAppEdition));
        EXPECT_EQ(w.VersionLabel.ItemText(0), Caption(settings::kTextAppVersion));
        EXPECT_EQ(w.MapView.Picture(), editor().introduction.get());
        EXPECT_EQ(w.LogoBox.ImageBoxImage(), Png(editor().logoBytes));
        EXPECT_EQ(editor().OpenLevels(), nullptr);
        EXPECT_TRUE(editor().currentPath.empty());
        EXPECT_TRUE(editor().cartridge.RomImage.empty());
        EXPECT_EQ(editor().view.currentLevel, 0);
    }

    // The element point of a map cell of the current level (no panning).
    POINT MapPoint(int screen, int column, int row) {
        const LevelRecord& level = editor().cartridge.levels.records.at(
            static_cast<size_t>(editor().view.currentLevel) - 1);
        const PicturePoint origin = PlainCellOrigin(LevelMapGeometry(level), screen, column, row);
        return {static_cast<LONG>(origin.x) + kFrame + kCellSize / 2,
                static_cast<LONG>(origin.y) + kFrame + kCellSize / 2};
    }
};

TEST_F(MainWindowTest, ControlsLieWhereTheLayoutPutsThemWithTheirCaptions) {
    ExpectLayout();
    MainWindow& w = window();
    EXPECT_EQ(Items(w.FileCommands),
              (std::vector<std::wstring>{Caption(settings::kTextCaptionOpen),
                                         Caption(settings::kTextCaptionSave)}));
    EXPECT_EQ(w.openIndex, 0);
    EXPECT_EQ(w.saveIndex, 1);
    EXPECT_EQ(Items(w.OrientationList),
              (std::vector<std::wstring>{Caption(settings::kTextWordHorizontal),
                                         Caption(settings::kTextWordVertical)}));
    EXPECT_EQ(Items(w.LevelKindList),
              (std::vector<std::wstring>{Caption(settings::kTextWordOutdoor),
                                         Caption(settings::kTextWordIndoor),
                                         Caption(settings::kTextWordBossRoom)}));
    EXPECT_EQ(Items(w.InfoLabel),
              std::vector<std::wstring>{Caption(settings::kTextAppName) + L"," +
                                        Caption(settings::kTextAppEdition) + L"," +
                                        Caption(settings::kTextAppVersion)});
    EXPECT_EQ(Items(w.StatusLabel), (std::vector<std::wstring>{L"Section", L"X", L"Y"}));
    EXPECT_EQ(w.EditModeCheck.Kind(), controls::kSRectChecks);
    EXPECT_EQ(w.LevelList.Kind(), controls::kSRectList);
    EXPECT_EQ(w.FileCommands.Kind(), controls::kSRectButton);
    EXPECT_FALSE(w.TilePicker.ElementAlphaHitTest());
    EXPECT_TRUE(w.MapView.ElementAlphaHitTest());
    ExpectNotOpened();
}

// Every caption a language file gives fits its cell in the font the cells draw it with, on one
// line: a cell cuts a caption wider than itself.
TEST_F(MainWindowTest, EveryLanguagesCaptionsFitTheirCells) {
    namespace gp = Gdiplus::DllExports;
    // The frame or a separator takes a pixel at each side of a cell.
    constexpr int kCellLines = 2;
    toolkit::GpFontPtr font(
        toolkit::CreateFontByName(controls::kSRectFontFamily, controls::kSRectFontSize,
                                  toolkit::kFontStyleRegular, toolkit::kFontUnitPixel));
    ASSERT_TRUE(font);
    Gdiplus::GpStringFormat* generic = nullptr;
    toolkit::GpStringFormatPtr format;
    ASSERT_EQ(gp::GdipStringFormatGetGenericDefault(&generic), Gdiplus::Ok);
    ASSERT_EQ(gp::GdipCloneStringFormat(generic, format.put()), Gdiplus::Ok);
    gp::GdipSetStringFormatFlags(format.get(), Gdiplus::StringFormatFlagsNoWrap);

    for (const char* language : {"language\\English.ini", "language\\Chinese.ini"}) {
        SCOPED_TRACE(language);
        editor().LanguageFile.SetFile(ProgramFile(language));
        ReadLanguageTexts(editor());
        ASSERT_FALSE(Text(settings::kTextCaptionOpen).empty());
        RebuildWindow();
        MainWindow& w = window();
        // Every row but the status row, whose texts are the program's own.
        for (const controls::SRect_Ex* row :
             {&w.NameLabel, &w.EditionLabel, &w.VersionLabel, &w.FileCommands, &w.PaletteButton,
              &w.AlternateGraphicsCheck, &w.LevelList, &w.OrientationList, &w.LevelKindList,
              &w.EditModeCheck, &w.LockMappingCheck, &w.InfoLabel}) {
            const int room = controls::SRectItemWidth(row->m_width, row->ItemCount()) - kCellLines;
            for (const std::wstring& caption : Items(*row)) {
                // The caption's own width: one character range over it, without the space GDI+
                // keeps empty around a line.
                const Gdiplus::CharacterRange range(0, static_cast<INT>(caption.size()));
                const Gdiplus::RectF unbounded(0, 0, 0, 0);
                toolkit::GpRegionPtr region;
                ASSERT_EQ(gp::GdipCreateRegion(region.put()), Gdiplus::Ok);
                Gdiplus::GpRegion* regions[] = {region.get()};
                gp::GdipSetStringFormatMeasurableCharacterRanges(format.get(), 1, &range);
                ASSERT_EQ(gp::GdipMeasureCharacterRanges(row->m_canvasGraphics, caption.c_str(),
                                                         range.Length, font.get(), unbounded,
                                                         format.get(), 1, regions),
                          Gdiplus::Ok);
                Gdiplus::RectF measured;
                gp::GdipGetRegionBounds(region.get(), row->m_canvasGraphics, &measured);
                EXPECT_LE(measured.Width, static_cast<float>(room))
                    << toolkit::FromWideString(caption, CP_UTF8);
            }
        }
    }
}

TEST_F(MainWindowTest, MissingLanguageFileLeavesEmptyCaptionsAndEnglishReasons) {
    editor().LanguageFile.SetFile(ProgramFile("language\\NoSuchLanguage.ini"));
    ReadLanguageTexts(editor());
    // The nineteen captions are empty; the editor's own texts fall back to built-in English.
    for (int key = 0; key < settings::kLanguageTextCount; ++key) {
        EXPECT_EQ(editor().texts[key], settings::kLanguageDefaults[key]) << key;
    }
    EXPECT_TRUE(editor().texts[settings::kTextCaptionOpen].empty());
    EXPECT_FALSE(editor().texts[settings::kTextSaveReadOnly].empty());
    RebuildWindow();
    ExpectLayout();
    MainWindow& w = window();
    EXPECT_EQ(Items(w.FileCommands), (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(Items(w.LevelKindList), (std::vector<std::wstring>{L"", L"", L""}));
    EXPECT_EQ(Items(w.InfoLabel), std::vector<std::wstring>{L",,"});
    EXPECT_EQ(Items(w.NameLabel), std::vector<std::wstring>{L""});
}

TEST_F(MainWindowTest, OpeningACartridgeShowsItsLevelsAndLabels) {
    const std::string path = ProgramFile(kSmallSample);
    ASSERT_TRUE(OpenCartridge(editor(), path));
    MainWindow& w = window();
    EXPECT_TRUE(s_messages.empty());
    EXPECT_EQ(w.NameLabel.ItemText(0), Wide(path));
    EXPECT_EQ(w.EditionLabel.ItemText(0), L"131088" + Caption(settings::kTextUnitBytes));
    EXPECT_EQ(w.VersionLabel.ItemText(0), kSampleVersion);
    EXPECT_EQ(Items(w.LevelList), kSampleLevelItems);
    EXPECT_EQ(w.LevelList.SelectedIndexes(), std::vector<std::int32_t>{0});
    EXPECT_EQ(editor().view.currentLevel, 1);
    EXPECT_EQ(w.MapView.Picture(), editor().view.composed.Bitmap());
    EXPECT_EQ(w.TilePicker.Picture(), editor().view.picker.Bitmap());
    EXPECT_FALSE(w.TilePreview.ImageBoxImage().empty());
    EXPECT_EQ(w.LogoBox.ImageBoxImage(), Png(editor().openedLogoBytes));
    EXPECT_FALSE(editor().cartridge.LargeRomLayout);
}

// A path is far wider than NameLabel: the label keeps the path's start and its file name, marks
// the cut with an ellipsis, and its tooltip holds the whole path.
TEST_F(MainWindowTest, NameLabelShortensThePathAsPathsAreShortened) {
    const std::string path = ProgramFile(kSmallSample);
    ASSERT_TRUE(OpenCartridge(editor(), path));
    MainWindow& w = window();
    w.NameLabel.PaintSRect();
    const std::wstring shown = w.NameLabel.ShownCaption(0);
    const std::wstring whole = Wide(path);
    const std::wstring name = L"\\" + Wide(kSmallSample);
    ASSERT_LT(shown.size(), whole.size()) << "the whole path is shown, wider than the label";
    ASSERT_GT(shown.size(), name.size());
    EXPECT_EQ(shown.substr(shown.size() - name.size()), name) << "the file name was cut";
    const std::size_t ellipsis = shown.find(controls::kCaptionEllipsis);
    ASSERT_NE(ellipsis, std::wstring::npos) << "nothing marks the cut";
    EXPECT_EQ(shown.substr(0, ellipsis), whole.substr(0, ellipsis));

    w.NameLabel.PreFilterMessage(nullptr, w.NameLabel.m_handle, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    ASSERT_NE(w.NameLabel.m_tipText, nullptr);
    EXPECT_EQ(std::string(w.NameLabel.m_tipText), path);
}

TEST_F(MainWindowTest, TheLargeImageIsDecodedWithTheLargeLayout) {
    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kLargeSample)));
    EXPECT_TRUE(editor().cartridge.LargeRomLayout);
    EXPECT_EQ(window().EditionLabel.ItemText(0), L"262160" + Caption(settings::kTextUnitBytes));
    EXPECT_EQ(Items(window().LevelList), kSampleLevelItems);
}

TEST_F(MainWindowTest, RefusedFilesLeaveNothingOpenToEditOrSave) {
    constexpr int kCutLevel = 1;  // CutB400.nes ends before level 1's object table
    constexpr int kLieLevel = 8;  // LieRunPastEnd.nes: level 8's last screen runs past the end
    constexpr int kLieScreen = 12;
    TempFolder folder;
    const std::string textFile = folder.File("NotACartridge.nes");
    const std::string projectFile = folder.File("Project.vmp");
    const std::string lockedFile = folder.File("Locked.nes");
    ASSERT_EQ(WriteFileReplacing(textFile, ByteArray{'t', 'e', 'x', 't'}), WriteOutcome::Written);
    ASSERT_EQ(WriteFileReplacing(projectFile,
                                 ByteArray{'V', 'e', 'n', 'n', 'm', 'a', 'r', 'k', 'N', 'E', 'S'}),
              WriteOutcome::Written);
    ASSERT_TRUE(CopyFileA(ProgramFile(kSmallSample).c_str(), lockedFile.c_str(), FALSE));
    // Another program holds the file open and shares it with no one.
    HANDLE lock = CreateFileA(lockedFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::string notACartridge = Text(settings::kTextMessageIncorrectProjectFile);
    const std::string cannotRead = Text(settings::kTextOpenCannotRead);
    struct Case {
        const char* what;
        std::string path;
        std::string message;  // the whole text shown, in the language file's words
    };
    const Case cases[] = {
        {"a text file", textFile, notACartridge},
        {"a project file", projectFile, notACartridge},
        {"a cartridge cut short", TestDataFile("CutB400.nes"),
         notACartridge + "\r\n" +
             FillText(Text(settings::kTextOpenLevelUnreadable),
                      {{"level", std::to_string(kCutLevel)}})},
        {"a screen past the image's end", TestDataFile("LieRunPastEnd.nes"),
         notACartridge + "\r\n" +
             FillText(
                 Text(settings::kTextOpenScreenUnreadable),
                 {{"level", std::to_string(kLieLevel)}, {"screen", std::to_string(kLieScreen)}})},
        {"a missing file", TestDataFile("NoSuchFile.nes"), cannotRead},
        {"a file another program holds", lockedFile, cannotRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
        s_messages.clear();
        EXPECT_FALSE(OpenCartridge(editor(), c.path));
        ASSERT_EQ(s_messages.size(), 1u);
        EXPECT_EQ(s_messages[0].text, c.message);
        EXPECT_EQ(s_messages[0].icon, kMessageIconError);
        ExpectNotOpened();

        // Nothing can be placed, and Save says so without asking for a file.
        s_messages.clear();
        const POINT cell = {kCellSize, kCellSize};
        MapMouseMoveCallback(window().MapView.m_handle, cell.x, cell.y, 0);
        EXPECT_EQ(ImageClickCallback(window().MapView.m_handle, cell.x, cell.y, kKeyCtrl), 0u);
        CommandCallback(window().FileCommands.m_handle, window().saveIndex);
        ASSERT_EQ(s_messages.size(), 1u);
        EXPECT_EQ(s_messages[0].text, Text(settings::kTextMessageFailedToSave) + "\r\n" +
                                          Text(settings::kTextSaveNothingOpen));
    }
    CloseHandle(lock);
}

// InfoLabel names the first screen of the cartridge that a save would refuse as over its room,
// after every placement and level switch, whichever level is shown and whatever was placed
// last; it shows its caption again once every screen fits.
TEST_F(MainWindowTest, InfoLabelNamesTheFirstScreenOverItsRoomUntilAllFit) {
    constexpr int kPackedLevel = 5;  // its screens lie back to back
    constexpr int kFirstScreen = 1;
    constexpr int kLaterScreen = 3;
    constexpr int kRunColumn = 5;  // row 3 lies in a run of one tile that fills rows 1 to 3
    constexpr int kRunRow = 3;
    constexpr int kOtherLevel = 1;
    constexpr int kLiteralRow = 4;  // eight different tiles: one more different one still fits
    constexpr uint8_t kFittingTile = 0x05;
    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
    MainWindow& w = window();
    const std::vector<std::wstring> caption = Items(w.InfoLabel);
    const auto selectLevel = [&](int level) {
        w.LevelList.SRectSetSelected(level - 1, true);
        CommandCallback(w.LevelList.m_handle, level - 1);
    };
    const auto screenOf = [&](int level, int screen) -> ScreenRecord& {
        return editor().cartridge.levels.records.at(level - 1).screens.at(screen - 1);
    };
    const size_t runCell = static_cast<size_t>((kRunRow - 1) * kLevelColumns + kRunColumn - 1);
    const uint8_t firstRunTile = screenOf(kPackedLevel, kFirstScreen).cells[runCell];
    const uint8_t laterRunTile = screenOf(kPackedLevel, kLaterScreen).cells[runCell];
    // Ctrl-clicks a cell of the level shown (the map view's routines take any element point).
    const auto place = [&](int screen, int column, int row, uint8_t tile) {
        const POINT at = MapPoint(screen, column, row);
        MapMouseMoveCallback(w.MapView.m_handle, at.x, at.y, 0);
        editor().view.selectedTile = tile;
        EXPECT_EQ(ImageClickCallback(w.MapView.m_handle, at.x, at.y, kKeyCtrl), 1u);
    };
    const auto overText = [&](int screen) {
        const ScreenFit fit = CheckScreenFit(screenOf(kPackedLevel, screen));
        EXPECT_FALSE(fit.fits);
        return std::vector<std::wstring>{
            Wide(FillText(Text(settings::kTextInfoScreenOverRoom),
                          {{"level", std::to_string(kPackedLevel)},
                           {"screen", std::to_string(screen)},
                           {"over", std::to_string(fit.needed - fit.room)}}))};
    };

    selectLevel(kPackedLevel);
    place(kLaterScreen, kRunColumn, kRunRow, static_cast<uint8_t>(laterRunTile + 1));
    EXPECT_EQ(Items(w.InfoLabel), overText(kLaterScreen));
    // A second screen over its room, earlier in the cartridge: that one is named.
    place(kFirstScreen, kRunColumn, kRunRow, static_cast<uint8_t>(firstRunTile + 1));
    EXPECT_EQ(Items(w.InfoLabel), overText(kFirstScreen));
    // Another level, and a placement there that fits: the screen is still over its room.
    selectLevel(kOtherLevel);
    EXPECT_EQ(Items(w.InfoLabel), overText(kFirstScreen));
    place(1, 1, kLiteralRow, kFittingTile);
    EXPECT_EQ(Items(w.InfoLabel), overText(kFirstScreen));
    // Put back one by one: the next screen over its room, then the caption.
    selectLevel(kPackedLevel);
    place(kFirstScreen, kRunColumn, kRunRow, firstRunTile);
    EXPECT_EQ(Items(w.InfoLabel), overText(kLaterScreen));
    place(kLaterScreen, kRunColumn, kRunRow, laterRunTile);
    EXPECT_EQ(Items(w.InfoLabel), caption);
    selectLevel(kOtherLevel);
    EXPECT_EQ(Items(w.InfoLabel), caption);
}

TEST_F(MainWindowTest, LevelListAndLockMappingReachTheView) {
    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
    MainWindow& w = window();
    const int item = kVerticalLevel - 1;
    w.LevelList.SRectSetSelected(item, true);
    CommandCallback(w.LevelList.m_handle, item);
    EXPECT_EQ(editor().view.currentLevel, kVerticalLevel);
    const LevelRecord& level = editor().cartridge.levels.records[item];
    EXPECT_EQ(w.OrientationList.SelectedIndexes(), std::vector<std::int32_t>{level.vertical});
    EXPECT_EQ(w.LevelKindList.SelectedIndexes(), std::vector<std::int32_t>{level.kind});

    for (const bool locked : {true, false}) {
        w.LockMappingCheck.SRectSetSelected(0, locked);
        CommandCallback(w.LockMappingCheck.m_handle, 0);
        EXPECT_EQ(w.MapView.ViewerDragLock(), locked);
    }
}

TEST_F(MainWindowTest, StatusLineShowsThePointerOrTheCellInHexadecimal) {
    MainWindow& w = window();
    constexpr int kX = 0x2A;
    constexpr int kY = 0x11;
    MapMouseMoveCallback(w.MapView.m_handle, kX, kY, 0);
    EXPECT_EQ(Items(w.StatusLabel), (std::vector<std::wstring>{L"Section", L"2A", L"11"}));

    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
    // Screen 2 of a horizontal level begins after the eight cells of screen 1.
    const int inScreen = kX;
    MapMouseMoveCallback(w.MapView.m_handle, kLevelColumns * kCellSize + inScreen + kFrame,
                         kY + kFrame, 0);
    EXPECT_EQ(Items(w.StatusLabel), (std::vector<std::wstring>{L"2", L"2A", L"11"}));
}

TEST_F(MainWindowTest, CtrlClickPlacesTheSelectedTileAndEditModePlacesWithoutCtrl) {
    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
    MainWindow& w = window();
    constexpr int kTile = 9;
    // Picker point (40, 33) lies in the cell of super-tile 9.
    EXPECT_EQ(ImageClickCallback(w.TilePicker.m_handle, 40, 33, 0), 1u);
    EXPECT_EQ(editor().view.selectedTile, kTile);
    const auto cell = [&](int column) -> uint8_t& {
        return editor().cartridge.levels.records[0].screens[0].cells[column - 1];
    };
    const POINT first = MapPoint(1, 1, 1);
    MapMouseMoveCallback(w.MapView.m_handle, first.x, first.y, 0);
    EXPECT_EQ(ImageClickCallback(w.MapView.m_handle, first.x, first.y, 0), 0u);
    EXPECT_NE(cell(1), kTile);
    EXPECT_EQ(ImageClickCallback(w.MapView.m_handle, first.x, first.y, kKeyCtrl), 1u);
    EXPECT_EQ(cell(1), kTile);

    const POINT second = MapPoint(1, 2, 1);
    w.EditModeCheck.SRectSetSelected(0, true);
    MapMouseMoveCallback(w.MapView.m_handle, second.x, second.y, 0);
    EXPECT_EQ(ImageClickCallback(w.MapView.m_handle, second.x, second.y, 0), 1u);
    EXPECT_EQ(cell(2), kTile);
}

}  // namespace
}  // namespace app_test
