// ImageViewer_Ex: the picture part at the offsets, clamping, panning with a held button, the
// drag lock, and the bound click and mouse-move routines turning pointer points into picture
// pixels.
#include <gtest/gtest.h>

#include <vector>

#include "EdctlTestSupport.h"
#include "controls/ImageViewerEx.h"
#include "core/ElementMessages.h"
#include "foundation/CallAddress.h"

namespace edctl_test {
namespace {

using namespace controls;

TEST(ViewerOffsetRule, ClampsToThePictureLessTheElement) {
    constexpr std::int32_t kPicture = 300;
    constexpr std::int32_t kElement = 100;
    const struct {
        std::int32_t offset;
        std::int32_t pictureSize;
        std::int32_t expected;
    } cases[] = {
        {0, kPicture, 0},
        {150, kPicture, 150},
        {kPicture - kElement, kPicture, kPicture - kElement},
        {kPicture, kPicture, kPicture - kElement},
        {-20, kPicture, 0},
        {50, kElement / 2, 0},  // a picture smaller than the element cannot be panned
        {INT32_MAX, kPicture, kPicture - kElement},
        {INT32_MIN, kPicture, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampViewerOffset(c.offset, c.pictureSize, kElement), c.expected)
            << c.offset << " in " << c.pictureSize;
    }
}

constexpr int kViewerX = 5;
constexpr int kViewerY = 6;
constexpr int kViewerWidth = 100;
constexpr int kViewerHeight = 80;
constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 200;
constexpr int kSmallPicture = 40;
constexpr int kMaxOffsetX = kPictureWidth - kViewerWidth;
constexpr int kMaxOffsetY = kPictureHeight - kViewerHeight;
constexpr int kPanStep = 20;

struct PointerCall {
    UINT message;
    ElementHandle element;
    std::int32_t x;
    std::int32_t y;
    std::uint32_t keys;
    // What the viewer showed when the routine ran: its offsets, and the picture pixel on its
    // canvas under the pointer.
    std::int32_t offsetX;
    std::int32_t offsetY;
    POINT shown;
};
std::vector<PointerCall> g_calls;
ImageViewer_Ex* g_viewer = nullptr;

void Record(UINT message, ElementHandle element, std::uint32_t x, std::uint32_t y,
            std::uint32_t keys) {
    g_calls.push_back(
        {message, element, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), keys,
         g_viewer->ViewerOffsetX(), g_viewer->ViewerOffsetY(),
         DecodeCoordinate(CanvasPixel(*g_viewer, static_cast<int>(x), static_cast<int>(y)))});
}

std::uint32_t __stdcall ClickRoutine(std::uint32_t element, std::uint32_t x, std::uint32_t y,
                                     std::uint32_t keys) {
    Record(toolkit::kMsgClick, element, x, y, keys);
    return 0;
}

std::uint32_t __stdcall MouseMoveRoutine(std::uint32_t element, std::uint32_t x, std::uint32_t y,
                                         std::uint32_t keys) {
    Record(WM_MOUSEMOVE, element, x, y, keys);
    return 0;
}

class ImageViewerExTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_viewer = &m_viewer;
        m_picture = MakeCoordinatePicture(kPictureWidth, kPictureHeight);
        ASSERT_TRUE(m_picture);
    }
    void TearDown() override { g_viewer = nullptr; }

    ElementHandle Create(Gdiplus::GpImage* picture, int offsetX = 0, int offsetY = 0) {
        return m_viewer.CreateImageViewer(m_host.Parent(), kViewerX, kViewerY, kViewerWidth,
                                          kViewerHeight, picture, offsetX, offsetY);
    }
    // The picture pixel the canvas shows at element point (x, y); (-1, -1) for no picture pixel.
    POINT Shown(int x, int y) const { return DecodeCoordinate(CanvasPixel(m_viewer, x, y)); }
    void Pointer(UINT message, int x, int y) { SendPointer(m_viewer.m_handle, message, x, y); }
    void ExpectOffsets(int x, int y) {
        EXPECT_EQ(m_viewer.ViewerOffsetX(), x);
        EXPECT_EQ(m_viewer.ViewerOffsetY(), y);
    }

    // The viewer is declared first, so that the host (destroyed first) takes its element down
    // while the object still exists; the pictures outlive both.
    toolkit::GpBitmapPtr m_picture;
    toolkit::GpBitmapPtr m_smallPicture;
    ImageViewer_Ex m_viewer;
    TestHost m_host;
};

