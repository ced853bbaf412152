// Super-tile pictures the shipped ones never are (they are all opaque 24-bit 32 x 32 BMPs): PNGs
// with see-through pixels, pictures smaller and larger than a cell, and a picture only a half row
// can show. The map and the picker are held against what drawing each cell's picture with GDI+
// itself gives, at the places written out here: the picture's top-left cell-sized part, unscaled,
// or nothing when the picture has no such part; see-through pixels blended over the picker's
// ground. The view shows them in pictures it reuses from the level shown before, so nothing of
// that level may show through.
#include "MapViewTestSupport.h"

#include "settings/TempFolder.h"
#include "support/BmpWriter.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mapview_test {
namespace {

namespace gp = Gdiplus::DllExports;
using Gdiplus::ARGB;

constexpr int kCell = 32;
constexpr int kHalfCell = kCell / 2;
constexpr int kColumns = 8;
constexpr int kLevelNumber = 1;
// Lines drawn in a colour with no alpha leave no pixel, so the composed picture is the two map
// copies alone.
constexpr ARGB kNoLine = 0;
constexpr ARGB kPickerGround = 0x140088FF;
constexpr int kPickerWidth = 256;
constexpr int kPickerHeight = 512;

// The pictures, by index modulo kKinds.
enum PictureKind { kSeeThrough, kLargerSeeThrough, kSmaller, kHalfRowOnly, kLargerOpaque, kKinds };

struct KindShape {
    int width, height;
    bool png;  // a see-through PNG; else an opaque 24-bit BMP
};
constexpr KindShape kShapes[kKinds] = {
    {32, 32, true}, {40, 40, true}, {16, 16, false}, {32, 16, true}, {40, 36, false}};

// Alphas from none to full, the edges included.
constexpr std::uint32_t kAlphas[] = {0x00, 0x01, 0x50, 0x80, 0xFE, 0xFF};
constexpr std::uint32_t kOpaque = 0xFF;
// Each pixel names its picture (red) and its place (green and blue), so a pixel drawn from the
// wrong picture or the wrong part of it shows.
constexpr int kRedStep = 2;
constexpr int kPlaceStep = 6;

std::uint32_t PicturePixel(int index, int x, int y) {
    const bool seeThrough = kShapes[index % kKinds].png;
    const std::uint32_t alpha = seeThrough ? kAlphas[(x + 3 * y) % std::size(kAlphas)] : kOpaque;
    return alpha << 24 | static_cast<std::uint32_t>(index * kRedStep) << 16 |
           static_cast<std::uint32_t>(x * kPlaceStep) << 8 |
           static_cast<std::uint32_t>(y * kPlaceStep);
}

toolkit::GpBitmapPtr MakePicture(int index) {
    const KindShape& shape = kShapes[index % kKinds];
    toolkit::GpBitmapPtr picture = toolkit::CreateBitmap(shape.width, shape.height);
    for (int y = 0; y < shape.height; ++y) {
        for (int x = 0; x < shape.width; ++x) {
            gp::GdipBitmapSetPixel(picture.get(), x, y, PicturePixel(index, x, y));
        }
    }
    return picture;
}

ByteArray PictureFile(int index, Gdiplus::GpImage* picture) {
    const KindShape& shape = kShapes[index % kKinds];
    if (shape.png) {
        return toolkit::EncodeImageToBytes(picture, toolkit::kPngFormat);
    }
    bmp_writer::BmpLayout layout;
    layout.width = shape.width;
    layout.height = shape.height;
    return bmp_writer::MakeBmp(layout,
                               [&](int x, int y) { return PicturePixel(index, x, y) & 0xFFFFFF; });
}

// A level of two screens, horizontal or vertical, whose cells run through the pictures in
// order, so that every kind lies beside every other.
LevelList TwoScreenLevel(bool vertical) {
    LevelList levels;
    LevelRecord level;
    level.number = kLevelNumber;
    level.kind = kOutdoorKind;
    level.vertical = vertical ? 1 : 0;
    level.baseScreenCount = 0;  // an outdoor level shows two screens more
    level.objectLists.clear();
    const int cells = kColumns * (vertical ? kVerticalRows : kHorizontalRows);
    level.screens.clear();
    for (int s = 0; s < 2; ++s) {
        ScreenRecord screen;
        screen.number = s + 1;
        for (int c = 0; c < cells; ++c) {
            screen.cells.push_back(static_cast<std::uint8_t>((s * cells + c) % kSuperTileCount));
        }
        level.screens.push_back(screen);
    }
    levels.records.push_back(level);
    return levels;
}

// Where a cell of the two-screen levels lies in the composed picture, and how high it shows.
struct CellPlace {
    int x, y, height;
};

std::vector<CellPlace> PlacesOf(bool vertical, int screen, int column, int row) {
    const int x = (column - 1) * kCell;
    const int y = (row - 1) * kCell;
    if (!vertical) {
        // 512 x 224 a copy; the in-game copy 5 pixels below the plain one.
        const int left = ((screen - 1) * kColumns) * kCell + x;
        return {{left, y, kCell}, {left, 229 + y, kCell}};
    }
    // 256 x 512 and 256 x 480, the in-game copy 5 pixels right of the plain one; screen 1 at the
    // bottom; in the in-game copy screens are 240 pixels high and their last row a half row.
    const int below = 2 - screen;
    const bool halfRow = row == kVerticalRows;
    return {{x, below * 256 + y, kCell}, {261 + x, below * 240 + y, halfRow ? kHalfCell : kCell}};
}

class UnusualPictures : public testing::Test {
protected:
    void SetUp() override {
        const std::string levelFolder = m_folder.File(std::to_string(kLevelNumber));
        ASSERT_TRUE(CreateDirectoryA(levelFolder.c_str(), nullptr));
        for (int k = 0; k < kSuperTileCount; ++k) {
            m_pictures.push_back(MakePicture(k));
            const ByteArray file = PictureFile(k, m_pictures.back().get());
            ASSERT_TRUE(
                WriteFileBytes(SuperTilePicturePath(m_folder.Path() + "\\", kLevelNumber, k),
                               std::string(file.begin(), file.end())));
        }
        view.settings.gridColour = kNoLine;
        view.settings.sectionColour = kNoLine;
    }
    ~UnusualPictures() override { ResetMapView(view, host); }

