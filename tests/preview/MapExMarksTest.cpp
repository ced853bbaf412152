// Object marks on a stacked (vertical) Map_Ex: every mark covers exactly its 32 x 32 square, at
// the place written out here for its packed object, and nothing else is drawn outside the first
// screen's label; the view shows the marks where the picture has them, at the scroll position.
#include <gtest/gtest.h>

#include <vector>

#include "../host/HostTestSupport.h"
#include "foundation/PixelBitmap.h"
#include "mapex/MapEx.h"

namespace preview_test {
namespace {

using host_test::TestWindow;
using preview::kCellPixels;
using preview::Map_Ex;

constexpr int kRows = 7;
constexpr int kColumns = 8;
constexpr int kScreens = 5;
constexpr int kPictureWidth = kColumns * kCellPixels;                   // 256
constexpr int kPictureHeight = kScreens * kRows * kCellPixels;          // 1120
constexpr int kScreenHeight = kRows * kCellPixels;                      // 224
constexpr int kMapWidth = kPictureWidth + preview::kMapExBarThickness;  // the bar beside the map
// Below the test window's caption, inside the window.
constexpr int kMapTop = 40;
constexpr int kMapHeight = host_test::kWindowHeight - kMapTop;
constexpr int kViewHeight = kMapHeight - preview::kMapExBarThickness;
// A scroll position that shows two overlapping marks and a screen boundary.
constexpr int kScroll = 440;

// A packed object: list number n in bits 0-7, X in bits 12-15, type in bits 16-21, attribute in
// bits 24-27, Y in bits 28-31.
constexpr std::int32_t Packed(std::uint32_t n, std::uint32_t x, std::uint32_t type,
                              std::uint32_t attribute, std::uint32_t y) {
    return static_cast<std::int32_t>(n | x << 12 | type << 16 | attribute << 24 | y << 28);
}

struct Mark {
    std::int32_t packed;
    int left, top;  // of the mark in the objects picture
};

// Five screens stacked, the first at the bottom: the mark of list n lies (3 - n) screens down
// from the top, 16 pixels a step of X across and of Y down, less a cell.
const Mark kMarks[] = {
    {Packed(1, 4, 0x15, 2, 5), 32, 496},
    {Packed(1, 5, 0x01, 0, 5), 48, 496},     // overlaps the one before
    {Packed(2, 0, 0x3F, 15, 3), -32, 240},   // wholly left of the picture
    {Packed(2, 1, 0x02, 1, 0), -16, 192},    // across the left edge
    {Packed(3, 15, 0x20, 3, 15), 208, 208},  // across a screen boundary
    {Packed(4, 8, 0x07, 4, 2), 96, -224},    // above the picture
    {Packed(0, 2, 0x10, 5, 15), 0, 880},
    {Packed(0, 15, 0x11, 6, 15), 208, 880},
};

// The first screen's label is drawn into the picture's top-left square this large; what it
// covers there is the font's.
constexpr int kLabelBox = preview::kMapExLabelBox;

bool InLabelBox(int x, int y) {
    return x < kLabelBox && y < kLabelBox;
}

bool InAMark(int x, int y) {
    for (const Mark& mark : kMarks) {
        if (x >= mark.left && x < mark.left + kCellPixels && y >= mark.top &&
            y < mark.top + kCellPixels) {
            return true;
        }
    }
    return false;
}

// A mark is its see-through white ground with the text drawn over it, so no pixel of it is more
// transparent than the ground.
constexpr std::uint32_t kMarkAlpha = preview::kMapExMarkFillColour >> 24;

std::uint32_t AlphaOf(std::uint32_t argb) {
    return argb >> 24;
}

class MapExMarks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_map.MapExCreate(m_window.Parent(), 0, kMapTop, kMapWidth, kMapHeight, kRows,
                                    kColumns),
                  0u);
        m_map.MapExSetVertical(1);
        m_map.MapExSetCells(preview::MapExCells(kScreens * kRows * kColumns));
        std::vector<std::int32_t> objects;
        for (const Mark& mark : kMarks) {
            objects.push_back(mark.packed);
        }
        m_map.MapExSetObjects(objects);
        m_map.MapExRenderCells();
        m_map.MapExRenderObjects();
    }

    // Declared before the window, so the window (and its elements) goes first.
    Map_Ex m_map;
    TestWindow m_window;
};

TEST_F(MapExMarks, EveryMarkCoversItsSquareAndNothingElseIsDrawn) {
    toolkit::ArgbPixels objects;
    ASSERT_TRUE(toolkit::ReadImagePixels(m_map.ObjectsPicture(), objects));
    ASSERT_EQ(objects.Width(), kPictureWidth);
    ASSERT_EQ(objects.Height(), kPictureHeight);
    int wrong = 0;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::uint32_t alpha = AlphaOf(objects.At(x, y));
            const bool marked = InAMark(x, y);
            if (!marked && InLabelBox(x, y)) {
                continue;
            }
            if ((marked ? alpha < kMarkAlpha : alpha != 0) && wrong++ == 0) {
                ADD_FAILURE() << "pixel " << x << ", " << y << " has alpha " << alpha
                              << (marked ? " inside" : " outside") << " the marks";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(MapExMarks, TheViewShowsTheMarksAtTheScrollPosition) {
    // What the vertical bar reports when it is moved there: the view moves and repaints.
    m_map.MapExOnScroll(m_map.VerticalBar().m_handle, kScroll);
    ASSERT_EQ(m_map.ScrollPosition(), kScroll);
    GdiFlush();
    const auto* canvas = static_cast<const std::uint32_t*>(m_map.m_canvasBits);
    const int scroll = kScroll;
    int marksShown = 0;
    int wrong = 0;
    for (int y = 0; y < kViewHeight; ++y) {
        const int pictureY = y + scroll;
        // Screen boundary lines run across the cells picture under the marks.
        if (pictureY % kScreenHeight == 0) {
            continue;
        }
        for (int x = 0; x < kPictureWidth; ++x) {
            const bool marked = InAMark(x, pictureY);
            if (!marked && InLabelBox(x, pictureY)) {
                continue;
            }
            const std::uint32_t alpha = AlphaOf(canvas[y * m_map.m_width + x]);
            marksShown += marked ? 1 : 0;
            if ((marked ? alpha < kMarkAlpha : alpha != 0) && wrong++ == 0) {
                ADD_FAILURE() << "view " << x << ", " << y << " has alpha " << alpha
                              << (marked ? " inside" : " outside") << " the marks";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(marksShown, 0) << "no mark lies in the view";
}

}  // namespace
}  // namespace preview_test
