// The in-memory loader of 32-bit DLL images.
//
// The image bytes come from outside the program, so every header, section, relocation block,
// import descriptor and export table is checked against the byte array (while mapping) or the
// mapped size (afterwards) before it is used. A rejected image returns 0 with everything it
// had taken (pages, libraries) given back.
#include "foundation/MemoryImage.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/CallAddress.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

namespace {

constexpr std::uint32_t kMinImageBytes = 64;
constexpr std::uint32_t kNtOffsetField = 60;
constexpr std::uint32_t kNtSignatureBytes = 4;
constexpr std::uint32_t kPageBytes = 4096;
constexpr std::uint32_t kRelocationBlockHeader = 8;
constexpr std::uint32_t kRelocationTypeShift = 12;
constexpr std::uint32_t kRelocationOffsetMask = 0xFFF;
constexpr std::uint32_t kImportOrdinalFlag = 0x80000000u;
constexpr std::uint32_t kOrdinalMask = 0xFFFF;
constexpr std::uint32_t kHintBytes = 2;

static_assert(sizeof(IMAGE_NT_HEADERS32) == 248, "the NT headers of a 32-bit image");
static_assert(sizeof(IMAGE_SECTION_HEADER) == 40, "one section header");
static_assert(sizeof(IMAGE_IMPORT_DESCRIPTOR) == 20, "one import descriptor");
static_assert(sizeof(IMAGE_EXPORT_DIRECTORY) == 40, "the export directory");

// A range of bytes every read of which is checked against its length first, and read through
// the checked copy so that an unreadable page yields a failed read rather than a fault.
class CheckedView {
public:
    CheckedView(std::uintptr_t base, std::uint32_t length) : m_base(base), m_length(length) {}

