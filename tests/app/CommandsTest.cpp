// Saving in-process: what is written (the encoder's image of the edits, through a temporary
// file moved over the target) and what is refused without writing; and the small rules the
// commands rest on.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "TempFolder.h"
#include "app/Commands.h"
#include "app/FileDialog.h"
#include "codec/LevelDecoder.h"
#include "codec/LevelEncoder.h"
#include "codec/RomLayout.h"

namespace app_test {
namespace {

constexpr char kSmallSample[] = "SampleSmall.nes";
constexpr char kOldContent[] = "the file as it was before the save";
constexpr char kTempFilePattern[] = "\\vnm*.tmp";
// Screen 1 of level 1 starts with a long run of one super-tile; a different tile in its middle
// makes the screen longer than the bytes it has.
constexpr int kRunCell = 11;
constexpr uint8_t kBreakingTile = 0x07;
// Row 4 of that screen holds eight different tiles; one more different one still fits.
constexpr int kLiteralCell = 3 * kLevelColumns + 1;
constexpr uint8_t kFittingTile = 0x05;

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

    // Sets a cell of level 1, screen 1, as a placement does.
    void Place(int cell, uint8_t tile) {
        editor().cartridge.levels.records[0].screens[0].cells[cell] = tile;
    }

    void ExpectOnlyMessage(settings::LanguageText key, MessageIcon icon) {
        ASSERT_EQ(s_messages.size(), 1u);
        EXPECT_EQ(s_messages[0].text.substr(0, Text(key).size()), Text(key));
        EXPECT_EQ(s_messages[0].icon, icon);
    }

    TempFolder m_folder;
    std::string m_target;
};

TEST_F(SaveTest, WritesTheEncodersImageOfTheEditsAndSaysSo) {
    Open();
    Place(kLiteralCell, kFittingTile);
    ASSERT_TRUE(SaveCartridge(editor(), m_target));

    const ByteArray sample = ReadBytes(ProgramFile(kSmallSample));
    std::vector<int32_t> table;
    int32_t objects = 0;
    InitRomLayout(table, objects);
    LevelList levels;
    ASSERT_TRUE(DecodeLevels(sample, false, table, objects, levels));
    levels.records[0].screens[0].cells[kLiteralCell] = kFittingTile;
    ByteArray expected;
    ASSERT_TRUE(EncodeRom(sample, levels, false, table, expected));
    EXPECT_TRUE(ReadBytes(m_target) == expected) << "the file is not the encoded image";
    EXPECT_TRUE(editor().cartridge.RomImage == expected);
    ExpectOnlyMessage(settings::kTextMessageSaveSuccessfully, kMessageIconInformation);
    EXPECT_FALSE(LeftTemporaryFiles(m_folder));

    // The next save starts from the image just written.
    s_messages.clear();
    EXPECT_TRUE(SaveCartridge(editor(), m_folder.File("Again.nes")));
    EXPECT_TRUE(ReadBytes(m_folder.File("Again.nes")) == expected);
}

TEST_F(SaveTest, AnEditThatNoLongerFitsWritesNothingAndNamesTheScreen) {
    Open();
    Place(kRunCell, kBreakingTile);
    EXPECT_FALSE(SaveCartridge(editor(), m_target));
    EXPECT_TRUE(ReadFile(m_target) == kOldContent) << "the old file changed";
    ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError);
    EXPECT_NE(s_messages[0].text.find(LevelPlaceText(1, 1)), std::string::npos)
        << s_messages[0].text;
    EXPECT_FALSE(LeftTemporaryFiles(m_folder));
}

TEST_F(SaveTest, PathsNotEndingInDotNesAreIgnored) {
    Open();
    for (const char* name : {"Other.NES", "Other.nes.bak"}) {
        EXPECT_FALSE(SaveCartridge(editor(), m_folder.File(name)));
        EXPECT_EQ(GetFileAttributesA(m_folder.File(name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    }
    // Shorter than ".nes" itself, or the empty path of a cancelled dialog.
    for (const char* path : {"nes", ".ne", ""}) {
        EXPECT_FALSE(SaveCartridge(editor(), path)) << path;
    }
    EXPECT_TRUE(s_messages.empty());
}

TEST_F(SaveTest, NothingOpenIsRefusedWithoutWriting) {
    EXPECT_FALSE(SaveCartridge(editor(), m_target));
    EXPECT_TRUE(ReadFile(m_target) == kOldContent) << "the old file changed";
    ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError);
}

TEST_F(SaveTest, AFailedWriteIsReportedAndLeavesNothingBehind) {
    Open();
    // A folder cannot be replaced by a file.
    const std::string folderTarget = m_folder.File("Folder.nes");
    ASSERT_TRUE(CreateDirectoryA(folderTarget.c_str(), nullptr));
    EXPECT_FALSE(SaveCartridge(editor(), folderTarget));
    ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError);
    EXPECT_FALSE(LeftTemporaryFiles(m_folder));

    s_messages.clear();
    EXPECT_FALSE(SaveCartridge(editor(), m_folder.File("Missing\\Saved.nes")));
    ExpectOnlyMessage(settings::kTextMessageFailedToSave, kMessageIconError);
}

TEST(WriteFileReplacing, ReplacesOnlyWithEveryByteWritten) {
    TempFolder folder;
    const std::string target = folder.File("Target.bin");
    ASSERT_TRUE(WriteFileBytes(target, kOldContent));
    const ByteArray bytes(100000, 0x5A);
    EXPECT_TRUE(WriteFileReplacing(target, bytes));
    EXPECT_TRUE(ReadBytes(target) == bytes);
    EXPECT_TRUE(WriteFileReplacing(folder.File("Empty.bin"), ByteArray()));
    EXPECT_EQ(GetFileAttributesA(folder.File("Empty.bin").c_str()) != INVALID_FILE_ATTRIBUTES,
              true);
    EXPECT_FALSE(WriteFileReplacing(folder.File("NoFolder\\Target.bin"), bytes));
    EXPECT_FALSE(LeftTemporaryFiles(folder));
}

TEST(WriteFileReplacing, RefusesAReadOnlyTarget) {
    TempFolder folder;
    const std::string target = folder.File("ReadOnly.bin");
    ASSERT_TRUE(WriteFileBytes(target, kOldContent));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string old = kOldContent;
    EXPECT_FALSE(WriteFileReplacing(target, ByteArray(old.size() + 1, 0x5A)));
    EXPECT_TRUE(ReadBytes(target) == ByteArray(old.begin(), old.end()));
    EXPECT_FALSE(LeftTemporaryFiles(folder));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
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

TEST(HasCartridgeExtension, WantsExactlyDotNesAtTheEnd) {
    struct Case {
        const char* path;
        bool expected;
    };
    const Case cases[] = {{"C:\\a.nes", true},   {".nes", true},      {"C:\\a.NES", false},
                          {"C:\\a.nes ", false}, {"nes", false},      {"", false},
                          {"a.vmp", false},      {"a.nes.vmp", false}};
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