    // Shows the level with the shipped pictures first, then with the unusual ones, so that the
    // view draws them into the pictures it made for the first.
    void ShowOverShippedPictures() {
        view.pictureFolder = SamplePictureFolder();
        ASSERT_EQ(SelectLevel(view, host, levels, 1), 1);
        view.pictureFolder = m_folder.Path() + "\\";
        ASSERT_EQ(SelectLevel(view, host, levels, 1), 1);
    }

    // The picture's top-left part of width x height drawn by GDI+ at (x, y); nothing when the
    // picture has no such part.
    void DrawPart(Gdiplus::GpGraphics* graphics, int index, int x, int y, int height) const {
        toolkit::GpBitmapPtr part;
        if (gp::GdipCloneBitmapAreaI(0, 0, kCell, height, PixelFormat32bppARGB,
                                     m_pictures[static_cast<size_t>(index)].get(),
                                     part.put()) == Gdiplus::Ok) {
            gp::GdipDrawImageRectI(graphics, part.get(), x, y, kCell, height);
        }
    }

    toolkit::ArgbPixels ExpectedMap(int width, int height) const {
        const LevelRecord& level = levels.records.front();
        const bool vertical = level.vertical != 0;
        toolkit::GpBitmapPtr map = toolkit::CreateBitmap(width, height);
        toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(map.get());
        toolkit::ClearGraphics(graphics.get(), 0);
        const int rows = vertical ? kVerticalRows : kHorizontalRows;
        for (int s = 1; s <= 2; ++s) {
            for (int r = 1; r <= rows; ++r) {
                for (int c = 1; c <= kColumns; ++c) {
                    const int value = level.screens[static_cast<size_t>(s) - 1]
                                          .cells[static_cast<size_t>((r - 1) * kColumns + c - 1)];
                    for (const CellPlace& at : PlacesOf(vertical, s, c, r)) {
                        DrawPart(graphics.get(), value, at.x, at.y, at.height);
                    }
                }
            }
        }
        graphics.reset();
        toolkit::ArgbPixels pixels;
        EXPECT_TRUE(toolkit::ReadImagePixels(map.get(), pixels));
        return pixels;
    }