    bool Contains(std::uint64_t offset, std::uint64_t count) const {
        return offset <= m_length && count <= m_length - offset;
    }
    template <typename T>
    bool Read(std::uint64_t offset, T& value) const {
        return Contains(offset, sizeof(T)) &&
               CopyMemoryChecked(reinterpret_cast<std::uintptr_t>(&value),
                                 m_base + static_cast<std::uintptr_t>(offset),
                                 sizeof(T)) == sizeof(T);
    }
    // A NUL-ended text lying wholly inside the range; its offset must be inside too.
    bool HasText(std::uint64_t offset) const {
        if (!Contains(offset, 1)) {
            return false;
        }
        const auto* start = reinterpret_cast<const void*>(Address(offset));
        const auto rest = static_cast<std::size_t>(m_length - offset);
        return !IsBadReadPtr(start, rest) && std::memchr(start, 0, rest) != nullptr;
    }
    std::uintptr_t Address(std::uint64_t offset) const {
        return m_base + static_cast<std::uintptr_t>(offset);
    }
    std::uint32_t Length() const { return m_length; }

private:
    std::uintptr_t m_base;
    std::uint32_t m_length;
};

struct ImageHeaders {
    std::uint32_t ntOffset = 0;
    IMAGE_NT_HEADERS32 nt{};
    std::uint32_t sectionTableOffset = 0;
    std::vector<IMAGE_SECTION_HEADER> sections;
};

// The DOS and NT headers of an image; with withSections, the section table too. Shared by the
// loader (on the raw bytes) and the export lookup (on a mapped module).
bool ReadHeaders(const CheckedView& view, bool withSections, ImageHeaders& headers) {
    WORD dosSignature = 0;
    DWORD signature = 0;
    if (view.Length() < kMinImageBytes || !view.Read(0, dosSignature) ||
        dosSignature != IMAGE_DOS_SIGNATURE || !view.Read(kNtOffsetField, headers.ntOffset) ||
        !view.Read(headers.ntOffset, headers.nt) || !view.Read(headers.ntOffset, signature) ||
        signature != IMAGE_NT_SIGNATURE) {
        return false;
    }
    const IMAGE_FILE_HEADER& file = headers.nt.FileHeader;
    // A 64-bit image lays its optional header out differently; reading it as a 32-bit one would
    // take wrong directory and size fields.
    if ((file.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE) == 0 ||
        headers.nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC ||
        file.SizeOfOptionalHeader < sizeof(IMAGE_OPTIONAL_HEADER32)) {
        return false;
    }
    headers.sectionTableOffset = headers.ntOffset + kNtSignatureBytes + sizeof(IMAGE_FILE_HEADER) +
                                 file.SizeOfOptionalHeader;
    if (!withSections) {
        return true;
    }
    const std::uint64_t tableBytes =
        static_cast<std::uint64_t>(file.NumberOfSections) * sizeof(IMAGE_SECTION_HEADER);
    if (!view.Contains(headers.sectionTableOffset, tableBytes)) {
        return false;
    }
    headers.sections.resize(file.NumberOfSections);
    for (std::uint32_t i = 0; i < file.NumberOfSections; ++i) {
        if (!view.Read(headers.sectionTableOffset + i * sizeof(IMAGE_SECTION_HEADER),
                       headers.sections[i])) {
            return false;
        }
    }
    return true;
}

// A data directory, or an empty one when the image does not carry that many.
IMAGE_DATA_DIRECTORY Directory(const ImageHeaders& headers, std::uint32_t index) {
    const IMAGE_OPTIONAL_HEADER32& optional = headers.nt.OptionalHeader;
    if (index >= optional.NumberOfRvaAndSizes || index >= IMAGE_NUMBEROF_DIRECTORY_ENTRIES) {
        return IMAGE_DATA_DIRECTORY{};
    }
    return optional.DataDirectory[index];
}

std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// One image mapped by this loader. Only these are ever detached and released, so a stray
// handle (a library from LoadLibraryA, a freed image) can never be "freed" here.
struct MappedImage {
    std::uintptr_t base = 0;
    std::uint32_t size = 0;
    std::uint32_t entryPoint = 0;
    bool isDll = false;
    std::vector<HMODULE> libraries;
};

std::vector<MappedImage>& MappedImages() {
    static std::vector<MappedImage> images;
    return images;
}

MappedImage* FindMapped(std::uintptr_t base) {
    auto& images = MappedImages();
    const auto found = std::find_if(images.begin(), images.end(), [base](const MappedImage& image) {
        return image.base == base;
    });
    return found == images.end() ? nullptr : &*found;
}

// Gives back the pages and the import libraries of an image that was mapped (fully or not).
void Release(MappedImage& image) {
    for (HMODULE library : image.libraries) {
        FreeLibrary(library);
    }
    image.libraries.clear();
    if (image.base != 0) {
        VirtualFree(reinterpret_cast<void*>(image.base), 0, MEM_RELEASE);
        image.base = 0;
    }
}

bool ApplyRelocations(const ImageHeaders& headers, const CheckedView& mapped) {
    const IMAGE_DATA_DIRECTORY dir = Directory(headers, IMAGE_DIRECTORY_ENTRY_BASERELOC);
    if (dir.Size == 0) {
        return true;
    }
    if (!mapped.Contains(dir.VirtualAddress, dir.Size)) {
        return false;
    }
    const std::uint32_t delta =
        static_cast<std::uint32_t>(mapped.Address(0)) - headers.nt.OptionalHeader.ImageBase;
    const std::uint64_t end = static_cast<std::uint64_t>(dir.VirtualAddress) + dir.Size;
    std::uint64_t block = dir.VirtualAddress;
    while (block + kRelocationBlockHeader <= end) {
        IMAGE_BASE_RELOCATION header{};
        if (!mapped.Read(block, header) || header.SizeOfBlock < kRelocationBlockHeader ||
            header.SizeOfBlock > end - block) {
            return false;
        }
        const std::uint32_t count = (header.SizeOfBlock - kRelocationBlockHeader) / sizeof(WORD);
        for (std::uint32_t i = 0; i < count; ++i) {
            WORD entry = 0;
            if (!mapped.Read(block + kRelocationBlockHeader + i * sizeof(WORD), entry)) {
                return false;
            }
            if ((entry >> kRelocationTypeShift) != IMAGE_REL_BASED_HIGHLOW) {
                continue;
            }
            const std::uint64_t target =
                static_cast<std::uint64_t>(header.VirtualAddress) + (entry & kRelocationOffsetMask);
            DWORD word = 0;
            if (!mapped.Read(target, word) ||
                !WriteInt32Checked(mapped.Address(target), word + delta)) {
                return false;
            }
        }
        block += header.SizeOfBlock;
    }
    return true;
}

std::uint32_t ResolveImport(HMODULE library, std::uintptr_t libraryName, std::uint32_t lookup,
                            const CheckedView& mapped, std::uintptr_t resolver,
                            std::uint32_t userValue) {
    const bool byOrdinal = (lookup & kImportOrdinalFlag) != 0;
    std::string ordinalText;
    std::uintptr_t nameAddress = 0;
    if (byOrdinal) {
        ordinalText = std::to_string(lookup & kOrdinalMask);
        nameAddress = reinterpret_cast<std::uintptr_t>(ordinalText.c_str());
    } else {
        const std::uint64_t nameOffset = static_cast<std::uint64_t>(lookup) + kHintBytes;
        if (!mapped.HasText(nameOffset)) {
            return 0;
        }
        nameAddress = mapped.Address(nameOffset);
    }
    std::uint32_t address = 0;
    if (resolver != 0) {
        address = CallAddress(resolver, {static_cast<std::uint32_t>(libraryName),
                                         static_cast<std::uint32_t>(nameAddress), userValue});
    }
    if (address == 0) {
        const char* procName = byOrdinal ? MAKEINTRESOURCEA(lookup & kOrdinalMask)
                                         : reinterpret_cast<const char*>(nameAddress);
        address = AddressOf(GetProcAddress(library, procName));
    }
    return address;
}

bool ResolveImports(const ImageHeaders& headers, const CheckedView& mapped, std::uintptr_t resolver,
                    std::uint32_t userValue, MappedImage& image) {
    const IMAGE_DATA_DIRECTORY dir = Directory(headers, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (dir.Size == 0) {
        return true;
    }
    for (std::uint64_t at = dir.VirtualAddress;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        if (!mapped.Read(at, descriptor)) {
            return false;
        }
        if (descriptor.OriginalFirstThunk == 0) {
            return true;
        }
        if (!mapped.HasText(descriptor.Name)) {
            return false;
        }
        const std::uintptr_t libraryName = mapped.Address(descriptor.Name);
        HMODULE library = LoadLibraryA(reinterpret_cast<const char*>(libraryName));
        if (library == nullptr) {
            return false;
        }
        image.libraries.push_back(library);
        for (std::uint64_t i = 0;; ++i) {
            const std::uint64_t lookupAt = descriptor.OriginalFirstThunk + i * sizeof(DWORD);
            const std::uint64_t slotAt = descriptor.FirstThunk + i * sizeof(DWORD);
            DWORD lookup = 0;
            if (!mapped.Read(lookupAt, lookup)) {
                return false;
            }
            if (lookup == 0) {
                break;
            }
            const std::uint32_t address =
                ResolveImport(library, libraryName, lookup, mapped, resolver, userValue);
            if (address == 0 || !mapped.Contains(slotAt, sizeof(DWORD)) ||
                !WriteInt32Checked(mapped.Address(slotAt), address)) {
                return false;
            }
        }
    }
}

DWORD SectionProtection(DWORD characteristics) {
    const bool execute = (characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
    const bool read = (characteristics & IMAGE_SCN_MEM_READ) != 0;
    const bool write = (characteristics & IMAGE_SCN_MEM_WRITE) != 0;
    if (execute) {
        return write ? PAGE_EXECUTE_READWRITE : (read ? PAGE_EXECUTE_READ : PAGE_EXECUTE);
    }
    return write ? PAGE_READWRITE : (read ? PAGE_READONLY : PAGE_NOACCESS);
}

// Sections smaller than a page share pages with their neighbours, so their protections cannot
// be told apart; such images keep the read-write-execute pages they were mapped with.
void ProtectSections(const ImageHeaders& headers, std::uintptr_t base, std::uint32_t headerBytes) {
    const std::uint32_t alignment = headers.nt.OptionalHeader.SectionAlignment;
    if (alignment < kPageBytes) {
        return;
    }
    DWORD old = 0;
    VirtualProtect(reinterpret_cast<void*>(base), headerBytes, PAGE_READONLY, &old);
    for (const IMAGE_SECTION_HEADER& section : headers.sections) {
        const std::uint32_t span = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
        if (span == 0) {
            continue;
        }
        VirtualProtect(reinterpret_cast<void*>(base + section.VirtualAddress),
                       static_cast<SIZE_T>(AlignUp(span, alignment)),
                       SectionProtection(section.Characteristics), &old);
    }
    FlushInstructionCache(GetCurrentProcess(), reinterpret_cast<void*>(base), 0);
}

}  // namespace

std::uint32_t LoadImageFromMemory(std::uintptr_t imageData, std::uintptr_t importResolver,
                                  std::uint32_t userValue) {
    if (imageData == 0) {
        return 0;
    }
    const std::uint32_t length = ByteArrayLength(imageData);
    if (length < kMinImageBytes || IsBadReadPtr(reinterpret_cast<const void*>(imageData), length)) {
        return 0;
    }
    const CheckedView bytes(imageData, length);
    ImageHeaders headers;
    if (!ReadHeaders(bytes, true, headers)) {
        return 0;
    }
    const IMAGE_OPTIONAL_HEADER32& optional = headers.nt.OptionalHeader;
    if (optional.SectionAlignment == 0) {
        return 0;
    }
    const std::uint32_t headerBytes = static_cast<std::uint32_t>(
        headers.sectionTableOffset + headers.sections.size() * sizeof(IMAGE_SECTION_HEADER));
    std::uint64_t imageEnd = headerBytes;
    for (const IMAGE_SECTION_HEADER& section : headers.sections) {
        imageEnd = std::max<std::uint64_t>(
            imageEnd, static_cast<std::uint64_t>(section.VirtualAddress) +
                          std::max(section.Misc.VirtualSize, section.SizeOfRawData));
        if (section.SizeOfRawData > 0 && section.PointerToRawData != 0 &&
            !bytes.Contains(section.PointerToRawData, section.SizeOfRawData)) {
            return 0;
        }
    }
    imageEnd =
        std::max<std::uint64_t>(AlignUp(imageEnd, optional.SectionAlignment), optional.SizeOfImage);
    if (imageEnd > MAXLONG) {
        return 0;
    }
    const auto imageSize = static_cast<std::uint32_t>(imageEnd);

    // An image without relocations runs only at its preferred base.
    const bool relocatable = Directory(headers, IMAGE_DIRECTORY_ENTRY_BASERELOC).Size > 0;
    void* preferred = relocatable ? nullptr : reinterpret_cast<void*>(optional.ImageBase);
    MappedImage image;
    image.base = reinterpret_cast<std::uintptr_t>(
        VirtualAlloc(preferred, imageSize, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE));
    if (image.base == 0) {
        return 0;
    }
    image.size = imageSize;
    image.entryPoint = optional.AddressOfEntryPoint;
    image.isDll = (headers.nt.FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;

    std::memcpy(reinterpret_cast<void*>(image.base), reinterpret_cast<const void*>(imageData),
                std::min(headerBytes, length));
    for (const IMAGE_SECTION_HEADER& section : headers.sections) {
        if (section.SizeOfRawData > 0 && section.PointerToRawData != 0) {
            std::memcpy(reinterpret_cast<void*>(image.base + section.VirtualAddress),
                        reinterpret_cast<const void*>(imageData + section.PointerToRawData),
                        section.SizeOfRawData);
        }
    }

    const CheckedView mapped(image.base, imageSize);
    const bool entryInside = image.entryPoint == 0 || mapped.Contains(image.entryPoint, 1);
    if (!entryInside || !ApplyRelocations(headers, mapped) ||
        !ResolveImports(headers, mapped, importResolver, userValue, image)) {
        Release(image);
        return 0;
    }
    ProtectSections(headers, image.base, headerBytes);

    if (image.isDll && image.entryPoint != 0) {
        const std::uintptr_t entry = image.base + image.entryPoint;
        const auto base = static_cast<std::uint32_t>(image.base);
        if (CallAddress(entry, {base, DLL_PROCESS_ATTACH, 0}) == 0) {
            CallAddress(entry, {base, DLL_PROCESS_DETACH, 0});
            Release(image);
            return 0;
        }
    }
    MappedImages().push_back(std::move(image));
    return static_cast<std::uint32_t>(MappedImages().back().base);
}

std::uint32_t GetImageExport(std::uintptr_t module, std::uintptr_t ordinalOrName) {
    if (module == 0) {
        return 0;
    }
    // A module of this loader has a known size; any other is taken at its header's word.
    std::uint32_t size = kMinImageBytes;
    if (const MappedImage* image = FindMapped(module)) {
        size = image->size;
    } else {
        ImageHeaders probe;
        if (!ReadHeaders(CheckedView(module, MAXLONG), false, probe)) {
            return 0;
        }
        size = probe.nt.OptionalHeader.SizeOfImage;
    }
    const CheckedView mapped(module, size);
    ImageHeaders headers;
    if (!ReadHeaders(mapped, false, headers)) {
        return 0;
    }
    const IMAGE_DATA_DIRECTORY dir = Directory(headers, IMAGE_DIRECTORY_ENTRY_EXPORT);
    IMAGE_EXPORT_DIRECTORY exports{};
    if (dir.Size == 0 || !mapped.Contains(dir.VirtualAddress, dir.Size) ||
        !mapped.Read(dir.VirtualAddress, exports)) {
        return 0;
    }

    std::uint32_t index = 0;
    if (IsBadReadPtr(reinterpret_cast<const void*>(ordinalOrName), sizeof(DWORD))) {
        if (ordinalOrName < exports.Base) {
            return 0;
        }
        index = static_cast<std::uint32_t>(ordinalOrName - exports.Base);
    } else {
        const auto* key = reinterpret_cast<const char*>(ordinalOrName);
        bool found = false;
        for (std::uint32_t i = 0; i < exports.NumberOfNames && !found; ++i) {
            DWORD nameRva = 0;
            WORD nameOrdinal = 0;
            if (!mapped.Read(exports.AddressOfNames + static_cast<std::uint64_t>(i) * 4, nameRva) ||
                !mapped.Read(exports.AddressOfNameOrdinals + static_cast<std::uint64_t>(i) * 2,
                             nameOrdinal) ||
                !mapped.HasText(nameRva)) {
                return 0;
            }
            // The terminator takes part in the comparison, so a key that merely begins with
            // an export's name does not match that export.
            const auto* name = reinterpret_cast<const char*>(mapped.Address(nameRva));
            if (StrCmpNA(name, key, lstrlenA(name) + 1) == 0) {
                index = nameOrdinal;
                found = true;
            }
        }
        if (!found) {
            return 0;
        }
    }
    DWORD functionRva = 0;
    if (index >= exports.NumberOfFunctions ||
        !mapped.Read(exports.AddressOfFunctions + static_cast<std::uint64_t>(index) * 4,
                     functionRva) ||
        functionRva == 0 || !mapped.Contains(functionRva, 1)) {
        return 0;
    }
    // A forwarded export points at a "library.name" text inside the export directory, which
    // is not code; it is reported missing rather than handed out as an address to call.
    if (functionRva >= dir.VirtualAddress && functionRva - dir.VirtualAddress < dir.Size) {
        return 0;
    }
    return static_cast<std::uint32_t>(module + functionRva);
}

bool FreeMemoryImage(std::uintptr_t module) {
    MappedImage* image = module != 0 ? FindMapped(module) : nullptr;
    if (image == nullptr) {
        return false;
    }
    MappedImage owned = std::move(*image);
    auto& images = MappedImages();
    images.erase(images.begin() + (image - images.data()));
    if (owned.isDll && owned.entryPoint != 0) {
        CallAddress(owned.base + owned.entryPoint,
                    {static_cast<std::uint32_t>(owned.base), DLL_PROCESS_DETACH, 0});
    }
    Release(owned);
    return true;
}

}  // namespace toolkit
