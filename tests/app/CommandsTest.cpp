// Saving in-process: what is written (the image with the edits, through a temporary
// file moved over the target) and what is refused without writing; and the small rules the
// commands rest on.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "TempFolder.h"
#include "app/Commands.h"
#include "fileio/FileDialog.h"
#include "cartridge/LevelDecoder.h"
#include "app/EditorTexts.h"

namespace app_test {
namespace {

constexpr char kSmallSample[] = "SampleSmall.nes";
constexpr char kOldContent[] = "the file as it was before the save";
constexpr char kTempFilePattern[] = "\\vnm*.tmp";
// Screen 1 of level 1 starts with a long run of one super-tile; a different tile in its middle
// makes its form longer, which its padded slot has room for.
constexpr int kRunCell = 11;
constexpr uint8_t kBreakingTile = 0x07;
// Level 5's screens are packed back to back: breaking the run of screen 3 needs more than the
// bytes up to screen 4, and so does breaking the run of screen 1.
constexpr int kPackedPlace = 5;
constexpr int kPackedScreens[] = {1, 3};
constexpr int kPackedRunCell = 20;
// Row 4 of level 1's screen 1 holds eight different tiles; one more different one still fits.
// The screen lies at 8200 in bank 2 and starts with a run of 24 cells in two bytes, so the
// row's second cell is the form's fourth byte.
constexpr int kLiteralCell = 3 * kLevelColumns + 1;
constexpr size_t kLiteralCellOffset = 0x8210 + 3;
constexpr uint8_t kFittingTile = 0x05;
// The forms the two packed screens need with the run broken (make_sample_roms.py's encoding),
// and their rooms: their stored lengths, as the next screen follows at once.
constexpr size_t kPackedNeeded[] = {31, 13};
constexpr size_t kPackedRoom[] = {28, 10};

bool LeftTemporaryFiles(const TempFolder& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder.Path() + kTempFilePattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

class SaveTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        m_target = m_folder.File("Saved.nes");
        ASSERT_TRUE(WriteFileBytes(m_target, kOldContent));
    }

    void Open() {
        ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
        s_messages.clear();
    }

    // Sets a cell of a screen (level 1, screen 1 unless given), as a placement does.
    void Place(int cell, uint8_t tile, int place = 1, int screen = 1) {
        editor().cartridge.levels.records[place - 1].screens[screen - 1].cells[cell] = tile;
    }

    // One message of the key, with the reason (when given) on the lines after it.
    void ExpectOnlyMessage(settings::LanguageText key, MessageIcon icon,
                           const std::string& reason = std::string()) {
        ASSERT_EQ(s_messages.size(), 1u);
        EXPECT_EQ(s_messages[0].text.substr(0, Text(key).size()), Text(key));
        EXPECT_EQ(s_messages[0].icon, icon);
        if (!reason.empty()) {
            EXPECT_NE(s_messages[0].text.find(reason), std::string::npos) << s_messages[0].text;
        }
    }

    TempFolder m_folder;
    std::string m_target;
};

TEST_F(SaveTest, WritesTheEditedImageAndSaysSo) {
    Open();
    Place(kLiteralCell, kFittingTile);
    ASSERT_TRUE(SaveCartridge(editor(), m_target));

    // The literal takes one byte of the stored form: the sample with that byte changed.
    ByteArray expected = ReadBytes(ProgramFile(kSmallSample));
    expected.at(kLiteralCellOffset) = kFittingTile;
    EXPECT_TRUE(ReadBytes(m_target) == expected) << "the file is not the edited image";
    EXPECT_TRUE(editor().cartridge.RomImage == expected);
    ExpectOnlyMessage(settings::kTextMessageSaveSuccessfully, kMessageIconInformation);
    EXPECT_FALSE(LeftTemporaryFiles(m_folder));

    // The next save starts from the image just written.
    s_messages.clear();
    EXPECT_TRUE(SaveCartridge(editor(), m_folder.File("Again.nes")));
    EXPECT_TRUE(ReadBytes(m_folder.File("Again.nes")) == expected);
}

TEST_F(SaveTest, ALongerFormGrowsIntoItsRoom) {
    Open();
    Place(kRunCell, kBreakingTile);
    EXPECT_TRUE(SaveCartridge(editor(), m_target));
    ExpectOnlyMessage(settings::kTextMessageSaveSuccessfully, kMessageIconInformation);
}

// Every screen over its room is named with the bytes it needs and its room, in the language
// file's words, and nothing is written.
TEST_F(SaveTest, EditsOverTheirRoomWriteNothingAndNameEveryScreen) {
    Open();
    for (int screen : kPackedScreens) {
        Place(kPackedRunCell, kBreakingTile, kPackedPlace, screen);
    }
    EXPECT_FALSE(SaveCartridge(editor(), m_target));
    EXPECT_TRUE(ReadFile(m_target) == kOldContent) << "the old file changed";
    ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError);
    for (size_t i = 0; i < std::size(kPackedScreens); ++i) {
        const int screen = kPackedScreens[i];
        const std::string line = FillText(Text(settings::kTextSaveScreenTooLong),
                                          {{"level", std::to_string(kPackedPlace)},
                                           {"screen", std::to_string(screen)},
                                           {"needed", std::to_string(kPackedNeeded[i])},
                                           {"room", std::to_string(kPackedRoom[i])}});
        EXPECT_NE(s_messages[0].text.find(line), std::string::npos) << s_messages[0].text;
    }
    EXPECT_FALSE(LeftTemporaryFiles(m_folder));
}

