// Placeholders until the in-memory loader is built: nothing can be mapped, so every request
// fails the way a rejected image does. The loader's own source replaces this file.
#include "foundation/MemoryImage.h"

namespace toolkit {

std::uint32_t LoadImageFromMemory(std::uintptr_t, std::uintptr_t, std::uint32_t) {
    return 0;
}

std::uint32_t GetImageExport(std::uintptr_t, std::uintptr_t) {
    return 0;
}

bool FreeMemoryImage(std::uintptr_t) {
    return false;
}

}  // namespace toolkit
