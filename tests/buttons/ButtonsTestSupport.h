// Support for the button-class tests: pictures made in memory with one colour per cell, canvas
// pixels of an element, and the messages a host window sends a button for a click.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/Element.h"
#include "foundation/CheckedMemory.h"

namespace buttons_test {

// Opaque test colours, distinct in every channel that matters.
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kTransparent = 0;

// A PNG strip of cells side by side, cell i filled with colours[i], as picture properties take
// it.
toolkit::ByteArray MakeStripPng(const std::vector<std::uint32_t>& colours, int cellWidth,
                                int cellHeight);

// The element's canvas pixel (premultiplied 0xAARRGGBB) at element coordinates.
std::uint32_t CanvasPixel(const toolkit::Element& element, int x, int y);
std::uint32_t CanvasCentre(const toolkit::Element& element);

// The pointer messages a host window sends the element under the pointer.
void Enter(toolkit::ElementHandle handle);
void Leave(toolkit::ElementHandle handle);
void Press(toolkit::ElementHandle handle);
void Release(toolkit::ElementHandle handle);
// Press, release and the click that the host raises after them.
void Click(toolkit::ElementHandle handle);

}  // namespace buttons_test
