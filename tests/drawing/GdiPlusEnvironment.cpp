#include "GdiPlusEnvironment.h"

#include <gtest/gtest.h>

#include "foundation/Toolkit.h"

namespace drawing_test {
namespace {

using namespace Gdiplus::DllExports;

// The toolkit's own start-up: GDI+, and the shared image attributes and default font that the
// helpers use.
class GdiPlusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        toolkit::InitToolkit();
        ASSERT_NE(toolkit::Toolkit().imageAttributes, nullptr);
    }
    void TearDown() override { toolkit::ShutdownToolkit(); }
};

testing::Environment* const kGdiPlus = testing::AddGlobalTestEnvironment(new GdiPlusEnvironment);

}  // namespace

toolkit::GpBitmapPtr MakeSolidBitmap(int width, int height, Gdiplus::ARGB colour) {
    toolkit::GpBitmapPtr bitmap = toolkit::CreateBitmap(width, height);
    if (bitmap) {
        PaintArea(bitmap.get(), 0, 0, width, height, colour);
    }
    return bitmap;
}

void PaintArea(Gdiplus::GpBitmap* bitmap, int x, int y, int width, int height,
               Gdiplus::ARGB colour) {
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            GdipBitmapSetPixel(bitmap, column, row, colour);
        }
    }
}

Gdiplus::ARGB PixelAt(Gdiplus::GpBitmap* bitmap, int x, int y) {
    Gdiplus::ARGB colour = 0;
    EXPECT_EQ(GdipBitmapGetPixel(bitmap, x, y, &colour), Gdiplus::Ok) << x << ", " << y;
    return colour;
}

}  // namespace drawing_test