TEST_F(ImageViewerExTest, ShowsThePictureAtItsOffsetInsideTheFrame) {
    constexpr int kOffsetX = 30;
    constexpr int kOffsetY = 20;
    ASSERT_NE(Create(m_picture.get(), kOffsetX, kOffsetY), 0u);
    EXPECT_EQ(m_viewer.m_classTypeId, kImageViewerTypeId);
    EXPECT_EQ(m_viewer.ElementClassName(), "IMAGEVIEWER_EX");
    EXPECT_TRUE(m_viewer.ElementAlphaHitTest());

    const struct {
        int x;
        int y;
    } inside[] = {{1, 1}, {kViewerWidth - 2, kViewerHeight - 2}, {kViewerWidth / 2, 7}};
    for (const auto& p : inside) {
        const POINT shown = Shown(p.x, p.y);
        EXPECT_EQ(shown.x, p.x + kOffsetX - kViewerFrameWidth) << p.x << ", " << p.y;
        EXPECT_EQ(shown.y, p.y + kOffsetY - kViewerFrameWidth) << p.x << ", " << p.y;
    }
    const struct {
        int x;
        int y;
    } frame[] = {
        {0, 0}, {kViewerWidth - 1, kViewerHeight / 2}, {kViewerWidth / 2, kViewerHeight - 1}};
    for (const auto& p : frame) {
        EXPECT_EQ(CanvasPixel(m_viewer, p.x, p.y), kViewerFrameColour) << p.x << ", " << p.y;
    }
}

TEST_F(ImageViewerExTest, SmallPictureSitsAtTheCornerAndCannotBePanned) {
    m_smallPicture = MakeCoordinatePicture(kSmallPicture, kSmallPicture);
    Create(m_smallPicture.get());
    EXPECT_EQ(Shown(1, 1).x, 0);
    EXPECT_EQ(Shown(kSmallPicture, kSmallPicture).y, kSmallPicture - 1);
    EXPECT_EQ(Alpha(CanvasPixel(m_viewer, kSmallPicture + 1, kSmallPicture + 1)), 0u);

    Pointer(WM_LBUTTONDOWN, kSmallPicture, kSmallPicture);
    Pointer(WM_MOUSEMOVE, 1, 1);
    Pointer(WM_LBUTTONUP, 1, 1);
    ExpectOffsets(0, 0);
}

TEST_F(ImageViewerExTest, PansWhileTheButtonIsHeldAndStopsAtTheEdges) {
    Create(m_picture.get());
    constexpr int kStart = 50;
    constexpr int kDx = 20;
    constexpr int kDy = 10;
    Pointer(WM_LBUTTONDOWN, kStart, kStart);
    EXPECT_TRUE(m_viewer.Dragging());
    Pointer(WM_MOUSEMOVE, kStart - kDx, kStart - kDy);
    ExpectOffsets(kDx, kDy);
    EXPECT_EQ(Shown(1, 1).x, kDx);
    EXPECT_EQ(Shown(1, 1).y, kDy);

    // Far left and up: the offsets stop at the picture size less the element size.
    constexpr int kFar = -1000;
    Pointer(WM_MOUSEMOVE, kFar, kFar);
    ExpectOffsets(kMaxOffsetX, kMaxOffsetY);
    EXPECT_EQ(Shown(kViewerWidth - 2, 1).x, kPictureWidth - 2 * kViewerFrameWidth - 1);
    // And back past the start: never below 0.
    Pointer(WM_MOUSEMOVE, kViewerWidth - 1, kViewerHeight - 1);
    ExpectOffsets(0, 0);

    // Released, the pointer moves without panning.
    Pointer(WM_MOUSEMOVE, kStart - kDx, kStart - kDy);
    Pointer(WM_LBUTTONUP, kStart - kDx, kStart - kDy);
    Pointer(WM_MOUSEMOVE, 1, 1);
    ExpectOffsets(kDx, kDy);
    EXPECT_FALSE(m_viewer.Dragging());
}

TEST_F(ImageViewerExTest, DragLockStopsPanningButNotTheRoutines) {
    Create(m_picture.get());
    m_viewer.BindClick(toolkit::AddressOf(&ClickRoutine), 0);
    EXPECT_FALSE(m_viewer.ViewerDragLock());
    EXPECT_TRUE(m_viewer.ViewerDragLock(true));
    constexpr int kStart = 60;
    Pointer(WM_LBUTTONDOWN, kStart, kStart);
    Pointer(WM_MOUSEMOVE, 1, 1);
    Pointer(WM_LBUTTONUP, 1, 1);
    Pointer(toolkit::kMsgClick, 1, 1);
    ExpectOffsets(0, 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].message, static_cast<UINT>(toolkit::kMsgClick));
}

