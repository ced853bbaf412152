// The editor's map and picker pictures, drawn in its own memory, against the straightforward
// GDI+ drawing of ReferenceRendering.h, pixel for pixel: for every level of the sample images,
// after SelectLevel and after a series of placements, with the default line colours and with
// see-through ones (so that GDI+'s blending of partly transparent pixels is matched too).
#include "MapViewTestSupport.h"
#include "ReferenceRendering.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace mapview_test {
namespace {

using Gdiplus::ARGB;

constexpr const char* kSampleImages[] = {"SampleSmall.nes", "SampleLarge.nes", "Vertical2.nes",
                                         "SharedScreens.nes"};
// Line colours with alpha, so that lines blend over each other and over the map.
constexpr ARGB kSeeThroughGrid = 0x80123456;
constexpr ARGB kSeeThroughSection = 0x40FEDCBA;
constexpr int kOddSeparation = 3;
// Super-tiles placed in turn; the same cell is placed twice in the series.
constexpr int kPlacedTiles[] = {0x7F, 0x00, 0x35, 0x42};

LevelList DecodeImage(const std::string& name) {
    return DecodeTestImage(std::string(VENNMARK_TESTDATA_DIR "/") + name);
}

// The cells a series of placements visits: the corners of the first and last screen, with the
// last row (a vertical level's half row in the in-game copy) among them, and one cell twice.
std::vector<HoverCell> PlacementCells(const LevelRecord& level) {
    const int32_t n = LevelScreenCount(level);
    const int32_t rows = LevelRows(level);
    return {{1, 1, 1, 0, 0},
            {1, kLevelColumns, rows, 0, 0},
            {n, 1, rows, 0, 0},
            {n, 4, 2, 0, 0},
            {1, 1, 1, 0, 0},
            {n, kLevelColumns, 1, 0, 0},
            {(n + 1) / 2, 3, rows, 0, 0}};
}

class MapPixelIdentity : public testing::TestWithParam<const char*> {
protected:
    void CheckEveryLevel(const char* image, const MapViewSettings& settings) {
        LevelList levels = DecodeImage(image);
        for (int32_t place = 1; place <= static_cast<int32_t>(levels.records.size()); ++place) {
            SCOPED_TRACE(testing::Message() << image << " level " << place);
            MapViewState view;
            RecordingHost host;
            view.pictureFolder = SamplePictureFolder();
            view.settings = settings;
            ASSERT_EQ(SelectLevel(view, host, levels, place), 1);
            LevelRecord& level = levels.records[static_cast<size_t>(place) - 1];
            const std::vector<toolkit::GpImagePtr> pictures =
                LoadReferencePictures(view.pictureFolder, level.number);
            ExpectShowsReference(view, host, level, pictures);
            toolkit::GpBitmapPtr picker = DrawReferencePicker(pictures, settings);
            ExpectSamePixels(host.pickerPicture, picker.get(), "picker");

            size_t turn = 0;
            for (const HoverCell& cell : PlacementCells(level)) {
                view.hover = cell;
                view.selectedTile = kPlacedTiles[turn++ % std::size(kPlacedTiles)];
                ASSERT_EQ(PlaceSuperTile(view, host, &levels), 1);
            }
            ExpectShowsReference(view, host, level, pictures);
            ResetMapView(view, host);
        }
    }

    // The view shows the composed picture a fresh GDI+ rendering of the level, as it is now,
    // gives.
    void ExpectShowsReference(MapViewState& view, RecordingHost& host, const LevelRecord& level,
                              const std::vector<toolkit::GpImagePtr>& pictures) {
        ReferenceLayers layers;
        ASSERT_TRUE(RenderReferenceLayers(level, pictures, view.settings, layers));
        toolkit::GpBitmapPtr composed =
            ComposeReferenceLayers(level, layers, view.settings.separation);
        ASSERT_EQ(host.mapPicture, view.composed.Bitmap());
        ExpectSamePixels(host.mapPicture, composed.get(), "composed picture");
    }
};

TEST_P(MapPixelIdentity, DefaultColours) {
    CheckEveryLevel(GetParam(), MapViewSettings{});
}

INSTANTIATE_TEST_SUITE_P(SampleImages, MapPixelIdentity, testing::ValuesIn(kSampleImages));

// The small image has levels of every orientation and kind; one image is enough here.
TEST_F(MapPixelIdentity, SeeThroughLinesAndAnotherSeparation) {
    MapViewSettings settings;
    settings.gridColour = kSeeThroughGrid;
    settings.sectionColour = kSeeThroughSection;
    settings.separation = kOddSeparation;
    CheckEveryLevel(kSampleImages[0], settings);
}

}  // namespace
}  // namespace mapview_test
