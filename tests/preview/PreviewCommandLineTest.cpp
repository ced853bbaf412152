// The preview program's cartridge path from its command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/Preview.h"
#include "app/PreviewTexts.h"

namespace {

// The test data folder holds the sample images; its path has no blank, the copy's name has one.
const std::string kDataFolder = VENNMARK_TESTDATA_DIR;
const std::string kSample = kDataFolder + "\\SampleSmall.nes";
const std::string kSampleWithBlank = kDataFolder + "\\Sample with blank.nes";
const std::string kMissing = kDataFolder + "\\No such file.nes";

TEST(PreviewCommandLine, TakesTheFirstArgumentWholeAndRefusesAMissingFile) {
    ASSERT_TRUE(CopyFileA(kSample.c_str(), kSampleWithBlank.c_str(), FALSE));
    struct Case {
        std::string commandLine;
        bool goesOn;
        std::string path;
    };
    const Case cases[] = {
        {"vennmark_preview.exe", true, preview_app::kDefaultRomPath},
        {"\"C:\\a b\\vennmark_preview.exe\"", true, preview_app::kDefaultRomPath},
        {"vennmark_preview.exe \"" + kSampleWithBlank + "\"", true, kSampleWithBlank},
        {"vennmark_preview.exe \"" + kSampleWithBlank + "\" second", true, kSampleWithBlank},
        {"vennmark_preview.exe " + kSample, true, kSample},
        {"vennmark_preview.exe \"" + kMissing + "\"", false, kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const std::wstring wide(c.commandLine.begin(), c.commandLine.end());
        std::string path;
        EXPECT_EQ(PreviewPathFromCommandLine(wide.c_str(), path), c.goesOn);
        EXPECT_EQ(path, c.path);
    }
    DeleteFileA(kSampleWithBlank.c_str());
}

}  // namespace
