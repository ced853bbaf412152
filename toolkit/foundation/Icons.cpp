#include "foundation/Icons.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "foundation/Win32Handles.h"

namespace toolkit {

namespace {

// Icon and cursor files: a 6-byte directory header (reserved, type, count), then one 16-byte
// entry per image (width, height, colours, reserved, planes or hot spot x, bit count or hot
// spot y, image size, image offset).
constexpr std::size_t kTypeOffset = 2;
constexpr std::size_t kCountOffset = 4;
constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kEntryHotSpot = 4;
constexpr std::size_t kEntryImageSize = 8;
constexpr std::size_t kEntryImageOffset = 12;
constexpr std::uint16_t kFileTypeIcon = 1;
constexpr DWORD kIconResourceVersion = 0x30000;

// The file's bytes as the caller holds them; nothing is copied before it has been checked.
struct FileBytes {
    const std::uint8_t* data;
    std::size_t size;
};

std::uint32_t ReadWord16(const FileBytes& bytes, std::size_t offset) {
    std::uint16_t value = 0;
    std::memcpy(&value, bytes.data + offset, sizeof value);
    return value;
}

std::uint32_t ReadWord32(const FileBytes& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data + offset, sizeof value);
    return value;
}

void DestroyIconOrCursor(HANDLE handle, bool icon) {
    if (icon) {
        DestroyIcon(static_cast<HICON>(handle));
    } else {
        DestroyCursor(static_cast<HCURSOR>(handle));
    }
}

HANDLE FromIconFile(const FileBytes& bytes, int kind, int entry) {
    if (bytes.size < kDirectoryBytes || entry < 1 ||
        static_cast<std::uint32_t>(entry) > ReadWord16(bytes, kCountOffset)) {
        return nullptr;
    }
    const std::size_t entryOffset =
        kDirectoryBytes + (static_cast<std::size_t>(entry) - 1) * kEntryBytes;
    if (entryOffset + kEntryBytes > bytes.size) {
        return nullptr;
    }
    const std::uint32_t imageSize = ReadWord32(bytes, entryOffset + kEntryImageSize);
    const std::uint32_t imageOffset = ReadWord32(bytes, entryOffset + kEntryImageOffset);
    if (imageSize == 0 || imageOffset > bytes.size || imageSize > bytes.size - imageOffset) {
        return nullptr;
    }
    const bool icon = ReadWord16(bytes, kTypeOffset) == kFileTypeIcon;
    // A cursor resource is the hot spot followed by the image.
    ByteArray resource;
    if (!icon) {
        resource.assign(bytes.data + entryOffset + kEntryHotSpot,
                        bytes.data + entryOffset + kEntryHotSpot + sizeof(std::uint32_t));
    }
    resource.insert(resource.end(), bytes.data + imageOffset, bytes.data + imageOffset + imageSize);
    HICON handle = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                            icon, kIconResourceVersion, bytes.data[entryOffset],
                                            bytes.data[entryOffset + 1], 0);
    if (handle == nullptr) {
        return nullptr;
    }
    HANDLE copy = CopyImage(handle, kind, 0, 0, LR_COPYRETURNORG);
    // CopyImage hands back a new object when it had to convert; the original is then ours.
    if (copy != handle) {
        DestroyIconOrCursor(handle, icon);
    }
    return copy;
}

HANDLE FromPicture(const FileBytes& bytes, int kind) {
    if (bytes.size == 0) {
        return nullptr;
    }
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size));
    void* target = block ? GlobalLock(block.get()) : nullptr;
    if (target == nullptr) {
        return nullptr;
    }
    std::memcpy(target, bytes.data, bytes.size);
    GlobalUnlock(block.get());

    ComPtr<IStream> stream;
    ComPtr<IPicture> picture;
    if (FAILED(CreateStreamOnHGlobal(block.get(), FALSE, stream.put())) ||
        FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size), TRUE, IID_IPicture,
                              picture.putVoid()))) {
        return nullptr;
    }
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_NONE;
    if (FAILED(picture->get_Handle(&handle)) || FAILED(picture->get_Type(&type)) || type != kind) {
        return nullptr;
    }
    const UINT imageType = type == PICTYPE_ICON ? IMAGE_ICON : IMAGE_BITMAP;
    // Always a copy: the picture destroys its own handle when it is released.
    return CopyImage(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle)), imageType, 0, 0,
                     0);
}

}  // namespace

HANDLE LoadIconFromBytes(const std::uint8_t* data, std::size_t size, int kind, int entry) {
    if (data == nullptr) {
        return nullptr;
    }
    const FileBytes bytes = {data, size};
    if (kind == kIconKindIcon || kind == kIconKindCursor) {
        return FromIconFile(bytes, kind, entry);
    }
    return FromPicture(bytes, kind);
}

HANDLE LoadIconFromBytes(const ByteArray& bytes, int kind, int entry) {
    return LoadIconFromBytes(bytes.data(), bytes.size(), kind, entry);
}

}  // namespace toolkit
