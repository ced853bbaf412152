// Support for the editor-control tests: the element's canvas read pixel by pixel, the real host
// messages delivered through the host window, and pictures whose every pixel tells where it lies.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

#include "CoreTestSupport.h"
#include "core/Element.h"
#include "foundation/GdiPlusHandles.h"

namespace edctl_test {

using core_test::TestHost;
using toolkit::Element;
using toolkit::ElementHandle;

// The canvas pixel at element coordinates, premultiplied 0xAARRGGBB.
std::uint32_t CanvasPixel(const Element& element, int x, int y);

// Sends a pointer message to the element through its host window, as the host window does, with
// the point in element coordinates.
LRESULT SendPointer(ElementHandle handle, UINT message, int x, int y);

// A picture whose pixel (x, y) is opaque and encodes x and y (up to 4095 each), so a probe of a
// canvas pixel tells which picture pixel was drawn there.
toolkit::GpBitmapPtr MakeCoordinatePicture(int width, int height);
// The picture pixel an opaque coordinate colour came from; (-1, -1) for any other colour.
POINT DecodeCoordinate(std::uint32_t argb);

// Calls an operation through the method table by slot number, as code that knows only the slot
// would.
template <typename Result, typename... Args>
Result CallSlot(Element* element, std::uint32_t slot, Args... args) {
    using Method = Result(__thiscall*)(Element*, Args...);
    void** table = *reinterpret_cast<void***>(element);
    return reinterpret_cast<Method>(table[slot])(element, args...);
}

using window_test::Alpha;

}  // namespace edctl_test
