// The editor program end to end under Wine: started in a copy of its folder and driven through
// its window as a user drives it, with the system's file dialogs answered from outside. The
// saved cartridge images are compared with what the codec's encoder makes of the same edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "EndToEndSupport.h"
#include "app/MainWindowLayout.h"
#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "settings/SettingsNames.h"
#include "view/MapGeometry.h"

namespace e2e {
namespace {

// The padded sample: its screens lie in slots with room to grow, except level 5's, which lie
// back to back.
constexpr char kSampleCartridge[] = "SampleSmall.nes";
constexpr char kSavedCartridge[] = "Saved.nes";
constexpr char kPlacedCartridge[] = "EditorPlaced.nes";  // written by make_sample_roms.py
constexpr char kSavedAgain[] = "SavedAgain.nes";
constexpr char kNotWritten[] = "NotWritten.nes";
constexpr char kNotACartridge[] = "NotACartridge.nes";
constexpr char kNotACartridgeText[] = "These bytes are no cartridge image.";
constexpr char kSettingsFile[] = "config\\Appliction.ini";
constexpr char kTempFilePattern[] = "vnm*.tmp";
constexpr DWORD kExitTimeoutMs = 10000;
constexpr int kFrame = 1;  // the viewers draw their picture inside a 1-pixel frame
constexpr int kHalfCell = kCellSize / 2;
constexpr int kOpenItem = 0;
constexpr int kSaveItem = 1;
constexpr int kFileCommandItems = 2;
// The sample cartridge's level list: eight levels and two boss rooms.
constexpr int kSampleLevelItems = 10;

// One cell of a level, and the super-tile placed into it.
struct Placement {
    int level;  // place in the level list, 1-based
    int screen;
    int column;
    int row;
    int tile;
};

// Placed with Ctrl held, in edit mode, by moving with Shift held, and in another level: every
// one of them fits the room its screen has. Two break the run of one super-tile that fills the
// top of screen 1, so that its stored form grows into the padding after it.
constexpr Placement kCtrlClick = {1, 1, 2, 4, 0x05};
constexpr Placement kLengthens[] = {{1, 1, 4, 2, 0x07}, {1, 1, 6, 1, 0x08}};
constexpr Placement kEditModeClick = {1, 1, 6, 4, 0x2A};
constexpr Placement kShiftMoves[] = {{1, 1, 2, 7, 0x30}, {1, 1, 3, 7, 0x30}, {1, 1, 4, 7, 0x30}};
constexpr Placement kOtherLevel = {3, 4, 2, 5, 0x11};
// Breaks the run at the top of level 5's first screen, which has no padding: the next screen
// starts right after its bytes.
constexpr Placement kDoesNotFit = {5, 1, 4, 2, 0x07};

std::vector<Placement> FittingPlacements() {
    std::vector<Placement> all = {kCtrlClick};
    all.insert(all.end(), std::begin(kLengthens), std::end(kLengthens));
    all.push_back(kEditModeClick);
    all.insert(all.end(), std::begin(kShiftMoves), std::end(kShiftMoves));
    all.push_back(kOtherLevel);
    return all;
}

bool SameBytes(const std::string& file, const ByteArray& bytes) {
    return file.size() == bytes.size() &&
           std::equal(file.begin(), file.end(), bytes.begin(),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

class EditorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.Ready()) << "the program folder could not be copied";
        const std::string sample = ReadWholeFile(m_folder.File(kSampleCartridge));
        m_sample.assign(sample.begin(), sample.end());
        InitRomLayout(m_table, m_objectTable);
        ASSERT_TRUE(DecodeLevels(m_sample, IsLargeRomImage(m_sample.size()), m_table, m_objectTable,
                                 m_levels));
        ASSERT_TRUE(m_editor.Start(m_folder.Path())) << "the editor's window did not appear";
        m_user = std::make_unique<User>(m_editor.MainWindow());
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Main(); }))
            << "the window did not come to the front";
        ASSERT_TRUE(WaitIdle(Main()));
    }

    HWND Main() const { return m_editor.MainWindow(); }

    // The sample as the generator saved it with the fitting placements (its EDITOR_PLACEMENTS
    // are these): the expected image comes from outside the program.
    static ByteArray PlacedSample() {
        const std::string bytes =
            ReadWholeFile(std::string(VENNMARK_TESTDATA_DIR) + "\\" + kPlacedCartridge);
        return ByteArray(bytes.begin(), bytes.end());
    }

    // The offsets at which the saved image differs from the sample outside the rooms of the
    // screens the placements edited.
    std::vector<size_t> ChangesOutsideRooms(const std::string& saved,
                                            const std::vector<Placement>& placements) const {
        std::vector<size_t> outside;
        for (size_t at = 0; at < saved.size() && at < m_sample.size(); ++at) {
            if (static_cast<uint8_t>(saved[at]) == m_sample[at]) {
                continue;
            }
            const bool inRoom =
                std::any_of(placements.begin(), placements.end(), [&](const Placement& p) {
                    const ScreenRecord& screen =
                        m_levels.records.at(static_cast<size_t>(p.level) - 1)
                            .screens.at(static_cast<size_t>(p.screen) - 1);
                    const int64_t offset = static_cast<int64_t>(at);
                    return offset >= screen.storedOffset &&
                           offset < screen.storedOffset + screen.storedRoom;
                });
            if (!inRoom) {
                outside.push_back(at);
            }
        }
        return outside;
    }

    // The tile a cell of the sample holds.
    int SampleTile(const Placement& p) const {
        return m_levels.records.at(static_cast<size_t>(p.level) - 1)
            .screens.at(static_cast<size_t>(p.screen) - 1)
            .cells.at(static_cast<size_t>((p.row - 1) * kLevelColumns + p.column - 1));
    }

    // The cells in which an image's levels differ from the sample's, for a failure message.
    std::string CellChanges(const std::string& image) {
        const ByteArray bytes(image.begin(), image.end());
        LevelList levels;
        if (!DecodeLevels(bytes, IsLargeRomImage(bytes.size()), m_table, m_objectTable, levels)) {
            return "the image does not decode";
        }
        std::string changes;
        for (size_t l = 0; l < levels.records.size() && l < m_levels.records.size(); ++l) {
            const auto& screens = levels.records[l].screens;
            const auto& before = m_levels.records[l].screens;
            for (size_t s = 0; s < screens.size() && s < before.size(); ++s) {
                for (size_t c = 0; c < screens[s].cells.size() && c < before[s].cells.size(); ++c) {
                    if (screens[s].cells[c] != before[s].cells[c]) {
                        changes += "level " + std::to_string(l + 1) + " screen " +
                                   std::to_string(s + 1) + " column " +
                                   std::to_string(c % kLevelColumns + 1) + " row " +
                                   std::to_string(c / kLevelColumns + 1) + ": " +
                                   std::to_string(screens[s].cells[c]) + "\n";
                    }
                }
            }
        }
        return changes;
    }

    POINT MapCell(const Placement& p) const {
        const MapGeometry geometry =
            LevelMapGeometry(m_levels.records.at(static_cast<size_t>(p.level) - 1));
        const PicturePoint origin = PlainCellOrigin(geometry, p.screen, p.column, p.row);
        const int x = static_cast<int>(origin.x) + kFrame + kHalfCell;
        const int y = static_cast<int>(origin.y) + kFrame + kHalfCell;
        EXPECT_LT(x, app::kMapViewPlace.width - kFrame) << "the cell must show unpanned";
        EXPECT_LT(y, app::kMapViewPlace.height - kFrame) << "the cell must show unpanned";
        return m_user->Client(app::kMapViewPlace, x, y);
    }

    void PickTile(int tile) const {
        const PicturePoint origin = PickerCellOrigin(tile, kPickerColumns);
        const int x = static_cast<int>(origin.x) + kFrame + kHalfCell;
        const int y = static_cast<int>(origin.y) + kFrame + kHalfCell;
        ASSERT_LT(y, app::kTilePickerPlace.height - kFrame) << "the tile must show unpanned";
        m_user->Click(m_user->Client(app::kTilePickerPlace, x, y));
    }

    // The centre of item `item` of an SRect_Ex holding `count` items.
    POINT Item(const app::ControlPlace& place, int item, int count) const {
        const int width = place.width / count;
        return m_user->Client(place, item * width + width / 2, place.height / 2);
    }

    void SelectLevel(int level) const {
        m_user->Click(Item(app::kLevelListPlace, level - 1, kSampleLevelItems));
    }

    void ClickFileCommand(int item) const {
        m_user->Click(Item(app::kFileCommandsPlace, item, kFileCommandItems));
    }

    void ToggleEditMode() const { m_user->Click(Item(app::kEditModeCheckPlace, 0, 1)); }

    HWND WaitOwned(bool (*accept)(HWND)) const {
        const HWND main = Main();
        return WaitForWindow([&] { return FindOwnedWindow(main, accept); });
    }

    // Answers the file dialog the last click opened with a file of the program folder copy.
    void ChooseFile(const std::string& name) const {
        const HWND dialog = WaitOwned(IsFileDialog);
        ASSERT_NE(dialog, nullptr) << "no file dialog for " << name;
        AnswerFileDialog(dialog, m_folder.File(name));
        ASSERT_TRUE(WaitUntilGone(dialog)) << DescribeWindows(Main());
    }

    // Waits for the editor's message and closes it.
    void ExpectMessage(const char* why) const {
        const HWND message = WaitOwned(IsEditorMessage);
        ASSERT_NE(message, nullptr) << "no message: " << why;
        CloseEditorMessage(message);
        ASSERT_TRUE(WaitUntilGone(message)) << why;
        ASSERT_TRUE(WaitIdle(Main()));
    }

    void Open(const std::string& name) const {
        ClickFileCommand(kOpenItem);
        ChooseFile(name);
        ASSERT_TRUE(WaitIdle(Main()));
    }

    // Saves to a new file, which must hold the image exactly as it was opened.
    void ExpectSavedUnchanged(const char* name) {
        const ByteArray& unchanged = m_sample;
        ClickFileCommand(kSaveItem);
        ASSERT_NO_FATAL_FAILURE(ChooseFile(name));
        ASSERT_NO_FATAL_FAILURE(ExpectMessage("the save was not reported"));
        const std::string saved = ReadWholeFile(m_folder.File(name));
        EXPECT_TRUE(SameBytes(saved, unchanged)) << "cells changed:\n" << CellChanges(saved);
    }

    void CtrlClick(const Placement& p) const {
        PickTile(p.tile);
        m_user->MoveTo(MapCell(p));
        m_user->KeyDown(VK_CONTROL);
        m_user->Click(MapCell(p));
        m_user->KeyUp(VK_CONTROL);
    }

    ProgramFolderCopy m_folder;
    EditorProcess m_editor;
    std::unique_ptr<User> m_user;
    ByteArray m_sample;
    std::vector<int32_t> m_table;
    int32_t m_objectTable = 0;
    LevelList m_levels;
};

