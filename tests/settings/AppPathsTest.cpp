// The data-folder paths and the folder creation behind them, in a temporary folder.
#include "settings/AppPaths.h"
#include "settings/Palette.h"

#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    char module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH), 0u);
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(std::string(module).rfind(folder + "\\", 0), 0u);
    EXPECT_TRUE(FolderExists(folder));
}

TEST(DataFilePaths, JoinFolderAndNameWithoutCreatingAnything) {
    const std::string folder = ProgramFolder();
    const bool configExisted = FolderExists(folder + "\\config");
    EXPECT_EQ(ConfigFilePath("Appliction.ini"), folder + "\\config\\Appliction.ini");
    EXPECT_EQ(LanguageFilePath("Chinese.ini"), folder + "\\language\\Chinese.ini");
    EXPECT_EQ(ResourceFilePath("PaletteOfNes.txt"), folder + "\\resources\\PaletteOfNes.txt");
    EXPECT_EQ(FolderExists(folder + "\\config"), configExisted);
}

TEST(LanguageFilePathFor, KeepsTheNameInsideTheLanguageFolder) {
    const std::string folder = ProgramFolder() + "\\language\\";
    EXPECT_EQ(LanguageFilePathFor("English"), folder + "English.ini");
    // A GBK character whose trail byte is 0x5C is no backslash.
    const std::string trailBackslash = "\x81\x5C";
    EXPECT_EQ(LanguageFilePathFor(trailBackslash), folder + trailBackslash + ".ini");
    for (const char* unsafe : {"..\\config\\Appliction", "a/b", "C:x", "..", "x..y"}) {
        EXPECT_EQ(LanguageFilePathFor(unsafe), folder + "Chinese.ini") << unsafe;
    }
}

TEST(EnsureFolderPath, CreatesEveryMissingLevel) {
    TempFolder temp;
    const std::string nested = temp.File("a\\b\\c\\");
    EXPECT_TRUE(EnsureFolderPath(nested));
    EXPECT_TRUE(FolderExists(temp.File("a\\b\\c")));
    // Existing folders are fine.
    EXPECT_TRUE(EnsureFolderPath(nested));
}

TEST(EnsureFolderPath, WantsATrailingBackslash) {
    TempFolder temp;
    EXPECT_FALSE(EnsureFolderPath(temp.File("a\\b")));
    EXPECT_FALSE(EnsureFolderPath(""));
    EXPECT_FALSE(FolderExists(temp.File("a")));
}

TEST(EnsureFolderPath, FailsUnderAFile) {
    TempFolder temp;
    ASSERT_TRUE(WriteFileBytes(temp.File("file"), "x"));
    EXPECT_FALSE(EnsureFolderPath(temp.File("file\\sub\\")));
}

TEST(JoinAndEnsureFolder, CreatesOnlyFolderPaths) {
    TempFolder temp;
    EXPECT_EQ(JoinAndEnsureFolder(temp.Path() + "\\x\\", "name.ini"),
              temp.Path() + "\\x\\name.ini");
    EXPECT_FALSE(FolderExists(temp.File("x")));
    EXPECT_EQ(JoinAndEnsureFolder(temp.Path() + "\\x\\", ""), temp.Path() + "\\x\\");
    EXPECT_TRUE(FolderExists(temp.File("x")));
}

TEST(ReadNesPalette, ReadsTheFileOrNothing) {
    TempFolder temp;
    EXPECT_TRUE(ReadNesPalette(temp.File("missing.txt")).empty());
    ASSERT_TRUE(WriteFileBytes(temp.File("palette.txt"), "3f\r\n\r\nFFFFA8FF\r\n"));
    EXPECT_EQ(ReadNesPalette(temp.File("palette.txt")), (std::vector<std::int32_t>{63, 0, -22273}));
}

}  // namespace