// ".nes" in any capitalisation is a cartridge file; any other ending is refused with its
// reason, and a cancelled dialog says nothing.
TEST_F(SaveTest, TheEndingDecidesAndIsExplained) {
    Open();
    const std::string capitals = m_folder.File("Other.NES");
    EXPECT_TRUE(SaveCartridge(editor(), capitals));
    EXPECT_TRUE(ReadBytes(capitals) == editor().cartridge.RomImage);
    for (const std::string& path :
         {m_folder.File("Other.nes.bak"), std::string("nes"), std::string(".ne")}) {
        s_messages.clear();
        EXPECT_FALSE(SaveCartridge(editor(), path)) << path;
        EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
        ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError,
                          Text(settings::kTextSaveWrongExtension));
    }
    s_messages.clear();
    EXPECT_FALSE(SaveCartridge(editor(), ""));
    EXPECT_TRUE(s_messages.empty());
}

TEST_F(SaveTest, NothingOpenIsRefusedWithoutWriting) {
    EXPECT_FALSE(SaveCartridge(editor(), m_target));
    EXPECT_TRUE(ReadFile(m_target) == kOldContent) << "the old file changed";
    ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError,
                      Text(settings::kTextSaveNothingOpen));
}

// A file that cannot be written is refused with the reason, and leaves nothing behind.
TEST_F(SaveTest, AFailedWriteIsReportedWithItsReason) {
    Open();
    const std::string folderTarget = m_folder.File("Folder.nes");
    ASSERT_TRUE(CreateDirectoryA(folderTarget.c_str(), nullptr));
    const std::string readOnly = m_folder.File("ReadOnly.nes");
    ASSERT_TRUE(WriteFileBytes(readOnly, kOldContent));
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const struct {
        std::string path;
        settings::LanguageText reason;
    } cases[] = {
        {folderTarget, settings::kTextSaveCannotWrite},  // a folder cannot become a file
        {m_folder.File("Missing\\Saved.nes"), settings::kTextSaveNoFolder},
        {readOnly, settings::kTextSaveReadOnly},
    };
    for (const auto& c : cases) {
        s_messages.clear();
        EXPECT_FALSE(SaveCartridge(editor(), c.path)) << c.path;
        ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError, Text(c.reason));
    }
    EXPECT_TRUE(ReadFile(readOnly) == kOldContent) << "the read-only file changed";
    EXPECT_NE(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(LeftTemporaryFiles(m_folder));
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WriteFileReplacing, ReplacesOnlyWithEveryByteWritten) {
    TempFolder folder;
    const std::string target = folder.File("Target.bin");
    ASSERT_TRUE(WriteFileBytes(target, kOldContent));
    const ByteArray bytes(100000, 0x5A);
    EXPECT_EQ(WriteFileReplacing(target, bytes), WriteOutcome::Written);
    EXPECT_TRUE(ReadBytes(target) == bytes);
    EXPECT_EQ(WriteFileReplacing(folder.File("Empty.bin"), ByteArray()), WriteOutcome::Written);
    EXPECT_EQ(GetFileAttributesA(folder.File("Empty.bin").c_str()) != INVALID_FILE_ATTRIBUTES,
              true);
    EXPECT_EQ(WriteFileReplacing(folder.File("NoFolder\\Target.bin"), bytes),
              WriteOutcome::NoFolder);
    EXPECT_FALSE(LeftTemporaryFiles(folder));
}

