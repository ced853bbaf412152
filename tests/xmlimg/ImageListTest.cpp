// The image list: cell-size copies, index checks, handles and shared clones.
#include "foundation/ImageList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "foundation/EngineBinding.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Toolkit.h"

namespace toolkit {
namespace {

using namespace Gdiplus::DllExports;

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 8;
constexpr int kPictureSize = 32;
// The GDI+ image format of PNG files.
constexpr char kPngFormat[] = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";

// GDI+ for the whole program; every list dies inside its test.
// The engine loads pictures from files and handles for the list.
class ToolkitEnvironment : public testing::Environment {
public:
    void SetUp() override {
        InitToolkit();
        BindEngine(reinterpret_cast<std::uintptr_t>(LoadLibraryA(kEngineLibraryName)), false);
    }
    void TearDown() override {
        FreeEngine();
        ShutdownToolkit();
    }
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

TEST(ImageList, ALinkedControlIsAnsweredWithOneAndWrittenBack) {
    constexpr std::uint32_t kControl = 0x1234;
    constexpr std::uint32_t kUntouched = 0xDEAD;
    ImageList list;
    std::uint32_t reference = kUntouched;
    EXPECT_EQ(list.GetLinkedControl(reference), 0);
    EXPECT_EQ(reference, kUntouched);
    EXPECT_EQ(list.LinkControl(0, &reference), 0);
    EXPECT_EQ(reference, kUntouched);

    EXPECT_EQ(list.LinkControl(kControl, &reference), 1);
    EXPECT_EQ(reference, kControl);
    reference = kUntouched;
    EXPECT_EQ(list.GetLinkedControl(reference), 1);
    EXPECT_EQ(reference, kControl);
    // A clone shows the same control.
    ImageList clone(list);
    reference = kUntouched;
    EXPECT_EQ(clone.GetLinkedControl(reference), 1);
    EXPECT_EQ(reference, kControl);
}

TEST(ImageList, PicturesFromFilesAndHandlesAreAddedAtTheCellSize) {
    ImageList list;
    ASSERT_NE(list.SetCellSize(kCellWidth, kCellHeight), 0u);
    GpBitmapPtr picture = RedPicture();

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "image_list_test.png";
    const ByteArray png = EncodeImageToBytes(picture.get(), kPngFormat);
    ASSERT_FALSE(png.empty());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    EXPECT_EQ(list.AddFromFile(path.c_str()), 1);
    EXPECT_EQ(list.AddFromFile((path + ".missing").c_str()), 0);
    DeleteFileA(path.c_str());

    HBITMAP bitmap = nullptr;
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(picture.get(), &bitmap, 0), Gdiplus::Ok);
    EXPECT_EQ(
        list.AddFromSource(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(bitmap))),
        2);
    DeleteObject(bitmap);
    EXPECT_EQ(list.AddFromSource(0), 0);

    ASSERT_EQ(list.Count(), 2);
    for (std::int32_t index = 1; index <= list.Count(); ++index) {
        SCOPED_TRACE(index);
        Gdiplus::GpImage* stored = list.Get(index);
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(GetImageWidth(stored), kCellWidth);
        EXPECT_EQ(GetImageHeight(stored), kCellHeight);
        EXPECT_EQ(Gdiplus::Color(CentrePixel(stored)).GetRed(), Gdiplus::Color(kRed).GetRed());
    }
}

}  // namespace
}  // namespace toolkit
