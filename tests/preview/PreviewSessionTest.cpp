// The preview's own routines in-process, on its real controls in a toolkit window: loading a
// cartridge, painting through the pick routine, committing, and what the user is told. Messages
// are recorded instead of shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../host/HostTestSupport.h"
#include "../settings/TempFolder.h"
#include "PreviewTestImages.h"
#include "app/Preview.h"
#include "app/PreviewTexts.h"
#include "core/MessageBox.h"
#include "fileio/FileBytes.h"
#include "foundation/Win32Handles.h"
#include "stage/PreviewStage.h"

namespace {

using preview::Bytes;
using preview::kScreenCells;
using preview::kScreenColumns;
using preview_test::ScreenCells;
using preview_test::ScreenEntryOffset;
using preview_test::SetWord;
using preview_test::WordAt;

const std::string kDataFolder = VENNMARK_TESTDATA_DIR;
constexpr char kSharedImage[] = "SharedScreens.nes";
constexpr char kWindowImage[] = "WindowScreenPointer.nes";
constexpr int kStageOne = 1;
constexpr int kStageTwo = 2;
// Tiles that stand for a picked strip picture.
constexpr std::int32_t kTile = 0x05;
constexpr std::int32_t kOtherTile = 0x06;
// In stage 1 of the shared image, screen 4 is stored on screen 3's bytes. The screen's third row
// holds runs of one tile around a single one in the fourth column, and its sixth row eight
// different tiles: another tile in the fourth column of either keeps the form's length.
constexpr int kSharedFirst = 3;
constexpr int kSharedSecond = 4;
constexpr int kSingleColumn = 3;
constexpr int kRunsRow = 2;
constexpr int kLiteralsRow = 5;

struct Shown {
    std::string text;
    std::int32_t icon;
};
std::vector<Shown> g_messages;
// How the question whether to save the changes is answered.
std::int32_t g_saveAnswer = toolkit::kResultCancel;

std::int32_t RecordMessage(HWND, const std::string& text, std::int32_t kind, std::int32_t icon) {
    g_messages.push_back({text, icon});
    return kind == toolkit::kMessageBoxYesNoCancel ? g_saveAnswer : toolkit::kResultOk;
}

// Answers the system file dialogs that the owner window opens, one after another, from a second
// thread (a dialog runs its own modal loop on the test's thread): an empty answer cancels the
// dialog, any other is typed in as the file name. A dialog that never comes ends the answering.
class FileDialogAnswers {
public:
    FileDialogAnswers(HWND owner, std::vector<std::string> answers)
        : m_owner(owner), m_answers(std::move(answers)), m_thread([this] { Run(); }) {}
    ~FileDialogAnswers() { m_thread.join(); }
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;

    int Answered() const { return m_answered; }

private:
    static constexpr DWORD kPollMs = 20;
    static constexpr DWORD kDialogTimeoutMs = 30000;

    struct Search {
        HWND owner;
        HWND found;
    };

    static BOOL CALLBACK Visit(HWND window, LPARAM context) {
        auto* search = reinterpret_cast<Search*>(context);
        if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
            window_test::IsFileDialog(window)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    HWND WaitForDialog(HWND previous) const {
        for (DWORD waited = 0; waited < kDialogTimeoutMs; waited += kPollMs) {
            Search search{m_owner, nullptr};
            EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr && search.found != previous) {
                return search.found;
            }
            Sleep(kPollMs);
        }
        return nullptr;
    }

    void Run() {
        HWND previous = nullptr;
        for (const std::string& answer : m_answers) {
            HWND dialog = WaitForDialog(previous);
            if (dialog == nullptr) {
                return;
            }
            if (answer.empty()) {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else {
                window_test::AnswerFileDialog(dialog, answer);
            }
            ++m_answered;
            previous = dialog;
        }
    }

    HWND m_owner;
    std::vector<std::string> m_answers;
    std::atomic<int> m_answered{0};
    std::thread m_thread;
};

template <typename... Values>
std::string Format(const char* pattern, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

class PreviewSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitPreviewGlobals();
        static toolkit::ToolkitWindowOptions placement;
        placement.width = preview_app::kWindowWidth;
        placement.height = preview_app::kWindowHeight;
        s_window = new host_test::TestWindow({}, &placement);
        Preview& p = ThePreview();
        p.window = s_window->Window();
        p.showMessage = RecordMessage;
        PreviewCreateControls();
    }