TEST(WriteFileReplacing, RefusesAReadOnlyTarget) {
    TempFolder folder;
    const std::string target = folder.File("ReadOnly.bin");
    ASSERT_TRUE(WriteFileBytes(target, kOldContent));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string old = kOldContent;
    EXPECT_EQ(WriteFileReplacing(target, ByteArray(old.size() + 1, 0x5A)), WriteOutcome::ReadOnly);
    EXPECT_TRUE(ReadBytes(target) == ByteArray(old.begin(), old.end()));
    EXPECT_FALSE(LeftTemporaryFiles(folder));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

class OpenTextTest : public EditorTest {};

// Why the decoder refused an image, in the language file's words with the level, the screen
// and the bound filled in; nothing for a refusal that names no level.
TEST_F(OpenTextTest, OpenRefusalsAreSaidInTheLanguageFilesWords) {
    constexpr int kBossPlace = 10;  // shown as "A", as the level list shows it
    constexpr int kScreen = 3;
    const auto result = [](CodecProblem problem, int level, int screen) {
        return CodecResult::Failure("an English sentence", level, screen, problem);
    };
    const struct {
        CodecResult refusal;
        std::string text;
    } cases[] = {
        {result(CodecProblem::ScreenUnreadable, kBossPlace, kScreen),
         FillText(Text(settings::kTextOpenScreenUnreadable),
                  {{"level", "A"}, {"screen", std::to_string(kScreen)}})},
        {result(CodecProblem::LevelUnreadable, kBossPlace, 0),
         FillText(Text(settings::kTextOpenLevelUnreadable), {{"level", "A"}})},
        {result(CodecProblem::TooManyObjects, kBossPlace, 0),
         FillText(Text(settings::kTextOpenTooManyObjects),
                  {{"level", "A"}, {"limit", std::to_string(kMaxDecodedObjects)}})},
        {result(CodecProblem::Other, 0, 0), std::string()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenRefusalText(editor(), c.refusal), c.text) << c.refusal.message;
    }
    // Every text says something, and the bound is filled in.
    for (settings::LanguageText key :
         {settings::kTextOpenCannotRead, settings::kTextOpenLevelUnreadable,
          settings::kTextOpenScreenUnreadable, settings::kTextOpenTooManyObjects}) {
        EXPECT_FALSE(Text(key).empty()) << key;
    }
    EXPECT_NE(OpenRefusalText(editor(), cases[2].refusal).find(std::to_string(kMaxDecodedObjects)),
              std::string::npos);
}

TEST(BytesStartWith, ComparesTheLeadingBytesExactly) {
    struct Case {
        ByteArray bytes;
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {{'N', 'E', 'S', 0x1A}, "NES", true},
        {{'N', 'E', 'S'}, "NES", true},
        {{'N', 'E'}, "NES", false},
        {{'n', 'e', 's', 0x1A}, "NES", false},
        {{}, "NES", false},
        {{}, "", true},
        {{'V', 'e', 'n', 'n', 'm', 'a', 'r', 'k', 0}, "Vennmark", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BytesStartWith(c.bytes, c.text), c.expected) << c.text << " " << c.bytes.size();
    }
}

TEST(HasCartridgeExtension, WantsDotNesInAnyCaseAtTheEnd) {
    struct Case {
        const char* path;
        bool expected;
    };
    const Case cases[] = {{"C:\\a.nes", true}, {".nes", true},        {"C:\\a.NES", true},
                          {"a.Nes", true},     {"C:\\a.nes ", false}, {"nes", false},
                          {"", false},         {"a.vmp", false},      {"a.nes.vmp", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(HasCartridgeExtension(c.path), c.expected) << c.path;
    }
}

TEST(FileDialogText, FilterAndRememberedFolder) {
    const std::string filter = DialogFilter("A(*.a)|*.a|All|*.*");
    constexpr char kExpected[] = "A(*.a)\0*.a\0All\0*.*\0";
    EXPECT_EQ(filter, std::string(kExpected, sizeof kExpected - 1));
    EXPECT_EQ(filter.c_str()[filter.size()], '\0') << "the filter ends in two NULs";
    EXPECT_EQ(FolderOfName("C:\\games\\a.nes"), "C:\\games\\");
    EXPECT_EQ(FolderOfName("a.nes"), "");
    EXPECT_EQ(FolderOfName(""), "");
}

}  // namespace
}  // namespace app_test