// A press, moves and a release as the host window delivers them (the click follows the release
// over the element), how many clicks the bound routine heard, and where the view was left.
struct Gesture {
    const char* name;
    int pictureWidth;
    int pictureHeight;
    std::vector<POINT> moves;  // element points while the button is held
    int clicks;
    int offsetX;
};

// Whether a release is a click depends on the pointer alone: a press whose pointer stayed inside
// the system's drag rectangle around where it went down is one, whether or not the view followed.
TEST_F(ImageViewerExTest, AReleaseThatEndsADragIsNoClick) {
    constexpr int kPress = 50;
    constexpr int kOnePixel = 1;
    constexpr int kStartOffset = 30;
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);
    ASSERT_GT(dragX, kOnePixel);
    ASSERT_GT(dragY, kOnePixel);
    const Gesture gestures[] = {
        {"still", kPictureWidth, kPictureHeight, {}, 1, kStartOffset},
        // The view follows the hand that trembled, and the click still places.
        {"moved by one pixel",
         kPictureWidth,
         kPictureHeight,
         {{kPress - kOnePixel, kPress}},
         1,
         kStartOffset + kOnePixel},
        {"to the drag rectangle's corner",
         kPictureWidth,
         kPictureHeight,
         {{kPress - dragX, kPress - dragY}},
         1,
         kStartOffset + dragX},
        {"just past the drag rectangle",
         kPictureWidth,
         kPictureHeight,
         {{kPress - dragX - kOnePixel, kPress}},
         0,
         kStartOffset + dragX + kOnePixel},
        {"panned and back",
         kPictureWidth,
         kPictureHeight,
         {{kPress - kPanStep, kPress}, {kPress, kPress}},
         0,
         kStartOffset},
        // The view already shows its top edge and cannot follow the pointer down: still a drag.
        {"pulled against the edge",
         kPictureWidth,
         kPictureHeight,
         {{kPress, kPress + kPanStep}},
         0,
         kStartOffset},
        // A narrow picture pulled sideways, the way it cannot be panned: still a drag.
        {"pulled across", kSmallPicture, kPictureHeight, {{kPress - kPanStep, kPress}}, 0, 0},
        // A press that stays inside the system's drag rectangle there is a click.
        {"trembled at the edge",
         kPictureWidth,
         kPictureHeight,
         {{kPress, kPress + kOnePixel}},
         1,
         kStartOffset},
        // A picture the view shows whole cannot be panned: every release over it is a click.
        {"small picture", kSmallPicture, kSmallPicture, {{kPress - kPanStep, kPress}}, 1, 0},
        // The release lands on the element's last pixel column.
        {"to the right edge", kPictureWidth, kPictureHeight, {{kViewerWidth - 1, kPress}}, 0, 0},
    };
    for (const Gesture& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        ImageViewer_Ex viewer;
        g_viewer = &viewer;
        g_calls.clear();
        toolkit::GpBitmapPtr picture =
            MakeCoordinatePicture(gesture.pictureWidth, gesture.pictureHeight);
        viewer.CreateImageViewer(m_host.Parent(), 0, 0, kViewerWidth, kViewerHeight, picture.get(),
                                 kStartOffset, 0);
        viewer.BindClick(toolkit::AddressOf(&ClickRoutine), 0);
        POINT last{kPress, kPress};
        SendPointer(viewer.m_handle, WM_LBUTTONDOWN, last.x, last.y);
        for (const POINT& move : gesture.moves) {
            SendPointer(viewer.m_handle, WM_MOUSEMOVE, move.x, move.y);
            last = move;
        }
        SendPointer(viewer.m_handle, WM_LBUTTONUP, last.x, last.y);
        SendPointer(viewer.m_handle, toolkit::kMsgClick, last.x, last.y);
        EXPECT_EQ(static_cast<int>(g_calls.size()), gesture.clicks);
        EXPECT_EQ(viewer.ViewerOffsetX(), gesture.offsetX);

        // Whatever the gesture was, the next click without a move is one.
        SendPointer(viewer.m_handle, WM_LBUTTONDOWN, last.x, last.y);
        SendPointer(viewer.m_handle, WM_LBUTTONUP, last.x, last.y);
        SendPointer(viewer.m_handle, toolkit::kMsgClick, last.x, last.y);
        EXPECT_EQ(static_cast<int>(g_calls.size()), gesture.clicks + 1);
        viewer.DestroyElement();
    }
    g_viewer = &m_viewer;
}

