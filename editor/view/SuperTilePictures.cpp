#include "view/SuperTilePictures.h"

#include "foundation/AllocationMayFail.h"
#include "foundation/BmpReader.h"
#include "fileio/FileBytes.h"

#include <cstdio>
#include <new>
#include <utility>

namespace {

SuperTilePicture DecodeWithGdiPlus(toolkit::ByteArray file) {
    SuperTilePicture picture;
    toolkit::GpImagePtr image = toolkit::LoadImageFromBytes(file);
    if (image && toolkit::ReadImagePixels(image.get(), picture.pixels)) {
        picture.opaque = toolkit::IsOpaque(picture.pixels);
        picture.file = std::move(file);
    }
    return picture;
}

}  // namespace

std::string SuperTilePicturePath(const std::string& folder, int32_t levelNumber, int32_t index) {
    char name[16];
    std::snprintf(name, sizeof name, "%02X", static_cast<unsigned>(index) & 0xFFu);
    return folder + std::to_string(levelNumber) + "\\" + name + kMapPictureExtension;
}

SuperTilePicture DecodeSuperTilePicture(toolkit::ByteArray file) {
    toolkit::DecodedBmp bmp;
    if (toolkit::DecodeBmp(file.data(), file.size(), bmp)) {
        SuperTilePicture picture;
        picture.pixels = std::move(bmp.pixels);
        picture.opaque = true;
        picture.file = std::move(file);
        return picture;
    }
    return DecodeWithGdiPlus(std::move(file));
}

void LoadSuperTilePictures(const std::string& folder, int32_t levelNumber,
                           std::vector<SuperTilePicture>& pictures) {
    pictures.resize(kSuperTileCount);
    std::string bytes;
    for (int32_t i = 0; i < kSuperTileCount; ++i) {
        SuperTilePicture& picture = pictures[static_cast<size_t>(i)];
        picture = SuperTilePicture{};
        if (!ReadFileBytes(SuperTilePicturePath(folder, levelNumber, i), bytes)) {
            continue;
        }
        // A file too large for the memory left is one more picture that cannot be loaded.
        try {
            const toolkit::AllocationMayFail mayFail;
            picture = DecodeSuperTilePicture(toolkit::ByteArray(bytes.begin(), bytes.end()));
        } catch (const std::bad_alloc&) {
            picture = SuperTilePicture{};
        }
    }
}

toolkit::ByteArray SuperTilePreviewPng(const SuperTilePicture& picture) {
    if (picture.pixels.Empty()) {
        return {};
    }
    toolkit::GpImagePtr image = toolkit::LoadImageFromBytes(picture.file);
    return image ? toolkit::EncodeImageToBytes(image.get(), toolkit::kPngFormat)
                 : toolkit::ByteArray();
}
