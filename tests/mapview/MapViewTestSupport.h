// Shared by the map view tests: GDI+ for the whole program, the sample cartridge's levels, the
// generated super-tile pictures, a host that records what the view hands to the controls, and
// pixel reading.
#pragma once

#include "view/MapEditing.h"
#include "view/MapViewState.h"

#include <cstdint>
#include <string>

namespace mapview_test {

// Image A of tools/make_sample_roms.py, decoded once.
// The levels of a cartridge image file, decoded as Open does; a refused image fails the test.
LevelList DecodeTestImage(const std::string& path);
const LevelList& SampleLevels();
// A copy of the sample levels with every object list emptied, so that no object mark covers a
// probe pixel.
LevelList SampleLevelsWithoutObjects();

// The program folder's MapPic folder (tests run with the program folder as working folder).
std::string SamplePictureFolder();

// The ARGB pixel at (x, y) of a picture; 0 outside it.
Gdiplus::ARGB PixelAt(Gdiplus::GpImage* picture, int64_t x, int64_t y);
int PictureWidth(Gdiplus::GpImage* picture);
int PictureHeight(Gdiplus::GpImage* picture);
// The same for a picture in the program's memory.
inline Gdiplus::ARGB PixelAt(const toolkit::ArgbPixels& picture, int64_t x, int64_t y) {
    return picture.At(x, y);
}
inline int PictureWidth(const toolkit::ArgbPixels& picture) {
    return picture.Width();
}
inline int PictureHeight(const toolkit::ArgbPixels& picture) {
    return picture.Height();
}

// Every pixel of a picture equals the expected one; a failure counts the pixels that differ and
// names the first, so that it says where to look.
void ExpectSamePixels(const toolkit::ArgbPixels& actual, const toolkit::ArgbPixels& expected,
                      const char* what);
void ExpectSamePixels(Gdiplus::GpImage* actual, Gdiplus::GpImage* expected, const char* what);

// Which super-tile picture's probe lies at (x, y): false when the pixel is no probe.
bool ProbeAt(Gdiplus::GpImage* picture, int64_t x, int64_t y, int& level, int& index);

class RecordingHost : public MapViewHost {
public:
    void SetMapPicture(Gdiplus::GpImage* picture) override {
        mapPicture = picture;
        ++mapPictureCalls;
    }
    void SetPickerPicture(Gdiplus::GpImage* picture) override { pickerPicture = picture; }
    void MapPictureChanged(const toolkit::PixelRect& area) override {
        changedArea = area;
        ++mapChangedCalls;
    }
    void SetTilePreview(const toolkit::ByteArray& png) override {
        preview = png;
        ++previewCalls;
    }
    void SelectLevelItems(int32_t level, int32_t orientation, int32_t kind) override {
        levelItem = level;
        orientationItem = orientation;
        kindItem = kind;
    }
    void SetStatusSection(const std::string& text) override { status[0] = text; }
    void SetStatusColumn(const std::string& text) override { status[1] = text; }
    void SetStatusRow(const std::string& text) override { status[2] = text; }
    ViewerOffset MapViewOffset() override { return mapOffset; }
    ViewerOffset TilePickerOffset() override { return pickerOffset; }
    bool EditModeOn() override { return editMode; }
    // As the main window does: the picker's click routine.
    int ClickTilePicker(MapViewState& view, int32_t x, int32_t y) override {
        return OnImageClick(view, *this, nullptr, ImageTarget::TilePicker, x, y, 0);
    }

    Gdiplus::GpImage* mapPicture = nullptr;
    Gdiplus::GpImage* pickerPicture = nullptr;
    int mapPictureCalls = 0;
    toolkit::PixelRect changedArea;
    int mapChangedCalls = 0;
    toolkit::ByteArray preview;
    int previewCalls = 0;
    int32_t levelItem = -1;
    int32_t orientationItem = -1;
    int32_t kindItem = -1;
    std::string status[3];
    ViewerOffset mapOffset;
    ViewerOffset pickerOffset;
    bool editMode = false;
};

}  // namespace mapview_test
