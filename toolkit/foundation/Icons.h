// Icons and cursors made from the bytes of an icon (.ico) or cursor (.cur) file.
#pragma once

#include <windows.h>

#include "foundation/CheckedMemory.h"

namespace toolkit {

// What LoadIconFromBytes is asked for: the CopyImage types of icons and cursors. Any other kind
// goes through the OLE picture loader and is accepted when the picture's type equals it.
constexpr int kIconKindIcon = IMAGE_ICON;
constexpr int kIconKindCursor = IMAGE_CURSOR;

// The icon or cursor of entry `entry` (1-based) of the file's directory, or 0. The directory,
// the entry and the image it points at are checked against the bytes first: anything outside
// them gives 0. The file type decides between icon and cursor (a cursor keeps its hot spot).
HANDLE LoadIconFromBytes(const ByteArray& bytes, int kind, int entry = 1);
// The same for bytes the caller holds elsewhere; null data gives 0.
HANDLE LoadIconFromBytes(const std::uint8_t* data, std::size_t size, int kind, int entry = 1);

}  // namespace toolkit
