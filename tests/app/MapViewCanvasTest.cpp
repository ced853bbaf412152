// What the map view and the picker show, read from their canvases: after a level is selected,
// panned and edited (each placement repainting only its cells), the canvases equal what a full
// repaint of the pictures drawn the straightforward GDI+ way gives.
#include "AppTestSupport.h"

#include "ReferenceRendering.h"
#include "app/Commands.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <vector>

namespace app_test {
namespace {

constexpr const char* kImages[] = {"SampleSmall.nes", "SampleLarge.nes"};
// A drag that pans the map view right and down, so that more of the in-game copy shows.
constexpr POINT kDragFrom = {300, 200};
constexpr POINT kDragTo = {200, 120};
constexpr int kPlacedTile = 0x2A;

std::vector<std::uint32_t> CanvasPixels(const toolkit::Element& element) {
    const auto* bits = static_cast<const std::uint32_t*>(element.m_canvasBits);
    return std::vector<std::uint32_t>(
        bits, bits + static_cast<size_t>(element.m_width) * static_cast<size_t>(element.m_height));
}

void Drag(controls::ImageViewer_Ex& viewer, POINT from, POINT to) {
    viewer.PreFilterMessage(nullptr, viewer.m_handle, WM_LBUTTONDOWN, MK_LBUTTON,
                            MAKELPARAM(from.x, from.y));
    viewer.PreFilterMessage(nullptr, viewer.m_handle, WM_MOUSEMOVE, MK_LBUTTON,
                            MAKELPARAM(to.x, to.y));
    viewer.PreFilterMessage(nullptr, viewer.m_handle, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

// Cells in view (the first screen's top rows, a vertical level's last screen) and out of it
// (the last row, a half row in a vertical level's in-game copy).
std::vector<HoverCell> Placements(const LevelRecord& level) {
    const int32_t n = LevelScreenCount(level);
    return {{1, 1, 1, 0, 0}, {1, 4, 2, 0, 0}, {n, 2, 1, 0, 0}, {1, 3, LevelRows(level), 0, 0}};
}

class MapViewCanvasTest : public EditorTest {};

TEST_F(MapViewCanvasTest, PartialRepaintsEqualAFullStraightforwardRepaint) {
    MainWindow& w = window();
    for (const char* image : kImages) {
        ASSERT_TRUE(OpenCartridge(editor(), ProgramFile(image)));
        LevelList& levels = editor().cartridge.levels;
        for (int32_t place = 1; place <= static_cast<int32_t>(levels.records.size()); ++place) {
            SCOPED_TRACE(testing::Message() << image << " level " << place);
            MapViewState& view = editor().view;
            ASSERT_EQ(SelectLevel(view, w, levels, place), 1);
            Drag(w.MapView, kDragFrom, kDragTo);
            for (const HoverCell& cell :
                 Placements(levels.records[static_cast<size_t>(place) - 1])) {
                view.hover = cell;
                view.selectedTile = kPlacedTile;
                PlaceSuperTile(view, w, editor().OpenLevels());
            }
            const std::vector<std::uint32_t> mapShown = CanvasPixels(w.MapView);
            const std::vector<std::uint32_t> pickerShown = CanvasPixels(w.TilePicker);

            const LevelRecord& level = levels.records[static_cast<size_t>(place) - 1];
            const std::string folder =
                view.pictureFolder.empty() ? MapPictureFolder() : view.pictureFolder;
            const auto pictures = mapview_test::LoadReferencePictures(folder, level.number);
            mapview_test::ReferenceLayers layers;
            ASSERT_TRUE(
                mapview_test::RenderReferenceLayers(level, pictures, view.settings, layers));
            toolkit::GpBitmapPtr composed =
                mapview_test::ComposeReferenceLayers(level, layers, view.settings.separation);
            toolkit::GpBitmapPtr picker =
                mapview_test::DrawReferencePicker(pictures, view.settings);
            w.MapView.SetViewerPicture(composed.get());
            w.TilePicker.SetViewerPicture(picker.get());
            EXPECT_TRUE(CanvasPixels(w.MapView) == mapShown);
            EXPECT_TRUE(CanvasPixels(w.TilePicker) == pickerShown);
            // The viewers get the view's own pictures back before the references go.
            w.MapView.SetViewerPicture(view.composed.Bitmap());
            w.TilePicker.SetViewerPicture(view.picker.Bitmap());
        }
    }
}

}  // namespace
}  // namespace app_test