    // Every picker pixel but the cells' red top and left edges.
    void ExpectPicker() const {
        toolkit::GpBitmapPtr picker = toolkit::CreateBitmap(kPickerWidth, kPickerHeight);
        toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(picker.get());
        toolkit::ClearGraphics(graphics.get(), kPickerGround);
        for (int k = 0; k < kSuperTileCount; ++k) {
            DrawPart(graphics.get(), k, k % kColumns * kCell, k / kColumns * kCell, kCell);
        }
        graphics.reset();
        toolkit::ArgbPixels expected;
        ASSERT_TRUE(toolkit::ReadImagePixels(picker.get(), expected));
        const toolkit::ArgbPixels& shown = view.picker.Pixels();
        ASSERT_EQ(shown.Width(), kPickerWidth);
        ASSERT_EQ(shown.Height(), kPickerHeight);
        int differing = 0;
        for (int y = 0; y < kPickerHeight; ++y) {
            for (int x = 0; x < kPickerWidth; ++x) {
                if (x % kCell != 0 && y % kCell != 0 && shown.At(x, y) != expected.At(x, y) &&
                    differing++ == 0) {
                    ADD_FAILURE() << "picker " << x << ", " << y << ": " << std::hex
                                  << shown.At(x, y) << " instead of " << expected.At(x, y);
                }
            }
        }
        EXPECT_EQ(differing, 0);
    }

    TempFolder m_folder;
    std::vector<toolkit::GpBitmapPtr> m_pictures;
    LevelList levels;
    MapViewState view;
    RecordingHost host;
};

TEST_F(UnusualPictures, HorizontalMapAndPickerShowEachPicturesCellSizedPart) {
    levels = TwoScreenLevel(false);
    ASSERT_NO_FATAL_FAILURE(ShowOverShippedPictures());
    constexpr int kWidth = 512;
    constexpr int kHeight = 453;
    ExpectSamePixels(view.composed.Pixels(), ExpectedMap(kWidth, kHeight), "composed picture");
    ExpectPicker();
}

TEST_F(UnusualPictures, VerticalMapShowsHalfRowsOfPicturesTooShortForAWholeCell) {
    levels = TwoScreenLevel(true);
    ASSERT_NO_FATAL_FAILURE(ShowOverShippedPictures());
    constexpr int kWidth = 517;
    constexpr int kHeight = 512;
    ExpectSamePixels(view.composed.Pixels(), ExpectedMap(kWidth, kHeight), "composed picture");
    // Picture 58, half a cell high, lies in screen 1's last row, column 3: the in-game copy's half
    // row shows it, the plain copy's whole row leaves it out.
    constexpr int kHalfRowPicture = 58;
    static_assert(kHalfRowPicture % kKinds == kHalfRowOnly);
    ASSERT_EQ(levels.records[0].screens[0].cells[7 * kColumns + 2], kHalfRowPicture);
    const toolkit::ArgbPixels& shown = view.composed.Pixels();
    constexpr int kLastX = kCell - 1;
    constexpr int kLastY = kHalfCell - 1;
    EXPECT_EQ(shown.At(325 + kLastX, 464 + kLastY), PicturePixel(kHalfRowPicture, kLastX, kLastY));
    EXPECT_EQ(shown.At(64 + kLastX, 480 + kLastY), 0u);
}

// A placement over a cell redraws it from nothing: a see-through picture shows no trace of the
// one it replaces, and a picture too small for the cell leaves it empty.
TEST_F(UnusualPictures, PlacedPicturesReplaceTheCellsWhole) {
    levels = TwoScreenLevel(true);
    ASSERT_NO_FATAL_FAILURE(ShowOverShippedPictures());
    const struct {
        HoverCell cell;
        int old;
        int tile;
    } placements[] = {
        // See-through over a larger opaque picture, in a half row.
        {{1, 4, 8, 0, 0}, 59, kSeeThrough},
        {{2, 2, 3, 0, 0}, 81, kLargerSeeThrough},
        // Too small for the cell, over a larger opaque picture.
        {{2, 5, 3, 0, 0}, 84, kSmaller},
    };
    for (const auto& p : placements) {
        const ByteArray& cells = levels.records[0].screens[p.cell.screen - 1].cells;
        ASSERT_EQ(cells[(p.cell.row - 1) * kColumns + p.cell.column - 1], p.old);
        view.hover = p.cell;
        view.selectedTile = p.tile;
        ASSERT_EQ(PlaceSuperTile(view, host, &levels), 1);
    }
    constexpr int kWidth = 517;
    constexpr int kHeight = 512;
    ExpectSamePixels(view.composed.Pixels(), ExpectedMap(kWidth, kHeight), "composed picture");
}

}  // namespace
}  // namespace mapview_test
