// Switching levels in the main window: the map view shows exactly the new level, at the scroll
// the level before left as far as the new picture allows, and the switch never holds two levels'
// map pictures at once.
#include "AppTestSupport.h"

#include "LargeAllocations.h"
#include "ReferenceRendering.h"
#include "app/Commands.h"
#include "controls/ImageViewerEx.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace app_test {
namespace {

constexpr char kSmallSample[] = "SampleSmall.nes";
// Two vertical levels of 4 and 3 screens: their map pictures are equally wide (both copies and
// the gap) and of different heights.
constexpr int kLongVertical = 3;
constexpr int kShortVertical = 6;

std::vector<std::uint32_t> CanvasPixels(const toolkit::Element& element) {
    const auto* bits = static_cast<const std::uint32_t*>(element.m_canvasBits);
    return std::vector<std::uint32_t>(
        bits, bits + static_cast<size_t>(element.m_width) * static_cast<size_t>(element.m_height));
}

std::vector<std::uint32_t> PicturePixels(Gdiplus::GpImage* picture) {
    toolkit::ArgbPixels pixels;
    if (picture == nullptr || !toolkit::ReadImagePixels(picture, pixels)) {
        return {};
    }
    return std::vector<std::uint32_t>(
        pixels.Data(), pixels.Data() + static_cast<size_t>(pixels.Width()) * pixels.Height());
}

class LevelSwitchTest : public EditorTest {
protected:
    void SelectLevelItem(int place) {
        MainWindow& w = window();
        w.LevelList.SRectSetSelected(place - 1, true);
        CommandCallback(w.LevelList.m_handle, place - 1);
        ASSERT_EQ(editor().view.currentLevel, place);
    }

    // Pans the map view as far right and down as a drag goes.
    void PanToTheFarCorner() {
        controls::ImageViewer_Ex& viewer = window().MapView;
        const LPARAM from = MAKELPARAM(viewer.m_width - 1, viewer.m_height - 1);
        viewer.PreFilterMessage(nullptr, viewer.m_handle, WM_LBUTTONDOWN, MK_LBUTTON, from);
        viewer.PreFilterMessage(nullptr, viewer.m_handle, WM_MOUSEMOVE, MK_LBUTTON, 0);
        viewer.PreFilterMessage(nullptr, viewer.m_handle, WM_LBUTTONUP, 0, 0);
    }

    // The map view shows the current level's picture as the straightforward GDI+ drawing makes
    // it, pixel for pixel, and its canvas is what it shows of that drawing at its offsets.
    void ExpectShowsExactlyTheLevel() {
        MainWindow& w = window();
        MapViewState& view = editor().view;
        const LevelRecord& level =
            editor().cartridge.levels.records.at(static_cast<size_t>(view.currentLevel) - 1);
        const auto pictures = mapview_test::LoadReferencePictures(view.pictureFolder, level.number);
        mapview_test::ReferenceLayers layers;
        ASSERT_TRUE(mapview_test::RenderReferenceLayers(level, pictures, view.settings, layers));
        toolkit::GpBitmapPtr reference =
            mapview_test::ComposeReferenceLayers(level, layers, view.settings.separation);
        ASSERT_TRUE(reference);

        Gdiplus::GpImage* shown = w.MapView.Picture();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(toolkit::GetImageWidth(shown), toolkit::GetImageWidth(reference.get()));
        EXPECT_EQ(toolkit::GetImageHeight(shown), toolkit::GetImageHeight(reference.get()));
        EXPECT_TRUE(PicturePixels(shown) == PicturePixels(reference.get()))
            << "the map picture differs from the level's drawing";

        const std::vector<std::uint32_t> canvas = CanvasPixels(w.MapView);
        w.MapView.SetViewerPicture(reference.get());
        EXPECT_TRUE(CanvasPixels(w.MapView) == canvas)
            << "the map view shows something else than the level's drawing";
        w.MapView.SetViewerPicture(shown);
    }

    // Each offset as far as the viewer's picture allows.
    void ExpectOffsetsClampedFrom(const ViewerOffset& before) {
        controls::ImageViewer_Ex& viewer = window().MapView;
        Gdiplus::GpImage* picture = viewer.Picture();
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(
            viewer.ViewerOffsetX(),
            controls::ClampViewerOffset(before.x, toolkit::GetImageWidth(picture), viewer.m_width));
        EXPECT_EQ(viewer.ViewerOffsetY(),
                  controls::ClampViewerOffset(before.y, toolkit::GetImageHeight(picture),
                                              viewer.m_height));
    }
};

// The composed picture keeps its memory only for a picture of the same size: the shorter level
// gets a picture of its own height, and the longer one again after it.
TEST_F(LevelSwitchTest, VerticalLevelsOfAnotherLengthShowExactlyTheNewLevel) {
    ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(kSmallSample)));
    MainWindow& w = window();
    for (const int place : {kLongVertical, kShortVertical, kLongVertical}) {
        SCOPED_TRACE(testing::Message() << "level " << place);
        const ViewerOffset before = w.MapViewOffset();
        ASSERT_NO_FATAL_FAILURE(SelectLevelItem(place));
        ExpectOffsetsClampedFrom(before);
        ExpectShowsExactlyTheLevel();
        // The next level is entered from the far corner of this one.
        PanToTheFarCorner();
        ExpectShowsExactlyTheLevel();
    }
}

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
