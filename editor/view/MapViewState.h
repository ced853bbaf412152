// The editor's map view state: the level shown, its super-tile pictures, the six layer pictures
// and the composed map, the picker picture, the selected super-tile and the hover cell; and the
// interface through which the view reaches the main window's controls.
//
// Pictures live in the program's own memory; the composed map and the picker also carry a GDI+
// bitmap over that memory for the viewers. Every GDI+ object here is owned by the state. The state
// must be reset (ResetMapView) before GDI+ shuts down, so it never lives in a static that outlasts
// the toolkit.
#pragma once

#include "foundation/ArgbPixels.h"
#include "foundation/Colour.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/ImageHelpers.h"
#include "foundation/PixelBitmap.h"
#include "settings/SettingsNames.h"
#include "view/MapGeometry.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The status line's own texts: the section item's caption, shown with the raw pointer position
// while no cartridge is open, and the captions of the two position items before any move.
inline constexpr const char kStatusSectionCaption[] = "Section";
inline constexpr const char kStatusXCaption[] = "X";
inline constexpr const char kStatusYCaption[] = "Y";

// The super-tile pictures of level n lie in <program folder>\MapPic\<n>\00.bmp .. 7F.bmp.
inline constexpr const char kMapPictureFolderName[] = "\\MapPic\\";
inline constexpr const char kMapPictureExtension[] = ".bmp";

// One super-tile picture of a level, in the program's own memory.
struct SuperTilePicture {
    // Empty when the file is missing or no decoder takes it: its cells stay blank.
    toolkit::ArgbPixels pixels;
    // Every pixel opaque, so that drawing the picture is a plain copy.
    bool opaque = false;
    // The file as it was read; the picker's preview is made from it.
    toolkit::ByteArray file;
};

// The six layers a level is rendered into; the composed map is made from them. A pixel of a
// map layer is either 0 or what a picture put there, never a transparent colour.
//
// Where the in-game copy would equal the plain one (a horizontal level's cells and grid, and its
// object marks unless it is indoor), the in-game layer is not made and the plain layer stands
// for it: a 12-screen level keeps 8 MB less.
struct MapLayers {
    toolkit::ArgbPixels plainMap;
    toolkit::ArgbPixels inGameMap;
    toolkit::ArgbPixels plainGrid;
    toolkit::ArgbPixels inGameGrid;
    toolkit::ArgbPixels plainObjects;
    toolkit::ArgbPixels inGameObjects;
    bool inGameCellsArePlain = false;  // in-game map and grid
    bool inGameMarksArePlain = false;  // in-game objects

    const toolkit::ArgbPixels& InGameMap() const {
        return inGameCellsArePlain ? plainMap : inGameMap;
    }
    const toolkit::ArgbPixels& InGameGrid() const {
        return inGameCellsArePlain ? plainGrid : inGameGrid;
    }
    const toolkit::ArgbPixels& InGameObjects() const {
        return inGameMarksArePlain ? plainObjects : inGameObjects;
    }
    bool Complete() const {
        return !plainMap.Empty() && !plainGrid.Empty() && !plainObjects.Empty() &&
               !InGameMap().Empty() && !InGameGrid().Empty() && !InGameObjects().Empty();
    }
    void Reset();
};

// The settings the view draws with (read at start-up and written back at exit by the editor).
struct MapViewSettings {
    int32_t cellWidth = kCellSize;
    int32_t cellHeight = kCellSize;
    int32_t pickerColumns = kPickerColumns;
    Gdiplus::ARGB gridColour = static_cast<Gdiplus::ARGB>(settings::kDefaultGridColour);
    Gdiplus::ARGB sectionColour = static_cast<Gdiplus::ARGB>(settings::kDefaultSectionColour);
    // As stored; drawing and hit testing clamp it (ClampSeparation).
    int32_t separation = settings::kDefaultSeparation;
};

struct MapViewState {
    int32_t currentLevel = 0;  // 1-based place in the level list; 0 while none is shown
    // The folder holding one sub-folder of pictures per level, ending in "\"; empty means the
    // program folder's MapPic folder.
    std::string pictureFolder;
    // kSuperTileCount pictures once a level is shown; an empty entry is a picture that could
    // not be loaded, and its cells stay blank.
    std::vector<SuperTilePicture> pictures;
    MapViewSettings settings;
    MapLayers layers;
    // The composed map. It shows the layers as they are, apart from the stale areas: rectangles
    // of the composed picture whose layer pixels changed since (a placed cell), which the next
    // RefreshMapView composes again. After new layers it is composed whole.
    toolkit::PixelBitmap composed;
    bool composedCurrent = false;
    std::vector<toolkit::PixelRect> staleAreas;
    toolkit::PixelBitmap picker;
    int32_t selectedTile = 0;
    HoverCell hover;  // the map cell last under the pointer
};

// Which element a click came from.
enum class ImageTarget {
    LogoBox,
    MapView,
    TilePicker,
};

struct ViewerOffset {
    int32_t x = 0;
    int32_t y = 0;
};

// A placement that left a screen needing more bytes than its room; over 0 means none.
struct RoomOverrun {
    int32_t place = 0;  // the level's place in the level list
    int32_t screen = 0;
    int64_t over = 0;  // bytes needed beyond the room
};

// What the view needs from the main window's controls. The main window implements it over its
// MapView and TilePicker viewers, the TilePreview box, the three level lists, EditModeCheck and
// StatusLabel; the tests implement it over plain fields.
class MapViewHost {
public:
    // The viewer's new picture (null for none), then a repaint. The picture stays owned by the
    // view state and lives until the next call.
    virtual void SetMapPicture(Gdiplus::GpImage* picture) = 0;
    virtual void SetPickerPicture(Gdiplus::GpImage* picture) = 0;
    // The pixels of the map picture changed inside the area (picture pixels, not empty): the
    // map view repaints what it shows of it.
    virtual void MapPictureChanged(const toolkit::PixelRect& area) = 0;
    // The selected super-tile's picture as PNG bytes; empty when it has no picture.
    virtual void SetTilePreview(const toolkit::ByteArray& png) = 0;
    // The items to select in LevelList, OrientationList and LevelKindList.
    virtual void SelectLevelItems(int32_t levelItem, int32_t orientationItem, int32_t kindItem) = 0;
    // Items 0, 1 and 2 of the status line.
    virtual void SetStatusSection(const std::string& text) = 0;
    virtual void SetStatusColumn(const std::string& text) = 0;
    virtual void SetStatusRow(const std::string& text) = 0;
    // The picture pixel each viewer shows at its picture area's top-left corner.
    virtual ViewerOffset MapViewOffset() = 0;
    virtual ViewerOffset TilePickerOffset() = 0;
    // Item 0 of EditModeCheck is selected.
    virtual bool EditModeOn() = 0;
    // Shows in InfoLabel which screen the last placement left over its room, or (over 0) that
    // none is. A host without that label ignores it.
    virtual void ShowRoomOverrun(const RoomOverrun& overrun) { (void)overrun; }
    // A click on the picker at element point (x, y) with no keys, which the view raises itself
    // (a new level picks its first super-tile so). The host hands it to the routine its picker's
    // clicks go to, with the view the click is for, and returns that routine's result; the view
    // never calls the editor's click routines itself.
    virtual int ClickTilePicker(MapViewState& view, int32_t x, int32_t y) = 0;

protected:
    ~MapViewHost() = default;
};
