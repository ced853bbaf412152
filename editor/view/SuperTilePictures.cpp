#include "view/SuperTilePictures.h"

#include "foundation/BmpReader.h"
#include "settings/FileBytes.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// More threads than this gain nothing on 128 small files.
constexpr unsigned kMaxLoadThreads = 8;

// What a worker leaves for the calling thread.
struct LoadSlot {
    SuperTilePicture picture;
    bool decoded = false;  // the BMP reader took the file
};

// Worker side: reads and decodes into the slot, nothing else. No exception leaves a thread.
void ReadAndDecode(const std::string& path, LoadSlot& slot) noexcept {
    try {
        std::string bytes;
        if (!ReadFileBytes(path, bytes)) {
            return;
        }
        slot.picture.file.assign(bytes.begin(), bytes.end());
        toolkit::DecodedBmp bmp;
        if (toolkit::DecodeBmp(slot.picture.file.data(), slot.picture.file.size(), bmp)) {
            slot.picture.pixels = std::move(bmp.pixels);
            slot.picture.opaque = true;  // the reader's formats carry no alpha
            slot.decoded = true;
        }
    } catch (...) {
        // Out of memory: the picture stays empty.
        slot = LoadSlot{};
    }
}

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
    std::vector<LoadSlot> slots(kSuperTileCount);
    std::vector<std::string> paths;
    paths.reserve(kSuperTileCount);
    for (int32_t i = 0; i < kSuperTileCount; ++i) {
        paths.push_back(SuperTilePicturePath(folder, levelNumber, i));
    }
    std::atomic<size_t> next{0};
    auto work = [&]() noexcept {
        for (size_t i = next++; i < slots.size(); i = next++) {
            ReadAndDecode(paths[i], slots[i]);
        }
    };
    const unsigned threadCount =
        std::clamp(std::thread::hardware_concurrency(), 1u, kMaxLoadThreads);
    std::vector<std::thread> threads;
    try {
        for (unsigned t = 1; t < threadCount; ++t) {
            threads.emplace_back(work);
        }
    } catch (...) {
        // No more threads to be had: the ones started and this thread share the work.
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }

    pictures.resize(kSuperTileCount);
    for (size_t i = 0; i < slots.size(); ++i) {
        LoadSlot& slot = slots[i];
        pictures[i] = slot.decoded || slot.picture.file.empty()
                          ? std::move(slot.picture)
                          : DecodeWithGdiPlus(std::move(slot.picture.file));
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