    static void TearDownTestSuite() {
        delete s_window;
        s_window = nullptr;
        ThePreview().window = nullptr;
    }

    void SetUp() override {
        Preview& p = ThePreview();
        p.changed = false;
        p.brush = -1;
        g_messages.clear();
        g_saveAnswer = toolkit::kResultCancel;
        ShowStacked(false);
    }

    // Loads an image as the program does, from a file of the temporary folder.
    void Load(const Bytes& image) {
        const std::string path = m_folder.File("Cartridge.nes");
        ASSERT_TRUE(WriteFileBytes(path, std::string(image.begin(), image.end())));
        PreviewLoadRom(path);
    }

    static void ChooseStage(int stage) {
        Preview& p = ThePreview();
        p.StageList.SelectedIndex(stage);
        PreviewSelectStage(p.StageList.m_handle, stage);
    }

    // A click on the map with a strip picture picked: cell column and row of one screen.
    static void PaintCell(int screen, int column, int row, std::int32_t tile) {
        Preview& p = ThePreview();
        p.brush = tile;
        PreviewOnPick(p.PreviewMapView.m_handle, (screen - 1) * kScreenColumns + column, row);
    }

    // What ticking or clearing the check "地图纵向" does.
    static void ShowStacked(bool stacked) {
        Preview& p = ThePreview();
        p.VerticalMapCheck.CheckButtonChecked(stacked);
        PreviewOnClick(p.VerticalMapCheck.m_handle);
    }

    static Bytes MapScreen(int screen) {
        return ScreenCells(ThePreview().PreviewMapView.MapExGetCells(), screen);
    }

    static Bytes StoredCells(int stage) {
        const Preview& p = ThePreview();
        return preview::ReadPreviewStage(p.cartridge.image, p.cartridge.tableValue, stage).cells;
    }

    static Bytes StoredScreen(int stage, int screen) {
        return ScreenCells(StoredCells(stage), screen);
    }

    static host_test::TestWindow* s_window;
    TempFolder m_folder;
};

host_test::TestWindow* PreviewSession::s_window = nullptr;

// After a commit wrote screen 3, screen 4 (on the same bytes) shows the written cells, and an
// edit of screen 4 starts from them instead of writing screen 3's old cells back.
TEST_F(PreviewSession, AScreenOnTheBytesOfAWrittenOneShowsTheWrittenCells) {
    ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(kSharedImage)));
    ChooseStage(kStageOne);
    ASSERT_TRUE(g_messages.empty());
    PaintCell(kSharedFirst, kSingleColumn, kRunsRow, kTile);
    ASSERT_TRUE(PreviewCommitStage()) << (g_messages.empty() ? "" : g_messages[0].text);
    EXPECT_EQ(MapScreen(kSharedSecond), MapScreen(kSharedFirst));

    PaintCell(kSharedSecond, kSingleColumn, kLiteralsRow, kTile);
    ASSERT_TRUE(PreviewCommitStage());
    const Bytes stored = StoredScreen(kStageOne, kSharedFirst);
    EXPECT_EQ(stored[kRunsRow * kScreenColumns + kSingleColumn], kTile)
        << "the first edit was written over";
    EXPECT_EQ(stored[kLiteralsRow * kScreenColumns + kSingleColumn], kTile);
    EXPECT_EQ(StoredScreen(kStageOne, kSharedSecond), stored);
    EXPECT_TRUE(g_messages.empty());
}