TEST_F(EditorEndToEnd, OpensEditsSavesAndRefusesAsAUserSeesIt) {
    ASSERT_NO_FATAL_FAILURE(Open(kSampleCartridge));

    CtrlClick(kCtrlClick);
    for (const Placement& p : kLengthens) {
        CtrlClick(p);
    }

    ToggleEditMode();
    PickTile(kEditModeClick.tile);
    m_user->Click(MapCell(kEditModeClick));
    // The pan check (a left-button drag in edit mode places nothing) belongs here, while edit
    // mode is on.
    ToggleEditMode();

    // Shift held and no button: every cell the pointer passes takes the selected super-tile.
    PickTile(kShiftMoves[0].tile);
    m_user->MoveTo(MapCell(kShiftMoves[0]));
    m_user->KeyDown(VK_SHIFT);
    for (const Placement& p : kShiftMoves) {
        m_user->MoveTo(MapCell(p));
    }
    m_user->KeyUp(VK_SHIFT);

    SelectLevel(kOtherLevel.level);
    CtrlClick(kOtherLevel);
    SelectLevel(1);

    // Save to a new file: no overwrite question, a message, and the bytes of exactly these
    // edits, which change nothing outside the rooms of the screens they edited.
    const std::vector<Placement> fitting = FittingPlacements();
    const ByteArray expected = PlacedSample();
    ClickFileCommand(kSaveItem);
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedCartridge));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("the save was not reported"));
    const std::string saved = ReadWholeFile(m_folder.File(kSavedCartridge));
    ASSERT_EQ(saved.size(), expected.size());
    EXPECT_TRUE(SameBytes(saved, expected))
        << "the saved image differs from the generator's image of the same edits; changed "
           "cells:\n"
        << CellChanges(saved);
    EXPECT_TRUE(ChangesOutsideRooms(saved, fitting).empty())
        << "the save changed bytes outside the edited screens' rooms";
    const ScreenRecord& grown = m_levels.records.at(0).screens.at(0);
    LevelList savedLevels;
    const ByteArray savedBytes(saved.begin(), saved.end());
    ASSERT_TRUE(DecodeLevels(savedBytes, false, m_table, m_objectTable, savedLevels));
    EXPECT_GT(savedLevels.records.at(0).screens.at(0).storedLength, grown.storedLength)
        << "the placements were meant to lengthen the screen's stored form";

    // The saved file opens again with the edits in it: saving it unchanged writes it again.
    ASSERT_NO_FATAL_FAILURE(Open(kSavedCartridge));
    ClickFileCommand(kSaveItem);
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedAgain));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("the second save was not reported"));
    EXPECT_TRUE(ReadWholeFile(m_folder.File(kSavedAgain)) == saved)
        << "the reopened image did not save as it was";

    // An edit that needs more than its screen's room: the overwrite question, then the refusal
    // (which names the screen), and the old file stays as it was.
    SelectLevel(kDoesNotFit.level);
    CtrlClick(kDoesNotFit);
    ClickFileCommand(kSaveItem);
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedCartridge));
    const HWND question = WaitOwned(IsYesNoQuestion);
    ASSERT_NE(question, nullptr) << "no overwrite question";
    AnswerYes(question);
    ASSERT_TRUE(WaitUntilGone(question));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("the refusal was not shown"));
    EXPECT_TRUE(ReadWholeFile(m_folder.File(kSavedCartridge)) == saved)
        << "the refused save changed the old file";
    // The same save to a new file writes nothing at all.
    ClickFileCommand(kSaveItem);
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kNotWritten));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("the second refusal was not shown"));
    EXPECT_EQ(GetFileAttributesA(m_folder.File(kNotWritten).c_str()), INVALID_FILE_ATTRIBUTES)
        << "a refused save wrote a file";
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(m_folder.File(kTempFilePattern).c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }

    // With the cell put back the levels fit again, but a read-only file is not replaced: the
    // refusal, and the file and its read-only bit stay as they were.
    Placement putBack = kDoesNotFit;
    putBack.tile = SampleTile(kDoesNotFit);
    CtrlClick(putBack);
    const std::string readOnly = m_folder.File(kSavedCartridge);
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ClickFileCommand(kSaveItem);
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedCartridge));
    const HWND replace = WaitOwned(IsYesNoQuestion);
    ASSERT_NE(replace, nullptr) << "no overwrite question for the read-only file";
    AnswerYes(replace);
    ASSERT_TRUE(WaitUntilGone(replace));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("the read-only refusal was not shown"));
    EXPECT_TRUE(ReadWholeFile(readOnly) == saved) << "the read-only file changed";
    EXPECT_NE(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
        << "the read-only bit was cleared";
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A file that is not a cartridge image is refused with a message; then nothing is open, so
    // Save says at once that it cannot save.
    ASSERT_TRUE(WriteWholeFile(m_folder.File(kNotACartridge), kNotACartridgeText));
    ClickFileCommand(kOpenItem);
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kNotACartridge));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("the refused file was not reported"));
    ClickFileCommand(kSaveItem);
    const HWND first = WaitOwned([](HWND window) { return true; });
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(IsFileDialog(first)) << "Save with nothing open showed a dialog";
    ASSERT_NO_FATAL_FAILURE(ExpectMessage("Save with nothing open said nothing"));

    // Closing the window ends the program, which writes its settings back (the config folder
    // exists in the program folder).
    const std::string settingsFile = m_folder.File(kSettingsFile);
    ASSERT_TRUE(DeleteFileA(settingsFile.c_str()));
    PostMessageA(Main(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(m_editor.WaitForExit(kExitTimeoutMs, code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
    const auto integer = [&](const char* key) {
        char value[32] = {};
        GetPrivateProfileStringA(settings::kSectionInteger, key, "", value, sizeof value,
                                 settingsFile.c_str());
        return std::string(value);
    };
    EXPECT_EQ(integer(settings::kKeyGridColour), std::to_string(settings::kDefaultGridColour));
    EXPECT_EQ(integer(settings::kKeySectionColour),
              std::to_string(settings::kDefaultSectionColour));
    EXPECT_EQ(integer(settings::kKeySeparation), std::to_string(settings::kDefaultSeparation));
}

// A drag that pans the map view is no click, even in edit mode: the release over the map places
// nothing, and a save gives back the image as it was opened.
TEST_F(EditorEndToEnd, APanInEditModeChangesNoCell) {
    constexpr char kPannedCartridge[] = "Panned.nes";
    // Far enough for the view to move, and less than the picture has to spare beyond the view.
    constexpr int kPanDistance = kCellSize + kHalfCell;
    ASSERT_NO_FATAL_FAILURE(Open(kSampleCartridge));

    // The release lands where the press was less the distance: dragging to the left pans the
    // view to the right, so the cell under the release then lies further right in the level.
    const Placement released = kEditModeClick;
    const POINT release = MapCell(released);
    const POINT press = {release.x + kPanDistance, release.y};
    // A super-tile that neither the cell under the release nor the one there after the pan
    // holds, so that a placement into either would show in the saved bytes.
    constexpr int kPannedColumns = (kHalfCell + kPanDistance) / kCellSize;
    static_assert(kEditModeClick.column + kPannedColumns <= kLevelColumns,
                  "after the pan the release lies in the same row of the screen");
    const auto& cells =
        m_levels.records.at(released.level - 1).screens.at(released.screen - 1).cells;
    const std::size_t cell =
        static_cast<std::size_t>((released.row - 1) * kLevelColumns + released.column - 1);
    int tile = 0;
    while (tile == cells.at(cell) || tile == cells.at(cell + kPannedColumns)) {
        ++tile;
    }
    PickTile(tile);
    ToggleEditMode();

    m_user->Drag(press, release);
    ToggleEditMode();
    ASSERT_NO_FATAL_FAILURE(ExpectSavedUnchanged(kPannedCartridge));
}

// A drag is no click wherever earlier drags and levels left the view: here the view keeps the
// sideways scroll of level 1 on level 3 and already shows its top edge, so the first drag (down)
// cannot move it, and the second one (up) does. Neither places anything.
TEST_F(EditorEndToEnd, DragsInEditModePlaceNothingWhereverTheViewWasLeft) {
    constexpr char kDraggedCartridge[] = "Dragged.nes";
    constexpr int kVerticalLevel = 3;
    struct Gesture {
        POINT from;
        POINT to;
    };
    // In the window's client area as the layout gives it. Level 1 (horizontal): left, up, then
    // right and down, which leaves the view scrolled sideways and at its top edge.
    constexpr Gesture kHorizontalDrags[] = {
        {{440, 200}, {40, 200}}, {{207, 279}, {207, 129}}, {{40, 129}, {300, 300}}};
    constexpr Gesture kVerticalDrags[] = {{{207, 90}, {207, 310}}, {{207, 310}, {207, 120}}};
    constexpr app::ControlPlace kClientArea = {0, 0, app::kMainWindowWidth, app::kMainWindowHeight};
    const auto drag = [&](const Gesture& gesture) {
        m_user->Drag(m_user->Client(kClientArea, gesture.from.x, gesture.from.y),
                     m_user->Client(kClientArea, gesture.to.x, gesture.to.y));
    };
    ASSERT_NO_FATAL_FAILURE(Open(kSampleCartridge));
    ToggleEditMode();
    for (const Gesture& gesture : kHorizontalDrags) {
        drag(gesture);
    }
    SelectLevel(kVerticalLevel);
    // A super-tile that no cell of the level holds, so that any placement shows in the bytes.
    const LevelRecord& level = m_levels.records.at(kVerticalLevel - 1);
    int tile = 0;
    while (std::any_of(level.screens.begin(), level.screens.end(), [&](const ScreenRecord& s) {
        return std::find(s.cells.begin(), s.cells.end(), tile) != s.cells.end();
    })) {
        ++tile;
    }
    PickTile(tile);
    for (const Gesture& gesture : kVerticalDrags) {
        drag(gesture);
    }
    ToggleEditMode();
    ASSERT_NO_FATAL_FAILURE(ExpectSavedUnchanged(kDraggedCartridge));
}

}  // namespace
}  // namespace e2e
