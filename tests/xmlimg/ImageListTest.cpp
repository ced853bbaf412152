// The image list: cell-size copies, index checks, handles and shared clones.
#include "foundation/ImageList.h"

#include <gtest/gtest.h>

#include "foundation/ImageHelpers.h"
#include "foundation/Toolkit.h"

namespace toolkit {
namespace {

using namespace Gdiplus::DllExports;

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 8;
constexpr int kPictureSize = 32;

// GDI+ for the whole program; every list dies inside its test.
class ToolkitEnvironment : public testing::Environment {
public:
    void SetUp() override { InitToolkit(); }
    void TearDown() override { ShutdownToolkit(); }
};
testing::Environment* const kToolkit = testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

GpBitmapPtr RedPicture() {
    GpBitmapPtr bitmap = CreateBitmap(kPictureSize, kPictureSize);
    GpGraphicsPtr graphics = GetImageGraphics(bitmap.get());
    ClearGraphics(graphics.get(), kRed);
    return bitmap;
}

Gdiplus::ARGB CentrePixel(Gdiplus::GpImage* image) {
    Gdiplus::ARGB colour = 0;
    GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), GetImageWidth(image) / 2,
                       GetImageHeight(image) / 2, &colour);
    return colour;
}

TEST(ImageList, AddedPicturesAreStoredAtTheCellSize) {
    ImageList list;
    ASSERT_NE(list.SetCellSize(kCellWidth, kCellHeight), 0u);
    GpBitmapPtr picture = RedPicture();
    EXPECT_EQ(list.Add(picture.get()), 1);
    EXPECT_EQ(list.Add(picture.get()), 2);
    Gdiplus::GpImage* stored = list.Get(1);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, picture.get());
    EXPECT_EQ(GetImageWidth(stored), kCellWidth);
    EXPECT_EQ(GetImageHeight(stored), kCellHeight);
    EXPECT_EQ(CentrePixel(stored), kRed);
    EXPECT_NE(list.Get(2), stored);
}

TEST(ImageList, IndexesOutsideTheListGiveNothing) {
    ImageList list;
    list.SetCellSize(kCellWidth, kCellHeight);
    GpBitmapPtr picture = RedPicture();
    list.Add(picture.get());
    list.Add(picture.get());
    struct Case {
        std::int32_t index;
        bool valid;
    };
    for (const Case& c : {Case{-1, false}, Case{0, false}, Case{1, true}, Case{2, true},
                          Case{3, false}, Case{INT32_MAX, false}}) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(list.IsValidIndex(c.index), c.valid);
        EXPECT_EQ(list.Get(c.index) != nullptr, c.valid);
    }
}

TEST(ImageList, NullOrUndecodablePicturesAddNothing) {
    ImageList list;
    list.SetCellSize(kCellWidth, kCellHeight);
    EXPECT_EQ(list.Add(nullptr), 0);
    EXPECT_EQ(list.AddFromBytes({}), 0);
    EXPECT_EQ(list.AddFromBytes({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}), 0);
    EXPECT_EQ(list.Count(), 0);

    GpBitmapPtr picture = RedPicture();
    EXPECT_EQ(list.AddFromBytes(EncodeImageToBytes(picture.get(), kPngFormat)), 1);
    EXPECT_EQ(GetImageWidth(list.Get(1)), kCellWidth);
}

TEST(ImageList, WithoutACanvasAnEmptyImageIsAppended) {
    GpBitmapPtr picture = RedPicture();
    ImageList before;
    EXPECT_EQ(before.Handle(), 0u);
    EXPECT_EQ(before.Add(picture.get()), 1);
    EXPECT_EQ(before.Get(1), nullptr);

    ImageList empty;
    EXPECT_EQ(empty.SetCellSize(0, kCellHeight), 0u);
    EXPECT_EQ(empty.Add(picture.get()), 1);
    EXPECT_EQ(empty.Get(1), nullptr);
}

TEST(ImageList, ClearKeepsTheCanvasAndDisposeDropsIt) {
    ImageList list;
    list.SetCellSize(kCellWidth, kCellHeight);
    GpBitmapPtr picture = RedPicture();
    list.Add(picture.get());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add(picture.get()), 1);
    EXPECT_NE(list.Get(1), nullptr);

    list.Dispose();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add(picture.get()), 1);
    EXPECT_EQ(list.Get(1), nullptr);
    // A new cell size gives a new canvas, and a second one replaces it.
    list.SetCellSize(kPictureSize, kPictureSize);
    EXPECT_NE(list.SetCellSize(kCellWidth, kCellHeight), 0u);
    EXPECT_EQ(list.Add(picture.get()), 2);
    EXPECT_EQ(GetImageWidth(list.Get(2)), kCellWidth);
}

TEST(ImageList, HandlesLeadBackToTheirOwnList) {
    ImageList list;
    const std::uint32_t handle = list.SetCellSize(kCellWidth, kCellHeight);
    EXPECT_EQ(handle, list.Handle());
    EXPECT_EQ(ImageList::FromHandle(handle), &list);
    EXPECT_EQ(ImageList::FromHandle(0), nullptr);

    ImageList clone(list);
    EXPECT_NE(clone.Handle(), handle);
    EXPECT_EQ(ImageList::FromHandle(clone.Handle()), &clone);
}

TEST(ImageList, AClonesImagesOutliveTheSourcesClear) {
    GpBitmapPtr picture = RedPicture();
    auto source = std::make_unique<ImageList>();
    source->SetCellSize(kCellWidth, kCellHeight);
    source->Add(picture.get());
    ImageList clone(*source);
    EXPECT_EQ(clone.Get(1), source->Get(1));
    source->Dispose();
    source.reset();
    ASSERT_NE(clone.Get(1), nullptr);
    EXPECT_EQ(CentrePixel(clone.Get(1)), kRed);
    // The shared canvas still works for the clone.
    EXPECT_EQ(clone.Add(picture.get()), 2);
    EXPECT_EQ(CentrePixel(clone.Get(2)), kRed);
}

}  // namespace
}  // namespace toolkit