// The same with the screens stacked, where cell coordinates name cells otherwise: the map takes
// the written cells into screen 4 too, so the next commit does not write its old cells back.
TEST_F(PreviewSession, StackedAScreenOnTheBytesOfAWrittenOneShowsTheWrittenCells) {
    ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(kSharedImage)));
    ChooseStage(kStageOne);
    ShowStacked(true);
    Preview& p = ThePreview();
    ASSERT_TRUE(p.PreviewMapView.Vertical());
    // Stacked, the painted cell's row counts on through the rows of the screens before it.
    p.brush = kTile;
    PreviewOnPick(p.PreviewMapView.m_handle, kSingleColumn,
                  (kSharedFirst - 1) * preview::kScreenRows + kRunsRow);
    const int painted = kRunsRow * kScreenColumns + kSingleColumn;
    ASSERT_EQ(MapScreen(kSharedFirst)[painted], kTile);
    ASSERT_NE(MapScreen(kSharedSecond)[painted], kTile);

    for (const char* commit : {"first commit", "second commit"}) {
        SCOPED_TRACE(commit);
        ASSERT_TRUE(PreviewCommitStage()) << (g_messages.empty() ? "" : g_messages[0].text);
        EXPECT_EQ(StoredScreen(kStageOne, kSharedFirst)[painted], kTile)
            << "the paint was written over";
        EXPECT_EQ(p.PreviewMapView.MapExGetCells(), StoredCells(kStageOne));
    }
    EXPECT_TRUE(g_messages.empty());
}

// Open with unsaved paint, answered No, then the file dialog cancelled: nothing was opened, so
// the paint stays unsaved and the next save writes it.
TEST_F(PreviewSession, AnOpenCancelledAfterNoKeepsThePaintForTheNextSave) {
    ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(kSharedImage)));
    ChooseStage(kStageOne);
    PaintCell(kSharedFirst, kSingleColumn, kRunsRow, kTile);
    const Bytes shown = ThePreview().PreviewMapView.MapExGetCells();
    g_saveAnswer = toolkit::kResultNo;
    const std::string saved = m_folder.File("Saved.nes");
    {
        FileDialogAnswers answers(ThePreview().window, {std::string(), saved});
        EXPECT_EQ(PreviewOpenRomCommand(), 0);
        EXPECT_TRUE(ThePreview().changed);
        EXPECT_EQ(ThePreview().PreviewMapView.MapExGetCells(), shown);
        EXPECT_TRUE(PreviewSaveRomCommand());
        EXPECT_EQ(answers.Answered(), 2);
    }
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0].text, preview_app::kAskSaveChanges);
    EXPECT_EQ(g_messages[1].icon, toolkit::kMessageBoxIconInformation) << g_messages[1].text;
    std::string written;
    ASSERT_TRUE(ReadFileBytes(saved, written));
    const Preview& p = ThePreview();
    const Bytes savedCells = preview::ReadPreviewStage(Bytes(written.begin(), written.end()),
                                                       p.cartridge.tableValue, kStageOne)
                                 .cells;
    EXPECT_EQ(ScreenCells(savedCells, kSharedFirst)[kRunsRow * kScreenColumns + kSingleColumn],
              kTile);
}

