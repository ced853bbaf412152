// The preview program end to end under Wine: started in a copy of its folder with a quoted
// cartridge path, driven through its window, strips, stage list, popup menu and message boxes as
// a user drives them, with the system's file dialogs answered from outside. The saved cartridge
// is compared with the image the sample generator wrote for the same paints.
#include <gtest/gtest.h>

#include <string>

#include "EndToEndSupport.h"

namespace e2e {
namespace {

constexpr char kPreviewProgram[] = "vennmark_preview.exe";
constexpr char kPreviewWindowClass[] = "Vennmark";
constexpr char kSampleCartridge[] = "Brakka.nes";
constexpr char kCartridgeWithBlank[] = "Brakka copy.nes";
constexpr char kMissingCartridge[] = "No Such Cartridge.nes";
constexpr char kSavedCartridge[] = "Saved.nes";
constexpr char kSavedPicture[] = "Map.png";
constexpr char kSavedVerticalPicture[] = "Stacked.png";
constexpr char kShortCartridge[] = "Short.nes";
// The image the other stage table belongs to is exactly this long; it is still far too short.
constexpr size_t kShortImageSize = 256;
constexpr char kExpectedCartridge[] = VENNMARK_TESTDATA_DIR "/PreviewPainted.nes";
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kNoWindowWaitMs = 3000;

// The window's layout (client coordinates of the controls, as the program places them).
const app::ControlPlace kMap = {8, 28, 268, 236};
const app::ControlPlace kStageList = {8, 268, 100, 24};
const app::ControlPlace kVerticalCheck = {108, 268, 80, 24};
const app::ControlPlace kEnemyStrip = {8, 296, 268, 44};
const app::ControlPlace kTileStrip = {8, 340, 268, 44};
constexpr int kCell = 32;
constexpr int kHalfCell = kCell / 2;
// The caption's "Menu" button, from the right edge and top of the window.
constexpr int kMenuButtonFromRight = 84;
constexpr int kMenuButtonFromTop = 20;
// The stage list's drop-down: rows of the default 12-pixel font, one pixel inside the window.
// This point lies inside the second row for any row height from 12 to 22 pixels, and this one
// inside the fifth for any from 17 to 21 (the font's 14 to 16 pixels and the row's padding).
constexpr int kSecondRowY = 24;
constexpr int kFifthRowY = 85;
// The popup menu: rows inside a 2-pixel margin and a 1-pixel inset, two 3-pixel separators.
constexpr int kMenuTop = 3;
constexpr int kMenuSeparator = 3;
constexpr int kMenuFrame = 12;  // window height = 5 rows + 2 separators + margins
constexpr int kMenuTextRows = 5;
enum MenuItem { kOpenItem, kSaveItem, kRefreshItem, kSaveMapItem, kAboutItem };
// The message box's buttons sit 75 pixels apart from the right, in the bar at the bottom.
constexpr int kBoxButtonPitch = 75;
constexpr int kBoxButtonHalfWidth = 35;
constexpr int kBoxRightInset = 8;
constexpr int kBoxButtonFromBottom = 27;
constexpr int kNoButtonPlace = 2;
constexpr int kYesButtonPlace = 3;
// The stage map: 7 rows of 8 cells a screen; stage 1 of the sample has 5 screens.
constexpr int kScreenRows = 7;
constexpr int kScreenColumns = 8;
constexpr int kStageFiveScreens = 4;
// A PNG's width and height are big-endian words at these offsets.
constexpr size_t kPngWidthOffset = 16;
constexpr size_t kPngHeightOffset = 20;

// The paints of the generator's PREVIEW_PAINTS (tools/make_sample_roms.py): column, row, and
// the strip picture painted.
constexpr int kTile = 0x05;
constexpr int kEnemy = 0x03;
struct Cell {
    int x;
    int y;
};
constexpr Cell kClicked = {0, 3};
constexpr Cell kDragged[] = {{1, 3}, {2, 3}, {3, 3}};
constexpr Cell kStageTwoCell = {0, 5};
constexpr Cell kTooLong = {0, 1};  // in stage 5

bool IsAnyWindow(HWND) {
    return true;
}

uint32_t BigEndianWord(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
    }
    return value;
}

class PreviewEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.Ready()) << "the program folder was not copied"; }

    void StartWith(const std::string& path) {
        ProgramStart start;
        start.program = kPreviewProgram;
        start.windowClass = kPreviewWindowClass;
        start.arguments = "\"" + path + "\"";
        ASSERT_TRUE(m_program.Start(m_folder.Path(), start)) << "the window did not appear";
        m_user = std::make_unique<User>(Main());
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Main(); }))
            << "the window did not come to the front";
        ASSERT_TRUE(WaitIdle(Main()));
    }

    HWND Main() const { return m_program.MainWindow(); }

    POINT At(const app::ControlPlace& place, Cell cell) const {
        return m_user->Client(place, cell.x * kCell + kHalfCell, cell.y * kCell + kHalfCell);
    }

    void Pick(const app::ControlPlace& strip, int index) { m_user->Click(At(strip, {index, 0})); }

    // Paints by a press, moves with the button held and a release.
    void Drag(Cell from, const Cell* over, size_t count) {
        POINT point = At(kMap, from);
        m_user->MoveTo(point);
        PostMessageA(Main(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        for (size_t i = 0; i < count; ++i) {
            point = At(kMap, over[i]);
            PostMessageA(Main(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        }
        PostMessageA(Main(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        ASSERT_TRUE(WaitIdle(Main()));
    }

    HWND WaitOwned(bool (*accept)(HWND)) const {
        const HWND main = Main();
        return WaitForWindow([&] { return FindOwnedWindow(main, accept); });
    }

    // A click at a client point of another window of the program (menu, drop-down, box).
    static void ClickIn(HWND window, POINT client) {
        POINT screen = client;
        ClientToScreen(window, &screen);
        ASSERT_TRUE(PutPointer(screen)) << "the pointer could not be put there";
        PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }

    void ChooseStage(int rowY) {
        m_user->Click(m_user->Client(kStageList, kStageList.width / 2, kStageList.height / 2));
        const HWND dropDown = WaitOwned(IsAnyWindow);
        ASSERT_NE(dropDown, nullptr) << "the stage list did not drop down";
        RECT client{};
        GetClientRect(dropDown, &client);
        ClickIn(dropDown, {client.right / 2, rowY});
        ASSERT_TRUE(WaitUntilGone(dropDown));
        ASSERT_TRUE(WaitIdle(Main()));
        // The drop-down lay over the strips: when it goes, Wine queues a move for the main window
        // at the pointer's place there, taken once no posted message waits. Moved onto the map
        // and settled twice, the pointer has that move behind it before the next step, which
        // would otherwise see its right button reach the strip the pointer was last over.
        m_user->MoveTo(At(kMap, {0, 0}));
        m_user->MoveTo(At(kMap, {0, 0}));
    }

    // The popup menu, opened by the right button on the map or by the caption's menu button.
    void ChooseMenuItem(MenuItem item, bool fromCaption = false) {
        if (fromCaption) {
            RECT window{};
            GetClientRect(Main(), &window);
            const POINT button = {window.right - kMenuButtonFromRight, kMenuButtonFromTop};
            ClickIn(Main(), button);
        } else {
            const POINT point = At(kMap, {0, 0});
            m_user->MoveTo(point);
            PostMessageA(Main(), WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        }
        const HWND menu = WaitOwned(IsAnyWindow);
        ASSERT_NE(menu, nullptr) << "the menu did not open";
        RECT client{};
        GetClientRect(menu, &client);
        const int row = (client.bottom - kMenuFrame) / kMenuTextRows;
        const int separators = item >= kAboutItem ? 2 : item >= kRefreshItem ? 1 : 0;
        const int y = kMenuTop + item * row + separators * kMenuSeparator + row / 2;
        ClickIn(menu, {client.right / 2, y});
        ASSERT_TRUE(WaitUntilGone(menu));
    }

    // Waits for the program's own message box and closes it by its close button.
    void CloseMessage(const char* why) {
        const HWND box = WaitOwned(IsEditorMessage);
        ASSERT_NE(box, nullptr) << "no message: " << why;
        ASSERT_FALSE(IsFileDialog(box)) << why;
        CloseEditorMessage(box);
        ASSERT_TRUE(WaitUntilGone(box)) << why;
        ASSERT_TRUE(WaitIdle(Main()));
    }

    void AnswerQuestion(int place) {
        const HWND box = WaitOwned(IsEditorMessage);
        ASSERT_NE(box, nullptr) << "no question\n" << DescribeWindows(Main());
        RECT client{};
        GetClientRect(box, &client);
        ClickIn(box, {client.right - kBoxRightInset - kBoxButtonPitch * place + kBoxButtonHalfWidth,
                      client.bottom - kBoxButtonFromBottom});
        ASSERT_TRUE(WaitUntilGone(box));
    }

    void ChooseFile(const std::string& name) {
        const HWND dialog = WaitOwned(IsFileDialog);
        ASSERT_NE(dialog, nullptr) << "no file dialog for " << name;
        AnswerFileDialog(dialog, m_folder.File(name));
        ASSERT_TRUE(WaitUntilGone(dialog)) << DescribeWindows(Main());
    }

    void CancelFileDialog() {
        const HWND dialog = WaitOwned(IsFileDialog);
        ASSERT_NE(dialog, nullptr) << "no file dialog\n" << DescribeWindows(Main());
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(WaitUntilGone(dialog));
        ASSERT_TRUE(WaitIdle(Main()));
    }

    bool StageListDropsDown() {
        m_user->Click(m_user->Client(kStageList, kStageList.width / 2, kStageList.height / 2));
        const HWND dropDown =
            WaitForWindow([&] { return FindOwnedWindow(Main(), IsAnyWindow); }, kNoWindowWaitMs);
        if (dropDown == nullptr) {
            return false;
        }
        PostMessageA(dropDown, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitUntilGone(dropDown);
        WaitIdle(Main());
        return true;
    }

    ProgramFolderCopy m_folder;
    EditorProcess m_program;
    std::unique_ptr<User> m_user;
};

TEST_F(PreviewEndToEnd, PaintsSwitchesStagesSavesExportsAndAsksBeforeOpening) {
    const std::string quoted = m_folder.File(kCartridgeWithBlank);
    ASSERT_TRUE(CopyFileA(m_folder.File(kSampleCartridge).c_str(), quoted.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(StartWith(quoted));

    // Stage 1: a click and a drag with a tile; then stage 2 (the switch commits stage 1) and an
    // enemy picture; then stage 5 (committing stage 2), whose screens have no spare bytes, and
    // one paint that does not fit there.
    Pick(kTileStrip, kTile);
    m_user->Click(At(kMap, kClicked));
    ASSERT_NO_FATAL_FAILURE(Drag(kClicked, kDragged, std::size(kDragged)));
    ASSERT_NO_FATAL_FAILURE(ChooseStage(kSecondRowY));
    Pick(kEnemyStrip, kEnemy);
    m_user->Click(At(kMap, kStageTwoCell));
    ASSERT_NO_FATAL_FAILURE(ChooseStage(kFifthRowY));
    Pick(kTileStrip, kTile);
    m_user->Click(At(kMap, kTooLong));

    // Save: the refusal comes first, and the save stops before its dialog.
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kSaveItem));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the refusal was not shown"));
    // The map was read again; the next save writes what is stored.
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kSaveItem));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedCartridge));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the save was not reported"));
    const std::string saved = ReadWholeFile(m_folder.File(kSavedCartridge));
    const std::string expected = ReadWholeFile(kExpectedCartridge);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(saved == expected) << "the saved image is not the generator's painted image";

    // The map picture as PNG: the cells picture of stage 5, 4 screens side by side.
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kSaveMapItem));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedPicture));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the picture was not reported"));
    const std::string png = ReadWholeFile(m_folder.File(kSavedPicture));
    ASSERT_GT(png.size(), kPngHeightOffset + 4);
    EXPECT_EQ(BigEndianWord(png, kPngWidthOffset),
              static_cast<uint32_t>(kStageFiveScreens * kScreenColumns * kCell));
    EXPECT_EQ(BigEndianWord(png, kPngHeightOffset), static_cast<uint32_t>(kScreenRows * kCell));

    // The check button stacks the screens: the exported picture is one screen wide.
    m_user->Click(
        m_user->Client(kVerticalCheck, kVerticalCheck.height / 2, kVerticalCheck.height / 2));
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kSaveMapItem));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSavedVerticalPicture));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the stacked picture was not reported"));
    const std::string stacked = ReadWholeFile(m_folder.File(kSavedVerticalPicture));
    ASSERT_GT(stacked.size(), kPngHeightOffset + 4);
    EXPECT_EQ(BigEndianWord(stacked, kPngWidthOffset),
              static_cast<uint32_t>(kScreenColumns * kCell));
    EXPECT_EQ(BigEndianWord(stacked, kPngHeightOffset),
              static_cast<uint32_t>(kStageFiveScreens * kScreenRows * kCell));
    m_user->Click(
        m_user->Client(kVerticalCheck, kVerticalCheck.height / 2, kVerticalCheck.height / 2));

    // About hides the controls (the stage list takes no click), a second About shows them again.
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kAboutItem, true));
    EXPECT_FALSE(StageListDropsDown()) << "a control stayed visible over the about view";
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kAboutItem, true));
    EXPECT_TRUE(StageListDropsDown()) << "the controls did not come back";

    // Open with unsaved changes, answered No: the dialog opens and the changes are gone, so the
    // next Open asks nothing.
    m_user->Click(At(kMap, kClicked));
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kOpenItem));
    ASSERT_NO_FATAL_FAILURE(AnswerQuestion(kNoButtonPlace));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kSampleCartridge));
    ASSERT_TRUE(WaitIdle(Main()));
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kOpenItem));
    ASSERT_NO_FATAL_FAILURE(CancelFileDialog());

    // Yes, then the save dialog cancelled: nothing is opened and the changes stay, so Open asks
    // again; closed by its close button, nothing is opened and it asks once more.
    Pick(kTileStrip, kTile);
    m_user->Click(At(kMap, kClicked));
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kOpenItem));
    ASSERT_NO_FATAL_FAILURE(AnswerQuestion(kYesButtonPlace));
    ASSERT_NO_FATAL_FAILURE(CancelFileDialog());
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kOpenItem));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the changes were not kept"));
    EXPECT_EQ(FindOwnedWindow(Main(), IsFileDialog), nullptr) << "Cancel went on to open";
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kOpenItem));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the changes were not kept after the close button"));

    // An image too short for the stage tables: one message, an empty map that takes no paint,
    // and Save refused before its dialog.
    const std::string shortImage(kShortImageSize, '\0');
    ASSERT_TRUE(WriteWholeFile(m_folder.File(kShortCartridge), shortImage));
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kOpenItem));
    ASSERT_NO_FATAL_FAILURE(AnswerQuestion(kNoButtonPlace));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kShortCartridge));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("the short image was not reported"));
    EXPECT_EQ(FindOwnedWindow(Main(), IsAnyWindow), nullptr) << "a second message followed";
    ASSERT_NO_FATAL_FAILURE(ChooseStage(kSecondRowY));
    EXPECT_EQ(FindOwnedWindow(Main(), IsAnyWindow), nullptr) << "a stage switch said more";
    ASSERT_NO_FATAL_FAILURE(ChooseMenuItem(kSaveItem));
    ASSERT_NO_FATAL_FAILURE(CloseMessage("Save with no whole image said nothing"));

    PostMessageA(Main(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(m_program.WaitForExit(kExitTimeoutMs, code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
}

TEST_F(PreviewEndToEnd, APathThatDoesNotExistEndsWithoutAWindow) {
    ProgramStart start;
    start.program = kPreviewProgram;
    start.windowClass = kPreviewWindowClass;
    start.arguments = "\"" + m_folder.File(kMissingCartridge) + "\"";
    ASSERT_TRUE(m_program.Launch(m_folder.Path(), start));
    DWORD code = 1;
    bool sawWindow = false;
    const bool ended = WaitUntil([&] {
        sawWindow = sawWindow || m_program.FindMainWindow() != nullptr;
        DWORD unused = 0;
        return m_program.WaitForExit(0, unused);
    });
    ASSERT_TRUE(ended) << "the program did not end";
    ASSERT_TRUE(m_program.WaitForExit(0, code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(sawWindow);
}

}  // namespace
}  // namespace e2e
