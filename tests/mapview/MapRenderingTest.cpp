// The map and the picker drawn for the sample cartridge's levels, read back pixel by pixel:
// which picture lies in which cell of both copies, where grid, section lines and object marks
// fall, and how a level that cannot be drawn is shown.
#include "MapViewTestSupport.h"

#include "support/MapPicProbe.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <vector>

namespace mapview_test {
namespace {

using Gdiplus::ARGB;
using mappic_probe::kProbeX;
using mappic_probe::kProbeY;

constexpr int kCell = 32;
constexpr int kColumns = 8;
constexpr int kHalfCell = kCell / 2;
constexpr int kDefaultSeparation = 5;
constexpr int kBossPlaceFirst = 9;
constexpr int kBossRoomKindItem = 2;
// Line colours no super-tile picture contains, so a line pixel is unmistakable.
constexpr ARGB kGridColour = 0xFF123456;
constexpr ARGB kSectionColour = 0xFF654321;
constexpr ARGB kMarkRed = 0x00FF0000;
constexpr unsigned kMarkAlpha = 150;
constexpr ARGB kPickerEdge = 0xFFFF0000;
constexpr ARGB kPickerGround = 0x140088FF;
constexpr int kPickerWidth = 256;
constexpr int kPickerHeight = 512;

unsigned AlphaOf(ARGB colour) {
    return colour >> 24;
}

// The sample levels shown through a recording host, with the program folder's pictures.
class MapView : public testing::Test {
protected:
    MapView() : levels(SampleLevelsWithoutObjects()) {
        view.pictureFolder = SamplePictureFolder();
        view.settings.gridColour = kGridColour;
        view.settings.sectionColour = kSectionColour;
    }
    ~MapView() override { ResetMapView(view, host); }

    const LevelRecord& Show(int place) {
        EXPECT_EQ(SelectLevel(view, host, levels, place), 1);
        return levels.records[static_cast<size_t>(place) - 1];
    }
    Gdiplus::GpImage* Composed() { return view.composed.Bitmap(); }

