// Switching levels in the main window: the switch never holds two levels' map pictures at once.
#include "AppTestSupport.h"

#include "LargeAllocations.h"
#include "app/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace app_test {
namespace {

constexpr char kSmallSample[] = "SampleSmall.nes";

class LevelSwitchTest : public EditorTest {
protected:
    void SelectLevelItem(int place) {
        MainWindow& w = window();
        w.LevelList.SRectSetSelected(place - 1, true);
        CommandCallback(w.LevelList.m_handle, place - 1);
        ASSERT_EQ(editor().view.currentLevel, place);
    }
};

// At no moment of a switch does the program hold more memory in pictures and layers than the
// larger of the two levels needs: the old map picture is gone before the new one is made.
TEST_F(LevelSwitchTest, ASwitchNeverHoldsTwoLevelsPicturesAtOnce) {
    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
    const int count = static_cast<int>(editor().cartridge.levels.records.size());
    std::vector<int> places;
    for (int place = 1; place <= count; ++place) {
        places.push_back(place);
    }
    for (int place = count; place >= 1; --place) {
        places.push_back(place);
    }
    for (const int place : places) {
        SCOPED_TRACE(testing::Message() << "to level " << place);
        const std::size_t before = LiveLargeBytes();
        ResetLargePeak();
        ASSERT_NO_FATAL_FAILURE(SelectLevelItem(place));
        const std::size_t after = LiveLargeBytes();
        EXPECT_LE(PeakLargeBytes(), std::max(before, after))
            << "before " << before << ", after " << after;
    }
}

}  // namespace
}  // namespace app_test