TEST_F(ImageViewerExTest, APanReleasedOutsideDoesNotEatTheNextClick) {
    Create(m_picture.get());
    m_viewer.BindClick(toolkit::AddressOf(&ClickRoutine), 0);
    constexpr int kPress = 50;
    constexpr int kOutside = kViewerWidth + 20;
    Pointer(WM_LBUTTONDOWN, kPress, kPress);
    Pointer(WM_MOUSEMOVE, kPress - kPanStep, kPress);
    // Released over another element: the holder hears the release and the leave, no click.
    Pointer(WM_LBUTTONUP, kOutside, kPress);
    Pointer(toolkit::kMsgMouseLeave, kOutside, kPress);
    // A click the keyboard raises (no press, no release) reaches the routine.
    Pointer(toolkit::kMsgClick, 0, 0);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(ImageViewerExTest, RoutinesGetPointsThatLeadToTheShownPicturePixel) {
    constexpr int kOffsetX = 40;
    constexpr int kOffsetY = 25;
    const ElementHandle handle = Create(m_picture.get(), kOffsetX, kOffsetY);
    m_viewer.BindClick(toolkit::AddressOf(&ClickRoutine), 0);
    m_viewer.BindMouseMove(toolkit::AddressOf(&MouseMoveRoutine), 0);

    constexpr int kClickX = 33;
    constexpr int kClickY = 44;
    Pointer(toolkit::kMsgClick, kClickX, kClickY);
    // The last picture pixel, next to the frame at the right and bottom edges.
    constexpr int kLastX = kViewerWidth - kViewerFrameWidth - 1;
    constexpr int kLastY = kViewerHeight - kViewerFrameWidth - 1;
    Pointer(toolkit::kMsgClick, kLastX, kLastY);
    // A drag: the mouse-move routine runs after the viewer panned.
    constexpr int kDragFrom = 70;
    constexpr int kDragTo = 60;
    Pointer(WM_LBUTTONDOWN, kDragFrom, kDragFrom);
    Pointer(WM_MOUSEMOVE, kDragTo, kDragTo);
    Pointer(WM_LBUTTONUP, kDragTo, kDragTo);

    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[0].x, kClickX);
    EXPECT_EQ(g_calls[0].y, kClickY);
    EXPECT_EQ(g_calls[1].shown.x, kOffsetX + kLastX - kViewerFrameWidth);
    EXPECT_EQ(g_calls[1].shown.y, kOffsetY + kLastY - kViewerFrameWidth);
    EXPECT_EQ(g_calls[2].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(g_calls[2].offsetX, kOffsetX + kDragFrom - kDragTo);
    for (const PointerCall& call : g_calls) {
        EXPECT_EQ(call.element, handle);
        EXPECT_EQ(call.x + call.offsetX - kViewerFrameWidth, call.shown.x) << call.message;
        EXPECT_EQ(call.y + call.offsetY - kViewerFrameWidth, call.shown.y) << call.message;
    }
}

TEST_F(ImageViewerExTest, NewPictureKeepsWhatOffsetsItAllowsAndNoPictureLeavesTheFrame) {
    Create(m_picture.get(), kMaxOffsetX, kMaxOffsetY);
    ExpectOffsets(kMaxOffsetX, kMaxOffsetY);
    // Offsets past the picture were clamped at creation.
    ImageViewer_Ex beyond;
    beyond.CreateImageViewer(m_host.Parent(), 0, 0, kViewerWidth, kViewerHeight, m_picture.get(),
                             kPictureWidth, -1);
    EXPECT_EQ(beyond.ViewerOffsetX(), kMaxOffsetX);
    EXPECT_EQ(beyond.ViewerOffsetY(), 0);
    beyond.DestroyElement();

    constexpr int kNarrower = kPictureWidth - 50;
    toolkit::GpBitmapPtr narrower = MakeCoordinatePicture(kNarrower, kPictureHeight);
    m_viewer.SetViewerPicture(narrower.get());
    ExpectOffsets(kNarrower - kViewerWidth, kMaxOffsetY);
    EXPECT_EQ(Shown(1, 1).x, kNarrower - kViewerWidth);

    m_viewer.SetViewerPicture(nullptr);
    EXPECT_EQ(m_viewer.Picture(), nullptr);
    EXPECT_EQ(CanvasPixel(m_viewer, 0, 0), kViewerFrameColour);
    EXPECT_EQ(Alpha(CanvasPixel(m_viewer, 1, 1)), 0u);
    // Without a picture the button starts no drag.
    Pointer(WM_LBUTTONDOWN, 1, 1);
    EXPECT_FALSE(m_viewer.Dragging());
}

// The picture's pixels change inside an area and the viewer is told of that area alone: what it
// shows of the area shows the new pixels, and everything else on the canvas stays as it was.
TEST_F(ImageViewerExTest, ARepaintedAreaShowsItsNewPixelsWhereverItLies) {
    constexpr int kOffsetX = 30;
    constexpr int kOffsetY = 20;
    // An opaque colour no coordinate picture pixel has (its blue would name x and y past 4095).
    constexpr std::uint32_t kChanged = 0xFF00FFFFu;
    // Areas in picture pixels: the view shows picture pixels 30..127 across and 20..97 down.
    const struct {
        const char* what;
        int left, top, width, height;
    } areas[] = {
        {"inside the view", 50, 40, 17, 9},
        {"across the view's top left corner", 10, 5, 30, 25},
        {"across the view's bottom right corner", 120, 90, 40, 30},
        {"one pixel inside each edge", kOffsetX, kOffsetY, kViewerWidth - 2 * kViewerFrameWidth,
         kViewerHeight - 2 * kViewerFrameWidth},
        {"beside the view", 150, 40, 20, 20},
    };
    for (const auto& area : areas) {
        SCOPED_TRACE(area.what);
        toolkit::GpBitmapPtr picture = MakeCoordinatePicture(kPictureWidth, kPictureHeight);
        ImageViewer_Ex viewer;
        ASSERT_NE(viewer.CreateImageViewer(m_host.Parent(), 0, 0, kViewerWidth, kViewerHeight,
                                           picture.get(), kOffsetX, kOffsetY),
                  0u);
        std::vector<std::uint32_t> before;
        for (int y = 0; y < kViewerHeight; ++y) {
            for (int x = 0; x < kViewerWidth; ++x) {
                before.push_back(CanvasPixel(viewer, x, y));
            }
        }
        for (int y = area.top; y < area.top + area.height; ++y) {
            for (int x = area.left; x < area.left + area.width; ++x) {
                Gdiplus::DllExports::GdipBitmapSetPixel(picture.get(), x, y, kChanged);
            }
        }
        viewer.RepaintPictureArea(area.left, area.top, area.width, area.height);

        int wrong = 0;
        for (int y = 0; y < kViewerHeight; ++y) {
            for (int x = 0; x < kViewerWidth; ++x) {
                const int px = x + kOffsetX - kViewerFrameWidth;
                const int py = y + kOffsetY - kViewerFrameWidth;
                const bool inPictureArea = x >= kViewerFrameWidth && y >= kViewerFrameWidth &&
                                           x < kViewerWidth - kViewerFrameWidth &&
                                           y < kViewerHeight - kViewerFrameWidth;
                const bool changed = inPictureArea && px >= area.left && py >= area.top &&
                                     px < area.left + area.width && py < area.top + area.height;
                const std::uint32_t expected =
                    changed ? kChanged : before[static_cast<size_t>(y * kViewerWidth + x)];
                if (CanvasPixel(viewer, x, y) != expected && wrong++ == 0) {
                    ADD_FAILURE() << "canvas " << x << ", " << y << " shows " << std::hex
                                  << CanvasPixel(viewer, x, y) << " instead of " << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        viewer.DestroyElement();
    }
}

TEST_F(ImageViewerExTest, OperationsSitInTheirSlots) {
    constexpr int kOffsetX = 12;
    constexpr int kOffsetY = 34;
    Create(m_picture.get(), kOffsetX, kOffsetY);
    EXPECT_EQ(CallSlot<std::int32_t>(&m_viewer, kSlotViewerOffsetX), kOffsetX);
    EXPECT_EQ(CallSlot<std::int32_t>(&m_viewer, kSlotViewerOffsetY), kOffsetY);
    CallSlot<void>(&m_viewer, kSlotSetViewerPicture, static_cast<Gdiplus::GpImage*>(nullptr));
    EXPECT_EQ(m_viewer.Picture(), nullptr);
}

}  // namespace
}  // namespace edctl_test
