// The save's last guard: a written image that would not read back as the levels saved into it
// is refused, whichever part of the levels differs.
#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/LevelEncoder.h"
#include "cartridge/ReadBack.h"
#include "cartridge/RomLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Level 7 has level 1's kind and screen count, and other screens.
constexpr int32_t kLevel7ScreenTable = kScreenTables + 6 * kScreenTableStride;
constexpr int32_t kOutsideTheBank = 0x0000;
constexpr int32_t kKindByteCannotHold = 0x100;  // the header keeps one byte of it
constexpr int kFirstBossPlace = 9;

struct ReadBackCase {
    const char* name;
    std::function<void(LevelList&)> change;
    int place;          // where the save is refused
    int screen;         // the screen the refusal names, 0 for none
    const char* reads;  // the level and screen the message says would read other data
};

// Changes the image would not hold as the editor has them: each passes every check before the
// write, and the read-back of the written image refuses it.
TEST(ReadBack, ASaveThatWouldNotReadBackIsRefused) {
    const ReadBackCase cases[] = {
        // The header is written, and level 1 then reads level 7's screens.
        {"another screen table",
         [](LevelList& l) { l.records[0].screenTable = kLevel7ScreenTable; }, 1, 0,
         "Level 1, screen 1"},
        // Nothing is written, but the image holds other objects than the levels.
        {"objects the image does not hold",
         [](LevelList& l) { ++l.records[0].objectLists[0].objects[0].type; }, 1, 0, nullptr},
        // The header is written, and its low byte is all the image keeps.
        {"a kind the header cannot hold",
         [](LevelList& l) { l.records[0].kind = kKindByteCannotHold; }, 1, 0, nullptr},
        // The header is written, and no level of the image can be read any more.
        {"a screen table outside the bank",
         [](LevelList& l) { l.records[0].screenTable = kOutsideTheBank; }, 1, 0, nullptr},
    };
    const ByteArray image = LoadTestImage(kImageA);
    const ByteArray kUntouched{0xEE};
    for (const ReadBackCase& c : cases) {
        SCOPED_TRACE(c.name);
        LevelList levels = DecodeOrFail(image);
        c.change(levels);
        const LevelList edited = levels;
        ByteArray output = kUntouched;
        const CodecResult result = EncodeImage(image, levels, output);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.problem, CodecProblem::ReadBack) << result.message;
        EXPECT_EQ(result.level, c.place) << result.message;
        EXPECT_EQ(result.screen, c.screen) << result.message;
        if (c.reads != nullptr) {
            EXPECT_NE(result.message.find(c.reads), std::string::npos) << result.message;
        }
        EXPECT_EQ(output, kUntouched);
        EXPECT_EQ(levels.source.imageChecksum, edited.source.imageChecksum);
        ASSERT_EQ(levels.records.size(), edited.records.size());
        EXPECT_EQ(levels.records[0].screenTable, edited.records[0].screenTable);
    }
}

// A level list of another length than the image's is found at the place just past the
// shorter one.
TEST(ReadBack, ALevelListOfAnotherLengthIsFound) {
    const ByteArray image = LoadTestImage(kImageA);
    const LevelList decoded = DecodeOrFail(image);
    const int count = static_cast<int>(decoded.records.size());
    const struct {
        const char* name;
        std::function<void(LevelList&)> change;
        ReadBackMismatch mismatch;
    } cases[] = {
        {"the same levels", [](LevelList&) {}, {0, 0}},
        {"a boss room fewer", [](LevelList& l) { l.records.pop_back(); }, {count, 0}},
        {"a boss room more",
         [](LevelList& l) { l.records.push_back(l.records[kFirstBossPlace - 1]); },
         {count + 1, 0}},
        {"another cell", [](LevelList& l) { ++l.records[0].screens[1].cells[0]; }, {1, 2}},
    };
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    InitRomLayout(table, objectTable);
    for (const auto& c : cases) {
        LevelList levels = decoded;
        c.change(levels);
        LevelList check;
        const ReadBackMismatch found = FindReadBackMismatch(image, levels, false, table, check);
        EXPECT_EQ(found.place, c.mismatch.place) << c.name;
        EXPECT_EQ(found.screen, c.mismatch.screen) << c.name;
    }
}

}  // namespace