// A file that cannot be read is named, and the map stays empty; "incomplete" is said only of a
// file that was read whole but is too short for the stage tables.
TEST_F(PreviewSession, AFileThatCannotBeReadIsNamedAndOnlyAShortOneIsIncomplete) {
    const std::string folder = m_folder.File("Folder.nes");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const Bytes& whole = preview_test::Sample(kImageA);
    const std::string locked = m_folder.File("Locked.nes");
    ASSERT_TRUE(WriteFileBytes(locked, std::string(whole.begin(), whole.end())));
    // Held open elsewhere with no sharing: it exists and cannot be read.
    const toolkit::FileHandle holder(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    const std::string tooShort = m_folder.File("Short.nes");
    ASSERT_TRUE(WriteFileBytes(tooShort, std::string(whole.begin(), whole.begin() + kScreenCells)));
    const struct {
        std::string path;
        bool readable;
    } cases[] = {
        {m_folder.File("Missing.nes"), false},
        {folder, false},
        {locked, false},
        {tooShort, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_NO_FATAL_FAILURE(Load(whole));
        ChooseStage(kStageOne);
        ASSERT_FALSE(ThePreview().PreviewMapView.MapExGetCells().empty());
        g_messages.clear();
        PreviewLoadRom(c.path);
        ASSERT_EQ(g_messages.size(), 1u);
        const std::string& text = g_messages[0].text;
        EXPECT_EQ(g_messages[0].icon, toolkit::kMessageBoxIconError);
        if (c.readable) {
            EXPECT_EQ(text, preview_app::kRomTooShort);
        } else {
            EXPECT_EQ(text.rfind(preview_app::kRomNotRead + c.path, 0), 0u) << text;
            EXPECT_NE(text.find(preview_app::kMapStaysEmpty), std::string::npos) << text;
        }
        EXPECT_TRUE(ThePreview().PreviewMapView.MapExGetCells().empty());
    }
}

TEST_F(PreviewSession, AScreenOutsideTheBankWindowIsSaidOnceAndTakesNoPaint) {
    ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(kWindowImage)));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].text.find("FFFF"), std::string::npos) << g_messages[0].text;
    ChooseStage(kStageTwo);
    ChooseStage(kStageOne);
    EXPECT_EQ(g_messages.size(), 1u) << "showing a stage again said it again";

    const Bytes before = ThePreview().cartridge.image;
    PaintCell(1, 0, 0, kTile);
    EXPECT_EQ(MapScreen(1), Bytes(kScreenCells, preview::kNoPictureCell));
    EXPECT_FALSE(ThePreview().changed);
    // The editor's decoder refuses this image, so no byte of it is known to be free.
    PaintCell(2, 0, 0, kTile);
    EXPECT_FALSE(ThePreview().changed);
    EXPECT_EQ(ThePreview().cartridge.image, before);

    // In an image the decoder takes, only the hidden screen refuses paint.
    Bytes image = preview_test::Sample(kImageA);
    SetWord(image, ScreenEntryOffset(preview_test::kIndoorStage, preview_test::kIndoorSpareScreen),
            preview_test::kBeyondWindow);
    g_messages.clear();
    ASSERT_NO_FATAL_FAILURE(Load(image));
    EXPECT_EQ(g_messages.size(), 1u);
    ChooseStage(preview_test::kIndoorStage);
    PaintCell(preview_test::kIndoorSpareScreen, 0, 0, kTile);
    EXPECT_FALSE(ThePreview().changed);
    PaintCell(1, 0, 0, kTile);
    EXPECT_TRUE(ThePreview().changed);
}

// A load that leaves an image only to look at says why once, in the preview's own words: an
// image of the large layout, whose levels lie where the preview does not read, or one the
// editor's decoder refuses (named by the stage, the screen or the boss room at fault). Such an
// image takes no paint. A screen whose new form needs more than its room names both lengths.
TEST_F(PreviewSession, WhatCannotBeWrittenIsSaidInThePreviewsWords) {
    struct Case {
        const char* image;
        std::string says;  // the message's end
    };
    const Case cases[] = {
        {preview_test::kLargeImage, preview_app::kRomLargeViewOnly},
        {"WindowObjectList.nes",
         preview_app::kRomViewOnly + Format(preview_app::kWhyLevelUnreadable, kStageOne)},
        {"WindowScreenCrossesEnd.nes",
         preview_app::kRomViewOnly + Format(preview_app::kWhyScreenUnreadable, kStageOne, 1)},
        {"LieBossPastEnd.nes",
         std::string(preview_app::kRomViewOnly) + preview_app::kWhyBossRoomUnreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        g_messages.clear();
        ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(c.image)));
        ASSERT_EQ(g_messages.size(), 1u);
        const std::string& text = g_messages[0].text;
        ASSERT_GE(text.size(), c.says.size()) << text;
        EXPECT_EQ(text.substr(text.size() - c.says.size()), c.says) << text;
        EXPECT_EQ(g_messages[0].icon, toolkit::kMessageBoxIconWarning);
        ChooseStage(kStageOne);
        PaintCell(1, 0, 0, kTile);
        EXPECT_FALSE(ThePreview().changed) << "an image only to look at took paint";
    }

    // Stage 5 of image A keeps its screens back to back: a paint that breaks a run of its first
    // screen needs more bytes than the screen has.
    g_messages.clear();
    ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(kImageA)));
    ChooseStage(preview_test::kPackedStage);
    PaintCell(1, preview_test::kPackedRunColumn, preview_test::kPackedRunRow, kTile);
    EXPECT_FALSE(PreviewCommitStage());
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].text.rfind(
                  Format(preview_app::kScreenDoesNotFit, preview_test::kPackedStage, 1,
                         preview_test::kPackedFormAfterPaint, preview_test::kPackedRoom),
                  0),
              0u)
        << g_messages[0].text;
}

