#include "MapViewTestSupport.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "support/MapPicProbe.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace mapview_test {
namespace {

using namespace Gdiplus::DllExports;

// Image A of the sample generator: the small layout, eight levels and two boss rooms.
constexpr const char kSampleImage[] = VENNMARK_TESTDATA_DIR "/SampleSmall.nes";

class GdiPlusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

testing::Environment* const kGdiPlus = testing::AddGlobalTestEnvironment(new GdiPlusEnvironment);

}  // namespace

LevelList DecodeTestImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const ByteArray image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int32_t> table;
    int32_t objectTableAddress = 0;
    InitRomLayout(table, objectTableAddress);
    LevelList levels;
    const CodecResult result =
        DecodeLevels(image, IsLargeRomImage(image.size()), table, objectTableAddress, levels);
    EXPECT_TRUE(result.ok) << path << ": " << result.message;
    return levels;
}

const LevelList& SampleLevels() {
    static const LevelList levels = DecodeTestImage(kSampleImage);
    return levels;
}

LevelList SampleLevelsWithoutObjects() {
    LevelList levels = SampleLevels();
    for (LevelRecord& level : levels.records) {
        level.objectLists.clear();
    }
    return levels;
}

std::string SamplePictureFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return std::string(folder) + kMapPictureFolderName;
}

int PictureWidth(Gdiplus::GpImage* picture) {
    return toolkit::GetImageWidth(picture);
}

int PictureHeight(Gdiplus::GpImage* picture) {
    return toolkit::GetImageHeight(picture);
}

Gdiplus::ARGB PixelAt(Gdiplus::GpImage* picture, int64_t x, int64_t y) {
    if (picture == nullptr || x < 0 || y < 0 || x >= PictureWidth(picture) ||
        y >= PictureHeight(picture)) {
        return 0;
    }
    Gdiplus::ARGB colour = 0;
    GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(picture), static_cast<INT>(x),
                       static_cast<INT>(y), &colour);
    return colour;
}

void ExpectSamePixels(const toolkit::ArgbPixels& actual, const toolkit::ArgbPixels& expected,
                      const char* what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    int differing = 0;
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            if (actual.At(x, y) != expected.At(x, y) && differing++ == 0) {
                ADD_FAILURE() << "first difference at " << x << ", " << y << ": " << std::hex
                              << actual.At(x, y) << " instead of " << expected.At(x, y);
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

void ExpectSamePixels(Gdiplus::GpImage* actual, Gdiplus::GpImage* expected, const char* what) {
    toolkit::ArgbPixels got;
    toolkit::ArgbPixels want;
    ASSERT_TRUE(toolkit::ReadImagePixels(actual, got)) << what;
    ASSERT_TRUE(toolkit::ReadImagePixels(expected, want)) << what;
    ExpectSamePixels(got, want, what);
}

bool ProbeAt(Gdiplus::GpImage* picture, int64_t x, int64_t y, int& level, int& index) {
    return mappic_probe::DecodeProbe(PixelAt(picture, x, y), level, index);
}

}  // namespace mapview_test