    LevelList levels;
    MapViewState view;
    RecordingHost host;
};

// Where a cell lies in the composed picture, worked out here independently of the view code.
struct CellPlaces {
    int64_t plainX, plainY, inGameX, inGameY;
};

CellPlaces PlacesOf(const LevelRecord& level, int separation, int s, int c, int r) {
    const int n = LevelScreenCount(level);
    if (level.vertical != 0) {
        const int64_t x = (c - 1) * kCell;
        const int64_t inGameLeft = kColumns * kCell + separation;
        return {x, ((n - s) * 8 + r - 1) * kCell, inGameLeft + x,
                (n - s) * (15 * kHalfCell) + (r - 1) * kCell};
    }
    const int64_t x = ((s - 1) * kColumns + c - 1) * kCell;
    const int64_t y = (r - 1) * kCell;
    return {x, y, x, 7 * kCell + separation + y};
}

struct SizeCase {
    int place;
    int composedWidth, composedHeight;
    int plainWidth, plainHeight;
    int inGameWidth, inGameHeight;
    int orientationItem, kindItem;
};

TEST_F(MapView, SampleLevelsComposeToTheirSizes) {
    const SizeCase cases[] = {
        {1, 1280, 453, 1280, 224, 1280, 224, 0, 0},  // outdoor, 5 screens
        {2, 1024, 453, 1024, 224, 1024, 224, 0, 1},  // indoor, 4 screens
        {3, 517, 1024, 256, 1024, 256, 960, 1, 0},   // vertical, 4 screens
        {6, 517, 768, 256, 768, 256, 720, 1, 0},     // vertical, 3 screens
        {8, 3072, 453, 3072, 224, 3072, 224, 0, 0},  // outdoor, 12 screens
        {9, 256, 453, 256, 224, 256, 224, 0, kBossRoomKindItem},
        {10, 256, 453, 256, 224, 256, 224, 0, kBossRoomKindItem},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.place);
        Show(c.place);
        EXPECT_EQ(host.mapPicture, Composed());
        EXPECT_EQ(PictureWidth(Composed()), c.composedWidth);
        EXPECT_EQ(PictureHeight(Composed()), c.composedHeight);
        EXPECT_EQ(PictureWidth(view.layers.plainMap), c.plainWidth);
        EXPECT_EQ(PictureHeight(view.layers.plainMap), c.plainHeight);
        EXPECT_EQ(PictureWidth(view.layers.InGameMap()), c.inGameWidth);
        EXPECT_EQ(PictureHeight(view.layers.InGameMap()), c.inGameHeight);
        EXPECT_EQ(host.levelItem, c.place - 1);
        EXPECT_EQ(host.orientationItem, c.orientationItem);
        EXPECT_EQ(host.kindItem, c.kindItem);
    }
}

TEST_F(MapView, EveryCellShowsItsPictureInBothCopies) {
    for (int place = 1; place <= static_cast<int>(levels.records.size()); ++place) {
        const LevelRecord& level = Show(place);
        for (int s = 1; s <= LevelScreenCount(level); ++s) {
            const ByteArray& cells = level.screens[static_cast<size_t>(s) - 1].cells;
            for (int r = 1; r <= LevelRows(level); ++r) {
                for (int c = 1; c <= kColumns; ++c) {
                    SCOPED_TRACE(testing::Message() << "place " << place << " screen " << s
                                                    << " row " << r << " column " << c);
                    const CellPlaces at = PlacesOf(level, kDefaultSeparation, s, c, r);
                    const int value = cells[static_cast<size_t>((r - 1) * kColumns + c - 1)];
                    int pictureLevel = 0;
                    int index = 0;
                    ASSERT_TRUE(ProbeAt(Composed(), at.plainX + kProbeX, at.plainY + kProbeY,
                                        pictureLevel, index));
                    EXPECT_EQ(pictureLevel, level.number);
                    EXPECT_EQ(index, value);
                    // A vertical level's last row is a half row here; its probe lies in the
                    // upper half, and the screen below starts right after it.
                    ASSERT_TRUE(ProbeAt(Composed(), at.inGameX + kProbeX, at.inGameY + kProbeY,
                                        pictureLevel, index));
                    EXPECT_EQ(pictureLevel, level.number);
                    EXPECT_EQ(index, value);
                }
            }
        }
    }
}

TEST_F(MapView, VerticalLevelStacksScreensUpwardAndEndsItsInGameCopyEarly) {
    const LevelRecord& level = Show(3);
    const int plainHeight = 1024;
    const int inGameHeight = 960;
    const int inGameLeft = kColumns * kCell + kDefaultSeparation;
    // Screen 1 occupies the plain copy's bottom 256 pixels.
    int pictureLevel = 0;
    int index = 0;
    ASSERT_TRUE(
        ProbeAt(Composed(), kProbeX, plainHeight - 8 * kCell + kProbeY, pictureLevel, index));
    EXPECT_EQ(index, level.screens[0].cells[0]);
    // Below the in-game copy's last half row the picture stays empty.
    EXPECT_NE(AlphaOf(PixelAt(Composed(), inGameLeft + kProbeX, inGameHeight - 1)), 0u);
    EXPECT_EQ(PixelAt(Composed(), inGameLeft + kProbeX, inGameHeight), 0u);
    EXPECT_EQ(PixelAt(Composed(), inGameLeft + kProbeX, plainHeight - 1), 0u);
    // The gap between the copies stays empty too.
    EXPECT_EQ(PixelAt(Composed(), kColumns * kCell, kProbeY), 0u);
    EXPECT_EQ(PixelAt(Composed(), inGameLeft - 1, kProbeY), 0u);
}

TEST_F(MapView, GridAndSectionLinesFallOnEachCellsTopAndLeftEdges) {
    for (int place : {1, 3}) {
        const LevelRecord& level = Show(place);
        const bool vertical = level.vertical != 0;
        for (int s = 1; s <= LevelScreenCount(level); ++s) {
            for (int r = 1; r <= LevelRows(level); ++r) {
                for (int c = 1; c <= kColumns; ++c) {
                    SCOPED_TRACE(testing::Message() << "place " << place << " screen " << s
                                                    << " row " << r << " column " << c);
                    const bool section = vertical ? r == 1 : c == 1;
                    const ARGB colour = section ? kSectionColour : kGridColour;
                    const CellPlaces at = PlacesOf(level, kDefaultSeparation, s, c, r);
                    const int halfRow = vertical && r == LevelRows(level);
                    EXPECT_EQ(PixelAt(Composed(), at.plainX, at.plainY + kHalfCell), colour);
                    EXPECT_EQ(PixelAt(Composed(), at.plainX + kHalfCell, at.plainY), colour);
                    EXPECT_EQ(PixelAt(Composed(), at.inGameX + kHalfCell, at.inGameY), colour);
                    EXPECT_EQ(PixelAt(Composed(), at.inGameX,
                                      at.inGameY + (halfRow ? kHalfCell / 2 : kHalfCell)),
                              colour);
                    // Inside the cell no line is drawn.
                    EXPECT_NE(PixelAt(Composed(), at.plainX + 1, at.plainY + kHalfCell), colour);
                }
            }
        }
    }
}

// Every object mark of a level (left edge, top edge in the plain copy, top edge in the in-game
// copy), whether or not it lies inside the picture: the sample image's objects, and objects added
// here where the image has none that show.
struct Mark {
    int left, plainTop, inGameTop;
};

// The size of a copy, which each objects layer has too, and where the in-game copy starts.
struct Copies {
    int width, height, inGameLeft, inGameTop;
};
constexpr Copies kFiveScreensAcross = {1280, 224, 0, 229};
constexpr Copies kFourScreensAcross = {1024, 224, 0, 229};
constexpr Copies kFourScreensUp = {256, 1024, 261, 0};
constexpr Copies kThreeScreensUp = {256, 768, 261, 0};

struct AddedObject {
    int entryNumber, x, y;
};

struct LevelMarks {
    const char* what;
    int place;
    Copies copies;
    std::vector<AddedObject> added;
    std::vector<Mark> marks;
};

// clang-format off
const LevelMarks kLevelMarks[] = {
    {"outdoor: the same place in both copies; list 6's mark lies past the last screen",
     1, kFiveScreensAcross, {},
     {{496, 64, 64}, {528, 32, 32}, {560, 8, 8}, {560, 32, 32}, {560, 56, 56}, {768, 16, 16},
      {864, 88, 88}, {1056, 112, 112}, {1184, 0, 0}, {1184, 24, 24}, {1752, -8, -8}}},
    // The sample's marks all lie below the picture; the added ones lie in the last two screens.
    {"indoor: x runs up the picture, and the in-game screens are half a row lower",
     2, kFourScreensAcross, {{3, 242, 500}, {4, 100, 900}},
     {{752, 592, 560}, {1776, 638, 606}, {1010, 512, 480}, {242, 318, 302}, {1520, 352, 336},
      {484, 206, 190}, {884, 124, 124}}},
    {"vertical, 4 screens: marks overlap, cross the left edge, lie above the picture",
     3, kFourScreensUp, {},
     {{96, 696, 664}, {32, 624, 592}, {48, 624, 592}, {-8, 480, 464}, {0, -160, -144},
      {16, -160, -144}, {32, -160, -144}, {48, -160, -144}}},
    {"vertical, 3 screens: the last screen's marks at the same height in both copies",
     6, kThreeScreensUp, {},
     {{-16, 488, 472}, {-8, 456, 440}, {-16, 168, 168}, {-8, 168, 168}, {8, 168, 168}}},
};
// clang-format on

// A copy of a picture; pictures are not copied by assignment, since a copy may not fit in memory.
toolkit::ArgbPixels CopyOf(const toolkit::ArgbPixels& source) {
    toolkit::ArgbPixels copy;
    EXPECT_TRUE(copy.Make(source.Width(), source.Height()));
    toolkit::CopyPixels(copy, 0, 0, source, 0, 0, source.Width(), source.Height());
    return copy;
}

// The composed picture with every mark of a level over the same picture without them: each copy's
// marks filled by GDI+ onto a transparent layer of the copy's size, and the layer drawn over the
// copy, so that a mark reaches no further than its own copy.
toolkit::ArgbPixels WithMarks(const toolkit::ArgbPixels& withoutMarks, const LevelMarks& level) {
    namespace gp = Gdiplus::DllExports;
    toolkit::ArgbPixels expected = CopyOf(withoutMarks);
    toolkit::GpBitmapPtr picture;
    gp::GdipCreateBitmapFromScan0(expected.Width(), expected.Height(), expected.Stride(),
                                  PixelFormat32bppARGB, reinterpret_cast<BYTE*>(expected.Data()),
                                  picture.put());
    toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(picture.get());
    toolkit::GpSolidFillPtr brush;
    gp::GdipCreateSolidFill(kMarkRed | kMarkAlpha << 24, brush.put());
    for (const bool inGame : {false, true}) {
        const Copies& copies = level.copies;
        toolkit::GpBitmapPtr layer = toolkit::CreateBitmap(copies.width, copies.height);
        toolkit::GpGraphicsPtr layerGraphics = toolkit::GetImageGraphics(layer.get());
        toolkit::ClearGraphics(layerGraphics.get(), 0);
        for (const Mark& mark : level.marks) {
            gp::GdipFillRectangleI(layerGraphics.get(), brush.get(), mark.left,
                                   inGame ? mark.inGameTop : mark.plainTop, kCell, kCell);
        }
        layerGraphics.reset();
        gp::GdipDrawImageRectI(graphics.get(), layer.get(), inGame ? copies.inGameLeft : 0,
                               inGame ? copies.inGameTop : 0, copies.width, copies.height);
    }
    // GDI+ lets go of the memory before it is handed on.
    graphics.reset();
    picture.reset();
    return expected;
}

TEST_F(MapView, EveryObjectMarkLiesWhereItsObjectIs) {
    for (const LevelMarks& level : kLevelMarks) {
        SCOPED_TRACE(level.what);
        levels = SampleLevelsWithoutObjects();
        Show(level.place);
        const toolkit::ArgbPixels withoutMarks = CopyOf(view.composed.Pixels());
        levels = SampleLevels();
        LevelRecord& record = levels.records[static_cast<size_t>(level.place) - 1];
        for (const AddedObject& added : level.added) {
            LevelObject object;
            object.entryNumber = added.entryNumber;
            object.x = added.x;
            object.y = added.y;
            record.objectLists.front().objects.push_back(object);
        }
        Show(level.place);
        ExpectSamePixels(view.composed.Pixels(), WithMarks(withoutMarks, level), "marks");
    }
}

TEST_F(MapView, PickerShowsEveryPictureInRowsOfEight) {
    const LevelRecord& level = Show(1);
    Gdiplus::GpImage* picker = host.pickerPicture;
    ASSERT_EQ(picker, view.picker.Bitmap());
    EXPECT_EQ(PictureWidth(picker), kPickerWidth);
    EXPECT_EQ(PictureHeight(picker), kPickerHeight);
    for (int k = 0; k < kSuperTileCount; ++k) {
        SCOPED_TRACE(k);
        const int x = k % kColumns * kCell;
        const int y = k / kColumns * kCell;
        int pictureLevel = 0;
        int index = 0;
        ASSERT_TRUE(ProbeAt(picker, x + kProbeX, y + kProbeY, pictureLevel, index));
        EXPECT_EQ(pictureLevel, level.number);
        EXPECT_EQ(index, k);
        EXPECT_EQ(PixelAt(picker, x + kHalfCell, y), kPickerEdge);
        EXPECT_EQ(PixelAt(picker, x, y + kHalfCell), kPickerEdge);
    }
    // SelectLevel picked the super-tile under picker point (2, 2) and showed it.
    EXPECT_EQ(view.selectedTile, 0);
    EXPECT_EQ(host.previewCalls, 1);
}

TEST_F(MapView, MissingPicturesLeaveBlankCellsAndThePickerGround) {
    view.pictureFolder = SamplePictureFolder() + "NoSuchFolder\\";
    Show(1);
    ASSERT_NE(Composed(), nullptr);
    const CellPlaces at = PlacesOf(levels.records[0], kDefaultSeparation, 1, 2, 2);
    EXPECT_EQ(PixelAt(view.layers.plainMap, at.plainX + kProbeX, at.plainY + kProbeY), 0u);
    EXPECT_EQ(PixelAt(Composed(), at.plainX, at.plainY + kHalfCell), kGridColour);
    EXPECT_EQ(PixelAt(view.picker.Bitmap(), kHalfCell, kHalfCell), kPickerGround);
    EXPECT_EQ(view.selectedTile, 0);
    EXPECT_TRUE(host.preview.empty());
}

TEST_F(MapView, SeparationIsClampedWhenDrawingAndKeptAsStored) {
    struct Case {
        int32_t stored;
        int composedHeight;  // of the 224-pixel-high first level
    };
    const Case cases[] = {{0, 448}, {-50, 448}, {1000, 1448}, {5000, 1448}, {INT32_MIN, 448}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        view.settings.separation = c.stored;
        Show(1);
        EXPECT_EQ(PictureHeight(Composed()), c.composedHeight);
        EXPECT_EQ(view.settings.separation, c.stored);
    }
}

TEST_F(MapView, LevelsWhosePicturesCannotBeMadeShowAnEmptyMap) {
    LevelRecord huge = levels.records[1];  // indoor: 4 screens a base screen
    huge.baseScreenCount = 255;
    LevelRecord none = levels.records[1];
    none.baseScreenCount = 0;
    for (const LevelRecord& level : {huge, none}) {
        SCOPED_TRACE(LevelScreenCount(level));
        levels.records[1] = level;
        Show(2);
        EXPECT_EQ(Composed(), nullptr);
        EXPECT_EQ(host.mapPicture, nullptr);
        EXPECT_FALSE(view.layers.Complete());
        // The picker still works.
        EXPECT_EQ(host.pickerPicture, view.picker.Bitmap());
        EXPECT_NE(host.pickerPicture, nullptr);
    }
}

TEST_F(MapView, SelectLevelOutsideTheListChangesNothing) {
    Show(3);
    Gdiplus::GpImage* shown = host.mapPicture;
    for (int32_t n : {0, -1, 11}) {
        EXPECT_EQ(SelectLevel(view, host, levels, n), 0);
        EXPECT_EQ(view.currentLevel, 3);
        EXPECT_EQ(host.mapPicture, shown);
    }
}

TEST_F(MapView, ResetTakesThePicturesAwayFirst) {
    Show(1);
    ResetMapView(view, host);
    EXPECT_EQ(host.mapPicture, nullptr);
    EXPECT_EQ(host.pickerPicture, nullptr);
    EXPECT_EQ(view.currentLevel, 0);
    EXPECT_EQ(Composed(), nullptr);
    EXPECT_TRUE(view.pictures.empty());
}

}  // namespace
}  // namespace mapview_test