// A refused commit names every screen and structure that stood in its way, and the map shows
// the stage as stored again.
TEST_F(PreviewSession, ARefusalNamesEveryScreenInTheWay) {
    struct Paint {
        int screen;
        int column;
        int row;
        std::int32_t tile;
    };
    struct Case {
        const char* name;
        std::vector<int> redirected;  // screens of stage 1 pointed at the first one's bytes
        std::vector<Paint> paints;
    };
    const std::string separator = preview_app::kListSeparator;
    // The last cell of screen 1 stands among different tiles; so does the last one of screen 2
    // read from one byte into screen 1.
    constexpr int kLastColumn = kScreenColumns - 1;
    constexpr int kLastRow = preview::kScreenRows - 1;
    const Case cases[] = {
        {"three screens on one pointer",
         {2, 3},
         {{1, kLastColumn, kLastRow, kTile},
          {2, kLastColumn, kLastRow, kOtherTile},
          {3, kLastColumn, kLastRow, kTile}}},
        {"a screen one byte into another",
         {},
         {{1, kLastColumn, kLastRow, kTile}, {2, 0, 0, kTile}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = preview_test::Sample(kImageA);
        const int32_t first = WordAt(image, ScreenEntryOffset(kStageOne, 1));
        // The line of screen 1: the pattern of its refusal with what it names.
        const char* pattern = preview_app::kScreensShareBytes;
        std::string named;
        if (c.redirected.empty()) {
            SetWord(image, ScreenEntryOffset(kStageOne, 2), first + 1);
            pattern = preview_app::kScreenTouchesOther;
            named = Format(preview_app::kNameScreen, kStageOne, 2);
        }
        for (int screen : c.redirected) {
            SetWord(image, ScreenEntryOffset(kStageOne, screen), first);
            named += (named.empty() ? "" : separator) + std::to_string(screen);
        }
        char expected[512];
        std::snprintf(expected, sizeof expected, pattern, kStageOne, 1, named.c_str());
        ASSERT_NO_FATAL_FAILURE(Load(image));
        ChooseStage(kStageOne);
        const Bytes shown = ThePreview().PreviewMapView.MapExGetCells();
        g_messages.clear();
        for (const Paint& paint : c.paints)
            PaintCell(paint.screen, paint.column, paint.row, paint.tile);
        EXPECT_FALSE(PreviewCommitStage());
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_NE(g_messages[0].text.find(expected), std::string::npos) << g_messages[0].text;
        EXPECT_EQ(ThePreview().PreviewMapView.MapExGetCells(), shown);
        EXPECT_EQ(ThePreview().cartridge.image, image);
    }
}

}  // namespace

TEST_F(PreviewSession, ASaveThatCannotWriteSaysWhy) {
    ASSERT_NO_FATAL_FAILURE(Load(preview_test::Sample(kImageA)));
    const std::string oldContent = "the file as it was";
    const std::string readOnly = m_folder.File("ReadOnly.nes");
    ASSERT_TRUE(WriteFileBytes(readOnly, oldContent));
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {readOnly, preview_app::kTargetReadOnly},
        {m_folder.File("Missing\\Saved.nes"), preview_app::kTargetNoFolder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        g_messages.clear();
        EXPECT_FALSE(PreviewWriteRom(c.path));
        ASSERT_EQ(g_messages.size(), 1u);
        const std::string& text = g_messages[0].text;
        EXPECT_EQ(text.rfind(preview_app::kRomNotSaved, 0), 0u) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(g_messages[0].icon, toolkit::kMessageBoxIconError);
    }
    std::string kept;
    ASSERT_TRUE(ReadFileBytes(readOnly, kept));
    EXPECT_EQ(kept, oldContent);

    const std::string saved = m_folder.File("Saved.nes");
    g_messages.clear();
    EXPECT_TRUE(PreviewWriteRom(saved));
    std::string written;
    ASSERT_TRUE(ReadFileBytes(saved, written));
    EXPECT_TRUE(Bytes(written.begin(), written.end()) == ThePreview().cartridge.image);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].icon, toolkit::kMessageBoxIconInformation);
}
