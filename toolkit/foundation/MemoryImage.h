// The loader of a 32-bit DLL image held in memory: the engine may hand the program such an
// image, and the engine module itself may be one (the image flag of the engine binding).
#pragma once

#include <cstdint>

namespace toolkit {

// Maps the image whose bytes start at imageData (a byte array laid out with its length word in
// front) and returns the module base, or 0. The resolver, when not 0, is asked for each import
// first: (library name address, function name or ordinal text address, userValue) -> address.
std::uint32_t LoadImageFromMemory(std::uintptr_t imageData, std::uintptr_t importResolver,
                                  std::uint32_t userValue);
// The export of a mapped module by ordinal, or by the address of its name; 0 when missing.
std::uint32_t GetImageExport(std::uintptr_t module, std::uintptr_t ordinalOrName);
// Detaches and releases a mapped module; true when it was one.
bool FreeMemoryImage(std::uintptr_t module);

}  // namespace toolkit
