// Map_Ex in a real host window: pictures loaded up to the first gap, grids worked out anew for
// every cell set, the composed cells and objects pictures in both layouts (tile pixels,
// boundary lines, labels, object marks), painting a cell inside and outside the grid, the
// unscaled view, the scroll bars after a render, and the hit test and the click and drag
// routines driven by real pointer messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../controls/ControlsTestSupport.h"
#include "../host/HostTestSupport.h"
#include "../settings/TempFolder.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"
#include "foundation/ImageHelpers.h"
#include "mapex/MapEx.h"

namespace preview_test {
namespace {

using host_test::PumpFor;
using host_test::PumpUntil;
using host_test::TestWindow;
using preview::kCellPixels;
using preview::Map_Ex;
using preview::MapExCells;
using preview::PixelPoint;
using toolkit::ElementHandle;

// The GDI+ image format (not encoder) id of BMP.
constexpr char kBmpFormat[] = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";

constexpr int kRows = 7;
constexpr int kColumns = 8;
constexpr int kScreenCells = kRows * kColumns;
constexpr int kTwoScreens = 2 * kScreenCells;
constexpr int kScreenWidth = kColumns * kCellPixels;
constexpr int kScreenHeight = kRows * kCellPixels;
constexpr int kPictureCount = 16;
constexpr int kHalfCell = kCellPixels / 2;
constexpr int kNoRoutineCalls = 0;
// Time for the display to report a pointer that was moved, before a message is posted.
constexpr DWORD kPointerSettleMs = 30;

// The control's place in the test window, below the caption, as the preview's map lies.
constexpr int kMapLeft = 8;
constexpr int kMapTop = 40;
constexpr int kMapWidth = 268;
constexpr int kMapHeight = 236;
constexpr int kViewHeight = kMapHeight - preview::kMapExBarThickness;
constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 300;

// Picture k is one opaque colour that names k.
constexpr std::uint32_t PictureColour(int k) {
    return 0xFF000000u | (static_cast<std::uint32_t>(k * 8) << 16) |
           (static_cast<std::uint32_t>(255 - k * 8) << 8) | 0x40u;
}

bool WritePicture(const std::string& path, std::uint32_t argb) {
    toolkit::GpBitmapPtr picture = toolkit::CreateBitmap(kCellPixels, kCellPixels);
    if (!picture) {
        return false;
    }
    toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(picture.get());
    if (!graphics || !toolkit::ClearGraphics(graphics.get(), argb)) {
        return false;
    }
    graphics.reset();
    const toolkit::ByteArray bytes = toolkit::EncodeImageToBytes(picture.get(), kBmpFormat);
    return !bytes.empty() && WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::uint32_t PixelOf(Gdiplus::GpBitmap* picture, int x, int y) {
    Gdiplus::ARGB argb = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(picture, x, y, &argb);
    return argb;
}

std::uint32_t AlphaOf(std::uint32_t argb) {
    return argb >> 24;
}

std::uint32_t CanvasPixel(const Map_Ex& map, int x, int y) {
    GdiFlush();
    return static_cast<const std::uint32_t*>(map.m_canvasBits)[y * map.m_width + x];
}

// Pixels of a rectangle of the picture that pass a test.
template <typename Test>
int CountPixels(Gdiplus::GpBitmap* picture, int left, int top, int width, int height, Test test) {
    int count = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            count += test(PixelOf(picture, x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Cells numbered so that cell i shows picture i mod kPictureCount.
MapExCells NumberedCells(int count) {
    MapExCells cells(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        cells[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % kPictureCount);
    }
    return cells;
}

struct RoutineCall {
    ElementHandle element;
    std::int32_t x;
    std::int32_t y;
};
std::vector<RoutineCall> g_clicks;
std::vector<RoutineCall> g_drags;

std::uint32_t __stdcall OnClick(ElementHandle element, std::int32_t x, std::int32_t y) {
    g_clicks.push_back({element, x, y});
    return 0;
}

std::uint32_t __stdcall OnDrag(ElementHandle element, std::int32_t x, std::int32_t y) {
    g_drags.push_back({element, x, y});
    return 0;
}

class MapExTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_folder.Path().empty());
        m_pictures = m_folder.Path() + "\\";
        for (int k = 0; k < kPictureCount; ++k) {
            ASSERT_TRUE(
                WritePicture(m_pictures + preview::PictureName(k) + ".bmp", PictureColour(k)));
        }
        g_clicks.clear();
        g_drags.clear();
    }

    ElementHandle CreateMap(Map_Ex& map, int rows, int columns) {
        return map.MapExCreate(m_window.Parent(), kMapLeft, kMapTop, kMapWidth, kMapHeight, rows,
                               columns);
    }

    // A map of two 7 x 8 screens whose cell i shows picture i mod 16, rendered.
    void FillTwoScreens(bool vertical) {
        ASSERT_NE(CreateMap(m_map, kRows, kColumns), 0u);
        m_map.MapExSetVertical(vertical ? 1 : 0);
        ASSERT_EQ(m_map.MapExLoadPictures(m_pictures), kPictureCount);
        m_map.MapExSetCells(NumberedCells(kTwoScreens));
        m_map.MapExRenderCells();
        ASSERT_NE(m_map.MapExGetPicture(), nullptr);
    }

    // Posts a pointer message at element coordinates to the host window, as the system would.
    // The real pointer goes there too, so that a move the display reports (a window shown
    // under the pointer, hover tracking) names the same point.
    void PostPointer(UINT message, WPARAM keys, int x, int y) {
        const POINT at{m_map.m_windowLeft + x, m_map.m_windowTop + y};
        POINT screen = at;
        ClientToScreen(m_window.Window(), &screen);
        SetCursorPos(screen.x, screen.y);
        PumpFor(kPointerSettleMs);
        PostMessageW(m_window.Window(), message, keys, MAKELPARAM(at.x, at.y));
    }

    // A press and release at one point, queued back to back: a timer (the bar's auto-repeat)
    // waits for an empty queue, so none comes between them however slowly the machine runs.
    void PostPress(int x, int y) {
        PostPointer(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        PostMessageW(m_window.Window(), WM_LBUTTONUP, 0,
                     MAKELPARAM(m_map.m_windowLeft + x, m_map.m_windowTop + y));
    }

    TempFolder m_folder;
    std::string m_pictures;
    // Declared before the window, so the window (and its elements) goes first.
    Map_Ex m_map;
    Map_Ex m_strip;
    TestWindow m_window{{}, WindowPlacement()};

private:
    static const toolkit::ToolkitWindowOptions* WindowPlacement() {
        static toolkit::ToolkitWindowOptions options;
        options.width = kWindowWidth;
        options.height = kWindowHeight;
        return &options;
    }
};

TEST(MapExSlots, OperationsSitInTheirSlotsInOrder) {
    using controls_test::SlotOf;
    using namespace preview;
    constexpr std::uint32_t kSlotFreeMembers = 0;
    constexpr std::uint32_t kSlotClone = 1;
    constexpr std::uint32_t kSlotPreFilter = 18;
    constexpr std::uint32_t kSlotClassHandler = 19;
    EXPECT_EQ(SlotOf(&Map_Ex::FreeMembers), kSlotFreeMembers);
    EXPECT_EQ(SlotOf(&Map_Ex::Clone), kSlotClone);
    EXPECT_EQ(SlotOf(&Map_Ex::PreFilterMessage), kSlotPreFilter);
    EXPECT_EQ(SlotOf(&Map_Ex::ClassMessageHandler), kSlotClassHandler);
    const std::uint32_t own[] = {
        SlotOf(&Map_Ex::MapExOnScroll),        SlotOf(&Map_Ex::MapExPaint),
        SlotOf(&Map_Ex::MapExSetGrid),         SlotOf(&Map_Ex::MapExHitTest),
        SlotOf(&Map_Ex::MapExCreate),          SlotOf(&Map_Ex::MapExSetFolder),
        SlotOf(&Map_Ex::MapExSetCells),        SlotOf(&Map_Ex::MapExSetObjects),
        SlotOf(&Map_Ex::MapExSetCell),         SlotOf(&Map_Ex::MapExDrawCell),
        SlotOf(&Map_Ex::MapExLoadPictures),    SlotOf(&Map_Ex::MapExClearPictures),
        SlotOf(&Map_Ex::MapExRenderCells),     SlotOf(&Map_Ex::MapExRenderObjects),
        SlotOf(&Map_Ex::MapExSetVertical),     SlotOf(&Map_Ex::MapExGetPicture),
        SlotOf(&Map_Ex::MapExSetClickHandler), SlotOf(&Map_Ex::MapExSetDragHandler),
        SlotOf(&Map_Ex::MapExGetCells)};
    for (std::uint32_t i = 0; i < std::size(own); ++i) {
        EXPECT_EQ(own[i], kSlotMapExOnScroll + i) << i;
    }
    EXPECT_EQ(own[std::size(own) - 1], kSlotMapExGetCells);
}

TEST_F(MapExTest, PicturesLoadUpToTheFirstGapAndStripsWorkTheirColumnsOutAnew) {
    constexpr int kBeyondGap = 0x11;
    ASSERT_TRUE(
        WritePicture(m_pictures + preview::PictureName(kBeyondGap) + ".bmp", PictureColour(0)));
    EXPECT_EQ(m_strip.MapExLoadPictures(m_pictures), kPictureCount);
    // The files stay free while their pictures are shown.
    const std::string first = m_pictures + preview::PictureName(0) + ".bmp";
    EXPECT_TRUE(DeleteFileA(first.c_str()));
    // A file that does not decode keeps its number's place and draws nothing.
    ASSERT_TRUE(WriteFileBytes(first, "not a picture"));
    ASSERT_NE(CreateMap(m_map, 1, preview::kWorkOut), 0u);
    m_map.MapExSetFolder(m_pictures);
    ASSERT_EQ(m_map.PictureCount(), kPictureCount);
    EXPECT_EQ(AlphaOf(PixelOf(m_map.MapExGetPicture(), kHalfCell, kHalfCell)), 0u);
    EXPECT_EQ(PixelOf(m_map.MapExGetPicture(), kCellPixels + kHalfCell, kHalfCell),
              PictureColour(1));

    constexpr int kStripPictures = 20;
    TempFolder wide;
    TempFolder narrow;
    TempFolder empty;
    constexpr int kNarrowPictures = 3;
    for (int k = 0; k < kStripPictures; ++k) {
        ASSERT_TRUE(WritePicture(wide.File(preview::PictureName(k) + ".bmp"), PictureColour(k)));
        if (k < kNarrowPictures) {
            ASSERT_TRUE(
                WritePicture(narrow.File(preview::PictureName(k) + ".bmp"), PictureColour(k)));
        }
    }
    ASSERT_NE(CreateMap(m_strip, 1, preview::kWorkOut), 0u);
    const struct {
        const TempFolder* folder;
        int pictures;
    } steps[] = {{&wide, kStripPictures}, {&narrow, kNarrowPictures}, {&empty, 0}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.pictures);
        m_strip.MapExSetFolder(step.folder->Path() + "\\");
        EXPECT_EQ(m_strip.PictureCount(), step.pictures);
        EXPECT_EQ(m_strip.CellCount(), step.pictures);
        // Worked out from every new cell set, not only the first.
        EXPECT_EQ(m_strip.Columns(), step.pictures);
        EXPECT_EQ(m_strip.Rows(), 1);
        Gdiplus::GpBitmap* picture = m_strip.MapExGetPicture();
        if (step.pictures == 0) {
            // No screen: nothing is rendered and no cell can be painted.
            EXPECT_EQ(picture, nullptr);
            m_strip.MapExSetCell(0, 0, 1);
            EXPECT_TRUE(m_strip.MapExGetCells().empty());
            EXPECT_EQ(m_strip.HorizontalBar().MaxValue(), 0);
            continue;
        }
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(toolkit::GetImageWidth(picture), step.pictures * kCellPixels);
        const int last = step.pictures - 1;
        EXPECT_EQ(PixelOf(picture, last * kCellPixels + kHalfCell, kHalfCell), PictureColour(last));
    }
}

TEST_F(MapExTest, HorizontalCellsPictureShowsScreensSideBySideWithBoundaryLines) {
    FillTwoScreens(false);
    Gdiplus::GpBitmap* picture = m_map.MapExGetPicture();
    EXPECT_EQ(toolkit::GetImageWidth(picture), 2 * kScreenWidth);
    EXPECT_EQ(toolkit::GetImageHeight(picture), kScreenHeight);
    // Cell (x, y) of the horizontal layout is index floor(x / 8) * 56 + y * 8 + x mod 8.
    const struct { int x, y, index; } cells[] = {{0, 0, 0}, {7, 6, 55}, {9, 2, 73}, {15, 6, 111}};
    for (const auto& c : cells) {
        EXPECT_EQ(PixelOf(picture, c.x * kCellPixels + kHalfCell, c.y * kCellPixels + kHalfCell),
                  PictureColour(c.index % kPictureCount))
            << c.x << "," << c.y;
    }
    // One pixel wide, down the whole height, at each screen's left edge.
    for (const int y : {0, kScreenHeight / 2, kScreenHeight - 1}) {
        EXPECT_EQ(PixelOf(picture, 0, y), preview::kMapExBoundaryColour);
        EXPECT_EQ(PixelOf(picture, kScreenWidth, y), preview::kMapExBoundaryColour);
        EXPECT_NE(PixelOf(picture, kScreenWidth - 1, y), preview::kMapExBoundaryColour);
        EXPECT_NE(PixelOf(picture, kScreenWidth + 1, y), preview::kMapExBoundaryColour);
    }
}

TEST_F(MapExTest, VerticalCellsPictureStacksTheFirstScreenAtTheBottom) {
    FillTwoScreens(true);
    Gdiplus::GpBitmap* picture = m_map.MapExGetPicture();
    EXPECT_EQ(toolkit::GetImageWidth(picture), kScreenWidth);
    EXPECT_EQ(toolkit::GetImageHeight(picture), 2 * kScreenHeight);
    // Screen 0's first cell begins just under screen 1; screen 1's first cell is the top left.
    EXPECT_EQ(PixelOf(picture, kHalfCell, kScreenHeight + kHalfCell), PictureColour(0));
    EXPECT_EQ(PixelOf(picture, kHalfCell, kHalfCell), PictureColour(kScreenCells % kPictureCount));
    // The line under the top screen is drawn after it; the line above it (y = 0) came before it
    // and lies under its cells.
    for (const int x : {0, kScreenWidth / 2, kScreenWidth - 1}) {
        EXPECT_EQ(PixelOf(picture, x, kScreenHeight), preview::kMapExBoundaryColour);
        EXPECT_NE(PixelOf(picture, x, kScreenHeight - 1), preview::kMapExBoundaryColour);
        EXPECT_NE(PixelOf(picture, x, kScreenHeight + 1), preview::kMapExBoundaryColour);
    }
}

TEST_F(MapExTest, ScreenLabelsAndObjectMarksAreDrawnWhereTheyBelong) {
    // Ten screens of 3 x 8, so that the last label is the text "A" and the mark below fits.
    constexpr int kScreens = 10;
    constexpr int kShortRows = 3;
    ASSERT_NE(CreateMap(m_map, kShortRows, kColumns), 0u);
    m_map.MapExLoadPictures(m_pictures);
    m_map.MapExSetCells(NumberedCells(kScreens * kShortRows * kColumns));
    // List 3, record byte 0 0x45 (X 4), type 0x15, record byte 2 0x52 (attribute 2, Y 5): the
    // mark "3|15|2".
    constexpr std::int32_t kMarked = 0x52150000 | 0x4500 | 3;
    m_map.MapExSetObjects({kMarked});
    m_map.MapExRenderCells();
    m_map.MapExRenderObjects();
    Gdiplus::GpBitmap* objects = m_map.ObjectsPicture();
    ASSERT_NE(objects, nullptr);
    ASSERT_EQ(toolkit::GetImageWidth(objects), kScreens * kScreenWidth);

    constexpr int kLabelHeight = kCellPixels;
    const auto isLabel = [](std::uint32_t argb) { return AlphaOf(argb) != 0; };
    const int lastLabelLeft = (kScreens - 1) * kScreenWidth;
    EXPECT_GT(CountPixels(objects, lastLabelLeft, 0, kScreenWidth / 2, kLabelHeight, isLabel), 0);
    // Nothing but labels and the mark is drawn: the right half of the last screen stays clear.
    EXPECT_EQ(CountPixels(objects, lastLabelLeft + kScreenWidth / 2, 0, kScreenWidth / 2,
                          kLabelHeight, isLabel),
              0);

    const PixelPoint at = preview::ObjectOrigin({kShortRows, kColumns, false}, kScreens, kMarked);
    EXPECT_EQ(at.x, 2 * kScreenWidth + 4 * preview::kObjectStep - kCellPixels);
    EXPECT_EQ(at.y, 5 * preview::kObjectStep - kCellPixels);
    // The mark's white at alpha 150, give or take GDI+'s rounding.
    const auto isBackground = [](std::uint32_t argb) {
        constexpr std::uint32_t kAlphaSlack = 8;
        constexpr std::uint32_t kNearWhite = 0xF0;
        const std::uint32_t alpha = AlphaOf(argb);
        const std::uint32_t fillAlpha = AlphaOf(preview::kMapExMarkFillColour);
        return alpha + kAlphaSlack >= fillAlpha && alpha <= fillAlpha + kAlphaSlack &&
               ((argb >> 16) & 0xFF) > kNearWhite && ((argb >> 8) & 0xFF) > kNearWhite &&
               (argb & 0xFF) > kNearWhite;
    };
    // Text in the mark's violet (red 0x90, blue 0xFF): much blue, little green.
    const auto isText = [](std::uint32_t argb) {
        constexpr std::uint32_t kStrong = 0xC0;
        constexpr std::uint32_t kWeak = 0x80;
        return AlphaOf(argb) > kWeak && (argb & 0xFF) > kStrong && ((argb >> 8) & 0xFF) < kWeak;
    };
    EXPECT_GT(CountPixels(objects, at.x, at.y, kCellPixels, kCellPixels, isBackground), 0);
    EXPECT_GT(CountPixels(objects, at.x, at.y, kCellPixels, kCellPixels, isText), 0);
    // The mark is 32 pixels square at its origin: clear just outside it on every side.
    for (const auto& [x, y] : {std::pair{at.x - 1, at.y}, std::pair{at.x + kCellPixels, at.y},
                               std::pair{at.x, at.y - 1}, std::pair{at.x, at.y + kCellPixels}}) {
        EXPECT_EQ(AlphaOf(PixelOf(objects, x, y)), 0u) << x << "," << y;
    }
    EXPECT_NE(AlphaOf(PixelOf(objects, at.x, at.y)), 0u);
    EXPECT_NE(AlphaOf(PixelOf(objects, at.x + kCellPixels - 1, at.y + kCellPixels - 1)), 0u);
}

// A new render (another stage) shows the picture from its start, and the horizontal bar's thumb
// goes back with the view: the next wheel step moves the view one cell from the start, not one
// cell on from where the old picture was scrolled to.
TEST_F(MapExTest, ARenderPutsTheHorizontalThumbBackToTheStart) {
    constexpr int kStepsBefore = 3;
    constexpr WPARAM kWheelOnward = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
    FillTwoScreens(false);
    toolkit::ScrollBar& across = m_map.HorizontalBar();
    const auto wheel = [&] {
        toolkit::SendToElement(across.m_handle, WM_MOUSEWHEEL, kWheelOnward, 0);
    };
    for (int i = 0; i < kStepsBefore; ++i) {
        wheel();
    }
    ASSERT_EQ(m_map.ScrollPosition(), kStepsBefore * preview::kMapExScrollStep);
    const float scrolledThumb = across.ThumbRect().x;

    m_map.MapExRenderCells();
    m_map.MapExRenderObjects();
    EXPECT_EQ(across.Position(), 0);
    EXPECT_LT(across.ThumbRect().x, scrolledThumb);
    wheel();
    EXPECT_EQ(m_map.ScrollPosition(), preview::kMapExScrollStep);
    EXPECT_EQ(across.Position(), preview::kMapExScrollStep);
}

TEST_F(MapExTest, SetCellPaintsOnlyCellsInsideTheScreens) {
    FillTwoScreens(false);
    constexpr int kBrush = 5;
    const MapExCells before = m_map.MapExGetCells();
    // Row 7 lies under the map (the scroll bar's strip): it must not reach the next screen.
    const struct {
        int x, y;
    } outside[] = {{0, kRows}, {kColumns, kRows}, {2 * kColumns, 0}, {-1, 0}, {0, -1}};
    for (const auto& c : outside) {
        m_map.MapExSetCell(c.x, c.y, kBrush);
        EXPECT_EQ(m_map.MapExGetCells(), before) << c.x << "," << c.y;
    }
    EXPECT_EQ(PixelOf(m_map.MapExGetPicture(), kScreenWidth + kHalfCell, kHalfCell),
              PictureColour(kScreenCells % kPictureCount));

    constexpr int kX = 9;
    constexpr int kY = 2;
    constexpr int kIndex = kScreenCells + kY * kColumns + kX % kColumns;  // 73
    m_map.MapExSetCell(kX, kY, kBrush);
    MapExCells expected = before;
    expected[kIndex] = kBrush;
    EXPECT_EQ(m_map.MapExGetCells(), expected);
    EXPECT_EQ(PixelOf(m_map.MapExGetPicture(), kX * kCellPixels + kHalfCell,
                      kY * kCellPixels + kHalfCell),
              PictureColour(kBrush));
}

// The program sets stored cells by their index: in either layout the cell is drawn where a render
// draws it, and a value without a picture leaves the cell empty, as a render would.
TEST_F(MapExTest, ACellSetByIndexIsDrawnWhereItsLayoutShowsIt) {
    constexpr int kBrush = 5;
    constexpr int kNoPicture = kPictureCount;
    constexpr int kColumn = 3;
    constexpr int kRow = 2;
    constexpr int kIndex = kScreenCells + kRow * kColumns + kColumn;  // in the second screen
    // A cell value is one byte.
    constexpr int kNoCellValue = 256;
    const struct {
        bool vertical;
        PixelPoint at;
    } layouts[] = {
        {false, {(kColumns + kColumn) * kCellPixels, kRow * kCellPixels}},
        // Stacked, the second screen is the upper one.
        {true, {kColumn * kCellPixels, kRow * kCellPixels}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.vertical);
        FillTwoScreens(layout.vertical);
        MapExCells expected = m_map.MapExGetCells();
        for (const auto& [index, value] :
             {std::pair{-1, kBrush}, std::pair{kTwoScreens, kBrush}, std::pair{kIndex, -1},
              std::pair{kIndex, kNoCellValue}}) {
            m_map.SetCellByIndex(index, value);
            EXPECT_EQ(m_map.MapExGetCells(), expected) << index << ": " << value;
        }
        const int x = layout.at.x + kHalfCell;
        const int y = layout.at.y + kHalfCell;
        ASSERT_EQ(PixelOf(m_map.MapExGetPicture(), x, y), PictureColour(kIndex % kPictureCount));

        m_map.SetCellByIndex(kIndex, kBrush);
        expected[kIndex] = kBrush;
        EXPECT_EQ(m_map.MapExGetCells(), expected);
        EXPECT_EQ(PixelOf(m_map.MapExGetPicture(), x, y), PictureColour(kBrush));
        m_map.SetCellByIndex(kIndex, kNoPicture);
        EXPECT_EQ(AlphaOf(PixelOf(m_map.MapExGetPicture(), x, y)), 0u);
        m_map.DestroyElement();
    }
}

TEST_F(MapExTest, RenderSetsTheBarsRangesAndTheVerticalViewStartsAtTheBottom) {
    for (const bool vertical : {false, true}) {
        SCOPED_TRACE(vertical);
        FillTwoScreens(vertical);
        const int width = vertical ? kScreenWidth : 2 * kScreenWidth;
        const int height = vertical ? 2 * kScreenHeight : kScreenHeight;
        toolkit::ScrollBar& across = m_map.HorizontalBar();
        toolkit::ScrollBar& up = m_map.VerticalBar();
        EXPECT_EQ(across.MaxValue(), width);
        EXPECT_EQ(up.MaxValue(), height);
        // Asked for its maximum, the bar rests at its limit: maximum less its page.
        const int bottom = std::max(height - up.PageSize(), 0);
        EXPECT_EQ(up.Position(), bottom);
        EXPECT_EQ(m_map.ScrollPosition(), vertical ? bottom : 0);
        m_map.DestroyElement();
    }
}

TEST_F(MapExTest, TheViewShowsThePictureUnscaled) {
    constexpr int kStripPictures = 3;
    TempFolder few;
    for (int k = 0; k < kStripPictures; ++k) {
        ASSERT_TRUE(WritePicture(few.File(preview::PictureName(k) + ".bmp"), PictureColour(k)));
    }
    ASSERT_NE(CreateMap(m_strip, 1, preview::kWorkOut), 0u);
    m_strip.MapExSetFolder(few.Path() + "\\");
    m_strip.MapExPaint();
    const int last = kStripPictures - 1;
    EXPECT_EQ(CanvasPixel(m_strip, last * kCellPixels + kHalfCell, kHalfCell), PictureColour(last));
    // Past the strip's last picture the view stays empty rather than stretching the strip.
    EXPECT_EQ(AlphaOf(CanvasPixel(m_strip, kStripPictures * kCellPixels + kHalfCell, kHalfCell)),
              0u);
}

TEST_F(MapExTest, PointerMessagesReachTheRoutinesWithTheCellUnderThePointer) {
    FillTwoScreens(false);
    m_map.MapExSetClickHandler(toolkit::AddressOf(&OnClick));
    m_map.MapExSetDragHandler(toolkit::AddressOf(&OnDrag));
    m_window.Show();
    // Two cells to the right: two presses on the horizontal bar's right arrow, a line each.
    constexpr int kScrolledCells = 2;
    constexpr int kInsideArrow = 3;
    const int arrowX = kMapWidth - preview::kMapExBarThickness - kInsideArrow;
    const int barY = kMapHeight - preview::kMapExBarThickness / 2;
    for (int press = 0; press < kScrolledCells; ++press) {
        PostPress(arrowX, barY);
    }
    ASSERT_TRUE(PumpUntil([&] { return m_map.ScrollPosition() >= kScrolledCells * kCellPixels; }))
        << m_map.ScrollPosition();
    EXPECT_EQ(m_map.ScrollPosition(), kScrolledCells * kCellPixels) << "a line a press";
    EXPECT_EQ(m_map.HorizontalBar().Position(), kScrolledCells * kCellPixels);
    // The bar's own clicks are not the map's.
    EXPECT_TRUE(g_clicks.empty());
    EXPECT_TRUE(g_drags.empty());

    const PixelPoint down{kHalfCell, kHalfCell};
    const PixelPoint moved{3 * kCellPixels + kHalfCell, 2 * kCellPixels + kHalfCell};
    // Moving without the button held calls nothing.
    PostPointer(WM_MOUSEMOVE, 0, down.x, down.y);
    ASSERT_TRUE(PumpUntil([&] { return m_map.HoveredCell().x == kScrolledCells; }));
    EXPECT_EQ(g_drags.size(), static_cast<std::size_t>(kNoRoutineCalls));

    PostPointer(WM_LBUTTONDOWN, MK_LBUTTON, down.x, down.y);
    PostPointer(WM_MOUSEMOVE, MK_LBUTTON, moved.x, moved.y);
    PostPointer(WM_LBUTTONUP, 0, moved.x, moved.y);
    // The click is raised by the button going up, after the three messages before it.
    ASSERT_TRUE(PumpUntil([&] { return !g_clicks.empty(); }));
    EXPECT_FALSE(m_map.Pressed());

    // Button down, the move and button up each call the drag routine. The display may report
    // the real pointer's move as well, which repeats a cell but never names another one.
    constexpr std::size_t kDragMessages = 3;
    EXPECT_GE(g_drags.size(), kDragMessages);
    std::vector<std::pair<int, int>> cells;
    for (const RoutineCall& call : g_drags) {
        EXPECT_EQ(call.element, m_map.m_handle);
        if (cells.empty() || cells.back() != std::pair{call.x, call.y}) {
            cells.emplace_back(call.x, call.y);
        }
    }
    const std::vector<std::pair<int, int>> dragged = {{kScrolledCells, 0}, {kScrolledCells + 3, 2}};
    EXPECT_EQ(cells, dragged);
    // The click comes where the button went up, as the host window raises it.
    ASSERT_EQ(g_clicks.size(), 1u);
    EXPECT_EQ(g_clicks[0].element, m_map.m_handle);
    EXPECT_EQ(g_clicks[0].x, kScrolledCells + 3);
    EXPECT_EQ(g_clicks[0].y, 2);
}

TEST_F(MapExTest, VerticalHitTestCountsRowsFromTheBottomOfThePicture) {
    FillTwoScreens(true);
    m_window.Show();
    const int scroll = m_map.ScrollPosition();
    const int pictureHeight = 2 * kScreenHeight;
    const struct {
        int y;
        int row;
    } cases[] = {
        {kViewHeight - 1, (pictureHeight - scroll - kViewHeight + 1) / kCellPixels},
        {0, (pictureHeight - scroll) / kCellPixels},
    };
    // Scrolled to the bottom, the view's last pixel row is the picture's bottom row: y = 0.
    EXPECT_EQ(cases[0].row, 0);
    for (const auto& c : cases) {
        PostPointer(WM_MOUSEMOVE, 0, kHalfCell, c.y);
        EXPECT_TRUE(PumpUntil([&] { return m_map.HoveredCell().y == c.row; })) << c.y;
        EXPECT_EQ(m_map.HoveredCell().x, 0);
    }
}

}  // namespace
}  // namespace preview_test
